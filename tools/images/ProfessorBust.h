// The professor as the menus show him: a large bust (head, body, arms) in the
// house style, posed by a few numbers so animation frames are one function.
#pragma once

#include <cairo.h>

namespace ProfessorBust {


// Head centred at (cx, cy) with radius r; tilt in radians (negative looks
// up), lookUp 0..1 moves the eyes up.
void Head(cairo_t* cr, double cx, double cy, double r, double tilt, double lookUp);
// Torso with coat and scarf; (cx, top) is the middle of the collar. Its
// details scale with w.
void Body(cairo_t* cr, double cx, double top, double w, double h);
// Where a bust stands: his neck (the middle of his chin on the scarf) at
// (cx, neck), his head's radius r.
struct Spot {
    double cx, neck, r;
    // The scale of the main menu's bust, whose head's radius is 46.
    double Scale() const { return r / 46; }
    // The height of his head's middle.
    double HeadY() const { return neck - 49 * Scale(); }
};
// A bust whose coat the foot of its picture, at y bottom, cuts 2.1 r below
// his neck: his hair reaches about as far above it.
inline Spot Standing(double cx, double bottom, double r) { return {cx, bottom - 2.1 * r, r}; }
// Head and body together in the one proportion every picture of the bust
// keeps: the head with its chin on the scarf, the body 2.2 r wide and 2.6 r
// tall below it.
void Bust(cairo_t* cr, const Spot& at, double tilt = 0, double lookUp = 0);
// An arm from the shoulder (sx, sy), the upper arm raised by angle and the
// forearm by forearm (0 hanging, positive forward/up); mirror = -1 draws a
// left-side arm.
void Arm(cairo_t* cr, double sx, double sy, double length, double angle, double forearm, double mirror);

}  // namespace ProfessorBust
