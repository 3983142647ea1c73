// Our stand-ins for what the Windows platform gave the game: the user's
// folders, opening a web page, the OS version, folder listing and status.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The user's folders as the desktop names them. Only absolute paths count:
// a relative HOME or XDG variable is taken as not set, as the base-directory
// rule says.
// $XDG_DATA_HOME, else $HOME/.local/share. False when neither can be found.
bool PlatformDataHomeDir(std::string* out);
// $XDG_DOCUMENTS_DIR, else the one user-dirs.dirs names (in $XDG_CONFIG_HOME,
// else ~/.config; "$HOME/..." or an absolute path, as xdg-user-dir reads
// it), else $HOME/Documents. False when none can be found.
bool PlatformDocumentsDir(std::string* out);
// The same for $XDG_PICTURES_DIR, else $HOME/Pictures.
bool PlatformPicturesDir(std::string* out);

// Starts xdg-open with url as its only argument, without a shell, and does
// not wait for it. False when the process could not be started.
bool PlatformOpenURL(const char* url);

// The major version the game's version tests see: a modern system.
int PlatformMajorVersion();

struct PlatformDirEntry {
    std::string name;
    bool isRegularFile = false;
    // Something stands under the name, but what it leads to cannot be
    // reached now (a link to a drive not mounted, a link that goes round).
    bool isUnreachable = false;
};
// Lists folder (without "." and ".."); false when it cannot be opened. An
// entry that cannot be reached now is left out unless withUnreachable.
bool PlatformListDir(const std::string& folder, std::vector<PlatformDirEntry>* out, bool withUnreachable = false);

bool PlatformIsDirectory(const std::string& path);
// Something can be reached at path (links followed).
bool PlatformFileExists(const std::string& path);
// Something stands at path itself, reachable or not: a link to a file that
// is not there now counts.
bool PlatformEntryExists(const std::string& path);
// Creates one folder; an existing folder counts as success.
bool PlatformMakeDir(const std::string& path);
// Creates a folder and every missing parent.
bool PlatformMakeDirs(const std::string& path);

// Opens path for reading as every file the game reads is opened: only a
// regular file (links followed), and never waiting on what stands there (a
// pipe, a device or a folder is refused before anything is read from it).
// Null when it cannot be: errno is ENOENT when nothing is at path.
FILE* PlatformOpenForReading(const std::string& path);
// Opens path for appending, created when missing, on the same terms: a pipe
// or a device there is refused rather than waited for or written into.
FILE* PlatformOpenForAppending(const std::string& path);
// The most links followed one after the other, as the system follows them:
// a longer chain counts as one that goes round.
constexpr int kPlatformMaxLinks = 40;
// The file a path leads to, through every symbolic link (one to a file not
// there yet too), so that a file written there replaces what the link points
// to and the link stays. False for a path that goes round in links (or
// through more than kPlatformMaxLinks of them).
bool PlatformFollowLinks(const std::string& path, std::string* target);

// Where a file or folder lives: its device and inode. Two paths name the same
// one when their identities are equal.
struct PlatformFileId {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const PlatformFileId& o) const { return device == o.device && inode == o.inode; }
    bool operator!=(const PlatformFileId& o) const { return !(*this == o); }
};
// The identity of what stands at path (links followed); false when nothing
// does.
bool PlatformIdentify(const std::string& path, PlatformFileId* out);

// An exclusive lock on the file at path (created when missing, never
// truncated; a file that can only be read, or a folder, does as well), taken
// without waiting and held until the process ends: the system lets go of it
// however the process ends, so a crash leaves nothing behind. Programs the
// process starts do not inherit it.
enum PlatformLock {
    PLATFORM_LOCK_TAKEN,
    PLATFORM_LOCK_BUSY,    // another process holds it
    PLATFORM_LOCK_FAILED,  // the file cannot be opened or locked
};
PlatformLock PlatformHoldFileLock(const std::string& path);
// The same lock on a folder itself, through a descriptor of the folder: no
// file deleted in it can undo it. locked: the identity of the folder locked
// (set only when taken).
PlatformLock PlatformHoldFolderLock(const std::string& folder, PlatformFileId* locked);

// The folder of the running program ("." when it cannot be found).
std::string PlatformExecutableDir();
// path made absolute against the current folder (unchanged when it already
// is, or when the current folder cannot be read).
std::string PlatformAbsolutePath(const std::string& path);
// The folder path lies in, with a slash at its end ("./" for a bare name).
std::string PlatformFolderOf(const std::string& path);
