#include "world/pieces/CElementDeviceGunshot.h"

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CWorldDigest.h"
#include "world/pieces/CElementDeviceTrampoline.h"
#include "world/pieces/PieceSprites.h"

namespace {

CSprite* MakeBallSprite(int originX, int originY, SpriteLayer layer, int frameDelay, const char* name,
                        const char* prefix, int last, const char* suffix) {
    // The ball's pictures are decoded on first use: the sprite holds its own
    // references to them.
    CSprite* s = NewPieceSprite(originX, originY, layer, frameDelay, 1, 1, name, false);
    s->AddFrames(prefix, 0, last, suffix, 1);
    return s;
}

// The cell column that holds a pixel column's centre, for pixels left of the
// grid too.
int CentreColumn(int pixelX) {
    const int centre = pixelX + CElement::kCellSize / 2;
    return centre >= 0 ? centre / CElement::kCellSize : -((-centre + CElement::kCellSize - 1) / CElement::kCellSize);
}

}  // namespace

CElementDeviceGunshot::CElementDeviceGunshot(int x_, int y_, int kind_, bool facingLeft_) : CElementDevice(x_, y_) {
    DebugLog(DBG_CONSTRUCT, "CElementDeviceGunshot(%i,%i,%i,%i)\n", x_, y_, kind_, facingLeft_ ? 1 : 0);
    facingLeft = facingLeft_ ? 1 : 0;
    hit = 0;
    finished = 0;
    typeDevice = DEVICE_KIND_GUNSHOT;
    kind = kind_ == KIND_HEAT ? KIND_HEAT : KIND_FROST;
    occupiesGrid = 1;
    gravity = 0;
    slidable = 0;
    dynamic = 1;

    if (IsHeatBall()) {
        soundHeatMetal = new CSoundObject("explode_heat_metal.ogg", false);
        soundHeatInflatable = new CSoundObject("explode_heat_inflatable.ogg", false);
        soundHeatWood = new CSoundObject("explode_heat_wood.ogg", false);
        soundHeatIce = new CSoundObject("explode_heat_ice.ogg", false);
        spriteLeft = MakeBallSprite(10, 9, LAYER_GUNSHOT, 1, "Heatball moving left", "fireballleft", 11, ".png");
        spriteRight = MakeBallSprite(10, 9, LAYER_GUNSHOT, 1, "Heatball moving right", "fireballright", 11, ".png");
        spriteExplosion = MakeBallSprite(33, 77, LAYER_EXPLOSION_HOT, 2, "Heatball exploding", "heatgunimpact", 25, ".png");
    } else {
        soundFrost = new CSoundObject("explode_frost.ogg", false);
        spriteLeft = MakeBallSprite(10, 9, LAYER_GUNSHOT, 1, "Frostball moving left", "frostballleft", 11, ".tga");
        spriteRight = MakeBallSprite(10, 9, LAYER_GUNSHOT, 1, "Frostball moving right", "frostballright", 11, ".tga");
        spriteExplosion = MakeBallSprite(46, 47, LAYER_EXPLOSION_COLD, 2, "Frostball exploding", "frostexplode", 8, ".tga");
    }
    spriteLeft->SetLooping(true);
    spriteRight->SetLooping(true);
    sprite = facingLeft ? spriteLeft : spriteRight;

    RegisterSpawned(this);
    // Fired point-blank, the ball strikes in the frame of the shot.
    HitTest();
}

CElementDeviceGunshot::~CElementDeviceGunshot() {
    DebugLog(DBG_DESTRUCT, "CElementDeviceGunshot:  Destroying gunshot element at (%d,%d)...\n", x, y);
    if (GetElementAt(x, y, true) == this) ClearElementAt(x, y);
    if (GetElementAt(prevX, prevY, true) == this) ClearElementAt(prevX, prevY);
    delete spriteLeft;
    delete spriteRight;
    delete spriteExplosion;
    sprite = lastShownSprite = nullptr;
    delete soundFrost;
    delete soundHeatMetal;
    delete soundHeatInflatable;
    delete soundHeatWood;
    delete soundHeatIce;
}

