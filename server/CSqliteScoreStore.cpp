#include "server/CSqliteScoreStore.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "server/ServerLog.h"

namespace {

// The layout this server writes; a file with a higher number was written by
// a newer server and is left alone. Layout 1 kept one score per player and
// board, marked or not; layout 2 keeps the marked ones apart; layout 3 keeps
// the board counts. An older file is brought up at the start.
const int kSchemaVersion = 3;

// The board counts: at depth 0 how many clean entries of a board hold each
// score, at depth d how many have each value of score >> (kBucketBits * d).
// Scores are 1 to 2^31 - 1, so depth kTopDepth has one bucket, the whole
// board. The entries below a score are the sum, at each depth under the top,
// of the at most 15 buckets before its own under the same bucket above: a
// few dozen rows however many entries and different scores a board has
// (step counts are few, but a stranger may send any), and a new entry
// changes one count per depth.
const int kBucketBits = 4;
const int kTopDepth = 8;

// Names compare without letter case: "Bob" and "bob" are one player, so that
// nobody can pass for another on a board. A player's clean scores are one
// row per board; the index serves the board queries in rank order. His best
// marked score (sent with a non-zero cheat word) has a table of its own: it
// shows on his own board only, and never hides his clean one from others.
// Clean and marked scores are kept in rows of one shape.
#define ZORV_SCORE_COLUMNS                                  \
    " player INTEGER NOT NULL REFERENCES players(id),"      \
    " type INTEGER NOT NULL,"                               \
    " level INTEGER NOT NULL,"                              \
    " score INTEGER NOT NULL,"                              \
    " cheat INTEGER NOT NULL,"                              \
    " seq INTEGER NOT NULL,"                                \
    " achieved INTEGER NOT NULL,"                           \
    " PRIMARY KEY (player, type, level)) WITHOUT ROWID"
const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS players ("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL UNIQUE COLLATE NOCASE,"
    " version TEXT NOT NULL,"
    " registered INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS scores (" ZORV_SCORE_COLUMNS,
    "CREATE INDEX IF NOT EXISTS scores_by_board ON scores (type, level, score, seq, cheat)",
    "CREATE TABLE IF NOT EXISTS flagged (" ZORV_SCORE_COLUMNS,
    "CREATE TABLE IF NOT EXISTS counts ("
    " type INTEGER NOT NULL,"
    " level INTEGER NOT NULL,"
    " depth INTEGER NOT NULL,"
    " bucket INTEGER NOT NULL,"
    " entries INTEGER NOT NULL,"
    " PRIMARY KEY (type, level, depth, bucket)) WITHOUT ROWID",
    // The order in which scores were reached: of equal scores the earlier
    // ranks first.
    "CREATE TABLE IF NOT EXISTS counters (name TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID",
    "INSERT OR IGNORE INTO counters VALUES ('seq', 0)",
};

// From layout 1: its marked scores move to their own table (the player's
// clean score there was lost under them).
const char* const kFromLayout1[] = {
    "INSERT OR REPLACE INTO flagged SELECT player, type, level, score, cheat, seq, achieved FROM scores"
    " WHERE cheat <> 0",
    "DELETE FROM scores WHERE cheat <> 0",
};

// From layout 2: the counts of every board, its depth 0 from its scores and
// each depth above from the one below.
const char* const kBoardsToCount = "SELECT type, level, COUNT(*) FROM scores GROUP BY type, level";
const char* const kCountScores =
    "INSERT INTO counts SELECT type, level, 0, score, COUNT(*) FROM scores WHERE type = ?1 AND level = ?2"
    " GROUP BY score";
const char* const kCountDepth =
    "INSERT INTO counts SELECT type, level, depth + 1, bucket >> ?4, SUM(entries) FROM counts"
    " WHERE type = ?1 AND level = ?2 AND depth = ?3 GROUP BY bucket >> ?4";

const char* const kStatements[] = {
    "BEGIN",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SAVEPOINT one_write",
    "ROLLBACK TO one_write",
    "RELEASE one_write",
    "SELECT id, name FROM players WHERE name = ?1",
    "INSERT INTO players (name, version, registered) VALUES (?1, ?2, ?3)",
    "UPDATE counters SET value = value + 1 WHERE name = 'seq' RETURNING value",
    "SELECT score, achieved, seq FROM scores WHERE player = ?1 AND type = ?2 AND level = ?3",
    "INSERT INTO scores (player, type, level, score, cheat, seq, achieved) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
    "UPDATE scores SET score = ?4, cheat = ?5, seq = ?6, achieved = ?7 WHERE player = ?1 AND type = ?2 AND level = ?3",
    "SELECT score, achieved, seq FROM flagged WHERE player = ?1 AND type = ?2 AND level = ?3",
    "INSERT INTO flagged (player, type, level, score, cheat, seq, achieved) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
    "UPDATE flagged SET score = ?4, cheat = ?5, seq = ?6, achieved = ?7 WHERE player = ?1 AND type = ?2 AND level = ?3",
    "INSERT INTO counts VALUES (?1, ?2, ?3, ?4, ?5) ON CONFLICT DO UPDATE SET entries = entries + excluded.entries",
    "SELECT entries FROM counts WHERE type = ?1 AND level = ?2 AND depth = ?3 AND bucket = ?4",
    // The board without the viewer, whose own row is put in apart.
    "SELECT p.name, s.score, s.achieved, s.seq FROM scores AS s JOIN players AS p ON p.id = s.player"
    " WHERE s.type = ?1 AND s.level = ?2 AND s.player <> ?3 ORDER BY s.score, s.seq LIMIT ?4",
    "SELECT COALESCE(SUM(entries), 0) FROM counts WHERE type = ?1 AND level = ?2 AND depth = ?3 AND bucket >= ?4"
    " AND bucket < ?5",
    "SELECT (SELECT COUNT(*) FROM players), (SELECT COUNT(*) FROM scores) + (SELECT COUNT(*) FROM flagged)",
    "PRAGMA integrity_check",
    // Board counts that the scores, counted again, do not give (?1:
    // kBucketBits, ?2: kTopDepth).
    "WITH RECURSIVE d(depth) AS (VALUES (0) UNION ALL SELECT depth + 1 FROM d WHERE depth < ?2),"
    " fresh AS (SELECT s.type, s.level, d.depth, s.score >> (?1 * d.depth), COUNT(*) FROM scores AS s, d"
    " GROUP BY 1, 2, 3, 4),"
    " kept AS (SELECT type, level, depth, bucket, entries FROM counts WHERE entries <> 0)"
    " SELECT (SELECT COUNT(*) FROM (SELECT * FROM fresh EXCEPT SELECT * FROM kept))"
    " + (SELECT COUNT(*) FROM (SELECT * FROM kept EXCEPT SELECT * FROM fresh))",
};
static_assert(sizeof kStatements / sizeof *kStatements == 23, "one text per statement");

// The most writes one commit carries.
const size_t kBatchMax = 256;

std::string ErrorOf(sqlite3* db) { return db ? sqlite3_errmsg(db) : "out of memory"; }

// Runs one fixed statement (no values from outside) to its end.
bool RunText(sqlite3* db, const char* sql, std::string* error) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE && rc != SQLITE_OK) *error = ErrorOf(db);
    sqlite3_finalize(st);
    return rc == SQLITE_DONE || rc == SQLITE_OK;
}

