// Where each level's dot stands on the level map, per level set. The
// positions belong to the map's background picture, drawn at (0, 0), and are
// in screen pixels. The resource builder paints the map's track from the same
// tables, so the painted track and the dots can never drift apart.
#pragma once

#include <vector>

// The map shows the main menu's volcano standing over its track here; the
// track is painted on up its slope.
constexpr int kMapVolcanoX = 267;
constexpr int kMapVolcanoY = 110;

struct DotPosition {
    int x;
    int y;
};

// The number of dots of a set (its level count: 111, 50, 81); 0 for a set
// number outside 0..2.
int GetLevelDotCount(int set);
// The position of level n's dot; (0, 0) for a level outside the set.
DotPosition GetLevelDotPosition(int set, int level);
// A dot's picture is 18 pixels square with its top left corner at the
// position: its middle lies this far right of and below the position.
constexpr int kDotMiddle = 9;
// The track painted on the map, through the middles of the regular set's
// dots without the repeats (a tutorial level's star stands on the next
// level's spot), from the lower left up to the volcano. The dots of every
// set lie on it.
std::vector<DotPosition> GetMapTrack();

// A tutorial level's star stands on a post that rises from the middle of the
// dot it shares (the post is drawn under the dots). Upright above the dot
// where there is room; where the track is crowded or turns, the star leans
// off it or stands higher, clear of every other dot, star and post. The
// middle of the star, in screen pixels.
DotPosition GetStarCentre(int set, int level);
// The picture of that post: a box around the line from the dot's middle to
// the star's middle, with room for the line's width and its ends.
struct DotBox {
    int x;
    int y;
    int w;
    int h;
};
DotBox GetStarPostBox(int set, int level);
