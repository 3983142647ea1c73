// Fixed ground: grass and sand runs of every width, ice blocks, wooden and
// inflatable bridges, ladders and ladder platforms.
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace worldart {
namespace {

// A run of ground w cells wide whose top surface is the anchor cell's top.
// alt picks the second look (other stones and tufts).
void GroundRun(cairo_t* cr, int w, bool sand, bool alt) {
    const double x0 = -2, x1 = 24.0 * w + 2, len = x1 - x0;
    unsigned seed = (sand ? 1000u : 0u) + unsigned(w) * 7u + (alt ? 500u : 0u);
    Rgb body = sand ? pal::kSand : pal::kSoil;
    // Body with rounded lower corners.
    RoundRect(cr, x0, 1, len, 23, 5);
    Shade(cr, body, x0, 1, x1, 24, 1.5);
    // Stones or speckles.
    int count = int(len / (sand ? 3 : 7));
    for (int i = 0; i < count; ++i) {
        double x = x0 + 3 + Noise(seed, i) * (len - 6);
        double y = 9 + Noise(seed, i + 400) * 12;
        double r = sand ? 0.7 + 0.6 * Noise(seed, i + 800) : 1.2 + 1.5 * Noise(seed, i + 800);
        Ellipse(cr, x, y, r * 1.3, r);
        if (sand)
            SetColor(cr, Darker(pal::kSand, 0.72), 0.8);
        else
            SetColor(cr, Darker(pal::kSoil, 0.7), 0.8);
        cairo_fill(cr);
    }
    if (sand) {
        // A lighter crust with ripples.
        RoundRect(cr, x0, -1, len, 6, 3);
        Shade(cr, Lighter(pal::kSand, 0.25), x0, -1, x1, 5, 1.2);
        for (int i = 0; i < int(len / 9); ++i) {
            double x = x0 + 4 + i * 9 + 3 * Noise(seed, i + 1200);
            cairo_move_to(cr, x, 2);
            cairo_curve_to(cr, x + 1.5, 1, x + 3, 1, x + 4.5, 2);
            Stroke(cr, Darker(pal::kSand, 0.8), 0.8, 0.8);
        }
        return;
    }
    // Grass top: a band hanging over the soil, tufts poking above.
    cairo_move_to(cr, x0 - 3, 5);
    cairo_line_to(cr, x0 - 3, 0);
    cairo_curve_to(cr, x0 - 3, -2, x0, -2, x0 + 2, -2);
    cairo_line_to(cr, x1 - 2, -2);
    cairo_curve_to(cr, x1, -2, x1 + 3, -2, x1 + 3, 0);
    cairo_line_to(cr, x1 + 3, 5);
    int scallops = std::max(2, int((len + 6) / 5));
    for (int i = scallops; i >= 0; --i) {
        double x = x0 - 3 + (len + 6) * i / scallops;
        double y = 5 + 2.5 * Noise(seed, i + 1500);
        cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    Shade(cr, pal::kGrass, x0, -2, x1, 7, 1.3);
    int tufts = int(len / 6);
    for (int i = 0; i < tufts; ++i) {
        double x = x0 + 2 + Noise(seed, i + 2000) * (len - 4);
        double h = 2.5 + 3 * Noise(seed, i + 2100);
        cairo_move_to(cr, x - 2, -1);
        cairo_line_to(cr, x - 1.2, -1 - h);
        cairo_line_to(cr, x, -1.5);
        cairo_line_to(cr, x + 1.2, -1 - h * 0.8);
        cairo_line_to(cr, x + 2, -1);
        cairo_close_path(cr);
        Flat(cr, Lighter(pal::kGrass, 0.15), 0.8);
    }
    if (alt) {
        for (int i = 0; i < w; ++i) {
            double x = 6 + i * 24 + 10 * Noise(seed, i + 3000);
            Ellipse(cr, x, -2, 1.5, 1.5);
            Flat(cr, i % 2 ? Hex(0xf6e05a) : Hex(0xffffff), 0.6);
        }
    }
}

// An ice block filling its cell; overhang adds icicles below it.
void IceBlock(cairo_t* cr, int variant, bool overhang) {
    RoundRect(cr, 0.5, 0.5, 23, 23, 3);
    FillLinear(cr, 0, 0, 24, 24, {0.88, 0.97, 1, 0.92}, {0.6, 0.84, 0.95, 0.85});
    Stroke(cr, Hex(0x6fb3d3), 1.4);
    unsigned seed = 4000u + unsigned(variant) * 13u + (overhang ? 0u : 77u);
    // White streaks and a crack.
    for (int i = 0; i < 3; ++i) {
        double x = 3 + Noise(seed, i) * 12, y = 4 + Noise(seed, i + 10) * 12;
        cairo_move_to(cr, x, y + 5);
        cairo_line_to(cr, x + 5, y);
    }
    Stroke(cr, Hex(0xffffff), 1.2, 0.85);
    double cx = 6 + Noise(seed, 20) * 12;
    cairo_move_to(cr, cx, 23);
    cairo_line_to(cr, cx + 2 - 4 * Noise(seed, 21), 17);
    cairo_line_to(cr, cx + 3 - 6 * Noise(seed, 22), 12);
    Stroke(cr, Hex(0x8cc8e2), 0.8, 0.8);
    if (overhang) {
        int n = 2 + variant % 3;
        for (int i = 0; i < n; ++i) {
            double x = 3 + (18.0 * (i + Noise(seed, i + 30) * 0.6)) / n;
            double len = 3 + 5 * Noise(seed, i + 40);
            cairo_move_to(cr, x - 1.8, 23);
            cairo_line_to(cr, x + 1.8, 23);
            cairo_line_to(cr, x, 23 + len);
            cairo_close_path(cr);
            Flat(cr, Hex(0xd8f1fb), 0.8, 0.95);
        }
    }
}

void Plank(cairo_t* cr, double x, double y, double w, double h, double angle, double alpha = 1) {
    cairo_save(cr);
    cairo_translate(cr, x + w / 2, y + h / 2);
    cairo_rotate(cr, angle);
    cairo_rectangle(cr, -w / 2, -h / 2, w, h);
    Shade(cr, pal::kPlank, -w / 2, -h / 2, w / 2, h / 2, 1.2, alpha);
    Ellipse(cr, -w / 2 + 1.5, 0, 0.7, 0.7);
    Ellipse(cr, w / 2 - 1.5, 0, 0.7, 0.7);
    Flat(cr, pal::kNail, 0, alpha);
    cairo_restore(cr);
}

// The wooden bridge: three planks on two ropes across the cell's top.
void WoodBridge(cairo_t* cr) {
    cairo_move_to(cr, -3, 1);
    cairo_curve_to(cr, 6, 3, 18, 3, 27, 1);
    Stroke(cr, Hex(0x8a6a3e), 1.4);
    for (int i = 0; i < 3; ++i) Plank(cr, 0.5 + i * 7.8, 0, 7.2, 6, 0);
    cairo_move_to(cr, -3, 4);
    cairo_curve_to(cr, 6, 6, 18, 6, 27, 4);
    Stroke(cr, Hex(0x8a6a3e), 1.4);
}

void RubberBridge(cairo_t* cr, double k) {
    double h = 2 + 5 * k;
    RoundRect(cr, 0, 0, 24, h, h / 2);
    Shade(cr, pal::kRubber, 0, 0, 24, h, 1.3);
    for (int i = 1; i < 3; ++i) {
        cairo_move_to(cr, i * 8, 0.8);
        cairo_line_to(cr, i * 8, h - 0.8);
        Stroke(cr, Darker(pal::kRubber, 0.75), 0.7);
    }
    Ellipse(cr, 21, h / 2, 1.2, 1.2);
    Flat(cr, pal::kValve, 0.5);
}

// The rails' round ends stop on the cell bottom (the segment below overlaps
// them), a pixel inside the seventeen-pixel picture on either side.
const double kRailLeft = 9.5, kRailRight = 20.5;

void LadderRails(cairo_t* cr, double top, double bottom, bool hang) {
    for (int s = 0; s < 2; ++s) {
        double x = s == 0 ? kRailLeft : kRailRight;
        cairo_move_to(cr, x, top);
        cairo_line_to(cr, x, bottom);
        Stroke(cr, Darker(pal::kWood, 0.55), 3.0);
        cairo_move_to(cr, x, top);
        cairo_line_to(cr, x, bottom);
        Stroke(cr, pal::kWood, 2.0);
        if (hang) {
            Ellipse(cr, x, bottom, 1.2, 1.2);
            Flat(cr, pal::kNail, 0.5);
        }
    }
    for (double y = std::ceil((top + 2) / 6) * 6 + 2; y < bottom - 1; y += 6) {
        cairo_move_to(cr, kRailLeft, y);
        cairo_line_to(cr, kRailRight, y);
        Stroke(cr, Darker(pal::kPlank, 0.6), 2.6);
        cairo_move_to(cr, kRailLeft, y - 0.3);
        cairo_line_to(cr, kRailRight, y - 0.3);
        Stroke(cr, pal::kPlank, 1.4);
    }
}

}  // namespace

void RegisterTerrain(CArtRegistry& reg) {
    for (int w = 1; w <= 32; ++w) {
        int right = 24 * w + 10;
        AddCell(reg, "grass" + std::to_string(w) + ".png", 24, 25, right, 26,
                [=](cairo_t* cr) { GroundRun(cr, w, false, false); });
        AddCell(reg, "sand" + std::to_string(w) + ".png", 24, 23, right, 26,
                [=](cairo_t* cr) { GroundRun(cr, w, true, false); });
        if (w <= 5) {
            AddCell(reg, "grass" + std::to_string(w) + "b.png", 24, 25, right, 26,
                    [=](cairo_t* cr) { GroundRun(cr, w, false, true); });
            AddCell(reg, "sand" + std::to_string(w) + "b.png", 24, 23, right, 26,
                    [=](cairo_t* cr) { GroundRun(cr, w, true, true); });
        }
    }
    for (int i = 1; i <= 10; ++i)
        AddCell(reg, "ice" + std::to_string(i) + ".png", 17, 13, 26, 33,
                [=](cairo_t* cr) { IceBlock(cr, i, true); });
    for (int i = 1; i <= 2; ++i)
        AddCell(reg, "ice" + std::to_string(i) + "b.png", 17, 13, 26, 26,
                [=](cairo_t* cr) { IceBlock(cr, i, false); });

    // Wooden bridge: section, frozen, and the collapse (planks drop away).
    AddCell(reg, "bridgeA0_trimmed.png", 19, 15, 29, 10, WoodBridge);
    AddCell(reg, "bridgefrozen.png", 19, 15, 29, 12, [](cairo_t* cr) {
        Tinted(cr, WoodBridge, 1, 0, 0, 0, 24, 7);
    });
    for (int f = 0; f <= 13; ++f) {
        AddCell(reg, "bridgeA" + std::to_string(f) + ".png", 25, 47, 32, 48, [=](cairo_t* cr) {
            double t = f / 13.0;
            double drop = 30 * t * t;  // the last planks fade before the picture's foot
            cairo_move_to(cr, -3, 1);
            cairo_curve_to(cr, 4, 3 + 6 * t, 8, 6 + 10 * t, 10, 6 + 14 * t);
            cairo_move_to(cr, 27, 1);
            cairo_curve_to(cr, 20, 3 + 6 * t, 16, 6 + 10 * t, 14, 6 + 14 * t);
            Stroke(cr, Hex(0x8a6a3e), 1.4, 1 - 0.5 * t);
            for (int i = 0; i < 3; ++i) {
                double spin = (i - 1) * 1.6 * t + 0.3 * t;
                Plank(cr, 0.5 + i * 7.8 + (i - 1) * 4 * t, drop * (0.8 + 0.2 * i), 7.2, 6, spin,
                      1 - 0.6 * t);
            }
        });
    }
    // Inflatable bridge: section, inflation, and the collapse (it goes flat).
    AddCell(reg, "bridgeinflatable0_trimmed.png", 19, 42, 29, 10, [](cairo_t* cr) { RubberBridge(cr, 1); });
    for (int s = 0; s < 2; ++s)
        AddCell(reg, std::string("bridgeinflate") + (s == 0 ? "left" : "right") + "0.png", 19, 42, 29, 10,
                [=](cairo_t* cr) {
                    cairo_save(cr);
                    if (s == 0) {
                        cairo_translate(cr, 24, 0);
                        cairo_scale(cr, -1, 1);
                    }
                    cairo_scale(cr, 0.3, 1);
                    RubberBridge(cr, 0.2);
                    cairo_restore(cr);
                });
    for (int f : {1, 2, 4}) {
        AddCell(reg, "bridgeinflate" + std::to_string(f) + ".png", 19, 42, 29, 10, [=](cairo_t* cr) {
            cairo_save(cr);
            double k = f == 4 ? 1.1 : f / 3.0;
            cairo_translate(cr, 12, 0);
            cairo_scale(cr, 0.5 + 0.5 * std::min(1.0, k), 1);
            cairo_translate(cr, -12, 0);
            RubberBridge(cr, k);
            cairo_restore(cr);
        });
    }
    for (int f = 0; f <= 10; ++f)
        AddCell(reg, "bridgeinflatable" + std::to_string(f) + ".png", 19, 15, 29, 30, [=](cairo_t* cr) {
            double t = f / 10.0;
            WithAlpha(cr, [&](cairo_t* c) {
                cairo_translate(c, 0, 14 * t * t);
                RubberBridge(c, 1 - 0.85 * t);
            }, 1 - 0.5 * t);
        });

    // Ladders.
    const double foot = 22.5;  // the rails' round ends reach the cell bottom
    AddCell(reg, "ladderiso.tga", 7, 13, 24, 25, [=](cairo_t* cr) { LadderRails(cr, -5, foot, false); });
    AddCell(reg, "laddertop.tga", 7, 15, 24, 25, [=](cairo_t* cr) {
        LadderRails(cr, -6, foot, false);
        // Hooks over the ledge, curled inward.
        for (int s = 0; s < 2; ++s) {
            double x = s == 0 ? kRailLeft : kRailRight;
            cairo_arc(cr, x + (s == 0 ? 1.6 : -1.6), -6, 1.6, M_PI, 2 * M_PI);
            Stroke(cr, Hex(0x6d6f73), 1.2);
        }
    });
    AddCell(reg, "laddermiddle.tga", 7, 18, 24, 25, [=](cairo_t* cr) { LadderRails(cr, -10, foot, false); });
    AddCell(reg, "ladderbottom.tga", 7, 18, 24, 25, [=](cairo_t* cr) {
        LadderRails(cr, -10, foot, false);
        for (int s = 0; s < 2; ++s) {
            double x = s == 0 ? kRailLeft : kRailRight;
            cairo_rectangle(cr, x - 1.2, 22, 2.4, 1.6);
            Flat(cr, pal::kNail, 0.6);
        }
    });
    AddCell(reg, "cursorladder.tga", 7, 18, 24, 25, [=](cairo_t* cr) { LadderRails(cr, -10, foot, false); });
    AddCell(reg, "ladderbottomhang.tga", 7, 18, 24, 25, [](cairo_t* cr) { LadderRails(cr, -10, 20, true); });
    // A platform's plank lies across the ladder's rails and on into the
    // ledges beside it (under their edge, which reaches 2 px past their
    // cells), and stops at the outer rail on a side without a ledge, so
    // that no plank end hangs in the air.
    const double railOuterLeft = kRailLeft - 1.5, railOuterRight = kRailRight + 1.5;
    const struct {
        const char* name;
        double from, to;
    } platforms[] = {
        {"ladderplatform.tga", -2, 26},                     // ledges on both sides
        {"ladderplatformleft.tga", -2, railOuterRight},     // a ledge on the left only
        {"ladderplatformright.tga", railOuterLeft, 26},     // a ledge on the right only
    };
    for (const auto& p : platforms) {
        const double from = p.from, to = p.to;
        AddCell(reg, p.name, 18, 11, 28, 12, [from, to](cairo_t* cr) {
            const int planks = to - from > 20 ? 4 : 3;
            const double gap = 0.4, w = (to - from - gap * (planks - 1)) / planks;
            for (int i = 0; i < planks; ++i) Plank(cr, from + i * (w + gap), -1, w, 5, 0);
            cairo_move_to(cr, from, 4.5);
            cairo_line_to(cr, to, 4.5);
            Stroke(cr, Darker(pal::kWood, 0.55), 1.5);
        });
    }
}

}  // namespace worldart
