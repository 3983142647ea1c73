// Writes a file so that a failure never loses the earlier version: the bytes go
// to a temporary file beside the target, every write is checked, and Commit
// renames the temporary over the target only when all of it was written.
//
// A path that is a symbolic link writes the file the link leads to (one not
// there yet too); the link stays. A link to something other than a file (a
// device, a pipe) is replaced itself: nothing but a file is ever replaced
// through a link.
//
// The new file keeps what the one it replaces had, as "cp -p" keeps it: its
// owner and group (as far as the process may give them), its extended
// attributes (ACLs among them) and its mode (a file made read-only stays
// so). The set-user-ID and set-group-ID bits only where owner and group are
// kept too. A new file gets the usual permissions.
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

    // Opens the temporary file (the target's path with ".tmp" added; one left
    // by a broken-off write is replaced); null when it cannot be created.
    FILE* Open();
    FILE* Stream() const { return file_; }

    // Records a failed write seen by the caller, so that Commit refuses; the
    // reason is the errno the failed write left.
    void MarkFailed();

    // Flushes and closes the temporary file, leaving it beside the target:
    // false (and the temporary gone) when anything failed. Several files
    // finished first and committed after are replaced only when all of them
    // could be written.
    bool Finish();
    // Finishes when not yet done and renames over the target. False (and the
    // target untouched) when anything failed.
    bool Commit();
    void Abort();

    // The path as given, and the file written (links followed).
    const std::string& Path() const { return path_; }
    const std::string& Target() const { return target_; }
    // The folder the file is written in (the link's target's), with a
    // slash at its end.
    std::string Folder() const;
    // Why the write failed: the errno of the first step that failed (0 while
    // nothing has).
    int Error() const { return error_; }

    // True when the path is a symbolic link that leads to no file now: the
    // file is not where it leads (its drive not mounted, say), or the link
    // goes round. A write would make a new file there (or replace the link):
    // right for a link made for a file yet to come, wrong for one whose file
    // was read through it, which would hide under its drive once the drive
    // is back. error: why the file cannot be reached (the errno).
    bool LeadsNowhere(int* error) const;

private:
    std::string path_;
    std::string target_;
    std::string tempPath_;
    FILE* file_ = nullptr;
    int keptMode_ = -1;  // the mode of the file replaced, given once written; -1: none
    int error_ = 0;
    bool failed_ = false;
    bool finished_ = false;  // the temporary is whole and closed, not yet renamed
};
