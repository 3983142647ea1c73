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

// One story panel; kind chooses the scene, seed varies details.
void StoryPanel(cairo_t* cr, int w, int h, int kind, uint32_t seed) {
    switch (kind % 6) {
    case 0:  // the professor at work in his laboratory
        Lab(cr, w, h);
        ProfessorBust::Body(cr, w * 0.55, h * 0.62, w * 0.3, h * 0.38);
        ProfessorBust::Head(cr, w * 0.55, h * 0.45, std::min(w, h) * 0.14, 0, 0);
        break;
    case 1:  // the Pyrowhorl bursts out of the volcano
        SceneArt::IslandScene(cr, w, h, seed, 0.7);
        Pyrowhorl(cr, w * 0.62, h * 0.3, std::min(w, h) * 0.3);
        break;
    case 2:  // inventions scattered across the island
        SceneArt::IslandScene(cr, w, h, seed, 0.85);
        for (int i = 0; i < 6; ++i) {
            const double x = RandomRange(seed, w * 0.1, w * 0.9), y = RandomRange(seed, h * 0.15, h * 0.55);
            OutlinedRoundedRect(cr, x, y, 14, 14, 2, i % 2 ? kWood : Hex(0x8d99a6), 1.2);
        }
        break;
    case 3:  // the professor sets off
        SceneArt::IslandScene(cr, w, h, seed, 0.9);
        ProfessorBust::Body(cr, w * 0.3, h * 0.7, w * 0.2, h * 0.3);
        ProfessorBust::Head(cr, w * 0.3, h * 0.58, std::min(w, h) * 0.1, -0.1, 0.6);
        break;
    case 4:  // bots in the dark
        VerticalGradient(cr, 0, 0, w, h, Hex(0x1a2a4a), Hex(0x0a1418));
        for (int i = 0; i < 3; ++i) {
            const double x = w * (0.25 + i * 0.25), y = h * 0.6;
            OutlinedRoundedRect(cr, x - 16, y - 20, 32, 40, 10, Hex(0xb0202a), 1.5);
            RadialGlow(cr, x, y - 6, 12, Hex(0xffe25a, 0.9));
        }
        break;
    default:  // home again: celebration
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

void AddInsetPanel(CArtRegistry& reg, const std::string& name, int cornerX, int cornerY, const Box& panel, int kind) {
    const std::string frameName = "story_A2_a.tga";
    reg.Add(name, panel.x + panel.w - cornerX, panel.y + panel.h - cornerY,
            [=](cairo_t* cr, int, int) {
                cairo_save(cr);
                cairo_translate(cr, kOpeningFrame.x - cornerX, kOpeningFrame.y - cornerY);
                PageFrame(cr, kOpeningFrame.w, kOpeningFrame.h, frameName);
                cairo_restore(cr);
                cairo_translate(cr, panel.x - cornerX, panel.y - cornerY);
                cairo_rectangle(cr, 0, 0, panel.w, panel.h);
                cairo_clip(cr);
                StoryPanel(cr, panel.w, panel.h, kind, Seed(name));
            });
}

}  // namespace

namespace InterfaceFamilies {

void RegisterStory(CArtRegistry& reg) {
    auto panel = [&](const std::string& name, int w, int h, int kind) {
        reg.Add(name, w, h, [kind, name](cairo_t* cr, int cw, int ch) { StoryPanel(cr, cw, ch, kind, Seed(name)); });
    };
    auto frame = [&](const std::string& name, int w, int h) {
        reg.Add(name, w, h, [name](cairo_t* cr, int cw, int ch) { PageFrame(cr, cw, ch, name); });
    };
    auto banner = [&](const std::string& name, int w, int h) {
        const std::string key = name.substr(0, name.size() - 4);
        reg.Add(name, w, h, [key](cairo_t* cr, int cw, int ch) { TextNote(cr, cw, ch, key); });
    };
    // Opening, first page: frame, two big panels on the left, two on the right.
    frame("story_A1_a.tga", 680, 520);
    panel("story_A1_b.jpg", 380, 230, 0);
    panel("story_A1_c.jpg", 400, 190, 1);
    banner("story_A1_d.png", 200, 50);
    panel("story_A1_e.jpg", 200, 220, 1);
    panel("story_A1_f.jpg", 210, 230, 2);
    // Opening, second page: the laboratory, the inventions strewn over
    // the island, the Pyrowhorl still raging; then the caption, the professor
    // setting off and the bots waiting in the dark.
    frame("story_A2_a.tga", kOpeningFrame.w, kOpeningFrame.h);
    AddInsetPanel(reg, "story_A2_b.jpg", 54, 88, {285, 88, 230, 224}, 2);
    AddInsetPanel(reg, "story_A2_c.jpg", 86, 336, {535, 336, 200, 192}, 4);
    AddInsetPanel(reg, "story_A2_d.jpg", 61, 71, {65, 88, 200, 224}, 0);
    AddInsetPanel(reg, "story_A2_e.jpg", 520, 56, {535, 88, 200, 224}, 1);
    // The caption takes the first panel of the second row; its corner is
    // (22, 323) and it is see-through around the note.
    const Box caption = {65, 336, 200, 192};
    reg.Add("story_A2_f.png", caption.x + caption.w - 22, caption.y + caption.h - 323,
            [caption](cairo_t* cr, int, int) {
                cairo_translate(cr, caption.x - 22, caption.y - 323);
                TextNote(cr, caption.w, caption.h, "story_A2_f", 21);
            });
    AddInsetPanel(reg, "story_A2_g.jpg", 281, 313, {285, 336, 230, 192}, 3);
    // Chapter pages: a frame, a wide panel and three text notes per chapter;
    // the Done button sits below the panel at (345, 397).
    frame("story_B1_a.tga", 680, 330);
    panel("story_B1_b.jpg", 620, 200, 3);
    frame("story_B2_a.tga", 712, 340);
    panel("story_B2_b.jpg", 650, 200, 4);
    for (int k = 1; k <= 5; ++k)
        for (const char* col : {"a", "b", "c"}) {
            banner("story_B1_text_" + std::string(col) + std::to_string(k) + ".png", 200, 90);
            banner("story_B2_text_" + std::string(col) + std::to_string(k) + ".png", 200, 90);
        }
    // Ending, two pages.
    frame("story_C1_a.tga", 700, 530);
    panel("story_C1_b.jpg", 230, 230, 1);
    panel("story_C1_c.jpg", 500, 190, 3);
    panel("story_C1_d.jpg", 280, 230, 5);
    banner("story_C1_e.png", 140, 200);
    banner("story_C1_f.png", 220, 60);
    panel("story_C1_g.jpg", 120, 200, 0);
    frame("story_C2_a.tga", 740, 540);
    panel("story_C2_b.jpg", 80, 230, 4);
    panel("story_C2_c.jpg", 250, 200, 5);
    panel("story_C2_d.jpg", 520, 230, 5);
    panel("story_C2_e.jpg", 100, 240, 0);
    panel("story_C2_f.jpg", 200, 220, 3);
    panel("story_C2_g.jpg", 200, 230, 5);
}

}  // namespace InterfaceFamilies
