// Power-ups: the spinning pickups on the board, their halo and rising
// captions, and the professor's inventory icons.
#include "images/world/PowerupIcons.h"
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace worldart {

void DrawPowerIcon(cairo_t* cr, PowerKind kind) {
    switch (kind) {
    case PowerKind::Crate:
        RoundRect(cr, -8, -8, 16, 16, 4);
        Shade(cr, pal::kRubber, -8, -8, 8, 8, 1.4);
        cairo_move_to(cr, -6, 0);
        cairo_line_to(cr, 6, 0);
        Stroke(cr, Darker(pal::kRubber, 0.75), 0.8);
        Ellipse(cr, 4.5, -4.5, 1.6, 1.6);
        Flat(cr, pal::kValve, 0.6);
        break;
    case PowerKind::Barrel:
        Ellipse(cr, 0, 0, 8.5, 8.5);
        Shade(cr, pal::kRubber, -8, -8, 8, 8, 1.4);
        cairo_move_to(cr, -6.5, 0);
        cairo_line_to(cr, 6.5, 0);
        Stroke(cr, Darker(pal::kRubber, 0.75), 0.8);
        Ellipse(cr, 0, -5.5, 1.6, 1.6);
        Flat(cr, pal::kValve, 0.6);
        break;
    case PowerKind::Magnet: {
        cairo_new_path(cr);
        cairo_arc(cr, -1, 0, 8, M_PI / 2, 1.5 * M_PI);
        cairo_line_to(cr, 8, -8);
        cairo_line_to(cr, 8, -3.5);
        cairo_arc_negative(cr, -1, 0, 3.5, 1.5 * M_PI, M_PI / 2);
        cairo_line_to(cr, 8, 3.5);
        cairo_line_to(cr, 8, 8);
        cairo_close_path(cr);
        Shade(cr, pal::kRubber, -9, -8, 8, 8, 1.4);
        cairo_rectangle(cr, 5, -8, 3, 4.5);
        cairo_rectangle(cr, 5, 3.5, 3, 4.5);
        Flat(cr, pal::kValve, 0.6);
        break;
    }
    case PowerKind::Emp:
        Ellipse(cr, 0, 0, 9, 9);
        Shade(cr, Hex(0x2b4f9e), -9, -9, 9, 9, 1.4);
        cairo_move_to(cr, 1.5, -7);
        cairo_line_to(cr, -4, 1);
        cairo_line_to(cr, 0, 1);
        cairo_line_to(cr, -1.5, 7);
        cairo_line_to(cr, 4.5, -1.5);
        cairo_line_to(cr, 0.5, -1.5);
        cairo_close_path(cr);
        Flat(cr, Hex(0xfff27a), 0.8);
        break;
    case PowerKind::FrostGun:
    case PowerKind::HeatGun: {
        bool frost = kind == PowerKind::FrostGun;
        Rgb body = frost ? Hex(0x5aa9e6) : Hex(0xd8542c);
        RoundRect(cr, -9, -5, 16, 7, 2.5);
        Shade(cr, body, -9, -5, 7, 2, 1.3);
        RoundRect(cr, -6, 1, 4, 7, 1.5);
        Shade(cr, Hex(0x666666), -6, 1, -2, 8, 1.0);
        RoundRect(cr, 6, -3.5, 3.5, 4, 1);
        Flat(cr, pal::kRivet, 0.8);
        Ellipse(cr, -2, -6.5, 3, 2.2);
        Flat(cr, frost ? Hex(0xe8f8ff) : Hex(0xffc24a), 0.8);
        if (frost) {
            for (int k = 0; k < 3; ++k) {
                double a = k * M_PI / 3;
                cairo_move_to(cr, -2 + std::cos(a) * 2.2, -6.5 + std::sin(a) * 1.6);
                cairo_line_to(cr, -2 - std::cos(a) * 2.2, -6.5 - std::sin(a) * 1.6);
            }
            Stroke(cr, Hex(0x5aa9e6), 0.6);
        }
        break;
    }
    case PowerKind::Bridge:
        RoundRect(cr, -10, -3, 20, 6, 3);
        Shade(cr, pal::kRubber, -10, -3, 10, 3, 1.4);
        for (int i = -1; i <= 1; i += 2) {
            cairo_move_to(cr, i * 3.5, -2);
            cairo_line_to(cr, i * 3.5, 2);
        }
        Stroke(cr, Darker(pal::kRubber, 0.75), 0.8);
        Ellipse(cr, 7.5, 0, 1.2, 1.2);
        Flat(cr, pal::kValve, 0.5);
        break;
    case PowerKind::Whistle:
        cairo_move_to(cr, -9, -3);
        cairo_line_to(cr, 1, -3);
        cairo_arc(cr, 3, 1.5, 5.5, -M_PI / 2 - 0.4, M_PI * 1.3);
        cairo_line_to(cr, -9, 1);
        cairo_close_path(cr);
        Shade(cr, pal::kBrass, -9, -4, 9, 7, 1.3);
        Ellipse(cr, 3, 1.5, 2, 2);
        Flat(cr, Darker(pal::kBrass, 0.5), 0);
        cairo_move_to(cr, -8, -3);
        cairo_curve_to(cr, -11, -8, -5, -10, -3, -7);
        Stroke(cr, Hex(0x8a4b2a), 1.0);
        break;
    case PowerKind::TeleportBlue:
    case PowerKind::TeleportYellow:
    case PowerKind::TeleportRed: {
        Rgb c = kind == PowerKind::TeleportBlue ? pal::kBlue
                                                : (kind == PowerKind::TeleportYellow ? pal::kYellow : pal::kRed);
        Ellipse(cr, 0, 1, 4.5, 7.5);
        cairo_pattern_t* g = cairo_pattern_create_radial(0, 1, 0.5, 0, 1, 7);
        cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.95);
        cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0.8);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        // The legs' round ends stay inside the pickup's picture.
        for (int pass = 0; pass < 2; ++pass) {
            cairo_move_to(cr, -7, 8.5);
            cairo_line_to(cr, -7, -3);
            cairo_curve_to(cr, -7, -11, 7, -11, 7, -3);
            cairo_line_to(cr, 7, 8.5);
            Stroke(cr, pass == 0 ? Darker(pal::kRubber, 0.5) : pal::kRubber, pass == 0 ? 4.2 : 2.8);
        }
        Ellipse(cr, 0, -8.5, 1.8, 1.8);
        Flat(cr, c, 0.6);
        break;
    }
    }
}

