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
    };

    // Registering a name twice is a builder error (reported by Duplicates()).
    void Add(const std::string& name, int width, int height, DrawFn draw);
    const Art* Find(const std::string& name) const;
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
