// The level model and its ".lvl" file: field-by-field round trips, the bytes
// at their offsets, the replay cursor and the cell accessors.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "tests/support/ScopedDirectories.h"
#include "tests/support/TestSupport.h"
#include "world/CLevel.h"

namespace {

// How long a read of a pipe in a level file's place may take before the
// test counts it as waiting for a writer.
constexpr unsigned kPipeSeconds = 5;

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// A level with every layer, list and field filled.
CLevel FullLevel() {
    CLevel level;
    level.SetHeadingText("A Heading of Exactly 32 Letters!");
    level.SetBackground(6);
    for (int x = 0; x < CLevel::kWidth; ++x) level.SetTile(TERRAIN_GRASS, x, 23);
    level.SetTile(DEVICE_TUBE_START, 1, 22);
    level.SetTile(DEVICE_TUBE_END, 30, 22);
    level.SetTile(OBJECT_WCRATE, 3, 4);
    level.SetTileState(TILE_STATE_FROZEN, 3, 4);
    level.SetTile(OBJECT_MBARREL, 7, 8);
    level.SetTileState(TILE_STATE_HEATED, 7, 8);
    level.SetTile(POWERUP_TELEPORT, 9, 9);
    level.SetLadder(LADDER, 12, 20);
    level.SetLadder(LADDER, 12, 21);
    level.SetTile(PLATFORM, 12, 21);
    level.SetTeleport(DEVICE_LTELEPORT_B, -1, 10);
    level.SetTeleport(DEVICE_LTELEPORT_B, 31, 10);
    level.SetTeleport(DEVICE_LTELEPORT_Y, 5, 6);
    level.SetTeleport(DEVICE_LTELEPORT_Y, 6, 7);
    level.SetTeleport(DEVICE_LTELEPORT_R, 8, 2);
    level.SetTeleport(DEVICE_LTELEPORT_R, 20, 3);
    level.SetTile(TUTORIAL, 4, 22);
    level.SetTutorialText(4, 22, "#zqdefine 5001-s-0#");
    level.SetTile(TUTORIAL, 6, 22);
    level.SetTutorialText(6, 22, "Free text");
    level.AddReplayKey(1, 275, false);
    level.AddReplayKey(9, 275, true);
    level.AddReplayKey(12, 49, false);
    level.SetSolutionRecorded();
    return level;
}

void ExpectSameLevel(const CLevel& a, const CLevel& b) {
    EXPECT_STREQ(a.GetHeadingText(), b.GetHeadingText());
    EXPECT_EQ(a.GetBackground(), b.GetBackground());
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            ASSERT_EQ(a.GetTile(x, y), b.GetTile(x, y)) << x << "," << y;
            ASSERT_EQ(a.GetTileState(x, y), b.GetTileState(x, y)) << x << "," << y;
            ASSERT_EQ(a.GetLadder(x, y), b.GetLadder(x, y)) << x << "," << y;
            const char* ta = a.GetTutorialText(x, y);
            const char* tb = b.GetTutorialText(x, y);
            ASSERT_EQ(ta == nullptr, tb == nullptr) << x << "," << y;
            if (ta) {
                EXPECT_STREQ(ta, tb);
            }
        }
    }
    for (int c = 0; c < CLevel::kTeleportColours; ++c) EXPECT_EQ(a.GetTeleports(c), b.GetTeleports(c));
    EXPECT_EQ(a.GetSolution(), b.GetSolution());
    EXPECT_EQ(a.IsSolutionRecorded(), b.IsSolutionRecorded());
    EXPECT_EQ(a.GetTeleportPowerupCount(), b.GetTeleportPowerupCount());
}

class LevelFileTest : public ::testing::Test {
protected:
    void SetUp() override { InitDirectories(); }
    CScopedDirectories dirs_;
    CScopedHome home_;
    std::string Path(const char* name) const { return std::string(GetLevelsDir()) + name + ".lvl"; }
};

