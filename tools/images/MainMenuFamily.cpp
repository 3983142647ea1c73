// The main menu: the island scene with the volcano (glow and smoke play
// behind and above its front), the professor waving from behind the palm
// leaves, the menu buttons with their words, the welcome panel.
#include <cmath>
#include <string>

#include "images/CCaptions.h"
#include "images/DrawKit.h"
#include "images/InterfaceFamilies.h"
#include "images/InterfaceKit.h"
#include "images/ProfessorBust.h"
#include "images/SceneArt.h"
#include "screens/LevelDotLayouts.h"

using namespace DrawKit;
using namespace InterfaceKit;

namespace {

// Screen positions of the layered sprites; pictures are drawn in screen
// coordinates shifted by these so the layers line up.
const double kVolcanoX = 421, kVolcanoY = 167;
const double kGlowX = 453, kGlowY = 167;
const double kSmokeX = 401, kSmokeY = -29;
const double kCraterX = 590, kCraterY = 190;  // screen position of the crater's middle

void VolcanoFront(cairo_t* cr, int w, int h) {
    cairo_translate(cr, -kVolcanoX, -kVolcanoY);
    // The foot of the cone ends a pixel and a half inside the picture's sides.
    const double cone[] = {kCraterX - 34, kCraterY, kCraterX + 34, kCraterY, kVolcanoX + w - 1.5, kVolcanoY + h,
                           kVolcanoX + 1.5, kVolcanoY + h};
    OutlinedPolygon(cr, cone, 4, Hex(0x6a4a3a), 2);
    // The level map lays this picture over its track: the track climbs on
    // up the slope (in the menu, a trail up the mountain).
    cairo_save(cr);
    PolygonPath(cr, cone, 4);
    cairo_clip(cr);
    cairo_translate(cr, kVolcanoX - kMapVolcanoX, kVolcanoY - kMapVolcanoY);
    InterfaceFamilies::DrawMapTrack(cr);
    cairo_restore(cr);
    // Crater lip and lava runs.
    OutlinedEllipse(cr, kCraterX, kCraterY, 34, 7, Hex(0x4a3028), 1.5);
    OutlinedEllipse(cr, kCraterX, kCraterY + 1, 26, 4, Hex(0xff8a2a), 0);
    for (int i = -1; i <= 1; ++i) {
        cairo_new_path(cr);
        cairo_move_to(cr, kCraterX + i * 14, kCraterY + 4);
        cairo_curve_to(cr, kCraterX + i * 30, kCraterY + 60, kCraterX + i * 70, kCraterY + 110, kCraterX + i * 80,
                       kCraterY + 170);
        SetColor(cr, Hex(0xff6a1a, 0.85));
        cairo_set_line_width(cr, 5 - std::abs(i));
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
    // The foot fades out so the mountain stands in the meadow of the background.
    cairo_identity_matrix(cr);
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, h - 70, 0, h - 1);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 1);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
    cairo_set_source(cr, fade);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_pattern_destroy(fade);
}

// The glow over the crater: its picture begins 23 pixels above the crater,
// so the glow is a wide, low haze that fades out inside it.
void Glow(cairo_t* cr, int, int, int frame) {
    cairo_translate(cr, -kGlowX, -kGlowY);
    const double t = frame / 9.0;
    const double cy = kCraterY - 1, above = cy - kGlowY - 1;
    auto haze = [&](double r, const Color& c) {
        cairo_save(cr);
        cairo_translate(cr, kCraterX, cy);
        cairo_scale(cr, 1, std::min(1.0, above / r));
        RadialGlow(cr, 0, 0, r, c);
        cairo_restore(cr);
    };
    haze(40 + 50 * t, Hex(0xff9a3a, 0.35 + 0.5 * t));
    haze(20 + 15 * t, Hex(0xffe08a, 0.5 + 0.4 * t));
}

void Smoke(cairo_t* cr, int, int, int frame) {
    cairo_translate(cr, -kSmokeX, -kSmokeY);
    // Puffs leave the crater one after another, rise, grow and fade.
    for (int p = 0; p < 6; ++p) {
        const double age = (frame - p * 7) / 30.0;
        if (age < 0 || age > 1) continue;
        uint32_t s = Seed("smoke") + p;
        const double drift = RandomRange(s, -30, 40);
        const double x = kCraterX + drift * age + 12 * std::sin(age * 5 + p);
        // Puffs fade out before they reach the top of their picture.
        const double y = kCraterY - 10 - age * 145;
        const double r = 14 + age * 40;
        const double alpha = 0.95 * (1 - age) * std::min(1.0, age * 6);
        // A puff is a few soft blobs, lit from the upper left.
        const Color grey = Mix(Hex(0x8a8480), Hex(0xd8d4d0), age);
        for (int b = 0; b < 4; ++b) {
            const double bx = x + RandomRange(s, -r * 0.45, r * 0.45);
            const double by = y + RandomRange(s, -r * 0.3, r * 0.3);
            const double br = r * RandomRange(s, 0.55, 0.8);
            RadialGlow(cr, bx, by, br, WithAlpha(grey, alpha));
        }
        Highlight(cr, x - r * 0.25, y - r * 0.25, r * 0.4, r * 0.3, 0.25 * alpha);
    }
}

