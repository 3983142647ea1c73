#include "platform/Platform.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

// A folder named by the environment, as the base-directory rule takes it:
// only an absolute path. A relative one counts as not set, so that the
// player's files never land under whatever folder the game runs in.
bool AbsoluteFromEnv(const char* var, std::string* out) {
    const char* value = getenv(var);
    if (!value || value[0] != '/') return false;
    *out = value;
    return true;
}

// The folder homeSuffix names in the home folder.
bool InHome(const char* homeSuffix, std::string* out) {
    std::string home;
    if (!AbsoluteFromEnv("HOME", &home)) return false;
    *out = home + homeSuffix;
    return true;
}

const char* const kUserDirsFile = "/user-dirs.dirs";
const char* const kHomeWord = "$HOME";

// The value of one line of user-dirs.dirs when it sets key: the shell line
// KEY="$HOME/Folder" or KEY="/abs/folder", read as xdg-user-dir and the
// desktop's libraries read it (a backslash takes the next character as it
// is). Anything else (a relative folder, $HOME while the home folder is
// unknown) sets nothing. home is empty when it cannot be known.
bool ReadUserDirsLine(const std::string& line, const std::string& key, const std::string& home, std::string* out) {
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line.compare(at, key.size(), key) != 0) return false;
    at = line.find_first_not_of(" \t", at + key.size());
    if (at == std::string::npos || line[at] != '=') return false;
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line[at] != '"') return false;
    std::string value;
    bool closed = false;
    for (++at; at < line.size() && !closed; ++at) {
        if (line[at] == '\\' && at + 1 < line.size())
            value += line[++at];
        else if (line[at] == '"')
            closed = true;
        else
            value += line[at];
    }
    if (!closed) return false;
    if (value.compare(0, strlen(kHomeWord), kHomeWord) == 0) {
        const std::string rest = value.substr(strlen(kHomeWord));
        if (home.empty() || (!rest.empty() && rest[0] != '/')) return false;
        value = home + rest;
    } else if (value.empty() || value[0] != '/') {
        return false;
    }
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    *out = value;
    return true;
}

// The folder key names in $XDG_CONFIG_HOME/user-dirs.dirs (~/.config when
// that is not set), where the desktop keeps the user's folders in the
// user's language ("$HOME/Dokumente"). The last line that sets it counts,
// as when the shell reads the file.
bool FromUserDirsFile(const char* key, std::string* out) {
    std::string home, config;
    if (!AbsoluteFromEnv("HOME", &home)) home.clear();
    if (!AbsoluteFromEnv("XDG_CONFIG_HOME", &config)) {
        if (home.empty()) return false;
        config = home + "/.config";
    }
    FILE* f = PlatformOpenForReading(config + kUserDirsFile);
    if (!f) return false;
    bool found = false;
    char buffer[4096];
    std::string line;
    // A line longer than the buffer comes in pieces; only whole lines are read.
    while (fgets(buffer, sizeof buffer, f)) {
        line += buffer;
        if (line.back() != '\n' && !feof(f)) continue;
        if (line.back() == '\n') line.pop_back();
        found = ReadUserDirsLine(line, key, home, out) || found;
        line.clear();
    }
    fclose(f);
    return found;
}

// A folder of the user's, as the desktop names it: the environment, else
// user-dirs.dirs, else the English name in the home folder.
bool UserDir(const char* key, const char* homeSuffix, std::string* out) {
    return AbsoluteFromEnv(key, out) || FromUserDirsFile(key, out) || InHome(homeSuffix, out);
}

}  // namespace

bool PlatformDataHomeDir(std::string* out) {
    return AbsoluteFromEnv("XDG_DATA_HOME", out) || InHome("/.local/share", out);
}

bool PlatformDocumentsDir(std::string* out) { return UserDir("XDG_DOCUMENTS_DIR", "/Documents", out); }

bool PlatformPicturesDir(std::string* out) { return UserDir("XDG_PICTURES_DIR", "/Pictures", out); }

