// One SQLite connection, closed when it goes. The statements it runs again
// and again are kept prepared: those of a table of texts given once (by
// their number in it) and those that begin and end a transaction
// (CSqliteTransaction). A failure of a kept statement is logged with its
// text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "server/CSqliteStatement.h"

struct sqlite3;

class CSqliteConnection {
public:
    CSqliteConnection() = default;
    ~CSqliteConnection() { Close(); }
    CSqliteConnection(const CSqliteConnection&) = delete;
    CSqliteConnection& operator=(const CSqliteConnection&) = delete;

    // Opens the file at path (flags as sqlite3_open_v2's); false with
    // SQLite's reason.
    bool Open(const std::string& path, int flags, std::string* error);
    // Its statements finalized, then closed (a failure is logged); safe
    // when not open.
    void Close();
    sqlite3* get() const { return db_; }
    // SQLite's reason for the last failure.
    std::string Error() const;

    // The statements to keep: texts (which must outlive the connection),
    // each prepared when first used.
    void Keep(const char* const* texts, size_t count);
    // Kept statement number which, at its start with no values bound;
    // empty (logged) when it cannot be prepared.
    CSqliteStatement::Use Kept(size_t which);
    // Runs kept statement which (it returns no rows); false (logged) when
    // it fails.
    bool RunKept(size_t which);

    // A transaction: begun (at once taking the write lock, or at the first
    // read), committed or rolled back. False when SQLite refuses: with its
    // reason in error, or logged when error is null.
    enum class Begin { kDeferred, kImmediate };
    bool BeginTransaction(Begin how, std::string* error = nullptr);
    bool CommitTransaction(std::string* error = nullptr);
    bool RollbackTransaction(std::string* error = nullptr);

    // Runs a fixed statement (no values from outside) to its end; false
    // with SQLite's reason.
    bool Run(const char* sql, std::string* error);
    // The first column of the first row of a fixed statement, as text.
    bool QueryText(const char* sql, std::string* value, std::string* error);
    // The steps its kept statements took since the last call.
    int64_t TakeSteps();

private:
    enum Control { kBegin, kBeginImmediate, kCommit, kRollback, kControlCount };
    bool RunStatement(CSqliteStatement* st, const char* sql, std::string* error);
    CSqliteStatement::Use Prepared(CSqliteStatement* st, const char* sql);

    sqlite3* db_ = nullptr;
    const char* const* texts_ = nullptr;
    std::vector<CSqliteStatement> kept_;
    CSqliteStatement control_[kControlCount];
};
