#include "engine/Log.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "engine/Utilities.h"
#include "platform/Platform.h"

namespace {

bool g_enabled[kDebugCategoryCount];
char g_prefix[kDebugCategoryCount][kDebugPrefixMax + 1];
uint32_t g_lastTick30 = 0;
uint32_t g_lastTick32 = 0;

LogSink g_sink = nullptr;
// True while the last piece written to the file ended its line.
bool g_fileLineEnded = true;
// The same for standard error.
bool g_consoleLineEnded = true;

// The lines a player or a script must see (ErrorLog's, and the warnings and
// errors of DebugLog) go to standard error in the form of the game's every
// other line there: "zorv: " and the line, a warning saying so first, its
// control characters written out (a path in it sends the terminal nothing).
void TellOnStandardError(const std::string& text, bool warning) {
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        const bool ends = end != std::string::npos;
        if (!ends) end = text.size();
        if (g_consoleLineEnded) fputs(warning ? "zorv: warning: " : "zorv: ", stderr);
        fputs(EscapeControls(text.substr(at, end - at)).c_str(), stderr);
        if (ends) fputc('\n', stderr);
        g_consoleLineEnded = ends;
        at = end + 1;
    }
    fflush(stderr);
}

uint32_t SdlClock() { return SDL_GetTicks(); }
LogClock g_clock = SdlClock;

std::string Stamp() {
    char stamp[64];
    const time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    // Year first, as one reads it anywhere.
    strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S - ", &local);
    return stamp;
}

enum LogFileResult { LOG_WRITTEN, LOG_NO_FOLDER, LOG_CANNOT_OPEN, LOG_FOLDER_NOT_OURS };

// Why nothing may be written into the data folder now, as the console says it.
std::string ProfileDirRefusal() {
    int error = 0;
    switch (CheckProfileDir(&error)) {
    case ProfileDirState::AWAY_SINCE_START:
        return std::string("the data folder could not be reached when the game started (") + strerror(error) + ")";
    case ProfileDirState::UNREACHABLE:
        return std::string("the data folder cannot be reached now (") + strerror(error) + ")";
    default: return "the data folder is no longer the one this game locked";
    }
}

// Appends text to LOG.TXT, each new line time-stamped.
LogFileResult AppendToLogFile(const std::string& text) {
    // Before the profile folder is known a line goes to the console only:
    // never into the folder the game was started in, nor its data folder.
    if (!*GetProfileDir()) return LOG_NO_FOLDER;
    // Not even a log line goes into a data folder that another copy of the
    // game may own now, or whose files were never read: the line goes to
    // the console instead.
    if (!IsProfileDirClaimed()) return LOG_FOLDER_NOT_OURS;
    // Only into a file: a pipe standing there would stop the game.
    FILE* f = PlatformOpenForAppending(LogFilePath());
    if (!f) return LOG_CANNOT_OPEN;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        if (g_fileLineEnded) fputs(Stamp().c_str(), f);
        fwrite(text.data() + at, 1, end - at, f);
        g_fileLineEnded = text[end - 1] == '\n';
        at = end;
    }
    fclose(f);
    return LOG_WRITTEN;
}

std::string Format(const char* format, va_list args) {
    char stackBuf[1024];
    va_list copy;
    va_copy(copy, args);
    const int needed = vsnprintf(stackBuf, sizeof stackBuf, format, copy);
    va_end(copy);
    std::string message;
    if (needed >= static_cast<int>(sizeof stackBuf)) {
        message.resize(static_cast<size_t>(needed) + 1);
        vsnprintf(&message[0], message.size(), format, args);
        message.resize(static_cast<size_t>(needed));
    } else if (needed > 0) {
        message.assign(stackBuf, static_cast<size_t>(needed));
    }
    return message;
}

bool ValidCategory(int category) { return category >= 0 && category < kDebugCategoryCount; }

