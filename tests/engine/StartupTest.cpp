// Start-up of the real program: each missing resource file ends it with its
// own message and exit code 1, and one copy at a time owns a data folder. The
// program runs in a private copy of the run folder with a private HOME, on the
// dummy video and audio drivers.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "players/CProfile.h"
#include "tests/support/TestSupport.h"

namespace {

const std::string kMilestoneBinary = ZORV_MILESTONE_BINARY;

struct RunResult {
    int exitCode = -1;
    std::string output;
};

// Copies every regular file of the run folder except the programs.
void CopyRunFolder(const std::string& to) {
    DIR* d = opendir(ZORV_RUN_DIR);
    ASSERT_NE(d, nullptr);
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.rfind("resource", 0) != 0 && name.find(".ttf") == std::string::npos) continue;
        ASSERT_TRUE(WriteFileBytes(to + "/" + name, ReadFileBytes(std::string(ZORV_RUN_DIR) + "/" + name)));
    }
    closedir(d);
}

// The program gets a termination signal after the given seconds, which SDL
// turns into the window's quit event. Its standard error goes to errFile when
// one is given, else into the output.
RunResult RunProgram(const std::string& binary, const std::string& folder, const std::string& home,
                     const std::string& args, int seconds = 60, const std::string& errFile = "") {
    const std::string cmd = "cd '" + folder + "' && HOME='" + home + "' XDG_DATA_HOME='" + home +
                            "/data' SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -s TERM " +
                            std::to_string(seconds) + " '" + binary + "' " + args +
                            (errFile.empty() ? " 2>&1" : " 2>'" + errFile + "'");
    RunResult r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0) r.output.append(buf, n);
    const int status = pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// The environment of a game run with home as its HOME (and its data in
// dataHome, else in home/data).
std::vector<std::string> GameEnvironment(const std::string& home, const std::string& dataHome = "") {
    return {"HOME=" + home, "XDG_DATA_HOME=" + (dataHome.empty() ? home + "/data" : dataHome),
            "XDG_DOCUMENTS_DIR=" + home + "/documents", "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
}

// Starts the program windowed as RunProgram does (as user asUser when not
// -1), without waiting for it; its output goes to outFile.
pid_t StartProgram(const std::string& binary, const std::string& folder, const std::string& home,
                   const std::string& outFile, int asUser = -1, const std::string& extraEnv = "") {
    std::vector<std::string> env = GameEnvironment(home);
    if (!extraEnv.empty()) env.push_back(extraEnv);
    return SpawnProgram({binary, "1"}, env, outFile, folder, asUser);
}

// Starts the milestone program with args through the shell, which then
// becomes the program: its standard input, limits and standard error are
// set as the command line says ("ulimit -f 3; exec", "</dev/zero",
// "2>file"). The shell's own output goes to outFile.
pid_t StartThroughShell(const std::string& folder, const std::string& before, const std::string& args,
                        const std::string& after, const std::vector<std::string>& env, const std::string& outFile) {
    return SpawnProgram({"sh", "-c", before + " '" + kMilestoneBinary + "' " + args + " " + after}, env, outFile,
                        folder);
}

constexpr int kNobody = 65534;

// Hands home to an ordinary user when the tests run as root (to whom every
// file is writable): the user the program must then run as, else -1.
int OrdinaryUserFor(const std::string& home, const std::string& runFolder) {
    if (geteuid() != 0) return -1;
    EXPECT_EQ(system(("chown -R 65534:65534 '" + home + "'").c_str()), 0);
    EXPECT_EQ(chmod(home.c_str(), 0755), 0);
    EXPECT_EQ(chmod(runFolder.c_str(), 0755), 0);
    return kNobody;
}

// The data folder of the game run with home as its HOME.
std::string DataFolderOf(const std::string& home) { return home + "/data/Vormak Games/ZORV Data"; }

// Runs fn in this process with the game's folders in home, as a game started
// there finds them.
template <typename Fn>
void WithFoldersOf(const std::string& home, Fn fn) {
    const char* keep[] = {"HOME", "XDG_DATA_HOME"};
    std::string saved[2];
    for (int i = 0; i < 2; ++i) saved[i] = getenv(keep[i]) ? getenv(keep[i]) : "";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    ResetDirectories();
    InitDirectories();
    fn();
    for (int i = 0; i < 2; ++i) setenv(keep[i], saved[i].c_str(), 1);
    ResetDirectories();
}

// The last line of text, with its line end.
std::string LastLine(const std::string& text) {
    const size_t start = text.size() < 2 ? std::string::npos : text.rfind('\n', text.size() - 2);
    return start == std::string::npos ? text : text.substr(start + 1);
}

// Waits at most seconds for text in a file.
bool WaitForText(const std::string& file, const std::string& text, int seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < until && ReadFileText(file).find(text) == std::string::npos)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return ReadFileText(file).find(text) != std::string::npos;
}

