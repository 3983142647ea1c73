#include "tests/players/CScoreTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

// The tables the server shares with the game; written out here on purpose,
// so a change on either side shows up as a failing test.
const char kDigitLetters[10] = {'k', 'm', 'x', 'b', 'g', 't', 'w', 'j', 'd', 'v'};
const char kPairResults[10] = {'3', 'a', '7', 'f', '1', 'h', '9', 'n', '5', 's'};

const int kIdleMs = 5000;
const long kRandomMax = 32767;
const size_t kRequestMax = 64 * 1024;

int DigitOf(char c) {
    for (int k = 0; k < 10; ++k)
        if (kDigitLetters[k] == c) return k;
    return -1;
}

int PairOf(char c) {
    for (int k = 0; k < 10; ++k)
        if (kPairResults[k] == c) return k;
    return -1;
}

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

bool WaitReadable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, kIdleMs) == 1;
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
    listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0) return;
    sockaddr_in a = Loopback(0);
    socklen_t len = sizeof a;
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listenFd_, 4) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        close(listenFd_);
        listenFd_ = -1;
        return;
    }
    port_ = ntohs(a.sin_port);
    thread_ = std::thread(&CScoreTestServer::Run, this);
}

CScoreTestServer::~CScoreTestServer() { Join(); }

void CScoreTestServer::Join() {
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
        std::string request;
        char buf[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < kRequestMax && WaitReadable(fd)) {
            const ssize_t got = recv(fd, buf, sizeof buf, 0);
            if (got <= 0) break;
            request.append(buf, static_cast<size_t>(got));
        }
        const std::string line = request.substr(0, request.find("\r\n"));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requestLines_.push_back(line);
        }
        // Like the real server, refuse a query that is not scrambled, summed
        // and numbered as agreed, whatever reply was canned for it.
        std::string query;
        const Reply answer = QueryOfLine(line, &query) ? reply : Status(400, "Bad Request", "");
        size_t sent = 0;
        while (!answer.close && sent < answer.raw.size()) {
            const ssize_t put = send(fd, answer.raw.data() + sent, answer.raw.size() - sent, MSG_NOSIGNAL);
            if (put <= 0) break;  // the client hung up
            sent += static_cast<size_t>(put);
        }
        shutdown(fd, SHUT_RDWR);
        close(fd);
    }
}

std::vector<std::string> CScoreTestServer::RequestLines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requestLines_;
}

std::string CScoreTestServer::TargetOfLine(const std::string& line) {
    if (line.compare(0, 4, "GET ") != 0) return "";
    const size_t end = line.find(' ', 4);
    if (end == std::string::npos) return "";
    return line.substr(4, end - 4);
}

bool CScoreTestServer::QueryOfLine(const std::string& line, std::string* query) {
    const std::string target = TargetOfLine(line);
    const size_t q = target.find('?');
    std::string plain;
    return q != std::string::npos && Unscramble(target.substr(q + 1), &plain) && Unwrap(plain, query);
}

std::string CScoreTestServer::Target(size_t i) {
    const std::vector<std::string> lines = RequestLines();
    return i < lines.size() ? TargetOfLine(lines[i]) : "";
}

std::string CScoreTestServer::Query(size_t i) {
    const std::vector<std::string> lines = RequestLines();
    std::string query;
    if (i >= lines.size() || !QueryOfLine(lines[i], &query)) return "";
    return query;
}

bool CScoreTestServer::Unscramble(const std::string& scrambled, std::string* plain) {
    std::string letters;
    for (auto it = scrambled.rbegin(); it != scrambled.rend(); ++it) {
        const int pair = PairOf(*it);
        if (pair >= 0) {
            letters += kDigitLetters[pair];
            letters += kDigitLetters[pair];
        } else if (DigitOf(*it) >= 0) {
            letters += *it;
        } else {
            return false;
        }
    }
    if (letters.size() % 3 != 0) return false;
    const long n = static_cast<long>(letters.size() / 3);
    plain->clear();
    for (long i = 0; i < n; ++i) {
        const int v = DigitOf(letters[3 * i]) * 100 + DigitOf(letters[3 * i + 1]) * 10 + DigitOf(letters[3 * i + 2]);
        if (v > 255) return false;
        const long b = ((v - (n - i - 1)) % 256 + 256) % 256;
        plain->push_back(static_cast<char>(static_cast<unsigned char>(b)));
    }
    return true;
}

bool CScoreTestServer::Unwrap(const std::string& plain, std::string* query) {
    if (plain.compare(0, 2, "r=") != 0) return false;
    size_t i = 2;
    while (i < plain.size() && plain[i] >= '0' && plain[i] <= '9') ++i;
    // The random part is 0..32767: one to five digits.
    if (i == 2 || i > 7 || i >= plain.size() || plain[i] != '&') return false;
    if (atol(plain.substr(2, i - 2).c_str()) > kRandomMax) return false;
    const size_t cs = plain.rfind("&cs=");
    if (cs == std::string::npos || cs < i) return false;
    int32_t sum = 0;
    for (size_t k = 0; k < cs; ++k) sum += static_cast<int8_t>(plain[k]);
    if (plain.substr(cs + 4) != std::to_string(sum)) return false;
    *query = plain.substr(i + 1, cs - i - 1);
    return true;
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
