// One prepared SQLite statement, finalized when it goes, whatever path the
// code that made it takes. Empty when SQLite would not prepare it (the
// reason is its connection's error).
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class CSqliteStatement {
public:
    CSqliteStatement() = default;
    // Prepares sql on db; flags as sqlite3_prepare_v3's (0, or kept for
    // long: SQLITE_PREPARE_PERSISTENT).
    CSqliteStatement(sqlite3* db, const char* sql, unsigned flags = 0);
    ~CSqliteStatement();
    CSqliteStatement(CSqliteStatement&& other) noexcept;
    CSqliteStatement& operator=(CSqliteStatement&& other) noexcept;
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;

    explicit operator bool() const { return st_ != nullptr; }

    // sqlite3_step: SQLITE_ROW, SQLITE_DONE or an error code; the code of
    // a value that could not be bound since the last Reset, without a step.
    int Step();
    // Steps past every row to the end: SQLITE_DONE, or the error code.
    int StepToEnd();
    // Back to its start with no values bound.
    void Reset();

    // A value for the parameter of that name (":score"), as the statement's
    // text names it: no value goes to a parameter by its place. SQLite may
    // refuse it (a name the statement has not, a text over its length limit,
    // no memory): the statement then runs no more until Reset, and Step says
    // why (so does the connection's error), so that it never runs without a
    // value it was given.
    void Bind(const char* name, int64_t value);
    void Bind(const char* name, const std::string& text);
    int Int(int column) const;
    int64_t Int64(int column) const;
    // The column's text, "" for NULL.
    std::string Text(int column) const;
    // The steps (virtual machine instructions) it took since the last call.
    int64_t TakeSteps();

    // A use of a statement kept for many: it is reset when the use ends, so
    // that no path leaves it stepped (a read left open keeps its snapshot,
    // and holds back the folding of the write-ahead log into the file).
    class Use {
    public:
        explicit Use(CSqliteStatement* st = nullptr) : st_(st) {}
        ~Use() {
            if (st_) st_->Reset();
        }
        Use(Use&& other) noexcept : st_(other.st_) { other.st_ = nullptr; }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        Use& operator=(Use&&) = delete;
        explicit operator bool() const { return st_ != nullptr; }
        CSqliteStatement* operator->() const { return st_; }

    private:
        CSqliteStatement* st_;
    };

private:
    // CSqliteConnection::Named looks the place of each name up once.
    friend class CSqliteConnection;
    // The place of the parameter of that name (from 1); 0: none.
    int PlaceOf(const char* name) const;
    // A value for the parameter at place; place 0 is refused as a name the
    // statement has not.
    void BindAt(int place, int64_t value);
    void BindAt(int place, const std::string& text);
    void Bound(int code);

    sqlite3_stmt* st_ = nullptr;
    int bindError_ = 0;  // SQLITE_OK, or the first refusal since the last Reset
};
