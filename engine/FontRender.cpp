// The text renderer: splits a text into runs at spaces and markup tokens,
// renders each run blended in the current style, wraps runs to the box
// width, aligns and spaces the lines and copies the runs onto a transparent
// surface. No font cache: each call opens its font and closes it again.
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/CFontString.h"
#include "engine/FontRender.h"
#include "engine/Log.h"

namespace {

struct Run {
    SDL_Surface* surface;
    int line;
    int style;
    std::u16string text;
};

bool g_bold = false;
bool g_italic = false;
bool g_underline = false;
int g_currentX = 0;
int g_currentLine = 1;
std::vector<Run> g_runs;
std::vector<int> g_lineWidths;
int g_lastEndX = 0;
int g_lastEndY = 0;
std::vector<FontRunPlacement> g_placements;
std::vector<std::vector<FontRunPlacement>>* g_renderLog = nullptr;
// While a text is fitted to its box: a word wider than the box breaks
// between its characters, and a line the box cannot hold whole is left out.
bool g_fitting = false;
// The height the lines of the last text rendered fill.
int g_lastLinesHeight = 0;

const uint16_t kTokens[10][3] = {
    {'%', 'b', 0}, {'%', 'i', 0}, {'%', 'u', 0}, {'%', 'n', 0}, {'%', '1', 0},
    {'%', '2', 0}, {'%', '3', 0}, {'%', '4', 0}, {'%', '5', 0}, {'%', '6', 0},
};
const int kLineBreakToken = 3;
const int kFirstPlaceholder = 4;

// The run as drawn: a character the font has no glyph for (a name in a
// script it does not cover) is a "?", not the font's empty box.
CFontString DrawnUnits(TTF_Font* font, const CFontString& run) {
    CFontString drawn;
    for (size_t i = 0; i < run.Length(); ++i)
        drawn.Append(TTF_GlyphIsProvided(font, run.At(i)) ? run.At(i) : static_cast<uint16_t>('?'));
    return drawn;
}

// The width of one run as the renderer draws it.
int RunWidth(TTF_Font* font, const CFontString& run) {
    CFontString units = DrawnUnits(font, run);
    int w = 0, h = 0;
    return TTF_SizeUNICODE(font, units.c_str(), &w, &h) == 0 ? w : 0;
}

// How many of a word's first characters fit on a line already x pixels
// full in a box maxWidth wide (a line ends short of the width), at least one
// on an empty line. Where those characters hold a '/' or a '-' after their
// first half, the word breaks after it: a path breaks between its folders.
size_t FittingPrefix(TTF_Font* font, const CFontString& word, int x, int maxWidth) {
    size_t n = 0;
    while (n < word.Length() && x + RunWidth(font, word.Substring(0, n + 1)) < maxWidth) ++n;
    if (n == 0) return x == 0 && word.Length() > 0 ? 1 : 0;
    if (n == word.Length()) return n;
    for (size_t k = n; 2 * k > n; --k)
        if (word.At(k - 1) == '/' || word.At(k - 1) == '-') return k;
    return n;
}

// Sets the font to the current bold, italic and underline.
void ApplyStyle(TTF_Font* font) {
    TTF_SetFontStyle(font, (g_bold ? TTF_STYLE_BOLD : 0) | (g_italic ? TTF_STYLE_ITALIC : 0) |
                               (g_underline ? TTF_STYLE_UNDERLINE : 0));
}

void NewLine() {
    g_lineWidths.push_back(g_currentX);
    ++g_currentLine;
    g_currentX = 0;
}

void PlaceRun(const CFontString& run, TTF_Font* font, const SDL_Color& colour, int boxWidth) {
    CFontString drawn = DrawnUnits(font, run);
    SDL_Surface* surface = TTF_RenderUNICODE_Blended(font, drawn.c_str(), colour);
    if (!surface) {
        // Nothing to place without a surface; the text goes on without it.
        DebugLog(DBG_WARNING, "FontAddRun()   Cannot render a run: %s\n", TTF_GetError());
        return;
    }
    if (g_currentX != 0 && g_currentX + surface->w >= boxWidth) NewLine();
    g_currentX += surface->w;
    std::u16string text;
    for (size_t i = 0; i < drawn.Length(); ++i) text.push_back(static_cast<char16_t>(drawn.At(i)));
    g_runs.push_back({surface, g_currentLine, FontGetStyle(), std::move(text)});
}

void AddRun(CFontString run, TTF_Font* font, const SDL_Color& colour, int boxWidth) {
    ApplyStyle(font);
    // A word wider than a whole line fills the line it starts on and goes
    // on in the next.
    while (g_fitting && !run.Empty() && RunWidth(font, run) >= boxWidth) {
        const size_t n = FittingPrefix(font, run, g_currentX, boxWidth);
        if (n > 0) PlaceRun(run.Substring(0, n), font, colour, boxWidth);
        NewLine();
        run = run.Suffix(n);
    }
    if (!run.Empty()) PlaceRun(run, font, colour, boxWidth);
}

}  // namespace

