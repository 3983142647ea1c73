// Parchment pages, message boxes, tutorial bubbles and the small widgets:
// push buttons, check boxes, sliders, text fields, counters, play-screen GUI.
#include <cmath>
#include <string>

#include "images/CCaptions.h"
#include "images/DrawKit.h"
#include "images/InterfaceFamilies.h"
#include "images/InterfaceKit.h"
#include "images/ProfessorBust.h"

using namespace DrawKit;
using namespace InterfaceKit;

namespace {

// A round medallion with a light bulb: the sign of a hint.
void HintBulb(cairo_t* cr, double cx, double cy, double r) {
    OutlinedEllipse(cr, cx, cy, r, r, Hex(0x2f6fe0), 2);
    RadialGlow(cr, cx, cy - r * 0.15, r * 0.8, Hex(0xfff3a0, 0.9));
    OutlinedEllipse(cr, cx, cy - r * 0.15, r * 0.42, r * 0.45, Hex(0xffe25a), 1.5);
    OutlinedRoundedRect(cr, cx - r * 0.2, cy + r * 0.25, r * 0.4, r * 0.3, 2, Hex(0x8d99a6), 1);
}

// A folded note with a few lines of ink and a red wax seal, centred at
// (cx, cy) and turned by angle.
void SealedNote(cairo_t* cr, double cx, double cy, double angle) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    OutlinedRoundedRect(cr, -22, -17, 44, 34, 2, Hex(0xfaf0d6), 1.5);
    for (int i = 0; i < 3; ++i) Line(cr, -15, -9 + 7 * i, i == 2 ? 4 : 15, -9 + 7 * i, WithAlpha(kInk, 0.7), 1.5);
    OutlinedEllipse(cr, 12, 10, 8, 8, Hex(0xd8342c), 1.5);
    OutlinedEllipse(cr, 12, 10, 4.5, 4.5, Darken(Hex(0xd8342c), 0.15), 1);
    Highlight(cr, 9.5, 7, 2.5, 1.8, 0.6);
    cairo_restore(cr);
}

void Bubble(cairo_t* cr, int w, int h, const std::string& seedName, double bulbR, double cutW = 0, double cutH = 0) {
    Parchment(cr, 0, 0, w, h, Seed(seedName), 1.0, cutW, cutH);
    HintBulb(cr, 40, 50, bulbR);
}

void DigitStrip(cairo_t* cr, int w, int) {
    // Cells of 20 pixels: blank, 1..9, 0, 1 (the roll-over shows a 1 again).
    const char* digits[] = {"", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "1"};
    for (int i = 0; i < 12; ++i) {
        if (!digits[i][0]) continue;
        // Sized so that the widest digit and its outline stay inside the strip.
        OutlinedText(cr, digits[i], w / 2.0, i * 20 + 3, 13, Hex(0xfff3d6), Hex(0x3a2410), 1.2, FONT_SANS_BOLD,
                     ALIGN_CENTER);
    }
}

void CheckBox(cairo_t* cr, int w, int h, bool roll, bool checked) {
    OutlinedRoundedRect(cr, 2, 2, w - 4, h - 4, 4, roll ? Hex(0xfff6e0) : Hex(0xf3e3bf), 1.6);
    if (roll) {
        cairo_new_path(cr);
        RoundedRectPath(cr, 3.5, 3.5, w - 7, h - 7, 3);
        SetColor(cr, Hex(0xffc04a, 0.9));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    if (checked) DrawIcon(cr, w / 2.0, h / 2.0, w * 0.62, ICON_CHECK, Hex(0x2f7a2a));
}

}  // namespace

