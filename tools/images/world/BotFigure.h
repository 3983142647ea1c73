// The bot as one parametric figure: a crimson barrel shell on two stubby legs
// with one lamp eye and two small claws.
#pragma once

#include <cairo.h>

namespace worldart {

enum class BotEye { Dim, Normal, Bright, Dark };

struct BotPose {
    bool back = false;       // seen from behind (climbing)
    BotEye eye = BotEye::Normal;
    double dx = 0, dy = 0;   // offset of the feet from the anchor
    double tilt = 0;         // rotation about the feet, radians
    double spin = 0;         // rotation about the middle of the shell
    double squash = 1;       // vertical scale (crushed, landing)
    double legPhase = 0;     // walking phase, radians
    double legLift = 0;      // how far the steps lift, px
    double clawFront = 0.4, clawBack = 0.2;  // arm angles from hanging, radians
    double clawOpen = 0.5;   // 0 closed .. 1 open
    double frost = 0, heat = 0;
    double melt = 0;         // 0 .. 1 sagging and dripping
    double cooled = 0;       // 0 .. 1 hardened dark after melting
    double sparks = 0;       // electric sparks (EMP, magnet), 0 .. 1
    double sparkPhase = 0;
    bool hanging = false;    // claws up, legs dangling
    bool crawl = false;      // flat on the ground
};

// Draws the bot with its feet at the current origin, facing right (mirror the
// context for left). About 28 px tall.
void DrawBot(cairo_t* cr, const BotPose& pose);

}  // namespace worldart
