// Ladders and ladder platforms. The hero and the bots climb ladders; a
// platform is a ledge on a ladder cell that climbers can stand on. Ladders
// never stand in the element grid: they live on a layer of their own, a
// class-wide grid of segment kinds that movement, falling and the actors ask.
// The ladder grid is written only by the constructors and emptied only by the
// world reset; undo keeps nothing of the ladders, which never change in play.
#pragma once

#include <cstdint>

#include "world/CElement.h"

class CLevel;
class CSprite;

class CElementLadder : public CElement {
public:
    enum Segment { SEGMENT_ISOLATED = 1, SEGMENT_TOP = 2, SEGMENT_MIDDLE = 3, SEGMENT_BOTTOM = 4, SEGMENT_HANGING = 5 };

    // segment: one of Segment (any other value is drawn as a middle piece);
    // platformImage: the picture of the cell's platform (PlatformImage), or
    // nullptr when the cell carries none.
    CElementLadder(int x, int y, int segment, const char* platformImage);
    ~CElementLadder() override;

    void SaveState(int k) override;
    void RestoreState(int k) override;
    int GetSurfaceFriction() override;

    // False outside the grid.
    static bool IsLadderAt(int x, int y);
    static bool IsLadderPlatformAt(int x, int y);
    static void ResetStatics();
    static void DescribeStatics(CWorldDigest* digest);
    // The picture of a platform with a ledge on the left, the right or both
    // sides of its cell: its plank reaches the ledges and stops at the
    // ladder's outer rail on a side without one, never hanging in the air.
    static const char* PlatformImage(bool ledgeLeft, bool ledgeRight);
    // The picture of the platform at (x, y) of a level, by the terrain beside.
    static const char* PlatformImageAt(const CLevel& level, int x, int y);

    CSprite* GetPlatformSprite() const { return spritePlatform; }

private:
    CSprite* spritePlatform = nullptr;

    // 0 no ladder, else the ladder kind of the cell's segment (6 platform).
    static int32_t ladderGrid[kGridCells];
};
