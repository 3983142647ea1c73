// The resource files in the run folder, opened as the game opens them: the
// image pack through CPackFile with every picture decoded by SDL_image by the
// last three letters of its name, the start-up pictures, the font and the
// parameter file.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/CPackFile.h"
#include "engine/ResourceFiles.h"
#include "images/FrameEdges.h"
#include "tests/support/TestSupport.h"

namespace {

std::string RunFile(const std::string& name) { return std::string(ZORV_RUN_DIR) + "/" + name; }

// A name list: one name a line; '?' lines are patterns. The level background
// pattern stands for background0.jpg .. background7.jpg.
void ReadList(const std::string& path, std::vector<std::string>& names, std::vector<std::string>& patterns) {
    std::istringstream in(ReadFileText(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '?') {
            patterns.push_back(line.substr(1));
            continue;
        }
        names.push_back(line);
    }
}

SDL_Surface* Decode(const uint8_t* data, size_t size, const std::string& name) {
    std::string type = name.substr(name.size() - 3);
    for (char& c : type) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    return IMG_LoadTyped_RW(rw, 1, const_cast<char*>(type.c_str()));
}

// The alpha of pixel (x, y) of a locked surface.
Uint8 AlphaAt(SDL_Surface* s, int x, int y) {
    uint32_t v = 0;
    memcpy(&v, static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel,
           s->format->BytesPerPixel);
    Uint8 r, g, b, a;
    SDL_GetRGBA(v, s->format, &r, &g, &b, &a);
    return a;
}

SDL_Surface* DecodeFile(const std::string& path, const char* type) {
    SDL_RWops* rw = SDL_RWFromFile(path.c_str(), "rb");
    if (!rw) return nullptr;
    return IMG_LoadTyped_RW(rw, 1, const_cast<char*>(type));
}

class ImagePackFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        pack_ = new CPackFile;
        loaded_ = pack_->Load(RunFile(kImagePackFile));
    }
    static void TearDownTestSuite() {
        delete pack_;
        pack_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(loaded_) << pack_->Error(); }
    const CPackFile::Entry* Find(const std::string& name) const {
        for (const CPackFile::Entry& e : pack_->Entries())
            if (e.name == name) return &e;
        return nullptr;
    }
    static CPackFile* pack_;
    static bool loaded_;
};
CPackFile* ImagePackFile::pack_ = nullptr;
bool ImagePackFile::loaded_ = false;

}  // namespace

TEST_F(ImagePackFile, HoldsEveryRequiredNameExactlyOnce) {
    std::vector<std::string> names, patterns;
    ReadList(std::string(ZORV_SOURCE_DIR) + "/assets/images/image-names.txt", names, patterns);
    ASSERT_EQ(3089u, names.size());
    std::map<std::string, int> counts;
    for (const CPackFile::Entry& e : pack_->Entries()) ++counts[e.name];
    for (const std::string& n : names) EXPECT_EQ(1, counts[n]) << n;
    for (int i = 0; i < 8; ++i) EXPECT_EQ(1, counts["background" + std::to_string(i) + ".jpg"]);
    // And nothing else: every entry is a required name.
    const std::set<std::string> required(names.begin(), names.end());
    for (const CPackFile::Entry& e : pack_->Entries()) EXPECT_TRUE(required.count(e.name)) << "unexpected " << e.name;
    EXPECT_EQ(required.size(), pack_->Entries().size());
    EXPECT_EQ(1, counts["Step Counter 03.png"]) << "the one name with blanks";
}

TEST_F(ImagePackFile, HoldsNoNameTheGameMakesItself) {
    std::vector<std::string> names, patterns;
    ReadList(std::string(ZORV_SOURCE_DIR) + "/assets/images/image-runtime-names.txt", names, patterns);
    ASSERT_GT(names.size(), 800u);
    const std::set<std::string> runtime(names.begin(), names.end());
    const std::regex made("tutorial_\\d\\d_\\d\\d\\d?\\.png|x-?\\d+_y-?\\d+_.*|lbcontent_\\d+");
    for (const CPackFile::Entry& e : pack_->Entries()) {
        EXPECT_FALSE(runtime.count(e.name)) << e.name;
        EXPECT_FALSE(std::regex_match(e.name, made)) << e.name;
    }
}

