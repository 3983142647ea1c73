#include "world/CWorldRun.h"

#include <cstdio>
#include <unordered_set>

#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/JsonText.h"
#include "engine/Log.h"
#include "world/CElement.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevelBuilder.h"
#include "world/CLevelRules.h"
#include "world/SolutionKeys.h"
#include "world/pieces/CElementDeviceGunshot.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementTerrainBridge.h"

namespace {

// The frame the world's landings are stamped with while a run steps it.
uint32_t g_runFrame = 0;
uint32_t RunFrame() { return g_runFrame; }

// The cells an element may take in the grid: its own; the whole run of a
// terrain piece; the cell the hero keeps for a power-up piece until it has
// grown there.
bool MayHoldCell(CElement* e, int x, int y) {
    const int width = e->IsTerrain() ? e->GetCreateFlag() : 1;
    if (y == e->GetCurrentY() && x >= e->GetCurrentX() && x < e->GetCurrentX() + width) return true;
    const CElementAIProfessor* hero = e->IsProfessor() ? static_cast<CElementAIProfessor*>(e) : nullptr;
    return hero && hero->usingPowerup && x == hero->powerupTargetX && y == hero->powerupTargetY;
}

// A piece that has left the world though it is still in the element list
// (undo may bring it back): one burned or melted away (heat takes it off the
// grid at once, while its flames or steam play out), a collapsed bridge, a
// power-up the professor picked up, a shot that struck (its explosion is the
// struck piece's) or flew past the last column, one fallen below the bottom
// row, or another destroyed piece (a device broken in a fall) but a bot,
// which heat wrecks into a lump that stays in its cell. The professor is
// never gone: where he ends is the run's result.
bool IsGone(CElement* e) {
    if (e->IsProfessor()) return false;
    if (e->IsBridge() && static_cast<CElementTerrainBridge*>(e)->IsCollapsing()) return true;
    if (const auto* powerup = dynamic_cast<CElementDevicePowerup*>(e); powerup && powerup->IsCollected()) return true;
    if (const auto* shot = dynamic_cast<CElementDeviceGunshot*>(e); shot && (shot->HasHit() || shot->IsFinished()))
        return true;
    if (e->GetCurrentY() >= CElement::kGridHeight) return true;
    return (e->IsDestroyed() && !e->IsAI()) || ((e->burnable || e->meltable) && !e->occupiesGrid);
}

}  // namespace

CWorldRun::CWorldRun(CLevel* level) : level_(level) {
    if (level_) keys_ = level_->GetSolution();
}

CWorldRun::~CWorldRun() {
    if (started_) {
        CElement::UnloadElements();
        CRender::ClearDirtyLists();
        CElement::SetFrameSource(nullptr);
    }
}

void CWorldRun::SetKeys(const std::vector<ReplayKey>& keys) {
    keys_ = keys;
    cursor_ = 0;
}

bool CWorldRun::Start(std::string* error) {
    if (!level_) {
        if (error) *error = "no level";
        return false;
    }
    std::string fault;
    if (CLevelRules::FindPlayFault(*level_, &fault) != CLevelRules::FAULT_NONE) {
        if (error) *error = fault;
        return false;
    }
    if (started_) {
        CElement::UnloadElements();
        CRender::ClearDirtyLists();
    }
    g_runFrame = 0;
    CElement::SetFrameSource(RunFrame);
    CElement* hero = CLevelBuilder::Build(level_);
    started_ = true;
    frame_ = 0;
    cursor_ = 0;
    CElement::SetStepCount(0);
    if (!hero) {
        if (error) *error = "the level's hero could not be made";
        return false;
    }
    return true;
}

void CWorldRun::ApplyKey(int code, bool released) {
    ApplySolutionKey(dynamic_cast<CElementAIProfessor*>(CElement::GetHero()), code, released);
}

void CWorldRun::StepFrame() {
    if (!started_) return;
    ++frame_;
    g_runFrame = static_cast<uint32_t>(frame_);
    // Every record stamped with this frame, in stored order, before the
    // world step; a record stamped earlier than this frame ends the playback.
    while (cursor_ < keys_.size()) {
        const ReplayKey& k = keys_[cursor_];
        if (k.frame < frame_) {
            cursor_ = keys_.size();
            break;
        }
        if (k.frame != frame_) break;
        ApplyKey(k.key, k.released);
        ++cursor_;
    }
    CElement::UpdateWorld();
    UpdateAllSprites();
    CRender::ClearDirtyLists();
}

void CWorldRun::Run(int maxFrames, bool check) {
    while (frame_ < maxFrames && !IsEnded()) {
        StepFrame();
        if (check) {
            std::string what;
            if (!CheckWorld(&what)) {
                failure_ = "frame " + std::to_string(frame_) + ": " + what;
                return;
            }
        }
    }
}

bool CWorldRun::IsEnded() const { return started_ && CElement::IsLevelExited(); }

std::string CWorldRun::GetResult() const {
    if (!IsEnded()) return "running";
    if (CElement::IsProfessorCaught()) return "caught";
    if (CElement::IsProfessorSinged()) return "singed";
    if (CElement::IsProfessorFallen()) return "fallen";
    if (CElement::IsExitTubeDestroyed()) return "tube-destroyed";
    return "exited";
}