// Every entry of a folder (the folder itself as ".") with its bytes and
// modification time.
std::map<std::string, std::pair<std::vector<uint8_t>, long long>> FolderState(const std::string& dir) {
    std::map<std::string, std::pair<std::vector<uint8_t>, long long>> state;
    DIR* d = opendir(dir.c_str());
    if (!d) return state;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "..") continue;
        const std::string path = dir + "/" + name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0) continue;
        const long long mtime = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
        state[name] = {S_ISREG(st.st_mode) ? ReadFileBytes(path) : std::vector<uint8_t>(), mtime};
    }
    closedir(d);
    return state;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { CopyRunFolder(run.Path()); }
    RunResult RunWithout(const char* file, const std::string& args = "1") {
        if (file) remove(run.File(file).c_str());
        return RunProgram(kMilestoneBinary, run.Path(), home.Path(), args);
    }
    CTempDir run;
    CTempDir home;
};

TEST_F(StartupTest, MissingParameterFileEndsAtStepFiveBeforeAnyWindow) {
    const RunResult r = RunWithout("resource8.dat");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("'MoreGames' URL has not been defined.\n"), std::string::npos) << r.output;
    // Nothing after the parameter file ran: no fonts, no display, no images.
    EXPECT_EQ(r.output.find("Loading FONT1_URL"), std::string::npos);
    EXPECT_EQ(r.output.find("Loading ICON_URL"), std::string::npos);
    EXPECT_EQ(r.output.find("ID_000"), std::string::npos);
    // The log goes into the profile folder, never into the data folder.
    const std::string log = ReadFileText(DataFolderOf(home.Path()) + "/LOG.TXT");
    EXPECT_NE(log.find("'MoreGames' URL has not been defined."), std::string::npos);
    EXPECT_FALSE(PlatformEntryExists(run.File("LOG.TXT")));
}

// Each resource file missing or damaged ends the start with its own message
// (exit code 1), beside a line that names the file by its full path, at the
// step that reads it.
TEST_F(StartupTest, AMissingOrDamagedResourceFileEndsWithItsMessageAndItsPath) {
    const struct {
        const char* file;
        bool damaged;  // else missing
        const char* message;
        const char* reached;  // null: the file is read before any milestone
        const char* never;
        size_t cutTo = 0;  // damaged: only its first bytes kept, whole lines of a table that lacks texts
    } rows[] = {
        {"resource8.dat", true, "'MoreGames' URL has not been defined.\n", nullptr, "Loading FONT1_URL"},
        {"resource5.dat", false, "FONTSYSTEM: Cannot load string data file.\n", nullptr, "Loading ICON_URL"},
        {"resource5.dat", true, "FONTSYSTEM: Attempted to load font file", nullptr, "first frame presented", 200},
        {"resource2.dat", false, "Cannot load resource file!\n", "ID_000:  INIT:  Image Load Started",
         "ID_000:  INIT:  Image Load Completed"},
        {"resource2.dat", true, "Cannot load resource file!\n", "ID_000:  INIT:  Image Load Started",
         "ID_000:  INIT:  Image Load Completed"},
        {"resource3.dat", false, "Cannot load sound resource file!\n", "ID_001:  INIT:  Sound Load Started", "ID_002"},
        {"resource4.dat", false, "Cannot load level resource file!\n", "ID_002:  INIT:  Level Load Started", "ID_003"},
        {"resource4.dat", true, "Cannot load level resource file!\n", "ID_002:  INIT:  Level Load Started", "ID_003"},
        {"resource9.dat", false, "Cannot load splash0 file!\n", nullptr, "first frame presented"},
        {"resource0.dat", false, "Unable to load image: ", nullptr, "ID_000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.file) + (row.damaged ? " damaged" : " missing"));
        CTempDir folder, h;
        CopyRunFolder(folder.Path());
        const std::string path = folder.File(row.file);
        std::vector<uint8_t> cut = ReadFileBytes(path);
        cut.resize(row.cutTo);
        if (row.cutTo)
            ASSERT_TRUE(WriteFileBytes(path, cut));
        else if (row.damaged)
            ASSERT_TRUE(WriteFileText(path, "damaged\n"));
        else
            ASSERT_EQ(remove(path.c_str()), 0);
        const RunResult r = RunProgram(kMilestoneBinary, folder.Path(), h.Path(), "1");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.output.find(row.message), std::string::npos) << r.output;
        const std::string named = "The resource file '" + path + (row.damaged ? "' is damaged\n" : "' is missing\n");
        EXPECT_NE(r.output.find(named), std::string::npos) << r.output;
        if (row.reached) {
            EXPECT_NE(r.output.find(row.reached), std::string::npos) << r.output;
        }
        EXPECT_EQ(r.output.find(row.never), std::string::npos) << r.output;
    }
}

// The full-screen option of the profile saved in home.
bool SavedFullscreen(const std::string& home) {
    bool fullscreen = false;
    WithFoldersOf(home, [&] {
        CProfile profile;
        fullscreen = profile.IsFullscreen() != 0;
    });
    return fullscreen;
}

TEST_F(StartupTest, FlagOneOpensWindowedAndTheProfileKeepsIt) {
    const RunResult r = RunProgram(kMilestoneBinary, run.Path(), home.Path(), "1", 4);
    ASSERT_NE(r.output.find("ID_900:  SHUTDOWN COMPLETED"), std::string::npos) << r.output;
    EXPECT_FALSE(SavedFullscreen(home.Path()));
}

