// zorv_solve: the level solver of the level-design tools.
//
//   zorv_solve [options] LEVEL
//   zorv_solve [options] --table SET [--plot FILE.png]
//
// See kUsage for the options.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/JsonText.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "tools/design/CLevelTool.h"
#include "tools/design/CRestRunner.h"
#include "tools/design/CSolver.h"
#include "tools/design/DifficultyPlot.h"
#include "tools/design/LevelFiles.h"
#include "tools/design/CToolOptions.h"
#include "tools/design/LevelMechanics.h"
#include "tools/design/ToolOutput.h"
#include "tools/design/ToolRefusal.h"
#include "world/CLevel.h"
#include "world/CLevelRules.h"
#include "world/CElement.h"
#include "world/SolutionKeys.h"

namespace {

const char* const kUsage =
    "Usage: zorv_solve [options] LEVEL\n"
    "       zorv_solve [options] --table SET [--plot FILE.png]\n"
    "Finds a shortest solution of a level in commands (a direction key pressed\n"
    "once, the turn key, a power-up used), each run from rest to rest over the\n"
    "game's own world step, or shows that there is none within the bounds.\n"
    "A solution's length is given in steps, as the game counts them: the\n"
    "hero's walks and climbs from one cell to the next.\n"
    "\n"
    "LEVEL             a .lvl file, a level source .txt, or reg:N, adv:N, kid:N\n"
    "                  for level N (from 0) of the game's level pack\n"
    "\n"
    "Search:\n"
    "  --max-commands N  search solutions of up to N commands (default 40)\n"
    "  --max-states N    stop after N positions (default 200000)\n"
    "  --max-seconds S   stop after S seconds (default: no limit)\n"
    "  --rest-frames N   a command whose world is not at rest after N frames\n"
    "                    is a dead end (default 3000)\n"
    "  --rebuild         go back to a position by building the world again and\n"
    "                    replaying its commands, never through undo\n"
    "  --progress        a line on stderr for every depth searched\n"
    "  --play LIST       search nothing: play these commands from rest to rest\n"
    "                    (\"right*3 up slot1 ...\", NAME*N repeats) and print\n"
    "                    where the hero stands after each; a list that exits\n"
    "                    is a solution (--write-source stores it)\n"
    "\n"
    "Output:\n"
    "  --write-source    write the solution into the solution: section of LEVEL,\n"
    "                    a level source (.txt)\n"
    "  --write-lvl FILE  write the level with its solution as a .lvl file\n"
    "  --json            print the result as one JSON object\n"
    "\n"
    "A level set:\n"
    "  --table SET       solve every level of SET (reg, adv, kid: the level pack;\n"
    "                    or a folder of level sources and .lvl files) and print\n"
    "                    one line per level: steps, positions searched,\n"
    "                    mechanics\n"
    "  --from N, --to N  only the levels N (from 0) to N of the set\n"
    "  --plot FILE.png   draw the difficulty along the set\n"
    "  --help            this text\n"
    "\n"
    "Exit codes: 0 solved (every level of a table) and replayed to the exit;\n"
    "1 not solved or the replay failed; 2 bad options, an unreadable level or a\n"
    "file that cannot be written; 130, 143 stopped by Ctrl+C or SIGTERM.\n";

std::string CommandList(const std::vector<int>& codes) {
    std::string text;
    for (int c : codes) text += (text.empty() ? "" : " ") + SolutionKeyName(c);
    return text;
}

// One line of figures, also written above a stored solution.
std::string Figures(const SolverResult& r) {
    char buf[200];
    snprintf(buf, sizeof buf, "%d steps, %ld positions closer, exit in frame %d", r.steps, r.states, r.exitFrame);
    return buf;
}

// Text a level file gave (a name, a heading) as a line of the answer shows
// it: its control bytes escaped, never sent to the terminal raw; padded to
// width characters.
std::string Shown(const std::string& text, size_t width = 0) {
    std::string shown = EscapeControls(text);
    size_t characters = 0;
    for (const char c : shown) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    if (characters < width) shown.append(width - characters, ' ');
    return shown;
}

void PrintResult(const std::string& name, const std::string& gameName, const CLevel& level, const SolverResult& r) {
    printf("level:     %s \"%s\"\n", Shown(LevelLabel(name, gameName)).c_str(), Shown(level.GetHeadingText()).c_str());
    printf("mechanics: %s\n", LevelMechanicsText(level).c_str());
    if (r.outcome == SolverResult::SOLVED) {
        printf("outcome:   solved in %d steps, the hero enters the exit in frame %d\n", r.steps, r.exitFrame);
        printf("commands:  %s\n", CommandList(r.commands).c_str());
        printf("replay:    %s\n", r.verifyResult.c_str());
    } else {
        printf("outcome:   %s", SolverResult::OutcomeName(r.outcome));
        if (r.outcome == SolverResult::UNSOLVABLE)
            printf(": all %ld positions the hero can reach were searched, the farthest %d commands away", r.states,
                   r.depth);
        if (r.outcome == SolverResult::COMMAND_BOUND) printf(" of %d (every position up to there searched)", r.depth);
        printf("\n");
        if (!r.error.empty()) printf("reason:    %s\n", Shown(r.error).c_str());
    }
    printf("positions: %ld %s\n", r.states,
           r.outcome == SolverResult::SOLVED ? "fewer commands away than the solution, each searched"
                                             : "found, each searched");
    printf("search:    %ld positions found, %ld searches, %ld commands run (%ld lost the level, %ld never came to "
           "rest)\n",
           r.found, r.expanded, r.runs, r.lost, r.unsettled);
    printf("speed:     %.0f positions/s, %.0f commands/s (%.2f s, %ld frames, %ld builds, %ld undo loads%s)\n",
           r.StatesPerSecond(), r.seconds > 0 ? r.runs / r.seconds : 0.0, r.seconds, r.frames, r.rebuilds, r.loads,
           r.usedUndo ? "" : ", no undo");
    if (!r.note.empty()) printf("note:      %s\n", r.note.c_str());
}

void PrintJson(const std::string& name, const std::string& gameName, const CLevel& level, const SolverResult& r) {
    printf("{\"level\": %s, \"game_name\": %s, \"heading\": %s, \"outcome\": %s, \"commands\": [",
           JsonText(name).c_str(), gameName.empty() ? "null" : JsonText(gameName).c_str(),
           JsonText(level.GetHeadingText()).c_str(), JsonText(SolverResult::OutcomeName(r.outcome)).c_str());
    for (size_t i = 0; i < r.commands.size(); ++i)
        printf("%s%s", i ? ", " : "", JsonText(SolutionKeyName(r.commands[i])).c_str());
    // Each record as zorv_sim --keys takes it: frame, key name, down or up.
    printf("], \"records\": [");
    for (size_t i = 0; i < r.records.size(); ++i)
        printf("%s[%d, %s, \"%s\"]", i ? ", " : "", r.records[i].frame, JsonText(SolutionKeyName(r.records[i].key)).c_str(),
               r.records[i].released ? "up" : "down");
    printf("], \"steps\": %d, \"exit_frame\": %d, \"replay\": %s, \"states\": %ld, \"found\": %ld, \"expanded\": %ld, \"runs\": %ld, \"lost\": %ld, "
           "\"unsettled\": %ld, \"depth\": %d, \"frames\": %ld, \"seconds\": %.3f, \"states_per_second\": %.1f, "
           "\"mechanics\": [",
           r.steps, r.exitFrame, JsonText(r.verifyResult).c_str(), r.states, r.found, r.expanded, r.runs, r.lost, r.unsettled, r.depth,
           r.frames, r.seconds, r.StatesPerSecond());
    const std::vector<std::string> mechanics = LevelMechanics(level);
    for (size_t i = 0; i < mechanics.size(); ++i) printf("%s%s", i ? ", " : "", JsonText(mechanics[i]).c_str());
    printf("], \"note\": %s, \"error\": %s}\n", JsonText(r.note).c_str(), JsonText(r.error).c_str());
}

bool ParseCommandList(const std::string& list, std::vector<int>* codes, std::string* error) {
    size_t at = 0;
    while (at < list.size()) {
        const size_t start = list.find_first_not_of(" ,\t\n", at);
        if (start == std::string::npos) break;
        at = list.find_first_of(" ,\t\n", start);
        if (at == std::string::npos) at = list.size();
        std::string word = list.substr(start, at - start);
        long times = 1;
        const size_t star = word.find('*');
        if (star != std::string::npos) {
            if (!ReadNumber(word.substr(star + 1), 1L, 1000L, &times)) {
                *error = "a bad repeat in \"" + word + "\"";
                return false;
            }
            word.resize(star);
        }
        // A command by its name, as a level source's solution names it.
        const int code = SolutionKeyForName(word);
        if (!IsSolutionKey(code) || SolutionKeyName(code) != word) {
            *error = "no command \"" + word + "\"";
            return false;
        }
        codes->insert(codes->end(), static_cast<size_t>(times), code);
    }
    return true;
}

// The grid after the last command, in the level source's characters as far as
// they go (@ the hero, x a bot, G a closed gate, = a platform), the rows that
// hold anything; then the frozen and hot elements.
void PrintGrid() {
    std::string notes;
    for (int y = 0; y < 24; ++y) {
        std::string row;
        for (int x = 0; x < 32; ++x) {
            const CElement* e = CElement::GetElementAt(x, y, false);
            char c = '.';
            if (e->IsProfessor()) c = '@';
            else if (e->IsBot()) c = 'x';
            else if (e->IsGrass()) c = '#';
            else if (e->IsSand()) c = ':';
            else if (e->IsIce()) c = '~';
            else if (e->IsBridge()) c = '_';
            else if (e->IsGate()) c = 'G';
            else if (e->IsCrate()) c = e->METALLIC ? 'C' : 'c';
            else if (e->IsBarrel()) c = e->METALLIC ? 'O' : 'o';
            else if (e->IsMagnet()) c = e->IsMagnetOrientation1() ? '<' : '>';
            else if (e->IsLadder()) c = '=';
            else if (!e->IsNull()) c = '?';
            if (!e->IsNull() && (e->IsFrozen() || e->IsHeated()) && !e->IsTerrain())
                notes += " " + std::string(1, c) + (e->IsFrozen() ? " frozen" : " hot") + " at " +
                         std::to_string(x) + "," + std::to_string(y) + ";";
            row += c;
        }
        if (row.find_first_not_of('.') != std::string::npos) printf("     %2d %s\n", y, row.c_str());
    }
    if (!notes.empty()) printf("    %s\n", notes.c_str());
}

// Plays the commands from rest to rest as the solver would and fills r as a
// found solution when the hero enters the exit with the last command.
void PlayCommands(CLevel* level, const std::vector<int>& codes, int restFrames, SolverResult* r) {
    CRestRunner runner(level, restFrames);
    CRestRunner::Outcome how;
    int rest = 0;
    if (!runner.Build(&how, &rest, &r->error)) {
        r->outcome = SolverResult::NOT_PLAYABLE;
        return;
    }
    r->outcome = SolverResult::COMMAND_BOUND;
    if (how != CRestRunner::REST) r->error = "the level ends before the first command";
    for (size_t i = 0; i < codes.size() && how == CRestRunner::REST; ++i) {
        int frames = 0;
        runner.Press(codes[i]);
        how = runner.Finish(codes[i], &frames);
        r->commands.push_back(codes[i]);
        r->records.push_back({rest + 1, codes[i], false});
        r->records.push_back({rest + 2, codes[i], true});
        rest += frames;
        const CElement* hero = CElement::GetHero();
        const char* what = how == CRestRunner::REST      ? "rest"
                           : how == CRestRunner::EXITED  ? "EXITED"
                           : how == CRestRunner::LOST    ? "LOST"
                                                         : "RESTLESS";
        printf("%4zu %-6s %-8s frame %5d  hero %d,%d\n", i + 1, SolutionKeyName(codes[i]).c_str(), what, rest,
               hero ? hero->GetCurrentX() : -1, hero ? hero->GetCurrentY() : -1);
    }
    r->depth = static_cast<int>(r->commands.size());
    if (how != CRestRunner::EXITED) PrintGrid();
    if (how == CRestRunner::EXITED && r->commands.size() == codes.size()) {
        r->outcome = SolverResult::SOLVED;
        r->exitFrame = rest;
        int frames = 0;
        r->verifyResult = CSolver::Replay(level, r->records, rest + CSolver::kReplayFramesAfter, &frames, &r->steps);
        r->verified = r->verifyResult == "exited";
    }
}

bool Succeeded(const SolverResult& r) { return r.outcome == SolverResult::SOLVED && r.verified; }

int RunTable(const CLevelTool& tool, const std::string& set, int from, int to, const SolverOptions& options,
             const std::string& plot) {
    std::vector<SetLevel> levels;
    std::string error;
    if (!CollectLevelSet(set, from, to, &levels, &error)) return tool.Refuse(error);
    printf("%-26s %-32s %-9s %8s %9s %8s %8s  %s\n", "level", "heading", "outcome", "steps", "positions", "frames",
           "seconds", "mechanics");
    std::vector<PlotLevel> plotted;
    int failed = 0;
    double seconds = 0;
    long found = 0;
    int stored = 0;
    for (SetLevel& t : levels) {
        CSolver solver(t.level, options);
        const SolverResult r = solver.Solve();
        const bool ok = Succeeded(r);
        // A level whose solution lies beyond the search's bounds is measured
        // by the solution it stores, if that replays to the exit.
        const bool bound = r.outcome == SolverResult::COMMAND_BOUND || r.outcome == SolverResult::STATE_BOUND ||
                           r.outcome == SolverResult::TIME_BOUND;
        int storedSteps = 0, storedFrames = 0;
        const bool byStored = bound && CSolver::ReplayStored(t.level, &storedFrames, &storedSteps) == "exited";
        stored += byStored ? 1 : 0;
        failed += ok || byStored ? 0 : 1;
        seconds += r.seconds;
        found += r.found;
        const char* outcome = ok                                          ? "solved"
                              : byStored                                  ? "stored"
                              : r.outcome == SolverResult::SOLVED         ? "BADREPLAY"
                              : r.outcome == SolverResult::UNSOLVABLE     ? "NONE"
                              : r.outcome == SolverResult::NOT_PLAYABLE   ? "BROKEN"
                                                                          : "BOUND";
        const std::string steps = ok ? std::to_string(r.steps) : byStored ? std::to_string(storedSteps) : "-";
        // A level the world cannot play says why, as one level does alone.
        const std::string why = r.outcome == SolverResult::NOT_PLAYABLE && !r.error.empty() ? "; " + r.error : "";
        printf("%s %s %-9s %8s %9ld %8d %8.2f  %s%s\n", Shown(t.Label(), 26).c_str(),
               Shown(t.level->GetHeadingText(), 32).c_str(), outcome,
               steps.c_str(), r.states, byStored ? storedFrames : r.exitFrame, r.seconds,
               LevelMechanicsText(*t.level).c_str(), Shown(why).c_str());
        // A reader that went away (| head) stops a table that only fed it;
        // a plot it named is drawn all the same.
        if (!FlushStandardOutput() && plot.empty()) return failed == 0 ? 0 : 1;
        PlotLevel p;
        p.label = t.name;
        p.tutorial = t.tutorial;
        p.solved = r.outcome == SolverResult::SOLVED || byStored;
        p.stored = byStored;
        p.steps = byStored ? storedSteps : r.steps;
        p.states = r.states;
        plotted.push_back(p);
    }
    printf("%zu levels, %zu solved (%d of them beyond the search, by their stored solution); %ld positions found in "
           "%.1f s (%.0f positions/s)\n",
           levels.size(), levels.size() - static_cast<size_t>(failed), stored, found, seconds,
           seconds > 0 ? found / seconds : 0.0);
    if (!plot.empty()) {
        if (!DrawDifficultyPlot("Difficulty along " + LevelSetTitle(set), plotted, plot, &error))
            return tool.Refuse(error);
        printf("plot: %s\n", Shown(plot).c_str());
    }
    return failed == 0 ? 0 : 1;
}

}  // namespace

