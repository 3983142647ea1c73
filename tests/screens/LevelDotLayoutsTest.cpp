// Where the level map puts each set's dots, and the track the map's pictures
// paint under them: every dot of every set must stand on the painted track,
// as the player sees it (the background with the volcano laid over it).
#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "engine/CDraw.h"
#include "screens/LevelDotLayouts.h"
#include "tests/screens/ScreenTest.h"
#include "world/CLevelSet.h"

namespace {

const int kCounts[3] = {111, 50, 81};

double DistanceToSegment(double px, double py, const DotPosition& a, const DotPosition& b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0;
    t = std::max(0.0, std::min(1.0, t));
    return std::hypot(a.x + t * dx - px, a.y + t * dy - py);
}

double DistanceToTrack(const DotPosition& p) {
    const std::vector<DotPosition> track = GetMapTrack();
    double best = 1e9;
    for (size_t i = 0; i + 1 < track.size(); ++i) best = std::min(best, DistanceToSegment(p.x, p.y, track[i], track[i + 1]));
    return best;
}

TEST(LevelDotLayouts, EverySetWindsFromTheLowerLeftToTheVolcanoAlongTheOneTrack) {
    for (int set = 0; set < 3; ++set) {
        SCOPED_TRACE(set);
        ASSERT_EQ(GetLevelDotCount(set), kCounts[set]);
        const DotPosition first = GetLevelDotPosition(set, 0);
        EXPECT_TRUE(first.x >= 26 && first.x <= 41 && first.y >= 378 && first.y <= 384);
        const DotPosition last = GetLevelDotPosition(set, kCounts[set] - 1);
        EXPECT_EQ(last.x, 305);
        EXPECT_EQ(last.y, 199);
        std::set<std::pair<int, int>> seen;
        for (int n = 0; n < kCounts[set]; ++n) {
            SCOPED_TRACE(n);
            const DotPosition p = GetLevelDotPosition(set, n);
            EXPECT_TRUE(p.x >= 26 && p.x <= 592 && p.y >= 199 && p.y <= 530);
            EXPECT_LE(DistanceToTrack({p.x + kDotMiddle, p.y + kDotMiddle}), 1.0);
            const bool sharesWithNext = n + 1 < kCounts[set] && GetLevelDotPosition(set, n + 1).x == p.x &&
                                        GetLevelDotPosition(set, n + 1).y == p.y;
            // A tutorial level's star stands over the next level's dot; no
            // other two levels share a spot, nor crowd each other.
            EXPECT_EQ(sharesWithNext, IsTutorialLevel(set, n));
            if (!IsTutorialLevel(set, n)) {
                EXPECT_TRUE(seen.insert({p.x, p.y}).second);
            }
            if (n > 0 && !IsTutorialLevel(set, n - 1)) {
                const DotPosition q = GetLevelDotPosition(set, n - 1);
                EXPECT_GE(std::hypot(p.x - q.x, p.y - q.y), 17.0);
            }
        }
    }
    // The kids walk the regular set's last 18 stops.
    for (int k = 1; k <= 18; ++k) {
        EXPECT_EQ(GetLevelDotPosition(2, 81 - k).x, GetLevelDotPosition(0, 111 - k).x);
        EXPECT_EQ(GetLevelDotPosition(2, 81 - k).y, GetLevelDotPosition(0, 111 - k).y);
    }
    EXPECT_EQ(GetLevelDotCount(3), 0);
    EXPECT_EQ(GetLevelDotPosition(1, 50).x, 0);
}

class PaintedTrackTest : public ScreenTest {};

// The track is a cream band with a dashed brown line; the island around it
// is green grass or yellow sand, the volcano brown rock.
bool IsTrackColour(Uint8 r, Uint8 g, Uint8 b) {
    const bool cream = r > 185 && g > 180 && b > 130;
    const bool dash = r > 105 && r < 175 && g > 60 && g < 125 && b < 80 && r > g + 25;
    return cream || dash;
}

TEST_F(PaintedTrackTest, TheMapPicturesShowTheTrackUnderEveryDotOfEverySet) {
    // The player's view: the volcano of the main menu over the background.
    const int backgroundId = CDraw::GetImage("map_background.jpg");
    const int volcanoId = CDraw::GetImage("mainmenu_volcanofront.png");
    SDL_Surface* background = CDraw::GetSurface(backgroundId);
    SDL_Surface* volcano = CDraw::GetSurface(volcanoId);
    ASSERT_NE(background, nullptr);
    ASSERT_NE(volcano, nullptr);
    SDL_Surface* view = SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0x00ff0000, 0x0000ff00, 0x000000ff, 0);
    SDL_BlitSurface(background, nullptr, view, nullptr);
    SDL_Rect at = {static_cast<Sint16>(kMapVolcanoX), static_cast<Sint16>(kMapVolcanoY), 0, 0};
    SDL_BlitSurface(volcano, nullptr, view, &at);
    // Somewhere within two pixels of each dot's middle (dots are 18 wide).
    const auto onTrack = [view](int cx, int cy) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                Uint8 r, g, b;
                SDL_GetRGB(CDraw::GetPixel(view, cx + dx, cy + dy), view->format, &r, &g, &b);
                if (IsTrackColour(r, g, b)) return true;
            }
        return false;
    };
    int misses = 0;
    for (int set = 0; set < 3; ++set) {
        for (int n = 0; n < GetLevelDotCount(set); ++n) {
            const DotPosition p = GetLevelDotPosition(set, n);
            if (!onTrack(p.x + kDotMiddle, p.y + kDotMiddle)) {
                ADD_FAILURE() << "set " << set << " level " << n << " at " << p.x << "," << p.y;
                ++misses;
            }
        }
    }
    EXPECT_EQ(misses, 0);
    // And the track is not everywhere: the grass beside it is not track.
    int offTrack = 0;
    for (int n = 0; n < GetLevelDotCount(0); ++n) {
        const DotPosition p = GetLevelDotPosition(0, n);
        Uint8 r, g, b;
        SDL_GetRGB(CDraw::GetPixel(view, p.x + kDotMiddle, p.y + kDotMiddle - 30), view->format, &r, &g, &b);
        if (!IsTrackColour(r, g, b)) ++offTrack;
    }
    EXPECT_GT(offTrack, GetLevelDotCount(0) / 2);
    SDL_FreeSurface(view);
    CDraw::ReleaseImage(volcanoId);
    CDraw::ReleaseImage(backgroundId);
}

}  // namespace