// The first column of the first row of a fixed statement, as text.
bool QueryText(sqlite3* db, const char* sql, std::string* value, std::string* error) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(st);
    const bool ok = rc == SQLITE_ROW;
    if (ok) {
        const unsigned char* text = sqlite3_column_text(st, 0);
        *value = text ? reinterpret_cast<const char*>(text) : "";
    } else {
        *error = rc == SQLITE_DONE ? "no answer to " + std::string(sql) : ErrorOf(db);
    }
    sqlite3_finalize(st);
    return ok;
}

// SQLite's quick check; false with its first findings, in one line, in
// *error.
bool QuickCheck(sqlite3* db, std::string* error) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr);
    std::string found;
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        if ((rc = sqlite3_step(st)) != SQLITE_ROW) break;
        const unsigned char* text = sqlite3_column_text(st, 0);
        const std::string row = text ? reinterpret_cast<const char*>(text) : "";
        if (row != "ok") found += row + "\n";
    }
    if (rc != SQLITE_DONE && rc != SQLITE_OK) found = ErrorOf(db);
    sqlite3_finalize(st);
    if (found.empty()) return true;
    // Its findings come under a heading ("*** in database main ***"), one a
    // line: the first two say enough.
    std::string said;
    int findings = 0;
    for (size_t at = 0; at < found.size() && findings < 2;) {
        const size_t end = std::min(found.find('\n', at), found.size());
        const std::string line = found.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line.rfind("*** ", 0) == 0) continue;
        said += (findings++ ? "; " : "") + line.substr(0, 120);
    }
    *error = "the file is damaged (SQLite's quick check: " + EscapeForLog(said.empty() ? found : said) + ")";
    return false;
}

