#include "tools/levels/CLevelSource.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "engine/Utilities.h"
#include "world/CLevel.h"
#include "world/SolutionKeys.h"
#include "world/pieces/SignDirective.h"

namespace {

// Every directive a source can spell fits a sign of a level file, which the
// game refuses beyond kSignTextMax.
static_assert(kSignDirectiveMax <= CLevel::kSignTextMax, "a sign's directive outgrows the level file's sign");

struct TileChar {
    char c;
    unsigned code;
};

// One character per cell content. Ladders and platforms have a picture of
// their own; teleports are listed by position.
const TileChar kTileChars[] = {
    {'.', NONE},
    {'?', TUTORIAL},
    {'S', DEVICE_TUBE_START},
    {'E', DEVICE_TUBE_END},
    {'#', TERRAIN_GRASS},
    {':', TERRAIN_SAND},
    {'~', TERRAIN_ICE},
    {'_', TERRAIN_BRIDGE},
    {'c', OBJECT_WCRATE},
    {'C', OBJECT_MCRATE},
    {'o', OBJECT_WBARREL},
    {'O', OBJECT_MBARREL},
    {'<', OBJECT_LMAGNET},
    {'>', OBJECT_RMAGNET},
    {'B', DEVICE_GATE_B},
    {'Y', DEVICE_GATE_Y},
    {'R', DEVICE_GATE_R},
    {'b', DEVICE_BUTTON_B},
    {'y', DEVICE_BUTTON_Y},
    {'r', DEVICE_BUTTON_R},
    {'T', DEVICE_TRAMPOLINE},
    {'v', BOT_HANG},
    {'(', BOT_LEFT},
    {')', BOT_RIGHT},
    {'F', POWERUP_FROSTGUN},
    {'H', POWERUP_HEATGUN},
    {'W', POWERUP_WHISTLE},
    {'P', POWERUP_TELEPORT},
    {'I', POWERUP_BRIDGE},
    {'Z', POWERUP_EMP},
    {'K', POWERUP_CRATE},
    {'D', POWERUP_BARREL},
    {'N', POWERUP_MAGNET},
};


std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

struct Parser {
    std::vector<std::string> lines;
    size_t next = 0;
    std::string error;

    bool Fail(size_t lineIndex, const std::string& why) {
        error = "line " + std::to_string(lineIndex + 1) + ": " + why;
        return false;
    }

    // Reads the 24 picture lines after a section line.
    bool Picture(size_t header, std::vector<std::string>* rows) {
        if (next + CLevel::kHeight > lines.size()) return Fail(header, "the picture needs 24 lines");
        for (int y = 0; y < CLevel::kHeight; ++y) {
            std::string row = lines[next];
            if (!row.empty() && row.back() == '\r') row.pop_back();
            if (row.size() != static_cast<size_t>(CLevel::kWidth)) {
                return Fail(next, "a picture line needs exactly 32 characters");
            }
            rows->push_back(row);
            ++next;
        }
        return true;
    }
};

}  // namespace

bool CLevelSource::TileForChar(char c, unsigned* code) {
    for (const TileChar& t : kTileChars) {
        if (t.c == c) {
            *code = t.code;
            return true;
        }
    }
    return false;
}

char CLevelSource::CharForTile(unsigned code) {
    for (const TileChar& t : kTileChars) {
        if (t.code == code) return t.c;
    }
    return '\0';
}

