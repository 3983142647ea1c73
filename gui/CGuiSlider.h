// The level gauge of the options screen: a bar showing one of the positions
// 0 to 11. It takes no clicks itself: the screen puts minus and plus buttons
// beside it and calls Decrease and Increase. While disabled it ignores them
// and a grey veil covers it.
#pragma once

#include <cstdint>
#include <memory>

class CSprite;

class CGuiSlider {
public:
    static constexpr int kMaxValue = 11;
    static constexpr int kGreyOutDx = -18;

    CGuiSlider(int x, int y);
    ~CGuiSlider();
    CGuiSlider(const CGuiSlider&) = delete;
    CGuiSlider& operator=(const CGuiSlider&) = delete;

    void Decrease();
    void Increase();
    // Callers pass 0..11; the bar follows even while disabled.
    void SetValue(int v);
    int GetValue() const { return value; }
    void SetDisabled(bool on);
    bool IsDisabled() const { return disabled != 0; }
    // The bar shows nothing at 0, 2 + 10 v pixels for 1..10, all of it at 11.
    void UpdateBar();

    // Inspection (tests).
    CSprite* GetBar() const { return bar.get(); }
    CSprite* GetGreyOut() const { return greyOut.get(); }

private:
    std::unique_ptr<CSprite> shadow;
    std::unique_ptr<CSprite> frame;
    std::unique_ptr<CSprite> bar;
    std::unique_ptr<CSprite> greyOut;
    int x, y;
    uint8_t disabled;
    int value;
};
