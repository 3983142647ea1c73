// Helpers for tests: private temporary folders, a private HOME and XDG
// folders, a changed working folder, and whole-file reads and writes.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A fresh folder under /tmp, removed with everything in it at destruction.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::string& Path() const { return path_; }
    // Path() + "/" + name
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

// Points HOME, XDG_DATA_HOME and XDG_DOCUMENTS_DIR into a temporary folder
// for its lifetime (the other XDG folders then follow HOME), so no test
// touches the real ones.
class CScopedHome {
public:
    CScopedHome();
    ~CScopedHome();
    const std::string& Path() const { return dir_.Path(); }
    std::string DataHome() const { return dir_.Path() + "/data"; }
    std::string Documents() const { return dir_.Path() + "/documents"; }

private:
    CTempDir dir_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

// Changes the working folder for its lifetime.
class CScopedCwd {
public:
    explicit CScopedCwd(const std::string& path);
    ~CScopedCwd();

private:
    std::string saved_;
};

// Appends v in file order (little-endian).
void PutU32(std::vector<uint8_t>* out, uint32_t v);

// A pack of the layout the game's packs share (u32 count, count u32 offsets,
// then per entry u32 size, u32 name length, the name and the bytes), built by
// hand so readers are checked against the bytes and not against our writer.
using PackEntries = std::vector<std::pair<std::string, std::vector<uint8_t>>>;
std::vector<uint8_t> MakePack(const PackEntries& entries);

std::string CurrentDir();
// A program-wide start-up that stays (the headless world) says so: the tests
// after it keep the process state it leaves (tests/ProcessStateGuard.cpp).
void NoteProgramWideSetUp();
bool TakeProgramWideSetUp();
std::vector<uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteFileText(const std::string& path, const std::string& text);
std::string ReadFileText(const std::string& path);
// The names in a folder (without "." and ".."), sorted.
std::vector<std::string> FolderEntries(const std::string& dir);

// Runs a shell command line with standard error sent to errFile: its exit
// code (-1 when it did not exit) and everything it wrote to standard output.
struct ProgramRun {
    int code = -1;
    std::string out;
};
ProgramRun RunProgram(const std::string& commandLine, const std::string& errFile);
// Runs it with standard output a pipe whose reader has gone (as head's, once
// it has its lines): its exit code, 128 + the signal when a signal ended it.
int RunProgramWithoutReader(const std::string& commandLine, const std::string& errFile);
// Starts argv (argv[0] looked up on PATH) in a process group of its own,
// without waiting: in cwd (unless empty), with the environment changes
// ("NAME=value"), standard output and error going to outFile. With asUser
// not -1 (the caller must be root) it runs as that user and group, with no
// other groups. Its process id.
pid_t SpawnProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                   const std::string& outFile, const std::string& cwd, int asUser = -1);
// Waits at most seconds for the process to end: its exit code (128 + the
// signal when a signal ended it), or -1 when it runs on; then its whole
// process group is killed when killLate is set.
int WaitForProgram(pid_t pid, int seconds, bool killLate = true);

// The command line as on a full disk: a file it writes cannot grow past its
// first kilobyte (the write fails; SIGXFSZ is ignored so the program goes on).
std::string OnAFullDisk(const std::string& commandLine);
// The command line sent the signal ("INT", "TERM") after a second, and killed
// ten seconds later should it go on; its own exit code is kept.
std::string StoppedAfterASecond(const std::string& commandLine, const std::string& signal);
// A tool's refusal as its users rely on it: exit code 2, nothing on standard
// output, and one line "<tool>: ..." on standard error that holds says.
::testing::AssertionResult IsOneLineRefusal(const std::string& tool, const ProgramRun& run,
                                            const std::string& errFile, const std::string& says);
