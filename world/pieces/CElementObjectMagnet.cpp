#include "world/pieces/CElementObjectMagnet.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/pieces/CElementLadder.h"

std::vector<CElementObjectMagnet*> CElementObjectMagnet::allMagnets;
std::vector<CElementObjectMagnet*> CElementObjectMagnet::savedMagnets[kUndoSlots];
uint8_t CElementObjectMagnet::magnetsPresent = 0;

namespace {

constexpr int kAnimDelay = 2;

// Sprites keep their debug name by pointer, so the composed names live here
// for the whole run.
const char* KeepName(const std::string& name) {
    static std::set<std::string> names;
    return names.insert(name).first->c_str();
}

bool IsReal(const CElement* e) { return e && !e->IsNull(); }

}  // namespace

CElementObjectMagnet::CElementObjectMagnet(int x_, int y_, int inflatedMagnet, int tileState, bool faceLeft_)
    : CElementObject(x_, y_) {
    magnetsPresent = 1;
    DebugLog(DBG_CONSTRUCT, "Adding magnet to allMagnets...%d\n", static_cast<int>(allMagnets.size()));
    allMagnets.push_back(this);
    SetElementAt(x, y, this);
    METALLIC = 1;
    MAGNETIC = 1;
    faceLeft = faceLeft_ ? 1 : 0;
    soundAttract = new CSoundObject("magnet_attract.ogg", false);
    soundRepel = new CSoundObject("magnet_repel.ogg", false);
    BuildSprites(inflatedMagnet != 0);
    CreateEffectSprites(true, true, true, true);
    typeObject = OBJECT_KIND_MAGNET;
    empCountdown = 0;
    typeMagnet = faceLeft ? 1 : 2;
    if (inflatedMagnet) {
        RegisterSpawned(this);
        inflated = 1;
        bursts = 1;
        burnable = 1;
    } else {
        heatable = 1;
    }
    ShowFirstSprite(sprites, tileState);
}

CElementObjectMagnet::~CElementObjectMagnet() {
    DebugLog(DBG_DESTRUCT, "CElementObjectMagnet:  Destroying magnet element at (%d,%d)...\n", x, y);
    // Off the list and out of every undo copy of it, so that no restored step
    // brings back a magnet that is gone.
    allMagnets.erase(std::remove(allMagnets.begin(), allMagnets.end(), this), allMagnets.end());
    for (auto& copy : savedMagnets) copy.erase(std::remove(copy.begin(), copy.end(), this), copy.end());
    DebugLog(DBG_DESTRUCT, "CElementObjectMagnet:  Destroying local sprites...\n");
    sprites.DeleteAll();
    sprite = nullptr;
    lastShownSprite = nullptr;
    DebugLog(DBG_DESTRUCT, "CElementObjectMagnet:  Destroying local sounds...\n");
    delete soundAttract;
    delete soundRepel;
    soundAttract = soundRepel = nullptr;
    FreeEffectSprites();
}

