// The text renderer, in three steps: reading the markup (the text with its
// placeholder values in place becomes runs, split at spaces and tokens, and
// the tokens' style toggles and line breaks between them), laying out lines
// (each run measured in its style and wrapped to the box width) and
// composing the picture (the runs of the lines shown, aligned and spaced,
// drawn blended onto a transparent surface). Fitting a typed text to its box
// lays it out the same way, at each size it tries. Every step is linear in
// the text's length. No font cache: each call opens its font and closes it
// again.
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/CFontString.h"
#include "engine/DataFolder.h"
#include "engine/FileReading.h"
#include "engine/FontRender.h"
#include "engine/Log.h"

namespace {

// The style markup toggles (bit 1 bold, 2 italic, 4 underline, as SDL_ttf
// numbers them); it carries over from one text to the next.
int g_style = 0;
int g_lastEndX = 0;
int g_lastEndY = 0;
std::vector<FontRunPlacement> g_placements;
std::vector<std::vector<FontRunPlacement>>* g_renderLog = nullptr;

// ---- Reading the markup -----------------------------------------------------

// What a text reads as, in order: runs of characters drawn as one, and the
// tokens that toggle a style or end a line.
struct Piece {
    enum Kind { kRun, kStyle, kLineBreak } kind;
    // kRun: the units [begin, end) of the text read; kStyle: the style bit.
    size_t begin;
    size_t end;
};

struct ReadText {
    // The text with its placeholder values in place.
    CFontString units;
    std::vector<Piece> pieces;
};

bool IsPlaceholder(uint16_t u) { return u >= '1' && u <= '6'; }

// The style bit of a style token's letter, 0 for any other unit.
int StyleBit(uint16_t u) {
    return u == 'b' ? TTF_STYLE_BOLD : u == 'i' ? TTF_STYLE_ITALIC : u == 'u' ? TTF_STYLE_UNDERLINE : 0;
}

// A run ends after a space (and holds it), before a token, and where a
// placeholder stood. A placeholder's value is read as `values` says: a value
// the game gives is markup as if written in the text, but never expands a
// placeholder of its own (a value that holds its own token must not expand
// forever); a typed value holds no markup at all, so a "%b" in a name is two
// characters, not a style that would leak into every later text, and "%n"
// in a heading or a file name is no line break; a sign's text (kTypedLines)
// keeps its line breaks. A token never reaches across the place where a
// placeholder stood into its value.
ReadText ReadMarkup(const CFontString& text, const uint16_t* const* wide, const char* const* narrow,
                    FontValues values) {
    ReadText out;
    // Placeholders first: units from a value are `shielded`, and a run
    // starts wherever a placeholder stood (`cut`).
    std::vector<uint8_t> shielded, cut;
    const bool typed = values != FontValues::kMarkup;
    for (size_t i = 0; i < text.Length(); ++i) {
        if (text.At(i) == '%' && IsPlaceholder(text.At(i + 1))) {
            const int k = text.At(i + 1) - '1';
            const uint16_t* w = wide ? wide[k] : nullptr;
            const char* n = narrow ? narrow[k] : nullptr;
            CFontString value;
            if (w) {
                value = w;
            } else if (n) {
                value = typed ? CFontString::FromUtf8(n) : CFontString(n);
            }
            cut.resize(out.units.Length() + 1, 0);
            cut.back() = 1;
            out.units.Append(value);
            shielded.resize(out.units.Length(), 1);
            ++i;
            continue;
        }
        out.units.Append(text.At(i));
        shielded.push_back(0);
    }
    const size_t n = out.units.Length();
    cut.resize(n + 1, 0);

    size_t runStart = 0;
    auto endRun = [&](size_t end) {
        if (end > runStart) out.pieces.push_back({Piece::kRun, runStart, end});
        runStart = end;
    };
    for (size_t i = 0; i < n; ++i) {
        if (cut[i]) endRun(i);
        const uint16_t u = out.units.At(i);
        if (u == '%' && i + 1 < n && !cut[i + 1]) {
            const uint16_t letter = out.units.At(i + 1);
            const bool markup = !shielded[i] || !typed || (values == FontValues::kTypedLines && letter == 'n');
            if (markup && (StyleBit(letter) || letter == 'n')) {
                endRun(i);
                out.pieces.push_back(letter == 'n' ? Piece{Piece::kLineBreak, 0, 0}
                                                   : Piece{Piece::kStyle, static_cast<size_t>(StyleBit(letter)), 0});
                ++i;
                runStart = i + 1;
                continue;
            }
        }
        if (u == ' ') endRun(i + 1);
    }
    endRun(n);
    return out;
}

// ---- Laying out lines -------------------------------------------------------

void SetStyle(TTF_Font* font, int style) {
    if (TTF_GetFontStyle(font) != style) TTF_SetFontStyle(font, style);
}

// The units as drawn: a character the font has no glyph for (a name in a
// script it does not cover) is a "?", not the font's empty box.
CFontString DrawnUnits(TTF_Font* font, const CFontString& text, size_t begin, size_t end) {
    CFontString drawn;
    for (size_t i = begin; i < end; ++i)
        drawn.Append(TTF_GlyphIsProvided(font, text.At(i)) ? text.At(i) : static_cast<uint16_t>('?'));
    return drawn;
}

// The width of units [begin, end) drawn as one run in the font's style.
int Width(TTF_Font* font, const CFontString& text, size_t begin, size_t end) {
    // Measuring is most of laying out: one buffer serves every measure.
    static std::vector<uint16_t> drawn;
    drawn.clear();
    for (size_t i = begin; i < end; ++i)
        drawn.push_back(TTF_GlyphIsProvided(font, text.At(i)) ? text.At(i) : static_cast<uint16_t>('?'));
    drawn.push_back(0);
    int w = 0, h = 0;
    return TTF_SizeUNICODE(font, drawn.data(), &w, &h) == 0 ? w : 0;
}

// Whether units [begin, end) drawn as one run are at least `limit` wide,
// measured on a beginning of them twice as long at a time, so that a word
// of any length costs about one line's measuring. (A run's width only grows
// with each character added.) When it is not, *width is its width.
bool ReachesWidth(TTF_Font* font, const CFontString& text, size_t begin, size_t end, int limit, int* width) {
    for (size_t n = std::min<size_t>(end - begin, 16);; n = std::min(end - begin, 2 * n)) {
        const int w = Width(font, text, begin, begin + n);
        if (w >= limit) return true;
        if (begin + n == end) {
            *width = w;
            return false;
        }
    }
}

// How many of a word's first characters fit on a line already x pixels
// full in a box maxWidth wide (a line ends short of the width), at least one
// on an empty line. Where those characters hold a '/' or a '-' after their
// first half, the word breaks after it: a path breaks between its folders.
size_t FittingPrefix(TTF_Font* font, const CFontString& text, size_t begin, size_t end, int x, int maxWidth) {
    const size_t length = end - begin;
    auto fits = [&](size_t n) { return x + Width(font, text, begin, begin + n) < maxWidth; };
    // The most that fit: found by doubling, then halving the gap.
    size_t n = 0, over = 1;
    while (over <= length && fits(over)) {
        n = over;
        over = std::min(length + 1, 2 * over);
    }
    while (over - n > 1) {
        const size_t mid = n + (over - n) / 2;
        if (fits(mid))
            n = mid;
        else
            over = mid;
    }
    if (n == 0) return x == 0 && length > 0 ? 1 : 0;
    if (n == length) return n;
    for (size_t k = n; 2 * k > n; --k)
        if (text.At(begin + k - 1) == '/' || text.At(begin + k - 1) == '-') return k;
    return n;
}

struct LaidRun {
    size_t begin;
    size_t end;
    int line;
    int style;
    int width;
};

struct Layout {
    std::vector<LaidRun> runs;
    // The width of each line up to the last one that holds a run.
    std::vector<int> lineWidths;
    // The line the text ends on (the caret's line).
    int lastLine = 1;
    int endStyle = 0;
    // Runs left out for having no width.
    int dropped = 0;
};

// Whether a line may end after the run: only after a space. A run also ends
// where a placeholder's value or a style token begins, and a line broken
// there would part a word from its quote mark or its comma.
bool EndsWord(const ReadText& text, const Piece& run) {
    return run.end > run.begin && text.units.At(run.end - 1) == ' ';
}

// The width of the word that starts with run piece `first` in the given
// style: its runs up to the one that ends in a space, across style tokens,
// up to a line break.
int WordWidth(TTF_Font* font, const ReadText& text, size_t first, int style) {
    int w = 0;
    for (size_t i = first; i < text.pieces.size(); ++i) {
        const Piece& piece = text.pieces[i];
        if (piece.kind == Piece::kLineBreak) break;
        if (piece.kind == Piece::kStyle) {
            style ^= static_cast<int>(piece.begin);
            continue;
        }
        SetStyle(font, style);
        w += Width(font, text.units, piece.begin, piece.end);
        if (EndsWord(text, piece)) break;
    }
    return w;
}

// Lays the runs out in a box boxWidth wide from the given style: a word
// (the runs up to one that ends in a space) that would reach the box's
// width starts the next line. While breakWords is set (fitting), a word
// wider than a whole line fills the line it starts on and goes on in the
// next.
Layout LayOut(TTF_Font* font, const ReadText& text, int boxWidth, bool breakWords, int style) {
    Layout out;
    int x = 0;
    // Whether the next run goes on the word the last one began.
    bool inWord = false;
    auto newLine = [&]() {
        out.lineWidths.push_back(x);
        ++out.lastLine;
        x = 0;
    };
    // Places units [begin, end) of width w (-1: to be measured).
    auto place = [&](size_t begin, size_t end, int w) {
        if (w < 0) w = Width(font, text.units, begin, end);
        if (w <= 0) {
            // Nothing to draw (SDL_ttf draws no text of no width); the text
            // goes on without it.
            ++out.dropped;
            return;
        }
        if (x != 0 && x + w >= boxWidth) newLine();
        x += w;
        out.runs.push_back({begin, end, out.lastLine, style, w});
    };
    for (size_t p = 0; p < text.pieces.size(); ++p) {
        const Piece& piece = text.pieces[p];
        if (piece.kind == Piece::kStyle) {
            style ^= static_cast<int>(piece.begin);
            continue;
        }
        if (piece.kind == Piece::kLineBreak) {
            newLine();
            inWord = false;
            continue;
        }
        // A word of several runs that fits a line but not the rest of this
        // one goes to the next line whole.
        if (!inWord && x != 0 && !EndsWord(text, piece)) {
            const int w = WordWidth(font, text, p, style);
            if (w < boxWidth && x + w >= boxWidth) newLine();
        }
        inWord = !EndsWord(text, piece);
        SetStyle(font, style);
        size_t begin = piece.begin;
        int width = -1;
        while (breakWords && begin < piece.end && ReachesWidth(font, text.units, begin, piece.end, boxWidth, &width)) {
            const size_t n = FittingPrefix(font, text.units, begin, piece.end, x, boxWidth);
            if (n > 0) place(begin, begin + n, -1);
            newLine();
            begin += n;
        }
        if (begin < piece.end) place(begin, piece.end, width);
    }
    if (x != 0) out.lineWidths.push_back(x);
    out.endStyle = style;
    return out;
}

// ---- Composing the picture --------------------------------------------------

// How a text is fitted while it is drawn: lines before firstLine are not
// drawn and the lines from it stand at the box's top, and a line the box
// cannot hold whole is left out.
struct Fitting {
    bool on = false;
    int firstLine = 1;
};

// Draws the laid-out runs into a new boxWidth x boxHeight surface and keeps
// their placements and the text's end position; null when there is no run
// from the first line shown on.
SDL_Surface* Compose(TTF_Font* font, const ReadText& text, const Layout& layout, int boxWidth, int boxHeight,
                     int align, int lineSpacing, const SDL_Color& colour, const Fitting& fitting) {
    if (layout.dropped > 0)
        DebugLog(DBG_WARNING, "FontAddRun()   Cannot render %i run(s) of no width\n", layout.dropped);
    if (layout.runs.empty() || layout.runs.back().line < fitting.firstLine) return nullptr;
    // The surface SDL_ttf's blended runs come in, so that they copy onto it
    // as they are.
    SDL_Surface* result = SDL_CreateRGBSurface(SDL_SRCALPHA, boxWidth > 0 ? boxWidth : 0,
                                               boxHeight > 0 ? boxHeight : 0, 32, 0x00FF0000, 0x0000FF00,
                                               0x000000FF, 0xFF000000);
    g_placements.clear();
    if (!result) return nullptr;
    SDL_FillRect(result, nullptr, SDL_MapRGBA(result->format, 0, 0, 0, 0));
    const int lineHeight = TTF_FontHeight(font);
    const int skipped = fitting.firstLine - 1;
    const int n = std::max(0, static_cast<int>(layout.lineWidths.size()) - skipped);
    const int linesHeight = lineHeight * n + lineSpacing * (n - 1);
    const int offset = align == 3 || align == 4 ? (boxHeight - linesHeight) / 2 : 0;
    int x = 0;
    int prevLine = -1;
    for (const LaidRun& r : layout.runs) {
        if (r.line < fitting.firstLine) continue;
        if (r.line != prevLine) {
            const size_t idx = static_cast<size_t>(r.line - 1);
            const int lineWidth = idx < layout.lineWidths.size() ? layout.lineWidths[idx] : 0;
            if (align == 0 || align == 4) {
                x = 0;
            } else if (align == 1) {
                x = boxWidth - lineWidth;
            } else {
                x = (boxWidth - lineWidth) / 2;
            }
            prevLine = r.line;
        }
        const int y = (lineHeight + lineSpacing) * (r.line - 1 - skipped) + offset;
        if (fitting.on && (y < 0 || y + lineHeight > boxHeight)) continue;
        SetStyle(font, r.style);
        CFontString drawn = DrawnUnits(font, text.units, r.begin, r.end);
        SDL_Surface* surface = TTF_RenderUNICODE_Blended(font, drawn.c_str(), colour);
        if (!surface) {
            DebugLog(DBG_WARNING, "FontAddRun()   Cannot render a run: %s\n", TTF_GetError());
            continue;
        }
        SDL_SetAlpha(surface, 0, 0);
        SDL_Rect dst = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
        SDL_BlitSurface(surface, nullptr, result, &dst);
        std::u16string runText;
        for (size_t i = 0; i < drawn.Length(); ++i) runText.push_back(static_cast<char16_t>(drawn.At(i)));
        g_placements.push_back({x, y, surface->w, surface->h, r.line - skipped, r.style, std::move(runText)});
        x += surface->w;
        SDL_FreeSurface(surface);
    }
    g_lastEndX = layout.runs.back().line == layout.lastLine ? x : 0;
    g_lastEndY = (lineHeight + lineSpacing) * (layout.lastLine - 1 - skipped) + offset;
    if (g_renderLog) g_renderLog->push_back(g_placements);
    return result;
}

SDL_Color Colour(uint8_t red, uint8_t green, uint8_t blue) {
    SDL_Color colour;
    colour.r = red;
    colour.g = green;
    colour.b = blue;
    colour.unused = 0;
    return colour;
}

SDL_Color EntryColour(const CStringEntry& entry) { return Colour(entry.red, entry.green, entry.blue); }

// Reads, lays out and composes a text; the style it ends in carries over.
SDL_Surface* Render(int boxWidth, int boxHeight, int align, int lineSpacing, const char* fontFile, int pointSize,
                    uint8_t red, uint8_t green, uint8_t blue, const CFontString& text, const uint16_t* const* wide,
                    const char* const* narrow, FontValues values, const Fitting& fitting) {
    const std::string path = FontGetFolder() + (fontFile ? fontFile : "");
    SDL_RWops* file = OpenForReadingRW(path);
    TTF_Font* font = file ? TTF_OpenFontRW(file, 1, pointSize) : nullptr;
    if (!font) {
        // A text whose style names no font is one the string table lacks:
        // the table is damaged (cut short), not the font folder.
        TellResourceFileFailed(fontFile && *fontFile ? path : FontGetStringFile());
        ErrorLog(false, "FONTSYSTEM: Attempted to load font file '%s'\n", path.c_str());
        ErrorLog(false, "FONTSYSTEM: SDL_ttf font loading error: %s\n", TTF_GetError());
        exit(1);
    }
    const SDL_Color colour = Colour(red, green, blue);
    const ReadText read = ReadMarkup(text, wide, narrow, values);
    const Layout layout = LayOut(font, read, boxWidth, fitting.on, g_style);
    g_style = layout.endStyle;
    SDL_Surface* result = Compose(font, read, layout, boxWidth, boxHeight, align, lineSpacing, colour, fitting);
    TTF_CloseFont(font);
    return result;
}

// An entry with typed values at a size (0: its own).
SDL_Surface* RenderEntry(int boxWidth, int boxHeight, int align, int textId, const uint16_t* const* wide,
                         const char* const* narrow, FontValues values = FontValues::kMarkup, int pointSize = 0,
                         const Fitting& fitting = Fitting()) {
    const CStringEntry& entry = FontGetEntry(textId);
    return Render(boxWidth, boxHeight, align, entry.lineSpacing, entry.fontFile.c_str(),
                  pointSize > 0 ? pointSize : entry.pointSize, entry.red, entry.green, entry.blue, entry.text, wide,
                  narrow, values, fitting);
}

}  // namespace

