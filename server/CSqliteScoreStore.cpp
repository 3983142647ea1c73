#include "server/CSqliteScoreStore.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <future>
#include <iterator>
#include <thread>

#include "engine/ReadNumber.h"
#include "server/CSqliteStatement.h"
#include "server/CSqliteTransaction.h"
#include "server/ServerLog.h"

namespace {

// The layout this server writes; a file with a higher number was written by
// a newer server and is left alone. Layout 1 kept one score per player and
// board, flagged or not; layout 2 keeps the flagged ones apart; layout 3 keeps
// the board counts. An older file is brought up at the start.
const int kSchemaVersion = 3;
// The store's tables, by name in order, each with its columns and the layout
// that brought it: a file that is not marked as the store's (the servers
// before the mark did not mark theirs) is one of its own only when it holds
// exactly the tables of the layout it gives, each with these columns.
const struct {
    const char* name;
    const char* columns;
    int since;
} kTables[] = {
    {"counters", "name, value", 1},
    {"counts", "type, level, depth, bucket, entries", 3},
    {"flagged", "player, type, level, score, cheat, seq, achieved", 2},
    {"players", "id, name, version, registered", 1},
    {"scores", "player, type, level, score, cheat, seq, achieved", 1},
};
// The mark of the store's files in the database header (PRAGMA
// application_id): "ZORV" in ASCII.
const int32_t kApplicationId = 0x5A4F5256;

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
// flagged score (sent with non-zero flags: the protocol's cheat word, kept in
// the column of that name) has a table of its own: it shows on his own board
// only, and never hides his clean one from others. Clean and flagged scores
// are kept in rows of one shape.
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

// From layout 1: its flagged scores move to their own table (the player's
// clean score there was lost under them).
const char* const kFromLayout1[] = {
    "INSERT OR REPLACE INTO flagged SELECT player, type, level, score, cheat, seq, achieved FROM scores"
    " WHERE cheat <> 0",
    "DELETE FROM scores WHERE cheat <> 0",
};

// Every statement the store runs again and again, kept prepared by each
// connection: its number and its text in one row, the rows in the order of
// the numbers (checked below). Values go to the parameters by their names.
enum Statement {
    kFindPlayer,
    kInsertPlayer,
    kNextSequence,
    kFindScore,
    kInsertScore,
    kUpdateScore,
    kFindFlagged,
    kInsertFlagged,
    kUpdateFlagged,
    kAddCount,
    kEntriesAt,
    kBoardTop,
    kCountBelow,
    kCountAll,
    kIntegrity,
    kCountsDisagree,
    kBoardsToCount,
    kCountScores,
    kCountDepth,
    kStatementCount
};
constexpr CSqliteConnection::KeptStatement kStatements[] = {
    {kFindPlayer, "SELECT id, name FROM players WHERE name = :name"},
    {kInsertPlayer, "INSERT INTO players (name, version, registered) VALUES (:name, :version, :registered)"},
    {kNextSequence, "UPDATE counters SET value = value + 1 WHERE name = 'seq' RETURNING value"},
    {kFindScore,
     "SELECT score, achieved, seq FROM scores WHERE player = :player AND type = :type AND level = :level"},
    {kInsertScore,
     "INSERT INTO scores (player, type, level, score, cheat, seq, achieved)"
     " VALUES (:player, :type, :level, :score, :cheat, :seq, :achieved)"},
    {kUpdateScore,
     "UPDATE scores SET score = :score, cheat = :cheat, seq = :seq, achieved = :achieved"
     " WHERE player = :player AND type = :type AND level = :level"},
    {kFindFlagged,
     "SELECT score, achieved, seq FROM flagged WHERE player = :player AND type = :type AND level = :level"},
    {kInsertFlagged,
     "INSERT INTO flagged (player, type, level, score, cheat, seq, achieved)"
     " VALUES (:player, :type, :level, :score, :cheat, :seq, :achieved)"},
    {kUpdateFlagged,
     "UPDATE flagged SET score = :score, cheat = :cheat, seq = :seq, achieved = :achieved"
     " WHERE player = :player AND type = :type AND level = :level"},
    {kAddCount,
     "INSERT INTO counts (type, level, depth, bucket, entries) VALUES (:type, :level, :depth, :bucket, :change)"
     " ON CONFLICT DO UPDATE SET entries = entries + excluded.entries"},
    {kEntriesAt,
     "SELECT entries FROM counts WHERE type = :type AND level = :level AND depth = :depth AND bucket = :bucket"},
    // The board without the viewer, whose own row is put in apart.
    {kBoardTop,
     "SELECT p.name, s.score, s.achieved, s.seq FROM scores AS s JOIN players AS p ON p.id = s.player"
     " WHERE s.type = :type AND s.level = :level AND s.player <> :viewer ORDER BY s.score, s.seq LIMIT :rows"},
    {kCountBelow,
     "SELECT COALESCE(SUM(entries), 0) FROM counts WHERE type = :type AND level = :level AND depth = :depth"
     " AND bucket >= :from AND bucket < :to"},
    {kCountAll,
     "SELECT (SELECT COUNT(*) FROM players), (SELECT COUNT(*) FROM scores) + (SELECT COUNT(*) FROM flagged)"},
    {kIntegrity, "PRAGMA integrity_check"},
    // Board counts that the scores, counted again, do not give.
    {kCountsDisagree,
     "WITH RECURSIVE d(depth) AS (VALUES (0) UNION ALL SELECT depth + 1 FROM d WHERE depth < :top),"
     " fresh AS (SELECT s.type, s.level, d.depth, s.score >> (:bits * d.depth), COUNT(*) FROM scores AS s, d"
     " GROUP BY 1, 2, 3, 4),"
     " kept AS (SELECT type, level, depth, bucket, entries FROM counts WHERE entries <> 0)"
     " SELECT (SELECT COUNT(*) FROM (SELECT * FROM fresh EXCEPT SELECT * FROM kept))"
     " + (SELECT COUNT(*) FROM (SELECT * FROM kept EXCEPT SELECT * FROM fresh))"},
    // From layout 2: the counts of every board, its depth 0 from its scores
    // and each depth above from the one below.
    {kBoardsToCount, "SELECT type, level, COUNT(*) FROM scores GROUP BY type, level"},
    {kCountScores,
     "INSERT INTO counts SELECT type, level, 0, score, COUNT(*) FROM scores WHERE type = :type AND level = :level"
     " GROUP BY score"},
    {kCountDepth,
     "INSERT INTO counts SELECT type, level, depth + 1, bucket >> :bits, SUM(entries) FROM counts"
     " WHERE type = :type AND level = :level AND depth = :depth GROUP BY bucket >> :bits"},
};
static_assert(CSqliteConnection::IsInOrder(kStatements) && std::size(kStatements) == kStatementCount,
              "one row per statement, in the order of their numbers");
// Kept statement S in use on a connection, its values bound by name.
template <Statement S>
using Prepared = CSqliteConnection::Named<kStatements, S>;
// The names of the parameters, each of a type of its own (see Named).
constexpr struct { const char* text = ":name"; } kName;
constexpr struct { const char* text = ":version"; } kVersion;
constexpr struct { const char* text = ":registered"; } kRegistered;
constexpr struct { const char* text = ":player"; } kPlayer;
constexpr struct { const char* text = ":type"; } kType;
constexpr struct { const char* text = ":level"; } kLevel;
constexpr struct { const char* text = ":score"; } kScore;
constexpr struct { const char* text = ":cheat"; } kCheat;
constexpr struct { const char* text = ":seq"; } kSeq;
constexpr struct { const char* text = ":achieved"; } kAchieved;
constexpr struct { const char* text = ":depth"; } kDepth;
constexpr struct { const char* text = ":bucket"; } kBucket;
constexpr struct { const char* text = ":change"; } kChange;
constexpr struct { const char* text = ":viewer"; } kViewer;
constexpr struct { const char* text = ":rows"; } kRows;
constexpr struct { const char* text = ":from"; } kFrom;
constexpr struct { const char* text = ":to"; } kTo;
constexpr struct { const char* text = ":bits"; } kBits;
constexpr struct { const char* text = ":top"; } kTop;

// The most writes one commit carries.
const size_t kBatchMax = 256;

// What a file holds, read before anything in it changes.
struct Contents {
    int32_t mark = 0;     // its application id
    int32_t layout = 0;   // its user_version, or the layout its tables are
    bool empty = true;    // nothing in its schema
    std::string tables;   // the names of its tables, in order, one space between
    std::string foreign;  // a table of the store's name with other columns
};

// The names of the tables of a layout, in order, one space between.
std::string TablesOfLayout(int layout) {
    std::string names;
    for (const auto& table : kTables)
        if (table.since <= layout) names += (names.empty() ? "" : " ") + std::string(table.name);
    return names;
}

bool ReadContents(CSqliteConnection& db, Contents* contents, std::string* error) {
    std::string mark, layout;
    if (!db.QueryText("PRAGMA application_id", &mark, error) || !db.QueryText("PRAGMA user_version", &layout, error))
        return false;
    if (!ReadNumber(mark, INT32_MIN, INT32_MAX, &contents->mark) ||
        !ReadNumber(layout, INT32_MIN, INT32_MAX, &contents->layout)) {
        *error = "SQLite gave a header field that is no number";
        return false;
    }
    CSqliteStatement st(db.get(),
                        "SELECT type, name FROM sqlite_schema WHERE name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"
                        " ORDER BY name");
    int rc = st ? SQLITE_ROW : SQLITE_ERROR;
    while (rc == SQLITE_ROW && (rc = st.Step()) == SQLITE_ROW) {
        contents->empty = false;
        if (st.Text(0) == "table") contents->tables += (contents->tables.empty() ? "" : " ") + st.Text(1);
    }
    if (rc != SQLITE_DONE) {
        *error = db.Error();
        return false;
    }
    if (contents->mark != 0) return true;
    // A file made again from a text dump (sqlite3's .dump, a host's backup
    // that outlasts SQLite's versions) keeps the tables, not the header's
    // mark and layout: it is known by its tables alone.
    int given = contents->layout;
    for (int l = 1; given == 0 && l <= kSchemaVersion; ++l)
        if (contents->tables == TablesOfLayout(l)) given = l;
    if (given < 1 || given > kSchemaVersion || contents->tables != TablesOfLayout(given)) return true;
    // Another program may name its tables as the store does: their columns
    // tell.
    CSqliteStatement columnsOf(db.get(), "SELECT name FROM pragma_table_info(:table) ORDER BY cid");
    if (!columnsOf) {
        *error = db.Error();
        return false;
    }
    for (const auto& table : kTables) {
        if (table.since > given) continue;
        columnsOf.Bind(":table", table.name);
        std::string columns;
        while ((rc = columnsOf.Step()) == SQLITE_ROW) columns += (columns.empty() ? "" : ", ") + columnsOf.Text(0);
        columnsOf.Reset();
        if (rc != SQLITE_DONE) {
            *error = db.Error();
            return false;
        }
        if (columns != table.columns) {
            contents->foreign = "its table " + std::string(table.name) + " has the columns (" +
                                EscapeForLog(columns.substr(0, 200)) + "), not the score server's (" + table.columns +
                                ")";
            return true;
        }
    }
    contents->layout = given;
    return true;
}

// Why a file is not the store's to use; "" when it is: marked as the
// store's with a layout it knows, or unmarked and either empty (a new file)
// or holding exactly the tables of the store's layout it gives (or of any,
// where it gives none), with their columns.
std::string Refusal(const Contents& c) {
    const std::string layout = std::to_string(c.layout);
    if (c.mark == kApplicationId) {
        if (c.layout > kSchemaVersion) return "the database was written by a newer zorv_scored (layout " + layout + ")";
        if (c.layout < 1) return "the file is marked as a score database but gives no layout (layout " + layout + ")";
        return "";
    }
    if (c.mark != 0)
        return "the file holds another program's database (application id " + std::to_string(c.mark) + ")";
    if (!c.foreign.empty())
        return "the file holds another program's database (layout " + layout + ", tables: " + c.tables + "): " +
               c.foreign;
    if (c.empty || (c.layout >= 1 && c.layout <= kSchemaVersion && c.tables == TablesOfLayout(c.layout))) return "";
    return "the file holds another program's database (layout " + layout + ", tables: " +
           EscapeForLog(c.tables.substr(0, 200)) + ")";
}

// SQLite's quick check; false with its first findings, in one line, in
// *error.
bool QuickCheck(CSqliteConnection& db, std::string* error) {
    CSqliteStatement st(db.get(), "PRAGMA quick_check");
    std::string found;
    int rc = st ? SQLITE_ROW : SQLITE_ERROR;
    while (rc == SQLITE_ROW && (rc = st.Step()) == SQLITE_ROW) {
        const std::string row = st.Text(0);
        if (row != "ok") found += row + "\n";
    }
    if (rc != SQLITE_DONE) found = db.Error();
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

// Whether the rollback journal at path holds a write: it begins with a
// byte other than 0 (an ended write leaves none, or an empty or zeroed one).
bool HoldsUnfinishedWrite(const std::string& path) {
    FILE* journal = fopen(path.c_str(), "rb");
    if (!journal) return false;
    const int first = fgetc(journal);
    fclose(journal);
    return first != EOF && first != 0;
}

// path as an SQLite URI with parameters ("immutable=1"): every byte that a
// URI would read as its own escaped, and the first slash too, so that a
// path that begins with two is not read as a host's name.
std::string UriOf(const std::string& path, const char* parameters) {
    std::string uri = "file:";
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (isalnum(c) || c == '.' || c == '_' || c == '-' || c == '~' || (c == '/' && i > 0)) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return *parameters ? uri + "?" + parameters : uri;
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
    CSqliteConnection* get() const { return c_; }

private:
    CSqliteScoreStore* store_;
    CSqliteConnection* c_;
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
    // A log beside a file it refuses is that file's: left to its owner.
    FileId wal;
    const bool hadLog = IdOf(path + "-wal", &wal);
    // Another program's file, or a damaged one, is refused before anything
    // in it changes; and the check of a large file, like its conversion,
    // takes seconds: a stop ends them (Interrupt).
    int layout = 0;
    if (!Examine(path, &layout, error) ||
        !writer_.Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, error))
        return false;
    writer_.Keep(kStatements, kStatementCount);
    sqlite3_busy_handler(writer_.get(), OnBusy, this);
    bool ok = Opening(writer_.get());
    std::string mode;
    ok = ok && writer_.QueryText("PRAGMA journal_mode = WAL", &mode, error);
    if (ok && mode != "wal") {
        *error = "the file cannot be kept in WAL mode (journal mode " + mode + ")";
        ok = false;
    }
    // A full sync at every commit: what was answered is on the disk.
    ok = ok && writer_.Run("PRAGMA synchronous = FULL", error);
    if (ok) {
        CSqliteTransaction change(writer_);
        ok = change.Begin(CSqliteConnection::Begin::kImmediate, error);
        for (const char* sql : kSchema) ok = ok && writer_.Run(sql, error);
        if (layout == 1)
            for (const char* sql : kFromLayout1) ok = ok && writer_.Run(sql, error);
        if (layout >= 1 && layout < 3) ok = ok && CountBoards(error);
        ok = ok && writer_.Run(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str(), error) &&
             writer_.Run(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str(), error);
        ok = ok && change.Commit(error);
    }
    // The files whose identity the writes depend on: the database and its
    // write-ahead log (the log lives as long as a connection is open).
    if (ok && (!IdOf(path_, &fileId_) || !IdOf(path_ + "-wal", &walId_))) {
        *error = "the file or its write-ahead log vanished while it was opened";
        ok = false;
    }
    Opening(nullptr);
    // An interruption that came when no statement could end (a commit that
    // had begun to sync) stays with the connection and would end the next
    // statement, and the fold of the log at the close: SQLite forgets it as
    // a statement is prepared while none runs.
    if (interrupted_) writer_.Run("SELECT 1", nullptr);
    if (!ok) {
        // A stop asked for is no fault of the file, whatever SQLite said.
        if (interrupted_) *error = "stopped before the database was ready";
        if (hadLog) sqlite3_db_config(writer_.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        writer_.Close();
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

bool CSqliteScoreStore::Examine(const std::string& path, int* layout, std::string* error) {
    struct stat file;
    const bool there = stat(path.c_str(), &file) == 0;
    // A path SQLite's own open says why it cannot use (no folder, no leave
    // to look into one), or a folder, which it names.
    if ((!there && errno != ENOENT) || (there && S_ISDIR(file.st_mode))) return true;
    // A device (/dev/null), a pipe or a socket: SQLite would read it as an
    // empty file and make its journal beside it.
    if (there && !S_ISREG(file.st_mode)) {
        *error = std::string("the path names ") +
                 (S_ISCHR(file.st_mode)    ? "a character device"
                  : S_ISBLK(file.st_mode)  ? "a block device"
                  : S_ISFIFO(file.st_mode) ? "a named pipe"
                                           : "a socket") +
                 ", not a file";
        return false;
    }
    FileId id;
    const bool log = IdOf(path + "-wal", &id), index = IdOf(path + "-shm", &id),
               journal = IdOf(path + "-journal", &id);
    const bool empty = !there || file.st_size == 0;
    if (empty && (log || journal)) {
        // SQLite would delete a log, or a journal, beside a file not there
        // or empty as it opened the file: they belong to another one.
        const std::string what = there ? "the file is empty, but " : "the file is not there, but ";
        *error = log ? what + "a write-ahead log is beside it (" + EscapeForLog(path) +
                           "-wal): the database may be in that log alone; put back the file it belongs to, or move "
                           "the log away to start with an empty board"
                     : what + "a rollback journal is beside it (" + EscapeForLog(path) +
                           "-journal), which SQLite would delete as it opened the file: put back the file it belongs "
                           "to, or move the journal away to start with an empty board";
        return false;
    }
    // A journal that begins with a byte other than 0 (SQLite's own test)
    // holds a write another program has not finished: what the file holds is
    // known only once that write is rolled back, which changes the file.
    if (journal && HoldsUnfinishedWrite(path + "-journal")) {
        *error = "a rollback journal is beside it (" + EscapeForLog(path) +
                 "-journal), of a write another program has not finished: let that program finish it, or sqlite3 "
                 "roll it back as it opens the file (sqlite3 FILE 'PRAGMA quick_check'), then start again";
        return false;
    }
    // SQLite opens a file it may not write for reading only: refused at the
    // first write, with the log's index made beside it by then, or read with
    // its log as an I/O error. The file's mode, or its folder's, says why.
    if (!MayWrite(path, error)) return false;
    if (empty) return true;
    // Without a log the file is all there is, read as if from read-only
    // media: no lock, no file beside it. A log is read with the file, its
    // index in memory (which takes the file's lock) or, while another
    // program has the file open, in the index file that program made. None
    // of them folds the log back at its close.
    CSqliteConnection look;
    const auto open = [&](const char* parameters, int flags) {
        if (!look.Open(UriOf(path, parameters), flags | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, error)) return false;
        sqlite3_db_config(look.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        return Opening(look.get());
    };
    Contents contents;
    bool ok = log ? open("", SQLITE_OPEN_READWRITE) && look.Run("PRAGMA locking_mode = EXCLUSIVE", error) &&
                        look.Run("PRAGMA query_only = ON", error)
                  : open("immutable=1", SQLITE_OPEN_READONLY);
    ok = ok && ReadContents(look, &contents, error);
    if (!ok && log && index && sqlite3_errcode(look.get()) == SQLITE_BUSY)
        ok = open("mode=ro", SQLITE_OPEN_READONLY) && ReadContents(look, &contents, error);
    const std::string refusal = ok ? Refusal(contents) : "";
    if (!refusal.empty()) {
        *error = refusal;
        ok = false;
    }
    // A file damaged on the disk would be served as if whole, and every
    // write could spread the damage: SQLite's quick check of every page.
    ok = ok && (contents.empty || QuickCheck(look, error));
    Opening(nullptr);
    look.Close();
    if (interrupted_) *error = "stopped before the database was ready";
    *layout = contents.empty ? 0 : contents.layout;
    return ok && !interrupted_;
}

bool CSqliteScoreStore::MayWrite(const std::string& path, std::string* error) {
    // The file and those SQLite keeps beside it, each that is there.
    const struct {
        const char* end;
        const char* name;
    } files[] = {{"", "the file"},
                 {"-wal", "its write-ahead log"},
                 {"-shm", "its log's index"},
                 {"-journal", "its rollback journal"}};
    for (const auto& file : files) {
        if (access((path + file.end).c_str(), R_OK | W_OK) != 0 && errno != ENOENT) {
            *error = file.name + std::string(*file.end ? " " + EscapeForLog(path + file.end) : "") +
                     " cannot be read and written (" + strerror(errno) + ")";
            return false;
        }
    }
    // The log and its index are made in the file's folder (a folder not
    // there is named by SQLite's own open).
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, std::max<size_t>(slash, 1));
    if (access(folder.c_str(), W_OK) != 0 && errno != ENOENT) {
        *error = "its folder " + EscapeForLog(folder) + " cannot be written (" + strerror(errno) +
                 "), where the server keeps its write-ahead log beside the file";
        return false;
    }
    return true;
}

bool CSqliteScoreStore::Opening(sqlite3* db) {
    std::lock_guard<std::mutex> lock(openingMutex_);
    opening_ = db;
    return !interrupted_;
}

bool CSqliteScoreStore::CountBoards(std::string* error) {
    struct Board {
        int type, level;
        int64_t entries;
    };
    std::vector<Board> boards;
    int64_t total = 0;
    {
        const Prepared<kBoardsToCount> st(&writer_);
        int rc = st ? SQLITE_ROW : SQLITE_ERROR;
        while (rc == SQLITE_ROW && (rc = st->Step()) == SQLITE_ROW) {
            boards.push_back(Board{st->Int(0), st->Int(1), st->Int64(2)});
            total += boards.back().entries;
        }
        if (rc != SQLITE_DONE) {
            *error = writer_.Error();
            return false;
        }
    }
    ServerLog("database: converting to layout %i: counting the entries of %zu boards (%lld scores)", kSchemaVersion,
              boards.size(), static_cast<long long>(total));
    const auto start = std::chrono::steady_clock::now();
    // Runs st to its end; false with SQLite's reason.
    const auto run = [this, error](const auto& st) {
        const bool done = st && st->Step() == SQLITE_DONE;
        if (!done) *error = writer_.Error();
        return done;
    };
    bool ok = true;
    int64_t done = 0;
    int tenths = 0;
    for (size_t b = 0; ok && b < boards.size(); ++b) {
        {
            const Prepared<kCountScores> scores(&writer_);
            scores.Bind(kType, boards[b].type);
            scores.Bind(kLevel, boards[b].level);
            ok = run(scores);
        }
        for (int depth = 0; ok && depth < kTopDepth; ++depth) {
            const Prepared<kCountDepth> depths(&writer_);
            depths.Bind(kType, boards[b].type);
            depths.Bind(kLevel, boards[b].level);
            depths.Bind(kDepth, depth);
            depths.Bind(kBits, kBucketBits);
            ok = run(depths);
        }
        done += boards[b].entries;
        // A line at every tenth of the scores: a large file takes a while.
        if (ok && total > 0 && done * 10 / total > tenths) {
            tenths = static_cast<int>(done * 10 / total);
            ServerLog("database: counted %i%% (%zu of %zu boards)", tenths * 10, b + 1, boards.size());
        }
    }
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
    // Short waits at first (a lock is mostly held for milliseconds), the
    // bound in all, and none once the server is stopping.
    if (static_cast<CSqliteScoreStore*>(store)->interrupted_) return 0;
    const int kLongest = 20;
    const int waited = count <= kLongest ? count * (count + 1) / 2
                                         : kLongest * (kLongest + 1) / 2 + (count - kLongest) * kLongest;
    if (waited >= kLockWaitMilliseconds) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(count + 1, kLongest)));
    return 1;
}

void CSqliteScoreStore::LogDropped(size_t writes) {
    if (writes > 0)
        ServerLog("database: %zu write(s) not committed when the server stopped: answered as failed, not stored",
                  writes);
}

bool CSqliteScoreStore::IsStopping() {
    std::lock_guard<std::mutex> lock(queueMutex_);
    return stopping_;
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

void CSqliteScoreStore::StopWrites() {
    std::deque<WriteJob> dropped;
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        stopping_ = true;
        dropped.swap(queue_);
    }
    queued_.notify_all();
    LogDropped(dropped.size());
    for (WriteJob& job : dropped) job.then(Outcome::kFailed);
    std::unique_lock<std::mutex> lock(queueMutex_);
    applied_.wait(lock, [this] { return !applying_; });
}

bool CSqliteScoreStore::Close(std::string* foldFailure) {
    StopWrites();
    if (writerThread_.joinable()) writerThread_.join();
    std::lock_guard<std::mutex> lock(readersMutex_);
    idleReaders_.clear();
    allReaders_.clear();
    FileId wal;
    if (!writer_.get()) {
        // A start that did not finish left a log it found beside the file
        // as it was (one that a crash left holds the latest writes).
        if (path_.empty() || !IdOf(path_ + "-wal", &wal)) return true;
        if (foldFailure)
            *foldFailure = interrupted_ ? "the start was stopped before it could" : "the start failed before it could";
        return false;
    }
    // The log folded back before the close, which tells no failure: a full
    // disk is then said as such. The close removes the log, its fold then
    // done, unless another program's connection keeps the log in use.
    const int folded = sqlite3_wal_checkpoint_v2(writer_.get(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    const std::string failure = folded == SQLITE_OK ? "" : writer_.Error();
    writer_.Close();
    if (!IdOf(path_ + "-wal", &wal)) return true;
    if (foldFailure) *foldFailure = failure;
    return false;
}

CSqliteConnection* CSqliteScoreStore::TakeReader() {
    {
        std::lock_guard<std::mutex> lock(readersMutex_);
        if (!idleReaders_.empty()) {
            CSqliteConnection* c = idleReaders_.back();
            idleReaders_.pop_back();
            return c;
        }
    }
    auto c = std::make_unique<CSqliteConnection>();
    std::string error;
    if (!c->Open(path_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, &error) ||
        !c->Run("PRAGMA query_only = ON", &error)) {
        ServerLog("database: opening a reader: %s", error.c_str());
        return nullptr;
    }
    c->Keep(kStatements, kStatementCount);
    sqlite3_busy_handler(c->get(), OnBusy, this);
    std::lock_guard<std::mutex> lock(readersMutex_);
    allReaders_.push_back(std::move(c));
    return allReaders_.back().get();
}

void CSqliteScoreStore::GiveBack(CSqliteConnection* c) {
    std::lock_guard<std::mutex> lock(readersMutex_);
    idleReaders_.push_back(c);
}

int64_t CSqliteScoreStore::FindPlayer(CSqliteConnection* c, const std::string& name, std::string* stored) {
    const Prepared<kFindPlayer> st(c);
    if (!st) return -1;
    st.Bind(kName, name);
    const int rc = st->Step();
    if (rc == SQLITE_ROW) {
        if (stored) *stored = st->Text(1);
        return st->Int64(0);
    }
    if (rc == SQLITE_DONE) return 0;
    ServerLog("database: finding a player: %s", c->Error().c_str());
    return -1;
}

// ---- writes -------------------------------------------------------------------

CScoreStore::Outcome CSqliteScoreStore::AddPlayer(const std::string& name, const std::string& version) {
    return Write(WriteJob{true, name, version, 0, 0, 0, 0, nullptr});
}

CScoreStore::Outcome CSqliteScoreStore::Upload(const std::string& name, int type, int level, int32_t score,
                                               uint32_t flags) {
    return Write(WriteJob{false, name, "", type, level, score, flags, nullptr});
}

void CSqliteScoreStore::AddPlayerThen(const std::string& name, const std::string& version, Then then) {
    Queue(WriteJob{true, name, version, 0, 0, 0, 0, std::move(then)});
}

void CSqliteScoreStore::UploadThen(const std::string& name, int type, int level, int32_t score, uint32_t flags,
                                   Then then) {
    Queue(WriteJob{false, name, "", type, level, score, flags, std::move(then)});
}

void CSqliteScoreStore::Queue(WriteJob job) {
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        if (writing_ && !stopping_) {
            queue_.push_back(std::move(job));
            queued_.notify_one();
            return;
        }
    }
    job.then(Outcome::kFailed);
}

CScoreStore::Outcome CSqliteScoreStore::Write(WriteJob job) {
    // The promise goes with the job: the writer may still be in set_value
    // when this returns.
    const auto kept = std::make_shared<std::promise<Outcome>>();
    std::future<Outcome> outcome = kept->get_future();
    job.then = [kept](Outcome o) { kept->set_value(o); };
    Queue(std::move(job));
    return outcome.get();
}

void CSqliteScoreStore::WriterLoop() {
    std::vector<WriteJob> batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(queueMutex_);
            applying_ = false;
            applied_.notify_all();
            queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) break;  // the writes still waiting were dropped
            applying_ = true;
            while (!queue_.empty() && batch.size() < kBatchMax) {
                batch.push_back(std::move(queue_.front()));
                queue_.pop_front();
            }
        }
        const std::vector<Outcome> outcomes = RunBatch(batch);
        for (size_t i = 0; i < batch.size(); ++i) batch[i].then(outcomes[i]);
        batch.clear();
    }
    std::lock_guard<std::mutex> lock(queueMutex_);
    writing_ = false;
}

