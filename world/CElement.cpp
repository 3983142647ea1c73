#include "world/CElement.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "players/CProfile.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CWorldDigest.h"
#include "world/PieceStatics.h"
#include "world/pieces/CElementDeviceTeleport.h"
#include "world/pieces/CElementDeviceTrampoline.h"
#include "world/pieces/CElementLadder.h"
#include "world/pieces/CElementObjectMagnet.h"
#include "world/pieces/PieceSprites.h"

// ---- Shared world state ------------------------------------------------------

CElement* CElement::grid[kGridCells] = {};
CElement* CElement::nullElement = nullptr;
CElement* CElement::hero = nullptr;
std::vector<CElement*> CElement::allElements;
std::vector<CElement*> CElement::spawned;
uint8_t CElement::levelEnd[LEVELEND_COUNT] = {};
bool CElement::justBuilt = true;
uint32_t CElement::worldGeneration = 0;
CProfile* CElement::profile_ = nullptr;
int32_t CElement::ownStepCount = 0;
int32_t CElement::undoCount = 0;
int32_t CElement::undoStart = 0;
bool CElement::undoSavePending = false;
bool CElement::undoSkipOnce = false;
CElement::UndoWatchFn CElement::undoWatcher = nullptr;
CSprite* CElement::flashSprite = nullptr;
CSoundObject* CElement::empSound = nullptr;
bool CElement::globalSpritesLoaded = false;
std::vector<int32_t> CElement::heatedCells;
CElement::FrameFn CElement::frameFn = nullptr;

namespace {

// One undo step of the world as a whole (each element keeps its own fields).
struct WorldStep {
    CElement* grid[CElement::kGridCells] = {};
    std::vector<CElement*> elements;
    std::vector<CElement*> spawned;
    uint8_t flags[LEVELEND_ENDED] = {};
};
WorldStep g_steps[CElement::kUndoSlots];

// How many settling passes one world step may run before we call it a
// runaway: every pass that changes something starts a move, and moving
// elements are skipped, so a real world settles in far fewer.
int PassCap() { return static_cast<int>(CElement::GetAllElements().size()) + 64; }

const char* const kDashes = "-------------------------------------------\n";

CElement* CellOrNull(CElement* e) { return e ? e : CElement::GetNullElement(); }

// The slide value of GetSlideTendency, which the slide test and the pushes
// ask of every element in every pass: written here, so that they have it
// inline.
inline int SlideValue(CElement* e) {
    const int x = e->GetCurrentX(), y = e->GetCurrentY();
    if (CElementDeviceTrampoline::IsTrampolineAt(x, y + 1) || CElementLadder::IsLadderPlatformAt(x, y + 1))
        return e->GetSlide();
    CElement* below = CElement::ElementBelow(x, y);
    if (below->IsNull()) return 0;
    return below->GetSurfaceFriction() + e->GetSlide();
}

}  // namespace

// ---- Construction ------------------------------------------------------------

CElement::CElement(int x_, int y_, int createFlag_) : createFlag(createFlag_) {
    if (!globalSpritesLoaded) LoadGlobalSprites();
    LoadSounds();
    DebugLog(DBG_CONSTRUCT, "Adding element to allElements...%d\n", static_cast<int>(allElements.size()));
    allElements.push_back(this);
    x = prevX = x_;
    y = prevY = y_;
    pixelX = prevPixelX = x_ * kCellSize;
    pixelY = prevPixelY = y_ * kCellSize;
    magnetHolderA = nullElement;
    magnetHolderB = nullElement;
}

CElement::~CElement() {
    DeleteGhostSprite();
    FreeSounds();
    for (Record& r : saved) {
        delete r.ghost;
        r.ghost = nullptr;
    }
}

void CElement::LoadGlobalSprites() {
    DebugLog(DBG_TICK, "Loading global element sprites...\n");
    flashSprite = NewPieceSprite(29, 20, LAYER_FLASH, 1, 1, 1, "Flash Bang", false);
    flashSprite->AddFrame("flash.jpg");
    empSound = new CSoundObject("powerup_emp.ogg", false);
    globalSpritesLoaded = true;
}

void CElement::LoadSounds() {
    soundStop = new CSoundObject("object_stop.ogg", false);
    soundLand = new CSoundObject("object_land.ogg", false);
    soundIceSlide = new CSoundObject("object_slide_ice.ogg", false);
    soundSlide = new CSoundObject("object_slide.ogg", false);
    soundRoll = new CSoundObject("object_barrel_roll.ogg", false);
}

void CElement::FreeSounds() {
    CSoundObject** sounds[] = {&soundStop, &soundLand, &soundIceSlide, &soundSlide, &soundRoll, &soundBurn, &soundMelt};
    for (CSoundObject** s : sounds) {
        if (*s) {
            CSound::RemoveSound(*s);
            delete *s;
            *s = nullptr;
        }
    }
}

namespace {
void ReplaceSound(CSoundObject** slot, const char* name) {
    if (*slot) {
        CSound::RemoveSound(*slot);
        delete *slot;
    }
    *slot = new CSoundObject(name, false);
}
}  // namespace

void CElement::ReplaceLandSound(const char* name) { ReplaceSound(&soundLand, name); }
void CElement::ReplaceBurnSound(const char* name) { ReplaceSound(&soundBurn, name); }

// ---- Virtual operations: base behaviour -------------------------------------

void CElement::StepMovement() {
    const int speed = (IsGunshot() && !CElementDeviceTrampoline::IsTrampolineAt(x, y)) ? 6 : 3;
    prevPixelX = pixelX;
    prevPixelY = pixelY;
    if (!MOVING) return;
    int dx = 0, dy = 0;
    if (IsMovingLeft()) {
        dx = -speed;
    } else if (IsMovingRight()) {
        dx = speed;
    } else if (IsMovingUp()) {
        dy = -speed;
    } else if (IsMovingDown()) {
        dy = speed;
    }
    pixelX += dx;
    pixelY += dy;
    if (inPassage) {
        ghostPixelX += dx;
        ghostPixelY += dy;
    }
    if (pixelX == x * kCellSize && pixelY == y * kCellSize) {
        prevX = x;
        prevY = y;
        MOVING = 0;
        PUSHED = 0;
        inPassage = 0;
    }
}

bool CElement::CanChainFall(CElement* start, CElement* link, bool leftSide) {
    // The chain is walked link by link; a chain that runs in a circle
    // without passing start (through teleport pairs) hangs on nothing, like
    // the closed loop through start does.
    const int cap = static_cast<int>(allElements.size()) + 1;
    for (int steps = 0; steps <= cap; ++steps) {
        if (!link || link->IsNull()) return true;
        if (link->IsMoving()) return true;
        if (link->IsGate()) return false;
        const int sx = GetSideXAt(link->x, link->y, leftSide, true);
        const int sy = GetSideYAt(link->x, link->y, leftSide, true);
        if (CElementLadder::IsLadderPlatformAt(sx, sy)) return false;
        if (IsCellSupported(link->x, link->y)) return false;
        CElement* next = leftSide ? link->magnetHolderA : link->magnetHolderB;
        if (next == start) return true;
        link = next;
    }
    return true;
}

bool CElement::CanFall(bool ignoreBelow) {
    if (!ignoreBelow) {
        if (IsCellSupported(x, y)) return false;
    } else if (CElementDeviceTrampoline::IsTrampolineAt(x, y + 1) || CElementLadder::IsLadderPlatformAt(x, y + 1)) {
        return false;
    }
    if (y >= kLowestFallRow) return false;
    if (type == ELEMENT_AI && !FROZEN && CElementLadder::IsLadderAt(x, y)) return false;
    if (!gravity) return false;
    return CanChainFall(this, magnetHolderA, true) && CanChainFall(this, magnetHolderB, false);
}

