#include "world/pieces/CElementObjectBarrel.h"

#include <cstdio>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "world/CWorldDigest.h"

namespace {

constexpr int kDelay = 2;

// The six roll loops of a material: picture prefixes, their suffix, and the
// debug names.
struct BarrelLook {
    const char* idle;
    const char* frozenIdle;
    const char* heatedIdle;
    const char* fall;
    const char* frozenFall;
    const char* heatedFall;
    const char* suffix;
    const char* nameIdle;
    const char* nameFrozenIdle;
    const char* nameHeatedIdle;
    const char* nameFall;
    const char* nameFrozenFall;
    const char* nameHeatedFall;
};

const BarrelLook kLooks[3] = {
    {"barrel", "barrelfrozen", "barrelheated", "barrelfall", "barrelfallfrozen", "barrelfallheated", ".tga",
     "Barrel (Wooden) Idle", "Barrel (Wooden,Frozen) Idle", "Barrel (Wooden,Heated) Idle", "Barrel (Wooden) Falling",
     "Barrel (Wooden,Frozen) Falling Right", "Barrel (Wooden,Heated) Falling Right"},
    {"metalbarrel", "metalbarrelfrozen", "metalbarrelheated", "metalbarrelfall", "metalbarrelfallfrozen",
     "metalbarrelfallheated", ".png", "Barrel (Metal) Idle", "Barrel (Metal,Frozen) Idle", "Barrel (Metal,Heated) Idle",
     "Barrel (Metal) Falling Right", "Barrel (Metal,Frozen) Falling Right", "Barrel (Metal,Heated) Falling Right"},
    {"barrelinflatable", "barrelinflatablefrozen", "barrelinflatableheated", "barrelinflatablefall",
     "barrelinflatablefallfrozen", "barrelinflatablefallheated", ".tga", "Barrel (Inflated) Idle",
     "Barrel (Inflated,Frozen) Idle", "Barrel (Inflated,Heated) Idle", "Barrel (Inflated) Falling Right",
     "Barrel (Inflated,Frozen) Falling Right", "Barrel (Inflated,Heated) Falling Right"},
};

// A looping roll loop of eight phases. The resting metal pictures are
// numbered from 1, with picture 0 last.
CSprite* NewRollLoop(int originX, int originY, const char* name, const char* prefix, const char* suffix,
                     bool fromOne) {
    CSprite* s = CElementObject::NewSprite(originX, originY, kDelay, name, {});
    if (fromOne) {
        s->AddFrames(prefix, 1, 7, suffix, 1);
        s->AddFrames(prefix, 0, 0, suffix, 1);
    } else {
        s->AddFrames(prefix, 0, 7, suffix, 1);
    }
    s->SetLooping(true);
    return s;
}

}  // namespace

CElementObjectBarrel::CElementObjectBarrel(int x_, int y_, int material_, int tileState, bool inflateLeft)
    : CElementObject(x_, y_), material(material_) {
    if (material != METAL && material != INFLATED) material = WOOD;
    SetElementAt(x, y, this);
    BuildSprites(inflateLeft);
    if (material == METAL) BuildCoolingSprites();
    coolingPhase = -1;
    coolingState = COOLING_NONE;
    typeObject = OBJECT_KIND_BARREL;

    if (material == METAL) {
        METALLIC = 1;
        heatable = 1;
    } else if (material == INFLATED) {
        RegisterSpawned(this);
        inflated = 1;
        bursts = 1;
        burnable = 1;
    } else {
        burnable = 1;
    }
    // After the bursting flag: the heat explosion's sound follows it.
    CreateEffectSprites(true, true, true, false);

    ShowFirstSprite(idle, frozenIdle, heatedIdle, inflating, tileState);
    // At rest a barrel keeps its roll phase.
    if (sprite != inflating) sprite->StopAnimation();
}

