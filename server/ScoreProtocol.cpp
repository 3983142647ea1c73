#include "server/ScoreProtocol.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <map>
#include <mutex>
#include <set>

#include "players/ScoreBoardRules.h"
#include "engine/ReadNumber.h"
#include "players/ScoreScramble.h"
#include "server/CScoreStore.h"
#include "server/ServerLog.h"
#include "server/UserNames.h"

namespace {

// The keys of each operation.
const std::map<std::string, std::set<std::string>> kOperations = {
    {kScoreOpAddUser, {kScoreKeyOp, kScoreKeyUser, kScoreKeyVersion}},
    {kScoreOpUpload, {kScoreKeyOp, kScoreKeyUser, kScoreKeyType, kScoreKeyLevel, kScoreKeyScore, kScoreKeyCheat}},
    {kScoreOpDownload, {kScoreKeyOp, kScoreKeyUser, kScoreKeyType, kScoreKeyLevel}},
};

// The version text a game sends: "1.03W", with a vendor "1.03W-abc".
const size_t kVersionMax = 64;

ScoreReply Failure(int code, const std::string& summary) {
    ScoreReply reply;
    reply.body = std::string(kScoreFailure) + "\n" + std::to_string(code) + "\n";
    reply.summary = summary + " -> " + kScoreFailure + " " + std::to_string(code);
    return reply;
}

// success, and the lines after it.
ScoreReply Success(const std::string& more, const std::string& summary) {
    ScoreReply reply;
    reply.body = std::string(kScoreSuccess) + "\n" + more;
    reply.summary = summary + " -> " + kScoreSuccess;
    return reply;
}

// Over the client's budget: asked to come back in wait seconds.
ScoreReply Busy(unsigned wait, const std::string& summary) {
    ScoreReply reply = Failure(kScoreErrorBusy, summary);
    reply.status = 429;
    reply.retryAfter = wait;
    reply.summary += " busy: over this address's budget, retry after " + std::to_string(wait) + " s";
    return reply;
}

ScoreReply ServerFault(const std::string& summary) {
    ScoreReply reply = Failure(kScoreErrorServerFault, summary);
    reply.status = 500;
    return reply;
}

// A field of 32 bits, written as ReadNumber reads numbers.
bool ReadInt32(const std::string& text, int32_t* value) { return ReadNumber(text, INT32_MIN, INT32_MAX, value); }

// "key=value" pairs, each key once; false for a pair without "=" or a key
// given twice.
bool ReadFields(const std::string& query, std::map<std::string, std::string>* fields) {
    size_t at = 0;
    for (;;) {
        const size_t end = std::min(query.find('&', at), query.size());
        const std::string pair = query.substr(at, end - at);
        const size_t eq = pair.find('=');
        if (eq == std::string::npos || !fields->emplace(pair.substr(0, eq), pair.substr(eq + 1)).second) return false;
        if (end == query.size()) return true;
        at = end + 1;
    }
}

std::string Day(int64_t seconds) {
    const time_t t = static_cast<time_t>(seconds);
    struct tm utc;
    gmtime_r(&t, &utc);
    char text[16];
    strftime(text, sizeof text, "%Y-%m-%d", &utc);
    return text;
}

std::string BoardRow(int64_t rank, const CScoreStore::Row& row) {
    // The fourth field is the day the score was reached: never empty, as the
    // game counts only rows of four fields.
    return std::to_string(rank) + "\t" + row.name + "\t" + std::to_string(row.score) + "\t" + Day(row.achieved) + "\n";
}

using Ready = std::function<void(ScoreAnswer)>;

ScoreAnswer Made(const ScoreReply& reply) {
    return [reply] { return reply; };
}

// The answer to a name that is taken: up to three free ones like it.
ScoreReply NameTaken(CScoreStore& store, const std::string& user, const std::string& summary) {
    bool failed = false;
    const std::vector<std::string> names = ProposeNames(
        user, kScoreProposedNames,
        [&store](const std::string& name, bool* fault) { return !store.IsNameTaken(name, fault); }, &failed);
    if (failed) return ServerFault(summary);
    ScoreReply reply = Failure(kScoreErrorUserExists, summary);
    for (const std::string& name : names) reply.body += name + "\n";
    return reply;
}

// Asked once a write is found well formed, just before it goes to the store:
// a request that could write nothing (a name the rules refuse, a board that
// does not exist, an upload for a name never registered) spends no budget,
// and brings no address into its table.
bool Admitted(const ScoreWriteGate& gate, const char* op, const std::string& summary, const Ready& ready) {
    const unsigned wait = gate ? gate(op) : 0;
    if (wait > 0) ready(Made(Busy(wait, summary)));
    return wait == 0;
}

void Register(CScoreStore& store, const std::string& user, const std::string& version, const std::string& summary,
              const ScoreWriteGate& gate, const Ready& ready) {
    for (const char c : version) {
        if (c < 0x21 || c > 0x7E) return ready(Made(UnreadableReply("a version with a control character or a space")));
    }
    if (version.empty() || version.size() > kVersionMax)
        return ready(Made(UnreadableReply("a version of no or too many characters")));
    const int refusal = CheckUserName(user);
    if (refusal != 0) return ready(Made(Failure(refusal, summary)));
    if (!Admitted(gate, kScoreOpAddUser, summary, ready)) return;
    bool failed = false;
    const bool taken = store.IsNameTaken(user, &failed);
    if (failed) return ready(Made(ServerFault(summary)));
    if (taken) return ready([&store, user, summary] { return NameTaken(store, user, summary); });
    store.AddPlayerThen(user, version, [&store, user, summary, ready](CScoreStore::Outcome outcome) {
        ready([&store, user, summary, outcome] {
            // Another request may have taken the name since it was looked up.
            if (outcome == CScoreStore::Outcome::kRegistered) return Success("", summary);
            if (outcome == CScoreStore::Outcome::kNameTaken) return NameTaken(store, user, summary);
            return ServerFault(summary);
        });
    });
}

ScoreReply Uploaded(CScoreStore::Outcome outcome, const std::string& summary) {
    const char* said = nullptr;
    switch (outcome) {
    case CScoreStore::Outcome::kAdded: said = kScoreAdded; break;
    case CScoreStore::Outcome::kUpdated: said = kScoreUpdated; break;
    case CScoreStore::Outcome::kIgnored: said = kScoreIgnored; break;
    case CScoreStore::Outcome::kUnknownUser: return Failure(kScoreErrorNoUser, summary);
    default: return ServerFault(summary);
    }
    ScoreReply reply = Success(std::string(said) + "\n", summary);
    reply.summary += std::string(" ") + said;
    return reply;
}

void Upload(CScoreStore& store, const std::string& user, int type, int level, int32_t score, uint32_t flags,
            const std::string& summary, const ScoreWriteGate& gate, const Ready& ready) {
    const int refusal = ScoreBoardRefusal(type, level);
    if (refusal != 0) return ready(Made(Failure(refusal, summary)));
    // A name never registered could store nothing either.
    bool failed = false;
    const bool registered = store.IsNameTaken(user, &failed);
    if (failed) return ready(Made(ServerFault(summary)));
    if (!registered) return ready(Made(Failure(kScoreErrorNoUser, summary)));
    if (!Admitted(gate, kScoreOpUpload, summary, ready)) return;
    store.UploadThen(user, type, level, score, flags, [summary, ready](CScoreStore::Outcome outcome) {
        ready([outcome, summary] { return Uploaded(outcome, summary); });
    });
}

ScoreReply Download(CScoreStore& store, const std::string& user, int type, int level, const std::string& summary) {
    const int refusal = ScoreBoardRefusal(type, level);
    if (refusal != 0) return Failure(refusal, summary);
    CScoreStore::Board board;
    if (!store.ReadBoard(user, type, level, kScoreBoardTopRows, &board)) return ServerFault(summary);
    ScoreReply reply = Success(std::to_string(board.players) + "\n", summary);
    // Equal scores share a rank: the rank of a row is one more than the
    // number of rows with fewer steps.
    int64_t rank = 0;
    for (size_t i = 0; i < board.top.size(); ++i) {
        if (i == 0 || board.top[i].score != board.top[i - 1].score) rank = static_cast<int64_t>(i) + 1;
        reply.body += BoardRow(rank, board.top[i]);
    }
    if (board.ownBelow) reply.body += BoardRow(board.ownAhead + 1, board.own);
    reply.summary += " " + std::to_string(board.top.size() + (board.ownBelow ? 1 : 0)) + " of " +
                     std::to_string(board.players);
    return reply;
}

}  // namespace

