// zorv_sim: runs one level headless and prints what became of it as JSON.
//
//   zorv_sim [options] LEVEL
//
// LEVEL is a ".lvl" file, a level source ".txt", or reg:N, adv:N or kid:N for
// level N (from 0) of the game's level pack. The level's stored solution is played unless --keys or
// --no-keys says otherwise. See Usage() for the options.

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/CBackground.h"
#include "engine/CRender.h"
#include "engine/ReadNumber.h"
#include "platform/Platform.h"
#include "tools/design/CLevelTool.h"
#include "tools/design/CToolOptions.h"
#include "tools/design/LevelFiles.h"
#include "tools/design/ToolOutput.h"
#include "tools/design/ToolRefusal.h"
#include "world/CElement.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"
#include "world/SolutionKeys.h"

namespace {

const char* const kUsage =
    "Usage: zorv_sim [options] LEVEL\n"
    "Runs a level without a window and prints the outcome as one JSON object.\n"
    "\n"
    "LEVEL            a .lvl file, a level source .txt, or reg:N, adv:N, kid:N\n"
    "                 for level N (from 0) of the game's regular, advanced or\n"
    "                 kids set\n"
    "\n"
    "Options:\n"
    "  --keys LIST    play these key records instead of the level's solution:\n"
    "                 \"FRAME:KEY:down|up,...\" as a level source's solution has\n"
    "                 them, e.g. \"60:right:down,70:right:up\"; FRAME counts from\n"
    "                 1, KEY is left, right, up, down, turn or slot1 .. slot9 (the\n"
    "                 power-up positions); the key numbers 276, 275, 273, 274,\n"
    "                 102, 49 .. 57 and 0 for down, 1 for up are taken too\n"
    "  --no-keys      play nothing\n"
    "  --frames N     stop after N frames (default 20000); the run also stops\n"
    "                 once the level has ended\n"
    "  --check        test the world's invariants after every frame; stop at the\n"
    "                 first broken one, name it on stderr and exit with 1\n"
    "  --shot FILE    save the screen as a BMP picture once the level is built\n"
    "  --shot-end FILE  save it after the last frame\n"
    "  --help         this text\n"
    "\n"
    "Output: {\"result\": \"exited\" | \"caught\" | \"singed\" | \"fallen\" |\n"
    "\"tube-destroyed\" | \"running\", \"frames\": N, \"steps\": N, \"hero\": [col, row]\n"
    "or null, \"elements\": [{\"type\", \"col\", \"row\", \"frozen\", \"heated\",\n"
    "\"destroyed\"}, ...]}: the elements still in the world (not one burned, melted,\n"
    "collapsed or broken, a power-up picked up, a shot that struck or flew off,\n"
    "nor one fallen below the bottom row); \"destroyed\" is a bot that heat\n"
    "wrecked, which stays\n"
    "Exit codes: 0 the level ran; 1 a world invariant broke (--check);\n"
    "2 a missing, unreadable or unplayable level, bad options or malformed keys\n"
    "(one line on stderr, with the game's own reason where it gives one);\n"
    "130, 143 stopped by Ctrl+C or SIGTERM.\n";

// "FRAME:KEY:down|up,..."; KEY a name or a key number, and 0 or 1 for down
// or up (as earlier scripts wrote "60:275:0"). Nothing else: no blank, no
// sign before a frame. False with the offending record (and what is wrong
// with it) in *bad.
bool ParseKeys(const std::string& text, std::vector<ReplayKey>* keys, std::string* bad) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string record = text.substr(start, comma - start);
        const size_t c1 = record.find(':');
        const size_t c2 = c1 == std::string::npos ? std::string::npos : record.find(':', c1 + 1);
        long frame = 0;
        const std::string key = c2 == std::string::npos ? "" : record.substr(c1 + 1, c2 - c1 - 1);
        const std::string how = c2 == std::string::npos ? "" : record.substr(c2 + 1);
        const int code = SolutionKeyForName(key);
        const bool released = how == "up" || how == "1";
        if (c2 == std::string::npos || record.find(':', c2 + 1) != std::string::npos ||
            !ReadNumber(record.substr(0, c1), 1L, static_cast<long>(INT_MAX), &frame) || code < 0 ||
            !(released || how == "down" || how == "0")) {
            *bad = "'" + record + "' (FRAME:KEY:down|up)";
            return false;
        }
        if (!IsSolutionKey(code)) {
            *bad = "'" + record + "': " + NoSolutionKeyText(code);
            return false;
        }
        if (!keys->empty() && frame < keys->back().frame) {
            *bad = "'" + record + "': frames must not go back";
            return false;
        }
        ReplayKey k;
        k.frame = static_cast<int32_t>(frame);
        k.key = code;
        k.released = released;
        keys->push_back(k);
        if (comma == text.size()) break;
        start = comma + 1;
    }
    return true;
}

