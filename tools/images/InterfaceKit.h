// Building blocks of the interface families: button pictures in their
// states with a caption or an icon, caption-only text pictures, parchment
// pages. Captions are keys of the caption table, read when the picture is
// drawn.
#pragma once

#include <string>

#include "images/CArtRegistry.h"
#include "images/DrawKit.h"

namespace InterfaceKit {

enum Icon { ICON_NONE, ICON_UP, ICON_DOWN, ICON_LEFT, ICON_RIGHT, ICON_PLUS, ICON_MINUS, ICON_CHECK };

struct ButtonLook {
    DrawKit::Color base = DrawKit::kWood;
    DrawKit::Color text = DrawKit::Hex(0xfff3d6);
    double textSize = 15;
    double radius = 7;
    DrawKit::Font font = DrawKit::FONT_SANS_BOLD;
};

// The state a picture name stands for, from its ending: "shadow", "roll" or
// "rollover" or "select", "active", "fade"; anything else is the base look.
DrawKit::ButtonState StateOfName(const std::string& name, bool* faded);

// Draws a button plate in the state, with the caption (a caption key, may be
// empty) or the icon centred on it. faded draws it greyed (a disabled look).
void DrawButton(cairo_t* cr, int w, int h, DrawKit::ButtonState state, bool faded, const ButtonLook& look,
                const std::string& captionKey, Icon icon);
void DrawIcon(cairo_t* cr, double cx, double cy, double size, Icon icon, const DrawKit::Color& color);

// Registers stem + suffix + ext for every suffix, each drawn in the state its
// suffix names.
void AddButtons(CArtRegistry& reg, const std::string& stem, std::initializer_list<const char*> suffixes,
                const std::string& ext, int w, int h, const ButtonLook& look, const std::string& captionKey,
                Icon icon = ICON_NONE);
// A transparent picture holding only a caption, centred.
void AddCaption(CArtRegistry& reg, const std::string& name, int w, int h, const std::string& captionKey,
                double size, const DrawKit::Color& color, DrawKit::Font font = DrawKit::FONT_SANS_BOLD,
                DrawKit::Align align = DrawKit::ALIGN_CENTER);
// A parchment page filling the picture.
void AddParchment(CArtRegistry& reg, const std::string& name, int w, int h);
// A cream inset field (text boxes, list boxes), opaque or see-through edges.
void DrawField(cairo_t* cr, double x, double y, double w, double h);
// Rules the rows of a list box: rows rowH high from y top, a line on the
// first pixel row of each and one under the last (none on the first row's
// top when it lies against the frame), from left to right.
void RuleListRows(cairo_t* cr, double left, double right, int top, int rowH, int rows, const DrawKit::Color& color);

}  // namespace InterfaceKit
