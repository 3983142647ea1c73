// Turns the UTF-8 text sources of the string table into the file the game
// reads: UTF-16 little-endian with a byte-order mark, CR LF between lines and
// no line break after the last line (a final break would make the game's
// loader read one more, empty, line and stop with a parse error).
//
// Source syntax is the table's own, one line each: "#" comment, "!" style
// "font file|point size|red|green|blue|line spacing", "@" text "id|text".
// Blank lines are dropped. Everything the loader would accept silently but
// that would show wrong on screen is refused here, with file and line:
// a text line with a stray "|" (the rest would be cut off), an id-only line,
// a field over 1023 units, unbalanced %b/%i/%u (the style would leak into
// later texts), an id given twice, a text before any style, characters
// outside 16 bits, any other first character.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class CStringTableCompiler {
public:
    struct Source {
        std::string name;  // for messages
        std::string text;  // UTF-8
    };

    // False when any source has an error; Errors() then lists them all.
    bool Compile(const std::vector<Source>& sources, std::vector<uint8_t>& out);

    const std::vector<std::string>& Errors() const { return errors_; }
    // Font file names the style lines use, for shipping them beside the table.
    const std::set<std::string>& FontFiles() const { return fonts_; }
    // Every text id, for completeness checks.
    const std::set<int>& Ids() const { return ids_; }

    static const int kMaxFieldUnits = 1023;

private:
    void Error(const Source& src, int line, const std::string& what);
    bool ToUtf16(const std::string& utf8, std::vector<uint16_t>& units) const;

    std::vector<std::string> errors_;
    std::set<std::string> fonts_;
    std::set<int> ids_;
};
