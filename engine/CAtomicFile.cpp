#include "engine/CAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Platform.h"

namespace {

// The bytes of an extended attribute of path; false when it cannot be read.
bool ReadAttribute(const std::string& path, const char* name, std::vector<char>* value) {
    const ssize_t size = getxattr(path.c_str(), name, nullptr, 0);
    if (size < 0) return false;
    value->resize(static_cast<size_t>(size));
    const ssize_t read = getxattr(path.c_str(), name, value->data(), value->size());
    if (read < 0) return false;
    value->resize(static_cast<size_t>(read));
    return true;
}

// Every extended attribute of the file at from onto fd: the user's own, and
// the ACLs that say who else may read it. One that the file system or the
// process cannot set (another's security label, say) is left behind.
void CopyAttributes(const std::string& from, int fd) {
    const ssize_t size = listxattr(from.c_str(), nullptr, 0);
    if (size <= 0) return;
    std::vector<char> names(static_cast<size_t>(size));
    const ssize_t listed = listxattr(from.c_str(), names.data(), names.size());
    if (listed <= 0) return;
    std::vector<char> value;
    for (size_t at = 0; at < static_cast<size_t>(listed); at += strlen(&names[at]) + 1) {
        const char* name = &names[at];
        if (ReadAttribute(from, name, &value)) fsetxattr(fd, name, value.data(), value.size(), 0);
    }
}

// The new file at fd takes what the old one (st, at path) had: owner and
// group first, since a change of owner clears the set-ID bits; then the
// attributes. The mode it is to have: the set-ID bits only when both owner
// and group are the old ones (a program that set-user-IDs to someone else,
// or a set-group-ID file of a group not its own, is never made by a save).
mode_t KeepWhatTheOldFileHad(int fd, const std::string& path, const struct stat& st) {
    if (fchown(fd, st.st_uid, st.st_gid) != 0 && fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
        // Neither could be given: the file stays the writer's own.
    }
    struct stat now;
    const bool ownersKept = fstat(fd, &now) == 0 && now.st_uid == st.st_uid && now.st_gid == st.st_gid;
    CopyAttributes(path, fd);
    return st.st_mode & (ownersKept ? 07777 : 01777);
}

}  // namespace

CAtomicFile::CAtomicFile(const std::string& path) : path_(path), target_(path) {
    // A link is followed to a file, or to where a file is not yet. One that
    // leads to anything else (a device, a pipe, a folder) or round in links
    // is replaced itself, as a file in its place: what it leads to is never
    // touched.
    std::string target;
    struct stat st;
    if (PlatformFollowLinks(path, &target) && (stat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode)))
        target_ = target;
    tempPath_ = target_ + kTempSuffix;
}

CAtomicFile::~CAtomicFile() { Abort(); }

FILE* CAtomicFile::Open() {
    Abort();
    failed_ = true;
    // A temporary file left by a write that a crash broke off is gone with
    // this one: unlinked first, and the new one made afresh, so that neither
    // its permissions nor a link in its place decide where the bytes go. (A
    // folder in its place stays, and the write fails.)
    error_ = 0;
    const int inTheWay = unlink(tempPath_.c_str()) == 0 || errno == ENOENT ? 0 : errno;
    const int fd = open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        // What stands where the temporary goes says more than that it exists.
        error_ = errno == EEXIST && inTheWay ? inTheWay : errno;
        return nullptr;
    }
    // What its owner chose for the file replaced: who it belongs to, who
    // else may read it, a file made read-only (or private) comes back so.
    struct stat st;
    keptMode_ = -1;
    if (stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) keptMode_ = KeepWhatTheOldFileHad(fd, target_, st);
    file_ = fdopen(fd, "wb");
    if (!file_) {
        error_ = errno;
        close(fd);
        unlink(tempPath_.c_str());
        return nullptr;
    }
    failed_ = false;
    return file_;
}

void CAtomicFile::MarkFailed() {
    failed_ = true;
    if (!error_) error_ = errno ? errno : EIO;
}

std::string CAtomicFile::Folder() const { return PlatformFolderOf(target_); }

bool CAtomicFile::LeadsNowhere(int* error) const {
    struct stat st;
    if (lstat(path_.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || stat(path_.c_str(), &st) == 0) return false;
    *error = errno;
    return true;
}

bool CAtomicFile::Finish() {
    if (finished_) return true;
    if (!file_) return false;
    const auto step = [this](bool done) {
        if (!done && !error_) error_ = errno ? errno : EIO;
        return done;
    };
    bool ok = !failed_ && step(!ferror(file_));
    ok = step(fflush(file_) == 0) && ok;
    // The mode once every byte is in: a write by anyone but root takes the
    // set-ID bits off again.
    if (keptMode_ >= 0) fchmod(fileno(file_), static_cast<mode_t>(keptMode_));
    ok = step(fsync(fileno(file_)) == 0) && ok;
    ok = step(fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (!ok) {
        remove(tempPath_.c_str());
        return false;
    }
    finished_ = true;
    return true;
}

bool CAtomicFile::Commit() {
    if (!Finish()) return false;
    finished_ = false;
    if (rename(tempPath_.c_str(), target_.c_str()) == 0) return true;
    error_ = errno;
    remove(tempPath_.c_str());
    return false;
}

void CAtomicFile::Abort() {
    if (!file_ && !finished_) return;
    if (file_) fclose(file_);
    file_ = nullptr;
    finished_ = false;
    remove(tempPath_.c_str());
}
