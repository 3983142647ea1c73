// Story pages: the opening, ten chapter pages and the ending.
#include <cmath>
#include <string>
#include <vector>

#include "images/CCaptions.h"
#include "images/DrawKit.h"
#include "images/InterfaceFamilies.h"
#include "images/InterfaceKit.h"
#include "images/ProfessorBust.h"
#include "images/SceneArt.h"
#include "images/world/BotFigure.h"
#include "images/world/PowerupIcons.h"

using namespace DrawKit;
using namespace InterfaceKit;

namespace {

// The Pyrowhorl: a fiery whirlwind.
void Pyrowhorl(cairo_t* cr, double cx, double cy, double size) {
    RadialGlow(cr, cx, cy, size, Hex(0xff6a1a, 0.5));
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 7; ++i) {
        const double t = i / 7.0;
        const double y = cy - size * 0.8 + t * size * 1.6;
        const double rx = size * (0.75 - 0.55 * t);
        cairo_new_path(cr);
        EllipsePath(cr, cx + std::sin(t * 5) * size * 0.1, y, rx, rx * 0.25);
        SetColor(cr, Mix(Hex(0xffd36b), Hex(0xd8342c), t));
        cairo_set_line_width(cr, 3 + 2 * (1 - t));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// Every panel draws the professor in the one proportion of
// ProfessorBust::Bust, his coat going on below the panel's bottom edge.
using BustSpot = ProfessorBust::Spot;
using ProfessorBust::Bust;

// The bust at `at` of a w x h panel's width, as large as the panel's narrower
// side allows (or `largest`, where a caption covers the panel above him).
BustSpot BustIn(int w, int h, double at, double largest = 1e9) {
    return ProfessorBust::Standing(w * at, h, std::min({w * 0.2, h * 0.16, largest}));
}

// Bottles `height` tall standing on a shelf at row y between x0 and x1, as
// many as there is room for.
void Bottles(cairo_t* cr, double x0, double x1, double y, double height, int first) {
    const int n = static_cast<int>((x1 - x0) / (height * 1.5));
    for (int i = 0; i < n; ++i)
        OutlinedEllipse(cr, x0 + (x1 - x0) * (i + 0.5) / n, y - height * 0.5, height * 0.28, height * 0.5,
                        (first + i) % 2 ? Hex(0x7ac0a0, 0.85) : Hex(0xd08ad0, 0.85), 1.5);
}

// The laboratory behind the professor: a shelf behind his chest with bottles
// on either side of him, none behind him, and where the wall above his head
// has room, a second shelf.
void Lab(cairo_t* cr, int w, int h, const BustSpot& b, bool upperShelf) {
    VerticalGradient(cr, 0, 0, w, h, Hex(0x9a8a70), Hex(0x5a4a38));
    const double shelf = b.neck + 0.9 * b.r, plank = std::max(5.0, b.r * 0.3), bottle = b.r * 0.6;
    const double clear = 1.4 * b.r;  // his hair and his shoulders reach 1.25 r from his middle
    OutlinedRoundedRect(cr, 6, shelf, w - 12, plank, 3, kWood, 1.5);
    Bottles(cr, 8, b.cx - clear, shelf, bottle, 0);
    Bottles(cr, b.cx + clear, w - 8, shelf, bottle, 1);
    const double headTop = b.neck - 2.2 * b.r;
    if (upperShelf && headTop > bottle * 2.5) {
        const double high = headTop * 0.6;
        OutlinedRoundedRect(cr, 6, high, w - 12, plank, 3, kWood, 1.5);
        Bottles(cr, 10, w - 10, high, bottle, 1);
    }
}

// What `draw` paints, painted and then darkened by `dusk` (0 as in daylight,
// 1 black), as night shows the figures in it.
template <typename Draw>
void InDusk(cairo_t* cr, double dusk, Draw draw) {
    cairo_save(cr);
    cairo_push_group(cr);
    draw();
    cairo_pattern_t* drawn = cairo_pop_group(cr);
    cairo_set_source(cr, drawn);
    cairo_paint(cr);
    SetColor(cr, Hex(0x101830, dusk));
    cairo_mask(cr, drawn);
    cairo_pattern_destroy(drawn);
    cairo_restore(cr);
}

// Night falls over what is drawn so far: every colour darkened towards a
// deep blue, as moonless light shows it; indoors, a little less.
void Night(cairo_t* cr, int w, int h, const Color& dusk = Hex(0x3c4a7a)) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_MULTIPLY);
    cairo_rectangle(cr, 0, 0, w, h);
    SetColor(cr, dusk);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Light added to what is drawn: a lamp's, or the lightning's.
void Light(cairo_t* cr, double cx, double cy, double radius, const Color& color) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    RadialGlow(cr, cx, cy, radius, color);
    cairo_restore(cr);
}

