// The editor's toolbox: a grid of 6 columns by 9 rows over the dimmed
// editor in which a tool, a command or a background is picked with the
// mouse or the keys. The code of a cell is row x 6 + column: column 0 holds
// the commands, column 5 the erase tool and the eight background swatches.
// The arrows move the choice in the grid, Tab and Shift+Tab along the codes
// (as they move the focus on other screens), wrapping at both ends.
// The editor makes it once and opens it again and again; it keeps its
// selection, and its sprites exist only while it is open.
#pragma once

#include <cstdint>
#include <memory>

#include "editor/CArrowRepeat.h"
#include "engine/CController.h"

class CSprite;

class CControllerEditorPalette : public CController {
public:
    enum SpriteSlot { SPRITE_DIMMER, SPRITE_SHADOW, SPRITE_TOOLBOX, SPRITE_SELECTOR, SPRITE_POINTER, SPRITE_COUNT };
    static constexpr int kColumns = 6;
    static constexpr int kRows = 9;
    static constexpr int kCellW = 68;
    static constexpr int kCellH = 51;
    // The toolbox, its rim centred on the screen; the grid lies 5 px in.
    static constexpr int kToolboxX = 192;
    static constexpr int kGridX = kToolboxX + 5;
    static constexpr int kGridY = 65;

    CControllerEditorPalette();
    ~CControllerEditorPalette() override;

    void SelectTool(uint32_t code);
    uint32_t GetTool() const { return static_cast<uint32_t>(column + row * kColumns); }

    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    CSprite* GetSprite(int slot) const { return slot >= 0 && slot < SPRITE_COUNT ? sprites[slot].get() : nullptr; }
    int GetColumn() const { return column; }
    int GetRow() const { return row; }

private:
    void MakeSprites();
    void DeleteSprites();
    // Takes the palette down for its next opening; Close also closes it
    // with the choice made.
    void TakeDown();
    void Close();
    void FallBackToErase() { column = kColumns - 1, row = 0; }
    // Leaving without choosing a cell keeps only the tools of rows 1 to 8
    // and the record, play and exit commands.
    void FallBackWhenLeftOutside();
    void PointFromKeys();
    // Tab and Shift+Tab: the next or the previous code.
    void StepChoice(bool backwards);
    void PointFromMouse(bool click);

    std::unique_ptr<CSprite> sprites[SPRITE_COUNT];
    int column, row;
    uint8_t upHeld, downHeld, leftHeld, rightHeld;
    uint8_t dragging;
    uint8_t rightButtonHeld;
    uint8_t ignoreRelease;
    uint8_t spritesDeleted;
    CArrowRepeat repeat;
};