bool CElement::CanSlide() {
    if (TRAMP || IsMagnetHeld()) return false;
    if (SlideValue(this) >= 0) return false;
    CElement* under = FindElementAt(x, y + 1);
    if (under->IsMovingLeft() || under->IsMovingRight()) return false;
    if (WASMOVINGLEFT && GetSideXAt(x, y, true, true) >= 0) return true;
    if (WASMOVINGRIGHT && GetSideXAt(x, y, false, true) < kGridWidth) return true;
    return false;
}

void CElement::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving Element state...\n", GetTypeName());
    SaveBaseState(k);
}

void CElement::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring Element state...\n", GetTypeName());
    RestoreBaseState(k);
}

void CElement::CutMagnetLinks() {}

int CElement::GetX() { return dynamic ? prevX : x; }
int CElement::GetY() { return dynamic ? prevY : y; }
void CElement::Update() {}
bool CElement::IsFacingLeft() { return facingLeft != 0; }
bool CElement::IsMoving() { return dynamic && MOVING; }
bool CElement::IsMovingLeft() { return dynamic && MOVING && prevX > x; }
bool CElement::IsMovingRight() { return dynamic && MOVING && prevX < x; }
bool CElement::IsMovingUp() { return dynamic && MOVING && prevY > y; }
bool CElement::IsMovingDown() { return dynamic && MOVING && prevY < y; }
bool CElement::IsSlidingLeft() { return dynamic && WASMOVINGLEFT; }
bool CElement::IsSlidingRight() { return dynamic && WASMOVINGRIGHT; }
bool CElement::IsOnSlipperySurface() { return ElementBelow(x, y)->GetSurfaceFriction() < 0; }
bool CElement::IsOnStickySurface() { return ElementBelow(x, y)->GetSurfaceFriction() > 0; }

bool CElement::PushRight(bool forced, bool fromTrampoline) { return PushToSide(false, forced, fromTrampoline); }
bool CElement::PushLeft(bool forced, bool fromTrampoline) { return PushToSide(true, forced, fromTrampoline); }

bool CElement::PushToSide(bool left, bool forced, bool fromTrampoline) {
    if (IsNull()) return true;
    CElement* above = FindElementAt(x, y - 1);
    CElement* below = FindElementAt(x, y + 1);
    const int sideX = GetSideXAt(x, y, left, true);
    const int sideY = GetSideYAt(x, y, left, true);
    bool tryIt = dynamic && !MOVING && !(ridden && !fromTrampoline);
    if (tryIt) {
        const int v = SlideValue(this);
        if (v >= 0 && (!forced || v > 0)) tryIt = false;
    }
    const bool sideInGrid = left ? sideX >= 0 : sideX < kGridWidth;
    if (tryIt && !IsMagnetHeld() && !(TRAMP && !fromTrampoline) && sideInGrid && !above->IsMovingLeft() &&
        !above->IsMovingRight() && !below->IsMovingLeft() && !below->IsMovingRight() &&
        GetElementAt(sideX, sideY, false)->IsNull()) {
        PUSHED = 1;
        if (type != ELEMENT_AI) facingLeft = left ? 1 : 0;
        MoveTo(left ? x - 1 : x + 1, y);
        return true;
    }
    if (HEATED) {
        CElement* side = GetElementAt(sideX, sideY, false);
        if (side->IsProfessor() && !side->IsMoving()) {
            Heat(side, false, false);
            Freeze(this);
        }
    }
    return false;
}

bool CElement::PushUp() {
    DebugLog(DBG_DEBUG, "Pushing element (%d) to the up...\n", type);
    return false;
}

bool CElement::PushDown() {
    DebugLog(DBG_DEBUG, "Pushing element (%d) to the down...\n", type);
    return false;
}

bool CElement::BumpedRight() { return BumpedToSide(false); }
bool CElement::BumpedLeft() { return BumpedToSide(true); }

bool CElement::BumpedToSide(bool left) {
    DebugLog(DBG_DEBUG, left ? "CElement::BumpedLeft() at (%i,%i)\n" : "CElement::BumpedRight() at (%i,%i)\n", x, y);
    // Something moving the other way is not turned round by a bump.
    if (IsNull() || !dynamic || !slidable || (left ? IsMovingRight() : IsMovingLeft())) return false;
    if (left) {
        WASMOVINGLEFT = 1;
    } else {
        WASMOVINGRIGHT = 1;
    }
    return true;
}

void CElement::Break() {}
int CElement::GetSlide() { return 0; }
int CElement::GetSurfaceFriction() { return 0; }

void CElement::PrintState() { DebugLog(DBG_DEBUG, "(DEFAULT)   CURRENT=(%d,%d)\n", x, y); }

void CElement::PrintSprites() {
    if (!sprite) return;
    DebugLog(DBG_ACTIVE_SPRITE, "   T(%d,%d)   %-20s   LOCATION=(%d,%d)  HIDDEN=%d  STATE=%d  FRAME=%d  FINISHED=%d  NAME='%s'\n",
             x, y, GetTypeName(), sprite->GetX(true), sprite->GetY(true), sprite->IsHidden() ? 1 : 0,
             sprite->GetAnimationState(), sprite->GetFrame(), sprite->IsFinished() ? 1 : 0, sprite->GetName());
}

bool CElement::IsImmune() { return false; }

// ---- Grid ----------------------------------------------------------------------

CElement* CElement::GetElementAt(int x, int y, bool includeGunshots) {
    if (!IsInsideGrid(x, y)) return nullElement;
    CElement* e = grid[GridIndex(x, y)];
    if (!e) return nullElement;
    if (!includeGunshots && e->IsGunshot()) return nullElement;
    return e;
}

void CElement::SetElementAt(int x, int y, CElement* element) {
    if (!IsInsideGrid(x, y)) return;
    grid[GridIndex(x, y)] = element ? element : nullElement;
}

void CElement::ClearElementAt(int x, int y) {
    if (!IsInsideGrid(x, y)) return;
    grid[GridIndex(x, y)] = nullElement;
}

bool CElement::IsOccupied(int x, int y, bool includeGunshots) {
    if (!IsInsideGrid(x, y)) return false;
    CElement* e = GetElementAt(x, y, includeGunshots);
    return e && !e->IsNull();
}

CElement* CElement::FindElementAt(int x, int y) {
    const size_t n = allElements.size();
    for (size_t i = 0; i < n; ++i) {
        CElement* e = allElements[i];
        if ((e->x == x && e->y == y) || (e->prevX == x && e->prevY == y)) {
            if (e->destroyed || e->IsGunshot()) return nullElement;
            return e;
        }
    }
    return nullElement;
}

void CElement::RegisterSpawned(CElement* element) {
    if (!element) return;
    element->spawnedFlag = 1;
    spawned.push_back(element);
}

bool CElement::IsMagnetHeld() const {
    return (magnetHolderA && magnetHolderA->type != ELEMENT_NULL) ||
           (magnetHolderB && magnetHolderB->type != ELEMENT_NULL);
}

bool CElement::IsNearlyAligned() const {
    const int dx = pixelX - x * kCellSize, dy = pixelY - y * kCellSize;
    return dx >= -5 && dx <= 5 && dy >= -5 && dy <= 5;
}

bool CElement::IsAboutToFall() { return !landed && !FALLING && CanFall(false); }

void CElement::SetMagnetHolder(CElement* holder, bool side) {
    if (side) {
        magnetHolderA = CellOrNull(holder);
    } else {
        magnetHolderB = CellOrNull(holder);
    }
}

