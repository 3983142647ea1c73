// Every series of the bots: each one a pose function of the frame index,
// placed on its cell so that the bot stands on the cell's middle. The series
// are the rows of one table (kSeries, at the end); the poses and what is
// drawn over them come before it.
#include "images/world/BotFigure.h"
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace worldart {
namespace {

double Ease(double t) { return t * t * (3 - 2 * t); }
double Clamp01(double t) { return std::max(0.0, std::min(1.0, t)); }

// ---- Poses: frame f of a series whose cycle has n frames.

BotPose Standing(int, int) { return BotPose(); }

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

BotPose Running(int f, int n) { return Walk(f, n, 0.08); }

BotPose Pushing(int f, int n) {
    BotPose p = Walk(f, n, 0.18);
    // A pixel back from the lean, so that the middle of what it draws stays
    // where its run and stand have it.
    p.dx = -1;
    p.legLift = 1.5;
    p.clawFront = 1.5;
    p.clawBack = 0.9;
    p.clawOpen = 0.2;
    return p;
}

// Crushed by something from above.
BotPose Crushed(int f, int) {
    BotPose p;
    const double sq[3] = {0.85, 0.68, 0.55};
    p.squash = sq[f];
    p.eye = BotEye::Dim;
    p.clawFront = 0.8;
    p.clawBack = 0.6;
    return p;
}

// Stopped by the EMP: sparks and a dim eye.
BotPose Stunned(int f, int) {
    BotPose p;
    p.eye = f == 0 ? BotEye::Normal : BotEye::Dim;
    p.sparks = 0.4 + 0.3 * f;
    p.sparkPhase = f * 1.7;
    p.clawFront = 0.1;
    p.clawBack = 0.1;
    p.squash = 1 - 0.03 * f;
    return p;
}

// Stopped by the EMP and tipped over (the table's tip column).
BotPose StunnedOver(int, int) {
    BotPose p;
    p.eye = BotEye::Dim;
    p.sparks = 0.5;
    p.clawFront = 0.1;
    return p;
}

BotPose Magnetised(int f, int) {
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
}

BotPose Sliding(int f, int n) {
    BotPose p;
    double ph = 2 * M_PI * f / n;
    p.tilt = -0.12 + 0.03 * std::sin(ph);
    p.clawFront = 2.3 + 0.2 * std::sin(ph);
    p.clawBack = 1.0 - 0.25 * std::sin(ph);
    p.clawOpen = 0.9;
    p.eye = BotEye::Bright;
    return p;
}

BotPose Crawling(int f, int n) {
    BotPose p;
    p.crawl = true;
    p.legPhase = 2 * M_PI * f / n;
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

BotPose Melting(int f, int) { return Hot(1.0, f / 4.0 * 0.8, 0); }
BotPose Cooling(int f, int) { return Hot(1 - f / 6.0, 0.8, f / 6.0); }

// Tipped over (the table's tip column) about its feet, the lower foot would
// sink into the ground: the tipped heat poses stand 2 px higher.
BotPose Raised(BotPose p) {
    p.dy = -2;
    return p;
}

BotPose HeatedOver(int, int) { return Raised(Hot(1.0, 0.8, 0)); }
BotPose CooledOver(int, int) { return Raised(Hot(0, 0.8, 1)); }
BotPose CoolingOver(int f, int n) { return Raised(Cooling(f, n)); }

const double kHotSquash[3] = {0.9, 0.75, 0.6};

BotPose Squashed(BotPose p, int f) {
    p.squash *= kHotSquash[f];
    return p;
}

BotPose HeatedSquashed(int f, int) { return Squashed(Hot(1.0, 0.6, 0), f); }
BotPose CooledSquashed(int f, int) { return Squashed(Hot(0, 0.6, 1), f); }

// Catching the professor: claws up, grab, hold.
BotPose CatchingProfessor(int f, int) {
    BotPose p;
    double t = Clamp01(f / 18.0);
    p.eye = BotEye::Bright;
    p.clawFront = 0.5 + 2.2 * Ease(t) + (f >= 19 ? 0.15 * std::sin(f * 1.3) : 0);
    p.clawBack = 0.3 + 0.2 * Ease(t);  // the back claw stays clear of the edge behind
    p.clawOpen = t < 0.7 ? 1.0 : 0.15;
    p.dy = -2 * Ease(t);
    p.tilt = -0.1 * Ease(t) + (f >= 25 ? 0.08 : 0);
    return p;
}

// Hanging from the ceiling by the claws.
BotPose Hanging(int, int) {
    BotPose p;
    p.hanging = true;
    p.eye = BotEye::Dim;
    p.clawFront = 0;
    p.clawBack = 0;
    p.clawOpen = 0.1;
    return p;
}

// Activating (0..8), falling (9..11), landing (12..18).
BotPose Falling(int f, int) {
    BotPose p;
    if (f <= 8) {
        double t = f / 8.0;
        p.hanging = true;
        p.eye = f >= 3 ? BotEye::Bright : BotEye::Dim;
        p.clawFront = 0.5 * Ease(t);
        p.clawBack = -0.5 * Ease(t);
        p.clawOpen = 0.1 + 0.8 * t;
        // From the hanging height (feet a pixel below the cell bottom) to
        // standing height as the claws let go.
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
}

BotPose Climbing(int f, int) {
    BotPose p;
    p.back = true;
    double s = f == 0 ? 0 : (f == 1 ? 1 : -1);
    p.clawFront = 0.35 * s;
    p.clawBack = -0.35 * s;
    p.legPhase = s * 1.2;
    p.legLift = 2;
    p.dy = -std::fabs(s);
    return p;
}

BotPose Frozen(int, int) {
    BotPose p;
    p.frost = 1;
    p.eye = BotEye::Dark;
    p.clawFront = 0.8;
    p.clawBack = 0.6;
    return p;
}

void IceCoat(cairo_t* cr, int, int) {
    RoundRect(cr, -13, -30, 26, 30, 4);
    SetColor(cr, Hex(0xdff4ff), 0.3);
    cairo_fill_preserve(cr);
    Stroke(cr, Hex(0x8fcbe6), 1.2, 0.9);
}

// Broken out of its ice: a dark, dead bot lying on its back among shards.
BotPose Broken(int, int) {
    BotPose p;
    p.frost = 0.6;
    p.eye = BotEye::Dark;
    p.tilt = 1.35;
    p.dy = -5;          // the shell rests on the ground
    p.clawFront = 3.4;  // sticking up, once the shell lies on its side
    p.clawBack = 0.2;
    return p;
}

void IceShards(cairo_t* cr, int, int) {
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
}

// ---- The series.

using PoseFn = BotPose (*)(int f, int n);
using ExtraFn = void (*)(cairo_t*, int f, int n);

// The figure faces right; facing left, it is drawn mirrored.
enum class Faces { Right, Left };

constexpr Faces kRight = Faces::Right;
constexpr Faces kLeft = Faces::Left;

// A series of one picture, named without a frame number ("botstandleft.png").
constexpr int kStill = 0;

// One series: its pictures are name and frame number ("botrunleft3.png"),
// frames 0 to frames - 1, a pose's n being their count. tip: tipped over
// sideways, radians on the screen (to its right when positive) whichever way
// the bot faces. feetY: where its feet stand in the cell; a hanging bot's
// dangle a pixel below the cell, a broken one lies a pixel higher.
struct Series {
    const char* name;
    int frames;
    int ox, oy;  // the sprite origin
    Faces faces;
    PoseFn pose;
    double tip = 0;
    ExtraFn extra = nullptr;  // drawn over it, mirrored with it
    double feetY = 24;
};

// Every bot stands on the middle of its cell, whatever it does, so that it
// does not hop sideways from one state to the next: the origin of a series
// leaves its canvas room on the left for all the series draws there (a
// series whose origin leaves too little is shifted inside), and the canvas
// grows to the right as far as the drawing reaches. A catching bot faces the
// professor: the left catcher stands on his left and looks right. The heat
// series share one origin per side.
const Series kSeries[] = {
    // name                       frames  ox  oy  faces   pose  (tip, extra, feetY)
    {"botstandleft",              kStill, 16, 20, kLeft,  Standing},
    {"botstandright",             kStill, 18, 19, kRight, Standing},
    {"botrunleft",                12,     21, 23, kLeft,  Running},
    {"botrunright",               12,     18, 22, kRight, Running},
    {"botpushleft",               12,     24, 19, kLeft,  Pushing},
    {"botpushright",              12,     18, 18, kRight, Pushing},
    {"botcrushedleft",            3,      21, 20, kLeft,  Crushed},
    {"botcrushedright",           3,      19, 19, kRight, Crushed},
    {"botstunnedleft",            3,      20, 20, kLeft,  Stunned},
    {"botstunnedright",           3,      19, 19, kRight, Stunned},
    // Tipped over to the left, the shell needs room on that side.
    {"batstunnedlefttiltleft",    kStill, 23, 20, kLeft,  StunnedOver, -0.3},
    {"batstunnedlefttiltright",   kStill, 14, 20, kLeft,  StunnedOver, 0.3},
    {"batstunnedrighttiltleft",   kStill, 22, 19, kRight, StunnedOver, -0.3},
    {"batstunnedrighttiltright",  kStill, 18, 19, kRight, StunnedOver, 0.3},
    {"botmagnetleft",             2,      17, 19, kLeft,  Magnetised},
    {"botmagnetright",            2,      23, 20, kRight, Magnetised},
    {"botslidingleft",            6,      17, 20, kLeft,  Sliding},
    {"botslidingright",           6,      22, 19, kRight, Sliding},
    {"botcrawlleft",              6,      21, 13, kLeft,  Crawling},
    {"botcrawlright",             6,      16, 12, kRight, Crawling},
    // Heat: glowing, sagging, cooling to a hard dark lump.
    {"botmeltingleft",            5,      20, 22, kLeft,  Melting},
    {"botmeltingright",           5,      20, 20, kRight, Melting},
    {"botheatedlefttiltleft",     kStill, 20, 22, kLeft,  HeatedOver, -0.35},
    {"botheatedlefttiltright",    kStill, 20, 22, kLeft,  HeatedOver, 0.35},
    {"botheatedrighttiltleft",    kStill, 20, 20, kRight, HeatedOver, -0.35},
    {"botheatedrighttiltright",   kStill, 20, 20, kRight, HeatedOver, 0.35},
    {"botcooledlefttiltleft",     kStill, 20, 22, kLeft,  CooledOver, -0.35},
    {"botcooledlefttiltright",    kStill, 20, 22, kLeft,  CooledOver, 0.35},
    {"botcooledrighttiltleft",    kStill, 20, 20, kRight, CooledOver, -0.35},
    {"botcooledrighttiltright",   kStill, 20, 20, kRight, CooledOver, 0.35},
    {"botcoolinglefttiltedleft",  7,      20, 22, kLeft,  CoolingOver, -0.35},
    {"botcoolinglefttiltedright", 7,      20, 22, kLeft,  CoolingOver, 0.35},
    {"botcoolingrighttiltedleft", 7,      20, 20, kRight, CoolingOver, -0.35},
    {"botcoolingrighttiltedright", 7,     20, 20, kRight, CoolingOver, 0.35},
    {"botcoolingleft",            7,      20, 22, kLeft,  Cooling},
    {"botcoolingright",           7,      20, 20, kRight, Cooling},
    {"botheatedleftsquash",       3,      20, 22, kLeft,  HeatedSquashed},
    {"botheatedrightsquash",      3,      20, 20, kRight, HeatedSquashed},
    {"botcooledleftsquash",       3,      20, 22, kLeft,  CooledSquashed},
    {"botcooledrightsquash",      3,      20, 20, kRight, CooledSquashed},
    {"botcatchprofleft",          27,     17, 33, kRight, CatchingProfessor},
    {"botcatchprofright",         27,     20, 32, kLeft,  CatchingProfessor},
    {"bothang",                   kStill, 25, 27, kRight, Hanging, 0, nullptr, 25},
    {"botfall",                   19,     25, 25, kRight, Falling},
    {"botclimb",                  3,      16, 14, kRight, Climbing},
    {"botfrozen",                 kStill, 22, 16, kRight, Frozen, 0, IceCoat},
    {"botfrozenmelted",           kStill, 22, 16, kRight, Broken, 0, IceShards, 23},
};

// Registers the pictures of one series on their cell, all moved alike
// inside their canvas.
void AddSeries(CArtRegistry& reg, const Series& s) {
    const int n = s.frames == kStill ? 1 : s.frames;
    const bool mirrored = s.faces == Faces::Left;
    auto picture = [&](int f) {
        return std::string(s.name) + (s.frames == kStill ? "" : std::to_string(f)) + ".png";
    };
    auto painter = [=](int f, double x) {
        BotPose pose = s.pose(f, n);
        if (s.tip) pose.tilt = s.tip * (mirrored ? -1 : 1);
        const ExtraFn extra = s.extra;
        const double feetY = s.feetY;
        return [=](cairo_t* cr) {
            cairo_translate(cr, x, feetY);
            if (mirrored) cairo_scale(cr, -1, 1);
            DrawBot(cr, pose);
            if (extra) extra(cr, f, n);
        };
    };
    double cx = 12;
    const int bottom = 30;
    InkBox ink;
    for (int f = 0; f < n; ++f) ink.Add(MeasureInk(painter(f, cx)));
    const int right = FrameRight(picture(0), ink, 36);
    cx += ShiftInside(picture(0), ink, s.ox, s.oy, right, bottom);
    for (int f = 0; f < n; ++f) AddCell(reg, picture(f), s.ox, s.oy, right, bottom, painter(f, cx));
}

}  // namespace

void RegisterBots(CArtRegistry& reg) {
    for (const Series& series : kSeries) AddSeries(reg, series);
}

}  // namespace worldart