SDL_Surface* FontRenderText(int boxWidth, int boxHeight, int align, int lineSpacing, const char* fontFile,
                            int pointSize, uint8_t red, uint8_t green, uint8_t blue, const uint16_t* text,
                            const uint16_t* const* wide, const char* const* narrow, FontValues values) {
    return Render(boxWidth, boxHeight, align, lineSpacing, fontFile, pointSize, red, green, blue, CFontString(text),
                  wide, narrow, values, Fitting());
}

SDL_Surface* FontRenderText(int boxWidth, int boxHeight, int align, int lineSpacing, const char* fontFile,
                            int pointSize, uint8_t red, uint8_t green, uint8_t blue, const char* text,
                            const uint16_t* const* wide, const char* const* narrow, FontValues values) {
    return Render(boxWidth, boxHeight, align, lineSpacing, fontFile, pointSize, red, green, blue, CFontString(text),
                  wide, narrow, values, Fitting());
}

SDL_Surface* FontRenderString(int boxWidth, int boxHeight, int align, int textId, const char* v1, const char* v2,
                              const char* v3, const char* v4, const char* v5, const char* v6) {
    const char* narrow[6] = {v1, v2, v3, v4, v5, v6};
    return RenderEntry(boxWidth, boxHeight, align, textId, nullptr, narrow);
}