void FontClearRenderLists() {
    for (Run& r : g_runs) SDL_FreeSurface(r.surface);
    g_runs.clear();
    g_lineWidths.clear();
}

SDL_Surface* FontRenderText(int boxWidth, int boxHeight, int align, int lineSpacing, const char* fontFile,
                            int pointSize, uint8_t red, uint8_t green, uint8_t blue, const uint16_t* text,
                            const uint16_t* const* wide, const char* const* narrow, FontValues values) {
    g_currentLine = 1;
    g_currentX = 0;
    FontClearRenderLists();

    const std::string path = FontGetFolder() + (fontFile ? fontFile : "");
    TTF_Font* font = TTF_OpenFont(path.c_str(), pointSize);
    if (!font) {
        ErrorLog(false, "FONTSYSTEM: Attempted to load font file '%s'\n", path.c_str());
        ErrorLog(false, "FONTSYSTEM: SDL_ttf font loading error: %s\n", TTF_GetError());
        exit(1);
    }
    SDL_Color colour;
    colour.r = red;
    colour.g = green;
    colour.b = blue;
    colour.unused = 0;

    CFontString rest(text);
    // The first `protectedUnits` units of rest came from a placeholder value.
    // Placeholder tokens inside them are plain text: a value that holds its
    // own token must not expand forever. A typed value holds no markup at
    // all: a "%b" in a name is two characters, not a style that would leak
    // into every later text, and "%n" in a heading or a file name is no line
    // break; a sign's text keeps its line breaks.
    const bool typed = values != FontValues::kMarkup;
    size_t protectedUnits = 0;
    auto searchFrom = [&](int token) -> size_t {
        if (token >= kFirstPlaceholder) return protectedUnits;
        if (typed && !(values == FontValues::kTypedLines && token == kLineBreakToken)) return protectedUnits;
        return 0;
    };
    auto consume = [&](size_t n) {
        rest = rest.Suffix(n);
        protectedUnits = protectedUnits > n ? protectedUnits - n : 0;
    };

    for (;;) {
        int best = rest.Find(static_cast<uint16_t>(' '));
        int bestToken = -1;
        for (int t = 0; t < 10; ++t) {
            const int at = rest.Find(kTokens[t], searchFrom(t));
            if (at >= 0 && (best < 0 || at < best)) {
                best = at;
                bestToken = t;
            }
        }
        if (best < 0) break;

        if (bestToken >= 0 && best == 0) {
            consume(2);
            switch (bestToken) {
                case 0:
                    g_bold = !g_bold;
                    break;
                case 1:
                    g_italic = !g_italic;
                    break;
                case 2:
                    g_underline = !g_underline;
                    break;
                case 3:
                    NewLine();
                    break;
                default: {
                    const int k = bestToken - kFirstPlaceholder;
                    const uint16_t* w = wide ? wide[k] : nullptr;
                    const char* n = narrow ? narrow[k] : nullptr;
                    CFontString value;
                    if (w) {
                        value = w;
                    } else if (n) {
                        value = typed ? CFontString::FromUtf8(n) : CFontString(n);
                    }
                    if (!value.Empty()) {
                        protectedUnits = value.Length();
                        value.Append(rest);
                        rest = value;
                    }
                    break;
                }
            }
            continue;
        }

        CFontString run;
        if (bestToken >= 0) {
            run = rest.Substring(0, static_cast<size_t>(best));
            consume(static_cast<size_t>(best));
        } else {
            run = rest.Substring(0, static_cast<size_t>(best) + 1);
            consume(static_cast<size_t>(best) + 1);
        }
        if (!run.Empty()) AddRun(run, font, colour, boxWidth);
    }
    if (!rest.Empty()) AddRun(rest, font, colour, boxWidth);
    if (g_currentX != 0) g_lineWidths.push_back(g_currentX);

    if (g_runs.empty()) {
        TTF_CloseFont(font);
        FontClearRenderLists();
        return nullptr;
    }

    const SDL_PixelFormat* f = g_runs[0].surface->format;
    SDL_Surface* result = SDL_CreateRGBSurface(g_runs[0].surface->flags & (SDL_SRCALPHA | SDL_SRCCOLORKEY),
                                               boxWidth > 0 ? boxWidth : 0, boxHeight > 0 ? boxHeight : 0,
                                               f->BitsPerPixel, f->Rmask, f->Gmask, f->Bmask, f->Amask);
    g_placements.clear();
    if (result) {
        SDL_FillRect(result, nullptr, SDL_MapRGBA(result->format, 0, 0, 0, 0));
        const int lineHeight = TTF_FontHeight(font);
        const int n = static_cast<int>(g_lineWidths.size());
        g_lastLinesHeight = lineHeight * n + lineSpacing * (n - 1);
        int offset = 0;
        if (align == 3 || align == 4) offset = (boxHeight - g_lastLinesHeight) / 2;
        int x = 0;
        int prevLine = -1;
        for (Run& r : g_runs) {
            if (r.line != prevLine) {
                const size_t idx = static_cast<size_t>(r.line - 1);
                const int lineWidth = idx < g_lineWidths.size() ? g_lineWidths[idx] : 0;
                if (align == 0 || align == 4) {
                    x = 0;
                } else if (align == 1) {
                    x = boxWidth - lineWidth;
                } else {
                    x = (boxWidth - lineWidth) / 2;
                }
                prevLine = r.line;
            }
            SDL_SetAlpha(r.surface, 0, 0);
            const int y = (lineHeight + lineSpacing) * (r.line - 1) + offset;
            if (g_fitting && (y < 0 || y + lineHeight > boxHeight)) continue;
            SDL_Rect dst = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
            SDL_BlitSurface(r.surface, nullptr, result, &dst);
            // The run is freed after this: its text moves to the placement.
            g_placements.push_back({x, y, r.surface->w, r.surface->h, r.line, r.style, std::move(r.text)});
            x += r.surface->w;
        }
        g_lastEndX = g_runs.back().line == g_currentLine ? x : 0;
        g_lastEndY = (lineHeight + lineSpacing) * (g_currentLine - 1) + offset;
        if (g_renderLog) g_renderLog->push_back(g_placements);
    }
    TTF_CloseFont(font);
    FontClearRenderLists();
    return result;
}

