// A widget with no pictures whose pointer hover is set by the test, and which
// counts the times focus asked it to bring the pointer over it: for watching
// focus moves and activation in the widget registry.
#pragma once

#include "gui/CGuiButtonBase.h"

class FakeWidget : public CGuiButtonBase {
public:
    // onRelease: activated when the left button comes up, else when it goes
    // down.
    FakeWidget(int widgetId, CController* owner, bool isDefault = false, bool onRelease = true)
        : CGuiButtonBase(0, 0, widgetId, owner, isDefault) {
        activateOnRelease = onRelease ? 1 : 0;
    }
    void Update() override { CaptureFocus(); }
    void Hide() override { hidden = 1; }
    void Show() override { hidden = 0; }
    bool IsMouseOver() override { return !hidden && over; }
    void WarpMouseTo() override { ++warps; }
    bool over = false;
    int warps = 0;
};