bool CLevelSource::Parse(const std::string& text, CLevel* level, std::string* error) {
    Parser p;
    {
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) p.lines.push_back(line);
    }
    CLevel out;
    bool haveHeading = false;
    bool haveBackground = false;
    bool haveTiles = false;
    std::vector<std::string> tiles;
    std::vector<std::string> ladders;
    std::vector<std::string> states;
    struct Sign {
        size_t line;
        int x, y;
        std::string text;
    };
    std::vector<Sign> signs;
    bool ok = true;

    while (ok && p.next < p.lines.size()) {
        const size_t at = p.next++;
        const std::string line = TrimBlanks(p.lines[at]);
        if (line.empty() || line[0] == '#') continue;
        const size_t colon = line.find(':');
        if (colon == std::string::npos) {
            ok = p.Fail(at, "expected 'name: value'");
            break;
        }
        const std::string key = TrimBlanks(line.substr(0, colon));
        const std::string value = TrimBlanks(line.substr(colon + 1));
        if (key == "heading") {
            if (value.size() > CLevel::kHeadingMax) {
                ok = p.Fail(at, "the heading is longer than 32 characters");
            } else {
                out.SetHeadingText(value.c_str());
                haveHeading = true;
            }
        } else if (key == "background") {
            int b = 0;
            if (!ReadNumber(value, 0, CLevel::kBackgroundCount - 1, &b)) {
                ok = p.Fail(at, "the background must be 0..7");
            } else {
                out.SetBackground(b);
                haveBackground = true;
            }
        } else if (key == "tiles" || key == "ladders" || key == "states") {
            std::vector<std::string>* rows = key == "tiles" ? &tiles : key == "ladders" ? &ladders : &states;
            if (!value.empty() || !rows->empty()) {
                ok = p.Fail(at, "a picture section stands alone on its line, once");
            } else {
                ok = p.Picture(at, rows);
                if (key == "tiles") haveTiles = ok;
            }
        } else if (key == "teleport") {
            const std::vector<std::string> w = Words(value);
            int x = 0;
            int y = 0;
            unsigned code = 0;
            if (w.size() == 3) {
                if (w[0] == "blue") code = DEVICE_LTELEPORT_B;
                if (w[0] == "yellow") code = DEVICE_LTELEPORT_Y;
                if (w[0] == "red") code = DEVICE_LTELEPORT_R;
            }
            if (w.size() != 3 || code == 0 || !ReadNumber(w[1], INT_MIN, INT_MAX, &x) ||
                !ReadNumber(w[2], INT_MIN, INT_MAX, &y)) {
                ok = p.Fail(at, "expected 'teleport: blue|yellow|red column row'");
            } else if (x < -1 || x >= CLevel::kWidth || y < 0 || y >= CLevel::kHeight) {
                ok = p.Fail(at, "the teleport lies outside the grid");
            } else {
                out.SetTeleport(code, x, y);
            }
        } else if (key == "sign") {
            std::istringstream in(value);
            Sign s{at, 0, 0, ""};
            std::string xs;
            std::string ys;
            in >> xs >> ys;
            std::getline(in, s.text);
            s.text = TrimBlanks(s.text);
            // Read as the game reads it, and spelled as it is written: no
            // blank, sign or zero before a number, nothing after the '#'.
            const SignDirective d = ReadSignDirective(s.text.c_str());
            const bool directive = d.parts == 3 && s.text == WriteSignDirective(d.body, d.letter, d.heading);
            if (!ReadNumber(xs, INT_MIN, INT_MAX, &s.x) || !ReadNumber(ys, INT_MIN, INT_MAX, &s.y)) {
                ok = p.Fail(at, "expected 'sign: column row #zqdefine N-c-M#'");
            } else if (s.x < 0 || s.x >= CLevel::kWidth || s.y < 0 || s.y >= CLevel::kHeight) {
                ok = p.Fail(at, "the sign lies outside the grid");
            } else if (!directive || d.body <= 0) {
                ok = p.Fail(at, "a sign's text is a directive '#zqdefine N-c-M#' naming string-table ids");
            } else {
                signs.push_back(s);
            }
        } else if (key == "solution") {
            if (!value.empty()) {
                ok = p.Fail(at, "the solution list starts on the next line");
                break;
            }
            int lastFrame = 0;
            while (ok && p.next < p.lines.size()) {
                const size_t k = p.next++;
                const std::string entry = TrimBlanks(p.lines[k]);
                if (entry.empty() || entry[0] == '#') continue;
                const std::vector<std::string> w = Words(entry);
                int frame = 0;
                const int keyCode = w.size() == 3 ? SolutionKeyForName(w[1]) : -1;
                if (w.size() != 3 || !ReadNumber(w[0], INT_MIN, INT_MAX, &frame) || keyCode < 0 ||
                    (w[2] != "down" && w[2] != "up")) {
                    ok = p.Fail(k, "expected 'frame key down|up'");
                } else if (!IsSolutionKey(keyCode)) {
                    // The game would ignore it: the solution would not be
                    // the one written.
                    ok = p.Fail(k, NoSolutionKeyText(keyCode));
                } else if (frame < 1 || frame < lastFrame) {
                    ok = p.Fail(k, "frames count from 1 and never go back");
                } else {
                    out.AddReplayKey(frame, keyCode, w[2] == "up");
                    lastFrame = frame;
                }
            }
            if (ok && !out.GetSolution().empty()) out.SetSolutionRecorded();
        } else {
            ok = p.Fail(at, "unknown section '" + key + "'");
        }
    }
    if (ok && !haveHeading) ok = p.Fail(p.lines.size(), "no heading");
    if (ok && !haveBackground) ok = p.Fail(p.lines.size(), "no background");
    if (ok && !haveTiles) ok = p.Fail(p.lines.size(), "no tiles picture");

    for (int y = 0; ok && y < CLevel::kHeight; ++y) {
        for (int x = 0; ok && x < CLevel::kWidth; ++x) {
            unsigned code = 0;
            if (!TileForChar(tiles[y][x], &code)) {
                ok = p.Fail(p.lines.size(), "unknown tile character '" + std::string(1, tiles[y][x]) + "' at (" +
                                                std::to_string(x) + "," + std::to_string(y) + ")");
                break;
            }
            out.SetTile(code, x, y);
            if (!ladders.empty()) {
                const char l = ladders[y][x];
                if (l == 'H' || l == '=') {
                    out.SetLadder(LADDER, x, y);
                    if (l == '=') {
                        if (code != NONE) {
                            ok = p.Fail(p.lines.size(), "a platform cell must be '.' in the tiles picture at (" +
                                                            std::to_string(x) + "," + std::to_string(y) + ")");
                        }
                        out.SetTile(PLATFORM, x, y);
                    }
                } else if (l != '.') {
                    ok = p.Fail(p.lines.size(), "unknown ladder character '" + std::string(1, l) + "'");
                }
            }
            if (ok && !states.empty()) {
                const char s = states[y][x];
                if (s == 'f') {
                    out.SetTileState(TILE_STATE_FROZEN, x, y);
                } else if (s == 'h') {
                    out.SetTileState(TILE_STATE_HEATED, x, y);
                } else if (s != '.') {
                    ok = p.Fail(p.lines.size(), "unknown state character '" + std::string(1, s) + "'");
                }
            }
        }
    }
    for (const Sign& s : signs) {
        if (!ok) break;
        if (out.GetTile(s.x, s.y) != TUTORIAL) {
            ok = p.Fail(s.line, "the sign's cell is not '?' in the tiles picture");
        } else if (out.GetTutorialText(s.x, s.y)) {
            ok = p.Fail(s.line, "a second text for the same sign");
        } else {
            out.SetTutorialText(s.x, s.y, s.text.c_str());
        }
    }
    for (int x = 0; ok && x < CLevel::kWidth; ++x) {
        for (int y = 0; ok && y < CLevel::kHeight; ++y) {
            if (out.GetTile(x, y) == TUTORIAL && !out.GetTutorialText(x, y)) {
                ok = p.Fail(p.lines.size(), "the sign at (" + std::to_string(x) + "," + std::to_string(y) +
                                                ") has no 'sign:' line");
            }
        }
    }
    if (!ok) {
        if (error) *error = p.error;
        return false;
    }
    out.SetModified(false);
    *level = out;
    return true;
}