CElementObjectBarrel::~CElementObjectBarrel() {
    DebugLog(DBG_DESTRUCT, "CElementObjectBarrel:  Destroying barrel element at (%d,%d)...\n", x, y);
    DebugLog(DBG_DESTRUCT, "CElementObjectBarrel:  Destroying local cooling sprites...\n");
    CSprite* all[] = {idle, frozenIdle, heatedIdle, falling, frozenFalling, heatedFalling, inflating};
    for (CSprite* s : all) delete s;
    for (int p = 0; p < kRollPhases; ++p) {
        delete coolingRight[p];
        delete coolingLeft[p];
        delete coolingIdle[p];
    }
    sprite = nullptr;
    lastShownSprite = nullptr;
    FreeEffectSprites();
}

void CElementObjectBarrel::BuildSprites(bool inflateLeft) {
    const BarrelLook& look = kLooks[material];
    const bool metal = material == METAL;
    // Inflated barrels sit a little differently in their cell; frozen ones
    // carry the ice coat.
    const int ox = material == INFLATED ? 20 : 19;
    const int oy = material == INFLATED ? 16 : 15;
    idle = NewRollLoop(ox, oy, look.nameIdle, look.idle, look.suffix, metal);
    frozenIdle = NewRollLoop(21, 17, look.nameFrozenIdle, look.frozenIdle, look.suffix, false);
    heatedIdle = NewRollLoop(ox, oy, look.nameHeatedIdle, look.heatedIdle, look.suffix, metal);
    falling = NewRollLoop(ox, oy, look.nameFall, look.fall, look.suffix, false);
    frozenFalling = NewRollLoop(21, 17, look.nameFrozenFall, look.frozenFall, look.suffix, false);
    heatedFalling = NewRollLoop(ox, oy, look.nameHeatedFall, look.heatedFall, look.suffix, false);
    if (material == INFLATED) {
        inflating = NewSprite(20, 16, kDelay, inflateLeft ? "Barrel Inflating Left" : "Barrel Inflating Right",
                              {inflateLeft ? "barrelinflateleft0.tga" : "barrelinflateright0.tga", "barrelinflate1.tga",
                               "barrelinflate2.tga", "barrelinflatable0.tga", "barrelinflate4.tga"});
    }
}

void CElementObjectBarrel::BuildCoolingSprites() {
    // Picture "metalbarrelcooling<phase>-<frame>": the sprite of phase p turns
    // on with the barrel while it rolls, one phase per cooling frame.
    char name[48];
    for (int p = 0; p < kRollPhases; ++p) {
        coolingRight[p] = NewSprite(19, 15, kDelay, "Barrel (Metal,Cooling) Right Roll", {});
        coolingLeft[p] = NewSprite(19, 15, kDelay, "Barrel (Metal,Cooling) Left Roll", {});
        coolingIdle[p] = NewSprite(19, 15, kDelay, "Barrel (Metal,Cooling) Idle", {});
        for (int f = 0; f < kCoolingFrames; ++f) {
            snprintf(name, sizeof(name), "metalbarrelcooling%i-%i.png", (p + f) % kRollPhases, f);
            coolingRight[p]->AddFrame(name);
            snprintf(name, sizeof(name), "metalbarrelcooling%i-%i.png", (p - f + kRollPhases) % kRollPhases, f);
            coolingLeft[p]->AddFrame(name);
            snprintf(name, sizeof(name), "metalbarrelcooling%i-%i.png", p, f);
            coolingIdle[p]->AddFrame(name);
        }
    }
}

void CElementObjectBarrel::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementObjectBarrel state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_SAVE(coolingSaved[k], BARREL_UNDO_FIELDS);
    CElementObject::SaveState(k);
}

void CElementObjectBarrel::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementObjectBarrel state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_RESTORE(coolingSaved[k], BARREL_UNDO_FIELDS);
    CElementObject::RestoreState(k);
}

void CElementObjectBarrel::DescribeState(CWorldDigest* d) {
    d->Field("material", material);
    UNDO_DESCRIBE(d, BARREL_UNDO_FIELDS);
    CElementObject::DescribeState(d);
}

int CElementObjectBarrel::GetSlide() { return (FROZEN ? -1 : 0) - (ridden ? 0 : 1); }

