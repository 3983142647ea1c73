// The level runner program as its users call it: JSON on standard output,
// exit code 2 with one line on standard error for what it cannot run.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Log.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/design/ToolLog.h"
#include "tools/levels/CLevelSource.h"
#include "world/CLevel.h"

namespace {

const std::string kSim = std::string(ZORV_RUN_DIR) + "/zorv_sim ";

ProgramRun Sim(const std::string& args, const std::string& errFile) { return RunProgram(kSim + args, errFile); }

}  // namespace

TEST(SimProgram, RunsALevelFileAndRefusesWhatItCannotRun) {
    CTempDir dir;
    const std::string err = dir.File("err.txt");
    CLevel level = worldtest::WalkLevel(6);
    ASSERT_TRUE(level.SaveToPath(dir.File("walk.lvl")));

    // Keys by the names a level source's solution gives them, or by the
    // numbers earlier scripts wrote: the same run. The elements listed are the
    // level's, not the world's stand-in for an empty cell.
    ProgramRun o;
    for (const char* keys : {"60:right:down", "60:275:0"}) {
        o = Sim("--check --keys \"" + std::string(keys) + "\" " + dir.File("walk.lvl"), err);
        EXPECT_EQ(o.code, 0) << ReadFileText(err);
        EXPECT_EQ(o.out.rfind("{\"result\": \"exited\", \"frames\": ", 0), 0u) << o.out;
        EXPECT_NE(o.out.find("\"steps\": 4, \"hero\": [6, 22], \"elements\": [{\"type\": \"Tube Device\""),
                  std::string::npos)
            << o.out;
        EXPECT_EQ(o.out.find("Null Element"), std::string::npos) << o.out;
    }

    // Ice melted under a hot crate, which fell into its cell, is no longer
    // listed: only the crate is there.
    CLevel melt = worldtest::WalkLevel(6);
    melt.SetTile(TERRAIN_ICE, 20, 22);
    melt.SetTile(OBJECT_MCRATE, 20, 21);
    melt.SetTileState(TILE_STATE_HEATED, 20, 21);
    ASSERT_TRUE(melt.SaveToPath(dir.File("melt.lvl")));
    o = Sim("--check --no-keys --frames 100 " + dir.File("melt.lvl"), err);
    EXPECT_EQ(o.code, 0) << ReadFileText(err);
    EXPECT_EQ(o.out.find("\"Ice"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("\"col\": 20, \"row\": 22, \"frozen\": false, \"heated\": false"), std::string::npos) << o.out;
    // Nor a power-up picked up, its shot once it struck or flew off, a crate
    // burned or burst, a button broken in its fall, a bridge collapsed, a crate
    // fallen through the floor. A bot that heat wrecked stays, marked destroyed.
    const std::string ground(32, '#'), walk = "--keys 50:right:down,51:right:up,60:right:down,61:right:up",
                      shoot = walk + ",120:slot1:down,121:slot1:up", head = "heading: Gone\nbackground: 0\n";
    const struct {
        std::vector<std::string> tiles;
        std::string keys;
        std::vector<const char*> gone;
        int frames = 600;
        const char* listed = "";
    } rows[] = {
        {{".S.H....c.........E", ground}, shoot, {"Powerup", "Gunshot"}, 170},
        {{".S.H....c.........E", ground}, shoot, {"Crate"}},
        {{".S.F..............E", ground}, shoot, {"Powerup", "Gunshot"}},
        {{".S.K.H............E", ground}, walk + ",100:right:down,101:right:up,110:right:down,111:right:up,"
                                                 "150:slot1:down,151:slot1:up,300:slot1:down,301:slot1:up", {"Crate"}},
        {{"........b", ".S.H....~.........E", ground}, shoot, {"Button", "Ice"}},
        {{".S................E", "###_" + ground}, walk + ",100:right:down,101:right:up", {"Bridge"}},
        {{".S.........c.............E", "###########." + ground}, "--no-keys", {"Crate"}},
        {{".S.H.......)......E", ground}, shoot, {}, 600,
         "\"Bot AI\", \"col\": 11, \"row\": 22, \"frozen\": false, \"heated\": true, \"destroyed\": true"},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteFileText(dir.File("gone.txt"), head + worldtest::PictureSection("tiles", row.tiles)));
        o = Sim("--check --frames " + std::to_string(row.frames) + " " + row.keys + " " + dir.File("gone.txt"), err);
        EXPECT_EQ(o.code, 0) << row.tiles[0] << ReadFileText(err);
        EXPECT_NE(o.out.find(row.listed), std::string::npos) << row.tiles[0] << o.out;
        for (const char* type : row.gone) EXPECT_EQ(o.out.find(type), std::string::npos) << row.tiles[0] << o.out;
    }

    o = Sim("--no-keys --frames 10 " + dir.File("walk.lvl"), err);
    EXPECT_EQ(o.code, 0);
    EXPECT_NE(o.out.find("\"result\": \"running\", \"frames\": 10,"), std::string::npos) << o.out;
    // The bounds of --frames and of a pack slot, each at itself and at the
    // last value inside (the kids set holds 81 levels).
    o = Sim("--frames 0 " + dir.File("walk.lvl"), err);
    EXPECT_NE(o.out.find("\"result\": \"running\", \"frames\": 0,"), std::string::npos) << o.out;
    o = Sim("--frames 10000000 --keys 60:275:0 " + dir.File("walk.lvl"), err);
    EXPECT_EQ(o.out.rfind("{\"result\": \"exited\"", 0), 0u) << o.out << ReadFileText(err);
    o = Sim("--frames 0 kid:80", err);
    EXPECT_EQ(o.code, 0) << ReadFileText(err);
    // SIGTERM ends a long run at once, with the shell's code for it.
    o = RunProgram(StoppedAfterASecond(kSim + "--no-keys --frames 10000000 " + dir.File("walk.lvl"), "TERM"), err);
    EXPECT_EQ(o.code, 143);

    // No entrance tube, a file that is no level, bad keys, an unknown option.
    level.SetTile(NONE, 2, 22);
    ASSERT_TRUE(level.SaveToPath(dir.File("tubeless.lvl")));
    ASSERT_TRUE(WriteFileText(dir.File("junk.lvl"), "not a level"));
    for (const std::string& args :
         {dir.File("tubeless.lvl"), dir.File("junk.lvl"), "--keys 1:275 " + dir.File("walk.lvl"),
          "--keys 5:275:0,2:275:1 " + dir.File("walk.lvl"), "--fast " + dir.File("walk.lvl"), std::string("reg:999")}) {
        o = Sim(args, err);
        EXPECT_EQ(o.code, 2) << args;
        EXPECT_TRUE(o.out.empty()) << args;
        const std::string message = ReadFileText(err);
        EXPECT_EQ(message.rfind("zorv_sim: ", 0), 0u) << message;
        EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
    }
}