TEST_F(StartupTest, NoFlagsKeepTheProfilesFullScreen) {
    for (const char* args : {"", "0"}) {
        CTempDir freshHome;
        const RunResult r = RunProgram(kMilestoneBinary, run.Path(), freshHome.Path(), args, 4);
        ASSERT_NE(r.output.find("ID_900:  SHUTDOWN COMPLETED"), std::string::npos) << args << r.output;
        EXPECT_TRUE(SavedFullscreen(freshHome.Path())) << "arguments '" << args << "'";
    }
}

// A game that ends while the player's progress cannot be written says so:
// exit code 1 and one line on standard error. Whether a save failed before
// (the first player's file at start-up) or the last save at the end is the
// first to fail: a setting changed (flag 1, a window) on a data folder that
// has become read-only, and a terminate signal at the main menu, which asks
// nothing.
// The line on standard error names the folder that refused the progress and
// why: the data folder itself, or the folder the player's file links to; or
// the file her link leads to, on a drive unmounted while the game runs,
// where nothing is written (the empty mount point stays empty); or the whole
// data folder, a link to a drive away at start: the menu says so, and
// nothing is written there, even once the drive is back while the game runs.
TEST_F(StartupTest, ProgressThatCannotBeSavedAtTheEndGivesExitCodeOne) {
    enum Row { FAILING_SINCE_START, FIRST_FAILING_AT_THE_END, LINKED_FOLDER_READ_ONLY, DRIVE_UNMOUNTED_WHILE_PLAYING,
               DATA_FOLDER_AWAY_AT_START };
    for (const Row row : {FAILING_SINCE_START, FIRST_FAILING_AT_THE_END, LINKED_FOLDER_READ_ONLY,
                          DRIVE_UNMOUNTED_WHILE_PLAYING, DATA_FOLDER_AWAY_AT_START}) {
        SCOPED_TRACE(row);
        CTempDir h;
        const std::string data = DataFolderOf(h.Path());
        const std::string linked = h.Path() + "/usb";
        int user = -1;
        std::vector<uint8_t> saved;
        std::string told = " in the data folder '" + data + "/': " + strerror(EACCES);
        std::map<std::string, std::pair<std::vector<uint8_t>, long long>> onDrive;
        if (row == FAILING_SINCE_START) {
            // Folders where the temporary files go refuse every write, root's too.
            for (const char* file : {"/INFOv3.DAT.tmp", "/PROFILE1v3.DAT.tmp"})
                ASSERT_TRUE(PlatformMakeDirs(data + file));
            told = " in the data folder '" + data + "/': " + strerror(EISDIR);
        } else {
            WithFoldersOf(h.Path(), [] { CProfile profile; });
            // Saved full screen (the options block's byte after the text, its
            // spare byte and three volumes), which flag 1 changes.
            saved = ReadFileBytes(data + "/PROFILE1v3.DAT");
            ASSERT_GT(saved.size(), 269u);
            saved[269] = 1;
            ASSERT_TRUE(WriteFileBytes(data + "/PROFILE1v3.DAT", saved));
            ASSERT_TRUE(SavedFullscreen(h.Path()));
            if (row == LINKED_FOLDER_READ_ONLY || row == DRIVE_UNMOUNTED_WHILE_PLAYING) {
                // The player's file lives on another drive, whose folder
                // cannot be written; the data folder can.
                ASSERT_TRUE(PlatformMakeDir(linked));
                ASSERT_EQ(rename((data + "/PROFILE1v3.DAT").c_str(), (linked + "/PROFILE1v3.DAT").c_str()), 0);
                ASSERT_EQ(symlink((linked + "/PROFILE1v3.DAT").c_str(), (data + "/PROFILE1v3.DAT").c_str()), 0);
                told = " in the folder '" + linked + "/', where '" + data + "/PROFILE1v3.DAT' leads: " +
                       strerror(EACCES);
            }
            if (row == DATA_FOLDER_AWAY_AT_START) {
                ASSERT_TRUE(PlatformMakeDir(linked));
                ASSERT_EQ(rename(data.c_str(), (linked + "/ZORV Data").c_str()), 0);
                ASSERT_EQ(symlink((linked + "/ZORV Data").c_str(), data.c_str()), 0);
                onDrive = FolderState(linked + "/ZORV Data");
                ASSERT_EQ(rename(linked.c_str(), (linked + " (unmounted)").c_str()), 0);
                told = " in the data folder '" + data + "/': it could not be reached when the game started ('" +
                       linked + "/ZORV Data/': " + strerror(ENOENT) + "), so nothing was written there";
            } else if (row == DRIVE_UNMOUNTED_WHILE_PLAYING) {
                told = ": '" + linked + "/PROFILE1v3.DAT' cannot be reached now: " + strerror(ENOENT);
            } else {
                user = OrdinaryUserFor(h.Path(), run.Path());
                ASSERT_EQ(chmod(row == LINKED_FOLDER_READ_ONLY ? linked.c_str() : data.c_str(), 0555), 0);
            }
        }
        const std::string out = h.File("out.txt");
        const pid_t pid = StartProgram(kMilestoneBinary, run.Path(), h.Path(), out, user);
        ASSERT_GT(pid, 0);
        const char* const waitFor = row == FAILING_SINCE_START        ? "first frame presented"
                                    : row == DATA_FOLDER_AWAY_AT_START ? "Loading Controller:  Message (Damaged Profile)"
                                                                       : "Loading Controller:  Main Menu";
        const bool reached = WaitForText(out, waitFor, 60);
        if (row == DATA_FOLDER_AWAY_AT_START) {
            ASSERT_EQ(rename((linked + " (unmounted)").c_str(), linked.c_str()), 0);
        }
        if (row == DRIVE_UNMOUNTED_WHILE_PLAYING) {
            ASSERT_EQ(rename(linked.c_str(), (linked + " (unmounted)").c_str()), 0);
            ASSERT_TRUE(PlatformMakeDir(linked));
        }
        kill(pid, SIGTERM);  // a logout: the game ends without asking
        const int code = WaitForProgram(pid, 30);
        chmod(data.c_str(), 0755);
        chmod(linked.c_str(), 0755);
        ASSERT_TRUE(reached) << ReadFileText(out);
        EXPECT_EQ(code, 1) << ReadFileText(out);
        const std::string text = ReadFileText(out);
        EXPECT_NE(text.find("ID_900:  SHUTDOWN COMPLETED"), std::string::npos) << text;
        EXPECT_NE(text.find("\nzorv: the progress could not be saved" + told + "\n"), std::string::npos) << text;
        if (row == DRIVE_UNMOUNTED_WHILE_PLAYING) {
            EXPECT_TRUE(FolderEntries(linked).empty());
            ASSERT_EQ(rmdir(linked.c_str()), 0);
            ASSERT_EQ(rename((linked + " (unmounted)").c_str(), linked.c_str()), 0);
        }
        if (row != FAILING_SINCE_START) {
            EXPECT_EQ(ReadFileBytes(data + "/PROFILE1v3.DAT"), saved);
        }
        if (row == DATA_FOLDER_AWAY_AT_START) {
            EXPECT_TRUE(FolderState(linked + "/ZORV Data") == onDrive) << "the game wrote into the folder back";
        }
    }
}