bool SaveShot(const std::string& path, std::string* error) {
    CRender::AddFullScreenDirtyRect();
    CRender::Render(false);
    CRender::ClearDirtyLists();
    return WriteScreenOutput(path, error);
}

}  // namespace

namespace {

int Run(int argc, char** argv) {
    std::string levelArg, keysArg, shot, shotEnd;
    bool noKeys = false, check = false;
    long frames = 20000;
    CToolOptions options("zorv_sim", kUsage);
    options.Text("--keys", "a list of records", &keysArg);
    options.Flag("--no-keys", &noKeys);
    options.Integer("--frames", 0, 10000000, "a number from 0", &frames);
    options.Flag("--check", &check);
    options.Text("--shot", "a file name", &shot);
    options.Text("--shot-end", "a file name", &shotEnd);
    options.Plain("level", &levelArg);
    if (!options.Read(argc, argv)) return options.ExitCode();
    const bool haveKeys = options.Given("--keys");

    CLevelTool tool("zorv_sim");
    if (levelArg.empty()) return tool.Refuse("no level given (see --help)");
    if (haveKeys && noKeys) return tool.Refuse("--keys and --no-keys exclude each other");
    std::vector<ReplayKey> keys;
    if (haveKeys) {
        std::string bad;
        if (!ParseKeys(keysArg, &keys, &bad)) return tool.Refuse("malformed key record " + bad);
    }

    // Which level: a pack slot or a file, read before we move to the run folder.
    std::string error;
    LevelArgument argument;
    if (!ReadLevelArgument(levelArg, &argument, &error)) return tool.Refuse(error);
    for (std::string* path : {&shot, &shotEnd}) {
        if (path->empty()) continue;
        *path = PlatformAbsolutePath(*path);
        if (!CheckOutputPath(*path, &error)) return tool.Refuse(error);
    }

    if (!tool.StartWorld(&error)) return tool.Refuse(error);
    CLevel* level = ArgumentLevel(argument, &error);
    if (!level) return tool.Refuse(error);

    CWorldRun run(level);
    if (noKeys) {
        run.SetKeys({});
    } else if (haveKeys) {
        run.SetKeys(keys);
    }
    if (!run.Start(&error)) return tool.Refuse("invalid level " + levelArg + ": " + error);
    std::unique_ptr<CBackground> background;
    if (!shot.empty() || !shotEnd.empty()) background.reset(new CBackground(level->GetBackground()));
    if (!shot.empty() && !SaveShot(shot, &error)) return tool.Refuse(error);
    run.Run(static_cast<int>(frames), check);
    if (!shotEnd.empty() && !SaveShot(shotEnd, &error)) return tool.Refuse(error);
    printf("%s\n", run.ToJson().c_str());
    if (run.GetFailure().empty()) return 0;
    fprintf(stderr, "zorv_sim: world invariant broken at %s\n", run.GetFailure().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) { return RunTool("zorv_sim", Run, argc, argv); }
