#include "server/CScoreHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <malloc.h>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "players/ScoreBoardRules.h"
#include "server/CAddressBudget.h"
#include "server/CScoreStore.h"
#include "server/ScoreProtocol.h"
#include "server/ServerLog.h"

namespace {

using Clock = std::chrono::steady_clock;

// Connections the system keeps for the server until it takes them (it caps
// this at its own bound, net.core.somaxconn). Deep, so that a crowd waits
// there in turn with everyone else: once it is full, every new client's
// first packet is dropped, and its retries wait one second, then three.
const int kListenQueue = 4096;

}  // namespace

struct CScoreHttpServer::Watch {
    int socket = -1;
    AddressKey client;
    Clock::time_point since;  // from its connection or its last answer
    bool answering = false;   // its request is in: no deadline till the answer is out
    bool cut = false;
    bool waiting = false;  // in waiting_, at place
    std::list<Watch*>::iterator place;
};

// A request from the moment it is in until the library has sent its answer
// (or its client has gone): a stop waits for it, so that every answer made
// reaches its client.
struct CScoreHttpServer::Pending {
    std::mutex mutex;
    MHD_Connection* connection = nullptr;
    ScoreAnswer answer;      // set once the store is done
    bool suspended = false;  // put aside till the answer is made
    bool resumed = false;    // ...and taken up again
    // Answered failure 15 by the stop before the store answered: the store,
    // stopped by then, refuses the write.
    bool abandoned = false;
};

// One request from its first line to its end.
struct CScoreHttpServer::Request {
    std::string target;  // as sent: path and query, nothing decoded
    bool started = false;
    bool answered = false;
    Clock::time_point start;
    bool script = false;  // answered through the score protocol
    std::shared_ptr<Pending> pending;
};

namespace {

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

// HTTP/1.1 asks one Host header of every request, HTTP/1.0 none; two are
// refused (400) in both.
bool HostAsHttpAsks(MHD_Connection* connection, const char* version) {
    int hosts = 0;
    MHD_get_connection_values(
        connection, MHD_HEADER_KIND,
        [](void* count, MHD_ValueKind, const char* key, const char*) {
            if (strcasecmp(key, MHD_HTTP_HEADER_HOST) == 0) ++*static_cast<int*>(count);
            return MHD_YES;
        },
        &hosts);
    return hosts == 1 || (hosts == 0 && strcmp(version, MHD_HTTP_VERSION_1_0) == 0);
}

// A request line in absolute form ("GET http://host/zorv/..."), which
// servers must take, names what its path form names: the scheme and the
// host go.
std::string PathForm(const char* target) {
    const char* rest = strncasecmp(target, "http://", 7) == 0    ? target + 7
                       : strncasecmp(target, "https://", 8) == 0 ? target + 8
                                                                 : nullptr;
    if (!rest) return target;
    const char* path = rest + strcspn(rest, "/?");
    return *path == '/' ? path : "/" + std::string(path);
}

// The title the game shows on screen (its window caption): what a host
// knows it by.
const char* const kGameTitle = "Professor Tumblewick and the Pyrowhorl";

}  // namespace

unsigned CScoreHttpServer::ConnectionsWithin(unsigned long long files) {
    // Each connection is one file.
    if (files == RLIM_INFINITY) return kConnectionsMax;
    if (files <= 2 * kFilesKept) return static_cast<unsigned>(files / 2);
    return static_cast<unsigned>(std::min<unsigned long long>(files - kFilesKept, kConnectionsMax));
}

CScoreHttpServer::CScoreHttpServer(CScoreStore& store, const std::string& path, int threads, unsigned requestSeconds)
    : store_(store),
      path_(path),
      script_(path + kScoreScript),
      page_(std::string(kGameTitle) + ": score server\n"
            "\n"
            "This is the score server of " + kGameTitle + ",\n"
            "not a web site: through " + script_ + " the game registers\n"
            "its players' names here, sends their best step counts and fetches\n"
            "the score boards.\n"
            "\n"
            "Its path is " + path_ + ": point the game at this server's address with\n"
            "that path, for example ZORV_SCOREBOARD_URL=http://your.host:8080" + path_ + "\n"),
      threads_(threads),
      requestSeconds_(requestSeconds) {}

bool CScoreHttpServer::IsFolderOfTheScript(const std::string& url) const {
    return url == "/" || url == path_ || url + "/" == path_;
}

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
    rlimit files = {};
    getrlimit(RLIMIT_NOFILE, &files);
    connectionLimit_ = ConnectionsWithin(files.rlim_cur);
    return true;
}

