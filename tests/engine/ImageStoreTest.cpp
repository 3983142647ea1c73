// The image store: counted holders, lazy decoding, ids that are never
// reused, run-time images, alpha copies and fades, pads and cuts, blank surfaces and
// captures, names bound twice.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/CDraw.h"
#include "engine/Log.h"
#include "platform/Platform.h"
#include "tests/engine/DisplayTestSupport.h"

using displaytest::DisplayTest;
using displaytest::MakeTga;

namespace {

class ImageStoreTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        AddFile("crate.tga", MakeTga(6, 4, 200, 100, 50, 128));
        AddFile("opaque.tga", MakeTga(3, 3, 1, 2, 3, 255));
        AddFile("clear.tga", MakeTga(3, 3, 1, 2, 3, 0));
        for (int i = 0; i < 5; ++i) AddFile("frame" + std::to_string(i) + ".tga", MakeTga(2, 2, 9, 9, 9, 200));
    }
};

// The developers' listing of held images, with their holders: a run-time
// image held once is left out unless all are asked for.
std::string Listing(bool all) {
    const bool wasOn = IsDebugCategoryOn(DBG_DEBUG);
    EnableDebugCategory(DBG_DEBUG);
    ::testing::internal::CaptureStdout();
    CDraw::DumpImageBuffers(all);
    if (!wasOn) DisableDebugCategory(DBG_DEBUG);
    return ::testing::internal::GetCapturedStdout();
}

}  // namespace

TEST_F(ImageStoreTest, TwoRequestsShareOneImage) {
    EXPECT_EQ(CDraw::FindImage("crate.tga"), -1);  // not decoded yet
    const ImageId a = CDraw::GetImage("crate.tga");
    const ImageId b = CDraw::GetImage("crate.tga");
    EXPECT_EQ(a, b);
    EXPECT_EQ(CDraw::GetRefCount("crate.tga"), 2);
    EXPECT_NE(Listing(false).find("crate.tga  (ID=" + std::to_string(a) + "   R=2   S="), std::string::npos);
    EXPECT_EQ(CDraw::FindImage("crate.tga"), a);
    EXPECT_EQ(CDraw::GetWidth(a), 6);
    EXPECT_EQ(CDraw::GetHeight(a), 4);
    CDraw::ReleaseImage(a);
    EXPECT_NE(CDraw::GetSurface(a), nullptr);
    CDraw::ReleaseImage(a);
    EXPECT_EQ(CDraw::GetSurface(a), nullptr);
    EXPECT_EQ(CDraw::GetRefCount("crate.tga"), 0);
    EXPECT_EQ(CDraw::FindImage("crate.tga"), -1);
    // Releasing a freed slot again does nothing.
    CDraw::ReleaseImage(a);
    EXPECT_EQ(CDraw::GetRefCount("crate.tga"), 0);
}

TEST_F(ImageStoreTest, ReleasedImageIsDecodedAgainUnderANewLargerId) {
    const ImageId first = CDraw::GetImage("crate.tga");
    CDraw::ReleaseImage(first);
    EXPECT_EQ(CDraw::GetSurface(first), nullptr);
    const ImageId second = CDraw::GetImage("crate.tga");
    EXPECT_GT(second, first);
    EXPECT_NE(CDraw::GetSurface(second), nullptr);
    EXPECT_EQ(CDraw::GetSurface(first), nullptr);
    EXPECT_STREQ(CDraw::GetImageName(second), "crate.tga");
}

// Preloaded images that are not decoded carry the id -1 in their records;
// a negative id must still name none of them.
TEST_F(ImageStoreTest, NegativeIdsNameNoImage) {
    const ImageId held = CDraw::GetImage("opaque.tga");
    const int images = CDraw::GetImageCount();
    EXPECT_EQ(CDraw::GetImageName(-1), nullptr);
    EXPECT_EQ(CDraw::GetImageName(-7), nullptr);
    EXPECT_EQ(CDraw::ReacquireImage(-1), -1);
    EXPECT_EQ(CDraw::GetImageCount(), images);
    EXPECT_EQ(CDraw::GetRefCount("crate.tga"), 0);
    EXPECT_EQ(CDraw::GetRefCount("frame0.tga"), 0);
    EXPECT_EQ(CDraw::GetRefCount("opaque.tga"), 1);
    EXPECT_EQ(CDraw::ReacquireImage(held), held);
    EXPECT_EQ(CDraw::GetRefCount("opaque.tga"), 2);
}

