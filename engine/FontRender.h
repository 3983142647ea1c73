// The string table (every text of the interface with its font, size, colour
// and line spacing, read from kStringTableFile) and the text renderer that turns
// a text with markup into a new surface of a given box size.
//
// Markup: "%b" "%i" "%u" toggle bold, italic, underline (the style carries
// over to later texts until toggled back), "%n" ends the line, "%1".."%6"
// are replaced by placeholder values. Markup is the game's own: a value that
// a player typed or the system named is drawn as the characters it holds.
// Alignment: 0 left, 1 right, 2 centred, 3 centred both ways, 4 left and
// centred vertically, others centred. A character the font lacks is drawn
// as "?".
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/CStringEntry.h"

// ---- String table ---------------------------------------------------------

// Starts SDL_ttf, keeps the font folder ("./" in the game) and loads the
// string table. Ends the program (exit code 1) on failure.
void FontInit(const char* fontFolder, const char* stringFile);
// Loads the string table from path; ends the program on failure.
void FontLoadStringFile(const char* path);
// Stops SDL_ttf and empties the table.
void FontQuit();
// The entry of a text id; an id the table lacks gets an empty entry, whose
// style names no font.
CStringEntry& FontGetEntry(int textId);
bool FontHasEntry(int textId);
size_t FontEntryCount();
const std::string& FontGetFolder();
// The string table's file as FontLoadStringFile was given it.
const std::string& FontGetStringFile();
void FontSetFolder(const char* folder);

// Parses string-table bytes (UTF-16 little-endian) into table. On a parse
// error returns false with the 1-based line number in *errorLine.
bool FontParseStringData(const uint8_t* data, size_t size, std::map<int, CStringEntry>* table, int* errorLine);

// ---- Rendering ------------------------------------------------------------

// The smallest size a text is set in to make it fit its box: 250 of the
// widest letters still fill no more than the editor's tutorial-text field.
constexpr int kFontSmallestFitSize = 10;

// How the placeholder values of a text are read.
enum class FontValues {
    // The game's own values (numbers, its texts): markup as if written in
    // the text; 8-bit values are Latin-1.
    kMarkup,
    // What a player typed or the system named (names, headings, file
    // names), 8-bit values in UTF-8: drawn as the characters they hold, so
    // no token in them is markup.
    kTyped,
    // The same for a text of several lines (a sign's text): only its "%n"
    // line breaks count.
    kTypedLines,
};

// Renders text into a new boxWidth x boxHeight surface (the caller owns it),
// or returns null when the text yields no run. wide and narrow are the two
// sets of six placeholder values (either may be null, and so may any value);
// a wide value wins over a narrow one.
SDL_Surface* FontRenderText(int boxWidth, int boxHeight, int align, int lineSpacing, const char* fontFile,
                            int pointSize, uint8_t red, uint8_t green, uint8_t blue, const uint16_t* text,
                            const uint16_t* const* wide, const char* const* narrow,
                            FontValues values = FontValues::kMarkup);
// The same with an 8-bit text (bytes taken as unsigned).
SDL_Surface* FontRenderText(int boxWidth, int boxHeight, int align, int lineSpacing, const char* fontFile,
                            int pointSize, uint8_t red, uint8_t green, uint8_t blue, const char* text,
                            const uint16_t* const* wide, const char* const* narrow,
                            FontValues values = FontValues::kMarkup);

// Render by text id with the entry's font, size, colour and line spacing.
SDL_Surface* FontRenderString(int boxWidth, int boxHeight, int align, int textId, const char* v1 = nullptr,
                              const char* v2 = nullptr, const char* v3 = nullptr, const char* v4 = nullptr,
                              const char* v5 = nullptr, const char* v6 = nullptr);
// Render by text id with one typed value (a name, a heading, a file name, a
// text box's text) for "%1", and optionally a second for "%2", read as
// values says (kTyped, or kTypedLines for a text of several lines). The
// entry's own markup counts. pointSize 0 is the entry's own size.
SDL_Surface* FontRenderStringTyped(int boxWidth, int boxHeight, int align, int textId, const char* typed,
                                   const char* typed2 = nullptr, int pointSize = 0,
                                   FontValues values = FontValues::kTyped);
SDL_Surface* FontRenderStringWide(int boxWidth, int boxHeight, int align, int textId, const uint16_t* v1 = nullptr,
                                  const uint16_t* v2 = nullptr, const uint16_t* v3 = nullptr,
                                  const uint16_t* v4 = nullptr, const uint16_t* v5 = nullptr,
                                  const uint16_t* v6 = nullptr);
SDL_Surface* FontRenderStringBoth(int boxWidth, int boxHeight, int align, int textId, const uint16_t* w1,
                                  const uint16_t* w2, const uint16_t* w3, const uint16_t* w4, const uint16_t* w5,
                                  const uint16_t* w6, const char* n1, const char* n2, const char* n3,
                                  const char* n4, const char* n5, const char* n6);

