// Small drawing kit shared by the world families: colours, outlined shaded
// shapes, the frozen and heated looks, captions, and the helper that places a
// picture around its cell anchor.
#pragma once

#include "images/CArtRegistry.h"
#include "images/DrawKit.h"

#include <cairo.h>

#include <functional>
#include <string>

namespace worldart {

// The shared colour type; the helpers below are thin shorthands over DrawKit
// so the world families read compactly.
using Rgb = DrawKit::Color;

Rgb Hex(unsigned v);
using DrawKit::FillLinear;
using DrawKit::Mix;
using DrawKit::SetColor;
Rgb Darker(const Rgb& c, double f = 0.55);
Rgb Lighter(const Rgb& c, double f = 0.35);
void SetColor(cairo_t* cr, const Rgb& c, double alpha);

// Anchor palette.
namespace pal {
extern const Rgb kWood, kPlank, kNail, kMetal, kRivet, kMetalShadow, kRubber, kValve;
extern const Rgb kGrass, kSoil, kSand, kIce, kBlue, kRed, kYellow, kFrost;
extern const Rgb kHeatLow, kHeatHigh, kCrimson, kTeal, kBrass, kSkin, kScarf, kBoot;
}

// Paths.
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r);

// DrawKit::FillShaded with an opacity; the box is kept for call sites that
// name the extent of the shape. The path is consumed.
void Shade(cairo_t* cr, const Rgb& c, double x0, double y0, double x1, double y1,
           double line = 1.5, double alpha = 1.0);
// Flat fill with an outline.
void Flat(cairo_t* cr, const Rgb& c, double line = 1.5, double alpha = 1.0);
void Stroke(cairo_t* cr, const Rgb& c, double width, double alpha = 1.0);

// Draws `draw` and then tints what it drew: frozen (0..1) lays a blue-white
// coat with ice highlights over it, heat (0..1) a red-orange glow. The box
// (x0, y0)-(x1, y1) is where the highlights and icicles go.
using Painter = std::function<void(cairo_t*)>;
void Tinted(cairo_t* cr, const Painter& draw, double frozen, double heat,
            double x0, double y0, double x1, double y1);
// Draws `draw` with a uniform opacity.
void WithAlpha(cairo_t* cr, const Painter& draw, double alpha);

// A few deterministic pseudo-random numbers for speckles and sparks.
double Noise(unsigned seed, unsigned i);

// Words from the caption table (key), or `fallback` while the table lacks the
// key, drawn in the shipped bold font with an outline, centred on cx with the
// top of the line at y.
void Caption(cairo_t* cr, const std::string& key, const std::string& fallback, double cx,
             double y, double size, const Rgb& fill, const Rgb& outline, double alpha = 1.0);

// Registers a world picture. (ox, oy) is the sprite's origin; the canvas is
// placed so that the anchor cell's top-left corner lies at (ox - 14, oy - 5)
// inside the image, and `draw` paints in cell coordinates (the anchor cell is
// (0, 0)-(24, 24)). right and bottom are the furthest cell coordinates the
// drawing reaches; the canvas ends there.
void AddCell(CArtRegistry& reg, const std::string& name, int ox, int oy, int right,
             int bottom, const Painter& draw);

// The pixels a drawing covers, in cell coordinates: the first and last
// column and row holding anything drawn (empty when it draws nothing). Pixels
// line up with those of every canvas, whose corners lie a whole number of
// pixels from the cell's.
struct InkBox {
    int left = 1 << 20, top = 1 << 20, right = -(1 << 20), bottom = -(1 << 20);
    bool Empty() const { return right < left; }
    void Add(const InkBox& other);
};
InkBox MeasureInk(const Painter& draw);
// The whole-pixel sideways shift that keeps everything a series draws (its
// ink, measured where it would be drawn) a pixel clear of the left and right
// edges of its canvas (origin (ox, oy), reaching to right, bottom), save the
// edges the pictures of that name may meet (images/FrameEdges.h). One shift
// for every frame keeps the figure from jumping between them. A drawing that
// cannot be brought inside, or runs over the top or bottom, is reported on
// stderr and left where it is.
int ShiftInside(const std::string& name, const InkBox& ink, int ox, int oy, int right, int bottom);
// The right edge (in cell coordinates) a series' canvas needs: `right`, or
// further right as far as its ink reaches, a pixel clear, save for pictures
// whose name may meet that edge. A canvas grown to the right keeps its
// origin, so the figure stays where it is, where a shift would move it.
int FrameRight(const std::string& name, const InkBox& ink, int right);

// Left edge and top edge of the canvas in cell coordinates for an origin.
inline double CanvasLeft(int ox) { return 14.0 - ox; }
inline double CanvasTop(int oy) { return 5.0 - oy; }

}  // namespace worldart
