#include "world/pieces/CElementDeviceGate.h"

#include <initializer_list>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CWorldDigest.h"
#include "world/pieces/CElementDeviceButton.h"
#include "world/pieces/PieceSprites.h"

int CElementDeviceGate::lastPlayed[CElementDeviceGate::SOUNDS] = {-1, -1, -1, -1};

namespace {

const char* const kSoundNames[] = {"gate_open.ogg", "gate_close.ogg", "gate_break.ogg", "gate_fail.ogg"};

struct LightLook {
    const char* closed;
    const char* breakPrefix;
    const char* heldPrefix;
    const char* names[3];
};

// Red and yellow gates carry lights; blue ones have none.
const LightLook kRedLights = {
    "gatefrontclosered0.tga", "gatefrontbreakred", "gatefrontmagnetred",
    {"Gate Lights (Red) Opening/Closing", "Gate Lights (Red) Breaking", "Gate Lights (Red) Magnet Held"}};
const LightLook kYellowLights = {
    "gatefrontcloseyellow0.tga", "gatefrontbreakyellow", "gatefrontmagnetyellow",
    {"Gate Lights (Yellow) Opening/Closing", "Gate Lights (Yellow) Breaking", "Gate Lights (Yellow) Magnet Held"}};

}  // namespace

CElementDeviceGate::CElementDeviceGate(int x_, int y_, int colour_)
    : CElementDevice(x_, y_), colour(colour_ >= 0 && colour_ < BUTTON_COLOURS ? colour_ : BUTTON_BLUE) {
    typeDevice = DEVICE_KIND_GATE;
    METALLIC = 1;
    gravity = 0;  // a gate never falls
    dynamic = 0;
    SetElementAt(x, y, this);

    for (int i = 0; i < SOUNDS; ++i) sounds[i] = new CSoundObject(kSoundNames[i], false);

    backs[LOOK_OPENING] = NewPieceSprite(15, 16, LAYER_GATE_BACK, 2, 1, 1, "Gate (Back) Opening");
    backs[LOOK_OPENING]->AddFrames("gatebackclose", 7, 0, ".tga", 1);
    backs[LOOK_CLOSING] = NewPieceSprite(15, 16, LAYER_GATE_BACK_CLOSING, 2, 1, 1, "Gate (Back) Closing");
    backs[LOOK_CLOSING]->AddFrames("gatebackclose", 0, 7, ".tga", 1);
    backs[LOOK_BREAKING] = NewPieceSprite(15, 16, LAYER_GATE_BACK, 2, 1, 1, "Gate (Back) Breaking");
    backs[LOOK_BREAKING]->AddFrames("gatebackbreak", 0, 7, ".tga", 1);
    backs[LOOK_HELD] = NewPieceSprite(15, 16, LAYER_GATE_BACK, 2, 1, 1, "Gate (Back) Magnet Held");
    backs[LOOK_HELD]->AddFrames("gatebackmagnet", 0, 3, ".tga", 1);
    backs[LOOK_HELD]->AddFrame("gatebackclose7.tga");

    fronts[LOOK_OPENING] = NewPieceSprite(22, 12, LAYER_GATE_FRONT, 2, 1, 1, "Gate (Front) Opening");
    fronts[LOOK_OPENING]->AddFrame("gatefrontclose7.tga");
    fronts[LOOK_OPENING]->AddFrame("gatefrontclose6.tga");
    fronts[LOOK_OPENING]->AddFrame("gatefrontclose0.tga");
    fronts[LOOK_CLOSING] = NewPieceSprite(22, 12, LAYER_GATE_FRONT, 2, 1, 1, "Gate (Front) Closing");
    fronts[LOOK_CLOSING]->AddFrame("gatefrontclose0.tga", 6);
    fronts[LOOK_CLOSING]->AddFrame("gatefrontclose6.tga");
    fronts[LOOK_CLOSING]->AddFrame("gatefrontclose7.tga");
    fronts[LOOK_BREAKING] = NewPieceSprite(22, 12, LAYER_GATE_FRONT, 2, 1, 1, "Gate (Front) Breaking");
    fronts[LOOK_BREAKING]->AddFrames("gatefrontbreak", 0, 11, ".tga", 1);
    fronts[LOOK_HELD] = NewPieceSprite(22, 12, LAYER_GATE_FRONT, 2, 1, 1, "Gate (Front) Magnet Held");
    fronts[LOOK_HELD]->AddFrames("gatefrontmagnet", 0, 3, ".tga", 1);
    fronts[LOOK_HELD]->AddFrame("gatefrontclose7.tga");

    const LightLook* look = colour == BUTTON_RED ? &kRedLights : colour == BUTTON_YELLOW ? &kYellowLights : nullptr;
    if (look) {
        lights[0] = NewPieceSprite(22, 12, LAYER_GATE_LIGHTS, 0, 1, 1, look->names[0]);
        lights[0]->AddFrame(look->closed);
        lights[1] = NewPieceSprite(22, 12, LAYER_GATE_LIGHTS, 2, 1, 1, look->names[1]);
        lights[1]->AddFrames(look->breakPrefix, 0, 11, ".tga", 1);
        lights[2] = NewPieceSprite(22, 12, LAYER_GATE_LIGHTS, 2, 1, 1, look->names[2]);
        lights[2]->AddFrames(look->heldPrefix, 0, 3, ".tga", 1);
    }
    for (CSprite* s : backs) s->SetPosition(pixelX, pixelY, false);
    for (CSprite* s : fronts) s->SetPosition(pixelX, pixelY, false);
    for (CSprite* s : lights)
        if (s) s->SetPosition(pixelX, pixelY, false);

    // A new gate stands closed: its closing sprites rest on their last frame.
    SetLook(LOOK_CLOSING);
    for (SpriteSlot* slot : {&back, &front, &light}) {
        if (!slot->current) continue;
        slot->current->Finish();
        slot->current->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        slot->shown = slot->current;
    }
}

