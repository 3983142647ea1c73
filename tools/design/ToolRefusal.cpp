#include "tools/design/ToolRefusal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

int RefuseInOneLine(const char* tool, const std::string& reason) {
    fprintf(stderr, "%s: %s\n", tool, EscapeControls(reason).c_str());
    return 2;
}

int EndWithStandardOutput(const char* tool, int code) {
    const bool failedBefore = ferror(stdout) != 0;
    errno = 0;
    const bool flushed = fflush(stdout) == 0;
    const int why = errno;
    if ((flushed && !failedBefore) || code == 2) return code;
    // Told once: the line goes to standard error alone.
    return RefuseInOneLine(tool, std::string("cannot write the standard output") +
                                     (why ? std::string(": ") + strerror(why) : std::string()));
}
