#include "tools/design/ToolRefusal.h"

#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Why a write to standard output failed first, when FlushStandardOutput saw
// it: the last flush may find nothing left to send and no reason.
int g_standardOutputError = 0;

}  // namespace

int RefuseInOneLine(const char* tool, const std::string& reason) {
    fprintf(stderr, "%s: %s\n", tool, EscapeControls(reason).c_str());
    return 2;
}

bool FlushStandardOutput() {
    errno = 0;
    if (fflush(stdout) != 0 && !g_standardOutputError) g_standardOutputError = errno;
    return !ferror(stdout);
}

int EndWithStandardOutput(const char* tool, int code) {
    // A failed write drops what it could not send: a flush after it may
    // succeed with nothing left, so the stream's error mark tells.
    const bool failedBefore = ferror(stdout) != 0;
    errno = 0;
    const bool flushed = fflush(stdout) == 0;
    const int why = flushed ? g_standardOutputError : errno;
    if ((flushed && !failedBefore) || code == 2) return code;
    // Told once: the line goes to standard error alone.
    return RefuseInOneLine(tool, std::string("cannot write the standard output") +
                                     (why ? std::string(": ") + strerror(why) : std::string()));
}

int RunTool(const char* tool, int (*run)(int argc, char** argv), int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
    return EndWithStandardOutput(tool, run(argc, argv));
}
