#include "world/CElementAI.h"

#include <cstdio>
#include <cstdlib>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CWorldDigest.h"
#include "world/pieces/CElementDeviceTrampoline.h"
#include "world/pieces/CElementLadder.h"

std::vector<CElementAI*> CElementAI::aiList;

CElementAI::CElementAI(int x_, int y_) : CElement(x_, y_, 1) {
    aiList.push_back(this);
    type = ELEMENT_AI;
    occupiesGrid = 1;
    gravity = 1;
    slidable = 1;
    dynamic = 1;
    freezable = 1;
    standingOn = GetNullElement();
}

CElementAI::~CElementAI() {
    // The list only serves the debug dump; the world's elements go together.
    aiList.clear();
}

void CElementAI::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementAI state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_SAVE(aiSaved[k], AI_UNDO_FIELDS);
    CElement::SaveState(k);
}

void CElementAI::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementAI state...\n", GetTypeName());
    STUN = 0;
    stunCount = 0;
    if (k >= 0 && k < kUndoSlots) {
        UNDO_RESTORE(aiSaved[k], AI_UNDO_FIELDS);
        if (!standingOn) standingOn = GetNullElement();
    }
    // A key held across an undo must be pressed again.
    ClearKeys();
    KEYS[KEY_TURN] = 0;
    heatWarningStep = 0;
    heatWarningPush = 0;
    CElement::RestoreState(k);
}

// Left out: the held keys and the heat warnings, which undo clears (a key
// held across an undo must be pressed again), and the climbing steps' sound.
void CElementAI::DescribeState(CWorldDigest* d) {
    UNDO_DESCRIBE(d, AI_UNDO_FIELDS);
    CElement::DescribeState(d);
}

int CElementAI::GetSlide() {
    if (FROZEN) return -1;
    if (MOVING || destroyed) return 0;
    if (ElementBelow(x, y)->GetSurfaceFriction() > 0) return -1;
    return 0;
}

int CElementAI::GetSurfaceFriction() { return FROZEN ? -1 : 0; }

void CElementAI::PrintState() {
    DebugLog(DBG_DEBUG,
             "TYPE=%d  AI=%d  CURRENT=(%d,%d)  WASMOVINGLEFT=%d  WASMOVINGRIGHT=%d  WASMOVINGUP=%d  WASMOVINGDOWN=%d  "
             "KEYS=(%d,%d,%d,%d)\n",
             type, typeAI, x, y, WASMOVINGLEFT, WASMOVINGRIGHT, WASMOVINGUP, WASMOVINGDOWN, KEYS[KEY_LEFT],
             KEYS[KEY_RIGHT], KEYS[KEY_UP], KEYS[KEY_DOWN]);
    DebugLog(DBG_DEBUG,
             "        MOVING=%d  FALLING=%d  LANDING=%d  SLIDING=%d  PUSHING=%d  PUSHED=%d  MAGNETIC=%d  MAGNETHELD=%d  "
             "TRAMP=%d  STUN=%d(%d)\n",
             MOVING, FALLING, LANDING, SLIDING, PUSHING, PUSHED, MAGNETIC, IsMagnetHeld() ? 1 : 0, TRAMP, STUN,
             stunCount);
}

void CElementAI::DumpAll() {
    DebugLog(DBG_DEBUG, "-------------------------------------------\n");
    DebugLog(DBG_DEBUG, "All Objects (CElementAI)\n");
    for (CElementAI* ai : aiList) ai->PrintState();
    DebugLog(DBG_DEBUG, "-------------------------------------------\n");
}

void CElementAI::ClearKeys() {
    KEYS[KEY_LEFT] = KEYS[KEY_RIGHT] = KEYS[KEY_UP] = KEYS[KEY_DOWN] = 0;
}

bool CElementAI::CanClimbUp() {
    return CElementLadder::IsLadderAt(x, y) && CElementLadder::IsLadderAt(x, y - 1) && !IsOccupied(x, y - 1, false) &&
           y >= 1 && !IsMagnetHeld();
}

bool CElementAI::CanMoveDown() {
    return !CElementDeviceTrampoline::IsTrampolineAt(x, y + 1) && !IsOccupied(x, y + 1, false) && !IsMagnetHeld();
}

bool CElementAI::ClimbUp() {
    if (!CanClimbUp()) return false;
    MoveTo(x, y - 1);
    return true;
}

bool CElementAI::MoveDown() {
    if (!CanMoveDown()) return false;
    MoveTo(x, y + 1);
    return true;
}

bool CElementAI::MoveLeft() { return MoveSideways(true); }
bool CElementAI::MoveRight() { return MoveSideways(false); }

