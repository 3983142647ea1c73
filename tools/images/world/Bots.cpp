// Every series of the bots, each one a pose function of the frame index.
#include "images/world/BotFigure.h"
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace worldart {
namespace {

using BotFn = std::function<BotPose(int f, int n)>;
using Extra = std::function<void(cairo_t*, int f, int n)>;

double Ease(double t) { return t * t * (3 - 2 * t); }
double Clamp01(double t) { return std::max(0.0, std::min(1.0, t)); }

struct BotFrame {
    std::string name;
    BotPose pose;
    int f;
};

// The frames of one series on their cell, all moved alike inside their canvas.
// Every bot stands on the middle of its cell, whatever it does, so that it
// does not hop sideways from one state to the next: the origin of a series
// leaves its canvas room on the left for all the series draws there (a
// series whose origin leaves too little is shifted inside), and the canvas
// grows to the right as far as the drawing reaches.
void AddBots(CArtRegistry& reg, const std::vector<BotFrame>& frames, int ox, int oy, bool left,
             const Extra& extra, int n, double feetY) {
    double cx = 12;
    const int bottom = 30;
    auto painter = [=](const BotFrame& frame, double x) {
        return [=](cairo_t* cr) {
            cairo_translate(cr, x, feetY);
            if (left) cairo_scale(cr, -1, 1);
            DrawBot(cr, frame.pose);
            if (extra) extra(cr, frame.f, n);
        };
    };
    InkBox ink;
    for (const BotFrame& frame : frames) ink.Add(MeasureInk(painter(frame, cx)));
    const int right = FrameRight(frames.front().name, ink, 36);
    cx += ShiftInside(frames.front().name, ink, ox, oy, right, bottom);
    for (const BotFrame& frame : frames) AddCell(reg, frame.name, ox, oy, right, bottom, painter(frame, cx));
}

void AddBot(CArtRegistry& reg, const std::string& name, int ox, int oy, bool left,
            const BotPose& pose, const Extra& extra = nullptr, int f = 0, int n = 1,
            double feetY = 24) {
    AddBots(reg, {{name, pose, f}}, ox, oy, left, extra, n, feetY);
}

void AddBotSeries(CArtRegistry& reg, const std::string& prefix, int first, int last, int n, int ox,
                  int oy, bool left, const BotFn& fn, const Extra& extra = nullptr,
                  double feetY = 24) {
    std::vector<BotFrame> frames;
    for (int f = first; f <= last; ++f) frames.push_back({prefix + std::to_string(f) + ".png", fn(f, n), f});
    AddBots(reg, frames, ox, oy, left, extra, n, feetY);
}

BotPose Walk(int f, int n, double lean) {
    BotPose p;
    p.legPhase = 2 * M_PI * f / n;
    p.legLift = 2.5;
    p.dy = -0.8 * std::fabs(std::sin(p.legPhase));
    p.tilt = lean;
    p.clawFront = 0.6 + 0.4 * std::sin(p.legPhase);
    p.clawBack = 0.3 - 0.3 * std::sin(p.legPhase);
    return p;
}

// The heat family: heat 1 is glowing and soft, cooled is hard and dark.
BotPose Hot(double heat, double melt, double cooled) {
    BotPose p;
    p.heat = heat;
    p.melt = melt;
    p.eye = cooled > 0.5 ? BotEye::Dark : BotEye::Dim;
    p.cooled = cooled;
    p.clawFront = 0.1;
    p.clawBack = 0.05;
    p.squash = 1 - 0.25 * melt;
    return p;
}

}  // namespace

void RegisterBots(CArtRegistry& reg) {
    for (int s = 0; s < 2; ++s) {
        bool left = s == 0;
        std::string side = left ? "left" : "right";
        // Standing, running, pushing.
        BotPose stand;
        AddBot(reg, "botstand" + side + ".png", left ? 16 : 18, left ? 20 : 19, left, stand);
        AddBotSeries(reg, "botrun" + side, 0, 11, 12, left ? 21 : 18, left ? 23 : 22, left,
                     [](int f, int n) { return Walk(f, n, 0.08); });
        AddBotSeries(reg, "botpush" + side, 0, 11, 12, left ? 24 : 18, left ? 19 : 18, left,
                     [](int f, int n) {
                         BotPose p = Walk(f, n, 0.18);
                         // A pixel back from the lean, so that the middle of
                         // what it draws stays where its run and stand have it.
                         p.dx = -1;
                         p.legLift = 1.5;
                         p.clawFront = 1.5;
                         p.clawBack = 0.9;
                         p.clawOpen = 0.2;
                         return p;
                     });
        // Crushed by something from above.
        AddBotSeries(reg, "botcrushed" + side, 0, 2, 3, left ? 21 : 19, left ? 20 : 19, left,
                     [](int f, int) {
                         BotPose p;
                         const double sq[3] = {0.85, 0.68, 0.55};
                         p.squash = sq[f];
                         p.eye = BotEye::Dim;
                         p.clawFront = 0.8;
                         p.clawBack = 0.6;
                         return p;
                     });
        // Stopped by the EMP: sparks and a dim eye.
        AddBotSeries(reg, "botstunned" + side, 0, 2, 3, left ? 20 : 19, left ? 20 : 19, left,
                     [](int f, int) {
                         BotPose p;
                         p.eye = f == 0 ? BotEye::Normal : BotEye::Dim;
                         p.sparks = 0.4 + 0.3 * f;
                         p.sparkPhase = f * 1.7;
                         p.clawFront = 0.1;
                         p.clawBack = 0.1;
                         p.squash = 1 - 0.03 * f;
                         return p;
                     });
        for (int t = 0; t < 2; ++t) {
            std::string tilt = t == 0 ? "tiltleft" : "tiltright";
            double a = (t == 0 ? -0.3 : 0.3) * (left ? -1 : 1);
            BotPose p;
            p.eye = BotEye::Dim;
            p.sparks = 0.5;
            p.tilt = a;
            p.clawFront = 0.1;
            // Tipped over to the left, the shell needs room on that side.
            const int ox = t == 0 ? (left ? 23 : 22) : (left ? 14 : 18);
            AddBot(reg, "batstunned" + side + tilt + ".png", ox, left ? 20 : 19, left, p);
        }
        AddBotSeries(reg, "botmagnet" + side, 0, 1, 2, left ? 17 : 23, left ? 19 : 20, left,
                     [](int f, int) {
                         BotPose p;
                         p.tilt = -0.15;
                         p.eye = BotEye::Dim;
                         p.sparks = 0.6;
                         p.sparkPhase = f * 2.1;
                         p.clawFront = -0.4 + 0.2 * f;
                         p.clawBack = 2.0;
                         p.legLift = 1;
                         p.legPhase = f * M_PI;
                         return p;
                     });
        AddBotSeries(reg, "botsliding" + side, 0, 5, 6, left ? 17 : 22, left ? 20 : 19, left,
                     [](int f, int n) {
                         BotPose p;
                         double ph = 2 * M_PI * f / n;
                         p.tilt = -0.12 + 0.03 * std::sin(ph);
                         p.clawFront = 2.3 + 0.2 * std::sin(ph);
                         p.clawBack = 1.0 - 0.25 * std::sin(ph);
                         p.clawOpen = 0.9;
                         p.eye = BotEye::Bright;
                         return p;
                     });
        AddBotSeries(reg, "botcrawl" + side, 0, 5, 6, left ? 21 : 16, left ? 13 : 12, left,
                     [](int f, int n) {
                         BotPose p;
                         p.crawl = true;
                         p.legPhase = 2 * M_PI * f / n;
                         return p;
                     });

        // Heat: glowing, sagging, cooling to a hard dark lump.
        int hox = 20, hoy = left ? 22 : 20;
        AddBotSeries(reg, "botmelting" + side, 0, 4, 5, hox, hoy, left, [](int f, int) {
            return Hot(1.0, f / 4.0 * 0.8, 0);
        });
        for (int t = 0; t < 2; ++t) {
            std::string tilt = t == 0 ? "tiltleft" : "tiltright";
            double a = (t == 0 ? -0.35 : 0.35) * (left ? -1 : 1);
            // Tilted about its feet, the lower foot would sink into the ground.
            BotPose hp = Hot(1.0, 0.8, 0);
            hp.tilt = a;
            hp.dy = -2;
            AddBot(reg, "botheated" + side + tilt + ".png", hox, hoy, left, hp);
            BotPose cp = Hot(0, 0.8, 1);
            cp.tilt = a;
            cp.dy = -2;
            AddBot(reg, "botcooled" + side + tilt + ".png", hox, hoy, left, cp);
            AddBotSeries(reg, "botcooling" + side + (t == 0 ? "tiltedleft" : "tiltedright"), 0, 6, 7,
                         hox, hoy, left, [a](int f, int) {
                             BotPose p = Hot(1 - f / 6.0, 0.8, f / 6.0);
                             p.tilt = a;
                             p.dy = -2;
                             return p;
                         });
        }
        AddBotSeries(reg, "botcooling" + side, 0, 6, 7, hox, hoy, left,
                     [](int f, int) { return Hot(1 - f / 6.0, 0.8, f / 6.0); });
        const double sq[3] = {0.9, 0.75, 0.6};
        std::vector<BotFrame> heated, cooled;
        for (int f = 0; f <= 2; ++f) {
            BotPose hp = Hot(1.0, 0.6, 0);
            hp.squash *= sq[f];
            heated.push_back({"botheated" + side + "squash" + std::to_string(f) + ".png", hp, f});
            BotPose cp = Hot(0, 0.6, 1);
            cp.squash *= sq[f];
            cooled.push_back({"botcooled" + side + "squash" + std::to_string(f) + ".png", cp, f});
        }
        AddBots(reg, heated, hox, hoy, left, nullptr, 3, 24);
        AddBots(reg, cooled, hox, hoy, left, nullptr, 3, 24);

        // Catching the professor: claws up, grab, hold.
        // The catching bot faces the professor: the left catcher stands on
        // his left and looks right.
        AddBotSeries(reg, "botcatchprof" + side, 0, 26, 27, left ? 17 : 20, left ? 33 : 32, !left, [](int f, int) {
            BotPose p;
            double t = Clamp01(f / 18.0);
            p.eye = BotEye::Bright;
            p.clawFront = 0.5 + 2.2 * Ease(t) + (f >= 19 ? 0.15 * std::sin(f * 1.3) : 0);
            p.clawBack = 0.3 + 0.2 * Ease(t);  // the back claw stays clear of the edge behind
            p.clawOpen = t < 0.7 ? 1.0 : 0.15;
            p.dy = -2 * Ease(t);
            p.tilt = -0.1 * Ease(t) + (f >= 25 ? 0.08 : 0);
            return p;
        });
    }

    // Hanging from the ceiling by the claws.
    BotPose hang;
    hang.hanging = true;
    hang.eye = BotEye::Dim;
    hang.clawFront = 0;
    hang.clawBack = 0;
    hang.clawOpen = 0.1;
    // The shell hangs just under the ceiling, its feet dangling a little
    // below the cell.
    AddBot(reg, "bothang.png", 25, 27, false, hang, nullptr, 0, 1, 25);
    // Activating (0..8), falling (9..11), landing (12..18).
    AddBotSeries(reg, "botfall", 0, 18, 19, 25, 25, false, [](int f, int) {
        BotPose p;
        if (f <= 8) {
            double t = f / 8.0;
            p.hanging = true;
            p.eye = f >= 3 ? BotEye::Bright : BotEye::Dim;
            p.clawFront = 0.5 * Ease(t);
            p.clawBack = -0.5 * Ease(t);
            p.clawOpen = 0.1 + 0.8 * t;
            // From the hanging height (feet a pixel below the cell bottom)
            // to standing height as the claws let go.
            p.dy = 1 - Ease(Clamp01((t - 0.6) / 0.4));
        } else if (f <= 11) {
            p.eye = BotEye::Bright;
            p.clawFront = 2.4 + 0.3 * (f - 10);
            p.clawBack = 2.2 - 0.3 * (f - 10);
            p.clawOpen = 1;
            p.legPhase = f * 2.0;
            p.legLift = 2;
        } else {
            double t = (f - 12) / 6.0;
            p.eye = BotEye::Bright;
            p.squash = 1 - 0.3 * std::sin(M_PI * Clamp01(t * 1.5)) * (1 - t);
            p.clawFront = 1.2 * (1 - t) + 0.4 * t;
            p.clawBack = 1.0 * (1 - t) + 0.2 * t;
        }
        return p;
    }, nullptr, 24);
    AddBotSeries(reg, "botclimb", 0, 2, 3, 16, 14, false, [](int f, int) {
        BotPose p;
        p.back = true;
        double s = f == 0 ? 0 : (f == 1 ? 1 : -1);
        p.clawFront = 0.35 * s;
        p.clawBack = -0.35 * s;
        p.legPhase = s * 1.2;
        p.legLift = 2;
        p.dy = -std::fabs(s);
        return p;
    });
    BotPose frozen;
    frozen.frost = 1;
    frozen.eye = BotEye::Dark;
    frozen.clawFront = 0.8;
    frozen.clawBack = 0.6;
    AddBot(reg, "botfrozen.png", 22, 16, false, frozen, [](cairo_t* cr, int, int) {
        RoundRect(cr, -13, -30, 26, 30, 4);
        SetColor(cr, Hex(0xdff4ff), 0.3);
        cairo_fill_preserve(cr);
        Stroke(cr, Hex(0x8fcbe6), 1.2, 0.9);
    });
    // Broken out of its ice: shards and a dark, dead bot lying on its back.
    BotPose broken;
    broken.frost = 0.6;
    broken.eye = BotEye::Dark;
    broken.tilt = 1.35;
    broken.dy = -5;  // the shell rests on the ground
    broken.clawFront = 3.4;  // sticking up, once the shell lies on its side
    broken.clawBack = 0.2;
    AddBot(reg, "botfrozenmelted.png", 22, 16, false, broken, [](cairo_t* cr, int, int) {
        for (int i = 0; i < 6; ++i) {
            double x = -12 + i * 5 + 3 * Noise(5, i), y = -1 - 4 * Noise(6, i);
            cairo_move_to(cr, x - 2.5, y + 2);
            cairo_line_to(cr, x + 0.5, y - 3);
            cairo_line_to(cr, x + 2.5, y + 2);
            cairo_close_path(cr);
            Flat(cr, Hex(0xdff4ff), 0.8, 0.9);
        }
        Ellipse(cr, 0, 0.5, 14, 1.8);
        SetColor(cr, Hex(0x9fd4ee), 0.6);
        cairo_fill(cr);
    }, 0, 1, 23);
}

}  // namespace worldart