SDL_Surface* FontRenderText(int boxWidth, int boxHeight, int align, int lineSpacing, const char* fontFile,
                            int pointSize, uint8_t red, uint8_t green, uint8_t blue, const char* text,
                            const uint16_t* const* wide, const char* const* narrow, FontValues values) {
    CFontString widened(text);
    return FontRenderText(boxWidth, boxHeight, align, lineSpacing, fontFile, pointSize, red, green, blue,
                          widened.c_str(), wide, narrow, values);
}

namespace {

// pointSize 0 is the entry's own size.
SDL_Surface* RenderEntry(int boxWidth, int boxHeight, int align, int textId, const uint16_t* const* wide,
                         const char* const* narrow, FontValues values = FontValues::kMarkup, int pointSize = 0) {
    CStringEntry& entry = FontGetEntry(textId);
    CFontString text = entry.text;
    return FontRenderText(boxWidth, boxHeight, align, entry.lineSpacing, entry.fontFile.c_str(),
                          pointSize > 0 ? pointSize : entry.pointSize, entry.red, entry.green, entry.blue, text.c_str(),
                          wide, narrow, values);
}

}  // namespace

SDL_Surface* FontRenderString(int boxWidth, int boxHeight, int align, int textId, const char* v1, const char* v2,
                              const char* v3, const char* v4, const char* v5, const char* v6) {
    const char* narrow[6] = {v1, v2, v3, v4, v5, v6};
    return RenderEntry(boxWidth, boxHeight, align, textId, nullptr, narrow);
}

