// The small screens around the level map, on the real resources: the story
// pages (one page or two, over the dimmed screen they opened on), the
// level-set choice (no way out but a choice) and the map explanation box.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CSprite.h"
#include "gui/CControllerMessageTutorial.h"
#include "gui/CGuiButton.h"
#include "screens/CControllerSetSelect.h"
#include "screens/CControllerStory.h"
#include "tests/gui/GuiTestSupport.h"
#include "tests/screens/ScreenTest.h"

namespace {


class MapDialogsTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        root.Activate(nullptr);
    }
    template <typename Screen>
    Screen* Open(Screen* screen) {
        child.reset(screen);
        root.OpenChild(screen);
        Frames(2);
        return screen;
    }
    // Frames until the root is current again (at most n).
    bool BackAtRootWithin(int n) {
        for (int i = 0; i < n && CController::GetCurrent() != &root; ++i) Frame();
        return CController::GetCurrent() == &root;
    }
    static void ClickButton(CGuiButton* b) {
        ASSERT_NE(b, nullptr);
        ASSERT_FALSE(b->IsHidden());
        Click(b->GetCentreX(), b->GetCentreY());
        Frames(2);
    }
    static bool Visible(CGuiButton* b) { return b && !b->IsHidden(); }

    RecordingOwner root{CONTROLLER_GAME};
    std::unique_ptr<CController> child;
};

std::vector<std::string> Names(int story, int page) {
    std::vector<std::string> names;
    for (const CControllerStory::Picture& p : CControllerStory::GetPictures(story, page)) names.push_back(p.name);
    return names;
}

TEST_F(MapDialogsTest, AChapterStoryIsOnePageOverTheDimmedScreenWithItsOwnTexts) {
    // Chapters alternate between two layouts and count their texts 1 to 5.
    EXPECT_EQ(Names(5, 0), (std::vector<std::string>{"story_B1_a.tga", "story_B1_b3.jpg", "story_B1_text_a3.png",
                                                     "story_B1_text_b3.png", "story_B1_text_c3.png"}));
    EXPECT_EQ(Names(10, 0)[4], "story_B2_text_c5.png");
    EXPECT_EQ(Names(1, 0)[2], "story_B1_text_a1.png");
    EXPECT_TRUE(Names(5, 1).empty());
    EXPECT_EQ(Names(0, 1).size(), 7u);
    EXPECT_EQ(Names(11, 0)[0], "story_C1_a.tga");
    EXPECT_TRUE(Names(12, 0).empty());

    // What the screen showed when the story opened: one plain colour.
    SDL_Surface* screen = CDraw::GetScreen();
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 200, 180, 120));
    CControllerStory* story = Open(new CControllerStory(5));
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_STORY);
    ASSERT_EQ(story->GetPageSprite()->GetFrameCount(), 1);
    EXPECT_EQ(story->GetButton(CControllerStory::BUTTON_NEXT), nullptr);
    EXPECT_EQ(story->GetButton(CControllerStory::BUTTON_PREVIOUS), nullptr);
    CGuiButton* done = story->GetButton(CControllerStory::BUTTON_DONE);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(done->GetX(), 345);
    EXPECT_EQ(done->GetY(), 397);
    // Outside the pictures the page is that colour, dimmed.
    SDL_Surface* page = CDraw::GetSurface(story->GetPageSprite()->GetFrameImage(0));
    ASSERT_NE(page, nullptr);
    Uint8 r, g, b;
    SDL_GetRGB(CDraw::GetPixel(page, 10, 10), page->format, &r, &g, &b);
    EXPECT_LT(r, 200);
    EXPECT_LT(g, 180);
    EXPECT_GT(r, g);
    EXPECT_GT(g, b);
    Uint8 r2, g2, b2;
    SDL_GetRGB(CDraw::GetPixel(page, 790, 590), page->format, &r2, &g2, &b2);
    EXPECT_EQ(r2, r);
    EXPECT_EQ(b2, b);
    // Done closes it.
    ClickButton(done);
    EXPECT_TRUE(BackAtRootWithin(3));
    EXPECT_EQ(root.Result(), 0);
}