TEST_F(LevelFileTest, FullLevelSavesAndLoadsBackEqual) {
    CLevel level = FullLevel();
    ASSERT_TRUE(level.SaveAs("roundtrip", "A Heading of Exactly 32 Letters!"));
    EXPECT_FALSE(level.IsModified());
    CLevel back;
    ASSERT_TRUE(back.Load("roundtrip"));
    ExpectSameLevel(level, back);
    EXPECT_STREQ(back.GetFileName(), "roundtrip");
    EXPECT_FALSE(back.IsModified());
    EXPECT_EQ(back.GetVersion(), 8);
    EXPECT_EQ(back.GetKind(), kLevelKindCustom);

    // Saving the loaded copy again gives the same bytes apart from the ID noise.
    const std::vector<uint8_t> first = ReadFileBytes(Path("roundtrip"));
    ASSERT_TRUE(back.SaveAs("again", back.GetHeadingText()));
    const std::vector<uint8_t> second = ReadFileBytes(Path("again"));
    ASSERT_EQ(first.size(), second.size());
    EXPECT_TRUE(std::equal(first.begin() + 4, first.end(), second.begin() + 4));
}

TEST_F(LevelFileTest, BytesStandAtTheirOffsets) {
    CLevel level = FullLevel();
    ASSERT_TRUE(level.SaveAs("offsets", "Offsets"));
    const std::vector<uint8_t> b = ReadFileBytes(Path("offsets"));
    ASSERT_GT(b.size(), 6181u);
    const uint32_t id = U32At(b, 0);
    EXPECT_EQ(id & 0x70700Eu, 0x404008u);
    EXPECT_EQ(id >> 24, 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[4])), "Offsets");
    EXPECT_EQ(b[4 + 32], 0);
    // Ladders at 37, column-major.
    EXPECT_EQ(U32At(b, 37 + (12 * 24 + 20) * 4), static_cast<uint32_t>(LADDER));
    EXPECT_EQ(U32At(b, 37), static_cast<uint32_t>(NONE));
    // A frozen crate at (3, 4) is 25 + 1024 at 3109 + (3 * 24 + 4) * 4 = 3413.
    EXPECT_EQ(U32At(b, 3413), 1049u);
    EXPECT_EQ(U32At(b, 3109 + (7 * 24 + 8) * 4), static_cast<uint32_t>(OBJECT_MBARREL) + 2048u);
    EXPECT_EQ(U32At(b, 3109 + (12 * 24 + 21) * 4), 400u);
    // Teleports at 6181: blue with its column -1.
    size_t at = 6181;
    EXPECT_EQ(U32At(b, at), 2u);
    EXPECT_EQ(U32At(b, at + 4), 0xFFFFFFFFu);
    EXPECT_EQ(U32At(b, at + 8), 10u);
    at += 4 + 2 * 8;
    EXPECT_EQ(U32At(b, at), 2u);
    at += 4 + 2 * 8;
    EXPECT_EQ(U32At(b, at), 2u);
    at += 4 + 2 * 8;
    // Tutorial signs in scan order: (4, 22) then (6, 22).
    EXPECT_EQ(U32At(b, at), 2u);
    EXPECT_EQ(U32At(b, at + 4), 4u);
    EXPECT_EQ(U32At(b, at + 8), 22u);
    EXPECT_EQ(U32At(b, at + 12), 19u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[at + 16]), 19), "#zqdefine 5001-s-0#");
    at += 16 + 19;
    EXPECT_EQ(U32At(b, at + 8), 9u);
    at += 12 + 9;
    EXPECT_EQ(U32At(b, at), 6u);  // background
    at += 4;
    EXPECT_EQ(U32At(b, at), 3u);  // solution
    EXPECT_EQ(U32At(b, at + 4), 1u);
    EXPECT_EQ(U32At(b, at + 8), 275u);
    EXPECT_EQ(U32At(b, at + 12), 0u);
    EXPECT_EQ(U32At(b, at + 16 + 8), 1u);
    EXPECT_EQ(b.size(), at + 4 + 3 * 12);
}

TEST_F(LevelFileTest, SignWithoutTextIsWrittenAsUndefined) {
    CLevel level;
    level.SetTile(TUTORIAL, 2, 2);
    level.SetTutorialText(2, 2, "hello");
    level.SetTile(TUTORIAL, 5, 1);
    ASSERT_TRUE(level.SaveAs("signs", "Signs"));
    CLevel back;
    ASSERT_TRUE(back.Load("signs"));
    EXPECT_STREQ(back.GetTutorialText(2, 2), "hello");
    ASSERT_NE(back.GetTutorialText(5, 1), nullptr);
    EXPECT_STREQ(back.GetTutorialText(5, 1), "UNDEFINED");
}