bool CLevelSource::ReadFile(const std::string& path, std::string* text, std::string* error) {
    const std::string tooLarge =
        path + " is larger than any level source can be (over " + std::to_string(kMaxBytes) + " bytes)";
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kMaxBytes) {
        if (error) *error = tooLarge;
        return false;
    }
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        if (error) *error = "cannot open '" + path + "'";
        return false;
    }
    // What has no size beforehand (a device, a pipe) is read up to the bound.
    text->clear();
    char buffer[4096];
    size_t n = 0;
    while (text->size() <= static_cast<size_t>(kMaxBytes) && (n = fread(buffer, 1, sizeof buffer, f)) > 0)
        text->append(buffer, n);
    const bool readOk = !ferror(f);
    fclose(f);
    if (!readOk) {
        if (error) *error = "cannot read '" + path + "'";
        return false;
    }
    if (text->size() > static_cast<size_t>(kMaxBytes)) {
        if (error) *error = tooLarge;
        return false;
    }
    return true;
}

bool CLevelSource::ParseFile(const std::string& path, CLevel* level, std::string* error) {
    std::string text;
    if (!ReadFile(path, &text, error)) return false;
    if (!Parse(text, level, error)) {
        if (error) *error = path + ": " + *error;
        return false;
    }
    return true;
}
