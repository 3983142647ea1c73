// Devices on the board: transport tubes, floor buttons, gates, trampolines.
#include "images/world/DeviceFigures.h"
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace worldart {

void DrawTube(cairo_t* cr, TubeKind kind, TubePart part, double glow) {
    Rgb accent = kind == TubeKind::Entrance ? Hex(0x3fae5a) : Hex(0xe07b24);
    // The cap's top stays inside the tube pictures, which begin at -34.
    const double x0 = 3, x1 = 21, top = -32.2, base = 17;
    if (part != TubePart::Front) {
        // Inside of the glass.
        cairo_rectangle(cr, x0 + 1, top + 5, x1 - x0 - 2, base - top - 5);
        cairo_pattern_t* g = cairo_pattern_create_linear(x0, 0, x1, 0);
        cairo_pattern_add_color_stop_rgba(g, 0, 0.55, 0.75, 0.85, 0.55);
        cairo_pattern_add_color_stop_rgba(g, 0.5, 0.8, 0.93, 0.98, 0.25 + 0.4 * glow);
        cairo_pattern_add_color_stop_rgba(g, 1, 0.45, 0.62, 0.75, 0.6);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        // Base: a metal drum with a coloured band.
        RoundRect(cr, x0 - 2, base, x1 - x0 + 4, 7, 1.5);
        Shade(cr, pal::kMetal, x0 - 2, base, x1 + 2, base + 7, 1.5);
        cairo_rectangle(cr, x0 - 1, base + 2.5, x1 - x0 + 2, 2);
        Flat(cr, accent, 0);
    }
    if (part != TubePart::Back) {
        // Glass sheen and outline.
        cairo_rectangle(cr, x0 + 3, top + 7, 2.5, base - top - 10);
        SetColor(cr, Hex(0xffffff), 0.55);
        cairo_fill(cr);
        cairo_rectangle(cr, x0 + 1, top + 5, x1 - x0 - 2, base - top - 5);
        Stroke(cr, Hex(0x5f8ea3), 1.2, 0.9);
        // Cap with a lamp.
        RoundRect(cr, x0 - 2, top, x1 - x0 + 4, 6, 2);
        Shade(cr, pal::kBrass, x0 - 2, top, x1 + 2, top + 6, 1.5);
        Ellipse(cr, 12, top + 2.6, 2.8, 1.6);
        Flat(cr, Mix(accent, Hex(0xffffff), 0.3 * glow), 1.0);
        // Front rim of the base.
        cairo_move_to(cr, x0 - 2, base + 0.5);
        cairo_line_to(cr, x1 + 2, base + 0.5);
        Stroke(cr, Darker(pal::kMetal, 0.6), 1.2);
    }
}

namespace {

// Shards of a broken piece: each shard flies out from (cx, cy) and falls.
// The part of a picture a drawing may cover: a pixel inside each edge of the
// canvas of origin (ox, oy) reaching to right, bottom, in cell coordinates.
struct Area {
    double x0, y0, x1, y1;
};
Area Inside(int ox, int oy, int right, int bottom) {
    return {CanvasLeft(ox) + 1, CanvasTop(oy) + 1, right - 1.0, bottom - 1.0};
}

// Pieces bursting up and out from (cx, cy) and falling; rightward sends
// them all to the right (a part whose picture ends just left of it). They
// stop against the sides of their picture's area and come to rest on its
// floor rather than leave it.
void Shards(cairo_t* cr, double cx, double cy, double t, const Rgb& c, int count, unsigned seed,
            double spread, const Area& area, bool rightward = false) {
    for (int i = 0; i < count; ++i) {
        double a = -M_PI * (rightward ? 0.5 * Noise(seed, i) : Noise(seed, i));
        double v = spread * (0.5 + Noise(seed, i + 50));
        double s = 2 + 2 * Noise(seed, i + 90);
        // A corner of the turning piece reaches 1.2 s from its middle, and
        // its outline 0.4 further.
        const double r = 1.2 * s + 0.5;
        double x = std::clamp(cx + std::cos(a) * v * t * 1.5, area.x0 + r, area.x1 - r);
        double y = std::clamp(cy + std::sin(a) * v * t + 20 * t * t, area.y0 + r, area.y1 - r);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, t * 6 * (Noise(seed, i + 7) - 0.5));
        cairo_move_to(cr, -s, -s * 0.6);
        cairo_line_to(cr, s, -s * 0.3);
        cairo_line_to(cr, s * 0.2, s * 0.8);
        cairo_close_path(cr);
        Flat(cr, c, 0.8, std::max(0.0, 1 - t * 0.6));
        cairo_restore(cr);
    }
}

void RegisterTubes(CArtRegistry& reg) {
    AddCell(reg, "tubeentrance0.png", 16, 39, 26, 26,
            [](cairo_t* cr) { DrawTube(cr, TubeKind::Entrance, TubePart::Whole, 0.3); });
    // Both tubes stand on the same body picture in play (the exit adds its
    // lights), so the empty tube after a departure keeps that look, lit up.
    AddCell(reg, "tubeexit0.png", 16, 39, 26, 26,
            [](cairo_t* cr) { DrawTube(cr, TubeKind::Entrance, TubePart::Whole, 1.0); });
    AddCell(reg, "tubearrow0.png", 16, 39, 26, 26, [](cairo_t* cr) {
        // A green arrow inside the glass, pointing down into the tube.
        cairo_move_to(cr, 9, -24);
        cairo_line_to(cr, 15, -24);
        cairo_line_to(cr, 15, -14);
        cairo_line_to(cr, 19, -14);
        cairo_line_to(cr, 12, -5);
        cairo_line_to(cr, 5, -14);
        cairo_line_to(cr, 9, -14);
        cairo_close_path(cr);
        Shade(cr, Hex(0x4cd964), 5, -24, 19, -5, 1.2);
    });
    AddCell(reg, "tubeexitlights0.png", 12, -16, 26, 28, [](cairo_t* cr) {
        // Four lamps along the base's band, inside the seven-pixel strip.
        for (int i = 0; i < 4; ++i) {
            double x = 5.5 + i * 4.4;
            cairo_pattern_t* g = cairo_pattern_create_radial(x, 24, 0.5, x, 24, 2.4);
            cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.95, 0.6, 1);
            cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.6, 0.1, 0);
            cairo_set_source(cr, g);
            Ellipse(cr, x, 24, 2.4, 1.9);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
        }
    });
    for (int k = 0; k < 2; ++k) {
        std::string prefix = k == 0 ? "transporttube_break" : "transporttubeB_break";
        // Broken glass flies the other way for the exit tube.
        TubeKind kind = TubeKind::Entrance;
        for (int f = 0; f <= 5; ++f) {
            AddCell(reg, prefix + std::to_string(f) + ".png", 16, -5, 30, 34, [=](cairo_t* cr) {
                double t = f / 5.0;
                // The base stays, sinking and cracking, the glass broken off
                // in a jagged edge above it; its pieces and the cap's rain
                // down beside the base and fade, all inside the picture,
                // which holds only the tube's foot.
                cairo_save(cr);
                cairo_translate(cr, 0, 3 * t);
                cairo_move_to(cr, 0, 30);
                for (int i = 0; i <= 8; ++i) cairo_line_to(cr, i * 3.25, 12.5 + 2.5 * Noise(23 + k, i));
                cairo_line_to(cr, 26, 30);
                cairo_close_path(cr);
                cairo_clip(cr);
                DrawTube(cr, kind, TubePart::Back, 0);
                cairo_restore(cr);
                for (int i = 0; i < 10; ++i) {
                    const bool cap = i >= 7;
                    double x = 4 + 18 * Noise(31 + k * 17, i) + (Noise(41 + k, i) - 0.5) * 4 * t;
                    double y = 13 + 14 * t * t + 3 * Noise(51 + k, i);
                    double s = cap ? 1.6 : 1.2 + Noise(61, i);
                    cairo_save(cr);
                    cairo_translate(cr, x, y);
                    cairo_rotate(cr, t * 5 * (Noise(71, i) - 0.5));
                    cairo_move_to(cr, -s, -s * 0.6);
                    cairo_line_to(cr, s, -s * 0.3);
                    cairo_line_to(cr, s * 0.2, s * 0.8);
                    cairo_close_path(cr);
                    Flat(cr, cap ? pal::kBrass : Hex(0xbfe3f0), 0.8, 1 - t);
                    cairo_restore(cr);
                }
            });
        }
    }
}

