#include "players/ScoreClient.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/BuildInfo.h"
#include "engine/CInput.h"
#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/ReadNumber.h"
#include "engine/Utilities.h"
#include "players/ScoreHttp.h"
#include "players/ScoreScramble.h"

namespace {

// The version the score protocol names the game by: its version and the
// letter of its platform, "1.03W" (the boards keep what a game sent).
const char* const kGameVersion = ZORV_VERSION "W";
// Only 429 (too many requests) is looked at: the server, or a proxy before
// it, is too busy for this player, and the request fails with
// kScoreErrorBusy whatever its body says. Any other status leaves the body
// to speak.
const long kHttpTooManyRequests = 429;

std::string g_serverPath;
long g_transferTimeoutSeconds = kScoreRequestTimeoutDefault;
HttpGiveUpCheck g_giveUp = &CInput::TakeEscapePress;
int g_lastError = kScoreErrorNone;
std::vector<std::string> g_proposedNames;
CScoreBoard g_overallBoards[kScoreBoardTypes];
std::vector<CScoreBoard> g_levelBoards[kScoreBoardTypes];

// Known boards only (the rule the server keeps too): any of the four types
// with the overall level, or a level inside the table of a type that has
// level boards.
bool IsKnownBoard(int type, int level, int* refusal) {
    *refusal = ScoreBoardRefusal(type, level);
    return *refusal == 0;
}

// A query's start, its operation, and each further "&key=value".
std::string Operation(const char* op) { return std::string(kScoreKeyOp) + "=" + op; }
std::string Pair(const char* key, const std::string& value) { return std::string("&") + key + "=" + value; }

enum class Outcome { kUnusable, kSuccess, kFailure };

// An answer that is no answer of the protocol: the request fails as
// unanswered (the player is told the server cannot be reached), and the log
// says what was wrong with it.
void NoteUnusable(const char* why) {
    DebugLog(DBG_WARNING, "The score server's answer cannot be read (%s): taken as no answer\n", why);
    g_lastError = kScoreErrorNoAnswer;
}

// A refusal the game has words for is the player's business, and the
// screen shows it; so is a busy server, which is a note. A refusal without
// words means the server, or this game's request, is at fault: that one
// goes into the error log.
void LogRefusal(int code) {
    switch (code) {
    case kScoreErrorBusy:
        DebugLog(DBG_NOTE, "The score server is too busy for this player: asked to try again later\n");
        return;
    case kScoreErrorServerFault:
        ErrorLog(false, "The score server turned a request down with code %i: it could not do its part\n", code);
        return;
    case kScoreErrorUnreadable:
        ErrorLog(false, "The score server turned a request down with code %i: it could not read the request\n", code);
        return;
    default:
        if (!ScoreErrorMessage(code))
            ErrorLog(false, "The score server turned a request down with code %i, which the game does not know\n",
                     code);
        return;
    }
}

// Sends one request and sorts the answer: success, failure with its code
// stored as the last error (busy for a 429, whatever the body), or no usable
// answer (last error kScoreErrorNoAnswer).
Outcome SendRequest(const std::string& query, std::vector<std::string>* lines) {
    lines->clear();
    switch (HttpGet(g_serverPath + kScoreScript, query, g_transferTimeoutSeconds, g_giveUp)) {
    case HttpOutcome::kAnswer: break;
    case HttpOutcome::kNoAnswer:
        g_lastError = kScoreErrorNoAnswer;  // the transport said why
        return Outcome::kUnusable;
    case HttpOutcome::kGivenUp:
        DebugLog(DBG_NOTE, "Stopped waiting for the score server's answer, as the player asked\n");
        g_lastError = kScoreErrorGivenUp;
        return Outcome::kUnusable;
    }
    if (LastAnswerStatus() == kHttpTooManyRequests) {
        g_lastError = kScoreErrorBusy;
        LogRefusal(g_lastError);
        return Outcome::kFailure;
    }
    Tokenize(LastAnswerBody(), *lines, "\n");
    if (lines->empty()) {
        NoteUnusable("it is empty");
        return Outcome::kUnusable;
    }
    if ((*lines)[0] == kScoreSuccess) return Outcome::kSuccess;
    if ((*lines)[0] != kScoreFailure) {
        NoteUnusable("it begins with neither \"success\" nor \"failure\"");
        return Outcome::kUnusable;
    }
    if (lines->size() < 2) {
        NoteUnusable("a failure without its code");
        return Outcome::kUnusable;
    }
    int32_t code = kScoreErrorNone;
    if (!ReadNumber((*lines)[1], INT32_MIN, INT32_MAX, &code)) {
        NoteUnusable("a failure whose code is no number");
        return Outcome::kUnusable;
    }
    // A failure must never read as "no error": callers take 0 for success.
    if (code == kScoreErrorNone) {
        NoteUnusable("a failure whose code reads as none");
        return Outcome::kFailure;
    }
    g_lastError = code;
    LogRefusal(code);
    return Outcome::kFailure;
}

}  // namespace

