// One entry of the string table: a text with its markup as written, and the
// font file, point size, colour and line spacing it is drawn with.
#pragma once

#include <cstdint>
#include <string>

#include "engine/CFontString.h"

class CStringEntry {
public:
    CFontString text;
    std::string fontFile;  // relative to the font folder
    int pointSize = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    int lineSpacing = 0;
};
