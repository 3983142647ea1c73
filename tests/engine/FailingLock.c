/* Preloaded into the game by a start-up test: every lock call fails as it
   does on a file system that keeps no locks (ENOLCK), never as though
   another process held the lock. Built as a module of its own, apart from
   the test program, which it must not change. */
#include <errno.h>
#include <sys/file.h>

int flock(int fd, int operation) {
    (void)fd;
    (void)operation;
    errno = ENOLCK;
    return -1;
}