SDL_Surface* FontRenderStringTyped(int boxWidth, int boxHeight, int align, int textId, const char* typed,
                                   const char* typed2, int pointSize, bool lines) {
    const char* narrow[6] = {typed, typed2, nullptr, nullptr, nullptr, nullptr};
    return RenderEntry(boxWidth, boxHeight, align, textId, nullptr, narrow,
                       lines ? FontValues::kTypedLines : FontValues::kTyped, pointSize);
}

SDL_Surface* FontRenderStringTypedFitted(int boxWidth, int boxHeight, int align, int textId, const char* typed,
                                         const char* typed2) {
    g_fitting = true;
    SDL_Surface* result = nullptr;
    for (int size = FontGetEntry(textId).pointSize;; --size) {
        SDL_FreeSurface(result);
        result = FontRenderStringTyped(boxWidth, boxHeight, align, textId, typed, typed2, size);
        if (!result || g_lastLinesHeight <= boxHeight || size <= kFontSmallestFitSize) break;
    }
    g_fitting = false;
    return result;
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

namespace {

// The width of a typed run in UTF-8 as the renderer draws it.
int RunWidth(TTF_Font* font, const std::string& run) { return RunWidth(font, CFontString::FromUtf8(run.c_str())); }

// Whether a character of a UTF-8 text starts at i (or the text ends there):
// a typed text is cut only there.
bool StartsCharacter(const std::string& s, size_t i) {
    return i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80;
}

// The width of a text on one line as the renderer lays it out: runs that
// each end after a space, drawn side by side.
int LineWidth(TTF_Font* font, const CFontString& text) {
    int width = 0;
    size_t start = 0;
    while (start < text.Length()) {
        size_t end = start;
        while (end < text.Length() && text.At(end) != ' ') ++end;
        if (end < text.Length()) ++end;
        width += RunWidth(font, text.Substring(start, end - start));
        start = end;
    }
    return width;
}

// The entry's font at a size (0: its own) in the current style; null when
// it cannot be opened.
TTF_Font* OpenEntryFont(const CStringEntry& entry, int pointSize) {
    const std::string path = FontGetFolder() + entry.fontFile;
    TTF_Font* font =
        TTF_WasInit() && !entry.fontFile.empty() ? TTF_OpenFont(path.c_str(), pointSize > 0 ? pointSize : entry.pointSize)
                                                 : nullptr;
    if (font) ApplyStyle(font);
    return font;
}

// A typed text broken into lines as the renderer wraps it in a box of
// maxWidth, with a line break written at the end of every line, and a
// word too wide for a whole line broken between its characters where the
// line is full. A word is what the renderer draws as one run: the
// characters up to and including a blank, or up to a line break.
std::string BreakTypedLines(TTF_Font* font, const std::string& typed, int maxWidth, int* lines) {
    std::string out;
    int x = 0;
    *lines = 1;
    auto newLine = [&]() {
        out += "%n";
        ++*lines;
        x = 0;
    };
    size_t i = 0;
    while (i < typed.size()) {
        if (typed.compare(i, 2, "%n") == 0) {
            newLine();
            i += 2;
            continue;
        }
        size_t end = i;
        while (end < typed.size() && typed[end] != ' ' && typed.compare(end, 2, "%n") != 0) ++end;
        if (end < typed.size() && typed[end] == ' ') ++end;
        const std::string word = typed.substr(i, end - i);
        i = end;
        const int w = RunWidth(font, word);
        if (w < maxWidth) {
            // The renderer's rule: a run that reaches the box's width starts
            // the next line.
            if (x != 0 && x + w >= maxWidth) newLine();
            out += word;
            x += w;
            continue;
        }
        // Broken where the line is full, as the renderer breaks a word too
        // wide for its box.
        CFontString rest = CFontString::FromUtf8(word.c_str());
        while (RunWidth(font, rest) >= maxWidth) {
            const size_t n = FittingPrefix(font, rest, x, maxWidth);
            out += rest.Substring(0, n).Utf8();
            newLine();
            rest = rest.Suffix(n);
        }
        out += rest.Utf8();
        x += RunWidth(font, rest);
    }
    return out;
}

}  // namespace

std::string FontFitTyped(int textId, const std::string& typed, int maxWidth, bool keepEnd) {
    if (typed.empty()) return typed;
    TTF_Font* font = OpenEntryFont(FontGetEntry(textId), 0);
    if (!font) return typed;
    // The renderer starts a new line once a run reaches the box's width, so
    // a line that fits ends short of it.
    auto fits = [&](const std::string& s) {
        return LineWidth(font, CFontString::FromUtf8(s.c_str())) < maxWidth;
    };
    std::string result;
    if (fits(typed)) {
        result = typed;
    } else if (keepEnd) {
        // The shortest cut from the front that fits.
        size_t lo = 1, hi = typed.size();
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (fits(typed.substr(mid)))
                hi = mid;
            else
                lo = mid + 1;
        }
        // Dropping the rest of a character leaves a text that fits still.
        while (!StartsCharacter(typed, lo)) ++lo;
        result = typed.substr(lo);
    } else {
        // The longest beginning that fits with the dots after it.
        auto cut = [&](size_t n) {
            while (n > 0 && !StartsCharacter(typed, n)) --n;
            std::string s = typed.substr(0, n);
            while (!s.empty() && s.back() == ' ') s.pop_back();
            return s + "...";
        };
        size_t lo = 0, hi = typed.size() - 1;
        while (lo < hi) {
            const size_t mid = (lo + hi + 1) / 2;
            if (fits(cut(mid)))
                lo = mid;
            else
                hi = mid - 1;
        }
        result = fits(cut(lo)) ? cut(lo) : std::string();
    }
    TTF_CloseFont(font);
    return result;
}

