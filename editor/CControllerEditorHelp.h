// The editor's help page: a parchment that shows the editor's elements and
// commands in sections of a grid. Pointing at an entry shows its name, an
// explanation and, for an element, its animated picture. Okay or Escape
// closes it.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/CController.h"

class CSprite;
class CGuiButton;

class CControllerEditorHelp : public CController {
public:
    enum SpriteSlot { SPRITE_DIMMER, SPRITE_BACKGROUND, SPRITE_SELECTOR, SPRITE_NAME, SPRITE_INFO, SPRITE_COUNT };
    static constexpr int kPictureCount = 45;
    static constexpr int kEntryCount = 45;
    static constexpr const char* kBaseImage = "baseEditorHelpController.png";
    // The grid of eight columns of entries, centred on the page (which lies
    // at x 57, y 23); everything else on the page stands relative to it.
    static constexpr int kGridX = 128;
    static constexpr int kGridY = 118;
    static constexpr int kCellW = 68;
    static constexpr int kCellH = 51;

    CControllerEditorHelp();
    ~CControllerEditorHelp() override;

    // The entry of a grid cell, -1 for none.
    static int EntryAt(int column, int row);

    void GUICallback(int index, int value, bool dclick) override;
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    void Pump() override;

    // Inspection (tests).
    int GetShownEntry() const { return shownEntry; }
    CSprite* GetSprite(int slot) const { return slot >= 0 && slot < SPRITE_COUNT ? sprites[slot].get() : nullptr; }
    CSprite* GetPicture(int i) const { return i >= 0 && i < kPictureCount ? pictures[i].get() : nullptr; }
    // The pictures an entry shows, as picture numbers (-1 ends the list).
    static const int* PicturesOf(int entry);
    CGuiButton* GetOkayButton() const { return okay.get(); }

private:
    void LoadSprites();
    void UpdateSelection();
    void ShowEntryPictures(int entry, bool show);

    std::unique_ptr<CSprite> sprites[SPRITE_COUNT];
    std::unique_ptr<CSprite> pictures[kPictureCount];
    std::unique_ptr<CGuiButton> okay;
    uint8_t spritesBuilt;
    int shownEntry;
    int newEntry;
    int pointerColumn, pointerRow;
};
