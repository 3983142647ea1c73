// Preloaded (LD_PRELOAD) into zorv_scored by the score server's tests: a
// slow disk. Every read at an offset, as SQLite reads its files, takes
// ZORV_SLOW_READS_MS milliseconds longer, so that the check of a small
// database at the start takes as long as that of a large one on a cold
// disk; every sync (fsync, fdatasync) takes ZORV_SLOW_SYNCS_MS longer, so
// that a commit takes as long as on a busy disk. The first slowed call
// creates the file ZORV_SLOW_DISK_BEGUN names: the test then knows the
// server is at its database. While the file ZORV_FULL_DISK_WHILE names
// is there, every write at an offset (as SQLite writes its files) fails
// as on a full disk.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace {

// Waits the milliseconds the variable named gives, if it is set.
void SlowDown(const char* variable) {
    static std::atomic<bool> begun{false};
    const char* ms = getenv(variable);
    if (!ms) return;
    const char* note = getenv("ZORV_SLOW_DISK_BEGUN");
    if (note && !begun.exchange(true)) {
        const int made = open(note, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (made >= 0) close(made);
    }
    usleep(static_cast<useconds_t>(atol(ms)) * 1000);
}

template <typename Call>
Call Next(const char* name) {
    return reinterpret_cast<Call>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t pread64(int fd, void* buffer, size_t count, off64_t offset) {
    static const auto read = Next<ssize_t (*)(int, void*, size_t, off64_t)>("pread64");
    SlowDown("ZORV_SLOW_READS_MS");
    return read(fd, buffer, count, offset);
}

extern "C" int fdatasync(int fd) {
    static const auto sync = Next<int (*)(int)>("fdatasync");
    SlowDown("ZORV_SLOW_SYNCS_MS");
    return sync(fd);
}

extern "C" int fsync(int fd) {
    static const auto sync = Next<int (*)(int)>("fsync");
    SlowDown("ZORV_SLOW_SYNCS_MS");
    return sync(fd);
}

namespace {

bool IsDiskFull() {
    const char* full = getenv("ZORV_FULL_DISK_WHILE");
    return full && access(full, F_OK) == 0;
}

}  // namespace

extern "C" ssize_t pwrite64(int fd, const void* buffer, size_t count, off64_t offset) {
    static const auto write = Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    if (IsDiskFull()) {
        errno = ENOSPC;
        return -1;
    }
    return write(fd, buffer, count, offset);
}
