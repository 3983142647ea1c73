// The score server's HTTP side: answers GET <path>zjscores.php through the
// score protocol, and writes one log line per request (before the answer
// leaves, so that the log is complete whenever a client holds its answer).
// A browser's GET of the root or of the path gets a short page that says
// what the server is and where the game asks it; anything else is refused.
//
// It is made for the open internet: a few threads each wait on many
// connections at once (poll), so an idle or slow client costs a little
// memory, never a thread; an upload or a registration waits for the disk
// with its connection put aside, so a slow disk holds no thread either.
// Each connection has a fixed memory budget for its request line and headers
// (a longer header block is refused with 431), is closed when it says
// nothing for a while or takes too long over a request (much less long once
// connections run short, so that the idle and the slow make room for
// ordinary requests), and one client (an AddressKey: an IPv4 address or an
// IPv6 /64, as the budgets count them) holds only so many connections; all of
// them together stay under the process's limit of open files, with files to
// spare for the database. A stop ends every connection, whatever its client
// does.
#pragma once

#include <microhttpd.h>

#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <unordered_map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "server/AddressKey.h"
#include "server/ScoreProtocol.h"

class CAddressBudget;
class CScoreStore;

class CScoreHttpServer {
public:
    // Memory of one connection: its request line, its headers and its
    // answer. A query may be 4 KB, the game's headers are a hundred bytes.
    static constexpr size_t kConnectionMemory = 16 * 1024;
    // Seconds a connection may stay silent before it is closed.
    static constexpr unsigned kIdleSeconds = 15;
    // Seconds a client has for a request's line and headers, from its
    // connection or the previous answer: one that sends them a byte at a
    // time is never silent, but it is cut all the same.
    static constexpr unsigned kRequestSeconds = 10;
    // Connections one client (an IPv4 address, an IPv6 /64) may hold at
    // once: a whole school behind one address asks one request at a time per
    // player.
    static constexpr unsigned kConnectionsPerAddress = 64;
    // The most connections at all, whatever the open-file limit allows.
    static constexpr unsigned kConnectionsMax = 16384;
    // Open files kept from connections: the database and its logs for every
    // reader, the threads' own event files, the log.
    static constexpr unsigned kFilesKept = 256;
    // Milliseconds a request has instead, from its connection or the
    // previous answer, while the server holds more than CrowdedAbove of its
    // connections: an ordinary client sends its request as soon as it is
    // connected, so the idle and the slow make room for it. (Shorter is
    // needed than one might think: a crowd that opens a connection again
    // as soon as one is cut waits in the system's queue with everyone else,
    // and what an ordinary client waits there is the crowd ahead of it over
    // the connections cut a second.)
    static constexpr unsigned kCrowdedRequestMilliseconds = 250;
    // Once this many connections have gone since the most there were (and at
    // least half of them), the memory they used is given back to the system:
    // the allocator keeps freed memory of many threads in pieces it does not
    // return by itself.
    static constexpr unsigned kTrimAfterClosed = 1024;

    // The connections an open-file limit leaves room for.
    static unsigned ConnectionsWithin(unsigned long long files);
    // Three quarters of a connection limit: above it, the server is crowded.
    static unsigned CrowdedAbove(unsigned limit) { return limit - limit / 4; }

    // path: the folder of the script, with both slashes ("/zorv/").
    // threads: requests answered side by side (an upload waits for its
    // commit, so more threads than cores let one commit carry more uploads).
    // requestSeconds: kRequestSeconds but for tests.
    CScoreHttpServer(CScoreStore& store, const std::string& path, int threads,
                     unsigned requestSeconds = kRequestSeconds);
    ~CScoreHttpServer();
    CScoreHttpServer(const CScoreHttpServer&) = delete;
    CScoreHttpServer& operator=(const CScoreHttpServer&) = delete;

    // What each client address may write (null: no bound); set before Start.
    void SetBudget(CAddressBudget* budget) { budget_ = budget; }
    // How a client's address is taken: AddressKey::Of, unless a test that
    // stands for IPv6 clients with loopback addresses sets its own; set
    // before Start.
    using AddressOf = std::function<AddressKey(const sockaddr* address)>;
    void SetAddressOf(AddressOf addressOf) { addressOf_ = std::move(addressOf); }