TEST_F(ImageStoreTest, IdsGrowAndAreNeverReused) {
    ImageId last = -1;
    for (int i = 0; i < 5; ++i) {
        const ImageId id = CDraw::GetImage(("frame" + std::to_string(i) + ".tga").c_str());
        EXPECT_GT(id, last);
        last = id;
        CDraw::ReleaseImage(id);
    }
    EXPECT_EQ(CDraw::GetImageCount(), 5);
    EXPECT_EQ(CDraw::GetLiveImageCount(), 0u);
}

TEST_F(ImageStoreTest, UnloadOfANameNeverRequestedDoesNothing) {
    CDraw::UnloadImage("crate.tga");
    CDraw::UnloadImage("no-such-name.png");
    EXPECT_EQ(CDraw::GetImageCount(), 0);
    const ImageId id = CDraw::GetImage("crate.tga");
    CDraw::UnloadImage("crate.tga");
    EXPECT_EQ(CDraw::GetSurface(id), nullptr);
}

TEST_F(ImageStoreTest, UnknownNameIsFatal) {
    CTempDir dir;
    CScopedCwd cwd(dir.Path());
    ResetDirectories();
    EXPECT_EXIT(CDraw::GetImage("missing.png"), ::testing::ExitedWithCode(1),
                "Unable to find preloaded image: missing.png");
}

TEST_F(ImageStoreTest, UndecodableBytesAreFatal) {
    AddFile("broken.png", {1, 2, 3, 4, 5});
    CTempDir dir;
    CScopedCwd cwd(dir.Path());
    ResetDirectories();
    EXPECT_EXIT(CDraw::GetImage("broken.png"), ::testing::ExitedWithCode(1), "Could not load image:  ");
}

TEST_F(ImageStoreTest, RunTimeImageIsForgottenAtItsLastRelease) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 5, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    const ImageId id = CDraw::LoadSurface(s, "made.png");
    const std::string listed = "made.png  (ID=" + std::to_string(id) + "   R=1   S=0)\n";
    EXPECT_EQ(Listing(false).find("made.png"), std::string::npos);
    EXPECT_NE(Listing(true).find(listed), std::string::npos);
    EXPECT_EQ(CDraw::FindImage("made.png"), id);
    EXPECT_EQ(CDraw::ReacquireImage(id), id);
    EXPECT_EQ(CDraw::GetRefCount("made.png"), 2);
    CDraw::ReleaseImage(id);
    CDraw::ReleaseImage(id);
    EXPECT_EQ(CDraw::FindImage("made.png"), -1);
    EXPECT_EQ(CDraw::GetSurface(id), nullptr);
    EXPECT_EQ(CDraw::GetRecordCount(), 8);  // only the preloaded files are left
    EXPECT_EQ(Listing(true).find("made.png"), std::string::npos);

    CTempDir dir;
    {
        CScopedCwd cwd(dir.Path());
        ResetDirectories();
        EXPECT_EXIT(CDraw::GetImage("made.png"), ::testing::ExitedWithCode(1), "");
    }
    // The name can be registered again.
    SDL_Surface* again = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 5, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    const ImageId newId = CDraw::LoadSurface(again, "made.png");
    EXPECT_GT(newId, id);
    EXPECT_EQ(CDraw::FindImage("made.png"), newId);
}

TEST_F(ImageStoreTest, UnnamedSurfaceIsFreedByItsFirstRelease) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 5, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    const ImageId id = CDraw::LoadSurface(s, nullptr);
    EXPECT_EQ(CDraw::GetRecordCount(), 8);
    EXPECT_NE(CDraw::GetSurface(id), nullptr);
    CDraw::ReleaseImage(id);
    EXPECT_EQ(CDraw::GetSurface(id), nullptr);
    EXPECT_EQ(CDraw::LoadSurface(nullptr, "nothing.png"), -1);
    EXPECT_EQ(CDraw::FindImage("nothing.png"), -1);
}

