// The start-up preload: the bytes of every image file go into the image
// store (from the pack resource2.dat, or from the folder resource/ in folder
// mode), the progress total is set, and the cache groups run.
#pragma once

// The image pack. A folder that holds it is a folder of the game's data
// (engine/DataFolder.h).
constexpr const char* kImagePackFile = "resource2.dat";

// Called once by main after the display is up.
void preloadImages();
// The first half of preloadImages: the file bytes only, no decoding. A pack
// whose counts, offsets or lengths do not fit the file ends the program with
// "Cannot load resource file!" (exit code 1).
void PreloadImageFiles();