// The steps the statements of a connection took since the last call.
int64_t TakeSteps(sqlite3_stmt* const* statements, size_t count) {
    int64_t steps = 0;
    for (size_t i = 0; i < count; ++i)
        if (statements[i]) steps += sqlite3_stmt_status(statements[i], SQLITE_STMTSTATUS_VM_STEP, /*reset*/ 1);
    return steps;
}

void BindText(sqlite3_stmt* st, int index, const std::string& text) {
    sqlite3_bind_text(st, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string ColumnText(sqlite3_stmt* st, int column) {
    const unsigned char* text = sqlite3_column_text(st, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_column_bytes(st, column)))
                : std::string();
}

}  // namespace

class CSqliteScoreStore::Lease {
public:
    explicit Lease(CSqliteScoreStore* store) : store_(store), c_(store->TakeReader()) {}
    ~Lease() {
        if (c_) store_->GiveBack(c_);
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    Connection* get() const { return c_; }

private:
    CSqliteScoreStore* store_;
    Connection* c_;
};

CSqliteScoreStore::~CSqliteScoreStore() { Close(); }

bool CSqliteScoreStore::Open(const std::string& path, std::string* error) {
    if (!sqlite3_threadsafe()) {
        *error = "this SQLite library was built without thread support";
        return false;
    }
    if (interrupted_) {
        *error = "stopped before the database was opened";
        return false;
    }
    path_ = path;
    fileLost_ = false;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &writer_.db, flags, nullptr) != SQLITE_OK) {
        *error = ErrorOf(writer_.db);
        Finish(&writer_);
        return false;
    }
    sqlite3_busy_handler(writer_.db, OnBusy, this);
    // The check of a large file and its conversion take seconds: a stop
    // ends them (Interrupt).
    bool ok = true;
    {
        std::lock_guard<std::mutex> lock(openingMutex_);
        opening_ = writer_.db;
        ok = !interrupted_;
    }
    std::string mode, version, foreign;
    ok = ok && QueryText(writer_.db, "PRAGMA journal_mode = WAL", &mode, error);
    if (ok && mode != "wal") {
        *error = "the file cannot be kept in WAL mode (journal mode " + mode + ")";
        ok = false;
    }
    // A full sync at every commit: what was answered is on the disk.
    ok = ok && RunText(writer_.db, "PRAGMA synchronous = FULL", error) &&
         QueryText(writer_.db, "PRAGMA user_version", &version, error);
    // A file damaged on the disk would be served as if whole, and every
    // write could spread the damage: SQLite's quick check of every page.
    ok = ok && QuickCheck(writer_.db, error);
    if (ok && atoi(version.c_str()) > kSchemaVersion) {
        *error = "the database was written by a newer zorv_scored (layout " + version + ")";
        ok = false;
    }
    if (ok && version == "0") {
        // New, or another program's database: only an empty one becomes ours.
        ok = QueryText(writer_.db, "SELECT COUNT(*) FROM sqlite_schema WHERE name NOT LIKE 'sqlite_%'", &foreign,
                       error);
        if (ok && foreign != "0") {
            *error = "the file holds another program's database";
            ok = false;
        }
    }
    if (ok) {
        ok = RunText(writer_.db, "BEGIN IMMEDIATE", error);
        for (const char* sql : kSchema) ok = ok && RunText(writer_.db, sql, error);
        if (version == "1")
            for (const char* sql : kFromLayout1) ok = ok && RunText(writer_.db, sql, error);
        if (version == "1" || version == "2") ok = ok && CountBoards(error);
        ok = ok && RunText(writer_.db, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str(), error);
        std::string ignored;
        ok = ok ? RunText(writer_.db, "COMMIT", error) : (RunText(writer_.db, "ROLLBACK", &ignored), false);
    }
    // The files whose identity the writes depend on: the database and its
    // write-ahead log (the log lives as long as a connection is open).
    if (ok && (!IdOf(path_, &fileId_) || !IdOf(path_ + "-wal", &walId_))) {
        *error = "the file or its write-ahead log vanished while it was opened";
        ok = false;
    }
    {
        std::lock_guard<std::mutex> lock(openingMutex_);
        opening_ = nullptr;
    }
    if (!ok) {
        // A stop asked for is no fault of the file, whatever SQLite said.
        if (interrupted_) *error = "stopped before the database was ready";
        Finish(&writer_);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        writing_ = true;
        stopping_ = false;
    }
    writerThread_ = std::thread(&CSqliteScoreStore::WriterLoop, this);
    return true;
}

