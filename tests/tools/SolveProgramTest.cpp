// zorv_solve as the level designer calls it: one level with its figures and
// its solution written back, a level set as a table with its plot, and exit
// code 2 with one line on standard error for what it cannot do.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

#include "tests/support/TestSupport.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/levels/CLevelSource.h"
#include "world/CLevel.h"

namespace {

const std::string kSolve = std::string(ZORV_RUN_DIR) + "/zorv_solve ";

ProgramRun Solve(const std::string& args, const std::string& errFile) { return RunProgram(kSolve + args, errFile); }

std::string Examples() { return std::string(ZORV_SOURCE_DIR) + "/tools/design/examples"; }

}  // namespace

TEST(SolveProgram, SolvesALevelAndWritesItsSolutionIntoTheSource) {
    CTempDir dir;
    const std::string err = dir.File("err.txt");
    const std::string source = dir.File("ladder.txt");
    ASSERT_TRUE(WriteFileText(source, ReadFileText(Examples() + "/ladder.txt")));

    // A name's control bytes are escaped as JSON escapes them, none dropped.
    const std::string named = dir.File("lad\tder\x1b.txt");
    ASSERT_TRUE(WriteFileText(named, ReadFileText(source)));
    ProgramRun o = Solve("--json '" + named + "'", err);
    EXPECT_EQ(o.code, 0) << ReadFileText(err);
    EXPECT_EQ(o.out.rfind("{\"level\": \"" + dir.File("lad\\u0009der\\u001b.txt") + "\", ", 0), 0u) << o.out;
    EXPECT_NE(o.out.find("\"outcome\": \"solved\", \"commands\": [\"right\""), std::string::npos) << o.out;
    // Its records in the words zorv_sim --keys takes, its length in steps.
    EXPECT_NE(o.out.find("\"records\": [[50, \"right\", \"down\"], [51, \"right\", \"up\"], "), std::string::npos)
        << o.out;
    EXPECT_NE(o.out.find("\"steps\": 25, "), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"replay\": \"exited\""), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"mechanics\": [\"ladder\", \"platform\"]"), std::string::npos) << o.out;
    // Characters beyond ASCII go through as they are (UTF-8), and a backslash
    // and a quote are escaped, in a name and in a heading alike; a line of
    // the answer shows a heading's control bytes escaped.
    const std::string accented = dir.File("caf\xc3\xa9 \\ \"x\".txt");
    std::string text = ReadFileText(source);
    text.replace(text.find("Over the Wall"), 13, "Caf\xc3\xa9 \\ \"x\" \x1b[2J");
    ASSERT_TRUE(WriteFileText(accented, text));
    o = Solve("--json '" + accented + "'", err);
    EXPECT_EQ(o.out.rfind("{\"level\": \"" + dir.File("caf\xc3\xa9 \\\\ \\\"x\\\".txt") +
                              "\", \"game_name\": null, \"heading\": \"Caf\xc3\xa9 \\\\ \\\"x\\\" \\u001b[2J\", ",
                          0),
              0u)
        << o.out;
    o = Solve("'" + accented + "'", err);
    EXPECT_EQ(o.out.rfind("level:     " + dir.File("caf\xc3\xa9 \\ \"x\".txt") + " \"Caf\xc3\xa9 \\ \"x\" \\x1b[2J\"\n", 0),
              0u)
        << o.out;

    o = Solve("--write-source " + source, err);
    EXPECT_EQ(o.code, 0) << ReadFileText(err);
    EXPECT_NE(o.out.find("outcome:   solved in 25 steps"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("positions/s"), std::string::npos) << o.out;
    CLevel level;
    std::string error;
    ASSERT_TRUE(CLevelSource::ParseFile(source, &level, &error)) << error;
    EXPECT_EQ(level.GetSolution().size(), 50u);
    EXPECT_NE(ReadFileText(source).find("# zorv_solve: 25 steps, "), std::string::npos);

    o = Solve(Examples() + "/walled.txt", err);
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.out.find("outcome:   unsolvable: all 5 positions"), std::string::npos) << o.out;

    // On a full disk, a level file or a plot is refused and nothing is left
    // of it; Ctrl+C ends a long search at once, with nothing written.
    // The refusal ends with the reason.
    CTempDir out;
    const std::string stored = ReadFileText(source);
    ASSERT_TRUE(WriteFileText(out.File("ladder.txt"), stored.substr(0, stored.find("# zorv_solve"))));
    const struct {
        std::string args;
        std::string file;
    } rows[] = {
        {"--write-lvl " + out.File("a.lvl") + " " + source, "a.lvl"},
        {"--table " + Examples() + " --from 6 --plot " + out.File("plot.png"), "plot.png"},
        {"--write-source " + out.File("ladder.txt"), "ladder.txt"},
    };
    for (const auto& r : rows) {
        o = RunProgram(OnAFullDisk(kSolve + r.args), err);
        EXPECT_EQ(o.code, 2) << r.args;
        EXPECT_EQ(ReadFileText(err), "zorv_solve: cannot write " + out.File(r.file) + ": File too large\n") << r.args;
        EXPECT_EQ(FolderEntries(out.Path()), std::vector<std::string>{"ladder.txt"}) << r.args;
    }
    EXPECT_EQ(ReadFileText(out.File("ladder.txt")), stored.substr(0, stored.find("# zorv_solve")));
    unlink(out.File("ladder.txt").c_str());
    o = RunProgram(StoppedAfterASecond(kSolve + "--max-states 1000000000 --max-commands 10000 --write-lvl " +
                                           out.File("a.lvl") + " adv:40", "INT"), err);
    EXPECT_EQ(o.code, 130);
    EXPECT_TRUE(FolderEntries(out.Path()).empty());

    for (const std::string& args : {std::string("--fast ") + source, std::string("reg:9999"), std::string(""),
                                    "--write-source " + Examples() + "/nothing.txt",
                                    std::string("--write-source reg:0"), "--table reg " + source}) {
        o = Solve(args, err);
        EXPECT_EQ(o.code, 2) << args;
        EXPECT_EQ(ReadFileText(err).rfind("zorv_solve: ", 0), 0u) << args << ": " << ReadFileText(err);
    }
}

