// The pictures of the instructions pages. Most topic pages show a small
// scene built by the game from world pictures next to the text; the page's
// first picture, drawn under that scene at a fixed corner, completes it:
// more ground, objects and the marks that tell what happens (paths, wires,
// sparks, flames). Scene pictures are laid out in page coordinates, the same
// as the game's own pieces, and reach from their corner to the right and
// down only.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "images/DrawKit.h"
#include "images/InterfaceFamilies.h"
#include "images/InterfaceKit.h"

using namespace DrawKit;
using namespace InterfaceKit;

namespace {

using Piece = InterfaceFamilies::ScenePiece;

using PageDrawing = std::function<void(cairo_t* cr)>;

struct Scene {
    const char* name;
    int cornerX, cornerY;  // where the game draws the picture on the page
    int right, bottom;     // the page coordinates the picture reaches
    PageDrawing under;     // drawn first, in page coordinates
    std::vector<Piece> pieces;
    PageDrawing over = nullptr;  // drawn last, over the pieces
    // The cells of the pieces on fire, flames drawn over them last.
    std::vector<InterfaceFamilies::SceneCell> burning = {};
};

void Flames(cairo_t* cr, double left, double top);

void AddScene(CArtRegistry& reg, const Scene& scene) {
    const CArtRegistry* r = &reg;
    reg.Add(scene.name, scene.right - scene.cornerX, scene.bottom - scene.cornerY, [r, scene](cairo_t* cr, int, int) {
        cairo_translate(cr, -scene.cornerX, -scene.cornerY);
        if (scene.under) scene.under(cr);
        for (const Piece& p : scene.pieces) r->PaintOnCell(cr, p.name, p.left, p.top);
        if (scene.over) scene.over(cr);
        for (const InterfaceFamilies::SceneCell& c : scene.burning) Flames(cr, c.left, c.top);
    });
}

const Color kPathInk = Hex(0x6a4a2a, 0.55);

// Speed marks behind something moving the way (dx, dy) points.
void Streaks(cairo_t* cr, double x, double y, double dx, double dy, double length) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double n = std::hypot(dx, dy);
    const double ux = dx / n, uy = dy / n;
    for (int i = -1; i <= 1; ++i) {
        const double sx = x - uy * i * 6, sy = y + ux * i * 6;
        const double len = length * (i == 0 ? 1.0 : 0.7);
        Line(cr, sx, sy, sx - ux * len, sy - uy * len, kPathInk, 2);
    }
    cairo_restore(cr);
}

// A dashed curve from (x0, y0) to (x1, y1) through (cx, cy), ending in an
// arrow head: the way something goes.
void DashedPath(cairo_t* cr, double x0, double y0, double cx, double cy, double x1, double y1) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double dash[] = {6, 6};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_new_path(cr);
    cairo_move_to(cr, x0, y0);
    cairo_curve_to(cr, x0 + (cx - x0) * 2 / 3, y0 + (cy - y0) * 2 / 3, x1 + (cx - x1) * 2 / 3, y1 + (cy - y1) * 2 / 3,
                   x1, y1);
    SetColor(cr, kPathInk);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    const double a = std::atan2(y1 - cy, x1 - cx);
    const double head[] = {x1 + 2 * std::cos(a), y1 + 2 * std::sin(a), x1 - 10 * std::cos(a - 0.45),
                           y1 - 10 * std::sin(a - 0.45), x1 - 10 * std::cos(a + 0.45), y1 - 10 * std::sin(a + 0.45)};
    cairo_new_path(cr);
    PolygonPath(cr, head, 3);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Fills the current path with ground, darker towards the bottom, and
