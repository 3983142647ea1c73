#include "server/CSqliteStatement.h"

#include <sqlite3.h>

#include <climits>
#include <utility>

CSqliteStatement::CSqliteStatement(sqlite3* db, const char* sql, unsigned flags) {
    if (sqlite3_prepare_v3(db, sql, -1, flags, &st_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st_);
        st_ = nullptr;
    }
}

CSqliteStatement::~CSqliteStatement() { sqlite3_finalize(st_); }

CSqliteStatement::CSqliteStatement(CSqliteStatement&& other) noexcept
    : st_(other.st_), bindError_(other.bindError_) {
    other.st_ = nullptr;
}

CSqliteStatement& CSqliteStatement::operator=(CSqliteStatement&& other) noexcept {
    std::swap(st_, other.st_);
    std::swap(bindError_, other.bindError_);
    return *this;
}

int CSqliteStatement::Step() { return bindError_ != SQLITE_OK ? bindError_ : sqlite3_step(st_); }

int CSqliteStatement::StepToEnd() {
    int rc;
    while ((rc = Step()) == SQLITE_ROW) {
    }
    return rc;
}

void CSqliteStatement::Reset() {
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
    bindError_ = SQLITE_OK;
}

void CSqliteStatement::Bound(int code) {
    if (bindError_ == SQLITE_OK) bindError_ = code;
}

void CSqliteStatement::Bind(const char* name, int64_t value) { BindAt(PlaceOf(name), value); }

void CSqliteStatement::Bind(const char* name, const std::string& text) { BindAt(PlaceOf(name), text); }

int CSqliteStatement::PlaceOf(const char* name) const { return sqlite3_bind_parameter_index(st_, name); }

// SQLite refuses place 0 in its own words.
void CSqliteStatement::BindAt(int place, int64_t value) { Bound(sqlite3_bind_int64(st_, place, value)); }

void CSqliteStatement::BindAt(int place, const std::string& text) {
    // A text longer than an int holds is past every limit SQLite has.
    if (text.size() > static_cast<size_t>(INT_MAX)) return Bound(SQLITE_TOOBIG);
    Bound(sqlite3_bind_text(st_, place, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
}

int CSqliteStatement::Int(int column) const { return sqlite3_column_int(st_, column); }

int64_t CSqliteStatement::Int64(int column) const { return sqlite3_column_int64(st_, column); }

std::string CSqliteStatement::Text(int column) const {
    const unsigned char* text = sqlite3_column_text(st_, column);
    if (!text) return std::string();
    return std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_column_bytes(st_, column)));
}

int64_t CSqliteStatement::TakeSteps() {
    return st_ ? sqlite3_stmt_status(st_, SQLITE_STMTSTATUS_VM_STEP, /*reset*/ 1) : 0;
}
