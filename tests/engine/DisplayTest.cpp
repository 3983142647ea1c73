// The display: frame periods, pacing against a fake clock, presenting dirty
// rectangles or whole flips, suspension, full-screen switching and its
// fallback, update-rectangle clipping, the progress bar and pixels.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CDraw.h"
#include "platform/Platform.h"
#include "tests/engine/DisplayTestSupport.h"

using displaytest::DisplayTest;

namespace {

// A clock that only moves when the pacing loop sleeps.
uint32_t g_now = 0;
std::vector<uint32_t> g_delays;
uint32_t FakeTicks() { return g_now; }
void FakeDelay(uint32_t ms) {
    g_delays.push_back(ms);
    g_now += ms ? ms : 1;  // a yield still lets a little time pass
}

std::vector<Rect> g_dirty;
int g_clears = 0;
void GetDirty(std::vector<Rect>* out) { *out = g_dirty; }
void ClearDirty() {
    g_dirty.clear();
    ++g_clears;
}

int g_queries = 0;
bool g_option = false;
int g_optionClears = 0;
bool QueryOption() {
    ++g_queries;
    return g_option;
}
void ClearOption() {
    g_option = false;
    ++g_optionClears;
}

SDL_Surface* RefuseFullscreen(int w, int h, int bpp, Uint32 flags) {
    if (flags & SDL_FULLSCREEN) return nullptr;
    return SDL_SetVideoMode(w, h, bpp, flags);
}

class DisplayPacingTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        g_now = 0;
        g_delays.clear();
        g_dirty.clear();
        g_clears = 0;
        CDraw::SetClock(FakeTicks, FakeDelay);
        CDraw::SetDirtyRectSource(GetDirty, ClearDirty);
    }
    void TearDown() override {
        CDraw::SetDirtyRectSource(nullptr, nullptr);
        DisplayTest::TearDown();
    }
};

}  // namespace

TEST_F(DisplayPacingTest, PresentWaitsForThePeriodSleepingThenYielding) {
    CDraw::SetFrameRate(0);  // 66 ms
    g_now = 1000;
    CDraw::Present(false, true);  // first frame: the target is long past
    EXPECT_TRUE(g_delays.empty());
    EXPECT_EQ(CDraw::GetFrame(), 1u);

    g_delays.clear();
    CDraw::Present(false, true);
    EXPECT_GE(g_now, 1066u);
    ASSERT_FALSE(g_delays.empty());
    // Sleeps of 1 ms during the first half (33 ms), yields after it.
    size_t i = 0;
    while (i < g_delays.size() && g_delays[i] == 1) ++i;
    EXPECT_EQ(i, 33u);
    for (; i < g_delays.size(); ++i) EXPECT_EQ(g_delays[i], 0u);
    EXPECT_EQ(CDraw::GetFrame(), 2u);
}

// Ten frames take ten periods of the game speed: from the slowest (0) to the
// fastest (11); a speed past either end, and the menus' -1, take the
// menus' 33 ms.
TEST_F(DisplayPacingTest, TenFramesTakeTenPeriodsOfTheSpeed) {
    const struct {
        int speed;
        uint32_t period;
    } rows[] = {{0, 66}, {-1, 33}, {11, 10}, {12, 33}};
    for (const auto& row : rows) {
        CDraw::SetFrameRate(row.speed);
        EXPECT_EQ(CDraw::GetFramePeriod(), row.period) << row.speed;
        g_now += 5000;
        CDraw::Present(false, true);
        const uint32_t start = g_now;
        for (int i = 0; i < 10; ++i) CDraw::Present(false, true);
        EXPECT_GE(g_now - start, 10 * row.period) << row.speed;
        EXPECT_LE(g_now - start, 10 * row.period + 10) << row.speed;
    }
}

