// zorv_scored: the score server of ZORV. See CServerOptions::Usage.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>

#include "server/CScoreHttpServer.h"
#include "server/CServerOptions.h"
#include "server/CSqliteScoreStore.h"
#include "server/ServerLog.h"

namespace {

// Requests answered side by side. An upload waits for its commit, so more
// threads than cores let one commit carry more uploads.
const int kThreads = 32;

std::string UrlHost(const std::string& address) {
    return address.find(':') != std::string::npos ? "[" + address + "]" : address;
}

}  // namespace

int main(int argc, char** argv) {
    CServerOptions options;
    std::string problem;
    if (!options.Read(argc, argv, &problem)) {
        fprintf(stderr, "zorv_scored: %s\n", EscapeForLog(problem).c_str());
        return 2;
    }
    if (options.help) {
        // A usage that could not be written (a full disk under it) is no answer.
        errno = 0;
        if (fputs(CServerOptions::Usage(), stdout) >= 0 && fflush(stdout) == 0) return 0;
        fprintf(stderr, "zorv_scored: cannot write the standard output: %s\n", strerror(errno));
        return 2;
    }

    // Ctrl+C and SIGTERM are taken by this thread alone (every thread started
    // from here on keeps them blocked), so that the stop is an ordinary one.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    signal(SIGPIPE, SIG_IGN);

    CSqliteScoreStore store;
    if (!store.Open(options.db, &problem)) {
        ServerLog("zorv_scored: cannot use the database %s: %s", EscapeForLog(options.db).c_str(), problem.c_str());
        return 1;
    }
    CScoreHttpServer server(store, options.path, kThreads);
    if (!server.Bind(options.bind, options.port, &problem)) {
        ServerLog("zorv_scored: %s", EscapeForLog(problem).c_str());
        store.Close();
        return 1;
    }
    int64_t players = 0, scores = 0;
    store.Count(&players, &scores);
    ServerLog("zorv_scored: serving http://%s:%d%s from %s (%lld players, %lld scores)",
              EscapeForLog(UrlHost(options.bind)).c_str(), server.Port(), options.path.c_str(),
              EscapeForLog(options.db).c_str(), static_cast<long long>(players), static_cast<long long>(scores));

    std::atomic<bool> ended{false};
    std::thread listener([&] {
        server.Serve();
        ended = true;
    });
    int stopSignal = 0;
    while (!ended && stopSignal <= 0) {
        const timespec wait = {0, 200 * 1000 * 1000};
        stopSignal = sigtimedwait(&stops, nullptr, &wait);
    }
    // A stop asked for before the listener got going would be lost.
    while (!ended && !server.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    server.Stop();
    listener.join();
    store.Close();
    if (stopSignal > 0) {
        ServerLog("zorv_scored: stopped by %s; database closed", stopSignal == SIGINT ? "SIGINT" : "SIGTERM");
        return 0;
    }
    ServerLog("zorv_scored: listening ended unexpectedly; database closed");
    return 1;
}