void CElementObjectMagnet::BuildSprites(bool inflatedMagnet) {
    // A right-facing magnet uses the same picture names with "right" for the
    // first "left".
    const char* face = faceLeft ? "left" : "right";
    const std::string head = std::string("Magnet (") + (faceLeft ? "Left" : "Right") +
                             (inflatedMagnet ? ",Inflated" : ",Normal");
    auto name = [&](const char* state, const char* what) {
        return KeepName(head + state + ") " + what);
    };
    char n[5][64];
    auto img = [&](int slot, const char* format) {
        snprintf(n[slot], sizeof(n[slot]), format, face);
        return n[slot];
    };

    if (!inflatedMagnet) {
        const int ox = faceLeft ? 16 : 18, oy = 12;
        const int fx = 20, fy = faceLeft ? 14 : 13;
        sprites.idle = NewSprite(ox, oy, 0, name("", "Idle"), {img(0, "magnet%sstill0.tga")});
        sprites.frozenIdle = NewSprite(fx, fy, 0, name(",Frozen", "Idle"), {img(0, "magnet%sstillfrozen0.tga")});
        sprites.heatedIdle = NewSprite(ox, oy, 0, name(",Heated", "Idle"), {img(0, "magnet%sheatednormal.png")});
        sprites.fallLeft = NewSprite(ox, oy, 0, name("", "Falling Left"), {img(0, "magnet%sleft0.tga")});
        sprites.frozenFallLeft =
            NewSprite(fx, fy, 0, name(",Frozen", "Falling Left"), {img(0, "magnet%sleftfrozen0.tga")});
        sprites.heatedFallLeft =
            NewSprite(ox, oy, 0, name(",Heated", "Falling Left"), {img(0, "magnet%sheatedleft.png")});
        sprites.fallRight = NewSprite(ox, oy, 0, name("", "Falling Right"), {img(0, "magnet%sright0.tga")});
        sprites.frozenFallRight =
            NewSprite(fx, fy, 0, name(",Frozen", "Falling Right"), {img(0, "magnet%srightfrozen0.tga")});
        sprites.heatedFallRight =
            NewSprite(ox, oy, 0, name(",Heated", "Falling Right"), {img(0, "magnet%sheatedright.png")});
        sprites.squashed = NewSprite(ox, oy, kAnimDelay, name("", "Squashed"),
                                     {img(0, "magnet%ssquash0.tga"), img(1, "magnet%ssquash1.tga"),
                                      img(2, "magnet%ssquash0.tga"), img(3, "magnet%sstill0.tga"),
                                      img(4, "magnet%ssquash4.tga")});
        sprites.heatedSquashed = NewSprite(ox, oy, kAnimDelay, name(",Heated", "Squashed"),
                                           {img(0, "magnet%sheatedsquash0.png"), img(1, "magnet%sheatedsquash1.png"),
                                            img(2, "magnet%sheatedsquash0.png"), img(3, "magnet%sheatednormal.png"),
                                            img(4, "magnet%sheatedsquash4.png")});
        sprites.cooling = NewSpriteSeries(18, 12, kAnimDelay,
                                          faceLeft ? "Magnet Cooling Left (Idle)" : "Magnet Cooling Right (Idle)",
                                          img(0, "magnet%scooling"), 0, 6, ".png");
        return;
    }

    const int ox = 16 + (faceLeft ? 0 : 2), oy = faceLeft ? 12 : 11;
    // The coated pictures of the inflated magnet sit a little further in.
    const int cx = faceLeft ? 19 : 20, cy = faceLeft ? 12 : 11;
    sprites.idle = NewSprite(ox, oy, 0, name("", "Idle"), {img(0, "magnetinflatable%sstill0.tga")});
    sprites.frozenIdle =
        NewSprite(cx, cy, 0, name(",Frozen", "Idle"), {img(0, "magnetinflatable%sstillfrozen0.tga")});
    sprites.heatedIdle =
        NewSprite(cx, cy, 0, name(",Heated", "Idle"), {img(0, "magnetinflatable%sstillheated0.tga")});
    sprites.fallLeft = NewSprite(ox, oy, 0, name("", "Falling Left"), {img(0, "magnetinflatable%sleft0.tga")});
    sprites.frozenFallLeft =
        NewSprite(cx, cy, 0, name(",Frozen", "Falling Left"), {img(0, "magnetinflatable%sleftfrozen0.tga")});
    sprites.heatedFallLeft =
        NewSprite(cx, cy, 0, name(",Heated", "Falling Left"), {img(0, "magnetinflatable%sleftheated0.tga")});
    sprites.fallRight = NewSprite(ox, oy, 0, name("", "Falling Right"), {img(0, "magnetinflatable%sright0.tga")});
    sprites.frozenFallRight =
        NewSprite(20, 11, 0, name(",Frozen", "Falling Right"), {img(0, "magnetinflatable%srightfrozen0.tga")});
    sprites.heatedFallRight =
        NewSprite(20, 11, 0, name(",Heated", "Falling Right"), {img(0, "magnetinflatable%srightheated0.tga")});
    sprites.squashed = NewSprite(ox, oy, kAnimDelay, name("", "Squashed"),
                                 {img(0, "magnetinflatable%ssquash0.tga"), img(1, "magnetinflatable%ssquash1.tga"),
                                  img(2, "magnetinflatable%ssquash0.tga"), img(3, "magnetinflatable%sstill0.tga"),
                                  img(4, "magnetinflatable%ssquash4.tga")});
    sprites.inflating = NewSpriteSeries(ox, oy, kAnimDelay, faceLeft ? "Magnet Inflating Left" : "Magnet Inflating Right",
                                        img(0, "magnetinflate%s"), 0, 2, ".tga");
    sprites.inflating->AddFrame(img(0, "magnetinflatable%sstill0.tga"));
    sprites.inflating->AddFrame(img(0, "magnetinflate%s4.tga"));
}

// ---- the magnet list and undo --------------------------------------------

void CElementObjectMagnet::UpdateAllMagnets() {
    for (size_t i = 0; i < allMagnets.size(); ++i) {
        CElementObjectMagnet* m = allMagnets[i];
        if (m->MAGNETIC && !m->IsMoving()) m->Attract();
    }
}

void CElementObjectMagnet::ActivateEMP() {
    DebugLog(DBG_DEBUG, "CElementObjectMagnet:  Activating EMP\n");
    for (CElementObjectMagnet* m : allMagnets) {
        if (m->destroyed) continue;
        m->empCountdown = kEmpSteps;
        m->MAGNETIC = 0;
        for (CElement* held : {m->GetMagnetHolderA(), m->GetMagnetHolderB()})
            if (IsReal(held) && held != m) held->ClearMagnetHolders(true, true);
        m->ClearMagnetHolders(true, true);
        m->empActive = 1;
    }
}

