#include "engine/CAtomicFile.h"

#include <unistd.h>

#include <cstdio>

CAtomicFile::CAtomicFile(const std::string& path) : path_(path), tempPath_(path + kTempSuffix) {}

CAtomicFile::~CAtomicFile() { Abort(); }

FILE* CAtomicFile::Open() {
    Abort();
    failed_ = false;
    // A temporary file left by a write that a crash broke off is gone with
    // this one: unlinked first, so that neither its permissions nor a link
    // in its place decide where the bytes go. (A folder in its place stays,
    // and the write fails.)
    unlink(tempPath_.c_str());
    file_ = fopen(tempPath_.c_str(), "wb");
    if (!file_) failed_ = true;
    return file_;
}

bool CAtomicFile::Commit() {
    if (!file_) return false;
    bool ok = !failed_ && !ferror(file_);
    ok = fflush(file_) == 0 && ok;
    ok = fsync(fileno(file_)) == 0 && ok;
    ok = fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (ok) ok = rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (!ok) remove(tempPath_.c_str());
    return ok;
}

void CAtomicFile::Abort() {
    if (!file_) return;
    fclose(file_);
    file_ = nullptr;
    remove(tempPath_.c_str());
}
