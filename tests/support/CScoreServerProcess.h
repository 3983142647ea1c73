// The real score server for tests: zorv_scored from the run folder, started
// on a free loopback port with its database in a temporary folder of its own,
// stopped cleanly at the end. Its log, one line per request written before
// the answer leaves, is the record of what it was asked.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestSupport.h"

class CScoreServerProcess {
public:
    // Starts the server, with options besides its database and port (for
    // example the budgets); IsRunning() tells whether it came up. openFiles:
    // its limit of open files, soft and hard (0: this process's).
    explicit CScoreServerProcess(std::vector<std::string> options = {}, unsigned long openFiles = 0);
    ~CScoreServerProcess();
    CScoreServerProcess(const CScoreServerProcess&) = delete;
    CScoreServerProcess& operator=(const CScoreServerProcess&) = delete;

    bool IsRunning() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    int Port() const { return port_; }
    // "http://127.0.0.1:<port>/zorv/"
    std::string Address() const;
    const std::string& DatabasePath() const { return db_; }

    // Starts it again on the same database and port (after Stop or Kill).
    bool Start();
    // SIGTERM (or signal), then waits: the exit code (-1 when it did not
    // stop in time).
    int Stop(int signal = SIGTERM);
    // SIGKILL, then waits.
    void Kill();

    // The most memory the running server has held (resident), in KB; -1
    // when it is not running.
    long PeakMemoryKb() const;
    // The memory the running server holds now of its own (resident and not
    // a file's: its heap, its threads' stacks), in KB; -1 when it is not
    // running.
    long OwnMemoryKb() const;
    // The files the running server has open (its connections among them);
    // -1 when it is not running.
    int OpenFiles() const;

    std::string Log() const;
    // What each request to the score script asked and got, in order, as the
    // log says it: "op=addUser&user=bob&version=1.03W -> success".
    std::vector<std::string> Requests() const;

    // A request for target (the part after the port) by method (GET or
    // HEAD): the HTTP status (0: no answer) and the body.
    std::pair<long, std::string> Request(const std::string& target, const char* method = "GET") const;
    // Sends a query as the game does, scrambled: the body of the answer.
    std::string Ask(const std::string& query) const;
    // Registers name (unless it is already) and uploads score for it.
    void AddScore(int type, int level, const std::string& name, int score) const;
    // The score of name on the board, as that board shows it to him; -1
    // when he has none there.
    int StoredScore(int type, int level, const std::string& name) const;

private:
    CTempDir dir_;
    std::string db_;
    std::string log_;
    std::vector<std::string> options_;
    unsigned long openFiles_;
    pid_t pid_ = -1;
    int port_ = 0;
};
