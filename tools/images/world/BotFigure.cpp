#include "images/world/BotFigure.h"

#include "images/world/WorldKit.h"

#include <cmath>

namespace worldart {
namespace {

void Claw(cairo_t* cr, double sx, double sy, double angle, double open, const Rgb& c, double len = 8) {
    double hx = sx + std::sin(angle) * len, hy = sy + std::cos(angle) * len;
    cairo_move_to(cr, sx, sy);
    cairo_line_to(cr, hx, hy);
    Stroke(cr, Darker(c, 0.45), 3.2);
    cairo_move_to(cr, sx, sy);
    cairo_line_to(cr, hx, hy);
    Stroke(cr, Hex(0x7d858f), 2.0);
    // Two pincer fingers.
    double a = std::atan2(hy - sy, hx - sx);
    for (int s = -1; s <= 1; s += 2) {
        double fa = a + s * (0.25 + 0.6 * open);
        cairo_move_to(cr, hx, hy);
        cairo_line_to(cr, hx + std::cos(fa) * 3.5, hy + std::sin(fa) * 3.5);
        Stroke(cr, Hex(0x4f5660), 1.6);
    }
}

void Shell(cairo_t* cr, const BotPose& p, const Rgb& shell) {
    const double top = -26, bottom = -5;
    // Legs.
    for (int s = -1; s <= 1; s += 2) {
        double ph = p.legPhase + (s > 0 ? 0 : M_PI);
        double lift = std::max(0.0, std::sin(ph)) * p.legLift;
        double fx = s * 3.5 + std::cos(ph) * p.legLift * 0.6;
        if (p.hanging) lift = -1.5 - s;
        cairo_move_to(cr, s * 3.5, bottom - 1);
        cairo_line_to(cr, fx, -2.5 - lift);
        Stroke(cr, Hex(0x3e434a), 3.0);
        RoundRect(cr, fx - 3 + (p.back ? 0 : 1), -3 - lift, 6, 3, 1.2);
        Shade(cr, Hex(0x5d6470), fx - 3, -3 - lift, fx + 3, -lift, 1.0);
    }
    if (!p.back && !p.hanging) Claw(cr, -5, -16, -p.clawBack, p.clawOpen, shell);
    // Barrel shell with two hoops.
    double sag = p.melt * 4;
    cairo_move_to(cr, -8, top + 3 + sag);
    cairo_curve_to(cr, -4, top + sag * 0.5, 4, top + sag * 0.5, 8, top + 3 + sag);
    cairo_curve_to(cr, 10.5 + sag * 0.5, top + 10, 10.5 + sag, bottom - 5, 8 + sag, bottom);
    cairo_curve_to(cr, 4, bottom + 1.5, -4, bottom + 1.5, -8 - sag, bottom);
    cairo_curve_to(cr, -10.5 - sag, bottom - 5, -10.5 - sag * 0.5, top + 10, -8, top + 3 + sag);
    cairo_close_path(cr);
    Shade(cr, shell, -10, top, 10, bottom, 1.5);
    for (int i = 0; i < 2; ++i) {
        double y = top + 8 + i * 9 + sag * 0.6;
        cairo_move_to(cr, -9.8 - sag * 0.5, y);
        cairo_curve_to(cr, -4, y + 1.8, 4, y + 1.8, 9.8 + sag * 0.5, y);
        Stroke(cr, Darker(shell, 0.55), 1.6);
    }
    // Lid bolt.
    Ellipse(cr, 0, top + 2.2 + sag * 0.5, 2.2, 1.2);
    Flat(cr, Hex(0x7d858f), 0.8);
    if (p.melt > 0) {
        for (int i = 0; i < 3; ++i) {
            double x = -6 + i * 6, len = (2 + 3 * ((i * 7) % 3)) * p.melt;
            cairo_move_to(cr, x - 1.2, bottom);
            cairo_curve_to(cr, x - 1.2, bottom + len, x + 1.2, bottom + len, x + 1.2, bottom);
            Flat(cr, Darker(shell, 0.85), 0);
            Ellipse(cr, x, bottom + len + 1.5, 1.0, 1.3);
            Flat(cr, Darker(shell, 0.85), 0);
        }
    }
    if (!p.back) {
        // The lamp eye, on the facing side.
        double ex = 4.5, ey = top + 8.5 + sag;
        Rgb lamp = Hex(0xffe066), rim = Hex(0x50565f);
        double glow = 0;
        switch (p.eye) {
        case BotEye::Dim: lamp = Hex(0x6e6a4a); break;
        case BotEye::Normal: lamp = Hex(0xffd84a); glow = 0.25; break;
        case BotEye::Bright: lamp = Hex(0xfff7a8); glow = 0.7; break;
        case BotEye::Dark: lamp = Hex(0x2d3038); break;
        }
        if (glow > 0) {
            cairo_pattern_t* g = cairo_pattern_create_radial(ex, ey, 1, ex, ey, 8);
            cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.95, 0.5, glow);
            cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.9, 0.3, 0);
            cairo_set_source(cr, g);
            Ellipse(cr, ex, ey, 8, 8);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
        }
        Ellipse(cr, ex, ey, 4.2, 4.2);
        Flat(cr, rim, 1.0);
        Ellipse(cr, ex + 0.3, ey, 3.0, 3.0);
        Shade(cr, lamp, ex - 3, ey - 3, ex + 3, ey + 3, 0);
        Ellipse(cr, ex - 0.8, ey - 1.0, 0.9, 0.9);
        SetColor(cr, Hex(0xffffff), 0.8);
        cairo_fill(cr);
        if (p.hanging) {
            // Both claws up over the lid, gripping the ceiling.
            Claw(cr, -6.5, top + 4, -(M_PI - 0.45) + p.clawBack, p.clawOpen, shell, 6.5);
            Claw(cr, 6.5, top + 4, M_PI - 0.45 + p.clawFront, p.clawOpen, shell, 6.5);
        } else {
            Claw(cr, 5.5, -15 + sag, p.clawFront, p.clawOpen, shell);
        }
    } else {
        Claw(cr, -8, -18, M_PI - 0.3 + p.clawBack, p.clawOpen, shell);
        Claw(cr, 8, -18, -(M_PI - 0.3) + p.clawFront, p.clawOpen, shell);
    }
    if (p.sparks > 0) {
        for (int i = 0; i < 5; ++i) {
            double a = i * 1.3 + p.sparkPhase;
            double r0 = 9 + 2 * Noise(7, i), x0 = std::cos(a) * r0, y0 = -15 + std::sin(a) * r0 * 1.1;
            cairo_move_to(cr, x0, y0);
            cairo_line_to(cr, x0 + std::cos(a + 0.8) * 3, y0 + std::sin(a + 0.8) * 3);
            cairo_line_to(cr, x0 + std::cos(a) * 5, y0 + std::sin(a) * 5);
        }
        Stroke(cr, Hex(0x9be7ff), 1.1, p.sparks);
    }
}