int CElementObjectBarrel::GetRollPhase() const {
    if (!sprite) return 0;
    return coolingState == COOLING_NONE ? sprite->GetFrame() : CoolingPhaseAt(sprite->GetFrame());
}

int CElementObjectBarrel::CoolingPhaseAt(int frame) const {
    switch (coolingState) {
        case COOLING_IDLE:
            return coolingPhase;
        case COOLING_MOVING_LEFT:
            return ((coolingPhase - frame) % kRollPhases + kRollPhases) % kRollPhases;
        case COOLING_MOVING_RIGHT:
            return (coolingPhase + frame) % kRollPhases;
        default:
            return coolingPhase;
    }
}

CSprite* CElementObjectBarrel::ChooseRollSprite() {
    if (inflated) return inflating;
    if (explosionActive || destroyed) {
        sprite->Hide();
        return sprite;
    }
    // Facing right it turns forward through its phases, facing left backward.
    const bool forward = !facingLeft;
    if (FALLING && !IsMagnetHeld()) {
        CSprite* s = PickByState(frozenFalling, heatedFalling, nullptr, falling);
        s->Play(forward);
        return s;
    }
    CSprite* s = PickByState(frozenIdle, heatedIdle, nullptr, idle);
    if (IsMoving())
        s->Play(forward);
    else if (pushDirLeft)
        s->Play(false);  // an actor walking right on top pushes it back to the left under his feet
    else if (pushDirRight)
        s->Play(true);
    else
        s->StopAnimation();  // at rest it keeps its roll phase
    return s;
}

CSprite* CElementObjectBarrel::RunCoolingMachine(CSprite* next, int endedFrame) {
    if (!cooling) {
        if (coolingState != COOLING_NONE) {
            // Back on the roll loop at the phase the cooling animation ended on.
            const int frame = endedFrame >= 0 ? endedFrame : (sprite ? sprite->GetFrame() : 0);
            next->SetFrame(CoolingPhaseAt(frame));
            coolingState = COOLING_NONE;
        }
        return next;
    }
    if (!coolingRight[0]) {
        cooling = 0;  // only metal gets hot, so nothing else has a cooling animation
        return next;
    }

    if (coolingState == COOLING_NONE) coolingPhase = sprite->GetFrame() % kRollPhases;
    const int target = !IsMoving() ? COOLING_IDLE : (facingLeft ? COOLING_MOVING_LEFT : COOLING_MOVING_RIGHT);
    if (coolingState != target) {
        const bool wasCooling = coolingState != COOLING_NONE;
        const int frame = wasCooling ? sprite->GetFrame() : 0;
        if (wasCooling) coolingPhase = CoolingPhaseAt(frame);
        CSprite* const* array = target == COOLING_IDLE ? coolingIdle
                                : target == COOLING_MOVING_LEFT ? coolingLeft
                                                                : coolingRight;
        next = array[coolingPhase];
        next->Rewind();
        // Carry on where the cooling was, so the animation does not jump.
        if (wasCooling) next->SetFrame(frame);
        coolingState = target;
        if (target == COOLING_IDLE)
            DebugLog(DBG_DEBUG, "*** S_COOLING_IDLE starting at frame %i\n", coolingPhase);
        else if (target == COOLING_MOVING_LEFT)
            DebugLog(DBG_DEBUG, "*** S_COOLING_MOVING_LEFT starting at frame %i\n", coolingPhase);
        else
            DebugLog(DBG_DEBUG, "*** S_COOLING_MOVING_RIGHT starting at frame %i\n", coolingPhase);
    }
    next->Play(true);
    return next;
}

void CElementObjectBarrel::Update() {
    if (destroyed || !sprite) return;
    UpdateEffectSprites();

    int endedFrame = -1;
    if (sprite->IsFinished()) {
        if (inflated) {
            sprite->Rewind();
            inflated = 0;
        } else if (cooling) {
            endedFrame = sprite->GetFrame();
            sprite->Rewind();
            cooling = 0;
        }
    }

    CSprite* next = cooling ? sprite : ChooseRollSprite();
    next = RunCoolingMachine(next, endedFrame);
    SwitchSprite(next, false, false);
    PlaceSprite();
}
