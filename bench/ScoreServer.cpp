// The score server (zorv_scored from the run folder, on a database in a
// temporary folder, its log to a file there) driven by 16 loopback clients
// for a few seconds each: uploads (every one a better score, so a stored
// write each) and downloads of boards of 200 players. Each request is a new
// connection, as the game makes them. Reported: requests a second, the 50th
// and 99th percentile and the longest of the time a request takes, and the
// server's own CPU time per request.
//
// Two more: downloads while 2,000 silent and 200 dripping connections hold
// on (from 127.0.0.2, where one address may hold only so many; or spread
// over addresses of their own, so that the server holds every one), and the
// server's largest resident memory after 16 requests of 1,000,000 headers.
// Each reports the machine's load average (1 minute) at its end beside it.
//
//   ./bench_ScoreServer [--benchmark_filter=Upload]
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "players/ScoreBoardRules.h"
#include "players/ScoreScramble.h"
#include "tests/support/HostileClients.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kClients = 16;
const double kSeconds = 3.0;
const int kSeededPlayers = 200;

size_t Collect(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// One client's connection settings; every request opens a new connection.
class Client {
public:
    explicit Client(const std::string& base) : base_(base), curl_(curl_easy_init()) {
        curl_easy_setopt(curl_, CURLOPT_FORBID_REUSE, 1L);
        curl_easy_setopt(curl_, CURLOPT_TIMEOUT, 10L);
        curl_easy_setopt(curl_, CURLOPT_NOPROXY, "*");
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, Collect);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &body_);
    }
    ~Client() { curl_easy_cleanup(curl_); }
    const std::string& Ask(const std::string& query) {
        body_.clear();
        const std::string url = base_ + "zjscores.php?" + HttpBuildQuery(query);
        curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
        if (curl_easy_perform(curl_) != CURLE_OK) body_.clear();
        return body_;
    }

private:
    std::string base_;
    CURL* curl_;
    std::string body_;
};

// zorv_scored on a fresh database; stopped with SIGTERM at the end.
class Server {
public:
    Server() {
        char dir[] = "/tmp/zorv-bench-XXXXXX";
        dir_ = mkdtemp(dir) ? dir : "/tmp";
        const std::string log = dir_ + "/server.log", db = dir_ + "/scores.db";
        const std::string binary = std::string(ZORV_RUN_DIR) + "/zorv_scored";
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 2);
            // Every client of the benchmark is 127.0.0.1: no budget for it.
            execl(binary.c_str(), binary.c_str(), "--db", db.c_str(), "--port", "0", "--registrations", "off",
                  "--uploads", "off", static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 500 && port_ == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const std::string text = ReadLog();
            const size_t at = text.find("serving http://127.0.0.1:");
            if (at != std::string::npos) port_ = atoi(text.c_str() + at + 25);
        }
    }
    ~Server() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        const std::string cmd = "rm -rf '" + dir_ + "'";
        if (system(cmd.c_str()) != 0) fprintf(stderr, "could not remove %s\n", dir_.c_str());
    }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_) + "/zorv/"; }
    // The server's CPU time so far (user and system), in seconds.
    double CpuSeconds() const {
        std::string stat;
        if (FILE* f = fopen(("/proc/" + std::to_string(pid_) + "/stat").c_str(), "rb")) {
            char buf[1024];
            const size_t n = fread(buf, 1, sizeof buf, f);
            stat.assign(buf, n);
            fclose(f);
        }
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) return 0;
        unsigned long utime = 0, stime = 0;
        sscanf(stat.c_str() + close + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime);
        return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    bool Up() const { return port_ > 0; }
    int Port() const { return port_; }
    // The most memory the server has held (resident), in MB.
    double PeakMemoryMb() const {
        std::string status;
        if (FILE* f = fopen(("/proc/" + std::to_string(pid_) + "/status").c_str(), "rb")) {
            char buf[4096];
            status.assign(buf, fread(buf, 1, sizeof buf, f));
            fclose(f);
        }
        const size_t at = status.find("VmHWM:");
        return at == std::string::npos ? -1.0 : static_cast<double>(atol(status.c_str() + at + 6)) / 1024.0;
    }

private:
    std::string ReadLog() const {
        std::string text;
        if (FILE* f = fopen((dir_ + "/server.log").c_str(), "rb")) {
            char buf[4096];
            size_t n;
            while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
            fclose(f);
        }
        return text;
    }
    std::string dir_;
    pid_t pid_ = -1;
    int port_ = 0;
};

double LoadAverage() {
    double load = -1;
    if (FILE* f = fopen("/proc/loadavg", "rb")) {
        if (fscanf(f, "%lf", &load) != 1) load = -1;
        fclose(f);
    }
    return load;
}

std::string Upload(const std::string& user, int type, int level, int score) {
    return "op=uploadScore&user=" + user + "&type=" + std::to_string(type) + "&level=" + std::to_string(level) +
           "&score=" + std::to_string(score) + "&cheat=0";
}

