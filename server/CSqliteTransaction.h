// A transaction of a connection that is rolled back when it goes, unless it
// was committed (or SQLite has taken it back already): no path out of the
// code that began it leaves it open. And a savepoint inside one, taken back
// when it goes unless it was kept.
#pragma once

#include <string>

#include "server/CSqliteConnection.h"

class CSqliteTransaction {
public:
    explicit CSqliteTransaction(CSqliteConnection& connection) : connection_(connection) {}
    ~CSqliteTransaction() {
        if (open_ && connection_.InTransaction()) connection_.RollbackTransaction();
    }
    CSqliteTransaction(const CSqliteTransaction&) = delete;
    CSqliteTransaction& operator=(const CSqliteTransaction&) = delete;

    // False when SQLite refuses: with its reason in error, or logged when
    // error is null.
    bool Begin(CSqliteConnection::Begin how, std::string* error = nullptr) {
        open_ = connection_.BeginTransaction(how, error);
        return open_;
    }
    // When the commit fails, the transaction is still rolled back when this
    // goes.
    bool Commit(std::string* error = nullptr) {
        if (!connection_.CommitTransaction(error)) return false;
        open_ = false;
        return true;
    }

private:
    CSqliteConnection& connection_;
    bool open_ = false;
};

// A part of a transaction that is taken back, and only it, when it goes,
// unless it was kept: the transaction goes on either way.
class CSqliteSavepoint {
public:
    // Begun at once; false (logged) when SQLite refused.
    explicit CSqliteSavepoint(CSqliteConnection& connection)
        : connection_(connection), open_(connection.BeginSavepoint()) {}
    ~CSqliteSavepoint() {
        if (open_ && connection_.InTransaction() && connection_.RollbackToSavepoint()) connection_.ReleaseSavepoint();
    }
    CSqliteSavepoint(const CSqliteSavepoint&) = delete;
    CSqliteSavepoint& operator=(const CSqliteSavepoint&) = delete;

    explicit operator bool() const { return open_; }
    // What was done since it began becomes the transaction's; false when
    // SQLite refuses, and then it is still taken back when this goes.
    bool Keep() {
        if (!open_ || !connection_.ReleaseSavepoint()) return false;
        open_ = false;
        return true;
    }

private:
    CSqliteConnection& connection_;
    bool open_;
};
