// The arrow keys of the editor and its palette move once when pressed, wait
// three frames, then move every frame while held.
#pragma once

class CArrowRepeat {
public:
    // Once a frame: true when an arrow held now should move this frame.
    bool Step(bool anyHeld) {
        if (!anyHeld) {
            count = 0;
            return false;
        }
        ++count;
        return count == 1 || count >= 5;
    }
    int Count() const { return count; }

private:
    int count = 0;
};
