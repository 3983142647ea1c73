// Device pieces that more than one family draws: the transport tube (also in
// the professor's arrival and departure frames).
#pragma once

#include <cairo.h>

namespace worldart {

enum class TubeKind { Entrance, Exit };
enum class TubePart { Whole, Back, Front };

// The tube stands on its cell and reaches one cell up: glass between a brass
// cap and a metal base. Back is everything behind the professor, Front the
// glass sheen and the rims in front of him.
void DrawTube(cairo_t* cr, TubeKind kind, TubePart part, double glow);

}  // namespace worldart