TEST_F(MapDialogsTest, TheOpeningAndTheEndingTurnTheirPagesAndDoneComesOnTheSecond) {
    for (int id : {0, 11}) {
        SCOPED_TRACE(id);
        CControllerStory* story = Open(new CControllerStory(id));
        CSprite* page = story->GetPageSprite();
        ASSERT_EQ(page->GetFrameCount(), 2);
        CGuiButton* previous = story->GetButton(CControllerStory::BUTTON_PREVIOUS);
        CGuiButton* next = story->GetButton(CControllerStory::BUTTON_NEXT);
        CGuiButton* done = story->GetButton(CControllerStory::BUTTON_DONE);
        EXPECT_EQ(page->GetFrame(), 0);
        EXPECT_FALSE(Visible(previous));
        EXPECT_TRUE(Visible(next));
        EXPECT_FALSE(Visible(done));
        EXPECT_EQ(done->GetX(), next->GetX());
        EXPECT_NEAR((previous->GetCentreX() + next->GetCentreX()) / 2.0, 400, 1) << "the pair is off the middle";
        ClickButton(next);
        EXPECT_EQ(page->GetFrame(), 1);
        EXPECT_TRUE(Visible(previous));
        EXPECT_FALSE(Visible(next));
        EXPECT_TRUE(Visible(done));
        ClickButton(previous);
        EXPECT_EQ(page->GetFrame(), 0);
        EXPECT_FALSE(Visible(done));
        // Escape leaves the story from either page.
        TapKey(SDLK_ESCAPE);
        EXPECT_TRUE(BackAtRootWithin(3));
        child.reset();
    }
    // Closed stories give their page pictures back.
    EXPECT_EQ(CDraw::FindImage("story1.png"), -1);
    EXPECT_EQ(CDraw::FindImage("story2.png"), -1);
}