TEST_F(ImagePackFile, EveryPictureDecodesByItsTypeWithAlphaWhereNeeded) {
    int decoded = 0;
    for (const CPackFile::Entry& e : pack_->Entries()) {
        SDL_Surface* s = Decode(e.data, e.size, e.name);
        ASSERT_NE(nullptr, s) << e.name << ": " << IMG_GetError();
        const std::string type = e.name.substr(e.name.size() - 3);
        if (type == "jpg") {
            EXPECT_EQ(0u, s->format->Amask) << e.name;
        } else {
            EXPECT_EQ(32, s->format->BitsPerPixel) << e.name;
            EXPECT_NE(0u, s->format->Amask) << e.name << " has no alpha channel";
        }
        EXPECT_GT(s->w, 0);
        EXPECT_GT(s->h, 0);
        SDL_FreeSurface(s);
        ++decoded;
    }
    EXPECT_EQ(3089, decoded);
}

TEST_F(ImagePackFile, StatedSizesHold) {
    struct Size {
        const char* name;
        int w, h;
    };
    const Size exact[] = {
        {"background0.jpg", 800, 600}, {"background7.jpg", 800, 600},    {"mainmenu_background.jpg", 800, 600},
        {"map_background.jpg", 800, 600}, {"flash.jpg", 800, 600},       {"dimmer.png", 800, 600},
        {"p2d_button_base.png", 186, 29}, {"p2d_button_select.png", 186, 29}, {"toolboxselector.png", 68, 51},
        {"help_powerups.jpg", 204, 153}, {"help_devices2.jpg", 204, 204}, {"help_terrain2.jpg", 136, 204},
        {"help_objects.jpg", 204, 102},  {"help_control.jpg", 204, 153},  {"help_bots.jpg", 68, 51},
        {"levelmanager_listbox.jpg", 409, 436}, {"editortoolbox_main.jpg", 418, 469},
    };
    for (const Size& sz : exact) {
        const CPackFile::Entry* e = Find(sz.name);
        ASSERT_NE(nullptr, e) << sz.name;
        SDL_Surface* s = Decode(e->data, e->size, e->name);
        ASSERT_NE(nullptr, s) << sz.name;
        EXPECT_EQ(sz.w, s->w) << sz.name;
        EXPECT_EQ(sz.h, s->h) << sz.name;
        SDL_FreeSurface(s);
    }
    auto size = [&](const char* name, int& w, int& h) {
        const CPackFile::Entry* e = Find(name);
        ASSERT_NE(nullptr, e) << name;
        SDL_Surface* s = Decode(e->data, e->size, e->name);
        ASSERT_NE(nullptr, s) << name;
        w = s->w;
        h = s->h;
        SDL_FreeSurface(s);
    };
    int w = 0, h = 0;
    size("counterdigitsA.png", w, h);
    EXPECT_GE(h, 240) << "blank, 1..9, 0, 1 in cells of 20";
    EXPECT_GE(w, 13);
    size("slider_value.png", w, h);
    EXPECT_GE(w, 103) << "the bar shows 2 + 10 v pixels up to v = 10";
    size("logozj-eyes.png", w, h);
    EXPECT_LE(264 + w, 800);
    EXPECT_LE(197 + h, 600);
    size("parchment.png", w, h);
    EXPECT_LE(57 + w, 800);
    EXPECT_LE(23 + h, 600);
}

TEST(StartupFiles, PicturesDecodeAsTheGameDecodesThem) {
    for (const char* f : {kLoadScreenFile, kLogoSplashFile, kTitleSplashFile, kClosingSplashFile}) {
        SDL_Surface* s = DecodeFile(RunFile(f), "JPG");
        ASSERT_NE(nullptr, s) << f;
        EXPECT_EQ(800, s->w) << f;
        EXPECT_EQ(600, s->h) << f;
        SDL_FreeSurface(s);
    }
    SDL_Surface* bar = DecodeFile(RunFile(kProgressBarFile), "PNG");
    ASSERT_NE(nullptr, bar);
    EXPECT_LE(360 + bar->w, 800) << "the bar grows from (360, 527) to its full width";
    EXPECT_LE(527 + bar->h, 600);
    SDL_FreeSurface(bar);
}