void CElement::ClearMagnetHolderA() { magnetHolderA = nullElement; }
void CElement::ClearMagnetHolderB() { magnetHolderB = nullElement; }

void CElement::ClearMagnetHolders(bool sideA, bool sideB) {
    if (sideA) magnetHolderA = nullElement;
    if (sideB) magnetHolderB = nullElement;
}

void CElement::SetPushState(int direction, int value) {
    if (direction != 0) {
        pushDirLeft = 1;
        pushDirRight = 0;
    } else {
        pushDirLeft = 0;
        pushDirRight = static_cast<uint8_t>(value);
    }
}

void CElement::SetRidden(bool on) {
    ridden = on ? 1 : 0;
    if (!on) {
        pushDirLeft = 0;
        pushDirRight = 0;
    }
}

const char* CElement::GetTypeName() const {
    switch (type) {
        case ELEMENT_NULL:
            return "Null Element";
        case ELEMENT_TERRAIN:
            switch (typeTerrain) {
                case 1: return "Grass Terrain";
                case 2: return "Ice Terrain";
                case 3: return "Sand Terrain";
                case 4: return "Bridge Terrain";
            }
            break;
        case ELEMENT_LADDER:
            return "Ladder";
        case ELEMENT_DEVICE:
            switch (typeDevice) {
                case 1: return "Gunshot Device";
                case 2: return "Gate Device";
                case 3: return "Button Device";
                case 4: return "Trampoline Device";
                case 5: return "Tube Device";
                case 6: return "Teleport Device";
                case 7: return "Powerup Device";
            }
            break;
        case ELEMENT_OBJECT:
            switch (typeObject) {
                case 1: return "Crate Object";
                case 2: return "Barrel Object";
                case 3: return "Magnet Object";
            }
            break;
        case ELEMENT_AI:
            switch (typeAI) {
                case 1: return "Professor AI";
                case 2: return "Bot AI";
            }
            break;
        case ELEMENT_TUTORIAL:
            return "Tutorial";
    }
    DebugLog(DBG_DEBUG,
             "Unknown Element:  type=%d   typeObject=%d   typeDevice=%d   typeMagnet=%d   typeAI=%d   typeLadder=%d\n",
             type, typeObject, typeDevice, typeMagnet, typeAI, typeLadder);
    return "Unknown Element";
}

// ---- Movement ------------------------------------------------------------------

bool CElement::IsCellSupported(int x, int y) {
    return !ElementBelow(x, y)->IsNull() || CElementDeviceTrampoline::IsTrampolineAt(x, y + 1) ||
           CElementLadder::IsLadderPlatformAt(x, y + 1);
}

bool CElement::IsSupported(bool previous) { return previous ? IsCellSupported(prevX, prevY) : IsCellSupported(x, y); }

bool CElement::IsSomethingAbove(bool previous) {
    const int cx = previous ? prevX : x;
    const int cy = previous ? prevY : y;
    return IsOccupied(cx, cy - 1, false);
}

int CElement::GetSideXAt(int x, int y, bool leftSide, bool throughTeleports) {
    if (throughTeleports) {
        CElement* partner = CElementDeviceTeleport::GetPartner(x, y + 1, leftSide);
        if (!partner) partner = CElementDeviceTeleport::GetPartner(x, y, leftSide);
        if (partner) return leftSide ? partner->x : partner->x + 1;
    }
    return leftSide ? x - 1 : x + 1;
}

int CElement::GetSideYAt(int x, int y, bool leftSide, bool throughTeleports) {
    if (throughTeleports) {
        CElement* partner = CElementDeviceTeleport::GetPartner(x, y, leftSide);
        if (partner) return partner->y;
        partner = CElementDeviceTeleport::GetPartner(x, y + 1, leftSide);
        if (partner) return partner->y - 1;
    }
    return y;
}

int CElement::GetSlideTendency() { return SlideValue(this); }

void CElement::MoveTo(int nx, int ny) {
    if (typeAI == AI_PROFESSOR && type == ELEMENT_AI && !FALLING && !SLIDING) IncrementStepCount();
    MOVING = 1;
    supportedAtStart = IsCellSupported(x, y) ? 1 : 0;
    prevX = x;
    prevY = y;
    x = nx;
    y = ny;

    if (!IsGunshot()) {
        CElement* below = ElementBelow(prevX, prevY);
        if (below->IsBridge()) below->Break();
    }

    bool passage = false;
    const bool left = IsMovingLeft();
    const bool right = IsMovingRight();
    if ((left || right) && CElementDeviceTeleport::CheckTeleport(prevX, prevY, left, true, false)) {
        passage = true;
        inPassage = 1;
        passageFrame = 0;
        passageX = x;
        passageY = y;
        ghostPixelX = pixelX;
        ghostPixelY = pixelY;
        const int cx = GetSideXAt(prevX, prevY, left, true);
        const int cy = GetSideYAt(prevX, prevY, left, true);
        x = cx;
        y = cy;
        prevX = left ? cx + 1 : cx - 1;
        prevY = cy;
        pixelX = prevX * kCellSize;
        pixelY = prevY * kCellSize;
        prevPixelX = left ? pixelX + 3 : pixelX - 3;
        prevPixelY = pixelY;
    }

    if (PUSHED || !FALLING) {
        const bool nowLeft = IsMovingLeft();
        const bool nowRight = IsMovingRight();
        if (PUSHING && ((WASMOVINGLEFT && nowRight) || (WASMOVINGRIGHT && nowLeft))) PUSHING = 0;
        WASMOVINGLEFT = nowLeft ? 1 : 0;
        WASMOVINGRIGHT = nowRight ? 1 : 0;
    }
    WASMOVINGUP = IsMovingUp() ? 1 : 0;
    WASMOVINGDOWN = IsMovingDown() ? 1 : 0;

    if (occupiesGrid && IsInsideGrid(x, y) && GetElementAt(x, y, false)->IsNull()) SetElementAt(x, y, this);

    if (CElementDeviceTrampoline::IsTrampolineAt(x, y)) {
        TRAMP = 1;
    } else if (TRAMP) {
        TRAMP = 0;
        if (!FROZEN) leftTrampoline = 1;
    }

    if (!passage) {
        if (IsInsideGrid(prevX, prevY) && grid[GridIndex(prevX, prevY)] == this) ClearElementAt(prevX, prevY);
    } else {
        const int sx = passageX + prevX - x;
        const int sy = passageY;
        if (IsInsideGrid(sx, sy) && grid[GridIndex(sx, sy)] == this && (sx != x || sy != y)) ClearElementAt(sx, sy);
    }
}

// ---- Step count ---------------------------------------------------------------

int32_t CElement::GetStepCount() { return profile_ ? profile_->GetStepCount(true) : ownStepCount; }

void CElement::SetStepCount(int32_t steps) {
    if (profile_) {
        profile_->SetStepCount(steps);
        return;
    }
    ownStepCount = std::max<int32_t>(0, std::min<int32_t>(steps, CProfile::kMaxStepCount));
}

void CElement::IncrementStepCount() {
    if (profile_) {
        profile_->IncrementStepCount();
        return;
    }
    if (ownStepCount < CProfile::kMaxStepCount) ++ownStepCount;
}

void CElement::SetFrameSource(FrameFn fn) { frameFn = fn; }

int32_t CElement::CurrentFrame() {
    return static_cast<int32_t>(frameFn ? frameFn() : CDraw::GetFrame());
}

// ---- World checks ------------------------------------------------------------

