// zorv_gallery: contact sheets of level pictures for the level designer.
//
//   zorv_gallery [options] SET
//
// See kUsage for the options.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "tools/design/CContactSheet.h"
#include "tools/design/CLevelTool.h"
#include "tools/design/CSolver.h"
#include "tools/design/CToolOptions.h"
#include "tools/design/LevelFiles.h"
#include "tools/design/LevelMechanics.h"
#include "tools/design/LevelPicture.h"
#include "tools/design/ToolOutput.h"
#include "tools/design/ToolRefusal.h"
#include "world/CLevel.h"

namespace {

const char* const kUsage =
    "Usage: zorv_gallery [options] SET\n"
    "Draws one picture per level, as the play screen shows it once the level is\n"
    "built, onto contact sheets (PNG), each picture captioned with the level's\n"
    "name (reg:N with the game's name beside it, or the file's name) and\n"
    "heading, its mechanics and the length of the solution it stores, in steps\n"
    "as the game counts them (in red: none, or one that does not exit).\n"
    "\n"
    "SET               reg, adv or kid (the game's level pack), or a folder of\n"
    "                  level sources (.txt) and level files (.lvl)\n"
    "\n"
    "Options:\n"
    "  --out PREFIX      the sheets are PREFIX-1.png, PREFIX-2.png, ... (default:\n"
    "                    gallery-SET in the current folder)\n"
    "  --columns N       pictures per row (default 5)\n"
    "  --rows N          rows per sheet (default 6)\n"
    "  --scale S         size of a picture against the 800 x 600 screen\n"
    "                    (default 0.3)\n"
    "  --from N, --to N  only the levels N (from 0) to N of the set\n"
    "  --help            this text\n"
    "\n"
    "A sheet has no more columns and rows than its pictures fill, and at most\n"
    "50 million pixels (200 MB while it is drawn). A caption takes as many\n"
    "lines as it needs. The written sheets are printed, one per line.\n"
    "\n"
    "Sheets of an earlier gallery: once every sheet is written, the files\n"
    "PREFIX-N.png numbered past the last one written (from there on, as far\n"
    "as they run without a gap) are removed if they carry the mark every sheet\n"
    "of this tool carries (a PNG text entry); anything else there (a link, a\n"
    "file without the mark, a sheet that may not be removed) is left as it is.\n"
    "Each removed or left file is named in a line on stderr.\n"
    "\n"
    "Exit codes: 0 the sheets were written; 2 bad options, an unknown set, an\n"
    "unreadable level, a sheet too large or one that cannot be written (then\n"
    "no sheet is written, and those of an earlier gallery stay as they were);\n"
    "130, 143 stopped by Ctrl+C or SIGTERM.\n";

}  // namespace

namespace {

int Run(int argc, char** argv) {
    std::string set, prefix;
    long columns = 5, rows = 6, from = 0, to = 1000000;
    double scale = 0.3;
    CToolOptions options("zorv_gallery", kUsage);
    options.Parsed("--out", "a file name prefix", [&prefix](const std::string& text, std::string* why) {
        // Else the sheets would be "-1.png", "-2.png", ... in that folder.
        if (text.back() == '/') {
            *why = text + " names a folder; give the sheets a name in it (" + text + "sheet)";
            return false;
        }
        prefix = text;
        return true;
    });
    options.Integer("--columns", 1, 40, "a number from 1 to 40", &columns);
    options.Integer("--rows", 1, 40, "a number from 1 to 40", &rows);
    options.Real("--scale", 0.05, 1, "a number from 0.05 to 1", &scale);
    options.Integer("--from", 0, 1000000, "a level number", &from);
    options.Integer("--to", 0, 1000000, "a level number", &to);
    options.Plain("set", &set);
    if (!options.Read(argc, argv)) return options.ExitCode();

    CLevelTool tool("zorv_gallery");
    if (set.empty()) return tool.Refuse("no set given (see --help)");
    const bool pack = set == "reg" || set == "adv" || set == "kid";
    if (!pack) {
        set = PlatformAbsolutePath(set);
        while (set.size() > 1 && set.back() == '/') set.pop_back();
    }
    if (prefix.empty()) prefix = "gallery-" + set.substr(set.rfind('/') + 1);
    prefix = PlatformAbsolutePath(prefix);
    std::string error;
    if (!CheckOutputPath(prefix + "-1.png", &error)) return tool.Refuse(error);

    if (!tool.StartWorld(&error)) return tool.Refuse(error);
    std::vector<SetLevel> levels;
    if (!CollectLevelSet(set, static_cast<int>(from), static_cast<int>(to), &levels, &error)) return tool.Refuse(error);
    std::string title = LevelSetTitle(set);
    title[0] = static_cast<char>(toupper(title[0]));
    std::vector<SheetCaption> captions;
    for (const SetLevel& l : levels) {
        SheetCaption c;
        c.title = {l.Label() + "  ", l.level->GetHeadingText()};
        const std::vector<std::string> mechanics = LevelMechanicsOrPlain(*l.level);
        for (size_t i = 0; i < mechanics.size(); ++i)
            c.detail.push_back(mechanics[i] + (i + 1 < mechanics.size() ? ", " : "; "));
        bool exits = false;
        c.detail.push_back(CSolver::DescribeStoredSolution(l.level, &exits));
        c.warn = !exits;
        captions.push_back(c);
    }
    CContactSheet sheet(title, prefix, static_cast<int>(columns), static_cast<int>(rows), scale, captions);
    if (!sheet.Fits(&error)) return tool.Refuse(error + ": take fewer --columns or --rows, or a smaller --scale");
    int code = 0;
    for (SetLevel& l : levels) {
        cairo_surface_t* picture = PictureLevel(l.level, &error);
        if (!picture) {
            code = tool.Refuse(l.name + ": " + error);
            break;
        }
        const bool ok = sheet.Add(picture, &error);
        cairo_surface_destroy(picture);
        if (!ok) {
            code = tool.Refuse(error);
            break;
        }
    }
    // Every sheet is written at the end, all or none: a gallery that fails
    // leaves the sheets of an earlier one as they were.
    if (code == 0 && !sheet.Finish(&error)) code = tool.Refuse(error);
    for (const std::string& note : sheet.Notes()) fprintf(stderr, "zorv_gallery: %s\n", EscapeControls(note).c_str());
    if (code == 0)
        for (const std::string& page : sheet.Written()) printf("%s\n", EscapeControls(page).c_str());
    return code;
}

}  // namespace

int main(int argc, char** argv) { return RunTool("zorv_gallery", Run, argc, argv); }
