// A tiny HTTP server for the score client's tests: a thread listening on
// 127.0.0.1 (a free port), answering each connection with the next canned
// reply, recording every request line. A request whose query is not
// scrambled, summed and numbered (r= 0..32767) as agreed gets "400 Bad
// Request" instead. It stops by itself after its replies or after a few idle
// seconds, and never blocks a test for long.
#pragma once

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

    // Undoes the scrambling: the plain wrapped text with its check sum.
    static bool Unscramble(const std::string& scrambled, std::string* plain);
    // Checks "r=<0..32767>&" in front and "&cs=<sum>" behind, gives the middle.
    static bool Unwrap(const std::string& plain, std::string* query);
    // A free port on 127.0.0.1 with nothing listening on it.
    static int RefusedPort();

private:
    void Run();
    static std::string TargetOfLine(const std::string& line);
    static bool QueryOfLine(const std::string& line, std::string* query);

    std::vector<Reply> replies_;
    int listenFd_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requestLines_;
};