// The crest of the green hill across the 800 x 600 screen, from its left
// edge to its right; the professor stands behind it.
void HillCrest(cairo_t* cr) {
    const double w = 800, h = 600;
    cairo_move_to(cr, 0, h * 0.6);
    cairo_curve_to(cr, 200, h * 0.52, 600, h * 0.55, w, h * 0.6);
}

void Background(cairo_t* cr, int w, int h) {
    SceneArt::SkyAndSea(cr, w, h, 1.0);
    // Distant hills behind the volcano and the beach the professor stands on.
    SceneArt::Volcano(cr, 300, h * 0.62, 260, 120, 0.6);
    cairo_new_path(cr);
    HillCrest(cr);
    cairo_line_to(cr, w, h);
    cairo_line_to(cr, 0, h);
    cairo_close_path(cr);
    FillShaded(cr, Hex(0x4caf3f), 0);
    cairo_new_path(cr);
    cairo_move_to(cr, 0, h * 0.8);
    cairo_curve_to(cr, 250, h * 0.74, 550, h * 0.78, w, h * 0.76);
    cairo_line_to(cr, w, h);
    cairo_line_to(cr, 0, h);
    cairo_close_path(cr);
    FillShaded(cr, Hex(0xe0b862), 0);
    SceneArt::Palm(cr, 40, 470, 170, 25, 1.0);
    SceneArt::Palm(cr, 760, 500, 140, -20, 1.0);
}

// The professor's layers: all drawn in screen coordinates.
const double kHeadX = 61, kHeadY = 128, kBodyX = 84, kBodyY = 226;
const double kLArmX = 123, kLArmY = 184, kRArmX = 126, kRArmY = 204;
const double kLeavesX = 79, kLeavesY = 235;
const double kNeckX = 150, kNeckY = 232;

// The head rests with its chin tucked behind the scarf and rises 5.5 px at
// most: raised, its crown stays a pixel and a half inside the top of its
// picture.
void Head(cairo_t* cr, int frame) {
    cairo_translate(cr, -kHeadX, -kHeadY);
    const double raised = -5.5;
    double dy = 0, tilt = 0, look = 0;
    if (frame <= 5) {
        dy = raised * frame / 5.0;
    } else if (frame <= 15) {
        dy = raised;
        tilt = -0.22 * (frame - 5) / 10.0;
        look = (frame - 5) / 10.0;
    } else {
        dy = raised;
        tilt = 0.16 * std::sin((frame - 16) / 10.0 * 2 * M_PI);
    }
    ProfessorBust::Head(cr, kNeckX, kNeckY - 49 + dy, 46, tilt, look);
}

// The arm behind the body lifts only a little from a shoulder hidden by the
// coat, its hand staying behind the coat in every frame: raised as far as
// the waving arm, its hand peeked out beside the waving one and read as a
// stray third hand. The waving arm in front bends at the elbow as it rises,
// so the hand goes up beside the head rather than out past its picture's
// right edge.
void Arm(cairo_t* cr, int frame, bool left) {
    if (left) {
        const double angle = 0.27 + frame * 0.06;
        cairo_translate(cr, -kLArmX, -kLArmY);
        ProfessorBust::Arm(cr, kNeckX - 14, kNeckY + 14, 70, angle, angle * 1.3, 1);
    } else {
        const double bend[6] = {0, 0.8, 1.3, 1.5, 1.4, 1.3};
        const double angle = 0.3 + frame * 0.26;
        cairo_translate(cr, -kRArmX, -kRArmY);
        ProfessorBust::Arm(cr, kNeckX + 28, kNeckY + 16, 70, angle, angle + bend[frame], 1);
    }
}

void Leaves(cairo_t* cr, int, int) {
    cairo_translate(cr, -kLeavesX, -kLeavesY);
    // A bush of palm leaves with three coconuts in front of the professor.
    for (int i = 0; i < 9; ++i) {
        const double a = -M_PI * 0.95 + i * M_PI * 0.9 / 8;
        const double bx = 150, by = 330;
        const double lx = bx + std::cos(a) * 68, ly = by + std::sin(a) * 70;
        cairo_new_path(cr);
        cairo_move_to(cr, bx, by);
        cairo_curve_to(cr, bx + (lx - bx) * 0.4, by - 40, lx, ly - 10, lx, ly);
        cairo_curve_to(cr, lx - (lx - bx) * 0.2, ly + 12, bx + (lx - bx) * 0.4, by - 10, bx, by);
        FillShaded(cr, i % 2 ? Hex(0x3f8f3a) : Hex(0x4caf3f), 1.5);
    }
    OutlinedEllipse(cr, 128, 318, 14, 13, Hex(0x7a4f2a), 1.5);
    OutlinedEllipse(cr, 156, 322, 14, 13, Hex(0x6a4020), 1.5);
    OutlinedEllipse(cr, 142, 300, 13, 12, Hex(0x8a5a30), 1.5);
}

}  // namespace