bool PlatformOpenURL(const char* url) {
    if (!url || !*url) return false;
    // Double fork: the browser is handed to init, so it never becomes a zombie
    // of ours and the game does not wait for it. The address is one argument
    // of xdg-open; no shell ever sees it.
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        // The game ignores SIGXFSZ (a write past the file-size limit fails
        // instead); the browser gets the default back.
        signal(SIGXFSZ, SIG_DFL);
        pid_t grandchild;
        char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(url), nullptr};
        const int rc = posix_spawnp(&grandchild, "xdg-open", nullptr, nullptr, argv, environ);
        _exit(rc == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int PlatformMajorVersion() { return 10; }

bool PlatformListDir(const std::string& folder, std::vector<PlatformDirEntry>* out, bool withUnreachable) {
    out->clear();
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    std::string base = folder;
    if (!base.empty() && base.back() != '/') base += '/';
    while (struct dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        PlatformDirEntry entry;
        entry.name = name;
        if (stat((base + name).c_str(), &st) == 0) {
            entry.isRegularFile = S_ISREG(st.st_mode);
        } else {
            if (!withUnreachable || lstat((base + name).c_str(), &st) != 0) continue;
            entry.isUnreachable = true;
        }
        out->push_back(entry);
    }
    closedir(dir);
    return true;
}

bool PlatformIsDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PlatformFileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool PlatformEntryExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

bool PlatformMakeDir(const std::string& path) {
    if (mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && PlatformIsDirectory(path);
}

bool PlatformMakeDirs(const std::string& path) {
    for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1)) {
        PlatformMakeDir(path.substr(0, pos));
    }
    return PlatformMakeDir(path);
}

namespace {

// Locks an open descriptor without waiting; on success the descriptor stays
// open, and the lock with it, until the process ends.
PlatformLock LockDescriptor(int fd) {
    if (fd < 0) return PLATFORM_LOCK_FAILED;
    int rc;
    while ((rc = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (rc == 0) return PLATFORM_LOCK_TAKEN;
    const bool busy = errno == EWOULDBLOCK;
    close(fd);
    return busy ? PLATFORM_LOCK_BUSY : PLATFORM_LOCK_FAILED;
}

}  // namespace

namespace {

// Why what stands at a path is not a file the game can use.
int NotAFileError(const struct stat& st) { return S_ISDIR(st.st_mode) ? EISDIR : EINVAL; }

// fd as a stream when it is a regular file; closed otherwise.
FILE* RegularFileStream(int fd, const char* mode) {
    if (fd < 0) return nullptr;
    struct stat st;
    const bool known = fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        const int why = known ? NotAFileError(st) : errno;
        close(fd);
        errno = why;
        return nullptr;
    }
    // A regular file never makes a read or a write wait: the flag was there
    // only so that the open could not.
    const int flags = fcntl(fd, F_GETFL);
    if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    FILE* f = fdopen(fd, mode);
    if (!f) close(fd);
    return f;
}

}  // namespace

FILE* PlatformOpenForReading(const std::string& path) {
    // Looked at before it is opened: opening a device may do something by
    // itself, and opening a pipe would wait for a writer.
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return nullptr;
    if (!S_ISREG(st.st_mode)) {
        errno = NotAFileError(st);
        return nullptr;
    }
    // Something else may have been put there meanwhile: looked at again.
    return RegularFileStream(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC), "rb");
}

FILE* PlatformOpenForAppending(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        errno = NotAFileError(st);
        return nullptr;
    }
    return RegularFileStream(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666), "ab");
}

bool PlatformFollowLinks(const std::string& path, std::string* target) {
    *target = path;
    for (int hops = 0; hops <= kPlatformMaxLinks; ++hops) {
        struct stat st;
        if (lstat(target->c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = readlink(target->c_str(), buffer.data(), buffer.size());
        if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) return false;
        const std::string link(buffer.data(), static_cast<size_t>(n));
        const size_t slash = target->rfind('/');
        *target = link[0] == '/' || slash == std::string::npos ? link : target->substr(0, slash + 1) + link;
    }
    return false;
}

bool PlatformIdentify(const std::string& path, PlatformFileId* out) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    out->device = static_cast<unsigned long long>(st.st_dev);
    out->inode = static_cast<unsigned long long>(st.st_ino);
    return true;
}

PlatformLock PlatformHoldFileLock(const std::string& path) {
    // Close-on-exec: a browser started from the game would otherwise keep
    // the lock for as long as it runs. Non-blocking: a pipe standing there
    // must not stop the game.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    // A lock needs no writing: a file the game may only read (one of another
    // user), or a folder, is locked through a descriptor for reading.
    if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    return LockDescriptor(fd);
}

PlatformLock PlatformHoldFolderLock(const std::string& folder, PlatformFileId* locked) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && fstat(fd, &st) != 0) {
        close(fd);
        return PLATFORM_LOCK_FAILED;
    }
    const PlatformLock lock = LockDescriptor(fd);
    if (lock == PLATFORM_LOCK_TAKEN) {
        locked->device = static_cast<unsigned long long>(st.st_dev);
        locked->inode = static_cast<unsigned long long>(st.st_ino);
    }
    return lock;
}

std::string PlatformExecutableDir() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return ".";
    buf[n] = '\0';
    const std::string path = buf;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string PlatformAbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof(cwd))) return path;
    return std::string(cwd) + "/" + path;
}

std::string PlatformFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}