Rgb DeviceColor(int c) {
    return c == 0 ? pal::kBlue : (c == 1 ? pal::kYellow : pal::kRed);
}
const char* kColorNames[3] = {"blue", "yellow", "red"};

void Button(cairo_t* cr, const Rgb& col, double raise) {
    // Metal plate on the cell bottom, coloured cap on top, both inside the
    // button's picture (which begins three pixels into the cell).
    RoundRect(cr, 4.6, 19.4, 16.8, 4, 1.2);
    Shade(cr, pal::kMetal, 4.6, 19.4, 21.4, 23.4, 1.2);
    double h = 1 + 2.6 * raise;
    RoundRect(cr, 7, 19.4 - h, 12, h + 1, 2);
    Shade(cr, col, 7, 19.4 - h, 19, 20.4, 1.2);
    cairo_rectangle(cr, 8.5, 19.4 - h + 0.6, 7, 0.9);
    SetColor(cr, Hex(0xffffff), 0.5);
    cairo_fill(cr);
}

void RegisterButtons(CArtRegistry& reg) {
    for (int c = 0; c < 3; ++c) {
        Rgb col = DeviceColor(c);
        std::string base = std::string("button") + kColorNames[c];
        for (int f = 0; f <= 1; ++f)
            AddCell(reg, base + std::to_string(f) + ".tga", 11, -9, 24, 25,
                    [=](cairo_t* cr) { Button(cr, col, f); });
        for (int f = 0; f <= 4; ++f)
            AddCell(reg, base + "_break" + std::to_string(f) + ".png", 13, -5, 27, 30, [=](cairo_t* cr) {
                double t = f / 4.0;
                WithAlpha(cr, [&](cairo_t* c2) { Button(c2, Mix(col, Hex(0x333333), t * 0.5), 1 - t); },
                          1 - 0.5 * t);
                Shards(cr, 13, 18, t, col, 5, 70 + c, 7, Inside(13, -5, 27, 30));
            });
    }
}

