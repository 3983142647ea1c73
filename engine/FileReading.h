// A file the game reads, for SDL and its image and font loaders: opened as
// every file the game reads is (PlatformOpenForReading: a regular file only,
// never waiting on a pipe or a device standing in its place).
#pragma once

#include <SDL.h>

#include <string>

// Null when path is no regular file that can be read; SDL closes the file
// with the stream.
SDL_RWops* OpenForReadingRW(const std::string& path);
