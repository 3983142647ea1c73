// The base of every clickable widget: one program-wide registry of the live
// widgets in construction order, the one keyboard-focus index they share and
// the state of the left mouse button. Widgets report activation to the screen
// that owns them through CController::GUICallback(id, value, dclick).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CController;

class CGuiButtonBase {
public:
    CGuiButtonBase(int x, int y, int id, CController* owner, bool isDefault);
    virtual ~CGuiButtonBase();

    // Per-frame look and focus capture.
    virtual void Update() = 0;
    // The activation test and report; true when the widget accepted.
    virtual bool Activate(bool byKey, bool force);
    virtual void Hide() = 0;
    virtual void Show() = 0;
    virtual bool IsMouseOver();
    virtual void WarpMouseTo();
    // Whether the pointer gives this widget the focus now: visible and under
    // the pointer. A widget that hovers without taking the focus says no.
    virtual bool TakesPointerFocus();
    // on: the widget is the one Return presses while none holds the focus,
    // and looks as it does focused; off: it looks as it does unfocused.
    virtual void ShowAsDefault(bool on) { (void)on; }

    int GetIndex() const { return index; }
    bool IsHidden() const { return hidden != 0; }
    int GetX() const { return x; }
    int GetY() const { return y; }
    int GetId() const { return id; }
    bool IsDefault() const { return isDefault != 0; }
    // For a screen whose default changes with what it shows (the last page
    // of a book has no next page to turn to).
    void SetDefault(bool on) { isDefault = on ? 1 : 0; }
    bool ActivatesOnRelease() const { return activateOnRelease != 0; }
    void SetNoKeyFocus(bool on) { noKeyFocus = on ? 1 : 0; }
    CController* GetOwner() const { return owner; }

    static int GetFocusIndex() { return focusIndex; }
    static bool IsLeftHeld() { return leftHeld != 0; }
    static CGuiButtonBase* GetFocusedButton();
    static size_t GetRegistrySize() { return registry.size(); }
    // What Return and Space press while no widget holds the focus: the
    // first visible default widget; null for none.
    static CGuiButtonBase* GetDefaultButton();
    // Clears the focus, then updates every widget in registry order; with
    // none focused then, the default widget looks focused.
    static void UpdateAll();
    // Gives the focus to the first widget under the pointer as it is now, or
    // to none: a click acts where it lands, not on what the last frame's
    // update saw under a pointer that has moved since.
    static void FocusUnderPointer();
    // Offers activation to the widgets that act on the current button state;
    // by key, falls back to the first visible default widget. True when a
    // widget acted.
    static bool ActivateFocused(bool byKey);
    // Follows the physical left button; activates only on a real change,
    // on the widget under the pointer at that moment.
    static void OnLeftButton(bool released, bool activate);
    // Moves the focus one widget on, skipping hidden ones and those that
    // refuse key focus, wrapping at both ends.
    static void MoveFocus(bool backwards);
    // Gives b the focus as a focus move does, its pointer warp included.
    static void GiveKeyFocus(CGuiButtonBase* b);
    // Empties focus and button state (tests; the registry follows the widgets).
    static void ResetState();

protected:
    // Takes the focus when the pointer gives it to this widget
    // (TakesPointerFocus) and no earlier widget took it in this frame; true
    // when it did. Every widget's hover goes by this one rule, the per-frame
    // update and a click's FocusUnderPointer alike.
    bool CaptureFocus();

    int index;
    CController* owner;
    uint8_t activateOnRelease;
    uint8_t hidden;
    uint8_t noKeyFocus;
    uint8_t isDefault;
    int x, y;
    int id;

    static std::vector<CGuiButtonBase*> registry;
    static int focusIndex;
    static uint8_t leftHeld;
};
