// Ladders and ladder platforms. Ladders live on a layer of their own, a
// class-wide grid that movement, falling and the actors ask; they never stand
// in the element grid.
//
// Not built yet: the ladder grid is always empty, so every query answers
// "no ladder here".
#pragma once

class CElementLadder {
public:
    // False outside the grid.
    static bool IsLadderAt(int x, int y);
    static bool IsLadderPlatformAt(int x, int y);
    static void ResetStatics();
};
