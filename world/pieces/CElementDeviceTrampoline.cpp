#include "world/pieces/CElementDeviceTrampoline.h"

#include <cstring>

#include "engine/CSprite.h"
#include "engine/Log.h"
#include "sound/CSound.h"
#include "sound/CSoundObject.h"
#include "world/CWorldDigest.h"
#include "world/pieces/PieceSprites.h"

bool CElementDeviceTrampoline::inUse = false;
uint8_t CElementDeviceTrampoline::trampolineGrid[kGridCells] = {};
uint8_t CElementDeviceTrampoline::savedGrid[kUndoSlots][kGridCells] = {};

namespace {

// The fling goes off in the update in which the landing cell has been free
// for more updates in a row than this.
const int kFreeUpdatesBeforeFling = 3;

}  // namespace

CElementDeviceTrampoline::CElementDeviceTrampoline(int x_, int y_) : CElementDevice(x_, y_) {
    inUse = true;
    SetGrid(x, y, 1);
    typeDevice = DEVICE_KIND_TRAMPOLINE;

    spriteBack = NewPieceSprite(-9, 17, LAYER_TRAMPOLINE_BACK, 0, 1, 1, "Trampoline Back");
    spriteBack->AddFrame("trampolineback0.tga");
    spriteBackBreak = NewPieceSprite(-9, 17, LAYER_TRAMPOLINE_BACK, 1, 1, 1, "Trampoline Back Breaking");
    spriteBackBreak->AddFrames("trampolinebackbreak", 0, 9, ".png", 1);

    fronts[FRONT_IDLE] = NewPieceSprite(11, 17, LAYER_TRAMPOLINE_FRONT, 0, 1, 1, "Trampoline Front");
    fronts[FRONT_IDLE]->AddFrame("trampolinefront0.tga");
    CSprite* s = NewPieceSprite(20, 17, LAYER_TRAMPOLINE_FRONT, 2, 1, 1, "Trampoline Front - Stretched Right");
    s->AddFrame("trampolinefrontright0.tga", 2);
    s->AddFrames("trampolinefrontright", 1, 2, ".tga", 1);
    fronts[FRONT_STRETCHED_RIGHT] = s;
    s = NewPieceSprite(20, 17, LAYER_TRAMPOLINE_FRONT, 2, 1, 1, "Trampoline Front - Unstretched Right");
    s->AddFrames("trampolinefrontright", 2, 0, ".tga", 1);
    fronts[FRONT_UNSTRETCHED_RIGHT] = s;
    fronts[FRONT_BREAKING] = NewPieceSprite(11, 17, LAYER_TRAMPOLINE_FRONT, 1, 1, 1, "Trampoline Front Breaking");
    fronts[FRONT_BREAKING]->AddFrames("trampolinefrontbreak", 0, 9, ".png", 1);

    canvases[CANVAS_IDLE] = NewPieceSprite(3, 15, LAYER_TRAMPOLINE_CANVAS, 0, 1, 1, "Trampoline Canvas - Idle");
    canvases[CANVAS_IDLE]->AddFrame("trampoline0.tga");
    s = NewPieceSprite(3, 15, LAYER_TRAMPOLINE_CANVAS_LEFT, 2, 1, 1, "Trampoline Canvas - Stretched Left");
    s->AddFrame("trampoline0.tga");
    s->AddFrames("trampolinestretchleft", 0, 1, ".tga", 1);
    s->AddFrame("trampolinestretchleftfull.tga");
    canvases[CANVAS_STRETCHED_LEFT] = s;
    s = NewPieceSprite(3, 15, LAYER_TRAMPOLINE_CANVAS_LEFT, 2, 1, 1, "Trampoline Canvas - Unstretched Left");
    s->AddFrames("trampolinestretchleft", 1, 0, ".tga", 1);
    s->AddFrame("trampoline0.tga");
    s->AddFrames("trampolineunstretchleft", 0, 7, ".tga", 1);
    canvases[CANVAS_UNSTRETCHED_LEFT] = s;
    s = NewPieceSprite(16, 15, LAYER_TRAMPOLINE_CANVAS, 2, 1, 1, "Trampoline Canvas - Stretched Right");
    s->AddFrames("trampolinestretchright", 0, 2, ".tga", 1);
    s->AddFrame("trampolinestretchrightfull.tga");
    canvases[CANVAS_STRETCHED_RIGHT] = s;
    s = NewPieceSprite(16, 15, LAYER_TRAMPOLINE_CANVAS, 2, 1, 1, "Trampoline Canvas - Unstretched Right");
    s->AddFrames("trampolinestretchright", 2, 0, ".tga", 1);
    s->AddFrames("trampolineunstretchright", 0, 8, ".tga", 1);
    canvases[CANVAS_UNSTRETCHED_RIGHT] = s;
    canvases[CANVAS_BREAKING] = NewPieceSprite(3, 15, LAYER_TRAMPOLINE_CANVAS, 1, 1, 1, "Trampoline Canvas Breaking");
    canvases[CANVAS_BREAKING]->AddFrames("trampolinerubberbreak", 0, 9, ".png", 1);

    soundStretch = new CSoundObject("trampoline_stretch.ogg", false);
    soundRebound = new CSoundObject("trampoline_rebound.ogg", false);

    back.current = spriteBack;
    front.current = fronts[FRONT_IDLE];
    canvas.current = canvases[CANVAS_IDLE];
    Draw();
}

