// The start-up preload: every entry of a pack becomes a record with its
// bytes, the progress total is n + 23700, and a damaged pack (truncated at
// any byte, an offset or a length past the end) ends the program with
// "Cannot load resource file!" and exit code 1, never a crash.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CDraw.h"
#include "engine/ImagePack.h"
#include "platform/Platform.h"
#include "tests/engine/DisplayTestSupport.h"

using displaytest::DisplayTest;
using displaytest::MakeBmp;
using displaytest::MakeTga;

namespace {

class ImagePackTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        WriteFileBytes(dir_.File("resource1.dat"), MakeBmp(100, 10, 0, 255, 0));
    }
    void WritePack(const std::vector<uint8_t>& bytes) { WriteFileBytes(dir_.File("resource2.dat"), bytes); }

    static PackEntries SmallEntries() {
        return {{"a.tga", MakeTga(2, 2, 1, 2, 3, 255)},
                {"bb.tga", MakeTga(3, 1, 4, 5, 6, 7)},
                {"c.png", MakeBmp(2, 2, 9, 9, 9)}};
    }

    // Runs the preload in a child and checks it ended with the pack message.
    void ExpectPackRejected(const std::vector<uint8_t>& bytes) {
        WritePack(bytes);
        CScopedCwd cwd(dir_.Path());
        ResetDirectories();
        EXPECT_EXIT(PreloadImageFiles(), ::testing::ExitedWithCode(1),
                    "The resource file '.*/resource2.dat' is damaged\nzorv: Cannot load resource file!");
    }

    CTempDir dir_;
};

}  // namespace

TEST_F(ImagePackTest, EveryEntryBecomesARecordAndTheTotalIsNPlus23700) {
    const PackEntries entries = SmallEntries();
    WritePack(MakePack(entries));
    CScopedCwd cwd(dir_.Path());
    PreloadImageFiles();
    EXPECT_EQ(CDraw::GetRecordCount(), 3);
    EXPECT_EQ(CDraw::GetProgressTotal(), 3 + 23700);
    EXPECT_EQ(CDraw::GetProgressValue(), 3);
    EXPECT_EQ(CDraw::GetImageCount(), 0);  // nothing decoded yet
    for (const auto& e : entries) EXPECT_EQ(CDraw::GetRefCount(e.first.c_str()), 0);
    const ImageId b = CDraw::GetImage("bb.tga");
    EXPECT_EQ(CDraw::GetWidth(b), 3);
    EXPECT_EQ(CDraw::GetHeight(b), 1);
    EXPECT_EQ(CDraw::GetWidth(CDraw::GetImage("c.png")), 2);
}

TEST_F(ImagePackTest, EmptyPackGivesAnEmptyStore) {
    WritePack(MakePack({}));
    CScopedCwd cwd(dir_.Path());
    PreloadImageFiles();
    EXPECT_EQ(CDraw::GetRecordCount(), 0);
    EXPECT_EQ(CDraw::GetProgressTotal(), 23700);
}

TEST_F(ImagePackTest, FirstOfTwoEqualNamesIsBound) {
    WritePack(MakePack({{"same.tga", MakeTga(1, 1, 0, 0, 0, 255)}, {"same.tga", MakeTga(5, 5, 0, 0, 0, 255)}}));
    CScopedCwd cwd(dir_.Path());
    PreloadImageFiles();
    EXPECT_EQ(CDraw::GetRecordCount(), 2);
    EXPECT_EQ(CDraw::GetWidth(CDraw::GetImage("same.tga")), 1);
}

TEST_F(ImagePackTest, NamesStopAtAZeroByteAndMayBeEmpty) {
    std::string withZero("cut.tga\0junk", 12);
    WritePack(MakePack({{withZero, MakeTga(1, 1, 0, 0, 0, 255)}, {"", MakeTga(2, 2, 0, 0, 0, 255)}}));
    CScopedCwd cwd(dir_.Path());
    PreloadImageFiles();
    EXPECT_EQ(CDraw::GetRefCount("cut.tga"), 0);
    EXPECT_EQ(CDraw::GetWidth(CDraw::GetImage("cut.tga")), 1);
    EXPECT_EQ(CDraw::GetRecordCount(), 2);
}

