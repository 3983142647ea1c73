// Movable objects: crates, barrels and magnets in wood, metal and yellow
// inflatable rubber, with their frozen, heated, cooling and inflating looks.
#include "images/world/WorldFamilies.h"
#include "images/world/WorldKit.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace worldart {
namespace {

enum class Mat { Wood, Metal, Rubber };

struct Look {
    double frozen = 0, heat = 0;
    double tilt = 0;      // falling lean, radians
    double squash = 1;    // landing squash (1 rest, < 1 flat, > 1 stretched)
    double inflate = 1;   // inflatables: 0 flat .. 1 full
    bool alt = false;     // the second plank pattern of wooden crates
};

// The ice crust round a frozen object (the frozen sprites reach a few pixels
// further out than the object).
void IceCrust(cairo_t* cr, double x0, double y0, double x1, double y1) {
    RoundRect(cr, x0, y0, x1 - x0, y1 - y0, 3);
    FillLinear(cr, x0, y0, x1, y1, {0.95, 0.99, 1, 0.3}, {0.7, 0.88, 0.97, 0.18});
    Stroke(cr, Hex(0x8fcbe6), 1.2, 0.9);
    cairo_move_to(cr, x0 + 3, y0 + 8);
    cairo_line_to(cr, x0 + 8, y0 + 3);
    Stroke(cr, Hex(0xffffff), 1.4, 0.9);
}

// Applies the squash about the cell bottom and the tilt about the centre.
void Pose(cairo_t* cr, const Look& l) {
    cairo_translate(cr, 12, 24);
    double sx = l.squash < 1 ? 1 + (1 - l.squash) * 0.6 : 1 - (l.squash - 1) * 0.5;
    cairo_scale(cr, sx, l.squash);
    cairo_translate(cr, 0, -12);
    cairo_rotate(cr, l.tilt);
    cairo_translate(cr, -12, -12);
}

void CrateBody(cairo_t* cr, Mat m, const Look& l) {
    switch (m) {
    case Mat::Wood: {
        cairo_rectangle(cr, 1, 1, 22, 22);
        Shade(cr, pal::kPlank, 1, 1, 23, 23, 1.5);
        // Planks and a diagonal brace.
        for (int i = 1; i < 3; ++i) {
            double y = 1 + i * 22.0 / 3;
            cairo_move_to(cr, 2, y);
            cairo_line_to(cr, 22, y);
        }
        Stroke(cr, Darker(pal::kWood, 0.7), 0.8);
        cairo_rectangle(cr, 1, 1, 22, 22);
        Stroke(cr, pal::kWood, 3);
        cairo_move_to(cr, l.alt ? 21 : 3, 3);
        cairo_line_to(cr, l.alt ? 3 : 21, 21);
        Stroke(cr, pal::kWood, 3);
        cairo_rectangle(cr, 1, 1, 22, 22);
        Stroke(cr, Darker(pal::kWood, 0.5), 1.0);
        const double nails[4][2] = {{3, 3}, {21, 3}, {3, 21}, {21, 21}};
        for (auto& n : nails) {
            Ellipse(cr, n[0], n[1], 0.9, 0.9);
            Flat(cr, pal::kNail, 0);
        }
        break;
    }
    case Mat::Metal: {
        RoundRect(cr, 1, 1, 22, 22, 2);
        Shade(cr, pal::kMetal, 1, 1, 23, 23, 1.5);
        RoundRect(cr, 4.5, 4.5, 15, 15, 1);
        Shade(cr, Lighter(pal::kMetal, 0.1), 23, 23, 4, 4, 1.0);
        cairo_move_to(cr, 6, 18);
        cairo_line_to(cr, 18, 6);
        Stroke(cr, pal::kMetalShadow, 1.0, 0.6);
        const double rivets[4][2] = {{3, 3}, {21, 3}, {3, 21}, {21, 21}};
        for (auto& r : rivets) {
            Ellipse(cr, r[0], r[1], 1.1, 1.1);
            Flat(cr, pal::kRivet, 0.6);
        }
        break;
    }
    case Mat::Rubber: {
        double k = l.inflate;
        double h = 6 + 16 * k, w = 14 + 8 * k;
        RoundRect(cr, 12 - w / 2, 23 - h, w, h, 3 + 3 * k);
        Shade(cr, pal::kRubber, 12 - w / 2, 23 - h, 12 + w / 2, 23, 1.5);
        RoundRect(cr, 12 - w / 2 + 3, 23 - h + 2.5, w * 0.35, 2, 1);
        SetColor(cr, Hex(0xffffff), 0.6);
        cairo_fill(cr);
        // Seams and the valve.
        cairo_move_to(cr, 12 - w / 2 + 2, 23 - h / 2);
        cairo_line_to(cr, 12 + w / 2 - 2, 23 - h / 2);
        Stroke(cr, Darker(pal::kRubber, 0.75), 0.8);
        Ellipse(cr, 12 + w / 2 - 3.5, 23 - h + 3.5, 1.6, 1.6);
        Flat(cr, pal::kValve, 0.8);
        break;
    }
    }
}

void DrawCrate(cairo_t* cr, Mat m, const Look& l) {
    cairo_save(cr);
    Pose(cr, l);
    // The frost's icicles end inside the ice crust (the box ends above the body's foot).
    Tinted(cr, [&](cairo_t* c) { CrateBody(c, m, l); }, l.frozen, l.heat * 1.5, 1, 1, 23, 20);
    cairo_restore(cr);
    if (l.frozen > 0) IceCrust(cr, -2, -3, 26, 24);
}

// Barrels lie on their side: a round end seen face-on, turning by phase.
void BarrelBody(cairo_t* cr, Mat m, double angle, const Look& l) {
    const double cx = 12, cy = 12.5;
    double r = 11;
    if (m == Mat::Rubber) r = 5 + 6 * l.inflate;
    double cyy = m == Mat::Rubber ? 23.5 - r : cy;
    Rgb body = m == Mat::Wood ? pal::kPlank : (m == Mat::Metal ? pal::kMetal : pal::kRubber);
    Ellipse(cr, cx, cyy, r, r);
    Shade(cr, body, cx - r, cyy - r, cx + r, cyy + r, 1.5);
    cairo_save(cr);
    cairo_translate(cr, cx, cyy);
    cairo_rotate(cr, angle);
    if (m == Mat::Wood) {
        // Staves across the lid and a hoop.
        for (int i = -1; i <= 1; ++i) {
            cairo_move_to(cr, i * 4.5 - 1, -std::sqrt(r * r - std::pow(i * 4.5, 2)) + 1);
            cairo_line_to(cr, i * 4.5 - 1, std::sqrt(r * r - std::pow(i * 4.5, 2)) - 1);
        }
        Stroke(cr, Darker(pal::kWood, 0.75), 0.9);
        Ellipse(cr, 0, 0, r - 2, r - 2);
        Stroke(cr, Hex(0x6d6f73), 1.6);
        Ellipse(cr, 0, -r + 5, 1.2, 1.2);
        Flat(cr, pal::kNail, 0);
    } else if (m == Mat::Metal) {
        Ellipse(cr, 0, 0, r - 2.5, r - 2.5);
        Stroke(cr, pal::kMetalShadow, 1.2);
        Ellipse(cr, 0, 0, 3, 3);
        Flat(cr, Darker(pal::kMetal, 0.8), 1.0);
        for (int i = 0; i < 4; ++i) {
            double a = i * M_PI / 2;
            Ellipse(cr, std::cos(a) * (r - 4.5), std::sin(a) * (r - 4.5), 1.0, 1.0);
            Flat(cr, pal::kRivet, 0.5);
        }
    } else {
        cairo_move_to(cr, -r + 2, 0);
        cairo_line_to(cr, r - 2, 0);
        Stroke(cr, Darker(pal::kRubber, 0.75), 0.8);
        Ellipse(cr, 0, -r + 3, 1.6, 1.6);
        Flat(cr, pal::kValve, 0.8);
    }
    cairo_restore(cr);
    // Fixed light from the upper left.
    Ellipse(cr, cx - r * 0.4, cyy - r * 0.45, r * 0.28, r * 0.18);
    SetColor(cr, Hex(0xffffff), 0.35);
    cairo_fill(cr);
}

void DrawBarrel(cairo_t* cr, Mat m, int phase, const Look& l) {
    cairo_save(cr);
    Pose(cr, l);
    double angle = phase * M_PI / 4;
    Tinted(cr, [&](cairo_t* c) { BarrelBody(c, m, angle, l); }, l.frozen, l.heat * 1.5, 1, 1, 23, 20);
    cairo_restore(cr);
    if (l.frozen > 0) IceCrust(cr, -4, -4, 28, 24.5);
}

// Magnet: a horseshoe on a small cart, the poles facing its side.
void MagnetBody(cairo_t* cr, bool facesLeft, bool rubber, const Look& l) {
    cairo_save(cr);
    if (facesLeft) {
        cairo_translate(cr, 24, 0);
        cairo_scale(cr, -1, 1);
    }
    double k = rubber ? l.inflate : 1;
    Rgb body = rubber ? pal::kRubber : pal::kRed;
    // Cart.
    RoundRect(cr, 2, 17, 18, 5, 1.5);
    Shade(cr, rubber ? pal::kRubber : pal::kMetal, 2, 17, 20, 22, 1.2);
    for (int i = 0; i < 2; ++i) {
        Ellipse(cr, 6 + i * 10, 22, 2.2, 2.2);
        Flat(cr, Hex(0x3e434a), 0.8);
    }
    // Horseshoe opening to the right (flipped for left).
    double th = 2.5 + 1.5 * k, outer = 8 * (0.55 + 0.45 * k);
    cairo_new_path(cr);
    cairo_arc(cr, 12, 9, outer, M_PI / 2, 1.5 * M_PI);
    cairo_line_to(cr, 22, 9 - outer);
    cairo_line_to(cr, 22, 9 - outer + th);
    cairo_arc_negative(cr, 12, 9, outer - th, 1.5 * M_PI, M_PI / 2);
    cairo_line_to(cr, 22, 9 + outer - th);
    cairo_line_to(cr, 22, 9 + outer);
    cairo_close_path(cr);
    Shade(cr, body, 4, 1, 22, 17, 1.5);
    // Silver pole tips.
    cairo_rectangle(cr, 18, 9 - outer, 4, th);
    cairo_rectangle(cr, 18, 9 + outer - th, 4, th);
    Shade(cr, pal::kRivet, 18, 0, 22, 18, 1.0);
    if (rubber) {
        Ellipse(cr, 7, 6, 1.4, 1.4);
        Flat(cr, pal::kValve, 0.6);
    }
    cairo_restore(cr);
}

void DrawMagnet(cairo_t* cr, bool facesLeft, bool rubber, const Look& l) {
    cairo_save(cr);
    Pose(cr, l);
    Tinted(cr, [&](cairo_t* c) { MagnetBody(c, facesLeft, rubber, l); }, l.frozen, l.heat * 1.5, 2, 1, 22, 20);
    cairo_restore(cr);
    if (l.frozen > 0) IceCrust(cr, -3, -4, 27, 25);
}

const double kFallTilt = 0.12;

Look Squash(int f) {
    Look l;
    l.squash = f == 0 ? 0.82 : (f == 1 ? 0.7 : 1.08);
    return l;
}

void RegisterCrates(CArtRegistry& reg) {
    const int R = 30, B = 27;
    for (int alt = 0; alt < 2; ++alt) {
        std::string b = alt ? "b" : "";
        Look base;
        base.alt = alt;
        AddCell(reg, "cratestill0" + b + ".tga", 23, 13, R, B, [=](cairo_t* cr) { DrawCrate(cr, Mat::Wood, base); });
        Look lt = base, rt = base;
        lt.tilt = -kFallTilt;
        rt.tilt = kFallTilt;
        AddCell(reg, "crateleft0" + b + ".tga", 23, 13, R, B, [=](cairo_t* cr) { DrawCrate(cr, Mat::Wood, lt); });
        AddCell(reg, "crateright0" + b + ".tga", 23, 13, R, B, [=](cairo_t* cr) { DrawCrate(cr, Mat::Wood, rt); });
        for (int f : {0, 1, 4}) {
            Look l = Squash(f);
            l.alt = alt;
            AddCell(reg, "cratesquash" + std::to_string(f) + b + ".tga", 23, 13, R, B,
                    [=](cairo_t* cr) { DrawCrate(cr, Mat::Wood, l); });
        }
    }
    struct Variant {
        const char* prefix;
        Mat mat;
        int ox, oy;
    };
    const Variant variants[3] = {{"crate", Mat::Wood, 23, 13}, {"metalcrate", Mat::Metal, 23, 13},
                                 {"crateinflatable", Mat::Rubber, 20, 15}};
    for (const Variant& v : variants) {
        std::string p = v.prefix;
        Look fr;
        fr.frozen = 1;
        Look frl = fr, frr = fr;
        frl.tilt = -kFallTilt;
        frr.tilt = kFallTilt;
        Mat m = v.mat;
        AddCell(reg, p + "stillfrozen0.tga", 19, 14, R, B, [=](cairo_t* cr) { DrawCrate(cr, m, fr); });
        AddCell(reg, p + "leftfrozen0.tga", 19, 14, R, B, [=](cairo_t* cr) { DrawCrate(cr, m, frl); });
        AddCell(reg, p + "rightfrozen0.tga", 19, 14, R, B, [=](cairo_t* cr) { DrawCrate(cr, m, frr); });
        if (m == Mat::Wood) continue;
        Look l;
        Look ll = l, rl = l;
        ll.tilt = -kFallTilt;
        rl.tilt = kFallTilt;
        AddCell(reg, p + "still0.tga", v.ox, v.oy, R, B, [=](cairo_t* cr) { DrawCrate(cr, m, l); });
        AddCell(reg, p + "left0.tga", v.ox, v.oy, R, B, [=](cairo_t* cr) { DrawCrate(cr, m, ll); });
        AddCell(reg, p + "right0.tga", v.ox, v.oy, R, B, [=](cairo_t* cr) { DrawCrate(cr, m, rl); });
        for (int f : {0, 1, 4}) {
            Look s = Squash(f);
            AddCell(reg, p + "squash" + std::to_string(f) + ".tga", v.ox, v.oy, R, B,
                    [=](cairo_t* cr) { DrawCrate(cr, m, s); });
        }
    }
    // Hot metal crate, and its cooling back to grey.
    Look hot;
    hot.heat = 1;
    Look hl = hot, hr = hot;
    hl.tilt = -kFallTilt;
    hr.tilt = kFallTilt;
    AddCell(reg, "metalcrateheated.png", 23, 13, R, B, [=](cairo_t* cr) { DrawCrate(cr, Mat::Metal, hot); });
    AddCell(reg, "metalcrateheatedleft.png", 23, 13, R, B, [=](cairo_t* cr) { DrawCrate(cr, Mat::Metal, hl); });
    AddCell(reg, "metalcrateheatedright.png", 23, 13, R, B, [=](cairo_t* cr) { DrawCrate(cr, Mat::Metal, hr); });
    for (int f : {0, 1, 4}) {
        Look s = Squash(f);
        s.heat = 1;
        AddCell(reg, "metalcrateheatedsquash" + std::to_string(f) + ".png", 23, 13, R, B,
                [=](cairo_t* cr) { DrawCrate(cr, Mat::Metal, s); });
    }
    for (int f = 0; f <= 6; ++f) {
        Look c;
        c.heat = 1 - f / 6.0;
        AddCell(reg, "metalcratecooling" + std::to_string(f) + ".png", 23, 13, R, B,
                [=](cairo_t* cr) { DrawCrate(cr, Mat::Metal, c); });
    }
    // Inflating: from a flat rubber sheet on the side it opens to, up to full.
    for (int s = 0; s < 2; ++s) {
        Look l;
        l.inflate = 0.05;
        l.tilt = s == 0 ? -0.2 : 0.2;
        AddCell(reg, std::string("crateinflate") + (s == 0 ? "left" : "right") + "0.tga", 20, 15, R, B,
                [=](cairo_t* cr) { DrawCrate(cr, Mat::Rubber, l); });
    }
    for (int f = 1; f <= 4; ++f) {
        Look l;
        l.inflate = f / 4.0;
        l.squash = f == 3 ? 1.06 : 1.0;
        AddCell(reg, "crateinflate" + std::to_string(f) + ".tga", 20, 15, R, B,
                [=](cairo_t* cr) { DrawCrate(cr, Mat::Rubber, l); });
    }
}

void RegisterBarrels(CArtRegistry& reg) {
    const int R = 30, B = 27;
    struct Variant {
        const char* prefix;
        const char* ext;
        Mat mat;
        int ox, oy;
    };
    const Variant variants[3] = {{"barrel", ".tga", Mat::Wood, 19, 15},
                                 {"metalbarrel", ".png", Mat::Metal, 19, 15},
                                 {"barrelinflatable", ".tga", Mat::Rubber, 20, 16}};
    for (const Variant& v : variants) {
        std::string p = v.prefix, ext = v.ext;
        Mat m = v.mat;
        for (int k = 0; k <= 7; ++k) {
            std::string n = std::to_string(k);
            Look l, fr, ht;
            fr.frozen = 1;
            ht.heat = 1;
            Look fl = l, ffr = fr, fht = ht;
            fl.squash = ffr.squash = fht.squash = 1.05;
            bool rubber = m == Mat::Rubber;
            // Inflatables keep their own origin for every look; wood and
            // metal frozen sprites sit a little further out.
            int fox = rubber ? v.ox : 21, foy = rubber ? v.oy : 17;
            AddCell(reg, p + n + ext, v.ox, v.oy, R, B, [=](cairo_t* cr) { DrawBarrel(cr, m, k, l); });
            AddCell(reg, p + "frozen" + n + ext, fox, foy, R, B, [=](cairo_t* cr) { DrawBarrel(cr, m, k, fr); });
            AddCell(reg, p + "heated" + n + ext, v.ox, v.oy, R, B, [=](cairo_t* cr) { DrawBarrel(cr, m, k, ht); });
            AddCell(reg, p + "fall" + n + ext, v.ox, v.oy, R, B, [=](cairo_t* cr) { DrawBarrel(cr, m, k, fl); });
            AddCell(reg, p + "fallfrozen" + n + ext, fox, foy, R, B,
                    [=](cairo_t* cr) { DrawBarrel(cr, m, k, ffr); });
            AddCell(reg, p + "fallheated" + n + ext, v.ox, v.oy, R, B,
                    [=](cairo_t* cr) { DrawBarrel(cr, m, k, fht); });
        }
    }
    // A hot metal barrel cools down: one series at rest, one per roll phase.
    for (int f = 0; f <= 6; ++f) {
        Look c;
        c.heat = 1 - f / 6.0;
        AddCell(reg, "metalbarrelcooling" + std::to_string(f) + ".png", 19, 15, R, B,
                [=](cairo_t* cr) { DrawBarrel(cr, Mat::Metal, 0, c); });
        for (int k = 0; k <= 7; ++k)
            AddCell(reg, "metalbarrelcooling" + std::to_string(k) + "-" + std::to_string(f) + ".png", 19, 15,
                    R, B, [=](cairo_t* cr) { DrawBarrel(cr, Mat::Metal, k, c); });
    }
    for (int s = 0; s < 2; ++s) {
        Look l;
        l.inflate = 0.05;
        AddCell(reg, std::string("barrelinflate") + (s == 0 ? "left" : "right") + "0.tga", 20, 16, R, B,
                [=](cairo_t* cr) { DrawBarrel(cr, Mat::Rubber, s == 0 ? 0 : 4, l); });
    }
    for (int f : {1, 2, 4}) {
        Look l;
        l.inflate = f / 4.0;
        AddCell(reg, "barrelinflate" + std::to_string(f) + ".tga", 20, 16, R, B,
                [=](cairo_t* cr) { DrawBarrel(cr, Mat::Rubber, 0, l); });
    }
}

void RegisterMagnets(CArtRegistry& reg) {
    const int R = 30, B = 28;
    for (int s = 0; s < 2; ++s) {
        bool facesLeft = s == 0;
        std::string side = facesLeft ? "left" : "right";
        std::string p = "magnet" + side;
        int ox = facesLeft ? 16 : 18, oy = 12;
        int fox = 20, foy = facesLeft ? 14 : 13;
        Look still, l, r, fs, fl, fr, hs, hl, hr;
        l.tilt = r.tilt = 0;
        l.tilt = -kFallTilt;
        r.tilt = kFallTilt;
        fs.frozen = fl.frozen = fr.frozen = 1;
        fl.tilt = -kFallTilt;
        fr.tilt = kFallTilt;
        hs.heat = hl.heat = hr.heat = 1;
        hl.tilt = -kFallTilt;
        hr.tilt = kFallTilt;
        auto add = [&](const std::string& name, int x, int y, Look look, bool rubber) {
            AddCell(reg, name, x, y, R, B, [=](cairo_t* cr) { DrawMagnet(cr, facesLeft, rubber, look); });
        };
        add(p + "still0.tga", ox, oy, still, false);
        add(p + "left0.tga", ox, oy, l, false);
        add(p + "right0.tga", ox, oy, r, false);
        add(p + "stillfrozen0.tga", fox, foy, fs, false);
        add(p + "leftfrozen0.tga", fox, foy, fl, false);
        add(p + "rightfrozen0.tga", fox, foy, fr, false);
        add(p + "heatednormal.png", ox, oy, hs, false);
        add(p + "heatedleft.png", ox, oy, hl, false);
        add(p + "heatedright.png", ox, oy, hr, false);
        for (int f : {0, 1, 4}) {
            Look q = Squash(f), hq = Squash(f);
            hq.heat = 1;
            add(p + "squash" + std::to_string(f) + ".tga", ox, oy, q, false);
            add(p + "heatedsquash" + std::to_string(f) + ".png", ox, oy, hq, false);
        }
        for (int f = 0; f <= 6; ++f) {
            Look c;
            c.heat = 1 - f / 6.0;
            add(p + "cooling" + std::to_string(f) + ".png", 18, 12, c, false);
        }
        // Inflatable magnet.
        std::string ip = "magnetinflatable" + side;
        int iox = 18 - 2 * facesLeft, ioy = facesLeft ? 12 : 11;
        int hox = 19 + !facesLeft, hoy = facesLeft ? 12 : 11;
        add(ip + "still0.tga", iox, ioy, still, true);
        add(ip + "left0.tga", iox, ioy, l, true);
        add(ip + "right0.tga", iox, ioy, r, true);
        add(ip + "stillfrozen0.tga", hox, hoy, fs, true);
        // Frozen and heated: the left magnet's right-falling look sits one
        // pixel further right and up; the right magnet uses one origin.
        int rfx = 20, rfy = 11;
        add(ip + "leftfrozen0.tga", hox, hoy, fl, true);
        add(ip + "rightfrozen0.tga", rfx, rfy, fr, true);
        add(ip + "stillheated0.tga", hox, hoy, hs, true);
        add(ip + "leftheated0.tga", hox, hoy, hl, true);
        add(ip + "rightheated0.tga", rfx, rfy, hr, true);
        for (int f : {0, 1, 4})
            add(ip + "squash" + std::to_string(f) + ".tga", iox, ioy, Squash(f), true);
        for (int f : {0, 1, 2, 4}) {
            Look k;
            k.inflate = f == 0 ? 0.05 : f / 4.0;
            add("magnetinflate" + side + std::to_string(f) + ".tga", iox, ioy, k, true);
        }
    }
}

}  // namespace

void RegisterObjects(CArtRegistry& reg) {
    RegisterCrates(reg);
    RegisterBarrels(reg);
    RegisterMagnets(reg);
    // The editor's cursors for these objects.
    Look plain;
    AddCell(reg, "cursorwcrate.tga", 23, 13, 30, 27, [=](cairo_t* cr) { DrawCrate(cr, Mat::Wood, plain); });
    AddCell(reg, "cursormcrate.tga", 23, 13, 30, 27, [=](cairo_t* cr) { DrawCrate(cr, Mat::Metal, plain); });
    AddCell(reg, "cursorlmagnet.tga", 16, 12, 30, 28, [=](cairo_t* cr) { DrawMagnet(cr, true, false, plain); });
    AddCell(reg, "cursorrmagnet.tga", 18, 12, 30, 28, [=](cairo_t* cr) { DrawMagnet(cr, false, false, plain); });
}

}  // namespace worldart
