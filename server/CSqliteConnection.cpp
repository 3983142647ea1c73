#include "server/CSqliteConnection.h"

#include <sqlite3.h>

#include <cstring>

#include "server/ServerLog.h"

namespace {

// In the order of Control.
const char* const kControlTexts[] = {"BEGIN",         "BEGIN IMMEDIATE", "COMMIT", "ROLLBACK", "SAVEPOINT part",
                                     "RELEASE part", "ROLLBACK TO part"};

}  // namespace

bool CSqliteConnection::Open(const std::string& path, int flags, std::string* error) {
    Close();
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) == SQLITE_OK) return true;
    // SQLite's words say only that it could not; the system says why.
    *error = Error();
    const int why = db_ ? sqlite3_system_errno(db_) : 0;
    if (why != 0) *error += std::string(" (") + strerror(why) + ")";
    Close();
    return false;
}

void CSqliteConnection::Close() {
    kept_.clear();
    for (CSqliteStatement& st : control_) st = CSqliteStatement();
    if (db_ && sqlite3_close(db_) != SQLITE_OK) ServerLog("database: closing: %s", Error().c_str());
    db_ = nullptr;
}

std::string CSqliteConnection::Error() const { return db_ ? sqlite3_errmsg(db_) : "out of memory"; }

void CSqliteConnection::Keep(const KeptStatement* rows, size_t count) {
    texts_ = rows;
    kept_.clear();
    kept_.resize(count);
}

CSqliteStatement::Use CSqliteConnection::Prepared(CSqliteStatement* st, const char* sql) {
    if (!*st) {
        *st = CSqliteStatement(db_, sql, SQLITE_PREPARE_PERSISTENT);
        if (!*st) {
            ServerLog("database: preparing \"%s\": %s", sql, Error().c_str());
            return CSqliteStatement::Use();
        }
    }
    // Every use resets it when it ends: it is at its start already.
    return CSqliteStatement::Use(st);
}

CSqliteStatement::Use CSqliteConnection::Kept(size_t which) { return Prepared(&kept_[which], texts_[which].sql); }

bool CSqliteConnection::RunStatement(CSqliteStatement* kept, const char* sql, std::string* error) {
    const CSqliteStatement::Use st = Prepared(kept, sql);
    if (!st) {
        if (error) *error = Error();
        return false;
    }
    if (st->Step() == SQLITE_DONE) return true;
    if (error)
        *error = Error();
    else
        ServerLog("database: \"%s\": %s", sql, Error().c_str());
    return false;
}

bool CSqliteConnection::RunControl(Control which, std::string* error) {
    return RunStatement(&control_[which], kControlTexts[which], error);
}

bool CSqliteConnection::BeginTransaction(Begin how, std::string* error) {
    return RunControl(how == Begin::kImmediate ? kBeginImmediate : kBegin, error);
}

bool CSqliteConnection::CommitTransaction(std::string* error) { return RunControl(kCommit, error); }

bool CSqliteConnection::RollbackTransaction(std::string* error) { return RunControl(kRollback, error); }

bool CSqliteConnection::BeginSavepoint() { return RunControl(kSavepoint, nullptr); }

bool CSqliteConnection::ReleaseSavepoint() { return RunControl(kReleaseSavepoint, nullptr); }

bool CSqliteConnection::RollbackToSavepoint() { return RunControl(kRollbackToSavepoint, nullptr); }

bool CSqliteConnection::InTransaction() const { return db_ && !sqlite3_get_autocommit(db_); }

bool CSqliteConnection::Run(const char* sql, std::string* error) {
    CSqliteStatement st(db_, sql);
    const int rc = st ? st.StepToEnd() : sqlite3_errcode(db_);
    if (rc == SQLITE_DONE || rc == SQLITE_OK) return true;  // OK: no statement in sql
    if (error) *error = Error();
    return false;
}

bool CSqliteConnection::QueryText(const char* sql, std::string* value, std::string* error) {
    CSqliteStatement st(db_, sql);
    const int rc = st ? st.Step() : sqlite3_errcode(db_);
    if (rc == SQLITE_ROW) {
        *value = st.Text(0);
        return true;
    }
    *error = rc == SQLITE_DONE ? "no answer to " + std::string(sql) : Error();
    return false;
}

int64_t CSqliteConnection::TakeSteps() {
    int64_t steps = 0;
    for (CSqliteStatement& st : kept_) steps += st.TakeSteps();
    for (CSqliteStatement& st : control_) steps += st.TakeSteps();
    return steps;
}