CElementDeviceGate::~CElementDeviceGate() {
    DebugLog(DBG_DESTRUCT, "CElementDeviceGate:  Destroying gate element at (%d,%d)...\n", x, y);
    DebugLog(DBG_DESTRUCT, "CElementDeviceGate:  Destroying local sounds...\n");
    for (CSoundObject*& s : sounds) {
        delete s;
        s = nullptr;
    }
    for (CSprite*& s : backs) DeletePieceSprite(&s);
    for (CSprite*& s : fronts) DeletePieceSprite(&s);
    for (CSprite*& s : lights) DeletePieceSprite(&s);
}

void CElementDeviceGate::SetLook(Look look) {
    back.current = backs[look];
    front.current = fronts[look];
    const int lightIndex = look == LOOK_BREAKING ? 1 : look == LOOK_HELD ? 2 : 0;
    light.current = lights[lightIndex];
}

void CElementDeviceGate::PlayOncePerFrame(Sound which) {
    // However many gates act in one frame, each gate sound plays once.
    const int frame = CurrentFrame();
    if (lastPlayed[which] == frame) return;
    lastPlayed[which] = frame;
    CSound::Play(sounds[which]);
}

void CElementDeviceGate::Update() {
    if (!broken) {
        const bool pressed = CElementDeviceButton::IsColourPressed(colour);
        if (!pressed) heldShown = false;
        if (!pressed && open) {
            if (IsOccupied(x, y, false)) {
                // Something stands where the gate has to close: it breaks and
                // the cell stays passable for good.
                broken = true;
                SetLook(LOOK_BREAKING);
                PlayOncePerFrame(SOUND_BREAK);
            } else {
                open = false;
                heldShown = false;
                SetLook(LOOK_CLOSING);
                SetElementAt(x, y, this);
                PlayOncePerFrame(SOUND_CLOSE);
            }
        } else if (pressed && !open) {
            if (IsMagnetHeld()) {
                if (!heldShown) {
                    // A magnet keeps it shut: it shudders once per press.
                    SetLook(LOOK_HELD);
                    for (CSprite* s : {back.current, front.current, light.current}) {
                        if (!s) continue;
                        s->Rewind();
                        s->Play(true);
                    }
                    heldShown = true;
                    PlayOncePerFrame(SOUND_FAIL);
                }
            } else {
                open = true;
                heldShown = false;
                SetLook(LOOK_OPENING);
                ClearElementAt(x, y);
                PlayOncePerFrame(SOUND_OPEN);
            }
        }
    }
    for (SpriteSlot* slot : {&back, &front, &light}) slot->CatchUp(kSpriteNotDrawn, kSpriteNotDrawn, true);
}

void CElementDeviceGate::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementDeviceGate state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        Saved& s = savedState[k];
        UNDO_SAVE(s, GATE_UNDO_FIELDS);
        s.back = back, s.front = front, s.light = light;
    }
    CElementDevice::SaveState(k);
}

void CElementDeviceGate::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementDeviceGate state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        const Saved& s = savedState[k];
        // The step's look comes back at rest, without replaying its animation.
        back.Restore(s.back);
        front.Restore(s.front);
        light.Restore(s.light);
        UNDO_RESTORE(s, GATE_UNDO_FIELDS);
    }
    CElementDevice::RestoreState(k);
}

// The look of each part is the sprite chosen, not its frame: undo puts a
// look back at rest on its last frame.
void CElementDeviceGate::DescribeState(CWorldDigest* d) {
    d->Field("colour", colour);
    UNDO_DESCRIBE(d, GATE_UNDO_FIELDS);
    d->AddSprite("back", back.current, false);
    d->AddSprite("front", front.current, false);
    d->AddSprite("light", light.current, false);
    CElementDevice::DescribeState(d);
}

void CElementDeviceGate::PrintSprites() {
    PrintSpriteLine(front.current);
    PrintSpriteLine(back.current);
    PrintSpriteLine(light.current);
}

void CElementDeviceGate::ResetStatics() {
    for (int& f : lastPlayed) f = -1;
}