TEST(SimProgram, TellsEveryRefusalApartInOneLineAndTouchesNothingOfTheGames) {
    CScopedHome home;
    CTempDir dir;
    const std::string err = dir.File("err.txt");
    CLevel walk = worldtest::WalkLevel(6);
    ASSERT_TRUE(walk.SaveToPath(dir.File("walk.lvl")));
    CLevel twoEntrances = walk, twoExits = walk;
    twoEntrances.SetTile(DEVICE_TUBE_START, 10, 22);
    twoExits.SetTile(DEVICE_TUBE_END, 12, 22);
    ASSERT_TRUE(twoEntrances.SaveToPath(dir.File("two-entrances.lvl")));
    ASSERT_TRUE(twoExits.SaveToPath(dir.File("two-exits.lvl")));
    ASSERT_TRUE(WriteFileText(dir.File("junk.lvl"), "not a level"));
    // The walk level as a level source; with a key the game would ignore in
    // its solution (its line 29); and with a stray carriage return.
    const std::string walkSource =
        "heading: Walk\nbackground: 0\n" + worldtest::PictureSection("tiles", {"..S...E", std::string(32, '#')});
    ASSERT_TRUE(WriteFileText(dir.File("walk.txt"), walkSource));
    ASSERT_TRUE(WriteFileText(dir.File("key999.txt"), walkSource + "solution:\n50 999 down\n"));
    ASSERT_TRUE(WriteFileText(dir.File("cr.txt"), "heading: Walk\nti\rles:\n"));
    // Bytes that are no UTF-8 in a section's name, beside a character that is
    // (an e with an acute, written as it is) and one of the controls U+0080..U+009F.
    ASSERT_TRUE(WriteFileText(dir.File("ff.txt"), "heading: Walk\nti\xffl\xc3\xa9s\xc2\x9b:\n"));
    ASSERT_TRUE(WriteFileText(dir.File("cut.txt"), "heading: Walk\ntiles\xc0\xaf\xed\xa0\x80\xe2\x82:\n"));
    // The walk level at the largest size a source and a level file can have
    // (a long comment; bytes after the solution), and one byte past it.
    const auto comment = [&](long bytes) { return "#" + std::string(static_cast<size_t>(bytes) - 2, '-') + "\n"; };
    const long sourceRoom = CLevelSource::kMaxBytes - static_cast<long>(walkSource.size());
    ASSERT_TRUE(WriteFileText(dir.File("largest.txt"), comment(sourceRoom) + walkSource));
    ASSERT_TRUE(WriteFileText(dir.File("over.txt"), comment(sourceRoom + 1) + walkSource));
    std::vector<uint8_t> bytes = ReadFileBytes(dir.File("walk.lvl"));
    bytes.resize(static_cast<size_t>(CLevel::kFileBytesMax));
    ASSERT_TRUE(WriteFileBytes(dir.File("largest.lvl"), bytes));
    bytes.push_back(0);
    ASSERT_TRUE(WriteFileBytes(dir.File("over.lvl"), bytes));
    // A source without end.
    ASSERT_EQ(symlink("/dev/zero", dir.File("zero.txt").c_str()), 0);

    // A level source runs as its level file does; every solution key is
    // taken, by its name or its number.
    for (const std::string& level :
         {dir.File("walk.txt"), dir.File("walk.lvl"), dir.File("largest.txt"), dir.File("largest.lvl")}) {
        for (const char* keys : {"50:slot1:down,50:slot9:down,51:turn:down,52:turn:up,60:right:down",
                                 "50:49:0,50:57:0,51:102:0,52:102:1,60:275:0"}) {
            const ProgramRun o = Sim("--keys \"" + std::string(keys) + "\" " + level, err);
            EXPECT_EQ(o.code, 0) << level << ": " << ReadFileText(err);
            EXPECT_NE(o.out.find("\"result\": \"exited\""), std::string::npos) << o.out;
        }
    }
    // A damaged level file whose name holds control bytes: the game's own
    // line on it reaches the terminal escaped.
    ASSERT_TRUE(WriteFileText(dir.File("esc\x1b[2J.lvl"), "not a level"));

    const struct {
        std::string args;
        std::string says;
    } refusals[] = {
        {dir.File("missing.lvl"), "there is no level file " + dir.File("missing.lvl")},
        {dir.File("junk.lvl"), dir.File("junk.lvl") +
                                   " cannot be read: it is damaged or no level of this game (CLevel::Load()   Level "
                                   "file too short:  'junk')"},
        {dir.File("two-entrances.lvl"), "2 entrance tubes"},
        {dir.File("two-exits.lvl"), "2 exit tubes"},
        {"--keys 60:999:0 " + dir.File("walk.lvl"), "999 is no solution key"},
        {"--keys 60:48:0 " + dir.File("walk.lvl"), "48 is no solution key"},
        {"--keys 60:58:0 " + dir.File("walk.lvl"), "58 is no solution key"},
        {"--keys 60:272:0 " + dir.File("walk.lvl"), "272 is no solution key"},
        {"--keys 60:277:0 " + dir.File("walk.lvl"), "277 is no solution key"},
        {"--keys 60:103:0 " + dir.File("walk.lvl"), "103 is no solution key"},
        {"--keys 60:275:2 " + dir.File("walk.lvl"), "'60:275:2'"},
        {"--keys 60:jump:down " + dir.File("walk.lvl"), "malformed key record '60:jump:down' (FRAME:KEY:down|up)"},
        {"--keys 60:right:pressed " + dir.File("walk.lvl"), "malformed key record '60:right:pressed'"},
        {"--keys 60:slot0:down " + dir.File("walk.lvl"), "malformed key record '60:slot0:down'"},
        {"'" + dir.File("esc\x1b[2J.lvl") + "'",
         "(CLevel::Load()   Level file too short:  'esc\\x1b[2J')"},
        {"--keys 60:275:-1 " + dir.File("walk.lvl"), "'60:275:-1'"},
        {"--shot \"\" " + dir.File("walk.lvl"), "--shot needs a file name"},
        {"--shot-end \"\" " + dir.File("walk.lvl"), "--shot-end needs a file name"},
        {dir.File("key999.txt"), "key999.txt: line 29: 999 is no solution key"},
        {dir.File("cr.txt"), "unknown section 'ti\\rles'"},
        {dir.File("ff.txt"), "unknown section 'ti\\xffl\xc3\xa9s\\xc2\\x9b'"},
        {dir.File("cut.txt"), "unknown section 'tiles\\xc0\\xaf\\xed\\xa0\\x80\\xe2\\x82'"},
        {"reg:-1", "bad level number in reg:-1"},
        {"kid:81", "no level kid:81 in the level pack"},
        {"reg:10000", "bad level number in reg:10000"},
        {"--keys 0:275:0 " + dir.File("walk.lvl"), "'0:275:0'"},
        // A frame is its digits alone, as every number the tools read.
        {"--keys ' 5:right:down' " + dir.File("walk.lvl"), "malformed key record ' 5:right:down'"},
        {"--keys '5:right:down, 60:right:up' " + dir.File("walk.lvl"), "malformed key record ' 60:right:up'"},
        {"--keys +5:right:down " + dir.File("walk.lvl"), "malformed key record '+5:right:down'"},
        {"--keys 0x10:right:down " + dir.File("walk.lvl"), "malformed key record '0x10:right:down'"},
        {"--frames -1 " + dir.File("walk.lvl"), "--frames needs a number from 0"},
        {"--frames 10000001 " + dir.File("walk.lvl"), "--frames needs a number from 0"},
        {"--keys 60:275:0 --no-keys " + dir.File("walk.lvl"), "--keys and --no-keys exclude each other"},
        {"--keys 60:275:0 --keys 61:275:1 " + dir.File("walk.lvl"), "--keys given twice"},
        {"--frames 5 " + dir.File("walk.lvl") + " --frames 6", "--frames given twice"},
        {"", "no level given"},
        {dir.File("over.txt"), dir.File("over.txt") + " is larger than any level source can be"},
        {dir.File("zero.txt"), dir.File("zero.txt") + " is larger than any level source can be"},
        {dir.File("over.lvl"), dir.File("over.lvl") + " is larger than any level file can be"},
        {dir.File("walk.lvl") + " " + dir.File("walk.lvl"), "one level only"},
        {"--shot " + dir.File("no/shot.bmp") + " " + dir.File("walk.lvl"),
         "cannot write " + dir.File("no/shot.bmp") + ": No such file or directory"},
        {"--shot-end " + dir.Path() + " " + dir.File("walk.lvl"), "cannot write " + dir.Path() + ": it is a folder"},
    };
    for (const auto& r : refusals) EXPECT_TRUE(IsOneLineRefusal("zorv_sim", Sim(r.args, err), err, r.says)) << r.args;
    // On a full disk, and under a file-size limit that no signal of it ends
    // the tool, the picture is refused with the reason, and nothing is left
    // of it.
    CTempDir full;
    const std::string shot = kSim + "--shot " + full.File("a.bmp") + " " + dir.File("walk.lvl");
    for (const std::string& limited : {OnAFullDisk(shot), "(ulimit -f 2; exec " + shot + ")"}) {
        EXPECT_TRUE(IsOneLineRefusal("zorv_sim", RunProgram(limited, err), err,
                                     "cannot write " + full.File("a.bmp") + ": File too large"))
            << limited;
        EXPECT_TRUE(FolderEntries(full.Path()).empty()) << limited;
    }
    // The game's own reason for the damaged file is in its refusal; no tool
    // touches the game's folders or its log (a copy of it may be running).
    EXPECT_EQ(FolderEntries(home.Path()), std::vector<std::string>{});
}

