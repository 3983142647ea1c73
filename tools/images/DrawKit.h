// Shared drawing routines for every picture the builder makes: colours,
// outlined shapes with one soft gradient, glows, text in the shipped DejaVu
// fonts, parchment and button plates. Keeping all families on these few
// routines is what makes pictures drawn apart look like one game.
//
// All routines draw with Cairo into the given context and leave its state
// (source, line width, path) as the caller would expect after a fill: each one
// saves and restores the context except where it says it consumes the path.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

namespace DrawKit {

struct Color {
    double r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB with an alpha of 0..1.
Color Hex(uint32_t rgb, double alpha = 1.0);
// Components 0..255.
Color Rgb(int r, int g, int b, double alpha = 1.0);
// Moves the colour toward black / white by amount (0..1); alpha is kept.
Color Darken(const Color& c, double amount);
Color Lighten(const Color& c, double amount);
// Linear mix: t = 0 gives a, t = 1 gives b (alpha mixed too).
Color Mix(const Color& a, const Color& b, double t);
Color WithAlpha(const Color& c, double alpha);
void SetColor(cairo_t* cr, const Color& c);

// The interface's ink and parchment anchors.
extern const Color kInk;        // (24, 34, 83)
extern const Color kParchLight; // #f3e3bf
extern const Color kParchDark;  // #e2c98f
extern const Color kWood;       // #a0682d
extern const Color kBrass;      // #c9a13b

// ---- Paths (only build the path; nothing is drawn) ----
void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius);
void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry);
// Closed polygon through points (x0, y0, x1, y1, ...).
void PolygonPath(cairo_t* cr, const double* xy, int points);

// ---- Outlined shapes in the house style ----
// Fills the current path with a vertical gradient of fill (lighter at the top,
// darker at the bottom: light comes from the upper left) and strokes it with
// the fill darkened (never black). outline 0 draws no outline. Consumes the path.
void FillShaded(cairo_t* cr, const Color& fill, double outline = 1.5);
// Fills the current path flat, then outlines it. Consumes the path.
void FillFlat(cairo_t* cr, const Color& fill, double outline = 1.5);
void OutlinedRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, const Color& fill,
                         double outline = 1.5);
void OutlinedEllipse(cairo_t* cr, double cx, double cy, double rx, double ry, const Color& fill,
                     double outline = 1.5);
void OutlinedPolygon(cairo_t* cr, const double* xy, int points, const Color& fill, double outline = 1.5);
// A thick stroked line with round caps.
void Line(cairo_t* cr, double x0, double y0, double x1, double y1, const Color& color, double width);

// ---- Fills, glows, highlights ----
void VerticalGradient(cairo_t* cr, double x, double y, double w, double h, const Color& top, const Color& bottom);
void HorizontalGradient(cairo_t* cr, double x, double y, double w, double h, const Color& left,
                        const Color& right);
// Fills the current path with a gradient from `from` at (x0, y0) to `to` at
// (x1, y1); the path is kept, for the outline drawn next.
void FillLinear(cairo_t* cr, double x0, double y0, double x1, double y1, const Color& from, const Color& to);
// A round glow: colour at the centre fading to transparent at radius.
void RadialGlow(cairo_t* cr, double cx, double cy, double radius, const Color& inner);
// An oval of the colour at its centre fading to transparent at its edge
// (radii rx, ry): a shadow on the ground under something floating.
void SoftOval(cairo_t* cr, double cx, double cy, double rx, double ry, const Color& color);
// The one soft highlight of a shape: a white oval toward the upper left.
void Highlight(cairo_t* cr, double cx, double cy, double rx, double ry, double alpha = 0.45);
// A soft drop shadow under a rounded rectangle.
void SoftShadow(cairo_t* cr, double x, double y, double w, double h, double radius, double alpha = 0.35);

// ---- Text in the shipped fonts (DejaVu, through FreeType) ----
enum Font { FONT_SANS, FONT_SANS_BOLD, FONT_SERIF, FONT_SERIF_BOLD };
enum Align { ALIGN_LEFT, ALIGN_CENTER, ALIGN_RIGHT };
// Selects the font and pixel size on the context (for callers that measure).
void SelectFont(cairo_t* cr, Font font, double size);
double TextWidth(cairo_t* cr, const std::string& utf8, double size, Font font = FONT_SANS);
// One line; (x, y) is the top of the line box, x the left edge, centre or
// right edge by align.
void Text(cairo_t* cr, const std::string& utf8, double x, double y, double size, const Color& color,
          Font font = FONT_SANS, Align align = ALIGN_LEFT);
// One line with an outline around the letters (captions over pictures).
void OutlinedText(cairo_t* cr, const std::string& utf8, double x, double y, double size, const Color& fill,
                  const Color& outline, double outlineWidth, Font font = FONT_SANS_BOLD, Align align = ALIGN_CENTER);
// Wraps the text at blanks ("\n" forces a break) into the box, shrinking the
// size (down to 40 %) until it fits, and centres the block vertically.
void TextBox(cairo_t* cr, const std::string& utf8, double x, double y, double w, double h, double size,
             const Color& color, Font font = FONT_SANS, Align align = ALIGN_CENTER);
// True when every font file could be opened (the build fails otherwise).
bool FontsAvailable();
// The folder the DejaVu fonts are read from: fonts-dejavu-core's, where an
// installed game's data folder links them from too.
const char* FontFolder();

// ---- Deterministic randomness (same name, same picture) ----
uint32_t Seed(const std::string& name);
// Next value in [0, 1) of the sequence held in state.
double Random(uint32_t& state);
// Next value in [lo, hi).
double RandomRange(uint32_t& state, double lo, double hi);

// ---- Textures and plates ----
// Scattered dots of colour (radius up to maxRadius) inside the rectangle.
void Speckle(cairo_t* cr, double x, double y, double w, double h, const Color& color, int count, double maxRadius,
             uint32_t seed);
// A parchment sheet: cream gradient, fibres, darker torn edges. torn = 0
// gives straight edges. A cutW x cutH piece of its top-right corner may be
// torn away, with torn edges too. An even sheet is one cream all over but
// for a darker band along its edges, without stains: a band of rows or
// columns cut out of its middle leaves no seam.
void Parchment(cairo_t* cr, double x, double y, double w, double h, uint32_t seed, double torn = 1.0,
               double cutW = 0, double cutH = 0, bool even = false);
// A wooden frame strip around a rectangle (inner edge at the rectangle).
void WoodFrame(cairo_t* cr, double x, double y, double w, double h, double thickness);

enum ButtonState { BUTTON_BASE, BUTTON_ROLLOVER, BUTTON_ACTIVE, BUTTON_SHADOW };
// A button plate: base, rollover (lighter with a warm glow), active (darker,
// shifted 1 px) or shadow (a soft dark silhouette to draw under the button).
void ButtonPlate(cairo_t* cr, double x, double y, double w, double h, ButtonState state, const Color& base,
                 double radius = 6);

}  // namespace DrawKit