// A solution is written only into a file that can be read again: a level
// file past the game's bound (a player turned 43,000 times before walking
// out) or a source past the builder's is refused in one line, and the file
// there stays as it was; 10,000 turns fit.
TEST(SolveProgram, WritesNoLevelFileOrSourceTooLargeToBeReadAgain) {
    CTempDir dir;
    const std::string err = dir.File("err.txt");
    const std::string walk =
        "heading: Walk\nbackground: 0\n" + worldtest::PictureSection("tiles", {"..S...E", std::string(32, '#')});
    ASSERT_TRUE(WriteFileText(dir.File("walk.txt"), walk));
    ASSERT_TRUE(WriteFileText(dir.File("walk.lvl"), "earlier"));
    const auto turns = [](int thousands) {
        std::string play;
        for (int i = 0; i < thousands; ++i) play += "turn*1000 ";
        return "--play \"" + play + "right*4\" ";
    };
    const struct {
        int thousands;
        std::string write;
        std::string says;  // empty: written
        std::string file;
        std::string before;
    } rows[] = {
        {43, "--write-lvl " + dir.File("walk.lvl"),
         "more than the game opens in a level file (" + std::to_string(CLevel::kFileBytesMax) + ")", dir.File("walk.lvl"),
         "earlier"},
        {43, "--write-source", "more than a level source may have (" + std::to_string(CLevelSource::kMaxBytes) + ")",
         dir.File("walk.txt"), walk},
        {10, "--write-lvl " + dir.File("walk.lvl"), "", dir.File("walk.lvl"), "earlier"},
    };
    for (const auto& r : rows) {
        const ProgramRun o = Solve(turns(r.thousands) + r.write + " " + dir.File("walk.txt"), err);
        const std::string message = ReadFileText(err);
        if (r.says.empty()) {
            EXPECT_EQ(o.code, 0) << r.write << ": " << message;
            CLevel written;
            ASSERT_TRUE(written.LoadFile(r.file, "walk")) << r.write;
            EXPECT_EQ(written.GetSolution().size(), 2u * 10004u);
            continue;
        }
        EXPECT_EQ(o.code, 2) << r.write;
        EXPECT_EQ(message.rfind("zorv_solve: ", 0), 0u) << message;
        EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
        EXPECT_NE(message.find(r.says), std::string::npos) << message;
        EXPECT_TRUE(ReadFileText(r.file) == r.before) << r.write << ": the file there changed";
    }
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"err.txt", "walk.lvl", "walk.txt"}));
}