// A story picture shows what its page's words tell. "One stormy night..."
// stands over panels of the night: the top third of each mostly dark. The
// opening's second page shows the Pyrowhorl raging (its fire) before the
// inventions it scattered, which lie about on the island (many edges where
// the ground is bare otherwise), as they do under "Crates everywhere!".
// Measured as the page shows them, beside their captions: the lightning clear of what the storm tosses; each
// chapter a level set shows has a panel with the professor, bots, teleports, snow, ice, night, day or fire its
// captions tell of, none of it under them; his bust is one bust on every picture of him.
TEST_F(MapDialogsTest, StoryPanelsShowWhatTheirPagesTell) {
    enum { kNight = 1, kFire = 2, kNoFire = 4, kThingsOnTheGround = 8 };
    constexpr int kProfessor = 16, kBust = 32, kBots = 64, kBotsApart = 128, kSnow = 256, kIce = 512, kBolt = 1024;
    constexpr int kHot = 2048, kCrater = 4096, kOnTheIsland = 8192, kTeleports = 16384, kDay = 32768, kGunDown = 65536;
    const struct Row { int story, page; const char* picture; int shows; } rows[] = {
        {0, 0, "story_A1_b.jpg", kNight | kBust},         {0, 0, "story_A1_c.jpg", kNight | kFire | kBolt},
        {0, 0, "story_A1_e.jpg", kNight | kFire | kBolt}, {0, 0, "story_A1_f.jpg", kNight | kBolt},
        {0, 1, "story_A2_b.jpg", kFire}, {0, 1, "story_A2_c.jpg", kBots | kBotsApart}, {0, 1, "story_A2_d.jpg", kBust},
        {0, 1, "story_A2_e.jpg", kNoFire | kThingsOnTheGround | kOnTheIsland}, {0, 1, "story_A2_g.jpg", kBust},
        {1, 0, nullptr, kBust | kCrater | kThingsOnTheGround | kOnTheIsland},
        {2, 0, nullptr, kNight | kProfessor | kBots | kNoFire}, {3, 0, nullptr, kProfessor | kBots | kNoFire},
        {4, 0, nullptr, kProfessor | kBots | kNoFire | kTeleports}, {5, 0, nullptr, kProfessor | kHot | kGunDown},
        {6, 0, nullptr, kBust | kSnow}, {7, 0, nullptr, kNight | kProfessor | kIce | kNoFire},
        {8, 0, nullptr, kDay | kProfessor | kBots}, {9, 0, nullptr, kProfessor | kHot},
        {10, 0, nullptr, kProfessor | kFire}, {11, 0, "story_C1_c.jpg", kBust}, {11, 0, "story_C1_g.jpg", kBust},
        {11, 1, "story_C2_b.jpg", kBots | kBotsApart}, {11, 1, "story_C2_e.jpg", kBust},
        {11, 1, "story_C2_f.jpg", kBust}, {-1, 0, "parchment_singed.png", kBust},
        {-1, 0, "parchment_caught.png", kBust}, {-1, 0, "parchment_tutorial.png", kBust},
        {-1, 0, "parchment_victory.png", kBust}, {-1, 0, "lvlset_prof.png", kBust},
    };
    for (int story = 1; story < CControllerStory::kStoryCount - 1; ++story)  // every chapter has a row
        EXPECT_TRUE(std::any_of(std::begin(rows), std::end(rows), [&](const Row& r) { return r.story == story; }))
            << story;
    struct Px {
        int r, g, b, seen;
        int Luma() const { return (299 * r + 587 * g + 114 * b) / 1000; }
        bool Fire() const { return r >= 220 && g >= 80 && g <= 215 && b <= 110; }
        bool Coat() const { return g - r >= 60 && b - r >= 45 && g >= b - 10; }
        bool Skin() const { return r >= 150 && b >= 110 && r - g >= 26 && r - g <= 75 && g - b >= 15 && g - b <= 50; }
        bool Scarf() const { return r >= 150 && r - g >= 60 && g - b >= 45; }
        bool Shell() const { return r >= 60 && r >= 2.5 * g && b >= g + 6; }
        bool Bolt() const { return r >= 225 && g >= 225 && b >= 235; }
        bool Wood() const { return r >= 100 && g * 100 <= r * 73 && g - b >= 25 && Luma() >= 70; }  // crate, barrel
        bool Thing() const { return Wood() || (r >= 150 && g <= 80 && b <= 80); }  // or the magnet's red
        bool Sea() const { return r < 90 && b >= r + 50 && b > g + 15; }
        bool Snow() const { return Luma() >= 185 && b >= r; }
        bool Teleport() const { return b >= r + 80 && b >= g + 40; }
        bool Ice() const { return b >= 200 && g >= 180 && r <= 225 && b > r + 15; }
        bool GunBody() const { return r >= 150 && r - g >= 80 && r - b >= 80; }
        bool Grip() const { return std::max({r, g, b}) - std::min({r, g, b}) <= 28 && Luma() >= 60 && Luma() <= 150; }
    };
    const int page = CDraw::CreateScreenSurface("testStoryPage.png");
    SDL_Surface* shown = CDraw::GetSurface(page);
    for (const Row& row : rows) [&] {
        const auto pictures = row.story < 0 ? std::vector<CControllerStory::Picture>{{row.picture, 0, 0}}
                                            : CControllerStory::GetPictures(row.story, row.page);
        // A chapter's row is its panel, the page's second picture.
        auto named = [&](const CControllerStory::Picture& p) { return p.name == row.picture; };
        const auto at = row.picture ? std::find_if(pictures.begin(), pictures.end(), named) : pictures.begin() + 1;
        ASSERT_LT(at, pictures.end());
        SCOPED_TRACE(at->name + " in story " + std::to_string(row.story));
        SDL_FillRect(shown, nullptr, SDL_MapRGB(shown->format, 0, 0, 0));
        for (const CControllerStory::Picture& p : pictures) CDraw::DrawImageOnto(p.name.c_str(), page, p.x, p.y);
        const int id = CDraw::GetImage(at->name.c_str());
        SDL_Surface* s = CDraw::GetSurface(id);
        ASSERT_NE(s, nullptr);
        auto luma = [s](int x, int y) {
            Uint8 r, g, b;
            SDL_GetRGB(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b);
            return (299 * r + 587 * g + 114 * b) / 1000;
        };
        const int w = s->w, h = s->h;
        std::vector<Px> px(w * h);
        std::vector<int> top;
        for (int y = 0; y < s->h; ++y)
            for (int x = 0; x < s->w; ++x) {
                Uint8 r, g, b, r2, g2, b2;
                SDL_GetRGB(CDraw::GetPixel(s, x, y), s->format, &r, &g, &b);
                SDL_GetRGB(CDraw::GetPixel(shown, at->x + x, at->y + y), shown->format, &r2, &g2, &b2);
                const bool same = std::abs(r - r2) + std::abs(g - g2) + std::abs(b - b2) <= 24;
                px[y * w + x] = row.story < 0 ? Px{r2, g2, b2, true} : Px{r, g, b, same};  // alone, as it shows
                if (y < s->h / 3) top.push_back(luma(x, y));
            }
        std::nth_element(top.begin(), top.begin() + top.size() / 2, top.end());
        // Where the island's grass lies between the volcano's foot and the
        // right-hand palm, sharp edges are those of things lying there.
        int edges = 0, band = 0;
        for (int y = s->h * 56 / 100; y < s->h * 72 / 100; ++y)
            for (int x = s->w * 45 / 100; x < s->w * 85 / 100; ++x, ++band)
                edges += std::abs(luma(x + 1, y) - luma(x, y)) + std::abs(luma(x, y + 1) - luma(x, y)) > 60;
        const int pixels = s->w * s->h;
        CDraw::ReleaseImage(id);
        auto P = [&](int x, int y) -> const Px& { return px[y * w + x]; };
        auto count = [&](bool (Px::*is)() const, bool seenOnly) {  // of a class of pixels, those drawn or shown
            return std::count_if(px.begin(), px.end(), [&](const Px& p) { return (p.*is)() && (p.seen || !seenOnly); });
        };
        const long fire = count(&Px::Fire, true);
        if (row.shows & kNight) {
            EXPECT_LE(top[top.size() / 2], 100) << "a daylit sky";
        }
        if (row.shows & kFire) {
            EXPECT_GE(fire * 100, pixels) << "no Pyrowhorl";
        }
        if (row.shows & kNoFire) {
            EXPECT_LE(fire * 300, pixels) << "the Pyrowhorl";
        }
        if (row.shows & kThingsOnTheGround) {
            EXPECT_GE(edges * 100, band) << "nothing lies about";
        }
        auto check = [&](int f, bool holds, const char* fault) { EXPECT_TRUE(!(row.shows & f) || holds) << fault; };
        check(kDay, top[top.size() / 2] >= 120, "no daylight");
        check(kTeleports, count(&Px::Teleport, true) * 800 >= pixels, "no teleports");
        check(kHot, fire * 40 >= pixels, "no heat");
        check(kFire | kCrater, fire * 20 >= count(&Px::Fire, false) * 19, "the fire under the captions");
        check(kSnow, count(&Px::Snow, true) * 5 >= pixels, "no snow");
        check(kIce, count(&Px::Ice, true) * 20 >= pixels, "no ice");
        for (const auto& f : {std::make_pair(kProfessor | kBust, &Px::Coat), std::make_pair(kBots | 0, &Px::Shell)}) {
            check(f.first, count(f.second, true) * 400 >= pixels, "no professor or bots");
            check(f.first, count(f.second, true) * 20 >= count(f.second, false) * 19, "covered by the captions");
        }
        if (row.shows & kBust) {
            // Around his coat where the picture cuts it at the bottom: his scarf's top, width and band, his
            // head's lowest row above it and its height, his shoulders' width (twice his wider half) below it.
            int coatLeft = w, coatRight = 0, foot = h - 1, half = 0, crown = 0;
            while (foot > 4 && std::none_of(&P(0, foot), &P(0, foot) + w, [](const Px& p) { return p.Coat(); })) --foot;
            for (int x = 0; x < w; ++x)
                if (P(x, foot - 4).Coat()) coatLeft = std::min(coatLeft, x), coatRight = x;
            ASSERT_LT(coatLeft, coatRight) << "no bust";
            const int cx = (coatLeft + coatRight) / 2, x0 = std::max(0, cx - (coatRight - coatLeft) * 3 / 4),
                      x1 = std::min(w, cx + (coatRight - coatLeft) * 3 / 4);
            auto span = [&](int y, bool (Px::*is)() const) {
                int left = w, right = -1;
                for (int x = x0; x < x1; ++x)
                    if ((P(x, y).*is)()) left = std::min(left, x), right = x;
                return right < left ? 0 : right - left + 1;
            };
            int top = 0, chin = 0, scarf = 0, band = 0;
            while (top < h - 1 && span(top, &Px::Scarf) == 0) ++top;
            for (int y = top; y < h && y <= top + span(top, &Px::Scarf) / 2; ++y)
                scarf = std::max(scarf, span(y, &Px::Scarf));
            for (int y = top + 1; y < h && (band == 0 || P(cx - scarf / 4, y).Scarf()); ++y)
                band += P(cx - scarf / 4, y).Scarf();
            for (chin = top - 1; chin > 0 && span(chin, &Px::Skin) == 0;) --chin;
            for (int x = x0; x < x1; ++x)
                if (P(x, std::min(h - 1, top + scarf)).Coat()) half = std::max(half, std::abs(x - cx));
            while (crown < chin && !P(cx, crown).Skin()) ++crown;
            EXPECT_LE(top - chin, 2) << "his head floats over his scarf";
            EXPECT_NEAR(double(band) / scarf, 0.2, 0.1) << "his scarf";
            EXPECT_NEAR(2.0 * half / scarf, 1.65, 0.2) << "his shoulders";
            EXPECT_NEAR(double(scarf) / (chin - crown + 1), 0.67, 0.06) << "his head for his body";
        }
        long near = 0;  // what the storm tosses within 10 pixels of its lightning
        for (int i = 0; i < w * h; ++i)
            for (int v = std::max(0, i / w - 10); px[i].Bolt() && v <= std::min(h - 1, i / w + 10); ++v)
                for (int u = std::max(0, i % w - 10); u <= std::min(w - 1, i % w + 10); ++u) near += P(u, v).Wood();
        check(kBolt, count(&Px::Bolt, false) >= 20, "no lightning");
        check(kBolt, near == 0, "the lightning over what the storm tosses");
        // Along the panel's longer side three bots' shells lie apart (a shell's pixels at most 3 apart), off its edges.
        std::vector<int> on(std::max(w, h), 0);
        int edge = w, bots = 0, run = 0, gap = 4;
        for (int i = 0; i < w * h; ++i)
            if (px[i].Shell())
                on[h > w ? i / w : i % w] = 1, edge = std::min({edge, i % w, i / w, w - 1 - i % w, h - 1 - i / w});
        for (const int o : on) gap = o ? 0 : gap + 1, run = o ? run + 1 : gap > 3 ? 0 : run, bots += run == 8;
        check(kBotsApart, bots == 3, "bots run together");
        check(kBotsApart, edge >= 8, "a bot at the edge");
        // Under a gun's red body a fallen gun's grey grip reaches the ground, 34 rows above the panel's bottom.
        const int ground = h - 34;
        int foot = -1, columns = 0;
        for (int x = 0, red = 0; (row.shows & kGunDown) && x < w; ++x, columns += red >= 5, red = 0) {
            for (int y = ground - 30; y < ground; ++y) red += P(x, y).GunBody();
            for (int y = ground - 30; red >= 5 && y <= ground + 3; ++y)
                if (P(x, y).Grip()) foot = std::max(foot, y);
        }
        check(kGunDown, columns >= 10, "no gun");
        check(kGunDown, foot >= ground - 3, "the gun hovers above the ground");
        int over = 0;
        for (int i = 0; i + 10 * w < w * h; ++i) over += px[i].Thing() && (px[i + 5 * w].Sea() || px[i + 10 * w].Sea());
        check(kOnTheIsland, over == 0, "things hang over the water");
    }();
    CDraw::ReleaseImage(page);
}

