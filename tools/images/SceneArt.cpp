#include "images/SceneArt.h"

#include <cmath>

#include "images/DrawKit.h"

using namespace DrawKit;

namespace SceneArt {

namespace {

Color Dim(const Color& c, double brightness) { return Mix(Darken(c, 0.55), c, brightness); }

void Hills(cairo_t* cr, int w, double baseY, double amp, const Color& color, uint32_t seed, double step) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, 0, baseY + 1000);
    double phase = RandomRange(seed, 0, 6.28);
    const double f1 = RandomRange(seed, 0.006, 0.012), f2 = RandomRange(seed, 0.015, 0.03);
    for (double x = 0; x <= w + step; x += step)
        cairo_line_to(cr, x, baseY - amp * (0.6 * std::sin(x * f1 + phase) + 0.4 * std::sin(x * f2 + phase * 2)));
    cairo_line_to(cr, w, baseY + 1000);
    cairo_close_path(cr);
    SetColor(cr, color);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace

void Cloud(cairo_t* cr, double cx, double cy, double w, double h, uint32_t seed, double alpha) {
    for (int i = 0; i < 6; ++i) {
        const double px = cx + RandomRange(seed, -w * 0.35, w * 0.35);
        const double py = cy + RandomRange(seed, -h * 0.2, h * 0.15);
        const double r = RandomRange(seed, h * 0.35, h * 0.6);
        cairo_save(cr);
        cairo_new_path(cr);
        EllipsePath(cr, px, py, r * 1.3, r);
        SetColor(cr, Hex(0xffffff, alpha * 0.6));
        cairo_fill(cr);
        cairo_restore(cr);
    }
    cairo_save(cr);
    cairo_new_path(cr);
    EllipsePath(cr, cx, cy + h * 0.15, w * 0.5, h * 0.3);
    SetColor(cr, Hex(0xffffff, alpha * 0.7));
    cairo_fill(cr);
    cairo_restore(cr);
}

void SkyAndSea(cairo_t* cr, int w, int h, double brightness) {
    VerticalGradient(cr, 0, 0, w, h * 0.62, Dim(Hex(0x7fb6e6), brightness), Dim(Hex(0xf3d9a8), brightness));
    VerticalGradient(cr, 0, h * 0.62, w, h * 0.38, Dim(Hex(0x3f8fb0), brightness), Dim(Hex(0x1f4f70), brightness));
    for (int i = 0; i < 14; ++i) {
        const double y = h * 0.64 + i * i * 1.6;
        Line(cr, 40 + (i * 97) % (w - 120), y, 100 + (i * 97) % (w - 120), y, Hex(0xffffff, 0.15), 1.5);
    }
}

void Volcano(cairo_t* cr, double cx, double baseY, double width, double height, double brightness) {
    const double cone[] = {cx - width / 2, baseY, cx - width * 0.09, baseY - height, cx + width * 0.09,
                           baseY - height, cx + width / 2, baseY};
    OutlinedPolygon(cr, cone, 4, Dim(Hex(0x6a4a3a), brightness), 2);
    // Lava runs.
    for (int i = -1; i <= 1; ++i) {
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_move_to(cr, cx + i * width * 0.05, baseY - height + 2);
        cairo_curve_to(cr, cx + i * width * 0.09, baseY - height * 0.6, cx + i * width * 0.2, baseY - height * 0.4,
                       cx + i * width * 0.22, baseY - height * 0.15);
        SetColor(cr, Dim(Hex(0xff6a1a, 0.8), brightness));
        cairo_set_line_width(cr, 4);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    RadialGlow(cr, cx, baseY - height, width * 0.18, Hex(0xffb347, 0.7 * brightness));
}

void Palm(cairo_t* cr, double x, double y, double h, double lean, double brightness) {
    const Color trunk = Dim(Hex(0x8a6a3a), brightness);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, x + lean * 0.2, y - h * 0.5, x + lean * 0.7, y - h * 0.8, x + lean, y - h);
    SetColor(cr, trunk);
    cairo_set_line_width(cr, h * 0.07);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_restore(cr);
    const double tx = x + lean, ty = y - h;
    const Color leaf = Dim(Hex(0x3f8f3a), brightness);
    for (int i = 0; i < 7; ++i) {
        const double a = -M_PI + i * M_PI / 6 + 0.1;
        const double lx = tx + std::cos(a) * h * 0.45, ly = ty + std::sin(a) * h * 0.25 + h * 0.12;
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_move_to(cr, tx, ty);
        cairo_curve_to(cr, tx + (lx - tx) * 0.5, ty - h * 0.12, lx, ly - h * 0.05, lx, ly);
        cairo_curve_to(cr, lx - (lx - tx) * 0.1, ly - h * 0.02, tx + (lx - tx) * 0.5, ty - h * 0.02, tx, ty);
        FillShaded(cr, leaf, 1);
        cairo_restore(cr);
    }
    OutlinedEllipse(cr, tx - 3, ty + 4, 4, 4, Dim(Hex(0x6a4a20), brightness), 1);
    OutlinedEllipse(cr, tx + 4, ty + 5, 4, 4, Dim(Hex(0x6a4a20), brightness), 1);
}

namespace {

// The top of the island's ground, one Bezier curve from its left tip to its
// right one, in fractions of the scene's width (x) and height (y).
const double kGroundX[4] = {0.05, 0.2, 0.8, 0.98}, kGroundY[4] = {0.68, 0.55, 0.52, 0.7};

double Bezier(const double (&p)[4], double t) {
    const double u = 1 - t;
    return u * u * u * p[0] + 3 * u * u * t * p[1] + 3 * u * t * t * p[2] + t * t * t * p[3];
}

}  // namespace

double IslandGroundY(int w, int h, double x) {
    double lo = 0, hi = 1;
    for (int i = 0; i < 30; ++i) {
        const double mid = (lo + hi) / 2;
        (Bezier(kGroundX, mid) * w < x ? lo : hi) = mid;
    }
    return Bezier(kGroundY, lo) * h;
}

void IslandScene(cairo_t* cr, int w, int h, uint32_t seed, double brightness, double volcanoHeight,
                 double volcanoWidth) {
    SkyAndSea(cr, w, h, brightness);
    for (int i = 0; i < 5; ++i)
        Cloud(cr, RandomRange(seed, 0, w), RandomRange(seed, 30, h * 0.3), RandomRange(seed, 120, 220), 50, seed + i,
              0.8 * brightness);
    Volcano(cr, w * 0.62, h * 0.62, w * volcanoWidth, h * volcanoHeight, brightness);
    // The island body.
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, w * kGroundX[0], h * kGroundY[0]);
    cairo_curve_to(cr, w * kGroundX[1], h * kGroundY[1], w * kGroundX[2], h * kGroundY[2], w * kGroundX[3],
                   h * kGroundY[3]);
    cairo_curve_to(cr, w * 0.8, h * 0.78, w * 0.25, h * 0.8, w * 0.05, h * 0.68);
    FillShaded(cr, Dim(Hex(0x4caf3f), brightness), 2);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, w * 0.08, h * 0.69);
    cairo_curve_to(cr, w * 0.3, h * 0.77, w * 0.75, h * 0.76, w * 0.95, h * 0.71);
    cairo_curve_to(cr, w * 0.75, h * 0.8, w * 0.3, h * 0.82, w * 0.08, h * 0.69);
    FillShaded(cr, Dim(Hex(0xe0b862), brightness), 0);
    cairo_restore(cr);
    Palm(cr, w * 0.15, h * 0.68, h * 0.2, 18, brightness);
    Palm(cr, w * 0.22, h * 0.66, h * 0.15, -12, brightness);
    Palm(cr, w * 0.88, h * 0.69, h * 0.18, -20, brightness);
}

