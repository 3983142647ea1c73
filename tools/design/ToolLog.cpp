#include "tools/design/ToolLog.h"

#include <cstdio>
#include <vector>

#include "engine/Log.h"
#include "engine/Utilities.h"
#include "tools/design/ToolRefusal.h"

namespace {

const char* g_tool = "";
std::string g_line;  // a line begun and not ended yet
bool g_holding = false;
std::vector<std::string> g_held;
// What a level file gone wrong may say is bounded; of a run of lines past it
// the first ones are kept.
constexpr size_t kHeldLines = 8;

void PrintLine(const std::string& line) { fprintf(stderr, "%s: %s\n", g_tool, EscapeControls(line).c_str()); }

void TakeLine(const std::string& line) {
    const std::string trimmed = TrimBlanks(line);
    if (trimmed.empty()) return;
    if (!g_holding) {
        PrintLine(trimmed);
    } else if (g_held.size() < kHeldLines) {
        g_held.push_back(trimmed);
    }
}

void ToolLogSink(const std::string& text) {
    g_line += text;
    for (size_t end; (end = g_line.find('\n')) != std::string::npos; g_line.erase(0, end + 1))
        TakeLine(g_line.substr(0, end));
}

}  // namespace

void StartToolLog(const char* tool) {
    g_tool = tool;
    InitDebugLog(false);
    EnableDebugCategory(DBG_ERROR);
    // The line itself says it is the game's; the game's banner for an error
    // adds nothing to a tool's line.
    SetDebugPrefix(DBG_ERROR, "");
    SetLogSink(ToolLogSink);
}

void HoldToolLog() {
    g_holding = true;
    g_held.clear();
}

std::string ReleaseToolLog(bool print) {
    g_holding = false;
    std::string said;
    for (const std::string& line : g_held) {
        if (print) PrintLine(line);
        said += (said.empty() ? "" : "; ") + line;
    }
    g_held.clear();
    return said;
}
