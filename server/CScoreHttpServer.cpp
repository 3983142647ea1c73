#include "server/CScoreHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "players/ScoreBoardRules.h"
#include "server/CAddressBudget.h"
#include "server/CScoreStore.h"
#include "server/ScoreProtocol.h"
#include "server/ServerLog.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kListenQueue = 1024;
// Open files the server needs besides its connections: the database and
// its logs for every reader, the threads' own event files, the log.
const unsigned kFilesKept = 256;

}  // namespace

struct CScoreHttpServer::Watch {
    int socket = -1;
    Clock::time_point deadline;
    bool answering = false;  // its request is in: no deadline till the answer is out
    bool cut = false;
};

namespace {

// One request from its first line to its end.
struct Request {
    std::string target;  // as sent: path and query, nothing decoded
    bool answered = false;
};

const sockaddr* ClientSocketAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info ? info->client_addr : nullptr;
}

std::string ClientAddress(MHD_Connection* connection) {
    char text[INET6_ADDRSTRLEN] = "?";
    if (const sockaddr* a = ClientSocketAddress(connection)) {
        if (a->sa_family == AF_INET)
            inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a)->sin_addr, text, sizeof text);
        else if (a->sa_family == AF_INET6)
            inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(a)->sin6_addr, text, sizeof text);
    }
    return text;
}

// The connections the open-file limit leaves room for, each one a file.
unsigned ConnectionsWithin(rlim_t files) {
    if (files == RLIM_INFINITY) return CScoreHttpServer::kConnectionsMax;
    if (files <= 2 * kFilesKept) return static_cast<unsigned>(files / 2);
    return static_cast<unsigned>(std::min<rlim_t>(files - kFilesKept, CScoreHttpServer::kConnectionsMax));
}

}  // namespace

CScoreHttpServer::CScoreHttpServer(CScoreStore& store, const std::string& path, int threads, unsigned requestSeconds)
    : store_(store), script_(path + kScoreScript), threads_(threads), requestSeconds_(requestSeconds) {}

CScoreHttpServer::~CScoreHttpServer() {
    Stop();
    if (listenSocket_ >= 0) close(listenSocket_);
}

bool CScoreHttpServer::Bind(const std::string& address, int port, std::string* error) {
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const int looked = getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found);
    std::string why = looked != 0 ? gai_strerror(looked) : "";
    for (addrinfo* a = found; a && listenSocket_ < 0; a = a->ai_next) {
        const int s = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (s < 0) {
            why = strerror(errno);
            continue;
        }
        // A quick restart may take the port while old connections linger,
        // but no second server may share it.
        const int yes = 1;
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (bind(s, a->ai_addr, a->ai_addrlen) != 0 || listen(s, kListenQueue) != 0) {
            why = strerror(errno);
            close(s);
            continue;
        }
        listenSocket_ = s;
    }
    if (found) freeaddrinfo(found);
    if (listenSocket_ < 0) {
        *error = "cannot listen on " + address + " port " + std::to_string(port) + (why.empty() ? "" : " (" + why + ")");
        return false;
    }
    sockaddr_storage bound = {};
    socklen_t length = sizeof bound;
    getsockname(listenSocket_, reinterpret_cast<sockaddr*>(&bound), &length);
    port_ = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                              : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    return true;
}

bool CScoreHttpServer::Start(std::string* error) {
    if (listenSocket_ < 0) {
        *error = "no address to listen on";
        return false;
    }
    rlimit files = {};
    getrlimit(RLIMIT_NOFILE, &files);
    connectionLimit_ = ConnectionsWithin(files.rlim_cur);
    const unsigned perAddress = std::min(kConnectionsPerAddress, connectionLimit_);
    const unsigned pool = static_cast<unsigned>(std::max(1, threads_));
    // poll, not epoll: this library's epoll loop takes ready connections
    // 128 at a time and, after a batch of exactly 128, waits again with the
    // full timeout before serving them, so such a batch sat until its
    // deadline cut it. poll has no batches, and a few thousand sockets over
    // the pool cost it little. The logger first: it then hears about the
    // options too.
    daemon_ = MHD_start_daemon(MHD_USE_POLL_INTERNAL_THREAD | MHD_USE_ITC | MHD_USE_ERROR_LOG, 0, nullptr, nullptr,
                               &CScoreHttpServer::Answer, this,
                               MHD_OPTION_EXTERNAL_LOGGER, &CScoreHttpServer::LibraryLog, this,
                               MHD_OPTION_LISTEN_SOCKET, listenSocket_,
                               MHD_OPTION_THREAD_POOL_SIZE, pool,
                               MHD_OPTION_CONNECTION_LIMIT, connectionLimit_,
                               MHD_OPTION_PER_IP_CONNECTION_LIMIT, perAddress,
                               MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
                               MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds,
                               MHD_OPTION_URI_LOG_CALLBACK, &CScoreHttpServer::Started, this,
                               MHD_OPTION_NOTIFY_COMPLETED, &CScoreHttpServer::Finished, this,
                               MHD_OPTION_NOTIFY_CONNECTION, &CScoreHttpServer::Connection, this,
                               MHD_OPTION_END);
    if (!daemon_) {
        *error = "cannot start answering on port " + std::to_string(port_);
        return false;
    }
    listenSocket_ = -1;  // the library's now: it closes it at the stop
    cutterStop_ = false;
    cutter_ = std::thread(&CScoreHttpServer::CutLateRequests, this);
    return true;
}

void CScoreHttpServer::Stop() {
    if (!daemon_) return;
    {
        std::lock_guard<std::mutex> lock(watchMutex_);
        cutterStop_ = true;
    }
    cutterWake_.notify_all();
    cutter_.join();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
}

