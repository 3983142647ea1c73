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

// The laboratory behind the professor, who stands at 0.55 of its width: a
// shelf with bottles on either side of him, none behind his head or neck.
void Lab(cairo_t* cr, int w, int h) {
    VerticalGradient(cr, 0, 0, w, h, Hex(0x9a8a70), Hex(0x5a4a38));
    OutlinedRoundedRect(cr, w * 0.05, h * 0.62, w * 0.9, h * 0.08, 3, kWood, 1.5);
    const double bottles[] = {0.11, 0.26, 0.8, 0.91};
    for (int i = 0; i < 4; ++i)
        OutlinedEllipse(cr, w * bottles[i], h * 0.55, w * 0.04, h * 0.08,
                        i % 2 ? Hex(0x7ac0a0, 0.85) : Hex(0xd08ad0, 0.85), 1.5);
}

void Professor(cairo_t* cr, int w, int h) {
    ProfessorBust::Body(cr, w * 0.55, h * 0.62, w * 0.3, h * 0.38);
    ProfessorBust::Head(cr, w * 0.55, h * 0.45, std::min(w, h) * 0.14, 0, 0);
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
// where the lightning strikes, and slanting rain over everything.
void Storm(cairo_t* cr, int w, int h, uint32_t seed, double boltX) {
    for (int i = 0; i < 7; ++i) {
        const double cx = RandomRange(seed, -w * 0.1, w * 1.1), cy = RandomRange(seed, 0, h * 0.16);
        const double rx = RandomRange(seed, w * 0.14, w * 0.26), ry = RandomRange(seed, h * 0.08, h * 0.13);
        SoftOval(cr, cx, cy, rx, ry, Hex(0x1a2030, 0.85));
        SoftOval(cr, cx, cy + ry * 0.4, rx * 0.8, ry * 0.5, Hex(0x3a4660, 0.5));
    }
    Lightning(cr, boltX, h * 0.1, h * 0.5, seed);
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
    Storm(cr, static_cast<int>(w), static_cast<int>(h), seed, w * 0.62);
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
// column boltX.
void NightIsland(cairo_t* cr, int w, int h, uint32_t seed, double boltX) {
    SceneArt::IslandScene(cr, w, h, seed, 0.7);
    Night(cr, w, h);
    Light(cr, w * 0.62, h * 0.22, std::min(w, h) * 0.3, Hex(0xa04010, 0.8));
    Storm(cr, w, h, seed, boltX);
}

// An oil lamp standing on the shelf at (x, shelf), `height` tall, alight.
void OilLamp(cairo_t* cr, double x, double shelf, double height) {
    const double r = height * 0.28;
    Light(cr, x, shelf - height * 0.6, height * 1.2, Hex(0x805010, 0.7));
    OutlinedEllipse(cr, x, shelf - r * 0.6, r, r * 0.6, kBrass, 1.5);
    OutlinedEllipse(cr, x, shelf - height * 0.55, r * 0.2, r * 0.5, Hex(0xffd36b), 0);
    OutlinedEllipse(cr, x, shelf - height * 0.58, r * 0.6, height * 0.4, Hex(0xfff4d0, 0.3), 1.2);
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
    cairo_push_group(cr);
    reg->Paint(cr, name, -art->width * scale / 2, -art->height * scale / 2, scale);
    cairo_pattern_t* drawn = cairo_pop_group(cr);
    cairo_set_source(cr, drawn);
    cairo_paint(cr);
    SetColor(cr, Hex(0x101830, dusk));
    cairo_mask(cr, drawn);
    cairo_pattern_destroy(drawn);
    cairo_restore(cr);
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
    Trail,              // the professor follows a trail of scattered inventions
    SetsOff,            // the professor sets off
    BotsInTheDark,      // bots in the dark
    HomeAgain,          // home again: celebration
};

// One story panel; seed varies details.
void StoryPanel(cairo_t* cr, const CArtRegistry* reg, int w, int h, Panel panel, uint32_t seed) {
    const double small = std::min(w, h);
    switch (panel) {
    case Panel::Lab:
        Lab(cr, w, h);
        Professor(cr, w, h);
        break;
    case Panel::LabAtNight:
        // Working late by his lamp, the storm at the window behind him, on
        // the right (the page's caption covers the panel's top-left corner).
        Lab(cr, w, h);
        Professor(cr, w, h);
        Night(cr, w, h, Hex(0x5a6088));
        StormWindow(cr, w * 0.66, h * 0.08, w * 0.28, h * 0.32, seed);
        Light(cr, w * 0.45, h * 0.55, small * 0.8, Hex(0x7a5a28, 0.9));
        OilLamp(cr, w * 0.36, h * 0.62, h * 0.2);
        break;
    case Panel::Whorl:
        SceneArt::IslandScene(cr, w, h, seed, 0.7);
        Pyrowhorl(cr, w * 0.62, h * 0.3, small * 0.3);
        break;
    case Panel::WhorlAtNight:
        NightIsland(cr, w, h, seed, w * 0.22);
        Pyrowhorl(cr, w * 0.62, h * 0.3, small * 0.3);
        break;
    case Panel::WhorlTakesGadgets:
        NightIsland(cr, w, h, seed, w * 0.9);
        Pyrowhorl(cr, w * 0.62, h * 0.3, small * 0.3);
        // Whirled round it and flung out, lit by its fire.
        for (int i = 0; i < 6; ++i) {
            const double a = -M_PI * (0.95 - 0.38 * i);
            Gadget(cr, reg, i, w * 0.62 + std::cos(a) * w * 0.3, h * 0.34 + std::sin(a) * h * 0.22, 1.3, a, 0.15);
        }
        break;
    case Panel::Scattered: {
        // On the beach, the grass and up the volcano's slopes.
        SceneArt::IslandScene(cr, w, h, seed, 0.85);
        const double spots[][2] = {{0.16, 0}, {0.4, 0.5}, {0.52, 0}, {0.74, 0.44}, {0.86, 0}};
        for (int i = 0; i < 5; ++i) {
            const double x = w * spots[i][0];
            const double y = spots[i][1] > 0 ? h * spots[i][1] : SceneArt::IslandGroundY(w, h, x) + h * 0.03;
            Gadget(cr, reg, i, x, y, 1.3, RandomRange(seed, -0.5, 0.5));
        }
        break;
    }
    case Panel::FallingAtNight:
        // Tumbling down through the rain onto the island, some fallen already.
        NightIsland(cr, w, h, seed, w * 0.3);
        for (int i = 0; i < 5; ++i) {
            const double x = w * (0.16 + 0.17 * i), ground = SceneArt::IslandGroundY(w, h, x);
            const double y = i % 2 ? ground + h * 0.02 : h * (0.25 + 0.08 * i);
            Gadget(cr, reg, i, x, y, 1.7, RandomRange(seed, -1, 1), 0.35);
        }
        break;
    case Panel::Trail: {
        // Across the island from where he stands on the left, the way the
        // inventions fell, crates most of all, here and there one on
        // another: he follows it.
        SceneArt::IslandScene(cr, w, h, seed, 0.9);
        const struct {
            double x;
            int gadget, tier;
        } trail[] = {{0.25, 0, 0}, {0.31, 2, 0}, {0.37, 1, 0}, {0.44, 0, 0}, {0.44, 8, 1}, {0.51, 3, 0},
                     {0.58, 2, 0}, {0.64, 4, 0}, {0.71, 0, 0}, {0.71, 2, 1}, {0.78, 5, 0}, {0.85, 8, 0},
                     {0.92, 7, 0}};
        const double size = 24 * 1.25;
        for (const auto& t : trail) {
            const double x = w * t.x, y = SceneArt::IslandGroundY(w, h, x) + h * 0.03 - t.tier * size * 0.85;
            Gadget(cr, reg, t.gadget, x, y, 1.25, RandomRange(seed, -0.3, 0.3));
        }
        ProfessorBust::Body(cr, w * 0.12, h * 0.7, w * 0.1, h * 0.3);
        ProfessorBust::Head(cr, w * 0.12, h * 0.58, small * 0.11, 0.1, 0.2);
        break;
    }
    case Panel::SetsOff:
        SceneArt::IslandScene(cr, w, h, seed, 0.9);
        ProfessorBust::Body(cr, w * 0.3, h * 0.7, w * 0.2, h * 0.3);
        ProfessorBust::Head(cr, w * 0.3, h * 0.58, small * 0.1, -0.1, 0.6);
        break;
    case Panel::BotsInTheDark:
        VerticalGradient(cr, 0, 0, w, h, Hex(0x1a2a4a), Hex(0x0a1418));
        for (int i = 0; i < 3; ++i) {
            const double x = w * (0.25 + i * 0.25), y = h * 0.6;
            OutlinedRoundedRect(cr, x - 16, y - 20, 32, 40, 10, Hex(0xb0202a), 1.5);
            RadialGlow(cr, x, y - 6, 12, Hex(0xffe25a, 0.9));
        }
        break;
    case Panel::HomeAgain:
        SceneArt::IslandScene(cr, w, h, seed, 1.0);
        for (int i = 0; i < 20; ++i)
            OutlinedEllipse(cr, RandomRange(seed, 0, w), RandomRange(seed, 0, h * 0.5), 3, 3,
                            i % 3 ? Hex(0xf0c419) : Hex(0xd8342c), 0);
        break;
    }
    cairo_rectangle(cr, 1.5, 1.5, w - 3, h - 3);
    SetColor(cr, Hex(0x3a2a1a));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
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

void AddInsetPanel(CArtRegistry& reg, const std::string& name, int cornerX, int cornerY, const Box& panel,
                   Panel shows) {
    const std::string frameName = "story_A2_a.tga";
    const CArtRegistry* r = &reg;
    reg.Add(name, panel.x + panel.w - cornerX, panel.y + panel.h - cornerY,
            [=](cairo_t* cr, int, int) {
                cairo_save(cr);
                cairo_translate(cr, kOpeningFrame.x - cornerX, kOpeningFrame.y - cornerY);
                PageFrame(cr, kOpeningFrame.w, kOpeningFrame.h, frameName);
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
    // the Done button sits below the panel at (345, 397). The odd chapters'
    // notes tell of the professor on the trail of his scattered inventions.
    frame("story_B1_a.tga", 680, 330);
    panel("story_B1_b.jpg", 620, 200, Panel::Trail);
    frame("story_B2_a.tga", 712, 340);
    panel("story_B2_b.jpg", 650, 200, Panel::BotsInTheDark);
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
    panel("story_C2_b.jpg", 80, 230, Panel::BotsInTheDark);
    panel("story_C2_c.jpg", 250, 200, Panel::HomeAgain);
    panel("story_C2_d.jpg", 520, 230, Panel::HomeAgain);
    panel("story_C2_e.jpg", 100, 240, Panel::Lab);
    panel("story_C2_f.jpg", 200, 220, Panel::SetsOff);
    panel("story_C2_g.jpg", 200, 230, Panel::HomeAgain);
}

}  // namespace InterfaceFamilies
