// Client of the online score server: registers a user name, uploads scores
// and downloads boards, one HTTP GET each, waited for until its answer
// comes or the player gives it up. The downloaded boards live in
// program-wide tables for the score board screen to read; the last error
// stays until the next request. The transport (players/ScoreHttp.h)
// is the client's own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "players/CScoreBoard.h"
#include "players/ScoreBoardRules.h"

// Last error values besides the server's own codes.
constexpr int kScoreErrorNone = 0;
constexpr int kScoreErrorNoAnswer = 99;
constexpr int kScoreErrorGivenUp = 98;  // the player stopped waiting for the answer

// The game's own score server.
constexpr const char* kBuiltInScoreServer = "http://scores.zorv-game.example/zorv/";
// The address to use: ZORV_SCOREBOARD_URL from the environment when it is
// set, else SCOREBOARD_URL of the parameter file, else builtIn; with its
// final slash added when missing. Logs (as a note) which one and why.
std::string ChooseScoreServerAddress(const char* builtIn);

// The server's address, ending in a path separator ("http://host/zorv/").
void SetScoreServerPath(const std::string& address);
const std::string& GetScoreServerPath();
// The most seconds one request may take (30; tests of a silent server use
// less; 0 or below restores 30).
void SetScoreRequestTimeout(long seconds);
// Asked again and again while a request waits for its answer: true gives
// the wait up at once (kScoreErrorGivenUp). The game's check takes an
// Escape press off the input queue (CInput::TakeEscapePress); null restores
// it.
void SetScoreGiveUpCheck(bool (*check)());

// Every board back to "never downloaded": four overall boards, and 111, 50
// and 81 level boards for types 0, 1 and 2.
void ResetAllScoreBoards();
void ResetScoreBoard(CScoreBoard& board);

// Number of level boards of a type (0 for kScoreBoardNoSet or an unknown
// type).
int GetScoreLevelCount(int type);
// The tables; null outside them (or before ResetAllScoreBoards).
CScoreBoard* GetOverallScoreBoard(int type);
CScoreBoard* GetLevelScoreBoard(int type, int level);

// Registers a user name; true when the server accepted it. A refusal with
// code 9 fills the proposed names.
bool RequestNewUser(const std::string& user);
// Sends a score with its flags (non-zero: flagged, see kScoreKeyCheat);
// true when the server answered success (stored or not).
bool RequestScoreUpload(const std::string& user, int type, int level, int score, uint32_t flags);
// Downloads the overall board of type (level 99999) or the board of one
// level into its table slot; true on success. Anything else leaves the board
// as it was.
bool RequestScoreDownload(const std::string& user, int type, int level);

// The last request's outcome: kScoreErrorNone, a code of the server's
// refusal, kScoreErrorNoAnswer or kScoreErrorGivenUp. Every request sets
// it.
int GetScoreError();
void SetScoreError(int code);
// The words the game has for a refusal the player can act on (a name
// taken, too long, unknown ...); null for any other code: none, no answer,
// a wait given up, a busy server and the server's own faults, which the
// screen says in its own words.
const char* ScoreErrorMessage(int code);
// The words for the last error (ScoreErrorMessage of GetScoreError).
const char* GetScoreErrorText();

const std::vector<std::string>& GetProposedNames();
void LogProposedNames();