std::vector<CScoreStore::Outcome> CSqliteScoreStore::RunBatch(const std::vector<WriteJob>& batch) {
    std::vector<Outcome> failed(batch.size(), Outcome::kFailed);
    CSqliteTransaction write(writer_);
    if (!write.Begin(CSqliteConnection::Begin::kImmediate)) return failed;
    std::vector<Outcome> outcomes;
    for (const WriteJob& job : batch) {
        // A failing write takes back only itself.
        Outcome outcome = Outcome::kFailed;
        CSqliteSavepoint one(writer_);
        if (one) outcome = job.player ? ApplyPlayer(job) : ApplyScore(job);
        if (outcome != Outcome::kFailed && !one.Keep()) outcome = Outcome::kFailed;
        outcomes.push_back(outcome);
    }
    // A stop asked for before the commit drops the batch: the commit would
    // cost it a sync.
    if (IsStopping()) {
        LogDropped(batch.size());
        return failed;
    }
    // A file no longer at the path would take the batch with it when the
    // server stops; and nothing of a failed commit is kept either. Neither is
    // answered as kept.
    if (!IsStillOurFile() || !write.Commit()) return failed;
    return outcomes;
}

CScoreStore::Outcome CSqliteScoreStore::ApplyPlayer(const WriteJob& job) {
    const Prepared<kInsertPlayer> st(&writer_);
    if (!st) return Outcome::kFailed;
    st.Bind(kName, job.name);
    st.Bind(kVersion, job.version);
    st.Bind(kRegistered, static_cast<int64_t>(time(nullptr)));
    if (st->Step() == SQLITE_DONE) return Outcome::kRegistered;
    if (sqlite3_extended_errcode(writer_.get()) == SQLITE_CONSTRAINT_UNIQUE) return Outcome::kNameTaken;
    ServerLog("database: adding a player: %s", writer_.Error().c_str());
    return Outcome::kFailed;
}