std::string FontFitTypedLines(int textId, const std::string& typed, int maxWidth, int maxHeight, int lastLineHeight,
                              int* pointSize) {
    const CStringEntry& entry = FontGetEntry(textId);
    *pointSize = entry.pointSize;
    std::string laid = typed;
    int lines = 1;
    int step = 0;      // from one line's top to the next one's
    int lastLine = 0;  // the height the last line needs
    for (int size = entry.pointSize; size > 0; --size) {
        TTF_Font* font = OpenEntryFont(entry, size);
        if (!font) return laid;
        laid = BreakTypedLines(font, typed, maxWidth, &lines);
        const int lineHeight = TTF_FontHeight(font);
        TTF_CloseFont(font);
        *pointSize = size;
        step = lineHeight + entry.lineSpacing;
        lastLine = std::max(lineHeight, lastLineHeight);
        if ((lines - 1) * step + lastLine <= maxHeight || size <= kFontSmallestFitSize) break;
    }
    // Still too many lines at the smallest size: the last ones are shown
    // and the lines before them left out, as a one-line box leaves out the
    // start of its text.
    const int room = step > 0 ? std::max(1, (maxHeight - lastLine) / step + 1) : lines;
    for (; lines > room; --lines) {
        const size_t lineEnd = laid.find("%n");
        if (lineEnd == std::string::npos) break;
        laid.erase(0, lineEnd + 2);
    }
    return laid;
}

int FontGetTextEndX() { return g_lastEndX; }
int FontGetTextEndY() { return g_lastEndY; }

int FontGetStyle() { return (g_bold ? 1 : 0) | (g_italic ? 2 : 0) | (g_underline ? 4 : 0); }

void FontResetStyle() {
    g_bold = false;
    g_italic = false;
    g_underline = false;
}

const std::vector<FontRunPlacement>& FontGetLastPlacements() { return g_placements; }

void FontSetRenderLog(std::vector<std::vector<FontRunPlacement>>* log) { g_renderLog = log; }