void DrawPowerHalo(cairo_t* cr, double pulse) {
    cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 4, 0, 0, 17);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.98, 0.85, 0.0);
    cairo_pattern_add_color_stop_rgba(g, 0.55, 1, 0.95, 0.6, 0.45 + 0.2 * pulse);
    cairo_pattern_add_color_stop_rgba(g, 0.75, 1, 0.85, 0.35, 0.35);
    cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.8, 0.3, 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, 0, 0, 17, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    for (int i = 0; i < 4; ++i) {
        double a = i * M_PI / 2 + M_PI / 4;
        double x = std::cos(a) * 12, y = std::sin(a) * 12;
        cairo_move_to(cr, x - 2, y);
        cairo_line_to(cr, x + 2, y);
        cairo_move_to(cr, x, y - 2);
        cairo_line_to(cr, x, y + 2);
    }
    Stroke(cr, Hex(0xffffff), 0.9, 0.8);
}

namespace {

struct Pickup {
    const char* name;
    const char* ext;
    int frames;
    PowerKind kind;
};

// A spinning pickup: the icon turns about its vertical axis once per loop,
// with a glint sweeping across.
void Spin(cairo_t* cr, PowerKind kind, int f, int n) {
    double a = 2 * M_PI * f / n;
    double sx = std::cos(a);
    cairo_save(cr);
    cairo_translate(cr, 12, 12);
    cairo_scale(cr, std::max(0.12, std::fabs(sx)), 1);
    if (sx < 0) cairo_scale(cr, -1, 1);
    DrawPowerIcon(cr, kind);
    cairo_restore(cr);
    double glint = std::sin(a * 2);
    if (glint > 0.6) {
        double x = 12 + 6 * std::sin(a), y = 6;
        cairo_move_to(cr, x - 3, y);
        cairo_line_to(cr, x + 3, y);
        cairo_move_to(cr, x, y - 3);
        cairo_line_to(cr, x, y + 3);
        Stroke(cr, Hex(0xffffff), 1.0, (glint - 0.6) * 2.5);
    }
}

// The inventory's pictograms. The board's pickups are drawn about 20 px
// across for a 24 px cell; on the badge's 26 px plate the same drawings ran
// together (the rubber crate, barrel, magnet and bridge are one yellow, and
// the EMP, whistle and teleport are thin strokes), so each kind gets its one
// telling shape here, as large as the plate allows (radius 11) and outlined
// in one dark ink to stand off the cream plate.
void BadgeIcon(cairo_t* cr, PowerKind kind) {
    const Rgb ink = Hex(0x3b2a1a);
    const Rgb rubber = pal::kRubber;
    switch (kind) {
    case PowerKind::Crate:
        // A square box with a brace across it and its valve.
        RoundRect(cr, -9, -9, 18, 18, 3);
        Shade(cr, rubber, -9, -9, 9, 9, 0);
        RoundRect(cr, -9, -9, 18, 18, 3);
        Stroke(cr, ink, 1.4);
        RoundRect(cr, -6, -6, 12, 12, 1.5);
        Stroke(cr, Darker(rubber, 0.7), 1.0);
        cairo_move_to(cr, -6, 6);
        cairo_line_to(cr, 6, -6);
        Stroke(cr, Darker(rubber, 0.7), 1.6);
        Ellipse(cr, 6.5, -6.5, 2, 2);
        Flat(cr, pal::kValve, 0.8);
        break;
    case PowerKind::Barrel:
        // A barrel standing: bulging staves and two hoops.
        for (int pass = 0; pass < 2; ++pass) {
            cairo_move_to(cr, -6.5, -10);
            cairo_line_to(cr, 6.5, -10);
            cairo_curve_to(cr, 10.5, -5, 10.5, 5, 6.5, 10);
            cairo_line_to(cr, -6.5, 10);
            cairo_curve_to(cr, -10.5, 5, -10.5, -5, -6.5, -10);
            cairo_close_path(cr);
            if (pass == 0)
                Shade(cr, rubber, -9, -10, 9, 10, 0);
            else
                Stroke(cr, ink, 1.4);
        }
        for (int side = -1; side <= 1; side += 2) {
            cairo_move_to(cr, -8.6, side * 4.5);
            cairo_curve_to(cr, -3, side * 4.5 + 1.5, 3, side * 4.5 + 1.5, 8.6, side * 4.5);
        }
        Stroke(cr, Darker(rubber, 0.6), 1.6);
        break;
    case PowerKind::Magnet: {
        // A horseshoe magnet, open downwards, with bright poles.
        cairo_new_path(cr);
        cairo_arc(cr, 0, -2, 10, M_PI, 2 * M_PI);
        cairo_line_to(cr, 10, 10);
        cairo_line_to(cr, 4.5, 10);
        cairo_line_to(cr, 4.5, -2);
        cairo_arc_negative(cr, 0, -2, 4.5, 0, M_PI);
        cairo_line_to(cr, -4.5, 10);
        cairo_line_to(cr, -10, 10);
        cairo_close_path(cr);
        Shade(cr, rubber, -10, -12, 10, 10, 1.4);
        cairo_rectangle(cr, -10, 4.5, 5.5, 5.5);
        cairo_rectangle(cr, 4.5, 4.5, 5.5, 5.5);
        Shade(cr, pal::kRivet, -10, 4.5, 10, 10, 1.2);
        break;
    }
    case PowerKind::Emp:
        // The pickup's bolt on its disc reads well already: only larger.
        cairo_save(cr);
        cairo_scale(cr, 11.0 / 9, 11.0 / 9);
        DrawPowerIcon(cr, kind);
        cairo_restore(cr);
        break;
    case PowerKind::FrostGun:
    case PowerKind::HeatGun: {
        // The gun pointing right, and what it shoots at its muzzle: a
        // snowflake or a flame.
        const bool frost = kind == PowerKind::FrostGun;
        const Rgb body = frost ? Hex(0x5aa9e6) : Hex(0xd8542c);
        RoundRect(cr, -8, 3, 5, 8, 1.5);
        Shade(cr, Hex(0x666666), -8, 3, -3, 11, 1.0);
        RoundRect(cr, -11, -4, 15, 8, 3);
        Shade(cr, body, -11, -4, 4, 4, 1.2);
        RoundRect(cr, 3, -2.5, 3, 5, 1);
        Flat(cr, pal::kRivet, 0.8);
        if (frost) {
            // A snowflake: a dark edge under white spokes.
            for (int pass = 0; pass < 2; ++pass) {
                for (int k = 0; k < 3; ++k) {
                    const double a = k * M_PI / 3 + M_PI / 2;
                    cairo_move_to(cr, 6.5 + std::cos(a) * 4.5, -4 + std::sin(a) * 4.5);
                    cairo_line_to(cr, 6.5 - std::cos(a) * 4.5, -4 - std::sin(a) * 4.5);
                }
                Stroke(cr, pass ? Hex(0xe8f8ff) : Hex(0x1d5f96), pass ? 1.1 : 2.4);
            }
        } else {
            cairo_move_to(cr, 6, 2);
            cairo_curve_to(cr, 12, 0, 11, -5, 8, -10);
            cairo_curve_to(cr, 7.5, -6, 5.5, -6, 5, -8);
            cairo_curve_to(cr, 2.5, -4, 2.5, 0, 6, 2);
            cairo_close_path(cr);
            Shade(cr, Hex(0xffb02e), 3, -10, 11, 2, 1.0);
        }
        break;
    }
    case PowerKind::Bridge:
        // A plank deck on an arch.
        for (int pass = 0; pass < 2; ++pass) {
            cairo_move_to(cr, -10, 7);
            cairo_curve_to(cr, -6, -1, 6, -1, 10, 7);
            Stroke(cr, pass ? Darker(rubber, 0.8) : ink, pass ? 1.6 : 3.2);
        }
        RoundRect(cr, -11, -5, 22, 6, 2);
        Shade(cr, rubber, -11, -5, 11, 1, 1.4);
        for (int i = -1; i <= 1; ++i) {
            cairo_move_to(cr, i * 5.5, -4);
            cairo_line_to(cr, i * 5.5, 0);
        }
        Stroke(cr, Darker(rubber, 0.65), 1.0);
        break;
    case PowerKind::Whistle:
        // The pickup's brass whistle, larger and lower, blowing two sound
        // waves.
        cairo_save(cr);
        cairo_translate(cr, -1, 2);
        cairo_scale(cr, 1.2, 1.2);
        DrawPowerIcon(cr, kind);
        cairo_restore(cr);
        for (int k = 0; k < 2; ++k) {
            const double r = 4 + k * 3.5;
            cairo_new_sub_path(cr);
            cairo_arc(cr, 3, -4, r, -M_PI / 2 + 0.3, -0.3);
        }
        Stroke(cr, ink, 1.3);
        break;
    case PowerKind::TeleportBlue:
    case PowerKind::TeleportYellow:
    case PowerKind::TeleportRed: {
        // A glowing door of the teleport's colour.
        const Rgb c = kind == PowerKind::TeleportBlue
                          ? pal::kBlue
                          : (kind == PowerKind::TeleportYellow ? pal::kYellow : pal::kRed);
        Ellipse(cr, 0, 0, 7.5, 10.5);
        cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 1, 0, 0, 10.5);
        cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 1);
        cairo_pattern_add_color_stop_rgba(g, 0.45, c.r, c.g, c.b, 0.95);
        cairo_pattern_add_color_stop_rgba(g, 1, c.r * 0.6, c.g * 0.6, c.b * 0.6, 1);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        Ellipse(cr, 0, 0, 7.5, 10.5);
        Stroke(cr, ink, 2.6);
        Ellipse(cr, 0, 0, 7.5, 10.5);
        Stroke(cr, Lighter(c, 0.3), 1.2);
        break;
    }
    }
}

