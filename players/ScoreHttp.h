// The score client's transport: one blocking HTTP GET through libcurl, its
// body kept for the client to read. Only the client (and its tests) use it;
// libcurl stays inside ScoreHttp.cpp.
#pragma once

#include <cstddef>
#include <string>

// Answers longer than this are not an answer the server could have meant;
// the transfer is cut off and the request fails as unanswered.
constexpr size_t kScoreResponseMax = 1024 * 1024;
// The most seconds one request may take unless told otherwise.
constexpr long kScoreRequestTimeoutDefault = 30;

// GET base + "?" + the scrambled query, the body kept in the response
// buffer; the whole transfer may take at most timeoutSeconds. False when no
// complete answer came, with a warning that says why (no connection, no
// answer in time, an answer too long ...): the caller tells the player.
bool HttpGet(const std::string& base, const std::string& query,
             long timeoutSeconds = kScoreRequestTimeoutDefault);
// The last answer's body, kept until the next request.
const std::string& HttpGetString();
// The HTTP status of the last complete answer (0 when none came).
long HttpGetStatus();
// Appends size x count bytes to the target string; 0 (which makes libcurl
// cut the transfer off) with no target or past kScoreResponseMax in all.
size_t HttpWriteCallback(char* data, size_t size, size_t count, void* target);