// A fork of lightning from (x, y) down to the row `bottom`, with its glow.
void Lightning(cairo_t* cr, double x, double y, double bottom, uint32_t seed) {
    std::vector<double> xy = {x, y};
    const double step = (bottom - y) / 6;
    for (int i = 1; i <= 6; ++i) xy.insert(xy.end(), {x + RandomRange(seed, -step * 0.6, step * 0.6), y + i * step});
    RadialGlow(cr, x, y + step, (bottom - y) * 0.7, Hex(0xc8d8ff, 0.35));
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int pass = 0; pass < 2; ++pass) {
        cairo_new_path(cr);
        cairo_move_to(cr, xy[0], xy[1]);
        for (size_t i = 2; i + 1 < xy.size(); i += 2) cairo_line_to(cr, xy[i], xy[i + 1]);
        SetColor(cr, pass ? Hex(0xffffff) : Hex(0x9ab8ff, 0.6));
        cairo_set_line_width(cr, pass ? 1.6 : 5);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// The storm over a night scene: heavy clouds along the top, lit from below
// where the lightning strikes (from the clouds down to the row boltEnd), and
// slanting rain over everything.
void Storm(cairo_t* cr, int w, int h, uint32_t seed, double boltX, double boltEnd) {
    for (int i = 0; i < 7; ++i) {
        const double cx = RandomRange(seed, -w * 0.1, w * 1.1), cy = RandomRange(seed, 0, h * 0.16);
        const double rx = RandomRange(seed, w * 0.14, w * 0.26), ry = RandomRange(seed, h * 0.08, h * 0.13);
        SoftOval(cr, cx, cy, rx, ry, Hex(0x1a2030, 0.85));
        SoftOval(cr, cx, cy + ry * 0.4, rx * 0.8, ry * 0.5, Hex(0x3a4660, 0.5));
    }
    Lightning(cr, boltX, h * 0.1, boltEnd, seed);
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const int drops = w * h / 260;
    for (int i = 0; i < drops; ++i) {
        const double x = RandomRange(seed, -20, w + 20), y = RandomRange(seed, -10, h), l = RandomRange(seed, 7, 13);
        Line(cr, x, y, x - l * 0.3, y + l, Hex(0xb0c4e8, 0.3), 1);
    }
    cairo_restore(cr);
}

// The night sky seen through the laboratory's window: the frame, a stormy
// sky, the lightning and the rain running down the panes.
void StormWindow(cairo_t* cr, double x, double y, double w, double h, uint32_t seed) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    VerticalGradient(cr, x, y, w, h, Hex(0x0e1428), Hex(0x1e2a48));
    cairo_translate(cr, x, y);
    Storm(cr, static_cast<int>(w), static_cast<int>(h), seed, w * 0.62, h * 0.5);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_rectangle(cr, x + w / 2 - 2, y, 4, h);
    cairo_rectangle(cr, x, y + h / 2 - 2, w, 4);
    SetColor(cr, Darken(kWood, 0.45));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_restore(cr);
    OutlinedRoundedRect(cr, x + w / 2 - 2, y, 4, h, 1, Darken(kWood, 0.3), 1);
    OutlinedRoundedRect(cr, x, y + h / 2 - 2, w, 4, 1, Darken(kWood, 0.3), 1);
    OutlinedRoundedRect(cr, x - 4, y + h, w + 8, 6, 2, kWood, 1.5);
}

// The island on the stormy night, the lava aglow, lightning striking at
// column boltX down to the row boltEnd.
void NightIsland(cairo_t* cr, int w, int h, uint32_t seed, double boltX, double boltEnd) {
    SceneArt::IslandScene(cr, w, h, seed, 0.7);
    Night(cr, w, h);
    Light(cr, w * 0.62, h * 0.22, std::min(w, h) * 0.3, Hex(0xa04010, 0.8));
    Storm(cr, w, h, seed, boltX, boltEnd);
}

// An oil lamp standing on the shelf at (x, shelf), `height` tall, alight.
void OilLamp(cairo_t* cr, double x, double shelf, double height) {
    const double r = height * 0.28;
    Light(cr, x, shelf - height * 0.6, height * 1.2, Hex(0x805010, 0.7));
    OutlinedEllipse(cr, x, shelf - r * 0.6, r, r * 0.6, kBrass, 1.5);
    OutlinedEllipse(cr, x, shelf - height * 0.55, r * 0.2, r * 0.5, Hex(0xffd36b), 0);
    OutlinedEllipse(cr, x, shelf - height * 0.58, r * 0.6, height * 0.4, Hex(0xfff4d0, 0.3), 1.2);
}

// The row of the middle of a gadget drawn `scale` times its size in play
// that lies on the island's ground at column x: sunk a little into the
// grass, resting on it, never hanging below it over the water.
double OnTheGround(int w, int h, double x, double scale) {
    return SceneArt::IslandGroundY(w, h, x) - 24 * scale * 0.35;
}

// The professor's inventions, as the board shows them: crates, barrels, a
// magnet and the gadgets the power-ups hold.
const char* const kGadgets[] = {"cratestill0.tga",    "powerupfrostgun0.tga", "metalcratestill0.tga",
                                "barrel0.tga",        "magnetrightstill0.tga", "powerupheatgun0.png",
                                "metalbarrel0.png",   "powerupwhistle0.tga",  "cratestill0.tga",
                                "powerupemp0.tga"};
constexpr int kGadgetCount = sizeof(kGadgets) / sizeof(kGadgets[0]);

// Gadget i centred on (cx, cy) at `scale` times its size in play, turned by
// `angle`, and darkened by `dusk` (0 as in daylight, 1 black) at night.
void Gadget(cairo_t* cr, const CArtRegistry* reg, int i, double cx, double cy, double scale, double angle,
            double dusk = 0) {
    const std::string name = kGadgets[i % kGadgetCount];
    const CArtRegistry::Art* art = reg->Find(name);
    if (!art) return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    InDusk(cr, dusk, [&] { reg->Paint(cr, name, -art->width * scale / 2, -art->height * scale / 2, scale); });
    cairo_restore(cr);
}

