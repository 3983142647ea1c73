#include "images/FrameEdges.h"

#include <fnmatch.h>

namespace FrameEdges {

const std::vector<Meant>& List() {
    static const std::vector<Meant> list = {
        {"*.jpg", ALL, "a JPEG has no transparency: a full picture (background, dialog face, story panel)"},
        // The world.
        {"botpushright*.png", RIGHT, "its claws on the crate it pushes, in the next cell"},
    };
    return list;
}

bool Names(const Meant& entry, const std::string& name) { return fnmatch(entry.pattern, name.c_str(), 0) == 0; }

unsigned MeantEdges(const std::string& name) {
    unsigned edges = 0;
    for (const Meant& m : List())
        if (Names(m, name)) edges |= m.edges;
    return edges;
}

}  // namespace FrameEdges