TEST_F(ImageStoreTest, SecondRecordUnderABoundNameLeavesTheFirstBinding) {
    SDL_Surface* a = SDL_CreateRGBSurface(SDL_SWSURFACE, 5, 5, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Surface* b = SDL_CreateRGBSurface(SDL_SWSURFACE, 7, 7, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    const ImageId first = CDraw::LoadSurface(a, "text.png");
    const ImageId second = CDraw::LoadSurface(b, "text.png");
    EXPECT_EQ(CDraw::FindImage("text.png"), first);
    // Letting go of the second must not take the name from the first.
    CDraw::ReleaseImage(second);
    EXPECT_EQ(CDraw::GetSurface(second), nullptr);
    EXPECT_EQ(CDraw::FindImage("text.png"), first);
    EXPECT_EQ(CDraw::GetImage("text.png"), first);
    CDraw::ReleaseImage(first);
    CDraw::ReleaseImage(first);
    EXPECT_EQ(CDraw::FindImage("text.png"), -1);
}

TEST_F(ImageStoreTest, CopyWithAlphaDeltas) {
    const ImageId same = CDraw::CopyImage("crate.tga", "crate_same.tga", 0);
    EXPECT_EQ(AlphaAt(same, 1, 1), 128);
    const ImageId up = CDraw::CopyImage("crate.tga", "crate_up.tga", 100);
    EXPECT_EQ(AlphaAt(up, 1, 1), 228);
    const ImageId saturatedUp = CDraw::CopyImage("crate.tga", "crate_full.tga", 200);
    EXPECT_EQ(AlphaAt(saturatedUp, 0, 0), 255);
    const ImageId down = CDraw::CopyImage("crate.tga", "crate_down.tga", -100);
    EXPECT_EQ(AlphaAt(down, 5, 3), 28);
    const ImageId saturatedDown = CDraw::CopyImage("crate.tga", "crate_gone.tga", -200);
    EXPECT_EQ(AlphaAt(saturatedDown, 5, 3), 0);
    const ImageId none = CDraw::CopyImage("opaque.tga", "opaque_none.tga", -255);
    EXPECT_EQ(AlphaAt(none, 2, 2), 0);
    const ImageId full = CDraw::CopyImage("clear.tga", "clear_full.tga", 255);
    EXPECT_EQ(AlphaAt(full, 2, 2), 255);
    // Colour stays.
    Uint8 r, g, b, a;
    SDL_Surface* s = CDraw::GetSurface(down);
    SDL_GetRGBA(CDraw::GetPixel(s, 0, 0), s->format, &r, &g, &b, &a);
    EXPECT_EQ(r, 200);
    EXPECT_EQ(g, 100);
    EXPECT_EQ(b, 50);
    // A source nobody held is decoded for the copy and let go again.
    EXPECT_EQ(CDraw::FindImage("crate.tga"), -1);
    EXPECT_EQ(CDraw::GetRefCount("crate_down.tga"), 1);
}

TEST_F(ImageStoreTest, AdjustAlphaSaturates) {
    const ImageId id = CDraw::GetImage("crate.tga");
    CDraw::AdjustAlpha(id, 100);
    EXPECT_EQ(AlphaAt(id, 0, 0), 228);
    CDraw::AdjustAlpha(id, 100);
    EXPECT_EQ(AlphaAt(id, 0, 0), 255);
    CDraw::AdjustAlpha(id, -300);
    EXPECT_EQ(AlphaAt(id, 0, 0), 0);
}

TEST_F(ImageStoreTest, FadeSequenceNamesAndDeltas) {
    AddFile("password_invalid.tga", MakeTga(4, 4, 10, 10, 10, 255));
    CDraw::MakeFadeSequence("password_invalid.tga", 0, -45);
    EXPECT_EQ(CDraw::GetImageCount(), 0);
    CDraw::MakeFadeSequence("password_invalid.tga", 6, -45);
    const int expected[6] = {0, 255 - 225, 255 - 180, 255 - 135, 255 - 90, 255 - 45};
    for (int k = 0; k < 6; ++k) {
        const std::string name = "password_invalid" + std::to_string(k) + ".tga";
        const ImageId id = CDraw::FindImage(name.c_str());
        ASSERT_GE(id, 0) << name;
        EXPECT_EQ(AlphaAt(id, 1, 1), expected[k]) << name;
    }
    // The highest number is made first.
    EXPECT_LT(CDraw::FindImage("password_invalid5.tga"), CDraw::FindImage("password_invalid0.tga"));
}

TEST_F(ImageStoreTest, CopySequenceAndRange) {
    CDraw::CopyImageSequence("frame", "faded", 1, 3, ".tga", -50);
    for (int i = 1; i <= 3; ++i) {
        const std::string name = "faded" + std::to_string(i) + ".tga";
        ASSERT_GE(CDraw::FindImage(name.c_str()), 0);
        EXPECT_EQ(AlphaAt(CDraw::FindImage(name.c_str()), 0, 0), 150);
    }
    EXPECT_EQ(CDraw::CacheImageRange("frame", 3, 2, ".tga"), 0);
    EXPECT_EQ(CDraw::GetRefCount("frame3.tga"), 0);
    const ImageId last = CDraw::CacheImageRange("frame", 0, 4, ".tga");
    EXPECT_EQ(last, CDraw::FindImage("frame4.tga"));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(CDraw::GetRefCount(("frame" + std::to_string(i) + ".tga").c_str()), 1);
}

TEST_F(ImageStoreTest, PadImagePlacesTheSourceInATransparentFrame) {
    const ImageId id = CDraw::PadImage("opaque.tga", "padded.tga", 2, 1, 3, 4);
    ASSERT_GE(id, 0);
    EXPECT_EQ(CDraw::GetWidth(id), 2 + 3 + 1);
    EXPECT_EQ(CDraw::GetHeight(id), 3 + 3 + 4);
    EXPECT_EQ(AlphaAt(id, 0, 0), 0);
    EXPECT_EQ(AlphaAt(id, 1, 3), 0);
    EXPECT_EQ(AlphaAt(id, 2, 3), 255);
    EXPECT_EQ(AlphaAt(id, 4, 5), 255);
    EXPECT_EQ(AlphaAt(id, 5, 5), 0);
    EXPECT_EQ(AlphaAt(id, 4, 6), 0);
    EXPECT_EQ(CDraw::FindImage("opaque.tga"), -1);
    // Negative margins are taken as none.
    const ImageId same = CDraw::PadImage("opaque.tga", "unpadded.tga", -4, 0, -1, 0);
    EXPECT_EQ(CDraw::GetWidth(same), 3);
    EXPECT_EQ(CDraw::GetHeight(same), 3);
}

// Cutting bands out of a picture closes up what lies right of and below
// them; a band reaching past the picture's edge is cut at it.
TEST_F(ImageStoreTest, CutImageTakesBandsOfColumnsAndRowsOut) {
    const ImageId grid = CDraw::CreateSurface(6, 5, "grid.png");
    SDL_Surface* g = CDraw::GetSurface(grid);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) CDraw::PutPixel(g, x, y, SDL_MapRGBA(g->format, 40 * x, 40 * y, 7, 255));
    CDraw::GetImage("grid.png");  // held by the test as well as by its maker
    struct Cut {
        int x, w, y, h;
        int keptW, keptH;
        int fromX[6], fromY[5];  // the source column and row of each one kept
    };
    const Cut cuts[] = {
        {2, 2, 1, 3, 4, 2, {0, 1, 4, 5}, {0, 4}},
        {0, 0, 0, 0, 6, 5, {0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, 4}},
        {5, 9, 4, 9, 5, 4, {0, 1, 2, 3, 4}, {0, 1, 2, 3}},
        {-3, 4, 7, 2, 5, 5, {1, 2, 3, 4, 5}, {0, 1, 2, 3, 4}},
    };
    for (const Cut& c : cuts) {
        SCOPED_TRACE(std::to_string(c.x) + " " + std::to_string(c.w) + " " + std::to_string(c.y) + " " +
                     std::to_string(c.h));
        const ImageId id = CDraw::CutImage("grid.png", "cut.png", c.x, c.w, c.y, c.h);
        ASSERT_GE(id, 0);
        ASSERT_EQ(CDraw::GetWidth(id), c.keptW);
        ASSERT_EQ(CDraw::GetHeight(id), c.keptH);
        SDL_Surface* s = CDraw::GetSurface(id);
        for (int y = 0; y < c.keptH; ++y)
            for (int x = 0; x < c.keptW; ++x) {
                Uint8 r, gr, b, a;
                SDL_GetRGBA(CDraw::GetPixel(s, x, y), s->format, &r, &gr, &b, &a);
                EXPECT_EQ(r, 40 * c.fromX[x]) << x << "," << y;
                EXPECT_EQ(gr, 40 * c.fromY[y]) << x << "," << y;
                EXPECT_EQ(a, 255);
            }
        CDraw::UnloadImage("cut.png");
    }
}

TEST_F(ImageStoreTest, BlankSurfacesAndCaptures) {
    const ImageId blank = CDraw::CreateSurface(10, 8, "blank.png");
    EXPECT_EQ(CDraw::GetWidth(blank), 10);
    EXPECT_EQ(CDraw::GetHeight(blank), 8);
    EXPECT_EQ(AlphaAt(blank, 3, 3), 0);
    EXPECT_EQ(CDraw::FindImage("blank.png"), blank);

    SDL_Surface* screen = CDraw::GetScreen();
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 255, 0));
    const ImageId shot = CDraw::CaptureScreen("shot.png");
    EXPECT_EQ(CDraw::GetWidth(shot), 800);
    Uint8 r, g, b;
    SDL_GetRGB(CDraw::GetPixel(CDraw::GetSurface(shot), 799, 599), CDraw::GetSurface(shot)->format, &r, &g, &b);
    EXPECT_EQ(g, 255);
    const ImageId screenLike = CDraw::CreateScreenSurface("backbuffer.png");
    EXPECT_EQ(CDraw::GetWidth(screenLike), 800);
    EXPECT_EQ(CDraw::GetHeight(screenLike), 600);
}