// The frame drawn round every panel.
void PanelBorder(cairo_t* cr, int w, int h) {
    cairo_rectangle(cr, 1.5, 1.5, w - 3, h - 3);
    SetColor(cr, Hex(0x3a2a1a));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

// The board's pictures on a story panel: a picture of the board placed on a
// cell whose top-left corner is (x, y), as play places it, drawn `scale`
// times its size in play and darkened by `dusk`.
void OnCell(cairo_t* cr, const CArtRegistry* reg, const std::string& name, double x, double y, double scale,
            double dusk = 0) {
    InDusk(cr, dusk, [&] { reg->PaintOnCell(cr, name, x, y, scale); });
}

// A chapter's panel is a scene from its part of the island as its levels
// show it: the place's own level background, scaled whole to the panel's
// width, and a row of the board's ground with the board's own figures on
// it, all at kBoard times their size in play. The page's three captions
// cover the panel's top 78 rows (less between them): what the page tells
// stands below them.
constexpr double kBoard = 1.75;
constexpr double kCell = 24 * kBoard;
constexpr double kGroundRows = 34;  // of the ground's top cell, above the panel's bottom

// The level background `place`, its row `from` at the panel's top.
void Place(cairo_t* cr, int w, int place, double from) {
    cairo_save(cr);
    cairo_scale(cr, w / 800.0, w / 800.0);
    cairo_translate(cr, 0, -from);
    SceneArt::LevelBackground(cr, 800, 600, place);
    cairo_restore(cr);
}

// The board's ground ("grass" or "sand") across the panel; returns its top row.
double Ground(cairo_t* cr, const CArtRegistry* reg, int w, int h, const std::string& kind, double dusk = 0) {
    const double top = h - kGroundRows;
    OnCell(cr, reg, kind + std::to_string(static_cast<int>(w / kCell) + 2) + ".png", -kCell / 2, top, kBoard, dusk);
    return top;
}

// A board figure standing on the ground row `ground`, its cell's middle at x.
void Stand(cairo_t* cr, const CArtRegistry* reg, const std::string& name, double x, double ground,
           double dusk = 0) {
    OnCell(cr, reg, name, x - kCell / 2, ground - kCell, kBoard, dusk);
}

// A bot standing with its feet at (x, ground), facing right or left, its lamp
// eye as given, and where `glow` is given, the glow of that eye lit, as far.
void Bot(cairo_t* cr, double x, double ground, double scale, bool right, worldart::BotEye eye, double dusk = 0,
         double sparks = 0, double glow = 0) {
    worldart::BotPose pose;
    pose.eye = eye;
    pose.sparks = sparks;
    cairo_save(cr);
    cairo_translate(cr, x, ground);
    cairo_scale(cr, right ? scale : -scale, scale);
    InDusk(cr, dusk, [&] { worldart::DrawBot(cr, pose); });
    cairo_restore(cr);
    if (glow > 0) Light(cr, x + (right ? 4.5 : -4.5) * scale, ground - 17.5 * scale, glow, Hex(0xffe25a, 0.9));
}

// Three bots waiting in the dark, their lamp eyes alight: side by side on a
// wide panel, one above another on a narrow one, each at one size and clear
// of the others and of the panel's edges.
void BotsInTheDark(cairo_t* cr, int w, int h) {
    VerticalGradient(cr, 0, 0, w, h, Hex(0x1a2a4a), Hex(0x0a1418));
    const bool row = w >= h;
    const double scale = row ? std::min(w / 120.0, h / 70.0) : std::min(w / 40.0, h / 150.0);
    for (int i = 0; i < 3; ++i) {
        const bool right = i % 2 == 0;
        const double x = row ? w * (0.25 + 0.25 * i) : w * (right ? 0.45 : 0.55);
        const double feet = row ? h * 0.72 : h * (0.31 + 0.28 * i);
        Bot(cr, x, feet, scale, right, worldart::BotEye::Bright, 0.5, 0, 7 * scale);
    }
}

// Rising air over something hot, between columns x0 and x1 up from row y.
void HeatHaze(cairo_t* cr, double x0, double x1, double y, double height, uint32_t seed) {
    cairo_save(cr);
    for (int i = 0; i < 9; ++i) {
        const double x = RandomRange(seed, x0, x1), top = y - RandomRange(seed, height * 0.5, height);
        cairo_new_path(cr);
        cairo_move_to(cr, x, y);
        cairo_curve_to(cr, x + 6, y - (y - top) * 0.33, x - 6, y - (y - top) * 0.66, x, top);
        SetColor(cr, Hex(0xfff0d0, 0.35));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// A four-pointed glint of light at (x, y).
void Glint(cairo_t* cr, double x, double y, double size) {
    const double star[] = {x, y - size, x + size * 0.22, y - size * 0.22, x + size, y, x + size * 0.22,
                           y + size * 0.22, x, y + size, x - size * 0.22, y + size * 0.22, x - size, y,
                           x - size * 0.22, y - size * 0.22};
    RadialGlow(cr, x, y, size * 1.2, Hex(0xd8f4ff, 0.5));
    OutlinedPolygon(cr, star, 8, Hex(0xffffff, 0.95), 0);
}

// The laboratory seen from outside, its door at column x on the ground row:
// stone walls, a domed roof with its telescope, two windows. Bots have set
// up camp inside: their fire lights the windows, their shells and lamp eyes
// show in them.
void LabHouse(cairo_t* cr, double x, double ground, double width, double wall) {
    const double left = x - width / 2, top = ground - wall;
    OutlinedRoundedRect(cr, left, top, width, wall, 3, Hex(0xb8a888), 2);
    for (double y = top + 12; y < ground - 4; y += 12) Line(cr, left + 3, y, left + width - 3, y, Hex(0x9a8a6a), 1);
    // The dome and the telescope poking out of its slit.
    const double domeR = width * 0.3;
    cairo_new_path(cr);
    cairo_arc(cr, x, top, domeR, M_PI, 2 * M_PI);
    cairo_close_path(cr);
    FillShaded(cr, Hex(0x8a9aa8), 2);
    Line(cr, x + domeR * 0.1, top - domeR * 0.55, x + domeR * 0.9, top - domeR * 1.05, Hex(0x5a4a3a), 5);
    OutlinedRoundedRect(cr, left - 4, top - 4, width + 8, 6, 2, kWood, 1.5);
    // The windows, lit by the camp fire, a bot in each.
    for (int i = 0; i < 2; ++i) {
        const double wx = left + width * (i ? 0.6 : 0.08), wy = top + wall * 0.12, ww = width * 0.32,
                     wh = wall * 0.5;
        cairo_save(cr);
        cairo_rectangle(cr, wx, wy, ww, wh);
        cairo_clip(cr);
        VerticalGradient(cr, wx, wy, ww, wh, Hex(0x5a3018), Hex(0xe08a30));
        const double scale = wh / 24;
        Bot(cr, wx + ww * 0.5, wy + wh + 6 * scale, scale, i == 0, worldart::BotEye::Bright, 0, 0, 5 * scale);
        cairo_restore(cr);
        OutlinedRoundedRect(cr, wx - 2, wy - 2, ww + 4, wh + 4, 2, Hex(0, 0), 2.5);
        Line(cr, wx + ww / 2, wy, wx + ww / 2, wy + wh * 0.35, Hex(0x5a4a3a), 2);
    }
    // The shut door.
    OutlinedRoundedRect(cr, x - width * 0.1, ground - wall * 0.4, width * 0.2, wall * 0.4, 3, kWood, 1.5);
}

// The chapters' panels, one for each chapter story (1 to 10): each shows
// what its page's captions tell.
void ChapterPanel(cairo_t* cr, const CArtRegistry* reg, int w, int h, int chapter, uint32_t seed) {
    switch (chapter) {
    case 1: {
        // "The professor follows the trail of scattered gadgets. Crates
        // everywhere! ... Onward, to the jungle ruins!" Across the island
        // from where he stands on the left, the way the inventions fell,
        // crates most of all, here and there one on another. The volcano
        // stands low enough that its crater shows below the captions.
        SceneArt::IslandScene(cr, w, h, seed, 0.9, 0.3, 0.32);
        const struct {
            double x;
            int gadget, tier;
        } trail[] = {{0.25, 0, 0}, {0.31, 2, 0}, {0.37, 1, 0}, {0.44, 0, 0}, {0.44, 8, 1}, {0.51, 3, 0},
                     {0.58, 2, 0}, {0.64, 4, 0}, {0.71, 0, 0}, {0.71, 2, 1}, {0.78, 5, 0}, {0.85, 8, 0},
                     {0.89, 7, 0}};
        const double size = 24 * 1.25;
        for (const auto& t : trail) {
            const double x = w * t.x, y = OnTheGround(w, h, x, 1.25) - t.tier * size * 0.85;
            Gadget(cr, reg, t.gadget, x, y, 1.25, RandomRange(seed, -0.3, 0.3));
        }
        Bust(cr, BustIn(w, h, 0.12, h * 0.13), 0.1, 0.2);
        break;
    }
    case 2: {
        // "A note on a crate: the bots took the best gadgets. The professor
        // rolls up his sleeves. Through the night forest!" He reads the note
        // pinned to a crate in the moonlit forest; far off, two bots make off
        // with gadgets.
        Place(cr, w, 5, 230);
        const double ground = Ground(cr, reg, w, h, "grass", 0.35);
        const double crate = w * 0.5;
        Stand(cr, reg, "cratestill0.tga", crate, ground, 0.3);
        cairo_save(cr);
        cairo_translate(cr, crate, ground - kCell * 0.55);
        cairo_rotate(cr, -0.08);
        OutlinedRoundedRect(cr, -11, -9, 22, 18, 1, Hex(0xf4ecd8), 1);
        for (int i = 0; i < 3; ++i) Line(cr, -7, -4 + i * 4.5, i == 2 ? 2 : 7, -4 + i * 4.5, kInk, 1);
        OutlinedEllipse(cr, 0, -8, 1.8, 1.8, Hex(0xd8342c), 0.8);
        cairo_restore(cr);
        Light(cr, crate, ground - kCell * 0.55, 30, Hex(0x404850, 0.8));
        Stand(cr, reg, "profstandright0.tga", crate - kCell * 1.5, ground, 0.2);
        for (int i = 0; i < 2; ++i) {
            const double x = w * (0.8 + 0.1 * i);
            Bot(cr, x, ground, kBoard, true, worldart::BotEye::Normal, 0.35);
            Gadget(cr, reg, i ? 5 : 1, x - 2, ground - 30 * kBoard, 1.2, 0.2, 0.35);
        }
        break;
    }
    case 3: {
        // "Deep in the ruins, the bots wake up. A magnet? That could come in
        // handy." Among the ruins a magnet lies before the professor, while
        // two bots behind it open their lamp eyes.
        Place(cr, w, 0, 250);
        const double ground = Ground(cr, reg, w, h, "grass");
        Stand(cr, reg, "magnetrightstill0.tga", w * 0.45, ground);
        Stand(cr, reg, "profstandright0.tga", w * 0.45 - kCell * 1.6, ground);
        for (int i = 0; i < 2; ++i) {
            const double x = w * (0.72 + 0.13 * i);
            Bot(cr, x, ground, kBoard, false, i ? worldart::BotEye::Normal : worldart::BotEye::Bright, 0, 0.8, 10);
        }
        break;
    }
    case 4: {
        // "Teleports! Now where did they lead? The bots follow the hum of the
        // machines." On the volcano's slopes two teleports hum; a bot steps
        // into the nearer one, another walks up to it, and the professor
        // wonders where they went.
        Place(cr, w, 1, 200);
        const double ground = Ground(cr, reg, w, h, "sand");
        const char* colours[] = {"blue", "yellow"};
        for (int i = 0; i < 2; ++i) {
            const double x = w * (0.66 + 0.17 * i), top = ground - kCell;
            const std::string c = colours[i];
            OnCell(cr, reg, "teleport_frameback.png", x, top, kBoard);
            OnCell(cr, reg, "teleport_spiral" + c + "0.png", x, top, kBoard);
            if (i == 0) Bot(cr, x + kCell * 0.9, ground, kBoard, true, worldart::BotEye::Normal);
            OnCell(cr, reg, "teleport_frame" + c + "0.png", x, top, kBoard);
            // The hum: rings spreading from the portal towards the bots.
            for (int k = 1; k <= 3; ++k) {
                cairo_new_path(cr);
                cairo_arc(cr, x + kCell * 0.55, top - kCell * 0.1, 8.0 + 9 * k, M_PI - 0.5, M_PI + 0.5);
                SetColor(cr, Hex(0xfff0a0, 0.7 - 0.18 * k));
                cairo_set_line_width(cr, 2);
                cairo_stroke(cr);
            }
        }
        Bot(cr, w * 0.52, ground, kBoard, true, worldart::BotEye::Normal);
        const double prof = w * 0.22;
        Stand(cr, reg, "profstandright0.tga", prof, ground);
        TextBox(cr, "?", prof + 14, ground - kCell * 2.9, 30, 30, 26, kInk, FONT_SERIF_BOLD, ALIGN_CENTER);
        break;
    }
    case 5: {
        // "The air grows hot near the crater. A heat gun, just where it
        // fell." Under the glowing crater the air shimmers; the heat gun
        // lies on the ground ahead of the professor.
        Place(cr, w, 1, 10);
        Light(cr, w * 0.5, 64, 150, Hex(0xc04010, 0.9));
        const double ground = Ground(cr, reg, w, h, "sand");
        HeatHaze(cr, w * 0.25, w * 0.8, ground - 8, 60, seed);
        Light(cr, w * 0.5, ground, 120, Hex(0x803008, 0.6));
        // The heat gun as the board draws it, but lying where it fell: its
        // grip's foot (8 of the drawing's units below its middle) on the
        // sand, where the board's power-up hovers in its cell.
        cairo_save(cr);
        cairo_translate(cr, w * 0.58, ground - 8 * kBoard + 1);
        cairo_scale(cr, kBoard, kBoard);
        worldart::DrawPowerIcon(cr, worldart::PowerKind::HeatGun);
        cairo_restore(cr);
        Stand(cr, reg, "profhotstepright0.png", w * 0.4, ground);
        break;
    }
    case 6: {
        // "Frost on the moustache, warmth in the heart. The whistle is back
        // in the professor's pocket. Back across the island." Close up on
        // the snowfields: frost on his moustache and brows, the whistle in
        // his coat's pocket, his tracks leading back across the snow. The
        // level's background is muted for the board's pieces: here the snow
        // is as bright as snow.
        Place(cr, w, 7, 250);
        cairo_rectangle(cr, 0, 0, w, h);
        SetColor(cr, Hex(0xffffff, 0.4));
        cairo_fill(cr);
        for (int i = 0; i < 12; ++i) {
            const double x = w * (0.7 - 0.055 * i), y = h * (0.92 - 0.012 * i) - (i % 2) * 6;
            OutlinedEllipse(cr, x, y, 4.5 - 0.15 * i, 2.2, Hex(0x8a9ab8, 0.8), 0);
        }
        const BustSpot b = BustIn(w, h, 0.82, 32);
        Bust(cr, b, -0.05, 0.3);
        const double r = b.r, cy = b.neck - 49 * r / 46;
        // Rime along the moustache's lower edge and on the brows.
        for (int i = -5; i <= 5; ++i) {
            const double x = b.cx + i * r * 0.11, y = cy + r * (0.5 + 0.012 * std::abs(i));
            OutlinedEllipse(cr, x, y, r * 0.05, r * 0.05, Hex(0xffffff), 0);
            if (i % 2 == 0) {
                const double icicle[] = {x - r * 0.03, y, x + r * 0.03, y, x, y + r * 0.13};
                OutlinedPolygon(cr, icicle, 3, Hex(0xe8f8ff), 0);
            }
        }
        for (int s = -1; s <= 1; s += 2)
            Line(cr, b.cx + s * r * 0.45, cy - r * 0.27, b.cx + s * r * 0.15, cy - r * 0.32, Hex(0xffffff, 0.9),
                 r * 0.05);
        // The breath, a little cloud in the cold.
        SoftOval(cr, b.cx - r * 1.3, cy + r * 0.55, r * 0.35, r * 0.2, Hex(0xffffff, 0.8));
        // The pocket and the whistle in it, its ring on a string to a button.
        const double px = b.cx - r * 0.6, py = b.neck + r * 1.05;
        cairo_save(cr);
        cairo_translate(cr, px, py - r * 0.15);
        cairo_scale(cr, r / 28, r / 28);
        cairo_rotate(cr, -0.5);
        worldart::DrawPowerIcon(cr, worldart::PowerKind::Whistle);
        cairo_restore(cr);
        OutlinedRoundedRect(cr, px - r * 0.35, py, r * 0.7, r * 0.45, 2, Hex(0x23877b), 1.5);
        cairo_new_path(cr);
        cairo_move_to(cr, px + r * 0.2, py);
        cairo_curve_to(cr, px + r * 0.35, py - r * 0.1, b.cx, py - r * 0.1, b.cx + r * 0.15, py + r * 0.1);
        SetColor(cr, Hex(0x5b4a3a));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        break;
    }
    case 7: {
        // "Crystal caves glitter in the dark. Ice underfoot. Careful now!
        // Something rumbles far below." He slides over a floor of ice in the
        // dark cave, its crystals glinting, pebbles shaken from the roof.
        Place(cr, w, 3, 280);
        const double ground = h - kGroundRows;
        for (int i = 0; i * kCell < w; ++i)
            OnCell(cr, reg, "ice" + std::to_string(1 + i % 2) + "b.png", i * kCell, ground, kBoard);
        for (int i = 0; i < 6; ++i) {
            // Clusters of crystals along the cave's floor, glowing.
            const double x = w * (0.06 + 0.18 * i) + RandomRange(seed, -10, 10);
            RadialGlow(cr, x, ground - 20, 40, Hex(0x8ad0ff, 0.25));
            for (int k = -1; k <= 1; ++k) {
                const double s = 34 - 10 * std::abs(k), c = x + k * 9;
                const double crystal[] = {c + k * 0.35 * s, ground - s, c + 6, ground - s * 0.25, c + 4, ground + 2,
                                          c - 4, ground + 2, c - 6, ground - s * 0.25};
                OutlinedPolygon(cr, crystal, 5, (i + k) % 2 ? Hex(0x8a7ae0) : Hex(0x5ac0e0), 1.5);
            }
        }
        for (int i = 0; i < 7; ++i) Glint(cr, RandomRange(seed, 20, w - 20), RandomRange(seed, 85, ground - 20), 5);
        for (int i = 0; i < 5; ++i) {
            const double x = RandomRange(seed, w * 0.35, w * 0.95), y = RandomRange(seed, 82, ground - 40);
            OutlinedEllipse(cr, x, y, 2.5, 2, Hex(0x6a6a7a), 0.8);
            Line(cr, x, y - 5, x, y - 11, Hex(0xa0a0c0, 0.5), 1);
        }
        Stand(cr, reg, "profslideright0.tga", w * 0.45, ground);
        break;
    }
    case 8: {
        // "The laboratory's roof is in sight. But the bots have set up camp
        // inside. Time for a clever plan." From behind a bush the professor,
        // scratching his head, eyes his laboratory: bots in its lit windows.
        SceneArt::SkyAndSea(cr, w, h, 0.9);
        cairo_new_path(cr);
        cairo_move_to(cr, 0, h * 0.62);
        cairo_curve_to(cr, w * 0.3, h * 0.5, w * 0.6, h * 0.58, w, h * 0.55);
        cairo_line_to(cr, w, h);
        cairo_line_to(cr, 0, h);
        cairo_close_path(cr);
        FillShaded(cr, Hex(0x5a9a48), 1.5);
        const double ground = Ground(cr, reg, w, h, "grass");
        LabHouse(cr, w * 0.8, ground, 120, 76);
        Stand(cr, reg, "profidleB5.tga", w * 0.25, ground);
        for (int i = 0; i < 5; ++i)
            OutlinedEllipse(cr, w * 0.25 + (i - 2) * 13, ground - 8 - (i % 2) * 6, 14, 12, Hex(0x3f8f3a), 1.5);
        break;
    }
    case 9: {
        // "The desert temple hides old secrets. The Pyrowhorl is close. It
        // is getting warmer. One more push to the top!" The professor makes
        // for the temple's doorway, the Pyrowhorl raging near by.
        Place(cr, w, 6, 150);
        const double ground = Ground(cr, reg, w, h, "sand");
        const double door = w * 0.5;
        OutlinedRoundedRect(cr, door - 24, ground - 70, 48, 70, 2, Hex(0xb08850), 2);
        OutlinedRoundedRect(cr, door - 14, ground - 52, 28, 52, 12, Hex(0x2a1a10), 1.5);
        for (int i = 0; i < 3; ++i) OutlinedEllipse(cr, door - 12 + i * 12, ground - 62, 3, 3, Hex(0x7a5a30), 0.8);
        Light(cr, w * 0.82, ground - 40, 90, Hex(0xa04010, 0.7));
        Pyrowhorl(cr, w * 0.82, ground - 50, 45);
        Stand(cr, reg, "profrunright3.tga", w * 0.3, ground);
        break;
    }
    default: {
        // "Only a few gadgets are still missing. The Pyrowhorl circles the
        // crater once more. It ends where it began!" On the volcano's top,
        // high over the sea, beside the inventions he found, the professor
        // watches the Pyrowhorl circle the crater.
        SceneArt::SkyAndSea(cr, w, h, 1.0);
        const double crater = w * 0.74, rim = h - 58, mouth = 66;
        cairo_new_path(cr);
        cairo_move_to(cr, 0, h - 12);
        cairo_curve_to(cr, w * 0.05, rim + 20, w * 0.08, rim, w * 0.14, rim);
        cairo_line_to(cr, crater - mouth, rim);
        cairo_curve_to(cr, crater - mouth * 0.5, rim + 16, crater + mouth * 0.5, rim + 16, crater + mouth, rim);
        cairo_curve_to(cr, crater + mouth * 1.5, rim, w * 0.97, rim + 24, w, h - 20);
        cairo_line_to(cr, w, h);
        cairo_line_to(cr, 0, h);
        cairo_close_path(cr);
        FillShaded(cr, Hex(0x6a4a3a), 2);
        Light(cr, crater, rim + 8, mouth, Hex(0xff8a30, 0.8));
        Pyrowhorl(cr, crater, rim - 36, 42);
        Gadget(cr, reg, 0, w * 0.3, rim - 13 * 1.5, 1.5, 0);
        Gadget(cr, reg, 3, w * 0.37, rim - 12 * 1.5, 1.5, 0);
        Stand(cr, reg, "profstandright0.tga", w * 0.2, rim);
        break;
    }
    }
    PanelBorder(cr, w, h);
}

// What a story panel shows.
enum class Panel {
    Lab,                // the professor at work in his laboratory
    LabAtNight,         // the same, the storm at the window
    Whorl,              // the Pyrowhorl bursts out of the volcano
    WhorlAtNight,       // the same, in the storm
    WhorlTakesGadgets,  // the Pyrowhorl whirls the inventions up into the night
    Scattered,          // the inventions strewn over the island
    FallingAtNight,     // the inventions falling over the island in the rain
    SetsOff,            // the professor sets off
    BotsInTheDark,      // bots in the dark
    HomeAgain,          // home again: celebration
};

// One story panel; seed varies details.
void StoryPanel(cairo_t* cr, const CArtRegistry* reg, int w, int h, Panel panel, uint32_t seed) {
    const double small = std::min(w, h);
    switch (panel) {
    case Panel::Lab: {
        const BustSpot b = BustIn(w, h, 0.5);
        Lab(cr, w, h, b, true);
        Bust(cr, b);
        break;
    }
    case Panel::LabAtNight: {
        // Working late by his lamp, which lights him, the storm at the window
        // behind him, on the right (the page's caption covers the panel's
        // top-left corner).
        const BustSpot b = BustIn(w, h, 0.5);
        Lab(cr, w, h, b, false);
        Night(cr, w, h, Hex(0x5a6088));
        StormWindow(cr, w * 0.66, h * 0.08, w * 0.28, h * 0.32, seed);
        Light(cr, w * 0.45, h * 0.55, small * 0.8, Hex(0x7a5a28, 0.9));
        OilLamp(cr, b.cx - 2 * b.r, b.neck + 0.9 * b.r, b.r * 1.2);
        InDusk(cr, 0.2, [&] { Bust(cr, b); });
        break;
    }
    case Panel::Whorl:
        SceneArt::IslandScene(cr, w, h, seed, 0.7);
        Pyrowhorl(cr, w * 0.62, h * 0.3, small * 0.3);
        break;
    case Panel::WhorlAtNight:
        NightIsland(cr, w, h, seed, w * 0.22, h * 0.5);
        Pyrowhorl(cr, w * 0.62, h * 0.3, small * 0.3);
        break;
    case Panel::WhorlTakesGadgets:
        // The lightning strikes far off on the left, clear of what the
        // Pyrowhorl whirls round it and flings out, lit by its fire.
        NightIsland(cr, w, h, seed, w * 0.1, h * 0.5);
        Pyrowhorl(cr, w * 0.62, h * 0.3, small * 0.3);
        for (int i = 0; i < 6; ++i) {
            const double a = -M_PI * (0.95 - 0.38 * i);
            Gadget(cr, reg, i, w * 0.62 + std::cos(a) * w * 0.3, h * 0.34 + std::sin(a) * h * 0.22, 1.3, a, 0.15);
        }
        break;
    case Panel::Scattered: {
        // On the grass, and one up the volcano's face, each resting wholly
        // on the island or the volcano: none beside the cone over the sky,
        // none on another.
        SceneArt::IslandScene(cr, w, h, seed, 0.85);
        const double spots[][2] = {{0.22, 0}, {0.38, 0}, {0.54, 0}, {0.64, 0.38}, {0.8, 0}};
        for (int i = 0; i < 5; ++i) {
            const double x = w * spots[i][0];
            const double y = spots[i][1] > 0 ? h * spots[i][1] : OnTheGround(w, h, x, 1.3);
            Gadget(cr, reg, i, x, y, 1.3, RandomRange(seed, -0.5, 0.5));
        }
        break;
    }
    case Panel::FallingAtNight:
        // Tumbling down through the rain onto the island, some fallen
        // already; the lightning strikes far off, beside the volcano.
        NightIsland(cr, w, h, seed, w * 0.82, h * 0.38);
        for (int i = 0; i < 5; ++i) {
            const double x = w * (0.16 + 0.17 * i), ground = SceneArt::IslandGroundY(w, h, x);
            const double y = i % 2 ? ground + h * 0.02 : h * (0.25 + 0.08 * i);
            Gadget(cr, reg, i, x, y, 1.7, RandomRange(seed, -1, 1), 0.35);
        }
        break;
    case Panel::SetsOff:
        SceneArt::IslandScene(cr, w, h, seed, 0.9);
        Bust(cr, BustIn(w, h, 0.3, h * 0.11), -0.1, 0.6);
        break;
    case Panel::BotsInTheDark:
        BotsInTheDark(cr, w, h);
        break;
    case Panel::HomeAgain:
        SceneArt::IslandScene(cr, w, h, seed, 1.0);
        for (int i = 0; i < 20; ++i)
            OutlinedEllipse(cr, RandomRange(seed, 0, w), RandomRange(seed, 0, h * 0.5), 3, 3,
                            i % 3 ? Hex(0xf0c419) : Hex(0xd8342c), 0);
        break;
    }
    PanelBorder(cr, w, h);
}

// A page frame with a see-through window area (panels are drawn over it).
void PageFrame(cairo_t* cr, int w, int h, const std::string& name) { Parchment(cr, 0, 0, w, h, Seed(name)); }

void TextNote(cairo_t* cr, int w, int h, const std::string& key, double size = 15) {
    Parchment(cr, 0, 0, w, h, Seed(key), 0.6);
    TextBox(cr, CCaptions::Shared().Get(key), 10, 6, w - 20, h - 12, size, kInk, FONT_SERIF, ALIGN_CENTER);
}

struct Box {
    int x, y, w, h;
};

// The opening's second page is drawn at fixed corners, which lie where they
// would make the panels overlap. Each picture therefore reaches from its
// corner to the panel it shows, and outside that panel repeats the page
// frame under it, so that the panels stand in a grid of their own: frame at
// (6, 39), as wide as makes it centred on the screen, two rows of three
// panels from (65, 88) to (735, 528), centred on it, above the buttons at
// y 538. A later picture only repeats the frame where no earlier panel shows
// (the one with its corner at (281, 313) starts below the first row, which
// ends at y 312).
const Box kOpeningFrame = {6, 39, 788, 530};
// The ending's second page: its first panel's corner lies on the frame's
// torn left edge, so the panel starts 9 further in, as far as the last one
// ends from the right edge.
const Box kEndingFrame = {30, 30, 740, 540};

void AddInsetPanel(CArtRegistry& reg, const std::string& name, int cornerX, int cornerY, const Box& panel,
                   Panel shows, const std::string& frameName = "story_A2_a.tga", const Box& frame = kOpeningFrame) {
    const CArtRegistry* r = &reg;
    reg.Add(name, panel.x + panel.w - cornerX, panel.y + panel.h - cornerY,
            [=](cairo_t* cr, int, int) {
                cairo_save(cr);
                cairo_translate(cr, frame.x - cornerX, frame.y - cornerY);
                PageFrame(cr, frame.w, frame.h, frameName);
                cairo_restore(cr);
                cairo_translate(cr, panel.x - cornerX, panel.y - cornerY);
                cairo_rectangle(cr, 0, 0, panel.w, panel.h);
                cairo_clip(cr);
                StoryPanel(cr, r, panel.w, panel.h, shows, Seed(name));
            });
}

}  // namespace

namespace InterfaceFamilies {

void RegisterStory(CArtRegistry& reg) {
    const CArtRegistry* r = &reg;
    auto panel = [&](const std::string& name, int w, int h, Panel shows) {
        reg.Add(name, w, h,
                [r, shows, name](cairo_t* cr, int cw, int ch) { StoryPanel(cr, r, cw, ch, shows, Seed(name)); });
    };
    auto frame = [&](const std::string& name, int w, int h) {
        reg.Add(name, w, h, [name](cairo_t* cr, int cw, int ch) { PageFrame(cr, cw, ch, name); });
    };
    auto banner = [&](const std::string& name, int w, int h) {
        const std::string key = name.substr(0, name.size() - 4);
        reg.Add(name, w, h, [key](cairo_t* cr, int cw, int ch) { TextNote(cr, cw, ch, key); });
    };
    // Opening, first page, under "One stormy night...": the professor at
    // work late in his laboratory while the storm rages outside; the
    // Pyrowhorl bursts out of the volcano, whirls his inventions up into the
    // night sky and scatters them over the island.
    frame("story_A1_a.tga", 680, 520);
    panel("story_A1_b.jpg", 380, 230, Panel::LabAtNight);
    panel("story_A1_c.jpg", 400, 190, Panel::WhorlTakesGadgets);
    banner("story_A1_d.png", 200, 50);
    panel("story_A1_e.jpg", 200, 220, Panel::WhorlAtNight);
    panel("story_A1_f.jpg", 210, 230, Panel::FallingAtNight);
    // Opening, second page, the morning after: the laboratory, the Pyrowhorl
    // still raging, the inventions strewn over the island; then the caption,
    // the professor setting off and the bots waiting in the dark.
    frame("story_A2_a.tga", kOpeningFrame.w, kOpeningFrame.h);
    AddInsetPanel(reg, "story_A2_b.jpg", 54, 88, {285, 88, 230, 224}, Panel::Whorl);
    AddInsetPanel(reg, "story_A2_c.jpg", 86, 336, {535, 336, 200, 192}, Panel::BotsInTheDark);
    AddInsetPanel(reg, "story_A2_d.jpg", 61, 71, {65, 88, 200, 224}, Panel::Lab);
    AddInsetPanel(reg, "story_A2_e.jpg", 520, 56, {535, 88, 200, 224}, Panel::Scattered);
    // The caption takes the first panel of the second row; its corner is
    // (22, 323) and it is see-through around the note.
    const Box caption = {65, 336, 200, 192};
    reg.Add("story_A2_f.png", caption.x + caption.w - 22, caption.y + caption.h - 323,
            [caption](cairo_t* cr, int, int) {
                cairo_translate(cr, caption.x - 22, caption.y - 323);
                TextNote(cr, caption.w, caption.h, "story_A2_f", 21);
            });
    AddInsetPanel(reg, "story_A2_g.jpg", 281, 313, {285, 336, 230, 192}, Panel::SetsOff);
    // Chapter pages: a frame, a wide panel and three text notes per chapter;
    // the Done button sits below the panel at (345, 397). Each chapter has a
    // panel of its own: the odd ones in the first layout, the even ones in
    // the second.
    frame("story_B1_a.tga", 680, 330);
    frame("story_B2_a.tga", 712, 340);
    for (int chapter = 1; chapter <= 10; ++chapter) {
        const std::string name = std::string(chapter % 2 ? "story_B1_b" : "story_B2_b") +
                                 std::to_string((chapter + 1) / 2) + ".jpg";
        reg.Add(name, chapter % 2 ? 620 : 650, 200, [r, chapter, name](cairo_t* cr, int w, int h) {
            ChapterPanel(cr, r, w, h, chapter, Seed(name));
        });
    }
    for (int k = 1; k <= 5; ++k)
        for (const char* col : {"a", "b", "c"}) {
            banner("story_B1_text_" + std::string(col) + std::to_string(k) + ".png", 200, 90);
            banner("story_B2_text_" + std::string(col) + std::to_string(k) + ".png", 200, 90);
        }
    // Ending, two pages.
    frame("story_C1_a.tga", 700, 530);
    panel("story_C1_b.jpg", 230, 230, Panel::Whorl);
    panel("story_C1_c.jpg", 500, 190, Panel::SetsOff);
    panel("story_C1_d.jpg", 280, 230, Panel::HomeAgain);
    banner("story_C1_e.png", 140, 200);
    banner("story_C1_f.png", 220, 60);
    panel("story_C1_g.jpg", 120, 200, Panel::Lab);
    frame("story_C2_a.tga", 740, 540);
    AddInsetPanel(reg, "story_C2_b.jpg", 35, 90, {kEndingFrame.x + 9, 90, 76, 230}, Panel::BotsInTheDark,
                  "story_C2_a.tga", kEndingFrame);
    panel("story_C2_c.jpg", 250, 200, Panel::HomeAgain);
    panel("story_C2_d.jpg", 520, 230, Panel::HomeAgain);
    panel("story_C2_e.jpg", 100, 240, Panel::Lab);
    panel("story_C2_f.jpg", 200, 220, Panel::SetsOff);
    panel("story_C2_g.jpg", 200, 230, Panel::HomeAgain);
}

}  // namespace InterfaceFamilies
