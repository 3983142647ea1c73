// zorv_scored: the score server of ZORV. See CServerOptions::Usage.
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "server/CAddressBudget.h"
#include "server/CScoreHttpServer.h"
#include "server/CServerOptions.h"
#include "server/CSqliteScoreStore.h"
#include "server/ServerLog.h"
#include "tools/design/ToolRefusal.h"

namespace {

// Requests answered side by side. An upload waits for its commit, so more
// threads than cores let one commit carry more uploads; each thread waits on
// any number of connections. Every new connection wakes every thread, so
// twice as many cost a download about twice the server's time.
const int kThreads = 16;

// Every connection is an open file: take all the files the system allows.
void RaiseOpenFileLimit() {
    rlimit files = {};
    if (getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == files.rlim_max) return;
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
}

std::string UrlHost(const std::string& address) {
    return address.find(':') != std::string::npos ? "[" + address + "]" : address;
}

}  // namespace

int main(int argc, char** argv) {
    CServerOptions options;
    // A usage that could not be written (a full disk under it) is no answer.
    if (!options.Read(argc, argv)) return EndWithStandardOutput(CServerOptions::kProgram, options.ExitCode());

    // Ctrl+C, SIGTERM and the hang-up of the terminal it was started from
    // (a host's ssh session that ends) are taken by this thread alone (every
    // thread started from here on keeps them blocked), so that the stop is
    // an ordinary one. Ctrl+C and the hang-up stay ignored where they were
    // (nohup, a job that a script starts in the background): a blocked
    // signal would be taken even so.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    for (const int stop : {SIGINT, SIGHUP}) {
        struct sigaction was = {};
        if (sigaction(stop, nullptr, &was) != 0 || was.sa_handler != SIG_IGN) sigaddset(&stops, stop);
    }
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    signal(SIGPIPE, SIG_IGN);
    RaiseOpenFileLimit();

    // A thread of its own takes the stop from here on: a stop asked for while
    // the start checks or converts a large file, or while writes wait for a
    // lock that another program holds, ends that at once (the writes are
    // answered as failed). Ended by a stop signal of its own when the start
    // fails.
    std::string problem;
    CSqliteScoreStore store;
    std::atomic<int> stopSignal{0};
    std::thread stopWatch([&] {
        int signal = 0;
        while (sigwait(&stops, &signal) != 0) {
        }
        stopSignal = signal;
        store.Interrupt();
    });
    const auto endStopWatch = [&] {
        pthread_kill(stopWatch.native_handle(), SIGTERM);
        stopWatch.join();
    };
    const auto stopName = [&] { return stopSignal == SIGINT ? "SIGINT" : stopSignal == SIGHUP ? "SIGHUP" : "SIGTERM"; };

    // The stop's last line: whether the database is its one file again.
    const auto closed = [&](const char* when) {
        std::string failure;
        if (store.Close(&failure)) {
            ServerLog("zorv_scored: stopped by %s%s; database closed", stopName(), when);
            return;
        }
        const std::string db = EscapeForLog(options.db);
        if (failure.empty())
            ServerLog("zorv_scored: stopped by %s%s; database closed, but another program has it open: its latest "
                      "writes are in %s-wal beside it, so keep the two files together (copy or move both) until "
                      "that program has closed it",
                      stopName(), when, db.c_str());
        else
            ServerLog("zorv_scored: stopped by %s%s; database closed, but its write-ahead log could not be folded "
                      "back into it (%s): its latest writes are in %s-wal beside it, so keep the two files together "
                      "(copy or move both); the next clean stop folds it back",
                      stopName(), when, EscapeForLog(failure).c_str(), db.c_str());
    };
    const bool opened = store.Open(options.db, &problem);
    // A stop during the start is no fault of the file: the start, not the
    // server, failed to finish, as the user asked. One that came too late
    // to end the start (its last commit under way) stops it all the same,
    // before any client is let in.
    if (stopSignal != 0) {
        stopWatch.join();
        closed(" before serving");
        return 0;
    }
    if (!opened) {
        ServerLog("zorv_scored: cannot use the database %s: %s", EscapeForLog(options.db).c_str(), problem.c_str());
        endStopWatch();
        return 1;
    }
    // Counted before the port opens (on a large file this takes a while), and
    // the start-up lines said before the first request can be answered: the
    // log reads in the order things happened.
    int64_t players = 0, scores = 0;
    store.Count(&players, &scores);
    CAddressBudget budget(options.registrations, options.uploads);
    CScoreHttpServer server(store, options.path, kThreads);
    server.SetBudget(&budget);
    const auto failed = [&] {
        ServerLog("zorv_scored: %s", EscapeForLog(problem).c_str());
        endStopWatch();
        store.Close();
        return 1;
    };
    if (!server.Bind(options.bind, static_cast<int>(options.port), &problem)) return failed();
    ServerLog("zorv_scored: at most %u connections, %u from one address; %zu KB and %u s for a request line and "
              "its headers; a connection silent for %u s is closed",
              server.ConnectionLimit(), std::min(CScoreHttpServer::kConnectionsPerAddress, server.ConnectionLimit()),
              CScoreHttpServer::kConnectionMemory / 1024, CScoreHttpServer::kRequestSeconds,
              CScoreHttpServer::kIdleSeconds);
    ServerLog("zorv_scored: what one address may write: registrations %s, uploads %s (at once, then a minute; "
              "429 past that)",
              CAddressBudget::RateText(options.registrations).c_str(), CAddressBudget::RateText(options.uploads).c_str());
    ServerLog("zorv_scored: serving http://%s:%d%s from %s (%lld players, %lld scores)",
              EscapeForLog(UrlHost(options.bind)).c_str(), server.Port(), options.path.c_str(),
              EscapeForLog(options.db).c_str(), static_cast<long long>(players), static_cast<long long>(scores));
    if (!server.Start(&problem)) return failed();

    stopWatch.join();
    // Every connection ends here, whatever its client is doing: a read being
    // answered finishes first, and a write still waiting for the disk a
    // moment later is answered failure 15, so every upload answered
    // "success" is committed. Then the database is its one file again,
    // unless another program has it open.
    server.Stop();
    closed("");
    return 0;
}
