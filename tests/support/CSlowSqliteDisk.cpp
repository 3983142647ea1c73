#include "tests/support/CSlowSqliteDisk.h"

#include <sqlite3.h>

#include <map>
#include <memory>
#include <thread>

namespace {

// The disk's own methods for a kind of file, xSync aside.
struct SlowMethods {
    sqlite3_io_methods methods;
    int (*sync)(sqlite3_file*, int);
};

std::mutex gMutex;  // guards what follows
CSlowSqliteDisk* gDisk = nullptr;
sqlite3_vfs* gRealVfs = nullptr;
sqlite3_vfs gSlowVfs;  // lives on: a connection opened through it keeps it
std::map<const sqlite3_io_methods*, std::unique_ptr<SlowMethods>> gMethods;

int SlowSync(sqlite3_file* file, int flags) {
    CSlowSqliteDisk* disk = nullptr;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        disk = gDisk;
        if (disk) disk->Enter();
    }
    if (disk) disk->Wait();
    return reinterpret_cast<const SlowMethods*>(file->pMethods)->sync(file, flags);
}

int OpenOnSlowDisk(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    const int rc = gRealVfs->xOpen(gRealVfs, name, file, flags, outFlags);
    if (rc != SQLITE_OK || !file->pMethods) return rc;
    std::lock_guard<std::mutex> lock(gMutex);
    std::unique_ptr<SlowMethods>& slow = gMethods[file->pMethods];
    if (!slow) {
        slow.reset(new SlowMethods{*file->pMethods, file->pMethods->xSync});
        slow->methods.xSync = SlowSync;
    }
    file->pMethods = &slow->methods;
    return rc;
}

}  // namespace

CSlowSqliteDisk::CSlowSqliteDisk() {
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gRealVfs) {
        gRealVfs = sqlite3_vfs_find(nullptr);
        gSlowVfs = *gRealVfs;
        gSlowVfs.zName = "zorv-slow-disk";
        gSlowVfs.xOpen = OpenOnSlowDisk;
    }
    sqlite3_vfs_register(&gSlowVfs, 1);
    gDisk = this;
}

CSlowSqliteDisk::~CSlowSqliteDisk() {
    {
        std::lock_guard<std::mutex> lock(gMutex);
        gDisk = nullptr;
        sqlite3_vfs_unregister(&gSlowVfs);
    }
    std::unique_lock<std::mutex> lock(mutex_);
    holding_ = false;
    changed_.notify_all();
    changed_.wait(lock, [this] { return inside_ == 0; });
}

void CSlowSqliteDisk::SetSyncDelay(std::chrono::milliseconds delay) {
    std::lock_guard<std::mutex> lock(mutex_);
    delay_ = delay;
}

void CSlowSqliteDisk::Hold() {
    std::lock_guard<std::mutex> lock(mutex_);
    holding_ = true;
}

void CSlowSqliteDisk::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    holding_ = false;
    changed_.notify_all();
}

bool CSlowSqliteDisk::WaitTillASyncIsHeld(std::chrono::seconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return held_ > 0; });
}

int CSlowSqliteDisk::Syncs() {
    std::lock_guard<std::mutex> lock(mutex_);
    return syncs_;
}

void CSlowSqliteDisk::Enter() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++inside_;
    ++syncs_;
}

void CSlowSqliteDisk::Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    const std::chrono::milliseconds delay = delay_;
    if (delay.count() > 0) {
        lock.unlock();
        std::this_thread::sleep_for(delay);
        lock.lock();
    }
    if (holding_) {
        ++held_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !holding_; });
        --held_;
    }
    --inside_;
    changed_.notify_all();
}