// outlines it.
void FillGround(cairo_t* cr, double top, double bottom, const Color& rock) {
    FillLinear(cr, 0, top, 0, bottom, rock, Darken(rock, 0.35));
    SetColor(cr, Darken(rock, 0.55));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

// The rock under a floating ledge from x0 to x1: a mass narrowing to a
// rounded point at the bottom, as the ground of the levels hangs in the air.
void RockUnder(cairo_t* cr, double x0, double x1, double top, double bottom, const Color& rock) {
    const double w = x1 - x0;
    cairo_new_path(cr);
    cairo_move_to(cr, x0, top);
    cairo_line_to(cr, x1, top);
    cairo_curve_to(cr, x1, top + (bottom - top) * 0.5, x0 + w * 0.7, bottom, x0 + w * 0.5, bottom);
    cairo_curve_to(cr, x0 + w * 0.3, bottom, x0, top + (bottom - top) * 0.5, x0, top);
    cairo_close_path(cr);
    FillGround(cr, top, bottom, rock);
    uint32_t seed = Seed("rock") + static_cast<uint32_t>(x0 * 7 + top);
    for (int i = 0; i < static_cast<int>(w / 14); ++i) {
        const double px = RandomRange(seed, x0 + w * 0.15, x1 - w * 0.15);
        const double py = RandomRange(seed, top + 8, top + (bottom - top) * 0.6);
        OutlinedEllipse(cr, px, py, RandomRange(seed, 2, 4.5), RandomRange(seed, 1.5, 3), Darken(rock, 0.2), 0.8);
    }
}

const Color kEarth = Hex(0x7a5232), kSandRock = Hex(0xc8a060);

// A coloured wire along the points, with a dark edge.
void Wire(cairo_t* cr, const std::vector<double>& xy, const Color& color) {
    for (int pass = 0; pass < 2; ++pass) {
        cairo_new_path(cr);
        cairo_move_to(cr, xy[0], xy[1]);
        for (size_t i = 2; i + 1 < xy.size(); i += 2) cairo_line_to(cr, xy[i], xy[i + 1]);
        SetColor(cr, pass ? color : Darken(color, 0.5));
        cairo_set_line_width(cr, pass ? 2.5 : 4.5);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
}

// Rings around (cx, cy), or their arcs from angle a0 to a1: a pulse, a
// whistle, a burst.
void Rings(cairo_t* cr, double cx, double cy, double r0, double step, int count, const Color& color, double a0 = 0,
           double a1 = 2 * M_PI) {
    for (int i = 0; i < count; ++i) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r0 + i * step, a0, a1);
        SetColor(cr, WithAlpha(color, color.a * (1.0 - 0.25 * i)));
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    }
}

void Note(cairo_t* cr, double x, double y, double size) {
    OutlinedEllipse(cr, x, y, size * 0.55, size * 0.4, kInk, 0);
    Line(cr, x + size * 0.5, y, x + size * 0.5, y - size * 1.6, kInk, 1.8);
    Line(cr, x + size * 0.5, y - size * 1.6, x + size * 1.1, y - size * 1.2, kInk, 1.8);
}

// A key of the keyboard with an arrow or a digit on it.
void KeyCap(cairo_t* cr, double x, double y, double size, Icon icon, const std::string& label = "") {
    OutlinedRoundedRect(cr, x, y + 3, size, size, 6, Hex(0x8a7a62), 1.5);
    OutlinedRoundedRect(cr, x, y, size, size - 2, 6, Hex(0xf6efe0), 1.5);
    Highlight(cr, x + size * 0.35, y + size * 0.25, size * 0.25, size * 0.12, 0.5);
    if (label.empty())
        DrawIcon(cr, x + size / 2, y + size / 2 - 1, size * 0.55, icon, kInk);
    else
        Text(cr, label, x + size / 2, y + size * 0.16, size * 0.58, kInk, FONT_SANS_BOLD, ALIGN_CENTER);
}

// One tongue of flame standing on (cx, base), leaning a little to the right.
void Tongue(cairo_t* cr, double cx, double base, double w, double h, const Color& color) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx - w / 2, base);
    cairo_curve_to(cr, cx - w / 2, base - h * 0.5, cx - w * 0.1, base - h * 0.7, cx + w * 0.15, base - h);
    cairo_curve_to(cr, cx + w * 0.25, base - h * 0.6, cx + w / 2, base - h * 0.45, cx + w / 2, base);
    cairo_arc(cr, cx, base, w / 2, 0, M_PI);
    cairo_close_path(cr);
    SetColor(cr, color);
    cairo_fill(cr);
}

