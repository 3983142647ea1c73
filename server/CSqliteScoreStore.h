// The score store in one SQLite file, in WAL mode. Reads run side by side,
// each on a connection of its own. Writes go to one writer thread: it
// applies each write in a savepoint of its own (a failing write takes back
// only itself) and commits the writes that queued up while the previous
// commit reached the disk together, with a full sync, before any of them is
// answered. So a score answered "success" survives the process being killed
// and the machine losing power, and a slow disk costs one sync per batch,
// not one per score. Before each commit it checks that the file at the
// database's path is still the one it writes to: a file deleted, renamed or
// replaced while the server runs would take every later write with it, so
// writes are refused (kFailed) until that file is back.
//
// What a download needs is kept beside the scores, in the same transaction:
// how many entries each board has at each score, and in coarser steps of
// scores, so that a download reads a few rows however large its board.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/CScoreStore.h"
#include "server/CSqliteConnection.h"

struct sqlite3;

class CSqliteScoreStore : public CScoreStore {
public:
    // How long a write or a read waits for a lock that another program
    // holds on the file (a backup, an administrator's query) before it
    // fails.
    static constexpr int kLockWaitMilliseconds = 5000;

    CSqliteScoreStore() = default;
    ~CSqliteScoreStore() override;
    CSqliteScoreStore(const CSqliteScoreStore&) = delete;
    CSqliteScoreStore& operator=(const CSqliteScoreStore&) = delete;

    // Opens the database file, creating it (and its tables) when missing, and
    // brings a file of an earlier layout to this one (in one transaction,
    // with its progress in the log); the file is marked as the store's
    // (its application id) and kept in WAL mode. False with the reason when
    // the file cannot be used: not a database, another program's database
    // (marked as another program's, or unmarked with tables that are not
    // those of one of the store's layouts), one of a newer server, damaged,
    // empty with a write-ahead log beside it; each left exactly as it was,
    // with no file made beside it. Also false when no WAL is possible, or
    // when Interrupt came first.
    bool Open(const std::string& path, std::string* error);
    // The server is stopping (safe from any thread, at any time, also while
    // Open runs): the start's check and conversion end at once (Open fails,
    // having changed nothing), and no write or read waits any longer for a
    // lock that another program holds on the file (such a write is kFailed).
    // It stays so until the store is destroyed. Returns once Open, if it
    // runs, has given up.
    void Interrupt();
    // StopWrites, then closes every connection; the last one folds the
    // write-ahead log back into the file and removes it (a checkpoint: two
    // syncs), so that the database is its one file again, whole for a copy
    // or a move. False when it could not, and the latest writes stay in the
    // log beside it (path + "-wal"), which belongs with the file: when
    // another program has the file open (until that program's own close
    // folds the log back), or when the fold failed, with SQLite's reason
    // (a full disk) in *foldFailure (left empty in the first case); also
    // when Open did not finish and left the log it found (after a crash,
    // the latest writes) beside the file.
    bool Close(std::string* foldFailure = nullptr);
    // SQLite's own check of the whole file, and of the board counts against
    // the scores; true when it finds nothing wrong.
    bool CheckIntegrity(std::string* report);
    // The SQLite steps (virtual machine instructions) every ReadBoard so far
    // has taken, together: what a download costs, whatever else the machine
    // does.
    int64_t BoardReadSteps() const { return boardReadSteps_; }

    Outcome AddPlayer(const std::string& name, const std::string& version) override;
    bool IsNameTaken(const std::string& name, bool* failed) override;
    Outcome Upload(const std::string& name, int type, int level, int32_t score, uint32_t flags) override;
    // Answered from the writer thread, after the commit of their batch.
    void AddPlayerThen(const std::string& name, const std::string& version, Then then) override;
    void UploadThen(const std::string& name, int type, int level, int32_t score, uint32_t flags, Then then) override;
    // The writes of the batch being applied are dropped too, unless its
    // commit has begun.
    void StopWrites() override;
    bool ReadBoard(const std::string& viewer, int type, int level, int topRows, Board* board) override;
    bool Count(int64_t* players, int64_t* scores) override;

private:
    struct WriteJob {
        bool player = false;  // a registration; else an upload
        std::string name, version;
        int type = 0, level = 0;
        int32_t score = 0;
        uint32_t flags = 0;
        // Gets the outcome once the write is kept or failed.
        Then then;
    };
    // A reader connection for the life of one read.
    class Lease;

