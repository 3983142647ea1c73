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

#include <dirent.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/Parameters.h"
#include "engine/ResourceFiles.h"
#include "engine/Utilities.h"
#include "players/CProfile.h"
#include "tests/support/CScoreServerProcess.h"
#include "tests/support/TestSupport.h"
#include "world/CLevel.h"

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

// The test support's, under the short names this file uses.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& outFile,
            const std::string& cwd) {
    return SpawnProgram(argv, env, outFile, cwd);
}
int WaitFor(pid_t pid, int seconds, bool killLate = true) { return WaitForProgram(pid, seconds, killLate); }

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

// What a command prints.
std::string Output(const std::string& cmd) {
    std::string text;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return text;
    char buf[256];
    while (fgets(buf, sizeof buf, p)) text += buf;
    pclose(p);
    return text;
}

// SDL shows a full screen as its 800 x 600 picture in the middle of a
// screen-sized window: on the 1024 x 768 server, at (224, 168).
bool ShownFullScreen(const std::string& display) {
    const std::string env = "DISPLAY=" + display + " ";
    std::string ids = Output(env + "xdotool search --onlyvisible --name '' 2>/dev/null");
    size_t at = 0;
    while (at < ids.size()) {
        const size_t end = ids.find('\n', at);
        const std::string id = ids.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? ids.size() : end + 1;
        if (id.empty()) continue;
        const std::string geometry = Output(env + "xdotool getwindowgeometry " + id + " 2>/dev/null");
        if (geometry.find("Position: 224,168") != std::string::npos &&
            geometry.find("Geometry: 800x600") != std::string::npos)
            return true;
    }
    return false;
}