// A tool whose standard output cannot be written fails and says so in one
// line, exit code 2: its answer or its usage to /dev/full, or to a file on a
// full disk (which takes not one byte), or to a reader that went away; the
// same answer to a file that takes it is a success.
TEST(ToolPrograms, FailInOneLineWhenTheirStandardOutputCannotBeWritten) {
    CScopedHome home;
    CTempDir dir;
    const std::string err = dir.File("err.txt");
    const std::string run = std::string(ZORV_RUN_DIR) + "/";
    const std::string examples = std::string(ZORV_SOURCE_DIR) + "/tools/design/examples";
    const std::string table = run + "zorv_solve --table " + examples + " --from 4 --to 5";
    // No file takes a byte there, so standard error comes out through the
    // pipe that standard output would take.
    const auto onAFullDisk = [&](const std::string& command) {
        return "(trap '' XFSZ; ulimit -f 0; exec " + command + " 2>&1 > " + dir.File("o.json") + ")";
    };
    const struct {
        std::string command;
        int code;
        std::string says;  // the refusal, when the code is 2
    } rows[] = {
        {run + "zorv_sim reg:0 > /dev/full", 2, "zorv_sim: cannot write the standard output: No space left on device"},
        {run + "zorv_sim --help > /dev/full", 2, "zorv_sim: cannot write the standard output"},
        {run + "zorv_solve " + examples + "/push.txt > /dev/full", 2, "zorv_solve: cannot write the standard output"},
        {table + " > /dev/full", 2, "zorv_solve: cannot write the standard output"},
        {run + "zorv_solve --help > /dev/full", 2, "zorv_solve: cannot write the standard output"},
        {run + "zorv_gallery " + examples + " --from 6 --out " + dir.File("g") + " > /dev/full", 2,
         "zorv_gallery: cannot write the standard output"},
        {run + "zorv_gallery --help > /dev/full", 2, "zorv_gallery: cannot write the standard output"},
        {onAFullDisk(run + "zorv_sim reg:0"), 2, "zorv_sim: cannot write the standard output: File too large"},
        {onAFullDisk(table), 2, "zorv_solve: cannot write the standard output: File too large"},
        {run + "zorv_sim reg:0 > " + dir.File("o.json"), 0, ""},
        {table + " > " + dir.File("o.json"), 0, ""},
    };
    for (const auto& r : rows) {
        const ProgramRun o = RunProgram(r.command, err);
        if (r.command.find("ulimit") != std::string::npos) {
            EXPECT_EQ(o.code, 2) << r.command;
            EXPECT_EQ(o.out, r.says + "\n") << r.command;
            EXPECT_EQ(ReadFileText(dir.File("o.json")), "") << r.command;
        } else if (r.code == 2) {
            EXPECT_TRUE(IsOneLineRefusal(r.says.substr(0, r.says.find(':')), o, err, r.says)) << r.command;
        } else {
            EXPECT_EQ(o.code, r.code) << r.command << ": " << ReadFileText(err);
            EXPECT_GT(ReadFileText(dir.File("o.json")).size(), 100u) << r.command;
        }
    }
    // A reader that goes away (| head) costs no file the user named: the plot
    // is drawn whole, and only then is the lost answer told.
    EXPECT_EQ(RunProgramWithoutReader(table + " --plot " + dir.File("plot.png"), err), 2);
    EXPECT_EQ(ReadFileText(err), "zorv_solve: cannot write the standard output: Broken pipe\n");
    EXPECT_EQ(ReadFileBytes(dir.File("plot.png")).at(1), 'P');
}

