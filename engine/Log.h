// Diagnostics: DebugLog prints by category to standard output, ErrorLog
// appends a line to LOG.TXT in the profile folder (once it is known: never
// anywhere else), stamped with the local time year first
// ("2024-06-05 14:03:09 - "), and can end the program. What a player or a
// script must see (ErrorLog's lines, DebugLog's warnings and errors) goes to
// standard error instead, as "zorv: LINE" ("zorv: warning: LINE"), like the
// game's other lines there. The level tools, whose standard output is their
// answer and who own no data folder, take every log line themselves
// (SetLogSink).
#pragma once

#include <cstdint>
#include <string>

// Category numbers. The low ten bits select the category; DBG_NOPREFIX marks a
// continuation piece of a line that must not repeat the prefix.
enum DebugCategoryId : uint32_t {
    DBG_STACK = 0,
    DBG_NOTE = 1,
    DBG_ERROR = 2,
    DBG_RENDER = 3,
    DBG_DEBUG = 4,
    DBG_GRID = 5,
    DBG_DEBUG6 = 6,
    DBG_DEBUG7 = 7,
    DBG_MAGNET = 8,
    DBG_CLASS = 9,
    DBG_CONSTRUCT = 10,
    DBG_DESTRUCT = 11,
    DBG_WARNING = 12,
    DBG_SORT = 13,
    DBG_OPTIMIZE = 14,
    DBG_SPRITE = 15,
    DBG_DRAW = 16,
    DBG_PRELOAD = 17,
    DBG_ELEMENT_PUMP = 18,
    DBG_UNDO = 19,
    DBG_ACTIVE_SPRITE = 20,
    DBG_SORT_RV = 21,
    DBG_LEVEL_LOAD = 22,
    DBG_LEVEL_SAVE = 23,
    DBG_LEVEL = 24,
    DBG_SOUND = 25,
    DBG_PROFILE = 26,
    DBG_ELEMENT = 27,
    DBG_CGAME = 28,
    DBG_CEDITOR = 29,
    DBG_TICK = 30,
    DBG_SCOREBOARD = 31,
    DBG_MILESTONE = 32,
    DBG_NOPREFIX = 0x400,
};

constexpr int kDebugCategoryCount = 33;
constexpr int kDebugPrefixMax = 34;

void InitDebugLog(bool on);
void EnableDebugCategory(int category);
void DisableDebugCategory(int category);
void ToggleDebugCategory(int category);
bool IsDebugCategoryOn(int category);
void SetDebugPrefix(int category, const char* text);

// Where every DebugLog and ErrorLog text goes instead of standard output and
// LOG.TXT while it is set (null: the game's way). A text may be a piece of a
// line (DBG_NOPREFIX continues it). ErrorLog's fatal end still exits 1.
using LogSink = void (*)(const std::string& text);
void SetLogSink(LogSink sink);
// LOG.TXT in the profile folder.
std::string LogFilePath();

void DebugLog(uint32_t category, const char* format, ...) __attribute__((format(printf, 2, 3)));
void ErrorLog(bool fatal, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The tick source of the tick lines (SDL_GetTicks by default); tests replace it.
using LogClock = uint32_t (*)();
void SetLogClock(LogClock clock);
