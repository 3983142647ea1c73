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
    // Whether sql names the parameter (":score"), not only a longer name
    // that begins with it.
    static constexpr bool HasParameter(const char* sql, const char* name) {
        const auto inName = [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        };
        for (const char* at = sql; *at; ++at) {
            size_t n = 0;
            while (name[n] && at[n] == name[n]) ++n;
            if (!name[n] && !inName(at[n])) return true;
        }
        return false;
    }
    // The statements to keep, row n numbered n, each prepared when first
    // used.
    void Keep(const KeptStatement* rows, size_t count);
    // Kept statement number which, at its start with no values bound;
    // empty (logged) when it cannot be prepared.
    CSqliteStatement::Use Kept(size_t which);
    // A use of kept statement S of Rows (the table given to Keep, a
    // constexpr array), empty as Kept's may be (its values then bound to
    // nothing): each value is bound by the name of its parameter,
    // which is checked against S's text when the code compiles, so that no
    // value can go to a parameter the statement has not. A name is an
    // object of a type of its own that holds it:
    //     constexpr struct { const char* text = ":score"; } kScore;
    //     const Named<kStatements, kInsertScore> st(&connection);
    //     st.Bind(kScore, score);
    template <const auto& Rows, int S>
    class Named {
    public:
        explicit Named(CSqliteConnection* c) : use_(c->Kept(S)) {}
        explicit operator bool() const { return static_cast<bool>(use_); }
        CSqliteStatement* operator->() const { return use_.operator->(); }
        template <class Name, class Value>
        void Bind(const Name&, const Value& value) const {
            static_assert(HasParameter(Rows[S].sql, Name{}.text), "the statement has no parameter of this name");
            if (!use_) return;
            // Every connection's copy of S has its parameters at the same
            // places: each is looked up once.
            static const int place = use_->PlaceOf(Name{}.text);
            use_->BindAt(place, value);
        }

    private:
        CSqliteStatement::Use use_;
    };

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

    // Runs a fixed statement (one; no values from outside) to its end;
    // false with SQLite's reason.
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