bool CSqliteScoreStore::CountBoards(std::string* error) {
    struct Board {
        int type, level;
        int64_t entries;
    };
    std::vector<Board> boards;
    int64_t total = 0;
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(writer_.db, kBoardsToCount, -1, &st, nullptr);
    while ((rc == SQLITE_OK || rc == SQLITE_ROW) && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        boards.push_back(Board{sqlite3_column_int(st, 0), sqlite3_column_int(st, 1), sqlite3_column_int64(st, 2)});
        total += boards.back().entries;
    }
    if (rc != SQLITE_DONE) *error = ErrorOf(writer_.db);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) return false;
    ServerLog("database: converting to layout %i: counting the entries of %zu boards (%lld scores)", kSchemaVersion,
              boards.size(), static_cast<long long>(total));
    const auto start = std::chrono::steady_clock::now();
    sqlite3_stmt* scores = nullptr;
    sqlite3_stmt* depths = nullptr;
    bool ok = sqlite3_prepare_v2(writer_.db, kCountScores, -1, &scores, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(writer_.db, kCountDepth, -1, &depths, nullptr) == SQLITE_OK;
    // Runs st to its end; false with SQLite's reason.
    const auto run = [this, error](sqlite3_stmt* st) {
        const bool done = sqlite3_step(st) == SQLITE_DONE;
        if (!done) *error = ErrorOf(writer_.db);
        sqlite3_reset(st);
        return done;
    };
    if (!ok) *error = ErrorOf(writer_.db);
    int64_t done = 0;
    int tenths = 0;
    for (size_t b = 0; ok && b < boards.size(); ++b) {
        sqlite3_bind_int(scores, 1, boards[b].type);
        sqlite3_bind_int(scores, 2, boards[b].level);
        ok = run(scores);
        for (int depth = 0; ok && depth < kTopDepth; ++depth) {
            sqlite3_bind_int(depths, 1, boards[b].type);
            sqlite3_bind_int(depths, 2, boards[b].level);
            sqlite3_bind_int(depths, 3, depth);
            sqlite3_bind_int(depths, 4, kBucketBits);
            ok = run(depths);
        }
        done += boards[b].entries;
        // A line at every tenth of the scores: a large file takes a while.
        if (ok && total > 0 && done * 10 / total > tenths) {
            tenths = static_cast<int>(done * 10 / total);
            ServerLog("database: counted %i%% (%zu of %zu boards)", tenths * 10, b + 1, boards.size());
        }
    }
    sqlite3_finalize(scores);
    sqlite3_finalize(depths);
    if (ok)
        ServerLog("database: counted in %.1f s",
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return ok;
}

void CSqliteScoreStore::Interrupt() {
    interrupted_ = true;
    // SQLite forgets an interruption when no statement runs at that moment
    // (between two of Open's): Open is interrupted until it gives up.
    std::unique_lock<std::mutex> lock(openingMutex_);
    while (opening_) {
        sqlite3_interrupt(opening_);
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        lock.lock();
    }
}

int CSqliteScoreStore::OnBusy(void* store, int count) {
    // Short waits at first (a lock is mostly held for milliseconds), 5 s in
    // all, and none once the server is stopping.
    if (static_cast<CSqliteScoreStore*>(store)->interrupted_) return 0;
    const int kLongest = 20;
    const int waited = count <= kLongest ? count * (count + 1) / 2
                                         : kLongest * (kLongest + 1) / 2 + (count - kLongest) * kLongest;
    if (waited >= 5000) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(count + 1, kLongest)));
    return 1;
}

bool CSqliteScoreStore::IdOf(const std::string& path, FileId* id) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    id->device = st.st_dev;
    id->inode = st.st_ino;
    return true;
}

bool CSqliteScoreStore::IsStillOurFile() {
    FileId file, wal;
    const bool same = IdOf(path_, &file) && file == fileId_ && IdOf(path_ + "-wal", &wal) && wal == walId_;
    if (same != fileLost_) return same;
    fileLost_ = !same;
    if (fileLost_)
        ServerLog("database: %s (or its write-ahead log %s-wal) is no longer the file the server opened: deleted, "
                  "renamed or replaced; registrations and uploads are refused until it is back, or until the "
                  "server is started again",
                  EscapeForLog(path_).c_str(), EscapeForLog(path_).c_str());
    else
        ServerLog("database: %s is the file the server opened again; registrations and uploads are taken again",
                  EscapeForLog(path_).c_str());
    return same;
}