const char* const kPrefixes[kDebugCategoryCount] = {
    "STACK:   ",
    "NOTE:    ",
    "*** ERROR ***  ",
    "RENDER:  ",
    "DEBUG:   ",
    "",
    "DEBUG:   ",
    "DEBUG:   ",
    "DEBUG:   ",
    "CLASS:   ",
    "CLASS CONSTRUCT:  ",
    "CLASS DESTRUCT:   ",
    "WARNING: ",
    "RENDER SORTING:    ",
    "RENDER OPTIMIZE:   ",
    "SPRITE:  ",
    "DRAW:    ",
    "PRELOAD: ",
    "ELEMENT PUMP:     ",
    "UNDO:    ",
    "ACTIVE SPRITE:  ",
    "RENDER SORTING RV:           ",
    "LEVEL LOAD:  ",
    "LEVEL SAVE:  ",
    "LEVEL:       ",
    "SOUND:       ",
    "",
    "ELEMENT:     ",
    "CGAME:       ",
    "CEDITOR:     ",
    "",
    "SCOREBOARD:  ",
    "",
};

}  // namespace

void InitDebugLog(bool on) {
    for (int i = 0; i < kDebugCategoryCount; ++i) {
        g_enabled[i] = on;
        g_prefix[i][0] = '\0';
    }
    for (int i = 0; i < kDebugCategoryCount; ++i) SetDebugPrefix(i, kPrefixes[i]);
}

void EnableDebugCategory(int category) {
    if (ValidCategory(category)) g_enabled[category] = true;
}

void DisableDebugCategory(int category) {
    if (ValidCategory(category)) g_enabled[category] = false;
}

void ToggleDebugCategory(int category) {
    if (ValidCategory(category)) g_enabled[category] = !g_enabled[category];
}

bool IsDebugCategoryOn(int category) { return ValidCategory(category) && g_enabled[category]; }

void SetDebugPrefix(int category, const char* text) {
    if (!ValidCategory(category)) return;
    // Longer prefixes are cut to the field's width rather than overrunning it.
    snprintf(g_prefix[category], sizeof g_prefix[category], "%s", text ? text : "");
}

void SetLogClock(LogClock clock) { g_clock = clock ? clock : SdlClock; }

void SetLogSink(LogSink sink) { g_sink = sink; }

std::string LogFilePath() { return std::string(GetProfileDir()) + "LOG.TXT"; }

void DebugLog(uint32_t category, const char* format, ...) {
    const int index = static_cast<int>(category & 0x3FF);
    if (!IsDebugCategoryOn(index)) return;
    std::string prefix;
    if (!(category & DBG_NOPREFIX)) {
        if (category == DBG_TICK || category == DBG_MILESTONE) {
            const uint32_t now = g_clock();
            uint32_t& last = (category == DBG_TICK) ? g_lastTick30 : g_lastTick32;
            char tick[80];
            snprintf(tick, sizeof tick,
                     category == DBG_TICK ? "*** T=%-7i   d=+%-7i *** " : "BETA TICKS:   T=%-7i   d=+%-7i *** ",
                     static_cast<int>(now), static_cast<int>(now - last));
            prefix = tick;
            last = now;
        } else {
            prefix = g_prefix[index];
        }
    }
    va_list args;
    va_start(args, format);
    const std::string message = Format(format, args);
    va_end(args);
    if (g_sink) {
        g_sink(prefix + message);
    } else if (index == DBG_WARNING || index == DBG_ERROR) {
        // In the game's own form, which the category's banner would only
        // clutter.
        TellOnStandardError(message, index == DBG_WARNING);
    } else {
        fputs((prefix + message).c_str(), stdout);
        fflush(stdout);
    }
}

void ErrorLog(bool fatal, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string message = Format(format, args);
    va_end(args);

    if (g_sink) {
        g_sink(message);
    } else {
        TellOnStandardError(message, false);
        const LogFileResult result = AppendToLogFile(message);
        if (result == LOG_CANNOT_OPEN) DebugLog(DBG_ERROR, "Cannot open log file at '%s'\n", LogFilePath().c_str());
        if (result == LOG_FOLDER_NOT_OURS)
            DebugLog(DBG_ERROR, "Not written to the log file '%s': %s\n", LogFilePath().c_str(),
                     ProfileDirRefusal().c_str());
    }
    if (fatal) exit(1);
}
