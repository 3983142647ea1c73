// The text renderer's geometry (not its glyph pixels): runs at spaces and
// tokens, wrapping at the box width, "%n" breaks, the five alignments, end
// positions, placeholders and style toggles.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "engine/CFontString.h"
#include "engine/FontRender.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "tests/support/TestSupport.h"

namespace {

const char* kFont = "DejaVuSans-Bold.ttf";
const int kSize = 16;

class TextRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0);
        const std::string run = std::string(ZORV_RUN_DIR) + "/";
        const std::string system = "/usr/share/fonts/truetype/dejavu/";
        folder_ = PlatformFileExists(run + kFont) ? run : system;
        if (!PlatformFileExists(folder_ + kFont)) GTEST_SKIP() << "no DejaVu font";
        FontSetFolder(folder_.c_str());
        FontResetStyle();
        TTF_Font* font = TTF_OpenFont((folder_ + kFont).c_str(), kSize);
        ASSERT_NE(font, nullptr);
        lineHeight_ = TTF_FontHeight(font);
        TTF_CloseFont(font);
    }
    void TearDown() override {
        FontResetStyle();
        TTF_Quit();
    }

    SDL_Surface* Render(const std::string& text, int w = 400, int h = 200, int align = 0, int spacing = 0,
                        const char* const* narrow = nullptr, const uint16_t* const* wide = nullptr) {
        return FontRenderText(w, h, align, spacing, kFont, kSize, 255, 255, 255, text.c_str(), wide, narrow);
    }

    // Width of a text rendered as one run.
    int RunWidth(const std::string& text) {
        SDL_Surface* s = Render(text, 2000, 100);
        EXPECT_NE(s, nullptr);
        const std::vector<FontRunPlacement>& p = FontGetLastPlacements();
        int w = 0;
        for (const auto& r : p) w += r.w;
        SDL_FreeSurface(s);
        return w;
    }

    // Width of a text measured by the font itself (no markup applied).
    int TextWidth(const std::string& text) {
        TTF_Font* font = TTF_OpenFont((folder_ + kFont).c_str(), kSize);
        CFontString wide(text.c_str());
        int w = 0, h = 0;
        TTF_SizeUNICODE(font, wide.c_str(), &w, &h);
        TTF_CloseFont(font);
        return w;
    }

    std::vector<FontRunPlacement> RenderPlacements(const std::string& text, int w = 400, int h = 200, int align = 0,
                                                   int spacing = 0, const char* const* narrow = nullptr,
                                                   const uint16_t* const* wide = nullptr) {
        SDL_Surface* s = Render(text, w, h, align, spacing, narrow, wide);
        EXPECT_NE(s, nullptr) << text;
        if (s) {
            EXPECT_EQ(s->w, w);
            EXPECT_EQ(s->h, h);
            SDL_FreeSurface(s);
        }
        return FontGetLastPlacements();
    }

    std::string folder_;
    int lineHeight_ = 0;
};

}  // namespace

TEST_F(TextRenderTest, EmptyTextsGiveNoSurfaceAndKeepTheEndPosition) {
    SDL_Surface* s = Render("abc");
    ASSERT_NE(s, nullptr);
    SDL_FreeSurface(s);
    const int endX = FontGetTextEndX();
    EXPECT_GT(endX, 0);
    EXPECT_EQ(Render(""), nullptr);
    EXPECT_EQ(Render("%n"), nullptr);
    EXPECT_EQ(Render("%b%b%1"), nullptr);
    EXPECT_EQ(FontGetTextEndX(), endX);
    EXPECT_EQ(FontGetTextEndY(), 0);
}

TEST_F(TextRenderTest, RunsSplitAtSpacesAndCarryTheirSpace) {
    const int wa = RunWidth("aaa ");
    const int wb = RunWidth("bbb");
    const auto p = RenderPlacements("aaa bbb");
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].x, 0);
    EXPECT_EQ(p[0].w, wa);
    EXPECT_EQ(p[1].x, wa);
    EXPECT_EQ(p[1].w, wb);
    EXPECT_EQ(p[1].line, 1);
    EXPECT_EQ(FontGetTextEndX(), wa + wb);
    EXPECT_EQ(FontGetTextEndY(), 0);
}