    CSqliteConnection* TakeReader();
    void GiveBack(CSqliteConnection* c);

    // Queues a job and waits for its outcome.
    Outcome Write(WriteJob job);
    // Queues a job, to be answered through its then.
    void Queue(WriteJob job);
    void WriterLoop();
    // The outcome of each job of the batch, committed together.
    std::vector<Outcome> RunBatch(const std::vector<WriteJob>& batch);
    Outcome ApplyPlayer(const WriteJob& job);
    Outcome ApplyScore(const WriteJob& job);
    // Moves a clean entry of board (type, level) from score from (none when
    // !had) to score to in the board's counts; false (logged) on failure.
    bool Recount(int type, int level, bool had, int32_t from, int32_t to);
    // Whether StopWrites was called (the writer asks before each commit).
    bool IsStopping();
    static void LogDropped(size_t writes);
    // Whether the file at the path (and its write-ahead log) is still the one
    // the store writes to; a change either way is logged once.
    bool IsStillOurFile();
    // What the file at path holds, found without changing a byte of it or
    // making a file beside it (SQLite would make the log and its index, fold
    // the log back at its close, and delete a log beside an empty file):
    // *layout is the store's layout it has (0: none yet, a new file). False
    // with the reason when it is not the store's to use, or damaged.
    bool Examine(const std::string& path, int* layout, std::string* error);
    // Whether the server may write the file at path and the files SQLite
    // keeps beside it, and make them in its folder; false with the reason.
    static bool MayWrite(const std::string& path, std::string* error);
    // Makes db the connection that Interrupt ends (null: none); false when
    // Interrupt came first.
    bool Opening(sqlite3* db);
    // Brings the counts of a database of layout 1 or 2 up (in the open
    // transaction of Open), with its progress in the log.
    bool CountBoards(std::string* error);
    // The id of a player (0: none; -1: the storage failed).
    int64_t FindPlayer(CSqliteConnection* c, const std::string& name, std::string* stored);
    // A player's score on a board, clean or flagged.
    struct Stored {
        bool found = false;
        int32_t score = 0;
        int64_t achieved = 0;
        int64_t seq = 0;
    };
    // False (logged) when the storage failed.
    bool FindScore(CSqliteConnection* c, bool flagged, int64_t player, int type, int level, Stored* stored);

    // ReadBoard in the open transaction of c; false when the storage failed.
    bool ReadBoardIn(CSqliteConnection* c, const std::string& viewer, int type, int level, int topRows, Board* board);

    struct FileId {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const FileId& o) const { return device == o.device && inode == o.inode; }
    };
    // False when nothing is at path.
    static bool IdOf(const std::string& path, FileId* id);
    static int OnBusy(void* store, int count);

    std::string path_;
    FileId fileId_, walId_;
    bool fileLost_ = false;  // writes refused (writer thread only)
    std::atomic<bool> interrupted_{false};
    std::mutex openingMutex_;
    sqlite3* opening_ = nullptr;  // the connection Open is using
    std::atomic<int64_t> boardReadSteps_{0};
    CSqliteConnection writer_;
    std::mutex readersMutex_;
    std::vector<CSqliteConnection*> idleReaders_;
    std::vector<std::unique_ptr<CSqliteConnection>> allReaders_;

    std::mutex queueMutex_;
    std::condition_variable queued_;
    std::condition_variable applied_;
    std::deque<WriteJob> queue_;
    bool writing_ = false;   // the writer thread takes jobs
    bool stopping_ = false;  // writes are refused
    bool applying_ = false;  // the writer has a batch under way
    std::thread writerThread_;
};
