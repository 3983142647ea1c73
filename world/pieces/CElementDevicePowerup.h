// Collectable power-ups: a class-wide grid holds them by cell.
//
// Not built yet: no cell holds a power-up.
#pragma once

class CElementDevicePowerup {
public:
    static bool IsPowerupAt(int x, int y);
    // The power-up kind at (x, y); 0 (none) where there is none.
    static int GetPowerupKindAt(int x, int y);
    static void Collect(int x, int y);
    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
};
