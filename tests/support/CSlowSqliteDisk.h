// A disk as slow as a test or a benchmark needs, for SQLite in this process:
// while one of these lives, it is SQLite's default VFS, so every file that a
// connection opens from then on is the real disk's, only its syncs go
// through here. Each sync waits the delay set, and while the disk is held,
// until it is let go; a sync is what every commit waits for (and a
// checkpoint, twice). One at a time; every connection opened through it is
// closed before it goes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class CSlowSqliteDisk {
public:
    CSlowSqliteDisk();
    ~CSlowSqliteDisk();
    CSlowSqliteDisk(const CSlowSqliteDisk&) = delete;
    CSlowSqliteDisk& operator=(const CSlowSqliteDisk&) = delete;

    // Every sync from now on waits this long first.
    void SetSyncDelay(std::chrono::milliseconds delay);
    // Every sync from now on waits until Release.
    void Hold();
    void Release();
    // Whether a sync is waiting on the hold, within timeout.
    bool WaitTillASyncIsHeld(std::chrono::seconds timeout);
    // The syncs begun so far.
    int Syncs();

    // A sync begins, and waits (called by the VFS).
    void Enter();
    void Wait();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::chrono::milliseconds delay_{0};
    bool holding_ = false;
    int held_ = 0;    // syncs waiting on the hold
    int inside_ = 0;  // syncs in Wait
    int syncs_ = 0;
};
