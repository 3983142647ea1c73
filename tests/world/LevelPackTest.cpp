// The level pack as the resource builder makes it from assets/levels, read
// back through the game's own level sets; and the text source format.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "BuildSteps.h"
#include "engine/ResourceFiles.h"
#include "tests/support/TestSupport.h"
#include "tools/levels/CLevelChecker.h"
#include "tools/levels/CLevelGenerator.h"
#include "tools/levels/CLevelSource.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"
#include "world/SolutionKeys.h"

namespace {

std::string Picture(const std::vector<std::string>& rowsFromTop) {
    // 24 rows of 32: the given rows at the bottom, the rest empty.
    std::string out;
    for (int y = 0; y < 24 - static_cast<int>(rowsFromTop.size()); ++y) out += std::string(32, '.') + "\n";
    for (const std::string& r : rowsFromTop) out += r + "\n";
    return out;
}

const char* const kGoodRows[] = {
    "................................",
    "...........H....................",
    ".S..?.....cH...........E........",
    "################################",
};

std::string GoodSource() {
    std::vector<std::string> rows(std::begin(kGoodRows), std::end(kGoodRows));
    std::vector<std::string> ladders(4, std::string(32, '.'));
    ladders[1][12] = 'H';
    ladders[2][12] = 'H';
    std::vector<std::string> states(4, std::string(32, '.'));
    states[2][10] = 'f';
    return "# a small test level\n"
           "heading: Test Walk\n"
           "background: 2\n"
           "tiles:\n" + Picture(rows) +
           "ladders:\n" + Picture(ladders) +
           "states:\n" + Picture(states) +
           "teleport: blue -1 22\n"
           "teleport: blue 20 22\n"
           "sign: 4 22 #zqdefine 5001-s-0#\n"
           "solution:\n"
           "  1 right down\n"
           " 30 right up\n"
           " 31 slot3 down\n";
}

TEST(LevelSource, ParsesEverySection) {
    CLevel level;
    std::string error;
    ASSERT_TRUE(CLevelSource::Parse(GoodSource(), &level, &error)) << error;
    EXPECT_STREQ(level.GetHeadingText(), "Test Walk");
    EXPECT_EQ(level.GetBackground(), 2);
    EXPECT_EQ(level.GetTile(1, 22), static_cast<uint32_t>(DEVICE_TUBE_START));
    EXPECT_EQ(level.GetTile(23, 22), static_cast<uint32_t>(DEVICE_TUBE_END));
    EXPECT_EQ(level.GetTile(0, 23), static_cast<uint32_t>(TERRAIN_GRASS));
    EXPECT_EQ(level.GetTile(10, 22), static_cast<uint32_t>(OBJECT_WCRATE));
    EXPECT_EQ(level.GetTileState(10, 22), TILE_STATE_FROZEN);
    EXPECT_EQ(level.GetTile(11, 21), static_cast<uint32_t>(POWERUP_HEATGUN));
    EXPECT_EQ(level.GetLadder(12, 21), static_cast<uint32_t>(LADDER));
    EXPECT_EQ(level.GetLadder(12, 20), static_cast<uint32_t>(NONE));
    ASSERT_EQ(level.GetTeleports(0).size(), 2u);
    EXPECT_EQ(level.GetTeleports(0)[0].x, -1);
    EXPECT_STREQ(level.GetTutorialText(4, 22), "#zqdefine 5001-s-0#");
    ASSERT_EQ(level.GetSolution().size(), 3u);
    EXPECT_EQ(level.GetSolution()[0].key, 275);
    EXPECT_TRUE(level.GetSolution()[1].released);
    EXPECT_EQ(level.GetSolution()[2].key, 51);
    EXPECT_TRUE(level.IsSolutionRecorded());
    std::vector<std::string> problems;
    EXPECT_TRUE(CLevelChecker::Check(level, &problems)) << (problems.empty() ? "" : problems[0]);
}

TEST(LevelSource, ErrorsNameTheLine) {
    CLevel level;
    std::string error;
    std::string bad = GoodSource();
    bad.replace(bad.find("background: 2"), 13, "background: 9");
    EXPECT_FALSE(CLevelSource::Parse(bad, &level, &error));
    EXPECT_EQ(error.rfind("line 3:", 0), 0u) << error;

    bad = GoodSource();
    bad.replace(bad.find(".S.."), 4, ".S.%");
    EXPECT_FALSE(CLevelSource::Parse(bad, &level, &error));
    EXPECT_NE(error.find("unknown tile character '%'"), std::string::npos) << error;

    bad = GoodSource();
    bad.replace(bad.find("sign: 4 22 #zqdefine 5001-s-0#"), 30, "sign: 4 22 Hello there");
    EXPECT_FALSE(CLevelSource::Parse(bad, &level, &error));
    EXPECT_NE(error.find("directive"), std::string::npos) << error;

    bad = GoodSource();
    bad.replace(bad.find("sign: 4 22"), 10, "sign: 5 22");
    EXPECT_FALSE(CLevelSource::Parse(bad, &level, &error));

    bad = GoodSource();
    bad.replace(bad.find(" 30 right up"), 12, " 0 right up");
    EXPECT_FALSE(CLevelSource::Parse(bad, &level, &error));
    // A number is its digits alone, a minus sign before a negative one, as
    // every number the program reads: a plus sign is no part of it.
    for (const auto& row : std::vector<std::pair<std::string, std::string>>{
             {"background: 2", "background: +2"}, {"teleport: blue 20 22", "teleport: blue +20 22"},
             // A sign's directive as the game reads it, spelled as written:
             // 2^32 + 5001 would read as 5001 if it wrapped.
             {"#zqdefine 5001", "#zqdefine +5001"}, {"#zqdefine 5001", "#zqdefine  5001"},
             {"#zqdefine 5001", "#zqdefine 05001"}, {"#zqdefine 5001", "#zqdefine 4294972297"},
             {"-s-0#", "-s-+0#"}, {"-s-0#", "-s-0"}, {"-s-0#", "-s-0#x"},
             {"sign: 4 22", "sign: +4 22"}, {" 30 right up", " +30 right up"}}) {
        bad = GoodSource();
        bad.replace(bad.find(row.first), row.first.size(), row.second);
        EXPECT_FALSE(CLevelSource::Parse(bad, &level, &error)) << row.second;
    }

    EXPECT_FALSE(CLevelSource::Parse("heading: x\nbackground: 1\ntiles:\n....\n", &level, &error));
    EXPECT_FALSE(CLevelSource::Parse("", &level, &error));
    EXPECT_EQ(SolutionKeyForName("slot9"), 57);
    EXPECT_EQ(SolutionKeyForName("turn"), 102);
    EXPECT_EQ(SolutionKeyForName("jump"), -1);
}

TEST(LevelChecker, FindsBrokenRules) {
    CLevel level;
    std::vector<std::string> problems;
    EXPECT_FALSE(CLevelChecker::Check(level, &problems));  // no tubes at all
    for (int x = 0; x < 32; ++x) level.SetTile(TERRAIN_GRASS, x, 23);
    level.SetTile(DEVICE_TUBE_START, 1, 22);
    level.SetTile(DEVICE_TUBE_END, 30, 22);
    problems.clear();
    EXPECT_TRUE(CLevelChecker::Check(level, &problems));
    level.SetTile(OBJECT_WCRATE, 30, 21);  // something on the exit tube
    EXPECT_FALSE(CLevelChecker::Check(level, nullptr));
    level.SetTile(NONE, 30, 21);
    level.SetTile(BOT_HANG, 5, 10);  // no terrain above
    EXPECT_FALSE(CLevelChecker::Check(level, nullptr));
    level.SetTile(NONE, 5, 10);
    level.SetTeleport(DEVICE_LTELEPORT_R, 4, 22);  // unpaired
    EXPECT_FALSE(CLevelChecker::Check(level, nullptr));
    level.SetTeleport(DEVICE_LTELEPORT_R, 8, 22);
    EXPECT_TRUE(CLevelChecker::Check(level, nullptr));
    level.SetTeleport(DEVICE_LTELEPORT_Y, 10, 10);  // floating in the air
    level.SetTeleport(DEVICE_LTELEPORT_Y, 12, 22);
    EXPECT_FALSE(CLevelChecker::Check(level, nullptr));
    level.EraseTeleport(10, 10);
    level.SetTeleport(DEVICE_LTELEPORT_Y, 14, 22);
    EXPECT_TRUE(CLevelChecker::Check(level, nullptr));
    level.SetTile(TERRAIN_GRASS, 20, 22);  // a ladder against a wall needs platforms
    level.SetLadder(LADDER, 19, 22);
    EXPECT_FALSE(CLevelChecker::Check(level, nullptr));
    level.SetTile(PLATFORM, 19, 22);
    EXPECT_TRUE(CLevelChecker::Check(level, nullptr));
    level.SetTile(CTRL_SAVE, 9, 9);  // an editor tool is no cell content
    EXPECT_FALSE(CLevelChecker::Check(level, nullptr));
}

TEST(LevelGenerator, EverySlotKeepsTheRulesAndRepeats) {
    const int counts[] = {111, 50, 81};
    for (int s = 0; s < 3; ++s) {
        for (int i = 0; i < counts[s]; ++i) {
            CLevel a;
            CLevel b;
            CLevelGenerator::Generate(s, i, IsTutorialLevel(s, i) ? 5001 : 0, &a);
            CLevelGenerator::Generate(s, i, IsTutorialLevel(s, i) ? 5001 : 0, &b);
            std::vector<std::string> problems;
            ASSERT_TRUE(CLevelChecker::Check(a, &problems)) << s << "/" << i << ": " << problems[0];
            ASSERT_EQ(a.BodyBytes(0x08202004), b.BodyBytes(0x08202004)) << s << "/" << i;
        }
    }
}

class LevelPackTest : public ::testing::Test {
protected:
    void TearDown() override { CLevelSet::FreeAll(); }
    CTempDir out_;
};

TEST_F(LevelPackTest, BuiltPackLoadsIntoTheThreeSets) {
    BuildContext ctx;
    ctx.outDir = out_.Path();
    ctx.assetsDir = std::string(ZORV_SOURCE_DIR) + "/assets";
    ASSERT_TRUE(BuildLevelPack(ctx));
    std::string error;
    ASSERT_TRUE(CLevelSet::LoadPack(out_.File(kLevelPackFile), &error)) << error;
    const int counts[] = {111, 50, 81};
    const char* prefixes[] = {"reg", "adv", "kid"};
    for (int s = 0; s < 3; ++s) {
        CLevelSet* set = CLevelSet::GetSet(s);
        ASSERT_EQ(set->GetLevelCount(), counts[s]);
        for (int i = 0; i < counts[s]; ++i) {
            const CLevel* level = set->GetLevel(i);
            // The set's last level, and only it, ends the set.
            EXPECT_EQ(IsLastLevelOfSet(s, i), i == counts[s] - 1) << i;
            char name[16];
            snprintf(name, sizeof name, s == 0 ? "%s%03d" : "%s%02d", prefixes[s], i);
            EXPECT_STREQ(level->GetFileName(), name);
            EXPECT_EQ(level->GetKind(), kLevelKindGame);
            EXPECT_EQ(level->GetVersion(), 8);
            std::vector<std::string> problems;
            EXPECT_TRUE(CLevelChecker::Check(*level, &problems)) << name << ": " << problems[0];
            bool hasSign = false;
            for (int x = 0; x < 32; ++x) {
                for (int y = 0; y < 24; ++y) hasSign = hasSign || level->GetTile(x, y) == TUTORIAL;
            }
            if (IsTutorialLevel(s, i)) {
                EXPECT_TRUE(hasSign) << name;
            }
        }
    }
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 1), "T1");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 14), "T7");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 13), "8");
    EXPECT_EQ(CLevelSet::GetLevelLabel(0, 110), "85");
    EXPECT_EQ(CLevelSet::GetLevelLabel(2, 80), "81");

    // The same sources give the same bytes.
    const std::vector<uint8_t> first = ReadFileBytes(out_.File(kLevelPackFile));
    ASSERT_TRUE(BuildLevelPack(ctx));
    EXPECT_EQ(ReadFileBytes(out_.File(kLevelPackFile)), first);
}