void Crawler(cairo_t* cr, const BotPose& p, const Rgb& shell) {
    // Lying on its front, shell horizontal, claws pulling it along.
    double ph = std::sin(p.legPhase);
    Claw(cr, 6, -6, 1.5 + 0.3 * ph, p.clawOpen, shell);
    Ellipse(cr, -1, -7, 11, 6.5);
    Shade(cr, shell, -12, -14, 10, -1, 1.5);
    for (int i = 0; i < 2; ++i) {
        double x = -6 + i * 8;
        cairo_move_to(cr, x, -13);
        cairo_curve_to(cr, x + 1.5, -9, x + 1.5, -4, x, -0.8);
        Stroke(cr, Darker(shell, 0.55), 1.5);
    }
    Ellipse(cr, 8, -8, 3.2, 3.2);
    Flat(cr, Hex(0x50565f), 1.0);
    Ellipse(cr, 8.3, -8, 2.2, 2.2);
    Flat(cr, p.eye == BotEye::Bright ? Hex(0xfff7a8) : Hex(0xffd84a), 0);
    Claw(cr, 3, -4, 1.2 - 0.3 * ph, p.clawOpen, shell);
}

}  // namespace

void DrawBot(cairo_t* cr, const BotPose& p) {
    cairo_save(cr);
    cairo_translate(cr, p.dx, p.dy);
    cairo_rotate(cr, p.tilt);
    cairo_scale(cr, 1.0 + (1 - p.squash) * 0.3, p.squash);
    if (p.spin != 0) {
        cairo_translate(cr, 0, -15);
        cairo_rotate(cr, p.spin);
        cairo_translate(cr, 0, 15);
    }
    Rgb shell = Mix(pal::kCrimson, Hex(0x3b3236), p.cooled * 0.7);
    auto paint = [&](cairo_t* c) {
        if (p.crawl)
            Crawler(c, p, shell);
        else
            Shell(c, p, shell);
    };
    Tinted(cr, paint, p.frost, p.heat, -10, -27, 10, -1);
    cairo_restore(cr);
}

}  // namespace worldart
