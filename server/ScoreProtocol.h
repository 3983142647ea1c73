// The score server's answers: one request's scrambled query in, the HTTP
// status and the plain-text body the game's client reads out, with a line
// for the log. Every query it cannot read (scrambling, check sum, operation,
// keys, numbers, length) is answered 400 with "failure" and code 16, and
// changes nothing; a storage failure is answered 500 with code 15.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

class CScoreStore;

// The longest scrambled query read (4 KB): a real one is a few hundred bytes.
constexpr size_t kScoreQueryMax = 4096;
// Rows of a board answer before the requesting player's own row.
constexpr int kScoreBoardTopRows = 10;
// Names proposed for a taken one.
constexpr size_t kScoreProposedNames = 3;

struct ScoreReply {
    int status = 200;
    std::string body;
    std::string summary;  // what was asked and answered, for the log
    unsigned retryAfter = 0;  // seconds the client is asked to wait (0: none)
    std::string allow;        // with a 405: the methods the request may use
};

// Asked with the operation of a registration or upload once it is found
// well formed (a name the rules allow, a known board; for an upload, a name
// that is registered), before it reaches the store: 0 lets it go on; otherwise the seconds after which the
// client may try again, and the request is answered 429 with "failure" and
// code 18 (busy), with nothing stored.
using ScoreWriteGate = std::function<unsigned(const std::string& op)>;

// Answers a query, waiting for the store.
ScoreReply AnswerScoreQuery(CScoreStore& store, const std::string& scrambled, const ScoreWriteGate& gate = nullptr);

// The making of an answer, on the thread that will send it: it may read the
// store (a registration whose name was taken proposes others).
using ScoreAnswer = std::function<ScoreReply()>;
// AnswerScoreQuery for a caller that must not wait for the disk: ready gets
// the answer's making exactly once, and only hands it on. A refusal or a
// read is ready before this returns; a write once the store has kept it or
// failed, perhaps on the store's own thread and after this returned.
// Without mayWrite (a HEAD, which must change nothing) a write is answered
// 405, allowed by GET only, and reaches neither the gate nor the store.
void StartScoreQuery(CScoreStore& store, const std::string& scrambled, const ScoreWriteGate& gate,
                     std::function<void(ScoreAnswer)> ready, bool mayWrite = true);

// The answer to a write that the server's stop left without its outcome:
// failure 15, as for any write the store could not vouch for.
ScoreReply StoppedReply();

// The answer to a request that is no score request at all.
ScoreReply UnreadableReply(const std::string& why);