bool CElement::InteractionPass() {
    CElement* h = hero;
    if (!h) return false;
    const int hx = h->x, hy = h->y;
    CElement* left = GetElementAt(GetSideXAt(hx, hy, true, true), GetSideYAt(hx, hy, true, true), false);
    CElement* right = GetElementAt(GetSideXAt(hx, hy, false, true), GetSideYAt(hx, hy, false, true), false);
    if (levelEnd[LEVELEND_EXITING] || h->IsMoving() || h->FROZEN || h->HEATED || h->FALLING) return false;
    if (!IsCellSupported(hx, hy) || IsOccupied(hx, hy - 1, false)) return false;

    auto canCatch = [h](CElement* bot, bool botOnLeft) {
        if (!bot->IsBot()) return false;
        if (IsOccupied(bot->x, bot->y - 1, false)) return false;
        if (bot->FROZEN || bot->destroyed || bot->IsMoving()) return false;
        if (!IsCellSupported(bot->x, bot->y) && !CElementLadder::IsLadderAt(bot->x, bot->y + 1)) return false;
        // A trampoline fling carries them apart.
        if (botOnLeft ? (bot->TRAMP && bot->WASMOVINGRIGHT) : (bot->TRAMP && bot->WASMOVINGLEFT)) return false;
        if (botOnLeft ? (h->TRAMP && h->WASMOVINGLEFT) : (h->TRAMP && h->WASMOVINGRIGHT)) return false;
        return !bot->IsMagnetHeld();
    };
    CElement* catcher = nullptr;
    bool fromLeft = false;
    if (canCatch(left, true)) {
        catcher = left;
        fromLeft = true;
    } else if (canCatch(right, false)) {
        catcher = right;
    }
    if (!catcher) return false;
    levelEnd[LEVELEND_CAUGHT] = 1;
    if (fromLeft) {
        catcher->caughtFromLeft = 1;
        h->caughtFromLeft = 1;
    } else {
        catcher->caughtFromRight = 1;
        h->caughtFromRight = 1;
    }
    catcher->slidable = 0;
    h->gravity = 0;
    h->slidable = 0;
    return true;
}

bool CElement::CheckAllFalling(CElement* e) {
    const int32_t frame = CurrentFrame();
    if (!e->CanFall(false)) {
        if (ElementBelow(e->x, e->y)->FALLING) {
            DebugLog(DBG_ELEMENT_PUMP, "CheckAllFalling in frame %d:  Element ignoring fall check (%s)\n", frame,
                     e->GetTypeName());
            return false;
        }
        if (e->FALLING || e->landingFrame == frame) {
            DebugLog(DBG_ELEMENT_PUMP, "CheckAllFalling in frame %d:   Element landed (AI=%d,OBJECT=%d)\n", frame,
                     e->typeAI, e->typeObject);
            e->LANDING = 1;
            e->landed = 1;
            e->landingFrame = frame;
        } else {
            e->landed = 0;
            e->landingFrame = -1;
        }
        e->FALLING = 0;
        return false;
    }
    DebugLog(DBG_ELEMENT_PUMP, "CheckAllFalling in frame %d:  Element found (%s) at (%i,%i)..\n", frame,
             e->GetTypeName(), e->x, e->y);
    e->FALLING = 1;
    e->LANDING = 0;
    e->SLIDING = 0;
    e->MoveTo(e->x, e->y + 1);
    return true;
}

bool CElement::FallingPass() {
    bool any = false;
    for (size_t i = 0; i < allElements.size(); ++i) {
        CElement* e = allElements[i];
        if (!e->gravity) {
            e->FALLING = 0;
            e->landed = 0;
        } else if (!e->MOVING) {
            if (CheckAllFalling(e)) any = true;
        }
    }
    return any;
}

void CElement::SettleFalling() {
    const int cap = PassCap();
    for (int pass = 0; FallingPass(); ++pass) {
        if (pass >= cap) {
            DebugLog(DBG_WARNING, "CElement::UpdateWorld()   Falling did not settle after %d passes\n", pass + 1);
            return;
        }
    }
}

bool CElement::IsBarrelSquished(CElement* e) {
    if (e->MOVING) return false;
    if (!e->CanFall(true)) return false;
    if (e->type == ELEMENT_AI && !e->FROZEN && !e->destroyed) return false;
    CElement* barrel = ElementBelow(e->x, e->y);
    if (!barrel->IsBarrel()) return false;
    if (e->CanSlide()) return false;
    bool moved;
    if (e->WASMOVINGLEFT) {
        moved = barrel->PushLeft(false, false) || barrel->PushRight(false, false);
    } else {
        moved = barrel->PushRight(false, false) || barrel->PushLeft(false, false);
    }
    if (!moved) return false;
    DebugLog(DBG_ELEMENT_PUMP, "   (%i,%i)  Barrel squish event\n", barrel->prevX, barrel->prevY);
    e->WASMOVINGLEFT = 0;
    e->WASMOVINGRIGHT = 0;
    e->FALLING = 1;
    e->MoveTo(e->x, e->y + 1);
    return true;
}

bool CElement::SquishPass() {
    bool any = false;
    for (int row = kGridHeight - 1; row >= 0; --row) {
        for (int col = 0; col < kGridWidth; ++col) {
            CElement* e = GetElementAt(col, row, false);
            if (!IsBarrelSquished(e)) continue;
            DebugLog(DBG_ELEMENT_PUMP, "CheckAllSquishing in frame %d:  Barrel squished at (%i,%i)...\n",
                     CurrentFrame(), col, row + 1);
            SettleFalling();
            any = true;
        }
    }
    return any;
}

bool CElement::CheckAllSliding(CElement* e) {
    if (e->skipSlideCheck) {
        if (!e->TRAMP) {
            e->WASMOVINGLEFT = 0;
            e->WASMOVINGRIGHT = 0;
        }
        e->skipSlideCheck = 0;
        return false;
    }
    if (!e->CanSlide()) {
        e->SLIDING = 0;
        return false;
    }
    const int32_t frame = CurrentFrame();
    DebugLog(DBG_ELEMENT_PUMP, "CheckAllSliding in frame %d:  Element found (%s) at (%i,%i)..\n", frame,
             e->GetTypeName(), e->x, e->y);
    const bool left = e->WASMOVINGLEFT != 0;
    CElement* n = GetElementAt(GetSideXAt(e->x, e->y, left, true), GetSideYAt(e->x, e->y, left, true), false);
    if (n->IsNull()) {
        e->SLIDING = 1;
        e->MoveTo(left ? e->x - 1 : e->x + 1, e->y);
        return true;
    }
    if (left ? n->IsSlidingLeft() : n->IsSlidingRight()) {
        DebugLog(DBG_ELEMENT_PUMP, left ? "CheckAllSliding in frame %d:  Element ignoring leftward slide check (%s)\n"
                                        : "CheckAllSliding in frame %d:  Element ignoring rightward slide check (%s)\n",
                 frame, e->GetTypeName());
        return false;
    }
    CSound::Play(e->soundStop, false, 0, 0.0f);
    e->SLIDING = 0;
    if (left) {
        e->WASMOVINGLEFT = 0;
    } else {
        e->WASMOVINGRIGHT = 0;
    }
    // Two elements sliding head on both stop.
    if (left ? n->IsSlidingRight() : n->IsSlidingLeft()) {
        n->skipSlideCheck = 1;
        if (e->HEATED && n->IsProfessor()) n->delayedHeat = 1;
        return false;
    }
    if (n == e) return false;
    return left ? n->BumpedLeft() : n->BumpedRight();
}

