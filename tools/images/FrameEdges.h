// The pictures whose drawing is meant to meet an edge of its frame, each with
// the edges it may meet and why: a tile that joins its neighbour, feet on the
// ground line, an opaque picture that fills its frame. Every other picture
// keeps its drawing off all four edges, so that nothing the player sees ends
// in a straight cut where its frame happens to end (the image pack test holds
// every picture to this list).
#pragma once

#include <string>
#include <vector>

namespace FrameEdges {

enum Edge : unsigned { LEFT = 1, TOP = 2, RIGHT = 4, BOTTOM = 8, ALL = 15 };

struct Meant {
    const char* pattern;  // picture names or shell patterns (fnmatch) naming a family, blank-separated
    unsigned edges;       // the edges its drawing may meet
    const char* why;
};

const std::vector<Meant>& List();
bool Names(const Meant& entry, const std::string& name);
// The edges the list lets the picture's drawing meet: those of every entry
// whose pattern matches the name (0 when none does).
unsigned MeantEdges(const std::string& name);

}  // namespace FrameEdges
