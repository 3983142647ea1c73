#include "screens/LevelDotLayouts.h"

#include <algorithm>

namespace {

// Every tutorial level of the regular set shares the spot of the level after
// it: its dot is drawn as a star above that level's dot.
const DotPosition kRegular[] = {
    {26, 378},  {46, 385},  {46, 385},  {64, 386},  {64, 386},  {83, 385},  {83, 385},  {101, 377}, {101, 377},
    {118, 371}, {118, 371}, {136, 367}, {136, 367}, {155, 366}, {170, 378}, {170, 378}, {180, 395}, {180, 395},
    {190, 410}, {190, 410}, {203, 422}, {203, 422}, {219, 430}, {219, 430}, {236, 425}, {236, 425}, {246, 411},
    {258, 396}, {274, 390}, {274, 390}, {292, 392}, {292, 392}, {305, 404}, {305, 404}, {314, 420}, {321, 436},
    {321, 436}, {316, 453}, {306, 467}, {306, 467}, {299, 483}, {303, 500}, {315, 515}, {315, 515}, {333, 524},
    {351, 530}, {351, 530}, {370, 530}, {389, 527}, {389, 527}, {401, 514}, {406, 497}, {406, 497}, {398, 479},
    {387, 466}, {381, 449}, {381, 449}, {390, 429}, {404, 415}, {424, 407}, {448, 404}, {471, 405}, {493, 407},
    {513, 412}, {534, 414}, {554, 409}, {570, 398}, {582, 383}, {582, 383}, {591, 365}, {592, 345}, {588, 326},
    {576, 311}, {560, 300}, {542, 292}, {524, 287}, {524, 287}, {505, 285}, {486, 285}, {467, 289}, {449, 293},
    {430, 297}, {430, 297}, {411, 302}, {391, 307}, {374, 312}, {355, 315}, {335, 319}, {316, 322}, {295, 322},
    {275, 321}, {275, 321}, {254, 318}, {233, 310}, {225, 295}, {243, 286}, {265, 286}, {284, 284}, {305, 277},
    {317, 259}, {334, 245}, {355, 239}, {376, 239}, {397, 236}, {418, 229}, {405, 218}, {385, 214}, {364, 211},
    {343, 207}, {323, 204}, {305, 199}};

// The same track with fewer, wider-spaced stops: evenly along it, with one
// stop on the sharp bend at (418, 229) so that no two dots crowd each other.
const DotPosition kAdvanced[] = {
    {26, 378},  {59, 386},  {92, 381},  {123, 370}, {156, 367}, {178, 392}, {199, 419}, {229, 427}, {252, 403},
    {281, 391}, {308, 409}, {320, 439}, {305, 469}, {304, 501}, {329, 522}, {362, 530}, {393, 522}, {404, 493},
    {386, 464}, {388, 433}, {413, 411}, {446, 404}, {479, 406}, {513, 412}, {546, 411}, {574, 393}, {591, 364},
    {589, 331}, {568, 305}, {538, 291}, {504, 285}, {471, 288}, {438, 295}, {405, 303}, {372, 312}, {339, 318},
    {306, 322}, {272, 321}, {239, 312}, {234, 290}, {267, 286}, {300, 279}, {322, 255}, {352, 240}, {385, 238},
    {418, 229}, {393, 216}, {363, 211}, {334, 206}, {305, 199}};

// Evenly along the track up to the regular set's level 93; from there the
// kids walk the regular set's last 18 stops.
const DotPosition kKids[] = {
    {26, 378},  {45, 385},  {66, 386},  {86, 384},  {105, 376}, {124, 370}, {145, 367}, {163, 372}, {176, 388},
    {187, 405}, {201, 420}, {219, 430}, {237, 423}, {250, 406}, {265, 394}, {284, 391}, {301, 401}, {313, 418},
    {321, 436}, {314, 456}, {303, 473}, {301, 492}, {311, 510}, {327, 521}, {347, 529}, {367, 530}, {387, 527},
    {401, 513}, {404, 494}, {395, 475}, {384, 458}, {385, 439}, {396, 423}, {413, 411}, {433, 406}, {453, 404},
    {474, 405}, {494, 407}, {514, 412}, {534, 414}, {554, 409}, {571, 397}, {583, 381}, {591, 362}, {591, 341},
    {585, 322}, {571, 308}, {554, 297}, {534, 290}, {514, 286}, {494, 285}, {474, 288}, {454, 292}, {434, 296},
    {414, 301}, {394, 306}, {374, 312}, {354, 315}, {334, 319}, {313, 322}, {293, 322}, {272, 321}, {252, 317},
    {233, 310}, {225, 295}, {243, 286}, {265, 286}, {284, 284}, {305, 277}, {317, 259}, {334, 245}, {355, 239},
    {376, 239}, {397, 236}, {418, 229}, {405, 218}, {385, 214}, {364, 211}, {343, 207}, {323, 204}, {305, 199}};

// The middle of a tutorial star, from its dot's position: upright, 24
// pixels above the dot's middle, unless the star's level is listed below.
constexpr DotPosition kStarUpright = {kDotMiddle, kDotMiddle - 24};

struct StarPlace {
    int level;
    DotPosition centre;  // from the dot's position
};

// The regular set's stars that lean off the track or stand higher: where the
// track runs steeply up or down, an upright star would cover the dot before
// or after its own; in the valley around (220, 430), with a star on every
// other dot, they stand at staggered heights.
const StarPlace kRegularStars[] = {
    {16, {14, -21}}, {18, {14, -18}}, {20, {11, -15}}, {22, {11, -15}}, {24, {6, -24}},
    {32, {13, -15}}, {35, {21, -12}}, {38, {1, -14}},  {42, {17, -14}}, {48, {5, -15}},
    {51, {21, -12}}, {55, {-3, -12}}, {67, {-3, -12}}, {90, {24, -9}},
};

struct Layout {
    const DotPosition* dots;
    int count;
};

template <int N>
constexpr Layout Of(const DotPosition (&dots)[N]) {
    return {dots, N};
}

const Layout kLayouts[] = {Of(kRegular), Of(kAdvanced), Of(kKids)};

static_assert(sizeof(kRegular) / sizeof(kRegular[0]) == 111, "one regular dot per level");
static_assert(sizeof(kAdvanced) / sizeof(kAdvanced[0]) == 50, "one advanced dot per level");
static_assert(sizeof(kKids) / sizeof(kKids[0]) == 81, "one kids dot per level");

}  // namespace

