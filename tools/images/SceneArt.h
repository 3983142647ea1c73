// Full-screen scenes: the island under the volcano (menus, load screen,
// splashes, level map) and the eight level backgrounds. Scenes are muted so
// the pieces drawn over them read clearly.
#pragma once

#include <cairo.h>
#include <cstdint>

namespace SceneArt {

// The island with its volcano, sea and sky; brightness 0..1 (1 = full colour).
// The volcano stands at 0.62 of the width, its base on row 0.62 of the
// height, as tall and as wide as the given fractions of the scene.
void IslandScene(cairo_t* cr, int w, int h, uint32_t seed, double brightness, double volcanoHeight = 0.42,
                 double volcanoWidth = 0.55);
// The row where the island's ground begins at column x, in a scene of w x h.
double IslandGroundY(int w, int h, double x);
// Sky and sea only (the main menu paints the island and volcano as layers).
void SkyAndSea(cairo_t* cr, int w, int h, double brightness);
// A volcano cone with its base centred on (cx, baseY).
void Volcano(cairo_t* cr, double cx, double baseY, double width, double height, double brightness);
// A palm tree standing at (x, y) (foot of the trunk), height h, leaning by lean.
void Palm(cairo_t* cr, double x, double y, double h, double lean, double brightness);
// Level background 0..7: jungle ruins, volcano slopes, beach cliffs, crystal
// caves, laboratory, night forest, desert temple, snowfields.
void LevelBackground(cairo_t* cr, int w, int h, int index);
// A soft cloud centred on (cx, cy).
void Cloud(cairo_t* cr, double cx, double cy, double w, double h, uint32_t seed, double alpha);

}  // namespace SceneArt