void CSqliteScoreStore::Close() {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    if (writerThread_.joinable()) writerThread_.join();
    std::lock_guard<std::mutex> lock(readersMutex_);
    for (Connection* c : allReaders_) {
        Finish(c);
        delete c;
    }
    allReaders_.clear();
    idleReaders_.clear();
    Finish(&writer_);
}

void CSqliteScoreStore::Finish(Connection* c) {
    for (sqlite3_stmt*& st : c->statements) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    if (c->db && sqlite3_close(c->db) != SQLITE_OK) ServerLog("database: closing: %s", ErrorOf(c->db).c_str());
    c->db = nullptr;
}

sqlite3_stmt* CSqliteScoreStore::Prepared(Connection* c, Statement s) {
    sqlite3_stmt*& st = c->statements[s];
    if (!st && sqlite3_prepare_v3(c->db, kStatements[s], -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
        ServerLog("database: preparing \"%s\": %s", kStatements[s], ErrorOf(c->db).c_str());
        sqlite3_finalize(st);
        st = nullptr;
        return nullptr;
    }
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    return st;
}

bool CSqliteScoreStore::Run(Connection* c, Statement s) {
    sqlite3_stmt* st = Prepared(c, s);
    if (!st) return false;
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc == SQLITE_DONE) return true;
    ServerLog("database: \"%s\": %s", kStatements[s], ErrorOf(c->db).c_str());
    return false;
}

CSqliteScoreStore::Connection* CSqliteScoreStore::TakeReader() {
    {
        std::lock_guard<std::mutex> lock(readersMutex_);
        if (!idleReaders_.empty()) {
            Connection* c = idleReaders_.back();
            idleReaders_.pop_back();
            return c;
        }
    }
    Connection* c = new Connection();
    std::string error;
    if (sqlite3_open_v2(path_.c_str(), &c->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK ||
        !RunText(c->db, "PRAGMA query_only = ON", &error)) {
        ServerLog("database: opening a reader: %s", ErrorOf(c->db).c_str());
        Finish(c);
        delete c;
        return nullptr;
    }
    sqlite3_busy_handler(c->db, OnBusy, this);
    std::lock_guard<std::mutex> lock(readersMutex_);
    allReaders_.push_back(c);
    return c;
}

void CSqliteScoreStore::GiveBack(Connection* c) {
    std::lock_guard<std::mutex> lock(readersMutex_);
    idleReaders_.push_back(c);
}

int64_t CSqliteScoreStore::FindPlayer(Connection* c, const std::string& name, std::string* stored) {
    sqlite3_stmt* st = Prepared(c, kFindPlayer);
    if (!st) return -1;
    BindText(st, 1, name);
    const int rc = sqlite3_step(st);
    int64_t id = 0;
    if (rc == SQLITE_ROW) {
        id = sqlite3_column_int64(st, 0);
        if (stored) *stored = ColumnText(st, 1);
    } else if (rc != SQLITE_DONE) {
        ServerLog("database: finding a player: %s", ErrorOf(c->db).c_str());
        id = -1;
    }
    sqlite3_reset(st);
    return id;
}

// ---- writes -------------------------------------------------------------------

CScoreStore::Outcome CSqliteScoreStore::AddPlayer(const std::string& name, const std::string& version) {
    WriteJob job{true, name, version};
    return Write(&job);
}

CScoreStore::Outcome CSqliteScoreStore::Upload(const std::string& name, int type, int level, int32_t score,
                                               uint32_t cheat) {
    WriteJob job{false, name, "", type, level, score, cheat};
    return Write(&job);
}

void CSqliteScoreStore::AddPlayerThen(const std::string& name, const std::string& version, Then then) {
    WriteJob* job = new WriteJob{true, name, version};
    job->then = std::move(then);
    Queue(job);
}

void CSqliteScoreStore::UploadThen(const std::string& name, int type, int level, int32_t score, uint32_t cheat,
                                   Then then) {
    WriteJob* job = new WriteJob{false, name, "", type, level, score, cheat};
    job->then = std::move(then);
    Queue(job);
}

void CSqliteScoreStore::Queue(WriteJob* job) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (writing_ && !stopping_) {
            queue_.push_back(job);
            queued_.notify_one();
            return;
        }
    }
    job->then(Outcome::kFailed);
    delete job;
}