// Each switch says its new value; unlocked, Present does not wait for the
// period, and with the output on each second's frame count is printed.
TEST_F(DisplayPacingTest, TheFpsSwitchesTurnTheWaitAndTheCountLineOnAndOff) {
    for (const bool locked : {false, true}) {
        ::testing::internal::CaptureStdout();
        CDraw::ToggleFPSLock();
        CDraw::ToggleFPSOutput();
        g_delays.clear();
        g_now += 5000;
        CDraw::Present(false, true);
        CDraw::Present(false, true);
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(g_delays.empty(), !locked);
        const char* said = locked ? "Setting FPSLock to 1\nSetting FPSOutput to 0\n"
                                  : "Setting FPSLock to 0\nSetting FPSOutput to 1\nFPS ";
        EXPECT_EQ(out.rfind(said, 0), 0u) << out;
        EXPECT_EQ(out.find("FPS ") != std::string::npos, !locked) << out;
    }
}

TEST_F(DisplayPacingTest, FrameCountedOnlyWhenAsked) {
    g_now = 100;
    CDraw::Present(true, false);
    EXPECT_EQ(CDraw::GetFrame(), 0u);
    CDraw::Present(true, true);
    EXPECT_EQ(CDraw::GetFrame(), 1u);
}

TEST_F(DisplayPacingTest, DirtyRectanglesGoOutInOrderAndAreCleared) {
    CDraw::ForceFullFlip(0);
    g_now = 100;
    g_dirty = {{10, 20, 30, 40}, {0, 0, 5, 5}, {795, 590, 20, 20}};
    CDraw::Present(true, true);
    EXPECT_EQ(CDraw::GetLastPresentKind(), CDraw::kPresentedRects);
    const std::vector<SDL_Rect>& sent = CDraw::GetLastPresentRects();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].x, 10);
    EXPECT_EQ(sent[0].y, 20);
    EXPECT_EQ(sent[0].w, 30);
    EXPECT_EQ(sent[0].h, 40);
    EXPECT_EQ(sent[1].w, 5);
    // Never past the screen's edge.
    EXPECT_EQ(sent[2].x, 795);
    EXPECT_EQ(sent[2].w, 5);
    EXPECT_EQ(sent[2].h, 10);
    EXPECT_EQ(g_clears, 1);
    EXPECT_TRUE(g_dirty.empty());
}

// Present sends the dirty rectangles only when its caller asks for them and
// the display is not held to whole flips (a video mode keeps that choice);
// otherwise it flips the whole screen. The dirty lists are emptied either way.
TEST_F(DisplayPacingTest, PresentSendsRectanglesOnlyWhenAskedAndNotHeldToWholeFlips) {
    const struct {
        int forceFullFlip;
        bool useDirtyRects;
        CDraw::PresentKind shown;
    } rows[] = {
        {0, true, CDraw::kPresentedRects},
        {1, true, CDraw::kPresentedWholeScreen},
        {0, false, CDraw::kPresentedWholeScreen},
        // Not forced: as the system says, and this one counts as modern.
        {-1, true, CDraw::kPresentedWholeScreen},
    };
    for (const auto& row : rows) {
        CDraw::ForceFullFlip(row.forceFullFlip);
        g_dirty = {{10, 20, 30, 40}};
        g_clears = 0;
        g_now += 100;
        CDraw::Present(row.useDirtyRects, true);
        EXPECT_EQ(CDraw::GetLastPresentKind(), row.shown) << row.forceFullFlip << row.useDirtyRects;
        EXPECT_EQ(CDraw::GetLastPresentRects().size(), row.shown == CDraw::kPresentedRects ? 1u : 0u);
        EXPECT_EQ(g_clears, 1);
        CDraw::SetVideoMode();
        EXPECT_EQ(CDraw::IsFullFlip(), row.forceFullFlip != 0);
    }
}