bool CSqliteScoreStore::FindScore(CSqliteConnection* c, bool flagged, int64_t player, int type, int level,
                                  Stored* stored) {
    *stored = Stored();
    const auto find = [&](const auto& st) {
        if (!st) return SQLITE_ERROR;
        st.Bind(kPlayer, player);
        st.Bind(kType, type);
        st.Bind(kLevel, level);
        const int rc = st->Step();
        if (rc == SQLITE_ROW) {
            stored->found = true;
            stored->score = st->Int(0);
            stored->achieved = st->Int64(1);
            stored->seq = st->Int64(2);
        }
        return rc;
    };
    const int rc = flagged ? find(Prepared<kFindFlagged>(c)) : find(Prepared<kFindScore>(c));
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) return true;
    ServerLog("database: reading a score: %s", c->Error().c_str());
    return false;
}

CScoreStore::Outcome CSqliteScoreStore::ApplyScore(const WriteJob& job) {
    const int64_t player = FindPlayer(&writer_, job.name, nullptr);
    if (player < 0) return Outcome::kFailed;
    if (player == 0) return Outcome::kUnknownUser;
    Stored clean, flagged;
    if (!FindScore(&writer_, false, player, job.type, job.level, &clean) ||
        !FindScore(&writer_, true, player, job.type, job.level, &flagged))
        return Outcome::kFailed;
    // A clean score competes with his clean one only: it is what others see
    // of him. A flagged one is kept when it betters everything he has, for
    // his own view.
    const bool isFlagged = job.flags != 0;
    const Stored& same = isFlagged ? flagged : clean;
    if (same.found && job.score >= same.score) return Outcome::kIgnored;
    if (isFlagged && clean.found && job.score >= clean.score) return Outcome::kIgnored;

    int64_t seq = 0;
    {
        const Prepared<kNextSequence> next(&writer_);
        if (!next) return Outcome::kFailed;
        if (next->Step() != SQLITE_ROW) {
            ServerLog("database: counting: %s", writer_.Error().c_str());
            return Outcome::kFailed;
        }
        seq = next->Int64(0);
    }
    // His row of the board, new or changed, among the clean or the
    // flagged scores.
    const auto write = [&](const auto& st) {
        if (!st) return false;
        st.Bind(kPlayer, player);
        st.Bind(kType, job.type);
        st.Bind(kLevel, job.level);
        st.Bind(kScore, job.score);
        st.Bind(kCheat, job.flags);
        st.Bind(kSeq, seq);
        st.Bind(kAchieved, static_cast<int64_t>(time(nullptr)));
        if (st->Step() == SQLITE_DONE) return true;
        ServerLog("database: storing a score: %s", writer_.Error().c_str());
        return false;
    };
    const bool written = isFlagged ? (same.found ? write(Prepared<kUpdateFlagged>(&writer_))
                                                 : write(Prepared<kInsertFlagged>(&writer_)))
                                   : (same.found ? write(Prepared<kUpdateScore>(&writer_))
                                                 : write(Prepared<kInsertScore>(&writer_)));
    if (!written) return Outcome::kFailed;
    // Others count his clean score only.
    if (!isFlagged && !Recount(job.type, job.level, same.found, same.score, job.score)) return Outcome::kFailed;
    return same.found ? Outcome::kUpdated : Outcome::kAdded;
}

