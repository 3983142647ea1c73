// The common ground of the screens drawn on a parchment page over their
// dimmed opener (options, key bindings, instructions, credits): the page and
// dimmer pictures, and input that only drives the page's widgets: the
// keyboard navigation with Escape closing, the pointer, a click on nothing.
#pragma once

#include <memory>

#include "engine/CController.h"
#include "engine/CSprite.h"

class CGuiButton;

class CControllerPage : public CController {
public:
    // Where every page lies on the screen.
    static constexpr int kPageX = 57;
    static constexpr int kPageY = 23;
    // The column of parchment buttons at the foot of a page.
    static constexpr int kFootButtonX = 307;
    // The row of the Done (and previous and next) buttons, 40 high with
    // their shadow 2 lower, ending 7 pixels short of the page's torn
    // bottom edge.
    static constexpr int kFootRowY = 526;
    // Done (95 wide) stands in that row centred on the page; the
    // instructions' previous and next buttons stand 155 pixels to each side.
    static constexpr int kDoneX = 352;

    // Escape closes a page, unless the page says otherwise.
    CControllerPage();
    void InputKey(bool released, int key) override;
    void InputMouseMove(int x, int y) override;
    void InputMouseClick(bool released, bool left, bool right, bool wheelUp, bool wheelDown) override;
    // Input, then the widgets while this screen is active.
    void Pump() override;

protected:
    // The full-screen veil over the opener.
    static std::unique_ptr<CSprite> MakeDimmer(SpriteLayer layer, const char* debugName);
    // A fresh copy of the blank page registered under name, to paint on.
    static int CopyPage(const char* name);
    // The sprite of a painted page, at the page's place.
    static std::unique_ptr<CSprite> MakePageSprite(int image, SpriteLayer layer, const char* debugName);
    // A parchment push button of this screen with its caption picture;
    // isDefault as for every button (what Return acts on with nothing in
    // focus).
    std::unique_ptr<CGuiButton> MakeParchmentButton(int x, int y, int widgetId, const char* caption,
                                                    bool isDefault = false);
};
