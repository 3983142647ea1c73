#include "images/IntroArt.h"

#include <cmath>

#include "images/CCaptions.h"
#include "images/DrawKit.h"
#include "images/SceneArt.h"

using namespace DrawKit;

namespace IntroArt {

namespace {

const Color kFur = Hex(0xe8832a);
const Color kFurLight = Hex(0xf7c98a);

// The maker's mascot: a round fox-like head. Its eyes are centred on the
// eyes picture's area; everything is placed relative to that rectangle.
void MascotHead(cairo_t* cr, double ox, double oy) {
    const double cx = ox + kEyesW / 2.0, cy = oy + kEyesH / 2.0 + 8;
    // Ears.
    const double earL[] = {cx - 62, cy - 30, cx - 50, cy - 92, cx - 14, cy - 52};
    const double earR[] = {cx + 62, cy - 30, cx + 50, cy - 92, cx + 14, cy - 52};
    OutlinedPolygon(cr, earL, 3, kFur, 3);
    OutlinedPolygon(cr, earR, 3, kFur, 3);
    const double innerL[] = {cx - 54, cy - 40, cx - 48, cy - 78, cx - 26, cy - 52};
    const double innerR[] = {cx + 54, cy - 40, cx + 48, cy - 78, cx + 26, cy - 52};
    OutlinedPolygon(cr, innerL, 3, Hex(0x7a3a1a), 0);
    OutlinedPolygon(cr, innerR, 3, Hex(0x7a3a1a), 0);
    OutlinedEllipse(cr, cx, cy + 6, 72, 62, kFur, 3);
    // Muzzle.
    OutlinedEllipse(cr, cx, cy + 40, 38, 26, kFurLight, 2);
    OutlinedEllipse(cr, cx, cy + 24, 9, 6, Hex(0x3a2418), 1);
    Highlight(cr, cx - 30, cy - 28, 26, 16, 0.4);
}

void OpenEye(cairo_t* cr, double cx, double cy) {
    OutlinedEllipse(cr, cx, cy, 15, 13, Hex(0xffffff), 2);
    OutlinedEllipse(cr, cx + 2, cy + 1, 8, 9, Hex(0x2a6a3a), 1);
    OutlinedEllipse(cr, cx + 2, cy + 1, 4, 5, Hex(0x101010), 0);
    OutlinedEllipse(cr, cx - 1, cy - 3, 2.2, 2.2, Hex(0xffffff), 0);
}

void ShutEye(cairo_t* cr, double cx, double cy) {
    OutlinedEllipse(cr, cx, cy, 16, 14, kFur, 0);
    cairo_save(cr);
    SetColor(cr, Hex(0x5a2a10));
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy - 6, 13, M_PI * 0.2, M_PI * 0.8);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace

void DrawLoadScreen(cairo_t* cr, int w, int h) {
    SceneArt::IslandScene(cr, w, h, Seed("loadscreen"), 0.55);
    VerticalGradient(cr, 0, h * 0.72, w, h * 0.28, Hex(0x000000, 0), Hex(0x000000, 0.55));
    OutlinedText(cr, CCaptions::Shared().Get("title_line1"), w / 2.0, 70, 40, Hex(0xffe6a8), Hex(0x4a2208), 3,
                 FONT_SERIF_BOLD, ALIGN_CENTER);
    OutlinedText(cr, CCaptions::Shared().Get("title_line2"), w / 2.0, 125, 30, Hex(0xffb347), Hex(0x4a2208), 3,
                 FONT_SERIF_BOLD, ALIGN_CENTER);
    // The trough the progress bar grows into.
    OutlinedRoundedRect(cr, kBarX - 4, kBarY - 4, kBarW + 8, kBarH + 8, 6, Hex(0x3a2a1a), 1.5);
    OutlinedText(cr, CCaptions::Shared().Get("loading"), kBarX - 14, kBarY - 3, 18, Hex(0xffffff), Hex(0x2a1a0a),
                 2, FONT_SANS_BOLD, ALIGN_RIGHT);
}

void DrawProgressBar(cairo_t* cr, int w, int h) {
    cairo_new_path(cr);
    RoundedRectPath(cr, 0.5, 0.5, w - 1, h - 1, h / 2.0 - 1);
    cairo_pattern_t* pat = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(pat, 0, 1.0, 0.87, 0.45);
    cairo_pattern_add_color_stop_rgb(pat, 0.5, 1.0, 0.55, 0.12);
    cairo_pattern_add_color_stop_rgb(pat, 1, 0.75, 0.25, 0.05);
    cairo_set_source(cr, pat);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(pat);
    SetColor(cr, Hex(0x6a2a08));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Line(cr, h / 2.0, 4, w - h / 2.0, 4, Hex(0xffffff, 0.45), 2);
}

void DrawIcon(cairo_t* cr, int w, int h) {
    const double s = w / 32.0;
    cairo_save(cr);
    cairo_scale(cr, s, h / 32.0);
    // A flask with a flame: the professor's trade in one picture.
    const double flask[] = {12, 3, 20, 3, 20, 12, 28, 27, 26, 30, 6, 30, 4, 27, 12, 12};
    OutlinedPolygon(cr, flask, 8, Hex(0xbfe9f7), 1.5);
    const double liquid[] = {9, 19, 23, 19, 27, 27, 25.5, 29, 6.5, 29, 5, 27};
    OutlinedPolygon(cr, liquid, 6, Hex(0xe8832a), 0);
    OutlinedEllipse(cr, 14, 24, 2, 2, Hex(0xffd36b), 0);
    OutlinedEllipse(cr, 19, 22, 1.5, 1.5, Hex(0xffd36b), 0);
    cairo_restore(cr);
}

void DrawLogoSplash(cairo_t* cr, int w, int h) {
    VerticalGradient(cr, 0, 0, w, h, Hex(0x1d2a4a), Hex(0x0b1020));
    RadialGlow(cr, kEyesX + kEyesW / 2.0, kEyesY + 20, 220, Hex(0x3a5a9a, 0.6));
    MascotHead(cr, kEyesX, kEyesY);
    OpenEye(cr, kEyesX + 20, kEyesY + kEyesH / 2.0);
    OpenEye(cr, kEyesX + 60, kEyesY + kEyesH / 2.0);
    OutlinedText(cr, CCaptions::Shared().Get("maker_name1"), 410, 150, 64, Hex(0xffc46b), Hex(0x3a1a08), 3,
                 FONT_SANS_BOLD, ALIGN_LEFT);
    OutlinedText(cr, CCaptions::Shared().Get("maker_name2"), 410, 222, 64, Hex(0xffc46b), Hex(0x3a1a08), 3,
                 FONT_SANS_BOLD, ALIGN_LEFT);
    Text(cr, CCaptions::Shared().Get("maker_tagline"), 414, 300, 20, Hex(0xc8d4f0), FONT_SANS, ALIGN_LEFT);
    (void)w;
    (void)h;
}

void DrawLogoEyes(cairo_t* cr, int w, int h) {
    (void)w;
    ShutEye(cr, 20, h / 2.0);
    ShutEye(cr, 60, h / 2.0);
}

void DrawTitleSplash(cairo_t* cr, int w, int h) {
    SceneArt::IslandScene(cr, w, h, Seed("titlesplash"), 0.85);
    VerticalGradient(cr, 0, 0, w, 200, Hex(0x000000, 0.45), Hex(0x000000, 0));
    OutlinedText(cr, CCaptions::Shared().Get("title_line1"), w / 2.0, 60, 52, Hex(0xffe6a8), Hex(0x4a2208), 4,
                 FONT_SERIF_BOLD, ALIGN_CENTER);
    OutlinedText(cr, CCaptions::Shared().Get("title_line2"), w / 2.0, 130, 38, Hex(0xffb347), Hex(0x4a2208), 3,
                 FONT_SERIF_BOLD, ALIGN_CENTER);
}

void DrawClosingSplash(cairo_t* cr, int w, int h) {
    VerticalGradient(cr, 0, 0, w, h, Hex(0x2a1a10), Hex(0x120a06));
    Parchment(cr, 150, 150, 500, 300, Seed("closingsplash"));
    TextBox(cr, CCaptions::Shared().Get("splash_tagline"), 165, 190, 470, 220, 28, kInk, FONT_SERIF_BOLD,
            ALIGN_CENTER);
}

}  // namespace IntroArt
