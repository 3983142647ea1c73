// The level map: an old sea chart of the island with the path the level dots
// sit on, the set and command buttons, the dots in every state and the
// tutorial stars.
#include <cmath>
#include <string>
#include <vector>

#include "images/CCaptions.h"
#include "images/DrawKit.h"
#include "images/InterfaceFamilies.h"
#include "images/InterfaceKit.h"
#include "images/SceneArt.h"
#include "screens/LevelDotLayouts.h"
#include "world/CLevelSet.h"

using namespace DrawKit;
using namespace InterfaceKit;

namespace InterfaceFamilies {

void DrawMapTrack(cairo_t* cr) {
    cairo_save(cr);
    cairo_new_path(cr);
    for (const DotPosition& p : GetMapTrack()) cairo_line_to(cr, p.x, p.y);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColor(cr, Hex(0xf3e3bf, 0.8));
    cairo_set_line_width(cr, 11);
    cairo_stroke_preserve(cr);
    SetColor(cr, Hex(0x8a5a2a));
    cairo_set_line_width(cr, 3);
    const double dash[] = {7, 5};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawStarPost(cairo_t* cr, double x0, double y0, double x1, double y1) {
    Line(cr, x0, y0, x1, y1, Hex(0x8a5a2a), 2);
}

}  // namespace InterfaceFamilies

namespace {

void MapBackground(cairo_t* cr, int w, int h) {
    // The game's own dot table: the track runs under every set's dots.
    const std::vector<DotPosition> track = GetMapTrack();
    // Sea with a chart's grid lines.
    VerticalGradient(cr, 0, 0, w, h, Hex(0x6a9ab0), Hex(0x3f6f8a));
    for (int x = 0; x < w; x += 50) Line(cr, x, 0, x, h, Hex(0xffffff, 0.08), 1);
    for (int y = 0; y < h; y += 50) Line(cr, 0, y, w, y, Hex(0xffffff, 0.08), 1);
    // The island, a blob around the path.
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 330);
    cairo_curve_to(cr, 80, 300, 150, 150, 330, 150);
    cairo_curve_to(cr, 520, 150, 660, 230, 650, 380);
    cairo_curve_to(cr, 640, 540, 450, 580, 300, 570);
    cairo_curve_to(cr, 150, 560, 40, 470, 0, 450);
    cairo_close_path(cr);
    cairo_path_t* island = cairo_copy_path(cr);
    SetColor(cr, Hex(0xe0b862));
    cairo_fill(cr);
    cairo_save(cr);
    cairo_append_path(cr, island);
    cairo_clip(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, 20, 340);
    cairo_curve_to(cr, 90, 310, 160, 175, 330, 172);
    cairo_curve_to(cr, 510, 172, 630, 245, 625, 380);
    cairo_curve_to(cr, 615, 520, 450, 555, 300, 548);
    cairo_curve_to(cr, 160, 540, 60, 460, 20, 440);
    cairo_close_path(cr);
    FillShaded(cr, Hex(0x6aa84f), 0);
    Speckle(cr, 0, 150, 660, 420, Hex(0x3f7f3a, 0.35), 260, 3, Seed("mapspeckle"));
    cairo_restore(cr);
    cairo_append_path(cr, island);
    SetColor(cr, Hex(0x8a6a3a));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_path_destroy(island);
    // The volcano itself is the menu's volcano sprite, laid over the map at
    // run time; the last levels climb its slope.
    for (int i = 0; i < 12; ++i) {
        uint32_t s = Seed("maptrees") + i * 31;
        const double x = RandomRange(s, 60, 600), y = RandomRange(s, 200, 520);
        bool nearPath = false;
        for (const DotPosition& p : track)
            if (std::hypot(p.x - x, p.y - y) < 26) nearPath = true;
        if (!nearPath) SceneArt::Palm(cr, x, y, 30, RandomRange(s, -6, 6), 0.9);
    }
    InterfaceFamilies::DrawMapTrack(cr);
    // Panels: the set scroll at the top left (set buttons, reset buttons and
    // the legend of the star and dot shown at (45, 149) and (45, 177)), the
    // level details at the top right and the command board at the lower right.
    Parchment(cr, 8, 6, 292, 200, Seed("mapscroll"));
    // The player's name is written at its top by the game.
    // The legend's star (its middle at (55, 162)) stands on a post over
    // the legend's dot, as the stars on the track do.
    InterfaceFamilies::DrawStarPost(cr, 55, 169, 55, 180);
    // Both captions start at one x, right of the star's post and the dot.
    const double legendTextX = 72;
    Text(cr, CCaptions::Shared().Get("map_legend_tutorial"), legendTextX, 156, 15, kInk, FONT_SANS, ALIGN_LEFT);
    Text(cr, CCaptions::Shared().Get("map_legend_level"), legendTextX, 179, 15, kInk, FONT_SANS, ALIGN_LEFT);
    // The level's best and the set's total are written at x 600, right of
    // these headings.
    Parchment(cr, 484, 6, 312, 124, Seed("mapinfo"));
    Text(cr, CCaptions::Shared().Get("map_best"), 590, 80, 14, kInk, FONT_SANS_BOLD, ALIGN_RIGHT);
    Text(cr, CCaptions::Shared().Get("map_total"), 590, 101, 14, kInk, FONT_SANS_BOLD, ALIGN_RIGHT);
    OutlinedRoundedRect(cr, 628, 498, 168, 96, 8, Hex(0x6a4520, 0.9), 2);
    // A compass rose in the sea.
    const double cx = 62, cy = 532;
    OutlinedEllipse(cr, cx, cy, 34, 34, Hex(0xf3e3bf, 0.85), 1.5);
    const double ns[] = {cx, cy - 30, cx + 7, cy, cx, cy + 30, cx - 7, cy};
    OutlinedPolygon(cr, ns, 4, Hex(0xd8342c), 1);
    const double ew[] = {cx - 30, cy, cx, cy - 7, cx + 30, cy, cx, cy + 7};
    OutlinedPolygon(cr, ew, 4, Hex(0x2a3a5a), 1);
    Text(cr, "N", cx, cy - 52, 14, Hex(0xffffff), FONT_SERIF_BOLD, ALIGN_CENTER);
}

enum DotKind { DOT_COMPLETED, DOT_INCOMPLETE, DOT_LOCKED, DOT_GHOSTED, DOT_SELECTED };

// A dot, its rim and glow a pixel inside its picture.
void Dot(cairo_t* cr, int w, int h, DotKind kind, double scale, bool roll, double pulse) {
    const double cx = w / 2.0, cy = h / 2.0, r = 7.2 * scale;
    if (kind == DOT_SELECTED)
        RadialGlow(cr, cx, cy, std::min(r + 3 + 3 * pulse, std::min(w, h) / 2.0 - 1), Hex(0xffffff, 0.5 + 0.4 * pulse));
    Color fill = Hex(0xf0c419);
    if (kind == DOT_COMPLETED) fill = Hex(0x4caf3f);
    if (kind == DOT_LOCKED) fill = Hex(0x8d99a6);
    if (kind == DOT_GHOSTED) fill = Hex(0x8d99a6, 0.5);
    if (kind == DOT_SELECTED) fill = Hex(0xd8342c);
    if (roll) fill = Lighten(fill, 0.35);
    OutlinedEllipse(cr, cx, cy, r, r, fill, 1.5);
    Highlight(cr, cx - r * 0.3, cy - r * 0.35, r * 0.4, r * 0.3, 0.6);
    if (kind == DOT_COMPLETED && scale > 0.5) DrawIcon(cr, cx, cy, r * 1.2, ICON_CHECK, Hex(0xffffff));
    if ((kind == DOT_LOCKED || kind == DOT_GHOSTED) && scale > 0.5) {
        OutlinedRoundedRect(cr, cx - r * 0.45, cy - r * 0.1, r * 0.9, r * 0.65, 1, Hex(0x5b4a3a), 0);
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy - r * 0.1, r * 0.3, M_PI, 2 * M_PI);
        SetColor(cr, Hex(0x5b4a3a));
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
}

void StarPath(cairo_t* cr, double cx, double cy, double r, double rot) {
    cairo_new_path(cr);
    for (int i = 0; i < 10; ++i) {
        const double a = rot - M_PI / 2 + i * M_PI / 5;
        const double rr = (i % 2) ? r * 0.45 : r;
        if (i == 0)
            cairo_move_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
        else
            cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
}

// A star with its glow, which ends where the picture's sides leave room
// (maxGlow from the middle).
void Star(cairo_t* cr, double cx, double cy, double r, double rot, const Color& fill, double glow, double maxGlow) {
    if (glow > 0) RadialGlow(cr, cx, cy, std::min(r * 1.6, maxGlow), Hex(0xfff0a0, glow));
    StarPath(cr, cx, cy, r, rot);
    FillShaded(cr, fill, 1.2);
    Highlight(cr, cx - r * 0.2, cy - r * 0.3, r * 0.3, r * 0.2, 0.6);
}

// The spinning tutorial star of the map, its middle 13 pixels down the
// picture and across its width: the game stands it where the dot table
// says (GetStarCentre), on its own post picture. A star of radius 7,
// outline included, spins clear of its neighbours and of every dot, even
// pulsing at its largest.
constexpr int kStarW = 20, kStarH = 26;
constexpr double kStarR = 7;

void TutorialStar(cairo_t* cr, int w, int, double r, double rot, const Color& fill, double glow) {
    Star(cr, w / 2.0, 13, r, rot, fill, glow, std::min(w / 2.0, 13.0) - 1);
}

// The tutorial star over a dot: a star on a short post.
void MapDotStar(cairo_t* cr, int w, int h, double scale, bool ghosted, double pulse) {
    const Color fill = ghosted ? Hex(0xb0b0a0, 0.6) : Hex(0xf0c419);
    if (!ghosted) Line(cr, w / 2.0, h - 3, w / 2.0, h - 12, Hex(0x8a5a2a), 2 * scale);
    Star(cr, w / 2.0, h / 2.0 - 3, 8 * scale, 0, fill, ghosted ? 0 : 0.2 + 0.5 * pulse, w / 2.0 - 1);
}

}  // namespace

namespace InterfaceFamilies {

void RegisterMap(CArtRegistry& reg) {
    reg.Add("map_background.jpg", 800, 600, MapBackground);

    const int D = 18;
    struct DotSet {
        const char* prefix;
        DotKind kind;
    };
    for (const DotSet& d : {DotSet{"mapdotregularcompleted", DOT_COMPLETED}, DotSet{"mapdotregularincomplete", DOT_INCOMPLETE}}) {
        const DotKind k = d.kind;
        reg.Add(std::string(d.prefix) + "base.png", D, D, [k](cairo_t* cr, int w, int h) { Dot(cr, w, h, k, 1, false, 0); });
        reg.Add(std::string(d.prefix) + "rollover.png", D, D, [k](cairo_t* cr, int w, int h) { Dot(cr, w, h, k, 1, true, 0); });
        for (int s = 1; s <= 3; ++s)
            reg.Add(std::string(d.prefix) + "shrink" + std::to_string(s) + ".png", D, D,
                    [k, s](cairo_t* cr, int w, int h) { Dot(cr, w, h, k, 1 - 0.22 * s, false, 0); });
    }
    reg.Add("mapdotregularlockedbase.png", D, D, [](cairo_t* cr, int w, int h) { Dot(cr, w, h, DOT_LOCKED, 1, false, 0); });
    reg.Add("mapdotregularlockedghosted.png", D, D, [](cairo_t* cr, int w, int h) { Dot(cr, w, h, DOT_GHOSTED, 1, false, 0); });
    for (int s = 1; s <= 3; ++s) {
        reg.Add("mapdotregularlockedghostedshrink" + std::to_string(s) + ".png", D, D,
                [s](cairo_t* cr, int w, int h) { Dot(cr, w, h, DOT_GHOSTED, 1 - 0.22 * s, false, 0); });
        reg.Add("mapdotregularlockedshrink" + std::to_string(s) + ".png", D, D,
                [s](cairo_t* cr, int w, int h) { Dot(cr, w, h, DOT_LOCKED, 1 - 0.22 * s, false, 0); });
        reg.Add("mapdotregularselectedshrink" + std::to_string(s) + ".png", D, D,
                [s](cairo_t* cr, int w, int h) { Dot(cr, w, h, DOT_SELECTED, 1 - 0.22 * s, false, 0); });
    }
    for (int p = 0; p <= 5; ++p)
        // Drawn where the dot is drawn, so it lies exactly over it.
        reg.Add("mapdotregularselectedpulse" + std::to_string(p) + ".png", D, D, [p](cairo_t* cr, int w, int h) {
            const double t = p / 5.0;
            Dot(cr, w, h, DOT_SELECTED, 0.88 + 0.12 * t, false, t);
        });

    // The ring of the dot or star that holds the focus: the gold of the
    // toolbox's frame, edged dark so that it shows on grass, sand and sea.
    reg.Add("mapdotfocus.png", 30, 30, [](cairo_t* cr, int w, int h) {
        auto ring = [&](const Color& color, double width) {
            EllipsePath(cr, w / 2.0, h / 2.0, 11, 11);
            SetColor(cr, color);
            cairo_set_line_width(cr, width);
            cairo_stroke(cr);
        };
        ring(Hex(0x3a2410, 0.85), 4.5);
        ring(Hex(0xffe25a), 2.5);
    });

    reg.Add("mapdotstarbase.png", 20, 30, [](cairo_t* cr, int w, int h) { MapDotStar(cr, w, h, 1, false, 0); });
    reg.Add("mapdotstarghosted.png", 20, 30, [](cairo_t* cr, int w, int h) { MapDotStar(cr, w, h, 1, true, 0); });
    for (int s = 1; s <= 3; ++s) {
        reg.Add("mapdotstarghostedshrink" + std::to_string(s) + ".png", 20, 30,
                [s](cairo_t* cr, int w, int h) { MapDotStar(cr, w, h, 1 - 0.22 * s, true, 0); });
        reg.Add("mapdotstarshrink" + std::to_string(s) + ".png", 20, 30,
                [s](cairo_t* cr, int w, int h) { MapDotStar(cr, w, h, 1 - 0.22 * s, false, 0); });
    }
    for (int p = 1; p <= 5; ++p)
        reg.Add("mapdotstarpulse" + std::to_string(p) + ".png", 20, 30,
                [p](cairo_t* cr, int w, int h) { MapDotStar(cr, w, h, 1 + 0.05 * std::sin(p * M_PI / 5), false, std::sin(p * M_PI / 5)); });

    // The spinning star of a completed set, its glowing pulse and its entrance.
    for (int f = 0; f < 60; ++f) {
        reg.Add("star_base" + std::to_string(f) + ".png", kStarW, kStarH, [f](cairo_t* cr, int w, int h) {
            TutorialStar(cr, w, h, kStarR, f * 2 * M_PI / 5 / 60, Hex(0xf0c419), 0.2);
        });
        reg.Add("star_pulse" + std::to_string(f) + ".png", kStarW + 8, kStarH, [f](cairo_t* cr, int w, int h) {
            const double p = 0.5 + 0.5 * std::sin(f * 2 * M_PI / 60);
            TutorialStar(cr, w, h, kStarR + 1.5 * p, f * 2 * M_PI / 5 / 60, Hex(0xffd84a), 0.3 + 0.5 * p);
        });
    }
    for (int f = 0; f < 14; ++f)
        reg.Add("star_appear" + std::to_string(f) + ".png", kStarW, kStarH, [f](cairo_t* cr, int w, int h) {
            const double t = (f + 1) / 14.0;
            // Grows past its size a little and settles, inside its picture.
            const double s = t < 0.8 ? t / 0.8 * 1.05 : 1.05 - (t - 0.8) / 0.2 * 0.05;
            TutorialStar(cr, w, h, kStarR * s, (1 - t) * 2.5, Hex(0xf0c419), 0.7 * (1 - t) + 0.2);
        });
    // Each tutorial star's post, from its dot's middle to the star's.
    for (int n = 0; n < GetLevelDotCount(0); ++n) {
        if (!IsTutorialLevel(0, n)) continue;
        const DotBox box = GetStarPostBox(0, n);
        const DotPosition dot = GetLevelDotPosition(0, n), star = GetStarCentre(0, n);
        reg.Add("mapstarpost" + std::to_string(n) + ".png", box.w, box.h, [box, dot, star](cairo_t* cr, int, int) {
            InterfaceFamilies::DrawStarPost(cr, dot.x + kDotMiddle - box.x, dot.y + kDotMiddle - box.y, star.x - box.x,
                                            star.y - box.y);
        });
    }

    // Buttons: the set buttons get their words at run time.
    ButtonLook wood;
    wood.radius = 6;
    wood.textSize = 13;
    // Light plates: the game paints the set's name and percentage in ink.
    ButtonLook light = wood;
    light.base = Hex(0xe2c98f);
    AddButtons(reg, "map_buttonlevelset_", {"base", "rollover", "shadow"}, ".png", 180, 22, light, "");
    for (const char* s : {"regular", "advanced", "kids"})
        AddCaption(reg, std::string("map_buttonlevelset_text") + s + ".png", 180, 22, std::string("map_set_") + s, 16,
                   kInk, FONT_SERIF_BOLD, ALIGN_LEFT);
    AddButtons(reg, "map_buttonchangereset_", {"base", "rollover", "shadow"}, ".png", 90, 22, wood, "");
    AddCaption(reg, "map_buttonchangereset_textreset.png", 90, 22, "map_reset", 13, Hex(0xfff3d6));
    AddCaption(reg, "map_buttonchangereset_textchange.png", 90, 22, "map_change", 13, Hex(0xfff3d6));
    // At (698, 85): the plate and its shadow end 6 pixels inside the
    // panel's torn edge (x 792 at the least). The plate starts 6 pixels into
    // its picture, clear of the level's best ("Incomplete") written at
    // (600, 77) left of it.
    const int scoresInset = 6;
    for (const char* suffix : {"base", "rollover", "shadow", "fade"}) {
        const std::string name = std::string("map_buttonhighscores_") + suffix + ".png";
        bool faded = false;
        const ButtonState state = StateOfName(name, &faded);
        reg.Add(name, 86, 22, [=](cairo_t* cr, int w, int h) {
            cairo_translate(cr, scoresInset, 0);
            DrawButton(cr, w - scoresInset, h, state, faded, wood, "", ICON_NONE);
        });
    }
    reg.Add("map_buttonhighscores_text.png", 86, 22, [=](cairo_t* cr, int w, int h) {
        TextBox(cr, CCaptions::Shared().Get("map_highscores"), scoresInset + 2, 0, w - scoresInset - 4, h, 13,
                Hex(0xfff3d6), FONT_SANS_BOLD, ALIGN_CENTER);
    });
    AddButtons(reg, "map_buttonlowerright_", {"base", "rollover", "shadow"}, ".png", 150, 22, wood, "");
    for (const char* s : {"play", "levelmanager", "mainmenu"})
        AddCaption(reg, std::string("map_buttonlowerright_text") + s + ".png", 150, 22, std::string("map_") + s, 14,
                   Hex(0xfff3d6));

    // First-visit help: box at (614, 380), in the sea right of the dots,
    // text at (624, 387), the arrow bobbing at (684, 448) points down at the
    // Play button.
    reg.Add("mapoverviewboxlockedmain.png", 180, 110, [](cairo_t* cr, int w, int h) {
        Parchment(cr, 0, 0, w, h, Seed("mapoverviewboxlockedmain"));
    });
    AddCaption(reg, "maphelptext.png", 160, 56, "map_help", 15, kInk, FONT_SANS_BOLD);
    reg.Add("maphelparrow.png", 40, 40, [](cairo_t* cr, int, int) {
        const double arrow[] = {20, 37, 4, 20, 13, 20, 13, 3, 27, 3, 27, 20, 36, 20};
        OutlinedPolygon(cr, arrow, 7, Hex(0xd8342c), 1.5);
    });
    reg.Add("maphelparrowshadow.png", 40, 40, [](cairo_t* cr, int, int) {
        const double arrow[] = {20, 37, 4, 20, 13, 20, 13, 3, 27, 3, 27, 20, 36, 20};
        cairo_new_path(cr);
        PolygonPath(cr, arrow, 7);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_fill(cr);
    });
}

}  // namespace InterfaceFamilies