TEST(StartupFiles, IconIsABitmapWithMagentaKey) {
    SDL_Surface* icon = SDL_LoadBMP(RunFile(kWindowIconFile).c_str());
    ASSERT_NE(nullptr, icon) << SDL_GetError();
    EXPECT_EQ(32, icon->w);
    EXPECT_EQ(32, icon->h);
    ASSERT_EQ(24, icon->format->BitsPerPixel);
    // The corner is background: exactly the key colour.
    const uint8_t* p = static_cast<const uint8_t*>(icon->pixels);
    Uint8 r, g, b;
    SDL_GetRGB(p[0] | (p[1] << 8) | (p[2] << 16), icon->format, &r, &g, &b);
    EXPECT_EQ(255, r);
    EXPECT_EQ(0, g);
    EXPECT_EQ(255, b);
    SDL_FreeSurface(icon);
}

TEST(StartupFiles, FontOpens) {
    ASSERT_EQ(0, TTF_Init());
    TTF_Font* font = TTF_OpenFont(RunFile(kTextFontFile).c_str(), 23);
    EXPECT_NE(nullptr, font);
    if (font) TTF_CloseFont(font);
    TTF_Quit();
    EXPECT_FALSE(ReadFileText(RunFile("DejaVu-LICENSE.txt")).empty()) << "the fonts' licence ships with them";
}

TEST(StartupFiles, ParameterFileHasTwoTokensALine) {
    const std::string text = ReadFileText(RunFile(kParameterFile));
    ASSERT_FALSE(text.empty());
    EXPECT_EQ('\n', text.back());
    std::istringstream in(text);
    std::string line;
    std::map<std::string, std::string> values;
    while (std::getline(in, line)) {
        std::istringstream tokens(line);
        std::string key, value, extra;
        ASSERT_TRUE(static_cast<bool>(tokens >> key >> value)) << "'" << line << "'";
        EXPECT_FALSE(static_cast<bool>(tokens >> extra)) << line;
        values[key] = value;
    }
    EXPECT_EQ("https://vormak-games.example/more", values["MOREGAMES_URL"]);
    EXPECT_EQ("1", values["USE_ZJ_BLINK"]);
    EXPECT_EQ("0", values["USE_MOREGAMES"]);
    EXPECT_EQ("0", values["USE_MORELEVELS"]);
}

