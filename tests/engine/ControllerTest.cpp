// The screen stack: opening children, the result rule, the modifier flags, the
// default keyboard navigation and the capture key.
#include <gtest/gtest.h>

#include <SDL.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include <string>
#include <vector>

#include "engine/CController.h"
#include "engine/CDraw.h"
#include "engine/CInput.h"
#include "engine/DataFolder.h"
#include "engine/Log.h"
#include "gui/CGuiButtonBase.h"
#include "platform/Platform.h"
#include "tests/engine/SpriteTestSupport.h"
#include "tests/gui/FakeWidget.h"
#include "tests/support/TestSupport.h"

namespace {

// A screen that drains its input and follows a script of results.
class FakeScreen : public CController {
public:
    explicit FakeScreen(int screenId) { id = screenId; }
    void InputKey(bool released, int key) override { keys.push_back(released ? -key : key); }
    void Pump() override {
        ++pumps;
        PollInput();
        if (nextResult != 0) {
            result = nextResult;
            nextResult = 0;
        }
    }
    void Navigate(bool released, int key, CMenuKeys::Back back = CMenuKeys::Back::kCloses, int backWidget = 0) {
        menuKeys.SetBack(back, backWidget);
        InputMenuKey(released, key);
    }
    int Result() const { return result; }
    int MouseX() const { return mouseX; }
    int MouseY() const { return mouseY; }
    int pumps = 0;
    int nextResult = 0;
    std::vector<int> keys;
};

class Recorder : public FakeScreen {
public:
    Recorder() : FakeScreen(99) {}
    void GUICallback(int index, int value, bool dclick) override {
        calls.push_back(index * 100 + value * 10 + (dclick ? 1 : 0));
    }
    std::vector<int> calls;
};

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CController::ResetStack();
        CInput::Reset();
        CGuiButtonBase::ResetState();
        CDraw::SetPresentSuspended(false);
    }
    void TearDown() override { CController::ResetStack(); }
};

TEST_F(ControllerTest, ActivateMakesRootCurrent) {
    FakeScreen root(2);
    root.Activate(nullptr);
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_EQ(CController::GetCurrentId(), 2);
    EXPECT_EQ(CController::GetPreviousId(), 0);
    EXPECT_TRUE(root.IsActive());
    EXPECT_EQ(root.GetParent(), nullptr);
}

TEST_F(ControllerTest, ConstructorCopiesMousePositionAndZeroes) {
    SetMouseX(123);
    SetMouseY(45);
    FakeScreen s(7);
    SetMouseX(0);
    SetMouseY(0);
    EXPECT_EQ(s.MouseX(), 123);  // a copy taken at construction
    EXPECT_EQ(s.MouseY(), 45);
    EXPECT_FALSE(s.IsActive());
    EXPECT_EQ(s.GetValue(), 0);
    EXPECT_EQ(s.Result(), 0);
}

TEST_F(ControllerTest, OpenChildHandsOverAndClearsOpenersResult) {
    FakeScreen root(2), child(3);
    root.Activate(nullptr);
    root.SetResult(5);
    root.OpenChild(&child);
    EXPECT_EQ(root.Result(), 0);
    EXPECT_FALSE(root.IsActive());
    EXPECT_TRUE(child.IsActive());
    EXPECT_EQ(child.GetParent(), &root);
    EXPECT_EQ(CController::GetCurrent(), &child);
    EXPECT_EQ(CController::GetCurrentId(), 3);
    EXPECT_EQ(CController::GetPreviousId(), 2);
    EXPECT_EQ(CDraw::GetFramePeriod(), 33u);
}

TEST_F(ControllerTest, ResultOneClosesOnlyThatScreen) {
    FakeScreen root(2), child(3);
    root.Activate(nullptr);
    root.OpenChild(&child);
    child.nextResult = 1;
    CController::PumpCurrent();
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_EQ(CController::GetPreviousId(), 3);
    EXPECT_EQ(CController::GetCurrentId(), 2);
    EXPECT_EQ(root.Result(), 0);
    EXPECT_FALSE(child.IsActive());
    EXPECT_EQ(child.Result(), 0);
    EXPECT_TRUE(CController::IsRunning());
    // The frame in which a screen finishes is not put on the display.
    EXPECT_TRUE(CDraw::IsPresentSuspended());
    CController::PumpCurrent();
    EXPECT_FALSE(CDraw::IsPresentSuspended());
    EXPECT_EQ(root.pumps, 1);
}

