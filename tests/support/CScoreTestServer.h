// A tiny HTTP server for the score client's tests: a thread listening on
// 127.0.0.1 (a free port), recording every request line. Made with canned
// replies it answers each connection with the next one and stops by itself
// after them or after a few idle seconds. Made as a score server it keeps a
// small store of users and best scores and answers by the server's grammar
// until it is destroyed; its behaviour can be switched while it runs (answer
// garbage, hang up, stay silent, refuse with a code).
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <set>
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

    // The score server's behaviour.
    enum class Mode {
        kStore,    // registers, stores and ranks by the grammar
        kGarbage,  // answers a page that is no answer
        kHangUp,   // closes without answering
        kSilent,   // keeps the connection open and never answers
        kRefuse,   // answers "failure" with the refusal code
    };
    // A score server with an empty store, behaving as mode says.
    CScoreTestServer(Mode mode, int refusalCode);
    void SetMode(Mode mode, int refusalCode = 0);
    // The store (the server's own truth, for checks).
    bool HasUser(const std::string& name);
    // -1 when the user has no score on that board.
    int StoredScore(int type, int level, const std::string& name);
    // Puts a score straight into the store (other players of a board).
    void AddScore(int type, int level, const std::string& name, int score);
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
    // Checks "r=<digits>&" in front and "&cs=<sum>" behind, gives the middle.
    static bool Unwrap(const std::string& plain, std::string* query);
    // A free port on 127.0.0.1 with nothing listening on it.
    static int RefusedPort();

private:
    bool Listen();
    void Run();
    void Serve();
    // The answer body of one request target of the store.
    std::string Answer(const std::string& target);
    std::string AddUser(const std::string& user);
    std::string Upload(const std::string& user, int type, int level, int score);
    std::string Download(const std::string& user, int type, int level);

    std::vector<Reply> replies_;
    int listenFd_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requestLines_;

    bool store_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<int> mode_{static_cast<int>(Mode::kStore)};
    std::atomic<int> refusalCode_{0};
    std::set<std::string> users_;
    // (type, level) -> user -> best score (fewest steps).
    std::map<std::pair<int, int>, std::map<std::string, int>> scores_;
};