TEST_F(StartupTest, FlagSixStartsWithoutSound) {
    // 7, all flags, the largest number there is.
    for (const char* args : {"6", "7"}) {
        const RunResult r = RunProgram(kMilestoneBinary, run.Path(), home.Path(), args, 4);
        EXPECT_NE(r.output.find("ID_900:  SHUTDOWN COMPLETED"), std::string::npos) << args << r.output;
        // Without the sound system nothing asks for an output on the console.
        EXPECT_EQ(r.output.find("Sound output"), std::string::npos) << args;
    }
}

// Where no window can be opened (DISPLAY names no X server, or none), the
// game says so in one line and ends with exit code 1, instead of drawing
// itself as text over the terminal; a video driver the user chose himself
// (SDL_VIDEODRIVER) is used as he chose.
TEST_F(StartupTest, WithoutADisplayTheGameRefusesInOneLineUnlessTheUserChoseAVideoDriver) {
    int number = 4242;
    while (PlatformFileExists("/tmp/.X11-unix/X" + std::to_string(number))) ++number;
    const std::string noServer = ":" + std::to_string(number);
    const std::string errFile = run.File("err.txt");
    const struct {
        std::string environment;
        int exitCode;  // -1: runs until it is told to end
        std::string says;
    } rows[] = {
        {"-u SDL_VIDEODRIVER DISPLAY=" + noServer, 1,
         "zorv: cannot open the display '" + noServer + "' (another video driver: set SDL_VIDEODRIVER)\n"},
        {"-u SDL_VIDEODRIVER -u DISPLAY", 1,
         "zorv: cannot open the display: DISPLAY is not set (another video driver: set SDL_VIDEODRIVER)\n"},
        {"SDL_VIDEODRIVER=dummy DISPLAY=" + noServer, -1, ""},
    };
    for (const auto& r : rows) {
        const std::string cmd = "cd '" + run.Path() + "' && env " + r.environment + " HOME='" + home.Path() +
                                "' XDG_DATA_HOME='" + home.Path() + "/data' SDL_AUDIODRIVER=dummy timeout -s TERM 6 '" +
                                kMilestoneBinary + "' 3 </dev/null 2>'" + errFile + "'";
        FILE* p = popen(cmd.c_str(), "r");
        ASSERT_NE(p, nullptr);
        std::string output;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
        const int status = pclose(p);
        if (r.exitCode == 1) {
            EXPECT_EQ(WEXITSTATUS(status), 1) << r.environment;
            EXPECT_EQ(ReadFileText(errFile), r.says) << r.environment;
            EXPECT_EQ(output.find("first frame presented"), std::string::npos) << r.environment;
        } else {
            EXPECT_NE(output.find("first frame presented"), std::string::npos) << r.environment;
            EXPECT_EQ(ReadFileText(errFile).find("cannot open the display"), std::string::npos) << r.environment;
        }
    }
}