void CElementDeviceGunshot::HitTest() {
    // While the ball passes a teleport pair its pixels belong to the entry
    // portal; its cell is already the far side's.
    const int column = inPassage ? x : CentreColumn(pixelX);
    CElement* e = GetElementAt(column, y, false);
    if (hit || e->IsNull() || e == this) return;
    if (column < e->x || column >= e->x + e->createFlag || e->y > y) return;

    if (IsHeatBall()) {
        if (e->IsProfessor()) {
            explosionSound = soundHeatMetal;
        } else if (e->IsMeltable() || e->IsFrozen()) {
            explosionSound = soundHeatIce;
        } else if (e->BurstsWhenHeated()) {
            explosionSound = soundHeatInflatable;
        } else if (e->IsBurnable()) {
            explosionSound = soundHeatWood;
        } else {
            explosionSound = soundHeatMetal;
        }
        Heat(e, true, false);
    } else {
        explosionSound = soundFrost;
        Freeze(e);
    }
    DebugLog(DBG_DEBUG, "CElementDeviceGunshot::HitTest()   %s ball struck %s at (%i,%i)\n",
             IsHeatBall() ? "Heat" : "Frost", e->GetTypeName(), column, y);
    hit = 1;
    // The ball stops where it is and holds no cell any more: what it struck
    // keeps the grid.
    prevX = x;
    prevY = y;
    occupiesGrid = 0;
}

void CElementDeviceGunshot::StepMovement() {
    if (hit || finished) return;
    HitTest();
    CElementDevice::StepMovement();
    HitTest();
}

void CElementDeviceGunshot::Update() {
    if (FALLING || destroyed) {
        destroyed = 1;
        return;
    }
    if (!hit && !finished && !MOVING) {
        if (CElementDeviceTrampoline::IsTrampolineAt(x, y)) facingLeft = facingLeft ? 0 : 1;
        HitTest();
        if (hit) {
            // Struck at the start of a move: it goes no further.
        } else if (facingLeft) {
            if (x > kLastColumnLeft) {
                MoveTo(x - 1, y);
            } else {
                finished = 1;
            }
        } else if (x < kLastColumnRight) {
            MoveTo(x + 1, y);
        } else {
            finished = 1;
        }
    }
    if (!finished) UpdateSprites();
}

void CElementDeviceGunshot::UpdateSprites() {
    if (!hit) {
        sprite = facingLeft ? spriteLeft : spriteRight;
    } else {
        if (sprite != spriteExplosion) {
            sprite = spriteExplosion;
            sprite->SetPosition(pixelX, pixelY, false);
            CSound::Play(explosionSound, false, 0, 0.0f);
        }
        if (spriteExplosion->IsFinished()) {
            hit = 0;
            finished = 1;
            spriteExplosion->Hide();
        }
    }
    SpriteSlot ball{sprite, lastShownSprite};
    ball.CatchUp(prevPixelX, prevPixelY, false);
    lastShownSprite = ball.shown;
    UpdateTeleportGhost(this);
    if (hit || finished) return;
    if (inPassage) {
        UpdateSpritePosition();
    } else {
        sprite->SetPosition(pixelX, pixelY, false);
    }
}

void CElementDeviceGunshot::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementDeviceGunshot state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_SAVE(records[k], GUNSHOT_UNDO_FIELDS);
    CElementDevice::SaveState(k);
}

void CElementDeviceGunshot::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementDeviceGunshot state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_RESTORE(records[k], GUNSHOT_UNDO_FIELDS);
    CElementDevice::RestoreState(k);
}

void CElementDeviceGunshot::DescribeState(CWorldDigest* d) {
    d->Field("kind", kind);
    UNDO_DESCRIBE(d, GUNSHOT_UNDO_FIELDS);
    CElementDevice::DescribeState(d);
}

int CElementDeviceGunshot::GetSlide() { return 0; }

int CElementDeviceGunshot::GetSurfaceFriction() { return 0; }
