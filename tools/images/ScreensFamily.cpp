// Front-end screens: profile list and name dialogs, score boards, the
// level-set choice, the level manager, the story page buttons.
#include <algorithm>
#include <cmath>
#include <string>

#include "images/CCaptions.h"
#include "images/DrawKit.h"
#include "images/InterfaceFamilies.h"
#include "images/InterfaceKit.h"
#include "images/ProfessorBust.h"
#include "images/world/BotFigure.h"

using namespace DrawKit;
using namespace InterfaceKit;

namespace {

const Color kCream = Hex(0xfff3d6);

// A panel: wooden rim around a parchment face.
void Panel(cairo_t* cr, int w, int h, const std::string& seedName) {
    OutlinedRoundedRect(cr, 2, 2, w - 4, h - 4, 10, kWood, 2);
    Parchment(cr, 6, 6, w - 12, h - 12, Seed(seedName), 0.5);
}


// A highlight bar with its rim a pixel inside the picture.
void Selector(cairo_t* cr, int w, int h) {
    cairo_new_path(cr);
    RoundedRectPath(cr, 1.75, 1.75, w - 3.5, h - 3.5, 4);
    SetColor(cr, Hex(0xffc04a, 0.45));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0xd08a1a));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

// A small picture of the professor for the score-board pages, the
// instructions and the set choice: his bust as every picture draws it, as
// large as the picture's narrower side allows, and what goes with his mood
// (smoke, rays, arms, the bot, the book) sized and placed by his head, so
// that no picture's shape stretches him or them. Pages and the instructions
// show it whole: only the bust's cut at the bottom meets the picture's edge.
void ProfessorScene(cairo_t* cr, int w, int h, int mood) {
    const ProfessorBust::Spot b = ProfessorBust::Standing(w / 2.0, h, 0.2 * std::min(w, h));
    const double cx = b.cx, r = b.r, head = b.HeadY(), k = b.Scale();
    if (mood == 1) {  // singed: soot and smoke, rising from his head
        for (int i = 0; i < 5; ++i)
            RadialGlow(cr, cx - r + i * r / 2, head - r * (1.15 + i / 12.0), r * 0.8, Hex(0x5a5a5a, 0.35));
    }
    if (mood == 3) {  // victory: a sunburst behind his head, its rays ending short of the sides and the top
        const double length = std::min(cx, head) - 4;  // a ray's round end reaches 3 further
        for (int i = 0; i < 12; ++i) {
            const double a = i * M_PI / 6;
            Line(cr, cx, head, cx + std::cos(a) * length, head + std::sin(a) * length, Hex(0xffd36b, 0.35), 6);
        }
    }
    ProfessorBust::Bust(cr, b, mood == 2 ? 0.15 : 0, mood == 3 ? 0.8 : 0);
    if (mood == 3) {  // both arms raised from his shoulders, as long as the main menu's
        ProfessorBust::Arm(cr, cx - 40 * k, b.neck + 16 * k, 70 * k, 2.6, 2.75, -1);
        ProfessorBust::Arm(cr, cx + 40 * k, b.neck + 16 * k, 70 * k, 2.6, 2.75, 1);
    }
    if (mood == 1) Speckle(cr, cx - r, head - r * 0.6, 2 * r, 1.6 * r, Hex(0x2a2a2a, 0.55), 40, 3, Seed("soot"));
    if (mood == 2) {  // caught: a bot beside him, sized by his head, its claw on his scarf
        worldart::BotPose bot;
        bot.eye = worldart::BotEye::Bright;
        bot.clawFront = 2.5;
        bot.clawOpen = 0.3;
        cairo_save(cr);
        cairo_translate(cr, cx + 1.65 * r, h - 3);
        cairo_scale(cr, -0.08 * r, 0.08 * r);  // facing left, towards him
        worldart::DrawBot(cr, bot);
        cairo_restore(cr);
    }
    if (mood == 0) {  // tutorial: a book held before his coat, narrower than he is
        const double top = b.neck + 0.75 * r, height = 1.05 * r;
        OutlinedRoundedRect(cr, cx - 0.85 * r, top, 1.7 * r, height, 3, Hex(0x2f6fe0), 1.5);
        Line(cr, cx, top, cx, top + height, Hex(0xf3e3bf), 2);
    }
}

}  // namespace

