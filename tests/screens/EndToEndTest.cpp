// The real program under a private X server: it starts in a temporary HOME,
// shows the intro and the main menu, and quits with exit code 0 when the
// menu's quit button is clicked or Alt+Q is pressed. The build used here
// prints the start-up and shut-down milestones and the sprite report, which
// the shipped program keeps quiet.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "players/CProfile.h"
#include "screens/CControllerScoreboard.h"
#include "tests/support/CScoreTestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

bool HaveProgram(const char* name) {
    const std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
    return system(cmd.c_str()) == 0;
}

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Starts argv with the environment changes, output to outFile; returns the pid.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& outFile,
            const std::string& cwd) {
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
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// Waits for the process; -1 when it did not end in time (it is then killed
// when kill is set).
int WaitFor(pid_t pid, int seconds, bool killLate = true) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!killLate) return -1;
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

// Waits for text in the program's output; false when the time is up or the
// program has ended (its exit code then goes to *exitCode).
bool WaitForText(pid_t pid, int* exitCode, const std::string& file, const std::string& text, int seconds) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        if (ReadFileText(file).find(text) != std::string::npos) return true;
        int status = 0;
        if (*exitCode == -1 && waitpid(pid, &status, WNOHANG) == pid) {
            *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return ReadFileText(file).find(text) != std::string::npos;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// CPU time (user + system) of a process in milliseconds, from /proc.
long CpuMilliseconds(pid_t pid) {
    const std::string stat = ReadFileText("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::vector<std::string> fields;
    size_t pos = close + 2;
    while (pos < stat.size()) {
        const size_t next = stat.find(' ', pos);
        fields.push_back(stat.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
        if (next == std::string::npos) break;
        pos = next + 1;
    }
    if (fields.size() < 13) return -1;
    const long ticks = atol(fields[11].c_str()) + atol(fields[12].c_str());
    return ticks * 1000 / sysconf(_SC_CLK_TCK);
}

// A private X server on the first free display number from 90 on. It must
// not reset when its last client leaves: a program connecting during the
// reset would be turned away.
class XServer {
public:
    XServer() {
        for (int n = 90; n < 200; ++n) {
            if (Exists("/tmp/.X11-unix/X" + std::to_string(n)) || Exists("/tmp/.X" + std::to_string(n) + "-lock"))
                continue;
            display_ = ":" + std::to_string(n);
            pid_ = Spawn({"Xvfb", display_, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"}, {},
                         log_.File("xvfb.log"), "");
            const auto end = Clock::now() + std::chrono::seconds(10);
            while (Clock::now() < end) {
                // Ready once a client can talk to it, and it is ours: tests
                // running side by side may both try the same number, and the
                // loser must not talk to the winner's server.
                if (OwnsLock(n) && Exists("/tmp/.X11-unix/X" + std::to_string(n)) &&
                    system(("DISPLAY=" + display_ + " xdotool getmouselocation >/dev/null 2>&1").c_str()) == 0)
                    return;
                int status;
                if (waitpid(pid_, &status, WNOHANG) == pid_) break;  // that number was taken after all
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        display_.clear();
    }
    ~XServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            if (WaitFor(pid_, 5) == -1) kill(pid_, SIGKILL);
        }
    }
    bool Running() const { return pid_ > 0; }
    const std::string& Display() const { return display_; }

private:
    // The X server writes its process id into the display's lock file.
    bool OwnsLock(int n) const {
        const std::string text = ReadFileText("/tmp/.X" + std::to_string(n) + "-lock");
        return !text.empty() && atol(text.c_str()) == static_cast<long>(pid_);
    }

    CTempDir log_;
    std::string display_;
    pid_t pid_ = -1;
};

int Xdotool(const std::string& display, const std::string& args) {
    const std::string cmd = "DISPLAY=" + display + " xdotool " + args + " >/dev/null 2>&1";
    return system(cmd.c_str());
}

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveProgram("Xvfb") || !HaveProgram("xdotool")) GTEST_SKIP() << "Xvfb or xdotool missing";
        server.reset(new XServer());
        ASSERT_TRUE(server->Running()) << "no free display for Xvfb";
    }
    void TearDown() override {
        if (pid > 0 && exited == -1) WaitFor(pid, 0);  // kills a program left running by a failed check
        server.reset();
    }

    // Starts the program windowed in the temporary HOME and waits for the
    // main menu.
    void StartAndReachMenu() {
        out = work.File("stdout.txt");
        const std::string h = home.Path();
        startedAt = Clock::now();
        std::vector<std::string> env = {"DISPLAY=" + server->Display(), "HOME=" + h, "XDG_DATA_HOME=" + h + "/data",
                                        "XDG_DOCUMENTS_DIR=" + h + "/documents", "SDL_AUDIODRIVER=dummy",
                                        "SDL_VIDEODRIVER=x11"};
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        pid = Spawn({ZORV_MILESTONE_BINARY, "1"}, env, out, ZORV_RUN_DIR);
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(WaitForText(pid, &exited, out, "ID_003:  INIT:  Miscellaneous Load Completed", 60))
            << ReadFileText(out);
        // Skip the intro with a click once its logo is in, as a player would.
        ASSERT_EQ(Xdotool(server->Display(), "search --sync --name Professor"), 0);
        const auto menuBy = Clock::now() + std::chrono::seconds(30);
        while (Clock::now() < menuBy && ReadFileText(out).find("Loading Controller:  Main Menu") == std::string::npos) {
            Xdotool(server->Display(), "mousemove 400 300 click 1");
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        ASSERT_NE(ReadFileText(out).find("Loading Controller:  Main Menu"), std::string::npos) << ReadFileText(out);
    }

    void CheckCleanEnd(int code) {
        const std::string text = ReadFileText(out);
        EXPECT_EQ(code, 0) << text;
        // Every milestone, in order.
        const char* milestones[] = {
            "ID_000:  INIT:  Image Load Started",       "ID_000:  INIT:  Image Load Completed",
            "ID_001:  INIT:  Sound Load Started",       "ID_001:  INIT:  Sound Load Completed",
            "ID_002:  INIT:  Level Load Started",       "ID_002:  INIT:  Level Load Completed",
            "ID_003:  INIT:  Miscellaneous Load Started", "ID_003:  INIT:  Miscellaneous Load Completed",
            "ID_900:  SHUTDOWN COMPLETED",
        };
        size_t at = 0;
        for (const char* m : milestones) {
            const size_t found = text.find(m, at);
            EXPECT_NE(found, std::string::npos) << "missing or out of order: " << m;
            if (found != std::string::npos) at = found;
        }
        EXPECT_NE(text.find("main()  All sprites have been properly unloaded"), std::string::npos) << text;
        // LOG.TXT (if anything was logged at all) holds no fatal line.
        const std::string log = ReadFileText(home.Path() + "/data/Vormak Games/ZORV Data/LOG.TXT");
        for (const char* fatal : {"Cannot load", "Unable to", "Unable to find", "has not been defined"})
            EXPECT_EQ(log.find(fatal), std::string::npos) << log;
    }

    std::unique_ptr<XServer> server;
    // More of the program's environment, for a test's own settings.
    std::vector<std::string> extraEnv;
    CTempDir home;
    CTempDir work;
    std::string out;
    pid_t pid = -1;
    int exited = -1;
    Clock::time_point startedAt;
};

TEST_F(EndToEndTest, QuitButtonEndsTheProgramCleanly) {
    StartAndReachMenu();
    if (HasFatalFailure()) return;
    // Let the menu settle, then measure the idle cost of its frames.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const long cpu0 = CpuMilliseconds(pid);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(4));
    const long cpu1 = CpuMilliseconds(pid);
    const double wallMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    const double frames = wallMs / 33.0;
    if (cpu0 >= 0 && cpu1 >= 0) {
        const double perFrame = (cpu1 - cpu0) / frames;
        printf("MEASURE:  main menu idle CPU %.3f ms per frame (%.1f%% of one core)\n", perFrame,
               100.0 * (cpu1 - cpu0) / wallMs);
        RecordProperty("idle_cpu_ms_per_frame", std::to_string(perFrame));
    }

    // The quit button: the last of the column, its place depends on whether
    // the maker's-page button exists.
    LoadParameters((std::string(ZORV_RUN_DIR) + "/resource8.dat").c_str());
    const int slot = UseMoreGames() ? 8 : 7;
    const int y = 9 + 53 * slot + 20;
    // A busy machine can lose the first click; a second one is harmless.
    int code = -1;
    for (int attempt = 0; attempt < 3 && code == -1; ++attempt) {
        Xdotool(server->Display(), "mousemove 680 " + std::to_string(y));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Xdotool(server->Display(), "click 1");
        code = WaitFor(pid, 10, attempt == 2);
    }
    exited = code;
    CheckCleanEnd(code);
    const std::string text = ReadFileText(out);
    const size_t m = text.find("MEASURE:  first frame presented after ");
    if (m != std::string::npos) printf("%s\n", text.substr(m, text.find('\n', m) - m).c_str());
}

TEST_F(EndToEndTest, AltQEndsTheProgramCleanly) {
    StartAndReachMenu();
    if (HasFatalFailure()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Xdotool(server->Display(), "key alt+q");
    const int code = WaitFor(pid, 30);
    exited = code;
    CheckCleanEnd(code);
}

TEST_F(EndToEndTest, WindowCloseDuringTheIntroEndsTheProgramCleanly) {
    out = work.File("stdout.txt");
    const std::string h = home.Path();
    pid = Spawn({ZORV_MILESTONE_BINARY, "1"},
                {"DISPLAY=" + server->Display(), "HOME=" + h, "XDG_DATA_HOME=" + h + "/data",
                 "XDG_DOCUMENTS_DIR=" + h + "/documents", "SDL_AUDIODRIVER=dummy", "SDL_VIDEODRIVER=x11"},
                out, ZORV_RUN_DIR);
    ASSERT_TRUE(WaitForText(pid, &exited, out, "ID_003:  INIT:  Miscellaneous Load Completed", 60))
        << ReadFileText(out);
    // The window manager's close request is the quit event; SDL also turns
    // a termination signal into one.
    kill(pid, SIGTERM);
    const int code = WaitFor(pid, 30);
    exited = code;
    EXPECT_EQ(code, 0) << ReadFileText(out);
    EXPECT_NE(ReadFileText(out).find("ID_900:  SHUTDOWN COMPLETED"), std::string::npos);
}

// Runs f with the profile folder of home, as the program will see it.
template <typename F>
void WithProfileIn(const std::string& home, F f) {
    const char* names[] = {"HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"};
    const std::string values[] = {home, home + "/data", home + "/documents"};
    std::string saved[3];
    bool had[3];
    for (int i = 0; i < 3; ++i) {
        const char* v = getenv(names[i]);
        had[i] = v != nullptr;
        saved[i] = v ? v : "";
        setenv(names[i], values[i].c_str(), 1);
    }
    LoadParameters((std::string(ZORV_RUN_DIR) + "/resource8.dat").c_str());
    InitDirectories();
    f();
    ResetDirectories();
    for (int i = 0; i < 3; ++i) {
        if (had[i])
            setenv(names[i], saved[i].c_str(), 1);
        else
            unsetenv(names[i]);
    }
}

TEST_F(EndToEndTest, NameTypedIntoTheScoreBoardIsRegisteredAndTheResultRanked) {
    // A local score server with a few players on the regular set's third
    // level, and a profile that solved every regular level in 57 steps and
    // stands on the third (a finished set moves on from the level it was at).
    CScoreTestServer scores(CScoreTestServer::Mode::kStore, 0);
    ASSERT_TRUE(scores.IsListening());
    const char* others[] = {"Ada", "Bo", "Cy", "Di", "Ed", "Flo", "Gus", "Hal", "Ida", "Jo", "Kit", "Lu"};
    for (int i = 0; i < 12; ++i) scores.AddScore(0, 2, others[i], 10 * (i + 1));
    WithProfileIn(home.Path(), [] {
        CProfile profile;
        profile.SetCurrentSet(0);
        profile.CompleteSet(0, 57);
        profile.SetCurrentLevel(1);
        ASSERT_TRUE(profile.Save());
    });

    // The menu's score-board button leads to the solved level's page here,
    // as the play screen will after a level.
    extraEnv = {"ZORV_TEST_SCOREBOARD_URL=" + scores.Address(),
                "ZORV_TEST_MENU_SCOREBOARD=" + std::to_string(SCOREBOARD_SOLVED)};
    StartAndReachMenu();
    if (HasFatalFailure()) return;
    const std::string& d = server->Display();
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    const auto clickAt = [&](int x, int y) {
        Xdotool(d, "mousemove " + std::to_string(x) + " " + std::to_string(y));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Xdotool(d, "click 1");
    };
    // Captures are named by the second they are taken in.
    Clock::time_point lastCapture = Clock::now() - std::chrono::seconds(2);
    const auto capture = [&] {
        std::this_thread::sleep_until(lastCapture + std::chrono::milliseconds(1100));
        Xdotool(d, "key KP_Insert");
        lastCapture = Clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    };
    for (int attempt = 0; attempt < 3 && ReadFileText(out).find("Loading Controller:  Scoreboard\n") == std::string::npos;
         ++attempt) {
        clickAt(680, 9 + 53 * 3 + 20);
        WaitForText(pid, &exited, out, "Loading Controller:  Scoreboard\n", 5);
    }
    ASSERT_NE(ReadFileText(out).find("Loading Controller:  Scoreboard\n"), std::string::npos) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    capture();

    // Submit: no name yet, so the name dialog opens with the profile's name.
    clickAt(379, 271);
    ASSERT_TRUE(WaitForText(pid, &exited, out, "Loading Controller:  Scoreboard Name", 10)) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    for (int i = 0; i < 15; ++i) Xdotool(d, "key BackSpace");
    Xdotool(d, "type --delay 120 Tester");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    capture();
    Xdotool(d, "key Return");

    // Registered, uploaded and ranked sixth.
    ASSERT_TRUE(WaitForText(pid, &exited, out, "NEWUSER:  Added Tester", 15)) << ReadFileText(out);
    const auto until = Clock::now() + std::chrono::seconds(15);
    while (Clock::now() < until && scores.StoredScore(0, 2, "Tester") != 57)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(scores.StoredScore(0, 2, "Tester"), 57) << ReadFileText(out);
    EXPECT_EQ(scores.Query(0), "op=addUser&user=Tester&version=1.03W");
    EXPECT_EQ(scores.Query(1), "op=uploadScore&user=Tester&type=0&level=2&score=57&cheat=0");
    EXPECT_EQ(scores.Query(2), "op=downloadScore&user=Tester&type=0&level=2");
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    capture();

    kill(pid, SIGTERM);
    exited = WaitFor(pid, 30);
    CheckCleanEnd(exited);
    const std::string text = ReadFileText(out);
    EXPECT_NE(text.find("Username:  'Tester'   57"), std::string::npos) << text;
    WithProfileIn(home.Path(), [] {
        CProfile profile;
        EXPECT_STREQ(profile.GetScoreboardName(-1), "Tester");
    });

    // The pictures the player saw stay in the run folder only when asked for.
    size_t at = 0;
    int captures = 0;
    while ((at = text.find("Screen captured:  ", at)) != std::string::npos) {
        at += 18;
        const std::string name = text.substr(at, text.find('\n', at) - at);
        ++captures;
        if (!getenv("ZORV_KEEP_CAPTURES")) unlink((std::string(ZORV_RUN_DIR) + "/" + name).c_str());
        else printf("CAPTURE:  %s/%s\n", ZORV_RUN_DIR, name.c_str());
    }
    EXPECT_EQ(captures, 3);
}

}  // namespace
