// Where the score server keeps its players and their scores. The protocol
// code talks only to this interface, so the SQLite file it uses today can
// give way to a database server without touching the protocol. Every method
// may be called from many threads at once; a write has reached the storage
// for good (survives the process being killed) before its method returns,
// or, asked for without waiting, before its outcome is handed on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CScoreStore {
public:
    enum class Outcome {
        kRegistered,   // a new player
        kNameTaken,    // the name (in any letter case) belongs to another player
        kAdded,        // a first score on the board
        kUpdated,      // better than the stored one, which it replaced
        kIgnored,      // not better: nothing changed
        kUnknownUser,  // no player of that name
        kFailed,       // the storage failed; nothing changed (logged)
    };

    struct Row {
        std::string name;
        int32_t score = 0;
        int64_t achieved = 0;  // when the score was reached (seconds since 1970)
        bool viewer = false;   // the row of the player who asked
    };

    // A board as one player sees it: every other player's clean score and
    // his own best, flagged or not. Rows in rank order: fewer steps first, and of equal scores the
    // one reached earlier.
    struct Board {
        int64_t players = 0;     // rows on the board
        std::vector<Row> top;    // the first rows, as many as asked for
        bool ownBelow = false;   // the viewer has a row, after the top rows
        Row own;                 // that row
        int64_t ownAhead = 0;    // rows with fewer steps than his
    };

    // What a write asked for without waiting does with its outcome.
    using Then = std::function<void(Outcome)>;

    virtual ~CScoreStore() = default;

    // Registers a name with the version text of the game that asked.
    virtual Outcome AddPlayer(const std::string& name, const std::string& version) = 0;
    // Whether a name (in any letter case) is taken; false when the storage
    // failed, with *failed set.
    virtual bool IsNameTaken(const std::string& name, bool* failed) = 0;
    // Keeps the better (lower) of the stored score and this one on the board
    // (type, level). A score with non-zero flags is flagged (see
    // kScoreKeyCheat): a player's best clean score is what others see of
    // him, whatever he sent flagged; a flagged score is kept (and shows on
    // his own view of the board only) when it betters every score he has
    // there.
    virtual Outcome Upload(const std::string& name, int type, int level, int32_t score, uint32_t flags) = 0;
    // AddPlayer and Upload for a caller that must not wait for the disk: then
    // gets the outcome once the write is kept (or failed), exactly once,
    // perhaps on another thread, perhaps before this returns; it must be
    // quick, as the writes after it wait. Here they simply call the methods
    // above; a store with a writer of its own answers from it.
    virtual void AddPlayerThen(const std::string& name, const std::string& version, Then then) {
        then(AddPlayer(name, version));
    }
    virtual void UploadThen(const std::string& name, int type, int level, int32_t score, uint32_t flags, Then then) {
        then(Upload(name, type, level, score, flags));
    }
    // The server is stopping: from now on every write is refused (kFailed,
    // nothing stored), those still waiting are answered so at once, and a
    // commit under way is waited for, so that when this returns every write
    // asked for has its outcome, and a write answered kFailed is never kept.
    // Here every write is answered before its method returns.
    virtual void StopWrites() {}
    // The board (type, level) as viewer sees it (an empty or unknown name
    // sees the clean scores), with its first topRows rows.
    virtual bool ReadBoard(const std::string& viewer, int type, int level, int topRows, Board* board) = 0;
    // Players and scores stored, for the start-up line and for checks.
    virtual bool Count(int64_t* players, int64_t* scores) = 0;
};