bool CElement::SlidingPass() {
    bool any = false;
    for (int row = kGridHeight - 1; row >= 0; --row) {
        for (int col = 0; col < kGridWidth; ++col) {
            CElement* e = GetElementAt(col, row, false);
            if (e->slidable && !e->MOVING && CheckAllSliding(e)) any = true;
        }
    }
    return any;
}

// ---- World step --------------------------------------------------------------

void CElement::UpdateWorld() {
    // The world is stepped only with exactly one hero: every pass reads him.
    int heroes = 0;
    for (CElement* e : allElements)
        if (e->IsProfessor()) ++heroes;
    if (heroes != 1 || !hero || !nullElement) {
        static int reported = 0;
        if (reported++ < 3)
            ErrorLog(false, "CElement::UpdateWorld()   Refusing to step a world with %d heroes\n", heroes);
        return;
    }

    if (justBuilt) {
        SaveUndoStep();
    } else {
        for (size_t i = 0; i < allElements.size(); ++i) allElements[i]->StepMovement();
    }
    HeatPass();
    InteractionPass();
    CElementObjectMagnet::UpdateAllMagnets();
    SettleFalling();
    SquishPass();
    SettleFalling();
    const int cap = PassCap();
    for (int pass = 0; SlidingPass(); ++pass) {
        if (pass >= cap) {
            DebugLog(DBG_WARNING, "CElement::UpdateWorld()   Sliding did not settle after %d passes\n", pass + 1);
            break;
        }
    }
    SettleFalling();

    hero->Update();
    for (size_t i = 0; i < allElements.size(); ++i) {
        CElement* e = allElements[i];
        if (!e->IsProfessor()) e->Update();
    }
    EndFrame();
    UpdateSounds();
    justBuilt = false;
}

void CElement::EndFrame() {
    const int32_t frame = CurrentFrame();
    for (size_t i = 0; i < allElements.size(); ++i) {
        CElement* e = allElements[i];
        if (!e->MOVING && !e->TRAMP) {
            e->WASMOVINGLEFT = 0;
            e->WASMOVINGRIGHT = 0;
        }
        if (!e->IsMovingDown()) e->FALLING = 0;
        if (e->landingFrame != frame) e->landed = 0;
    }
}

void CElement::PlayLoopingFadeIn(CSoundObject* sound) {
    if (!sound) return;
    if (!CSound::IsPlaying(sound) || CSound::GetVolume(sound) == 0.0f) {
        CSound::StopChannel(sound);
        CSound::FadeIn(sound, 15);
        CSound::Play(sound, true, 0, 0.0f);
    }
}

void CElement::FadeOutIfAudible(CSoundObject* sound) {
    if (!sound) return;
    if (CSound::IsPlaying(sound) && !CSound::IsFadingOut(sound) && CSound::GetVolume(sound) != 0.0f)
        CSound::FadeOut(sound, 15);
}

void CElement::UpdateSounds() {
    // Without a sound system every call below is a no-op.
    if (!CSound::IsReady()) return;
    for (size_t i = 0; i < allElements.size(); ++i) {
        CElement* e = allElements[i];
        if (e->IsGunshot()) continue;
        if (e->landed) {
            const bool onSomething = IsInsideGrid(e->x, e->y + 1) && IsCellSupported(e->x, e->y);
            if ((onSomething || (e->MOVING && e->supportedAtStart)) && !CSound::IsPlaying(e->soundLand))
                CSound::Play(e->soundLand, false, 0, 0.0f);
        }
        if (e->IsMovingLeft() || e->IsMovingRight()) {
            if (e->IsBarrel()) {
                PlayLoopingFadeIn(e->soundRoll);
                FadeOutIfAudible(e->soundIceSlide);
                FadeOutIfAudible(e->soundSlide);
            } else if (e->IsOnSlipperySurface() || e->FROZEN) {
                PlayLoopingFadeIn(e->soundIceSlide);
                FadeOutIfAudible(e->soundRoll);
                FadeOutIfAudible(e->soundSlide);
            } else if (e->IsProfessor() || (e->IsBot() && !e->destroyed)) {
                FadeOutIfAudible(e->soundRoll);
                FadeOutIfAudible(e->soundIceSlide);
                FadeOutIfAudible(e->soundSlide);
            } else {
                PlayLoopingFadeIn(e->soundSlide);
                FadeOutIfAudible(e->soundRoll);
                FadeOutIfAudible(e->soundIceSlide);
            }
        } else {
            FadeOutIfAudible(e->soundRoll);
            FadeOutIfAudible(e->soundIceSlide);
            FadeOutIfAudible(e->soundSlide);
        }
    }
}

void CElement::UpdateTeleportGhost(CElement* e) {
    if (!e) return;
    if (!e->inPassage) {
        if (e->ghostSprite) e->DeleteGhostSprite();
        return;
    }
    CSprite* main = e->sprite;
    if (!main) {
        ++e->passageFrame;
        return;
    }
    const int step = e->IsGunshot() ? 6 : 3;
    const int last = kCellSize / step - 1;
    int mainClipX, mainClipW, ghostClipX, ghostClipW;
    if (e->passageFrame == 0 || !e->ghostSprite) {
        delete e->ghostSprite;
        e->ghostSprite = main->Clone();
        e->ghostSprite->SetType(LAYER_TELEPORT_GHOST);
        e->ghostSprite->SetName("Teleport Ghost Sprite");
        main->SetType(LAYER_TELEPORT_PASSER);
        mainClipX = 31;
        mainClipW = 0;
        ghostClipX = 0;
        ghostClipW = 31;
        if (e->IsMovingRight()) {
            mainClipW = main->GetWidth(true) - 31;
            main->SetOriginX(main->GetOriginX() + 29 + 22);
        } else {
            ghostClipW = e->ghostSprite->GetWidth(false);
        }
    } else {
        mainClipX = main->GetClipX();
        mainClipW = main->GetWidth(false);
        ghostClipX = e->ghostSprite->GetClipX();
        ghostClipW = e->ghostSprite->GetWidth(false);
        if (e->passageFrame == last) {
            main->ResetOriginX();
            mainClipX -= 7;
            mainClipW += 7;
        }
    }
    if (!e->IsMovingRight()) {
        ghostClipX += step;
        ghostClipW -= step;
    } else {
        ghostClipW -= step;
        mainClipX -= step;
    }
    mainClipW += step;
    main->SetClipX(mainClipX);
    main->SetClipWidth(mainClipW);
    e->ghostSprite->SetClipX(ghostClipX);
    e->ghostSprite->SetClipWidth(ghostClipW);
    ++e->passageFrame;
}

// ---- Reset and unload ------------------------------------------------------------

void CElement::CreateNullElement() {
    if (!nullElement) {
        nullElement = new CElement(0, 0, 1);
        nullElement->type = ELEMENT_NULL;
        nullElement->magnetHolderA = nullElement;
        nullElement->magnetHolderB = nullElement;
    }
    for (CElement*& cell : grid) cell = nullElement;
    justBuilt = true;
}

void CElement::ResetWorld() {
    // The lists own their elements: a world still standing is unloaded
    // (its elements deleted) before the new one starts, never dropped.
    if (!allElements.empty() || nullElement) UnloadElements();
    ++worldGeneration;
    undoCount = 0;
    undoStart = 0;
    undoSavePending = false;
    undoSkipOnce = false;
    for (WorldStep& s : g_steps) {
        s.elements.clear();
        s.spawned.clear();
    }
    allElements.clear();
    spawned.clear();
    heatedCells.clear();
    hero = nullptr;
    CreateNullElement();
    for (const PieceStatics& statics : AllPieceStatics()) statics.reset();
    for (uint8_t& f : levelEnd) f = 0;
    justBuilt = true;
}

