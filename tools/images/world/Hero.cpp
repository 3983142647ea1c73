// Every animation series of the professor: each one a pose function of the
// frame index, placed on its cell so that the feet stand on the cell bottom.
#include "images/world/DeviceFigures.h"
#include "images/world/HeroFigure.h"
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace worldart {
namespace {

using PoseFn = std::function<HeroPose(int f, int n)>;
using Extra = std::function<void(cairo_t*, int f, int n)>;

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

// Pixels a series' figure is drawn right (left when negative) of his cell's
// middle. He stands on the middle, facing either way or the viewer, as every
// bot does, and so does every series he plays in his place (the idles, the
// power-ups, the struggle on ice); the others are brought to him, so that the
// middle of what a series draws stays within two pixels of the middle of the
// series play switches to and from: he sets off, walks, walks into a crate
// and leans on it, stops; crawls under something low; slides on ice; jumps
// off a ladder; falls, lands and turns back to his side; steps back from
// something hot; is knocked down and gets up; freezes and thaws; is singed;
// is caught. Leaning on a crate, his hands still reach it. On a ladder he
// hangs on the ladder's middle (his pose puts him there), and in and out of
// a trampoline he keeps to its canvas.
int Moved(const std::string& prefix) {
    static const std::map<std::string, int> moved = {
        {"profstandmiddle", -1},     {"profstandright", -1},       {"profrunleft", 3},
        {"profrunright", -3},        {"profladderleft", 2},        {"profpushleft", 1},
        {"profpushright", -4},       {"profhotstepright", -1},     {"profpushhotleft", 1},
        {"profpushhotright", -4},    {"profslideleft", -2},        {"profslideright", 2},
        {"profslideleftuncool", 2},  {"profsliderightuncool", -2}, {"profinflateright", -1},
        {"profemp", -1},             {"profwhistle", -1},          {"profgunright", -1},
        {"proffireheatgunright", -1}, {"proftrampflingright", 3},  {"proftramprecover", 1},
        {"profland", -1},            {"profbarrelleft", 2},        {"profbarrelright", -1},
        {"profcrawlleft", 3},        {"profcrawlright", -3},       {"profstunleft", -1},
        {"profstunright", -2},       {"profturnright", -1},        {"proffrozen", -1},
        {"profcaughtleft", 3},       {"profcaughtright", -4},      {"profidleA", -1},
        {"profidleB", -1},           {"profidleC", -1},            {"profidleD", -1},
        {"profidleE", -1},           {"profidleF", -1},            {"profidleG", -1},
        {"profidleH", -1},           {"profidleI", -1},            {"profidleJ", -1},
    };
    auto it = moved.find(prefix);
    return it == moved.end() ? 0 : it->second;
}

// Registers the frames of one series (by index) on their cell; every frame
// moves alike, so that the whole series is drawn inside its canvas.
void AddFrames(CArtRegistry& reg, const std::string& prefix, const std::string& ext,
               const std::vector<int>& frames, int n, int ox, int oy, bool left, const PoseFn& pose,
               double height = kHeroHeight, const Extra& extra = nullptr, double reach = 22) {
    Placement pl = Place(oy, 12 + Moved(prefix), height, reach);
    auto painter = [=](int f, double cx) {
        return [=](cairo_t* cr) {
            cairo_translate(cr, cx, pl.feetY);
            if (left) cairo_scale(cr, -1, 1);
            DrawHero(cr, pose(f, n));
            if (extra) extra(cr, f, n);
        };
    };
    InkBox ink;
    for (int f : frames) ink.Add(MeasureInk(painter(f, pl.cx)));
    const std::string first = prefix + std::to_string(frames.front()) + ext;
    pl.right = FrameRight(first, ink, pl.right);
    const int shift = ShiftInside(first, ink, ox, oy, pl.right, pl.bottom);
    // A frame with no room on the left for the figure would move him off his
    // place here: its origin (here and in the game) must grow instead.
    if (shift)
        fprintf(stderr, "note: %s is shifted %d px inside its picture: its origin x needs %d more\n",
                prefix.c_str(), shift, shift);
    pl.cx += shift;
    for (int f : frames) AddCell(reg, prefix + std::to_string(f) + ext, ox, oy, pl.right, pl.bottom, painter(f, pl.cx));
}

void AddSeries(CArtRegistry& reg, const std::string& prefix, const std::string& ext,
               int first, int last, int n, int ox, int oy, bool left, const PoseFn& pose,
               double height = kHeroHeight, const Extra& extra = nullptr, double reach = 22) {
    std::vector<int> frames;
    for (int f = first; f <= last; ++f) frames.push_back(f);
    AddFrames(reg, prefix, ext, frames, n, ox, oy, left, pose, height, extra, reach);
}

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

}  // namespace

void RegisterHero(CArtRegistry& reg) {
    // Standing, facing the viewer and to each side.
    auto standMid = [](int f, int) { return Stand(HeroView::Front, f); };
    auto standSide = [](int f, int) { return Stand(HeroView::Side, f); };
    AddSeries(reg, "profstandmiddle", ".tga", 0, 10, 11, 15, 35, false, standMid);
    AddSeries(reg, "profstandleft", ".tga", 0, 10, 11, 14, 35, true, standSide);
    AddSeries(reg, "profstandright", ".tga", 0, 10, 11, 18, 35, false, standSide);

    auto run = [](int f, int n) { return Run(f, n, 1.0); };
    AddSeries(reg, "profrunleft", ".tga", 0, 9, 10, 17, 36, true, run);
    AddSeries(reg, "profrunright", ".tga", 0, 9, 10, 17, 36, false, run);

    // Both climbs share the frame's left edge (origin x 21), so that each step
    // down hangs him where the same step up does: he does not hop sideways
    // when he turns back on the ladder.
    AddSeries(reg, "profclimbdown", ".tga", 0, 2, 3, 21, 31, false, [](int f, int) { return Climb(f, 0.9); });
    AddSeries(reg, "profclimbup", ".tga", 0, 2, 3, 21, 25, false, [](int f, int) { return Climb(f, 1.0); });

    auto ladder = [](int f, int) {
        HeroPose p;
        const double hop[4] = {1, 4, 5, 2};
        p.dy = -hop[f];
        p.legFront = 0.9 - 0.2 * f;
        p.legBack = -0.2;
        p.armFront = 2.4 - 0.3 * f;
        p.armBack = 1.8 - 0.2 * f;
        p.scarfWave = f;
        return p;
    };
    AddSeries(reg, "profladderleft", ".tga", 0, 3, 4, 16, 35, true, ladder);
    AddSeries(reg, "profladderright", ".tga", 0, 3, 4, 17, 35, false, ladder);

    auto fall = [](int f, int n) {
        HeroPose p;
        double ph = 2 * M_PI * f / n;
        p.face = HeroFace::Surprised;
        p.armFront = 2.6 + 0.35 * std::sin(ph);
        p.armBack = 2.3 - 0.35 * std::sin(ph);
        p.legFront = 0.45 + 0.2 * std::sin(ph);
        p.legBack = -0.35 - 0.2 * std::sin(ph);
        p.scarfWave = ph * 2;
        return p;
    };
    // He falls, and lands, facing the way he went: "proffall" and "profland"
    // face right.
    AddSeries(reg, "proffall", ".tga", 0, 5, 6, 17, 28, false, fall);
    AddSeries(reg, "proffallleft", ".tga", 0, 5, 6, 17, 28, true, fall);

    auto push = [](int f, int n) {
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
    };
    AddSeries(reg, "profpushleft", ".tga", 0, 7, 8, 20, 30, true, push);
    AddSeries(reg, "profpushright", ".tga", 0, 7, 8, 20, 30, false, push);

    // Stepping onto something hot: a jolt, hopping on one foot, then calm.
    auto hotstep = [](int f, int n) {
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
    };
    auto hotExtra = [](cairo_t* cr, int f, int n) {
        double t = f / double(n - 1);
        SmokePuffs(cr, 4, -2, t * 3, 3, 1 - t);
    };
    AddSeries(reg, "profhotstepleft", ".png", 0, 48, 49, 20, 35, true, hotstep, kHeroHeight, hotExtra);
    // Its frame leaves room on the left for the smoke, so that it is not
    // shifted right of where he stands.
    AddSeries(reg, "profhotstepright", ".png", 0, 48, 49, 18, 36, false, hotstep, kHeroHeight, hotExtra);

    // Touching something hot while pushing: pull back, shake the hands, recover.
    // How far he has pulled back, 0 leaning on the crate to 1 nearly upright.
    auto pulledBack = [](int f, int n) { return std::sin(M_PI * Clamp01(f / double(n - 1) * 1.4)); };
    // His feet come forward as his body straightens, so that he pulls back
    // where he stands, not away from his place; the smoke stays at his hands.
    auto pushhotDx = [pulledBack](int f, int n) { return -3 + 4 * pulledBack(f, n); };
    auto pushhot = [pulledBack, pushhotDx](int f, int n) {
        HeroPose p;
        double t = f / double(n - 1);
        double back = pulledBack(f, n);
        p.dx = pushhotDx(f, n);
        p.dy = -1;
        p.lean = 0.26 - 0.2 * back;
        p.armFront = 1.5 - 0.9 * back + 0.35 * std::sin(t * 40) * back;
        p.armBack = 1.3 - 0.9 * back - 0.35 * std::sin(t * 40) * back;
        p.legFront = 0.2 - 0.3 * back;
        p.legBack = -0.4;
        p.face = back > 0.2 ? HeroFace::Pained : HeroFace::Normal;
        return p;
    };
    auto pushhotExtra = [pushhotDx](cairo_t* cr, int f, int n) {
        double t = f / double(n - 1);
        SmokePuffs(cr, 9 + pushhotDx(f, n), -22, t * 3, 3, 1 - t);
    };
    AddSeries(reg, "profpushhotleft", ".png", 0, 32, 33, 21, 37, true, pushhot, kHeroHeight, pushhotExtra);
    AddSeries(reg, "profpushhotright", ".png", 0, 32, 33, 19, 36, false, pushhot, kHeroHeight, pushhotExtra);

    // Sliding on ice: coolly balanced, or flailing.
    auto slide = [](int f, int) {
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
    };
    AddSeries(reg, "profslideleft", ".tga", 0, 3, 4, 17, 27, true, slide, 44);
    // Its frame leaves room on the left for the arms he balances with.
    AddSeries(reg, "profslideright", ".tga", 0, 3, 4, 18, 29, false, slide, 44);
    auto uncool = [](int f, int n) {
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
    };
    // Flailing he faces the way he wants to go: right while the ice carries
    // him left (or holds him where he stands), left while it carries him
    // right, so that he does not turn when the key goes down or up.
    AddSeries(reg, "profslideleftuncool", ".tga", 0, 5, 6, 19, 27, false, uncool, 44);
    AddSeries(reg, "profsliderightuncool", ".tga", 0, 5, 6, 17, 29, true, uncool, 44);

    // Blowing up an inflatable: the yellow rubber grows, then the arm drops.
    auto inflate = [](int f, int) {
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
    };
    AddSeries(reg, "profinflateleft", ".tga", 0, 9, 10, 32, 35, true, inflate, kHeroHeight, nullptr, 28);
    AddSeries(reg, "profinflateright", ".tga", 0, 9, 10, 23, 36, false, inflate, kHeroHeight, nullptr, 28);

    // EMP: facing the viewer, raising the remote, sparks.
    auto emp = [](int f, int n) {
        HeroPose p;
        p.view = HeroView::Front;
        p.prop = HeroProp::Remote;
        double up = Ease(Clamp01(f / 3.0)) * (f >= n - 2 ? 0.6 : 1.0);
        p.armFront = 0.3 + 2.4 * up;
        p.armBack = -0.1;
        p.propT = (f >= 4 && f <= 8) ? 0.5 + 0.5 * std::sin(f) : 0;
        p.face = f >= 4 && f <= 8 ? HeroFace::Closed : HeroFace::Normal;
        return p;
    };
    AddSeries(reg, "profemp", ".tga", 0, 10, 11, 15, 38, false, emp);

    auto whistle = [](int f, int) {
        HeroPose p;
        p.view = HeroView::Front;
        p.face = f >= 2 && f <= 7 ? HeroFace::Whistle : HeroFace::Normal;
        double up = f < 2 ? f / 2.0 : (f > 7 ? 0.5 : 1.0);
        p.armFront = 0.2 + 2.75 * up;
        p.armBack = -0.1;
        p.prop = HeroProp::Whistle;
        return p;
    };
    auto whistleExtra = [](cairo_t* cr, int f, int) {
        if (f >= 3 && f <= 7) Notes(cr, 8, -37, (f - 3) / 5.0);
    };
    AddSeries(reg, "profwhistle", ".tga", 0, 8, 9, 19, 34, false, whistle, kHeroHeight, whistleExtra);

    // Guns: raise, fire with a flash and a small recoil, lower.
    auto gun = [](HeroProp prop) {
        return [prop](int f, int) {
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
        };
    };
    AddSeries(reg, "profgunleft", ".tga", 0, 10, 11, 24, 35, true, gun(HeroProp::FrostGun), kHeroHeight, nullptr, 26);
    AddSeries(reg, "profgunright", ".tga", 0, 10, 11, 20, 35, false, gun(HeroProp::FrostGun), kHeroHeight, nullptr, 26);
    AddSeries(reg, "proffireheatgunleft", ".png", 0, 10, 11, 24, 35, true, gun(HeroProp::HeatGun), kHeroHeight, nullptr, 26);
    AddSeries(reg, "proffireheatgunright", ".png", 0, 10, 11, 20, 35, false, gun(HeroProp::HeatGun), kHeroHeight, nullptr, 26);

    // Into a trampoline: the canvas gives, the professor sinks and crouches.
    auto tramp = [](int f, int n) {
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
    };
    AddSeries(reg, "proftrampleft", ".tga", 0, 6, 7, 20, 14, true, tramp, kHeroHeight * 0.7);
    AddSeries(reg, "proftrampright", ".tga", 0, 6, 7, 18, 21, false, tramp, kHeroHeight * 0.7);

    // Flung: launched facing the way he flies (frames 0..2, one series per
    // side), then a tucked cartwheel seen from the front (3..8), which both
    // directions share.
    auto fling = [](int f, int) {
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
    };
    AddSeries(reg, "proftrampflingleft", ".tga", 0, 2, 9, 18, 27, true, fling, 44);
    AddSeries(reg, "proftrampflingright", ".tga", 0, 8, 9, 18, 27, false, fling, 44);

    auto recover = [](int f, int n) {
        HeroPose p;
        double t = f / double(n - 1);
        p.squash = 0.8 + 0.2 * Ease(t);
        p.armFront = 2.4 * (1 - t) + 0.1;
        p.armBack = 2.0 * (1 - t);
        p.face = t < 0.5 ? HeroFace::Dizzy : HeroFace::Happy;
        return p;
    };
    AddSeries(reg, "proftramprecover", ".tga", 0, 7, 8, 16, 29, false, recover, 44,
              [](cairo_t* cr, int f, int) {
                  if (f < 4) Stars(cr, 1, -38, f * 0.9);
              });

    auto land = [](int f, int) {
        HeroPose p;
        const double sq[6] = {0.78, 0.84, 0.9, 0.96, 1.0, 1.0};
        p.squash = sq[f];
        p.armFront = 1.2 * (1 - f / 5.0);
        p.armBack = 1.0 * (1 - f / 5.0);
        p.legFront = 0.3 * (1 - f / 5.0);
        p.legBack = -0.3 * (1 - f / 5.0);
        return p;
    };
    AddSeries(reg, "profland", ".tga", 0, 5, 6, 18, 36, false, land);
    AddSeries(reg, "proflandleft", ".tga", 0, 5, 6, 18, 36, true, land);

    auto barrel = [](int f, int n) {
        HeroPose p = Run(f, n, 0.6);
        p.armFront = 1.5 + 0.3 * std::sin(2 * M_PI * f / n);
        p.armBack = 1.3 - 0.3 * std::sin(2 * M_PI * f / n);
        p.lean = 0.05;
        return p;
    };
    AddSeries(reg, "profbarrelleft", ".tga", 0, 9, 10, 17, 35, true, barrel);
    AddSeries(reg, "profbarrelright", ".tga", 0, 9, 10, 17, 35, false, barrel);

    auto crawl = [](int f, int n) {
        HeroPose p;
        p.crawl = true;
        p.scale = 0.82;
        p.dy = -1;  // knees on the ground, not in it
        p.legFront = 2 * M_PI * f / n;
        return p;
    };
    AddSeries(reg, "profcrawlleft", ".tga", 0, 5, 6, 20, 15, true, crawl, 24, nullptr, 26);
    AddSeries(reg, "profcrawlright", ".tga", 0, 5, 6, 23, 15, false, crawl, 24, nullptr, 26);

    // Stunned by something landing on him: squashed, with stars.
    auto stun = [](int f, int) {
        HeroPose p;
        const double sq[3] = {0.85, 0.72, 0.62};
        p.squash = sq[f];
        p.face = HeroFace::Dizzy;
        p.armFront = 0.9;
        p.armBack = 0.7;
        p.legFront = 0.4;
        p.legBack = -0.4;
        return p;
    };
    auto stunExtra = [](cairo_t* cr, int f, int) {
        const double sq[3] = {0.85, 0.72, 0.62};
        Stars(cr, 1, -kHeroHeight * sq[f] + 4, f * 1.1);
    };
    AddSeries(reg, "profstunleft", ".tga", 0, 2, 3, 17, 23, true, stun, 41, stunExtra);
    AddSeries(reg, "profstunright", ".tga", 0, 2, 3, 19, 23, false, stun, 41, stunExtra);

    auto turn = [](int f, int) {
        HeroPose p;
        // Frame 0 faces the viewer, frame 1 is half turned back to the side.
        p.view = f == 0 ? HeroView::Front : HeroView::ThreeQuarter;
        return p;
    };
    AddSeries(reg, "profturnleft", ".tga", 0, 1, 2, 15, 36, true, turn);
    AddSeries(reg, "profturnright", ".tga", 0, 1, 2, 18, 36, false, turn);

    // Frozen: a crouched professor inside a block of ice.
    auto frozen = [](int, int) {
        HeroPose p;
        p.view = HeroView::Front;
        p.squash = 0.7;
        p.face = HeroFace::Surprised;
        // Hands up, inside the block.
        p.armFront = 2.9;
        p.armBack = 2.9;
        p.frost = 0.35;
        return p;
    };
    auto iceBlock = [](cairo_t* cr, int, int) {
        RoundRect(cr, -14, -35, 28, 35, 3);
        cairo_pattern_t* g = cairo_pattern_create_linear(-14, -35, 14, 0);
        cairo_pattern_add_color_stop_rgba(g, 0, 0.92, 0.98, 1, 0.4);
        cairo_pattern_add_color_stop_rgba(g, 1, 0.62, 0.85, 0.96, 0.3);
        cairo_set_source(cr, g);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(g);
        Stroke(cr, Hex(0x7fc4e0), 1.5);
        cairo_move_to(cr, -10, -20);
        cairo_line_to(cr, -4, -31);
        cairo_move_to(cr, -10, -10);
        cairo_line_to(cr, 2, -30);
        cairo_move_to(cr, 6, -5);
        cairo_line_to(cr, 11, -14);
        Stroke(cr, Hex(0xffffff), 1.2, 0.9);
    };
    AddSeries(reg, "proffrozen", ".tga", 0, 0, 1, 19, 17, false, frozen, 36, iceBlock);

    auto singed = [](int f, int) {
        HeroPose p;
        p.view = HeroView::Front;
        p.soot = 1;
        p.squash = 0.92;
        p.blink = (f == 3 || f == 4) ? 1 : 0;
        p.face = HeroFace::Surprised;
        p.armFront = 0.25;
        p.armBack = 0.25;
        return p;
    };
    auto singedExtra = [](cairo_t* cr, int f, int) {
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
    };
    // Its frame leaves room on the left for the smoke, so that it is not
    // shifted right of where he stands.
    AddSeries(reg, "profsinged", ".png", 0, 7, 8, 19, 25, false, singed, 44, singedExtra);

    auto thaw = [](int f, int n) {
        HeroPose p;
        p.view = HeroView::Front;
        p.frost = 1 - f / double(n);
        p.armFront = 0.4 * (1 - f / double(n - 1));
        p.armBack = 0.4 * (1 - f / double(n - 1));
        p.face = HeroFace::Closed;
        return p;
    };
    auto thawExtra = [](cairo_t* cr, int f, int n) {
        for (int i = 0; i < 4; ++i) {
            double x = -8 + i * 5, y = -20 + std::fmod(f * 5 + i * 7, 16.0);
            Ellipse(cr, x, y, 1.0, 1.5);
            SetColor(cr, Hex(0x7fc8f0), 0.8 * (1 - f / double(n)));
            cairo_fill(cr);
        }
    };
    // Its frame leaves room on the left for the drops, so that it is not
    // shifted right of where he stands frozen and standing.
    AddSeries(reg, "profthawing", ".png", 0, 4, 5, 18, 36, false, thaw, kHeroHeight, thawExtra);

    // Caught: the bot beside him steps into his cell; he faces it, is
    // lifted and shoved back, kicking. The bot draws itself. A bot on his
    // right gives the caught-left series (shoved to the left), a bot on his
    // left the caught-right series.
    auto caught = [](int f, int) {
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
    };
    AddSeries(reg, "profcaughtleft", ".png", 0, 30, 31, 37, 35, false, caught);
    AddSeries(reg, "profcaughtright", ".png", 0, 30, 31, 18, 34, true, caught, kHeroHeight, nullptr, 36);

    // The tube: the professor fades in a column of light, 0 fully out,
    // 21 gone.
    {
        Placement pl = Place(39, 12, 50, 20);
        for (int f = 0; f <= 21; ++f) {
            AddCell(reg, "tube" + std::to_string(f) + ".tga", 16, 39, pl.right, pl.bottom, [=](cairo_t* cr) {
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
            });
        }
    }

    // Idles.
    AddSeries(reg, "profidleA", ".tga", 0, 6, 7, 18, 36, false, [](int f, int) {
        HeroPose p;
        p.prop = HeroProp::Watch;
        double up = Ease(Clamp01(f / 3.0));
        p.armFront = 0.2 + 1.3 * up;
        p.headTilt = 0.35 * up + (f >= 4 ? 0.05 * (f - 5) : 0);
        p.blink = f == 6 ? 0.5 : 0;
        return p;
    });
    AddSeries(reg, "profidleB", ".tga", 0, 10, 11, 16, 38, false, [](int f, int) {
        HeroPose p;
        p.view = HeroView::Front;
        double up = Ease(Clamp01(f / 3.0));
        p.armFront = 0.2 + 2.7 * up + (f >= 3 ? 0.15 * std::sin(f * 2.0) : 0);
        p.headTilt = -0.1 * up;
        p.face = f >= 4 ? HeroFace::Closed : HeroFace::Normal;
        return p;
    });
    auto idleC = [](int f, int) {
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
    };
    AddFrames(reg, "profidleC", ".tga", {0, 1, 2, 3, 4, 9, 10, 11, 12}, 13, 20, 32, false, idleC);
    auto idleD = [](int f, int) {
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
    };
    AddFrames(reg, "profidleD", ".tga", {0, 1, 2, 3, 4, 5, 11, 12, 13, 14, 15, 16, 17}, 18, 18, 33, false, idleD);
    AddSeries(reg, "profidleE", ".tga", 0, 22, 23, 18, 37, false, [](int f, int) {
        HeroPose p;
        double t = f / 22.0;
        p.view = (t > 0.3 && t < 0.7) ? HeroView::ThreeQuarter : HeroView::Side;
        p.headTilt = -0.15 * std::sin(t * 2 * M_PI);
        p.armFront = 0.1;
        p.blink = f == 11 ? 1 : 0;
        return p;
    });
    AddSeries(reg, "profidleF", ".tga", 0, 60, 61, 26, 35, false, [](int f, int) {
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
    }, kHeroHeight, [](cairo_t* cr, int f, int) {
        double t = f / 60.0;
        if (t > 0.1 && t < 0.9) Notes(cr, 10, -37, std::fmod(t * 4, 1.0));
    });
    AddSeries(reg, "profidleG", ".tga", 0, 6, 7, 18, 35, false, [](int f, int) {
        HeroPose p;
        p.legFront = 0.1 + 0.45 * std::fabs(std::sin(f * M_PI / 3));
        p.armFront = 0.1;
        p.armBack = -0.1;
        p.headTilt = 0.05 * std::sin(f * M_PI / 3);
        return p;
    });
    AddSeries(reg, "profidleH", ".png", 0, 16, 17, 22, 36, false, [](int f, int) {
        HeroPose p;
        double t = std::sin(M_PI * f / 16.0);
        p.lean = -0.22 * t;
        p.armFront = 0.2 - 1.0 * t;
        p.armBack = 0.2 - 1.2 * t;
        p.face = t > 0.6 ? HeroFace::Closed : HeroFace::Normal;
        return p;
    });
    AddSeries(reg, "profidleI", ".png", 0, 11, 12, 22, 34, false, [](int f, int) {
        HeroPose p;
        p.face = HeroFace::Whistle;
        p.headTilt = -0.12 + 0.06 * std::sin(f * M_PI / 6);
        p.armFront = 0.15;
        p.armBack = -0.15;
        return p;
    }, kHeroHeight, [](cairo_t* cr, int f, int) { Notes(cr, 10, -36, f / 12.0); });
    AddSeries(reg, "profidleJ", ".png", 0, 13, 14, 16, 31, false, [](int f, int) {
        HeroPose p;
        p.view = HeroView::Front;
        double up = Ease(Clamp01(f / 4.0)) * (f >= 11 ? (13 - f) / 2.0 : 1.0);
        p.armFront = 0.2 + 2.55 * up + (f >= 4 && f < 11 ? 0.12 * std::sin(f * 2.2) : 0);
        p.face = f >= 5 && f < 11 ? HeroFace::Happy : HeroFace::Normal;
        return p;
    });
}

}  // namespace worldart
