// One SQLite connection, closed when it goes. The statements it runs again
// and again are kept prepared: those of a table given once (by their number
// in it) and those that begin and end a transaction or a savepoint
// (CSqliteTransaction, CSqliteSavepoint). A failure of a kept statement is
// logged with its text.
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

    // A statement to keep: its number and its text (which must outlive the
    // connection).
    struct KeptStatement {
        int id;
        const char* sql;
    };
    // Whether each row of a table holds its own place's number, as Keep asks
    // (for a static_assert beside the table).
    template <size_t N>
    static constexpr bool IsInOrder(const KeptStatement (&rows)[N]) {
        for (size_t i = 0; i < N; ++i)
            if (rows[i].id != static_cast<int>(i)) return false;
        return true;
    }
    // The statements to keep, row n numbered n, each prepared when first
    // used.
    void Keep(const KeptStatement* rows, size_t count);
    // Kept statement number which, at its start with no values bound;
    // empty (logged) when it cannot be prepared.
    CSqliteStatement::Use Kept(size_t which);

    // A transaction: begun (at once taking the write lock, or at the first
    // read), committed or rolled back. False when SQLite refuses: with its
    // reason in error, or logged when error is null.
    enum class Begin { kDeferred, kImmediate };
    bool BeginTransaction(Begin how, std::string* error = nullptr);
    bool CommitTransaction(std::string* error = nullptr);
    bool RollbackTransaction(std::string* error = nullptr);
    // A savepoint inside the transaction: begun, released (what was done
    // since is kept), rolled back to (taken back; it goes on until
    // released). False (logged) when SQLite refuses.
    bool BeginSavepoint();
    bool ReleaseSavepoint();
    bool RollbackToSavepoint();
    // Whether a transaction is open: SQLite takes one back itself when a
    // statement in it, or its commit, meets a full disk or an I/O error.
    bool InTransaction() const;

    // Runs a fixed statement (no values from outside) to its end; false
    // with SQLite's reason.
    bool Run(const char* sql, std::string* error);
    // The first column of the first row of a fixed statement, as text.
    bool QueryText(const char* sql, std::string* value, std::string* error);
    // The steps its kept statements took since the last call.
    int64_t TakeSteps();

private:
    enum Control {
        kBegin,
        kBeginImmediate,
        kCommit,
        kRollback,
        kSavepoint,
        kReleaseSavepoint,
        kRollbackToSavepoint,
        kControlCount
    };
    bool RunControl(Control which, std::string* error);
    bool RunStatement(CSqliteStatement* st, const char* sql, std::string* error);
    CSqliteStatement::Use Prepared(CSqliteStatement* st, const char* sql);

    sqlite3* db_ = nullptr;
    const KeptStatement* texts_ = nullptr;
    std::vector<CSqliteStatement> kept_;
    CSqliteStatement control_[kControlCount];
};
