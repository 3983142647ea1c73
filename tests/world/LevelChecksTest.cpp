// The shipped level pack as the level designer must leave it: every level
// loads, builds and keeps the placement rules; no two levels are the same;
// every designed level stores a solution (PackSolutionsTest replays every
// stored one to the exit); no two designed levels share a heading; and no
// level but a tutorial is solved by holding one direction key.
//
// Designed levels are those with a source in assets/levels; the other slots
// hold generated stand-ins (simple walks, some of them alike) until they are
// designed, and the checks that need a puzzle leave them out and say how many.
//
// The placement rules are the level editor's (CEditorModel: a level read
// into the editor comes out of its rules pass unchanged and ready to play)
// and the resource builder's (CLevelChecker).
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "editor/CEditorModel.h"
#include "platform/Platform.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/levels/CLevelChecker.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElement.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"
#include "world/CWorldRun.h"
#include "world/SolutionKeys.h"

namespace {

const char* const kSetNames[CLevelSet::kSetCount] = {"reg", "adv", "kid"};

struct PackLevel {
    int set = 0;
    int index = 0;
    CLevel* level = nullptr;
    std::string Name() const { return std::string(kSetNames[set]) + ":" + std::to_string(index); }
    std::string SourcePath() const {
        return std::string(ZORV_SOURCE_DIR) + "/assets/levels/" + level->GetFileName() + ".txt";
    }
    bool Designed() const { return PlatformFileExists(SourcePath()); }
};

std::vector<PackLevel> AllLevels() {
    std::vector<PackLevel> all;
    for (int s = 0; s < CLevelSet::kSetCount; ++s) {
        CLevelSet* set = CLevelSet::GetSet(s);
        for (int i = 0; set && i < set->GetLevelCount(); ++i) all.push_back({s, i, set->GetLevel(i)});
    }
    return all;
}

// What a player meets in a level: the cells, ladders and cell states, the
// teleports and the signs' texts (not the heading, the background or the
// solution).
std::string Layout(const CLevel& level) {
    std::string out;
    for (int x = 0; x < CLevel::kWidth; ++x) {
        for (int y = 0; y < CLevel::kHeight; ++y) {
            out += std::to_string(level.GetTile(x, y)) + "," + std::to_string(level.GetLadder(x, y)) + "," +
                   std::to_string(level.GetTileState(x, y)) + ";";
            if (const char* text = level.GetTutorialText(x, y)) out += text;
        }
    }
    for (int c = 0; c < CLevel::kTeleportColours; ++c)
        for (const TeleportCell& t : level.GetTeleports(c)) out += "t" + std::to_string(c) + "," +
                                                                    std::to_string(t.x) + "," + std::to_string(t.y);
    return out;
}

// The level read into the editor: its pieces made and its rules pass run,
// nothing may go or change, and the editor must find it ready to play.
std::string EditorObjection(const CLevel& level) {
    CEditorModel editor;
    *editor.GetLevel() = level;
    editor.LoadLevelPieces();
    editor.UpdateDynamics();
    if (Layout(*editor.GetLevel()) != Layout(level)) return "the editor's rules change it";
    if (editor.CheckLevel() != EDITOR_CHECK_OK) return "the editor finds it not ready to play";
    return "";
}

// Holds one direction key from the first frame until the level ends or the
// hero has stood on one cell for a long while; true when he exits.
bool HoldingSolves(CLevel* level, int key) {
    CWorldRun run(level);
    run.SetKeys({{1, key, false}});
    std::string error;
    if (!run.Start(&error)) return false;
    int stillFrames = 0, lastX = -1, lastY = -1;
    for (int frame = 0; frame < 8000 && !run.IsEnded() && stillFrames < 400; ++frame) {
        run.StepFrame();
        CElement* hero = CElement::GetHero();
        if (!hero) break;
        const bool still = hero->GetCurrentX() == lastX && hero->GetCurrentY() == lastY && !hero->IsMoving();
        stillFrames = still ? stillFrames + 1 : 0;
        lastX = hero->GetCurrentX();
        lastY = hero->GetCurrentY();
    }
    return run.GetResult() == "exited";
}

}  // namespace