TEST_F(ImagePackTest, MissingPackIsFatal) {
    CScopedCwd cwd(dir_.Path());
    ResetDirectories();
    EXPECT_EXIT(PreloadImageFiles(), ::testing::ExitedWithCode(1),
                "The resource file '.*/resource2.dat' is missing\nzorv: Cannot load resource file!");
}

TEST_F(ImagePackTest, PackTruncatedAtAnyByteIsRejected) {
    const std::vector<uint8_t> whole = MakePack(SmallEntries());
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        ExpectPackRejected(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
    }
}

TEST_F(ImagePackTest, OffsetsAndLengthsPastTheEndAreRejected) {
    const std::vector<uint8_t> whole = MakePack(SmallEntries());
    auto patched = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = whole;
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return bytes;
    };
    const uint32_t size = static_cast<uint32_t>(whole.size());
    ExpectPackRejected(patched(0, 0xFFFFFFFFu));   // count
    ExpectPackRejected(patched(0, 1000));          // count larger than the table
    ExpectPackRejected(patched(4, size));          // first offset at the end
    ExpectPackRejected(patched(8, 0xFFFFFFF0u));   // second offset far past it
    const size_t firstEntry = 4 + 4 * 3;
    ExpectPackRejected(patched(firstEntry, size));          // image length
    ExpectPackRejected(patched(firstEntry + 4, 0x7FFFFFFF)); // name length
}

TEST_F(ImagePackTest, FolderModeReadsLooseFilesAndSkipsFolders) {
    ASSERT_TRUE(PlatformMakeDirs(dir_.File("resource/sound")));
    WriteFileBytes(dir_.File("resource/one.tga"), MakeTga(4, 1, 0, 0, 0, 255));
    WriteFileBytes(dir_.File("resource/two.png"), MakeBmp(1, 4, 0, 0, 0));
    WriteFileText(dir_.File("resource/notes.txt"), "not an image, kept all the same");
    WriteFileBytes(dir_.File("resource/sound/beep.ogg"), {1, 2, 3});
    CScopedCwd cwd(dir_.Path());
    CDraw::SetUrlDir(true);
    PreloadImageFiles();
    EXPECT_EQ(CDraw::GetRecordCount(), 3);
    EXPECT_EQ(CDraw::GetProgressTotal(), 3 + 23700);
    EXPECT_EQ(CDraw::GetWidth(CDraw::GetImage("one.tga")), 4);
    EXPECT_EQ(CDraw::GetHeight(CDraw::GetImage("two.png")), 4);
    CDraw::SetUrlDir(false);
}

TEST_F(ImagePackTest, FolderModeWithoutTheFolderIsFatal) {
    CScopedCwd cwd(dir_.Path());
    ResetDirectories();
    CDraw::SetUrlDir(true);
    EXPECT_EXIT(PreloadImageFiles(), ::testing::ExitedWithCode(1),
                "Unable to preload graphics: Directory stream pointer was not opened.");
    CDraw::SetUrlDir(false);
}

// The pack the resource builder writes into the run folder.
TEST_F(ImagePackTest, RealPackReadsEveryEntry) {
    const std::vector<uint8_t> bytes = ReadFileBytes(std::string(ZORV_RUN_DIR) + "/resource2.dat");
    if (bytes.size() < 8) GTEST_SKIP() << "no image pack built";
    const uint32_t n = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    CScopedCwd cwd(ZORV_RUN_DIR);
    PreloadImageFiles();
    EXPECT_EQ(CDraw::GetRecordCount(), static_cast<int>(n));
    EXPECT_EQ(CDraw::GetProgressTotal(), static_cast<int>(n) + 23700);
    EXPECT_EQ(CDraw::GetProgressValue(), static_cast<int>(n));
}