std::string ChooseScoreServerAddress(const char* builtIn) {
    const char* env = getenv("ZORV_SCOREBOARD_URL");
    const char* file = GetScoreboardURL();
    std::string address = builtIn;
    const char* from = "the game's own";
    if (env && *env) {
        address = env;
        from = "ZORV_SCOREBOARD_URL";
    } else if (file && *file) {
        address = file;
        from = "SCOREBOARD_URL of the parameter file";
    }
    // The script's name is put right after it.
    if (address.empty() || address.back() != '/') address += '/';
    DebugLog(DBG_NOTE, "Score server:  %s (%s)\n", address.c_str(), from);
    return address;
}

void SetScoreServerPath(const std::string& address) { g_serverPath = address; }

void SetScoreRequestTimeout(long seconds) {
    g_transferTimeoutSeconds = seconds > 0 ? seconds : kScoreRequestTimeoutDefault;
}
const std::string& GetScoreServerPath() { return g_serverPath; }

void SetScoreGiveUpCheck(bool (*check)()) { g_giveUp = check ? check : &CInput::TakeEscapePress; }

void ResetScoreBoard(CScoreBoard& board) { board.Reset(); }

void ResetAllScoreBoards() {
    for (int t = 0; t < kScoreBoardTypes; ++t) ResetScoreBoard(g_overallBoards[t]);
    for (int t = 0; t < kScoreBoardTypes; ++t) g_levelBoards[t].clear();
    for (int t = 0; t < kScoreBoardTypes; ++t) g_levelBoards[t].resize(static_cast<size_t>(kScoreLevelCounts[t]));
}

int GetScoreLevelCount(int type) {
    if (type < 0 || type >= kScoreBoardTypes) return 0;
    return kScoreLevelCounts[type];
}

CScoreBoard* GetOverallScoreBoard(int type) {
    if (type < 0 || type >= kScoreBoardTypes) return nullptr;
    return &g_overallBoards[type];
}

CScoreBoard* GetLevelScoreBoard(int type, int level) {
    if (type < 0 || type >= kScoreBoardTypes) return nullptr;
    std::vector<CScoreBoard>& table = g_levelBoards[type];
    if (level < 0 || static_cast<size_t>(level) >= table.size()) return nullptr;
    return &table[static_cast<size_t>(level)];
}

int GetScoreError() { return g_lastError; }
void SetScoreError(int code) { g_lastError = code; }

const char* ScoreErrorMessage(int code) {
    switch (code) {
    case kScoreErrorUserExists: return "Specified user name already exists.";
    case kScoreErrorNoUser: return "Specified user does not exist.";
    case kScoreErrorNameLength: return "Specified user name has an invalid length.";
    case kScoreErrorNameCharacters: return "Specified user name has invalid characters.";
    case kScoreErrorNameRude: return "Specified user name contains profanity.";
    case kScoreErrorBadType: return "Specified game type does not exist.";
    case kScoreErrorBadLevel: return "Specified game level does not exist.";
    default: return nullptr;
    }
}

const char* GetScoreErrorText() { return ScoreErrorMessage(g_lastError); }

const std::vector<std::string>& GetProposedNames() { return g_proposedNames; }

void LogProposedNames() {
    for (const std::string& name : g_proposedNames) DebugLog(DBG_DEBUG, "%s\n", name.c_str());
}

bool RequestNewUser(const std::string& user) {
    std::string version = kGameVersion;
    const char* vendor = GetVendorID();
    if (vendor) version += std::string("-") + vendor;
    const std::string query = Operation(kScoreOpAddUser) + Pair(kScoreKeyUser, user) + Pair(kScoreKeyVersion, version);
    g_proposedNames.clear();

    std::vector<std::string> lines;
    const Outcome outcome = SendRequest(query, &lines);
    if (outcome == Outcome::kSuccess) {
        DebugLog(DBG_SCOREBOARD, "RequestNewUser():  Add User Request Successful.\n");
        g_lastError = kScoreErrorNone;
        return true;
    }
    if (outcome == Outcome::kFailure) {
        DebugLog(DBG_SCOREBOARD, "RequestNewUser():  Add User Request Unsuccessful.\n");
        if (g_lastError == kScoreErrorUserExists) {
            for (size_t i = 2; i < lines.size(); ++i) {
                g_proposedNames.push_back(lines[i]);
                DebugLog(DBG_SCOREBOARD, "%s\n", lines[i].c_str());
            }
        }
    }
    return false;
}