void CElement::UnloadElements() {
    undoCount = 0;
    undoStart = 0;
    undoSavePending = false;
    undoSkipOnce = false;
    DebugLog(DBG_DESTRUCT, "CElement:  Destroying elements vector...%d elements.\n", static_cast<int>(allElements.size()));
    // Destructors may look at the lists; take the elements out first.
    std::vector<CElement*> doomed;
    doomed.swap(allElements);
    for (CElement* e : doomed) delete e;
    spawned.clear();
    for (WorldStep& s : g_steps) {
        s.elements.clear();
        s.spawned.clear();
        for (CElement*& c : s.grid) c = nullptr;
    }
    for (CElement*& cell : grid) cell = nullptr;
    if (globalSpritesLoaded) {
        delete flashSprite;
        flashSprite = nullptr;
        if (empSound) CSound::RemoveSound(empSound);
        delete empSound;
        empSound = nullptr;
        globalSpritesLoaded = false;
    }
    hero = nullptr;
    nullElement = nullptr;
    heatedCells.clear();

    static const char* const kEquals =
        "==================================================================================\n";
    static const char* const kStars =
        "**********************************************************************************\n";
    DebugLog(DBG_ELEMENT, "%s", kEquals);
    DebugLog(DBG_ELEMENT, "%s", kStars);
    if (IsDebugCategoryOn(DBG_ELEMENT)) {
        std::vector<CSprite*> left;
        for (CSprite* s : GetSpriteList())
            if (s->GetType() != LAYER_MOUSE) left.push_back(s);
        if (!left.empty()) {
            DebugLog(DBG_ELEMENT, "CElement::UnloadElements()  WARNING:  All sprites have not been properly unloaded:\n");
            for (CSprite* s : left) DebugLog(DBG_ELEMENT, "   %s  (%i,%i)\n", s->GetName(), s->GetX(true), s->GetY(true));
        } else {
            DebugLog(DBG_ELEMENT, "CElement::UnloadElements()  All sprites have been properly unloaded\n");
        }
    }
    DebugLog(DBG_ELEMENT, "%s", kStars);
    DebugLog(DBG_ELEMENT, "%s", kEquals);
    DebugLog(DBG_DESTRUCT, "DEBUG CElement:  Elements vector destroyed...%d elements.\n",
             static_cast<int>(allElements.size()));
}

// ---- Heat and cold -----------------------------------------------------------

namespace {
bool HeroBeyondCold(CElement* e) {
    return e->IsProfessor() && (CElement::IsProfessorCaught() || CElement::IsProfessorExiting() ||
                                CElement::IsProfessorSinged());
}
}  // namespace

bool CElement::Freeze(CElement* e) {
    if (!e || e->IsImmune()) return false;
    if (HeroBeyondCold(e)) return false;
    if (e->HEATED) {
        DebugLog(DBG_DEBUG, "CElement::Freeze()   Element at (%i,%i) is dynamically heated.\n", e->x, e->y);
        e->cooling = 1;
        e->HEATED = 0;
        return true;
    }
    if (e->freezable) {
        DebugLog(DBG_DEBUG, "CElement::Freeze()   Element at (%i,%i) is dynamically freezable.\n", e->x, e->y);
        e->FROZEN = 1;
        return true;
    }
    return false;
}

bool CElement::Heat(CElement* e, bool shotHit, bool recordCell) {
    if (!e || e->IsImmune()) return false;
    if (e->IsProfessor() && (IsProfessorCaught() || IsProfessorExiting())) return false;
    if (e->FROZEN) {
        DebugLog(DBG_DEBUG, "CElement::Heat()   Element at (%i,%i) is dynamically frozen.\n", e->x, e->y);
        e->steamActive = 1;
        e->thawing = 1;
        e->FROZEN = 0;
        if (recordCell) AddHeatedCell(e->x, e->y);
    } else if (e->burnable || e->meltable) {
        DebugLog(DBG_DEBUG, "CElement::Heat()   Element at (%i,%i) is statically burnable or meltable.\n", e->x, e->y);
        if (e->burnable) e->explosionActive = 1;
        if (e->meltable && !e->burnable) e->steamActive = 1;
        e->occupiesGrid = 0;
        e->gravity = 0;
        e->slidable = 0;
        if (recordCell) AddHeatedCell(e->x, e->y);
        if (e->IsProfessor()) {
            e->HEATED = 1;
        } else {
            // Off the grid, still in the element list: it burns or melts away.
            if (IsInsideGrid(e->x, e->y) && grid[GridIndex(e->x, e->y)] == e) ClearElementAt(e->x, e->y);
        }
    } else if (e->heatable) {
        DebugLog(DBG_DEBUG, "CElement::Heat()   Element at (%i,%i) is dynamically heatable.\n", e->x, e->y);
        if (recordCell) AddHeatedCell(e->x, e->y);
        e->HEATED = 1;
        return true;
    } else {
        return false;
    }
    if (shotHit) e->effectSilent = 1;
    return true;
}

bool CElement::UseDelayedHeat(CElement* e) {
    if (!e || !e->delayedHeat) return false;
    DebugLog(DBG_DEBUG, "CElement::UseDelayedHeat()   Element at (%i,%i) using delayed heat!!!\n", e->x, e->y);
    e->delayedHeat = 0;
    return true;
}

bool CElement::WasHeatedThisPass(int x, int y) {
    const int32_t key = x * kGridHeight + y;
    return std::find(heatedCells.begin(), heatedCells.end(), key) != heatedCells.end();
}

void CElement::ClearHeatedCells() { heatedCells.clear(); }

void CElement::AddHeatedCell(int x, int y) {
    if (!WasHeatedThisPass(x, y)) heatedCells.push_back(x * kGridHeight + y);
}

void CElement::HeatPass() {
    heatedCells.clear();
    for (size_t i = 0; i < allElements.size(); ++i) {
        CElement* e = allElements[i];
        if (e->HEATED && e->IsAtRest() && !e->IsProfessor() && !e->CanFall(false)) SpreadTemperature(e);
    }
}

void CElement::SpreadTemperature(CElement* e) {
    const int lx = GetSideXAt(e->x, e->y, true, true), ly = GetSideYAt(e->x, e->y, true, true);
    const int rx = GetSideXAt(e->x, e->y, false, true), ry = GetSideYAt(e->x, e->y, false, true);
    bool any = false;
    if (TransferHeat(e, lx, ly)) any = true;
    if (TransferHeat(e, rx, ry)) any = true;
    if (TransferHeat(e, e->x, e->y - 1)) any = true;
    if (TransferHeat(e, e->x, e->y + 1)) any = true;
    if (any) CoolAfterTransfer(e);
}

void CElement::CoolAfterTransfer(CElement* e) {
    if (e->IsImmune() || HeroBeyondCold(e)) return;
    if (e->HEATED) {
        DebugLog(DBG_DEBUG, "CElement::Freeze()   Element at (%i,%i) is dynamically heated.\n", e->x, e->y);
        e->cooling = 1;
        e->HEATED = 0;
    } else if (e->freezable) {
        DebugLog(DBG_DEBUG, "CElement::Freeze()   Element at (%i,%i) is dynamically freezable.\n", e->x, e->y);
        e->FROZEN = 1;
    }
}