namespace {

int Run(int argc, char** argv) {
    SolverOptions options;
    std::string levelArg, table, plot, writeLvl, writeSource, error;
    std::vector<int> play;
    bool json = false, wantSource = false, rebuild = false;
    long maxCommands = options.maxCommands, maxStates = options.maxStates, restFrames = options.restFrames;
    long from = 0, to = 1000000;
    CToolOptions reader("zorv_solve", kUsage);
    reader.Integer("--max-commands", 1, 10000, "a number from 1", &maxCommands);
    reader.Integer("--max-states", 1, 1000000000, "a number from 1", &maxStates);
    reader.Real("--max-seconds", 0, 1e7, "a number of seconds", &options.maxSeconds);
    reader.Integer("--rest-frames", 1, 10000000, "a number from 1", &restFrames);
    reader.Flag("--rebuild", &rebuild);
    reader.Flag("--progress", &options.progress);
    reader.Parsed("--play", "commands",
                  [&](const std::string& text, std::string* why) { return ParseCommandList(text, &play, why); });
    reader.Flag("--json", &json);
    reader.Flag("--write-source", &wantSource);
    reader.Text("--write-lvl", "a file name", &writeLvl);
    reader.Text("--table", "a set: reg, adv, kid or a folder", &table);
    reader.Text("--plot", "a file name", &plot);
    reader.Integer("--from", 0, 1000000, "a level number", &from);
    reader.Integer("--to", 0, 1000000, "a level number", &to);
    reader.Plain("level", &levelArg);
    if (!reader.Read(argc, argv)) return reader.ExitCode();
    options.maxCommands = static_cast<int>(maxCommands);
    options.maxStates = maxStates;
    options.restFrames = static_cast<int>(restFrames);
    options.undo = !rebuild;

    CLevelTool tool("zorv_solve");
    if (table.empty() == levelArg.empty()) return tool.Refuse("give one LEVEL or --table SET (see --help)");
    if (!table.empty() && (wantSource || !writeLvl.empty() || json))
        return tool.Refuse("--write-source, --write-lvl and --json are for one level");
    for (const char* option : {"--plot", "--from", "--to"})
        if (reader.Given(option) && table.empty()) return tool.Refuse(std::string(option) + " goes with --table");

    // Paths are read before the headless world moves into the run folder.
    LevelArgument argument;
    if (!levelArg.empty() && !ReadLevelArgument(levelArg, &argument, &error)) return tool.Refuse(error);
    if (wantSource) {
        if (!IsLevelSourcePath(levelArg))
            return tool.Refuse("--write-source writes into a level source: give its .txt");
        writeSource = levelArg;
    }
    writeSource = PlatformAbsolutePath(writeSource);
    writeLvl = PlatformAbsolutePath(writeLvl);
    if (!table.empty() && table != "reg" && table != "adv" && table != "kid") {
        table = PlatformAbsolutePath(table);
        while (table.size() > 1 && table.back() == '/') table.pop_back();
    }
    plot = PlatformAbsolutePath(plot);
    // What is to be written is checked before the work.
    for (const std::string* path : {&writeSource, &writeLvl, &plot})
        if (!path->empty() && !CheckOutputPath(*path, &error)) return tool.Refuse(error);

    if (!tool.StartWorld(&error)) return tool.Refuse(error);
    if (!table.empty()) return RunTable(tool, table, static_cast<int>(from), static_cast<int>(to), options, plot);

    CLevel* level = ArgumentLevel(argument, &error);
    if (!level) return tool.Refuse(error);
    std::string fault;
    if (CLevelRules::FindPlayFault(*level, &fault) != CLevelRules::FAULT_NONE) return tool.Refuse(levelArg + ": " + fault);
    const std::string name = argument.set >= 0 ? PackSlotName(argument.set, argument.index) : levelArg;
    const std::string gameName = argument.set >= 0 ? GameLevelName(argument.set, argument.index) : "";
    SolverResult r;
    if (!play.empty()) {
        PlayCommands(level, play, options.restFrames, &r);
    } else {
        CSolver solver(level, options);
        r = solver.Solve();
    }
    if (json) {
        PrintJson(name, gameName, *level, r);
    } else if (!play.empty() && r.outcome != SolverResult::SOLVED) {
        printf("played:    %zu of %zu commands; the hero did not exit%s%s\n", r.commands.size(), play.size(),
               r.error.empty() ? "" : ": ", r.error.c_str());
    } else {
        PrintResult(name, gameName, *level, r);
    }
    if (Succeeded(r) && !writeSource.empty()) {
        const std::string figures = play.empty() ? Figures(r)
                                                 : std::to_string(r.steps) + " steps played by hand, exit in frame " +
                                                       std::to_string(r.exitFrame);
        if (!WriteSourceSolution(writeSource, r.records, figures, &error)) return tool.Refuse(error);
        if (!json) printf("written:   the solution into %s\n", Shown(writeSource).c_str());
    }
    if (Succeeded(r) && !writeLvl.empty()) {
        if (!WriteLevelWithSolution(*level, r.records, writeLvl, &error)) return tool.Refuse(error);
        if (!json) printf("written:   %s\n", Shown(writeLvl).c_str());
    }
    if (!Succeeded(r) && (!writeSource.empty() || !writeLvl.empty()))
        fprintf(stderr, "zorv_solve: no solution to write\n");
    return Succeeded(r) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) { return RunTool("zorv_solve", Run, argc, argv); }
