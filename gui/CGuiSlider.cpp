#include "gui/CGuiSlider.h"

#include "engine/CSprite.h"
#include "gui/CGuiButton.h"
#include "gui/GuiSprites.h"

CGuiSlider::CGuiSlider(int x_, int y_) : x(x_), y(y_), disabled(0), value(kMaxValue) {
    shadow = MakeGuiSprite("slider_shadow.png", LAYER_CL_SHADOW, "GUI Slider Shadow", x, y, true);
    frame = MakeGuiSprite("slider_frame.png", LAYER_CL_ROLL, "GUI Slider Frame", x, y, true);
    bar = MakeGuiSprite("slider_value.png", LAYER_CL_BUTTON, "GUI Slider Base", x, y, true);
    greyOut = MakeGuiSprite("slider_greyout.png", LAYER_CL_TEXT, "GUI Slider Gray", x + kGreyOutDx, y, false);
}

CGuiSlider::~CGuiSlider() { ReleaseAll(shadow, frame, bar, greyOut); }

void CGuiSlider::Decrease() {
    if (disabled) return;
    if (value > 0) --value;
    UpdateBar();
}

void CGuiSlider::Increase() {
    if (disabled) return;
    if (value < kMaxValue) ++value;
    UpdateBar();
}

void CGuiSlider::SetValue(int v) {
    value = v;
    UpdateBar();
}

void CGuiSlider::SetDisabled(bool on) {
    disabled = on ? 1 : 0;
    if (disabled)
        greyOut->Show(kSpriteNotDrawn, kSpriteNotDrawn);
    else
        greyOut->Hide();
}

void CGuiSlider::UpdateBar() {
    if (value >= kMaxValue)
        bar->ResetClipWidth();
    else
        bar->SetClipWidth(value <= 0 ? 0 : 2 + 10 * value);
}