bool CElement::TransferHeat(CElement* source, int tx, int ty) {
    if (WasHeatedThisPass(tx, ty)) return true;
    CElement* target = GetElementAt(tx, ty, false);
    if (target->IsMoving() || target->inflated || target->CanFall(false)) return false;
    if (target->IsBridge()) {
        if (ty < source->y && !(source->IsBot() && !source->gravity)) return false;
        DebugLog(DBG_DEBUG, "transferHeat:  Attempting to heat bridge at (%i,%i)\n", tx, ty);
    } else if (target->IsProfessor()) {
        if (source->x != tx && !source->SLIDING && (!target->SLIDING || !target->CanSlide())) {
            if (!UseDelayedHeat(target)) return false;
        }
        DebugLog(DBG_DEBUG, "transferHeat:  Attempting to heat professor at (%i,%i)\n", tx, ty);
    } else {
        if (!target->FROZEN && !target->burnable && !target->meltable) return false;
        DebugLog(DBG_DEBUG, "transferHeat:  Attempting to heat element at (%i,%i)\n", tx, ty);
    }
    return Heat(target, false, true);
}

// ---- Undo ring -----------------------------------------------------------------

void CElement::SaveUndoStep() {
    if (levelEnd[LEVELEND_CAUGHT] || levelEnd[LEVELEND_EXITING] || levelEnd[LEVELEND_SINGED] ||
        levelEnd[LEVELEND_FELL])
        return;
    if (undoSkipOnce) {
        DebugLog(DBG_DEBUG, "UNDO SAVE - Skipped because just undid last step  (start=%i,count=%i)\n", undoStart,
                 undoCount);
        undoSkipOnce = false;
        return;
    }
    const int index = (undoStart + undoCount) % kUndoSlots;
    if (undoCount == 0) {
        undoSkipOnce = true;
        undoCount = 1;
    } else if (undoCount == kUndoSlots) {
        undoStart = (undoStart + 1) % kUndoSlots;
    } else {
        ++undoCount;
    }
    DebugLog(DBG_DEBUG, "UNDO SAVE - at index %i  (start=%i,count=%i)\n", index, undoStart, undoCount);
    DebugLog(DBG_UNDO, "Saving all element states...\n");
    for (size_t i = 0; i < allElements.size(); ++i) {
        CElement* e = allElements[i];
        DebugLog(DBG_UNDO, "   Saving STEP %i of Element '%s'\n", index, e->GetTypeName());
        e->SaveState(index);
    }
    DebugLog(DBG_UNDO, "   Saving STEP %i of obstructions\n", index);
    WorldStep& step = g_steps[index];
    std::copy(std::begin(grid), std::end(grid), std::begin(step.grid));
    step.elements = allElements;
    step.spawned = spawned;
    std::copy(levelEnd, levelEnd + LEVELEND_ENDED, step.flags);
    for (const PieceStatics& statics : AllPieceStatics()) {
        if (!statics.save) continue;
        DebugLog(DBG_UNDO, "   Saving STEP %i of %s\n", index, statics.what);
        statics.save(index);
    }
    if (undoWatcher) undoWatcher(index, false);
}

void CElement::LoadUndoStep(bool force) {
    if (levelEnd[LEVELEND_ENDED] || undoCount == 0) return;
    if (!force && undoSkipOnce) {
        DebugLog(DBG_DEBUG,
                 "UNDO LOAD - Skipped because nothing changed since final step restored (start=%i,count=%i)\n",
                 undoStart, undoCount);
        return;
    }
    const int index = (undoStart + undoCount - 1) % kUndoSlots;
    if (undoCount > 1) {
        --undoCount;
    } else {
        undoSkipOnce = true;
    }
    DebugLog(DBG_DEBUG, "UNDO LOAD - at index %i  (start=%i,count=%i)\n", index, undoStart, undoCount);
    PlayFlash();

    WorldStep& step = g_steps[index];
    std::unordered_set<CElement*> dropped;
    if (spawned != step.spawned) {
        const std::unordered_set<CElement*> keep(step.spawned.begin(), step.spawned.end());
        for (CElement* e : allElements)
            if (e->spawnedFlag && !keep.count(e)) dropped.insert(e);
        for (size_t i = 0; i < allElements.size(); ++i) {
            CElement* e = allElements[i];
            if (!dropped.count(e)) continue;
            DebugLog(DBG_UNDO, "   Deleting Spawned Element '%s'\n", e->GetTypeName());
            if (e == hero) hero = nullptr;
            delete e;
        }
    }
    DebugLog(DBG_UNDO, "Restoring all element states...\n");
    for (size_t i = 0; i < allElements.size(); ++i) {
        CElement* e = allElements[i];
        if (dropped.count(e)) continue;
        DebugLog(DBG_UNDO, "   Restoring STEP %i of Element '%s'\n", index, e->GetTypeName());
        e->RestoreState(index);
    }
    DebugLog(DBG_UNDO, "   Restoring STEP %i of obstructions\n", index);
    std::copy(std::begin(step.grid), std::end(step.grid), std::begin(grid));
    allElements = step.elements;
    spawned = step.spawned;
    std::copy(step.flags, step.flags + LEVELEND_ENDED, levelEnd);
    for (const PieceStatics& statics : AllPieceStatics()) {
        if (!statics.restore) continue;
        DebugLog(DBG_UNDO, "   Restoring STEP %i of %s\n", index, statics.what);
        statics.restore(index);
    }
    if (undoWatcher) undoWatcher(index, true);
}

void CElement::SaveBaseState(int k) {
    if (k < 0 || k >= kUndoSlots) return;
    Record& r = saved[k];
    UNDO_SAVE(r, ELEMENT_UNDO_FIELDS);
    r.sprite = sprite;
    r.hasSpriteState = sprite != nullptr;
    if (sprite) r.spriteState = sprite->GetState();
    delete r.ghost;
    r.ghost = ghostSprite ? ghostSprite->Clone() : nullptr;
    // The copy only waits in the record; it must not be drawn.
    if (r.ghost) RemoveSprite(r.ghost);
}