bool CScoreHttpServer::Start(std::string* error) {
    if (listenSocket_ < 0) {
        *error = "no address to listen on";
        return false;
    }
    perClient_ = std::min(kConnectionsPerAddress, connectionLimit_);
    const unsigned pool = static_cast<unsigned>(std::max(1, threads_));
    // poll, not epoll: this library's epoll loop takes ready connections
    // 128 at a time and, after a batch of exactly 128, waits again with the
    // full timeout before serving them, so such a batch sat until its
    // deadline cut it. poll has no batches, and a few thousand sockets over
    // the pool cost it little. The logger first: it then hears about the
    // options too. The connections of one client are counted here, not by
    // the library, which counts a whole IPv6 address where a client has a
    // /64 of them.
    daemon_ = MHD_start_daemon(MHD_USE_POLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ERROR_LOG, 0,
                               &CScoreHttpServer::Admit, this, &CScoreHttpServer::Answer, this,
                               MHD_OPTION_EXTERNAL_LOGGER, &CScoreHttpServer::LibraryLog, this,
                               MHD_OPTION_LISTEN_SOCKET, listenSocket_,
                               MHD_OPTION_THREAD_POOL_SIZE, pool,
                               MHD_OPTION_CONNECTION_LIMIT, connectionLimit_,
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
    stopping_ = false;
    cutter_ = std::thread(&CScoreHttpServer::CutLateRequests, this);
    return true;
}

void CScoreHttpServer::Stop() {
    if (!daemon_) return;
    // No new connection from here on (the socket is closed once the
    // library's threads are gone).
    const MHD_socket listening = MHD_quiesce_daemon(daemon_);
    {
        // Requests under way are answered, writes waiting for the disk as
        // the store answers them while it keeps up.
        std::unique_lock<std::mutex> lock(pendingMutex_);
        pendingGone_.wait_for(lock, std::chrono::milliseconds(kStopGraceMilliseconds),
                              [this] { return pending_.empty(); });
    }
    // Then the store drops those it has not begun to commit, answered as
    // failed and never stored, and finishes the commit under way: every
    // write that reached it has its true outcome, and any write from here on
    // is refused at once.
    store_.StopWrites();
    std::vector<std::shared_ptr<Pending>> left;
    {
        // The library must not stop with any connection put aside.
        std::lock_guard<std::mutex> lock(pendingMutex_);
        stopping_ = true;
        left.assign(pending_.begin(), pending_.end());
    }
    for (const std::shared_ptr<Pending>& pending : left) Abandon(pending);
    {
        // Their answers, and every other made by now, go out before every
        // connection is closed: the library says when each is sent.
        std::unique_lock<std::mutex> lock(pendingMutex_);
        pendingGone_.wait_for(lock, std::chrono::seconds(1), [this] { return pending_.empty(); });
    }
    {
        std::lock_guard<std::mutex> lock(watchMutex_);
        cutterStop_ = true;
    }
    cutterWake_.notify_all();
    cutter_.join();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
    if (listening != MHD_INVALID_SOCKET) close(listening);
    std::lock_guard<std::mutex> lock(pendingMutex_);
    pending_.clear();
}

void CScoreHttpServer::Connection(void* self, MHD_Connection* connection, void** watch,
                                  MHD_ConnectionNotificationCode what) {
    CScoreHttpServer* server = static_cast<CScoreHttpServer*>(self);
    std::lock_guard<std::mutex> lock(server->watchMutex_);
    if (what == MHD_CONNECTION_NOTIFY_STARTED) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        Watch* w = new Watch();
        w->socket = info ? info->connect_fd : -1;
        w->client = server->KeyOf(ClientSocketAddress(connection));
        w->since = Clock::now();
        *watch = w;
        server->connectionsPeak_ = std::max(server->connectionsPeak_, ++server->connections_);
        if (++server->held_[w->client] > server->perClient_) {
            // Admitted by another thread at the same moment as the client's
            // last one: ended at once.
            w->cut = true;
            if (w->socket >= 0) shutdown(w->socket, SHUT_RDWR);
        } else {
            w->place = server->waiting_.insert(server->waiting_.end(), w);
            w->waiting = true;
        }
    } else if (*watch) {
        // The library closes the socket only after this: the cutter never
        // touches a socket number that another connection may have taken.
        Watch* w = static_cast<Watch*>(*watch);
        if (w->waiting) server->waiting_.erase(w->place);
        const auto held = server->held_.find(w->client);
        if (--held->second == 0) server->held_.erase(held);
        delete w;
        *watch = nullptr;
        --server->connections_;
    }
}