TEST_F(TextRenderTest, SeveralSpacesGiveOneSpaceRuns) {
    const auto p = RenderPlacements("a   b");
    ASSERT_EQ(p.size(), 4u);  // "a ", " ", " ", "b"
    EXPECT_EQ(p[1].w, p[2].w);
}

TEST_F(TextRenderTest, RunsThatFillTheBoxExactlyWrap) {
    const int wa = RunWidth("aaa ");
    const int wb = RunWidth("bbb");
    auto p = RenderPlacements("aaa bbb", wa + wb, 100);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1].line, 2);
    EXPECT_EQ(p[1].x, 0);
    EXPECT_EQ(p[1].y, lineHeight_);
    p = RenderPlacements("aaa bbb", wa + wb + 1, 100);
    EXPECT_EQ(p[1].line, 1);
}

TEST_F(TextRenderTest, WordWiderThanTheBoxStaysAndTheNextRunWraps) {
    const auto p = RenderPlacements("enormousword next", 20, 100, 0, 3);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].line, 1);
    EXPECT_GT(p[0].w, 20);
    EXPECT_EQ(p[1].line, 2);
    EXPECT_EQ(p[1].y, lineHeight_ + 3);
}

TEST_F(TextRenderTest, LineBreakTokenAndEndPosition) {
    auto p = RenderPlacements("one%ntwo", 400, 200, 0, 4);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1].line, 2);
    EXPECT_EQ(p[1].x, 0);
    EXPECT_EQ(p[1].y, lineHeight_ + 4);
    EXPECT_EQ(FontGetTextEndX(), p[1].w);
    EXPECT_EQ(FontGetTextEndY(), lineHeight_ + 4);

    p = RenderPlacements("one%n", 400, 200, 0, 4);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(FontGetTextEndX(), 0);
    EXPECT_EQ(FontGetTextEndY(), lineHeight_ + 4);

    // Two breaks in a row leave one empty line.
    p = RenderPlacements("a%n%nb", 400, 200, 0, 0);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1].line, 3);
    EXPECT_EQ(p[1].y, 2 * lineHeight_);
}

TEST_F(TextRenderTest, Alignments) {
    const int w = RunWidth("word ");
    auto p = RenderPlacements("word ", 300, 100, 1);
    EXPECT_EQ(p[0].x, 300 - w);
    p = RenderPlacements("word ", 300, 100, 2);
    EXPECT_EQ(p[0].x, (300 - w) / 2);
    EXPECT_EQ(p[0].y, 0);
    p = RenderPlacements("word ", 300, 100, 7);  // any other code: centred from the top
    EXPECT_EQ(p[0].x, (300 - w) / 2);
    EXPECT_EQ(p[0].y, 0);
    p = RenderPlacements("word ", 300, 100, 0);
    EXPECT_EQ(p[0].x, 0);

    // Vertical centring counts the ended lines and a non-empty last one.
    p = RenderPlacements("word%nword", 300, 100, 3, 5);
    ASSERT_EQ(p.size(), 2u);
    const int offset = (100 - (2 * lineHeight_ + 5)) / 2;
    EXPECT_EQ(p[0].y, offset);
    EXPECT_EQ(p[1].y, offset + lineHeight_ + 5);
    EXPECT_EQ(p[0].x, (300 - RunWidth("word")) / 2);
    p = RenderPlacements("word%nword", 300, 100, 4, 5);
    EXPECT_EQ(p[0].x, 0);
    EXPECT_EQ(p[1].y, offset + lineHeight_ + 5);
    EXPECT_EQ(FontGetTextEndY(), offset + lineHeight_ + 5);
}

TEST_F(TextRenderTest, StyleTokensSplitRunsAndCarryOver) {
    auto p = RenderPlacements("%bBold%b plain");
    ASSERT_EQ(p.size(), 3u);  // the bold word, the plain space, the plain word
    EXPECT_EQ(p[0].line, 1);
    EXPECT_EQ(p[2].line, 1);
    EXPECT_EQ(FontGetStyle(), 0);
    // A lone toggle leaves the style on for the texts after it.
    SDL_FreeSurface(Render("x%b"));
    EXPECT_EQ(FontGetStyle(), 1);
    SDL_FreeSurface(Render("%i%u"));
    EXPECT_EQ(FontGetStyle(), 7);
    SDL_FreeSurface(Render("%b%i%u"));
    EXPECT_EQ(FontGetStyle(), 0);
}