TEST_F(LevelFileTest, EmptySolutionLoadsAsNotRecorded) {
    CLevel level;
    ASSERT_TRUE(level.SaveAs("empty", "Empty"));
    const std::vector<uint8_t> b = ReadFileBytes(Path("empty"));
    EXPECT_EQ(U32At(b, b.size() - 4), 0u);
    CLevel back;
    ASSERT_TRUE(back.Load("empty"));
    EXPECT_FALSE(back.IsSolutionRecorded());
    EXPECT_EQ(back.GetBackground(), 4);
    EXPECT_EQ(back.GetTile(0, 0), static_cast<uint32_t>(NONE));
}

// One check on every way from a name to a file: refused is only what could
// lead out of the levels folder; dots, backslashes and an inner ".lvl" are
// parts of a name like any other. A save cut off by a crash leaves
// "NAME.lvl.tmp", which is never listed and goes at the next save or removal.
TEST_F(LevelFileTest, ANameIsRefusedOnlyWhenItCouldLeaveTheLevelsFolder) {
    CLevel level = FullLevel();
    for (const char* name : {"../escape", "a/b", "/x", "", ".", ".."}) {
        EXPECT_FALSE(level.SaveAs(name, "x")) << name;
        EXPECT_FALSE(level.Load(name)) << name;
        EXPECT_FALSE(CLevel::Remove(name)) << name;
        EXPECT_EQ(CLevel::PathFor(name), "") << name;
    }
    EXPECT_FALSE(PlatformFileExists(std::string(GetLevelsDir()) + "../escape.lvl"));

    const std::vector<std::string> names = {"..x", "a.lvl", "a\\b", "wait.."};
    for (const std::string& name : names) {
        CLevel saved = FullLevel();
        ASSERT_TRUE(saved.SaveAs(name.c_str(), name.c_str())) << name;
        EXPECT_TRUE(PlatformFileExists(Path(name.c_str()))) << name;
        CLevel back;
        ASSERT_TRUE(back.Load(name.c_str())) << name;
        EXPECT_EQ(CLevel::GetHeading(name.c_str()), name);
        EXPECT_GT(CLevel::GetFileTime(name.c_str()), 0) << name;
    }
    // Files whose names would be "", "." or "..", and leftovers of saves.
    for (const char* file : {".lvl", "..lvl", "...lvl", "wait...lvl.tmp", "new.lvl.tmp"})
        ASSERT_TRUE(WriteFileText(std::string(GetLevelsDir()) + file, "half a level"));
    EXPECT_EQ(CLevel::ListFileNames(), names);

    CLevel again;
    ASSERT_TRUE(again.Load("wait.."));
    ASSERT_TRUE(again.Save());
    EXPECT_FALSE(PlatformFileExists(Path("wait..") + ".tmp"));
    ASSERT_TRUE(WriteFileText(Path("wait..") + ".tmp", "half a level"));
    EXPECT_TRUE(CLevel::Remove("wait.."));
    EXPECT_FALSE(PlatformFileExists(Path("wait..") + ".tmp"));
    EXPECT_FALSE(PlatformFileExists(Path("wait..")));
    EXPECT_TRUE(PlatformFileExists(Path("new") + ".tmp"));  // another level's
}

TEST_F(LevelFileTest, RemoveHeadingAndFileTime) {
    CLevel level;
    ASSERT_TRUE(level.SaveAs("gone", "Soon Gone"));
    EXPECT_EQ(CLevel::GetHeading("gone"), "Soon Gone");
    EXPECT_GT(CLevel::GetFileTime("gone"), 0);
    EXPECT_TRUE(CLevel::Remove("gone"));
    EXPECT_FALSE(CLevel::Remove("gone"));
    EXPECT_EQ(CLevel::GetHeading("gone"), "");
    EXPECT_EQ(CLevel::GetFileTime("gone"), 0);
    CLevel missing;
    EXPECT_FALSE(missing.Load("gone"));
}