// Wood alight: flames rising out of the thing in the cell whose top-left
// corner is (left, top), over a warm glow.
void Flames(cairo_t* cr, double left, double top) {
    RadialGlow(cr, left + 12, top + 8, 22, Hex(0xff8a2a, 0.45));
    const struct {
        double dx, w, h;
    } tongues[] = {{5, 8, 15}, {12.5, 10, 24}, {19.5, 8, 17}};
    for (const auto& t : tongues) Tongue(cr, left + t.dx, top + 17, t.w, t.h, Hex(0xe2461a, 0.95));
    for (const auto& t : tongues) Tongue(cr, left + t.dx, top + 17, t.w * 0.55, t.h * 0.62, Hex(0xffc73a));
    for (const auto& t : tongues) Tongue(cr, left + t.dx, top + 17, t.w * 0.25, t.h * 0.3, Hex(0xfff4c0));
}

// A heavy object falling: a crate seen mid-air with speed marks above it.
void FallMarks(cairo_t* cr, double cx, double top) { Streaks(cr, cx, top - 4, 0, 1, 22); }

// A registered picture scaled and centred on (cx, cy).
void PaintCentred(cairo_t* cr, const CArtRegistry* reg, const std::string& name, double cx, double cy,
                  double scale) {
    const CArtRegistry::Art* art = reg->Find(name);
    if (!art) return;
    cairo_save(cr);
    cairo_translate(cr, cx - art->width * scale / 2, cy - art->height * scale / 2);
    cairo_scale(cr, scale, scale);
    reg->Paint(cr, name, 0, 0);
    cairo_restore(cr);
}

// A registered picture drawn at `scale` times its size, what it draws (its
// pixels that are not see-through) centred on column cx and ending on row
// bottom.
void PaintStanding(cairo_t* cr, const CArtRegistry* reg, const std::string& name, double cx, double bottom,
                   double scale) {
    const CArtRegistry::Art* art = reg->Find(name);
    if (!art) return;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(art->width * scale)),
                                                    static_cast<int>(std::ceil(art->height * scale)));
    cairo_t* c = cairo_create(s);
    reg->Paint(c, name, 0, 0, scale);
    cairo_destroy(c);
    cairo_surface_flush(s);
    const unsigned char* px = cairo_image_surface_get_data(s);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    int left = w, right = -1, lowest = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t argb;
            std::memcpy(&argb, px + y * stride + x * 4, 4);
            if ((argb >> 24) < 32) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            lowest = y;
        }
    if (right >= 0) {
        cairo_set_source_surface(cr, s, std::round(cx - (left + right + 1) / 2.0), std::round(bottom - (lowest + 1)));
        cairo_paint(cr);
    }
    cairo_surface_destroy(s);
}

// The inflatables float each over its own shadow, all at one scale, so
// that they stand in the sizes of play, and in frames of one size, so that
// the game puts them in a row with their undersides level.
constexpr double kInflatableScale = 3;

void AddFloating(CArtRegistry& reg, const std::string& name, const std::string& thing) {
    const CArtRegistry* r = &reg;
    reg.Add(name, 126, 112, [r, thing](cairo_t* cr, int w, int h) {
        SoftOval(cr, w / 2.0, h - 8, 40, 6, Hex(0x000000, 0.3));
        PaintStanding(cr, r, thing, w / 2.0, h - 19, kInflatableScale);
    });
}

// A ladder in the column of cells at `left`, from the ledge whose top is
// `top` down to the floor whose top is `floor`, as levels build them: every
// scene's ledge lies on its left, and its platform's plank reaches that side.
std::vector<Piece> Ladder(int left, int top, int floor) {
    std::vector<Piece> rungs = {{"laddertop.tga", left, top}, {"ladderplatformleft.tga", left, top}};
    for (int y = top + 24; y < floor - 24; y += 24) rungs.push_back({"laddermiddle.tga", left, y});
    rungs.push_back({"ladderbottom.tga", left, floor - 24});
    return rungs;
}

