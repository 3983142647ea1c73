// Preloaded (LD_PRELOAD) into a level tool by the tools' tests:
// - the sync of every file whose path holds ZORV_FAIL_SYNC_OF fails as on a
//   full disk (a file system that finds no room until it writes the data
//   out), so that one output of several fails after the others were written
//   whole;
// - the removal of every file whose path holds ZORV_FAIL_UNLINK_OF is not
//   allowed, as for another user's file in a sticky folder or an immutable
//   one.
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

namespace {

bool Names(const char* variable, const char* path) {
    const char* failing = getenv(variable);
    return failing && *failing && strstr(path, failing);
}

}  // namespace

extern "C" int fsync(int fd) {
    using Sync = int (*)(int);
    static const Sync sync = reinterpret_cast<Sync>(dlsym(RTLD_NEXT, "fsync"));
    char link[64];
    char path[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n > 0) {
        path[n] = '\0';
        if (Names("ZORV_FAIL_SYNC_OF", path)) {
            errno = ENOSPC;
            return -1;
        }
    }
    return sync(fd);
}

extern "C" int unlink(const char* path) {
    using Unlink = int (*)(const char*);
    static const Unlink remove = reinterpret_cast<Unlink>(dlsym(RTLD_NEXT, "unlink"));
    if (Names("ZORV_FAIL_UNLINK_OF", path)) {
        errno = EPERM;
        return -1;
    }
    return remove(path);
}