// Gate: two posts and a beam with a lamp; bars slide down from the beam.
void GateBack(cairo_t* cr, double closed, double bend) {
    for (int s = 0; s < 2; ++s) {
        double x = s == 0 ? 1 : 19;
        cairo_rectangle(cr, x, -5, 4, 29);
        Shade(cr, Darker(pal::kMetal, 0.8), x, -5, x + 4, 24, 1.2);
    }
    // Rear bars, darker.
    for (int i = 0; i < 3; ++i) {
        double x = 7 + i * 5 + bend * std::sin(i + 1.0);
        double len = 2 + 22 * closed;
        cairo_move_to(cr, x, -4);
        cairo_line_to(cr, x + bend * 0.5, -4 + len);
        Stroke(cr, Darker(pal::kMetalShadow, 0.8), 2.2);
    }
}

void GateFront(cairo_t* cr, double closed, double bend, double shake) {
    for (int i = 0; i < 4; ++i) {
        double x = 4.5 + i * 5 + shake * ((i % 2) ? 1 : -1);
        double len = 2 + 22 * closed;
        cairo_move_to(cr, x, -4);
        cairo_curve_to(cr, x + bend, -4 + len * 0.4, x + bend, -4 + len * 0.7, x + bend * 0.3, -4 + len);
        Stroke(cr, Darker(pal::kMetalShadow, 0.7), 3.2);
        cairo_move_to(cr, x, -4);
        cairo_curve_to(cr, x + bend, -4 + len * 0.4, x + bend, -4 + len * 0.7, x + bend * 0.3, -4 + len);
        Stroke(cr, pal::kMetal, 1.8);
    }
    // The beam lies on the posts' tops; the front picture begins at its top.
    RoundRect(cr, 0, -5.4, 24, 4.2, 1.5);
    Shade(cr, pal::kMetal, 0, -5.4, 24, -1.2, 1.2);
    for (int i = 0; i < 3; ++i) {
        Ellipse(cr, 2 + i * 10, -3.3, 0.9, 0.9);
        Flat(cr, pal::kRivet, 0);
    }
}

// The lamp sits on the beam's face (the front picture ends just above the beam).
void GateLamp(cairo_t* cr, const Rgb& col, double light) {
    Ellipse(cr, 12, -3.3, 3.6, 2.0);
    Shade(cr, Mix(Darker(col, 0.5), col, light), 8, -5.3, 16, -1.3, 1.2);
    if (light > 0) {
        cairo_pattern_t* g = cairo_pattern_create_radial(12, -3.3, 0.5, 12, -3.3, 6);
        cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.6 * light);
        cairo_pattern_add_color_stop_rgba(g, 1, col.r, col.g, col.b, 0);
        cairo_set_source(cr, g);
        Ellipse(cr, 12, -3.3, 6, 2.3);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
}