std::vector<Piece> Join(std::vector<Piece> a, const std::vector<Piece>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A block of ground cut open to show what lies inside it, under a ledge.
void CutAway(cairo_t* cr, double x0, double x1, double top, double bottom, const Color& rock) {
    cairo_new_path(cr);
    const double r = 16;
    cairo_move_to(cr, x0, top);
    cairo_line_to(cr, x1, top);
    cairo_line_to(cr, x1, bottom - r);
    cairo_arc(cr, x1 - r, bottom - r, r, 0, M_PI / 2);
    cairo_line_to(cr, x0 + r, bottom);
    cairo_arc(cr, x0 + r, bottom - r, r, M_PI / 2, M_PI);
    cairo_close_path(cr);
    FillGround(cr, top, bottom, rock);
    // Layers of the ground.
    for (double y = top + 22; y < bottom - 8; y += 22)
        Line(cr, x0 + 6, y, x1 - 6, y + 3, WithAlpha(Darken(rock, 0.35), 0.35), 1.2);
}

std::vector<Scene> Scenes() {
    std::vector<Scene> scenes;
    // Crates: the professor, up the ladder on his ledge (the game's, at
    // cells 168 to 216, top 298), pushes a crate off; it falls to the floor,
    // where a glowing metal crate has set the wooden one beside it alight and
    // cools, as glowing metal does once it has, while the ones behind it
    // glow on; more crates wait on a ledge and on the floor.
    scenes.push_back({"picture_crates.tga", 106, 158, 600, 500, [](cairo_t* cr) { FallMarks(cr, 156, 370); },
                   Join({{"grass19.png", 128, 466}, {"cratestill0.tga", 144, 378}},
                        Join(Ladder(240, 298, 466), {{"metalcrateheated.png", 380, 442},
                                                     {"metalcratecooling2.png", 404, 442},
                                                     {"metalcrateheated.png", 404, 418},
                                                     {"cratestill0.tga", 428, 442},
                                                     {"grass4.png", 456, 346},
                                                     {"cratestill0.tga", 456, 322},
                                                     {"metalcratestill0.tga", 504, 322},
                                                     {"cratestill0.tga", 544, 442}})),
                   nullptr, {{428, 442}}});
    // Barrels: the game's ledge at cells 400 to 472, top 330, with a barrel
    // at its end and the professor beside it; barrels roll off the edge down
    // to the floor, and a metal one waits on the ledge above.
    scenes.push_back({"picture_barrels.tga", 475, 134, 646, 500,
                   [](cairo_t* cr) {
                       DashedPath(cr, 500, 318, 548, 330, 572, 428);
                       Streaks(cr, 578, 458, 1, 0, 18);
                   },
                   {{"grass3.png", 536, 226}, {"metalbarrel0.png", 560, 202}, {"grass6.png", 490, 470},
                    {"barrel0.tga", 592, 446}}});
    // Magnets: the game's ledge at cells 120 to 168, top 330, where two
    // magnets each hold a metal crate (which no push moves: held, and on
    // sand); a ladder down to the floor, where a
    // magnet holds a metal barrel right in front of its face and another
    // holds a bot; a magnet holds a gate.
    scenes.push_back({"picture_magnets.tga", 75, 129, 620, 500, nullptr,
                   Join(Join({{"sand18.png", 120, 450}}, Ladder(192, 330, 450)),
                        {{"magnetrightstill0.tga", 240, 426},
                         {"metalbarrel0.png", 264, 426},
                         {"magnetrightstill0.tga", 456, 426},
                         {"botmagnetleft0.png", 480, 426},
                         {"sand5.png", 408, 330},
                         {"magnetrightstill0.tga", 432, 306},
                         {"gatebackmagnet1.tga", 456, 306},
                         {"gatefrontmagnet1.tga", 456, 306}})});
    // Buttons and gates: the game's sand ledge at cells 252 to 396, top 332,
    // with a red gate shut beside its button, which nothing presses, the
    // professor and a yellow gate standing open. The picture cuts the ground
    // below open: wires join each button to the gates of its colour, the
    // yellow one to a button on the lower step that a barrel holds down.
    scenes.push_back({"picture_gates.tga", 242, 355, 600, 500,
                   [](cairo_t* cr) {
                       // The ground and the wires begin just under the picture's top,
                       // where the game's ledge ends above them.
                       CutAway(cr, 246, 432, 357, 478, kSandRock);
                       CutAway(cr, 430, 538, 440, 490, kSandRock);
                       Wire(cr, {311, 359, 311, 394, 263, 394, 263, 359}, Hex(0xd8342c));
                       Wire(cr, {407, 359, 407, 462, 496, 462, 496, 444}, Hex(0xf0c419));
                   },
                   {{"sand4.png", 436, 420}, {"buttonyellow0.tga", 484, 396}, {"barrel0.tga", 484, 396}}});
    // Trampolines: an upright trampoline throws back what runs into it, the
    // way it came, but a bot that chases the professor stays pressed against
    // the canvas. On the game's floor (cells 250 to 442, top 450) the
    // professor (cell 250) has pushed a barrel into the trampoline at cell
    // 322, whose canvas it stretches; the marks show it going in and coming
    // back. A shot turns back in the game's second trampoline (cell 394). On
    // a ledge to the right (cells 466 to 538, top 380) a bot runs after the
    // professor into a trampoline (cell 490) and leans into its canvas, with
    // no way back.
    scenes.push_back({"picture_trampolines.tga", 233, 298, 620, 500,
                   [](cairo_t* cr) {
                       DashedPath(cr, 280, 441, 296, 441, 312, 441);
                       DashedPath(cr, 314, 414, 298, 414, 282, 414);
                       DashedPath(cr, 476, 421, 450, 421, 424, 421);
                       DashedPath(cr, 448, 440, 464, 440, 480, 440);
                       Streaks(cr, 486, 366, 1, 0, 18);
                   },
                   {{"frostballright3.tga", 418, 426},
                    {"sand4.png", 466, 380},
                    {"trampolineback0.tga", 490, 356},
                    {"botpushright5.png", 490, 356},
                    {"trampolinestretchleftfull.tga", 490, 356},
                    {"trampolinefront0.tga", 490, 356},
                    {"profstandleft0.tga", 538, 356}}});
    // Bridges: the bridge is the game's, eight planks on the cells 322 to
    // 514, top 394, from the near bank to the far one, as a level lays one
    // across a gap. Each plank falls as he steps off it: the first five he
    // has left fall, the longer ago the further, and he walks on the sixth
    // (x 442), the first still whole, so that it and the two ahead of him
    // hold. The picture is the two banks and the professor; nothing but
    // planks falls where the bridge gave way, as a bridge holds whatever
    // stands on it.
    scenes.push_back({"instructions_shadowbridge.png", 230, 340, 640, 500,
                   [](cairo_t* cr) {
                       RockUnder(cr, 250, 322, 400, 490, kEarth);
                       RockUnder(cr, 514, 610, 400, 492, kEarth);
                   },
                   {{"grass3b.png", 250, 394}, {"grass4.png", 514, 394}, {"profrunright4.tga", 442, 370}}});
    // Teleports: the professor runs into a teleport at the left end of the
    // game's ledge (cells 88 to 232, top 300) and comes out of its partner.
    scenes.push_back({"instructions_shadowteleport.png", 63, 200, 620, 500,
                   [](cairo_t* cr) { DashedPath(cr, 110, 334, 330, 470, 500, 400); },
                   {{"grass6.png", 448, 450},
                    {"teleport_frameback.png", 520, 426},
                    {"teleport_spiralblue0.png", 520, 426},
                    {"teleport_frameblue0.png", 520, 426},
                    {"profrunleft5.tga", 496, 426}}});
    // Inflatable bridges: the two banks; the bridge (cells 322 to 514, top
    // 394) and the professor are the game's.
    scenes.push_back({"instructions_shadowinflbridge.png", 227, 372, 640, 500,
                   [](cairo_t* cr) {
                       RockUnder(cr, 250, 322, 400, 490, kEarth);
                       RockUnder(cr, 514, 586, 400, 490, kEarth);
                   },
                   {{"grass3.png", 250, 394}, {"grass3.png", 514, 394}}});
    // Inflatable teleports: the game's ledge (cells 250 to 394, top 430)
    // runs into a red inflatable teleport; its partner stands above.
    scenes.push_back({"instructions_shadowinflteleport.png", 415, 170, 640, 500,
                   [](cairo_t* cr) { DashedPath(cr, 436, 396, 460, 250, 520, 262); },
                   {{"grass4.png", 500, 300},
                    {"teleportinflatable_red3back.png", 500, 276},
                    {"teleport_spiralred0.png", 500, 276},
                    {"teleportinflatable_red3front.png", 500, 276},
                    {"profrunright3.tga", 548, 276}}});
    // The heat and frost guns: a tower of ledges (cells 496 to 616) joined
    // by a ladder in the column beside them, with a platform where each
    // ledge meets it and the floor running on under its foot. The professor's heat shot
    // strikes the ice block: it bursts on the block, which begins to steam in
    // that frame, as he begins to lower the gun (the shot flies its four
    // cells while his firing plays). Glowing metal has set the wooden crate
    // beside it alight and cools; a frost shot bursts on the bot it has just
    // frozen.
    scenes.push_back({"instructions_heatgun.png", 480, 148, 652, 500, nullptr,
                   Join(Ladder(616, 250, 470), {{"grass5.png", 496, 250},
                                                {"ice1.png", 496, 226},
                                                {"heatgunimpact0.png", 496, 226},
                                                {"icemeltingsteam0.png", 496, 226},
                                                {"proffireheatgunleft9.png", 592, 226},
                                                {"grass5.png", 496, 360},
                                                {"ladderplatformleft.tga", 616, 360},
                                                {"metalcratecooling2.png", 520, 336},
                                                {"cratestill0.tga", 544, 336},
                                                {"grass6.png", 496, 470},
                                                {"frostexplode5.tga", 520, 446},
                                                {"botfrozen.png", 520, 446}}),
                   nullptr, {{544, 336}}});
    // The EMP: the pulse stops a bot beside the professor and switches off a
    // magnet below, sparking over it, which lets its metal crate be.
    scenes.push_back({"picture_emp.tga", 501, 148, 646, 500,
                   [](cairo_t* cr) {
                       Rings(cr, 557, 250, 16, 12, 3, Hex(0x5ab0ff, 0.8));
                   },
                   Join(Ladder(608, 290, 470), {{"grass4.png", 512, 290},
                                                {"profemp5.tga", 536, 266},
                                                {"botstunnedleft1.png", 584, 266},
                                                {"grass5.png", 512, 470},
                                                {"magnetrightstill0.tga", 512, 446},
                                                {"magnetemp5.tga", 512, 446},
                                                {"metalcratestill0.tga", 560, 446}})});
    // The whistle: the professor whistles and the bots around him wake; the
    // one that hung under his ledge has let go and drops to the floor. The
    // scene stands as far below the text as above the buttons.
    scenes.push_back({"picture_whistle.tga", 103, 183, 620, 500,
                   [](cairo_t* cr) {
                       Note(cr, 380, 258, 8);
                       Note(cr, 400, 236, 7);
                       Note(cr, 324, 246, 7);
                       Rings(cr, 362, 286, 18, 14, 3, Hex(0xd08a1a, 0.8), -0.7, 0.7);
                       Rings(cr, 342, 286, 18, 14, 3, Hex(0xd08a1a, 0.8), M_PI - 0.7, M_PI + 0.7);
                       FallMarks(cr, 292, 386);
                       OutlinedText(cr, "!", 220, 380, 24, Hex(0xd8342c), Hex(0xffffff), 2, FONT_SANS_BOLD,
                                    ALIGN_CENTER);
                       OutlinedText(cr, "!", 516, 380, 24, Hex(0xd8342c), Hex(0xffffff), 2, FONT_SANS_BOLD,
                                    ALIGN_CENTER);
                   },
                   {{"grass6.png", 280, 336},
                    {"profwhistle4.tga", 328, 312},
                    {"grass4.png", 208, 446},
                    {"botstandright.png", 208, 422},
                    {"botfall10.png", 280, 390},
                    {"grass4.png", 456, 446},
                    {"botrunleft3.png", 504, 422}}});
    return scenes;
}

}  // namespace