TEST_F(ImageStoreTest, DrawOntoAnotherImage) {
    const ImageId target = CDraw::CreateSurface(10, 10, "canvas.png");
    CDraw::DrawImageOnto("opaque.tga", target, 4, 4);
    // An opaque source blended over the canvas gives the source's colour.
    SDL_Surface* s = CDraw::GetSurface(target);
    Uint8 r, g, b;
    SDL_GetRGB(CDraw::GetPixel(s, 5, 5), s->format, &r, &g, &b);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(g, 2);
    EXPECT_EQ(b, 3);
    SDL_GetRGB(CDraw::GetPixel(s, 3, 3), s->format, &r, &g, &b);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(CDraw::FindImage("opaque.tga"), -1);  // let go again
}

TEST_F(ImageStoreTest, FolderModeDecodesFromResourceFolder) {
    CTempDir dir;
    ASSERT_TRUE(PlatformMakeDir(dir.File("resource")));
    WriteFileBytes(dir.File("resource/loose.tga"), MakeTga(7, 2, 1, 1, 1, 255));
    AddFile("loose.tga", {});  // the bytes are not used in folder mode
    CScopedCwd cwd(dir.Path());
    CDraw::SetUrlDir(true);
    const ImageId id = CDraw::GetImage("loose.tga");
    EXPECT_EQ(CDraw::GetWidth(id), 7);
    const ImageId direct = CDraw::LoadImageFromDirectory("loose.tga");
    EXPECT_NE(direct, id);
    EXPECT_EQ(CDraw::GetHeight(direct), 2);
    CDraw::SetUrlDir(false);
}
