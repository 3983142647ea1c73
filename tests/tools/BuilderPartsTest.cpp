// Parts of the resource builder on their own: the string table compiler and
// its checks, the caption table, the picture encoders read back by
// SDL_image, the name lists; and the builder as a whole (same sources, same
// bytes; loose files equal to the pack).
#include <SDL.h>
#include <SDL_image.h>
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/CPackFile.h"
#include "engine/ResourceFiles.h"
#include "images/CCaptions.h"
#include "images/ImageEncoders.h"
#include "images/ImageNames.h"
#include "strings/CStringTableCompiler.h"
#include "tests/support/TestSupport.h"

namespace {

bool Compile(const std::string& text, std::vector<uint8_t>& out, std::vector<std::string>* errors = nullptr) {
    CStringTableCompiler c;
    const bool ok = c.Compile({{"t.txt", text}}, out);
    if (errors) *errors = c.Errors();
    return ok;
}

std::string FirstError(const std::string& text) {
    std::vector<uint8_t> out;
    std::vector<std::string> errors;
    if (Compile(text, out, &errors) || errors.empty()) return "";
    return errors[0];
}

// A 3 x 2 picture: opaque red, half-covered green, clear, opaque blue,
// quarter-covered white, opaque black.
cairo_surface_t* TestPicture() {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 2);
    cairo_t* cr = cairo_create(s);
    const double px[6][4] = {{1, 0, 0, 1}, {0, 1, 0, 0.5}, {0, 0, 0, 0}, {0, 0, 1, 1}, {1, 1, 1, 0.25}, {0, 0, 0, 1}};
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    for (int i = 0; i < 6; ++i) {
        cairo_set_source_rgba(cr, px[i][0], px[i][1], px[i][2], px[i][3]);
        cairo_rectangle(cr, i % 3, i / 3, 1, 1);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(s);
    return s;
}

SDL_Surface* Decode(const std::vector<uint8_t>& bytes, const char* type) {
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    return IMG_LoadTyped_RW(rw, 1, const_cast<char*>(type));
}

void Pixel(SDL_Surface* s, int x, int y, Uint8& r, Uint8& g, Uint8& b, Uint8& a) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    Uint32 v = 0;
    memcpy(&v, row + x * s->format->BytesPerPixel, s->format->BytesPerPixel);
    SDL_GetRGBA(v, s->format, &r, &g, &b, &a);
}

}  // namespace

// ---- String table compiler ----

TEST(StringTableCompiler, WritesUtf16WithMarkCrLfAndNoFinalBreak) {
    std::vector<uint8_t> out;
    ASSERT_TRUE(Compile("# note\n\n!resource6.dat|16|24|34|83|2\n@300|%1\n@12|Caf\xC3\xA9\n", out));
    std::vector<uint8_t> expected = {0xff, 0xfe};
    const std::u16string lines = u"# note\r\n!resource6.dat|16|24|34|83|2\r\n@300|%1\r\n@12|Caf\u00e9";
    for (char16_t c : lines) {
        expected.push_back(static_cast<uint8_t>(c & 0xff));
        expected.push_back(static_cast<uint8_t>(c >> 8));
    }
    EXPECT_EQ(expected, out);
}

TEST(StringTableCompiler, SourcesJoinInOrderAndStylesCarryOver) {
    CStringTableCompiler c;
    std::vector<uint8_t> out;
    ASSERT_TRUE(c.Compile({{"a.txt", "!resource6.dat|16\n@1|one"}, {"b.txt", "@2|two\r\n!x.ttf|9\n@3|three"}}, out));
    EXPECT_EQ(3u, c.Ids().size());
    EXPECT_EQ(2u, c.FontFiles().size());
    EXPECT_TRUE(c.FontFiles().count("x.ttf"));
}