bool CElementAI::TryHeldMoves() {
    if (KEYS[KEY_UP] && ClimbUp()) return true;
    if (KEYS[KEY_DOWN] && MoveDown()) return true;
    if (KEYS[KEY_LEFT] && MoveLeft()) return true;
    if (KEYS[KEY_RIGHT] && MoveRight()) return true;
    return false;
}

// Walking one cell toward a side. The names below read for a move to the
// right; "back" is the other side.
bool CElementAI::MoveSideways(bool left) {
    const bool back = !left;
    // Turning around forgets the heat warnings.
    if (left ? !facingLeft : facingLeft) {
        heatWarningStep = 0;
        heatWarningPush = 0;
    }
    if (IsMagnetHeld()) return false;
    if (FindElementAt(x, y - 1)->IsMoving()) return false;
    // A bot does not walk away from under a loose object.
    if (!IsProfessor() && GetElementAt(x, y - 1, false)->gravity) return false;
    if (FindElementAt(x, y + 1)->IsMoving()) return false;
    if (!CElementLadder::IsLadderAt(x, y) && !IsCellSupported(x, y)) return false;
    UpdatePushedElement(GetElementAt(x, y + 1, false));
    if (landed && !standingOn->IsNull()) return false;
    if (!TRAMP) facingLeft = left ? 1 : 0;

    const int sideX = GetSideX(left);
    const int sideY = GetSideY(left);
    CElement* target = GetElementAt(sideX, sideY, false);

    if (standingOn->IsNull()) {
        riding = 0;
        // An AI does not start walking on ice; a catching bot does.
        if (IsOnSlipperySurface() && !(left ? caughtFromRight : caughtFromLeft)) return false;
        if (left) {
            trampolineB = 0;
        } else {
            trampolineA = 0;
        }
        if (TRAMP) return false;
        if (left ? sideX < 0 : sideX > kGridWidth - 1) return false;
    } else {
        CElement* barrel = standingOn;
        if (ElementBelow(barrel->x, barrel->y)->GetSurfaceFriction() < 0 && !barrel->IsMagnetHeld()) {
            if (left) {
                barrel->SetPushState(0, 1);
            } else {
                barrel->SetPushState(1, 0);
            }
            return false;
        }
        // The barrel rolls the other way and carries the AI along with it.
        const int backX = GetSideX(back);
        const int backY = GetSideY(back);
        const bool backBlocked =
            CElementDeviceTrampoline::IsTrampolineAt(backX, backY) || IsOccupied(backX, backY, false);
        const bool rolled = left ? barrel->PushRight(true, true) : barrel->PushLeft(true, true);
        if (rolled) {
            if (backBlocked) {
                riding = 0;
                return false;
            }
            riding = 1;
            MoveTo(left ? x + 1 : x - 1, y);
            return true;
        }
    }

    // The push step.
    if (left ? sideX < 0 : sideX > kGridWidth - 1) return false;
    if (target == this) {
        MoveTo(left ? x - 1 : x + 1, y);
        return true;
    }
    const bool targetIsLiveAI = target->IsAI() && !target->FROZEN && !target->destroyed;
    const bool hotInFrontOfHero = target->HEATED && IsProfessor();
    if (!targetIsLiveAI && !hotInFrontOfHero) {
        if (!IsBot() && ElementBelow(sideX, sideY)->HEATED) {
            // The hero does not step onto a hot element.
            if (!IsOccupied(x, y - 1, false)) heatWarningStep = 1;
            return false;
        }
        const bool pushed = left ? target->PushLeft(true, false) : target->PushRight(true, false);
        if (pushed) {
            riding = 0;
            MoveTo(left ? x - 1 : x + 1, y);
            if (!target->IsNull()) PUSHING = 1;
            return true;
        }
        return false;
    }
    if (target->HEATED && !IsOccupied(x, y - 1, false)) heatWarningPush = 1;
    return false;
}

void CElementAI::UpdatePushedElement(CElement* below) {
    if (!below) below = GetNullElement();
    if (FROZEN || IsProfessorCaught() || CElementDeviceTrampoline::IsTrampolineAt(x, y + 1)) {
        if (standingOn && !standingOn->IsNull()) standingOn->SetRidden(false);
        standingOn = GetNullElement();
        return;
    }
    if (below->IsBarrel() && !below->FROZEN && !below->IsMoving()) {
        if (standingOn != below) {
            if (standingOn && !standingOn->IsNull()) standingOn->SetRidden(false);
            standingOn = below;
            below->SetRidden(true);
        }
        return;
    }
    if (!standingOn || standingOn->IsNull()) return;
    standingOn->SetRidden(false);
    WASMOVINGLEFT = 0;
    WASMOVINGRIGHT = 0;
    standingOn = GetNullElement();
}

