#include "images/world/WorldKit.h"

#include "images/CCaptions.h"
#include "images/FrameEdges.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace worldart {

Rgb Hex(unsigned v) { return DrawKit::Hex(v); }

Rgb Darker(const Rgb& c, double f) { return DrawKit::Darken(c, 1 - f); }

Rgb Lighter(const Rgb& c, double f) { return DrawKit::Lighten(c, f); }

void SetColor(cairo_t* cr, const Rgb& c, double alpha) {
    DrawKit::SetColor(cr, DrawKit::WithAlpha(c, c.a * alpha));
}

namespace pal {
const Rgb kWood = Hex(0xa0682d), kPlank = Hex(0xc1874a), kNail = Hex(0x5b4a3a);
const Rgb kMetal = Hex(0x8d99a6), kRivet = Hex(0xd7dee5), kMetalShadow = Hex(0x55606b);
const Rgb kRubber = Hex(0xf2c12e), kValve = Hex(0xd9402b);
const Rgb kGrass = Hex(0x4caf3f), kSoil = Hex(0x7a4f2a), kSand = Hex(0xe0b862);
const Rgb kIce = Hex(0xbfe9f7), kBlue = Hex(0x2f6fe0), kRed = Hex(0xd8342c);
const Rgb kYellow = Hex(0xf0c419), kFrost = Hex(0xdff4ff);
const Rgb kHeatLow = Hex(0xff6a1a), kHeatHigh = Hex(0xffd36b), kCrimson = Hex(0xb3202e);
const Rgb kTeal = Hex(0x2a9d8f), kBrass = Hex(0xc9a227), kSkin = Hex(0xf1c7a0);
const Rgb kScarf = Hex(0xf07f23), kBoot = Hex(0x6b4226);
}  // namespace pal

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    DrawKit::EllipsePath(cr, cx, cy, rx, ry);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    DrawKit::RoundedRectPath(cr, x, y, w, h, std::min(r, std::min(w, h) / 2));
}

void Shade(cairo_t* cr, const Rgb& c, double, double, double, double, double line, double alpha) {
    DrawKit::FillShaded(cr, DrawKit::WithAlpha(c, c.a * alpha), line);
    cairo_new_path(cr);
}

void Flat(cairo_t* cr, const Rgb& c, double line, double alpha) {
    DrawKit::FillFlat(cr, DrawKit::WithAlpha(c, c.a * alpha), line);
    cairo_new_path(cr);
}