TEST(StringTableCompiler, RefusesWhatWouldShowWrong) {
    const std::string style = "!resource6.dat|16|24|34|83|2\n";
    EXPECT_NE("", FirstError(style + "@1|a|b")) << "a bar would cut the text";
    EXPECT_NE("", FirstError(style + "@1")) << "an id-only line";
    EXPECT_NE("", FirstError(style + "@1|")) << "an empty text";
    EXPECT_NE("", FirstError(style + "@x|text")) << "an id that is no number";
    EXPECT_NE("", FirstError(style + "@1|%bbold")) << "bold left on";
    EXPECT_NE("", FirstError(style + "@1|%i%u%i")) << "underline left on";
    EXPECT_NE("", FirstError(style + "@1|a\n@1|b")) << "an id twice";
    EXPECT_NE("", FirstError("@1|no style yet"));
    EXPECT_NE("", FirstError(style + " @1|leading blank"));
    EXPECT_NE("", FirstError(style + "\t@1|leading tab"));
    EXPECT_NE("", FirstError(style + "@1|" + std::string(1024, 'x'))) << "longer than 1023 units";
    EXPECT_EQ("", FirstError(style + "@1|" + std::string(1023, 'x')));
    EXPECT_NE("", FirstError(style + "@1|\xF0\x9F\x98\x80")) << "beyond 16 bits";
    EXPECT_NE("", FirstError(style + "@1|\xC3")) << "broken UTF-8";
    EXPECT_NE("", FirstError("!|16\n")) << "a style without a font";
    EXPECT_NE("", FirstError("!a|b|c|d|e|f|g\n")) << "numbers must be numbers";
    EXPECT_NE("", FirstError("# only a comment\n!a|1|2|3|4|5|6|7")) << "seven style fields";
    EXPECT_NE("", FirstError("")) << "an empty table cannot be loaded";
    EXPECT_EQ("", FirstError(style + "@1|100% sure, %n%1 and %b%ibold italic%i%b"));
}

TEST(StringTableCompiler, NamesFileAndLineInErrors) {
    const std::string e = FirstError("!resource6.dat|16\n\n@5|a|b");
    EXPECT_NE(std::string::npos, e.find("t.txt:3")) << e;
}

// ---- Captions ----

TEST(Captions, ParsesKeysAndLineBreaks) {
    CCaptions c;
    EXPECT_TRUE(c.Parse("# c\n\nplay|Play now\r\ntwo|one\\ntwo\n", "x"));
    EXPECT_EQ("Play now", c.Get("play"));
    EXPECT_EQ("one\ntwo", c.Get("two"));
    EXPECT_TRUE(c.Missing().empty());
    EXPECT_EQ("nope", c.Get("nope"));
    EXPECT_EQ(1u, c.Missing().count("nope"));
}

TEST(Captions, RefusesBrokenLines) {
    CCaptions c;
    EXPECT_FALSE(c.Parse("no bar here\n", "x"));
    EXPECT_FALSE(c.Parse("|empty key\n", "x"));
    EXPECT_FALSE(c.Parse("a|b|c\n", "x"));
    CCaptions d;
    EXPECT_FALSE(d.Parse("a|1\na|2\n", "x"));
}

// ---- Encoders ----

TEST(ImageEncoders, TgaHeaderAndStraightAlphaRoundTrip) {
    cairo_surface_t* s = TestPicture();
    std::vector<uint8_t> tga;
    ASSERT_TRUE(EncodeTga(s, tga));
    cairo_surface_destroy(s);
    ASSERT_EQ(18u + 3 * 2 * 4, tga.size());
    EXPECT_EQ(2, tga[2]);
    EXPECT_EQ(3, tga[12]);
    EXPECT_EQ(2, tga[14]);
    EXPECT_EQ(32, tga[16]);
    EXPECT_EQ(0x28, tga[17]);
    // First pixel BGRA: opaque red.
    EXPECT_EQ(0, tga[18]);
    EXPECT_EQ(0, tga[19]);
    EXPECT_EQ(255, tga[20]);
    EXPECT_EQ(255, tga[21]);
    SDL_Surface* d = Decode(tga, "TGA");
    ASSERT_NE(nullptr, d) << IMG_GetError();
    ASSERT_NE(0u, d->format->Amask);
    Uint8 r, g, b, a;
    Pixel(d, 1, 0, r, g, b, a);  // half-covered green keeps its full colour
    EXPECT_EQ(0, r);
    EXPECT_NEAR(255, g, 2);
    EXPECT_NEAR(128, a, 2);
    Pixel(d, 0, 1, r, g, b, a);  // top-left origin: row 1 is the blue one
    EXPECT_EQ(255, b);
    EXPECT_EQ(255, a);
    SDL_FreeSurface(d);
}

TEST(ImageEncoders, PngKeepsAlphaEvenWhenOpaque) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 0.2, 0.4, 0.6);
    cairo_paint(cr);
    cairo_destroy(cr);
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodePng(s, png));
    cairo_surface_destroy(s);
    SDL_Surface* d = Decode(png, "PNG");
    ASSERT_NE(nullptr, d) << IMG_GetError();
    EXPECT_NE(0u, d->format->Amask);
    SDL_FreeSurface(d);
    std::vector<uint8_t> again;
    cairo_surface_t* t = TestPicture();
    ASSERT_TRUE(EncodePng(t, png));
    ASSERT_TRUE(EncodePng(t, again));
    cairo_surface_destroy(t);
    EXPECT_EQ(png, again) << "same picture, same bytes";
}

