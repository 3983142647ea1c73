// Encoders for the pictures the builder draws with Cairo. Cairo keeps
// premultiplied ARGB32 pixels; every encoder here un-premultiplies. All
// output is byte-for-byte repeatable (no time stamps, fixed settings).
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

// PNG, 8-bit RGBA, never interlaced, no time chunk. Always keeps the alpha
// channel, also for fully opaque pictures (the game relies on it for fades).
bool EncodePng(cairo_surface_t* surface, std::vector<uint8_t>& out);
// TGA type 2, 32 bits BGRA, top-left origin (descriptor 0x28).
bool EncodeTga(cairo_surface_t* surface, std::vector<uint8_t>& out);
// Baseline JPG, opaque: transparent parts are laid over black.
bool EncodeJpg(cairo_surface_t* surface, int quality, std::vector<uint8_t>& out);
// 24-bit BMP (bottom-up); pixels less than half covered become the colour
// key magenta (255, 0, 255).
bool EncodeBmpKeyed(cairo_surface_t* surface, std::vector<uint8_t>& out);
// Chooses the encoder by the last three letters of name (png, tga, jpg).
bool EncodeByName(const std::string& name, cairo_surface_t* surface, std::vector<uint8_t>& out);
// The three-letter type of a name in lower case ("" when it has none).
std::string ImageType(const std::string& name);