// ---- Shared by the hero and the bots ----------------------------------------------

void CElementAI::FollowStoodOn(bool releaseOnFall) {
    if (FALLING) {
        if (releaseOnFall && !standingOn->IsNull()) standingOn->SetRidden(false);
        standingOn = GetNullElement();
    } else if (!standingOn->IsNull() && !MOVING) {
        UpdatePushedElement(ElementBelow(x, y));
    }
}

void CElementAI::EndPushing() {
    if (!standingOn->IsNull() && !KEYS[KEY_LEFT] && !KEYS[KEY_RIGHT]) {
        standingOn->pushDirLeft = 0;
        standingOn->pushDirRight = 0;
    }
    if (PUSHING) {
        bool ahead = false;
        if (IsMovingLeft()) ahead = IsOccupied(GetSideX(true), GetSideY(true));
        if (IsMovingRight()) ahead = IsOccupied(GetSideX(false), GetSideY(false));
        if (!ahead) PUSHING = 0;
    }
}

void CElementAI::StunWhen(bool hitOnHead, CSoundObject* crushSound) {
    if (hitOnHead && !STUN) {
        STUN = 1;
        stunCount = 5;
        PlayUnlessPlaying(crushSound);
    } else {
        stunCount = 0;
    }
}

int CElementAI::ChooseStandingPose(bool keyHeld, int crawl, int stand, bool* stop) {
    if (!keyHeld) {
        if (IsSomethingAbove(false)) {
            *stop = true;
            return crawl;
        }
        if (TRAMP) return animationState;
        return stand;
    }
    return IsSomethingAbove(false) ? crawl : -1;
}

int CElementAI::ChooseStunnedPose(int stun) {
    if (!IsSomethingAbove(false)) return -1;
    if (stunCount > 0) {
        --stunCount;
        return animationState;
    }
    return stun;
}

void CElementAI::ShowSprite(CSprite* next) {
    if (!next) return;
    sprite = next;
    if (next == lastShownSprite) return;
    if (lastShownSprite) {
        lastShownSprite->Hide();
        lastShownSprite->Rewind();
        PutAway(lastShownSprite);
    }
    next->Show(prevPixelX, prevPixelY);
    next->Play(true);
    lastShownSprite = next;
}

void CElementAI::PlaceSprite() {
    UpdateTeleportGhost(this);
    if (inPassage) {
        UpdateSpritePosition();
    } else {
        sprite->SetPosition(pixelX, pixelY, false);
    }
}

void CElementAI::ForgetTableSprites() {
    sprite = nullptr;
    lastShownSprite = nullptr;
    for (Record& record : saved) record.sprite = nullptr;
    FreeEffectSprites();
}

// ---- Sounds ---------------------------------------------------------------------

void CElementAI::PlayUnlessPlaying(CSoundObject* sound, int delayFrames) {
    if (!CSound::IsPlaying(sound)) CSound::Play(sound, false, delayFrames);
}

void CElementAI::StepSounds(bool stepping, int32_t* counter, int restValue, int period, int32_t* last,
                            CSoundObject* const* sounds, int count) {
    if (!stepping) {
        *counter = restValue;
        return;
    }
    if (++*counter < period) return;
    // A random pick other than the last one.
    int pick = rand() % count;
    while (pick == *last) pick = rand() % count;
    *last = pick;
    CSound::Play(sounds[pick]);
    *counter = 0;
}

void CElementAI::CreateClimbSounds(const char* prefix) {
    NewNumberedSounds(soundClimb, kClimbSounds, prefix, 0);
    lastClimbSound = 0;
    climbCounter = 2;
}

void CElementAI::PlayClimbSounds() {
    const bool climbing = (IsMovingUp() || IsMovingDown()) && CElementLadder::IsLadderAt(x, y);
    StepSounds(climbing, &climbCounter, 2, 6, &lastClimbSound, soundClimb, kClimbSounds);
}

void CElementAI::NewNumberedSounds(CSoundObject** sounds, int count, const char* prefix, int first) {
    char name[64];
    for (int i = 0; i < count; ++i) {
        snprintf(name, sizeof(name), "%s%i.ogg", prefix, first + i);
        sounds[i] = new CSoundObject(name, false);
    }
}

void CElementAI::DeleteSounds(CSoundObject** sounds, int count) {
    for (int i = 0; i < count; ++i) {
        delete sounds[i];
        sounds[i] = nullptr;
    }
}
