#include "gui/CGuiButtonMapDot.h"

#include <cstdlib>

#include "engine/CController.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CSprite.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"

int CGuiButtonMapDot::selectedDot = -1;

namespace {

const char* const kDebugName = "GUI Map Dot";
constexpr int kStripDelay = 2;
const char* const kRingImage = "mapdotfocus.png";
constexpr int kRingSize = 30;  // the ring picture's side

// The pictures of a regular dot in one state.
struct DotLook {
    const char* base;
    const char* rollover;  // null: the dot cannot be hovered
    const char* shrink;    // the prefix of the shrink, grow and appear strips
};

const DotLook kLocked = {"mapdotregularlockedbase.png", nullptr, "mapdotregularlockedshrink"};
const DotLook kGhosted = {"mapdotregularlockedghosted.png", nullptr, "mapdotregularlockedghostedshrink"};
const DotLook kCompleted = {"mapdotregularcompletedbase.png", "mapdotregularcompletedrollover.png",
                            "mapdotregularcompletedshrink"};
const DotLook kPlayable = {"mapdotregularincompletebase.png", "mapdotregularincompleterollover.png",
                           "mapdotregularincompleteshrink"};

}  // namespace

CGuiButtonMapDot::CGuiButtonMapDot(int x_, int y_, int id_, CController* owner_, int kind_, int state_, int anim_,
                                   int delay_, bool isDefault_)
    : CGuiButtonBase(x_, y_, id_, owner_, isDefault_),
      dotSound(new CSoundObject("map_dot.ogg", false)),
      current(nullptr),
      baseSprite(nullptr),
      rolloverSprite(nullptr),
      shrinkSprite(nullptr),
      growSprite(nullptr),
      pulseSprite(nullptr),
      appearSprite(nullptr),
      postSprite(nullptr),
      ringSprite(nullptr),
      bobber(new COscillator()),
      kind(kind_),
      state(state_),
      anim(anim_),
      delay(delay_),
      clickCooldown(0),
      forward(1),
      starWaiting(0),
      starDelay(0),
      popSounded(0) {
    activateOnRelease = 0;
    bobber->Init(0, 7, 3.0f, 2.2f, rand() % 24);
    if (kind == KIND_DOT) {
        BuildDot();
    } else {
        BuildStar();
    }

    if (IsOpen())
        ringSprite = MakeStill(kRingImage, LAYER_CL_TOP, x, y);
    else
        SetNoKeyFocus(true);
    // The picture the dot starts with; only the picture in use is ever
    // shown. An entrance the dot has no strip for leaves it idle.
    CSprite* start = baseSprite.get();
    if (anim == ANIM_APPEAR) start = growSprite.get();
    if (anim == ANIM_POP) start = shrinkSprite.get();
    if (anim == ANIM_APPEAR_SELECT) start = appearSprite.get();
    if (anim == ANIM_SELECTED) start = pulseSprite.get();
    if (!start) {
        anim = ANIM_IDLE;
        start = baseSprite.get();
    }
    current = start;
    if (anim == ANIM_POP) {
        PlayFromStart(current, true);
    } else if (anim != ANIM_APPEAR && anim != ANIM_APPEAR_SELECT) {
        // Idle or selected at once: in view now; an entrance waits its turn.
        current->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    if (anim == ANIM_APPEAR_SELECT || anim == ANIM_SELECTED) selectedDot = focusIndex = index;
}

CGuiButtonMapDot::~CGuiButtonMapDot() {
    ReleaseAll(dotSound, bobber, baseSprite, rolloverSprite, shrinkSprite, growSprite, pulseSprite, appearSprite,
               postSprite, ringSprite);
    selectedDot = -1;
}

std::unique_ptr<CSprite> CGuiButtonMapDot::MakeStill(const char* image, SpriteLayer layer, int px, int py) {
    auto s = std::make_unique<CSprite>(layer, kStripDelay, false);
    s->SetName(kDebugName);
    s->AddFrame(image);
    s->SetPosition(px, py, false);
    return s;
}

std::unique_ptr<CSprite> CGuiButtonMapDot::MakeStrip(const char* prefix, int from, int to, SpriteLayer layer, int px,
                                                     int py, bool looping, bool pingPong) {
    auto s = std::make_unique<CSprite>(layer, kStripDelay, false);
    s->SetName(kDebugName);
    s->AddFrames(prefix, from, to, ".png", 1);
    // Back again without doubling either end picture.
    if (pingPong && to - from >= 2) s->AddFrames(prefix, to - 1, from + 1, ".png", 1);
    if (pingPong && from - to >= 2) s->AddFrames(prefix, to + 1, from - 1, ".png", 1);
    s->SetPosition(px, py, false);
    s->SetLooping(looping);
    if (looping) s->Play(forward != 0);
    return s;
}

void CGuiButtonMapDot::BuildDot() {
    const DotLook& look = state == STATE_LOCKED      ? kLocked
                          : state == STATE_COMPLETED ? kCompleted
                          : state == STATE_PLAYABLE  ? kPlayable
                                                     : kGhosted;
    baseSprite = MakeStill(look.base, LAYER_CL_BUTTON, x, y);
    shrinkSprite = MakeStrip(look.shrink, 1, 3, LAYER_CL_BUTTON, x, y, false, false);
    growSprite = MakeStrip(look.shrink, 3, 1, LAYER_CL_BUTTON, x, y, false, false);
    if (!IsOpen()) return;
    rolloverSprite = MakeStill(look.rollover, LAYER_CL_BUTTON, x, y);
    pulseSprite = MakeStrip("mapdotregularselectedpulse", 0, 5, LAYER_CL_ROLL, x, y, true, true);
    appearSprite = MakeStrip(look.shrink, 3, 1, LAYER_CL_BUTTON, x, y, false, false);
}

void CGuiButtonMapDot::BuildStar() {
    forward = rand() & 1;
    if (!IsOpen()) {
        if (anim == ANIM_APPEAR_SELECT) anim = ANIM_APPEAR;
        if (anim == ANIM_SELECTED || anim == ANIM_ROLLOVER) anim = ANIM_IDLE;
    }
    if (anim == ANIM_POP) anim = ANIM_IDLE;
    baseSprite = MakeStrip("star_base", 0, 59, LAYER_CL_TEXT, x - 1, y - 28, true, false);
    growSprite = MakeStrip("star_appear", 0, 13, LAYER_CL_TEXT, x - 1, y - 28, false, false);
    if (IsOpen()) {
        rolloverSprite = MakeStrip("star_pulse", 0, 59, LAYER_CL_TEXT, x - 5, y - 28, true, false);
        pulseSprite = MakeStrip("star_pulse", 0, 59, LAYER_CL_TEXT, x - 5, y - 28, true, false);
        appearSprite = MakeStrip("star_appear", 0, 13, LAYER_CL_TEXT, x - 1, y - 28, false, false);
    }
    if (anim == ANIM_APPEAR || anim == ANIM_APPEAR_SELECT) {
        // A star coming into view keeps still a little while after it is in.
        starWaiting = 1;
        starDelay = rand() % 30;
        for (CSprite* s : {baseSprite.get(), rolloverSprite.get(), pulseSprite.get()})
            if (s) s->StopAnimation();
    } else {
        baseSprite->SetFrame(rand() % 60);
    }
}

void CGuiButtonMapDot::PlaceStar(int centreX, int centreY, const char* postImage, int postX, int postY) {
    if (kind != KIND_STAR) return;
    // The star's middle lies 13 pixels down its pictures and across their
    // width.
    for (CSprite* s : {baseSprite.get(), growSprite.get(), rolloverSprite.get(), pulseSprite.get(), appearSprite.get()})
        if (s) s->SetPosition(centreX - s->GetWidth(true) / 2, centreY - 13, false);
    postSprite.reset();
    postSprite = MakeStill(postImage, LAYER_CL_SHADOW, postX, postY);
    ShowPost(!current->IsHidden());
}

void CGuiButtonMapDot::ShowPost(bool shown) {
    if (!postSprite) return;
    if (shown)
        postSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    else
        postSprite->Hide();
}

void CGuiButtonMapDot::PlayFromStart(CSprite* s, bool fwd) {
    s->Rewind();
    s->Play(fwd);
    s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

void CGuiButtonMapDot::SwitchTo(CSprite* next) {
    if (!next || next == current) return;
    const int frame = current->GetFrame();
    current->Hide();
    current = next;
    current->SetFrame(frame);
    current->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

void CGuiButtonMapDot::ShowRing(bool shown) {
    if (!ringSprite) return;
    if (!shown) {
        ringSprite->Hide();
        return;
    }
    int cx, cy;
    Centre(&cx, &cy);
    ringSprite->SetPosition(cx - kRingSize / 2, cy - kRingSize / 2, false);
    ringSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}

void CGuiButtonMapDot::Hide() {
    current->Hide();
    ShowPost(false);
    ShowRing(false);
    hidden = 1;
}

void CGuiButtonMapDot::Show() {
    hidden = 0;
    // A dot still waiting for its entrance stays out of view until then.
    const bool waiting = (anim == ANIM_APPEAR || anim == ANIM_APPEAR_SELECT) && current->IsStopped() &&
                         !current->IsFinished();
    if (!waiting) {
        current->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        ShowPost(true);
    }
}

int CGuiButtonMapDot::GetSpriteX() const { return current->GetX(false); }
int CGuiButtonMapDot::GetSpriteY() const { return current->GetY(false); }

int CGuiButtonMapDot::GetSelectedDotId() {
    if (selectedDot < 0) return -1;
    for (CGuiButtonBase* b : registry)
        if (b->GetIndex() == selectedDot) return b->GetId();
    return -1;
}

void CGuiButtonMapDot::Update() {
    if (hidden) return;
    if (clickCooldown > 0) --clickCooldown;
    if (starWaiting && (anim == ANIM_IDLE || anim == ANIM_ROLLOVER || anim == ANIM_SELECTED)) {
        if (starDelay > 0) {
            --starDelay;
        } else {
            starWaiting = 0;
            for (CSprite* s : {baseSprite.get(), rolloverSprite.get(), pulseSprite.get()})
                if (s) s->Play(forward != 0);
        }
    }

    bool waited = false;
    if (anim == ANIM_POP) {
        if (current->GetFrame() == 2 && !popSounded) {
            popSounded = 1;
            CSound::Play(dotSound.get(), false, 0, 0);
        }
        if (current->IsFinished()) {
            current->Hide();
            delay = 0;
            anim = ANIM_APPEAR;
            current = growSprite.get();
        }
    }
    if (anim == ANIM_APPEAR || anim == ANIM_APPEAR_SELECT) {
        if (delay >= 0) {
            --delay;
            waited = true;
        } else if (current->IsHidden() && !current->IsFinished()) {
            PlayFromStart(current, true);
            ShowPost(true);
        } else if (current->IsFinished()) {
            current->Hide();
            if (anim == ANIM_APPEAR) {
                current = baseSprite.get();
                anim = ANIM_IDLE;
            } else {
                current = pulseSprite.get();
                anim = ANIM_SELECTED;
            }
            current->Show(kSpriteNotDrawn, kSpriteNotDrawn);
        }
    }
    if (!waited && anim == ANIM_SELECTED && selectedDot != index) {
        SwitchTo(baseSprite.get());
        anim = ANIM_IDLE;
    }

    // Hover, or the keyboard's focus.
    const bool focused = CaptureFocus();
    ShowRing(focused);
    if (!focused) {
        if (anim == ANIM_ROLLOVER) {
            SwitchTo(baseSprite.get());
            anim = ANIM_IDLE;
        }
        return;
    }
    if (rolloverSprite && rolloverSprite->IsHidden() && anim != ANIM_SELECTED && anim != ANIM_APPEAR_SELECT)
        CController::PlayInterfaceSound(CController::GetSoundRollover());
    if (anim == ANIM_IDLE && rolloverSprite) {
        SwitchTo(rolloverSprite.get());
        anim = ANIM_ROLLOVER;
    }
}

bool CGuiButtonMapDot::Activate(bool byKey, bool) {
    if (index != focusIndex) return false;
    if (!pulseSprite) {
        // A locked level: the map says so; no sound.
        if (owner) owner->GUICallback(id, -1, false);
        return true;
    }
    selectedDot = index;
    if (anim != ANIM_SELECTED) {
        SwitchTo(pulseSprite.get());
        anim = ANIM_SELECTED;
    }
    const int v = state == STATE_COMPLETED ? 1 : 0;
    if (!byKey && clickCooldown < 1) {
        CController::PlayInterfaceSound(CController::GetSoundClick());
        clickCooldown = kDoubleClickFrames;
        if (owner) owner->GUICallback(id, v, false);
        return true;
    }
    // A key, or the second press within the double-click time; a pointer
    // moved here by the keyboard (no button held) does not count twice.
    if (!byKey && !leftHeld) return true;
    if (owner) owner->GUICallback(id, v, true);
    return true;
}

void CGuiButtonMapDot::Centre(int* cx, int* cy) const {
    const Rect r = current->GetRect();
    *cx = r.x + r.w / 2;
    *cy = r.y + r.h / 2;
}

bool CGuiButtonMapDot::IsMouseOver() {
    if (hidden || anim == ANIM_APPEAR) return false;
    int cx, cy;
    Centre(&cx, &cy);
    const int halfHeight = kind != KIND_DOT ? 6 : 8;
    const int mx = GetMouseX();
    const int my = GetMouseY();
    return mx >= cx - 9 && mx <= cx + 7 && my >= cy - halfHeight && my <= cy + halfHeight;
}

void CGuiButtonMapDot::WarpMouseTo() {
    int cx, cy;
    Centre(&cx, &cy);
    WarpMouse(cx, cy);
    HideMousePointer(1);
    // The focus chooses the dot as a first click does, however soon after
    // a click on it.
    clickCooldown = 0;
    Activate(false, false);
}