namespace InterfaceFamilies {

std::vector<InstructionScene> InstructionScenes() {
    std::vector<InstructionScene> scenes;
    for (const Scene& scene : Scenes()) scenes.push_back({scene.name, scene.pieces, scene.burning});
    return scenes;
}

void RegisterInstructions(CArtRegistry& reg) {
    for (const Scene& scene : Scenes()) AddScene(reg, scene);
    const CArtRegistry* r = &reg;
    // Moving about: the keys that move the professor, beside the text.
    reg.Add("picture_basic_movement.tga", 150, 112, [](cairo_t* cr, int w, int h) {
        OutlinedRoundedRect(cr, 1.75, 1.75, w - 3.5, h - 3.5, 8, Hex(0xf3e3bf, 0.9), 1.5);
        const double k = 40, gap = 6, x0 = (w - 3 * k - 2 * gap) / 2;
        KeyCap(cr, x0 + k + gap, 12, k, ICON_UP);
        KeyCap(cr, x0, 12 + k + gap, k, ICON_LEFT);
        KeyCap(cr, x0 + k + gap, 12 + k + gap, k, ICON_DOWN);
        KeyCap(cr, x0 + 2 * (k + gap), 12 + k + gap, k, ICON_RIGHT);
    });
    // Ground: the three kinds at one and a half times their size, on a card.
    reg.Add("picture_terrain.tga", 150, 150, [r](cairo_t* cr, int w, int h) {
        OutlinedRoundedRect(cr, 1.75, 1.75, w - 3.5, h - 3.5, 8, Hex(0xf3e3bf, 0.9), 1.5);
        VerticalGradient(cr, 4, 4, w - 8, h * 0.7, Hex(0xbfe0f0, 0.6), Hex(0xf3e3bf, 0));
        cairo_scale(cr, 1.5, 1.5);
        r->Paint(cr, "grass1.png", 6, 10);
        r->Paint(cr, "sand1.png", 52, 10);
        r->Paint(cr, "ice1.png", 38, 52);
    });
    AddFloating(reg, "picture_inflatable_crate.tga", "crateinflatablestill0.tga");
    AddFloating(reg, "picture_inflatable_magnet.tga", "magnetinflatablerightstill0.tga");
    AddFloating(reg, "picture_inflatable_barrel.tga", "barrelinflatable0.tga");
    // The inventory as the play screen shows it, slot by slot with its key,
    // below the text that starts at page y 117 and ends above y 200.
    reg.Add("picture_root_menu4.tga", 540, 300, [r](cairo_t* cr, int w, int) {
        const char* icons[] = {"iconfrostgun4.tga", "iconheatgun4.png", "iconemp4.tga", "iconwhistle4.tga",
                               "iconbridge4.png"};
        const char* digits[] = {"1", "2", "3", "4", "5"};
        const double slot = 76, gap = 16, x0 = (w - 5 * slot - 4 * gap) / 2, y0 = 80;
        OutlinedRoundedRect(cr, x0 - 14, y0 - 12, 5 * slot + 4 * gap + 28, slot + 24, 12, Hex(0x8a5a2b), 2);
        for (int i = 0; i < 5; ++i) {
            const double x = x0 + i * (slot + gap);
            OutlinedRoundedRect(cr, x, y0, slot, slot, 10, Hex(0xf6efe0), 1.5);
            PaintCentred(cr, r, icons[i], x + slot / 2, y0 + slot / 2, 1.8);
            DashedPath(cr, x + slot / 2, y0 + slot + 66, x + slot / 2, y0 + slot + 40, x + slot / 2, y0 + slot + 18);
            KeyCap(cr, x + slot / 2 - 20, y0 + slot + 72, 40, ICON_UP, digits[i]);
        }
    });
}

}  // namespace InterfaceFamilies