TEST_F(TextRenderTest, PercentWithoutATokenIsText) {
    auto p = RenderPlacements("100%");
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].w, RunWidth("100%"));
    p = RenderPlacements("%x%");
    ASSERT_EQ(p.size(), 1u);
}

TEST_F(TextRenderTest, Placeholders) {
    const char* narrow[6] = {"Ann", nullptr, "x%ny", nullptr, nullptr, nullptr};
    // The value goes in front of the rest of the text: "Hi ", "Ann!".
    auto p = RenderPlacements("Hi %1!", 400, 200, 0, 0, narrow);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1].w, TextWidth("Ann!"));
    // A value in quotes that does not fit the line's end goes to the next
    // line with its opening quote, and so does a word split by a style
    // token: lines break only after a space.
    for (const std::string& text : {std::string("kept as \"%1\" now"), std::string("kept as %bA%bnn\" now")}) {
        p = RenderPlacements(text, RunWidth("kept as \"An"), 200, 0, 0, narrow);
        ASSERT_GE(p.size(), 3u) << text;
        EXPECT_EQ(p[2].line, 2) << text;
        EXPECT_EQ(p[1].line, 1) << text;
        EXPECT_EQ(p[2].x, 0) << text;
    }
    // A placeholder with no value disappears.
    p = RenderPlacements("a%2b", 400, 200, 0, 0, narrow);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].w + p[1].w, RunWidth("a") + RunWidth("b"));
    // A value holding "%n" breaks the line.
    p = RenderPlacements("%3", 400, 200, 0, 0, narrow);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1].line, 2);
    // A wide value wins over a narrow one.
    const uint16_t bob[] = {'B', 'o', 'b', 'b', 'y', 0};
    const uint16_t* wide[6] = {bob, nullptr, nullptr, nullptr, nullptr, nullptr};
    p = RenderPlacements("%1", 400, 200, 0, 0, narrow, wide);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].w, RunWidth("Bobby"));
}

TEST_F(TextRenderTest, ValueHoldingItsOwnTokenEnds) {
    const char* narrow[6] = {"%1", "a%2b", nullptr, nullptr, nullptr, nullptr};
    auto p = RenderPlacements("name: %1", 400, 200, 0, 0, narrow);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1].w, TextWidth("%1"));  // drawn as typed
    p = RenderPlacements("%2", 400, 200, 0, 0, narrow);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].w, TextWidth("a%2b"));
    // Markup inside a value still takes effect.
    const char* styled[6] = {"%bx%b y", nullptr, nullptr, nullptr, nullptr, nullptr};
    p = RenderPlacements("%1", 400, 200, 0, 0, styled);
    EXPECT_EQ(p.size(), 3u);
    EXPECT_EQ(FontGetStyle(), 0);
}

