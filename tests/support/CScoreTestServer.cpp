#include "tests/support/CScoreTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace {

// The tables the server shares with the game; written out here on purpose,
// so a change on either side shows up as a failing test.
const char kDigitLetters[10] = {'k', 'm', 'x', 'b', 'g', 't', 'w', 'j', 'd', 'v'};
const char kPairResults[10] = {'3', 'a', '7', 'f', '1', 'h', '9', 'n', '5', 's'};

const int kIdleMs = 5000;
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

// The key=value pairs of a query.
std::map<std::string, std::string> Fields(const std::string& query) {
    std::map<std::string, std::string> out;
    size_t at = 0;
    while (at <= query.size()) {
        size_t end = query.find('&', at);
        if (end == std::string::npos) end = query.size();
        const std::string pair = query.substr(at, end - at);
        const size_t eq = pair.find('=');
        if (eq != std::string::npos) out[pair.substr(0, eq)] = pair.substr(eq + 1);
        at = end + 1;
    }
    return out;
}

const int kLevelCounts[4] = {111, 50, 81, 0};
const int kOverall = 99999;

bool KnownType(int type) { return type >= 0 && type < 4; }
bool KnownLevel(int type, int level) { return level == kOverall || (level >= 0 && level < kLevelCounts[type]); }

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
    : store_(true), mode_(static_cast<int>(mode)), refusalCode_(refusalCode) {
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
    if (store_) stop_ = true;
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
        std::string plain, query;
        const bool wellFormed = q != std::string::npos && Unscramble(target.substr(q + 1), &plain) && Unwrap(plain, &query);
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
        } else if (mode == Mode::kStore) {
            const size_t start = line.find(' ');
            const size_t end = line.find(' ', start + 1);
            const std::string target =
                start == std::string::npos || end == std::string::npos ? "" : line.substr(start + 1, end - start - 1);
            SendAll(fd, Ok(Answer(target)).raw);
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

std::string CScoreTestServer::Answer(const std::string& target) {
    const size_t q = target.find('?');
    std::string plain, query;
    if (q == std::string::npos || !Unscramble(target.substr(q + 1), &plain) || !Unwrap(plain, &query))
        return "failure\n99\n";
    std::map<std::string, std::string> f = Fields(query);
    const std::string& op = f["op"];
    const int type = atoi(f["type"].c_str());
    const int level = atoi(f["level"].c_str());
    std::lock_guard<std::mutex> lock(mutex_);
    if (op == "addUser") return AddUser(f["user"]);
    if (op == "uploadScore") return Upload(f["user"], type, level, atoi(f["score"].c_str()));
    if (op == "downloadScore") return Download(f["user"], type, level);
    return "failure\n99\n";
}

std::string CScoreTestServer::AddUser(const std::string& user) {
    if (user.empty() || user.size() > 15) return "failure\n11\n";
    for (char c : user)
        if (!isalnum(static_cast<unsigned char>(c)) && c != ' ') return "failure\n12\n";
    if (users_.count(user)) {
        std::string answer = "failure\n9\n";
        for (int k = 1; answer.size() < 64 && k < 100; ++k) {
            const std::string other = user.substr(0, 13) + std::to_string(k);
            if (!users_.count(other)) answer += other + "\n";
        }
        return answer;
    }
    users_.insert(user);
    return "success\n";
}

std::string CScoreTestServer::Upload(const std::string& user, int type, int level, int score) {
    if (!users_.count(user)) return "failure\n10\n";
    if (!KnownType(type)) return "failure\n14\n";
    if (!KnownLevel(type, level)) return "failure\n17\n";
    std::map<std::string, int>& board = scores_[{type, level}];
    const auto it = board.find(user);
    if (it == board.end()) {
        board[user] = score;
        return "success\nadded\n";
    }
    if (score >= it->second) return "success\nignored\n";
    it->second = score;
    return "success\nupdated\n";
}

std::string CScoreTestServer::Download(const std::string& user, int type, int level) {
    if (!KnownType(type)) return "failure\n14\n";
    if (!KnownLevel(type, level)) return "failure\n17\n";
    std::vector<std::pair<int, std::string>> rows;
    for (const auto& entry : scores_[{type, level}]) rows.push_back({entry.second, entry.first});
    std::sort(rows.begin(), rows.end());
    std::string answer = "success\n" + std::to_string(rows.size()) + "\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i < 10 || rows[i].second == user)
            answer += std::to_string(i + 1) + "\t" + rows[i].second + "\t" + std::to_string(rows[i].first) + "\tx\n";
    }
    return answer;
}

bool CScoreTestServer::HasUser(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    return users_.count(name) != 0;
}

int CScoreTestServer::StoredScore(int type, int level, const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto board = scores_.find({type, level});
    if (board == scores_.end()) return -1;
    const auto it = board->second.find(name);
    return it == board->second.end() ? -1 : it->second;
}

void CScoreTestServer::AddScore(int type, int level, const std::string& name, int score) {
    std::lock_guard<std::mutex> lock(mutex_);
    users_.insert(name);
    scores_[{type, level}][name] = score;
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
    std::string plain, query;
    if (q == std::string::npos || !Unscramble(target.substr(q + 1), &plain) || !Unwrap(plain, &query)) return "";
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
    if (atol(plain.substr(2, i - 2).c_str()) > 32767) return false;
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