void CElementObjectMagnet::ResetStatics() {
    magnetsPresent = 0;
    allMagnets.clear();
    for (auto& copy : savedMagnets) copy.clear();
}

void CElementObjectMagnet::SaveStatics(int k) {
    if (!magnetsPresent || k < 0 || k >= kUndoSlots) return;
    savedMagnets[k] = allMagnets;
}

void CElementObjectMagnet::RestoreStatics(int k) {
    if (!magnetsPresent || k < 0 || k >= kUndoSlots) return;
    allMagnets = savedMagnets[k];
}

const std::vector<CElementObjectMagnet*>& CElementObjectMagnet::GetSavedMagnets(int k) {
    static const std::vector<CElementObjectMagnet*> none;
    return (k >= 0 && k < kUndoSlots) ? savedMagnets[k] : none;
}

void CElementObjectMagnet::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementObjectMagnet state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        magnetSaved[k].faceLeft = faceLeft;
        magnetSaved[k].empCountdown = empCountdown;
    }
    CElementObject::SaveState(k);
}

void CElementObjectMagnet::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementObjectMagnet state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        faceLeft = magnetSaved[k].faceLeft;
        empCountdown = magnetSaved[k].empCountdown;
    }
    CElementObject::RestoreState(k);
}

// ---- attraction ------------------------------------------------------------

void CElementObjectMagnet::DropLinkOf(CElement* e, bool side) {
    if (!IsReal(e) || e == this) return;
    if (e->GetMagnetHolder(side) == this) e->ClearMagnetHolders(side, !side);
}

void CElementObjectMagnet::Attract() {
    // The face side: links on that side lead to what the magnet holds; the
    // held element links back on its other side.
    const bool face = faceLeft != 0;

    if (destroyed || explosionActive) {
        DropLinkOf(GetMagnetHolder(face), !face);
        DropLinkOf(GetMagnetHolder(!face), face);
        ClearMagnetHolders(true, true);
        return;
    }

    // Links are made afresh every step: let go first, then look again.
    const bool wasEmpty = !IsReal(GetMagnetHolder(face));
    DropLinkOf(GetMagnetHolder(face), !face);
    ClearMagnetHolders(face, !face);

    const int sx = GetSideX(face), sy = GetSideY(face);
    CElement* other = GetElementAt(sx, sy);
    if (other->IsMagnet() && static_cast<CElementObjectMagnet*>(other)->IsFaceLeft() != face) {
        Repel(other, sx, sy);
        return;
    }

    if (CElementLadder::IsLadderPlatformAt(sx, sy)) {
        if (wasEmpty && armed) CSound::Play(soundAttract);
        SetMagnetHolder(this, face);  // held by the platform
        return;
    }

    const bool sameFacingMagnet = other->IsMagnet() && static_cast<CElementObjectMagnet*>(other)->IsFaceLeft() == face;
    if (!other->IsMoving() && (other->METALLIC || sameFacingMagnet) && !other->IsImmune()) {
        if (wasEmpty && armed) CSound::Play(soundAttract);
        SetMagnetHolder(other, face);
        other->SetMagnetHolder(this, !face);
    }
    armed = 1;
}

void CElementObjectMagnet::Repel(CElement* other, int sx, int sy) {
    if (other->IsMoving()) return;
    const bool face = faceLeft != 0;
    bool moved = false;
    // This magnet moves away from its face; whatever stands behind it is
    // bumped along so that a slippery row can make room.
    if (!IsAboutToFall()) {
        CElement* behind = GetElementAt(GetSideX(!face), GetSideY(!face));
        if (face) {
            behind->BumpedRight();
            moved = PushRight(true, false) || moved;
        } else {
            behind->BumpedLeft();
            moved = PushLeft(true, false) || moved;
        }
    }
    if (!other->IsAboutToFall()) {
        CElement* beyond = GetElementAt(GetSideXAt(sx, sy, face, true), GetSideYAt(sx, sy, face, true));
        if (face) {
            beyond->BumpedLeft();
            moved = other->PushLeft(true, false) || moved;
        } else {
            beyond->BumpedRight();
            moved = other->PushRight(true, false) || moved;
        }
    }
    if (moved && !CSound::IsPlaying(soundRepel)) CSound::Play(soundRepel);
}

// ---- per step ----------------------------------------------------------------

void CElementObjectMagnet::Update() {
    // After an EMP the magnet counts its steps down and then works again.
    if (empCountdown >= 1)
        --empCountdown;
    else if (!MAGNETIC)
        MAGNETIC = 1;
    // Drawn falling only while it drops free: not pushed and held by nothing.
    UpdateBlockSprites(sprites, !PUSHED && FALLING && !IsMagnetHeld());
}

int CElementObjectMagnet::GetSlide() { return FROZEN ? -1 : 0; }
