// Pictures shown before the menus: the load screen and its progress bar, the
// window icon, the maker's logo splash with its blinking eyes, the title
// splash and the closing splash. The logo and the eyes come from one drawing,
// so the eyes picture always sits exactly on the logo's eyes.
#pragma once

#include <cairo.h>

namespace IntroArt {

// Where the game shows the eyes picture over the logo splash.
const int kEyesX = 264, kEyesY = 197, kEyesW = 80, kEyesH = 30;
// Where the game draws the progress bar over the load screen, and its size.
const int kBarX = 360, kBarY = 527, kBarW = 400, kBarH = 16;

void DrawLoadScreen(cairo_t* cr, int w, int h);    // 800 x 600
void DrawProgressBar(cairo_t* cr, int w, int h);   // kBarW x kBarH
void DrawIcon(cairo_t* cr, int w, int h);          // 32 x 32, transparent background
void DrawLogoSplash(cairo_t* cr, int w, int h);    // 800 x 600, eyes open
void DrawLogoEyes(cairo_t* cr, int w, int h);      // kEyesW x kEyesH, eyes shut
void DrawTitleSplash(cairo_t* cr, int w, int h);   // 800 x 600
void DrawClosingSplash(cairo_t* cr, int w, int h); // 800 x 600

}  // namespace IntroArt