// Waits until the check holds; false when the time is up.
template <class Check>
bool WaitUntil(Check check, int seconds) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        if (check()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return check();
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The red, green and blue of a pixel of a 24- or 32-bit BMP file.
bool BmpPixel(const std::string& path, int x, int y, int* r, int* g, int* b) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    if (bytes.size() < 54) return false;
    auto u32 = [&](size_t at) { return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24; };
    const uint32_t offset = u32(10);
    const int w = static_cast<int>(u32(18));
    const int h = static_cast<int>(u32(22));
    const int bpp = bytes[28] | bytes[29] << 8;
    if ((bpp != 24 && bpp != 32) || x < 0 || y < 0 || x >= w || y >= std::abs(h)) return false;
    const size_t stride = (static_cast<size_t>(w) * (bpp / 8) + 3) & ~static_cast<size_t>(3);
    const int row = h > 0 ? h - 1 - y : y;
    const size_t at = offset + row * stride + static_cast<size_t>(x) * (bpp / 8);
    if (at + 3 > bytes.size()) return false;
    *b = bytes[at];
    *g = bytes[at + 1];
    *r = bytes[at + 2];
    return true;
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
    void StartAndReachMenu(const std::string& cwd = ZORV_RUN_DIR) {
        out = work.File("stdout.txt");
        const std::string h = home.Path();
        startedAt = Clock::now();
        std::vector<std::string> env = {"DISPLAY=" + server->Display(), "HOME=" + h, "XDG_DATA_HOME=" + h + "/data",
                                        "XDG_DOCUMENTS_DIR=" + h + "/documents", "SDL_AUDIODRIVER=dummy",
                                        "SDL_VIDEODRIVER=x11"};
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        pid = Spawn({ZORV_MILESTONE_BINARY, "1"}, env, out, cwd);
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

    // A run folder of our own (the screenshots land there) holding the
    // program's resource files.
    std::string MakeRunFolder() {
        const std::string dir = work.File("run");
        mkdir(dir.c_str(), 0755);
        if (DIR* d = opendir(ZORV_RUN_DIR)) {
            while (dirent* e = readdir(d)) {
                const std::string name = e->d_name;
                if (name.rfind("resource", 0) == 0 || name.find(".ttf") != std::string::npos)
                    symlink((std::string(ZORV_RUN_DIR) + "/" + name).c_str(), (dir + "/" + name).c_str());
            }
            closedir(d);
        }
        return dir;
    }
    void ClickAt(int x, int y) {
        Xdotool(server->Display(), "mousemove " + std::to_string(x) + " " + std::to_string(y));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Xdotool(server->Display(), "click 1");
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    // Clicks until the log shows text once more than before (a busy
    // machine can lose a click).
    bool ClickFor(int x, int y, const std::string& text) {
        const size_t before = Count(ReadFileText(out), text);
        for (int attempt = 0; attempt < 3; ++attempt) {
            ClickAt(x, y);
            if (WaitUntil([&] { return Count(ReadFileText(out), text) > before; }, 5)) return true;
        }
        return false;
    }
    // Clicks the main menu's options button and waits for the screen.
    void OpenOptions() {
        const size_t before = Count(ReadFileText(out), "Loading Controller:  Options\n");
        for (int attempt = 0; attempt < 3; ++attempt) {
            ClickAt(680, 9 + 53 * 5 + 20);
            if (WaitUntil([&] { return Count(ReadFileText(out), "Loading Controller:  Options\n") > before; }, 5))
                return;
        }
        FAIL() << "the options screen did not open\n" << ReadFileText(out);
    }
    void QuitWithAltQ() {
        Xdotool(server->Display(), "key alt+q");
        exited = WaitFor(pid, 30);
        CheckCleanEnd(exited);
    }

    std::unique_ptr<XServer> server;
    // More of the program's environment, for a test's own settings.
    std::vector<std::string> extraEnv;
    CScopedHome home;
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
    LoadParameters((std::string(ZORV_RUN_DIR) + "/" + kParameterFile).c_str());
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

// Waits until the file holds text; false when the time is up.
bool WaitForFileText(const std::string& path, const std::string& text, int seconds) {
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        if (ReadFileText(path).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

TEST_F(EndToEndTest, PlayerMadeByTypingItsNameStaysCurrentAndPlaysAnExtraLevelFromTheManager) {
    StartAndReachMenu();
    if (HasFatalFailure()) return;
    const std::string& d = server->Display();
    const std::string info = home.Path() + "/data/Vormak Games/ZORV Data/INFOv3.DAT";
    // An extra level and a damaged file in the levels folder.
    const std::string levels = home.Path() + "/documents/ZORV Levels/";
    CLevel canyon;
    for (int x = 0; x < CLevel::kWidth; ++x) canyon.SetTile(TERRAIN_GRASS, x, 21);
    canyon.SetTile(DEVICE_TUBE_START, 2, 20);
    canyon.SetTile(DEVICE_TUBE_END, 8, 20);
    canyon.SetHeadingText("Crossing the Canyon");
    ASSERT_TRUE(canyon.SaveToPath(levels + "canyon.lvl"));
    ASSERT_TRUE(WriteFileText(levels + "zbroken.lvl", "not a level"));

    // Change player, New player, type the name, okay with Return.
    ClickAt(105, 53);
    ASSERT_TRUE(WaitForText(pid, &exited, out, "Loading Controller:  Profiles", 10)) << ReadFileText(out);
    ClickAt(402, 346);
    ASSERT_TRUE(WaitForText(pid, &exited, out, "Loading Controller:  Profile Name", 10)) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Xdotool(d, "type --delay 120 Quincy");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Xdotool(d, "key Return");
    ASSERT_TRUE(WaitForFileText(info, "Quincy", 10));
    // Return with the pointer away from the buttons chooses the selected
    // (the new) player and goes back to the menu.
    const size_t menus = Count(ReadFileText(out), "Loading Controller:  Main Menu");
    Xdotool(d, "mousemove 700 580");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Xdotool(d, "key Return");
    const auto by = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < by && Count(ReadFileText(out), "Loading Controller:  Main Menu") == menus)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_GT(Count(ReadFileText(out), "Loading Controller:  Main Menu"), menus) << ReadFileText(out);

    // The level manager lists the level and refuses the damaged file.
    ClickAt(685, 86);
    ASSERT_TRUE(WaitForText(pid, &exited, out, "Loading Controller:  Level Manager", 10)) << ReadFileText(out);
    const std::string text = ReadFileText(out);
    EXPECT_NE(text.find("Listing level file '" + levels + "canyon.lvl'"), std::string::npos) << text;
    EXPECT_NE(text.find("Refusing level file '" + levels + "zbroken.lvl' (cannot be read)"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // P plays the selected level; walked to its exit, it ends solved
    // without a set, and the board's Continue leads back to the manager.
    Xdotool(d, "key p");
    ASSERT_TRUE(WaitForText(pid, &exited, out, "Loading Controller:  Game", 10)) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    Xdotool(d, "keydown Right");
    const bool solved = WaitForText(pid, &exited, out, "Loading Post Game Controller (type=7)", 30);
    Xdotool(d, "keyup Right");
    ASSERT_TRUE(solved) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    Xdotool(d, "key Return");
    EXPECT_TRUE(WaitForText(pid, &exited, out, "SHUTDOWN:  C5 Completed", 10)) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Xdotool(d, "key Escape");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Xdotool(d, "key alt+q");
    exited = WaitFor(pid, 30);
    CheckCleanEnd(exited);

    // Quincy is the current player in the INFO file, and stays so through a
    // second run.
    const auto current = [&info]() {
        const std::vector<uint8_t> b = ReadFileBytes(info);
        if (b.size() < 34) return std::string();
        const uint32_t number = b[26] | (b[27] << 8) | (b[28] << 16) | (static_cast<uint32_t>(b[29]) << 24);
        for (size_t at = 34; at + 36 <= b.size(); at += 36) {
            const uint32_t n = b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
            if (n == number) return std::string(reinterpret_cast<const char*>(&b[at + 4]));
        }
        return std::string();
    };
    EXPECT_EQ(current(), "Quincy");
    pid = -1;
    exited = -1;
    StartAndReachMenu();
    if (HasFatalFailure()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Xdotool(d, "key alt+q");
    exited = WaitFor(pid, 30);
    CheckCleanEnd(exited);
    EXPECT_EQ(current(), "Quincy");
}

}  // namespace

namespace {

// Options changed through the screen are kept: the first run raises the game
// speed by two steps and hides the step counter, and on the way switches to
// full screen by its box (and back by Alt+Enter: in full screen SDL moves the
// pointer by relative motion, which xdotool's jumps do not drive); the
// second run finds the changes in its profile and on its options screen.
TEST_F(EndToEndTest, OptionsChangedOnTheScreenAreKeptAcrossARestart) {
    const std::string runFolder = MakeRunFolder();
    StartAndReachMenu(runFolder);
    if (HasFatalFailure()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    OpenOptions();
    if (HasFatalFailure()) return;
    ClickAt(564, 135);  // game speed +
    ClickAt(564, 135);
    ClickAt(496, 359);  // show the step counter: off
    // Full screen on: the picture moves to the middle of the whole screen.
    ASSERT_FALSE(ShownFullScreen(server->Display()));
    ClickAt(496, 309);
    EXPECT_TRUE(WaitUntil([&] { return ShownFullScreen(server->Display()); }, 10)) << "full screen did not come";
    Xdotool(server->Display(), "key alt+Return");
    EXPECT_TRUE(WaitUntil([&] { return !ShownFullScreen(server->Display()); }, 10)) << "the window did not come back";
    // Back to the menu, which writes the profile, and quit.
    const size_t menus = Count(ReadFileText(out), "Loading Controller:  Main Menu");
    ClickAt(307 + 93, 505 + 14);
    EXPECT_TRUE(WaitUntil([&] { return Count(ReadFileText(out), "Loading Controller:  Main Menu") > menus; }, 5));
    QuitWithAltQ();
    if (HasFailure()) return;

    {
        InitDirectories();
        {
            // Gone before the folders are forgotten: its destructor writes
            // the profile, which must not land in the run folder.
            CProfile saved;
            EXPECT_EQ(saved.GetGameSpeed(), 8);
            EXPECT_EQ(saved.IsStepCounterEnabled(), 0);
            EXPECT_EQ(saved.IsFullscreen(), 0);
        }
        ResetDirectories();
    }

    // The second run shows both on its options screen.
    pid = -1;
    exited = -1;
    StartAndReachMenu(runFolder);
    if (HasFatalFailure()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    OpenOptions();
    if (HasFatalFailure()) return;
    Xdotool(server->Display(), "mousemove 790 590");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const size_t captured = Count(ReadFileText(out), "Screen captured:");
    Xdotool(server->Display(), "key KP_Insert");
    ASSERT_TRUE(WaitUntil([&] { return Count(ReadFileText(out), "Screen captured:") > captured; }, 5));
    const std::string text = ReadFileText(out);
    const size_t name = text.rfind("Screen captured:  ") + 18;
    const std::string capture = runFolder + "/" + text.substr(name, text.find('\n', name) - name);
    int r = 0, g = 0, b = 0;
    // The speed bar reaches past position 6 (503) to 8 (523): orange at 516.
    ASSERT_TRUE(BmpPixel(capture, 516, 133, &r, &g, &b)) << capture;
    EXPECT_TRUE(r > 190 && b < 90) << r << "," << g << "," << b;
    // The step-counter box shows no green tick.
    ASSERT_TRUE(BmpPixel(capture, 496, 359, &r, &g, &b));
    EXPECT_FALSE(g > r + 30) << r << "," << g << "," << b;
    ClickAt(307 + 93, 505 + 14);
    QuitWithAltQ();
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
    LoadParameters((std::string(ZORV_RUN_DIR) + "/" + kParameterFile).c_str());
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

// A new player on the real score server: he plays the kids' first level
// through the play screen, submits from its post-game page, registers the
// name he types, and finds himself sixth of thirteen on the level's board;
// the server is restarted and the board, downloaded again from the map,
// still ranks him sixth.
TEST_F(EndToEndTest, NewPlayerRegistersFromTheBoardSubmitsASolvedLevelAndKeepsHisRankAcrossAServerRestart) {
    CScoreServerProcess scores;
    ASSERT_TRUE(scores.IsRunning());
    // Five players better than any walk through the level can be, seven worse.
    for (int i = 0; i < 12; ++i) scores.AddScore(2, 0, "Kid" + std::to_string(i), i < 5 ? i + 1 : 5000 + i);
    extraEnv = {"ZORV_SCOREBOARD_URL=" + scores.Address()};
    StartAndReachMenu();
    if (HasFatalFailure()) return;
    const std::string& d = server->Display();
    EXPECT_NE(ReadFileText(out).find("Score server:  " + scores.Address() + " (ZORV_SCOREBOARD_URL)"),
              std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    // The last ten rows the board drew, from its log lines.
    const auto drawnRows = [&] {
        const std::string text = ReadFileText(out);
        std::vector<std::string> rows;
        for (size_t at = text.find("Username:  '"); at != std::string::npos; at = text.find("Username:  '", at)) {
            at += 12;
            rows.push_back(text.substr(at, text.find('\'', at) - at));
        }
        if (rows.size() > 10) rows.erase(rows.begin(), rows.end() - 10);
        return rows;
    };
    const auto asked = [&](const std::string& what) {
        return WaitUntil([&] {
            for (const std::string& r : scores.Requests())
                if (r == what) return true;
            return false;
        }, 15);
    };

    // Play: the kids' set, its map, the opening story, the level.
    ASSERT_TRUE(ClickFor(680, 9 + 20, "Loading Controller:  Set Selector")) << ReadFileText(out);
    ASSERT_TRUE(ClickFor(264, 399, "Loading Controller:  Map\n")) << ReadFileText(out);
    ASSERT_TRUE(ClickFor(710, 521, "Loading Story Controller (type=0)")) << ReadFileText(out);
    ClickAt(500, 557);
    ASSERT_TRUE(ClickFor(500, 557, "Loading Controller:  Game")) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    // Right off the ledge, then left underneath it into the exit tube.
    Xdotool(d, "keydown Right");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    Xdotool(d, "keyup Right");
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    Xdotool(d, "keydown Left");
    const bool solved = WaitForText(pid, &exited, out, "Loading Post Game Controller (type=5)", 30);
    Xdotool(d, "keyup Left");
    ASSERT_TRUE(solved) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));

    // Submit: no name yet, so the name dialog opens; the typed name is
    // registered, the result uploaded and the board downloaded.
    ASSERT_TRUE(ClickFor(379, 271, "Loading Controller:  Scoreboard Name")) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    for (int i = 0; i < 15; ++i) Xdotool(d, "key BackSpace");
    Xdotool(d, "type --delay 120 Tester");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Xdotool(d, "key Return");
    ASSERT_TRUE(WaitForText(pid, &exited, out, "NEWUSER:  Added Tester", 15)) << ReadFileText(out);
    ASSERT_TRUE(asked("op=downloadScore&user=Tester&type=2&level=0 -> success 10 of 13")) << scores.Log();
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    int steps = 0;
    WithProfileIn(home.Path(), [&] { steps = CProfile().GetLevelSteps(2, 0, false); });
    ASSERT_GE(steps, 10);
    EXPECT_TRUE(asked("op=addUser&user=Tester&version=1.03W -> success"));
    EXPECT_TRUE(asked("op=uploadScore&user=Tester&type=2&level=0&score=" + std::to_string(steps) +
                      "&cheat=0 -> success added"));
    const std::vector<std::string> rows = {"Kid0", "Kid1", "Kid2", "Kid3", "Kid4", "Tester",
                                           "Kid5", "Kid6", "Kid7", "Kid8"};
    EXPECT_EQ(drawnRows(), rows) << ReadFileText(out);
    Xdotool(d, "mousemove 799 599");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    Xdotool(d, "key KP_Insert");
    ASSERT_TRUE(WaitForText(pid, &exited, out, "Screen captured:  ", 5));
    const std::string text = ReadFileText(out);
    const size_t at = text.rfind("Screen captured:  ") + 18;
    const std::string capture = std::string(ZORV_RUN_DIR) + "/" + text.substr(at, text.find('\n', at) - at);
    if (getenv("ZORV_KEEP_CAPTURES"))
        printf("CAPTURE:  %s\n", capture.c_str());
    else
        unlink(capture.c_str());
    kill(pid, SIGTERM);
    exited = WaitFor(pid, 30);
    CheckCleanEnd(exited);

    // The server goes down and comes back on the same database and port;
    // the game starts again (its boards empty), picks the first level on the
    // map, opens its board and downloads it: the same ranks.
    EXPECT_EQ(scores.Stop(), 0);
    ASSERT_TRUE(scores.Start());
    EXPECT_NE(scores.Log().find("(13 players, 13 scores)"), std::string::npos) << scores.Log();
    pid = -1;
    exited = -1;
    StartAndReachMenu();
    if (HasFatalFailure()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    ASSERT_TRUE(ClickFor(680, 9 + 20, "Loading Controller:  Map\n")) << ReadFileText(out);
    // A busy machine can lose a click: the server's log tells which board
    // came, and a wrong one is closed and the level picked again.
    const std::string download = "op=downloadScore&user=Tester&type=2&level=0 -> success 10 of 13";
    size_t before = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        ClickAt(26 + 9, 378 + 14);
        ASSERT_TRUE(ClickFor(752, 96, "Loading Controller:  Scoreboard\n")) << ReadFileText(out);
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        before = scores.Requests().size();
        ClickAt(379, 271);
        WaitUntil([&] {
            const std::vector<std::string> now = scores.Requests();
            return now.size() > before && now.back().rfind("op=downloadScore", 0) == 0;
        }, 10);
        if (scores.Requests().back() == download) break;
        ASSERT_TRUE(ClickFor(400, 519, "Loading Controller:  Map\n")) << ReadFileText(out);
    }
    const std::vector<std::string> again = scores.Requests();
    ASSERT_EQ(again.size(), before + 2) << scores.Log();
    EXPECT_EQ(again[before], "op=uploadScore&user=Tester&type=2&level=0&score=" + std::to_string(steps) +
                                 "&cheat=0 -> success ignored");
    EXPECT_EQ(again[before + 1], "op=downloadScore&user=Tester&type=2&level=0 -> success 10 of 13");
    EXPECT_EQ(drawnRows(), rows) << ReadFileText(out);
    kill(pid, SIGTERM);
    exited = WaitFor(pid, 30);
    CheckCleanEnd(exited);
}

// The level editor in a real window: opened from the menu, a few pieces are
// placed with the mouse (the tool chosen in its palette, the tubes by their
// keys), the level is saved through the save dialog, a new level is started
// and the saved one is loaded again; the editor is left and the program
// quits cleanly. The pictures of the editor, its palette and its help page
// are captured (kept with ZORV_KEEP_CAPTURES).
TEST_F(EndToEndTest, PiecesPlacedWithTheMouseInTheEditorAreSavedAndLoadedAgain) {
    StartAndReachMenu();
    if (HasFatalFailure()) return;
    const std::string& d = server->Display();
    const auto cellX = [](int column) { return 15 + 24 * column + 12; };
    const auto cellY = [](int row) { return 15 + 24 * row + 12; };
    std::vector<std::string> captures;
    auto lastCapture = Clock::now() - std::chrono::seconds(2);
    const auto capture = [&] {
        std::this_thread::sleep_until(lastCapture + std::chrono::milliseconds(1100));
        const size_t before = Count(ReadFileText(out), "Screen captured:");
        Xdotool(d, "key KP_Insert");
        lastCapture = Clock::now();
        WaitUntil([&] { return Count(ReadFileText(out), "Screen captured:") > before; }, 5);
        const std::string text = ReadFileText(out);
        const size_t at = text.rfind("Screen captured:  ") + 18;
        captures.push_back(std::string(ZORV_RUN_DIR) + "/" + text.substr(at, text.find('\n', at) - at));
    };
    const auto opened = [&](const char* banner, size_t before) {
        return WaitUntil([&] { return Count(ReadFileText(out), banner) > before; }, 10);
    };

    // The editor opens with its palette.
    const char* editorBanner = "Loading Controller:  Level Editor\n";
    for (int attempt = 0; attempt < 3 && Count(ReadFileText(out), editorBanner) == 0; ++attempt) {
        ClickAt(680, 9 + 53 * 2 + 20);
        WaitUntil([&] { return Count(ReadFileText(out), editorBanner) > 0; }, 5);
    }
    ASSERT_EQ(Count(ReadFileText(out), editorBanner), 1u) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    capture();
    // Grass from the palette, laid cell by cell; the tubes by their keys.
    // A click that lands while the capture is still being written can be
    // lost on a busy machine, so it is made again, as for the editor above.
    size_t back = Count(ReadFileText(out), "Loading Controller:  Editor\n");
    bool grassTaken = false;
    for (int attempt = 0; attempt < 3 && !grassTaken; ++attempt) {
        ClickAt(197 + 4 * 68 + 34, 65 + 3 * 51 + 25);
        grassTaken = opened("Loading Controller:  Editor\n", back);
    }
    ASSERT_TRUE(grassTaken) << ReadFileText(out);
    for (int column = 3; column <= 10; ++column) ClickAt(cellX(column), cellY(21));
    Xdotool(d, "key minus");
    ClickAt(cellX(4), cellY(20));
    Xdotool(d, "key equal");
    ClickAt(cellX(9), cellY(20));
    Xdotool(d, "mousemove 700 60");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    capture();
    int r = 0, g = 0, b = 0;
    ASSERT_TRUE(BmpPixel(captures.back(), cellX(6), cellY(21), &r, &g, &b)) << captures.back();
    EXPECT_GT(r, b + 30) << "the ground's earth under the grass: " << r << "," << g << "," << b;

    // The help page, then saved through the dialog.
    size_t before = Count(ReadFileText(out), "Loading Controller:  Editor Help\n");
    Xdotool(d, "key alt+h");
    ASSERT_TRUE(opened("Loading Controller:  Editor Help\n", before));
    Xdotool(d, "mousemove 420 140");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    capture();
    back = Count(ReadFileText(out), "Loading Controller:  Editor\n");
    Xdotool(d, "key Escape");
    ASSERT_TRUE(opened("Loading Controller:  Editor\n", back));
    before = Count(ReadFileText(out), "Loading Controller:  Editor Save\n");
    Xdotool(d, "key alt+s");
    ASSERT_TRUE(opened("Loading Controller:  Editor Save\n", before));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Xdotool(d, "type --delay 100 mouse");
    Xdotool(d, "key Return");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Xdotool(d, "type --delay 100 'Made with the mouse'");
    Xdotool(d, "key Return");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Xdotool(d, "key Return");
    const std::string file = home.Path() + "/documents/ZORV Levels/mouse.lvl";
    ASSERT_TRUE(WaitUntil([&] { return Exists(file); }, 10)) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    CLevel saved;
    ASSERT_TRUE(saved.LoadFile(file, "mouse"));
    EXPECT_STREQ(saved.GetHeadingText(), "Made with the mouse");
    for (int column = 3; column <= 10; ++column)
        EXPECT_EQ(saved.GetTile(column, 21), static_cast<uint32_t>(TERRAIN_GRASS)) << column;
    EXPECT_EQ(saved.GetTile(4, 20), static_cast<uint32_t>(DEVICE_TUBE_START));
    EXPECT_EQ(saved.GetTile(9, 20), static_cast<uint32_t>(DEVICE_TUBE_END));

    // A new level (nothing unsaved: no question), then the saved one again.
    Xdotool(d, "key alt+n");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    before = Count(ReadFileText(out), "Loading Controller:  Editor Load\n");
    Xdotool(d, "key alt+l");
    ASSERT_TRUE(opened("Loading Controller:  Editor Load\n", before)) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    back = Count(ReadFileText(out), "Loading Controller:  Editor\n");
    Xdotool(d, "key Return");
    ASSERT_TRUE(opened("Loading Controller:  Editor\n", back)) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Xdotool(d, "mousemove 700 60");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    capture();
    ASSERT_TRUE(BmpPixel(captures.back(), cellX(6), cellY(21), &r, &g, &b));
    EXPECT_GT(r, b + 30) << "the loaded ground is shown: " << r << "," << g << "," << b;

    // Leaving needs no question either; the menu comes back and quits.
    const size_t menus = Count(ReadFileText(out), "Loading Controller:  Main Menu");
    Xdotool(d, "key alt+q");
    ASSERT_TRUE(WaitUntil([&] { return Count(ReadFileText(out), "Loading Controller:  Main Menu") > menus; }, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    QuitWithAltQ();
    for (const std::string& c : captures) {
        if (getenv("ZORV_KEEP_CAPTURES"))
            printf("CAPTURE:  %s\n", c.c_str());
        else
            unlink(c.c_str());
    }
}

// A new player's first level from the main menu: the set choice, the map
// with its dots, the opening story, a few steps taken back and the level
// restarted, its solution shown to the exit, the post-game board, and the
// map again with the next level open; then the change button shows the
// other two sets' maps.
TEST_F(EndToEndTest, NewPlayerChoosesASetPlaysTheFirstLevelAndFindsTheNextOneOpen) {
    StartAndReachMenu();
    if (HasFatalFailure()) return;
    const std::string& d = server->Display();
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    // Captures are named by the second they are taken in; each waits for
    // the picture to settle with the pointer out of the way.
    Clock::time_point lastCapture = Clock::now() - std::chrono::seconds(2);
    std::vector<std::string> captures;
    const auto capture = [&] {
        Xdotool(d, "mousemove 799 599");
        std::this_thread::sleep_until(std::max(lastCapture + std::chrono::milliseconds(1100),
                                               Clock::now() + std::chrono::milliseconds(1200)));
        const size_t before = Count(ReadFileText(out), "Screen captured:  ");
        Xdotool(d, "key KP_Insert");
        lastCapture = Clock::now();
        WaitUntil([&] { return Count(ReadFileText(out), "Screen captured:  ") > before; }, 5);
        const std::string text = ReadFileText(out);
        const size_t at = text.rfind("Screen captured:  ") + 18;
        captures.push_back(std::string(ZORV_RUN_DIR) + "/" + text.substr(at, text.find('\n', at) - at));
        return captures.back();
    };
    const auto pixel = [](const std::string& bmp, int x, int y) {
        int r = 0, g = 0, b = 0;
        EXPECT_TRUE(BmpPixel(bmp, x, y, &r, &g, &b)) << bmp;
        return std::vector<int>{r, g, b};
    };

    // Play: a new player chooses the kids' set.
    ASSERT_TRUE(ClickFor(680, 9 + 20, "Loading Controller:  Set Selector")) << ReadFileText(out);
    ASSERT_TRUE(ClickFor(264, 399, "Loading Controller:  Map\n")) << ReadFileText(out);
    const std::string kidsMap = capture();
    // The first level open and selected (red), the second locked (grey).
    const std::vector<int> first = pixel(kidsMap, 26 + 9, 378 + 14);
    EXPECT_TRUE(first[0] > first[1] + 60 && first[0] > first[2] + 60) << first[0] << "," << first[1];
    const std::vector<int> second = pixel(kidsMap, 45 + 9, 385 + 14);
    EXPECT_TRUE(std::abs(second[0] - second[2]) < 40 && second[0] < 180) << second[0] << "," << second[2];

    // Play: the opening story, two pages, over the level.
    ASSERT_TRUE(ClickFor(710, 521, "Loading Story Controller (type=0)")) << ReadFileText(out);
    capture();
    ClickAt(500, 557);  // next page
    capture();
    ASSERT_TRUE(ClickFor(500, 557, "Loading Controller:  Game")) << ReadFileText(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    // Two steps right, each a press of its own.
    for (int step = 0; step < 2; ++step) {
        Xdotool(d, "keydown Right");
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        Xdotool(d, "keyup Right");
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    capture();
    // Escape opens the in-game menu; its undo row takes the second step back.
    const auto menuOpens = [&](const std::function<void()>& open) {
        const size_t before = Count(ReadFileText(out), "Loading Controller:  In Game Menu");
        open();
        return WaitUntil([&] { return Count(ReadFileText(out), "Loading Controller:  In Game Menu") > before; }, 5);
    };
    ASSERT_TRUE(menuOpens([&] { Xdotool(d, "key Escape"); })) << ReadFileText(out);
    capture();
    ASSERT_TRUE(ClickFor(400, 175 + 30 * 2 + 12, "UNDO LOAD - at index")) << ReadFileText(out);
    // The menu button opens it too; restart builds the level anew.
    ASSERT_TRUE(menuOpens([&] { ClickAt(765, 18); })) << ReadFileText(out);
    ASSERT_TRUE(ClickFor(400, 175 + 30 * 1 + 12, "Restarting level")) << ReadFileText(out);
    // Show the solution: confirmed, the level restarts and plays its stored
    // solution back, off the ledge and underneath it into the exit tube, and
    // the post-game board opens.
    ASSERT_TRUE(menuOpens([&] { Xdotool(d, "key Escape"); })) << ReadFileText(out);
    ASSERT_TRUE(ClickFor(400, 175 + 30 * 3 + 12, "Loading Controller:  Message")) << ReadFileText(out);
    // Cancel is the box's default: the okay button confirms.
    ASSERT_TRUE(ClickFor(345, 435, "Restarting level")) << ReadFileText(out);
    ASSERT_TRUE(WaitForText(pid, &exited, out, "Loading Post Game Controller (type=5)", 60)) << ReadFileText(out);
    EXPECT_NE(ReadFileText(out).find("Professor Successfully Exited"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    // Continue: back on the map, the first level solved (green, below its
    // white tick), the second open and selected (red).
    const size_t maps = Count(ReadFileText(out), "Loading Controller:  Map\n");
    ClickAt(400, 458);
    ASSERT_TRUE(WaitUntil([&] { return Count(ReadFileText(out), "Loading Controller:  Map\n") > maps; }, 10))
        << ReadFileText(out);
    const std::string after = capture();
    const std::vector<int> solved = pixel(after, 26 + 9, 378 + 14);
    EXPECT_TRUE(solved[1] > solved[0] + 40 && solved[1] > solved[2] + 40) << solved[0] << "," << solved[1];
    const std::vector<int> next = pixel(after, 45 + 9, 385 + 14);
    EXPECT_TRUE(next[0] > next[1] + 60 && next[0] > next[2] + 60) << next[0] << "," << next[1];

    // The change button cycles to the regular and the advanced maps.
    ClickAt(692, 27);
    capture();
    ClickAt(692, 27);
    capture();
    // Escape goes back to the menu, and Alt+Q quits there.
    const size_t menus = Count(ReadFileText(out), "Loading Controller:  Main Menu");
    Xdotool(d, "key Escape");
    ASSERT_TRUE(WaitUntil([&] { return Count(ReadFileText(out), "Loading Controller:  Main Menu") > menus; }, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    QuitWithAltQ();
    if (HasFailure()) return;
    WithProfileIn(home.Path(), [] {
        CProfile profile;
        EXPECT_TRUE(profile.IsLevelSolved(2, 0));
        EXPECT_FALSE(profile.IsLevelLocked(2, 1));
        EXPECT_TRUE(profile.IsLevelLocked(2, 2));
        EXPECT_EQ(profile.GetCurrentSet(), 1);
    });
    for (const std::string& c : captures) {
        if (!getenv("ZORV_KEEP_CAPTURES"))
            unlink(c.c_str());
        else
            printf("CAPTURE:  %s\n", c.c_str());
    }
    EXPECT_EQ(captures.size(), 8u);
}

}  // namespace
