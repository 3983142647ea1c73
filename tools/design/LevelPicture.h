// A level's picture as the play screen shows it once the level is built (the
// same code as the runner's --shot): its background, every piece, the hero
// in the entrance tube. Needs the headless world (CHeadlessWorld).
#pragma once

#include <cairo.h>

#include <string>

class CLevel;

// The whole 800 x 600 screen as a new Cairo image (the caller destroys it);
// null with the reason when the level cannot be built.
cairo_surface_t* PictureLevel(CLevel* level, std::string* error);