// ---- Fitting a typed text to its box ----------------------------------------
//
// FontFitTyped is the one way to make a text someone typed (or a server, a
// level file or the file system supplied) fit the box it is drawn in. It
// lays the text out as the renderer does, in the entry's font and the
// current style, and says how to draw it and at which size. Which way to
// use when:
// - kCutEnd where a name or heading stands on one line among others (a list
//   cell, a score-board row, a detail of the level manager): it keeps the
//   entry's size and ends in "..." where it is too long.
// - kCutMiddle where names that differ at their end stand in a list (the
//   editor's load list, where a level and its "(recovered)" copy share a
//   long beginning): it keeps the entry's size, a third of what fits from
//   the start and the rest from the end, with "..." between them.
// - kCutStart for a one-line box the caret follows: the last characters
//   typed stay in view and the first ones are dropped.
// - kSmaller where one line must show a name whole (the welcome panel, the
//   map's name box): set a point smaller at a time down to `smallest`.
// - kLines for a message of several lines (a message box's body, with
//   `balanced` lines): wrapped between words, a word wider than the box
//   broken between its characters (after a '/' or '-' where one falls late
//   enough on the line), set a point smaller at a time down to `smallest`;
//   lines that even that size leaves over are left out at the end.
// - kLinesKeepEnd the same for a text whose end matters most (a box of
//   several lines the caret follows, a sign's text as its author saw it in
//   that box): lines left over are left out at the start, and the line the
//   text ends on counts even when empty.
// FontRenderStringFitted (or BlitFittedString) fits and draws in one go;
// a one-line fit may as well be drawn later with `shown` at `pointSize` in
// a box of another height (FontRenderStringTyped, BlitTypedString).
enum class FontFit { kCutEnd, kCutMiddle, kCutStart, kSmaller, kLines, kLinesKeepEnd };

struct FontFitRequest {
    FontFitRequest() = default;
    FontFitRequest(int textId_, FontFit how_, const char* typed_, int boxWidth_, int boxHeight_ = 0)
        : textId(textId_), how(how_), boxWidth(boxWidth_), boxHeight(boxHeight_), typed(typed_) {}

    int textId = 0;
    FontFit how = FontFit::kCutEnd;
    int boxWidth = 0;
    // The box's height (the kLines ways only).
    int boxHeight = 0;
    // "%1", "%2" and "%3" of the entry.
    const char* typed = nullptr;
    const char* typed2 = nullptr;
    const char* typed3 = nullptr;
    FontValues values = FontValues::kTyped;
    // kLines ways: the last line is counted at least this high (room for a
    // caret taller than a line).
    int lastLineHeight = 0;
    // kSmaller and kLines ways: the smallest size tried (at or above the
    // entry's own size: only whether it fits as it is).
    int smallest = kFontSmallestFitSize;
    // kLines: lines that all fit wrap at the narrowest width that keeps
    // their number, so that they come out even instead of leaving a word
    // alone on the last line (each still aligned in the whole box).
    bool balanced = false;
};

struct FontFitted {
    // The size it used: the size the text fits at, or the smallest tried
    // when it fits at none (the entry's own size for the cut ways).
    int pointSize = 0;
    // Whether the whole text shows: false when a cut way cut it, when
    // kSmaller found no size it fits at, or when lines were left out.
    bool whole = true;
    // The typed text as it shows: cut (the cut ways), as given (kSmaller),
    // or the lines shown, each but the last ending in a line break "%n"
    // (the kLines ways: the entry's whole text, which for an entry of just
    // "%1" is the typed text laid out).
    std::string shown;
    // The kLines ways: the first line drawn (1 unless lines were left out
    // at the start).
    int firstLine = 1;
};

// Fits typed (and typed2, typed3) in string textId to the box as request.how says;
// see above. The text as given, at the entry's size, when the entry's font
// cannot be opened. Changes no style and draws nothing.
FontFitted FontFitTyped(const FontFitRequest& request);
// The same fit, drawn into a new surface of the request's box with the given
// alignment: at the size chosen, and for the kLines ways with words too wide
// for a line broken and only the lines the fit keeps, each whole. *fitted
// (when given) receives the fit.
SDL_Surface* FontRenderStringFitted(const FontFitRequest& request, int align, FontFitted* fitted = nullptr);

// End position of the last text rendered (the text box puts its caret there).
int FontGetTextEndX();
int FontGetTextEndY();

// The style flags that markup toggles (bit 1 bold, 2 italic, 4 underline).
int FontGetStyle();
void FontResetStyle();

// Geometry of the last surface-producing render: each run's position and
// size in the order drawn (screens measure text and place a caret by it),
// with its style flags and the characters drawn (for tests).
struct FontRunPlacement {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int line = 0;
    int style = 0;
    std::u16string text;
};
const std::vector<FontRunPlacement>& FontGetLastPlacements();
// For tests: while log is set, the placements of every surface-producing
// render are appended to it, one entry per text.
void FontSetRenderLog(std::vector<std::vector<FontRunPlacement>>* log);
