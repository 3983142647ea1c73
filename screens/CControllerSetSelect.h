// The small dialog over the level map in which the player picks one of the
// three level sets: regular, advanced or kids, each a picture button with a
// description beside it. It cannot be left without a choice (Escape does
// nothing); the map reads the chosen set from its value.
#pragma once

#include <cstdint>
#include <memory>

#include "screens/CControllerPage.h"

class CSprite;
class CGuiButton;

class CControllerSetSelect : public CControllerPage {
public:
    // The button ids are the set numbers.
    enum ButtonId { BUTTON_REGULAR = 0, BUTTON_ADVANCED = 1, BUTTON_KIDS = 2, BUTTON_COUNT = 3 };

    CControllerSetSelect();
    ~CControllerSetSelect() override;

    void GUICallback(int index, int value, bool dclick) override;

    // The box (500 wide) stands centred on the screen, and everything on it
    // with it.
    static constexpr int kBoxX = 150;
    static constexpr int kBoxY = 113;
    // The heading's picture, its text centred in the room between the box's
    // left edge and the professor's medallion.
    static constexpr int kHeadingX = kBoxX + 60;
    // Where each set's description picture stands on the screen, beside its
    // button.
    static constexpr int kDescriptionX = kBoxX + 175;
    static int GetDescriptionY(int set);

    // Inspection (tests).
    CGuiButton* GetButton(int set) const { return set >= 0 && set < BUTTON_COUNT ? buttons[set].get() : nullptr; }

private:
    void LoadSprites();
    void UnloadSprites();

    std::unique_ptr<CSprite> dimmer;
    std::unique_ptr<CSprite> background;
    std::unique_ptr<CSprite> professor;
    std::unique_ptr<CGuiButton> buttons[BUTTON_COUNT];
    uint8_t loaded;
};