SDL_Surface* FontRenderStringTyped(int boxWidth, int boxHeight, int align, int textId, const char* typed,
                                   const char* typed2, int pointSize, FontValues values) {
    const char* narrow[6] = {typed, typed2, nullptr, nullptr, nullptr, nullptr};
    return RenderEntry(boxWidth, boxHeight, align, textId, nullptr, narrow, values, pointSize);
}

SDL_Surface* FontRenderStringWide(int boxWidth, int boxHeight, int align, int textId, const uint16_t* v1,
                                  const uint16_t* v2, const uint16_t* v3, const uint16_t* v4, const uint16_t* v5,
                                  const uint16_t* v6) {
    const uint16_t* wide[6] = {v1, v2, v3, v4, v5, v6};
    return RenderEntry(boxWidth, boxHeight, align, textId, wide, nullptr);
}

SDL_Surface* FontRenderStringBoth(int boxWidth, int boxHeight, int align, int textId, const uint16_t* w1,
                                  const uint16_t* w2, const uint16_t* w3, const uint16_t* w4, const uint16_t* w5,
                                  const uint16_t* w6, const char* n1, const char* n2, const char* n3,
                                  const char* n4, const char* n5, const char* n6) {
    const uint16_t* wide[6] = {w1, w2, w3, w4, w5, w6};
    const char* narrow[6] = {n1, n2, n3, n4, n5, n6};
    return RenderEntry(boxWidth, boxHeight, align, textId, wide, narrow);
}

