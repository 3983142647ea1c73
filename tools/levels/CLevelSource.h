// Our text source format for levels (assets/levels/<name>.txt), compiled into
// a CLevel. A source is a list of lines:
//
//   # a comment (outside pictures)
//   heading: Up the Ladder                (at most 32 characters)
//   background: 3                         (0..7)
//   tiles:                                (then 24 lines of exactly 32 characters)
//   ladders:                              (optional; 24 lines: 'H' ladder,
//                                          '=' ladder with a platform, '.' none)
//   states:                               (optional; 24 lines: '.' normal,
//                                          'f' frozen, 'h' heated)
//   teleport: blue 4 20                   (colour blue|yellow|red, left column
//                                          -1..31, lower row; portals in pairs)
//   sign: 5 20 #zqdefine 5003-s-0#        (column, row, the sign's text: a
//                                          directive naming string-table ids)
//   solution:                             (then "frame key down|up" lines up to
//                                          the end; keys left right up down
//                                          turn slot1..slot9, or the number
//                                          of one of them: 273 for up, ...)
//
// The characters of the tiles picture are listed in TileForChar.
#pragma once

#include <string>

class CLevel;

class CLevelSource {
public:
    // The largest source there can be. A full level (three pictures, a sign
    // of the editor's longest text on every cell, every teleport place) takes
    // some 260 KB; the rest leaves room for a solution of 50000 records.
    static constexpr long kMaxBytes = 1024 * 1024;

    // Compiles a source text into *level. False with "line N: reason" in
    // *error when the text is not a valid source.
    static bool Parse(const std::string& text, CLevel* level, std::string* error);
    static bool ParseFile(const std::string& path, CLevel* level, std::string* error);
    // Reads the source file at path, refusing (before reading it, as far as
    // its size is known beforehand) one larger than kMaxBytes.
    static bool ReadFile(const std::string& path, std::string* text, std::string* error);

    // The tile code of a picture character; false for an unknown character.
    static bool TileForChar(char c, unsigned* code);
    // The picture character of a tile code; '\0' when it has none.
    static char CharForTile(unsigned code);
};