TEST_F(LevelFileTest, FailedSaveKeepsEarlierFileAndModifiedFlag) {
    CLevel level = FullLevel();
    ASSERT_TRUE(level.SaveAs("keep", "Kept"));
    const std::vector<uint8_t> before = ReadFileBytes(Path("keep"));
    // Make the target a path whose folder cannot be written.
    CTempDir locked;
    ASSERT_EQ(0, chmod(locked.Path().c_str(), 0500));
    level.SetTile(OBJECT_WCRATE, 10, 10);
    if (getuid() != 0) {  // root writes anywhere
        EXPECT_FALSE(level.SaveToPath(locked.File("keep.lvl")));
        EXPECT_TRUE(level.IsModified());
    }
    chmod(locked.Path().c_str(), 0700);
    // A target that is a folder cannot be replaced: the save fails as a whole.
    ASSERT_EQ(0, mkdir(locked.File("dir.lvl").c_str(), 0700));
    EXPECT_FALSE(level.SaveToPath(locked.File("dir.lvl")));
    EXPECT_TRUE(level.IsModified());
    EXPECT_EQ(ReadFileBytes(Path("keep")), before);
}

// A solution fills the room the level file has beside the rest of the
// level, up to the loader's bound: at the room the file is written and opens
// again; one record more is not written, and the earlier file stays. A level
// with a sign of the longest text on every cell and a portal on every place
// has the room of the 65536 records the bound was made for.
TEST_F(LevelFileTest, ASolutionFillsTheRoomTheLoaderTakesAndNoMore) {
    CLevel crowded;
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            crowded.SetTile(TUTORIAL, x, y);
            crowded.SetTutorialText(x, y, std::string(CLevel::kSignTextMax, 's').c_str());
        }
    }
    for (uint32_t colour : {DEVICE_LTELEPORT_B, DEVICE_LTELEPORT_Y, DEVICE_LTELEPORT_R})
        for (int x = -1; x < CLevel::kWidth; ++x)
            for (int y = 0; y < CLevel::kHeight; ++y) crowded.SetTeleport(colour, x, y);
    const struct {
        const char* name;
        CLevel level;
        long room;
    } rows[] = {
        {"crowded", crowded, 65536},
        {"full", FullLevel(), (CLevel::kFileBytesMax - FullLevel().FileBytes() + 3 * CLevel::kReplayKeyBytes) /
                                  CLevel::kReplayKeyBytes},
    };
    for (const auto& row : rows) {
        CLevel level = row.level;
        level.ClearSolution();
        EXPECT_EQ(level.SolutionRoom(), row.room) << row.name;
        for (long k = 0; k < row.room; ++k) level.AddReplayKey(static_cast<int>(k / 2 + 1), 102, k % 2 == 1);
        level.SetSolutionRecorded();
        EXPECT_LE(level.FileBytes(), CLevel::kFileBytesMax) << row.name;
        ASSERT_TRUE(level.SaveAs(row.name, "Filled")) << row.name;
        const std::vector<uint8_t> written = ReadFileBytes(Path(row.name));
        EXPECT_EQ(static_cast<long>(written.size()), level.FileBytes()) << row.name;
        CLevel back;
        ASSERT_TRUE(back.Load(row.name)) << row.name;
        EXPECT_EQ(back.GetSolution(), level.GetSolution()) << row.name;

        level.AddReplayKey(static_cast<int>(row.room), 102, false);
        EXPECT_GT(level.FileBytes(), CLevel::kFileBytesMax) << row.name;
        EXPECT_EQ(level.SolutionRoom(), row.room) << row.name;
        EXPECT_FALSE(level.Save()) << row.name;
        EXPECT_TRUE(ReadFileBytes(Path(row.name)) == written) << row.name << ": the earlier file changed";
        EXPECT_FALSE(PlatformFileExists(Path(row.name) + ".tmp")) << row.name;
    }
}

