// The score server (zorv_scored from the run folder, on a database in a
// temporary folder, its log to a file there) driven by 16 loopback clients
// for a few seconds each: uploads (every one a better score, so a stored
// write each) and downloads of boards of 200 players. Each request is a new
// connection, as the game makes them. Reported: requests a second, the 50th
// and 99th percentile and the longest of the time a request takes, and the
// server's own CPU time per request.
//
// More: downloads from a board of 1,000,000 entries against one of ten
// (the file written once per run straight with SQL, in the layout before
// the counts a download reads were kept: the server converts it at its
// first start, and says how long that took); downloads while 2,000 silent and 200 dripping connections hold
// on (from 127.0.0.2, where one address may hold only so many; or spread
// over addresses of their own, so that the server holds every one), and the
// server's largest resident memory after 16 requests of 1,000,000 headers.
//
// And three of a host on the open internet: downloads while 64 upload loops
// from one address wait on a disk whose every sync takes 200 ms more (the
// HTTP side in this process, over SQLite with a slowed sync); ordinary
// requests while 80 addresses hold 64 idle connections each, opening one
// again as soon as it is closed, on a server whose open-file limit is 2048;
// and the server's resident memory after 20 waves of 16,384 idle
// connections. And the stop while writes wait on syncs 1 s or 3 s slower.
// Each reports the machine's load average (1 minute) at its end beside it.
//
//   ./bench_ScoreServer [--benchmark_filter=Upload]
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "players/ScoreBoardRules.h"
#include "players/ScoreScramble.h"
#include "server/CScoreHttpServer.h"
#include "server/CSqliteScoreStore.h"
#include "tests/support/CSlowSqliteDisk.h"
#include "tests/support/HostileClients.h"
#include "tests/support/TestSupport.h"

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

// zorv_scored on a fresh database (or on the file db); stopped with SIGTERM
// at the end. files: its open-file limit, soft and hard (0: this process's).
class Server {
public:
    explicit Server(const std::string& file = "", rlim_t files = 0) {
        char dir[] = "/tmp/zorv-bench-XXXXXX";
        dir_ = mkdtemp(dir) ? dir : "/tmp";
        const std::string log = dir_ + "/server.log", db = file.empty() ? dir_ + "/scores.db" : file;
        const std::string binary = std::string(ZORV_RUN_DIR) + "/zorv_scored";
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 2);
            const rlimit limit = {files, files};
            if (files > 0) setrlimit(RLIMIT_NOFILE, &limit);
            // Every client of the benchmark is 127.0.0.1: no budget for it.
            execl(binary.c_str(), binary.c_str(), "--db", db.c_str(), "--port", "0", "--registrations", "off",
                  "--uploads", "off", static_cast<char*>(nullptr));
            _exit(127);
        }
        const auto start = Clock::now();
        // A database of an earlier layout is converted first.
        while (port_ == 0 && Clock::now() - start < std::chrono::minutes(5) && waitpid(pid_, nullptr, WNOHANG) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const std::string text = ReadLog();
            const size_t at = text.find("serving http://127.0.0.1:");
            if (at != std::string::npos) port_ = atoi(text.c_str() + at + 25);
        }
        startSeconds_ = std::chrono::duration<double>(Clock::now() - start).count();
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
    // Seconds from the start to the first request it could take.
    double StartSeconds() const { return startSeconds_; }
    int Port() const { return port_; }
    // The most memory the server has held (resident), in MB.
    double PeakMemoryMb() const { return StatusMb("VmHWM:"); }
    // The memory it holds now (resident), in MB.
    double MemoryMb() const { return StatusMb("VmRSS:"); }
    // The files it has open, its connections among them.
    int OpenFiles() const {
        int files = 0;
        if (DIR* dir = opendir(("/proc/" + std::to_string(pid_) + "/fd").c_str())) {
            while (const dirent* entry = readdir(dir)) files += entry->d_name[0] != '.';
            closedir(dir);
        }
        return files;
    }

