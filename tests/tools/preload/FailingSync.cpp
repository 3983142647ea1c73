// Preloaded (LD_PRELOAD) into a level tool by the tools' tests: the sync of
// every file whose path holds ZORV_FAIL_SYNC_OF fails as on a full disk (a
// file system that finds no room until it writes the data out), so that one
// output of several fails after the others were written whole.
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

extern "C" int fsync(int fd) {
    using Sync = int (*)(int);
    static const Sync sync = reinterpret_cast<Sync>(dlsym(RTLD_NEXT, "fsync"));
    const char* failing = getenv("ZORV_FAIL_SYNC_OF");
    if (failing && *failing) {
        char link[64];
        char path[PATH_MAX];
        snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        const ssize_t n = readlink(link, path, sizeof path - 1);
        if (n > 0) {
            path[n] = '\0';
            if (strstr(path, failing)) {
                errno = ENOSPC;
                return -1;
            }
        }
    }
    return sync(fd);
}
