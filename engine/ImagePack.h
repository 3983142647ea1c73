// The start-up preload: the bytes of every image file go into the image
// store (from the pack kImagePackFile, or from the folder resource/ in folder
// mode), the progress total is set, and the cache groups run.
#pragma once

// Called once by main after the display is up.
void preloadImages();
// The first half of preloadImages: the file bytes only, no decoding. A pack
// whose counts, offsets or lengths do not fit the file ends the program with
// "Cannot load resource file!" (exit code 1).
void PreloadImageFiles();
