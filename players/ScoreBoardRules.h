// What the score board client and the score server (zorv_scored) agree on:
// the board types and their level boards, which boards there are, the
// script, the operations and keys of a query, the words of an answer, the
// longest user name and the error codes of a refusal. Both sides spell them
// from here only.
#pragma once

// Board types are the level sets (0 regular, 1 advanced, 2 kids) and one
// more, kScoreBoardNoSet, which belongs to no level set: both sides keep an
// overall board for it and no level boards, so the protocol and the tables
// stay whole, but the game neither uploads to it nor shows it.
constexpr int kScoreBoardTypes = 4;
constexpr int kScoreBoardNoSet = 3;
// Level boards of each type: a level number runs from 0 to the count - 1.
constexpr int kScoreLevelCounts[kScoreBoardTypes] = {111, 50, 81, 0};
// The level number that stands for the overall board of a type.
constexpr int kOverallScoreLevel = 99999;
// A score is a step count, or a level set's sum of them: one at least.
constexpr int kScoreLowest = 1;
// A user name holds 1 to 15 characters (the name dialog's box and a board
// row's name field hold no more).
constexpr int kScoreUserNameMax = 15;

// Error codes of a "failure" answer. 15 and 16 have no message in the game:
// it writes them to its error log and shows the number.
constexpr int kScoreErrorUserExists = 9;
constexpr int kScoreErrorNoUser = 10;
constexpr int kScoreErrorNameLength = 11;
constexpr int kScoreErrorNameCharacters = 12;
constexpr int kScoreErrorNameRude = 13;
constexpr int kScoreErrorBadType = 14;
constexpr int kScoreErrorServerFault = 15;   // the server could not do its part
constexpr int kScoreErrorUnreadable = 16;    // the request could not be read
constexpr int kScoreErrorBadLevel = 17;
// The server is too busy for this client (over its budget, HTTP 429): the
// game says so and asks the player to try again later.
constexpr int kScoreErrorBusy = 18;

// The one rule of which boards there are, on both sides: 0 when (type,
// level) names a board, else the refusal code. Every type has an overall
// board, kScoreBoardNoSet (the game's tables hold one for it) included;
// the level sets have their levels' boards besides.
constexpr int ScoreBoardRefusal(int type, int level) {
    return type < 0 || type >= kScoreBoardTypes ? kScoreErrorBadType
           : level == kOverallScoreLevel || (level >= 0 && level < kScoreLevelCounts[type]) ? 0
                                                                                           : kScoreErrorBadLevel;
}
static_assert(ScoreBoardRefusal(kScoreBoardNoSet, kOverallScoreLevel) == 0 &&
                  ScoreBoardRefusal(kScoreBoardNoSet, 0) == kScoreErrorBadLevel &&
                  ScoreBoardRefusal(4, kOverallScoreLevel) == kScoreErrorBadType &&
                  ScoreBoardRefusal(0, 110) == 0 && ScoreBoardRefusal(0, 111) == kScoreErrorBadLevel,
              "the boards of the tables");

// The script the game asks, after the server's address.
constexpr const char* kScoreScript = "zjscores.php";

// A query is "key=value" pairs joined by "&", the operation first.
constexpr const char* kScoreKeyOp = "op";
constexpr const char* kScoreKeyUser = "user";
constexpr const char* kScoreKeyVersion = "version";
constexpr const char* kScoreKeyType = "type";
constexpr const char* kScoreKeyLevel = "level";
constexpr const char* kScoreKeyScore = "score";
// "cheat" is the wire's word for a score's flags (and the column that
// keeps them in the server's database): the game sends the cheater word of
// its players' list (CProfileBase::GetCheaterStatus), which is non-zero once
// a profile was changed outside the game. A score sent with flags is flagged:
// the server keeps it apart, and only its own player sees it on a board.
constexpr const char* kScoreKeyCheat = "cheat";
// The operations: registration (user, version), upload (user, type, level,
// score, flags), download (user, type, level).
constexpr const char* kScoreOpAddUser = "addUser";
constexpr const char* kScoreOpUpload = "uploadScore";
constexpr const char* kScoreOpDownload = "downloadScore";

// An answer's first line, and what an upload's second line says of the score.
constexpr const char* kScoreSuccess = "success";
constexpr const char* kScoreFailure = "failure";
constexpr const char* kScoreAdded = "added";
constexpr const char* kScoreUpdated = "updated";
constexpr const char* kScoreIgnored = "ignored";