// The opening's second page is a frame and six pictures drawn in turn. Each
// picture shows whole (nothing drawn later changes what it showed), and the
// pictures together leave no part of the frame empty: every cell of a
// 4 x 3 grid over the frame, inside its margin, is mostly covered.
TEST_F(MapDialogsTest, TheOpeningsSecondPageShowsEveryPictureWholeAndFillsItsFrame) {
    const std::vector<CControllerStory::Picture> pictures = CControllerStory::GetPictures(0, 1);
    ASSERT_GE(pictures.size(), 3u);
    const int page = CDraw::CreateScreenSurface("testOpeningPage.png");
    SDL_Surface* surface = CDraw::GetSurface(page);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 40, 60, 40));
    const int w = surface->w, h = surface->h;
    auto snapshot = [&]() {
        std::vector<uint32_t> px(w * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                Uint8 r, g, b;
                SDL_GetRGB(CDraw::GetPixel(surface, x, y), surface->format, &r, &g, &b);
                px[y * w + x] = r << 16 | g << 8 | b;
            }
        return px;
    };
    auto differs = [](uint32_t a, uint32_t b) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(static_cast<int>(a >> shift & 255) - static_cast<int>(b >> shift & 255)) > 40) return true;
        return false;
    };
    const CControllerStory::Picture& frame = pictures[0];
    const SDL_Rect frameBox = OpaqueBox(frame.name.c_str());
    CDraw::DrawImageOnto(frame.name.c_str(), page, frame.x, frame.y);
    std::vector<uint32_t> before = snapshot();
    // What each picture showed, and its bounding box.
    std::vector<std::vector<int>> shown(pictures.size());
    std::vector<SDL_Rect> boxes(pictures.size(), SDL_Rect{0, 0, 0, 0});
    for (size_t i = 1; i < pictures.size(); ++i) {
        CDraw::DrawImageOnto(pictures[i].name.c_str(), page, pictures[i].x, pictures[i].y);
        const std::vector<uint32_t> after = snapshot();
        int left = w, top = h, right = 0, bottom = 0;
        for (int p = 0; p < w * h; ++p)
            if (differs(before[p], after[p])) {
                shown[i].push_back(p);
                left = std::min(left, p % w);
                right = std::max(right, p % w + 1);
                top = std::min(top, p / w);
                bottom = std::max(bottom, p / w + 1);
            }
        if (right > left)
            boxes[i] = SDL_Rect{static_cast<Sint16>(left), static_cast<Sint16>(top), static_cast<Uint16>(right - left),
                                static_cast<Uint16>(bottom - top)};
        // Pictures drawn so far keep what they showed.
        for (size_t j = 1; j < i; ++j) {
            size_t changed = 0;
            for (int p : shown[j])
                if (differs(before[p], after[p])) ++changed;
            EXPECT_LE(changed * 200, shown[j].size())
                << pictures[i].name << " covers " << changed << " of the " << shown[j].size() << " pixels shown by "
                << pictures[j].name;
        }
        before = after;
    }
    // The frame is centred on the screen, as every story page's is, and so
    // are the panels on it.
    for (int story = 0; story < CControllerStory::kStoryCount; ++story)
        for (int p = 0; p < 2; ++p) {
            const std::vector<CControllerStory::Picture> onPage = CControllerStory::GetPictures(story, p);
            if (onPage.empty()) continue;
            const SDL_Rect box = OpaqueBox(onPage[0].name.c_str());
            EXPECT_NEAR(onPage[0].x + box.x + box.w / 2.0, 400, 1) << onPage[0].name;
        }
    int panelsLeft = w, panelsRight = 0;
    for (const SDL_Rect& b : boxes)
        if (b.w > 0) {
            panelsLeft = std::min(panelsLeft, static_cast<int>(b.x));
            panelsRight = std::max(panelsRight, b.x + b.w);
        }
    EXPECT_NEAR((panelsLeft + panelsRight) / 2.0, 400, 1);
    const int left = frame.x + frameBox.x + 40, top = frame.y + frameBox.y + 40;
    const int cellW = (frameBox.w - 80) / 4, cellH = (frameBox.h - 80) / 3;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            int covered = 0;
            for (int y = top + row * cellH; y < top + (row + 1) * cellH; ++y)
                for (int x = left + col * cellW; x < left + (col + 1) * cellW; ++x) {
                    bool in = false;
                    for (const SDL_Rect& b : boxes)
                        in = in || (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h);
                    covered += in;
                }
            EXPECT_GE(covered * 2, cellW * cellH) << "the frame's cell " << col << ", " << row << " is mostly empty";
        }
    CDraw::ReleaseImage(page);
}

