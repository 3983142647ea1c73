// The game's own mouse pointer: an arrow that follows the mouse and an
// hourglass that stands in for it while a screen builds or tears down its
// sprites. Both are sprites on the topmost layer; the system pointer stays
// hidden while the display is open.
#pragma once

class CSprite;

class CMouse {
public:
    // Creates the arrow and the hourglass, both hidden; nothing is pending.
    CMouse();
    // Deletes both sprites.
    ~CMouse();
    CMouse(const CMouse&) = delete;
    CMouse& operator=(const CMouse&) = delete;

    // The two sprites (null while no CMouse exists).
    static CSprite* GetArrow();
    static CSprite* GetHourglass();
    // Frames still to pass before the arrow may show again;
    // kHideUntilNextUpdate when none.
    static int GetHideCount();
};

// Once per frame, before rendering: moves both sprites to the mouse.
void PlaceMousePointer();
// Hides both at once and keeps the arrow hidden for at least frames more
// updates (a smaller count never shortens a pending one).
void HideMousePointer(int frames);
// HideMousePointer's count that holds nothing: hidden now, the arrow shows
// again at the next update (unless a count already pending holds it).
constexpr int kHideUntilNextUpdate = -1;
// Once per frame from the current screen's pump.
void UpdateMousePointer();
// Shows the hourglass in place of a visible arrow; drawNow puts it on the
// display at once.
void ShowHourglass(bool drawNow);
// Moves the mouse to (x, y), kept within 0..800 and 0..600.
void WarpMouse(int x, int y);
bool IsMousePointerHidden();
// Takes the two sprites off the live list and puts them back (the screen
// swap keeps them live across it).
void DetachMousePointer();
void AttachMousePointer();
