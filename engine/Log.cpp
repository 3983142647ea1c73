#include "engine/Log.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "engine/Utilities.h"

namespace {

bool g_enabled[kDebugCategoryCount];
char g_prefix[kDebugCategoryCount][kDebugPrefixMax + 1];
uint32_t g_lastTick30 = 0;
uint32_t g_lastTick32 = 0;

uint32_t SdlClock() { return SDL_GetTicks(); }
LogClock g_clock = SdlClock;

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

void DebugLog(uint32_t category, const char* format, ...) {
    const int index = static_cast<int>(category & 0x3FF);
    if (!IsDebugCategoryOn(index)) return;
    if (!(category & DBG_NOPREFIX)) {
        if (category == DBG_TICK || category == DBG_MILESTONE) {
            const uint32_t now = g_clock();
            uint32_t& last = (category == DBG_TICK) ? g_lastTick30 : g_lastTick32;
            printf(category == DBG_TICK ? "*** T=%-7i   d=+%-7i *** " : "BETA TICKS:   T=%-7i   d=+%-7i *** ",
                   static_cast<int>(now), static_cast<int>(now - last));
            last = now;
        } else {
            fputs(g_prefix[index], stdout);
        }
    }
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

void ErrorLog(bool fatal, const char* format, ...) {
    va_list args;
    va_start(args, format);
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
    va_end(args);

    fputs(message.c_str(), stdout);
    fflush(stdout);

    const std::string path = std::string(GetProfileDir()) + "LOG.TXT";
    FILE* f = fopen(path.c_str(), "a+b");
    if (!f) {
        DebugLog(DBG_ERROR, "Cannot open log file at '%s'\n", path.c_str());
    } else {
        char stamp[64];
        const time_t now = time(nullptr);
        struct tm local;
        localtime_r(&now, &local);
        strftime(stamp, sizeof stamp, "%d/%m/%y %H:%M:%S - ", &local);
        fputs(stamp, f);
        fputs(message.c_str(), f);
        fclose(f);
    }
    if (fatal) exit(1);
}