// The professor's picture stays inside the choice's box, clear of its
// heading and of the descriptions drawn onto the box; each description's
// text is level with the middle of its button.
TEST_F(MapDialogsTest, TheSetChoiceProfessorStaysInsideTheBoxAndEachTextBesideItsButton) {
    const SDL_Rect box = OpaqueBox("confirmation_parch.png");
    const SDL_Rect prof = OpaqueBox("lvlset_prof.png");
    const int left = CControllerSetSelect::kBoxX, top = CControllerSetSelect::kBoxY;
    const int boxX = left + box.x, boxY = top + box.y, profX = left + 360 + prof.x, profY = 88 + prof.y;
    ASSERT_GT(prof.w, 0);
    EXPECT_NEAR(boxX + box.w / 2.0, 400, 1) << "the box is off the screen's middle";
    const int edge = 8;  // the torn edge of the box
    EXPECT_GE(profX, boxX + edge);
    EXPECT_GE(profY, boxY + edge) << "the professor sticks out above the box";
    EXPECT_LE(profX + prof.w, boxX + box.w - edge);
    EXPECT_LE(profY + prof.h, boxY + box.h - edge);
    const struct {
        const char* image;
        int x, y;
    } texts[] = {{"lvlset_heading.png", CControllerSetSelect::kHeadingX, top + 44},
                 {"lvlset_desc_regular.png", CControllerSetSelect::kDescriptionX, CControllerSetSelect::GetDescriptionY(0)},
                 {"lvlset_desc_advanced.png", CControllerSetSelect::kDescriptionX, CControllerSetSelect::GetDescriptionY(1)},
                 {"lvlset_desc_kids.png", CControllerSetSelect::kDescriptionX, CControllerSetSelect::GetDescriptionY(2)}};
    // The heading stands centred in the room left of the professor.
    const SDL_Rect heading = OpaqueBox(texts[0].image);
    EXPECT_NEAR(texts[0].x + heading.x + heading.w / 2.0, (boxX + profX) / 2.0, 1);
    for (const auto& t : texts) {
        const SDL_Rect r = OpaqueBox(t.image);
        const int x = t.x + r.x, y = t.y + r.y;
        const bool apart = profX + prof.w <= x || x + r.w <= profX || profY + prof.h <= y || y + r.h <= profY;
        EXPECT_TRUE(apart) << "the professor covers " << t.image;
    }
    CControllerSetSelect* choice = Open(new CControllerSetSelect());
    for (int set = 0; set < 3; ++set) {
        const SDL_Rect r = OpaqueBox(texts[1 + set].image);
        const CGuiButton* button = choice->GetButton(set);
        const int buttonMiddle = button->GetY() + CDraw::GetHeight(button->GetBaseSprite()->GetFrameImage(0)) / 2;
        EXPECT_NEAR(texts[1 + set].y + r.y + r.h / 2, buttonMiddle, 2) << texts[1 + set].image;
    }
}