bool CSqliteScoreStore::Recount(int type, int level, bool had, int32_t from, int32_t to) {
    for (int depth = 0; depth <= kTopDepth; ++depth) {
        const int64_t was = static_cast<int64_t>(from) >> (kBucketBits * depth);
        const int64_t is = static_cast<int64_t>(to) >> (kBucketBits * depth);
        if (had && was == is) continue;
        for (int change = had ? -1 : 1; change <= 1; change += 2) {
            const Prepared<kAddCount> st(&writer_);
            if (!st) return false;
            st.Bind(kType, type);
            st.Bind(kLevel, level);
            st.Bind(kDepth, depth);
            st.Bind(kBucket, change < 0 ? was : is);
            st.Bind(kChange, change);
            if (st->Step() != SQLITE_DONE) {
                ServerLog("database: counting a score: %s", writer_.Error().c_str());
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
    CSqliteConnection* c = lease.get();
    if (!c) return false;
    c->TakeSteps();
    bool ok = false;
    {
        // One snapshot: the count and the rows agree.
        CSqliteTransaction read(*c);
        if (!read.Begin(CSqliteConnection::Begin::kDeferred)) return false;
        ok = ReadBoardIn(c, viewer, type, level, topRows, board);
        if (!ok) ServerLog("database: reading the board (%i, %i): %s", type, level, c->Error().c_str());
        if (ok) read.Commit();
    }
    boardReadSteps_ += c->TakeSteps();
    return ok;
}

bool CSqliteScoreStore::ReadBoardIn(CSqliteConnection* c, const std::string& viewer, int type, int level,
                                    int topRows, Board* board) {
    *board = Board();
    std::string viewerName;
    const int64_t me = viewer.empty() ? 0 : FindPlayer(c, viewer, &viewerName);
    if (me < 0) return false;

    // The viewer's own row: the better of his clean and his flagged score.
    Stored clean, flagged;
    if (me > 0 &&
        !(FindScore(c, false, me, type, level, &clean) && FindScore(c, true, me, type, level, &flagged)))
        return false;
    const Stored& own = flagged.found && (!clean.found || flagged.score < clean.score) ? flagged : clean;

    // The board's clean entries, less his own, and his row.
    {
        const Prepared<kEntriesAt> st(c);
        if (!st) return false;
        st.Bind(kType, type);
        st.Bind(kLevel, level);
        st.Bind(kDepth, kTopDepth);
        st.Bind(kBucket, 0);
        const int rc = st->Step();
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) return false;
        const int64_t entries = rc == SQLITE_ROW ? st->Int64(0) : 0;
        board->players = entries - (clean.found ? 1 : 0) + (own.found ? 1 : 0);
    }

    // The others' first rows, with his own put in at its place.
    bool ownPlaced = !own.found;
    {
        const Prepared<kBoardTop> st(c);
        if (!st) return false;
        st.Bind(kType, type);
        st.Bind(kLevel, level);
        st.Bind(kViewer, me);
        st.Bind(kRows, topRows);
        int rc;
        while ((rc = st->Step()) == SQLITE_ROW && static_cast<int>(board->top.size()) < topRows) {
            const int32_t score = st->Int(1);
            const int64_t seq = st->Int64(3);
            if (!ownPlaced && (own.score < score || (own.score == score && own.seq < seq))) {
                board->top.push_back(Row{viewerName, own.score, own.achieved, true});
                ownPlaced = true;
                if (static_cast<int>(board->top.size()) == topRows) break;
            }
            board->top.push_back(Row{st->Text(0), score, st->Int64(2), false});
        }
        if (rc != SQLITE_DONE && rc != SQLITE_ROW) return false;
    }
    if (!ownPlaced && static_cast<int>(board->top.size()) < topRows) {
        board->top.push_back(Row{viewerName, own.score, own.achieved, true});
        ownPlaced = true;
    }
    if (ownPlaced) return true;

    board->ownBelow = true;
    board->own = Row{viewerName, own.score, own.achieved, true};
    // The entries with fewer steps: at each depth, the buckets before his
    // under the same bucket above (none where his digit is 0, nor above his
    // top digit). His own clean entry is never among them: his row is the
    // better of his clean and his flagged score.
    const int64_t digits = (int64_t{1} << kBucketBits) - 1;
    for (int depth = 0; depth < kTopDepth; ++depth) {
        const int64_t bucket = static_cast<int64_t>(own.score) >> (kBucketBits * depth);
        if (bucket == 0) break;
        if ((bucket & digits) == 0) continue;
        const Prepared<kCountBelow> st(c);
        if (!st) return false;
        st.Bind(kType, type);
        st.Bind(kLevel, level);
        st.Bind(kDepth, depth);
        st.Bind(kFrom, bucket & ~digits);
        st.Bind(kTo, bucket);
        if (st->Step() != SQLITE_ROW) return false;
        board->ownAhead += st->Int64(0);
    }
    return true;
}

bool CSqliteScoreStore::Count(int64_t* players, int64_t* scores) {
    Lease lease(this);
    if (!lease.get()) return false;
    const Prepared<kCountAll> st(lease.get());
    if (!st) return false;
    if (st->Step() != SQLITE_ROW) {
        ServerLog("database: counting: %s", lease.get()->Error().c_str());
        return false;
    }
    *players = st->Int64(0);
    *scores = st->Int64(1);
    return true;
}

bool CSqliteScoreStore::CheckIntegrity(std::string* report) {
    Lease lease(this);
    CSqliteConnection* c = lease.get();
    if (!c) return false;
    report->clear();
    {
        const Prepared<kIntegrity> st(c);
        if (!st) return false;
        int rc;
        while ((rc = st->Step()) == SQLITE_ROW) report->append(st->Text(0)).append("\n");
        if (rc != SQLITE_DONE || *report != "ok\n") return false;
    }
    const Prepared<kCountsDisagree> st(c);
    if (!st) return false;
    st.Bind(kBits, kBucketBits);
    st.Bind(kTop, kTopDepth);
    const int64_t wrong = st->Step() == SQLITE_ROW ? st->Int64(0) : -1;
    if (wrong != 0) report->append("board counts that the scores do not give: " + std::to_string(wrong) + "\n");
    return wrong == 0;
}
