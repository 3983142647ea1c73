// The score client's transport: one HTTP GET through libcurl, which waits
// for its answer unless the wait is given up (the player's Escape), its
// body kept for the client to read; http and https only, no redirect
// followed. Only the client (and its tests) use it; libcurl stays inside
// ScoreHttp.cpp.
#pragma once

#include <cstddef>
#include <string>

// Answers longer than this are not an answer the server could have meant;
// the transfer is cut off and the request fails as unanswered.
constexpr size_t kScoreResponseMax = 1024 * 1024;
// The most seconds one request may take unless told otherwise.
constexpr long kScoreRequestTimeoutDefault = 30;
// How often a request that waits asks whether to give up, in milliseconds:
// often enough that giving up feels immediate.
constexpr long kScoreGiveUpPollMs = 50;

enum class HttpOutcome {
    kAnswer,    // a complete answer came: its body and status are kept
    kNoAnswer,  // none came (no connection, no answer in time, one too long ...)
    kGivenUp,   // the wait was given up before an answer came
};

// Asked while a request waits for its answer, every kScoreGiveUpPollMs:
// true ends the request at once.
using HttpGiveUpCheck = bool (*)();

// GET base + "?" + the scrambled query, the body kept in the response
// buffer; the whole transfer may take at most timeoutSeconds, and giveUp
// (when given) may end it sooner. No answer comes with a warning that says
// why (a request libcurl could not start as well as one that got no answer);
// the caller tells the player.
HttpOutcome HttpGet(const std::string& base, const std::string& query,
                    long timeoutSeconds = kScoreRequestTimeoutDefault, HttpGiveUpCheck giveUp = nullptr);
// The last answer's body, kept until the next request.
const std::string& LastAnswerBody();
// The HTTP status of the last complete answer (0 when none came).
long LastAnswerStatus();
// Appends size x count bytes to the target string; 0 (which makes libcurl
// cut the transfer off) with no target or past kScoreResponseMax in all.
size_t HttpWriteCallback(char* data, size_t size, size_t count, void* target);
