#include "server/ServerLog.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

void ServerLog(const char* format, ...) {
    char when[32];
    const time_t now = time(nullptr);
    struct tm utc;
    gmtime_r(&now, &utc);
    strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &utc);
    char text[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // One call per line: lines of different threads never mix.
    fprintf(stderr, "%s %s\n", when, text);
}

std::string EscapeForLog(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            out += c;
            continue;
        }
        char hex[8];
        snprintf(hex, sizeof hex, "\\x%02x", u);
        out += hex;
    }
    return out;
}
