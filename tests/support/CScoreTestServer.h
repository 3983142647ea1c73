// A tiny HTTP server for the score client's tests, for the answers no real
// score server gives: a thread listening on 127.0.0.1 (a free port),
// recording every request line. Made with canned replies it answers each
// connection with the next one and stops by itself after them or after a few
// idle seconds. Made with a mode it answers every request alike until it is
// destroyed (garbage, a hang-up, silence, a refusal with a given code, too
// busy as a proxy says it); the mode can be switched while it runs.
// Everything a real server answers comes from the real one
// (CScoreServerProcess).
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CScoreTestServer {
public:
    struct Reply {
        std::string raw;        // the bytes sent back
        bool close = false;     // close without sending anything
    };
    // Status line, Content-Length and "Connection: close", then the body.
    static Reply Ok(const std::string& body);
    static Reply Status(int code, const std::string& reason, const std::string& body);
    static Reply Hangup();

    explicit CScoreTestServer(const std::vector<Reply>& replies);

    // The server's behaviour.
    enum class Mode {
        kGarbage,  // answers a page that is no answer
        kHangUp,   // closes without answering
        kSilent,   // keeps the connection open and never answers
        kRefuse,   // answers "failure" with the refusal code
        kBusy,     // answers 429 with Retry-After and a page that is no answer, as a proxy would
    };
    // A server behaving as mode says.
    CScoreTestServer(Mode mode, int refusalCode);
    void SetMode(Mode mode, int refusalCode = 0);
    ~CScoreTestServer();
    CScoreTestServer(const CScoreTestServer&) = delete;
    CScoreTestServer& operator=(const CScoreTestServer&) = delete;

    bool IsListening() const { return listenFd_ >= 0; }
    int Port() const { return port_; }
    // "http://127.0.0.1:<port>/zorv/"
    std::string Address() const;
    // Waits for the thread to end (it ends after its last reply or when idle).
    void Join();

    std::vector<std::string> RequestLines();
    // The request target of request i ("/zorv/zjscores.php?..."), "" if none.
    std::string Target(size_t i);
    // The query of request i with the scrambling undone and the random part
    // and the check sum checked and taken off; "" when anything fails.
    std::string Query(size_t i);

    // A free port on 127.0.0.1 with nothing listening on it.
    static int RefusedPort();

private:
    bool Listen();
    void Run();
    void Serve();

    std::vector<Reply> replies_;
    int listenFd_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requestLines_;

    bool modal_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<int> mode_{static_cast<int>(Mode::kGarbage)};
    std::atomic<int> refusalCode_{0};
};
