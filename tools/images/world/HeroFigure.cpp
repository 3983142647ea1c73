#include "images/world/HeroFigure.h"

#include "images/world/WorldKit.h"

#include <cmath>

namespace worldart {
namespace {

const Rgb kTrouser = Hex(0x4a4b5c);
const Rgb kHair = Hex(0xf4f4f0);
const Rgb kMoustache = Hex(0x9a9a9a);
const Rgb kShirt = Hex(0xf6f1e4);

void Limb(cairo_t* cr, double x0, double y0, double x1, double y1, const Rgb& c, double w) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    Stroke(cr, Darker(c, 0.5), w + 1.5);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    Stroke(cr, c, w);
}

void Leg(cairo_t* cr, double hipX, double angle, const Rgb& trouser) {
    double hx = hipX, hy = -10;
    // A leg swung back bends at the knee and lifts its heel.
    double bend = angle < 0 ? -angle * 0.9 : 0;
    double kx = hx + std::sin(angle) * 4.5, ky = hy + std::cos(angle) * 4.5;
    double fx = kx + std::sin(angle - bend) * 4.2, fy = ky + std::cos(angle - bend) * 4.2;
    cairo_move_to(cr, hx, hy);
    cairo_line_to(cr, kx, ky);
    cairo_line_to(cr, fx, fy - 1);
    Stroke(cr, Darker(trouser, 0.5), 5.5);
    cairo_move_to(cr, hx, hy);
    cairo_line_to(cr, kx, ky);
    cairo_line_to(cr, fx, fy - 1);
    Stroke(cr, trouser, 4);
    Ellipse(cr, fx + 1.2, fy - 1.2, 3.6, 2.3);
    Shade(cr, pal::kBoot, fx - 3, fy - 4, fx + 4, fy + 1, 1.0);
}

void Arm(cairo_t* cr, double sx, double sy, double angle, const Rgb& coat, const Rgb& skin) {
    double hx = sx + std::sin(angle) * 9.5, hy = sy + std::cos(angle) * 9.5;
    Limb(cr, sx, sy, hx, hy, coat, 3.8);
    Ellipse(cr, hx, hy, 2.2, 2.2);
    Flat(cr, skin, 1.0);
}

void Goggles(cairo_t* cr, double cx, double cy, bool two) {
    cairo_move_to(cr, cx - 8, cy + 1.5);
    cairo_curve_to(cr, cx - 4, cy - 1, cx + 4, cy - 1, cx + 8, cy + 1.5);
    Stroke(cr, Hex(0x5b3b1e), 1.8);
    if (two) {
        for (int s = -1; s <= 1; s += 2) {
            Ellipse(cr, cx + s * 3.3, cy, 2.9, 2.5);
            Shade(cr, pal::kBrass, cx + s * 3.3 - 3, cy - 3, cx + s * 3.3 + 3, cy + 3, 1.0);
            Ellipse(cr, cx + s * 3.3, cy, 1.6, 1.3);
            Flat(cr, Hex(0x9fd8e8), 0);
        }
    } else {
        Ellipse(cr, cx + 2.5, cy, 3.2, 2.7);
        Shade(cr, pal::kBrass, cx - 1, cy - 3, cx + 6, cy + 3, 1.0);
        Ellipse(cr, cx + 3, cy, 1.8, 1.5);
        Flat(cr, Hex(0x9fd8e8), 0);
    }
}

void Eye(cairo_t* cr, double x, double y, const HeroPose& p) {
    if (p.face == HeroFace::Closed || p.blink >= 0.99 || p.face == HeroFace::Happy) {
        cairo_move_to(cr, x - 1.3, y);
        if (p.face == HeroFace::Happy)
            cairo_curve_to(cr, x - 0.5, y - 1.2, x + 0.5, y - 1.2, x + 1.3, y);
        else
            cairo_line_to(cr, x + 1.3, y);
        Stroke(cr, Hex(0x2b2420), 0.9);
        return;
    }
    if (p.face == HeroFace::Dizzy) {
        cairo_move_to(cr, x - 1.2, y - 1.2);
        cairo_line_to(cr, x + 1.2, y + 1.2);
        cairo_move_to(cr, x + 1.2, y - 1.2);
        cairo_line_to(cr, x - 1.2, y + 1.2);
        Stroke(cr, Hex(0x2b2420), 0.8);
        return;
    }
    double r = p.face == HeroFace::Surprised ? 1.6 : 1.2;
    double open = 1 - p.blink;
    if (p.face == HeroFace::Pained) open = 0.4;
    Ellipse(cr, x, y, r + 0.5, (r + 0.5) * open);
    Flat(cr, Hex(0xffffff), 0);
    Ellipse(cr, x + 0.3, y, r * 0.7, r * 0.7 * open);
    Flat(cr, Hex(0x2b2420), 0);
}

void Head(cairo_t* cr, const HeroPose& p, const Rgb& skin) {
    const double cx = 1, cy = -34;
    cairo_save(cr);
    cairo_translate(cr, cx, cy + 4);
    cairo_rotate(cr, p.headTilt);
    cairo_translate(cr, -cx, -cy - 4);
    if (p.view == HeroView::Side || p.view == HeroView::ThreeQuarter) {
        bool side = p.view == HeroView::Side;
        double fx = side ? 0 : -1.5;  // face shift toward the viewer
        // Hair ring behind.
        Ellipse(cr, cx - 5 - fx, cy + 1, 3.5, 5.0);
        Flat(cr, kHair, 1.0);
        Ellipse(cr, cx, cy, 7.6, 7.8);
        Shade(cr, skin, cx - 7, cy - 7, cx + 7, cy + 7, 1.5);
        // Tufts over the ear.
        for (int i = 0; i < 3; ++i) {
            Ellipse(cr, cx - 6.6 - fx + i * 0.6, cy - 2 + i * 2.4, 1.9, 1.7);
            Flat(cr, kHair, 0);
        }
        Ellipse(cr, cx - 1.5 - fx, cy + 0.5, 1.6, 2.0);  // ear
        Flat(cr, Darker(skin, 0.9), 0.8);
        Goggles(cr, cx + 1 + fx * 0.5, cy - 6.2, !side);
        double ex = cx + 4.3 + fx;
        Eye(cr, ex, cy - 1.5, p);
        if (!side) Eye(cr, ex - 4.5, cy - 1.5, p);
        Ellipse(cr, ex + 2.8, cy + 1.0, 2.0, 1.8);  // nose
        Flat(cr, Darker(skin, 0.92), 1.0);
        // Walrus moustache.
        cairo_move_to(cr, ex - 2.5, cy + 3.2);
        cairo_curve_to(cr, ex - 1, cy + 1.5, ex + 4, cy + 1.5, ex + 5, cy + 3.5);
        cairo_curve_to(cr, ex + 4, cy + 6.5, ex + 1, cy + 5, ex, cy + 6);
        cairo_curve_to(cr, ex - 1.5, cy + 6.5, ex - 3, cy + 5, ex - 2.5, cy + 3.2);
        Flat(cr, kMoustache, 1.0);
        if (p.face == HeroFace::Surprised || p.face == HeroFace::Whistle) {
            Ellipse(cr, ex + 2.5, cy + 6.8, 1.2, 1.4);
            Flat(cr, Hex(0x5a2020), 0);
        }
    } else {
        bool back = p.view == HeroView::Back;
        Ellipse(cr, cx, cy, 7.8, 7.8);
        Shade(cr, skin, cx - 7, cy - 7, cx + 7, cy + 7, 1.5);
        for (int s = -1; s <= 1; s += 2) {
            for (int i = 0; i < 3; ++i) {
                Ellipse(cr, cx + s * (6.2 - i * 0.4), cy - 1 + i * 2.4, 2.5, 2.1);
                Flat(cr, kHair, 0.8);
            }
        }
        if (back) {
            // From behind: ears, a full ring of white hair round the lower
            // half of the head, the goggles' strap and buckle across the crown.
            for (int s = -1; s <= 1; s += 2) {
                Ellipse(cr, cx + s * 7.6, cy + 0.5, 1.6, 2.2);
                Flat(cr, Darker(skin, 0.9), 0.8);
            }
            cairo_save(cr);
            Ellipse(cr, cx, cy, 7.8, 7.8);
            cairo_clip(cr);
            // The crown's shine, then a band of hair at ear height with
            // tufts along its upper edge; the neck below stays bare.
            Ellipse(cr, cx - 2, cy - 4, 3, 1.8);
            SetColor(cr, Hex(0xffffff), 0.35);
            cairo_fill(cr);
            cairo_rectangle(cr, cx - 9, cy + 1.5, 18, 3.5);
            Flat(cr, kHair, 0);
            for (int i = 0; i < 6; ++i) {
                Ellipse(cr, cx - 7.5 + i * 3, cy + 1.6 + (i % 2) * 0.6, 1.8, 1.3);
                Flat(cr, kHair, 0);
            }
            for (int i = 0; i < 7; ++i) {
                cairo_move_to(cr, cx - 6 + i * 2, cy + 1.5);
                cairo_line_to(cr, cx - 6.3 + i * 2, cy + 4.5);
            }
            Stroke(cr, Hex(0xb9b9b3), 0.6);
            cairo_restore(cr);
            Ellipse(cr, cx, cy, 7.8, 7.8);
            Stroke(cr, Darker(skin, 0.5), 1.2);
            cairo_move_to(cr, cx - 7.8, cy - 4);
            cairo_curve_to(cr, cx - 3, cy - 5.5, cx + 3, cy - 5.5, cx + 7.8, cy - 4);
            Stroke(cr, Hex(0x5b3b1e), 1.8);
            cairo_rectangle(cr, cx - 1.5, cy - 6.3, 3, 2.4);
            Flat(cr, pal::kBrass, 0.6);
        } else {
            Goggles(cr, cx, cy - 6.2, true);
            Eye(cr, cx - 2.8, cy - 1.2, p);
            Eye(cr, cx + 2.8, cy - 1.2, p);
            Ellipse(cr, cx, cy + 1.2, 1.9, 1.7);
            Flat(cr, Darker(skin, 0.92), 1.0);
            cairo_move_to(cr, cx - 5.5, cy + 4.5);
            cairo_curve_to(cr, cx - 3, cy + 2, cx + 3, cy + 2, cx + 5.5, cy + 4.5);
            cairo_curve_to(cr, cx + 4, cy + 6.5, cx + 1, cy + 5, cx, cy + 5.5);
            cairo_curve_to(cr, cx - 1, cy + 5, cx - 4, cy + 6.5, cx - 5.5, cy + 4.5);
            Flat(cr, kMoustache, 1.0);
            if (p.face == HeroFace::Surprised || p.face == HeroFace::Whistle) {
                Ellipse(cr, cx, cy + 6.8, 1.3, 1.5);
                Flat(cr, Hex(0x5a2020), 0);
            }
        }
    }
    cairo_restore(cr);
}

void Prop(cairo_t* cr, const HeroPose& p, double hx, double hy) {
    switch (p.prop) {
    case HeroProp::FrostGun:
    case HeroProp::HeatGun: {
        bool frost = p.prop == HeroProp::FrostGun;
        Rgb body = frost ? Hex(0x5aa9e6) : Hex(0xd8542c);
        RoundRect(cr, hx - 3, hy - 3.5, 8, 5, 2);
        Shade(cr, body, hx - 3, hy - 4, hx + 5, hy + 2, 1.0);
        RoundRect(cr, hx - 1, hy, 3, 4.5, 1);
        Flat(cr, Hex(0x555555), 0.8);
        Ellipse(cr, hx + 2, hy - 4.5, 2.2, 1.6);
        Flat(cr, frost ? Hex(0xdff4ff) : Hex(0xffb347), 0.8);
        if (p.propT > 0) {
            Rgb flash = frost ? Hex(0xcff2ff) : Hex(0xffd36b);
            Ellipse(cr, hx + 6.5, hy - 1, 1.5 + 1.0 * p.propT, 1.5 + 1.3 * p.propT);
            SetColor(cr, flash, 0.85 * p.propT);
            cairo_fill(cr);
        }
        break;
    }
    case HeroProp::Whistle:
        RoundRect(cr, hx - 1, hy - 2, 5, 3, 1.2);
        Flat(cr, pal::kBrass, 0.8);
        break;
    case HeroProp::Balloon: {
        double r = 2 + 6 * p.propT;
        Ellipse(cr, hx + 1 + r, hy - r * 0.6, r, r * 0.9);
        Shade(cr, pal::kRubber, hx + 1, hy - r * 1.5, hx + 1 + 2 * r, hy + r * 0.3, 1.0);
        Ellipse(cr, hx + 1, hy, 1.2, 1.2);
        Flat(cr, pal::kValve, 0.6);
        break;
    }
    case HeroProp::Remote:
        RoundRect(cr, hx - 2.5, hy - 6, 5, 7, 1);
        Shade(cr, Hex(0x6a7480), hx - 3, hy - 6, hx + 3, hy + 1, 1.0);
        cairo_move_to(cr, hx, hy - 6);
        cairo_line_to(cr, hx, hy - 10);
        Stroke(cr, Hex(0x333333), 1);
        Ellipse(cr, hx, hy - 10.5, 1.3, 1.3);
        Flat(cr, pal::kRed, 0);
        if (p.propT > 0) {
            for (int i = 0; i < 6; ++i) {
                double a = i * M_PI / 3 + p.propT * 2;
                cairo_move_to(cr, hx + std::cos(a) * 3, hy - 10.5 + std::sin(a) * 3);
                cairo_line_to(cr, hx + std::cos(a + 0.3) * (5 + 4 * p.propT),
                              hy - 10.5 + std::sin(a + 0.3) * (5 + 4 * p.propT));
            }
            Stroke(cr, Hex(0x8fe3ff), 1.0, p.propT);
        }
        break;
    case HeroProp::Watch:
        Ellipse(cr, hx + 1, hy - 1, 2.6, 2.6);
        Shade(cr, pal::kBrass, hx - 2, hy - 4, hx + 4, hy + 2, 0.8);
        Ellipse(cr, hx + 1, hy - 1, 1.6, 1.6);
        Flat(cr, Hex(0xfffbe8), 0);
        break;
    case HeroProp::Cloth:
        RoundRect(cr, hx - 2, hy - 2, 5, 4, 1);
        Flat(cr, Hex(0xf2f2f2), 0.8);
        break;
    case HeroProp::None:
        break;
    }
}

void Body(cairo_t* cr, const HeroPose& p, const Rgb& coat, const Rgb& skin) {
    bool side = p.view == HeroView::Side || p.view == HeroView::ThreeQuarter;
    const Rgb trouser = Mix(kTrouser, Hex(0x151515), p.soot * 0.6);
    double armSx = side ? 0.5 : 0;
    // Far limbs.
    if (side) {
        Leg(cr, -1, p.legBack, Darker(trouser, 0.85));
        Arm(cr, armSx - 1, -24, p.armBack, Darker(coat, 0.85), Darker(skin, 0.9));
    } else {
        Leg(cr, -3.2, p.legBack, trouser);
        Leg(cr, 3.2, p.legFront, trouser);
    }
    // Coat: a round body with short tails.
    cairo_move_to(cr, -9, -14);
    cairo_curve_to(cr, -10.5, -24, -6, -29, 0, -29);
    cairo_curve_to(cr, 6, -29, 10.5, -24, 9.5, -14);
    cairo_curve_to(cr, 9, -9, 6, -7.5, 0, -7.5);
    cairo_curve_to(cr, -6, -7.5, -9, -9, -9, -14);
    cairo_close_path(cr);
    Shade(cr, coat, -9, -29, 9, -7, 1.5);
    if (p.view == HeroView::Back) {
        cairo_move_to(cr, 0, -20);
        cairo_line_to(cr, 0, -8);
        Stroke(cr, Darker(coat, 0.7), 1.0);
    } else {
        // Shirt front and buttons.
        double sx = side ? 5.5 : 0;
        cairo_move_to(cr, sx - 3, -27.5);
        cairo_line_to(cr, sx + 3, -27.5);
        cairo_line_to(cr, sx, -19);
        cairo_close_path(cr);
        Flat(cr, Mix(kShirt, Hex(0x222222), p.soot * 0.7), 0.8);
        for (int i = 0; i < 2; ++i) {
            Ellipse(cr, sx + (side ? 0.5 : 0), -16 + i * 4, 0.9, 0.9);
            Flat(cr, pal::kBrass, 0);
        }
        // Pocket.
        if (!side) {
            cairo_rectangle(cr, -7, -17, 3.5, 3);
            Stroke(cr, Darker(coat, 0.7), 0.8);
        }
    }
    // Scarf round the neck, tail flying behind.
    Rgb scarf = Mix(pal::kScarf, Hex(0x2a1a10), p.soot * 0.6);
    RoundRect(cr, -6.5, -30.5, 13, 4, 2);
    Shade(cr, scarf, -6, -31, 6, -26, 1.0);
    double w = std::sin(p.scarfWave) * 1.5;
    if (side) {
        cairo_move_to(cr, -5, -29);
        cairo_curve_to(cr, -9, -28 + w, -11, -26 - w, -13, -24 + w);
        cairo_line_to(cr, -11, -22 + w);
        cairo_curve_to(cr, -9, -25, -7, -26, -4, -27);
        cairo_close_path(cr);
        Shade(cr, scarf, -13, -29, -4, -22, 1.0);
    } else if (p.view == HeroView::Front) {
        cairo_move_to(cr, 2, -27);
        cairo_line_to(cr, 4.5 + w * 0.3, -20);
        cairo_line_to(cr, 1.5 + w * 0.3, -19.5);
        cairo_line_to(cr, 0.5, -27);
        cairo_close_path(cr);
        Shade(cr, scarf, 0, -27, 5, -19, 1.0);
    }
    Head(cr, p, skin);
    if (side) {
        Leg(cr, 1.5, p.legFront, trouser);
        double hx = armSx + 1.5 + std::sin(p.armFront) * 9.5;
        double hy = -24 + std::cos(p.armFront) * 9.5;
        if (p.prop != HeroProp::None && p.prop != HeroProp::Balloon) Prop(cr, p, hx, hy);
        Arm(cr, armSx + 1.5, -24, p.armFront, coat, skin);
        if (p.prop == HeroProp::Balloon) Prop(cr, p, hx, hy);
    } else {
        // Front and back: arms on both sides, armFront is the viewer's right.
        double lx = -8.5 - std::sin(p.armBack) * 9.5 * p.armSpread, ly = -24 + std::cos(p.armBack) * 9.5;
        double rx = 8.5 + std::sin(p.armFront) * 9.5 * p.armSpread, ry = -24 + std::cos(p.armFront) * 9.5;
        Limb(cr, -7.5, -24, lx, ly, coat, 3.8);
        Limb(cr, 7.5, -24, rx, ry, coat, 3.8);
        Ellipse(cr, lx, ly, 2.2, 2.2);
        Flat(cr, skin, 1.0);
        Ellipse(cr, rx, ry, 2.2, 2.2);
        Flat(cr, skin, 1.0);
        if (p.prop != HeroProp::None) Prop(cr, p, rx, ry);
    }
}

void Crawler(cairo_t* cr, const HeroPose& p, const Rgb& coat, const Rgb& skin) {
    const Rgb trouser = kTrouser;
    double s = std::sin(p.legFront);
    // Back leg and knee on the ground, body horizontal, head forward and low.
    Limb(cr, -7, -7, -12 - s * 2, -1, Darker(trouser, 0.85), 4);
    Ellipse(cr, -14 - s * 2, -1.5, 3.4, 2.2);
    Shade(cr, pal::kBoot, -17, -4, -10, 1, 1.0);
    Limb(cr, 5, -9, 6 - s * 3, -1, Darker(coat, 0.85), 3.6);
    Ellipse(cr, -1, -10.5, 10.5, 6.5);
    Shade(cr, coat, -11, -17, 9, -4, 1.5);
    Limb(cr, -5, -7, -9 + s * 2, -1, trouser, 4);
    Ellipse(cr, -11 + s * 2, -1.5, 3.4, 2.2);
    Shade(cr, pal::kBoot, -14, -4, -7, 1, 1.0);
    RoundRect(cr, 6.5, -16, 4, 8, 2);
    Shade(cr, pal::kScarf, 6, -16, 11, -8, 1.0);
    HeroPose hp = p;
    hp.view = HeroView::Side;
    hp.headTilt = 0.3;
    cairo_save(cr);
    cairo_translate(cr, 12, 18.5);
    cairo_scale(cr, 0.95, 0.95);
    Head(cr, hp, skin);
    cairo_restore(cr);
    Limb(cr, 6, -9, 9 + s * 3, -1, coat, 3.6);
    Ellipse(cr, 9 + s * 3, -1.5, 2.2, 2.0);
    Flat(cr, skin, 1.0);
}

}  // namespace

void DrawHero(cairo_t* cr, const HeroPose& p) {
    cairo_save(cr);
    cairo_translate(cr, p.dx, p.dy);
    cairo_scale(cr, p.scale, p.squash * p.scale);
    if (p.spin != 0) {
        cairo_translate(cr, 0, -18);
        cairo_rotate(cr, p.spin);
        cairo_translate(cr, 0, 18);
    }
    if (p.lean != 0) {
        cairo_translate(cr, 0, -3);
        cairo_rotate(cr, p.lean);
        cairo_translate(cr, 0, 3);
    }
    Rgb coat = Mix(pal::kTeal, Hex(0x1a1a1a), p.soot * 0.75);
    Rgb skin = Mix(pal::kSkin, Hex(0x3a3030), p.soot * 0.7);
    auto paint = [&](cairo_t* c) {
        if (p.crawl)
            Crawler(c, p, coat, skin);
        else
            Body(c, p, coat, skin);
    };
    // Icicles hang from the coat's hem, not from under the boots.
    Tinted(cr, paint, p.frost, p.heat, -11, -44, 11, -8);
    cairo_restore(cr);
}

}  // namespace worldart