// Runs request(client, n) from kClients threads for kSeconds; sets the rate
// and the percentiles. request returns false for an answer that is not
// what it should be.
template <class Request>
void Drive(benchmark::State& state, const Server& server, const char* what, Request request) {
    std::vector<std::vector<double>> times(kClients);
    std::atomic<int> failures{0};
    double elapsed = 0;
    const double cpu0 = server.CpuSeconds();
    for (auto _ : state) {
        const auto start = Clock::now();
        std::vector<std::thread> threads;
        for (int c = 0; c < kClients; ++c) {
            threads.emplace_back([&, c] {
                Client client(server.Base());
                for (int n = 0; Clock::now() - start < std::chrono::duration<double>(kSeconds); ++n) {
                    const auto t0 = Clock::now();
                    if (!request(client, c, n)) ++failures;
                    times[c].push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
                }
            });
        }
        for (std::thread& t : threads) t.join();
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(elapsed);
    }
    std::vector<double> all;
    for (const auto& t : times) all.insert(all.end(), t.begin(), t.end());
    std::sort(all.begin(), all.end());
    const auto at = [&](double q) { return all.empty() ? 0.0 : all[static_cast<size_t>(q * (all.size() - 1))]; };
    state.counters[std::string(what) + "_per_s"] = static_cast<double>(all.size()) / elapsed;
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = at(1.0);
    state.counters["failed"] = failures.load();
    // What a request costs the server itself, whatever else the machine does.
    state.counters["server_cpu_us"] = all.empty() ? 0.0 : (server.CpuSeconds() - cpu0) * 1e6 / static_cast<double>(all.size());
    state.counters["load_1m"] = LoadAverage();
}

// 200 players on the first 20 boards of the regular set.
void SeedPlayers(const Server& server) {
    Client setup(server.Base());
    for (int p = 0; p < kSeededPlayers; ++p) {
        const std::string name = "player" + std::to_string(p);
        setup.Ask("op=addUser&user=" + name + "&version=bench");
        for (int level = 0; level < 20; ++level) setup.Ask(Upload(name, 0, level, 50 + (p * 7 + level) % 300));
    }
}

// Each asks as one of the players, so his own row comes too when he is not
// in the top ten.
bool AskBoard(Client& client, int c, int n) {
    const std::string user = "player" + std::to_string((c * 13 + n) % kSeededPlayers);
    const std::string& said = client.Ask("op=downloadScore&user=" + user + "&type=0&level=" + std::to_string(n % 20));
    return said.rfind("success\n200\n", 0) == 0;
}

void BM_Uploads16Clients(benchmark::State& state) {
    Server server;
    if (!server.Up()) return state.SkipWithError("zorv_scored did not start");
    {
        Client setup(server.Base());
        for (int c = 0; c < kClients; ++c) setup.Ask("op=addUser&user=client" + std::to_string(c) + "&version=bench");
    }
    // Every board of the three sets in turn, each upload better than the
    // last: each one is stored.
    Drive(state, server, "uploads", [](Client& client, int c, int n) {
        const int type = n % 3, level = (n / 3) % kScoreLevelCounts[type];
        const std::string& said = client.Ask(Upload("client" + std::to_string(c), type, level, 1000000 - n));
        return said == "success\nadded\n" || said == "success\nupdated\n";
    });
}
BENCHMARK(BM_Uploads16Clients)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_Downloads16Clients(benchmark::State& state) {
    Server server;
    if (!server.Up()) return state.SkipWithError("zorv_scored did not start");
    SeedPlayers(server);
    Drive(state, server, "downloads", AskBoard);
}
BENCHMARK(BM_Downloads16Clients)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Ordinary downloads from 127.0.0.1 while 2,000 silent and 200 dripping
// connections hold on: all from 127.0.0.2 (argument 0), or from 44
// addresses of their own, 50 connections each (argument 1).
void BM_DownloadsWhileIdleAndDrippingConnectionsHoldOn(benchmark::State& state) {
    if (!AllowOpenFiles(2200 + 512)) return state.SkipWithError("the open-file limit is below 2,200 connections");
    Server server;
    if (!server.Up()) return state.SkipWithError("zorv_scored did not start");
    SeedPlayers(server);
    const bool spread = state.range(0) != 0;
    std::vector<std::unique_ptr<CHeldConnections>> held;
    for (int group = 0; group < 44; ++group) {
        const std::string from = spread ? "127.0.2." + std::to_string(1 + group) : "127.0.0.2";
        held.emplace_back(new CHeldConnections(from, server.Port(), 50, group < 4 ? CHeldConnections::Kind::kDripping
                                                                                 : CHeldConnections::Kind::kIdle));
    }
    Drive(state, server, "downloads", AskBoard);
    int opened = 0, kept = 0;
    for (const auto& h : held) {
        opened += h->Opened();
        kept += h->HeldByServer();
    }
    state.counters["connections_opened"] = opened;
    state.counters["held_by_server"] = kept;
}
BENCHMARK(BM_DownloadsWhileIdleAndDrippingConnectionsHoldOn)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// 16 requests of 1,000,000 short headers each, side by side: how many the
// server refused (431 or a closed connection) and its largest resident
// memory afterwards.
void BM_HeaderFloods(benchmark::State& state) {
    Server server;
    if (!server.Up()) return state.SkipWithError("zorv_scored did not start");
    const double before = server.PeakMemoryMb();
    std::vector<std::string> answers;
    for (auto _ : state) {
        const auto start = Clock::now();
        answers = FloodHeaders("127.0.0.3", server.Port(), 16, 1000000, "/zorv/zjscores.php?k");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    int refused = 0;
    for (const std::string& a : answers) refused += a.empty() || a.rfind("HTTP/1.1 431 ", 0) == 0;
    const bool servingAfter = !Client(server.Base()).Ask("op=downloadScore&user=x&type=0&level=1").empty();
    state.counters["refused"] = refused;
    state.counters["peak_rss_mb_before"] = before;
    state.counters["peak_rss_mb"] = server.PeakMemoryMb();
    state.counters["answers_after"] = servingAfter;
    state.counters["load_1m"] = LoadAverage();
}
BENCHMARK(BM_HeaderFloods)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