TEST_F(LevelFileTest, FailedSaveAsKeepsTheNameHeadingAndModifiedFlag) {
    CLevel level = FullLevel();
    ASSERT_TRUE(level.SaveAs("first", "First Heading"));
    // A target that is a folder cannot be replaced, not even by root.
    ASSERT_EQ(0, mkdir(Path("blocked").c_str(), 0700));
    EXPECT_FALSE(level.SaveAs("blocked", "Other Heading"));
    EXPECT_STREQ(level.GetFileName(), "first");
    EXPECT_STREQ(level.GetHeadingText(), "First Heading");
    EXPECT_FALSE(level.IsModified());

    // A changed level stays changed; a plain save then goes to the old file.
    level.SetTile(OBJECT_WCRATE, 10, 10);
    EXPECT_FALSE(level.SaveAs("blocked", "Other Heading"));
    EXPECT_STREQ(level.GetFileName(), "first");
    EXPECT_TRUE(level.IsModified());
    ASSERT_TRUE(level.Save());
    EXPECT_EQ(CLevel::GetHeading("first"), "First Heading");
    CLevel back;
    ASSERT_TRUE(back.Load("first"));
    EXPECT_EQ(back.GetTile(10, 10), static_cast<uint32_t>(OBJECT_WCRATE));
    rmdir(Path("blocked").c_str());
}

