#include "server/CScoreHttpServer.h"

#include <httplib.h>
#include <sys/socket.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "server/CScoreStore.h"
#include "server/ScoreProtocol.h"
#include "server/ServerLog.h"

namespace {

const int kListenQueue = 1024;

// Set by the script's handler, which logs its own requests; every other
// request is logged when its answer has gone.
thread_local bool t_logged = false;

// path as a regular expression that matches only itself.
std::string Literal(const std::string& path) {
    std::string out;
    for (const char c : path) {
        if (!isalnum(static_cast<unsigned char>(c)) && c != '/' && c != '_' && c != '-') out += '\\';
        out += c;
    }
    return out;
}

void LogRequest(const httplib::Request& req, int status, const std::string& what, double ms) {
    ServerLog("%s %s %d %s (%.1f ms)", req.remote_addr.c_str(), EscapeForLog(req.method).c_str(), status, what.c_str(),
              ms);
}

}  // namespace

CScoreHttpServer::CScoreHttpServer(CScoreStore& store, const std::string& path, int threads)
    : http_(new httplib::Server()) {
    http_->new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
    http_->set_tcp_nodelay(true);
    // A quick restart may take the port while old connections linger, but
    // no second server may share it (the library's default would let one).
    http_->set_socket_options([this](int sock) {
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listenSocket_ = sock;
    });
    http_->set_payload_max_length(kScoreQueryMax);
    http_->set_keep_alive_timeout(2);
    http_->Get(Literal(path + "zjscores.php"), [&store](const httplib::Request& req, httplib::Response& res) {
        const auto start = std::chrono::steady_clock::now();
        ScoreReply reply;
        if (req.method != "GET") {
            // A HEAD must not register or store anything.
            reply = UnreadableReply("a " + EscapeForLog(req.method) + " of the script");
            reply.status = 405;
        } else {
            const size_t q = req.target.find('?');
            reply = AnswerScoreQuery(store, q == std::string::npos ? "" : req.target.substr(q + 1));
        }
        res.status = reply.status;
        res.set_content(reply.body, "text/plain");
        const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - start;
        LogRequest(req, reply.status, reply.summary, ms.count());
        t_logged = true;
    });
    // Whatever else is asked gets an answer the game can read as a refusal.
    const httplib::Server::HandlerWithResponse refuse = [](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        res.set_content(UnreadableReply("").body, "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    };
    http_->set_error_handler(refuse);
    http_->set_logger([](const httplib::Request& req, const httplib::Response& res) {
        if (t_logged) {
            t_logged = false;
            return;
        }
        LogRequest(req, res.status, "not the score script: " + EscapeForLog(req.path.substr(0, 200)), 0.0);
    });
}

CScoreHttpServer::~CScoreHttpServer() = default;

bool CScoreHttpServer::Bind(const std::string& address, int port, std::string* error) {
    errno = 0;
    port_ = port == 0 ? http_->bind_to_any_port(address) : (http_->bind_to_port(address, port) ? port : -1);
    if (port_ > 0) {
        // The library listens with a queue of 5 connections: the game opens
        // one per request, and a few players at once would overflow it and
        // wait a second for their connection to be tried again.
        if (listenSocket_ >= 0) listen(listenSocket_, kListenQueue);
        return true;
    }
    *error = "cannot listen on " + address + " port " + std::to_string(port) +
             (errno ? std::string(" (") + strerror(errno) + ")" : std::string());
    return false;
}

bool CScoreHttpServer::Serve() { return http_->listen_after_bind(); }

bool CScoreHttpServer::IsRunning() const { return http_->is_running(); }

void CScoreHttpServer::Stop() { http_->stop(); }