TEST_F(MapDialogsTest, TheSetChoiceCannotBeLeftWithoutAChoice) {
    CControllerSetSelect* choice = Open(new CControllerSetSelect());
    ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_LEVELSET);
    TapKey(SDLK_ESCAPE);
    Frames(3);
    EXPECT_EQ(CController::GetCurrent(), choice);
    // The keys move between the three sets; Return takes the one in focus.
    TapKey(SDLK_TAB);
    Frames(2);
    TapKey(SDLK_DOWN);
    Frames(2);
    EXPECT_EQ(CGuiButtonBase::GetFocusedButton(), choice->GetButton(CControllerSetSelect::BUTTON_ADVANCED));
    TapKey(SDLK_RETURN);
    EXPECT_TRUE(BackAtRootWithin(3));
    EXPECT_EQ(choice->GetValue(), 1);

    choice = Open(new CControllerSetSelect());
    ClickButton(choice->GetButton(CControllerSetSelect::BUTTON_KIDS));
    EXPECT_TRUE(BackAtRootWithin(3));
    EXPECT_EQ(choice->GetValue(), 2);
    child.reset();
    EXPECT_EQ(CDraw::FindImage("baseSetSelectController.png"), -1);
}

TEST_F(MapDialogsTest, TheExplanationBoxClosesByEscapeReturnOrItsButton) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        CControllerMessageTutorial* box = Open(new CControllerMessageTutorial());
        ASSERT_EQ(CController::GetCurrentId(), CONTROLLER_TUTORIAL_MESSAGE);
        EXPECT_FALSE(box->GetStar()->IsStopped());
        if (way == 0) TapKey(SDLK_ESCAPE);
        if (way == 1) TapKey(SDLK_RETURN);
        if (way == 2) ClickButton(box->GetOkayButton());
        EXPECT_TRUE(BackAtRootWithin(3));
        child.reset();
    }
}

}  // namespace