void CScoreHttpServer::Connection(void* self, MHD_Connection* connection, void** watch,
                                  MHD_ConnectionNotificationCode what) {
    CScoreHttpServer* server = static_cast<CScoreHttpServer*>(self);
    std::lock_guard<std::mutex> lock(server->watchMutex_);
    if (what == MHD_CONNECTION_NOTIFY_STARTED) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        Watch* w = new Watch();
        w->socket = info ? info->connect_fd : -1;
        w->deadline = Clock::now() + std::chrono::seconds(server->requestSeconds_);
        server->watches_.insert(w);
        *watch = w;
    } else if (*watch) {
        // The library closes the socket only after this: the cutter never
        // touches a socket number that another connection may have taken.
        server->watches_.erase(static_cast<Watch*>(*watch));
        delete static_cast<Watch*>(*watch);
        *watch = nullptr;
    }
}

CScoreHttpServer::Watch* CScoreHttpServer::WatchOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Watch*>(info->socket_context) : nullptr;
}

void CScoreHttpServer::CutLateRequests() {
    std::unique_lock<std::mutex> lock(watchMutex_);
    while (!cutterStop_) {
        cutterWake_.wait_for(lock, std::chrono::milliseconds(500));
        const Clock::time_point now = Clock::now();
        int cut = 0;
        for (Watch* w : watches_) {
            if (w->answering || w->cut || w->socket < 0 || now < w->deadline) continue;
            // Its thread sees the end of the connection and closes it.
            shutdown(w->socket, SHUT_RDWR);
            w->cut = true;
            ++cut;
        }
        if (cut > 0) ServerLog("http: %d connection(s) cut: no whole request within %u s", cut, requestSeconds_);
    }
}

void* CScoreHttpServer::Started(void*, const char* uri, MHD_Connection*) {
    Request* request = new Request();
    request->target = uri ? uri : "";
    return request;
}

void CScoreHttpServer::Finished(void* self, MHD_Connection* connection, void** request, MHD_RequestTerminationCode) {
    delete static_cast<Request*>(*request);
    *request = nullptr;
    // The next request on this connection has its own time.
    CScoreHttpServer* server = static_cast<CScoreHttpServer*>(self);
    std::lock_guard<std::mutex> lock(server->watchMutex_);
    if (Watch* w = server->WatchOf(connection)) {
        w->answering = false;
        w->deadline = Clock::now() + std::chrono::seconds(server->requestSeconds_);
    }
}

MHD_Result CScoreHttpServer::Answer(void* self, MHD_Connection* connection, const char* url, const char* method,
                                    const char*, const char*, size_t* bodySize, void** context) {
    CScoreHttpServer* server = static_cast<CScoreHttpServer*>(self);
    Request* request = static_cast<Request*>(*context);
    if (!request) {
        request = new Request();
        *context = request;
    }
    if (request->answered) {
        *bodySize = 0;  // a body nobody asked for: passed over
        return MHD_YES;
    }
    request->answered = true;
    const Clock::time_point start = Clock::now();
    {
        std::lock_guard<std::mutex> lock(server->watchMutex_);
        if (Watch* w = server->WatchOf(connection)) w->answering = true;
    }
    ScoreReply reply;
    std::string what;
    if (server->script_ != url) {
        reply = UnreadableReply("");
        reply.status = 404;
        what = "not the score script: " + EscapeForLog(std::string(url).substr(0, 200));
    } else if (strcmp(method, "GET") != 0) {
        // A HEAD must not register or store anything.
        reply = UnreadableReply("a " + EscapeForLog(method) + " of the script");
        reply.status = 405;
        what = reply.summary;
    } else {
        const size_t q = request->target.find('?');
        CAddressBudget* budget = server->budget_;
        const sockaddr* from = ClientSocketAddress(connection);
        ScoreWriteGate gate;
        if (budget)
            gate = [budget, from](const std::string& op) {
                return budget->Take(from, op == kScoreOpAddUser ? CAddressBudget::kRegistration : CAddressBudget::kUpload);
            };
        reply = AnswerScoreQuery(server->store_, q == std::string::npos ? "" : request->target.substr(q + 1), gate);
        what = reply.summary;
    }
    const std::chrono::duration<double, std::milli> ms = Clock::now() - start;
    ServerLog("%s %s %d %s (%.1f ms)", ClientAddress(connection).c_str(), EscapeForLog(method).c_str(), reply.status,
              what.c_str(), ms.count());
    MHD_Response* response =
        MHD_create_response_from_buffer(reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
    if (!response) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "text/plain");
    if (reply.retryAfter > 0)
        MHD_add_response_header(response, MHD_HTTP_HEADER_RETRY_AFTER, std::to_string(reply.retryAfter).c_str());
    const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
    MHD_destroy_response(response);
    return queued;
}

void CScoreHttpServer::LibraryLog(void*, const char* format, va_list args) {
    // A refused connection costs its client nothing: so that a flood of them
    // cannot fill the disk, the library says at most this many lines a
    // second, and the next line it may say tells how many were left out.
    const int kLinesPerSecond = 20;
    static std::mutex mutex;
    static Clock::time_point second;
    static int said = 0, leftOut = 0;
    char text[512];
    vsnprintf(text, sizeof text, format, args);
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::lock_guard<std::mutex> lock(mutex);
    const Clock::time_point now = Clock::now();
    if (now - second >= std::chrono::seconds(1)) {
        second = now;
        said = 0;
    }
    if (++said > kLinesPerSecond) {
        ++leftOut;
        return;
    }
    if (leftOut > 0) ServerLog("http: (%d more lines of the HTTP library left out)", leftOut);
    leftOut = 0;
    ServerLog("http: %s", EscapeForLog(line).c_str());
}
