// The level solver over the real world step (tools/design): an undo step
// gives a position back exactly, the two ways of branching find the same
// positions and the same shortest solutions, the solutions replay to the
// exit and are the shortest there are, a level without a way out is shown to
// have none, and solutions go into level sources and level files.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/design/CRestRunner.h"
#include "tools/design/CSolver.h"
#include "tools/design/CUndoRing.h"
#include "tools/design/CWorldKey.h"
#include "tools/design/LevelFiles.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElement.h"
#include "world/SolutionKeys.h"

namespace {

std::string Example(const std::string& name) {
    return std::string(ZORV_SOURCE_DIR) + "/tools/design/examples/" + name + ".txt";
}

CLevel LoadExample(const std::string& name) {
    CLevel level;
    std::string error;
    EXPECT_TRUE(CLevelSource::ParseFile(Example(name), &level, &error)) << name << ": " << error;
    return level;
}

// The commands of the random walks: the four directions, the turn key and the
// first power-up (refused while the hero holds none).
const int kCommands[] = {SOLUTION_KEY_LEFT, SOLUTION_KEY_RIGHT,          SOLUTION_KEY_UP,
                         SOLUTION_KEY_DOWN, SOLUTION_KEY_POWERUP_FIRST, SOLUTION_KEY_TURN};

// Makes the newest undo step hold the world as it is now (a save right after
// a build or after loading the last step is skipped by the ring).
void SaveNow() {
    const int before = CElement::GetUndoCount();
    CElement::SaveUndoStep();
    if (CElement::GetUndoCount() == before && before < CElement::kUndoSlots) CElement::SaveUndoStep();
}

struct Stop {
    CWorldDigest contents;  // the world described (CWorldKey::Describe)
    int frames = 0;
    CRestRunner::Outcome outcome = CRestRunner::REST;
};

}  // namespace