ScoreReply UnreadableReply(const std::string& why) {
    ScoreReply reply;
    reply.status = 400;
    reply.body = std::string(kScoreFailure) + "\n" + std::to_string(kScoreErrorUnreadable) + "\n";
    reply.summary = "unreadable: " + why + " -> " + kScoreFailure + " " + std::to_string(kScoreErrorUnreadable);
    return reply;
}

void StartScoreQuery(CScoreStore& store, const std::string& scrambled, const ScoreWriteGate& gate,
                     std::function<void(ScoreAnswer)> ready, bool mayWrite) {
    if (scrambled.empty()) return ready(Made(UnreadableReply("no query")));
    if (scrambled.size() > kScoreQueryMax)
        return ready(Made(UnreadableReply("a query over " + std::to_string(kScoreQueryMax) + " bytes")));
    std::string plain, query;
    if (!Unscramble(scrambled, &plain)) return ready(Made(UnreadableReply("not scrambled as the game scrambles")));
    if (!Unwrap(plain, &query)) return ready(Made(UnreadableReply("no random part or a wrong check sum")));
    const std::string summary = EscapeForLog(query);
    std::map<std::string, std::string> fields;
    if (!ReadFields(query, &fields))
        return ready(Made(UnreadableReply("a key twice or a pair without '=' in " + summary)));
    const auto op = kOperations.find(fields[kScoreKeyOp]);
    if (op == kOperations.end()) return ready(Made(UnreadableReply("no known operation in " + summary)));
    bool known = fields.size() == op->second.size();
    for (const auto& field : fields) known = known && op->second.count(field.first) != 0;
    if (!known) return ready(Made(UnreadableReply("keys missing or unknown in " + summary)));
    if (!mayWrite && op->first != kScoreOpDownload) {
        ScoreReply reply = UnreadableReply("a write asked by a method that must change nothing: " + summary);
        reply.status = 405;
        reply.allow = "GET";
        return ready(Made(reply));
    }
    const std::string& user = fields[kScoreKeyUser];
    if (op->first == kScoreOpAddUser) return Register(store, user, fields[kScoreKeyVersion], summary, gate, ready);

    int32_t type = 0, level = 0, score = 0, cheat = 0;
    if (!ReadInt32(fields[kScoreKeyType], &type) || !ReadInt32(fields[kScoreKeyLevel], &level))
        return ready(Made(UnreadableReply("a type or level that is no number in " + summary)));
    if (op->first == kScoreOpDownload)
        return ready([&store, user, type, level, summary] { return Download(store, user, type, level, summary); });
    if (!ReadInt32(fields[kScoreKeyScore], &score) || score < kScoreLowest ||
        !ReadInt32(fields[kScoreKeyCheat], &cheat))
        return ready(Made(UnreadableReply("a score or cheat word that is no number or no step count in " + summary)));
    Upload(store, user, type, level, score, static_cast<uint32_t>(cheat), summary, gate, ready);
}

ScoreReply AnswerScoreQuery(CScoreStore& store, const std::string& scrambled, const ScoreWriteGate& gate) {
    std::mutex mutex;
    std::condition_variable made;
    ScoreAnswer answer;
    StartScoreQuery(store, scrambled, gate, [&](ScoreAnswer ready) {
        // Told under the lock: the wait below cannot end, and take these
        // with it, before the telling is over.
        std::lock_guard<std::mutex> lock(mutex);
        answer = std::move(ready);
        made.notify_all();
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        made.wait(lock, [&answer] { return static_cast<bool>(answer); });
    }
    return answer();
}

ScoreReply StoppedReply() { return ServerFault("a write the stop left without its outcome"); }