// ---- Fitting ------------------------------------------------------------------

namespace {

// The entry's font at a size; null when it cannot be opened.
TTF_Font* OpenEntryFont(const CStringEntry& entry, int pointSize) {
    const std::string path = FontGetFolder() + entry.fontFile;
    if (!TTF_WasInit() || entry.fontFile.empty() || pointSize <= 0) return nullptr;
    SDL_RWops* file = OpenForReadingRW(path);
    return file ? TTF_OpenFontRW(file, 1, pointSize) : nullptr;
}

bool IsLines(FontFit how) { return how == FontFit::kLines || how == FontFit::kLinesKeepEnd; }

// The entry with typed values read as the request says.
ReadText ReadRequest(const FontFitRequest& r, const char* typed) {
    const char* narrow[6] = {typed, r.typed2, r.typed3, nullptr, nullptr, nullptr};
    return ReadMarkup(FontGetEntry(r.textId).text, nullptr, narrow, r.values);
}

// The request's entry drawn in its box with typed for "%1", at a size.
SDL_Surface* RenderTyped(const FontFitRequest& r, const char* typed, int align, int pointSize,
                         const Fitting& fitting) {
    const char* narrow[6] = {typed, r.typed2, r.typed3, nullptr, nullptr, nullptr};
    return RenderEntry(r.boxWidth, r.boxHeight, align, r.textId, nullptr, narrow, r.values, pointSize, fitting);
}

// The typed text of one line cut from its end (closed with "...") or from
// its start, as the request says, in the open font at the entry's size.
FontFitted FitOneLineCut(TTF_Font* font, const FontFitRequest& r, const std::string& typed) {
    FontFitted out;
    // The renderer starts a new line once a run reaches the box's width, so
    // a line that fits ends short of it.
    auto fits = [&](const std::string& s) {
        const Layout laid = LayOut(font, ReadRequest(r, s.c_str()), r.boxWidth, false, g_style);
        if (laid.runs.empty()) return r.boxWidth > 0;
        return laid.runs.back().line == 1 && laid.lineWidths[0] < r.boxWidth;
    };
    out.shown = typed;
    if (fits(typed)) return out;
    out.whole = false;
    // Cut between characters only: starts[k] is where character k begins.
    std::vector<size_t> starts;
    const size_t count = CFontString::FromUtf8(typed.c_str(), &starts).Length();
    if (r.how == FontFit::kCutStart) {
        // The fewest characters dropped from the front that leave a text
        // that fits.
        size_t lo = 1, hi = count;
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (fits(typed.substr(starts[mid])))
                hi = mid;
            else
                lo = mid + 1;
        }
        out.shown = typed.substr(starts[lo]);
        return out;
    }
    // The text with k characters kept: from the middle cut, a third of them
    // from the start and the rest from the end, the dots between; from the
    // end cut, all from the start, the dots after them.
    auto cut = [&](size_t k) {
        const size_t head = r.how == FontFit::kCutMiddle ? k / 3 : k;
        std::string front = typed.substr(0, starts[head]);
        std::string back = typed.substr(starts[count - (k - head)]);
        while (!front.empty() && front.back() == ' ') front.pop_back();
        while (!back.empty() && back.front() == ' ') back.erase(0, 1);
        return front + "..." + back;
    };
    // The most characters kept that fit.
    size_t lo = 0, hi = count > 0 ? count - 1 : 0;
    while (lo < hi) {
        const size_t mid = (lo + hi + 1) / 2;
        if (fits(cut(mid)))
            lo = mid;
        else
            hi = mid - 1;
    }
    out.shown = fits(cut(lo)) ? cut(lo) : std::string();
    return out;
}