TEST_F(ControllerTest, ResultThreeClosesThreeScreensInThreeFrames) {
    FakeScreen root(2), a(3), b(13), c(5);
    root.Activate(nullptr);
    root.OpenChild(&a);
    a.OpenChild(&b);
    b.OpenChild(&c);
    c.nextResult = 3;

    CController::PumpCurrent();  // frame 1: c closes, b receives 2
    EXPECT_EQ(CController::GetCurrent(), &b);
    EXPECT_EQ(b.Result(), 2);
    CController::PumpCurrent();  // frame 2: b pumps once more, closes, a receives 1
    EXPECT_EQ(b.pumps, 1);
    EXPECT_EQ(CController::GetCurrent(), &a);
    EXPECT_EQ(a.Result(), 1);
    CController::PumpCurrent();  // frame 3: a closes, root receives 0
    EXPECT_EQ(a.pumps, 1);
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_EQ(root.Result(), 0);
    EXPECT_EQ(CController::GetPreviousId(), 3);
    CController::PumpCurrent();  // frame 4: root stays
    EXPECT_EQ(CController::GetCurrent(), &root);
    EXPECT_EQ(root.pumps, 1);
    EXPECT_TRUE(CController::IsRunning());
}

TEST_F(ControllerTest, ResultMinusOneClosesEverythingThenStops) {
    FakeScreen root(2), a(3), b(13), c(5);
    root.Activate(nullptr);
    root.OpenChild(&a);
    a.OpenChild(&b);
    b.OpenChild(&c);
    c.nextResult = CController::kCloseQuit;
    std::vector<CController*> seen;
    for (int frame = 0; frame < 4; ++frame) {
        ASSERT_TRUE(CController::IsRunning()) << "frame " << frame;
        seen.push_back(CController::GetCurrent());
        CController::PumpCurrent();
    }
    EXPECT_EQ(seen, (std::vector<CController*>{&c, &b, &a, &root}));
    EXPECT_FALSE(CController::IsRunning());
    EXPECT_EQ(root.pumps, 1);
    EXPECT_FALSE(root.IsActive());
}

// A screen closing with a negative result other than -1 hands its parent -2
// unchanged and any other one not at all; the parent stays open.
TEST_F(ControllerTest, ANegativeResultReachesTheParentOnlyAsMinusTwo) {
    const struct {
        int closing;
        int parentGets;
    } rows[] = {{CController::kCloseToBrowser, CController::kCloseToBrowser}, {-3, 0}, {-7, 0}};
    for (const auto& r : rows) {
        CController::ResetStack();
        FakeScreen root(2), a(3);
        root.Activate(nullptr);
        root.OpenChild(&a);
        a.nextResult = r.closing;
        CController::PumpCurrent();
        EXPECT_EQ(CController::GetCurrent(), &root) << r.closing;
        EXPECT_EQ(root.Result(), r.parentGets) << r.closing;
        EXPECT_TRUE(CController::IsRunning()) << r.closing;
    }
}

TEST_F(ControllerTest, RootClosingStopsTheProgram) {
    FakeScreen root(2);
    root.Activate(nullptr);
    root.Close(1);
    EXPECT_FALSE(CController::IsRunning());
    EXPECT_FALSE(root.IsActive());
}

TEST_F(ControllerTest, ScreenSwitchSetsMenuFramePeriod) {
    CDraw::SetFrameRate(0);
    FakeScreen root(2), a(5);
    root.Activate(nullptr);
    root.OpenChild(&a);
    EXPECT_EQ(CDraw::GetFramePeriod(), 33u);
    CDraw::SetFrameRate(11);
    a.Close(1);
    EXPECT_EQ(CDraw::GetFramePeriod(), 33u);
}

TEST_F(ControllerTest, ModifierKeysOnlyChangeFlags) {
    EXPECT_FALSE(CController::InputModKey(false, 'a'));
    EXPECT_TRUE(CController::InputModKey(false, KEY_LSHIFT));
    EXPECT_EQ(CController::modShift, 1);
    EXPECT_EQ(CController::modLShift, 1);
    EXPECT_EQ(CController::modRShift, 0);
    EXPECT_TRUE(CController::InputModKey(false, KEY_RALT));
    EXPECT_EQ(CController::modAlt, 1);
    EXPECT_TRUE(CController::InputModKey(false, KEY_LALT));
    EXPECT_TRUE(CController::InputModKey(true, KEY_RALT));
    EXPECT_EQ(CController::modAlt, 1);  // left alt still held
    EXPECT_TRUE(CController::InputModKey(true, KEY_LALT));
    EXPECT_EQ(CController::modAlt, 0);
    EXPECT_TRUE(CController::InputModKey(false, KEY_RCTRL));
    EXPECT_EQ(CController::modCtrl, 1);
    EXPECT_EQ(CController::modRCtrl, 1);
}

