#include "engine/Parameters.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/DataFolder.h"
#include "engine/Log.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"

namespace {

bool g_haveUrl = false;
std::string g_url;
bool g_haveVendor = false;
std::string g_vendor;
bool g_haveScoreboard = false;
std::string g_scoreboard;
bool g_zjBlink = true;
bool g_moreGames = true;
bool g_moreLevels = true;

bool ReadLine(FILE* f, std::string* line) {
    line->clear();
    int c;
    bool any = false;
    while ((c = fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        line->push_back(static_cast<char>(c));
    }
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return any;
}

}  // namespace

void ResetParameters() {
    g_haveUrl = false;
    g_url.clear();
    g_haveVendor = false;
    g_vendor.clear();
    g_haveScoreboard = false;
    g_scoreboard.clear();
    g_zjBlink = g_moreGames = g_moreLevels = true;
}

void LoadParameters(const char* path) {
    FILE* f = path ? PlatformOpenForReading(path) : nullptr;
    std::string line;
    int number = 0;
    // A line no setting of the game is left out, and told with the file it
    // stands in (a file cut short ends in part of a line).
    const auto refuse = [&] {
        TellResourceFileFailed(path, "its line " + std::to_string(number) + " '" + line +
                                         "' is no setting of the game, and is left out");
    };
    while (f && ReadLine(f, &line)) {
        ++number;
        std::vector<std::string> tokens;
        Tokenize(line, tokens, " ");
        if (tokens.size() != 2) {
            refuse();
            continue;
        }
        const std::string& key = tokens[0];
        const std::string& value = tokens[1];
        if (key == "MOREGAMES_URL") {
            g_url = value;
            g_haveUrl = true;
            DebugLog(DBG_DEBUG, "PARAMETER DEFINITION:  MOREGAMES_URL = '%s'\n", g_url.c_str());
        } else if (key == "VENDOR_ID") {
            g_vendor = value;
            g_haveVendor = true;
            DebugLog(DBG_DEBUG, "PARAMETER DEFINITION:  VENDOR_ID SET:  '%s'\n", g_vendor.c_str());
        } else if (key == "SCOREBOARD_URL") {
            g_scoreboard = value;
            g_haveScoreboard = true;
            DebugLog(DBG_DEBUG, "PARAMETER DEFINITION:  SCOREBOARD_URL = '%s'\n", g_scoreboard.c_str());
        } else if (key == "USE_ZJ_BLINK") {
            g_zjBlink = value == "1";
            DebugLog(DBG_DEBUG, "PARAMETER DEFINITION:  USE_ZJ_BLINK SET:  '%i'\n", g_zjBlink ? 1 : 0);
        } else if (key == "USE_MOREGAMES") {
            g_moreGames = value == "1";
            DebugLog(DBG_DEBUG, "PARAMETER DEFINITION:  USE_MOREGAMES SET:  '%i'\n", g_moreGames ? 1 : 0);
        } else if (key == "USE_MORELEVELS") {
            g_moreLevels = value == "1";
            DebugLog(DBG_DEBUG, "PARAMETER DEFINITION:  USE_MORELEVELS SET:  '%i'\n", g_moreLevels ? 1 : 0);
        } else {
            refuse();
        }
    }
    if (f) fclose(f);
    if (g_haveUrl) return;
    if (path) TellResourceFileFailed(path);
    ErrorLog(true, "'MoreGames' URL has not been defined.\n");
}

const char* GetMoreGamesURL() { return g_haveUrl ? g_url.c_str() : ""; }
const char* GetVendorID() { return g_haveVendor ? g_vendor.c_str() : nullptr; }
const char* GetScoreboardURL() { return g_haveScoreboard ? g_scoreboard.c_str() : nullptr; }
bool UseZJBlink() { return g_zjBlink; }
bool UseMoreGames() { return g_moreGames; }
bool UseMoreLevels() { return g_moreLevels; }