CElementDeviceTrampoline::~CElementDeviceTrampoline() {
    DebugLog(DBG_DESTRUCT, "CElementDeviceTrampoline:  Destroying trampoline element at (%d,%d)...\n", x, y);
    DeletePieceSprite(&spriteBack);
    DeletePieceSprite(&spriteBackBreak);
    for (CSprite*& s : fronts) DeletePieceSprite(&s);
    for (CSprite*& s : canvases) DeletePieceSprite(&s);
    delete soundStretch;
    soundStretch = nullptr;
    delete soundRebound;
    soundRebound = nullptr;
}

void CElementDeviceTrampoline::SetGrid(int cx, int cy, uint8_t value) {
    // A carried trampoline may leave the grid.
    if (IsInsideGrid(cx, cy)) trampolineGrid[cx * kGridHeight + cy] = value;
}

bool CElementDeviceTrampoline::IsTrampolineAt(int cx, int cy) {
    return IsInsideGrid(cx, cy) && trampolineGrid[cx * kGridHeight + cy] != 0;
}

// ---- Per step ----------------------------------------------------------------

void CElementDeviceTrampoline::Update() {
    // Its own part of the break: a trampoline that begins to fall frees its
    // cell at once. The shared rule then breaks it for good.
    if (FALLING && !destroyed) FreeCell();
    if (!UpdateBreak()) {
        if (IsMoving()) {
            Carry();
        } else {
            CElement* e = GetElementAt(x, y, true);
            Stretch(e);
            // Only what has come to rest in the cell, does not stick to its
            // floor and hangs on no magnet is flung.
            auto settled = [e] { return !e->IsMoving() && e->GetSlideTendency() < 1 && !e->IsMagnetHeld(); };
            if (e->WASMOVINGLEFT && settled() && e->GetTrampolineFlagB()) {
                Fling(e, false);
            } else if (e->WASMOVINGRIGHT && settled() && e->GetTrampolineFlagA()) {
                Fling(e, true);
            }
        }
    }
    Draw();
}

void CElementDeviceTrampoline::FreeCell() {
    // The fall has already moved it on by a cell: its mark is on the cell it
    // falls from. (The cell it falls into may mark another trampoline.)
    SetGrid(prevX, prevY, 0);
    occupiesGrid = 0;
    if (GetElementAt(x, y, true) == this) ClearElementAt(x, y);
}

void CElementDeviceTrampoline::Carry() {
    // Something carries it along: its mark follows it, and from now on it
    // takes its cell in the element grid.
    SetGrid(prevX, prevY, 0);
    SetGrid(x, y, 1);
    if (!occupiesGrid) {
        occupiesGrid = 1;
        SetElementAt(x, y, this);
    }
    if (stretchedLeft || stretchedRight) Release();
}

void CElementDeviceTrampoline::Release() {
    if (stretchedLeft) {
        stretchedLeft = false;
        canvas.current = canvases[CANVAS_UNSTRETCHED_LEFT];
        front.current = fronts[FRONT_IDLE];
    } else {
        stretchedRight = false;
        canvas.current = canvases[CANVAS_UNSTRETCHED_RIGHT];
        front.current = fronts[FRONT_UNSTRETCHED_RIGHT];
    }
    CSound::Play(soundRebound);
}

void CElementDeviceTrampoline::Stretch(CElement* e) {
    const bool empty = !IsOccupied(x, y, true);
    if (e->WASMOVINGRIGHT && !stretchedLeft) {
        // Came in moving right: the canvas bends away to the right side.
        stretchedLeft = true;
        canvas.current = canvases[CANVAS_STRETCHED_LEFT];
        front.current = fronts[FRONT_IDLE];
        CSound::Play(soundStretch);
    } else if (empty && stretchedLeft) {
        Release();
    } else if (e->WASMOVINGLEFT && !stretchedRight) {
        stretchedRight = true;
        canvas.current = canvases[CANVAS_STRETCHED_RIGHT];
        front.current = fronts[FRONT_STRETCHED_RIGHT];
        CSound::Play(soundStretch);
    } else if (empty && stretchedRight) {
        Release();
    }
}