TEST_F(ControllerTest, ScreenSwitchClearsModifiers) {
    FakeScreen root(2), a(3);
    root.Activate(nullptr);
    CController::InputModKey(false, KEY_LSHIFT);
    CController::InputModKey(false, KEY_LCTRL);
    root.OpenChild(&a);
    EXPECT_EQ(CController::modShift, 0);
    EXPECT_EQ(CController::modLShift, 0);
    EXPECT_EQ(CController::modCtrl, 0);
    EXPECT_EQ(CController::modLCtrl, 0);
}

TEST_F(ControllerTest, EscapeTakesTheScreensBackAction) {
    Recorder s;
    s.Activate(nullptr);
    s.Navigate(false, KEY_ESCAPE, CMenuKeys::Back::kStays);
    EXPECT_EQ(s.Result(), 0);
    s.Navigate(true, KEY_ESCAPE);
    EXPECT_EQ(s.Result(), 0);
    s.Navigate(false, KEY_ESCAPE, CMenuKeys::Back::kWidget, 4);
    EXPECT_EQ(s.Result(), 0);
    EXPECT_EQ(s.calls, std::vector<int>{400});
    s.Navigate(false, KEY_ESCAPE);
    EXPECT_EQ(s.Result(), 1);
}

TEST_F(ControllerTest, TabMovesForwardAndShiftTabBack) {
    FakeScreen s(3);
    s.Activate(nullptr);
    FakeWidget w0(0, &s), w1(1, &s), w2(2, &s);
    s.Navigate(false, KEY_TAB);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 0);
    EXPECT_EQ(w0.warps, 1);
    CController::InputModKey(false, KEY_RSHIFT);
    s.Navigate(false, KEY_TAB);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 2);
    EXPECT_EQ(w2.warps, 1);
}

TEST_F(ControllerTest, ArrowsMoveFocusBothWays) {
    FakeScreen s(3);
    s.Activate(nullptr);
    FakeWidget w0(0, &s), w1(1, &s);
    s.Navigate(false, KEY_UP);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 1);
    s.Navigate(false, KEY_LEFT);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 0);
    s.Navigate(false, KEY_RIGHT);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 1);
    s.Navigate(false, KEY_DOWN);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 0);
    s.Navigate(true, KEY_DOWN);
    EXPECT_EQ(CGuiButtonBase::GetFocusIndex(), 0);
}

TEST_F(ControllerTest, ReturnActivatesDefaultWhenNothingFocused) {
    Recorder s;
    s.Activate(nullptr);
    FakeWidget w0(7, &s), w1(8, &s, true);
    s.Navigate(false, KEY_RETURN);
    EXPECT_EQ(s.calls, std::vector<int>{800});
    s.Navigate(true, KEY_SPACE);
    EXPECT_EQ(s.calls.size(), 1u);
    s.Navigate(false, KEY_SPACE);
    EXPECT_EQ(s.calls.size(), 2u);
}