CScoreStore::Outcome CSqliteScoreStore::Write(WriteJob* job) {
    std::unique_lock<std::mutex> lock(queueMutex_);
    if (!writing_ || stopping_) return Outcome::kFailed;
    queue_.push_back(job);
    queued_.notify_one();
    finished_.wait(lock, [job] { return job->done; });
    return job->outcome;
}

void CSqliteScoreStore::WriterLoop() {
    std::vector<WriteJob*> batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(queueMutex_);
            queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) break;  // stopping, and every write asked for is done
            while (!queue_.empty() && batch.size() < kBatchMax) {
                batch.push_back(queue_.front());
                queue_.pop_front();
            }
        }
        RunBatch(batch);
        // A waiting caller's job is gone once it is done: the others are
        // set apart first, and answered outside the lock.
        std::vector<WriteJob*> answered;
        {
            std::lock_guard<std::mutex> lock(queueMutex_);
            for (WriteJob* job : batch) {
                if (job->then)
                    answered.push_back(job);
                else
                    job->done = true;
            }
        }
        finished_.notify_all();
        for (WriteJob* job : answered) {
            job->then(job->outcome);
            delete job;
        }
        batch.clear();
    }
    std::lock_guard<std::mutex> lock(queueMutex_);
    writing_ = false;
}

void CSqliteScoreStore::RunBatch(const std::vector<WriteJob*>& batch) {
    for (WriteJob* job : batch) job->outcome = Outcome::kFailed;
    if (!Run(&writer_, kBeginWrite)) return;
    std::vector<Outcome> outcomes;
    for (WriteJob* job : batch) {
        Outcome outcome = Outcome::kFailed;
        if (Run(&writer_, kSavepoint)) {
            outcome = job->player ? ApplyPlayer(*job) : ApplyScore(*job);
            if (outcome == Outcome::kFailed) Run(&writer_, kRollbackToSavepoint);
            if (!Run(&writer_, kReleaseSavepoint)) outcome = Outcome::kFailed;
        }
        outcomes.push_back(outcome);
    }
    // A file no longer at the path would take the batch with it when the
    // server stops; and nothing of a failed commit is kept either. Neither is
    // answered as kept.
    if (!IsStillOurFile() || !Run(&writer_, kCommit)) {
        Run(&writer_, kRollback);
        return;
    }
    for (size_t i = 0; i < batch.size(); ++i) batch[i]->outcome = outcomes[i];
}

CScoreStore::Outcome CSqliteScoreStore::ApplyPlayer(const WriteJob& job) {
    sqlite3_stmt* st = Prepared(&writer_, kInsertPlayer);
    if (!st) return Outcome::kFailed;
    BindText(st, 1, job.name);
    BindText(st, 2, job.version);
    sqlite3_bind_int64(st, 3, static_cast<int64_t>(time(nullptr)));
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc == SQLITE_DONE) return Outcome::kRegistered;
    if (sqlite3_extended_errcode(writer_.db) == SQLITE_CONSTRAINT_UNIQUE) return Outcome::kNameTaken;
    ServerLog("database: adding a player: %s", ErrorOf(writer_.db).c_str());
    return Outcome::kFailed;
}

bool CSqliteScoreStore::FindScore(Connection* c, Statement s, int64_t player, int type, int level, Stored* stored) {
    *stored = Stored();
    sqlite3_stmt* st = Prepared(c, s);
    if (!st) return false;
    sqlite3_bind_int64(st, 1, player);
    sqlite3_bind_int(st, 2, type);
    sqlite3_bind_int(st, 3, level);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        stored->found = true;
        stored->score = sqlite3_column_int(st, 0);
        stored->achieved = sqlite3_column_int64(st, 1);
        stored->seq = sqlite3_column_int64(st, 2);
    }
    sqlite3_reset(st);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) return true;
    ServerLog("database: reading a score: %s", ErrorOf(c->db).c_str());
    return false;
}