void Stroke(cairo_t* cr, const Rgb& c, double width, double alpha) {
    SetColor(cr, c, alpha);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

double Noise(unsigned seed, unsigned i) {
    unsigned x = seed * 2654435761u ^ (i + 0x9e3779b9u) * 40503u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    x *= 3266489917u;
    x ^= x >> 16;
    return (x & 0xffffff) / double(0x1000000);
}

void Tinted(cairo_t* cr, const Painter& draw, double frozen, double heat,
            double x0, double y0, double x1, double y1) {
    if (frozen <= 0 && heat <= 0) {
        draw(cr);
        return;
    }
    cairo_push_group(cr);
    draw(cr);
    cairo_pattern_t* shape = cairo_pop_group(cr);
    cairo_set_source(cr, shape);
    cairo_paint(cr);
    if (heat > 0) {
        // Red-orange glow over the shape, brighter towards the middle.
        cairo_pattern_t* g = cairo_pattern_create_radial((x0 + x1) / 2, (y0 + y1) / 2, 1,
                                                         (x0 + x1) / 2, (y0 + y1) / 2,
                                                         std::max(x1 - x0, y1 - y0) * 0.7);
        cairo_pattern_add_color_stop_rgba(g, 0, 1.0, 0.83, 0.42, std::min(1.0, 0.6 * heat));
        cairo_pattern_add_color_stop_rgba(g, 1, 1.0, 0.30, 0.08, std::min(1.0, 0.4 * heat));
        cairo_set_source(cr, g);
        cairo_mask(cr, shape);
        cairo_pattern_destroy(g);
    }
    if (frozen > 0) {
        SetColor(cr, pal::kFrost, 0.5 * frozen);
        cairo_mask(cr, shape);
        // Sharp highlights, kept inside the shape.
        cairo_push_group(cr);
        double w = x1 - x0, h = y1 - y0;
        cairo_set_source_rgba(cr, 1, 1, 1, 0.9 * frozen);
        cairo_set_line_width(cr, 1.2);
        cairo_move_to(cr, x0 + w * 0.2, y0 + h * 0.45);
        cairo_line_to(cr, x0 + w * 0.45, y0 + h * 0.15);
        cairo_move_to(cr, x0 + w * 0.25, y0 + h * 0.7);
        cairo_line_to(cr, x0 + w * 0.6, y0 + h * 0.3);
        cairo_move_to(cr, x0 + w * 0.7, y0 + h * 0.8);
        cairo_line_to(cr, x0 + w * 0.85, y0 + h * 0.6);
        cairo_stroke(cr);
        cairo_pattern_t* lines = cairo_pop_group(cr);
        cairo_set_source(cr, lines);
        cairo_mask(cr, shape);
        cairo_pattern_destroy(lines);
        // A few icicles hanging from the lower edge.
        for (int i = 0; i < 3; ++i) {
            double x = x0 + w * (0.25 + 0.25 * i), len = 3 + 2 * ((i + 1) % 2);
            cairo_move_to(cr, x - 1.5, y1 - 1);
            cairo_line_to(cr, x + 1.5, y1 - 1);
            cairo_line_to(cr, x, y1 - 1 + len * frozen);
            cairo_close_path(cr);
        }
        SetColor(cr, Hex(0xeaf8ff), 0.9 * frozen);
        cairo_fill(cr);
    }
    cairo_pattern_destroy(shape);
}

void WithAlpha(cairo_t* cr, const Painter& draw, double alpha) {
    if (alpha >= 1) {
        draw(cr);
        return;
    }
    cairo_push_group(cr);
    draw(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, std::max(0.0, alpha));
}

void Caption(cairo_t* cr, const std::string& key, const std::string& fallback, double cx,
             double y, double size, const Rgb& fill, const Rgb& outline, double alpha) {
    const CCaptions& table = CCaptions::Shared();
    const std::string text = table.Has(key) ? table.Get(key) : fallback;
    DrawKit::OutlinedText(cr, text, cx, y, size, DrawKit::WithAlpha(fill, alpha),
                          DrawKit::WithAlpha(outline, alpha), 1.2, DrawKit::FONT_SANS_BOLD,
                          DrawKit::ALIGN_CENTER);
}

void InkBox::Add(const InkBox& other) {
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
}

InkBox MeasureInk(const Painter& draw) {
    // A scratch canvas far larger than any world picture, the cell in its middle.
    const int size = 400, corner = 200;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, size, size);
    cairo_t* cr = cairo_create(s);
    cairo_translate(cr, corner, corner);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    InkBox box;
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (data[y * stride + x]) box.Add(InkBox{x - corner, y - corner, x - corner, y - corner});
    cairo_surface_destroy(s);
    return box;
}

int ShiftInside(const std::string& name, const InkBox& ink, int ox, int oy, int right, int bottom) {
    if (ink.Empty()) return 0;
    using namespace FrameEdges;
    const unsigned meant = MeantEdges(name);
    // The first and last columns and rows inside the edges.
    const int left = int(CanvasLeft(ox)) + 1, last = right - 2;
    const int top = int(CanvasTop(oy)) + 1, foot = bottom - 2;
    const int needRight = (meant & LEFT) ? 0 : std::max(0, left - ink.left);
    const int needLeft = (meant & RIGHT) ? 0 : std::max(0, ink.right - last);
    int shift = needRight - needLeft;
    if ((needRight && needLeft) || (!(meant & RIGHT) && ink.right + shift > last) ||
        (!(meant & LEFT) && ink.left + shift < left)) {
        fprintf(stderr, "note: %s is %d px wide, too wide for its picture\n", name.c_str(), ink.right - ink.left + 1);
        shift = 0;
    }
    if ((!(meant & TOP) && ink.top < top) || (!(meant & BOTTOM) && ink.bottom > foot))
        fprintf(stderr, "note: %s runs over the top or bottom of its picture\n", name.c_str());
    return shift;
}

int FrameRight(const std::string& name, const InkBox& ink, int right) {
    if (ink.Empty() || (FrameEdges::MeantEdges(name) & FrameEdges::RIGHT)) return right;
    return std::max(right, ink.right + 2);
}

void AddCell(CArtRegistry& reg, const std::string& name, int ox, int oy, int right,
             int bottom, const Painter& draw) {
    int w = std::max(1, ox - 14 + right);
    int h = std::max(1, oy - 5 + bottom);
    reg.Add(name, w, h, [ox, oy, draw](cairo_t* cr, int, int) {
        cairo_save(cr);
        cairo_translate(cr, ox - 14, oy - 5);
        draw(cr);
        cairo_restore(cr);
    });
    reg.SetOrigin(name, ox, oy);
}

}  // namespace worldart
