// Teleports: a doorway standing across two columns and two rows (anchor: the
// left column's lower cell). The front post, arch and lamps are drawn apart
// from the back post so that travellers pass between them; the portal swirl,
// its switching on and off and the side glows are separate pictures.
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace worldart {
namespace {

const char* kNames[3] = {"blue", "yellow", "red"};

Rgb Colour(int c) { return c == 0 ? pal::kBlue : (c == 1 ? pal::kYellow : pal::kRed); }

// Door geometry in cell coordinates: each post stands a little right of its
// column's middle, where its own picture holds it whole, and the arch's top
// stays inside the front picture.
const double kFrontX = 13.5, kBackX = 36, kArchTop = -40, kFloor = 24;

void Post(cairo_t* cr, double x, const Rgb& c, bool rubber) {
    if (rubber) {
        RoundRect(cr, x - 3.5, kArchTop + 4, 7, kFloor - kArchTop - 4, 3.5);
        Shade(cr, pal::kRubber, x - 3.5, kArchTop, x + 3.5, kFloor, 1.4);
        for (int i = 0; i < 3; ++i) {
            cairo_rectangle(cr, x - 3, -30 + i * 18, 6, 3);
            Flat(cr, c, 0.6);
        }
    } else {
        cairo_rectangle(cr, x - 3, kArchTop + 4, 6, kFloor - kArchTop - 6);
        Shade(cr, pal::kMetal, x - 3, kArchTop, x + 3, kFloor, 1.4);
        for (int i = 0; i < 4; ++i) {
            Ellipse(cr, x, -32 + i * 15, 1.0, 1.0);
            Flat(cr, pal::kRivet, 0.5);
        }
    }
}

void Back(cairo_t* cr, const Rgb& c, bool rubber) {
    Post(cr, kBackX, rubber ? c : pal::kMetal, rubber);
    RoundRect(cr, kBackX - 3.5, kFloor - 3, 7, 3, 1);
    Shade(cr, Darker(pal::kMetal, 0.85), kBackX - 4, kFloor - 3, kBackX + 4, kFloor, 1.0);
}

// Front: post, arch and a base plate, with lamps lit by `light` (0..1).
void Front(cairo_t* cr, const Rgb& c, double light, bool rubber) {
    Post(cr, kFrontX, c, rubber);
    Rgb arch = rubber ? pal::kRubber : c;
    cairo_move_to(cr, kFrontX - 3.5, kArchTop + 8);
    cairo_curve_to(cr, kFrontX - 3, kArchTop - 2, kBackX + 3, kArchTop - 2, kBackX + 3.5, kArchTop + 8);
    cairo_line_to(cr, kBackX - 2.5, kArchTop + 8);
    cairo_curve_to(cr, kBackX - 3, kArchTop + 3, kFrontX + 3, kArchTop + 3, kFrontX + 2.5, kArchTop + 8);
    cairo_close_path(cr);
    Shade(cr, arch, kFrontX - 4, kArchTop - 2, kBackX + 4, kArchTop + 8, 1.4);
    RoundRect(cr, kFrontX - 4, kFloor - 3, 8, 3, 1);
    Shade(cr, pal::kMetal, kFrontX - 4, kFloor - 3, kFrontX + 4, kFloor, 1.0);
    // Lamps on the arch's face.
    for (int i = 0; i < 3; ++i) {
        double x = kFrontX + 5.5 + i * 6, y = kArchTop + 4 - (i == 1 ? 1.5 : 0);
        Ellipse(cr, x, y, 1.8, 1.8);
        Flat(cr, Mix(Darker(c, 0.45), Lighter(c, 0.5), light), 0.8);
        if (light > 0.1) {
            cairo_pattern_t* g = cairo_pattern_create_radial(x, y, 0.5, x, y, 3.5);
            cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.6 * light);
            cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0);
            cairo_set_source(cr, g);
            Ellipse(cr, x, y, 3.5, 3.5);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
        }
    }
}

// The portal swirl between the posts: arms turning with the phase; size
// scales it about the centre.
void Spiral(cairo_t* cr, const Rgb& c, double phase, double size, double alpha) {
    const double cx = (kFrontX + kBackX) / 2, cy = -8, rx = 8.2, ry = 26;
    if (size <= 0 || alpha <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, size * rx / 10, size * ry / 10);
    cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 0.5, 0, 0, 10);
    Rgb light = Lighter(c, 0.6);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.9 * alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.4, light.r, light.g, light.b, 0.7 * alpha);
    cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0.35 * alpha);
    cairo_set_source(cr, g);
    cairo_arc(cr, 0, 0, 10, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    for (int arm = 0; arm < 3; ++arm) {
        double a0 = phase + arm * 2 * M_PI / 3;
        cairo_move_to(cr, 0, 0);
        for (int i = 1; i <= 12; ++i) {
            double r = i * 0.8, a = a0 + i * 0.35;
            cairo_line_to(cr, std::cos(a) * r, std::sin(a) * r);
        }
        cairo_save(cr);
        cairo_identity_matrix(cr);
        Stroke(cr, Hex(0xffffff), 1.6, 0.75 * alpha);
        cairo_restore(cr);
    }
    cairo_restore(cr);
}

// A soft glow on one side of the doorway (the copies fade it at run time).
void Glow(cairo_t* cr, const Rgb& c, double cx) {
    cairo_save(cr);
    cairo_translate(cr, cx, -8);
    cairo_scale(cr, 0.55, 1.4);
    cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 1, 0, 0, 28);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.8);
    cairo_pattern_add_color_stop_rgba(g, 0.35, c.r, c.g, c.b, 0.55);
    cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, 0, 0, 28, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

