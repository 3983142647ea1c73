// A rolling odometer over an optional frame picture: the play screen's step
// count, 5 digits. It holds values up to kMaxValue (99999, the most 5 digits
// show) in as many digit places as its owner asks for, at most kMaxDigits.
// The shown value rolls toward the target a little every frame; each digit
// scrolls through a strip of digit pictures, and a higher digit turns only
// while the digit below it rolls from 9 to 0.
#pragma once

#include <memory>

class CSprite;

class CGuiCounter {
public:
    static constexpr int kMaxDigits = 10;
    static constexpr int kMaxValue = 99999;
    static constexpr int kDigitPitch = 13;
    static constexpr int kCellHeight = 20;

    // framePicture may be null.
    CGuiCounter(int x, int y, int digits, const char* framePicture, int frameDx, int frameDy);
    ~CGuiCounter();
    CGuiCounter(const CGuiCounter&) = delete;
    CGuiCounter& operator=(const CGuiCounter&) = delete;

    void SetValue(int v);
    // rolling: the shown position in twentieths of a count; else the target.
    int GetValue(bool rolling) const { return rolling ? shown : target; }
    // One step of the roll, once per frame.
    void Update();
    void Hide();
    void Show();

    int GetDigits() const { return digits; }
    // The strip window top of digit i (0 is the leftmost), for tests.
    int GetWindowTop(int i) const;

private:
    std::unique_ptr<CSprite> digitSprites[kMaxDigits];
    std::unique_ptr<CSprite> frameSprite;
    int x, y;
    int digits;
    int shown;
    int target;
    int windowTop[kMaxDigits];
};