void CElementDeviceTrampoline::Fling(CElement* e, bool toLeft) {
    // The landing cell, through a teleport when a portal covers that side.
    const int tx = GetSideX(toLeft);
    const int ty = GetSideY(toLeft);
    if (IsOccupied(tx, ty, true)) {
        pushCount = 0;
    } else {
        ++pushCount;
    }
    // Whatever sits in the landing cell gets a gentle shove first.
    CElement* blocker = GetElementAt(tx, ty, true);
    if (toLeft) {
        blocker->PushLeft(false, false);
    } else {
        blocker->PushRight(false, false);
    }
    if (pushCount <= kFreeUpdatesBeforeFling) return;
    pushCount = 0;
    if (toLeft) {
        DebugLog(DBG_DEBUG, "Trampoline pushing ptrElement '%s' to the left...\n", e->GetTypeName());
        e->PushLeft(true, true);
    } else {
        DebugLog(DBG_DEBUG, "Trampoline pushing ptrElement '%s' to the right...\n", e->GetTypeName());
        e->PushRight(true, true);
    }
}

void CElementDeviceTrampoline::Draw() {
    if (destroyed) {
        back.current = spriteBackBreak;
        front.current = fronts[FRONT_BREAKING];
        canvas.current = canvases[CANVAS_BREAKING];
        if (front.current->IsFinished()) {
            for (SpriteSlot* slot : {&back, &front, &canvas}) slot->current->Hide();
        }
    }
    for (SpriteSlot* slot : {&back, &front, &canvas}) slot->CatchUp(prevPixelX, prevPixelY, true);
    spriteBack->SetPosition(pixelX, pixelY, false);
    spriteBackBreak->SetPosition(pixelX, pixelY, false);
    for (CSprite* s : fronts) s->SetPosition(pixelX, pixelY, false);
    for (CSprite* s : canvases) s->SetPosition(pixelX, pixelY, false);
}

// ---- Undo ----------------------------------------------------------------------

void CElementDeviceTrampoline::SaveState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Saving ElementDeviceTrampoline state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        Saved& s = savedState[k];
        UNDO_SAVE(s, TRAMPOLINE_UNDO_FIELDS);
        s.back = back, s.front = front, s.canvas = canvas;
    }
    CElementDevice::SaveState(k);
}

void CElementDeviceTrampoline::RestoreState(int k) {
    DebugLog(DBG_UNDO, "      %s:  Restoring ElementDeviceTrampoline state...\n", GetTypeName());
    if (k >= 0 && k < kUndoSlots) {
        const Saved& s = savedState[k];
        back.Restore(s.back);
        front.Restore(s.front);
        canvas.Restore(s.canvas);
        UNDO_RESTORE(s, TRAMPOLINE_UNDO_FIELDS);
    }
    CElementDevice::RestoreState(k);
}

void CElementDeviceTrampoline::DescribeState(CWorldDigest* d) {
    UNDO_DESCRIBE(d, TRAMPOLINE_UNDO_FIELDS);
    d->AddSprite("back", back.current, false);
    d->AddSprite("front", front.current, false);
    d->AddSprite("canvas", canvas.current, false);
    CElementDevice::DescribeState(d);
}

void CElementDeviceTrampoline::PrintSprites() {
    PrintSpriteLine(back.current);
    PrintSpriteLine(front.current);
    PrintSpriteLine(canvas.current);
}

// ---- Class-wide state ------------------------------------------------------------

void CElementDeviceTrampoline::ResetStatics() {
    inUse = false;
    std::memset(trampolineGrid, 0, sizeof(trampolineGrid));
}

void CElementDeviceTrampoline::SaveStatics(int k) {
    if (!inUse || k < 0 || k >= kUndoSlots) return;
    std::memcpy(savedGrid[k], trampolineGrid, sizeof(trampolineGrid));
}

void CElementDeviceTrampoline::RestoreStatics(int k) {
    if (!inUse || k < 0 || k >= kUndoSlots) return;
    std::memcpy(trampolineGrid, savedGrid[k], sizeof(trampolineGrid));
}

void CElementDeviceTrampoline::DescribeStatics(CWorldDigest* d) {
    d->BeginPart("trampolines");
    d->AddCells("trampoline", 0, [](int x, int y) { return trampolineGrid[x * kGridHeight + y]; });
}
