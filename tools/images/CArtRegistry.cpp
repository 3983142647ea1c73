#include "images/CArtRegistry.h"

#include <cmath>
#include <cstdio>

void CArtRegistry::Add(const std::string& name, int width, int height, DrawFn draw) {
    if (arts_.count(name)) {
        fprintf(stderr, "picture registered twice: %s\n", name.c_str());
        ++duplicates_;
        return;
    }
    arts_[name] = Art{name, width, height, std::move(draw)};
}

const CArtRegistry::Art* CArtRegistry::Find(const std::string& name) const {
    auto it = arts_.find(name);
    return it == arts_.end() ? nullptr : &it->second;
}

void CArtRegistry::SetOrigin(const std::string& name, int originX, int originY) {
    auto it = arts_.find(name);
    if (it == arts_.end()) return;
    it->second.hasOrigin = true;
    it->second.originX = originX;
    it->second.originY = originY;
}

bool CArtRegistry::Paint(cairo_t* cr, const std::string& name, double x, double y, double scale) const {
    const Art* art = Find(name);
    if (!art || !art->draw) {
        fprintf(stderr, "no picture %s to paint\n", name.c_str());
        return false;
    }
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(std::ceil(art->width * scale)),
                                                    static_cast<int>(std::ceil(art->height * scale)));
    cairo_t* c = cairo_create(s);
    cairo_scale(c, scale, scale);
    art->draw(c, art->width, art->height);
    cairo_destroy(c);
    cairo_set_source_surface(cr, s, x, y);
    cairo_paint(cr);
    cairo_surface_destroy(s);
    return true;
}

bool CArtRegistry::PaintOnCell(cairo_t* cr, const std::string& name, double cellLeft, double cellTop,
                               double scale) const {
    const Art* art = Find(name);
    // A world picture's cell corner lies at (ox - 14, oy - 5) inside it.
    const double ox = art && art->hasOrigin ? art->originX : 14, oy = art && art->hasOrigin ? art->originY : 5;
    return Paint(cr, name, cellLeft - (ox - 14) * scale, cellTop - (oy - 5) * scale, scale);
}