void CElement::RestoreBaseState(int k) {
    if (k < 0 || k >= kUndoSlots) return;
    const Record& r = saved[k];
    if (sprite != r.sprite) {
        if (sprite) {
            sprite->Hide();
            sprite->Rewind();
            PutAway(sprite);
        }
        sprite = r.sprite;
        if (sprite) sprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    lastShownSprite = sprite;
    if (sprite && r.hasSpriteState) sprite->SetState(r.spriteState);
    // An effect cut short by the undo starts from its beginning when it
    // comes again, as it did the first time (a burn or a melt left at its
    // last frame would end at once).
    CSprite* overlays[] = {spriteHeatGlow, spriteHeatExplosion, spriteSteam, spriteEMP};
    for (CSprite* o : overlays)
        if (o) o->Hide(), o->Rewind();
    // The main sprite's look (a passage's clip and layer among it) came back
    // with its state; only the ghost goes.
    delete ghostSprite;
    ghostSprite = r.ghost ? r.ghost->Clone() : nullptr;

    UNDO_RESTORE(r, ELEMENT_UNDO_FIELDS);
    magnetHolderA = CellOrNull(magnetHolderA), magnetHolderB = CellOrNull(magnetHolderB);
}

void CElement::DescribeState(CWorldDigest* d) { DescribeBaseState(d, true); }

void CElement::DescribeBaseState(CWorldDigest* d, bool mainSprite) {
    // The kind codes never change, but tell the pieces apart in the key.
    for (const auto& [name, code] : {std::pair{"type", type}, {"typeObject", typeObject}, {"typeDevice", typeDevice},
                                     {"typeAI", typeAI}, {"typeTerrain", typeTerrain}, {"typeLadder", typeLadder},
                                     {"typeMagnet", typeMagnet}, {"createFlag", createFlag}})
        d->Field(name, code, CWorldDigest::kUndoAndKey);
    UNDO_DESCRIBE(d, ELEMENT_UNDO_FIELDS);
    // The main sprite's frame and end time the animations that end a level or
    // a state, and the explosion's the moment a burning element is gone; the
    // ghost shows a passage through a teleport. The glow, the steam and the
    // EMP overlays are only for show.
    if (mainSprite) d->AddSprite("sprite", sprite, true);
    d->AddSprite("explosion", spriteHeatExplosion, true);
    d->Field("ghost", ghostSprite != nullptr);
}

// ---- Sprites ---------------------------------------------------------------------

void CElement::PlayFlash() {
    if (!globalSpritesLoaded || !flashSprite) return;
    flashSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    flashSprite->SetFadeOut(500, 255, 0);
    CSound::StopAllEffects();
    CSound::Play(empSound, false, 0, 0.0f);
}

namespace {
CSprite* MakeOverlay(int ox, int oy, SpriteLayer layer, int delay, const char* name) {
    return NewPieceSprite(ox, oy, layer, delay, 1, 1, name, false);
}
}  // namespace

void CElement::CreateEffectSprites(bool heatGlow, bool heatExplosion, bool steam, bool emp) {
    if (heatGlow && !spriteHeatGlow) {
        spriteHeatGlow = MakeOverlay(58, 48, LAYER_OVERLAY, 2, "Heat Overlay");
        // A glow that rises and falls.
        static const int kFrames[][2] = {{3, 2}, {4, 2}, {5, 2}, {6, 1}, {7, 1}, {8, 2}, {9, 4},
                                          {8, 2}, {7, 1}, {6, 1}, {5, 2}, {4, 2}};
        char name[64];
        for (const auto& f : kFrames) {
            snprintf(name, sizeof(name), "heatedobjectglow%d.png", f[0]);
            spriteHeatGlow->AddFrame(name, f[1]);
        }
        spriteHeatGlow->SetLooping(true);
        spriteHeatGlow->Play(true);
    }
    if (heatExplosion && !spriteHeatExplosion) {
        spriteHeatExplosion = MakeOverlay(33, 77, LAYER_EXPLOSION_HOT, 2, "Heat Explosion");
        spriteHeatExplosion->AddFrames("heatgunimpact", 0, 25, ".png", 1);
        spriteHeatExplosion->Play(true);
        if (!soundBurn) soundBurn = new CSoundObject(bursts ? "element_bursting.ogg" : "element_burning.ogg", false);
    }
    if (steam && !spriteSteam) {
        spriteSteam = MakeOverlay(48, 95, LAYER_EXPLOSION_COLD, 2, "Steam Explosion");
        spriteSteam->AddFrames("icemeltingsteam", 0, 18, ".png", 1);
        spriteSteam->Play(true);
        if (!soundMelt) soundMelt = new CSoundObject("element_melting.ogg", false);
    }
    if (emp && !spriteEMP) {
        spriteEMP = MakeOverlay(20, 16, LAYER_OVERLAY, 1, "EMP Overlay");
        spriteEMP->AddFrames("magnetemp", 0, 14, ".tga", 1);
        spriteEMP->Play(true);
    }
}

void CElement::UpdateOverlay(CSprite* overlay, uint8_t* active, CSoundObject* sound, bool destroyOnEnd) {
    if (!overlay || !*active) return;
    if (overlay->IsHidden()) {
        overlay->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        overlay->Play(true);
        overlay->SetPosition(pixelX, pixelY, false);
    }
    // A shot's heat burns and melts without the element's own sound.
    if (sound && !effectSilent && !CSound::IsPlaying(sound)) CSound::Play(sound, false, 0, 0.0f);
    if (overlay->IsFinished()) {
        overlay->Hide();
        overlay->Rewind();
        *active = 0;
        if (sound) effectSilent = 0;
        if (destroyOnEnd) destroyed = 1;
    }
}

void CElement::UpdateEffectSprites() {
    if (spriteHeatGlow) {
        if (HEATED && !IsProfessor()) {
            if (spriteHeatGlow->IsHidden()) spriteHeatGlow->Show(prevPixelX, prevPixelY);
            spriteHeatGlow->SetPosition(pixelX, pixelY, false);
        } else {
            spriteHeatGlow->Hide();
        }
    }
    UpdateOverlay(spriteHeatExplosion, &explosionActive, soundBurn, true);
    UpdateOverlay(spriteSteam, &steamActive, soundMelt, false);
    if (!destroyed) UpdateOverlay(spriteEMP, &empActive, nullptr, false);
}

void CElement::FreeEffectSprites() {
    delete spriteHeatGlow;
    delete spriteHeatExplosion;
    delete spriteSteam;
    delete spriteEMP;
    spriteHeatGlow = spriteHeatExplosion = spriteSteam = spriteEMP = nullptr;
}

void CElement::UpdateSpritePosition() {
    if (!sprite) return;
    const int k = IsGunshot() ? 6 : 3;
    const int n = passageFrame;
    if (IsMovingRight()) {
        if (ghostSprite) {
            if (n == 1) ghostSprite->SetPosition(ghostPixelX - 3, ghostPixelY, true);
            ghostSprite->SetPosition(ghostPixelX, ghostPixelY, false);
        }
        sprite->SetPosition(pixelX - n * k + kCellSize, pixelY, false);
        sprite->ForceRedraw();
    } else {
        if (ghostSprite) {
            if (n == 1) ghostSprite->SetPosition(ghostPixelX + k, ghostPixelY, true);
            ghostSprite->SetPosition(ghostPixelX + n * k, ghostPixelY, false);
        }
        if (n == 1) sprite->SetPosition(prevPixelX, prevPixelY, true);
        sprite->SetPosition(pixelX - 1, pixelY, false);
    }
}

void CElement::DeleteGhostSprite() {
    if (ghostSprite) {
        delete ghostSprite;
        ghostSprite = nullptr;
        if (sprite) PutAway(sprite);
    }
}

void CElement::PutAway(CSprite* s) {
    s->ResetClip();
    if (s->GetType() != s->GetOriginalType()) s->RestoreType();
    if (s->GetOriginX() != s->GetOriginalOriginX()) s->ResetOriginX();
}

// ---- Debug -------------------------------------------------------------------------

void CElement::DumpGrid() {
    std::string line = "/" + std::string(kGridWidth, '-') + "\\\n";
    DebugLog(DBG_DEBUG, "%s", line.c_str());
    for (int row = 0; row < kGridHeight; ++row) {
        std::string r = "|";
        for (int col = 0; col < kGridWidth; ++col) {
            CElement* e = GetElementAt(col, row, true);
            char c = '?';
            switch (e ? e->type : 0) {
                case ELEMENT_NULL: c = CElementLadder::IsLadderAt(col, row) ? 'L' : ' '; break;
                case ELEMENT_TERRAIN: c = CElementLadder::IsLadderAt(col, row) ? 'L' : 'T'; break;
                case ELEMENT_DEVICE: c = 'D'; break;
                case ELEMENT_OBJECT: c = 'O'; break;
                case ELEMENT_AI: c = 'A'; break;
            }
            r += c;
        }
        r += "|\n";
        DebugLog(DBG_DEBUG, "%s", r.c_str());
    }
    line = "\\" + std::string(kGridWidth, '-') + "/\n";
    DebugLog(DBG_DEBUG, "%s", line.c_str());
}

void CElement::DumpAllSprites() {
    DebugLog(DBG_DEBUG, "%s", kDashes);
    DebugLog(DBG_DEBUG, "All Active Sprites (CElement)\n");
    for (size_t i = 0; i < allElements.size(); ++i) allElements[i]->PrintSprites();
    DebugLog(DBG_DEBUG, "%s", kDashes);
}
