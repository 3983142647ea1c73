#include "images/DrawKit.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <vector>

#include "engine/BuildInfo.h"

namespace DrawKit {

const Color kInk = {24 / 255.0, 34 / 255.0, 83 / 255.0, 1};
const Color kParchLight = {0xf3 / 255.0, 0xe3 / 255.0, 0xbf / 255.0, 1};
const Color kParchDark = {0xe2 / 255.0, 0xc9 / 255.0, 0x8f / 255.0, 1};
const Color kWood = {0xa0 / 255.0, 0x68 / 255.0, 0x2d / 255.0, 1};
const Color kBrass = {0xc9 / 255.0, 0xa1 / 255.0, 0x3b / 255.0, 1};

Color Hex(uint32_t rgb, double alpha) {
    return Color{((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, alpha};
}

Color Rgb(int r, int g, int b, double alpha) { return Color{r / 255.0, g / 255.0, b / 255.0, alpha}; }

Color Darken(const Color& c, double amount) {
    const double k = 1.0 - std::clamp(amount, 0.0, 1.0);
    return Color{c.r * k, c.g * k, c.b * k, c.a};
}

Color Lighten(const Color& c, double amount) {
    const double t = std::clamp(amount, 0.0, 1.0);
    return Color{c.r + (1 - c.r) * t, c.g + (1 - c.g) * t, c.b + (1 - c.b) * t, c.a};
}

Color Mix(const Color& a, const Color& b, double t) {
    return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Color WithAlpha(const Color& c, double alpha) { return Color{c.r, c.g, c.b, alpha}; }

void SetColor(cairo_t* cr, const Color& c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

// ---- Paths ----

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius) {
    const double r = std::max(0.0, std::min(radius, std::min(w, h) / 2));
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
    if (rx <= 0 || ry <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void PolygonPath(cairo_t* cr, const double* xy, int points) {
    if (points < 2) return;
    cairo_move_to(cr, xy[0], xy[1]);
    for (int i = 1; i < points; ++i) cairo_line_to(cr, xy[2 * i], xy[2 * i + 1]);
    cairo_close_path(cr);
}

// ---- Outlined shapes ----


namespace {

// Fills the current path with the current source, then strokes its outline in
// a darker shade of fill (no outline when outline is 0).
void FillCurrentPath(cairo_t* cr, const Color& fill, double outline) {
    if (outline > 0) {
        cairo_fill_preserve(cr);
        SetColor(cr, Darken(fill, 0.45));
        cairo_set_line_width(cr, outline);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
}

}  // namespace

void FillShaded(cairo_t* cr, const Color& fill, double outline) {
    double x0, y0, x1, y1;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    cairo_pattern_t* pat = cairo_pattern_create_linear(x0, y0, x0 + (x1 - x0) * 0.25, y1);
    const Color top = Lighten(fill, 0.22);
    const Color bottom = Darken(fill, 0.18);
    cairo_pattern_add_color_stop_rgba(pat, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(pat, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_save(cr);
    cairo_set_source(cr, pat);
    FillCurrentPath(cr, fill, outline);
    cairo_restore(cr);
    cairo_pattern_destroy(pat);
}

void FillFlat(cairo_t* cr, const Color& fill, double outline) {
    cairo_save(cr);
    SetColor(cr, fill);
    FillCurrentPath(cr, fill, outline);
    cairo_restore(cr);
}

void OutlinedRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, const Color& fill,
                         double outline) {
    cairo_new_path(cr);
    RoundedRectPath(cr, x, y, w, h, radius);
    FillShaded(cr, fill, outline);
}

void OutlinedEllipse(cairo_t* cr, double cx, double cy, double rx, double ry, const Color& fill, double outline) {
    cairo_new_path(cr);
    EllipsePath(cr, cx, cy, rx, ry);
    FillShaded(cr, fill, outline);
}

void OutlinedPolygon(cairo_t* cr, const double* xy, int points, const Color& fill, double outline) {
    cairo_new_path(cr);
    PolygonPath(cr, xy, points);
    FillShaded(cr, fill, outline);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1, const Color& color, double width) {
    cairo_save(cr);
    cairo_new_path(cr);
    SetColor(cr, color);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// ---- Fills, glows ----

namespace {

void GradientRect(cairo_t* cr, cairo_pattern_t* pat, const Color& a, const Color& b, double x, double y, double w,
                  double h) {
    cairo_pattern_add_color_stop_rgba(pat, 0, a.r, a.g, a.b, a.a);
    cairo_pattern_add_color_stop_rgba(pat, 1, b.r, b.g, b.b, b.a);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source(cr, pat);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pat);
}

}  // namespace

void VerticalGradient(cairo_t* cr, double x, double y, double w, double h, const Color& top, const Color& bottom) {
    GradientRect(cr, cairo_pattern_create_linear(0, y, 0, y + h), top, bottom, x, y, w, h);
}

void HorizontalGradient(cairo_t* cr, double x, double y, double w, double h, const Color& left,
                        const Color& right) {
    GradientRect(cr, cairo_pattern_create_linear(x, 0, x + w, 0), left, right, x, y, w, h);
}

void FillLinear(cairo_t* cr, double x0, double y0, double x1, double y1, const Color& from, const Color& to) {
    cairo_pattern_t* pat = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgba(pat, 0, from.r, from.g, from.b, from.a);
    cairo_pattern_add_color_stop_rgba(pat, 1, to.r, to.g, to.b, to.a);
    cairo_save(cr);
    cairo_set_source(cr, pat);
    cairo_fill_preserve(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pat);
}

void RadialGlow(cairo_t* cr, double cx, double cy, double radius, const Color& inner) {
    if (radius <= 0) return;
    cairo_pattern_t* pat = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    cairo_pattern_add_color_stop_rgba(pat, 0, inner.r, inner.g, inner.b, inner.a);
    cairo_pattern_add_color_stop_rgba(pat, 0.45, inner.r, inner.g, inner.b, inner.a * 0.55);
    cairo_pattern_add_color_stop_rgba(pat, 1, inner.r, inner.g, inner.b, 0);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_set_source(cr, pat);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pat);
}

void SoftOval(cairo_t* cr, double cx, double cy, double rx, double ry, const Color& color) {
    if (rx <= 0 || ry <= 0) return;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_pattern_t* pat = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(pat, 0, color.r, color.g, color.b, color.a);
    cairo_pattern_add_color_stop_rgba(pat, 1, color.r, color.g, color.b, 0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_set_source(cr, pat);
    cairo_fill(cr);
    cairo_pattern_destroy(pat);
    cairo_restore(cr);
}

void Highlight(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha) {
    SoftOval(cr, cx, cy, rx, ry, Hex(0xffffff, alpha));
}

void SoftShadow(cairo_t* cr, double x, double y, double w, double h, double radius, double alpha) {
    cairo_save(cr);
    for (int i = 4; i >= 1; --i) {
        cairo_new_path(cr);
        RoundedRectPath(cr, x - i + 3, y - i + 4, w + 2 * i, h + 2 * i, radius + i);
        cairo_set_source_rgba(cr, 0, 0, 0, alpha / 5.0);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// ---- Fonts and text ----

namespace {

const char* const kFontFiles[] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf"};

struct FontSet {
    std::once_flag once;
    FT_Library library = nullptr;
    cairo_font_face_t* faces[4] = {nullptr, nullptr, nullptr, nullptr};
    bool ok = false;
};

FontSet& Fonts() {
    static FontSet set;
    std::call_once(set.once, [] {
        set.ok = FT_Init_FreeType(&set.library) == 0;
        for (int i = 0; i < 4 && set.ok; ++i) {
            const std::string path = std::string(FontFolder()) + "/" + kFontFiles[i];
            FT_Face face = nullptr;
            if (FT_New_Face(set.library, path.c_str(), 0, &face) != 0) {
                fprintf(stderr, "cannot open the font %s\n", path.c_str());
                set.ok = false;
                break;
            }
            set.faces[i] = cairo_ft_font_face_create_for_ft_face(face, 0);
        }
    });
    return set;
}

void SplitWords(const std::string& text, std::vector<std::string>& words) {
    std::string cur;
    for (char ch : text) {
        if (ch == ' ' || ch == '\n') {
            if (!cur.empty()) words.push_back(cur);
            cur.clear();
            if (ch == '\n') words.push_back("\n");
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) words.push_back(cur);
}

std::vector<std::string> WrapLines(cairo_t* cr, const std::string& text, double width, double size, Font font) {
    std::vector<std::string> words;
    SplitWords(text, words);
    std::vector<std::string> lines;
    std::string line;
    bool lineOpen = false;
    for (const std::string& word : words) {
        if (word == "\n") {
            lines.push_back(line);
            line.clear();
            lineOpen = false;
            continue;
        }
        const std::string trial = lineOpen ? line + " " + word : word;
        if (lineOpen && TextWidth(cr, trial, size, font) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = trial;
        }
        lineOpen = true;
    }
    if (lineOpen || lines.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

const char* FontFolder() { return ZORV_FONT_DIR; }

bool FontsAvailable() { return Fonts().ok; }

void SelectFont(cairo_t* cr, Font font, double size) {
    FontSet& set = Fonts();
    if (set.ok && set.faces[font]) {
        cairo_set_font_face(cr, set.faces[font]);
    } else {
        const bool bold = font == FONT_SANS_BOLD || font == FONT_SERIF_BOLD;
        const bool serif = font == FONT_SERIF || font == FONT_SERIF_BOLD;
        cairo_select_font_face(cr, serif ? "serif" : "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                               bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    }
    cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& utf8, double size, Font font) {
    cairo_save(cr);
    SelectFont(cr, font, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, utf8.c_str(), &ext);
    cairo_restore(cr);
    return ext.x_advance;
}

namespace {

void TextPath(cairo_t* cr, const std::string& utf8, double x, double y, double size, Font font, Align align) {
    SelectFont(cr, font, size);
    cairo_font_extents_t fext;
    cairo_font_extents(cr, &fext);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, utf8.c_str(), &ext);
    double left = x;
    if (align == ALIGN_CENTER) left = x - ext.x_advance / 2;
    if (align == ALIGN_RIGHT) left = x - ext.x_advance;
    // Line box of the font size: put the ascent inside it.
    const double baseline = y + (size + fext.ascent - fext.descent) / 2;
    cairo_new_path(cr);
    cairo_move_to(cr, left, baseline);
    cairo_text_path(cr, utf8.c_str());
}

}  // namespace

void Text(cairo_t* cr, const std::string& utf8, double x, double y, double size, const Color& color, Font font,
          Align align) {
    cairo_save(cr);
    TextPath(cr, utf8, x, y, size, font, align);
    SetColor(cr, color);
    cairo_fill(cr);
    cairo_restore(cr);
}

void OutlinedText(cairo_t* cr, const std::string& utf8, double x, double y, double size, const Color& fill,
                  const Color& outline, double outlineWidth, Font font, Align align) {
    cairo_save(cr);
    TextPath(cr, utf8, x, y, size, font, align);
    SetColor(cr, outline);
    cairo_set_line_width(cr, outlineWidth * 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    SetColor(cr, fill);
    cairo_fill(cr);
    cairo_restore(cr);
}

void TextBox(cairo_t* cr, const std::string& utf8, double x, double y, double w, double h, double size,
             const Color& color, Font font, Align align) {
    double s = size;
    std::vector<std::string> lines;
    for (;;) {
        lines = WrapLines(cr, utf8, w, s, font);
        double widest = 0;
        for (const std::string& l : lines) widest = std::max(widest, TextWidth(cr, l, s, font));
        const double height = lines.size() * s * 1.2;
        if ((height <= h && widest <= w) || s <= size * 0.4) break;
        s *= 0.92;
    }
    const double lineH = s * 1.2;
    double ty = y + (h - lines.size() * lineH) / 2 + (lineH - s) / 2;
    for (const std::string& l : lines) {
        double tx = x;
        if (align == ALIGN_CENTER) tx = x + w / 2;
        if (align == ALIGN_RIGHT) tx = x + w;
        Text(cr, l, tx, ty, s, color, font, align);
        ty += lineH;
    }
}

// ---- Randomness ----

uint32_t Seed(const std::string& name) {
    uint32_t h = 2166136261u;
    for (unsigned char c : name) {
        h ^= c;
        h *= 16777619u;
    }
    return h ? h : 1u;
}

double Random(uint32_t& state) {
    // xorshift32: tiny, fast and the same on every machine.
    if (state == 0) state = 0x9e3779b9u;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return (state >> 8) / 16777216.0;
}

double RandomRange(uint32_t& state, double lo, double hi) { return lo + (hi - lo) * Random(state); }

// ---- Textures and plates ----

void Speckle(cairo_t* cr, double x, double y, double w, double h, const Color& color, int count, double maxRadius,
             uint32_t seed) {
    cairo_save(cr);
    SetColor(cr, color);
    for (int i = 0; i < count; ++i) {
        const double px = RandomRange(seed, x, x + w);
        const double py = RandomRange(seed, y, y + h);
        const double r = RandomRange(seed, maxRadius * 0.3, maxRadius);
        cairo_new_path(cr);
        cairo_arc(cr, px, py, r, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void Parchment(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, double torn, double cutW,
               double cutH, bool even) {
    cairo_save(cr);
    // The outline: straight sides with a small random tear every few pixels,
    // each tear into the sheet, the shallowest a pixel in: with the rim drawn
    // inside the outline, a sheet as large as its picture is not cut by the
    // picture's edges.
    cairo_new_path(cr);
    const double t = 4.0 * torn;
    uint32_t s = seed;
    auto tear = [&s, t] { return RandomRange(s, 1, std::max(1.0, t)); };
    const int stepsX = std::max(2, static_cast<int>(w / 9));
    const int stepsY = std::max(2, static_cast<int>(h / 9));
    const bool cut = cutW > 0 && cutH > 0;
    // A torn-off corner slants down to the right.
    const double cutLeft = x + w - cutW, cutBottom = y + cutH, slant = cutH * 0.4;
    cairo_move_to(cr, x + tear(), y + tear());
    for (int i = 1; i <= stepsX; ++i) {
        const double px = std::min(x + w * i / stepsX, x + w - 1);
        if (cut && px >= cutLeft - slant) break;
        cairo_line_to(cr, px, y + tear());
    }
    if (cut) {
        // In finer tears than the sides.
        const int down = std::max(2, static_cast<int>(cutH / 5));
        const int across = std::max(1, static_cast<int>(cutW / 9));
        cairo_line_to(cr, cutLeft - slant - tear(), y + tear());
        for (int i = 1; i <= down; ++i)
            cairo_line_to(cr, cutLeft - slant * (down - i) / down - tear(), y + cutH * i / down);
        for (int i = 1; i < across; ++i)
            cairo_line_to(cr, cutLeft + cutW * i / across, cutBottom + tear());
        cairo_line_to(cr, x + w - tear(), cutBottom + tear());
    }
    for (int i = 1; i <= stepsY; ++i) {
        const double py = std::min(y + h * i / stepsY, y + h - 1);
        if (cut && py <= cutBottom) continue;
        cairo_line_to(cr, x + w - tear(), py);
    }
    for (int i = stepsX - 1; i >= 0; --i) cairo_line_to(cr, std::max(x + w * i / stepsX, x + 1), y + h - tear());
    for (int i = stepsY - 1; i >= 1; --i) cairo_line_to(cr, x + tear(), y + h * i / stepsY);
    cairo_close_path(cr);
    cairo_path_t* outline = cairo_copy_path(cr);

    // Cream body: lighter in the middle, darker toward the edges.
    const Color edge = Darken(kParchDark, 0.25);
    if (even) {
        SetColor(cr, Mix(kParchLight, kParchDark, 0.35));
        cairo_fill_preserve(cr);
    } else {
        cairo_pattern_t* pat = cairo_pattern_create_radial(x + w * 0.45, y + h * 0.4, 0, x + w / 2, y + h / 2,
                                                           std::max(w, h) * 0.75);
        cairo_pattern_add_color_stop_rgba(pat, 0, kParchLight.r, kParchLight.g, kParchLight.b, 1);
        cairo_pattern_add_color_stop_rgba(pat, 0.7, kParchDark.r, kParchDark.g, kParchDark.b, 1);
        cairo_pattern_add_color_stop_rgba(pat, 1, edge.r, edge.g, edge.b, 1);
        cairo_set_source(cr, pat);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(pat);
    }

    // Fibres and stains, clipped to the sheet; an even sheet has darker
    // edges instead of stains.
    cairo_clip(cr);
    if (even) {
        const double band = 36;
        const double sides[4][4] = {{x, 0, x + band, 0}, {x + w, 0, x + w - band, 0},
                                    {0, y, 0, y + band}, {0, y + h, 0, y + h - band}};
        for (const auto& s4 : sides) {
            cairo_pattern_t* side = cairo_pattern_create_linear(s4[0], s4[1], s4[2], s4[3]);
            cairo_pattern_add_color_stop_rgba(side, 0, edge.r, edge.g, edge.b, 0.8);
            cairo_pattern_add_color_stop_rgba(side, 1, edge.r, edge.g, edge.b, 0);
            cairo_set_source(cr, side);
            cairo_paint(cr);
            cairo_pattern_destroy(side);
        }
    }
    for (int i = 0; i < static_cast<int>(w * h / 900) + 4; ++i) {
        const double px = RandomRange(s, x, x + w), py = RandomRange(s, y, y + h);
        const double len = RandomRange(s, 4, 18);
        const double ang = RandomRange(s, -0.4, 0.4);
        Line(cr, px, py, px + len * std::cos(ang), py + len * std::sin(ang), WithAlpha(Darken(kParchDark, 0.3), 0.10),
             1.0);
    }
    for (int i = 0; !even && i < static_cast<int>(w * h / 40000) + 2; ++i) {
        RadialGlow(cr, RandomRange(s, x, x + w), RandomRange(s, y, y + h), RandomRange(s, 10, 40),
                   WithAlpha(Darken(kParchDark, 0.2), 0.18));
    }
    cairo_reset_clip(cr);

    // Burnt-looking darker rim, along the inside of the outline.
    cairo_new_path(cr);
    cairo_append_path(cr, outline);
    cairo_clip_preserve(cr);
    SetColor(cr, WithAlpha(Darken(kParchDark, 0.55), 0.85));
    cairo_set_line_width(cr, 2.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    cairo_reset_clip(cr);
    cairo_path_destroy(outline);
    cairo_restore(cr);
}

void WoodFrame(cairo_t* cr, double x, double y, double w, double h, double thickness) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, x - thickness, y - thickness, w + 2 * thickness, h + 2 * thickness);
    cairo_rectangle(cr, x + w, y, -w, h);  // opposite winding cuts the hole
    cairo_path_t* ring = cairo_copy_path(cr);
    FillShaded(cr, kWood, 1.5);
    // Grain lines.
    cairo_new_path(cr);
    cairo_append_path(cr, ring);
    cairo_clip(cr);
    uint32_t s = Seed("woodframe") ^ static_cast<uint32_t>(w * 31 + h);
    for (double yy = y - thickness + 2; yy < y + h + thickness; yy += 3.5)
        Line(cr, x - thickness, yy + RandomRange(s, -1, 1), x + w + thickness, yy + RandomRange(s, -1, 1),
             WithAlpha(Darken(kWood, 0.35), 0.25), 0.8);
    cairo_reset_clip(cr);
    cairo_path_destroy(ring);
    cairo_restore(cr);
}

void ButtonPlate(cairo_t* cr, double x, double y, double w, double h, ButtonState state, const Color& base,
                 double radius) {
    // The plate's 1.5-pixel rim stays a pixel inside the rectangle, so that
    // a plate as large as its picture keeps its whole rim.
    const double in = 1.75;
    cairo_save(cr);
    switch (state) {
    case BUTTON_SHADOW:
        cairo_new_path(cr);
        RoundedRectPath(cr, x + 1, y + 1, w - 2, h - 2, radius);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
        cairo_fill(cr);
        break;
    case BUTTON_BASE:
        OutlinedRoundedRect(cr, x + in, y + in, w - 2 * in, h - 2 * in, radius, base, 1.5);
        Highlight(cr, x + w * 0.35, y + h * 0.3, w * 0.3, h * 0.22, 0.35);
        break;
    case BUTTON_ROLLOVER: {
        const Color warm = Mix(Lighten(base, 0.25), Hex(0xffd36b), 0.25);
        OutlinedRoundedRect(cr, x + in, y + in, w - 2 * in, h - 2 * in, radius, warm, 1.5);
        cairo_new_path(cr);
        RoundedRectPath(cr, x + 2.5, y + 2.5, w - 5, h - 5, std::max(1.0, radius - 1.5));
        SetColor(cr, Hex(0xffe9a0, 0.8));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        Highlight(cr, x + w * 0.35, y + h * 0.3, w * 0.32, h * 0.25, 0.5);
        break;
    }
    case BUTTON_ACTIVE:
        // Pressed: shifted toward the lower right, within the same margin.
        OutlinedRoundedRect(cr, x + in + 0.75, y + in + 0.75, w - 2 * in - 0.75, h - 2 * in - 0.75, radius,
                            Darken(base, 0.18), 1.5);
        break;
    }
    cairo_restore(cr);
}

}  // namespace DrawKit