CScoreStore::Outcome CSqliteScoreStore::ApplyScore(const WriteJob& job) {
    const int64_t player = FindPlayer(&writer_, job.name, nullptr);
    if (player < 0) return Outcome::kFailed;
    if (player == 0) return Outcome::kUnknownUser;
    Stored clean, flagged;
    if (!FindScore(&writer_, kFindScore, player, job.type, job.level, &clean) ||
        !FindScore(&writer_, kFindFlagged, player, job.type, job.level, &flagged))
        return Outcome::kFailed;
    // A clean score competes with his clean one only: it is what others see
    // of him. A marked one is kept when it betters everything he has, for
    // his own view.
    const bool marked = job.cheat != 0;
    const Stored& same = marked ? flagged : clean;
    if (same.found && job.score >= same.score) return Outcome::kIgnored;
    if (marked && clean.found && job.score >= clean.score) return Outcome::kIgnored;

    sqlite3_stmt* st = Prepared(&writer_, kNextSequence);
    if (!st) return Outcome::kFailed;
    int rc = sqlite3_step(st);
    const int64_t seq = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_reset(st);
    if (rc != SQLITE_ROW) {
        ServerLog("database: counting: %s", ErrorOf(writer_.db).c_str());
        return Outcome::kFailed;
    }
    const Statement write = marked ? (same.found ? kUpdateFlagged : kInsertFlagged)
                                   : (same.found ? kUpdateScore : kInsertScore);
    st = Prepared(&writer_, write);
    if (!st) return Outcome::kFailed;
    sqlite3_bind_int64(st, 1, player);
    sqlite3_bind_int(st, 2, job.type);
    sqlite3_bind_int(st, 3, job.level);
    sqlite3_bind_int(st, 4, job.score);
    sqlite3_bind_int64(st, 5, job.cheat);
    sqlite3_bind_int64(st, 6, seq);
    sqlite3_bind_int64(st, 7, static_cast<int64_t>(time(nullptr)));
    rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
        ServerLog("database: storing a score: %s", ErrorOf(writer_.db).c_str());
        return Outcome::kFailed;
    }
    // Others count his clean score only.
    if (!marked && !Recount(job.type, job.level, same.found, same.score, job.score)) return Outcome::kFailed;
    return same.found ? Outcome::kUpdated : Outcome::kAdded;
}

bool CSqliteScoreStore::Recount(int type, int level, bool had, int32_t from, int32_t to) {
    for (int depth = 0; depth <= kTopDepth; ++depth) {
        const int64_t was = static_cast<int64_t>(from) >> (kBucketBits * depth);
        const int64_t is = static_cast<int64_t>(to) >> (kBucketBits * depth);
        if (had && was == is) continue;
        for (int change = had ? -1 : 1; change <= 1; change += 2) {
            sqlite3_stmt* st = Prepared(&writer_, kAddCount);
            if (!st) return false;
            sqlite3_bind_int(st, 1, type);
            sqlite3_bind_int(st, 2, level);
            sqlite3_bind_int(st, 3, depth);
            sqlite3_bind_int64(st, 4, change < 0 ? was : is);
            sqlite3_bind_int(st, 5, change);
            const int rc = sqlite3_step(st);
            sqlite3_reset(st);
            if (rc != SQLITE_DONE) {
                ServerLog("database: counting a score: %s", ErrorOf(writer_.db).c_str());
                return false;
            }
        }
    }
    return true;
}

// ---- reads --------------------------------------------------------------------

bool CSqliteScoreStore::IsNameTaken(const std::string& name, bool* failed) {
    Lease lease(this);
    const int64_t id = lease.get() ? FindPlayer(lease.get(), name, nullptr) : -1;
    *failed = id < 0;
    return id > 0;
}

