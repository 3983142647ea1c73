#include "tests/support/CScoreTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

#include "players/ScoreScramble.h"

namespace {

const int kIdleMs = 5000;
const size_t kRequestMax = 64 * 1024;

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

bool WaitReadable(int fd, int ms = kIdleMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, ms) == 1;
}

// The request head, up to its empty line.
std::string ReadRequest(int fd) {
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kRequestMax && WaitReadable(fd)) {
        const ssize_t got = recv(fd, buf, sizeof buf, 0);
        if (got <= 0) break;
        request.append(buf, static_cast<size_t>(got));
    }
    return request;
}

void SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t put = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (put <= 0) break;  // the client hung up
        sent += static_cast<size_t>(put);
    }
}

}  // namespace

CScoreTestServer::Reply CScoreTestServer::Status(int code, const std::string& reason, const std::string& body) {
    Reply r;
    r.raw = "HTTP/1.0 " + std::to_string(code) + " " + reason + "\r\nContent-Type: text/plain\r\nContent-Length: " +
            std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    return r;
}

CScoreTestServer::Reply CScoreTestServer::Ok(const std::string& body) { return Status(200, "OK", body); }

CScoreTestServer::Reply CScoreTestServer::Hangup() {
    Reply r;
    r.close = true;
    return r;
}

CScoreTestServer::CScoreTestServer(const std::vector<Reply>& replies) : replies_(replies) {
    if (Listen()) thread_ = std::thread(&CScoreTestServer::Run, this);
}

CScoreTestServer::CScoreTestServer(Mode mode, int refusalCode)
    : modal_(true), mode_(static_cast<int>(mode)), refusalCode_(refusalCode) {
    if (Listen()) thread_ = std::thread(&CScoreTestServer::Serve, this);
}

bool CScoreTestServer::Listen() {
    // Loopback requests must never go through a proxy of the machine (the
    // game started by an end-to-end test inherits this too).
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0) return false;
    sockaddr_in a = Loopback(0);
    socklen_t len = sizeof a;
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listenFd_, 4) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    port_ = ntohs(a.sin_port);
    return true;
}

CScoreTestServer::~CScoreTestServer() { Join(); }

void CScoreTestServer::Join() {
    if (modal_) stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listenFd_ >= 0) {
        close(listenFd_);
        listenFd_ = -1;
    }
}

std::string CScoreTestServer::Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/zorv/"; }

void CScoreTestServer::Run() {
    for (const Reply& reply : replies_) {
        if (!WaitReadable(listenFd_)) return;  // idle: give up
        const int fd = accept(listenFd_, nullptr, nullptr);
        if (fd < 0) return;
        const std::string request = ReadRequest(fd);
        const std::string line = request.substr(0, request.find("\r\n"));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requestLines_.push_back(line);
        }
        // Like the real server, refuse a query that is not scrambled, summed
        // and numbered as agreed, whatever reply was canned for it.
        const size_t start = line.find(' ');
        const size_t end = start == std::string::npos ? start : line.find(' ', start + 1);
        const std::string target = end == std::string::npos ? "" : line.substr(start + 1, end - start - 1);
        const size_t q = target.find('?');
        std::string query;
        const bool wellFormed = q != std::string::npos && HttpReadQuery(target.substr(q + 1), &query);
        if (!wellFormed) {
            SendAll(fd, Status(400, "Bad Request", "").raw);
        } else if (!reply.close) {
            SendAll(fd, reply.raw);
        }
        shutdown(fd, SHUT_RDWR);
        close(fd);
    }
}

void CScoreTestServer::Serve() {
    std::vector<int> held;  // connections a silent server never answers
    while (!stop_) {
        if (!WaitReadable(listenFd_, 50)) continue;
        const int fd = accept(listenFd_, nullptr, nullptr);
        if (fd < 0) continue;
        const std::string request = ReadRequest(fd);
        const std::string line = request.substr(0, request.find("\r\n"));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requestLines_.push_back(line);
        }
        const Mode mode = static_cast<Mode>(mode_.load());
        if (mode == Mode::kSilent) {
            held.push_back(fd);
            continue;
        }
        if (mode == Mode::kGarbage) {
            SendAll(fd, Status(500, "Internal Server Error", "<html><body>Oops</body></html>\n").raw);
        } else if (mode == Mode::kRefuse) {
            SendAll(fd, Ok("failure\n" + std::to_string(refusalCode_.load()) + "\n").raw);
        } else if (mode == Mode::kBusy) {
            std::string busy = Status(429, "Too Many Requests", "<html><body>Slow down</body></html>\n").raw;
            busy.insert(busy.find("\r\n") + 2, "Retry-After: 5\r\n");
            SendAll(fd, busy);
        }
        shutdown(fd, SHUT_RDWR);
        close(fd);
    }
    for (int fd : held) close(fd);
}

void CScoreTestServer::SetMode(Mode mode, int refusalCode) {
    refusalCode_ = refusalCode;
    mode_ = static_cast<int>(mode);
}

std::vector<std::string> CScoreTestServer::RequestLines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requestLines_;
}

std::string CScoreTestServer::Target(size_t i) {
    const std::vector<std::string> lines = RequestLines();
    if (i >= lines.size()) return "";
    const std::string& line = lines[i];
    if (line.compare(0, 4, "GET ") != 0) return "";
    const size_t end = line.find(' ', 4);
    if (end == std::string::npos) return "";
    return line.substr(4, end - 4);
}

std::string CScoreTestServer::Query(size_t i) {
    const std::string target = Target(i);
    const size_t q = target.find('?');
    std::string query;
    if (q == std::string::npos || !HttpReadQuery(target.substr(q + 1), &query)) return "";
    return query;
}

int CScoreTestServer::RefusedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in a = Loopback(0);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(fd);
    return port;
}