TEST_F(DisplayPacingTest, SuspendedFrameKeepsItsRectanglesForTheNext) {
    CDraw::ForceFullFlip(0);
    g_now = 100;
    CDraw::SetPresentSuspended(true);
    g_dirty = {{1, 2, 3, 4}};
    CDraw::Present(true, true);
    EXPECT_EQ(CDraw::GetPresentCount(), 0u);
    EXPECT_EQ(CDraw::GetFrame(), 0u);
    EXPECT_EQ(g_clears, 0);
    EXPECT_TRUE(g_delays.empty());

    CDraw::SetPresentSuspended(false);
    g_dirty.push_back({5, 6, 7, 8});
    CDraw::Present(true, true);
    EXPECT_EQ(CDraw::GetPresentCount(), 1u);
    EXPECT_EQ(CDraw::GetFrame(), 1u);
    ASSERT_EQ(CDraw::GetLastPresentRects().size(), 2u);
    EXPECT_EQ(CDraw::GetLastPresentRects()[0].x, 1);
    EXPECT_EQ(CDraw::GetLastPresentRects()[1].x, 5);
}

TEST(DisplayUpdateRect, ClipsToTheScreen) {
    int x = -10, y = 590, w = 30, h = 30;
    ASSERT_TRUE(CDraw::ClipUpdateRect(&x, &y, &w, &h));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 590);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 10);

    x = 800, y = 0, w = 10, h = 10;
    EXPECT_FALSE(CDraw::ClipUpdateRect(&x, &y, &w, &h));
    x = 0, y = 600, w = 10, h = 10;
    EXPECT_FALSE(CDraw::ClipUpdateRect(&x, &y, &w, &h));
    // Ends left of the screen: nothing left.
    x = -20, y = 0, w = 10, h = 10;
    EXPECT_FALSE(CDraw::ClipUpdateRect(&x, &y, &w, &h));
    x = 0, y = -10, w = 10, h = 10;
    EXPECT_FALSE(CDraw::ClipUpdateRect(&x, &y, &w, &h));
    x = 799, y = 599, w = 10, h = 10;
    ASSERT_TRUE(CDraw::ClipUpdateRect(&x, &y, &w, &h));
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
}

TEST_F(DisplayTest, ToggleOnlyWhenDifferent) {
    g_queries = 0;
    g_option = false;
    CDraw::SetFullscreenOption(QueryOption, ClearOption);
    CDraw::SetVideoMode();
    EXPECT_FALSE(CDraw::IsFullscreen());
    const int before = g_queries;
    CDraw::ToggleFullscreen(true, false);
    EXPECT_EQ(g_queries, before);  // nothing happened
    CDraw::ToggleFullscreen(false, false);
    EXPECT_EQ(g_queries, before + 1);  // always switches (and re-reads the option)
    EXPECT_TRUE(CDraw::HasScreen());
}

TEST_F(DisplayTest, ToggleKeepsThePicture) {
    SDL_Surface* screen = CDraw::GetScreen();
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 10, 200, 30));
    g_option = true;
    CDraw::SetFullscreenOption(QueryOption, ClearOption);
    CDraw::ToggleFullscreen(true, true);
    EXPECT_TRUE(CDraw::IsFullscreen());
    screen = CDraw::GetScreen();
    Uint8 r, g, b;
    SDL_GetRGB(CDraw::GetPixel(screen, 400, 300), screen->format, &r, &g, &b);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 200);
    EXPECT_EQ(b, 30);
}

TEST_F(DisplayTest, RefusedFullscreenFallsBackToAWindowAndClearsTheOption) {
    g_option = true;
    g_optionClears = 0;
    CDraw::SetFullscreenOption(QueryOption, ClearOption);
    CDraw::SetVideoModeHook(RefuseFullscreen);
    CDraw::SetVideoMode();
    EXPECT_TRUE(CDraw::HasScreen());
    EXPECT_FALSE(CDraw::IsFullscreen());
    EXPECT_EQ(g_optionClears, 1);
    EXPECT_FALSE(g_option);
    EXPECT_EQ(CDraw::GetScreen()->w, 800);
    EXPECT_EQ(CDraw::GetScreen()->h, 600);
}

SDL_Surface* RefuseAll(int, int, int, Uint32) { return nullptr; }

TEST_F(DisplayTest, NoVideoModeAtAllIsFatal) {
    CTempDir dir;
    CScopedCwd cwd(dir.Path());
    ResetDirectories();
    CDraw::SetVideoModeHook(RefuseAll);
    EXPECT_EXIT(CDraw::SetVideoMode(), ::testing::ExitedWithCode(1), "Unable to set video mode: ");
    CDraw::SetVideoModeHook(nullptr);
}

