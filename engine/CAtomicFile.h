// Writes a file so that a failure never loses the earlier version: the bytes go
// to a temporary file beside the target, every write is checked, and Commit
// renames the temporary over the target only when all of it was written.
#pragma once

#include <cstdio>
#include <string>

class CAtomicFile {
public:
    // Added to the target's path to name the temporary file.
    static constexpr const char* kTempSuffix = ".tmp";

    explicit CAtomicFile(const std::string& path);
    ~CAtomicFile();  // abandons an uncommitted temporary file

    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Opens the temporary file (the path with ".tmp" added; one left by a
    // broken-off write is replaced); null when it cannot be created.
    FILE* Open();
    FILE* Stream() const { return file_; }

    // Records a failed write seen by the caller, so that Commit refuses.
    void MarkFailed() { failed_ = true; }

    // Flushes, closes and renames over the target. False (and the target
    // untouched) when anything failed.
    bool Commit();
    void Abort();

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string tempPath_;
    FILE* file_ = nullptr;
    bool failed_ = false;
};