namespace InterfaceFamilies {

void RegisterMainMenu(CArtRegistry& reg) {
    reg.Add("mainmenu_background.jpg", 800, 600, Background);
    reg.Add("mainmenu_volcanofront.png", 340, 260, VolcanoFront);
    for (int i = 1; i <= 9; ++i)
        reg.Add("mainmenu_glow" + std::to_string(i) + ".png", 276, 90,
                [i](cairo_t* cr, int w, int h) { Glow(cr, w, h, i); });
    for (int i = 1; i <= 54; ++i)
        reg.Add("mainmenu_smoke" + std::to_string(i) + ".png", 380, 230,
                [i](cairo_t* cr, int w, int h) { Smoke(cr, w, h, i); });
    const char* big[] = {"A", "B", "C", "D"};
    const char* med[] = {"A", "B", "C"};
    const char* sml[] = {"A", "B", "C", "D", "E"};
    for (const char* c : big)
        reg.Add(std::string("mainmenu_cloudbig") + c + ".png", 240, 100, [c](cairo_t* cr, int w, int h) {
            SceneArt::Cloud(cr, w / 2.0, h / 2.0 + 8, w * 0.8, h * 0.55, Seed(std::string("cb") + c), 1.0);
        });
    for (const char* c : med)
        reg.Add(std::string("mainmenu_cloudmedium") + c + ".png", 170, 74, [c](cairo_t* cr, int w, int h) {
            SceneArt::Cloud(cr, w / 2.0, h / 2.0 + 6, w * 0.8, h * 0.55, Seed(std::string("cm") + c), 0.95);
        });
    for (const char* c : sml)
        reg.Add(std::string("mainmenu_cloudsmall") + c + ".png", 110, 50, [c](cairo_t* cr, int w, int h) {
            SceneArt::Cloud(cr, w / 2.0, h / 2.0 + 4, w * 0.8, h * 0.55, Seed(std::string("cs") + c), 0.9);
        });
    for (int i = 0; i <= 26; ++i)
        reg.Add("mainmenu_profhead" + std::to_string(i) + ".png", 180, 140, [i](cairo_t* cr, int, int) { Head(cr, i); });
    for (int i = 0; i <= 5; ++i) {
        reg.Add("mainmenu_profleftarm" + std::to_string(i) + ".png", 120, 140,
                [i](cairo_t* cr, int, int) { Arm(cr, i, true); });
        reg.Add("mainmenu_profrightarm" + std::to_string(i) + ".png", 120, 140,
                [i](cairo_t* cr, int, int) { Arm(cr, i, false); });
    }
    reg.Add("mainmenu_profbody.png", 140, 130, [](cairo_t* cr, int, int) {
        cairo_translate(cr, -kBodyX, -kBodyY);
        // He stands behind the hill: the coat goes on below its crest (334
        // to 346 under him) and is cut off by it, with no hem drawn on the
        // grass. The scarf's top stays two pixels inside the picture.
        cairo_new_path(cr);
        HillCrest(cr);
        cairo_line_to(cr, 800, 0);
        cairo_line_to(cr, 0, 0);
        cairo_close_path(cr);
        cairo_clip(cr);
        ProfessorBust::Body(cr, kNeckX, kNeckY + 2, 100, 120);
    });
    reg.Add("mainmenu_leavescoconuts.png", 200, 110, Leaves);

    ButtonLook look;
    look.radius = 12;
    AddButtons(reg, "mainmenu_button", {"base", "rollover", "active", "fade"}, ".png", 210, 48, look, "");
    for (const char* t : {"playnow", "levelmanager", "leveleditor", "highscores", "instructions", "settings",
                          "credits", "moregames", "exit"})
        AddCaption(reg, std::string("mainmenu_text_") + t + ".png", 170, 26, std::string("mainmenu_") + t, 19,
                   Hex(0xfff3d6));

    reg.Add("profile_main.png", 200, 70, [](cairo_t* cr, int w, int h) {
        OutlinedRoundedRect(cr, 1.75, 1.75, w - 3.5, h - 3.5, 9, kWood, 1.5);
        Parchment(cr, 5, 4, w - 10, h - 8, Seed("profile_main"), 0.4);
    });
    ButtonLook change;
    change.base = Hex(0x2a9d8f);
    change.textSize = 12;
    change.radius = 6;
    AddButtons(reg, "profile_button_change", {"base", "shadow", "rollover", "fade"}, ".png", 110, 24, change,
               "change_player");
}

}  // namespace InterfaceFamilies