int GetLevelDotCount(int set) { return set >= 0 && set < 3 ? kLayouts[set].count : 0; }

DotPosition GetLevelDotPosition(int set, int level) {
    if (level < 0 || level >= GetLevelDotCount(set)) return {0, 0};
    return kLayouts[set].dots[level];
}

std::vector<DotPosition> GetMapTrack() {
    std::vector<DotPosition> track;
    for (const DotPosition& p : kRegular) {
        const DotPosition middle = {p.x + kDotMiddle, p.y + kDotMiddle};
        if (track.empty() || track.back().x != middle.x || track.back().y != middle.y) track.push_back(middle);
    }
    return track;
}

DotPosition GetStarCentre(int set, int level) {
    const DotPosition p = GetLevelDotPosition(set, level);
    DotPosition offset = kStarUpright;
    if (set == 0)
        for (const StarPlace& s : kRegularStars)
            if (s.level == level) offset = s.centre;
    return {p.x + offset.x, p.y + offset.y};
}

DotBox GetStarPostBox(int set, int level) {
    const DotPosition p = GetLevelDotPosition(set, level);
    const DotPosition c = GetStarCentre(set, level);
    const int mx = p.x + kDotMiddle, my = p.y + kDotMiddle;
    const int room = 3;
    const int left = std::min(mx, c.x) - room, top = std::min(my, c.y) - room;
    return {left, top, std::max(mx, c.x) + room + 1 - left, std::max(my, c.y) + room + 1 - top};
}