TEST_F(DisplayTest, ProgressBarGrowsAndStopsAtTheTotal) {
    CTempDir dir;
    WriteFileBytes(dir.File("resource1.dat"), displaytest::MakeBmp(200, 12, 255, 0, 0));
    CScopedCwd cwd(dir.Path());
    CDraw::LoadProgressBar(300);
    EXPECT_EQ(CDraw::GetProgressTotal(), 24000);
    CDraw::StepProgress(12000);
    EXPECT_EQ(CDraw::GetProgressValue(), 12000);
    EXPECT_EQ(CDraw::GetProgressDrawn(), 100);
    // The bar is drawn at (360, 527).
    SDL_Surface* screen = CDraw::GetScreen();
    Uint8 r, g, b;
    SDL_GetRGB(CDraw::GetPixel(screen, 360, 527), screen->format, &r, &g, &b);
    EXPECT_EQ(r, 255);
    SDL_GetRGB(CDraw::GetPixel(screen, 460, 527), screen->format, &r, &g, &b);
    EXPECT_NE(r, 255);

    CDraw::DrawProgress(100);  // never shrinks
    EXPECT_EQ(CDraw::GetProgressDrawn(), 100);
    CDraw::StepProgress(50000);
    EXPECT_EQ(CDraw::GetProgressValue(), 24000);
    EXPECT_EQ(CDraw::GetProgressDrawn(), 200);
    CDraw::StepProgress(100);
    EXPECT_EQ(CDraw::GetProgressValue(), 24000);
    EXPECT_EQ(CDraw::GetProgressDrawn(), 200);
}

TEST_F(DisplayTest, MissingProgressBarImageIsFatal) {
    CTempDir dir;
    CScopedCwd cwd(dir.Path());
    ResetDirectories();
    EXPECT_EXIT(CDraw::LoadProgressBar(1), ::testing::ExitedWithCode(1),
                "The resource file '.*/resource1.dat' is missing\nzorv: Unable to load image: ");
}

TEST_F(DisplayTest, MissingLoadScreenIsFatal) {
    CTempDir dir;
    CScopedCwd cwd(dir.Path());
    ResetDirectories();
    EXPECT_EXIT(CDraw::ShowLoadScreen(), ::testing::ExitedWithCode(1),
                "The resource file '.*/resource0.dat' is missing\nzorv: Unable to load image: ");
}

TEST_F(DisplayTest, MissingIconIsNoIcon) {
    CTempDir dir;
    CScopedCwd cwd(dir.Path());
    CDraw::SetCaptionAndIcon();  // no resource7.dat: goes on without one
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title, "Professor Tumblewick and the Pyrowhorl");
}

TEST_F(DisplayTest, SaveScreenWritesABitmapOfTheScreen) {
    CTempDir dir;
    SDL_Surface* screen = CDraw::GetScreen();
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 255));
    const std::string path = dir.File("capture_test.bmp");
    ASSERT_TRUE(CDraw::SaveScreenBMP(path.c_str()));
    SDL_Surface* back = SDL_LoadBMP(path.c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->w, 800);
    EXPECT_EQ(back->h, 600);
    Uint8 r, g, b;
    SDL_GetRGB(CDraw::GetPixel(back, 5, 5), back->format, &r, &g, &b);
    EXPECT_EQ(b, 255);
    SDL_FreeSurface(back);
    EXPECT_FALSE(CDraw::SaveScreenBMP(dir.File("no/such/folder/x.bmp").c_str()));
}