MHD_Result CScoreHttpServer::Admit(void* self, const sockaddr* address, socklen_t) {
    CScoreHttpServer* server = static_cast<CScoreHttpServer*>(self);
    const AddressKey client = server->KeyOf(address);
    std::lock_guard<std::mutex> lock(server->watchMutex_);
    const auto held = server->held_.find(client);
    return held == server->held_.end() || held->second < server->perClient_ ? MHD_YES : MHD_NO;
}

AddressKey CScoreHttpServer::KeyOf(const sockaddr* address) const {
    return addressOf_ ? addressOf_(address) : AddressKey::Of(address);
}

CScoreHttpServer::Watch* CScoreHttpServer::WatchOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Watch*>(info->socket_context) : nullptr;
}

void CScoreHttpServer::SetAnswering(MHD_Connection* connection, bool answering) {
    std::lock_guard<std::mutex> lock(watchMutex_);
    Watch* w = WatchOf(connection);
    if (!w || w->answering == answering) return;
    w->answering = answering;
    if (w->waiting) waiting_.erase(w->place);
    w->waiting = false;
    if (answering || w->cut) return;
    // The next request on this connection has its own time.
    w->since = Clock::now();
    w->place = waiting_.insert(waiting_.end(), w);
    w->waiting = true;
}

void CScoreHttpServer::CutLateRequests() {
    std::unique_lock<std::mutex> lock(watchMutex_);
    while (!cutterStop_) {
        cutterWake_.wait_for(lock, std::chrono::milliseconds(connections_ > CrowdedAbove(connectionLimit_) ? 50 : 500));
        const bool crowded = connections_ > CrowdedAbove(connectionLimit_);
        const Clock::time_point late =
            Clock::now() - (crowded ? std::chrono::milliseconds(kCrowdedRequestMilliseconds)
                                    : std::chrono::milliseconds(requestSeconds_ * 1000));
        int cut = 0;
        // The longest waiting first: the cut stops at the first in time.
        while (!waiting_.empty() && waiting_.front()->since <= late) {
            Watch* w = waiting_.front();
            waiting_.pop_front();
            w->waiting = false;
            w->cut = true;
            // Its thread sees the end of the connection and closes it.
            if (w->socket >= 0) shutdown(w->socket, SHUT_RDWR);
            ++cut;
        }
        if (cut > 0 && crowded)
            ServerLog("http: %d connection(s) cut: no whole request within %u ms (connections are running short)", cut,
                      kCrowdedRequestMilliseconds);
        else if (cut > 0)
            ServerLog("http: %d connection(s) cut: no whole request within %u s", cut, requestSeconds_);
        if (connectionsPeak_ - connections_ >= kTrimAfterClosed && connections_ <= connectionsPeak_ / 2) {
            connectionsPeak_ = connections_;
            lock.unlock();
            malloc_trim(0);
            lock.lock();
        }
    }
}

void* CScoreHttpServer::Started(void*, const char* uri, MHD_Connection*) {
    Request* request = new Request();
    request->target = PathForm(uri ? uri : "");
    return request;
}

void CScoreHttpServer::Finished(void* self, MHD_Connection* connection, void** context, MHD_RequestTerminationCode) {
    CScoreHttpServer* server = static_cast<CScoreHttpServer*>(self);
    Request* request = static_cast<Request*>(*context);
    *context = nullptr;
    if (request && request->pending) {
        // Gone before its answer (its client closed): the write goes on.
        if (request->script && !request->answered)
            ServerLog("%s GET - closed before the answer to its write (%.1f ms)", ClientAddress(connection).c_str(),
                      std::chrono::duration<double, std::milli>(Clock::now() - request->start).count());
        server->Forget(request->pending);
    }
    delete request;
    server->SetAnswering(connection, false);
}

void CScoreHttpServer::Ready(const std::shared_ptr<Pending>& pending, ScoreAnswer answer) {
    std::lock_guard<std::mutex> lock(pending->mutex);
    if (pending->abandoned) return;
    pending->answer = std::move(answer);
    if (pending->suspended && !pending->resumed) {
        pending->resumed = true;
        MHD_resume_connection(pending->connection);
    }
}

void CScoreHttpServer::Abandon(const std::shared_ptr<Pending>& pending) {
    std::lock_guard<std::mutex> lock(pending->mutex);
    if (!pending->answer) pending->abandoned = true;
    if (pending->suspended && !pending->resumed) {
        pending->resumed = true;
        MHD_resume_connection(pending->connection);
    }
}

