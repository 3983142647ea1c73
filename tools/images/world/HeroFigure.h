// The professor as one parametric figure: every series of the hero is a
// function from the frame index to a HeroPose.
#pragma once

#include <cairo.h>

namespace worldart {

enum class HeroView { Side, Front, Back, ThreeQuarter };
enum class HeroFace { Normal, Surprised, Closed, Pained, Whistle, Happy, Dizzy };
enum class HeroProp { None, FrostGun, HeatGun, Whistle, Balloon, Remote, Watch, Cloth };

struct HeroPose {
    HeroView view = HeroView::Side;
    HeroFace face = HeroFace::Normal;
    HeroProp prop = HeroProp::None;
    double propT = 0;      // prop-specific phase (balloon size, muzzle flash, sparks)
    double dx = 0, dy = 0; // offset of the feet from the anchor
    double lean = 0;       // body tilt in radians, positive leans forward
    double spin = 0;       // whole-figure rotation about the waist
    double squash = 1;     // vertical scale of the figure
    double scale = 1;      // uniform scale (tucked somersaults)
    double legFront = 0, legBack = 0;  // leg swing, radians, positive forward
    double armFront = 0, armBack = 0;  // arm swing from hanging, positive forward
    double armSpread = 1;  // front and back views: 1 swings the arms out sideways, less toward the viewer
    double headTilt = 0;   // radians, positive nods forward
    double blink = 0;      // 0 open .. 1 closed
    double soot = 0;       // 0 .. 1 blackened
    double frost = 0;      // 0 .. 1 frozen coat
    double heat = 0;       // 0 .. 1 glowing hot
    double scarfWave = 0;  // phase of the scarf tail
    bool crawl = false;    // on hands and knees
};

// Draws the figure with its feet at the current origin, facing right (mirror
// the context for left). About 46 px tall standing.
void DrawHero(cairo_t* cr, const HeroPose& pose);

}  // namespace worldart
