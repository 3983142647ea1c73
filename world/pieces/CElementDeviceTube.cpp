#include "world/pieces/CElementDeviceTube.h"

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "world/CWorldDigest.h"
#include "world/pieces/PieceSprites.h"

int32_t CElementDeviceTube::exitX = 0;
int32_t CElementDeviceTube::exitY = 0;
uint8_t CElementDeviceTube::exitPresent = 0;

namespace {

// The arrow bobs between these heights above the tube.
constexpr int kArrowStep = 3;
constexpr int kArrowTop = 23;
constexpr int kArrowBottom = 5;
// It fades after this many dips.
constexpr int kArrowDips = 3;

CSprite* MakeSprite(int ox, int oy, SpriteLayer layer, int delay, const char* name) {
    return NewPieceSprite(ox, oy, layer, delay, 1, 1, name, false);
}

}  // namespace

CElementDeviceTube::CElementDeviceTube(int x_, int y_, int kind_) : CElementDevice(x_, y_), kind(kind_) {
    typeDevice = DEVICE_KIND_TUBE;
    const bool exit = kind == KIND_EXIT;
    isEntrance = exit ? 0 : 1;
    isEntrance2 = isEntrance;
    arrowActive = exit ? 1 : 0;

    spriteBody = MakeSprite(16, 39, LAYER_TUBE, 0, "Tube");
    spriteBody->AddFrame("tubeentrance0.png");
    spriteBreaking = MakeSprite(16, -5, LAYER_TUBE, 1, exit ? "Tube Exit Breaking" : "Tube Entrance Breaking");
    spriteBreaking->AddFrames(exit ? "transporttubeB_break" : "transporttube_break", 0, 11, ".png", 1);
    if (exit) {
        spriteLights = MakeSprite(12, -16, LAYER_TUBE_LIGHTS, 0, "Tube Exit Lights");
        spriteLights->AddFrame("tubeexitlights0.png");
        spriteArrow = MakeSprite(16, 39, LAYER_TUBE_ARROW, 0, "Tube Arrow");
        spriteArrow->AddFrame("tubearrow0.png");
        spriteArrowFading = MakeSprite(16, 39, LAYER_TUBE_ARROW, 2, "Tube Arrow Fading");
        spriteArrowFading->AddFrames("tubearrowfade", 0, 6, ".png", 1);
    }
    body.current = body.shown = spriteBody;
    lights = spriteLights;
    sprite = lastShownSprite = spriteArrow;
    for (CSprite* s : {spriteBody, spriteLights, spriteArrow}) {
        if (!s) continue;
        s->SetPosition(pixelX, pixelY, false);
        s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }

    if (exit) {
        exitX = x;
        exitY = y;
        exitPresent = 1;
        SetLevelEndFlag(LEVELEND_TUBE_DESTROYED, false);
    }
}

CElementDeviceTube::~CElementDeviceTube() {
    DebugLog(DBG_DESTRUCT, "CElementDeviceTube:  Destroying tube element at (%d,%d)...\n", x, y);
    for (CSprite** s : {&spriteArrow, &spriteArrowFading, &spriteBody, &spriteBreaking, &spriteLights})
        DeletePieceSprite(s);
    sprite = lastShownSprite = nullptr;
}

bool CElementDeviceTube::IsExitTube(int x, int y) { return exitPresent && x == exitX && y == exitY; }

void CElementDeviceTube::ResetStatics() {
    exitX = 0;
    exitY = 0;
    exitPresent = 0;
}

void CElementDeviceTube::UpdateArrow() {
    if (arrowRising) {
        arrowOffset += kArrowStep;
        if (arrowOffset > kArrowTop) arrowRising = 0;
    } else {
        arrowOffset -= kArrowStep;
        if (arrowOffset < kArrowBottom) {
            ++arrowBounces;
            arrowRising = 1;
        }
    }
}

void CElementDeviceTube::Update() {
    // A tube that starts to fall breaks where it is.
    UpdateBreak();

    if (arrowActive) UpdateArrow();
    if (arrowActive && arrowBounces > kArrowDips) {
        sprite = spriteArrowFading;
        if (sprite->IsFinished()) {
            arrowActive = 0;
            sprite->Hide();
        }
    }
    SpriteSlot arrow{sprite, lastShownSprite};
    arrow.CatchUp(kSpriteNotDrawn, kSpriteNotDrawn, false);
    lastShownSprite = arrow.shown;
    if (sprite) sprite->SetPosition(pixelX, pixelY - arrowOffset, false);

    if (destroyed) {
        if (spriteLights) spriteLights->Hide();
        body.current = spriteBreaking;
        if (spriteBreaking->IsFinished()) {
            spriteBreaking->Hide();
            if (kind == KIND_EXIT) {
                SetLevelEndFlag(LEVELEND_TUBE_DESTROYED, true);
                SetLevelEndFlag(LEVELEND_ENDED, true);
            }
        }
    }
    body.CatchUp(prevPixelX, prevPixelY, false);
    body.current->SetPosition(pixelX, pixelY, false);
    if (lights) lights->SetPosition(pixelX, pixelY, false);
}

void CElementDeviceTube::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementDeviceTube state...\n", GetTypeName());
    Record& r = saved[k];
    UNDO_SAVE(r, TUBE_UNDO_FIELDS);
    r.body = body;
    r.lights = lights;
    CElementDevice::SaveState(k);
}

void CElementDeviceTube::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementDeviceTube state...\n", GetTypeName());
    const Record& r = saved[k];
    if (body.current != r.body.current) {
        // The break animation starts from its first frame if it comes again.
        body.current->Hide();
        body.current->Rewind();
        body.current->Play(true);
    }
    body = r.body;
    lights = r.lights;
    UNDO_RESTORE(r, TUBE_UNDO_FIELDS);
    CElementDevice::RestoreState(k);
    // An undo ends the arrow's bobbing for good.
    arrowActive = 0;
    if (sprite) sprite->Hide();
    if (!destroyed) {
        body.current->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        if (lights) lights->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
}

// Left out: the arrow (the main sprite) and its bobbing, which undo ends for
// good.
void CElementDeviceTube::DescribeState(CWorldDigest* d) {
    d->Field("kind", kind);
    UNDO_DESCRIBE(d, TUBE_UNDO_FIELDS);
    d->AddSprite("body", body.current, false);
    d->AddSprite("lights", lights, false);
    DescribeBaseState(d, false);
}

void CElementDeviceTube::DescribeStatics(CWorldDigest* d) {
    d->BeginPart("tubes");
    d->Field("exitPresent", exitPresent);
    d->Field("exitX", exitX);
    d->Field("exitY", exitY);
}

void CElementDeviceTube::PrintSprites() {
    PrintSpriteLine(body.current);
    PrintSpriteLine(sprite);
}
