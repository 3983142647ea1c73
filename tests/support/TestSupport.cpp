#include "tests/support/TestSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    remove(path);
    return 0;
}

void SetOrUnset(const std::string& name, const std::string& value, bool present) {
    if (present)
        setenv(name.c_str(), value.c_str(), 1);
    else
        unsetenv(name.c_str());
}

bool g_programWideSetUp = false;

}  // namespace

void NoteProgramWideSetUp() { g_programWideSetUp = true; }
bool TakeProgramWideSetUp() { return std::exchange(g_programWideSetUp, false); }

CTempDir::CTempDir() {
    char tmpl[] = "/tmp/zorv-test-XXXXXX";
    const char* made = mkdtemp(tmpl);
    path_ = made ? made : "/tmp";
}

CTempDir::~CTempDir() {
    if (path_ != "/tmp") nftw(path_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string CTempDir::File(const std::string& name) const { return path_ + "/" + name; }

CScopedHome::CScopedHome() {
    const char* vars[] = {"HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR", "XDG_CONFIG_HOME", "XDG_PICTURES_DIR"};
    for (const char* v : vars) {
        const char* old = getenv(v);
        saved_.emplace_back(v, old ? std::string("=") + old : std::string());
    }
    setenv("HOME", dir_.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", Documents().c_str(), 1);
    // The desktop's settings and the pictures folder come from the home.
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_PICTURES_DIR");
}

CScopedHome::~CScopedHome() {
    for (const auto& [name, value] : saved_) SetOrUnset(name, value.empty() ? "" : value.substr(1), !value.empty());
}

CScopedCwd::CScopedCwd(const std::string& path) : saved_(CurrentDir()) {
    if (chdir(path.c_str()) != 0) perror("chdir");
}

CScopedCwd::~CScopedCwd() {
    if (chdir(saved_.c_str()) != 0) perror("chdir");
}

std::string CurrentDir() {
    char buf[4096];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    fclose(f);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool WriteFileText(const std::string& path, const std::string& text) {
    return WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string ReadFileText(const std::string& path) {
    const std::vector<uint8_t> b = ReadFileBytes(path);
    return std::string(b.begin(), b.end());
}

void PutU32(std::vector<uint8_t>* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> MakePack(const PackEntries& entries) {
    std::vector<uint8_t> out;
    PutU32(&out, static_cast<uint32_t>(entries.size()));
    size_t offset = 4 + 4 * entries.size();
    for (const auto& e : entries) {
        PutU32(&out, static_cast<uint32_t>(offset));
        offset += 8 + e.first.size() + e.second.size();
    }
    for (const auto& e : entries) {
        PutU32(&out, static_cast<uint32_t>(e.second.size()));
        PutU32(&out, static_cast<uint32_t>(e.first.size()));
        out.insert(out.end(), e.first.begin(), e.first.end());
        out.insert(out.end(), e.second.begin(), e.second.end());
    }
    return out;
}

ProgramRun RunProgram(const std::string& commandLine, const std::string& errFile) {
    ProgramRun run;
    FILE* p = popen((commandLine + " 2>" + errFile).c_str(), "r");
    if (!p) return run;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) run.out.append(buf, n);
    const int status = pclose(p);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

int RunProgramWithoutReader(const std::string& commandLine, const std::string& errFile) {
    int ends[2];
    if (pipe(ends) != 0) return -1;
    // Closed before the program starts: its first write finds no reader.
    close(ends[0]);
    const std::string line = commandLine + " 2>" + errFile;
    const pid_t pid = fork();
    if (pid == 0) {
        // As a shell starts it, whatever this test program does with SIGPIPE.
        signal(SIGPIPE, SIG_DFL);
        dup2(ends[1], 1);
        close(ends[1]);
        execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

pid_t SpawnProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   const std::string& outFile, const std::string& cwd, int asUser) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    for (const std::string& e : env) putenv(strdup(e.c_str()));
    const int fd = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        dup2(fd, 1);
        dup2(fd, 2);
        close(fd);
    }
    if (asUser != -1 && (setgroups(0, nullptr) != 0 || setgid(static_cast<gid_t>(asUser)) != 0 ||
                         setuid(static_cast<uid_t>(asUser)) != 0))
        _exit(125);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

int WaitForProgram(pid_t pid, int seconds, bool killLate) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!killLate) return -1;
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

std::vector<std::string> FolderEntries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string OnAFullDisk(const std::string& commandLine) {
    return "(trap '' XFSZ; ulimit -f 2; exec " + commandLine + ")";
}

std::string StoppedAfterASecond(const std::string& commandLine, const std::string& signal) {
    return "timeout --preserve-status -k 10 -s " + signal + " 1 " + commandLine;
}

::testing::AssertionResult IsOneLineRefusal(const std::string& tool, const ProgramRun& run,
                                            const std::string& errFile, const std::string& says) {
    const std::string message = ReadFileText(errFile);
    if (run.code != 2) return ::testing::AssertionFailure() << "exit code " << run.code << "; stderr: " << message;
    if (!run.out.empty()) return ::testing::AssertionFailure() << "standard output: " << run.out;
    if (message.rfind(tool + ": ", 0) != 0 || message.find('\n') != message.size() - 1)
        return ::testing::AssertionFailure() << "not one line of " << tool << ": " << message;
    if (message.find(says) == std::string::npos)
        return ::testing::AssertionFailure() << "does not say \"" << says << "\": " << message;
    return ::testing::AssertionSuccess();
}
