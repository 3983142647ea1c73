// Every animation series of the professor: each one a pose function of the
// frame index, placed on its cell so that the feet stand on the cell bottom.
// The series are the rows of one table (kSeries, at the end); the poses and
// what is drawn over them come before it.
#include "images/world/DeviceFigures.h"
#include "images/world/HeroFigure.h"
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace worldart {
namespace {

const double kHeroHeight = 47;

double Ease(double t) { return t * t * (3 - 2 * t); }
double Clamp01(double t) { return std::max(0.0, std::min(1.0, t)); }

void SmokePuffs(cairo_t* cr, double x, double y, double t, int count, double alpha, double rise = 16) {
    for (int i = 0; i < count; ++i) {
        double k = std::fmod(t + i / double(count), 1.0);
        double px = x + (Noise(11, i) - 0.5) * 8 + std::sin(k * 6 + i) * 2;
        double py = y - k * rise;
        Ellipse(cr, px, py, 1.5 + 2.5 * k, 1.5 + 2.5 * k);
        SetColor(cr, Hex(0x6a6a6a), alpha * (1 - k) * 0.8);
        cairo_fill(cr);
    }
}

void Stars(cairo_t* cr, double cx, double cy, double phase) {
    for (int i = 0; i < 3; ++i) {
        double a = phase + i * 2 * M_PI / 3;
        double x = cx + std::cos(a) * 8, y = cy + std::sin(a) * 2.5;
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_move_to(cr, 0, -2.6);
        for (int k = 1; k < 10; ++k) {
            double rr = (k % 2) ? 1.1 : 2.6, aa = -M_PI / 2 + k * M_PI / 5;
            cairo_line_to(cr, std::cos(aa) * rr, std::sin(aa) * rr);
        }
        cairo_close_path(cr);
        Flat(cr, Hex(0xffe14a), 0.6);
        cairo_restore(cr);
    }
}

void Notes(cairo_t* cr, double x, double y, double t) {
    for (int i = 0; i < 2; ++i) {
        double k = std::fmod(t + i * 0.5, 1.0);
        double px = x + k * 6 + i * 3, py = y - k * 10;
        Ellipse(cr, px, py, 1.6, 1.2);
        SetColor(cr, Hex(0x24335a), 1 - k);
        cairo_fill(cr);
        cairo_move_to(cr, px + 1.5, py);
        cairo_line_to(cr, px + 1.5, py - 5);
        Stroke(cr, Hex(0x24335a), 0.8, 1 - k);
    }
}

// ---- Poses: frame f of a series whose cycle has n frames.

// Standing: a slow breath over frames 0..8, a blink on 9 and 10.
HeroPose Stand(HeroView view, int f) {
    HeroPose p;
    p.view = view;
    double t = std::min(f, 8) / 8.0;
    p.squash = 1 - 0.025 * std::sin(M_PI * t);
    p.armFront = 0.12 + 0.06 * std::sin(M_PI * t);
    p.armBack = -0.1 - 0.05 * std::sin(M_PI * t);
    p.headTilt = -0.04 * std::sin(M_PI * t);
    p.scarfWave = t * 2;
    if (f == 9) p.blink = 0.6;
    if (f == 10) p.blink = 1;
    return p;
}

HeroPose StandingFront(int f, int) { return Stand(HeroView::Front, f); }
HeroPose StandingSide(int f, int) { return Stand(HeroView::Side, f); }

HeroPose Run(int f, int n, double amp) {
    HeroPose p;
    // Half a frame into the cycle, so that no two frames share a pose.
    double ph = 2 * M_PI * (f + 0.5) / n;
    p.legFront = 0.75 * amp * std::sin(ph);
    p.legBack = -p.legFront;
    p.armFront = -0.9 * amp * std::sin(ph);
    p.armBack = -p.armFront;
    p.dy = -1.6 * std::fabs(std::cos(ph)) * amp;
    p.lean = 0.14 * amp;
    p.scarfWave = ph;
    return p;
}

HeroPose Running(int f, int n) { return Run(f, n, 1.0); }

// On the ladder, seen from behind. The ladder stands three pixels right of
// the cell's middle, where he stands: dx puts him between the two, so that
// he neither hops onto the ladder from where he stands nor off it at its top
// or foot, and still hangs on it.
HeroPose Climb(int f, double scale) {
    HeroPose p;
    p.dx = 0.5;
    p.scale = scale;
    p.view = HeroView::Back;
    double s = f - 1;
    p.armFront = M_PI * 0.88 + 0.2 * s;
    p.armBack = M_PI * 0.88 - 0.2 * s;
    p.legFront = 0.25 * s;
    p.legBack = -0.25 * s;
    p.dy = -1.5 * std::fabs(s);
    return p;
}

HeroPose ClimbingDown(int f, int) { return Climb(f, 0.9); }
HeroPose ClimbingUp(int f, int) { return Climb(f, 1.0); }

// Jumping off a ladder.
HeroPose OffLadder(int f, int) {
    HeroPose p;
    const double hop[4] = {1, 4, 5, 2};
    p.dy = -hop[f];
    p.legFront = 0.9 - 0.2 * f;
    p.legBack = -0.2;
    p.armFront = 2.4 - 0.3 * f;
    p.armBack = 1.8 - 0.2 * f;
    p.scarfWave = f;
    return p;
}

HeroPose Falling(int f, int n) {
    HeroPose p;
    double ph = 2 * M_PI * f / n;
    p.face = HeroFace::Surprised;
    p.armFront = 2.6 + 0.35 * std::sin(ph);
    p.armBack = 2.3 - 0.35 * std::sin(ph);
    p.legFront = 0.45 + 0.2 * std::sin(ph);
    p.legBack = -0.35 - 0.2 * std::sin(ph);
    p.scarfWave = ph * 2;
    return p;
}

HeroPose Pushing(int f, int n) {
    HeroPose p;
    double ph = 2 * M_PI * f / n;
    p.lean = 0.26;
    p.dx = -3;
    p.dy = -1;  // the lean would sink the front boot into the ground
    p.armFront = 1.55 + 0.08 * std::sin(ph);
    p.armBack = 1.4 - 0.08 * std::sin(ph);
    p.legFront = 0.15 + 0.35 * std::sin(ph);
    p.legBack = -0.55 - 0.2 * std::sin(ph);
    p.face = HeroFace::Pained;
    p.scarfWave = ph;
    return p;
}

// Stepping onto something hot: a jolt, hopping on one foot, then calm.
HeroPose HotStep(int f, int n) {
    HeroPose p;
    double t = f / double(n - 1);
    double hop = std::fabs(std::sin(t * 5 * M_PI)) * 7 * (1 - t);
    p.dy = -hop;
    p.face = t < 0.8 ? HeroFace::Pained : HeroFace::Normal;
    double lift = t < 0.8 ? 1.3 : 1.3 * (1 - (t - 0.8) / 0.2);
    p.legFront = lift;
    p.legBack = -0.1;
    p.armFront = 2.2 * (1 - t) + 0.4 * std::sin(t * 12);
    p.armBack = 1.8 * (1 - t) - 0.4 * std::sin(t * 12);
    p.scarfWave = t * 12;
    return p;
}

void HotStepSmoke(cairo_t* cr, int f, int n) {
    double t = f / double(n - 1);
    SmokePuffs(cr, 4, -2, t * 3, 3, 1 - t);
}

// Touching something hot while pushing: pull back, shake the hands, recover.
// How far he has pulled back, 0 leaning on the crate to 1 nearly upright.
double PulledBack(int f, int n) { return std::sin(M_PI * Clamp01(f / double(n - 1) * 1.4)); }

// His feet come forward as his body straightens, so that he pulls back
// where he stands, not away from his place; the smoke stays at his hands.
double PushHotDx(int f, int n) { return -3 + 4 * PulledBack(f, n); }

HeroPose PushHot(int f, int n) {
    HeroPose p;
    double t = f / double(n - 1);
    double back = PulledBack(f, n);
    p.dx = PushHotDx(f, n);
    p.dy = -1;
    p.lean = 0.26 - 0.2 * back;
    p.armFront = 1.5 - 0.9 * back + 0.35 * std::sin(t * 40) * back;
    p.armBack = 1.3 - 0.9 * back - 0.35 * std::sin(t * 40) * back;
    p.legFront = 0.2 - 0.3 * back;
    p.legBack = -0.4;
    p.face = back > 0.2 ? HeroFace::Pained : HeroFace::Normal;
    return p;
}

void PushHotSmoke(cairo_t* cr, int f, int n) {
    double t = f / double(n - 1);
    SmokePuffs(cr, 9 + PushHotDx(f, n), -22, t * 3, 3, 1 - t);
}

// Sliding on ice: coolly balanced, or flailing.
HeroPose Sliding(int f, int) {
    HeroPose p;
    p.lean = -0.12;
    p.squash = 0.93;  // knees bent, riding the ice
    p.armFront = 1.7 + 0.1 * f;
    p.armBack = 1.4 + 0.08 * f;
    p.legFront = 0.35;
    p.legBack = -0.25;
    p.face = HeroFace::Happy;
    p.scarfWave = f * 1.5;
    return p;
}

HeroPose Flailing(int f, int n) {
    HeroPose p;
    double ph = 2 * M_PI * f / n;
    p.lean = -0.14 + 0.08 * std::sin(ph);
    p.squash = 0.93;
    p.armFront = 2.0 + 1.2 * std::sin(ph);
    p.armBack = 2.0 - 1.2 * std::sin(ph);
    p.legFront = 0.4 + 0.2 * std::sin(ph);
    p.legBack = -0.3;
    p.face = HeroFace::Surprised;
    p.scarfWave = ph;
    return p;
}

// Blowing up an inflatable: the yellow rubber grows, then the arm drops.
HeroPose Inflating(int f, int) {
    HeroPose p;
    if (f <= 7) {
        p.prop = HeroProp::Balloon;
        p.propT = f / 7.0;
        p.armFront = 1.6;
        p.armBack = 1.2;
        p.face = HeroFace::Whistle;
    } else {
        p.armFront = f == 8 ? 0.9 : 0.2;
        p.armBack = f == 8 ? 0.6 : -0.1;
        p.face = HeroFace::Happy;
    }
    return p;
}

// EMP: facing the viewer, raising the remote, sparks.
HeroPose Emp(int f, int n) {
    HeroPose p;
    p.view = HeroView::Front;
    p.prop = HeroProp::Remote;
    double up = Ease(Clamp01(f / 3.0)) * (f >= n - 2 ? 0.6 : 1.0);
    p.armFront = 0.3 + 2.4 * up;
    p.armBack = -0.1;
    p.propT = (f >= 4 && f <= 8) ? 0.5 + 0.5 * std::sin(f) : 0;
    p.face = f >= 4 && f <= 8 ? HeroFace::Closed : HeroFace::Normal;
    return p;
}

HeroPose Whistling(int f, int) {
    HeroPose p;
    p.view = HeroView::Front;
    p.face = f >= 2 && f <= 7 ? HeroFace::Whistle : HeroFace::Normal;
    double up = f < 2 ? f / 2.0 : (f > 7 ? 0.5 : 1.0);
    p.armFront = 0.2 + 2.75 * up;
    p.armBack = -0.1;
    p.prop = HeroProp::Whistle;
    return p;
}

void WhistleNotes(cairo_t* cr, int f, int) {
    if (f >= 3 && f <= 7) Notes(cr, 8, -37, (f - 3) / 5.0);
}

// Guns: raise, fire with a flash and a small recoil, lower.
HeroPose Gun(HeroProp prop, int f) {
    HeroPose p;
    p.prop = prop;
    double up = f < 3 ? f / 3.0 : (f > 8 ? 1 - (f - 8) / 3.0 : 1.0);
    p.armFront = 0.2 + 1.35 * Ease(up);
    p.armBack = 0.2 + 0.9 * Ease(up);
    p.propT = (f >= 4 && f <= 6) ? 1.0 - (f - 4) * 0.3 : 0;
    p.lean = (f == 5 || f == 6) ? -0.08 : 0;
    p.legFront = 0.25;
    p.legBack = -0.2;
    return p;
}

HeroPose FiringFrostGun(int f, int) { return Gun(HeroProp::FrostGun, f); }
HeroPose FiringHeatGun(int f, int) { return Gun(HeroProp::HeatGun, f); }

// Into a trampoline: the canvas gives, the professor sinks and crouches.
HeroPose IntoTrampoline(int f, int n) {
    HeroPose p;
    double t = f / double(n - 1);
    // Already crouched as he drops in: the picture is only as tall as that.
    p.squash = 0.74 - 0.2 * Ease(t);
    p.armFront = 0.5 + 2.0 * t;
    p.armBack = 0.3 + 1.8 * t;
    p.legFront = 0.4 * t;
    p.legBack = -0.3 * t;
    p.face = HeroFace::Surprised;
    return p;
}

// Flung: launched facing the way he flies (frames 0..2, one series per
// side), then a tucked cartwheel seen from the front (3..8), which both
// directions share.
HeroPose Flung(int f, int) {
    HeroPose p;
    p.scale = 0.72;
    p.face = HeroFace::Surprised;
    if (f <= 2) {
        p.lean = -0.25 - 0.1 * f;
        p.armFront = 2.6;
        p.armBack = 2.3;
        p.legFront = 0.3 + 0.2 * f;
        p.legBack = -0.4;
        p.dy = -2 * f;
        p.scarfWave = f;
    } else {
        p.view = HeroView::Front;
        p.spin = 2 * M_PI * (f - 3) / 6.0;
        p.legFront = 1.2;
        p.legBack = 1.2;
        p.armFront = 1.4;
        p.armBack = 1.4;
        p.face = HeroFace::Happy;
        p.dy = -6;
    }
    return p;
}

HeroPose Recovering(int f, int n) {
    HeroPose p;
    double t = f / double(n - 1);
    p.squash = 0.8 + 0.2 * Ease(t);
    p.armFront = 2.4 * (1 - t) + 0.1;
    p.armBack = 2.0 * (1 - t);
    p.face = t < 0.5 ? HeroFace::Dizzy : HeroFace::Happy;
    return p;
}

void DizzyStars(cairo_t* cr, int f, int) {
    if (f < 4) Stars(cr, 1, -38, f * 0.9);
}

HeroPose Landing(int f, int) {
    HeroPose p;
    const double sq[6] = {0.78, 0.84, 0.9, 0.96, 1.0, 1.0};
    p.squash = sq[f];
    p.armFront = 1.2 * (1 - f / 5.0);
    p.armBack = 1.0 * (1 - f / 5.0);
    p.legFront = 0.3 * (1 - f / 5.0);
    p.legBack = -0.3 * (1 - f / 5.0);
    return p;
}

// Running on a rolling barrel, arms out.
HeroPose OnBarrel(int f, int n) {
    HeroPose p = Run(f, n, 0.6);
    p.armFront = 1.5 + 0.3 * std::sin(2 * M_PI * f / n);
    p.armBack = 1.3 - 0.3 * std::sin(2 * M_PI * f / n);
    p.lean = 0.05;
    return p;
}

HeroPose Crawling(int f, int n) {
    HeroPose p;
    p.crawl = true;
    p.scale = 0.82;
    p.dy = -1;  // knees on the ground, not in it
    p.legFront = 2 * M_PI * f / n;
    return p;
}

// Stunned by something landing on him: squashed, with stars.
const double kStunSquash[3] = {0.85, 0.72, 0.62};

HeroPose Stunned(int f, int) {
    HeroPose p;
    p.squash = kStunSquash[f];
    p.face = HeroFace::Dizzy;
    p.armFront = 0.9;
    p.armBack = 0.7;
    p.legFront = 0.4;
    p.legBack = -0.4;
    return p;
}

void StunStars(cairo_t* cr, int f, int) { Stars(cr, 1, -kHeroHeight * kStunSquash[f] + 4, f * 1.1); }

HeroPose Turning(int f, int) {
    HeroPose p;
    // Frame 0 faces the viewer, frame 1 is half turned back to the side.
    p.view = f == 0 ? HeroView::Front : HeroView::ThreeQuarter;
    return p;
}

// Frozen: a crouched professor inside a block of ice.
HeroPose Frozen(int, int) {
    HeroPose p;
    p.view = HeroView::Front;
    p.squash = 0.7;
    p.face = HeroFace::Surprised;
    // Hands up, inside the block.
    p.armFront = 2.9;
    p.armBack = 2.9;
    p.frost = 0.35;
    return p;
}

void IceBlock(cairo_t* cr, int, int) {
    RoundRect(cr, -14, -35, 28, 35, 3);
    FillLinear(cr, -14, -35, 14, 0, {0.92, 0.98, 1, 0.4}, {0.62, 0.85, 0.96, 0.3});
    Stroke(cr, Hex(0x7fc4e0), 1.5);
    cairo_move_to(cr, -10, -20);
    cairo_line_to(cr, -4, -31);
    cairo_move_to(cr, -10, -10);
    cairo_line_to(cr, 2, -30);
    cairo_move_to(cr, 6, -5);
    cairo_line_to(cr, 11, -14);
    Stroke(cr, Hex(0xffffff), 1.2, 0.9);
}

HeroPose Singed(int f, int) {
    HeroPose p;
    p.view = HeroView::Front;
    p.soot = 1;
    p.squash = 0.92;
    p.blink = (f == 3 || f == 4) ? 1 : 0;
    p.face = HeroFace::Surprised;
    p.armFront = 0.25;
    p.armBack = 0.25;
    return p;
}

void SingedSmoke(cairo_t* cr, int f, int) {
    // Smoke rises beside his head: the picture ends just above his hair.
    SmokePuffs(cr, -9, -30, f / 8.0, 2, 0.9, 8);
    SmokePuffs(cr, 10, -30, f / 8.0 + 0.5, 2, 0.9, 8);
    // Frizzled hair tufts.
    for (int i = 0; i < 5; ++i) {
        double a = -M_PI / 2 + (i - 2) * 0.45;
        cairo_move_to(cr, 1 + std::cos(a) * 7, -33 + std::sin(a) * 7);
        cairo_line_to(cr, 1 + std::cos(a) * 10, -33 + std::sin(a) * 10 + (i % 2));
    }
    Stroke(cr, Hex(0x9a9a9a), 1.0);
}

HeroPose Thawing(int f, int n) {
    HeroPose p;
    p.view = HeroView::Front;
    p.frost = 1 - f / double(n);
    p.armFront = 0.4 * (1 - f / double(n - 1));
    p.armBack = 0.4 * (1 - f / double(n - 1));
    p.face = HeroFace::Closed;
    return p;
}

void ThawDrops(cairo_t* cr, int f, int n) {
    for (int i = 0; i < 4; ++i) {
        double x = -8 + i * 5, y = -20 + std::fmod(f * 5 + i * 7, 16.0);
        Ellipse(cr, x, y, 1.0, 1.5);
        SetColor(cr, Hex(0x7fc8f0), 0.8 * (1 - f / double(n)));
        cairo_fill(cr);
    }
}

// Caught: the bot beside him steps into his cell; he faces it, is lifted
// and shoved back, kicking. The bot draws itself.
HeroPose Caught(int f, int) {
    HeroPose p;
    p.face = HeroFace::Surprised;
    double t = Clamp01(f / 27.0);
    p.dy = -5 * Ease(Clamp01(t * 2));
    p.dx = -9 * Ease(t);
    double kick = std::sin(f * 1.1);
    p.legFront = 0.5 * kick;
    p.legBack = -0.5 * kick;
    p.armFront = 2.3 + 0.4 * kick;
    p.armBack = 2.0 - 0.4 * kick;
    p.lean = -0.2;
    p.scarfWave = f;
    return p;
}

// ---- Idles.

HeroPose CheckingWatch(int f, int) {
    HeroPose p;
    p.prop = HeroProp::Watch;
    double up = Ease(Clamp01(f / 3.0));
    p.armFront = 0.2 + 1.3 * up;
    p.headTilt = 0.35 * up + (f >= 4 ? 0.05 * (f - 5) : 0);
    p.blink = f == 6 ? 0.5 : 0;
    return p;
}

HeroPose ScratchingHead(int f, int) {
    HeroPose p;
    p.view = HeroView::Front;
    double up = Ease(Clamp01(f / 3.0));
    p.armFront = 0.2 + 2.7 * up + (f >= 3 ? 0.15 * std::sin(f * 2.0) : 0);
    p.headTilt = -0.1 * up;
    p.face = f >= 4 ? HeroFace::Closed : HeroFace::Normal;
    return p;
}

// Both arms up (frames 0..4), then held up, swaying (9..12).
HeroPose Stretching(int f, int) {
    HeroPose p;
    p.view = HeroView::Front;
    p.armSpread = 0.5;
    if (f <= 4) {
        double up = Ease(f / 4.0);
        p.armFront = 0.2 + 2.6 * up;
        p.armBack = 0.2 + 2.6 * up;
        p.face = up > 0.5 ? HeroFace::Surprised : HeroFace::Normal;
        p.squash = 1 + 0.03 * up;
    } else {
        double k = (f - 9) / 3.0;
        p.armFront = 2.3 + 0.2 * std::sin(k * 6);
        p.armBack = 2.3 - 0.2 * std::sin(k * 6);
        p.face = HeroFace::Closed;
    }
    return p;
}

// The cloth up to his face (frames 0..5), then wiping (11..17).
HeroPose WipingWithCloth(int f, int) {
    HeroPose p;
    p.prop = HeroProp::Cloth;
    if (f <= 5) {
        double up = Ease(f / 5.0);
        p.armFront = 0.2 + 2.4 * up;
        p.headTilt = 0.15 * up;
    } else {
        p.armFront = 2.6 + 0.25 * std::sin((f - 11) * 1.6);
        p.headTilt = 0.15;
        p.face = HeroFace::Closed;
    }
    return p;
}

HeroPose LookingAround(int f, int) {
    HeroPose p;
    double t = f / 22.0;
    p.view = (t > 0.3 && t < 0.7) ? HeroView::ThreeQuarter : HeroView::Side;
    p.headTilt = -0.15 * std::sin(t * 2 * M_PI);
    p.armFront = 0.1;
    p.blink = f == 11 ? 1 : 0;
    return p;
}

HeroPose Dancing(int f, int) {
    HeroPose p;
    double t = f / 60.0, ph = t * 6 * M_PI;
    p.view = HeroView::Front;
    p.face = HeroFace::Happy;
    p.armSpread = 0.6;
    double dance = std::sin(M_PI * t);
    p.dx = 3 * std::sin(ph) * dance;
    p.dy = -2 * std::fabs(std::sin(ph)) * dance;
    p.armFront = 0.3 + 1.6 * dance * (0.5 + 0.5 * std::sin(ph));
    p.armBack = 0.3 + 1.6 * dance * (0.5 - 0.5 * std::sin(ph));
    p.legFront = 0.3 * std::sin(ph) * dance;
    p.legBack = -0.3 * std::sin(ph) * dance;
    return p;
}

void DanceNotes(cairo_t* cr, int f, int) {
    double t = f / 60.0;
    if (t > 0.1 && t < 0.9) Notes(cr, 10, -37, std::fmod(t * 4, 1.0));
}

HeroPose TappingFoot(int f, int) {
    HeroPose p;
    p.legFront = 0.1 + 0.45 * std::fabs(std::sin(f * M_PI / 3));
    p.armFront = 0.1;
    p.armBack = -0.1;
    p.headTilt = 0.05 * std::sin(f * M_PI / 3);
    return p;
}

HeroPose LeaningBack(int f, int) {
    HeroPose p;
    double t = std::sin(M_PI * f / 16.0);
    p.lean = -0.22 * t;
    p.armFront = 0.2 - 1.0 * t;
    p.armBack = 0.2 - 1.2 * t;
    p.face = t > 0.6 ? HeroFace::Closed : HeroFace::Normal;
    return p;
}

HeroPose WhistlingATune(int f, int) {
    HeroPose p;
    p.face = HeroFace::Whistle;
    p.headTilt = -0.12 + 0.06 * std::sin(f * M_PI / 6);
    p.armFront = 0.15;
    p.armBack = -0.15;
    return p;
}

void TuneNotes(cairo_t* cr, int f, int) { Notes(cr, 10, -36, f / 12.0); }

HeroPose Waving(int f, int) {
    HeroPose p;
    p.view = HeroView::Front;
    double up = Ease(Clamp01(f / 4.0)) * (f >= 11 ? (13 - f) / 2.0 : 1.0);
    p.armFront = 0.2 + 2.55 * up + (f >= 4 && f < 11 ? 0.12 * std::sin(f * 2.2) : 0);
    p.face = f >= 5 && f < 11 ? HeroFace::Happy : HeroFace::Normal;
    return p;
}

// ---- The series.

using PoseFn = HeroPose (*)(int f, int n);
using ExtraFn = void (*)(cairo_t*, int f, int n);

// The figure faces right; facing left, it is drawn mirrored.
enum class Faces { Right, Left };

// The frames a series draws: the first count of them, or those listed. A
// pose's n is the number of frames in the series' cycle, up to the last one
// it draws.
struct Frames {
    Frames(int count) {  // not explicit: a bare count reads plainly in the table
        for (int f = 0; f < count; ++f) drawn.push_back(f);
    }
    Frames(std::initializer_list<int> listed) : drawn(listed) {}
    std::vector<int> drawn;
};

// One series: its pictures are name, frame number and file type
// ("profrunleft3.tga"). moved: the pixels its figure is drawn right (left
// when negative) of his cell's middle. He stands on the middle, facing either
// way or the viewer, as every bot does, and so does every series he plays in
// his place (the idles, the power-ups, the struggle on ice); the others are
// brought to him, so that the middle of what a series draws stays within two
// pixels of the middle of the series play switches to and from: he sets off,
// walks, walks into a crate and leans on it, stops; crawls under something
// low; slides on ice; jumps off a ladder; falls, lands and turns back to his
// side; steps back from something hot; is knocked down and gets up; freezes
// and thaws; is singed; is caught. Leaning on a crate, his hands still reach
// it. On a ladder he hangs on the ladder's middle (his pose puts him there),
// and in and out of a trampoline he keeps to its canvas.
struct Series {
    const char* name;
    const char* type;
    Frames frames;
    int ox, oy;  // the sprite origin
    Faces faces;
    int moved;
    PoseFn pose;
    double height = kHeroHeight;  // how tall the figure stands, for the room above it
    ExtraFn extra = nullptr;      // drawn over him, mirrored with him
    double reach = 22;            // how far right of his middle the canvas goes at least
};

constexpr Faces kRight = Faces::Right;
constexpr Faces kLeft = Faces::Left;

const Series kSeries[] = {
    // name                   type    frames  ox   oy   faces  moved   pose  (height, extra, reach)
    {"profstandmiddle",       ".tga", 11,     15,  35,  kRight, -1,    StandingFront},
    {"profstandleft",         ".tga", 11,     14,  35,  kLeft,   0,    StandingSide},
    {"profstandright",        ".tga", 11,     18,  35,  kRight, -1,    StandingSide},
    {"profrunleft",           ".tga", 10,     17,  36,  kLeft,   3,    Running},
    {"profrunright",          ".tga", 10,     17,  36,  kRight, -3,    Running},
    // Both climbs share the frame's left edge (origin x 21), so that each step
    // down hangs him where the same step up does: he does not hop sideways
    // when he turns back on the ladder.
    {"profclimbdown",         ".tga", 3,      21,  31,  kRight,  0,    ClimbingDown},
    {"profclimbup",           ".tga", 3,      21,  25,  kRight,  0,    ClimbingUp},
    {"profladderleft",        ".tga", 4,      16,  35,  kLeft,   2,    OffLadder},
    {"profladderright",       ".tga", 4,      17,  35,  kRight,  0,    OffLadder},
    // He falls, and lands, facing the way he went: "proffall" and "profland"
    // face right. Each landing is moved as the turn and the stand that follow
    // it on its side: the right one 1 px left, the left one not at all. His
    // drawing is not symmetric, so the same move on both sides would put one
    // of them a pixel off.
    {"proffall",              ".tga", 6,      17,  28,  kRight,  0,    Falling},
    {"proffallleft",          ".tga", 6,      17,  28,  kLeft,   0,    Falling},
    {"profpushleft",          ".tga", 8,      20,  30,  kLeft,   1,    Pushing},
    {"profpushright",         ".tga", 8,      20,  30,  kRight, -4,    Pushing},
    // The right-facing frames leave room on the left for the smoke, so that
    // they are not shifted right of where he stands.
    {"profhotstepleft",       ".png", 49,     20,  35,  kLeft,   0,    HotStep, kHeroHeight, HotStepSmoke},
    {"profhotstepright",      ".png", 49,     18,  36,  kRight, -1,    HotStep, kHeroHeight, HotStepSmoke},
    {"profpushhotleft",       ".png", 33,     21,  37,  kLeft,   1,    PushHot, kHeroHeight, PushHotSmoke},
    {"profpushhotright",      ".png", 33,     19,  36,  kRight, -4,    PushHot, kHeroHeight, PushHotSmoke},
    // The right-facing frames leave room on the left for the arms he balances
    // with.
    {"profslideleft",         ".tga", 4,      17,  27,  kLeft,  -2,    Sliding, 44},
    {"profslideright",        ".tga", 4,      18,  29,  kRight,  2,    Sliding, 44},
    // Flailing he faces the way he wants to go: right while the ice carries
    // him left (or holds him where he stands), left while it carries him
    // right, so that he does not turn when the key goes down or up.
    {"profslideleftuncool",   ".tga", 6,      19,  27,  kRight,  2,    Flailing, 44},
    {"profsliderightuncool",  ".tga", 6,      17,  29,  kLeft,  -2,    Flailing, 44},
    {"profinflateleft",       ".tga", 10,     32,  35,  kLeft,   0,    Inflating, kHeroHeight, nullptr, 28},
    {"profinflateright",      ".tga", 10,     23,  36,  kRight, -1,    Inflating, kHeroHeight, nullptr, 28},
    {"profemp",               ".tga", 11,     15,  38,  kRight, -1,    Emp},
    {"profwhistle",           ".tga", 9,      19,  34,  kRight, -1,    Whistling, kHeroHeight, WhistleNotes},
    {"profgunleft",           ".tga", 11,     24,  35,  kLeft,   0,    FiringFrostGun, kHeroHeight, nullptr, 26},
    {"profgunright",          ".tga", 11,     20,  35,  kRight, -1,    FiringFrostGun, kHeroHeight, nullptr, 26},
    {"proffireheatgunleft",   ".png", 11,     24,  35,  kLeft,   0,    FiringHeatGun, kHeroHeight, nullptr, 26},
    {"proffireheatgunright",  ".png", 11,     20,  35,  kRight, -1,    FiringHeatGun, kHeroHeight, nullptr, 26},
    {"proftrampleft",         ".tga", 7,      20,  14,  kLeft,   0,    IntoTrampoline, kHeroHeight * 0.7},
    {"proftrampright",        ".tga", 7,      18,  21,  kRight,  0,    IntoTrampoline, kHeroHeight * 0.7},
    // The left series draws only the launch; the cartwheel is the right one's.
    {"proftrampflingleft",    ".tga", 3,      18,  27,  kLeft,   0,    Flung, 44},
    {"proftrampflingright",   ".tga", 9,      18,  27,  kRight,  3,    Flung, 44},
    {"proftramprecover",      ".tga", 8,      16,  29,  kRight,  1,    Recovering, 44, DizzyStars},
    {"profland",              ".tga", 6,      18,  36,  kRight, -1,    Landing},
    {"proflandleft",          ".tga", 6,      18,  36,  kLeft,   0,    Landing},
    {"profbarrelleft",        ".tga", 10,     17,  35,  kLeft,   2,    OnBarrel},
    {"profbarrelright",       ".tga", 10,     17,  35,  kRight, -1,    OnBarrel},
    {"profcrawlleft",         ".tga", 6,      20,  15,  kLeft,   3,    Crawling, 24, nullptr, 26},
    {"profcrawlright",        ".tga", 6,      23,  15,  kRight, -3,    Crawling, 24, nullptr, 26},
    {"profstunleft",          ".tga", 3,      17,  23,  kLeft,  -1,    Stunned, 41, StunStars},
    {"profstunright",         ".tga", 3,      19,  23,  kRight, -2,    Stunned, 41, StunStars},
    {"profturnleft",          ".tga", 2,      15,  36,  kLeft,   0,    Turning},
    {"profturnright",         ".tga", 2,      18,  36,  kRight, -1,    Turning},
    {"proffrozen",            ".tga", 1,      19,  17,  kRight, -1,    Frozen, 36, IceBlock},
    // The singed and thawing frames leave room on the left for the smoke and
    // the drops, so that they are not shifted right of where he stands.
    {"profsinged",            ".png", 8,      19,  25,  kRight,  0,    Singed, 44, SingedSmoke},
    {"profthawing",           ".png", 5,      18,  36,  kRight,  0,    Thawing, kHeroHeight, ThawDrops},
    // A bot on his right gives the caught-left series (shoved to the left), a
    // bot on his left the caught-right series.
    {"profcaughtleft",        ".png", 31,     37,  35,  kRight,  3,    Caught},
    {"profcaughtright",       ".png", 31,     18,  34,  kLeft,  -4,    Caught, kHeroHeight, nullptr, 36},
    {"profidleA",             ".tga", 7,      18,  36,  kRight, -1,    CheckingWatch},
    {"profidleB",             ".tga", 11,     16,  38,  kRight, -1,    ScratchingHead},
    {"profidleC",             ".tga", {0, 1, 2, 3, 4, 9, 10, 11, 12}, 20, 32, kRight, -1, Stretching},
    {"profidleD",             ".tga", {0, 1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 16, 17}, 18, 33, kRight, -1,
     WipingWithCloth},
    {"profidleE",             ".tga", 23,     18,  37,  kRight, -1,    LookingAround},
    {"profidleF",             ".tga", 61,     26,  35,  kRight, -1,    Dancing, kHeroHeight, DanceNotes},
    {"profidleG",             ".tga", 7,      18,  35,  kRight, -1,    TappingFoot},
    {"profidleH",             ".png", 17,     22,  36,  kRight, -1,    LeaningBack},
    {"profidleI",             ".png", 12,     22,  34,  kRight, -1,    WhistlingATune, kHeroHeight, TuneNotes},
    {"profidleJ",             ".png", 14,     16,  31,  kRight, -1,    Waving},
};

struct Placement {
    double cx = 12, feetY = 24;
    int right = 0, bottom = 0;
};

// Sets the figure on its cell: its middle at cx, the feet on the cell bottom
// (lower where the canvas the origin allows is too short above him).
Placement Place(int oy, double cx, double height, double reach) {
    Placement pl;
    pl.cx = cx;
    pl.feetY = std::max(24.0, CanvasTop(oy) + height + 1);
    pl.right = int(std::ceil(pl.cx + reach));
    pl.bottom = int(std::ceil(pl.feetY + 2));
    return pl;
}

// Registers the frames of one series on their cell; every frame moves alike,
// so that the whole series is drawn inside its canvas.
void AddSeries(CArtRegistry& reg, const Series& s) {
    const std::vector<int>& frames = s.frames.drawn;
    const int n = frames.back() + 1;
    Placement pl = Place(s.oy, 12 + s.moved, s.height, s.reach);
    const bool mirrored = s.faces == Faces::Left;
    const PoseFn pose = s.pose;
    const ExtraFn extra = s.extra;
    auto painter = [=](int f, double cx) {
        return [=](cairo_t* cr) {
            cairo_translate(cr, cx, pl.feetY);
            if (mirrored) cairo_scale(cr, -1, 1);
            DrawHero(cr, pose(f, n));
            if (extra) extra(cr, f, n);
        };
    };
    InkBox ink;
    for (int f : frames) ink.Add(MeasureInk(painter(f, pl.cx)));
    const std::string prefix = s.name;
    const std::string first = prefix + std::to_string(frames.front()) + s.type;
    pl.right = FrameRight(first, ink, pl.right);
    const int shift = ShiftInside(first, ink, s.ox, s.oy, pl.right, pl.bottom);
    // A frame with no room on the left for the figure would move him off his
    // place here: its origin (here and in the game) must grow instead.
    if (shift)
        fprintf(stderr, "note: %s is shifted %d px inside its picture: its origin x needs %d more\n",
                s.name, shift, shift);
    pl.cx += shift;
    for (int f : frames)
        AddCell(reg, prefix + std::to_string(f) + s.type, s.ox, s.oy, pl.right, pl.bottom, painter(f, pl.cx));
}

// The tube: the professor fades in a column of light, 0 fully out, 21 gone.
void DrawTubeFrame(cairo_t* cr, int f) {
    double t = f / 21.0;
    DrawTube(cr, TubeKind::Entrance, TubePart::Back, 0);
    cairo_save(cr);
    cairo_translate(cr, 12, 24);
    cairo_scale(cr, 1 - 0.7 * t, 1 + 0.2 * t);
    HeroPose p = Stand(HeroView::Front, 0);
    p.face = HeroFace::Happy;
    WithAlpha(cr, [&](cairo_t* c) { DrawHero(c, p); }, 1 - t * t);
    cairo_restore(cr);
    double beam = std::sin(M_PI * t);
    cairo_rectangle(cr, 5, -22, 14, 46);
    cairo_pattern_t* g = cairo_pattern_create_linear(5, 0, 19, 0);
    cairo_pattern_add_color_stop_rgba(g, 0, 0.7, 0.95, 1, 0);
    cairo_pattern_add_color_stop_rgba(g, 0.5, 0.85, 1, 1, 0.7 * beam);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.7, 0.95, 1, 0);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    DrawTube(cr, TubeKind::Entrance, TubePart::Front, 0);
}

}  // namespace

void RegisterHero(CArtRegistry& reg) {
    for (const Series& series : kSeries) AddSeries(reg, series);
    const Placement pl = Place(39, 12, 50, 20);
    for (int f = 0; f <= 21; ++f)
        AddCell(reg, "tube" + std::to_string(f) + ".tga", 16, 39, pl.right, pl.bottom,
                [f](cairo_t* cr) { DrawTubeFrame(cr, f); });
}

}  // namespace worldart
