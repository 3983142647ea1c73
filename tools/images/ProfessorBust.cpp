#include "images/ProfessorBust.h"

#include <cmath>

#include "images/DrawKit.h"

using namespace DrawKit;

namespace ProfessorBust {

namespace {
const Color kCoatColor = Hex(0x2a9d8f);
const Color kSkin = Hex(0xf2c7a0);
const Color kHair = Hex(0xf4f4f0);
const Color kMoustache = Hex(0x9a9a9a);
const Color kScarf = Hex(0xf08a24);
const Color kGoggle = Hex(0xc9a13b);
}  // namespace

void Head(cairo_t* cr, double cx, double cy, double r, double tilt, double lookUp) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, tilt);
    // White hair ring around the bald crown.
    OutlinedEllipse(cr, -r * 0.95, r * 0.05, r * 0.28, r * 0.38, kHair, 1.5);
    OutlinedEllipse(cr, r * 0.95, r * 0.05, r * 0.28, r * 0.38, kHair, 1.5);
    OutlinedEllipse(cr, 0, 0, r, r * 1.02, kSkin, 2);
    Highlight(cr, -r * 0.35, -r * 0.55, r * 0.35, r * 0.2, 0.5);
    // Ears.
    OutlinedEllipse(cr, -r * 0.98, r * 0.12, r * 0.14, r * 0.2, kSkin, 1.5);
    OutlinedEllipse(cr, r * 0.98, r * 0.12, r * 0.14, r * 0.2, kSkin, 1.5);
    // Goggles pushed up on the forehead.
    Line(cr, -r * 0.95, -r * 0.45, r * 0.95, -r * 0.45, Hex(0x5b4a3a), r * 0.1);
    OutlinedEllipse(cr, -r * 0.32, -r * 0.48, r * 0.24, r * 0.2, kGoggle, 2);
    OutlinedEllipse(cr, r * 0.32, -r * 0.48, r * 0.24, r * 0.2, kGoggle, 2);
    OutlinedEllipse(cr, -r * 0.32, -r * 0.48, r * 0.15, r * 0.12, Hex(0xbfe9f7), 1);
    OutlinedEllipse(cr, r * 0.32, -r * 0.48, r * 0.15, r * 0.12, Hex(0xbfe9f7), 1);
    // Eyes and brows.
    const double ey = -r * 0.08 - lookUp * r * 0.06;
    OutlinedEllipse(cr, -r * 0.3, -r * 0.05, r * 0.14, r * 0.16, Hex(0xffffff), 1);
    OutlinedEllipse(cr, r * 0.3, -r * 0.05, r * 0.14, r * 0.16, Hex(0xffffff), 1);
    OutlinedEllipse(cr, -r * 0.28, ey, r * 0.07, r * 0.08, Hex(0x2a2a3a), 0);
    OutlinedEllipse(cr, r * 0.32, ey, r * 0.07, r * 0.08, Hex(0x2a2a3a), 0);
    Line(cr, -r * 0.45, -r * 0.25, -r * 0.15, -r * 0.3, kMoustache, r * 0.07);
    Line(cr, r * 0.45, -r * 0.25, r * 0.15, -r * 0.3, kMoustache, r * 0.07);
    // Nose and the walrus moustache.
    OutlinedEllipse(cr, 0, r * 0.2, r * 0.16, r * 0.14, Darken(kSkin, 0.08), 1.2);
    cairo_new_path(cr);
    cairo_move_to(cr, -r * 0.6, r * 0.55);
    cairo_curve_to(cr, -r * 0.45, r * 0.25, -r * 0.1, r * 0.3, 0, r * 0.38);
    cairo_curve_to(cr, r * 0.1, r * 0.3, r * 0.45, r * 0.25, r * 0.6, r * 0.55);
    cairo_curve_to(cr, r * 0.3, r * 0.5, r * 0.1, r * 0.55, 0, r * 0.5);
    cairo_curve_to(cr, -r * 0.1, r * 0.55, -r * 0.3, r * 0.5, -r * 0.6, r * 0.55);
    cairo_close_path(cr);
    FillShaded(cr, kMoustache, 1.5);
    cairo_restore(cr);
}

void Body(cairo_t* cr, double cx, double top, double w, double h) {
    // The coat's details are drawn for a body 100 px wide and scale with it.
    const double k = w / 100;
    cairo_new_path(cr);
    cairo_move_to(cr, cx - w * 0.3, top);
    cairo_curve_to(cr, cx - w * 0.55, top + h * 0.2, cx - w * 0.5, top + h * 0.8, cx - w * 0.45, top + h);
    cairo_line_to(cr, cx + w * 0.45, top + h);
    cairo_curve_to(cr, cx + w * 0.5, top + h * 0.8, cx + w * 0.55, top + h * 0.2, cx + w * 0.3, top);
    cairo_close_path(cr);
    FillShaded(cr, kCoatColor, 2 * k);
    // Coat opening and buttons.
    Line(cr, cx, top + h * 0.15, cx, top + h, Darken(kCoatColor, 0.4), 2 * k);
    for (int i = 0; i < 3; ++i) OutlinedEllipse(cr, cx + 7 * k, top + h * (0.35 + i * 0.2), 3 * k, 3 * k, kGoggle, k);
    // Scarf.
    OutlinedRoundedRect(cr, cx - w * 0.32, top - 6 * k, w * 0.64, 16 * k, 7 * k, kScarf, 1.5 * k);
    const double tail[] = {cx + w * 0.1, top + 6 * k, cx + w * 0.26, top + 6 * k, cx + w * 0.22, top + h * 0.4,
                           cx + w * 0.12, top + h * 0.42};
    OutlinedPolygon(cr, tail, 4, kScarf, 1.5 * k);
}

void Bust(cairo_t* cr, const Spot& at, double tilt, double lookUp) {
    // As the main menu draws him at r = 46: a body 100 wide and 120 tall
    // whose collar lies 2 below the neck, the head's centre 49 above it.
    const double k = at.Scale();
    Body(cr, at.cx, at.neck + 2 * k, 100 * k, 120 * k);
    Head(cr, at.cx, at.HeadY(), at.r, tilt, lookUp);
}

void Arm(cairo_t* cr, double sx, double sy, double length, double angle, double forearm, double mirror) {
    const double ex = sx + mirror * std::sin(angle) * length * 0.55;
    const double ey = sy + std::cos(angle) * length * 0.55;
    const double hx = ex + mirror * std::sin(forearm) * length * 0.45;
    const double hy = ey + std::cos(forearm) * length * 0.45;
    Line(cr, sx, sy, ex, ey, Darken(kCoatColor, 0.45), length * 0.3 + 2);
    Line(cr, sx, sy, ex, ey, kCoatColor, length * 0.3);
    Line(cr, ex, ey, hx, hy, Darken(kCoatColor, 0.45), length * 0.26 + 2);
    Line(cr, ex, ey, hx, hy, kCoatColor, length * 0.26);
    OutlinedEllipse(cr, hx, hy, length * 0.13, length * 0.13, kSkin, 1.5);
}

}  // namespace ProfessorBust