// The lines of a layout from line `first` on as text, with "%n" at the end
// of each but the last.
std::string LinesText(const ReadText& read, const Layout& laid, int first) {
    CFontString text;
    int line = first;
    for (const LaidRun& r : laid.runs) {
        if (r.line < first) continue;
        for (; line < r.line; ++line) text.Append(CFontString("%n"));
        text.Append(read.units.Substring(r.begin, r.end - r.begin));
    }
    for (; line < laid.lastLine; ++line) text.Append(CFontString("%n"));
    return text.Utf8();
}

// The text of several lines fitted (a kLines way): laid out a point smaller
// at a time until its lines fit the box or the smallest size is tried. With
// picture set it is drawn as fitted, in the font of the size chosen.
FontFitted FitLines(const FontFitRequest& r, int align, SDL_Surface** picture) {
    const CStringEntry& entry = FontGetEntry(r.textId);
    const ReadText read = ReadRequest(r, r.typed);
    const bool keepEnd = r.how == FontFit::kLinesKeepEnd;
    FontFitted out;
    out.pointSize = entry.pointSize;
    out.shown = r.typed ? r.typed : "";
    TTF_Font* font = nullptr;
    Layout laid;
    int lines = 0;
    int step = 0;      // from one line's top to the next one's
    int lastLine = 0;  // the height the last line needs
    for (int size = entry.pointSize; size > 0; --size) {
        TTF_Font* sized = OpenEntryFont(entry, size);
        if (!sized) break;
        if (font) TTF_CloseFont(font);
        font = sized;
        out.pointSize = size;
        laid = LayOut(font, read, r.boxWidth, true, g_style);
        // A text whose end is followed counts the line it ends on, empty
        // or not; otherwise the lines drawn count.
        lines = keepEnd ? laid.lastLine : static_cast<int>(laid.lineWidths.size());
        step = TTF_FontHeight(font) + entry.lineSpacing;
        lastLine = std::max(TTF_FontHeight(font), r.lastLineHeight);
        if ((lines - 1) * step + lastLine <= r.boxHeight || size <= r.smallest) break;
    }
    Fitting fitting;
    fitting.on = true;
    if (!font) {
        // Drawn as it is (the renderer says why it cannot open the font).
        if (picture) *picture = RenderTyped(r, r.typed, align, out.pointSize, fitting);
        return out;
    }
    const int room = step > 0 ? std::max(1, (r.boxHeight - lastLine) / step + 1) : lines;
    // Still too many lines at the smallest size: a text whose end matters
    // shows its last lines and leaves out the ones before them, as a
    // one-line box leaves out the start of its text; any other leaves out
    // the lines past the box's bottom.
    if (keepEnd && lines > room) out.firstLine = lines - room + 1;
    out.whole = lines <= room;
    if (r.balanced && !keepEnd && out.whole && lines > 1) {
        // The narrowest wrap that needs no more lines (a wider one never
        // needs more).
        int narrow = 1, wide = r.boxWidth;
        while (narrow < wide) {
            const int mid = narrow + (wide - narrow) / 2;
            const Layout trial = LayOut(font, read, mid, true, g_style);
            if (static_cast<int>(trial.lineWidths.size()) <= lines && trial.lastLine <= laid.lastLine)
                wide = mid;
            else
                narrow = mid + 1;
        }
        laid = LayOut(font, read, wide, true, g_style);
    }
    out.shown = LinesText(read, laid, out.firstLine);
    if (picture) {
        fitting.firstLine = out.firstLine;
        g_style = laid.endStyle;
        *picture = Compose(font, read, laid, r.boxWidth, r.boxHeight, align, entry.lineSpacing,
                           EntryColour(entry), fitting);
    }
    TTF_CloseFont(font);
    return out;
}