// The inventory badge: a round brass-rimmed plate with the pictogram.
// Frames 0..2 pop the icon in, 3 is the rest, 4 the hovered look.
void Badge(cairo_t* cr, PowerKind kind, int frame, double portalPulse) {
    const double scales[5] = {0.45, 0.85, 1.12, 1.0, 1.08};
    double s = scales[std::max(0, std::min(4, frame))];
    cairo_save(cr);
    cairo_translate(cr, 18, 18);
    cairo_scale(cr, s, s);
    if (frame == 4 || portalPulse > 0) {
        double k = frame == 4 ? 1.0 : portalPulse;
        // The glow ends inside the badge's picture even on the enlarged hover frame.
        cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 10, 0, 0, 16);
        cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.92, 0.55, 0.8 * k);
        cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.8, 0.3, 0);
        cairo_set_source(cr, g);
        cairo_arc(cr, 0, 0, 16, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
    Ellipse(cr, 0, 0, 14, 14);
    Shade(cr, frame == 4 ? Hex(0xfaf0d2) : Hex(0xf3e3bf), -14, -14, 14, 14, 0);
    Ellipse(cr, 0, 0, 14, 14);
    Stroke(cr, pal::kBrass, 2.2);
    BadgeIcon(cr, kind);
    cairo_restore(cr);
}

