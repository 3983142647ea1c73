// Shots and effects on the board: frost and heat balls with their
// explosions, the heat glow, steam, the EMP crackle and the tutorial sign's
// turning question mark.
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace worldart {
namespace {

void RadialBlob(cairo_t* cr, double cx, double cy, double r, const Rgb& inner, const Rgb& outer,
                double alpha) {
    if (r <= 0 || alpha <= 0) return;
    cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(g, 0, inner.r, inner.g, inner.b, alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.6, outer.r, outer.g, outer.b, alpha * 0.75);
    cairo_pattern_add_color_stop_rgba(g, 1, outer.r, outer.g, outer.b, 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

// A ball flying along the middle of the cell; `dir` is +1 to the right. Its
// short trail ends inside the picture, which reaches only 8 px left of the
// cell's middle.
void Ball(cairo_t* cr, bool frost, int f, int dir) {
    const double cx = 14, cy = 12;
    double ph = f * 2 * M_PI / 12;
    Rgb core = frost ? Hex(0xf2fbff) : Hex(0xfff2b0);
    Rgb edge = frost ? Hex(0x5ab8ee) : Hex(0xff6a1a);
    // Trail behind the ball.
    for (int i = 1; i <= 3; ++i) {
        double x = cx - dir * i * 2.2, y = cy + std::sin(ph + i) * 1.2;
        RadialBlob(cr, x, y, 4.7 - i * 0.7, core, edge, 0.55 - i * 0.1);
    }
    RadialBlob(cr, cx, cy, 7, core, edge, 0.95);
    if (frost) {
        // A turning snowflake in the middle.
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, ph / 2);
        for (int k = 0; k < 3; ++k) {
            cairo_move_to(cr, -4, 0);
            cairo_line_to(cr, 4, 0);
            cairo_rotate(cr, M_PI / 3);
        }
        Stroke(cr, Hex(0xffffff), 1.0, 0.9);
        cairo_restore(cr);
    } else {
        for (int k = 0; k < 5; ++k) {
            double a = ph + k * 2 * M_PI / 5;
            cairo_move_to(cr, cx + std::cos(a) * 3, cy + std::sin(a) * 3);
            cairo_line_to(cr, cx + std::cos(a + 0.4) * 6.5, cy + std::sin(a + 0.4) * 6.5);
        }
        Stroke(cr, Hex(0xffd36b), 1.1, 0.8);
    }
}

// Frost burst round the cell centre: a ring of ice shards and a white flash.
void FrostBurst(cairo_t* cr, double t) {
    const double cx = 12, cy = 12;
    RadialBlob(cr, cx, cy, 10 + 30 * t, Hex(0xffffff), Hex(0x8fd4f5), 0.9 * (1 - t));
    for (int i = 0; i < 10; ++i) {
        double a = i * 2 * M_PI / 10 + 0.2 * Noise(3, i);
        double r = 6 + 32 * t * (0.7 + 0.3 * Noise(4, i));
        double x = cx + std::cos(a) * r, y = cy + std::sin(a) * r;
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, a);
        cairo_move_to(cr, -4, -1.6);
        cairo_line_to(cr, 4, 0);
        cairo_line_to(cr, -4, 1.6);
        cairo_close_path(cr);
        Flat(cr, Hex(0xe6f7ff), 0.8, 1 - t * 0.8);
        cairo_restore(cr);
    }
}

// Heat impact: a fireball that swells, rises and turns to smoke.
void HeatBurst(cairo_t* cr, double t) {
    const double cx = 12;
    // The element burns or bursts inside the first flash and is gone when
    // the smoke clears, so the flash covers its whole cell.
    if (t < 0.35) RadialBlob(cr, cx, 12, 16, Hex(0xfff6c8), Hex(0xff7a1a), 1 - t / 0.35);
    double rise = 45 * t;  // the smoke fades before the picture's top
    for (int i = 0; i < 7; ++i) {
        double k = i / 6.0;
        double y = 14 - rise * (0.4 + 0.6 * k) - 4 * i;
        double x = cx + (Noise(9, i) - 0.5) * 14 * t;
        double r = (6 + 8 * Noise(10, i)) * (0.4 + 1.2 * std::min(1.0, t * 3)) * (1 - 0.3 * k);
        Rgb inner = Mix(Hex(0xfff2b0), Hex(0x777777), std::min(1.0, t * 1.4 + k * 0.3));
        Rgb outer = Mix(Hex(0xff5a10), Hex(0x444444), std::min(1.0, t * 1.2 + k * 0.2));
        RadialBlob(cr, x, y, r, inner, outer, 0.95 * (1 - t * t));
    }
}

// Steam rising from a melting cell.
void Steam(cairo_t* cr, double t) {
    // A puff over the melting block first, then the rising plumes.
    if (t < 0.4) RadialBlob(cr, 12, 12, 14, Hex(0xffffff), Hex(0xe6eef2), 0.95 * (1 - t / 0.4));
    for (int i = 0; i < 9; ++i) {
        double k = std::fmod(t * 1.3 + i / 9.0, 1.0);
        double fade = std::sin(M_PI * k) * (1 - t * 0.6);
        double x = 12 + (Noise(21, i) - 0.5) * 16 + std::sin(k * 5 + i) * 4;
        double y = 18 - k * 90;
        double r = 5 + 10 * k;
        RadialBlob(cr, x, y, r, Hex(0xffffff), Hex(0xdfe8ee), 0.7 * fade);
    }
}

// EMP crackle round a magnet: a flickering ring of small bolts.
void Emp(cairo_t* cr, int f) {
    const double cx = 12, cy = 12;
    double pulse = 0.5 + 0.5 * std::sin(f * 1.3);
    RadialBlob(cr, cx, cy, 16, Hex(0xe8fbff), Hex(0x53c8ff), 0.25 + 0.2 * pulse);
    for (int i = 0; i < 6; ++i) {
        double a = i * M_PI / 3 + f * 0.7;
        double r = 6.5 + 3 * Noise(f, i);  // the bolts stay inside the picture
        cairo_move_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
        cairo_line_to(cr, cx + std::cos(a + 0.25) * (r + 4), cy + std::sin(a + 0.25) * (r + 4) - 1);
        cairo_line_to(cr, cx + std::cos(a + 0.4) * (r + 2), cy + std::sin(a + 0.4) * (r + 2));
        cairo_line_to(cr, cx + std::cos(a + 0.6) * (r + 6), cy + std::sin(a + 0.6) * (r + 6));
    }
    Stroke(cr, Hex(0x9be7ff), 1.3, 0.9);
}

// The heat glow around a hot object, brighter with the index.
void HeatGlow(cairo_t* cr, int level) {
    double k = (level - 2) / 7.0;
    RadialBlob(cr, 12, 12, 28 + 26 * k, Hex(0xffd36b), Hex(0xff6a1a), 0.25 + 0.45 * k);
}

// The tutorial sign: a question mark on a little round sign turning about
// its vertical axis.
void QuestionMark(cairo_t* cr, int f) {
    double a = f * 2 * M_PI / 24;
    double sx = std::cos(a);
    cairo_save(cr);
    cairo_translate(cr, 12, 10);
    cairo_scale(cr, std::max(0.08, std::fabs(sx)), 1);
    Ellipse(cr, 0, 0, 10, 10);
    Shade(cr, sx >= 0 ? Hex(0xf3e3bf) : Hex(0xe2c98f), -10, -10, 10, 10, 1.5);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 15);
    cairo_text_extents_t e;
    cairo_text_extents(cr, "?", &e);
    cairo_move_to(cr, -e.x_advance / 2, 5.5);
    cairo_text_path(cr, "?");
    Flat(cr, Rgb{24 / 255.0, 34 / 255.0, 83 / 255.0, 1}, 0);
    cairo_restore(cr);
    // A little post under the sign.
    cairo_rectangle(cr, 11, 20, 2, 3.4);
    Flat(cr, pal::kWood, 0.6);
}

}  // namespace

