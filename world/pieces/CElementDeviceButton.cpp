#include "world/pieces/CElementDeviceButton.h"

#include <cstring>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CWorldDigest.h"
#include "world/pieces/PieceSprites.h"

bool CElementDeviceButton::inUse = false;
int CElementDeviceButton::pressedCount[BUTTON_COLOURS] = {0, 0, 0};
int CElementDeviceButton::savedPressedCount[kUndoSlots][BUTTON_COLOURS] = {};

namespace {

struct ButtonLook {
    const char* prefix;
    const char* breakPrefix;
    const char* name;
    const char* breakName;
};

const ButtonLook kLooks[BUTTON_COLOURS] = {
    {"buttonblue", "buttonblue_break", "Button (Blue)", "Button Break (Blue)"},
    {"buttonred", "buttonred_break", "Button (Red)", "Button Break (Red)"},
    {"buttonyellow", "buttonyellow_break", "Button (Yellow)", "Button Break (Yellow)"},
};

// Updates with the cell occupied that press a raised button.
const int kPressUpdates = 3;

bool IsColour(int colour) { return colour >= 0 && colour < BUTTON_COLOURS; }

}  // namespace

CElementDeviceButton::CElementDeviceButton(int x_, int y_, int colour_)
    : CElementDevice(x_, y_), colour(IsColour(colour_) ? colour_ : BUTTON_BLUE) {
    inUse = true;
    typeDevice = DEVICE_KIND_BUTTON;

    const ButtonLook& look = kLooks[colour];
    spriteButton = NewPieceSprite(11, -9, LAYER_FLOOR_BUTTON, 0, 1, 1, look.name);
    spriteButton->AddFrames(look.prefix, 0, 1, ".tga", 1);
    spriteBreak = NewPieceSprite(13, -5, LAYER_FLOOR_BUTTON, 1, 1, 1, look.breakName);
    spriteBreak->AddFrames(look.breakPrefix, 0, 10, ".png", 1);
    soundClick = new CSoundObject("button_click.ogg", false);

    // A new button is raised.
    sprite = spriteButton;
    sprite->SetPosition(pixelX, pixelY, false);
    sprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    sprite->SetFrame(sprite->GetFrameCount() - 1);
    lastShownSprite = sprite;
}

CElementDeviceButton::~CElementDeviceButton() {
    DebugLog(DBG_DESTRUCT, "CElementDeviceButton:  Destroying button element at (%d,%d)...\n", x, y);
    sprite = nullptr;
    lastShownSprite = nullptr;
    DeletePieceSprite(&spriteButton);
    DeletePieceSprite(&spriteBreak);
    delete soundClick;
    soundClick = nullptr;
}

void CElementDeviceButton::Update() {
    if (!UpdateBreak()) {
        const bool occupied = IsOccupied(x, y, false);
        // A bridge lying in the cell is part of the floor, not a weight on it.
        if (occupied && !GetElementAt(x, y, false)->IsBridge() && !pressed) ++pressCount;
        if (pressCount >= kPressUpdates) {
            pressed = true;
            ++pressedCount[colour];
            CSound::Play(soundClick);
            pressCount = 0;
            DebugLog(DBG_DEBUG, "Button (%d) pressed (%d):  %d\n", colour, 1, pressedCount[colour]);
        } else if (!occupied && pressed) {
            pressed = false;
            --pressedCount[colour];
            DebugLog(DBG_DEBUG, "Button (%d) released (%d):  %d\n", colour, 0, pressedCount[colour]);
        }
    }
    UpdateSprites();
}

void CElementDeviceButton::UpdateSprites() {
    if (destroyed) {
        sprite = spriteBreak;
        if (spriteBreak->IsFinished()) spriteBreak->Hide();
    } else if (pressed) {
        spriteButton->Rewind();
    } else {
        spriteButton->SetFrame(spriteButton->GetFrameCount() - 1);
    }
    SpriteSlot slot{sprite, lastShownSprite};
    slot.CatchUp(prevPixelX, prevPixelY, true);
    lastShownSprite = slot.shown;
    if (sprite) sprite->SetPosition(pixelX, pixelY, false);
}

void CElementDeviceButton::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementDeviceButton state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_SAVE(savedState[k], BUTTON_UNDO_FIELDS);
    CElementDevice::SaveState(k);
}

void CElementDeviceButton::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementDeviceButton state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) UNDO_RESTORE(savedState[k], BUTTON_UNDO_FIELDS);
    CElementDevice::RestoreState(k);
}

void CElementDeviceButton::DescribeState(CWorldDigest* d) {
    d->Field("colour", colour);
    UNDO_DESCRIBE(d, BUTTON_UNDO_FIELDS);
    CElementDevice::DescribeState(d);
}

bool CElementDeviceButton::IsColourPressed(int colour) { return GetPressedCount(colour) > 0; }

int CElementDeviceButton::GetPressedCount(int colour) { return IsColour(colour) ? pressedCount[colour] : 0; }

void CElementDeviceButton::ResetStatics() {
    inUse = false;
    std::memset(pressedCount, 0, sizeof(pressedCount));
}

void CElementDeviceButton::SaveStatics(int k) {
    if (!inUse || k < 0 || k >= kUndoSlots) return;
    std::memcpy(savedPressedCount[k], pressedCount, sizeof(pressedCount));
}

void CElementDeviceButton::RestoreStatics(int k) {
    if (!inUse || k < 0 || k >= kUndoSlots) return;
    std::memcpy(pressedCount, savedPressedCount[k], sizeof(pressedCount));
}

void CElementDeviceButton::DescribeStatics(CWorldDigest* d) {
    d->BeginPart("buttons");
    d->Field("pressedCount", pressedCount, CWorldDigest::kUndoAndKey);
}