void CScoreHttpServer::Forget(const std::shared_ptr<Pending>& pending) {
    std::lock_guard<std::mutex> lock(pendingMutex_);
    if (pending_.erase(pending) > 0 && pending_.empty()) pendingGone_.notify_all();
}

MHD_Result CScoreHttpServer::Answer(void* self, MHD_Connection* connection, const char* url, const char* method,
                                    const char* version, const char*, size_t* bodySize, void** context) {
    CScoreHttpServer* server = static_cast<CScoreHttpServer*>(self);
    Request* request = static_cast<Request*>(*context);
    if (!request) {
        request = new Request();
        *context = request;
    }
    if (*bodySize != 0 || request->answered) {
        *bodySize = 0;  // a body nobody asked for: passed over
        return MHD_YES;
    }
    ScoreReply reply;
    std::string what;
    bool stopping = false;  // asked during the stop: a write is not waited for
    if (!request->started) {
        request->started = true;
        request->start = Clock::now();
        server->SetAnswering(connection, true);
        // Noted before the store may answer: a stop finds it.
        request->pending = std::make_shared<Pending>();
        request->pending->connection = connection;
        {
            std::lock_guard<std::mutex> lock(server->pendingMutex_);
            stopping = server->stopping_;
            server->pending_.insert(request->pending);
        }
        // A HEAD is answered as its GET, and the library sends no body.
        const bool get = strcmp(method, MHD_HTTP_METHOD_GET) == 0;
        const bool head = strcmp(method, MHD_HTTP_METHOD_HEAD) == 0;
        const std::string path = PathForm(url);
        const bool script = path == server->script_;
        if (!HostAsHttpAsks(connection, version)) {
            reply = UnreadableReply("two Host headers, or none over HTTP/1.1");
            what = reply.summary;
        } else if (!script && !server->IsFolderOfTheScript(path)) {
            reply = UnreadableReply("");
            reply.status = 404;
            what = "not the score script: " + EscapeForLog(path.substr(0, 200));
        } else if (!get && !head) {
            reply = UnreadableReply("a " + EscapeForLog(method) + " of " + EscapeForLog(path));
            reply.status = 405;
            reply.allow = "GET, HEAD";
            what = reply.summary;
        } else if (!script) {
            reply.body = server->page_;
            what = "not the score script: " + EscapeForLog(path) + " (the page that says what this server is)";
        } else {
            request->script = true;
            const std::shared_ptr<Pending> pending = request->pending;
            const size_t q = request->target.find('?');
            CAddressBudget* budget = server->budget_;
            const AddressKey from = server->KeyOf(ClientSocketAddress(connection));
            ScoreWriteGate gate;
            if (budget)
                gate = [budget, from](const std::string& op) {
                    return budget->Take(from, op == kScoreOpAddUser ? CAddressBudget::kRegistration
                                                                    : CAddressBudget::kUpload);
                };
            StartScoreQuery(
                server->store_, q == std::string::npos ? "" : request->target.substr(q + 1), gate,
                [pending](ScoreAnswer answer) { Ready(pending, std::move(answer)); }, get);
        }
    }
    if (request->script) {
        const std::shared_ptr<Pending>& pending = request->pending;
        ScoreAnswer answer;
        {
            std::lock_guard<std::mutex> lock(pending->mutex);
            if (!pending->answer && stopping) pending->abandoned = true;
            if (!pending->answer && !pending->abandoned) {
                // Waits for the disk without holding this thread: the
                // store's answer takes it up again.
                MHD_suspend_connection(connection);
                pending->suspended = true;
                pending->resumed = false;
                return MHD_YES;
            }
            pending->suspended = false;
            answer = pending->abandoned ? ScoreAnswer(StoppedReply) : pending->answer;
        }
        reply = answer();
        what = reply.summary;
    }
    request->answered = true;
    const std::chrono::duration<double, std::milli> ms = Clock::now() - request->start;
    ServerLog("%s %s %d %s (%.1f ms)", ClientAddress(connection).c_str(), EscapeForLog(method).c_str(), reply.status,
              what.c_str(), ms.count());
    MHD_Response* response =
        MHD_create_response_from_buffer(reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
    if (!response) return MHD_NO;
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, "text/plain");
    if (reply.retryAfter > 0)
        MHD_add_response_header(response, MHD_HTTP_HEADER_RETRY_AFTER, std::to_string(reply.retryAfter).c_str());
    if (!reply.allow.empty()) MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, reply.allow.c_str());
    // The library closes the connection after it (saying Connection: close),
    // during a stop as at any other time: the answer is queued as soon as
    // the request's headers are in, before the library could know that no
    // body follows.
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