TEST_F(TextRenderTest, TypedValuesAreDrawnAsTheCharactersTheyHold) {
    // The lines drawn, run texts joined, and the style of every run.
    auto render = [&](const char* value, FontValues values, std::vector<std::u16string>* lines) {
        const char* typed[6] = {value, nullptr, nullptr, nullptr, nullptr, nullptr};
        SDL_Surface* s = FontRenderText(400, 200, 0, 0, kFont, kSize, 0, 0, 0, "name: %1%n.", nullptr, typed, values);
        ASSERT_NE(s, nullptr) << value;
        SDL_FreeSurface(s);
        lines->clear();
        for (const FontRunPlacement& r : FontGetLastPlacements()) {
            lines->resize(static_cast<size_t>(r.line));
            lines->back() += r.text;
            EXPECT_EQ(r.style, 0) << value;
        }
    };
    std::vector<std::u16string> lines;
    // A name or a heading: no token in it is markup, no style leaks out, and
    // the text's own "%n" after it still breaks the line.
    render("%b%1x%n%iy%u", FontValues::kTyped, &lines);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"name: %b%1x%n%iy%u", u"."}));
    EXPECT_EQ(FontGetStyle(), 0);
    // A sign's text keeps its line breaks, and only them.
    render("%b%1x%n%iy%u", FontValues::kTypedLines, &lines);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"name: %b%1x", u"%iy%u", u"."}));
    EXPECT_EQ(FontGetStyle(), 0);
    // Typed text is UTF-8, as the system writes names: a character the font
    // lacks, one beyond 16 bits and every byte of no whole sequence is a "?".
    render("caf\xC3\xA9 \xC5\x82\xC3\xB3" "d\xC5\xBA", FontValues::kTyped, &lines);
    EXPECT_EQ(lines[0], u"name: caf\u00E9 \u0142\u00F3d\u017A");
    render("\xE6\x97\xA5|\xF0\x9F\x98\x80|a\xFF\xC3" "b|\xE2\x82x|\xC0\xAF|\xED\xA0\x80|\xE2", FontValues::kTyped,
           &lines);
    EXPECT_EQ(lines[0], u"name: ?|?|a??b|?x|??|???|?");
    // Each bound of a sequence, just inside and just outside: the first and
    // last lead of two bytes, a second byte's lowest and highest, the
    // smallest of three and of four bytes against their overlong forms, the
    // last below the surrogates, the largest of four bytes against the
    // first past it (beyond 16 bits: one "?"; refused: a "?" a byte).
    render("\xC2\xA9|\xC1\xA9|\xDF\xBF|\xE0\xA0\x80|\xE0\x9F\xBF|\xC3\x80|\xC3\xBF|\xC3\xC0|\xED\x9F\xBF",
           FontValues::kTyped, &lines);
    EXPECT_EQ(lines[0], u"name: \u00A9|??|?|?|???|\u00C0|\u00FF|??|?");
    render("\xEF\xBF\xBD|\xF0\x90\x80\x80|\xF0\x8F\xBF\xBF|\xF4\x8F\xBF\xBF|\xF4\x90\x80\x80|\xF5\x80\x80\x80|\xE2\x82",
           FontValues::kTyped, &lines);
    EXPECT_EQ(lines[0], u"name: \uFFFD|?|????|?|????|????|?");
}

TEST_F(TextRenderTest, LatinOneBytesAreNotSignExtended) {
    // 0xE9 is e-acute; sign extension would ask the font for U+FFE9.
    const int accented = RunWidth("caf\xE9");
    const uint16_t wide[] = {'c', 'a', 'f', 0x00E9, 0};
    SDL_Surface* s = FontRenderText(2000, 100, 0, 0, kFont, kSize, 0, 0, 0, wide, nullptr, nullptr);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FontGetLastPlacements()[0].w, accented);
    SDL_FreeSurface(s);
}

TEST_F(TextRenderTest, SurfaceIsTransparentOutsideTheText) {
    SDL_Surface* s = Render("Hi", 200, 50, 1);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->format->Amask != 0);
    SDL_LockSurface(s);
    const uint32_t corner = *static_cast<uint32_t*>(s->pixels);
    SDL_UnlockSurface(s);
    EXPECT_EQ(corner & s->format->Amask, 0u);
    SDL_FreeSurface(s);
}

TEST_F(TextRenderTest, RenderByTextIdUsesTheEntry) {
    CStringEntry& e = FontGetEntry(424242);
    e.text = CFontString("%1 wins").c_str();
    e.fontFile = kFont;
    e.pointSize = kSize;
    e.lineSpacing = 7;
    SDL_Surface* s = FontRenderString(400, 100, 0, 424242, "Zed");
    ASSERT_NE(s, nullptr);
    const auto& p = FontGetLastPlacements();
    ASSERT_EQ(p.size(), 2u);  // "Zed ", "wins"
    EXPECT_EQ(p[0].w, TextWidth("Zed "));
    EXPECT_EQ(p[1].y, 0);
    SDL_FreeSurface(s);
    const uint16_t amy[] = {'A', 'm', 'y', 0};
    s = FontRenderStringWide(400, 100, 0, 424242, amy);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FontGetLastPlacements()[0].w, TextWidth("Amy "));
    SDL_FreeSurface(s);
    s = FontRenderStringBoth(400, 100, 0, 424242, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "Cy",
                             nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FontGetLastPlacements()[0].w, TextWidth("Cy "));
    SDL_FreeSurface(s);
}