void RegisterGates(CArtRegistry& reg) {
    for (int f = 0; f <= 7; ++f) {
        AddCell(reg, "gatebackclose" + std::to_string(f) + ".tga", 15, 16, 25, 25,
                [=](cairo_t* cr) { GateBack(cr, f / 7.0, 0); });
        AddCell(reg, "gatebackbreak" + std::to_string(f) + ".tga", 15, 16, 30, 30, [=](cairo_t* cr) {
            double t = f / 7.0;
            WithAlpha(cr, [&](cairo_t* c) { GateBack(c, 1 - t, 4 * t); }, 1 - 0.7 * t);
        });
    }
    for (int f = 0; f <= 3; ++f)
        AddCell(reg, "gatebackmagnet" + std::to_string(f) + ".tga", 15, 16, 25, 25,
                [=](cairo_t* cr) { GateBack(cr, 1, 1.5 * std::sin(f * M_PI / 2)); });
    // Front: the blue lamp is part of the front; red and yellow gates lay
    // their own lamp picture over it.
    const int closeFrames[3] = {0, 6, 7};
    for (int f : closeFrames) {
        double closed = f == 0 ? 0 : (f == 6 ? 0.6 : 1.0);
        AddCell(reg, "gatefrontclose" + std::to_string(f) + ".tga", 22, 12, 26, 25, [=](cairo_t* cr) {
            GateFront(cr, closed, 0, 0);
            GateLamp(cr, pal::kBlue, closed);
        });
    }
    for (int f = 0; f <= 11; ++f) {
        double t = f / 11.0;
        AddCell(reg, "gatefrontbreak" + std::to_string(f) + ".tga", 22, 12, 30, 32, [=](cairo_t* cr) {
            WithAlpha(cr, [&](cairo_t* c) { GateFront(c, 1 - 0.6 * t, 5 * t, 0); }, 1 - 0.8 * t);
            Shards(cr, 12, 4, t, pal::kMetal, 6, 90, 7, Inside(22, 12, 30, 32));
            GateLamp(cr, pal::kBlue, 1 - t);
        });
    }
    for (int f = 0; f <= 3; ++f)
        AddCell(reg, "gatefrontmagnet" + std::to_string(f) + ".tga", 22, 12, 26, 25, [=](cairo_t* cr) {
            GateFront(cr, 1, 0, std::sin(f * M_PI / 2) * 1.2);
            GateLamp(cr, pal::kBlue, f % 2 ? 0.5 : 1.0);
        });
    for (int c = 1; c < 3; ++c) {
        Rgb col = DeviceColor(c);
        std::string name = kColorNames[c];
        AddCell(reg, "gatefrontclose" + name + "0.tga", 22, 12, 26, 25,
                [=](cairo_t* cr) { GateLamp(cr, col, 1); });
        for (int f = 0; f <= 11; ++f)
            AddCell(reg, "gatefrontbreak" + name + std::to_string(f) + ".tga", 22, 12, 26, 25,
                    [=](cairo_t* cr) { GateLamp(cr, col, 1 - f / 11.0); });
        for (int f = 0; f <= 3; ++f)
            AddCell(reg, "gatefrontmagnet" + name + std::to_string(f) + ".tga", 22, 12, 26, 25,
                    [=](cairo_t* cr) { GateLamp(cr, col, f % 2 ? 0.5 : 1.0); });
    }
}

// Trampoline: an upright rubber canvas between two brackets; the back strut
// stands behind. bow > 0 pushes the canvas right, < 0 left. The three parts
// are pictures of their own, each drawn inside its narrow picture: the
// brackets end where the strut overlaps them, the canvas runs down the
// middle of its five-pixel picture.
const double kTrampX = 13.5;

void TrampBack(cairo_t* cr) {
    for (int pass = 0; pass < 2; ++pass) {
        cairo_move_to(cr, 26, -8);
        cairo_line_to(cr, 28.5, 8);
        cairo_line_to(cr, 26, 23);
        Stroke(cr, pass == 0 ? Darker(pal::kWood, 0.6) : pal::kWood, pass == 0 ? 4 : 2.4);
    }
}