namespace InterfaceFamilies {

void RegisterScreens(CArtRegistry& reg) {
    ButtonLook wood;
    wood.textSize = 14;
    ButtonLook teal = wood;
    teal.base = Hex(0x2a9d8f);

    // Profiles.
    reg.Add("profile_select_main.png", 236, 270, [](cairo_t* cr, int w, int h) { Panel(cr, w, h, "profile_select_main"); });
    // Four rows of 21 pixels from y 5 of the list. The list stands 17 pixels
    // into the panel, its field 3 pixels into the picture (14 of parchment
    // left of it, as right of the arrows), and so does the selection bar,
    // well short of the names 9 pixels in.
    const int listInset = 3;
    reg.Add("profile_select_listbox.png", 165, 100, [listInset](cairo_t* cr, int w, int h) {
        DrawField(cr, listInset, 0, w - listInset, h);
        RuleListRows(cr, listInset + 4, w - 4, 5, 21, 4, Hex(0xc9a96a, 0.5));
    });
    reg.Add("profile_select_selector.png", 161, 21, [listInset](cairo_t* cr, int w, int h) {
        cairo_translate(cr, listInset + 1, 0);
        Selector(cr, w - listInset - 1, h);
    });
    reg.Add("profile_entername_mainbig.png", 376, 160, [](cairo_t* cr, int w, int h) { Panel(cr, w, h, "profile_entername_mainbig"); });
    reg.Add("profile_entername_mainsmall.png", 234, 115, [](cairo_t* cr, int w, int h) { Panel(cr, w, h, "profile_entername_mainsmall"); });
    AddButtons(reg, "profile_button_up", {"base", "shadow", "rollover"}, ".png", 24, 24, wood, "", ICON_UP);
    AddButtons(reg, "profile_button_down", {"base", "shadow", "rollover"}, ".png", 24, 24, wood, "", ICON_DOWN);
    // Select and delete share a row (320 and 402), and so do okay and cancel
    // in every name and password dialog (82 pixels apart); rename and add
    // have rows of their own.
    for (const char* b : {"select", "delete", "okay", "cancel"})
        AddButtons(reg, std::string("profile_button_") + b, {"base", "shadow", "rollover"}, ".png", 78, 28, wood,
                   std::string("profile_") + b);
    for (const char* b : {"rename", "add"})
        AddButtons(reg, std::string("profile_button_") + b, {"base", "shadow", "rollover"}, ".png", 160, 28, wood,
                   std::string("profile_") + b);

    // Score boards. The table is as wide as its rows: names left and step
    // counts right in 206 pixels from page x 242 (each 5 pixels in, under
    // the headings), rows 18 apart from y 180, between the arrows at page x
    // 189 and 455. The headings, the box behind the rows and the bars that
    // mark the player's own row all span those 206 pixels, give or take the
    // bars' edge.
    const int tableW = 206;
    AddCaption(reg, "hiscores_title.png", 238, 32, "hiscores_title", 24, kInk, FONT_SERIF_BOLD);
    reg.Add("hiscores_headings.png", 206, 17, [](cairo_t* cr, int w, int h) {
        OutlinedRoundedRect(cr, 1.5, 1.5, w - 3, h - 3, 4, kWood, 1.0);
        Text(cr, CCaptions::Shared().Get("hiscores_name"), 5, 1, 12, kCream, FONT_SANS_BOLD, ALIGN_LEFT);
        Text(cr, CCaptions::Shared().Get("hiscores_steps"), w - 5, 1, 12, kCream, FONT_SANS_BOLD, ALIGN_RIGHT);
    });
    // Behind the ten rows (page x 234, y 177): one quiet box, with no bands,
    // because a board that was never downloaded shows its download button in
    // the middle of it, on no rows; under the headings and as wide.
    reg.Add("hiscores_tablebar.png", 222, 184, [tableW](cairo_t* cr, int w, int h) {
        const double left = (w - tableW) / 2.0;
        cairo_new_path(cr);
        RoundedRectPath(cr, left + 0.5, 1.5, tableW - 1, h - 3, 5);
        SetColor(cr, Hex(0xc9a96a, 0.14));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(0xa0682d, 0.45));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    });
    // The own row's bar (page x 229) reaches 2 pixels past the table's sides.
    const int barLeft = 242 - 229 - 2, barW = tableW + 4;
    reg.Add("hiscores_highlighter1.png", 228, 22, [barLeft, barW](cairo_t* cr, int, int h) {
        cairo_translate(cr, barLeft - 1, 0);
        Selector(cr, barW + 2, h);
    });
    // The own-rank line and the own row below the top ten.
    reg.Add("hiscores_highlighter2.png", 228, 48, [barLeft, barW](cairo_t* cr, int, int h) {
        cairo_new_path(cr);
        RoundedRectPath(cr, barLeft, 1.75, barW, h - 3.5, 4);
        SetColor(cr, Hex(0x4caf3f, 0.4));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(0x2f7a2a));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    });
    reg.Add("hiscores_arrow1.png", 30, 30, [](cairo_t* cr, int w, int h) { DrawIcon(cr, w / 2.0, h / 2.0, 24, ICON_LEFT, Hex(0xd8342c)); });
    reg.Add("hiscores_arrow2.png", 30, 30, [](cairo_t* cr, int w, int h) { DrawIcon(cr, w / 2.0, h / 2.0, 24, ICON_RIGHT, Hex(0xd8342c)); });
    // Left of the set tabs, which start 58 pixels further right.
    AddCaption(reg, "hiscores_textshow.png", 56, 30, "hiscores_show", 15, kInk, FONT_SANS, ALIGN_LEFT);
    // Pictures drawn onto pages: singed and caught at y 150 of the score page
    // end above the buttons from y 332; victory at y 80 ends 16 pixels above
    // the submit button at page y 232, and on the credits page at y 390
    // inside the page's 555.
    reg.Add("parchment_singed.png", 150, 175, [](cairo_t* cr, int w, int h) { ProfessorScene(cr, w, h, 1); });
    reg.Add("parchment_caught.png", 200, 175, [](cairo_t* cr, int w, int h) { ProfessorScene(cr, w, h, 2); });
    reg.Add("parchment_tutorial.png", 190, 250, [](cairo_t* cr, int w, int h) { ProfessorScene(cr, w, h, 0); });
    reg.Add("parchment_victory.png", 150, 136, [](cairo_t* cr, int w, int h) { ProfessorScene(cr, w, h, 3); });
    // Download stands at page x 262, centred on the table (page x 234 to
    // 456); submit at page x 255, centred under the victory picture (page x
    // 268 to 418) and on the page.
    AddButtons(reg, "hiscores_button_download", {"base", "shadow", "roll"}, ".png", 166, 32, teal, "hiscores_download");
    // The set tabs start at x 279, 374 and 489: the advanced tab is wider,
    // so that the three stand the same few pixels apart.
    for (const char* b : {"regular", "advanced", "kids"})
        AddButtons(reg, std::string("hiscores_button_") + b, {"base", "shadow", "rollover"}, ".png",
                   std::string(b) == "advanced" ? 111 : 92, 32, wood, std::string("hiscores_") + b);
    AddButtons(reg, "hiscores_button_submit", {"base", "shadow", "rollover"}, ".png", 176, 32, teal, "hiscores_submit");

    // Level-set choice. The box stands at (158, 113) and the professor's
    // picture at (518, 88): his round frame lies inside the box's top right
    // corner (the box's top edge is 25 pixels down the picture), right of the
    // heading at (88, 44) of the box and above the first description.
    AddCaption(reg, "lvlset_heading.png", 260, 50, "lvlset_heading", 23, kInk, FONT_SERIF_BOLD);
    for (const char* s : {"regular", "advanced", "kids"}) {
        // Descriptions at x 175 of the box, 70 apart; the buttons left of
        // them at x 42.
        AddCaption(reg, std::string("lvlset_desc_") + s + ".png", 300, 66, std::string("lvlset_desc_") + s, 15, kInk,
                   FONT_SANS, ALIGN_LEFT);
        AddButtons(reg, std::string("lvlset_button") + s + "_", {"base", "shadow", "roll"}, ".png", 128, 40, wood,
                   std::string("lvlset_") + s);
    }
    reg.Add("lvlset_prof.png", 140, 148, [](cairo_t* cr, int w, int) {
        const double cx = w / 2.0, cy = 94, r = 48;
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
        cairo_clip(cr);
        VerticalGradient(cr, cx - r, cy - r, 2 * r, 2 * r, Hex(0xfff3cf), Hex(0xf0cf78));
        // The frame's round cuts his coat below his shoulders.
        cairo_translate(cr, cx - r, cy - r - 1);
        ProfessorScene(cr, 2 * r, 2 * r + 8, 3);
        cairo_restore(cr);
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
        SetColor(cr, Darken(kBrass, 0.35));
        cairo_set_line_width(cr, 5);
        cairo_stroke_preserve(cr);
        SetColor(cr, kBrass);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    });

    // Level manager.
    // The panel at (5, 11): the list on the left, the chosen level's details
    // (painted by the game next to these labels) and the buttons on the right.
    reg.Add("levelmanager_main.png", 790, 580, [](cairo_t* cr, int w, int h) {
        Panel(cr, w, h, "levelmanager_main");
        Text(cr, CCaptions::Shared().Get("levelmanager_title"), 18, 16, 26, kInk, FONT_SERIF_BOLD, ALIGN_LEFT);
        const struct {
            const char* key;
            double x, y;
        } labels[] = {{"levelmanager_file", 560, 97}, {"levelmanager_when", 560, 124},
                      {"levelmanager_played", 560, 175}, {"levelmanager_completed", 560, 202}};
        // Screen positions of the game's value texts, less the panel's place;
        // each label ends a little left of its value, on the value's line.
        for (const auto& l : labels)
            Text(cr, CCaptions::Shared().Get(l.key), l.x - 5 - 6, l.y - 11 + 3, 15, kInk, FONT_SANS_BOLD, ALIGN_RIGHT);
    });
    // 22 rows of 19 pixels from y 9 of the list.
    reg.Add("levelmanager_listbox.jpg", 409, 436, [](cairo_t* cr, int w, int h) {
        VerticalGradient(cr, 0, 0, w, h, Hex(0xfffaf0), Hex(0xf0e4c8));
        RuleListRows(cr, 4, w - 4, 9, 19, 22, Hex(0xc9a96a, 0.6));
        cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
        SetColor(cr, Darken(kParchDark, 0.45));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    });
    reg.Add("levelmanager_selector.png", 405, 19, Selector);
    ButtonLook small = wood;
    small.radius = 4;
    AddButtons(reg, "levelmanager_button_arrow1", {"base", "rollover"}, ".png", 22, 22, small, "", ICON_UP);
    AddButtons(reg, "levelmanager_button_arrow2", {"base", "rollover"}, ".png", 22, 22, small, "", ICON_DOWN);
    AddButtons(reg, "levelmanager_button_arrow", {"shadow"}, ".png", 22, 22, small, "");
    ButtonLook header = wood;
    header.radius = 3;
    header.textSize = 13;
    // Sort buttons at x 17 and 318; play and remove at x 504 and 632.
    AddButtons(reg, "levelmanager_button_name", {"base", "rollover"}, ".png", 110, 26, header, "levelmanager_name");
    AddButtons(reg, "levelmanager_button_date", {"base", "rollover", "shadow"}, ".png", 110, 26, header, "levelmanager_date");
    AddButtons(reg, "levelmanager_button_play", {"base", "rollover", "shadow"}, ".png", 120, 32, teal, "levelmanager_play");
    AddButtons(reg, "levelmanager_button_remove", {"base", "rollover"}, ".png", 120, 32, wood, "levelmanager_remove");
    AddButtons(reg, "levelmanager_button_morelevels", {"base", "rollover"}, ".png", 150, 32, wood, "levelmanager_morelevels");
    AddButtons(reg, "levelmanager_button_reset", {"base", "rollover", "shadow"}, ".png", 150, 32, wood, "levelmanager_reset");
    AddButtons(reg, "levelmanager_button_map", {"base", "rollover"}, ".png", 150, 32, wood, "levelmanager_map");
    AddButtons(reg, "levelmanager_button_mainmenu", {"base", "rollover"}, ".png", 150, 32, wood, "levelmanager_mainmenu");

    // Story and instructions page buttons.
    AddButtons(reg, "story_buttonprev", {"fade"}, ".png", 95, 40, wood, "", ICON_LEFT);
    AddButtons(reg, "story_buttonnext", {"fade"}, ".png", 95, 40, wood, "", ICON_RIGHT);
    AddButtons(reg, "story_buttondone", {"base", "shadow", "rollover"}, ".png", 95, 40, teal, "story_done");
    AddButtons(reg, "story_buttonprev", {"base", "shadow", "rollover"}, ".png", 95, 40, wood, "", ICON_LEFT);
    AddButtons(reg, "story_buttonnext", {"base", "shadow", "rollover"}, ".png", 95, 40, wood, "", ICON_RIGHT);
}

}  // namespace InterfaceFamilies
