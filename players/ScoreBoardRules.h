// What the score board client and the score server (zorv_scored) agree on:
// the board types and their level boards, the level number of a type's
// overall board, the longest user name and the error codes of a refusal.
#pragma once

// Board types are the level sets (0 regular, 1 advanced, 2 kids); type 3 has
// an overall board only.
constexpr int kScoreBoardTypes = 4;
// Level boards of each type: a level number runs from 0 to the count - 1.
constexpr int kScoreLevelCounts[kScoreBoardTypes] = {111, 50, 81, 0};
// The level number that stands for the overall board of a type.
constexpr int kOverallScoreLevel = 99999;
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