void RegisterEffects(CArtRegistry& reg) {
    for (int f = 0; f <= 11; ++f) {
        std::string n = std::to_string(f);
        AddCell(reg, "frostballleft" + n + ".tga", 10, 9, 26, 22, [=](cairo_t* cr) { Ball(cr, true, f, -1); });
        AddCell(reg, "frostballright" + n + ".tga", 10, 9, 26, 22, [=](cairo_t* cr) { Ball(cr, true, f, 1); });
        AddCell(reg, "fireballleft" + n + ".png", 10, 9, 26, 22, [=](cairo_t* cr) { Ball(cr, false, f, -1); });
        AddCell(reg, "fireballright" + n + ".png", 10, 9, 26, 22, [=](cairo_t* cr) { Ball(cr, false, f, 1); });
    }
    for (int f = 0; f <= 8; ++f)
        AddCell(reg, "frostexplode" + std::to_string(f) + ".tga", 46, 47, 56, 56,
                [=](cairo_t* cr) { FrostBurst(cr, f / 8.0); });
    for (int f = 0; f <= 25; ++f)
        AddCell(reg, "heatgunimpact" + std::to_string(f) + ".png", 33, 77, 43, 32,
                [=](cairo_t* cr) { HeatBurst(cr, f / 25.0); });
    for (int f = 0; f <= 18; ++f)
        AddCell(reg, "icemeltingsteam" + std::to_string(f) + ".png", 48, 95, 58, 28,
                [=](cairo_t* cr) { Steam(cr, f / 18.0); });
    for (int f = 0; f <= 14; ++f)
        AddCell(reg, "magnetemp" + std::to_string(f) + ".tga", 20, 16, 30, 30, [=](cairo_t* cr) { Emp(cr, f); });
    for (int f = 3; f <= 9; ++f)
        AddCell(reg, "heatedobjectglow" + std::to_string(f) + ".png", 58, 48, 68, 67,
                [=](cairo_t* cr) { HeatGlow(cr, f); });
    for (int f = 0; f <= 23; ++f)
        AddCell(reg, "qmarkrotate" + std::to_string(f) + ".tga", 15, 17, 24, 25,
                [=](cairo_t* cr) { QuestionMark(cr, f); });
}

}  // namespace worldart