private:
    double StatusMb(const char* field) const {
        std::string status;
        if (FILE* f = fopen(("/proc/" + std::to_string(pid_) + "/status").c_str(), "rb")) {
            char buf[4096];
            status.assign(buf, fread(buf, 1, sizeof buf, f));
            fclose(f);
        }
        const size_t at = status.find(field);
        return at == std::string::npos ? -1.0 : static_cast<double>(atol(status.c_str() + at + strlen(field))) / 1024.0;
    }
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
    double startSeconds_ = 0;
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
void DriveAt(benchmark::State& state, const std::string& base, const Server* server, const char* what, Request request) {
    std::vector<std::vector<double>> times(kClients);
    std::atomic<int> failures{0};
    double elapsed = 0;
    const double cpu0 = server ? server->CpuSeconds() : 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::vector<std::thread> threads;
        for (int c = 0; c < kClients; ++c) {
            threads.emplace_back([&, c] {
                Client client(base);
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
    if (server)
        state.counters["server_cpu_us"] =
            all.empty() ? 0.0 : (server->CpuSeconds() - cpu0) * 1e6 / static_cast<double>(all.size());
    state.counters["load_1m"] = LoadAverage();
}

template <class Request>
void Drive(benchmark::State& state, const Server& server, const char* what, Request request) {
    DriveAt(state, server.Base(), &server, what, request);
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

// A database with a board of 1,000,000 players (level 1 of the regular set,
// every score a different one, as a stranger who registers names by the
// thousand could make it) and one of ten (level 2), written once per run in
// the layout of the server before this one: its first start converts it.
class BigBoardFile {
public:
    static const int kPlayers = 1000000;
    static const std::string& Path() {
        static BigBoardFile file;
        return file.path_;
    }

private:
    BigBoardFile() {
        char dir[] = "/tmp/zorv-bench-board-XXXXXX";
        dir_ = mkdtemp(dir) ? dir : "/tmp";
        path_ = dir_ + "/big.db";
        sqlite3* db = nullptr;
        const std::string sql =
            "PRAGMA journal_mode = WAL;"
            "BEGIN;"
            "CREATE TABLE players (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE NOCASE,"
            " version TEXT NOT NULL, registered INTEGER NOT NULL);"
            "CREATE TABLE scores (player INTEGER NOT NULL REFERENCES players(id), type INTEGER NOT NULL,"
            " level INTEGER NOT NULL, score INTEGER NOT NULL, cheat INTEGER NOT NULL, seq INTEGER NOT NULL,"
            " achieved INTEGER NOT NULL, PRIMARY KEY (player, type, level)) WITHOUT ROWID;"
            "CREATE TABLE flagged (player INTEGER NOT NULL REFERENCES players(id), type INTEGER NOT NULL,"
            " level INTEGER NOT NULL, score INTEGER NOT NULL, cheat INTEGER NOT NULL, seq INTEGER NOT NULL,"
            " achieved INTEGER NOT NULL, PRIMARY KEY (player, type, level)) WITHOUT ROWID;"
            "CREATE TABLE counters (name TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID;"
            "WITH RECURSIVE n(id) AS (VALUES (1) UNION ALL SELECT id + 1 FROM n WHERE id < " +
            std::to_string(kPlayers + 10) +
            ") INSERT INTO players SELECT id, CASE WHEN id <= " + std::to_string(kPlayers) +
            " THEN 'p' || id ELSE 't' || (id - " + std::to_string(kPlayers) + ") END, 'bench', 0 FROM n;"
            // Different scores for all: 7919 is prime to 1000003.
            "INSERT INTO scores SELECT id, 0, 1, 1 + id * 7919 % 1000003, 0, id, 86400 FROM players WHERE id <= " +
            std::to_string(kPlayers) + ";"
            "INSERT INTO scores SELECT id, 0, 2, 100 + id % 10, 0, id, 86400 FROM players WHERE id > " +
            std::to_string(kPlayers) + ";"
            "CREATE INDEX scores_by_board ON scores (type, level, score, seq, cheat);"
            "INSERT INTO counters VALUES ('seq', " + std::to_string(kPlayers + 10) + ");"
            "PRAGMA user_version = 2;"
            "COMMIT;";
        char* error = nullptr;
        if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK ||
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
            fprintf(stderr, "could not write %s: %s\n", path_.c_str(), error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        sqlite3_close(db);
    }
    ~BigBoardFile() {
        const std::string cmd = "rm -rf '" + dir_ + "'";
        if (system(cmd.c_str()) != 0) fprintf(stderr, "could not remove %s\n", dir_.c_str());
    }
    std::string dir_, path_;
};

// Downloads from the board of 1,000,000 (argument 1000000), each by a player
// of his own, almost always below the first ten; or from the board of ten
// (argument 10), each by one of its players.
void BM_DownloadsFromABoardOf(benchmark::State& state) {
    const bool big = state.range(0) > 10;
    Server server(BigBoardFile::Path());
    if (!server.Up()) return state.SkipWithError("zorv_scored did not start");
    const double startSeconds = server.StartSeconds();
    Drive(state, server, "downloads", [big](Client& client, int c, int n) {
        const int id = big ? 1 + (c * 104729 + n * 7) % BigBoardFile::kPlayers : 1 + (c + n) % 10;
        const std::string& said = client.Ask("op=downloadScore&user=" + std::string(big ? "p" : "t") +
                                             std::to_string(id) + "&type=0&level=" + (big ? "1" : "2"));
        return said.rfind(big ? "success\n1000000\n" : "success\n10\n", 0) == 0;
    });
    state.counters["start_s"] = startSeconds;
}
BENCHMARK(BM_DownloadsFromABoardOf)->Arg(10)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

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

// ---- a host on the open internet ---------------------------------------------

// Every sync SQLite asks of the disk waits this long first, while slowed:
// a slow or busy disk, made in this process.
const std::chrono::milliseconds kSlowSync(200);

// Downloads from 16 clients while 64 upload loops from 127.0.0.2 wait on
// commits 200 ms slower: the server's HTTP side in this process with its
// 16 threads, over a store on the slowed disk.
void BM_DownloadsWhileUploadsWaitOnASlowDisk(benchmark::State& state) {
    CSlowSqliteDisk disk;
    // (CTempDir is /tmp itself when it could make no folder.)
    const CTempDir dir;
    if (dir.Path() == "/tmp") return state.SkipWithError("no temporary folder");
    const int uploaders = 64;
    std::atomic<int> uploads{0}, uploadsRefused{0};
    {
        CSqliteScoreStore store;
        std::string error;
        if (!store.Open(dir.File("scores.db"), &error)) return state.SkipWithError(error.c_str());
        CScoreHttpServer server(store, "/zorv/", 16);
        if (!server.Bind("127.0.0.1", 0, &error) || !server.Start(&error)) return state.SkipWithError(error.c_str());
        const std::string base = "http://127.0.0.1:" + std::to_string(server.Port()) + "/zorv/";
        // The boards of the other benchmarks and the uploaders, on a quick
        // disk (a player's scores in one commit).
        for (int p = 0; p < kSeededPlayers; ++p) {
            const std::string name = "player" + std::to_string(p);
            store.AddPlayer(name, "bench");
            std::atomic<int> left{20};
            for (int level = 0; level < 20; ++level)
                store.UploadThen(name, 0, level, 50 + (p * 7 + level) % 300, 0, [&left](CScoreStore::Outcome) { --left; });
            while (left > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        for (int u = 0; u < uploaders; ++u) store.AddPlayer("up" + std::to_string(u), "bench");
        disk.SetSyncDelay(kSlowSync);
        std::atomic<bool> done{false};
        std::vector<std::thread> loops;
        for (int u = 0; u < uploaders; ++u) {
            loops.emplace_back([&, u] {
                for (int n = 0; !done; ++n) {
                    const std::string query = Upload("up" + std::to_string(u), 1, n % 50, 1000000 - n);
                    const std::string said =
                        AskFrom("127.0.0.2", server.Port(), "/zorv/zjscores.php?" + HttpBuildQuery(query), 30);
                    // Not answered at all: one loop's connection before was
                    // not closed yet, and the address held its 64.
                    ++(said.find("\r\n\r\nsuccess\n") != std::string::npos ? uploads : uploadsRefused);
                }
            });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));  // every loop waiting
        const int before = uploads;
        const auto start = Clock::now();
        DriveAt(state, base, nullptr, "downloads", AskBoard);
        state.counters["uploads_per_s"] =
            (uploads - before) / std::chrono::duration<double>(Clock::now() - start).count();
        done = true;
        for (std::thread& t : loops) t.join();
        disk.SetSyncDelay(std::chrono::milliseconds(0));
        server.Stop();
        store.Close();
    }
    state.counters["uploads_refused"] = uploadsRefused.load();
}
BENCHMARK(BM_DownloadsWhileUploadsWaitOnASlowDisk)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The stop (the HTTP side's, then the store's close, which folds the
// write-ahead log back into the file, as zorv_scored stops on SIGTERM) while writes wait on a disk whose every sync takes arg 0 ms more:
// arg 1 writes, the first 16 over HTTP, the others queued in the store
// behind them. Reported: the stop's time, the syncs it began, the writes
// kept and those dropped (answered failure 15).
void BM_StopWhileWritesWaitOnASlowDisk(benchmark::State& state) {
    CSlowSqliteDisk disk;
    // (CTempDir is /tmp itself when it could make no folder.)
    const CTempDir dir;
    if (dir.Path() == "/tmp") return state.SkipWithError("no temporary folder");
    const int writes = static_cast<int>(state.range(1)), overHttp = std::min(writes, 16);
    std::atomic<int> kept{0}, dropped{0};
    CSqliteScoreStore store;
    std::string error;
    if (!store.Open(dir.File("scores.db"), &error)) return state.SkipWithError(error.c_str());
    store.AddPlayer("amy", "bench");
    CScoreHttpServer server(store, "/zorv/", 16);
    if (!server.Bind("127.0.0.1", 0, &error) || !server.Start(&error)) return state.SkipWithError(error.c_str());
    disk.SetSyncDelay(std::chrono::milliseconds(state.range(0)));
    std::vector<std::thread> asking;
    for (int w = 0; w < overHttp; ++w)
        asking.emplace_back([&, w] {
            const std::string said = AskFrom("127.0.0.2", server.Port(),
                                             "/zorv/zjscores.php?" + HttpBuildQuery(Upload("amy", 0, w, 50)), 30);
            ++(said.find("\r\n\r\nsuccess\n") != std::string::npos ? kept : dropped);
        });
    for (int w = overHttp; w < writes; ++w)
        store.UploadThen("amy", 1, 0, 1000000 - w, 0, [&](CScoreStore::Outcome outcome) {
            ++(outcome == CScoreStore::Outcome::kFailed ? dropped : kept);
        });
    // The first commit under way, the others behind it.
    while (writes > 0 && disk.Syncs() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int syncs = disk.Syncs();
    for (auto _ : state) {
        const auto start = Clock::now();
        server.Stop();
        store.Close();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    for (std::thread& t : asking) t.join();
    state.counters["syncs"] = disk.Syncs() - syncs;
    state.counters["kept"] = kept.load();
    state.counters["dropped"] = dropped.load();
    state.counters["load_1m"] = LoadAverage();
}
BENCHMARK(BM_StopWhileWritesWaitOnASlowDisk)
    ->Args({1000, 0})
    ->Args({1000, 16})
    ->Args({1000, 1000})
    ->Args({3000, 1000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// Downloads from 16 clients while 80 addresses hold 64 idle connections each
// and open one again as soon as the server closes it, on a server whose
// open-file limit is 2048 (1,792 connections): more than the server holds.
void BM_DownloadsWhileACrowdTakesEveryConnection(benchmark::State& state) {
    const int addresses = 80, perAddress = 64;
    if (!AllowOpenFiles(addresses * perAddress + 512))
        return state.SkipWithError("the open-file limit is below the crowd");
    Server server("", 2048);
    if (!server.Up()) return state.SkipWithError("zorv_scored did not start");
    SeedPlayers(server);
    CCrowd crowd(10, addresses, perAddress, server.Port());
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));  // the server full, the crowd cut and back
    const long before = crowd.Opened();
    const auto start = Clock::now();
    Drive(state, server, "downloads", AskBoard);
    state.counters["crowd_opened_per_s"] =
        static_cast<double>(crowd.Opened() - before) / std::chrono::duration<double>(Clock::now() - start).count();
    state.counters["server_files"] = server.OpenFiles();
}
BENCHMARK(BM_DownloadsWhileACrowdTakesEveryConnection)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// 20 waves of 16,384 idle connections (64 from each of 256 addresses), each
// closed by its clients once opened: the server's resident memory after the
// last one has gone, and the most it held.
void BM_MemoryAfterWavesOfIdleConnections(benchmark::State& state) {
    const int waves = 20, perWave = 16384, perAddress = 64;
    if (!AllowOpenFiles(perWave + 512)) return state.SkipWithError("the open-file limit is below a wave");
    Server server;
    if (!server.Up()) return state.SkipWithError("zorv_scored did not start");
    const double before = server.MemoryMb();
    long opened = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int wave = 0; wave < waves; ++wave) {
            std::vector<std::unique_ptr<CHeldConnections>> held;
            for (int a = 0; a < perWave / perAddress; ++a) {
                const std::string from = "127.0." + std::to_string(20 + a / 250) + "." + std::to_string(1 + a % 250);
                held.emplace_back(new CHeldConnections(from, server.Port(), perAddress, CHeldConnections::Kind::kIdle));
                opened += held.back()->Opened();
            }
            held.clear();
            for (int i = 0; i < 400 && server.OpenFiles() > 64; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the server sees them gone
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["rss_mb_before"] = before;
    state.counters["rss_mb_after"] = server.MemoryMb();
    state.counters["peak_rss_mb"] = server.PeakMemoryMb();
    state.counters["opened_per_wave"] = static_cast<double>(opened) / waves;
    state.counters["load_1m"] = LoadAverage();
}
BENCHMARK(BM_MemoryAfterWavesOfIdleConnections)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