TEST_F(ControllerTest, CaptureKeyReleasedSavesNothing) {
    // Other tests of this program leave the display open: the screenless
    // press runs in a fresh copy of the program, where none was ever opened.
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            CTempDir dir;
            CScopedCwd cwd(dir.Path());
            FakeScreen s(3);
            bool ok = !CDraw::HasScreen();
            ok = ok && !s.CaptureScreen(false, 'a');
            ok = ok && !s.CaptureScreen(true, KEY_RETURN);
            ok = ok && s.CaptureScreen(true, KEY_KP0);
            // Pressed with no screen to save: no capture is claimed.
            testing::internal::CaptureStdout();
            ok = ok && s.CaptureScreen(false, KEY_KP0);
            ok = ok && testing::internal::GetCapturedStdout().find("Screen captured") == std::string::npos;
            int entries = 0;
            if (DIR* d = opendir(dir.Path().c_str())) {
                while (dirent* e = readdir(d))
                    if (e->d_name[0] != '.') ++entries;
                closedir(d);
            }
            exit(ok && entries == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    GTEST_FLAG_SET(death_test_style, style);
}

// Captures taken within one second (or by two copies of the game in one
// folder) each keep a file of their own: none is written over another.
TEST_F(ControllerTest, CapturesInOneSecondEachKeepTheirOwnFile) {
    CTempDir dir;
    CScopedCwd cwd(dir.Path());
    FakeScreen s(3);
    ASSERT_TRUE(spritetest::OpenVideo());
    testing::internal::CaptureStdout();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(s.CaptureScreen(false, KEY_KP0));
    const std::string told = testing::internal::GetCapturedStdout();
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.Path().c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    ASSERT_EQ(names.size(), 3u) << told;
    for (const std::string& name : names) {
        EXPECT_NE(told.find("Screen captured:  " + name + "\n"), std::string::npos) << name;
        EXPECT_GT(ReadFileBytes(dir.File(name)).size(), 54u) << name;
    }
    CDraw::CloseScreen();
}

// An installed game's capture goes into the game's folder, made only inside
// a pictures folder that is there. One that cannot be saved says why on
// standard error and leaves nothing behind: no pictures folder (its drive
// not mounted, or none named: HOME relative), one that is read-only (to an ordinary user when the tests
// run as root), or a write that fails (a file-size limit, as a full disk).
TEST_F(ControllerTest, ACaptureThatCannotBeSavedSaysWhyAndLeavesNothing) {
    enum Row { PICTURES_NOT_THERE, PICTURES_READ_ONLY, WRITE_FAILS, HOME_RELATIVE };
    ASSERT_TRUE(spritetest::OpenVideo());
    for (const Row row : {PICTURES_NOT_THERE, PICTURES_READ_ONLY, WRITE_FAILS, HOME_RELATIVE}) {
        SCOPED_TRACE(row);
        CTempDir home;
        ASSERT_EQ(chmod(home.Path().c_str(), 0755), 0);
        const std::string pictures = home.File("Pictures"), ours = pictures + "/ZORV Screenshots/";
        const bool made = row == PICTURES_READ_ONLY || row == WRITE_FAILS;
        if (made) {
            ASSERT_EQ(mkdir(pictures.c_str(), row == PICTURES_READ_ONLY ? 0555 : 0755), 0);
        }
        const std::string told = home.File("told.txt");
        const pid_t child = fork();  // its user, limits and standard error its own
        if (child == 0) {
            const int fd = open(told.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const rlimit small = {4096, 4096};
            signal(SIGXFSZ, SIG_IGN);
            if (fd < 0 || dup2(fd, 2) < 0 || (row == WRITE_FAILS && setrlimit(RLIMIT_FSIZE, &small) != 0) ||
                (row == PICTURES_READ_ONLY && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)))
                _exit(99);
            setenv("XDG_PICTURES_DIR", pictures.c_str(), 1);
            if (row == HOME_RELATIVE) {
                setenv("HOME", "relhome", 1);
                unsetenv("XDG_PICTURES_DIR");
                unsetenv("XDG_CONFIG_HOME");
            }
            EnableDebugCategory(DBG_WARNING);
            SetCapturesToPictures(true);
            _exit(FakeScreen(3).CaptureScreen(false, KEY_KP0) ? 0 : 1);
        }
        ASSERT_GT(child, 0);
        EXPECT_EQ(WaitForProgram(child, 30), 0);
        const std::string notSaved = "zorv: warning: Screen capture: not saved: ";
        const std::string says[] = {
            notSaved + "the pictures folder '" + pictures +
                "' is not there (its drive not mounted?), and the game makes none\n",
            notSaved + "the folder '" + ours + "' cannot be made: " + strerror(EACCES) + "\n",
            std::string(".bmp': ") + strerror(EFBIG) + "\n",
            notSaved + "there is no pictures folder: HOME is not an absolute path ('relhome'), nor XDG_PICTURES_DIR\n"};
        const std::string text = ReadFileText(told);
        EXPECT_NE(text.find(says[row]), std::string::npos) << text;
        EXPECT_EQ(PlatformEntryExists(pictures), made);
        EXPECT_TRUE(FolderEntries(pictures).empty());
    }
    SetCapturesToPictures(false);
    CDraw::CloseScreen();
}

}  // namespace
