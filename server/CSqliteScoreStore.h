// The score store in one SQLite file, in WAL mode. Reads run side by side,
// each on a connection of its own. Writes go to one writer thread: it
// applies each write in a savepoint of its own (a failing write takes back
// only itself) and commits the writes that queued up while the previous
// commit reached the disk together, with a full sync, before any of them is
// answered. So a score answered "success" survives the process being killed
// and the machine losing power, and a slow disk costs one sync per batch,
// not one per score.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/CScoreStore.h"

struct sqlite3;
struct sqlite3_stmt;

class CSqliteScoreStore : public CScoreStore {
public:
    CSqliteScoreStore() = default;
    ~CSqliteScoreStore() override;
    CSqliteScoreStore(const CSqliteScoreStore&) = delete;
    CSqliteScoreStore& operator=(const CSqliteScoreStore&) = delete;

    // Opens the database file, creating it (and its tables) when missing.
    // False with the reason when the file cannot be used: not a database,
    // another program's database, one of a newer server, no WAL possible.
    bool Open(const std::string& path, std::string* error);
    // Finishes the writes already asked for, then closes every connection
    // (the last one folds the write-ahead log back into the file).
    void Close();
    // SQLite's own check of the whole file; true when it finds nothing wrong.
    bool CheckIntegrity(std::string* report);

    Outcome AddPlayer(const std::string& name, const std::string& version) override;
    bool IsNameTaken(const std::string& name, bool* failed) override;
    Outcome Upload(const std::string& name, int type, int level, int32_t score, uint32_t cheat) override;
    // Answered from the writer thread, after the commit of their batch.
    void AddPlayerThen(const std::string& name, const std::string& version, Then then) override;
    void UploadThen(const std::string& name, int type, int level, int32_t score, uint32_t cheat, Then then) override;
    bool ReadBoard(const std::string& viewer, int type, int level, int topRows, Board* board) override;
    bool Count(int64_t* players, int64_t* scores) override;

private:
    // Every statement the store runs, prepared once per connection.
    enum Statement {
        kBegin,
        kBeginWrite,
        kCommit,
        kRollback,
        kSavepoint,
        kRollbackToSavepoint,
        kReleaseSavepoint,
        kFindPlayer,
        kInsertPlayer,
        kNextSequence,
        kFindScore,
        kInsertScore,
        kUpdateScore,
        kFindFlagged,
        kInsertFlagged,
        kUpdateFlagged,
        kBoardCount,
        kBoardTop,
        kPlayersAhead,
        kCountAll,
        kIntegrity,
        kStatementCount
    };
    struct Connection {
        sqlite3* db = nullptr;
        sqlite3_stmt* statements[kStatementCount] = {};
    };
    struct WriteJob {
        bool player = false;  // a registration; else an upload
        std::string name, version;
        int type = 0, level = 0;
        int32_t score = 0;
        uint32_t cheat = 0;
        Outcome outcome = Outcome::kFailed;
        bool done = false;
        // Set for a write asked for without waiting: it gets the outcome,
        // and the job (made with new) is deleted.
        Then then = nullptr;
    };
    // A reader connection for the life of one read.
    class Lease;

    // The statement s of c, reset and unbound; null (logged) when it cannot
    // be prepared.
    sqlite3_stmt* Prepared(Connection* c, Statement s);
    // Runs a statement that returns no rows; false (logged) on failure.
    bool Run(Connection* c, Statement s);
    static void Finish(Connection* c);

    Connection* TakeReader();
    void GiveBack(Connection* c);

    Outcome Write(WriteJob* job);
    // Queues a job made with new, to be answered through its then.
    void Queue(WriteJob* job);
    void WriterLoop();
    void RunBatch(const std::vector<WriteJob*>& batch);
    Outcome ApplyPlayer(const WriteJob& job);
    Outcome ApplyScore(const WriteJob& job);
    // The id of a player (0: none; -1: the storage failed).
    int64_t FindPlayer(Connection* c, const std::string& name, std::string* stored);
    // A player's score on a board, clean (kFindScore) or marked
    // (kFindFlagged).
    struct Stored {
        bool found = false;
        int32_t score = 0;
        int64_t achieved = 0;
        int64_t seq = 0;
    };
    // False (logged) when the storage failed.
    bool FindScore(Connection* c, Statement s, int64_t player, int type, int level, Stored* stored);

    std::string path_;
    Connection writer_;
    std::mutex readersMutex_;
    std::vector<Connection*> idleReaders_;
    std::vector<Connection*> allReaders_;

    std::mutex queueMutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<WriteJob*> queue_;
    bool writing_ = false;  // the writer thread takes jobs
    bool stopping_ = false;
    std::thread writerThread_;
};