TEST(DisplayPixels, EveryPixelSizeRoundTrips) {
    for (int bpp : {8, 16, 24, 32}) {
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 3, bpp, 0, 0, 0, 0);
        ASSERT_NE(s, nullptr);
        const uint32_t max = bpp == 32 ? 0xFFFFFFFFu : ((1u << bpp) - 1);
        const uint32_t value = 0x89ABCDEFu & max;
        CDraw::PutPixel(s, 3, 2, value);
        EXPECT_EQ(CDraw::GetPixel(s, 3, 2), value) << bpp;
        EXPECT_EQ(CDraw::GetPixel(s, 0, 0), 0u);
        if (bpp == 24) {
            const uint8_t* p = static_cast<uint8_t*>(s->pixels) + 2 * s->pitch + 9;
            EXPECT_EQ(p[0], 0xEF);  // low byte first
            EXPECT_EQ(p[2], 0xAB);
        }
        // Outside the surface: nothing read or written.
        CDraw::PutPixel(s, 4, 0, value);
        EXPECT_EQ(CDraw::GetPixel(s, -1, 0), 0u);
        SDL_FreeSurface(s);
    }
}

TEST_F(DisplayTest, CallsWithUnknownIdsDoNothing) {
    EXPECT_EQ(CDraw::GetSurface(-1), nullptr);
    EXPECT_EQ(CDraw::GetWidth(-1), 0);
    EXPECT_EQ(CDraw::GetHeight(12345), 0);
    CDraw::DrawImage(-1, 0, 0);
    CDraw::DrawImagePart(7, 0, 0, 0, 0, 5, 5);
    CDraw::BlitTo(-1, CDraw::GetScreen(), 0, 0, 0, 0, 5, 5);
    CDraw::BlitImageOnImage(-1, 3, 0, 0);
    CDraw::SetAlpha(99, 10, SDL_SRCALPHA);
    CDraw::AdjustAlpha(-5, 10);
    CDraw::ReleaseImage(-1);
    CDraw::ReleaseImage(1000);
    EXPECT_EQ(CDraw::GetImageName(-1), nullptr);
    EXPECT_EQ(CDraw::ReacquireImage(-1), -1);
}

TEST_F(DisplayTest, DrawImagePartFallsBackToTheWholeImage) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 10, 10, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 255, 255));
    const ImageId id = CDraw::AddSurface(s);
    SDL_Surface* screen = CDraw::GetScreen();
    SDL_FillRect(screen, nullptr, 0);
    CDraw::DrawImagePart(id, 100, 100, 5, 5, 3, 3);
    EXPECT_NE(CDraw::GetPixel(screen, 100, 100), 0u);
    EXPECT_EQ(CDraw::GetPixel(screen, 103, 103), 0u);
    SDL_FillRect(screen, nullptr, 0);
    CDraw::DrawImagePart(id, 100, 100, 5, 5, 6, 3);  // too wide: whole image
    EXPECT_NE(CDraw::GetPixel(screen, 109, 109), 0u);
    CDraw::ReleaseImage(id);
    EXPECT_EQ(CDraw::GetSurface(id), nullptr);
}

TEST_F(DisplayTest, BlitToCutsTheSizeToTheImage) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 255, 255));
    const ImageId id = CDraw::AddSurface(s);
    SDL_Surface* target = SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 20, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    CDraw::BlitTo(id, target, 2, 2, 0, 0, 100, 100);
    EXPECT_NE(CDraw::GetPixel(target, 5, 5), 0u);
    EXPECT_EQ(CDraw::GetPixel(target, 6, 6), 0u);
    CDraw::BlitTo(id, target, 10, 10, 0, 0, -3, 2);  // negative width: nothing
    EXPECT_EQ(CDraw::GetPixel(target, 10, 10), 0u);
    SDL_FreeSurface(target);
}

TEST_F(DisplayTest, ConstructorBringsTheDisplayUpAndTheDestructorTakesItDown) {
    const std::string run = ZORV_RUN_DIR;
    if (!PlatformFileExists(run + "/resource0.dat")) GTEST_SKIP() << "resources not built";
    CScopedCwd cwd(run);
    {
        CDraw draw;
        EXPECT_TRUE(CDraw::HasScreen());
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 5, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        CDraw::LoadSurface(s, "held.png");
        EXPECT_EQ(CDraw::GetRecordCount(), 1);
    }
    EXPECT_FALSE(CDraw::HasScreen());
    EXPECT_EQ(CDraw::GetRecordCount(), 0);
    EXPECT_EQ(CDraw::GetImageCount(), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

