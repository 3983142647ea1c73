#include "tests/support/HostileClients.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

// A TCP socket bound to address (port 0), connecting to port on 127.0.0.1;
// blocking unless nonBlocking. -1 when it could not be made or connected.
int Connect(const std::string& address, int port, bool nonBlocking) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
    if (s < 0) return -1;
    sockaddr_in from = {};
    from.sin_family = AF_INET;
    sockaddr_in to = from;
    to.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    if (inet_pton(AF_INET, address.c_str(), &from.sin_addr) != 1 ||
        bind(s, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) {
        close(s);
        return -1;
    }
    // A connect that the server's queue does not take is not waited for long.
    const timeval wait = {3, 0};
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 && !(nonBlocking && errno == EINPROGRESS)) {
        close(s);
        return -1;
    }
    return s;
}

bool SendAll(int s, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = send(s, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string Get(const std::string& target) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
}

}  // namespace

bool AllowOpenFiles(size_t files) {
    rlimit limit = {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= files;
}

CHeldConnections::CHeldConnections(const std::string& address, int port, int count, Kind kind, int dripMilliseconds) {
    for (int i = 0; i < count; ++i) {
        const int s = Connect(address, port, false);
        if (s < 0) continue;
        sockets_.push_back(s);
        if (kind == Kind::kDripping) SendAll(s, "GET /zorv/zjscores.php?k HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ");
    }
    if (kind == Kind::kDripping) dripper_ = std::thread(&CHeldConnections::Drip, this, dripMilliseconds);
}

CHeldConnections::~CHeldConnections() {
    stop_ = true;
    if (dripper_.joinable()) dripper_.join();
    for (const int s : sockets_) close(s);
}

void CHeldConnections::Drip(int milliseconds) {
    while (!stop_) {
        for (const int s : sockets_) send(s, "a", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        for (int waited = 0; waited < milliseconds && !stop_; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int CHeldConnections::HeldByServer() const {
    int held = 0;
    for (const int s : sockets_) {
        pollfd p = {s, POLLIN, 0};
        // Readable: an answer, or the end the server put to it.
        if (poll(&p, 1, 0) == 0) ++held;
    }
    return held;
}

CCrowd::CCrowd(int group, int addresses, int perAddress, int port)
    : group_(group), addresses_(addresses), perAddress_(perAddress), port_(port) {
    keeper_ = std::thread(&CCrowd::Keep, this);
}

CCrowd::~CCrowd() {
    stop_ = true;
    keeper_.join();
}

void CCrowd::Keep() {
    std::vector<pollfd> polls(static_cast<size_t>(addresses_ * perAddress_), pollfd{-1, POLLIN, 0});
    const auto address = [this](size_t i) {
        return "127.0." + std::to_string(group_) + "." + std::to_string(1 + static_cast<int>(i) / perAddress_);
    };
    while (!stop_) {
        for (size_t i = 0; i < polls.size(); ++i) {
            if (polls[i].fd >= 0) continue;
            polls[i].fd = Connect(address(i), port_, true);
            polls[i].revents = 0;
            if (polls[i].fd >= 0) ++opened_;
        }
        if (poll(polls.data(), polls.size(), 20) < 0 && errno != EINTR) break;
        for (pollfd& p : polls) {
            // Readable: the end the server put to it (an idle connection is
            // never answered).
            if (p.fd < 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
            close(p.fd);
            p.fd = -1;
        }
    }
    for (const pollfd& p : polls)
        if (p.fd >= 0) close(p.fd);
}

std::string AskFrom(const std::string& address, int port, const std::string& target, double boundSeconds) {
    return SendFrom(address, port, Get(target) + "\r\n", boundSeconds);
}

std::string SendFrom(const std::string& address, int port, const std::string& request, double boundSeconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(boundSeconds);
    const int s = Connect(address, port, true);
    if (s < 0) return "";
    std::string said;
    bool sent = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        pollfd p = {s, static_cast<short>(sent ? POLLIN : POLLOUT), 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) {
            said.clear();
            break;
        }
        if (!sent) {
            int error = 0;
            socklen_t length = sizeof error;
            getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length);
            sent = error == 0 && SendAll(s, request);
            if (!sent) break;
            continue;
        }
        char buffer[4096];
        const ssize_t n = recv(s, buffer, sizeof buffer, 0);
        if (n > 0) {
            said.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EAGAIN) {
            // The server closes after the answer it was asked for.
            if (n != 0) said.clear();
            break;
        }
    }
    close(s);
    return said;
}

std::vector<std::string> FloodHeaders(const std::string& address, int port, int requests, int headers,
                                      const std::string& target) {
    std::vector<std::string> answers(static_cast<size_t>(requests));
    std::vector<std::thread> threads;
    for (int r = 0; r < requests; ++r) {
        threads.emplace_back([&, r] {
            const int s = Connect(address, port, false);
            if (s < 0) return;
            const timeval wait = {20, 0};
            setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
            setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
            // Short header lines, sent in large pieces until all are sent or
            // the server has had enough.
            const std::string line = "X-F: y\r\n";
            std::string piece;
            const int perPiece = 8192;
            for (int i = 0; i < perPiece; ++i) piece += line;
            bool sending = SendAll(s, Get(target));
            for (int sent = 0; sending && sent < headers; sent += perPiece)
                sending = SendAll(s, headers - sent >= perPiece ? piece : piece.substr(0, (headers - sent) * line.size()));
            if (sending) SendAll(s, "\r\n");
            char buffer[256];
            std::string said;
            ssize_t n;
            while (said.find("\r\n") == std::string::npos && (n = recv(s, buffer, sizeof buffer, 0)) > 0)
                said.append(buffer, static_cast<size_t>(n));
            answers[static_cast<size_t>(r)] = said.substr(0, said.find("\r\n"));
            close(s);
        });
    }
    for (std::thread& t : threads) t.join();
    return answers;
}

std::vector<double> AskAtOnce(int port, int count, const std::string& target, double boundSeconds) {
    struct Asker {
        int socket = -1;
        Clock::time_point start;
        bool sent = false;
        std::string said;
    };
    std::vector<Asker> askers(static_cast<size_t>(count));
    std::vector<double> seconds(static_cast<size_t>(count), -1.0);
    const std::string request = Get(target) + "\r\n";
    for (int i = 0; i < count; ++i) {
        const std::string address = "127.0." + std::to_string(1 + i / 250) + "." + std::to_string(1 + i % 250);
        askers[static_cast<size_t>(i)].start = Clock::now();
        askers[static_cast<size_t>(i)].socket = Connect(address, port, true);
    }
    const auto end = Clock::now() + std::chrono::duration<double>(boundSeconds);
    std::vector<pollfd> polls;
    std::vector<size_t> which;
    for (;;) {
        polls.clear();
        which.clear();
        for (size_t i = 0; i < askers.size(); ++i) {
            if (askers[i].socket < 0) continue;
            polls.push_back({askers[i].socket, static_cast<short>(askers[i].sent ? POLLIN : POLLOUT), 0});
            which.push_back(i);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (polls.empty() || left <= 0) break;
        if (poll(polls.data(), polls.size(), static_cast<int>(left)) < 0 && errno != EINTR) break;
        for (size_t p = 0; p < polls.size(); ++p) {
            if (!polls[p].revents) continue;
            Asker& a = askers[which[p]];
            bool done = false;
            if (!a.sent) {
                int error = 0;
                socklen_t length = sizeof error;
                getsockopt(a.socket, SOL_SOCKET, SO_ERROR, &error, &length);
                a.sent = error == 0 && send(a.socket, request.data(), request.size(), MSG_NOSIGNAL) ==
                                           static_cast<ssize_t>(request.size());
                done = !a.sent;
            } else {
                char buffer[4096];
                const ssize_t n = recv(a.socket, buffer, sizeof buffer, 0);
                if (n > 0) {
                    a.said.append(buffer, static_cast<size_t>(n));
                } else if (n == 0 || errno != EAGAIN) {
                    done = true;
                    // The server closes after the answer it was asked for.
                    if (n == 0 && a.said.rfind("HTTP/1.1 200 ", 0) == 0)
                        seconds[which[p]] = std::chrono::duration<double>(Clock::now() - a.start).count();
                }
            }
            if (done) {
                close(a.socket);
                a.socket = -1;
            }
        }
    }
    for (Asker& a : askers)
        if (a.socket >= 0) close(a.socket);
    return seconds;
}