void TrampFront(cairo_t* cr, double bend) {
    for (int s = 0; s < 2; ++s) {
        double y = s == 0 ? -8 : 21;
        cairo_move_to(cr, 6.5 + bend, y + 1.5);
        cairo_curve_to(cr, 11 + bend * 0.5, y + 1.5, 18, y + 1.5, 23.5, y + 1.5);
        Stroke(cr, Darker(pal::kMetal, 0.55), 4.5);
        cairo_move_to(cr, 6.5 + bend, y + 1.5);
        cairo_curve_to(cr, 11 + bend * 0.5, y + 1.5, 18, y + 1.5, 23.5, y + 1.5);
        Stroke(cr, pal::kMetal, 3);
        Ellipse(cr, kTrampX, y + 1.5, 1.8, 1.8);
        Flat(cr, pal::kRed, 1.0);
    }
    // Rubber feet on the floor.
    for (int i = 0; i < 2; ++i) {
        RoundRect(cr, 5 + bend * (1 - i) + i * 14, 22.5, 5, 1.8, 0.8);
        Flat(cr, Hex(0x3e434a), 0);
    }
}

void TrampCanvas(cairo_t* cr, double bow) {
    const double x = kTrampX, half = 1.0;
    // Springs hold the canvas to the top and bottom bars.
    for (int end = 0; end < 2; ++end) {
        double y0 = end == 0 ? -6.5 : 21, y1 = end == 0 ? -3 : 17.5;
        cairo_move_to(cr, x, y0);
        for (int k = 1; k <= 4; ++k) cairo_line_to(cr, x + (k % 2 ? 1.0 : -1.0), y0 + (y1 - y0) * k / 4.5);
        cairo_line_to(cr, x, y1);
        Stroke(cr, Hex(0x50565f), 0.9);
    }
    cairo_move_to(cr, x - half, -3);
    cairo_curve_to(cr, x - half + bow, 4, x - half + bow, 11, x - half, 17.5);
    cairo_line_to(cr, x + half, 17.5);
    cairo_curve_to(cr, x + half + bow, 11, x + half + bow, 4, x + half, -3);
    cairo_close_path(cr);
    Shade(cr, Hex(0x3d8fd6), x - 3 + std::min(0.0, bow), -3, x + 3 + std::max(0.0, bow), 17.5, 1.0);
    for (int i = 0; i < 4; ++i) {
        double y = 0 + i * 5, k = 1 - std::pow((y - 7.25) / 11.0, 2);
        cairo_move_to(cr, x - 0.6 + bow * 0.75 * k, y);
        cairo_line_to(cr, x + 0.6 + bow * 0.75 * k, y + 1);
        Stroke(cr, Hex(0xffffff), 0.8, 0.7);
    }
}

