#include "images/InterfaceKit.h"

#include <cmath>

#include "images/CCaptions.h"

using namespace DrawKit;

namespace InterfaceKit {

ButtonState StateOfName(const std::string& name, bool* faded) {
    std::string stem = name.substr(0, name.size() >= 4 ? name.size() - 4 : name.size());
    auto endsWith = [&](const char* s) {
        const std::string e(s);
        return stem.size() >= e.size() && stem.compare(stem.size() - e.size(), e.size(), e) == 0;
    };
    if (faded) *faded = endsWith("fade");
    if (endsWith("shadow")) return BUTTON_SHADOW;
    if (endsWith("rollover") || endsWith("roll") || endsWith("select") || endsWith("_selected")) return BUTTON_ROLLOVER;
    if (endsWith("active")) return BUTTON_ACTIVE;
    return BUTTON_BASE;
}

void DrawIcon(cairo_t* cr, double cx, double cy, double s, Icon icon, const Color& color) {
    cairo_save(cr);
    cairo_new_path(cr);
    switch (icon) {
    case ICON_UP: {
        const double p[] = {cx, cy - s * 0.45, cx + s * 0.5, cy + s * 0.35, cx - s * 0.5, cy + s * 0.35};
        OutlinedPolygon(cr, p, 3, color, 1.2);
        break;
    }
    case ICON_DOWN: {
        const double p[] = {cx, cy + s * 0.45, cx + s * 0.5, cy - s * 0.35, cx - s * 0.5, cy - s * 0.35};
        OutlinedPolygon(cr, p, 3, color, 1.2);
        break;
    }
    case ICON_LEFT: {
        const double p[] = {cx - s * 0.45, cy, cx + s * 0.35, cy - s * 0.5, cx + s * 0.35, cy + s * 0.5};
        OutlinedPolygon(cr, p, 3, color, 1.2);
        break;
    }
    case ICON_RIGHT: {
        const double p[] = {cx + s * 0.45, cy, cx - s * 0.35, cy - s * 0.5, cx - s * 0.35, cy + s * 0.5};
        OutlinedPolygon(cr, p, 3, color, 1.2);
        break;
    }
    case ICON_PLUS:
        Line(cr, cx - s * 0.4, cy, cx + s * 0.4, cy, color, s * 0.22);
        Line(cr, cx, cy - s * 0.4, cx, cy + s * 0.4, color, s * 0.22);
        break;
    case ICON_MINUS:
        Line(cr, cx - s * 0.4, cy, cx + s * 0.4, cy, color, s * 0.22);
        break;
    case ICON_CHECK:
        cairo_move_to(cr, cx - s * 0.4, cy);
        cairo_line_to(cr, cx - s * 0.1, cy + s * 0.35);
        cairo_line_to(cr, cx + s * 0.45, cy - s * 0.4);
        SetColor(cr, color);
        cairo_set_line_width(cr, s * 0.2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
        break;
    case ICON_NONE:
        break;
    }
    cairo_restore(cr);
}

void DrawButton(cairo_t* cr, int w, int h, ButtonState state, bool faded, const ButtonLook& look,
                const std::string& captionKey, Icon icon) {
    if (faded) cairo_push_group(cr);
    ButtonPlate(cr, 0, 0, w, h, state, faded ? Mix(look.base, Hex(0x9a9a9a), 0.6) : look.base, look.radius);
    if (state != BUTTON_SHADOW) {
        const double shift = state == BUTTON_ACTIVE ? 1 : 0;
        const Color text = state == BUTTON_ROLLOVER ? Lighten(look.text, 0.3) : look.text;
        if (!captionKey.empty()) {
            cairo_save(cr);
            cairo_rectangle(cr, 0, 0, w, h);
            cairo_clip(cr);
            // A dark rim keeps light letters readable on every plate colour.
            const std::string caption = CCaptions::Shared().Get(captionKey);
            cairo_translate(cr, shift, shift);
            TextBox(cr, caption, 5, 1, w - 10, h - 2, look.textSize, text, look.font, ALIGN_CENTER);
            cairo_restore(cr);
        }
        if (icon != ICON_NONE) DrawIcon(cr, w / 2.0 + shift, h / 2.0 + shift, std::min(w, h) * 0.55, icon, text);
    }
    if (faded) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, 0.55);
    }
}

void AddButtons(CArtRegistry& reg, const std::string& stem, std::initializer_list<const char*> suffixes,
                const std::string& ext, int w, int h, const ButtonLook& look, const std::string& captionKey,
                Icon icon) {
    for (const char* suffix : suffixes) {
        const std::string name = stem + suffix + ext;
        bool faded = false;
        const ButtonState state = StateOfName(name, &faded);
        reg.Add(name, w, h, [=](cairo_t* cr, int cw, int ch) { DrawButton(cr, cw, ch, state, faded, look, captionKey, icon); });
    }
}

void AddCaption(CArtRegistry& reg, const std::string& name, int w, int h, const std::string& captionKey, double size,
                const Color& color, Font font, Align align) {
    reg.Add(name, w, h, [=](cairo_t* cr, int cw, int ch) {
        TextBox(cr, CCaptions::Shared().Get(captionKey), 2, 0, cw - 4, ch, size, color, font, align);
    });
}

void AddParchment(CArtRegistry& reg, const std::string& name, int w, int h) {
    reg.Add(name, w, h, [name](cairo_t* cr, int cw, int ch) { Parchment(cr, 0, 0, cw, ch, Seed(name)); });
}

void DrawField(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_new_path(cr);
    RoundedRectPath(cr, x + 0.5, y + 0.5, w - 1, h - 1, 3);
    VerticalGradient(cr, x, y, w, h, Hex(0xe9dcc0), Hex(0xfffaf0));
    cairo_new_path(cr);
    RoundedRectPath(cr, x + 0.5, y + 0.5, w - 1, h - 1, 3);
    SetColor(cr, Darken(kParchDark, 0.45));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Line(cr, x + 2, y + 2, x + w - 2, y + 2, Hex(0x000000, 0.15), 1.5);
    cairo_restore(cr);
}

void RuleListRows(cairo_t* cr, double left, double right, int top, int rowH, int rows, const Color& color) {
    for (int k = top < 8 ? 1 : 0; k <= rows; ++k) {
        const double y = top + k * rowH + 0.5;
        Line(cr, left, y, right, y, color, 1);
    }
}

}  // namespace InterfaceKit
