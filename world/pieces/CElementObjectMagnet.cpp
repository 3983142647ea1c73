#include "world/pieces/CElementObjectMagnet.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CWorldDigest.h"
#include "world/pieces/CElementLadder.h"

std::vector<CElementObjectMagnet*> CElementObjectMagnet::allMagnets;
std::vector<CElementObjectMagnet*> CElementObjectMagnet::savedMagnets[kUndoSlots];
uint8_t CElementObjectMagnet::magnetsPresent = 0;

namespace {

constexpr int kAnimDelay = 2;

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
    // After the bursting flag: the heat explosion's sound follows it.
    CreateEffectSprites(true, true, true, true);
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
    // The still pictures: which sprite, its state and pose in the debug name,
    // and the picture names after "magnet<face>" (normal) and
    // "magnetinflatable<face>" (inflated).
    struct Still {
        CSprite* CObjectSpriteSet::*field;
        const char* state;
        const char* pose;
        const char* normal;
        const char* inflated;
    };
    static const Still kStills[] = {
        {&CObjectSpriteSet::idle, "", "Idle", "still0.tga", "still0.tga"},
        {&CObjectSpriteSet::frozenIdle, ",Frozen", "Idle", "stillfrozen0.tga", "stillfrozen0.tga"},
        {&CObjectSpriteSet::heatedIdle, ",Heated", "Idle", "heatednormal.png", "stillheated0.tga"},
        {&CObjectSpriteSet::fallLeft, "", "Falling Left", "left0.tga", "left0.tga"},
        {&CObjectSpriteSet::frozenFallLeft, ",Frozen", "Falling Left", "leftfrozen0.tga", "leftfrozen0.tga"},
        {&CObjectSpriteSet::heatedFallLeft, ",Heated", "Falling Left", "heatedleft.png", "leftheated0.tga"},
        {&CObjectSpriteSet::fallRight, "", "Falling Right", "right0.tga", "right0.tga"},
        {&CObjectSpriteSet::frozenFallRight, ",Frozen", "Falling Right", "rightfrozen0.tga", "rightfrozen0.tga"},
        {&CObjectSpriteSet::heatedFallRight, ",Heated", "Falling Right", "heatedright.png", "rightheated0.tga"},
    };
    // A right-facing magnet uses the same picture names with "right" for the
    // first "left".
    const std::string prefix = std::string(inflatedMagnet ? "magnetinflatable" : "magnet") + (faceLeft ? "left" : "right");
    const std::string head =
        std::string("Magnet (") + (faceLeft ? "Left" : "Right") + (inflatedMagnet ? ",Inflated" : ",Normal");
    auto name = [&](const char* state, const char* pose) { return KeepName(head + state + ") " + pose); };
    std::string pics[5];
    auto pic = [&](int slot, const char* part) { return (pics[slot] = prefix + part).c_str(); };

    // Where each picture sits on its cell. The ice coat makes a picture a
    // little larger; on the inflated magnet the hot pictures are coated too.
    const int ox = faceLeft ? 16 : 18;
    const int oy = inflatedMagnet && !faceLeft ? 11 : 12;
    for (const Still& still : kStills) {
        const bool frozen = still.state == std::string(",Frozen");
        const bool coated = frozen || (inflatedMagnet && still.state[0] != '\0');
        const bool fallRight = std::string(still.pose) == "Falling Right";
        int sx = ox, sy = oy;
        if (coated && !inflatedMagnet) {
            sx = 20;
            sy = faceLeft ? 14 : 13;
        } else if (coated) {
            sx = faceLeft && !fallRight ? 19 : 20;
            sy = faceLeft && !fallRight ? 12 : 11;
        }
        sprites.*still.field =
            NewSprite(sx, sy, 0, name(still.state, still.pose), {pic(0, inflatedMagnet ? still.inflated : still.normal)});
    }
    // Squash: down, further down, down, upright, a small rebound.
    sprites.squashed = NewSprite(ox, oy, kAnimDelay, name("", "Squashed"),
                                 {pic(0, "squash0.tga"), pic(1, "squash1.tga"), pic(2, "squash0.tga"),
                                  pic(3, "still0.tga"), pic(4, "squash4.tga")});
    if (inflatedMagnet) {
        const std::string inflate = std::string("magnetinflate") + (faceLeft ? "left" : "right");
        sprites.inflating = NewSpriteSeries(ox, oy, kAnimDelay, faceLeft ? "Magnet Inflating Left" : "Magnet Inflating Right",
                                            inflate.c_str(), 0, 2, ".tga");
        sprites.inflating->AddFrame(pic(0, "still0.tga"));
        sprites.inflating->AddFrame((inflate + "4.tga").c_str());
        return;
    }
    sprites.heatedSquashed = NewSprite(ox, oy, kAnimDelay, name(",Heated", "Squashed"),
                                       {pic(0, "heatedsquash0.png"), pic(1, "heatedsquash1.png"),
                                        pic(2, "heatedsquash0.png"), pic(3, "heatednormal.png"),
                                        pic(4, "heatedsquash4.png")});
    sprites.cooling = NewSpriteSeries(18, 12, kAnimDelay,
                                      faceLeft ? "Magnet Cooling Left (Idle)" : "Magnet Cooling Right (Idle)",
                                      (prefix + "cooling").c_str(), 0, 6, ".png");
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

void CElementObjectMagnet::DescribeStatics(CWorldDigest* d) {
    d->BeginPart("magnets");
    d->AddElements("magnets", allMagnets, CWorldDigest::kUndoAndKey);
}

const std::vector<CElementObjectMagnet*>& CElementObjectMagnet::GetSavedMagnets(int k) {
    static const std::vector<CElementObjectMagnet*> none;
    return (k >= 0 && k < kUndoSlots) ? savedMagnets[k] : none;
}

void CElementObjectMagnet::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementObjectMagnet state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_SAVE(magnetSaved[k], MAGNET_UNDO_FIELDS);
    CElementObject::SaveState(k);
}

void CElementObjectMagnet::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementObjectMagnet state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_RESTORE(magnetSaved[k], MAGNET_UNDO_FIELDS);
    CElementObject::RestoreState(k);
}

void CElementObjectMagnet::DescribeState(CWorldDigest* d) {
    UNDO_DESCRIBE(d, MAGNET_UNDO_FIELDS);
    CElementObject::DescribeState(d);
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