void LevelBackground(cairo_t* cr, int w, int h, int index) {
    uint32_t seed = Seed("levelbackground") + static_cast<uint32_t>(index) * 7919u;
    const double b = 0.6;  // muted: the board reads on top
    switch (index) {
    case 0: {  // jungle ruins
        VerticalGradient(cr, 0, 0, w, h, Dim(Hex(0x7fae8a), b), Dim(Hex(0x23402a), b));
        Hills(cr, w, h * 0.55, 40, Dim(Hex(0x2f5a34), b), seed, 8);
        for (int i = 0; i < 6; ++i) {
            const double x = 60 + i * 130 + RandomRange(seed, -20, 20), top = h * RandomRange(seed, 0.35, 0.55);
            OutlinedRoundedRect(cr, x, top, 46, h - top, 3, Dim(Hex(0x8a8a70), b), 2);
            for (double y = top + 20; y < h; y += 26) Line(cr, x + 2, y, x + 44, y, Dim(Hex(0x5a5a48), b), 1.5);
        }
        Hills(cr, w, h * 0.8, 30, Dim(Hex(0x1f3f22), b), seed + 3, 8);
        for (int i = 0; i < 12; ++i)
            Line(cr, RandomRange(seed, 0, w), 0, RandomRange(seed, 0, w), RandomRange(seed, 80, 260),
                 Dim(Hex(0x3a6a2a, 0.7), b), 3);
        break;
    }
    case 1: {  // volcano slopes
        VerticalGradient(cr, 0, 0, w, h, Dim(Hex(0xd08a5a), b), Dim(Hex(0x4a2a20), b));
        Volcano(cr, w * 0.5, h * 0.75, w * 0.9, h * 0.6, b);
        Hills(cr, w, h * 0.72, 22, Dim(Hex(0x3a2a24), b), seed, 8);
        for (int i = 0; i < 40; ++i)
            RadialGlow(cr, RandomRange(seed, 0, w), RandomRange(seed, 0, h * 0.5), 3, Hex(0xffb347, 0.5));
        break;
    }
    case 2: {  // beach cliffs
        SkyAndSea(cr, w, h, b);
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_move_to(cr, w * 0.6, h);
        cairo_line_to(cr, w * 0.65, h * 0.3);
        cairo_line_to(cr, w * 0.8, h * 0.25);
        cairo_line_to(cr, w, h * 0.28);
        cairo_line_to(cr, w, h);
        cairo_close_path(cr);
        FillShaded(cr, Dim(Hex(0xb08a60), b), 2);
        cairo_restore(cr);
        Hills(cr, w, h * 0.9, 10, Dim(Hex(0xe0b862), b), seed, 10);
        Palm(cr, w * 0.85, h * 0.26, 120, -15, b);
        break;
    }
    case 3: {  // crystal caves
        VerticalGradient(cr, 0, 0, w, h, Dim(Hex(0x2a2a4a), b), Dim(Hex(0x10101e), b));
        for (int i = 0; i < 24; ++i) {
            const double x = RandomRange(seed, 0, w), y = RandomRange(seed, h * 0.2, h);
            const double s = RandomRange(seed, 20, 60);
            const double crystal[] = {x, y - s, x + s * 0.3, y - s * 0.3, x + s * 0.2, y, x - s * 0.2, y,
                                      x - s * 0.3, y - s * 0.3};
            OutlinedPolygon(cr, crystal, 5, Dim(i % 2 ? Hex(0x8a7ae0) : Hex(0x5ac0e0), b), 1.5);
            RadialGlow(cr, x, y - s * 0.5, s, Hex(0x8ad0ff, 0.12));
        }
        for (int i = 0; i < 14; ++i) {
            const double x = RandomRange(seed, 0, w), l = RandomRange(seed, 30, 110);
            const double tip[] = {x - 14, 0, x + 14, 0, x, l};
            OutlinedPolygon(cr, tip, 3, Dim(Hex(0x3a3a5a), b), 1);
        }
        break;
    }
    case 4: {  // the professor's laboratory
        VerticalGradient(cr, 0, 0, w, h, Dim(Hex(0x9a8a70), b), Dim(Hex(0x5a4a38), b));
        for (double y = 0; y < h; y += 40)
            for (double x = ((int)(y / 40) % 2) * 40; x < w; x += 80)
                OutlinedRoundedRect(cr, x + 1, y + 1, 78, 38, 2, Dim(Hex(0x8a7a60), b), 1);
        for (int i = 0; i < 5; ++i) {
            const double x = 80 + i * 150, y = 120 + (i % 2) * 60;
            OutlinedRoundedRect(cr, x, y, 110, 12, 2, Dim(kWood, b), 1.5);
            OutlinedEllipse(cr, x + 25, y - 14, 12, 14, Dim(Hex(0x7ac0a0, 0.8), b), 1.5);
            OutlinedRoundedRect(cr, x + 60, y - 30, 18, 30, 4, Dim(Hex(0xd08ad0, 0.8), b), 1.5);
        }
        break;
    }
    case 5: {  // night forest
        VerticalGradient(cr, 0, 0, w, h, Dim(Hex(0x1a2a4a), b), Dim(Hex(0x0a1418), b));
        OutlinedEllipse(cr, w * 0.8, 90, 40, 40, Hex(0xd8d8c0, 0.7), 0);
        for (int i = 0; i < 60; ++i)
            OutlinedEllipse(cr, RandomRange(seed, 0, w), RandomRange(seed, 0, h * 0.4), 1, 1, Hex(0xffffff, 0.6), 0);
        for (int layer = 0; layer < 2; ++layer)
            for (int i = 0; i < 14; ++i) {
                const double x = RandomRange(seed, -20, w + 20), y = h * (0.7 + layer * 0.15),
                             th = RandomRange(seed, 150, 300);
                const double tree[] = {x, y - th, x + th * 0.22, y, x - th * 0.22, y};
                OutlinedPolygon(cr, tree, 3, Dim(layer ? Hex(0x0f2a1a) : Hex(0x1a3a2a), b), 1);
            }
        break;
    }
    case 6: {  // desert temple
        VerticalGradient(cr, 0, 0, w, h, Dim(Hex(0xf0c080), b), Dim(Hex(0xc08040), b));
        const double pyramid[] = {w * 0.25, h * 0.75, w * 0.5, h * 0.2, w * 0.75, h * 0.75};
        OutlinedPolygon(cr, pyramid, 3, Dim(Hex(0xd0a060), b), 2);
        for (int i = 1; i < 10; ++i) {
            const double y = h * 0.2 + (h * 0.55) * i / 10, half = (w * 0.25) * i / 10;
            Line(cr, w * 0.5 - half, y, w * 0.5 + half, y, Dim(Hex(0xa07840), b), 1.5);
        }
        Hills(cr, w, h * 0.72, 18, Dim(Hex(0xe0b862), b), seed, 10);
        break;
    }
    default: {  // snowfields
        VerticalGradient(cr, 0, 0, w, h, Dim(Hex(0xbfd8ee), b), Dim(Hex(0xeef4fa), b));
        Hills(cr, w, h * 0.5, 60, Dim(Hex(0xa8b8d0), b), seed, 8);
        Hills(cr, w, h * 0.7, 40, Dim(Hex(0xdfe8f2), b), seed + 1, 8);
        for (int i = 0; i < 120; ++i)
            OutlinedEllipse(cr, RandomRange(seed, 0, w), RandomRange(seed, 0, h), 1.5, 1.5, Hex(0xffffff, 0.7), 0);
        break;
    }
    }
}

}  // namespace SceneArt
