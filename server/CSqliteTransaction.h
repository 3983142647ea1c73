// A transaction of a connection that is rolled back when it goes, unless it
// was committed: no path out of the code that began it leaves it open.
#pragma once

#include <string>

#include "server/CSqliteConnection.h"

class CSqliteTransaction {
public:
    explicit CSqliteTransaction(CSqliteConnection& connection) : connection_(connection) {}
    ~CSqliteTransaction() {
        if (open_) connection_.RollbackTransaction();
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