// The position's number: a small disc the game sets in the badge's lower
// right corner, outside the plate's pictogram, so it covers only the rim.
void NumberIcon(cairo_t* cr, int digit, bool lit) {
    Ellipse(cr, 7, 7, 5, 5);
    Shade(cr, lit ? Hex(0xffd36b) : Hex(0x24335a), 0, 0, 14, 14, 0.9);
    DrawKit::Text(cr, std::to_string(digit), 7, 2.6, 7.5, lit ? Hex(0x24335a) : Hex(0xffffff),
                  DrawKit::FONT_SANS_BOLD, DrawKit::ALIGN_CENTER);
}

}  // namespace

void RegisterPowerups(CArtRegistry& reg) {
    const Pickup pickups[] = {
        {"powerupcrate", ".tga", 28, PowerKind::Crate},
        {"powerupbarrel", ".tga", 24, PowerKind::Barrel},
        {"powerupmagnet", ".tga", 24, PowerKind::Magnet},
        {"powerupemp", ".tga", 18, PowerKind::Emp},
        {"powerupfrostgun", ".tga", 18, PowerKind::FrostGun},
        {"powerupheatgun", ".png", 18, PowerKind::HeatGun},
        {"powerupbridge", ".png", 28, PowerKind::Bridge},
        {"powerupwhistle", ".tga", 18, PowerKind::Whistle},
        {"powerupteleport", ".png", 28, PowerKind::TeleportBlue},
        {"powerupteleportyellow", ".png", 28, PowerKind::TeleportYellow},
        {"powerupteleportred", ".png", 28, PowerKind::TeleportRed},
    };
    for (const Pickup& p : pickups) {
        for (int f = 0; f < p.frames; ++f) {
            PowerKind kind = p.kind;
            int n = p.frames;
            AddCell(reg, p.name + std::to_string(f) + p.ext, 14, 14, 24, 24,
                    [=](cairo_t* cr) { Spin(cr, kind, f, n); });
        }
    }
    // The editor's power-up pieces and cursors: halo and icon together.
    struct EditorDef {
        const char* name;
        PowerKind kind;
    };
    const EditorDef editor[] = {
        {"editorpowerupfrostgun.tga", PowerKind::FrostGun}, {"editorpowerupheatgun.png", PowerKind::HeatGun},
        {"editorpowerupwhistle.tga", PowerKind::Whistle},   {"editorpowerupteleport.png", PowerKind::TeleportBlue},
        {"editorpowerupbridge.png", PowerKind::Bridge},     {"editorpowerupemp.tga", PowerKind::Emp},
        {"editorpowerupcrate.tga", PowerKind::Crate},       {"editorpowerupbarrel.tga", PowerKind::Barrel},
        {"editorpowerupmagnet.tga", PowerKind::Magnet},     {"cursorpowerupemp.tga", PowerKind::Emp},
        {"cursorpowerupcrate.tga", PowerKind::Crate},       {"cursorpowerupbarrel.tga", PowerKind::Barrel},
        {"cursorpowerupmagnet.tga", PowerKind::Magnet},
    };
    for (const EditorDef& e : editor) {
        PowerKind kind = e.kind;
        AddCell(reg, e.name, 20, 19, 30, 30, [=](cairo_t* cr) {
            cairo_translate(cr, 12, 12);
            DrawPowerHalo(cr, 0.5);
            DrawPowerIcon(cr, kind);
        });
    }
    AddCell(reg, "poweruphalo0.tga", 20, 19, 30, 30, [](cairo_t* cr) {
        cairo_translate(cr, 12, 12);
        DrawPowerHalo(cr, 0.5);
    });
    // Captions rise from the pickup: they fade in, hold and fade out.
    struct CaptionDef {
        const char* name;
        const char* key;
        const char* fallback;
    };
    const CaptionDef captions[] = {
        {"poweruptextinflatable", "powerup_inflatable", "Inflatable"},
        {"poweruptextemp", "powerup_emp", "EMP"},
        {"poweruptextfrostgun", "powerup_frostgun", "Frost Gun"},
        {"poweruptextheatgun", "powerup_heatgun", "Heat Gun"},
        {"poweruptextwhistle", "powerup_whistle", "Whistle"},
    };
    for (const CaptionDef& c : captions) {
        for (int f = 0; f <= 7; ++f) {
            std::string key = c.key, fallback = c.fallback;
            AddCell(reg, c.name + std::to_string(f) + ".tga", 26, 40, 42, 4, [=](cairo_t* cr) {
                double alpha = f < 2 ? 0.5 + 0.25 * f : (f >= 5 ? 1 - (f - 4) * 0.25 : 1.0);
                // Shrink long words to the canvas.
                double size = 9.5;
                double width = DrawKit::TextWidth(cr, fallback, size, DrawKit::FONT_SANS_BOLD);
                if (width > 50) size *= 50 / width;
                Caption(cr, key, fallback, 15, -14, size, Hex(0xfff4c2), Hex(0x6b3a12), alpha);
            });
        }
    }
}

