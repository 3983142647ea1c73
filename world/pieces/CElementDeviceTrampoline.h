// Trampolines: a class-wide grid marks their cells.
//
// Not built yet: no cell holds a trampoline.
#pragma once

class CElementDeviceTrampoline {
public:
    // False outside the grid.
    static bool IsTrampolineAt(int x, int y);
    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
};