namespace InterfaceFamilies {

void RegisterWidgets(CArtRegistry& reg) {
    // Pages and boxes.
    AddParchment(reg, "parchment.png", 686, 555);
    reg.Add("parchment_profpenny.png", 686, 555, [](cairo_t* cr, int w, int h) {
        Parchment(cr, 0, 0, w, h, Seed("parchment_profpenny.png"));
        // A brass seal with the professor's goggles in the lower corner.
        OutlinedEllipse(cr, w - 70, h - 70, 34, 34, kBrass, 2);
        OutlinedEllipse(cr, w - 82, h - 72, 10, 10, Hex(0xbfe9f7), 2);
        OutlinedEllipse(cr, w - 58, h - 72, 10, 10, Hex(0xbfe9f7), 2);
        Line(cr, w - 72, h - 72, w - 68, h - 72, Darken(kBrass, 0.4), 3);
    });
    // The kids' sign: a card with coloured dots along its top and bottom
    // edges and the hint bulb in its top-right corner; the text starts at
    // (40, 60). The game sizes it by its text, taking a band of rows (from
    // row 80) and a band of four dots at a time (from column 108, between
    // two dots) out of its middle: so its cream is even and its dots stand
    // 20 pixels apart from x 18, their colours going round every four.
    reg.Add("parchment_kids.png", 536, 490, [](cairo_t* cr, int w, int h) {
        Parchment(cr, 0, 0, w, h, Seed("parchment_kids.png"), 1.0, 0, 0, true);
        const Color dots[] = {Hex(0x2f6fe0), Hex(0xd8342c), Hex(0xf0c419), Hex(0x4caf3f)};
        for (int i = 0; 18 + 20 * i <= w - 18; ++i) {
            OutlinedEllipse(cr, 18 + 20 * i, 14, 5, 5, dots[i % 4], 1);
            OutlinedEllipse(cr, 18 + 20 * i, h - 14, 5, 5, dots[(i + 2) % 4], 1);
        }
        HintBulb(cr, w - 44, 44, 22);
    });
    AddParchment(reg, "confirmation_parch.png", 500, 400);
    // Drawn onto the message box at (180, 100), between the title and the
    // body, for questions and notices alike: the professor with a sealed note.
    reg.Add("parchment_confirmation.png", 140, 95, [](cairo_t* cr, int w, int h) {
        ProfessorBust::Head(cr, w / 2.0 - 20, h / 2.0 + 2, 33, 0.06, 0.2);
        SealedNote(cr, w - 30, h / 2.0 + 14, 0.2);
    });
    // The sign's text stands right of the bulb from x 80 to 18 pixels short
    // of the right edge: in the small bubble (at x 420 or 20, y 50 or 350)
    // from y 15 to 15 short of the bottom, eight lines at the smallest size
    // a text is set in; in the large one (at x 340 or 10, y 15 or 275) from
    // y 28 to 14 short of the bottom, thirteen such lines. Both end 20 pixels
    // short of the screen's edges. The large one opens under the play
    // screen's Menu button (at 742, 9, 50 x 20) for a sign in the left half's
    // lower rows: its top-right corner is torn away, clear of the button.
    reg.Add("tutorial_big.png", 440, 235,
            [](cairo_t* cr, int w, int h) { Bubble(cr, w, h, "tutorial_big", 28, 52, 22); });
    reg.Add("tutorial_small.png", 360, 150, [](cairo_t* cr, int w, int h) { Bubble(cr, w, h, "tutorial_small", 24); });
    reg.Add("mapstar_explain.png", 402, 284, [](cairo_t* cr, int w, int h) {
        Parchment(cr, 0, 0, w, h, Seed("mapstar_explain.png"));
        TextBox(cr, CCaptions::Shared().Get("mapstar_explain_title"), 20, 14, w - 40, 40, 22, kInk, FONT_SERIF_BOLD);
        TextBox(cr, CCaptions::Shared().Get("mapstar_explain_body"), 24, 70, w - 150, 150, 16, kInk, FONT_SANS,
                ALIGN_LEFT);
        // The box stands at (199, 173) and the game spins a map star at
        // (494, 233) over it: the post and the level dot that star stands
        // on, as on the map.
        const double cx = 494 + 1 - 199 + 9, cy = 233 + 28 - 173 + 9;
        InterfaceFamilies::DrawStarPost(cr, cx, cy - 17, cx, cy - 6);
        OutlinedEllipse(cr, cx, cy, 7.5, 7.5, Hex(0xf0c419), 1.5);
        Highlight(cr, cx - 2.2, cy - 2.6, 3, 2.2, 0.6);
    });

    // Parchment push buttons: the words are the game's own text pictures.
    ButtonLook parch;
    parch.base = Hex(0xc4924c);  // darker than the page so the buttons stand out
    AddButtons(reg, "p2d_button_", {"base", "select"}, ".png", 186, 29, parch, "");

    ButtonLook wood;
    AddButtons(reg, "confirmation_buttonokay", {"base", "shadow", "roll"}, ".png", 84, 36, wood, "okay");
    AddButtons(reg, "confirmation_buttoncancel", {"base", "shadow", "roll"}, ".png", 84, 36, wood, "cancel");

    reg.Add("checkbox_base.png", 22, 22, [](cairo_t* cr, int w, int h) { CheckBox(cr, w, h, false, false); });
    reg.Add("checkbox_rollover.png", 22, 22, [](cairo_t* cr, int w, int h) { CheckBox(cr, w, h, true, false); });
    reg.Add("checkbox_basecheck.png", 22, 22, [](cairo_t* cr, int w, int h) { CheckBox(cr, w, h, false, true); });
    reg.Add("checkbox_rollovercheck.png", 22, 22, [](cairo_t* cr, int w, int h) { CheckBox(cr, w, h, true, true); });

    // Slider: the value bar shows 2 + 10 v pixels for v = 1..10 and whole at 11.
    reg.Add("slider_shadow.png", 116, 20, [](cairo_t* cr, int w, int h) {
        cairo_new_path(cr);
        RoundedRectPath(cr, 2, 2, w - 3, h - 3, 6);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_fill(cr);
    });
    reg.Add("slider_frame.png", 112, 16, [](cairo_t* cr, int w, int h) {
        cairo_new_path(cr);
        RoundedRectPath(cr, 1.75, 1.75, w - 3.5, h - 3.5, 5);
        SetColor(cr, Darken(kWood, 0.3));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    });
    reg.Add("slider_value.png", 112, 16, [](cairo_t* cr, int w, int h) {
        cairo_new_path(cr);
        RoundedRectPath(cr, 1.5, 1.5, w - 3, h - 3, 4);
        cairo_pattern_t* pat = cairo_pattern_create_linear(0, 0, w, 0);
        cairo_pattern_add_color_stop_rgb(pat, 0, 0.95, 0.76, 0.18);
        cairo_pattern_add_color_stop_rgb(pat, 1, 0.85, 0.25, 0.17);
        cairo_set_source(cr, pat);
        cairo_fill(cr);
        cairo_pattern_destroy(pat);
        Line(cr, 4, 4.5, w - 4, 4.5, Hex(0xffffff, 0.4), 2);
    });
    reg.Add("slider_greyout.png", 152, 20, [](cairo_t* cr, int w, int h) {
        cairo_new_path(cr);
        RoundedRectPath(cr, 1, 1, w - 2, h - 2, 6);
        SetColor(cr, Hex(0xe2c98f, 0.75));
        cairo_fill(cr);
    });
    ButtonLook small = wood;
    small.radius = 4;
    AddButtons(reg, "slider_button_minus", {"base", "shadow", "rollover"}, ".png", 16, 16, small, "", ICON_MINUS);
    AddButtons(reg, "slider_button_plus", {"base", "shadow", "rollover"}, ".png", 16, 16, small, "", ICON_PLUS);

    // Text fields and the caret.
    reg.Add("profilenternamecursor.png", 3, 20, [](cairo_t* cr, int w, int h) {
        cairo_rectangle(cr, 0, 0, w, h);
        SetColor(cr, kInk);
        cairo_fill(cr);
    });
    for (const auto& f : {std::make_pair("password_entry.png", 130), std::make_pair("profile_entername_textbox.png", 172)}) {
        const int fw = f.second, fh = std::string(f.first) == "password_entry.png" ? 32 : 26;
        reg.Add(f.first, fw, fh, [](cairo_t* cr, int w, int h) { DrawField(cr, 0, 0, w, h); });
    }
    reg.Add("savebox_filename.jpg", 190, 36, [](cairo_t* cr, int w, int h) {
        VerticalGradient(cr, 0, 0, w, h, kParchDark, kParchLight);
        DrawField(cr, 3, 3, w - 6, h - 6);
    });
    reg.Add("savebox_heading.jpg", 330, 36, [](cairo_t* cr, int w, int h) {
        VerticalGradient(cr, 0, 0, w, h, kParchDark, kParchLight);
        DrawField(cr, 3, 3, w - 6, h - 6);
    });
    reg.Add("etutorial_blurb.jpg", 360, 150, [](cairo_t* cr, int w, int h) {
        VerticalGradient(cr, 0, 0, w, h, kParchDark, kParchLight);
        DrawField(cr, 3, 3, w - 6, h - 6);
    });

    // Key-binding boxes.
    ButtonLook field;
    field.base = Hex(0xf3e3bf);
    field.radius = 4;
    AddButtons(reg, "optionscontrolsinput", {"base", "shadow", "rollover"}, ".png", 140, 28, field, "");
    // The caret that blinks in a box waiting for a key, 8 pixels in from its
    // left edge and 5 down.
    reg.Add("optionscontrolscursor.png", 4, 18, [](cairo_t* cr, int w, int h) {
        cairo_new_path(cr);
        RoundedRectPath(cr, 0, 0, w, h, 1.5);
        SetColor(cr, kInk);
        cairo_fill(cr);
    });

    // Play-screen GUI.
    reg.Add("counterdigitsA.png", 13, 240, DigitStrip);
    // The frame lies over the digits (its layer is the higher one): only its
    // rim is solid, the window inside is a faint glass the digits show through.
    reg.Add("Step Counter 03.png", 80, 30, [](cairo_t* cr, int w, int h) {
        cairo_new_path(cr);
        RoundedRectPath(cr, 1.75, 1.75, w - 3.5, h - 3.5, 6);
        RoundedRectPath(cr, 4, 3, w - 8, h - 6, 4);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        SetColor(cr, Hex(0x3a2a1a, 0.85));
        cairo_fill(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_new_path(cr);
        RoundedRectPath(cr, 1.75, 1.75, w - 3.5, h - 3.5, 6);
        SetColor(cr, Hex(0x1e140a));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        cairo_new_path(cr);
        RoundedRectPath(cr, 4, 3, w - 8, h - 6, 4);
        SetColor(cr, Hex(0x3a2a1a, 0.12));
        cairo_fill_preserve(cr);
        SetColor(cr, Hex(0xc9a13b));
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    });
    reg.Add("show_solution.tga", 280, 30, [](cairo_t* cr, int w, int h) {
        OutlinedRoundedRect(cr, 1.75, 1.75, w - 3.5, h - 3.5, 8, Hex(0x2f6fe0, 0.85), 1.5);
        TextBox(cr, CCaptions::Shared().Get("show_solution"), 6, 2, w - 12, h - 4, 15, Hex(0xffffff), FONT_SANS_BOLD);
    });
    ButtonLook menu = wood;
    menu.textSize = 12;
    menu.radius = 5;
    reg.Add("ingame_menubutton.tga", 50, 20, [menu](cairo_t* cr, int w, int h) {
        DrawButton(cr, w, h, BUTTON_BASE, false, menu, "ingame_menu", ICON_NONE);
    });
    reg.Add("ingame_menubutton_selected.tga", 50, 20, [menu](cairo_t* cr, int w, int h) {
        DrawButton(cr, w, h, BUTTON_ROLLOVER, false, menu, "ingame_menu", ICON_NONE);
    });
}

}  // namespace InterfaceFamilies
