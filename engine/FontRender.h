// The string table (every text of the interface with its font, size, colour
// and line spacing, read from resource5.dat) and the text renderer that turns
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
// Stops SDL_ttf and empties the table and the renderer's lists.
void FontQuit();
// The entry of a text id; an id the table lacks gets an empty entry.
CStringEntry& FontGetEntry(int textId);
bool FontHasEntry(int textId);
size_t FontEntryCount();
const std::string& FontGetFolder();
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
// FontValues::kTyped, or as kTypedLines when lines is set. The entry's own
// markup counts. pointSize 0 is the entry's own size.
SDL_Surface* FontRenderStringTyped(int boxWidth, int boxHeight, int align, int textId, const char* typed,
                                   const char* typed2 = nullptr, int pointSize = 0, bool lines = false);
// The same (as FontValues::kTyped) fitted to its box: a word wider than the
// box breaks between its characters (after a '/' or '-' where one falls
// late enough on the line), and a text of more lines than the box holds is
// set a point smaller at a time, down to kFontSmallestFitSize; lines that
// even that size leaves over are left out whole.
SDL_Surface* FontRenderStringTypedFitted(int boxWidth, int boxHeight, int align, int textId, const char* typed,
                                         const char* typed2 = nullptr);
SDL_Surface* FontRenderStringWide(int boxWidth, int boxHeight, int align, int textId, const uint16_t* v1 = nullptr,
                                  const uint16_t* v2 = nullptr, const uint16_t* v3 = nullptr,
                                  const uint16_t* v4 = nullptr, const uint16_t* v5 = nullptr,
                                  const uint16_t* v6 = nullptr);
SDL_Surface* FontRenderStringBoth(int boxWidth, int boxHeight, int align, int textId, const uint16_t* w1,
                                  const uint16_t* w2, const uint16_t* w3, const uint16_t* w4, const uint16_t* w5,
                                  const uint16_t* w6, const char* n1, const char* n2, const char* n3,
                                  const char* n4, const char* n5, const char* n6);

// A typed text (a name, a heading) made to fit maxWidth pixels on one line
// in the font, size and current style of string textId: whole when it fits;
// otherwise cut at its end and closed with "..." (keepEnd false), or with
// its first characters dropped (keepEnd true, for a box the caret follows),
// never inside a character of its UTF-8. Unchanged when the entry's font
// cannot be opened.
std::string FontFitTyped(int textId, const std::string& typed, int maxWidth, bool keepEnd);

// A typed text of several lines made to fit a box maxWidth x maxHeight
// pixels in the font and current style of string textId: wrapped between
// words as the renderer wraps it, a word wider than a line broken between
// its characters (as FontRenderStringTypedFitted breaks it), and set a
// point smaller at a time, from the entry's size down to
// kFontSmallestFitSize, until its lines (the last one counted at least
// lastLineHeight high, room for a caret) fill no more than maxHeight; when
// even that size is too large, its first lines are left out. Returns the
// text with a line break at the end of every line, to be drawn at
// *pointSize in a box maxWidth wide; unchanged, at the entry's size, when
// the font cannot be opened.
std::string FontFitTypedLines(int textId, const std::string& typed, int maxWidth, int maxHeight, int lastLineHeight,
                              int* pointSize);

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

// Internal: empties the run list and line-width list.
void FontClearRenderLists();
