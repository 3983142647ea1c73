#include <cmath>
#include <string>

#include "images/DrawKit.h"
#include "images/InterfaceFamilies.h"
#include "images/IntroArt.h"
#include "images/SceneArt.h"

using namespace DrawKit;

namespace InterfaceFamilies {

void RegisterIntroAndScenes(CArtRegistry& registry) {
    registry.Add("logozj-eyes.png", IntroArt::kEyesW, IntroArt::kEyesH, IntroArt::DrawLogoEyes);
    for (int i = 0; i < 8; ++i)
        registry.Add("background" + std::to_string(i) + ".jpg", 800, 600,
                     [i](cairo_t* cr, int w, int h) { SceneArt::LevelBackground(cr, w, h, i); });
    registry.Add("flash.jpg", 800, 600, [](cairo_t* cr, int w, int h) {
        VerticalGradient(cr, 0, 0, w, h, Hex(0xffffff), Hex(0xfff4e0));
    });
    registry.Add("dimmer.png", 800, 600, [](cairo_t* cr, int, int) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
        cairo_paint(cr);
    });
    // The board grid: 32 x 24 cells of 24 pixels, drawn as thin lines.
    registry.Add("grid.png", 32 * 24 + 1, 24 * 24 + 1, [](cairo_t* cr, int w, int h) {
        cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
        cairo_set_line_width(cr, 1);
        for (int x = 0; x <= 32; ++x) {
            cairo_move_to(cr, x * 24 + 0.5, 0);
            cairo_line_to(cr, x * 24 + 0.5, h);
        }
        for (int y = 0; y <= 24; ++y) {
            cairo_move_to(cr, 0, y * 24 + 0.5);
            cairo_line_to(cr, w, y * 24 + 0.5);
        }
        cairo_stroke(cr);
    });
    // The game's mouse pointer: a brass arrow, hot spot at the top-left.
    registry.Add("mousepointer.tga", 24, 28, [](cairo_t* cr, int, int) {
        const double arrow[] = {2, 2, 2, 22, 7.5, 17, 11.5, 25.5, 15, 24, 11, 15.5, 18, 15.5};
        OutlinedPolygon(cr, arrow, 7, Hex(0xf3d27a), 1.6);
        Highlight(cr, 6, 10, 3, 6, 0.5);
    });
    registry.Add("hourglass.tga", 24, 32, [](cairo_t* cr, int, int) {
        OutlinedRoundedRect(cr, 2, 1.6, 20, 3.6, 1.5, kWood, 1.2);
        OutlinedRoundedRect(cr, 2, 26.8, 20, 3.6, 1.5, kWood, 1.2);
        const double glass[] = {4, 5, 20, 5, 13.5, 16, 20, 27, 4, 27, 10.5, 16};
        OutlinedPolygon(cr, glass, 6, Hex(0xdff4ff, 0.7), 1.2);
        const double sandTop[] = {7, 8, 17, 8, 12, 14.5};
        OutlinedPolygon(cr, sandTop, 3, Hex(0xe0b862), 0);
        const double sandBottom[] = {6, 26, 18, 26, 12, 20};
        OutlinedPolygon(cr, sandBottom, 3, Hex(0xe0b862), 0);
    });
}

}  // namespace InterfaceFamilies