// A font that cannot be opened ends the program with its lines in the log:
// one that is missing, and a pipe in a font's place, which is refused as
// every file the game reads refuses one, never waited on (the alarm only
// ends a program that would wait for ever).
TEST_F(TextRenderTest, AFontThatCannotBeOpenedEndsTheProgram) {
    for (const std::string font : {"", "pipe.ttf"}) {
        SCOPED_TRACE(font);
        CTempDir dir;
        CScopedCwd cwd(dir.Path());
        ResetDirectories();
        FontSetFolder("./");
        ASSERT_EQ(mkfifo(dir.File("pipe.ttf").c_str(), 0644), 0);
        EXPECT_EXIT(
            {
                alarm(60);
                FontRenderText(100, 20, 0, 0, font.c_str(), kSize, 0, 0, 0, "x", nullptr, nullptr);
            },
            ::testing::ExitedWithCode(1),
            "FONTSYSTEM: Attempted to load font file './" + font + "'\nzorv: FONTSYSTEM: SDL_ttf font loading error: ");
    }
    FontSetFolder(folder_.c_str());
}

// FontFitTyped at its bounds, in a string-table entry of just "%1": a cut
// from the front never starts inside a character and keeps the longest end
// that fits; a word too wide for its box after a nearly full line leaves no
// letter alone and no run past the box; a name exactly as wide as the box
// at a size fits at it and one pixel more does not; lines exactly filling
// the box keep the entry's size, one pixel less sets them smaller (or, with
// no smaller size allowed, leaves out the first line of a text whose end
// is kept).
TEST_F(TextRenderTest, FittingHoldsAtItsBounds) {
    const int id = 424243;
    CStringEntry& e = FontGetEntry(id);
    e.text = CFontString("%1");
    e.fontFile = kFont;
    e.pointSize = kSize;
    e.lineSpacing = 2;
    auto width = [&](const std::string& utf8, int size) {
        TTF_Font* font = TTF_OpenFont((folder_ + kFont).c_str(), size);
        CFontString units = CFontString::FromUtf8(utf8.c_str());
        int w = 0, h = 0;
        TTF_SizeUNICODE(font, units.c_str(), &w, &h);
        TTF_CloseFont(font);
        return w;
    };
    auto fit = [&](FontFit how, const std::string& typed, int w, int h = 0, int smallest = kFontSmallestFitSize) {
        FontFitRequest r(id, how, typed.c_str(), w, h);
        r.values = FontValues::kTypedLines;
        r.smallest = smallest;
        return FontFitTyped(r);
    };

    // A long accented name of two-byte characters, cut from its front.
    std::string name;
    for (int i = 0; i < 12; ++i) name += "\xC3\x86\xC5\x92\xC3\xA9";
    for (int w = 20; w < 160; w += 3) {
        const std::string shown = fit(FontFit::kCutStart, name, w).shown;
        SCOPED_TRACE(w);
        ASSERT_LT(shown.size(), name.size());
        ASSERT_EQ(name.compare(name.size() - shown.size(), shown.size(), shown), 0) << "not an end of the name";
        EXPECT_TRUE(shown.empty() || (shown[0] & 0xC0) != 0x80) << "starts inside a character";
        EXPECT_LT(width(shown, kSize), w);
        EXPECT_GE(width(name.substr(name.size() - shown.size() - 2), kSize), w) << "a longer end fits";
    }

    // A word too wide for the box after a line of three runs, the room left
    // from none to one letter's width.
    const int three = 3 * width("aaaa ", kSize), letter = width("W", kSize);
    const std::string text = "aaaa aaaa aaaa " + std::string(20, 'W');
    for (int w : {three + 1, three + letter / 2, three + letter - 1, three + letter, three + letter + 1}) {
        SCOPED_TRACE(w);
        SDL_Surface* s = FontRenderStringFitted(FontFitRequest(id, FontFit::kLines, text.c_str(), w, 400), 0);
        ASSERT_NE(s, nullptr);
        SDL_FreeSurface(s);
        std::vector<std::u16string> lines;
        for (const FontRunPlacement& p : FontGetLastPlacements()) {
            lines.resize(static_cast<size_t>(p.line));
            lines.back() += p.text;
            EXPECT_LE(p.x + p.w, w) << "a run past the box";
        }
        // (The word's last piece is as short as the word leaves it.)
        for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_NE(lines[i].size(), 1u) << "a letter alone on a line";
    }

    // The bounds of the box's width for a cut and a smaller size.
    const int whole = width("abcdef", kSize), smallest = width("abcdef", kFontSmallestFitSize);
    EXPECT_EQ(fit(FontFit::kCutEnd, "abcdef", whole + 1).shown, "abcdef");
    FontFitted cut = fit(FontFit::kCutEnd, "abcdef", whole);
    EXPECT_FALSE(cut.whole);
    EXPECT_EQ(cut.shown.substr(cut.shown.size() - 3), "...");
    // Cut in the middle, a name and its recovered copy stay apart: the
    // copy keeps its start and its end, the dots between.
    const int nameBox = width("marvellousmazes1 (rec", kSize);
    EXPECT_EQ(fit(FontFit::kCutMiddle, "marvellousmazes1", nameBox).shown, "marvellousmazes1");
    const std::string copy = "marvellousmazes1 (recovered)";
    const std::string kept = fit(FontFit::kCutMiddle, copy, nameBox).shown;
    const size_t dots = kept.find("...");
    ASSERT_NE(dots, std::string::npos) << kept;
    EXPECT_GT(dots, 0u) << kept;
    EXPECT_EQ(copy.compare(0, dots, kept, 0, dots), 0) << kept << ": not the name's start";
    const std::string end = kept.substr(dots + 3);
    EXPECT_GE(end.size(), std::string("1 (recovered)").size()) << kept << ": the end that tells them apart is lost";
    EXPECT_EQ(copy.compare(copy.size() - end.size(), end.size(), end), 0) << kept << ": not the name's end";
    EXPECT_LT(width(kept, kSize), nameBox);
    FontFitted small = fit(FontFit::kSmaller, "abcdef", whole);
    EXPECT_TRUE(small.whole);
    EXPECT_EQ(small.pointSize, kSize);
    small = fit(FontFit::kSmaller, "abcdef", whole - 1);
    EXPECT_TRUE(small.whole);
    EXPECT_EQ(small.pointSize, kSize - 1);
    small = fit(FontFit::kSmaller, "abcdef", smallest);
    EXPECT_TRUE(small.whole);
    EXPECT_EQ(small.pointSize, kFontSmallestFitSize);
    small = fit(FontFit::kSmaller, "abcdef", smallest - 1);
    EXPECT_FALSE(small.whole);
    EXPECT_EQ(small.pointSize, kFontSmallestFitSize);

    // Three lines in a box that holds exactly three, and one pixel less.
    const int full = 3 * lineHeight_ + 2 * e.lineSpacing;
    FontFitted lines = fit(FontFit::kLinesKeepEnd, "a%nb%nc", 400, full);
    EXPECT_TRUE(lines.whole);
    EXPECT_EQ(lines.pointSize, kSize);
    EXPECT_EQ(lines.shown, "a%nb%nc");
    lines = fit(FontFit::kLinesKeepEnd, "a%nb%nc", 400, full - 1);
    EXPECT_TRUE(lines.whole);
    EXPECT_LT(lines.pointSize, kSize);
    lines = fit(FontFit::kLinesKeepEnd, "a%nb%nc", 400, full - 1, kSize);
    EXPECT_FALSE(lines.whole);
    EXPECT_EQ(lines.firstLine, 2);
    EXPECT_EQ(lines.shown, "b%nc");
    FontGetEntry(id) = CStringEntry();
}

