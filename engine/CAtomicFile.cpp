#include "engine/CAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/Platform.h"

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
    unlink(tempPath_.c_str());
    const int fd = open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    // The permissions of the file replaced, which its owner chose: a file
    // made read-only (or private) comes back so. Only the permission bits: a
    // set-user-ID bit is not handed on to new contents.
    struct stat st;
    if (stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) fchmod(fd, st.st_mode & 0777);
    file_ = fdopen(fd, "wb");
    if (!file_) {
        close(fd);
        unlink(tempPath_.c_str());
        return nullptr;
    }
    failed_ = false;
    return file_;
}

bool CAtomicFile::Finish() {
    if (finished_) return true;
    if (!file_) return false;
    bool ok = !failed_ && !ferror(file_);
    ok = fflush(file_) == 0 && ok;
    ok = fsync(fileno(file_)) == 0 && ok;
    ok = fclose(file_) == 0 && ok;
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