TEST_F(LevelPackTest, DesignedSourceTakesItsSlotAndStrayNamesFail) {
    CTempDir assets;
    ASSERT_EQ(0, mkdir(assets.File("levels").c_str(), 0700));
    ASSERT_EQ(0, mkdir(assets.File("strings").c_str(), 0700));
    std::string strings = "!resource6.dat|16|0|0|0|2\n";
    for (int id = 5001; id <= 5026; ++id) strings += "@" + std::to_string(id) + "|Text\n";
    ASSERT_TRUE(WriteFileText(assets.File("strings/levels.txt"), strings));
    ASSERT_TRUE(WriteFileText(assets.File("levels/adv07.txt"), GoodSource()));
    BuildContext ctx;
    ctx.outDir = out_.Path();
    ctx.assetsDir = assets.Path();
    ASSERT_TRUE(BuildLevelPack(ctx));
    std::string error;
    ASSERT_TRUE(CLevelSet::LoadPack(out_.File(kLevelPackFile), &error)) << error;
    const CLevel* designed = CLevelSet::GetSet(1)->GetLevel(7);
    EXPECT_STREQ(designed->GetHeadingText(), "Test Walk");
    EXPECT_EQ(designed->GetSolution().size(), 3u);
    CLevelSet::FreeAll();

    // A sign naming a text that no string source holds is refused.
    std::string unknownText = GoodSource();
    unknownText.replace(unknownText.find("5001-s-0"), 8, "5999-s-0");
    ASSERT_TRUE(WriteFileText(assets.File("levels/adv07.txt"), unknownText));
    EXPECT_FALSE(BuildLevelPack(ctx));

    ASSERT_TRUE(WriteFileText(assets.File("levels/adv07.txt"), GoodSource()));
    ASSERT_TRUE(WriteFileText(assets.File("levels/adv7.txt"), GoodSource()));
    EXPECT_FALSE(BuildLevelPack(ctx));
}

// Start-up reads the pack the build put into the run folder.
TEST_F(LevelPackTest, StartUpLoadsTheShippedPack) {
    CScopedCwd cwd(ZORV_RUN_DIR);
    CLevelSet::LoadAll();
    EXPECT_EQ(CLevelSet::GetSet(0)->GetLevelCount(), 111);
    EXPECT_EQ(CLevelSet::GetSet(1)->GetLevelCount(), 50);
    EXPECT_EQ(CLevelSet::GetSet(2)->GetLevelCount(), 81);
    EXPECT_STREQ(CLevelSet::GetSet(0)->GetLevel(0)->GetFileName(), "reg000");
}

TEST_F(LevelPackTest, StartUpEndsTheProgramWithoutAPack) {
    CScopedHome home;
    CTempDir empty;
    CScopedCwd cwd(empty.Path());
    EXPECT_EXIT(CLevelSet::LoadAll(), ::testing::ExitedWithCode(1), "");
    ASSERT_TRUE(WriteFileBytes(empty.File(kLevelPackFile), {9, 0, 0, 0, 1}));
    EXPECT_EXIT(CLevelSet::LoadAll(), ::testing::ExitedWithCode(1), "");
}

}  // namespace
