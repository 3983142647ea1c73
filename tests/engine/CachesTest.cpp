// The start-up cache groups on the image pack and string table the resource
// builder writes: every group runs to its end with no missing name, with the
// request, copy, text and progress-step counts of each group, and the
// references they keep.
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/CDraw.h"
#include "engine/FontRender.h"
#include "engine/ImageCaches.h"
#include "engine/ImagePack.h"
#include "platform/Platform.h"
#include "tests/engine/DisplayTestSupport.h"

using displaytest::DisplayTest;

namespace {

bool HaveRealResources() {
    const std::string run = ZORV_RUN_DIR;
    return ReadFileBytes(run + "/resource2.dat").size() > 8 && PlatformFileExists(run + "/resource1.dat") &&
           PlatformFileExists(run + "/resource5.dat");
}

uint32_t PackCount() {
    const std::vector<uint8_t> b = ReadFileBytes(std::string(ZORV_RUN_DIR) + "/resource2.dat");
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

class CachesTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        if (!HaveRealResources()) GTEST_SKIP() << "resources not built";
        ASSERT_EQ(TTF_Init(), 0);
        FontSetFolder("./");
    }
    void TearDown() override {
        FontQuit();
        FontResetStyle();
        DisplayTest::TearDown();
    }
};

void RunEveryGroup() {
    FontLoadStringFile("resource5.dat");
    preloadImages();
}

}  // namespace

TEST_F(CachesTest, EveryGroupRunsToItsEndOnThePack) {
    CScopedCwd cwd(ZORV_RUN_DIR);
    // In a child first: a missing name would end this whole test program.
    EXPECT_EXIT(
        {
            RunEveryGroup();
            exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(CachesTest, GroupCountsReferencesAndProgress) {
    CScopedCwd cwd(ZORV_RUN_DIR);
    FontLoadStringFile("resource5.dat");
    const int n = static_cast<int>(PackCount());
    PreloadImageFiles();
    ASSERT_EQ(CDraw::GetRecordCount(), n);
    EXPECT_EQ(CDraw::GetProgressTotal(), n + 23700);

    struct Expected {
        void (*group)();
        const char* name;
        int requests, copies, texts, steps;
    };
    const Expected groups[] = {
        {cacheMain, "cacheMain", 132, 0, 0, 6},          {cacheMap, "cacheMap", 179, 0, 0, 4},
        {cacheGame, "cacheGame", 2094, 20, 0, 58},       {cacheButtons, "cacheButtons", 0, 0, 40, 2},
        {cacheFadedImages, "cacheFadedImages", 79, 727, 4, 56},
    };
    CacheCounts total;
    for (const Expected& g : groups) {
        ResetCacheCounts();
        g.group();
        const CacheCounts c = GetCacheCounts();
        EXPECT_EQ(c.requests, g.requests) << g.name;
        EXPECT_EQ(c.copies, g.copies) << g.name;
        EXPECT_EQ(c.texts, g.texts) << g.name;
        EXPECT_EQ(c.steps, g.steps) << g.name;
        total.requests += c.requests;
        total.copies += c.copies;
        total.texts += c.texts;
        total.steps += c.steps;
    }
    EXPECT_EQ(total.requests, 2484);
    EXPECT_EQ(total.copies, 747);
    EXPECT_EQ(total.texts, 44);
    EXPECT_EQ(total.steps, 126);
    EXPECT_EQ(CDraw::GetProgressValue(), n + 12600);
    // Every copy and text is a new registered image.
    EXPECT_EQ(CDraw::GetRecordCount(), n + 747 + 44);

    // Names requested twice hold two references.
    EXPECT_EQ(CDraw::GetRefCount("heatgunimpact0.png"), 2);
    EXPECT_EQ(CDraw::GetRefCount("heatgunimpact25.png"), 2);
    for (int i = 4; i <= 8; ++i)
        EXPECT_EQ(CDraw::GetRefCount(("heatedobjectglow" + std::to_string(i) + ".png").c_str()), 2) << i;
    EXPECT_EQ(CDraw::GetRefCount("heatedobjectglow9.png"), 1);
    EXPECT_EQ(CDraw::GetRefCount("dimmer.png"), 1);

    // Copy-only sources were decoded for the copy and let go again.
    EXPECT_EQ(CDraw::FindImage("editorerase.png"), -1);
    EXPECT_EQ(CDraw::FindImage("counterdigitsA.png"), -1);
    EXPECT_GE(CDraw::FindImage("counterdigitsA_faded.png"), 0);
    EXPECT_GE(CDraw::FindImage("cursorerase.png"), 0);

    // The question mark copied before its series was requested: two decodes.
    const ImageId cursor = CDraw::FindImage("cursortutorial.tga");
    const ImageId qmark = CDraw::FindImage("qmarkrotate23.tga");
    ASSERT_GE(cursor, 0);
    ASSERT_GE(qmark, 0);
    EXPECT_GT(qmark, cursor);
    EXPECT_EQ(CDraw::GetRefCount("qmarkrotate23.tga"), 1);

    // Text images have their box size.
    const ImageId text = CDraw::FindImage("p2d_button_maintext.png");
    ASSERT_GE(text, 0);
    EXPECT_EQ(CDraw::GetWidth(text), 186);
    EXPECT_EQ(CDraw::GetHeight(text), 29);
    EXPECT_EQ(CDraw::GetWidth(CDraw::FindImage("scoreboard_user_invalid0.png")), 300);
    EXPECT_EQ(CDraw::GetWidth(CDraw::FindImage("scoreboard_name_refused5.png")), 300);
    EXPECT_EQ(CDraw::GetWidth(CDraw::FindImage("options_password_invalid5.png")), 136);
    EXPECT_GE(CDraw::FindImage("p2d_button_class17text.png"), 0);
    EXPECT_GE(CDraw::FindImage("teleport_glowred12.png"), 0);
    EXPECT_GE(CDraw::FindImage("teleport_spiralyellow_1039.png"), 0);
    EXPECT_GE(CDraw::FindImage("teleport_frameredbreak12.png"), 0);
    EXPECT_GE(CDraw::FindImage("transporttubeB_break11.png"), 0);

    // A screen that takes and lets go of a cached image never frees it.
    const ImageId cloud = CDraw::GetImage("mainmenu_cloudbigA.png");
    CDraw::ReleaseImage(cloud);
    EXPECT_NE(CDraw::GetSurface(cloud), nullptr);
    EXPECT_EQ(CDraw::GetRefCount("mainmenu_cloudbigA.png"), 1);
    CDraw::UnloadImage("mainmenu_cloudbigA.png");
    CDraw::UnloadImage("mainmenu_cloudbigA.png");  // the group's reference goes only at shut-down
    EXPECT_EQ(CDraw::GetSurface(cloud), nullptr);
}

TEST_F(CachesTest, MissingNameEndsTheProgramNamingIt) {
    CTempDir dir;
    // A pack with just the first image of the main menu: the second is missing.
    const std::vector<uint8_t> dimmer = ReadFileBytes(std::string(ZORV_RUN_DIR) + "/resource1.dat");
    WriteFileBytes(dir.File("resource1.dat"), dimmer);
    WriteFileBytes(dir.File("resource2.dat"), ::MakePack({{"dimmer.png", dimmer}}));
    CScopedCwd cwd(dir.Path());
    ResetDirectories();
    PreloadImageFiles();
    EXPECT_EXIT(cacheMain(), ::testing::ExitedWithCode(1), "Unable to find preloaded image: mainmenu_background.jpg");
}