// A name on one line set a point smaller at a time until it fits.
FontFitted FitSmaller(const FontFitRequest& r) {
    const CStringEntry& entry = FontGetEntry(r.textId);
    const ReadText read = ReadRequest(r, r.typed);
    FontFitted out;
    out.pointSize = entry.pointSize;
    out.shown = r.typed ? r.typed : "";
    for (int size = entry.pointSize; size > 0; --size) {
        TTF_Font* font = OpenEntryFont(entry, size);
        if (!font) break;
        const Layout laid = LayOut(font, read, r.boxWidth, false, g_style);
        TTF_CloseFont(font);
        out.pointSize = size;
        // Laid out left-aligned: a line that fits starts at 0 and ends
        // inside the box; the renderer puts a run too wide for the box on a
        // line of its own, past the box's end.
        out.whole = !laid.runs.empty() && laid.runs.back().line == 1 && laid.lineWidths[0] <= r.boxWidth;
        if (out.whole || size <= r.smallest) break;
    }
    return out;
}

// Fits as the request says; with picture set, draws the text as fitted.
FontFitted Fit(const FontFitRequest& r, int align, SDL_Surface** picture) {
    if (IsLines(r.how)) return FitLines(r, align, picture);
    FontFitted out;
    if (r.how == FontFit::kSmaller) {
        out = FitSmaller(r);
    } else {
        const CStringEntry& entry = FontGetEntry(r.textId);
        const std::string typed = r.typed ? r.typed : "";
        TTF_Font* font = typed.empty() ? nullptr : OpenEntryFont(entry, entry.pointSize);
        if (font) {
            out = FitOneLineCut(font, r, typed);
            TTF_CloseFont(font);
        } else {
            out.shown = typed;
        }
        out.pointSize = entry.pointSize;
    }
    if (picture) *picture = RenderTyped(r, out.shown.c_str(), align, out.pointSize, Fitting());
    return out;
}

}  // namespace

FontFitted FontFitTyped(const FontFitRequest& request) { return Fit(request, 0, nullptr); }

SDL_Surface* FontRenderStringFitted(const FontFitRequest& request, int align, FontFitted* fitted) {
    SDL_Surface* picture = nullptr;
    const FontFitted fit = Fit(request, align, &picture);
    if (fitted) *fitted = fit;
    return picture;
}

int FontGetTextEndX() { return g_lastEndX; }
int FontGetTextEndY() { return g_lastEndY; }

int FontGetStyle() { return g_style; }

void FontResetStyle() { g_style = 0; }

const std::vector<FontRunPlacement>& FontGetLastPlacements() { return g_placements; }

void FontSetRenderLog(std::vector<std::vector<FontRunPlacement>>* log) { g_renderLog = log; }