// The editor's load, save and tutorial-text dialogs are a wooden frame with
// their face drawn onto it at an offset: the frame shows the same rim on the
// right and at the bottom as on the left and at the top.
TEST_F(ImagePackFile, EditorDialogFacesSitInsideTheirFramesWithEvenRims) {
    struct Dialog {
        const char* frame;
        const char* face;
        int dx, dy;
    };
    const Dialog dialogs[] = {{"loadbrowser_border.tga", "loadbrowser_main.jpg", 6, 6},
                              {"saveboxshadow.tga", "savebox.jpg", 6, 6},
                              {"etutorialboxshadow.tga", "etutorialbox.jpg", 4, 4}};
    for (const Dialog& d : dialogs) {
        const CPackFile::Entry* fe = Find(d.frame);
        const CPackFile::Entry* ce = Find(d.face);
        ASSERT_NE(nullptr, fe) << d.frame;
        ASSERT_NE(nullptr, ce) << d.face;
        SDL_Surface* frame = Decode(fe->data, fe->size, fe->name);
        SDL_Surface* face = Decode(ce->data, ce->size, ce->name);
        ASSERT_NE(nullptr, frame);
        ASSERT_NE(nullptr, face);
        // The solid part of the frame (its soft shadow is faint).
        int left = frame->w, top = frame->h, right = -1, bottom = -1;
        SDL_LockSurface(frame);
        for (int y = 0; y < frame->h; ++y)
            for (int x = 0; x < frame->w; ++x) {
                if (AlphaAt(frame, x, y) < 200) continue;
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        SDL_UnlockSurface(frame);
        const int rimLeft = d.dx - left, rimTop = d.dy - top;
        const int rimRight = right - (d.dx + face->w - 1), rimBottom = bottom - (d.dy + face->h - 1);
        EXPECT_GT(rimRight, 0) << d.face << " runs over the right of its frame";
        EXPECT_GT(rimBottom, 0) << d.face << " runs over the bottom of its frame";
        EXPECT_NEAR(rimRight, rimLeft, 2) << d.face;
        EXPECT_NEAR(rimBottom, rimTop, 2) << d.face;
        SDL_FreeSurface(frame);
        SDL_FreeSurface(face);
    }
}

// The professor's pictures on the post-game pages and in the instructions
// hold their whole drawing: nothing of it is cut by the picture's left,
// right or top edge (the bust ends at the bottom edge on purpose). A claw,
// a ray or a puff of smoke running off a side ends in a straight cut there.
TEST_F(ImagePackFile, ProfessorScenesEndInsideTheirPictures) {
    for (const char* name : {"parchment_caught.png", "parchment_singed.png", "parchment_tutorial.png",
                             "parchment_victory.png"}) {
        const CPackFile::Entry* e = Find(name);
        ASSERT_NE(nullptr, e) << name;
        SDL_Surface* s = Decode(e->data, e->size, e->name);
        ASSERT_NE(nullptr, s) << name;
        SDL_LockSurface(s);
        int left = 0, right = 0, top = 0, bottom = 0;
        for (int y = 0; y < s->h; ++y) {
            left += AlphaAt(s, 0, y) > 0;
            right += AlphaAt(s, s->w - 1, y) > 0;
        }
        for (int x = 0; x < s->w; ++x) {
            top += AlphaAt(s, x, 0) > 0;
            bottom += AlphaAt(s, x, s->h - 1) > 0;
        }
        SDL_UnlockSurface(s);
        EXPECT_EQ(0, left) << name << ": pixels drawn on the left edge";
        EXPECT_EQ(0, right) << name << ": pixels drawn on the right edge";
        EXPECT_EQ(0, top) << name << ": pixels drawn on the top edge";
        EXPECT_GT(bottom, s->w / 3) << name << ": the bust stands on the bottom edge";
        SDL_FreeSurface(s);
    }
}

// Nothing a picture draws meets an edge of its frame (a drawing that runs
// off its frame ends in a straight cut there), save the edges the builder's
// list says are meant, each with its reason. Every entry of the list still
// names a picture that meets one of its edges.
TEST_F(ImagePackFile, DrawingsStayInsideTheirFramesSaveTheMeantEdges) {
    const char* sides[] = {"left", "top", "right", "bottom"};
    std::vector<int> entryUsed(FrameEdges::List().size(), 0);
    for (const CPackFile::Entry& e : pack_->Entries()) {
        SDL_Surface* s = Decode(e.data, e.size, e.name);
        ASSERT_NE(nullptr, s) << e.name;
        SDL_LockSurface(s);
        int drawn[4] = {0, 0, 0, 0};
        for (int y = 0; y < s->h; ++y) {
            drawn[0] += AlphaAt(s, 0, y) > 0;
            drawn[2] += AlphaAt(s, s->w - 1, y) > 0;
        }
        for (int x = 0; x < s->w; ++x) {
            drawn[1] += AlphaAt(s, x, 0) > 0;
            drawn[3] += AlphaAt(s, x, s->h - 1) > 0;
        }
        SDL_UnlockSurface(s);
        SDL_FreeSurface(s);
        unsigned met = 0;
        for (int i = 0; i < 4; ++i)
            if (drawn[i] > 0) met |= 1u << i;
        const unsigned meant = FrameEdges::MeantEdges(e.name);
        for (int i = 0; i < 4; ++i)
            EXPECT_FALSE((met & ~meant) & (1u << i))
                << e.name << ": " << drawn[i] << " pixels drawn on the " << sides[i] << " edge";
        for (size_t k = 0; k < FrameEdges::List().size(); ++k)
            if ((met & FrameEdges::List()[k].edges) && FrameEdges::Names(FrameEdges::List()[k], e.name))
                ++entryUsed[k];
    }
    for (size_t k = 0; k < FrameEdges::List().size(); ++k) {
        const FrameEdges::Meant& m = FrameEdges::List()[k];
        EXPECT_GT(std::strlen(m.why), 10u) << m.pattern << " says no reason";
        EXPECT_GT(entryUsed[k], 0) << m.pattern << " names no picture that meets its edges";
    }
}