bool RequestScoreUpload(const std::string& user, int type, int level, int score, uint32_t flags) {
    int refusal = kScoreErrorNone;
    if (!IsKnownBoard(type, level, &refusal)) {
        DebugLog(DBG_SCOREBOARD, "RequestScoreUpload():  No score board for type %i level %i.\n", type, level);
        g_lastError = refusal;
        return false;
    }
    const std::string query = Operation(kScoreOpUpload) + Pair(kScoreKeyUser, user) +
                              Pair(kScoreKeyType, IntToString(type)) + Pair(kScoreKeyLevel, IntToString(level)) +
                              Pair(kScoreKeyScore, IntToString(score)) +
                              Pair(kScoreKeyCheat, IntToString(static_cast<int>(flags)));
    std::vector<std::string> lines;
    const Outcome outcome = SendRequest(query, &lines);
    if (outcome == Outcome::kFailure) {
        DebugLog(DBG_SCOREBOARD, "RequestScoreUpload():  Score Upload Request Unsuccessful.\n");
        return false;
    }
    if (outcome == Outcome::kUnusable) return false;
    if (lines.size() < 2) {
        NoteUnusable("an upload's success without what became of the score");
        return false;
    }
    if (lines[1] == kScoreUpdated) {
        DebugLog(DBG_SCOREBOARD, "RequestScoreUpload():  Score updated in overall scoreboard for user '%s'.\n",
                 user.c_str());
    } else if (lines[1] == kScoreAdded) {
        DebugLog(DBG_SCOREBOARD, "RequestScoreUpload():  Score added to overall scoreboard for user '%s'.\n",
                 user.c_str());
    } else {
        DebugLog(DBG_SCOREBOARD, "RequestScoreUpload():  Score ignored by overall scoreboard for user '%s'.\n",
                 user.c_str());
    }
    g_lastError = kScoreErrorNone;
    return true;
}

bool RequestScoreDownload(const std::string& user, int type, int level) {
    int refusal = kScoreErrorNone;
    CScoreBoard* board = nullptr;
    if (IsKnownBoard(type, level, &refusal)) {
        board = level == kOverallScoreLevel ? GetOverallScoreBoard(type) : GetLevelScoreBoard(type, level);
        if (!board) refusal = kScoreErrorBadLevel;  // tables not built yet
    }
    if (!board) {
        DebugLog(DBG_SCOREBOARD, "RequestScoreDownload():  No score board for type %i level %i.\n", type, level);
        g_lastError = refusal;
        return false;
    }
    const std::string query = Operation(kScoreOpDownload) + Pair(kScoreKeyUser, user) +
                              Pair(kScoreKeyType, IntToString(type)) + Pair(kScoreKeyLevel, IntToString(level));
    std::vector<std::string> lines;
    if (SendRequest(query, &lines) != Outcome::kSuccess) return false;

    // The answer is read whole into a new board first, so that a damaged
    // answer leaves the stored board untouched.
    if (lines.size() < 2) {
        NoteUnusable("a board without its count");
        return false;
    }
    CScoreBoard fresh;
    // Every number whole or the answer is none: a count of no players at
    // least (a negative one would make the board look never downloaded), a
    // rank from 1 (0 is the own rank of a player not on the board), a score
    // the server takes (the board would show one below as 0).
    if (!ReadNumber(lines[1], 0, INT32_MAX, &fresh.count)) {
        NoteUnusable("a board whose count is no number of players");
        return false;
    }
    const int lineCount = static_cast<int>(lines.size());
    std::vector<std::string> rankTexts;
    std::vector<std::string> fields;
    for (size_t i = 2; i < lines.size(); ++i) {
        fields.clear();
        Tokenize(lines[i], fields, "\t");
        if (fields.size() < 4) {
            DebugLog(DBG_SCOREBOARD, "RequestScoreDownload():  Row %i has only %i fields.\n", static_cast<int>(i),
                     static_cast<int>(fields.size()));
            NoteUnusable("a row of the board with fewer than four fields");
            return false;
        }
        CScoreEntry entry;
        if (!ReadNumber(fields[0], 1, INT32_MAX, &entry.rank)) {
            NoteUnusable("a row of the board whose rank is no rank");
            return false;
        }
        if (!ReadNumber(fields[2], kScoreLowest, INT32_MAX, &entry.score)) {
            NoteUnusable("a row of the board whose score is no step count");
            return false;
        }
        entry.SetName(fields[1]);
        entry.extra = fields[3];
        if (fields[1] == user) {
            fresh.ownRank = entry.rank;
            fresh.ownRow = static_cast<int32_t>(fresh.entries.size());
        }
        fresh.entries.push_back(entry);
        rankTexts.push_back(fields[0]);
    }

    DebugLog(DBG_SCOREBOARD, "RequestScoreDownload():  Saving total score (%i,%i) count:  %i\n", type, level,
             fresh.count);
    for (const std::string& rank : rankTexts) {
        DebugLog(DBG_SCOREBOARD, "RequestScoreDownload():  Saving score at rank %s (%i)\n", rank.c_str(), lineCount);
    }
    *board = std::move(fresh);
    g_lastError = kScoreErrorNone;
    return true;
}
