// The image push button: a base image, an optional drop shadow, a rollover
// image while the pointer is over it, an optional click image while the left
// button is held on it, an optional text image and an optional "disabled"
// overlay. A release of the left button over the focused button, or Enter or
// Space while it is focused, reports GUICallback(id, 0, 0) to its screen.
#pragma once

#include <memory>

#include "engine/CSprite.h"
#include "gui/CGuiButtonBase.h"

class CController;
class CSprite;

class CGuiButton : public CGuiButtonBase {
public:
    // Image names of the image store; shadow and click may be null.
    CGuiButton(int x, int y, int id, CController* owner, const char* baseImage, const char* shadowImage,
               const char* rolloverImage, const char* clickImage, bool isDefault, int shadowDx, int shadowDy);
    ~CGuiButton() override;

    // Offsets of the text image: normal, then added for the rollover and the
    // pressed looks. A null image removes the text.
    void SetText(const char* textImage, int textDx, int textDy, int hoverDx, int hoverDy, int pressedDx,
                 int pressedDy);
    void SetDisableImage(const char* image, int dx, int dy);
    void Disable();
    void Enable();
    bool IsDisabled() const { return disabled != 0; }
    void SetPosition(int x, int y);
    void SetBaseImage(const char* image);
    void SetRolloverImage(const char* image);
    void SetClickImage(const char* image);
    int GetCentreX() const;
    int GetCentreY() const;

    void Update() override;
    void Hide() override;
    void Show() override;
    bool IsMouseOver() override;
    void WarpMouseTo() override;
    void ShowAsDefault(bool on) override;

    // Inspection of the looks (tests).
    CSprite* GetBaseSprite() const { return base.get(); }
    CSprite* GetRolloverSprite() const { return rollover.get(); }
    CSprite* GetShadowSprite() const { return shadow.get(); }
    CSprite* GetClickSprite() const { return click.get(); }
    CSprite* GetTextSprite() const { return text.get(); }
    CSprite* GetDisableSprite() const { return disable.get(); }

private:
    std::unique_ptr<CSprite> MakeSprite(const char* image, SpriteLayer layer, const char* debugName, int px, int py,
                                        bool shown);
    void PlaceText(int dx, int dy);
    // The look without the focus: the base picture, the text in place.
    void ShowUnfocused();

    int shadowDx, shadowDy;
    int textDx, textDy;
    int textHoverDx, textHoverDy;
    int textPressedDx, textPressedDy;
    uint8_t disabled;
    uint8_t defaultShown = 0;  // looks focused as the screen's default
    int disableDx, disableDy;
    std::unique_ptr<CSprite> base;
    std::unique_ptr<CSprite> rollover;
    std::unique_ptr<CSprite> shadow;
    std::unique_ptr<CSprite> disable;
    std::unique_ptr<CSprite> click;
    std::unique_ptr<CSprite> text;
};