    // Takes the address and port (0: any free port); false with the reason.
    bool Bind(const std::string& address, int port, std::string* error);
    int Port() const { return port_; }
    // Starts answering on threads of its own; false with the reason.
    bool Start(std::string* error);
    bool IsRunning() const { return daemon_ != nullptr; }
    // Takes no new connection, closes every connection, and stops the
    // threads. A read being answered finishes first; a write waiting for the
    // disk gets a moment (kStopGraceMilliseconds), then the store drops it
    // (answered failure 15, never stored) unless its commit has begun,
    // which is waited for. So a slow disk holds a stop for one sync at
    // most. Every answer made by then is sent before its connection closes.
    void Stop();
    static constexpr unsigned kStopGraceMilliseconds = 1000;
    // The most connections it keeps open at once, from the open-file limit
    // of the process (read at Bind).
    unsigned ConnectionLimit() const { return connectionLimit_; }

private:
    // The library's callbacks: a request's raw target is kept from its first
    // line on (the library would take the query apart), and answered once
    // its headers are in.
    static void* Started(void* self, const char* uri, MHD_Connection* connection);
    static MHD_Result Answer(void* self, MHD_Connection* connection, const char* url, const char* method,
                             const char* version, const char* body, size_t* bodySize, void** request);
    static void Finished(void* self, MHD_Connection* connection, void** request, MHD_RequestTerminationCode why);
    static void LibraryLog(void* self, const char* format, va_list args);
    static void Connection(void* self, MHD_Connection* connection, void** watch, MHD_ConnectionNotificationCode what);
    // The root, the path, or the path without its last slash.
    bool IsFolderOfTheScript(const std::string& url) const;
    // Refuses a connection at once when its client holds all it may.
    static MHD_Result Admit(void* self, const sockaddr* address, socklen_t length);
    AddressKey KeyOf(const sockaddr* address) const;

    // A connection's deadline for its next request.
    struct Watch;
    Watch* WatchOf(MHD_Connection* connection);
    // Marks the connection's request as being answered (or not): no
    // deadline meanwhile, and a new one from the end of its answer.
    void SetAnswering(MHD_Connection* connection, bool answering);
    // Cuts the connections past their deadline, a few times a second, until
    // Stop; gives memory back once many connections have gone.
    void CutLateRequests();

    // One request from its first line to its end.
    struct Request;
    // A request from the moment it is in until its answer is sent: for a
    // write, shared with the store's writer, which hands it the outcome.
    struct Pending;
    static void Ready(const std::shared_ptr<Pending>& pending, ScoreAnswer answer);
    // Resumes a stop's leftover requests: a write that the store refused
    // has its answer; one still on its way to the store (which refuses it)
    // is answered failure 15.
    static void Abandon(const std::shared_ptr<Pending>& pending);
    void Forget(const std::shared_ptr<Pending>& pending);

    CScoreStore& store_;
    std::string path_;
    std::string script_;
    std::string page_;  // what a browser at IsFolderOfTheScript is told
    int threads_;
    int listenSocket_ = -1;
    int port_ = 0;
    unsigned connectionLimit_ = 0;
    unsigned requestSeconds_;
    MHD_Daemon* daemon_ = nullptr;
    CAddressBudget* budget_ = nullptr;
    AddressOf addressOf_;
    unsigned perClient_ = 0;  // connections one client may hold (set at Start)

    std::mutex watchMutex_;
    unsigned connections_ = 0;
    // Per client, the connections it holds.
    std::unordered_map<AddressKey, unsigned, AddressKey::Hash> held_;
    unsigned connectionsPeak_ = 0;  // since memory was last given back
    // Connections without a request being answered, the longest waiting
    // first.
    std::list<Watch*> waiting_;
    std::condition_variable cutterWake_;
    bool cutterStop_ = false;
    std::thread cutter_;

    std::mutex pendingMutex_;
    std::condition_variable pendingGone_;
    std::set<std::shared_ptr<Pending>> pending_;
    bool stopping_ = false;
};
