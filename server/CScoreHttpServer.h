// The score server's HTTP side: answers GET <path>zjscores.php through the
// score protocol, and writes one log line per request (before the answer
// leaves, so that the log is complete whenever a client holds its answer).
//
// It is made for the open internet: a few threads each wait on many
// connections at once (poll), so an idle or slow client costs a little
// memory, never a thread. Each connection has a fixed memory budget for its
// request line and headers (a longer header block is refused with 431), is
// closed when it says nothing for a while or takes too long over a request,
// and one address holds only so many connections; all of them together stay
// under the process's limit of open files. A stop ends every connection,
// whatever its client does.
#pragma once

#include <microhttpd.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>

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
    // Connections one client address may hold at once: a whole school behind
    // one address asks one request at a time per player.
    static constexpr unsigned kConnectionsPerAddress = 64;
    // The most connections at all, whatever the open-file limit allows.
    static constexpr unsigned kConnectionsMax = 16384;

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

    // Takes the address and port (0: any free port); false with the reason.
    bool Bind(const std::string& address, int port, std::string* error);
    int Port() const { return port_; }
    // Starts answering on threads of its own; false with the reason.
    bool Start(std::string* error);
    bool IsRunning() const { return daemon_ != nullptr; }
    // Closes every connection at once, waits for the requests being answered
    // to finish (each is one step of the store), and stops the threads.
    void Stop();
    // The most connections it keeps open at once, from the open-file limit
    // of the process (read at Start).
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

    // A connection's deadline for its next request.
    struct Watch;
    Watch* WatchOf(MHD_Connection* connection);
    // Cuts the connections past their deadline, twice a second, until Stop.
    void CutLateRequests();

    CScoreStore& store_;
    std::string script_;
    int threads_;
    int listenSocket_ = -1;
    int port_ = 0;
    unsigned connectionLimit_ = 0;
    unsigned requestSeconds_;
    MHD_Daemon* daemon_ = nullptr;
    CAddressBudget* budget_ = nullptr;

    std::mutex watchMutex_;
    std::set<Watch*> watches_;
    std::condition_variable cutterWake_;
    bool cutterStop_ = false;
    std::thread cutter_;
};
