// Teleports: two-cell portals in coloured pairs (0 blue, 1 yellow, 2 red).
// Every horizontal move and every side lookup of the world goes through
// them.
//
// Not built yet: there are no portals, so no lookup is redirected.
#pragma once

class CElement;

class CElementDeviceTeleport {
public:
    // The other portal of a usable pair entered from (x, y) on that side, or
    // null.
    static CElement* GetPartner(int x, int y, bool leftSide);
    static bool CheckTeleport(int x, int y, bool leftSide, bool playSound, bool activate);
    static bool CanPlaceAt(int x, int y, bool facingLeft);
    static bool IsTeleportBelow(int x, int y, bool leftSide);
    static void ResetStatics();
    static void SaveStatics(int k);
    static void RestoreStatics(int k);
};
