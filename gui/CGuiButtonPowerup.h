// A one-shot button for an inventory slot. It is empty until its owner hands
// it four sprites (base, rollover, click and text, usually animated) and a
// value; a press reports the value once, plays the click animation and the
// button empties itself again. It owns the sprites it was given.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/CGuiButtonBase.h"

class CController;
class CSprite;

class CGuiButtonPowerup : public CGuiButtonBase {
public:
    CGuiButtonPowerup(int x, int y, int id, CController* owner);
    ~CGuiButtonPowerup() override;
    CGuiButtonPowerup(const CGuiButtonPowerup&) = delete;
    CGuiButtonPowerup& operator=(const CGuiButtonPowerup&) = delete;

    // Takes the four sprites (any may be null) and the value to report;
    // the sprites held before are deleted. Shows base and text.
    void SetContent(std::unique_ptr<CSprite> base, std::unique_ptr<CSprite> rollover, std::unique_ptr<CSprite> click,
                    std::unique_ptr<CSprite> text, int value);
    // Replace one sprite: placed, played forward and hidden.
    void SetBaseSprite(std::unique_ptr<CSprite> sprite);
    void SetRolloverSprite(std::unique_ptr<CSprite> sprite);
    void SetClickSprite(std::unique_ptr<CSprite> sprite);
    void SetTextSprite(std::unique_ptr<CSprite> sprite);
    // Back to empty: the four sprites are deleted.
    void Clear();

    bool HasContent() const { return hasContent != 0; }
    bool IsUsed() const { return used != 0; }
    int GetValue() const { return value; }
    CSprite* GetBaseSprite() const { return base.get(); }
    CSprite* GetRolloverSprite() const { return rollover.get(); }
    CSprite* GetClickSprite() const { return click.get(); }
    CSprite* GetTextSprite() const { return text.get(); }

    void Update() override;
    bool Activate(bool byKey, bool force) override;
    void Hide() override;
    void Show() override;
    bool IsMouseOver() override;
    // A used button plays its click out without taking the focus.
    bool TakesPointerFocus() override { return !used && CGuiButtonBase::TakesPointerFocus(); }
    void WarpMouseTo() override;

private:
    void Take(std::unique_ptr<CSprite>& slot, std::unique_ptr<CSprite> sprite, const char* debugName);

    uint8_t hasContent;
    uint8_t used;
    uint8_t hovering;
    int value;
    std::unique_ptr<CSprite> base;
    std::unique_ptr<CSprite> rollover;
    std::unique_ptr<CSprite> click;
    std::unique_ptr<CSprite> text;
};