void RegisterHeroIcons(CArtRegistry& reg) {
    const char* digits[9] = {"one", "two", "three", "four", "five", "six", "seven", "eight", "nine"};
    for (int d = 0; d < 9; ++d)
        for (int f = 0; f <= 1; ++f)
            reg.Add(std::string("icon") + digits[d] + std::to_string(f) + ".tga", 14, 14,
                    [=](cairo_t* cr, int, int) { NumberIcon(cr, d + 1, f == 1); });
    struct IconDef {
        const char* name;
        const char* ext;
        PowerKind kind;
    };
    const IconDef icons[] = {
        {"iconcrate", ".tga", PowerKind::Crate},          {"iconbarrel", ".tga", PowerKind::Barrel},
        {"iconmagnet", ".tga", PowerKind::Magnet},        {"iconemp", ".tga", PowerKind::Emp},
        {"iconwhistle", ".tga", PowerKind::Whistle},      {"iconfrostgun", ".tga", PowerKind::FrostGun},
        {"iconheatgun", ".png", PowerKind::HeatGun},      {"iconbridge", ".png", PowerKind::Bridge},
        {"iconteleportblue", ".png", PowerKind::TeleportBlue},
        {"iconteleportyellow", ".png", PowerKind::TeleportYellow},
        {"iconteleportred", ".png", PowerKind::TeleportRed},
    };
    for (const IconDef& i : icons) {
        PowerKind kind = i.kind;
        for (int f = 0; f <= 4; ++f)
            reg.Add(i.name + std::to_string(f) + i.ext, 36, 36,
                    [=](cairo_t* cr, int, int) { Badge(cr, kind, f, 0); });
        bool portal = kind == PowerKind::TeleportBlue || kind == PowerKind::TeleportYellow ||
                      kind == PowerKind::TeleportRed;
        if (!portal) continue;
        // The second end of a teleport still to place: the badge pulses.
        const char* steps[4] = {"3b", "3c", "3d", "3e"};
        for (int s = 0; s < 4; ++s)
            reg.Add(i.name + std::string(steps[s]) + i.ext, 36, 36,
                    [=](cairo_t* cr, int, int) { Badge(cr, kind, 3, 0.25 * (s + 1)); });
    }
}

}  // namespace worldart