// Where a fitted text breaks and how a cut one ends, each row beside the
// one it differs from in one thing only: a word too wide for its line breaks
// after a '/' that falls late on the line, and fills the line where the
// only '/' comes early (a path is not left as "/" alone on a line); a name
// cut where a space falls drops the space before its dots, one cut inside a
// word keeps its letters; a text whose end is kept counts the empty line
// after its last line break (where the caret stands), a text fitted from
// its start does not.
TEST_F(TextRenderTest, FittedTextsBreakAndEndWhereTheyShould) {
    const int id = 424244;
    CStringEntry& e = FontGetEntry(id);
    e.text = CFontString("%1");
    e.fontFile = kFont;
    e.pointSize = kSize;
    e.lineSpacing = 2;
    auto width = [&](const std::string& text) { return TextWidth(text); };
    // The lines a kLines fit draws, as text.
    auto lines = [&](const std::string& typed, int w) {
        SDL_Surface* s = FontRenderStringFitted(FontFitRequest(id, FontFit::kLines, typed.c_str(), w, 400), 0);
        EXPECT_NE(s, nullptr) << typed;
        if (s) SDL_FreeSurface(s);
        std::vector<std::string> out;
        for (const FontRunPlacement& p : FontGetLastPlacements()) {
            out.resize(static_cast<size_t>(p.line));
            out.back() += CFontString(reinterpret_cast<const uint16_t*>(p.text.c_str())).Utf8();
        }
        return out;
    };

    // A box some twenty letters wide.
    const std::string tail(60, 'a');
    const int box = width(std::string(20, 'a'));
    struct PathRow {
        std::string text;
        std::string firstLine;  // empty: as many letters as fit
    };
    for (const PathRow& row : {PathRow{"/" + tail, ""}, PathRow{"/usr/" + tail, ""},
                               PathRow{std::string(14, 'a') + "/" + tail, std::string(14, 'a') + "/"}}) {
        SCOPED_TRACE(row.text);
        const std::vector<std::string> drawn = lines(row.text, box);
        ASSERT_GE(drawn.size(), 2u);
        if (!row.firstLine.empty()) {
            EXPECT_EQ(drawn[0], row.firstLine);
        } else {
            // The most that fit: one letter more reaches the box's edge.
            EXPECT_LT(width(drawn[0]), box);
            EXPECT_GE(width(row.text.substr(0, drawn[0].size() + 1)), box) << "broken early at '" << drawn[0] << "'";
        }
    }

    // A name cut at its end, in a box one pixel too narrow for "Ann S...".
    auto cut = [&](const std::string& typed, int w) {
        FontFitRequest r(id, FontFit::kCutEnd, typed.c_str(), w);
        return FontFitTyped(r).shown;
    };
    EXPECT_EQ(cut("Ann Smith", width("Ann S...")), "Ann...");
    EXPECT_EQ(cut("Annabelle", width("Annab...")), "Anna...");
    EXPECT_EQ(cut("Ann Smith", width("Ann Smith") + 1), "Ann Smith");

    // Two lines, then the caret's empty line, in a box of exactly two lines
    // that may not set them smaller.
    const int two = 2 * lineHeight_ + e.lineSpacing;
    auto fitLines = [&](FontFit how, const char* typed) {
        FontFitRequest r(id, how, typed, 400, two);
        r.values = FontValues::kTypedLines;
        r.smallest = kSize;
        return FontFitTyped(r);
    };
    FontFitted keepEnd = fitLines(FontFit::kLinesKeepEnd, "a%nb%n");
    EXPECT_FALSE(keepEnd.whole);
    EXPECT_EQ(keepEnd.firstLine, 2);
    EXPECT_EQ(keepEnd.shown, "b%n");
    keepEnd = fitLines(FontFit::kLinesKeepEnd, "a%nb");
    EXPECT_TRUE(keepEnd.whole);
    EXPECT_EQ(keepEnd.shown, "a%nb");
    const FontFitted fromStart = fitLines(FontFit::kLines, "a%nb%n");
    EXPECT_TRUE(fromStart.whole);
    EXPECT_EQ(fromStart.firstLine, 1);
    FontGetEntry(id) = CStringEntry();
}
