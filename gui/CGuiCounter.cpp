#include "gui/CGuiCounter.h"

#include "engine/CSprite.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"

CGuiCounter::CGuiCounter(int x_, int y_, int digits_, const char* framePicture, int frameDx, int frameDy)
    : frameSprite(nullptr), x(x_), y(y_), digits(digits_), shown(0), target(0) {
    if (digits > kMaxDigits) digits = kMaxDigits;
    if (digits < 1) digits = 1;
    for (int i = 0; i < kMaxDigits; ++i) windowTop[i] = 0;
    if (framePicture) {
        frameSprite = std::make_unique<CSprite>(LAYER_CL_TOP, 0, false);
        frameSprite->SetName("GUI Counter Frame");
        frameSprite->AddFrame(framePicture);
        frameSprite->SetPosition(x + frameDx, y + frameDy, false);
        frameSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
    for (int i = 0; i < digits; ++i) {
        digitSprites[i] = std::make_unique<CSprite>(LAYER_CL_TEXT, 0, false);
        CSprite* s = digitSprites[i].get();
        s->SetName("GUI Counter Digit");
        s->AddFrame("counterdigitsA_faded.png");
        s->SetPosition(x + kDigitPitch * i, y, false);
        s->SetClipHeight(kCellHeight);
        // Only the units read 0 at the start; the others are blank.
        windowTop[i] = (i == digits - 1) ? 200 : 0;
        s->SetClipY(windowTop[i]);
        s->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    }
}

CGuiCounter::~CGuiCounter() { ReleaseAll(frameSprite, digitSprites); }

void CGuiCounter::SetValue(int v) {
    if (v > kMaxValue) v = kMaxValue;
    if (v < 0) v = 0;
    target = v;
}

int CGuiCounter::GetWindowTop(int i) const {
    if (i < 0 || i >= digits) return -1;
    return windowTop[i];
}

void CGuiCounter::Update() {
    const int t = target * kCellHeight;
    if (shown == t) return;
    int step = (t - shown) / kCellHeight;
    if (step == 0) step = (t > shown) ? 1 : -1;
    shown += step;

    long long power = 1;
    int below = 0;  // the window value (mod 200) of the digit below
    for (int pos = 0; pos < digits; ++pos, power *= 10) {
        const int q = static_cast<int>(shown / power);
        int p;
        if (pos == 0 || below >= 181)
            p = (shown % kCellHeight) + (q / kCellHeight) * kCellHeight;
        else
            p = (q / kCellHeight) * kCellHeight;
        int top;
        if (pos == 0 && shown < kCellHeight)
            top = (p - 20) % 200 + 220;
        else
            top = p - ((p - 20) / 200) * 200;
        below = p % 200;
        const int sprite = digits - 1 - pos;
        windowTop[sprite] = top;
        if (digitSprites[sprite]) {
            digitSprites[sprite]->SetClipY(top);
            digitSprites[sprite]->ForceRedraw();
        }
    }
}

void CGuiCounter::Hide() {
    if (frameSprite) frameSprite->Hide();
    for (int i = 0; i < digits; ++i) digitSprites[i]->Hide();
}

void CGuiCounter::Show() {
    if (frameSprite) frameSprite->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    for (int i = 0; i < digits; ++i) digitSprites[i]->Show(kSpriteNotDrawn, kSpriteNotDrawn);
}
