// Preloaded (LD_PRELOAD) into zorv_scored by the score server's tests: every
// read at an offset, as SQLite reads its files, takes ZORV_SLOW_READS_MS
// milliseconds longer, so that the check of a small database at the start
// takes as long as that of a large one on a cold disk. The first such read
// creates the file ZORV_SLOW_READS_BEGUN names: the test then knows the
// server is reading its database.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

extern "C" ssize_t pread64(int fd, void* buffer, size_t count, off64_t offset) {
    using Read = ssize_t (*)(int, void*, size_t, off64_t);
    static const Read read = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "pread64"));
    static const char* const ms = getenv("ZORV_SLOW_READS_MS");
    static std::atomic<bool> begun{false};
    if (ms) {
        const char* note = getenv("ZORV_SLOW_READS_BEGUN");
        if (note && !begun.exchange(true)) {
            const int made = open(note, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (made >= 0) close(made);
        }
        usleep(static_cast<useconds_t>(atol(ms)) * 1000);
    }
    return read(fd, buffer, count, offset);
}