TEST_F(StartupTest, HelpTellsTheFlagsAndAnythingButANumberOfFlagsIsRefusedBeforeAnythingOpens) {
    const std::string errFile = run.File("err.txt");
    RunResult r = RunProgram(ZORV_BINARY, run.Path(), home.Path(), "--help", 4, errFile);
    EXPECT_EQ(r.exitCode, 0);
    for (const char* flag : {"1  a window", "2  no sound", "4  choose the sound output"})
        EXPECT_NE(r.output.find(flag), std::string::npos) << flag << "\n" << r.output;
    EXPECT_EQ(ReadFileText(errFile), "");
    // A usage that cannot be written is no answer.
    r = RunProgram(ZORV_BINARY, run.Path(), home.Path(), "--help >/dev/full", 4, errFile);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(ReadFileText(errFile), "zorv: cannot write the standard output: No space left on device\n");
    // An option it does not know is named as one; the rest is no number of flags.
    const std::pair<const char*, const char*> refused[] = {
        {"abc", ""}, {"1 2", ""}, {"8", ""}, {"-1", ""}, {"1x", ""},
        {"--version", "--version"}, {"-h", "-h"}, {"1 --fast", "--fast"}};
    for (const auto& [args, option] : refused) {
        r = RunProgram(ZORV_BINARY, run.Path(), home.Path(), args, 4, errFile);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_EQ(r.output, "") << args;
        const std::string message = ReadFileText(errFile);
        EXPECT_EQ(message.rfind("zorv: ", 0), 0u) << args << ": " << message;
        EXPECT_EQ(message.find('\n'), message.size() - 1) << args << ": " << message;
        if (*option) {
            EXPECT_EQ(message, std::string("zorv: unknown option ") + option + "; see zorv --help\n") << args;
        }
    }
    // Nothing was opened: no data folder, no log.
    EXPECT_TRUE(FolderEntries(home.Path()).empty());
    EXPECT_FALSE(PlatformFileExists(run.File("LOG.TXT")));
}