// What --help says, as a reader (and a manual page made from it) takes it: a
// list of options ("Options:", "Search:", ... up to a blank line) holds
// options and the lines that go on with them, nothing else.
TEST(ToolPrograms, TheirHelpKeepsEveryListOfOptionsWhole) {
    CTempDir dir;
    const std::string err = dir.File("err.txt");
    for (const char* tool : {"zorv_sim", "zorv_solve", "zorv_gallery"}) {
        const ProgramRun o = RunProgram(std::string(ZORV_RUN_DIR) + "/" + tool + " --help", err);
        EXPECT_EQ(o.code, 0) << tool;
        std::istringstream in(o.out);
        bool inList = false;
        int options = 0;
        for (std::string line; std::getline(in, line);) {
            if (line.empty()) {
                inList = false;
            } else if (inList) {
                EXPECT_EQ(line.compare(0, 2, "  "), 0) << tool << ": inside a list of options: " << line;
                options += line.compare(0, 4, "  --") == 0 ? 1 : 0;
            } else {
                inList = line.back() == ':' && line[0] != ' ';
            }
        }
        EXPECT_GE(options, 3) << tool;
    }
}

// The game's own lines in a tool reach the terminal with the control bytes a
// level file gave them escaped: a line printed as it comes, and one held while
// a file was read and then printed.
TEST(ToolLog, EscapesTheControlBytesInTheGamesLines) {
    EXPECT_EXIT(
        {
            StartToolLog("zorv_tool");
            DebugLog(DBG_ERROR, "CLevel::Load()   Damaged solution in '%s'\n", "esc\x1b[2J");
            HoldToolLog();
            DebugLog(DBG_ERROR, "CLevel::Load()   Damaged solution in '%s'\n", "bell\a");
            ReleaseToolLog(true);
            fflush(stderr);
            _exit(0);
        },
        ::testing::ExitedWithCode(0),
        "^zorv_tool: CLevel::Load\\(\\)   Damaged solution in 'esc\\\\x1b\\[2J'\n"
        "zorv_tool: CLevel::Load\\(\\)   Damaged solution in 'bell\\\\x07'\n$");
}