// A walk of random commands is played twice. The second time, at every
// position the world is saved as an undo step, one or two other commands are
// tried (some of them lose the level), and the step is loaded again: the
// world must then hold exactly what it held, and the walk's next command must
// take the same frames to the same world as in the plain walk.
TEST(SolverUndo, APositionLoadedFromTheUndoRingPlaysOnAsIfNeverLeft) {
    worldtest::EnsureHeadlessWorld();
    int checked = 0, detoursLost = 0;
    for (const char* name : {"push", "fall", "ladder", "ice", "bot", "powerup"}) {
        CLevel level = LoadExample(name);
        for (unsigned seed = 1; seed <= 3; ++seed) {
            std::mt19937 rng(seed * 7919u + static_cast<unsigned>(std::string(name).size()));
            auto pick = [&]() { return kCommands[rng() % 6]; };

            std::vector<int> walk;
            std::vector<Stop> plain;
            {
                CRestRunner runner(&level, 3000);
                Stop s;
                std::string error;
                ASSERT_TRUE(runner.Build(&s.outcome, &s.frames, &error)) << error;
                ASSERT_EQ(s.outcome, CRestRunner::REST) << name;
                s.contents = CWorldKey::Describe(runner.HeroFacingCounts());
                plain.push_back(s);
                for (int i = 0; i < 24 && plain.back().outcome == CRestRunner::REST; ++i) {
                    walk.push_back(pick());
                    Stop next;
                    next.outcome = runner.Command(walk.back(), &next.frames);
                    next.contents = CWorldKey::Describe(runner.HeroFacingCounts());
                    plain.push_back(next);
                }
            }

            CRestRunner runner(&level, 3000);
            Stop s;
            std::string error;
            ASSERT_TRUE(runner.Build(&s.outcome, &s.frames, &error)) << error;
            // Each command leaves the ring holding the position it started
            // from, as the solver's commands do: a direction or a power-up
            // saves the world as the hero sets off, the turn key saves
            // nothing and is saved for.
            CUndoRing ring;
            ring.Reset();
            auto command = [&](int code, int from, int* frames) {
                if (code == SOLUTION_KEY_TURN) ring.Save(from);
                runner.Press(code);
                ring.Note(from);
                ring.Save(from);
                const CRestRunner::Outcome outcome = runner.Finish(code, frames);
                ring.Note(CUndoRing::kUnknown);
                return outcome;
            };
            for (size_t k = 0; k < walk.size(); ++k) {
                // The detour's positions are numbered from 1000.
                const int here = static_cast<int>(k);
                int from = here;
                const int detours = 1 + static_cast<int>(rng() % 2);
                for (int d = 0; d < detours; ++d) {
                    int frames = 0;
                    const CRestRunner::Outcome outcome = command(pick(), from, &frames);
                    from = 1000 + d;
                    if (outcome != CRestRunner::REST) {
                        ++detoursLost;
                        break;
                    }
                }
                ASSERT_GE(ring.Depth(here), 0);
                for (int pops = ring.Depth(here); pops >= 0; --pops) ring.Load();
                ASSERT_EQ(CWorldKey::Describe(runner.HeroFacingCounts()).FindDifference(plain[k].contents), "")
                    << name << " seed " << seed << ": position " << k << " after the detour";
                Stop next;
                next.outcome = command(walk[k], here, &next.frames);
                ASSERT_EQ(next.outcome, plain[k + 1].outcome) << name << " seed " << seed << " step " << k;
                ASSERT_EQ(next.frames, plain[k + 1].frames) << name << " seed " << seed << " step " << k;
                ASSERT_EQ(CWorldKey::Describe(runner.HeroFacingCounts()).FindDifference(plain[k + 1].contents), "")
                    << name << " seed " << seed << " step " << k;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 100);
    printf("%d commands played on after an undo detour, %d detours lost the level\n", checked, detoursLost);
}

// Each example is solved twice, branching through undo (and looking ahead
// below positions) and by building the world again: shortest solutions of
// the same length, the same positions closer than that, both replayed to the
// exit; and one command fewer finds nothing.
TEST(Solver, FindsTheShortestSolutionTheSameWayWithAndWithoutUndo) {
    worldtest::EnsureHeadlessWorld();
    // A solution's length as the game counts it, in steps: a power-up used
    // is a command, but no step.
    struct Case {
        const char* name;
        size_t commands;
        int steps;
    };
    for (const Case& c : {Case{"push", 29, 29}, Case{"fall", 21, 21}, Case{"ladder", 25, 25}, Case{"ice", 12, 12},
                          Case{"bot", 29, 29}, Case{"powerup", 15, 14}}) {
        CLevel level = LoadExample(c.name);
        SolverOptions options;
        const SolverResult viaUndo = CSolver(&level, options).Solve();
        options.undo = false;
        const SolverResult rebuilt = CSolver(&level, options).Solve();

        ASSERT_EQ(viaUndo.outcome, SolverResult::SOLVED) << c.name << ": " << viaUndo.error << viaUndo.note;
        EXPECT_TRUE(viaUndo.usedUndo && viaUndo.note.empty()) << c.name << ": " << viaUndo.note;
        EXPECT_TRUE(viaUndo.verified) << c.name << ": " << viaUndo.verifyResult;
        EXPECT_EQ(viaUndo.commands.size(), c.commands) << c.name;
        EXPECT_EQ(viaUndo.steps, c.steps) << c.name;
        EXPECT_EQ(rebuilt.commands.size(), c.commands) << c.name;
        EXPECT_TRUE(rebuilt.verified) << c.name << ": " << rebuilt.verifyResult;
        EXPECT_EQ(viaUndo.states, rebuilt.states) << c.name;
        EXPECT_LT(viaUndo.rebuilds, rebuilt.rebuilds) << c.name;

        // Two records per command: pressed in the frame after rest, released
        // in the next.
        ASSERT_EQ(viaUndo.records.size(), 2 * viaUndo.commands.size());
        for (size_t i = 0; i < viaUndo.commands.size(); ++i) {
            const ReplayKey& press = viaUndo.records[2 * i];
            const ReplayKey& release = viaUndo.records[2 * i + 1];
            EXPECT_EQ(press.key, viaUndo.commands[i]);
            EXPECT_FALSE(press.released);
            EXPECT_EQ(release.key, press.key);
            EXPECT_TRUE(release.released);
            EXPECT_EQ(release.frame, press.frame + 1);
        }

        options.undo = true;
        options.maxCommands = static_cast<int>(c.commands) - 1;
        const SolverResult shorter = CSolver(&level, options).Solve();
        EXPECT_EQ(shorter.outcome, SolverResult::COMMAND_BOUND) << c.name;
    }
}

TEST(Solver, ShowsALevelWithoutAWayOutAndStopsAtItsBounds) {
    worldtest::EnsureHeadlessWorld();
    CLevel walled = LoadExample("walled");
    SolverOptions options;
    SolverResult r = CSolver(&walled, options).Solve();
    EXPECT_EQ(r.outcome, SolverResult::UNSOLVABLE);
    EXPECT_EQ(r.states, r.expanded);
    EXPECT_TRUE(r.commands.empty() && r.records.empty());

    // The guard catches the hero who steps off the little wall.
    CLevel bot = LoadExample("bot");
    r = CSolver(&bot, options).Solve();
    EXPECT_GE(r.lost, 1);

    CLevel push = LoadExample("push");
    options.maxStates = 40;
    r = CSolver(&push, options).Solve();
    EXPECT_EQ(r.outcome, SolverResult::STATE_BOUND);
    EXPECT_EQ(r.states, 40);

    // A level the runner cannot build.
    CLevel empty;
    r = CSolver(&empty, SolverOptions()).Solve();
    EXPECT_EQ(r.outcome, SolverResult::NOT_PLAYABLE);
    EXPECT_FALSE(r.error.empty());
}

// Pieces that never forget what happened to them still let the world come
// to rest: a frost shot that struck (it stays where it hit), a collapsed
// bridge (it keeps its mark), a bot knocked out in a pit while the hero
// stands on its head, a thawed crate (it keeps its mark), a bot knocked out
// by the EMP while a magnet holds it (its knock-out picture never comes), and
// a frozen bot still stunned after the load on its head is gone (it no
// longer thinks). Each little level meets one of them on the way.
TEST(Solver, ShotsCollapsedBridgesAndABotUnderfootComeToRest) {
    worldtest::EnsureHeadlessWorld();
    using worldtest::PictureSection;
    const std::string ground(32, '#');
    auto level = [&](const std::string& floor, const std::string& below, const std::string& states = "") {
        std::string text = "heading: Rest\nbackground: 0\n" + PictureSection("tiles", {floor, below, ground});
        if (!states.empty()) text += PictureSection("states", {states, "", ""});
        return text;
    };
    const std::string ladder = "...........H" + std::string(20, '.');
    const std::string levels[] = {
        // Freeze the guard from behind, push him into the pit, walk over him.
        level("..S..F..).......E...............", "############.###################"),
        // A bridge across a gap, then the wooden bridge beyond it.
        level("..S.I..........E................", "######...##_####################"),
        // The guard runs at the hero and drops into the pit on the way.
        level("..S.........(......E............", "#######.########################"),
        // A frozen wooden crate slid against hot metal thaws and keeps its
        // thawing mark; burned, it cools the metal for the pit.
        level("..S.F.c...C.......E.............", "############.###################",
              "..........h....................."),
        // The EMP drops the metal crate onto the button; the guard held by
        // the far magnet is knocked out and held again, and stays so.
        level("..S.Z.....C<.....B...E......)<..", "##########b#####################"),
        // A crate pins the guard; frozen, then freed of the crate from the
        // ladder, he stays stunned.
        "heading: Rest\nbackground: 0\n" +
            PictureSection("tiles", {"............c...................", "..S.F.......)...........E.......",
                                     "#############.####.#############", ground}) +
            PictureSection("ladders", {ladder, ladder, ladder, "", ""}),
    };
    for (const std::string& text : levels) {
        CLevel l;
        std::string error;
        ASSERT_TRUE(CLevelSource::Parse(text, &l, &error)) << error;
        const SolverResult r = CSolver(&l, SolverOptions()).Solve();
        EXPECT_EQ(r.outcome, SolverResult::SOLVED) << text << r.error << r.note << " unsettled " << r.unsettled;
        EXPECT_EQ(r.unsettled, 0) << text;
        // Undo gives each position back as it was found, a guard knocked
        // over under a load included.
        EXPECT_TRUE(r.usedUndo && r.note.empty()) << text << r.note;
        EXPECT_TRUE(r.verified) << text << r.verifyResult;
    }
}

TEST(SolverOutput, TheSolutionGoesIntoALevelSourceAndALevelFile) {
    worldtest::EnsureHeadlessWorld();
    CTempDir dir;
    const std::string source = dir.File("fall.txt");
    ASSERT_TRUE(WriteFileText(source, ReadFileText(Example("fall"))));
    CLevel level = LoadExample("fall");
    const SolverResult r = CSolver(&level, SolverOptions()).Solve();
    ASSERT_TRUE(r.verified);

    std::string error;
    ASSERT_TRUE(WriteSourceSolution(source, r.records, "first", &error)) << error;
    // Written again: the section and its comment are replaced, not repeated.
    ASSERT_TRUE(WriteSourceSolution(source, r.records, "second", &error)) << error;
    const std::string text = ReadFileText(source);
    EXPECT_EQ(text.find("solution:"), text.rfind("solution:"));
    EXPECT_EQ(text.find("# zorv_solve: first"), std::string::npos);
    EXPECT_NE(text.find("# zorv_solve: second\nsolution:\n"), std::string::npos);
    const std::string example = ReadFileText(Example("fall"));
    const std::string drawn = example.substr(0, example.find("# zorv_solve:"));
    EXPECT_EQ(text.compare(0, drawn.size(), drawn), 0) << "the rest of the source stays as it was";

    CLevel fromSource;
    ASSERT_TRUE(ReadLevelFile(source, &fromSource, &error)) << error;
    EXPECT_EQ(fromSource.GetSolution(), r.records);
    EXPECT_TRUE(fromSource.IsSolutionRecorded());
    int frames = 0;
    EXPECT_EQ(CSolver::Replay(&fromSource, fromSource.GetSolution(), 5000, &frames), "exited");

    ASSERT_TRUE(WriteLevelWithSolution(level, r.records, dir.File("fall.lvl"), &error)) << error;
    CLevel fromFile;
    ASSERT_TRUE(ReadLevelFile(dir.File("fall.lvl"), &fromFile, &error)) << error;
    EXPECT_EQ(fromFile.GetSolution(), r.records);
    EXPECT_EQ(CSolver::Replay(&fromFile, fromFile.GetSolution(), 5000, &frames), "exited");
    EXPECT_GT(frames, r.exitFrame) << "the level ends when the exit animation has played";
}

// A stored solution's length is the game's: the steps the hero takes in its
// replay, whatever the keys (right held from the tube to the exit is two
// records, four steps).
TEST(SolverOutput, AStoredSolutionIsMeasuredInTheGamesSteps) {
    worldtest::EnsureHeadlessWorld();
    for (const auto& row : std::vector<std::pair<int, std::string>>{
             {0, "no solution"}, {200, "solution 4 steps"}, {51, "a solution that does not exit (running)"}}) {
        CLevel level = worldtest::WalkLevel(6);
        if (row.first) level.AddReplayKey(50, SOLUTION_KEY_RIGHT, false);
        if (row.first) level.AddReplayKey(row.first, SOLUTION_KEY_RIGHT, true);
        bool exits = false;
        EXPECT_EQ(CSolver::DescribeStoredSolution(&level, &exits), row.second);
        EXPECT_EQ(exits, row.first == 200) << row.second;
    }
}

// The solver takes back commands that lose the level like any other: the
// hero steps off the little wall into the guard's sight and is caught; once
// the level-ended flag is cleared, a forced load gives the position back and
// the level plays on as if the catch had never been.
TEST(SolverUndo, ACaughtHeroIsTakenBackLikeAnyOtherStep) {
    worldtest::EnsureHeadlessWorld();
    CLevel level = LoadExample("bot");
    const std::vector<int> toTheWall = {SOLUTION_KEY_RIGHT, SOLUTION_KEY_RIGHT, SOLUTION_KEY_RIGHT,
                                        SOLUTION_KEY_RIGHT, SOLUTION_KEY_RIGHT, SOLUTION_KEY_RIGHT,
                                        SOLUTION_KEY_UP,    SOLUTION_KEY_RIGHT};
    auto walkTo = [&](CRestRunner* runner) {
        CRestRunner::Outcome outcome;
        int frames = 0;
        std::string error;
        ASSERT_TRUE(runner->Build(&outcome, &frames, &error)) << error;
        for (int code : toTheWall) ASSERT_EQ(runner->Command(code, &frames), CRestRunner::REST);
    };
    CWorldDigest onTheWall, back;
    int backFrames = 0;
    {
        CRestRunner runner(&level, 3000);
        walkTo(&runner);
        onTheWall = CWorldKey::Describe(false);
        ASSERT_EQ(runner.Command(SOLUTION_KEY_LEFT, &backFrames), CRestRunner::REST);
        back = CWorldKey::Describe(false);
    }
    CRestRunner runner(&level, 3000);
    walkTo(&runner);
    SaveNow();
    int frames = 0;
    ASSERT_EQ(runner.Command(SOLUTION_KEY_RIGHT, &frames), CRestRunner::LOST);
    EXPECT_TRUE(CElement::IsProfessorCaught());
    // Let the catch play out: the level ends, and refuses undo until the
    // end is cleared.
    runner.Wait(1000);
    ASSERT_TRUE(CElement::IsLevelExited());
    CElement::LoadUndoStep(true);
    EXPECT_TRUE(CElement::IsProfessorCaught());
    CElement::ClearLevelExited();
    CElement::LoadUndoStep(true);
    EXPECT_FALSE(CElement::IsProfessorCaught());
    EXPECT_EQ(CWorldKey::Describe(false).FindDifference(onTheWall), "");
    frames = 0;
    ASSERT_EQ(runner.Command(SOLUTION_KEY_LEFT, &frames), CRestRunner::REST);
    EXPECT_EQ(frames, backFrames);
    EXPECT_EQ(CWorldKey::Describe(false).FindDifference(back), "");
}

// A portal set down from the teleport power-up stays "starting" until its
// partner stands (only then does its spiral switch on): the world is at rest
// with it alone all the same, and the second portal makes the pair work.
TEST(SolverRest, APortalSetDownAloneLeavesTheWorldAtRest) {
    worldtest::EnsureHeadlessWorld();
    const std::string ground(32, '#');
    const std::string text = "heading: Alone\nbackground: 2\n" +
                             worldtest::PictureSection("tiles", {".S..P..........................E", ground, ground});
    CLevel level;
    std::string error;
    ASSERT_TRUE(CLevelSource::Parse(text, &level, &error)) << error;
    CRestRunner runner(&level, 3000);
    CRestRunner::Outcome outcome;
    int frames = 0;
    ASSERT_TRUE(runner.Build(&outcome, &frames, &error)) << error;
    // To the power-up and three cells on; the first portal goes down on the
    // hero's cell; back to the power-up's cell, where the second portal goes
    // down facing left; then the hero walks into the second one.
    const int commands[] = {SOLUTION_KEY_RIGHT, SOLUTION_KEY_RIGHT, SOLUTION_KEY_RIGHT, SOLUTION_KEY_RIGHT,
                            SOLUTION_KEY_RIGHT, SOLUTION_KEY_RIGHT, SOLUTION_KEY_POWERUP_FIRST,
                            SOLUTION_KEY_LEFT,  SOLUTION_KEY_LEFT,  SOLUTION_KEY_LEFT,
                            SOLUTION_KEY_POWERUP_FIRST};
    for (int code : commands) {
        frames = 0;
        ASSERT_EQ(runner.Command(code, &frames), CRestRunner::REST) << SolutionKeyName(code);
        EXPECT_LT(frames, 200) << SolutionKeyName(code);
    }
    frames = 0;
    ASSERT_EQ(runner.Command(SOLUTION_KEY_LEFT, &frames), CRestRunner::REST);
    // Into the left column of the second portal (3, 4), out of the right
    // column of the first (7, 8), still walking left.
    EXPECT_EQ(CElement::GetHero()->GetCurrentX(), 7);
}

// A power-up acts as its key goes down, before the world moves. Used right
// after the search went back through undo (when the hero's own save is
// skipped), the step filed under the position it was used from must still be
// the world before it acted: two portals, a whistle and a guard, searched for
// a while, never come out different.
TEST(SolverUndo, APowerUpUsedRightAfterAnUndoGoesBackToTheWorldBeforeIt) {
    worldtest::EnsureHeadlessWorld();
    const std::vector<std::string> rows = {"....P.S..W", ".#b############", "..#", "", "", "", "", "", "",
                                           "........................)...B.E", std::string(32, '#'), "", "", ""};
    const std::string text = "heading: Detour\nbackground: 5\n" + worldtest::PictureSection("tiles", rows);
    CLevel level;
    std::string error;
    ASSERT_TRUE(CLevelSource::Parse(text, &level, &error)) << error;
    SolverOptions options;
    options.maxStates = 6000;
    // Up to 16 commands the level holds some 6500 positions: the search
    // stops at its position bound just before, and a search that missed the
    // bound would end at the command bound, not run on.
    options.maxCommands = 16;
    const SolverResult result = CSolver(&level, options).Solve();
    EXPECT_EQ(result.outcome, SolverResult::STATE_BOUND) << result.error;
    EXPECT_TRUE(result.usedUndo);
    EXPECT_EQ(result.note, "");
}
