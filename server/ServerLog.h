// zorv_scored's log: one line per event on standard error, after the time
// (UTC). Whatever came from a request is written with its control characters
// spelled out, so that one event always stays one line.
#pragma once

#include <string>

void ServerLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// text with bytes below 0x20, 0x7F and above written as \xNN.
std::string EscapeForLog(const std::string& text);