TEST_F(StartupTest, OneCopyAtATimeOwnsTheDataFolderAndAKilledCopyDoesNotKeepIt) {
    const std::string data = home.Path() + "/data/Vormak Games/ZORV Data";
    // The first copy starts on a home without a data folder and plays on.
    const std::string firstOut = run.File("first.txt");
    const pid_t first = StartProgram(kMilestoneBinary, run.Path(), home.Path(), firstOut);
    ASSERT_GT(first, 0);
    struct Stop {
        pid_t pid;
        void Now() {
            if (pid <= 0) return;
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
        ~Stop() { Now(); }
    } stopFirst{first};
    ASSERT_TRUE(WaitForText(firstOut, "first frame presented", 60)) << ReadFileText(firstOut);
    const auto before = FolderState(data);
    ASSERT_TRUE(before.count("INFOv3.DAT"));

    // The second ends on its own before its window, saying why on one line,
    // and the data folder is as it was, to the modification times.
    const std::string errFile = run.File("second-err.txt");
    const RunResult second = RunProgram(kMilestoneBinary, run.Path(), home.Path(), "1", 60, errFile);
    EXPECT_EQ(second.exitCode, 1) << second.output;
    EXPECT_EQ(ReadFileText(errFile), "zorv: the game is already running for the data folder '" + data + "/'\n");
    EXPECT_EQ(second.output.find("Loading FONT1_URL"), std::string::npos) << second.output;
    EXPECT_TRUE(FolderState(data) == before);
    EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the first copy ended";

    // A copy that is killed leaves its lock file behind, but not its lock.
    stopFirst.Now();
    const RunResult third = RunProgram(kMilestoneBinary, run.Path(), home.Path(), "1", 4);
    EXPECT_NE(third.output.find("ID_900:  SHUTDOWN COMPLETED"), std::string::npos) << third.output;
}

// Whatever stands where the lock file should be, a second copy is refused:
// the folder itself is locked, and the lock file as well as long as it can be
// opened at all: a folder, or a file or pipe the game may only read (one of
// another user), is locked through a descriptor for reading, and a pipe
// never stops the game. As root, to whom every file is writable, both copies
// run as an ordinary user for those. A socket is opened neither way.
TEST_F(StartupTest, ASecondCopyIsRefusedThoughTheLockFileCannotBeWritten) {
    enum Kind { FOLDER, READ_ONLY_FILE, READ_ONLY_FIFO, SOCKET };
    for (const Kind kind : {FOLDER, READ_ONLY_FILE, READ_ONLY_FIFO, SOCKET}) {
        SCOPED_TRACE(kind);
        CTempDir h;
        const std::string data = DataFolderOf(h.Path());
        ASSERT_TRUE(PlatformMakeDirs(data));
        const std::string lock = data + "/GAME.LOCK";
        int user = -1;
        if (kind == FOLDER) {
            ASSERT_EQ(mkdir(lock.c_str(), 0755), 0);
        } else if (kind == SOCKET) {
            const int s = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            ASSERT_LT(lock.size(), sizeof address.sun_path);
            memcpy(address.sun_path, lock.c_str(), lock.size());
            ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            close(s);
        } else {
            if (kind == READ_ONLY_FILE)
                ASSERT_TRUE(WriteFileText(lock, ""));
            else
                ASSERT_EQ(mkfifo(lock.c_str(), 0444), 0);
            user = OrdinaryUserFor(h.Path(), run.Path());
            if (user != -1) {
                ASSERT_EQ(chown(lock.c_str(), 0, 0), 0);
            }
            ASSERT_EQ(chmod(lock.c_str(), 0444), 0);
        }
        const std::string firstOut = h.File("first.txt");
        const pid_t first = StartProgram(kMilestoneBinary, run.Path(), h.Path(), firstOut, user);
        ASSERT_GT(first, 0);
        const bool started = WaitForText(firstOut, "first frame presented", 60);
        const std::string secondOut = h.File("second.txt");
        const int second =
            started ? WaitForProgram(StartProgram(kMilestoneBinary, run.Path(), h.Path(), secondOut, user), 20) : -1;
        kill(first, SIGKILL);
        waitpid(first, nullptr, 0);
        ASSERT_TRUE(started) << ReadFileText(firstOut);
        EXPECT_EQ(second, 1) << ReadFileText(secondOut);
        EXPECT_NE(ReadFileText(secondOut).find("the game is already running"), std::string::npos)
            << ReadFileText(secondOut);
        // The folder's lock keeps the second copy out, so the first one does
        // not warn of an unlocked folder.
        EXPECT_EQ(ReadFileText(firstOut).find("Data Folder Not Locked"), std::string::npos) << ReadFileText(firstOut);
    }
}

// Where no lock can be taken at all, and not because another copy holds it
// (a file system that keeps no locks), the game runs, logs it and tells the
// player on the main menu.
TEST_F(StartupTest, AFolderThatCannotBeLockedIsToldOnTheMainMenuAndTheGameRuns) {
    const std::string out = run.File("out.txt");
    const pid_t pid =
        StartProgram(kMilestoneBinary, run.Path(), home.Path(), out, -1, std::string("LD_PRELOAD=") + ZORV_FAILING_LOCK);
    ASSERT_GT(pid, 0);
    const bool told = WaitForText(out, "Loading Controller:  Message (Data Folder Not Locked)", 60);
    kill(pid, SIGTERM);
    EXPECT_EQ(WaitForProgram(pid, 30), 0) << ReadFileText(out);
    ASSERT_TRUE(told) << ReadFileText(out);
    const std::string text = ReadFileText(out);
    EXPECT_NE(text.find("Cannot lock the profile folder '" + DataFolderOf(home.Path()) + "/'"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("already running"), std::string::npos) << text;
}

// Neither deleting GAME.LOCK (an empty file that looks disposable) nor the
// whole data folder lets a second copy write over the first one's files: the
// folder itself stays locked, and the first copy writes nothing into a new
// folder that a second copy made in its place. Its quit then says its
// progress was not saved.
TEST_F(StartupTest, ADeletedLockFileOrDataFolderLetsNoSecondCopyWriteOverTheFirst) {
    const std::string data = DataFolderOf(home.Path());
    WithFoldersOf(home.Path(), [] {
        CProfile profile;
        ASSERT_TRUE(profile.CreateProfile("Ann"));
    });
    const std::string firstOut = run.File("first.txt");
    const pid_t first = StartProgram(kMilestoneBinary, run.Path(), home.Path(), firstOut);
    ASSERT_GT(first, 0);
    struct Stop {
        pid_t pid;
        ~Stop() {
            if (pid <= 0) return;  // never kill(-1): that is every process
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    } stopFirst{first};
    ASSERT_TRUE(WaitForText(firstOut, "first frame presented", 60)) << ReadFileText(firstOut);

    ASSERT_EQ(remove((data + "/GAME.LOCK").c_str()), 0);
    const std::string errFile = run.File("second-err.txt");
    RunResult second = RunProgram(kMilestoneBinary, run.Path(), home.Path(), "1", 60, errFile);
    EXPECT_EQ(second.exitCode, 1) << second.output;
    EXPECT_EQ(ReadFileText(errFile), "zorv: the game is already running for the data folder '" + data + "/'\n");

    // A second copy in a new data folder, with a player list of its own.
    ASSERT_EQ(system(("rm -rf '" + data + "'").c_str()), 0);
    second = RunProgram(kMilestoneBinary, run.Path(), home.Path(), "1", 4, errFile);
    ASSERT_NE(second.output.find("ID_900:  SHUTDOWN COMPLETED"), std::string::npos) << second.output;
    const auto before = FolderState(data);
    ASSERT_TRUE(before.count("INFOv3.DAT"));

    kill(first, SIGTERM);
    EXPECT_EQ(WaitForProgram(first, 30), 1) << ReadFileText(firstOut);
    stopFirst.pid = -1;
    const std::string text = ReadFileText(firstOut);
    EXPECT_NE(text.find("\nzorv: the progress could not be saved in the data folder '" + data +
                        "/': it is no longer the folder this game locked\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(FolderState(data) == before) << "the first copy wrote into the second copy's data folder";
    WithFoldersOf(home.Path(), [] {
        CProfile profile;
        EXPECT_EQ(profile.GetProfileNumber("Ann"), -1);
        EXPECT_EQ(profile.GetProfileCount(), 1);
    });
}

// A program the game starts (the browser) holds nothing of the lock: it
// would keep the data folder locked after the game has ended.
TEST(StartupLock, AProgramTheGameStartsDoesNotHoldTheLock) {
    CTempDir dir;
    const std::string lock = dir.File("GAME.LOCK");
    ASSERT_EQ(PlatformHoldFileLock(lock), PLATFORM_LOCK_TAKEN);
    const std::string folder = dir.File("data");
    ASSERT_TRUE(PlatformMakeDir(folder));
    PlatformFileId locked;
    ASSERT_EQ(PlatformHoldFolderLock(folder, &locked), PLATFORM_LOCK_TAKEN);
    // A stand-in browser lists the files it holds open.
    const std::string held = dir.File("held.txt");
    ASSERT_TRUE(WriteFileText(dir.File("xdg-open"), "#!/bin/sh\nfor f in /proc/$$/fd/*; do readlink \"$f\"; done >'" +
                                                          held + ".part'\nmv '" + held + ".part' '" + held + "'\n"));
    ASSERT_EQ(chmod(dir.File("xdg-open").c_str(), 0755), 0);
    const std::string path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (dir.Path() + ":" + path).c_str(), 1);
    const bool opened = PlatformOpenURL("http://example.invalid/");
    setenv("PATH", path.c_str(), 1);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(WaitForText(held, "\n", 10));
    EXPECT_EQ(ReadFileText(held).find(lock), std::string::npos) << ReadFileText(held);
    EXPECT_EQ(ReadFileText(held).find(folder), std::string::npos) << ReadFileText(held);
}

// The console dialogue (flag 4) never keeps the game from starting or from
// ending: input that never answers (a file of zeros) is given up after its
// bound with a line, the default output kept, and the game starts; a
// terminate signal while the dialogue waits on a silent console ends the
// game there, before its window opens, as it ends a game that runs.
TEST_F(StartupTest, TheConsoleDialogueGivesUpOnInputThatNeverAnswersAndEndsOnASignal) {
    enum Row { ZEROS, SILENT_UNTIL_TERMINATED };
    for (const Row row : {ZEROS, SILENT_UNTIL_TERMINATED}) {
        SCOPED_TRACE(row);
        CTempDir h;
        const std::string out = h.File("out.txt");
        // A pipe opened for both reading and writing never ends and never
        // answers.
        const std::string silent = h.File("console");
        ASSERT_EQ(mkfifo(silent.c_str(), 0600), 0);
        const pid_t pid = StartThroughShell(run.Path(), "exec", "5", row == ZEROS ? "</dev/zero" : "<>'" + silent + "'",
                                            GameEnvironment(h.Path()), out);
        ASSERT_GT(pid, 0);
        const bool reached = WaitForText(out, row == ZEROS ? "first frame presented" : "desired sound system", 60);
        kill(pid, SIGTERM);
        const int code = WaitForProgram(pid, 30);
        const std::string text = ReadFileText(out);
        ASSERT_TRUE(reached) << text;
        EXPECT_EQ(code, 0) << text;
        if (row == ZEROS) {
            EXPECT_NE(text.find("No answer among the characters typed: default sound output kept\n"), std::string::npos)
                << text;
        } else {
            EXPECT_EQ(text.find("ID_000"), std::string::npos) << text;
        }
        EXPECT_FALSE(PlatformFileExists(DataFolderOf(h.Path()) + "/SOUNDv3.DAT"));
    }
}

// Pipes where the game reads its files never stop its start: one as the
// sound settings, one under the name the copy of a damaged player's file
// would take (the copy takes the next name), and one as the window's icon
// (the game goes on without one). They are left as they are.
TEST_F(StartupTest, PipesInPlaceOfItsFilesDoNotStopTheStart) {
    const std::string data = DataFolderOf(home.Path());
    WithFoldersOf(home.Path(), [] { CProfile profile; });
    std::vector<uint8_t> cut = ReadFileBytes(data + "/PROFILE1v3.DAT");
    cut.resize(cut.size() - 5);
    ASSERT_TRUE(WriteFileBytes(data + "/PROFILE1v3.DAT", cut));
    for (const char* name : {"/SOUNDv3.DAT", "/PROFILE1v3.DAT.damaged"})
        ASSERT_EQ(mkfifo((data + name).c_str(), 0644), 0);
    ASSERT_EQ(remove(run.File("resource7.dat").c_str()), 0);
    ASSERT_EQ(mkfifo(run.File("resource7.dat").c_str(), 0644), 0);
    const std::string out = run.File("out.txt");
    const pid_t pid = StartProgram(kMilestoneBinary, run.Path(), home.Path(), out);
    ASSERT_GT(pid, 0);
    const bool started = WaitForText(out, "first frame presented", 60);
    kill(pid, SIGTERM);
    const int code = WaitForProgram(pid, 30);
    ASSERT_TRUE(started) << ReadFileText(out);
    EXPECT_EQ(code, 0) << ReadFileText(out);
    EXPECT_EQ(ReadFileBytes(data + "/PROFILE1v3.DAT.damaged2"), cut);
    for (const char* name : {"/SOUNDv3.DAT", "/PROFILE1v3.DAT.damaged"}) {
        struct stat st;
        ASSERT_EQ(lstat((data + name).c_str(), &st), 0) << name;
        EXPECT_TRUE(S_ISFIFO(st.st_mode)) << name;
    }
}

// Under a file-size limit (ulimit -f) a save that would pass it fails as on
// a full disk instead of killing the game: it runs on, says at its end that
// the progress could not be saved (exit code 1), and leaves no temporary
// file behind. The limit (1.5 kB in the shell's blocks of 512 bytes) takes
// the list, standard error's lines and not the player's file.
TEST_F(StartupTest, AFileSizeLimitFailsTheSaveInsteadOfEndingTheGame) {
    const std::string data = DataFolderOf(home.Path());
    const std::string err = run.File("err.txt");
    const pid_t pid = StartThroughShell(run.Path(), "ulimit -f 3; exec", "3", ">/dev/null 2>'" + err + "'",
                                        GameEnvironment(home.Path()), run.File("out.txt"));
    ASSERT_GT(pid, 0);
    // The list is written (it is small), the first player's file is not.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    siginfo_t ended = {};
    while (std::chrono::steady_clock::now() < until && !PlatformFileExists(data + "/INFOv3.DAT") &&
           waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(pid, SIGTERM);
    EXPECT_EQ(WaitForProgram(pid, 60), 1);
    EXPECT_EQ(LastLine(ReadFileText(err)),
              "zorv: the progress could not be saved in the data folder '" + data + "/': " + strerror(EFBIG) + "\n");
    EXPECT_FALSE(PlatformFileExists(data + "/PROFILE1v3.DAT"));
    for (const std::string& name : FolderEntries(data))
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

// The game's own lines on standard error show the control characters of a
// path, and its bytes that are no UTF-8, written out as the tools do: a data
// folder named with an escape sequence sends the terminal nothing. The
// refusal of a second copy (the folder is locked here by another process),
// and the end of a game whose progress could not be saved, with the log's
// lines before it.
TEST_F(StartupTest, ThePathsInTheGamesOwnLinesAreWrittenOut) {
    const std::string dataHome = home.Path() + "/d\xff\x1b[31m";
    const std::string data = dataHome + "/Vormak Games/ZORV Data";
    const std::string shown = home.Path() + "/d\\xff\\x1b[31m/Vormak Games/ZORV Data/";
    ASSERT_TRUE(PlatformMakeDirs(data));
    const std::string err = run.File("err.txt");
    enum Row { SECOND_COPY, NOT_SAVED };
    for (const Row row : {SECOND_COPY, NOT_SAVED}) {
        SCOPED_TRACE(row);
        int locked[2] = {-1, -1};
        struct Holder {
            pid_t pid = -1;
            ~Holder() {
                if (pid <= 0) return;  // never kill(-1): that is every process
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        } holder;
        if (row == SECOND_COPY) {
            // Another process holds the folder's lock, as a first copy does.
            ASSERT_EQ(pipe(locked), 0);
            holder.pid = fork();
            if (holder.pid == 0) {
                PlatformFileId id;
                const bool taken = PlatformHoldFolderLock(data, &id) == PLATFORM_LOCK_TAKEN;
                if (write(locked[1], taken ? "y" : "n", 1) != 1) _exit(1);
                pause();
                _exit(0);
            }
            char taken = 0;
            ASSERT_EQ(read(locked[0], &taken, 1), 1);
            ASSERT_EQ(taken, 'y');
        } else {
            // Folders where the temporary files go refuse every save.
            for (const char* file : {"/INFOv3.DAT.tmp", "/PROFILE1v3.DAT.tmp"})
                ASSERT_TRUE(PlatformMakeDirs(data + file));
        }
        const std::string out = run.File("out.txt");
        const pid_t pid =
            StartThroughShell(run.Path(), "exec", "3", "2>'" + err + "'", GameEnvironment(home.Path(), dataHome), out);
        ASSERT_GT(pid, 0);
        if (row == NOT_SAVED) {
            EXPECT_TRUE(WaitForText(out, "first frame presented", 60)) << ReadFileText(out);
            kill(pid, SIGTERM);
        }
        EXPECT_EQ(WaitForProgram(pid, 60), 1) << ReadFileText(out);
        for (const int fd : locked)
            if (fd >= 0) close(fd);
        EXPECT_EQ(LastLine(ReadFileText(err)),
                  row == SECOND_COPY ? "zorv: the game is already running for the data folder '" + shown + "'\n"
                                     : "zorv: the progress could not be saved in the data folder '" + shown +
                                           "': " + strerror(EISDIR) + "\n");
        EXPECT_EQ(ReadFileText(err).find('\x1b'), std::string::npos) << ReadFileText(err);
    }
}

}  // namespace
