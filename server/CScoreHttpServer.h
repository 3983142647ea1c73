// The score server's HTTP side: answers GET <path>zjscores.php through the
// score protocol on a pool of threads, and writes one log line per request
// (before the answer leaves, so that the log is complete whenever a client
// holds its answer).
#pragma once

#include <memory>
#include <string>

namespace httplib {
class Server;
}
class CScoreStore;

class CScoreHttpServer {
public:
    // path: the folder of the script, with both slashes ("/zorv/").
    CScoreHttpServer(CScoreStore& store, const std::string& path, int threads);
    ~CScoreHttpServer();
    CScoreHttpServer(const CScoreHttpServer&) = delete;
    CScoreHttpServer& operator=(const CScoreHttpServer&) = delete;

    // Takes the address and port (0: any free port); false with the reason.
    bool Bind(const std::string& address, int port, std::string* error);
    int Port() const { return port_; }
    // Answers requests until Stop; false when it could not listen at all.
    bool Serve();
    // Serve has got going (and not yet ended).
    bool IsRunning() const;
    // From any thread, once running: no new requests, the ones being
    // answered finish.
    void Stop();

private:
    std::unique_ptr<httplib::Server> http_;
    int listenSocket_ = -1;
    int port_ = 0;
};