std::string CWorldRun::ToJson() const {
    std::string out = "{\"result\": \"" + GetResult() + "\", \"frames\": " + std::to_string(frame_) +
                      ", \"steps\": " + std::to_string(CElement::GetStepCount()) + ", \"hero\": ";
    CElement* hero = CElement::GetHero();
    if (hero) {
        out += "[" + std::to_string(hero->GetCurrentX()) + ", " + std::to_string(hero->GetCurrentY()) + "]";
    } else {
        out += "null";
    }
    out += ", \"elements\": [";
    bool first = true;
    for (CElement* e : CElement::GetAllElements()) {
        // The world's stand-in for an empty cell is nothing of the level.
        if (e->IsNull() || IsGone(e)) continue;
        if (!first) out += ", ";
        first = false;
        out += "{\"type\": ";
        out += JsonText(e->GetTypeName());
        out += ", \"col\": " + std::to_string(e->GetCurrentX()) + ", \"row\": " + std::to_string(e->GetCurrentY());
        out += std::string(", \"frozen\": ") + (e->IsFrozen() ? "true" : "false");
        out += std::string(", \"heated\": ") + (e->IsHeated() ? "true" : "false");
        out += std::string(", \"destroyed\": ") + (e->IsDestroyed() ? "true" : "false") + "}";
    }
    out += "]}";
    return out;
}

bool CWorldRun::CheckWorld(std::string* what) {
    auto fail = [what](const std::string& text) {
        if (what) *what = text;
        return false;
    };
    auto at = [](const CElement* e) {
        return std::string(e->GetTypeName()) + " at (" + std::to_string(e->GetCurrentX()) + "," +
               std::to_string(e->GetCurrentY()) + ")";
    };
    auto cell = [](int x, int y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; };
    const std::vector<CElement*>& all = CElement::GetAllElements();
    CElement* nullElement = CElement::GetNullElement();
    if (!nullElement) return fail("no Null Element");
    std::unordered_set<CElement*> live;
    live.reserve(all.size());
    for (CElement* e : all)
        if (!live.insert(e).second) return fail(at(e) + " is listed twice in the world");
    int heroes = 0;
    CElement* professor = nullptr;
    for (CElement* e : all) {
        if (e->IsProfessor()) {
            ++heroes;
            professor = e;
        }
        // Terrain runs, teleports and power-ups stand at their cell; a
        // portal may begin one column left of the grid; a frost or heat ball
        // flies on past the edge columns before it ends.
        const int minX = e->IsGunshot() ? CElementDeviceGunshot::kLastColumnLeft : (e->IsTeleport() ? -1 : 0);
        const int maxX = e->IsGunshot() ? CElementDeviceGunshot::kLastColumnRight : CElement::kGridWidth - 1;
        if (e->GetCurrentX() < minX || e->GetCurrentX() > maxX || e->GetCurrentY() < 0 ||
            e->GetCurrentY() > CElement::kLowestFallRow)
            return fail(std::string(e->GetTypeName()) + " outside the grid at " +
                        cell(e->GetCurrentX(), e->GetCurrentY()));
        for (CElement* link : {e->GetMagnetHolderA(), e->GetMagnetHolderB()}) {
            if (!link || (link != nullElement && !live.count(link)))
                return fail(at(e) + " holds a magnet link to an element not in the world");
        }
        // Whatever is not on its way between two cells is drawn on its cell.
        if (!e->MOVING && !e->IsAtRest())
            return fail(at(e) + " rests at pixel " + cell(e->GetPixelX(), e->GetPixelY()) + ", off its cell");
        // A movable element that takes its cell in the grid holds it while
        // at rest (terrain that gave way or burned leaves its cell for good).
        if (e->dynamic && e->occupiesGrid && !e->IsDestroyed() && !e->IsMoving() && !e->IsNull() &&
            CElement::IsInsideGrid(e->GetCurrentX(), e->GetCurrentY()) &&
            CElement::GetStoredAt(e->GetCurrentX(), e->GetCurrentY()) != e)
            return fail(at(e) + " is not in its grid cell");
    }
    if (heroes > 1) return fail(std::to_string(heroes) + " heroes");
    if (heroes == 1 && CElement::GetHero() != professor)
        return fail("the hero pointer does not name the hero");
    for (int x = 0; x < CElement::kGridWidth; ++x) {
        for (int y = 0; y < CElement::kGridHeight; ++y) {
            CElement* e = CElement::GetStoredAt(x, y);
            if (!e) return fail("an empty grid cell at " + cell(x, y));
            if (e == nullElement) continue;
            if (!live.count(e)) return fail("grid cell " + cell(x, y) + " holds an element that is not in the world");
            // A singed hero burns where he stands until the level ends; a
            // bot wrecked by heat stays a solid lump in its cell.
            if (e->IsDestroyed() && !e->IsAI())
                return fail("grid cell " + cell(x, y) + " holds a destroyed " + e->GetTypeName());
            if (!MayHoldCell(e, x, y)) return fail("grid cell " + cell(x, y) + " holds a stale copy of the " + at(e));
        }
    }
    return true;
}