TEST(LevelChecks, EveryLevelLoadsBuildsAndKeepsThePlacementRules) {
    worldtest::EnsureHeadlessWorld();
    const int counts[CLevelSet::kSetCount] = {CLevelSet::kRegularCount, CLevelSet::kAdvancedCount,
                                              CLevelSet::kKidsCount};
    for (int s = 0; s < CLevelSet::kSetCount; ++s) {
        ASSERT_NE(CLevelSet::GetSet(s), nullptr);
        EXPECT_EQ(CLevelSet::GetSet(s)->GetLevelCount(), counts[s]) << kSetNames[s];
    }
    // The editor's check itself: a button standing in the air goes.
    CLevel floating = worldtest::WalkLevel(8);
    ASSERT_EQ(EditorObjection(floating), "");
    floating.SetTile(DEVICE_BUTTON_B, 12, 10);
    ASSERT_NE(EditorObjection(floating), "");

    int designed = 0;
    for (const PackLevel& p : AllLevels()) {
        std::vector<std::string> problems;
        EXPECT_TRUE(CLevelChecker::Check(*p.level, &problems)) << p.Name() << ": " << problems.front();
        EXPECT_EQ(EditorObjection(*p.level), "") << p.Name();
        if (p.Designed()) {
            // The pack holds the source as written.
            ++designed;
            CLevel fromSource;
            std::string error;
            ASSERT_TRUE(CLevelSource::ParseFile(p.SourcePath(), &fromSource, &error)) << p.Name() << ": " << error;
            EXPECT_EQ(Layout(fromSource), Layout(*p.level)) << p.Name();
            EXPECT_EQ(fromSource.GetSolution(), p.level->GetSolution()) << p.Name();
        }
        CWorldRun run(p.level);
        std::string error;
        ASSERT_TRUE(run.Start(&error)) << p.Name() << ": " << error;
    }
    printf("%d levels designed from sources, the others generated stand-ins\n", designed);
}

TEST(LevelChecks, NoTwoLevelsAreTheSame) {
    worldtest::EnsureHeadlessWorld();
    std::map<std::string, PackLevel> seen;
    int alikeStandIns = 0;
    for (const PackLevel& p : AllLevels()) {
        const auto found = seen.emplace(Layout(*p.level), p);
        if (found.second) continue;
        const PackLevel& first = found.first->second;
        if (!p.Designed() && !first.Designed()) {
            ++alikeStandIns;
            continue;
        }
        ADD_FAILURE() << p.Name() << " is the same level as " << first.Name();
    }
    printf("%d generated stand-ins repeat another stand-in\n", alikeStandIns);
    // The map and the score boards name a level by its heading alone.
    std::map<std::string, std::string> headings;
    for (const PackLevel& p : AllLevels()) {
        if (!p.Designed()) continue;
        const auto found = headings.emplace(p.level->GetHeadingText(), p.Name());
        if (!found.second) ADD_FAILURE() << p.Name() << " has the heading of " << found.first->second;
    }
}

TEST(LevelChecks, EveryLevelIsDesignedAndStoresASolution) {
    worldtest::EnsureHeadlessWorld();
    for (const PackLevel& p : AllLevels()) {
        // A slot left to a generated stand-in ships a plain walk.
        EXPECT_TRUE(p.Designed()) << p.Name() << " has no source in assets/levels";
        if (!p.Designed()) continue;
        EXPECT_FALSE(p.level->GetSolution().empty())
            << p.Name() << " stores no solution (zorv_solve " << p.SourcePath() << " --write-source)";
    }
}

TEST(LevelChecks, NoLevelButATutorialIsSolvedByHoldingOneKey) {
    worldtest::EnsureHeadlessWorld();
    // The check itself: a plain walk to the right is solved by holding right.
    CLevel walk = worldtest::WalkLevel(8);
    ASSERT_TRUE(HoldingSolves(&walk, SOLUTION_KEY_RIGHT));
    ASSERT_FALSE(HoldingSolves(&walk, SOLUTION_KEY_LEFT));

    int checked = 0, standIns = 0;
    for (const PackLevel& p : AllLevels()) {
        if (IsTutorialLevel(p.set, p.index)) continue;
        if (!p.Designed()) {
            ++standIns;
            continue;
        }
        for (int key : {SOLUTION_KEY_LEFT, SOLUTION_KEY_RIGHT, SOLUTION_KEY_UP, SOLUTION_KEY_DOWN})
            EXPECT_FALSE(HoldingSolves(p.level, key)) << p.Name() << " is solved by holding key " << key;
        ++checked;
    }
    printf("%d levels checked; %d generated stand-ins left out\n", checked, standIns);
}