TEST_F(LevelFileTest, FailedLoadKeepsNoVersionOfTheLevelBefore) {
    CLevel level = FullLevel();
    ASSERT_TRUE(level.SaveAs("good", "Good"));
    CLevel back;
    ASSERT_TRUE(back.Load("good"));
    ASSERT_EQ(back.GetVersion(), kLevelVersion);
    // No file: a cleared level that tells of no version.
    EXPECT_FALSE(back.Load("missing"));
    EXPECT_EQ(back.GetVersion(), 0);
    EXPECT_EQ(back.GetKind(), 0u);
    EXPECT_EQ(back.GetTile(1, 22), static_cast<uint32_t>(NONE));
    EXPECT_STREQ(back.GetFileName(), "");
    // Too short to hold an ID: the same.
    ASSERT_TRUE(back.Load("good"));
    const uint8_t stub[2] = {1, 2};
    EXPECT_FALSE(back.LoadFromMemory(stub, sizeof(stub), "stub"));
    EXPECT_EQ(back.GetVersion(), 0);
    EXPECT_EQ(back.GetKind(), 0u);
    // A pipe in a level file's place is no level: it is not listed, and a
    // load or a heading read of it fails at once, never waiting for a
    // writer. Whatever could wait runs in a child with a deadline of its own
    // (an alarm it neither ignores nor blocks), which a wait ends within
    // seconds as a failure.
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0644), 0);
    EXPECT_EXIT(
        {
            signal(SIGALRM, SIG_DFL);
            sigset_t alarmOnly;
            sigemptyset(&alarmOnly);
            sigaddset(&alarmOnly, SIGALRM);
            sigprocmask(SIG_UNBLOCK, &alarmOnly, nullptr);
            alarm(kPipeSeconds);
            const std::vector<std::string> listed = CLevel::ListFileNames();
            CLevel piped;
            const bool refused = std::count(listed.begin(), listed.end(), "pipe") == 0 && !piped.Load("pipe") &&
                                 CLevel::GetHeading("pipe").empty();
            exit(refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(LevelFileTest, OldVersionIsRefusedAndLevelStaysCleared) {
    CLevel level = FullLevel();
    std::vector<uint8_t> body = level.BodyBytes(CLevel::MakeLevelId(kLevelKindGame, 0));
    body[3] = 4;  // version 4
    CLevel back = FullLevel();
    EXPECT_FALSE(back.LoadFromMemory(body.data(), body.size(), "old"));
    EXPECT_EQ(back.GetVersion(), 4);
    EXPECT_EQ(back.GetTile(1, 22), static_cast<uint32_t>(NONE));
    EXPECT_STREQ(back.GetHeadingText(), "");
    // The oldest version read is 5.
    body[3] = 5;
    EXPECT_TRUE(back.LoadFromMemory(body.data(), body.size(), "oldest"));
    EXPECT_EQ(back.GetVersion(), 5);
    EXPECT_EQ(back.GetTile(1, 22), static_cast<uint32_t>(DEVICE_TUBE_START));
}

TEST_F(LevelFileTest, HeadingWithoutTerminatorIsCut) {
    CLevel level;
    std::vector<uint8_t> body = level.BodyBytes(CLevel::MakeLevelId(kLevelKindGame, 0));
    memset(&body[4], 'A', 33);
    CLevel back;
    ASSERT_TRUE(back.LoadFromMemory(body.data(), body.size(), "noterm"));
    EXPECT_EQ(std::string(back.GetHeadingText()), std::string(32, 'A'));
}

// Each position tried at the grid's edge, just inside and just outside: a
// portal's column runs from -1 (it stands between two columns), a sign's
// from 0, both to 31, and their rows from 0 to 23.
TEST_F(LevelFileTest, EntriesOutsideTheGridAreDroppedAndBackgroundClamped) {
    CLevel level;
    level.SetTile(TUTORIAL, 1, 1);
    level.SetTutorialText(1, 1, "in");
    level.SetTeleport(DEVICE_LTELEPORT_R, 3, 3);
    const std::vector<uint8_t> body = level.BodyBytes(CLevel::MakeLevelId(kLevelKindGame, 0));
    // The red list's one entry, the one sign and the background.
    const size_t red = 6181 + 4 + 4, sign = red + 4 + 8, background = sign + 4 + 12 + 2;
    ASSERT_EQ(U32At(body, red), 1u);
    ASSERT_EQ(U32At(body, sign), 1u);
    ASSERT_EQ(U32At(body, background), 4u);
    auto load = [&](size_t at, std::initializer_list<int32_t> values, CLevel* back) {
        std::vector<uint8_t> b = body;
        for (int32_t v : values) {
            for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
            at += 4;
        }
        return back->LoadFromMemory(b.data(), b.size(), "edges");
    };
    const struct {
        int x, y;
        bool portalKept, signKept;
    } cells[] = {{-2, 3, false, false}, {-1, 0, true, false}, {0, 0, true, true},     {31, 23, true, true},
                 {32, 3, false, false}, {3, -1, false, false}, {3, 24, false, false}};
    for (const auto& c : cells) {
        CLevel back;
        ASSERT_TRUE(load(red + 4, {c.x, c.y}, &back)) << c.x << "," << c.y;
        EXPECT_EQ(back.GetTeleports(2).size(), c.portalKept ? 1u : 0u) << c.x << "," << c.y;
        if (c.portalKept) {
            EXPECT_EQ(back.GetTeleports(2)[0], (TeleportCell{c.x, c.y}));
        }
        ASSERT_TRUE(load(sign + 4, {c.x, c.y}, &back)) << c.x << "," << c.y;
        EXPECT_EQ(back.GetTutorialText(c.x, c.y) != nullptr, c.signKept) << c.x << "," << c.y;
        EXPECT_EQ(back.GetTutorialText(1, 1), nullptr);
    }
    for (const auto& [stored, loaded] : {std::pair{-1, 0}, {0, 0}, {7, 7}, {8, 7}, {99, 7}}) {
        CLevel back;
        ASSERT_TRUE(load(background, {stored}, &back)) << stored;
        EXPECT_EQ(back.GetBackground(), loaded) << stored;
    }
}

TEST(LevelModel, CellsOutsideTheGrid) {
    CLevel level;
    EXPECT_EQ(level.GetTile(32, 0), static_cast<uint32_t>(NONE));
    EXPECT_EQ(level.GetLadder(-1, 0), static_cast<uint32_t>(NONE));
    EXPECT_EQ(level.GetTileState(0, 24), 0u);
    EXPECT_FALSE(level.IsModified());
    level.SetTile(13, 40, 2);
    EXPECT_TRUE(level.IsModified());
    EXPECT_EQ(level.GetTeleportPowerupCount(), 0);
    EXPECT_FALSE(level.IsTerrain(-1, 0));
}

TEST(LevelModel, TeleportPowerupCountFollowsSetTile) {
    CLevel level;
    level.SetTile(POWERUP_TELEPORT, 1, 1);
    level.SetTile(POWERUP_TELEPORT, 2, 1);
    EXPECT_EQ(level.GetTeleportPowerupCount(), 2);
    level.SetTile(NONE, 1, 1);
    EXPECT_EQ(level.GetTeleportPowerupCount(), 1);
}

TEST(LevelModel, ReplayCursor) {
    CLevel level;
    EXPECT_EQ(level.GetReplayKey().frame, -1);
    EXPECT_FALSE(level.AdvanceReplay());
    level.AddReplayKey(1, 275, false);
    level.AddReplayKey(5, 275, true);
    level.AddReplayKey(9, 273, false);
    EXPECT_TRUE(level.AdvanceReplay());
    EXPECT_EQ(level.GetReplayKey().frame, 5);
    EXPECT_TRUE(level.AdvanceReplay());
    EXPECT_FALSE(level.AdvanceReplay());
    // Past the last record the play screen keeps reading the last one.
    EXPECT_EQ(level.GetReplayKey().frame, 9);
    level.ResetReplay();
    EXPECT_EQ(level.GetReplayKey().frame, 1);
    level.SetSolutionRecorded();
    level.SetModified(false);
    level.ClearSolution();
    EXPECT_TRUE(level.IsModified());
    EXPECT_FALSE(level.IsSolutionRecorded());
    EXPECT_TRUE(level.GetSolution().empty());
}

TEST(LevelModel, TeleportsAndClaims) {
    CLevel level;
    level.SetTeleport(DEVICE_LTELEPORT_B, 2, 3);
    level.SetTeleport(DEVICE_LTELEPORT_B, 8, 3);
    level.SetTeleport(DEVICE_LTELEPORT_R, 4, 5);
    level.SetTeleport(DEVICE_LTELEPORT_Y, 32, 5);  // outside: ignored
    EXPECT_EQ(level.CountUsedTeleportTypes(), 2);
    EXPECT_FALSE(level.AreTeleportsPaired());
    EXPECT_TRUE(level.HasTeleportsOfType(DEVICE_LTELEPORT_B));
    EXPECT_FALSE(level.HasTeleportsOfType(DEVICE_LTELEPORT_Y));
    EXPECT_EQ(level.FindTeleportType(4, 5), 2);
    EXPECT_EQ(level.ClaimTeleportType(), 1);
    EXPECT_EQ(level.ClaimTeleportType(), 0);  // none left
    level.ResetTeleportTypes();
    EXPECT_EQ(level.ClaimTeleportType(), 1);
    level.EraseTeleport(4, 5);
    EXPECT_TRUE(level.AreTeleportsPaired());
    EXPECT_EQ(level.FindTeleportType(4, 5), -1);
}

TEST(LevelModel, RunsAndTypeNames) {
    CLevel level;
    for (int x = 3; x <= 7; ++x) level.SetTile(TERRAIN_SAND, x, 10);
    const Rect run = level.GetTypeRun(5, 10, TERRAIN_SAND);
    EXPECT_EQ(run.x, 3);
    EXPECT_EQ(run.w, 5);
    for (int y = 4; y <= 6; ++y) level.SetLadder(LADDER, 2, y);
    const Rect ladder = level.GetLadderRun(2, 5);
    EXPECT_EQ(ladder.y, 4);
    EXPECT_EQ(ladder.h, 3);
    // Runs that reach the grid's edges, asked for at an inner cell.
    for (int x = 0; x < CLevel::kWidth; ++x) level.SetTile(TERRAIN_GRASS, x, 0);
    for (int y = 0; y < CLevel::kHeight; ++y) level.SetLadder(LADDER, 31, y);
    const Rect wide = level.GetTypeRun(9, 0, TERRAIN_GRASS);
    EXPECT_EQ(wide.x, 0);
    EXPECT_EQ(wide.w, CLevel::kWidth);
    const Rect tall = level.GetLadderRun(31, 9);
    EXPECT_EQ(tall.y, 0);
    EXPECT_EQ(tall.h, CLevel::kHeight);
    EXPECT_STREQ(CLevel::GetTypeName(22), "TERRAIN_GRASS");
    EXPECT_STREQ(CLevel::GetTypeName(9), "***Unknown***");
    EXPECT_STREQ(CLevel::GetTypeName(452), "BOT_RIGHT");
}

}  // namespace