// Written through a symbolic link, the solution goes into the file the link
// leads to, and the link stays: a source (the link absolute), a level file
// (the link relative, into another folder), a level file not there yet. A
// file replaced keeps its permissions: a read-only source, a private level.
TEST(SolveProgram, WritesTheFileASymbolicLinkLeadsToAndKeepsTheLink) {
    CTempDir dir, real;
    const std::string err = dir.File("err.txt");
    const std::string walk =
        "heading: Walk\nbackground: 0\n" + worldtest::PictureSection("tiles", {"..S...E", std::string(32, '#')});
    ASSERT_TRUE(WriteFileText(real.File("walk.txt"), walk));
    ASSERT_TRUE(WriteFileText(real.File("walk.lvl"), "earlier"));
    ASSERT_EQ(chmod(real.File("walk.txt").c_str(), 0444), 0);
    ASSERT_EQ(chmod(real.File("walk.lvl").c_str(), 0600), 0);
    const std::string relative = "../" + real.Path().substr(real.Path().rfind('/') + 1);
    ASSERT_EQ(symlink(real.File("walk.txt").c_str(), dir.File("walk.txt").c_str()), 0);
    ASSERT_EQ(symlink((relative + "/walk.lvl").c_str(), dir.File("walk.lvl").c_str()), 0);
    ASSERT_EQ(symlink((relative + "/new.lvl").c_str(), dir.File("new.lvl").c_str()), 0);
    for (const std::string& write : {std::string("--write-source"), "--write-lvl " + dir.File("walk.lvl"),
                                     "--write-lvl " + dir.File("new.lvl")}) {
        const ProgramRun o = Solve("--play right*4 " + write + " " + dir.File("walk.txt"), err);
        EXPECT_EQ(o.code, 0) << write << ": " << ReadFileText(err);
    }
    for (const char* name : {"walk.txt", "walk.lvl", "new.lvl"}) {
        struct stat st;
        ASSERT_EQ(lstat(dir.File(name).c_str(), &st), 0) << name;
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << name << " is a link no more";
    }
    CLevel level;
    std::string error;
    ASSERT_TRUE(CLevelSource::ParseFile(real.File("walk.txt"), &level, &error)) << error;
    EXPECT_EQ(level.GetSolution().size(), 8u);
    for (const char* name : {"walk.lvl", "new.lvl"}) {
        ASSERT_TRUE(level.LoadFile(real.File(name), "walk")) << name;
        EXPECT_EQ(level.GetSolution().size(), 8u) << name;
    }
    EXPECT_EQ(FolderEntries(real.Path()), (std::vector<std::string>{"new.lvl", "walk.lvl", "walk.txt"}));
    for (const auto& kept : {std::make_pair("walk.txt", 0444), std::make_pair("walk.lvl", 0600)}) {
        struct stat st;
        ASSERT_EQ(stat(real.File(kept.first).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, static_cast<mode_t>(kept.second)) << kept.first;
    }
}

TEST(SolveProgram, TabulatesAFolderOfLevelsAndPlotsThem) {
    CTempDir dir;
    const std::string err = dir.File("err.txt");
    const ProgramRun o = Solve("--table " + Examples() + " --plot " + dir.File("plot.png"), err);
    // The unsolvable example makes the table fail.
    EXPECT_EQ(o.code, 1) << ReadFileText(err);
    for (const char* line :
         {"bot.txt ", "fall.txt ", "ice.txt ", "ladder.txt ", "powerup.txt ", "push.txt ", "walled.txt "})
        EXPECT_NE(o.out.find(line), std::string::npos) << line << "\n" << o.out;
    EXPECT_NE(o.out.find("NONE"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("7 levels, 6 solved"), std::string::npos) << o.out;
    const std::vector<uint8_t> png = ReadFileBytes(dir.File("plot.png"));
    ASSERT_GT(png.size(), 1000u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    // A level of the pack goes by the tools' name, with the game's beside it
    // where there is room: a table's line, a level's answer, its JSON.
    const struct {
        std::string args;
        std::string says;
    } named[] = {
        {"--table reg --to 1", "\nreg:0 (Regular level 1)    Out of the Tube "},
        {"--table reg --to 1", "\nreg:1 (Regular level T1)   First Steps "},
        {"--table kid --from 80", "\nkid:80 (Kids level 81) "},
        {"adv:0", "level:     adv:0 (Advanced level 1) \""},
        {"--json reg:1", "{\"level\": \"reg:1\", \"game_name\": \"Regular level T1\", "},
    };
    for (const auto& n : named) {
        const ProgramRun run = Solve("--max-states 1 " + n.args, err);
        EXPECT_NE(run.out.find(n.says), std::string::npos) << n.args << ":\n" << run.out << ReadFileText(err);
    }
}

TEST(SolveProgram, ALevelBeyondTheSearchIsMeasuredByItsStoredSolution) {
    CTempDir dir, set;
    const std::string err = dir.File("err.txt");
    const std::string folder = set.Path();
    const std::string source = set.File("ladder.txt");
    std::string text = ReadFileText(Examples() + "/ladder.txt");
    text = text.substr(0, text.find("solution:"));
    ASSERT_TRUE(WriteFileText(source, text));
    // Too short a search, and no solution stored: the level fails the table.
    ProgramRun o = Solve("--table " + folder + " --max-commands 5", err);
    EXPECT_EQ(o.code, 1) << o.out;
    EXPECT_NE(o.out.find("BOUND"), std::string::npos) << o.out;
    // With its 25-command solution stored, the table counts it by that.
    ASSERT_EQ(Solve("--write-source " + source, err).code, 0) << ReadFileText(err);
    o = Solve("--table " + folder + " --max-commands 5 --plot " + dir.File("plot.png"), err);
    EXPECT_EQ(o.code, 0) << o.out << ReadFileText(err);
    EXPECT_NE(o.out.find("stored          25"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("1 levels, 1 solved (1 of them beyond the search"), std::string::npos) << o.out;
    // A stored solution that holds a key is as long as the steps it takes,
    // not its key presses: right held from the tube to the exit is 4.
    const std::string walk = "heading: Walk\nbackground: 0\n" +
                             worldtest::PictureSection("tiles", {"..S...E", std::string(32, '#')}) +
                             "solution:\n50 right down\n200 right up\n";
    ASSERT_TRUE(WriteFileText(set.File("walk.txt"), walk));
    o = Solve("--table " + folder + " --max-commands 1", err);
    EXPECT_NE(o.out.find("\nwalk.txt                   Walk                             stored           4 "),
              std::string::npos)
        << o.out;
}

TEST(SolveProgram, RefusesInOneLineWhatGivesItNothingToDo) {
    CScopedHome home;
    CTempDir dir, empty, damaged, unplayable;
    const std::string err = dir.File("err.txt");
    ASSERT_TRUE(WriteFileText(damaged.File("junk.lvl"), "not a level"));
    CLevel twoEntrances = worldtest::WalkLevel(6);
    twoEntrances.SetTile(DEVICE_TUBE_START, 10, 22);
    ASSERT_TRUE(twoEntrances.SaveToPath(dir.File("two-entrances.lvl")));
    ASSERT_TRUE(twoEntrances.SaveToPath(unplayable.File("two-entrances.lvl")));
    CLevel noEntrance = worldtest::WalkLevel(6);
    noEntrance.SetTile(NONE, 2, 22);
    ASSERT_TRUE(noEntrance.SaveToPath(unplayable.File("no-entrance.lvl")));
    // A solution key the game would ignore (line 29), a stray carriage return.
    ASSERT_TRUE(WriteFileText(dir.File("key999.txt"),
                              "heading: Walk\nbackground: 0\n" +
                                  worldtest::PictureSection("tiles", {"..S...E", std::string(32, '#')}) +
                                  "solution:\n50 999 down\n"));
    ASSERT_TRUE(WriteFileText(dir.File("cr.txt"), "heading: Walk\nti\rles:\n"));
    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
    const std::string ladder = Examples() + "/ladder.txt";
    const struct {
        std::string args;
        std::string says;
    } refusals[] = {
        {"--table " + Examples() + " --from 5 --to 2", "--from 5 comes after --to 2"},
        {"--table " + Examples() + " --from 7", "--from 7 is past the end of the levels in examples (7 levels"},
        {"--table reg --from 5000", "--from 5000 is past the end of the regular set"},
        {"--table " + empty.Path(), "there are no levels in " + empty.Path()},
        {"--table " + damaged.Path(), damaged.File("junk.lvl") + " cannot be read: it is damaged"},
        {damaged.File("junk.lvl"), damaged.File("junk.lvl") + " cannot be read: it is damaged"},
        {dir.File("missing.lvl"), "there is no level file " + dir.File("missing.lvl")},
        {dir.File("missing.txt"), "there is no level file " + dir.File("missing.txt")},
        {dir.File("two-entrances.lvl"), "the level has 2 entrance tubes"},
        {"--write-lvl \"\" " + Examples() + "/ladder.txt", "--write-lvl needs a file name"},
        {"--table " + Examples() + " --plot \"\"", "--plot needs a file name"},
        {dir.File("key999.txt"), "key999.txt: line 29: 999 is no solution key"},
        {dir.File("cr.txt"), "unknown section 'ti\\rles'"},
        {"reg:-1", "bad level number in reg:-1"},
        {"--table " + Examples() + " --from 5 --to 4", "--from 5 comes after --to 4"},
        {"--table reg --from 1000000", "--from 1000000 is past the end of the regular set"},
        {"--table reg --from 1000001", "--from needs a level number"},
        {"--max-commands 0 " + Examples() + "/ladder.txt", "--max-commands needs a number from 1"},
        {"--play right --play left " + Examples() + "/ladder.txt", "--play given twice"},
        {"--write-lvl " + dir.File("a.lvl") + " --write-lvl " + dir.File("b.lvl") + " " + Examples() + "/ladder.txt",
         "--write-lvl given twice"},
        // What goes with a table is refused with one level, each alike.
        {"--from 1 " + Examples() + "/ladder.txt", "--from goes with --table"},
        {"--to 1 " + Examples() + "/ladder.txt", "--to goes with --table"},
        {"--plot " + dir.File("plot.png") + " " + Examples() + "/ladder.txt", "--plot goes with --table"},
        // Where the answer is to go is known before the work.
        {"--write-lvl " + dir.File("no/a.lvl") + " " + ladder,
         "cannot write " + dir.File("no/a.lvl") + ": No such file or directory"},
        {"--table " + Examples() + " --from 6 --plot " + dir.File("no/plot.png"),
         "cannot write " + dir.File("no/plot.png") + ": No such file or directory"},
        {"--write-lvl " + dir.Path() + " " + ladder, "cannot write " + dir.Path() + ": it is a folder"},
        {"--write-lvl " + dir.File("pipe") + " " + ladder, "cannot write " + dir.File("pipe") + ": it is no file"},
    };
    for (const auto& r : refusals) EXPECT_TRUE(IsOneLineRefusal("zorv_solve", Solve(r.args, err), err, r.says)) << r.args;
    // The last level of a set, and a slice of one level (--from at --to).
    const ProgramRun last = Solve("--table " + Examples() + " --from 6 --to 6 --max-states 100", err);
    EXPECT_EQ(last.code, 1) << ReadFileText(err);
    EXPECT_NE(last.out.find("walled.txt "), std::string::npos) << last.out;
    EXPECT_NE(last.out.find("1 levels, 0 solved"), std::string::npos) << last.out;
    // In a table an unplayable level fails with its reason.
    const ProgramRun table = Solve("--table " + unplayable.Path(), err);
    EXPECT_EQ(table.code, 1);
    for (const char* why : {"BROKEN", "the level has 2 entrance tubes", "the level has no entrance tube"})
        EXPECT_NE(table.out.find(why), std::string::npos) << why << "\n" << table.out;
    EXPECT_EQ(FolderEntries(home.Path()), std::vector<std::string>{});
}