bool CSqliteScoreStore::ReadBoard(const std::string& viewer, int type, int level, int topRows, Board* board) {
    Lease lease(this);
    Connection* c = lease.get();
    if (c) TakeSteps(c->statements, kStatementCount);
    // One snapshot: the count and the rows agree.
    if (!c || !Run(c, kBegin)) return false;
    *board = Board();
    std::string viewerName;
    const int64_t me = viewer.empty() ? 0 : FindPlayer(c, viewer, &viewerName);
    bool ok = me >= 0;

    // The viewer's own row: the better of his clean and his marked score.
    Stored clean, flagged;
    if (ok && me > 0)
        ok = FindScore(c, kFindScore, me, type, level, &clean) && FindScore(c, kFindFlagged, me, type, level, &flagged);
    const Stored& own = flagged.found && (!clean.found || flagged.score < clean.score) ? flagged : clean;

    // The board's clean entries, less his own, and his row.
    sqlite3_stmt* st = ok ? Prepared(c, kEntriesAt) : nullptr;
    if (st) {
        sqlite3_bind_int(st, 1, type);
        sqlite3_bind_int(st, 2, level);
        sqlite3_bind_int(st, 3, kTopDepth);
        sqlite3_bind_int(st, 4, 0);
        const int rc = sqlite3_step(st);
        ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
        const int64_t entries = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
        board->players = entries - (clean.found ? 1 : 0) + (own.found ? 1 : 0);
        sqlite3_reset(st);
    } else {
        ok = false;
    }

    // The others' first rows, with his own put in at its place.
    bool ownPlaced = !own.found;
    st = ok ? Prepared(c, kBoardTop) : nullptr;
    if (st) {
        sqlite3_bind_int(st, 1, type);
        sqlite3_bind_int(st, 2, level);
        sqlite3_bind_int64(st, 3, me);
        sqlite3_bind_int(st, 4, topRows);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW && static_cast<int>(board->top.size()) < topRows) {
            const int32_t score = sqlite3_column_int(st, 1);
            const int64_t seq = sqlite3_column_int64(st, 3);
            if (!ownPlaced && (own.score < score || (own.score == score && own.seq < seq))) {
                board->top.push_back(Row{viewerName, own.score, own.achieved, true});
                ownPlaced = true;
                if (static_cast<int>(board->top.size()) == topRows) break;
            }
            board->top.push_back(Row{ColumnText(st, 0), score, sqlite3_column_int64(st, 2), false});
        }
        ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
        sqlite3_reset(st);
    } else {
        ok = false;
    }
    if (ok && !ownPlaced && static_cast<int>(board->top.size()) < topRows) {
        board->top.push_back(Row{viewerName, own.score, own.achieved, true});
        ownPlaced = true;
    }

    if (ok && !ownPlaced) {
        board->ownBelow = true;
        board->own = Row{viewerName, own.score, own.achieved, true};
        // The entries with fewer steps: at each depth, the buckets before
        // his under the same bucket above (none where his digit is 0, nor
        // above his top digit). His own clean entry is never among them: his
        // row is the better of his clean and his marked score.
        const int64_t digits = (int64_t{1} << kBucketBits) - 1;
        for (int depth = 0; ok && depth < kTopDepth; ++depth) {
            const int64_t bucket = static_cast<int64_t>(own.score) >> (kBucketBits * depth);
            if (bucket == 0) break;
            if ((bucket & digits) == 0) continue;
            st = Prepared(c, kCountBelow);
            ok = st != nullptr;
            if (!st) break;
            sqlite3_bind_int(st, 1, type);
            sqlite3_bind_int(st, 2, level);
            sqlite3_bind_int(st, 3, depth);
            sqlite3_bind_int64(st, 4, bucket & ~digits);
            sqlite3_bind_int64(st, 5, bucket);
            ok = sqlite3_step(st) == SQLITE_ROW;
            if (ok) board->ownAhead += sqlite3_column_int64(st, 0);
            sqlite3_reset(st);
        }
    }
    if (!ok) ServerLog("database: reading the board (%i, %i): %s", type, level, ErrorOf(c->db).c_str());
    Run(c, ok ? kCommit : kRollback);
    boardReadSteps_ += TakeSteps(c->statements, kStatementCount);
    return ok;
}

bool CSqliteScoreStore::Count(int64_t* players, int64_t* scores) {
    Lease lease(this);
    sqlite3_stmt* st = lease.get() ? Prepared(lease.get(), kCountAll) : nullptr;
    if (!st) return false;
    const bool ok = sqlite3_step(st) == SQLITE_ROW;
    if (ok) {
        *players = sqlite3_column_int64(st, 0);
        *scores = sqlite3_column_int64(st, 1);
    } else {
        ServerLog("database: counting: %s", ErrorOf(lease.get()->db).c_str());
    }
    sqlite3_reset(st);
    return ok;
}

bool CSqliteScoreStore::CheckIntegrity(std::string* report) {
    Lease lease(this);
    sqlite3_stmt* st = lease.get() ? Prepared(lease.get(), kIntegrity) : nullptr;
    if (!st) return false;
    report->clear();
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) report->append(ColumnText(st, 0)).append("\n");
    sqlite3_reset(st);
    if (rc != SQLITE_DONE || *report != "ok\n") return false;
    st = Prepared(lease.get(), kCountsDisagree);
    if (!st) return false;
    sqlite3_bind_int(st, 1, kBucketBits);
    sqlite3_bind_int(st, 2, kTopDepth);
    rc = sqlite3_step(st);
    const int64_t wrong = rc == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_reset(st);
    if (wrong != 0) report->append("board counts that the scores do not give: " + std::to_string(wrong) + "\n");
    return wrong == 0;
}