TEST(ImageEncoders, JpgIsOpaqueAndBmpUsesTheKey) {
    cairo_surface_t* s = TestPicture();
    std::vector<uint8_t> jpg, bmp;
    ASSERT_TRUE(EncodeJpg(s, 88, jpg));
    ASSERT_TRUE(EncodeBmpKeyed(s, bmp));
    cairo_surface_destroy(s);
    SDL_Surface* d = Decode(jpg, "JPG");
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(0u, d->format->Amask);
    EXPECT_EQ(3, d->w);
    SDL_FreeSurface(d);
    SDL_Surface* b = SDL_LoadBMP_RW(SDL_RWFromConstMem(bmp.data(), static_cast<int>(bmp.size())), 1);
    ASSERT_NE(nullptr, b) << SDL_GetError();
    Uint8 r, g, bl, a;
    Pixel(b, 2, 0, r, g, bl, a);  // the clear pixel
    EXPECT_EQ(255, r);
    EXPECT_EQ(0, g);
    EXPECT_EQ(255, bl);
    Pixel(b, 0, 0, r, g, bl, a);
    EXPECT_EQ(255, r);
    EXPECT_EQ(0, bl);
    SDL_FreeSurface(b);
}

TEST(ImageEncoders, ChoosesByTheLastThreeLetters) {
    cairo_surface_t* s = TestPicture();
    std::vector<uint8_t> out;
    EXPECT_TRUE(EncodeByName("a.png", s, out));
    EXPECT_EQ(0x89, out[0]);
    EXPECT_TRUE(EncodeByName("Step Counter 03.tga", s, out));
    EXPECT_EQ(2, out[2]);
    EXPECT_TRUE(EncodeByName("x.jpg", s, out));
    EXPECT_EQ(0xff, out[0]);
    EXPECT_FALSE(EncodeByName("x.gif", s, out));
    cairo_surface_destroy(s);
    EXPECT_FALSE(EncodePng(nullptr, out));
}

// ---- Name lists ----

TEST(ImageNameList, ExpandsTheBackgroundPatternAndSkipsOthers) {
    std::vector<std::string> names;
    ParseImageNameList("a.png\r\nStep Counter 03.png\n?background%i.jpg\nbackground3.jpg\n?lbcontent_%i\na.png\n",
                       names);
    ASSERT_EQ(10u, names.size());
    EXPECT_EQ("Step Counter 03.png", names[1]);
    EXPECT_EQ("background0.jpg", names[2]);
    EXPECT_EQ("background7.jpg", names[9]);
}

// ---- The builder as a whole ----

TEST(ResourceBuilder, SameSourcesGiveSameBytesAndLooseFilesMatchThePack) {
    CTempDir a, b;
    const std::string builder = ZORV_RESBUILD;
    const std::string assets = std::string(ZORV_SOURCE_DIR) + "/assets";
    ASSERT_EQ(0, system((builder + " --out " + a.Path() + " --assets " + assets + " > /dev/null").c_str()));
    ASSERT_EQ(0, system((builder + " --out " + b.Path() + " --assets " + assets + " --loose > /dev/null").c_str()));
    for (const char* f : {kLoadScreenFile, kProgressBarFile, kImagePackFile, kStringTableFile, kTextFontFile,
                          kWindowIconFile, kParameterFile, kLogoSplashFile, kTitleSplashFile, kClosingSplashFile})
        EXPECT_TRUE(ReadFileBytes(a.File(f)) == ReadFileBytes(b.File(f))) << f << " differs between two runs";
    CPackFile pack;
    ASSERT_TRUE(pack.Load(b.File(kImagePackFile))) << pack.Error();
    int checked = 0;
    for (const CPackFile::Entry& e : pack.Entries()) {
        if (checked++ % 97) continue;  // a spread sample keeps the test quick
        const std::vector<uint8_t> loose = ReadFileBytes(b.Path() + "/resource/" + e.name);
        EXPECT_TRUE(loose == std::vector<uint8_t>(e.data, e.data + e.size)) << e.name;
    }
}

TEST(ResourceBuilder, FailsWithoutItsSources) {
    CTempDir out, assets;
    const std::string cmd =
        std::string(ZORV_RESBUILD) + " --out " + out.Path() + " --assets " + assets.Path() + " > /dev/null 2>&1";
    EXPECT_NE(0, system(cmd.c_str()));
}
