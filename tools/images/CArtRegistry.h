// Every picture of the image pack is registered here by name with its size,
// origin-free canvas and a drawing function. The image step walks the list of
// required names, draws each registered picture with Cairo and encodes it by
// the name's three-letter type (png, tga, jpg).
#pragma once

#include <cairo.h>

#include <functional>
#include <map>
#include <string>

class CArtRegistry {
public:
    // Draws the picture into a cleared, transparent w x h ARGB32 canvas.
    using DrawFn = std::function<void(cairo_t* cr, int w, int h)>;

    struct Art {
        std::string name;
        int width = 0;
        int height = 0;
        DrawFn draw;
        // World pictures: the sprite origin the game places them by.
        bool hasOrigin = false;
        int originX = 0;
        int originY = 0;
    };

    // Registering a name twice is a builder error (reported by Duplicates()).
    void Add(const std::string& name, int width, int height, DrawFn draw);
    void SetOrigin(const std::string& name, int originX, int originY);
    const Art* Find(const std::string& name) const;
    // Draws a registered picture with its top-left corner at (x, y), or with
    // the top-left corner of its cell at (x, y) for a world picture placed by
    // its origin as in play. False when the name is not registered. A scale
    // draws the picture at that size (its drawing, not its pixels, scaled).
    bool Paint(cairo_t* cr, const std::string& name, double x, double y, double scale = 1.0) const;
    bool PaintOnCell(cairo_t* cr, const std::string& name, double cellLeft, double cellTop,
                     double scale = 1.0) const;
    const std::map<std::string, Art>& All() const { return arts_; }
    int Duplicates() const { return duplicates_; }

private:
    std::map<std::string, Art> arts_;
    int duplicates_ = 0;
};

// The interface: menus, map, parchment, dialogs, counters, texts, backgrounds,
// intro, editor interface.
void RegisterInterfaceArt(CArtRegistry& registry);
// The world: professor, bots, terrain, ladders, objects, devices, power-ups,
// gunshots, effects and overlays on the board.
void RegisterWorldArt(CArtRegistry& registry);