// Breaking: the piece sags onto the floor, leaning a little toward the
// side its picture leaves room on, and fades.
void Breaking(cairo_t* cr, double t, double pivotX, double dir, const Painter& draw) {
    WithAlpha(cr, [&](cairo_t* c) {
        cairo_translate(c, pivotX, kFloor);
        cairo_rotate(c, dir * 0.05 * t);
        cairo_scale(c, 1, 1 - 0.8 * t * t);
        cairo_translate(c, -pivotX, -kFloor);
        draw(c);
    }, 1 - 0.55 * t);
}

}  // namespace

void RegisterTeleports(CArtRegistry& reg) {
    const int R = 44, B = 34;
    AddCell(reg, "teleport_frameback.png", -17, 45, R, B, [](cairo_t* cr) { Back(cr, pal::kMetal, false); });
    for (int f = 0; f <= 6; ++f)
        AddCell(reg, "teleport_framebackbreak" + std::to_string(f) + ".png", -17, 45, R + 12, B, [=](cairo_t* cr) {
            Breaking(cr, f / 6.0, kBackX, 1, [](cairo_t* c) { Back(c, pal::kMetal, false); });
        });
    for (int c = 0; c < 3; ++c) {
        Rgb col = Colour(c);
        std::string n = kNames[c];
        for (int f = 0; f <= 4; ++f)
            AddCell(reg, "teleport_frame" + n + std::to_string(f) + ".png", 6, 47, R, B,
                    [=](cairo_t* cr) { Front(cr, col, f / 4.0, false); });
        for (int f = 0; f <= 6; ++f)
            AddCell(reg, "teleport_frame" + n + "break" + std::to_string(f) + ".png", 6, 47, R, B, [=](cairo_t* cr) {
                Breaking(cr, f / 6.0, kFrontX, 1, [=](cairo_t* c2) { Front(c2, col, 0, false); });
            });
        // One picture serves both glows: placed for the left side its centre
        // falls on the front post, placed for the right side on the back post.
        AddCell(reg, "teleport_glow" + n + ".png", 39, 65, 26, 40, [=](cairo_t* cr) { Glow(cr, col, 9.5); });
        for (int f = 0; f <= 39; ++f)
            AddCell(reg, "teleport_spiral" + n + std::to_string(f) + ".png", -1, 43, 36, 22,
                    [=](cairo_t* cr) { Spiral(cr, col, f * 2 * M_PI / 40, 1, 1); });
        for (int f = 0; f <= 6; ++f)
            AddCell(reg, "teleport_spiral" + n + "turnon" + std::to_string(f) + ".png", 3, 40, 36, 22, [=](cairo_t* cr) {
                double t = (f + 1) / 7.0;
                Spiral(cr, col, f * 0.6, 0.2 + 0.8 * t, 0.3 + 0.7 * t);
            });
        // The editor's piece: the whole doorway with a quiet swirl.
        AddCell(reg, "editorteleport" + n + ".png", 6, 47, R, B, [=](cairo_t* cr) {
            Back(cr, pal::kMetal, false);
            Spiral(cr, col, 0, 1, 0.7);
            Front(cr, col, 1, false);
        });
        // Inflatable doorway.
        AddCell(reg, "teleportinflatable_" + n + "3back.png", -14, 46, R, B, [=](cairo_t* cr) { Back(cr, col, true); });
        AddCell(reg, "teleportinflatable_" + n + "3front.png", 6, 48, R, B,
                [=](cairo_t* cr) { Front(cr, col, 1, true); });
        for (int f = 0; f <= 4; ++f)
            AddCell(reg, "teleportinflatable_" + n + std::to_string(f) + ".png", 8, 50, R, B, [=](cairo_t* cr) {
                // Rising from a flat heap to the full doorway (3), then a wobble (4).
                double k = f == 4 ? 1.04 : (f + 1) / 4.0;
                cairo_translate(cr, 0, kFloor);
                cairo_scale(cr, 1, k);
                cairo_translate(cr, 0, -kFloor);
                Back(cr, col, true);
                Front(cr, col, f >= 3 ? 1 : 0, true);
            });
        for (int f = 0; f <= 12; ++f) {
            double t = f / 12.0;
            AddCell(reg, "inflatableteleport_" + n + "backbreak" + std::to_string(f) + ".png", -14, 46, R, B,
                    [=](cairo_t* cr) {
                        WithAlpha(cr, [&](cairo_t* c2) {
                            cairo_translate(c2, kBackX, kFloor);
                            cairo_scale(c2, 1 + 0.2 * t, 1 - 0.85 * t);
                            cairo_translate(c2, -kBackX, -kFloor);
                            Back(c2, col, true);
                        }, 1 - 0.6 * t);
                    });
            AddCell(reg, "inflatableteleport_" + n + "frontbreak" + std::to_string(f) + ".png", 6, 48, R, B,
                    [=](cairo_t* cr) {
                        WithAlpha(cr, [&](cairo_t* c2) {
                            cairo_translate(c2, kFrontX, kFloor);
                            cairo_scale(c2, 1, 1 - 0.85 * t);
                            cairo_translate(c2, -kFrontX, -kFloor);
                            Front(c2, col, 0, true);
                        }, 1 - 0.6 * t);
                    });
        }
    }
}

}  // namespace worldart
