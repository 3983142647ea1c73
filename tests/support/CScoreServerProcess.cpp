#include "tests/support/CScoreServerProcess.h"

#include <curl/curl.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "players/ScoreScramble.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kServing = "zorv_scored: serving http://127.0.0.1:";

size_t Collect(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// Waits up to seconds for the process to end: its exit code, -1 if it did not.
int Reap(pid_t pid, int seconds) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (Clock::now() < end);
    return -1;
}

}  // namespace

CScoreServerProcess::CScoreServerProcess(std::vector<std::string> options, unsigned long openFiles)
    : db_(dir_.File("scores.db")), log_(dir_.File("server.log")), options_(std::move(options)), openFiles_(openFiles) {
    // Loopback requests must never go through a proxy of the machine (a
    // game started by an end-to-end test inherits this too).
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    Start();
}

CScoreServerProcess::~CScoreServerProcess() {
    if (pid_ > 0) Stop();
}

std::string CScoreServerProcess::Address() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/zorv/";
}

bool CScoreServerProcess::Start() {
    const size_t logged = Log().size();
    const std::string port = std::to_string(port_);
    const std::string binary = std::string(ZORV_RUN_DIR) + "/zorv_scored";
    std::vector<const char*> argv = {binary.c_str(), "--db", db_.c_str(), "--port", port.c_str()};
    for (const std::string& option : options_) argv.push_back(option.c_str());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(log_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            dup2(fd, 2);
            close(fd);
        }
        const rlimit files = {openFiles_, openFiles_};
        if (openFiles_ > 0 && setrlimit(RLIMIT_NOFILE, &files) != 0) _exit(126);
        execv(binary.c_str(), const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    if (pid < 0) return false;
    pid_ = pid;
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end) {
        const std::string text = Log().substr(logged);
        const size_t at = text.find(kServing);
        if (at != std::string::npos) {
            port_ = atoi(text.c_str() + at + strlen(kServing));
            return true;
        }
        if (Reap(pid_, 0) != -1) break;  // it gave up: the log says why
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ADD_FAILURE() << "zorv_scored did not start:\n" << Log();
    kill(pid_, SIGKILL);
    Reap(pid_, 5);
    pid_ = -1;
    return false;
}

int CScoreServerProcess::Stop(int signal) {
    if (pid_ <= 0) return -1;
    kill(pid_, signal);
    const int code = Reap(pid_, 20);
    if (code == -1) Kill();
    pid_ = -1;
    return code;
}

void CScoreServerProcess::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    Reap(pid_, 20);
    pid_ = -1;
}

std::string CScoreServerProcess::Log() const { return ReadFileText(log_); }

long CScoreServerProcess::PeakMemoryKb() const {
    if (pid_ <= 0) return -1;
    const std::string status = ReadFileText("/proc/" + std::to_string(pid_) + "/status");
    const size_t at = status.find("VmHWM:");
    return at == std::string::npos ? -1 : atol(status.c_str() + at + 6);
}

long CScoreServerProcess::OwnMemoryKb() const {
    if (pid_ <= 0) return -1;
    // Counted page by page (the status file's figures are approximate).
    const std::string rollup = ReadFileText("/proc/" + std::to_string(pid_) + "/smaps_rollup");
    const size_t at = rollup.find("\nAnonymous:");
    return at == std::string::npos ? -1 : atol(rollup.c_str() + at + 11);
}

int CScoreServerProcess::OpenFiles() const {
    if (pid_ <= 0) return -1;
    DIR* dir = opendir(("/proc/" + std::to_string(pid_) + "/fd").c_str());
    if (!dir) return -1;
    int files = 0;
    while (const dirent* entry = readdir(dir)) files += entry->d_name[0] != '.';
    closedir(dir);
    return files;
}

std::vector<std::string> CScoreServerProcess::Requests() const {
    std::vector<std::string> out;
    const std::string text = Log();
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        // "<time> <address> GET <status> <what> (<ms> ms)"
        const size_t get = line.find(" GET ");
        const size_t what = get == std::string::npos ? get : line.find(' ', get + 5);
        const size_t ms = line.rfind(" (");
        if (what == std::string::npos || ms == std::string::npos || ms < what ||
            line.find("not the score script") != std::string::npos)
            continue;
        out.push_back(line.substr(what + 1, ms - what - 1));
    }
    return out;
}

std::pair<long, std::string> CScoreServerProcess::Request(const std::string& target, const char* method) const {
    std::pair<long, std::string> answer(0, "");
    CURL* curl = curl_easy_init();
    if (!curl) return answer;
    const std::string url = "http://127.0.0.1:" + std::to_string(port_) + target;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, strcmp(method, "HEAD") == 0 ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.second);
    if (curl_easy_perform(curl) == CURLE_OK)
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.first);
    else
        answer.second.clear();
    curl_easy_cleanup(curl);
    return answer;
}

std::string CScoreServerProcess::Ask(const std::string& query) const {
    return Request("/zorv/zjscores.php?" + HttpBuildQuery(query)).second;
}

void CScoreServerProcess::AddScore(int type, int level, const std::string& name, int score) const {
    Ask("op=addUser&user=" + name + "&version=test");
    const std::string said = Ask("op=uploadScore&user=" + name + "&type=" + std::to_string(type) +
                                 "&level=" + std::to_string(level) + "&score=" + std::to_string(score) + "&cheat=0");
    EXPECT_EQ(said.rfind("success\n", 0), 0u) << name << ": " << said;
}

int CScoreServerProcess::StoredScore(int type, int level, const std::string& name) const {
    const std::string board =
        Ask("op=downloadScore&user=" + name + "&type=" + std::to_string(type) + "&level=" + std::to_string(level));
    const size_t row = board.find("\t" + name + "\t");
    return row == std::string::npos ? -1 : atoi(board.c_str() + row + name.size() + 2);
}