void RegisterTrampolines(CArtRegistry& reg) {
    AddCell(reg, "trampolineback0.tga", -9, 17, 32, 26, TrampBack);
    AddCell(reg, "trampolinefront0.tga", 11, 17, 27, 26, [](cairo_t* cr) { TrampFront(cr, 0); });
    for (int f = 0; f <= 2; ++f)
        AddCell(reg, "trampolinefrontright" + std::to_string(f) + ".tga", 20, 17, 27, 26,
                [=](cairo_t* cr) { TrampFront(cr, -3.0 * (f + 1)); });
    AddCell(reg, "trampoline0.tga", 3, 15, 16, 24, [](cairo_t* cr) { TrampCanvas(cr, 0); });
    // Stretched left: pushed by something coming in from the left (bows right).
    const double leftBow[3] = {4, 8, 12};
    for (int f = 0; f <= 1; ++f)
        AddCell(reg, "trampolinestretchleft" + std::to_string(f) + ".tga", 3, 15, 28, 24,
                [=](cairo_t* cr) { TrampCanvas(cr, leftBow[f]); });
    AddCell(reg, "trampolinestretchleftfull.tga", 3, 15, 28, 24,
            [=](cairo_t* cr) { TrampCanvas(cr, leftBow[2]); });
    for (int f = 0; f <= 2; ++f)
        AddCell(reg, "trampolinestretchright" + std::to_string(f) + ".tga", 16, 15, 16, 24,
                [=](cairo_t* cr) { TrampCanvas(cr, -3.5 * (f + 1)); });
    AddCell(reg, "trampolinestretchrightfull.tga", 16, 15, 16, 24,
            [](cairo_t* cr) { TrampCanvas(cr, -13); });
    // Snapping back: a damped wobble.
    for (int f = 0; f <= 7; ++f)
        AddCell(reg, "trampolineunstretchleft" + std::to_string(f) + ".tga", 3, 15, 28, 24, [=](cairo_t* cr) {
            double t = (f + 1) / 8.0;
            TrampCanvas(cr, std::max(-0.0, 10 * std::cos(t * 3 * M_PI) * (1 - t)));
        });
    for (int f = 0; f <= 8; ++f)
        AddCell(reg, "trampolineunstretchright" + std::to_string(f) + ".tga", 16, 15, 16, 24, [=](cairo_t* cr) {
            double t = (f + 1) / 9.0;
            TrampCanvas(cr, std::min(0.0, -12 * std::cos(t * 3 * M_PI) * (1 - t)));
        });
    for (int f = 0; f <= 3; ++f) {
        double t = f / 3.0;
        AddCell(reg, "trampolinebackbreak" + std::to_string(f) + ".png", -9, 17, 34, 34, [=](cairo_t* cr) {
            WithAlpha(cr, [&](cairo_t* c) {
                cairo_translate(c, 0, 6 * t);
                TrampBack(c);
            }, 1 - 0.6 * t);
        });
        AddCell(reg, "trampolinefrontbreak" + std::to_string(f) + ".png", 11, 17, 30, 34, [=](cairo_t* cr) {
            WithAlpha(cr, [&](cairo_t* c) { TrampFront(c, 4 * t); }, 1 - 0.6 * t);
            Shards(cr, 13, 6, t, pal::kMetal, 4, 120, 5, Inside(11, 17, 30, 34));
        });
        AddCell(reg, "trampolinerubberbreak" + std::to_string(f) + ".png", 3, 15, 28, 34, [=](cairo_t* cr) {
            WithAlpha(cr, [&](cairo_t* c) {
                cairo_save(c);
                cairo_translate(c, kTrampX, 21);
                cairo_scale(c, 1, 1 - 0.6 * t);
                cairo_translate(c, -kTrampX, -21);
                TrampCanvas(c, 3 * t);
                cairo_restore(c);
            }, 1 - 0.6 * t);
            Shards(cr, kTrampX + 3, 8, t, Hex(0x3d8fd6), 4, 130, 4, Inside(3, 15, 28, 34), true);
        });
    }
}

// The editor's pieces and cursors that show these devices whole.
void RegisterDeviceTwins(CArtRegistry& reg) {
    for (int k = 0; k < 2; ++k) {
        TubeKind kind = k == 0 ? TubeKind::Entrance : TubeKind::Exit;
        std::string n = k == 0 ? "entrance" : "exit";
        int oy = k == 0 ? 36 : 39;
        auto draw = [=](cairo_t* cr) {
            if (oy < 39) {
                // Pressed a little flatter to fit the shorter canvas.
                cairo_translate(cr, 12, 24);
                cairo_scale(cr, 1, 0.94);
                cairo_translate(cr, -12, -24);
            }
            DrawTube(cr, kind, TubePart::Whole, 0.3);
        };
        AddCell(reg, "cursortube" + n + ".tga", 16, oy, 26, 26, draw);
        AddCell(reg, "editortube" + n + ".tga", 16, oy, 26, 26, draw);
    }
    for (int c = 0; c < 3; ++c) {
        Rgb col = DeviceColor(c);
        std::string n = kColorNames[c];
        auto gate = [=](cairo_t* cr) {
            GateBack(cr, 1, 0);
            GateFront(cr, 1, 0, 0);
            GateLamp(cr, col, 1);
        };
        AddCell(reg, "cursorgate" + n + ".tga", 19, 15, 26, 25, gate);
        AddCell(reg, "editorgate" + n + ".tga", 19, 15, 26, 25, gate);
        AddCell(reg, "cursorbutton" + n + ".tga", 11, -9, 24, 25, [=](cairo_t* cr) { Button(cr, col, 1); });
    }
    auto tramp = [](cairo_t* cr) {
        TrampBack(cr);
        TrampCanvas(cr, 0);
        TrampFront(cr, 0);
    };
    AddCell(reg, "cursortrampoline.tga", 11, 17, 32, 26, tramp);
    AddCell(reg, "editortrampoline.tga", 11, 17, 32, 26, tramp);
}

}  // namespace

void RegisterDevices(CArtRegistry& reg) {
    RegisterTubes(reg);
    RegisterButtons(reg);
    RegisterGates(reg);
    RegisterTrampolines(reg);
    RegisterDeviceTwins(reg);
}

}  // namespace worldart
