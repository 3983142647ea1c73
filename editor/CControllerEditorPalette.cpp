#include "editor/CControllerEditorPalette.h"

#include "editor/CEditorModel.h"
#include "editor/EditorKeys.h"
#include "engine/CInput.h"
#include "engine/CMouse.h"
#include "engine/CRender.h"
#include "engine/CSprite.h"
#include "engine/Log.h"
#include "gui/CGuiButtonBase.h"
#include "gui/GuiSprites.h"

CControllerEditorPalette::CControllerEditorPalette()
    : sprites{},
      column(kColumns - 1),
      row(0),
      upHeld(0),
      downHeld(0),
      leftHeld(0),
      rightHeld(0),
      dragging(0),
      rightButtonHeld(0),
      ignoreRelease(1),
      spritesDeleted(0) {
    id = CONTROLLER_EDITOR_PALETTE;
    DebugLog(DBG_CONSTRUCT, "CControllerEditorPalette:  Preloading sprites...\n");
    MakeSprites();
}

CControllerEditorPalette::~CControllerEditorPalette() {
    DebugLog(DBG_DESTRUCT, "CControllerEditorPalette:  Destroying CControllerEditorPalette...\n");
    DeleteSprites();
}

void CControllerEditorPalette::MakeSprites() {
    sprites[SPRITE_DIMMER] =
        MakeGuiSprite("dimmer.png", LAYER_PALETTE_DIMMER, "Palette - Background Dimmer", 0, 0, true);
    sprites[SPRITE_SHADOW] = MakeGuiSprite("editortoolbox_border.tga", LAYER_PALETTE_SHADOW, "Palette - Toolbox Shadow",
                                           kToolboxX - 4, 56, true);
    sprites[SPRITE_TOOLBOX] =
        MakeGuiSprite("editortoolbox_main.jpg", LAYER_PALETTE, "Palette - Toolbox", kToolboxX, 60, true);
    sprites[SPRITE_SELECTOR] =
        MakeGuiSprite("toolboxselector.png", LAYER_PALETTE_SELECTOR, "Palette - Toolbox Selector",
                      kGridX + column * kCellW, kGridY + row * kCellH, true);
    sprites[SPRITE_POINTER] =
        MakeGuiSprite("mousepointer.tga", LAYER_MOUSE, "Palette - Mouse Pointer", GetMouseX(), GetMouseY(), true);
}

void CControllerEditorPalette::DeleteSprites() { ReleaseAll(sprites); }

void CControllerEditorPalette::SelectTool(uint32_t code) {
    if (code >= kColumns * kRows) return;
    column = static_cast<int>(code) % kColumns;
    row = static_cast<int>(code) / kColumns;
}

void CControllerEditorPalette::TakeDown() {
    for (const auto& s : sprites)
        if (s) s->Hide();
    CRender::AddFullScreenDirtyRect();
    DeleteSprites();
    spritesDeleted = 1;
    upHeld = downHeld = leftHeld = rightHeld = 0;
    dragging = 0;
    rightButtonHeld = 0;
    ignoreRelease = 1;
}

void CControllerEditorPalette::Close() {
    TakeDown();
    result = kCloseBack;
}

void CControllerEditorPalette::FallBackWhenLeftOutside() {
    if (row == 0 || (column == 0 && row <= 5)) FallBackToErase();
}

void CControllerEditorPalette::InputKey(bool released, int key) {
    const bool press = !released;
    switch (key) {
    case KEY_UP: upHeld = press; break;
    case KEY_DOWN: downHeld = press; break;
    case KEY_LEFT: leftHeld = press; break;
    case KEY_RIGHT: rightHeld = press; break;
    default: break;
    }
    if (press) {
        // A tap shorter than a frame moves too.
        if (key == KEY_UP || key == KEY_DOWN || key == KEY_LEFT || key == KEY_RIGHT) PointFromKeys();
        if (key == KEY_TAB) {
            StepChoice(modShift != 0);
        } else if (key == KEY_RETURN || key == KEY_SPACE) {
            Close();
        } else if (key == KEY_ESCAPE) {
            // Escape never runs a command.
            if (column == 0) FallBackToErase();
            Close();
        } else if (key >= EDITOR_KEY_F1 && key <= EDITOR_KEY_F8) {
            SelectTool(EditorSwatchCode(key - EDITOR_KEY_F1));
        } else if (modAlt) {
            const int command = EditorCommandForAltKey(key);
            if (command >= 0) SelectTool(static_cast<uint32_t>(command));
        } else {
            const int tool = EditorToolForKey(key);
            if (tool >= 0) SelectTool(static_cast<uint32_t>(tool));
        }
    }
    CaptureScreen(released, key);
}

void CControllerEditorPalette::PointFromKeys() {
    if (leftHeld && !rightHeld && column > 0) --column;
    if (rightHeld && !leftHeld && column < kColumns - 1) ++column;
    if (upHeld && !downHeld && row > 0) --row;
    if (downHeld && !upHeld && row < kRows - 1) ++row;
}

void CControllerEditorPalette::StepChoice(bool backwards) {
    constexpr int kCells = kColumns * kRows;
    SelectTool(static_cast<uint32_t>((static_cast<int>(GetTool()) + (backwards ? kCells - 1 : 1)) % kCells));
}

void CControllerEditorPalette::PointFromMouse(bool click) {
    if (mouseX >= kGridX + 1 && mouseX < kGridX + kColumns * kCellW && mouseY >= kGridY + 1 && mouseY <= 523) {
        column = (mouseX - kGridX) / kCellW;
        row = (mouseY - kGridY) / kCellH;
        if (click) Close();
    } else if (click) {
        FallBackWhenLeftOutside();
        Close();
    }
}

void CControllerEditorPalette::InputMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
    if (dragging) PointFromMouse(false);
}

void CControllerEditorPalette::InputMouseClick(bool released, bool left, bool right, bool, bool) {
    if (!left && !right) return;
    // The release of the click that opened the palette chooses nothing.
    if (released && ignoreRelease) return;
    ignoreRelease = 0;
    if (left) {
        if (CGuiButtonBase::GetFocusedButton()) return;
        dragging = released ? 0 : 1;
        PointFromMouse(released);
    } else {
        rightButtonHeld = released ? 0 : 1;
        if (released) {
            FallBackWhenLeftOutside();
            Close();
        }
    }
}

void CControllerEditorPalette::Pump() {
    if (spritesDeleted) {
        MakeSprites();
        spritesDeleted = 0;
    }
    PollInput();
    // Closed by the ending game (the window's close button may yet be
    // answered no): opened again, it starts as new.
    if (result == kCloseQuit) TakeDown();
    if (result != 0) return;
    // The press itself made the first move.
    if (repeat.Step(upHeld || downHeld || leftHeld || rightHeld) && repeat.Count() > 1) PointFromKeys();
    if (sprites[SPRITE_SELECTOR])
        sprites[SPRITE_SELECTOR]->SetPosition(kGridX + column * kCellW, kGridY + row * kCellH, false);
    if (sprites[SPRITE_POINTER]) sprites[SPRITE_POINTER]->SetPosition(GetMouseX(), GetMouseY(), false);
    CGuiButtonBase::UpdateAll();
}
