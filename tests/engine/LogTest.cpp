#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <regex>

#include "engine/Log.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "tests/support/ScopedDirectories.h"
#include "tests/support/TestSupport.h"

namespace {

uint32_t g_fakeTicks = 0;
uint32_t FakeClock() { return g_fakeTicks; }

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitDebugLog(false);
        EnableDebugCategory(DBG_NOTE);
        EnableDebugCategory(DBG_WARNING);
        EnableDebugCategory(DBG_ERROR);
        SetLogClock(FakeClock);
    }
    void TearDown() override {
        SetLogSink(nullptr);
        SetLogClock(nullptr);
    }
    CScopedDirectories dirs_;
};

std::string Captured(void (*log)()) {
    testing::internal::CaptureStdout();
    log();
    return testing::internal::GetCapturedStdout();
}

std::string CapturedErrors(void (*log)()) {
    testing::internal::CaptureStderr();
    log();
    return testing::internal::GetCapturedStderr();
}

}  // namespace

// Warnings and errors, which a player or a script must see, go to standard
// error in the form of the game's other lines there, a line at a time, their
// control characters written out.
TEST_F(LogTest, NormalRunningShowsOnlyNotesWarningsAndErrors) {
    EXPECT_EQ(Captured([] { DebugLog(DBG_DEBUG, "hidden %d\n", 1); }), "");
    EXPECT_EQ(Captured([] { DebugLog(DBG_NOTE, "n\n"); }), "NOTE:    n\n");
    EXPECT_EQ(CapturedErrors([] { DebugLog(DBG_WARNING, "careful %s\n", "now"); }), "zorv: warning: careful now\n");
    EXPECT_EQ(CapturedErrors([] { DebugLog(DBG_ERROR, "e\n"); }), "zorv: e\n");
    EXPECT_EQ(CapturedErrors([] {
                  DebugLog(DBG_WARNING, "half ");
                  DebugLog(DBG_NOPREFIX | DBG_WARNING, "a \x1b[31m line\n");
                  ErrorLog(false, "two\nlines\n");
              }),
              "zorv: warning: half a \\x1b[31m line\nzorv: two\nzorv: lines\n");
}

TEST_F(LogTest, ContinuationFlagDropsThePrefix) {
    EnableDebugCategory(DBG_SORT_RV);
    EXPECT_EQ(Captured([] { DebugLog(DBG_NOPREFIX | DBG_SORT_RV, "tail\n"); }), "tail\n");
    EXPECT_EQ(Captured([] { DebugLog(DBG_SORT_RV, "x\n"); }), "RENDER SORTING RV:           x\n");
    DisableDebugCategory(DBG_SORT_RV);
    EXPECT_EQ(Captured([] { DebugLog(DBG_NOPREFIX | DBG_SORT_RV, "tail\n"); }), "");
}

TEST_F(LogTest, TickLinesShowTheTimeSinceTheLastOne) {
    EnableDebugCategory(DBG_TICK);
    EnableDebugCategory(DBG_MILESTONE);
    g_fakeTicks = 1000;
    Captured([] { DebugLog(DBG_TICK, "a\n"); });
    g_fakeTicks = 1040;
    EXPECT_EQ(Captured([] { DebugLog(DBG_TICK, "b\n"); }), "*** T=1040      d=+40      *** b\n");
    // The milestone category keeps its own stamp.
    g_fakeTicks = 1100;
    Captured([] { DebugLog(DBG_MILESTONE, "c\n"); });
    g_fakeTicks = 1150;
    EXPECT_EQ(Captured([] { DebugLog(DBG_MILESTONE, "ID_000:  x\n"); }),
              "BETA TICKS:   T=1150      d=+50      *** ID_000:  x\n");
    // A continuation of a tick category prints neither tick nor prefix.
    EXPECT_EQ(Captured([] { DebugLog(DBG_NOPREFIX | DBG_TICK, "more\n"); }), "more\n");
}

TEST_F(LogTest, OutOfRangeCategoriesAndLongPrefixesAreSafe) {
    EnableDebugCategory(500);
    ToggleDebugCategory(-3);
    EXPECT_EQ(Captured([] { DebugLog(500, "nothing\n"); }), "");
    SetDebugPrefix(DBG_NOTE, "0123456789012345678901234567890123456789");
    EXPECT_EQ(Captured([] { DebugLog(DBG_NOTE, "!\n"); }), "0123456789012345678901234567890123!\n");
}

TEST_F(LogTest, ErrorLogAppendsStampedEntriesToTheProfileFolder) {
    CScopedHome home;
    InitDirectories();
    const std::string logPath = std::string(GetProfileDir()) + "LOG.TXT";
    testing::internal::CaptureStderr();
    ErrorLog(false, "first %d\n", 1);
    ErrorLog(false, "second\n");
    ErrorLog(false, "third\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "zorv: first 1\nzorv: second\nzorv: third\n");
    const std::string text = ReadFileText(logPath);
    // Year first: a date that reads one way only.
    const std::regex entry(R"(20\d\d-\d\d-\d\d \d\d:\d\d:\d\d - (first 1|second|third)\n)");
    int count = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), entry); it != std::sregex_iterator(); ++it) ++count;
    EXPECT_EQ(count, 3) << text;
    EXPECT_EQ(text.find("first 1"), 22u);
}

TEST_F(LogTest, FatalErrorLogEndsWithExitCodeOne) {
    CTempDir dir;
    CScopedCwd cwd(dir.Path());
    ResetDirectories();
    EXPECT_EXIT(ErrorLog(true, "fatal thing\n"), ::testing::ExitedWithCode(1), "");
    // Before the folders are known the entry goes to the console alone,
    // never into the working folder.
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

std::string g_sunk;
void Sink(const std::string& text) { g_sunk += text; }
void SinkToStderr(const std::string& text) { fputs(text.c_str(), stderr); }

TEST_F(LogTest, ASinkTakesEveryLineAndNeitherTheConsoleNorTheLogFileSeesOne) {
    CScopedHome home;
    InitDirectories();
    g_sunk.clear();
    SetLogSink(Sink);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    DebugLog(DBG_ERROR, "broken %d\n", 7);
    DebugLog(DBG_WARNING, "half ");
    DebugLog(DBG_NOPREFIX | DBG_WARNING, "a line\n");
    ErrorLog(false, "not the end\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(g_sunk, "*** ERROR ***  broken 7\nWARNING: half a line\nnot the end\n");
    EXPECT_FALSE(PlatformFileExists(LogFilePath()));
    // A fatal line still ends the program, told where the sink tells.
    SetLogSink(SinkToStderr);
    EXPECT_EXIT(ErrorLog(true, "the end\n"), ::testing::ExitedWithCode(1), "the end");
}

// A line that cannot go into LOG.TXT says why on the console: a log file that
// cannot be opened (a folder, a pipe, which is never written into), or a
// data folder that is no longer the one this copy of the game locked
// (deleted, and another made at its path), which gets nothing of ours; nor
// does one that cannot be reached now, or could not at start.
TEST_F(LogTest, ALineTheLogFileCannotTakeSaysWhy) {
    enum Row { FOLDER, PIPE, FOLDER_NOT_OURS, FOLDER_UNREACHABLE, FOLDER_AWAY_SINCE_START };
    for (const Row row : {FOLDER, PIPE, FOLDER_NOT_OURS, FOLDER_UNREACHABLE, FOLDER_AWAY_SINCE_START}) {
        SCOPED_TRACE(row);
        CScopedHome home;
        InitDirectories();
        const std::string dir = GetProfileDir();
        const std::string folder = dir.substr(0, dir.size() - 1);
        PlatformFileId id;
        ASSERT_TRUE(PlatformIdentify(folder, &id));
        if (row == FOLDER) {
            ASSERT_TRUE(PlatformMakeDir(LogFilePath()));
        } else if (row == PIPE) {
            ASSERT_EQ(mkfifo(LogFilePath().c_str(), 0644), 0);
        } else if (row == FOLDER_AWAY_SINCE_START) {
            NoteProfileDirAway(ENOENT);
        } else {
            NoteClaimedProfileDir(id.device, id.inode);
            ASSERT_EQ(rename(folder.c_str(), (folder + " (locked)").c_str()), 0);
            if (row == FOLDER_NOT_OURS) {
                ASSERT_TRUE(PlatformMakeDir(folder));
            }
        }
        testing::internal::CaptureStderr();
        ErrorLog(false, "a line\n");
        const std::string said = testing::internal::GetCapturedStderr();
        const char* const folderWhy[] = {"", "", "is no longer the one this game locked",
                                         "cannot be reached now (No such file or directory)",
                                         "could not be reached when the game started (No such file or directory)"};
        const std::string why = row >= FOLDER_NOT_OURS ? "zorv: Not written to the log file '" + LogFilePath() +
                                                             "': the data folder " + folderWhy[row] + "\n"
                                                       : "zorv: Cannot open log file at '" + LogFilePath() + "'\n";
        EXPECT_EQ(said, "zorv: a line\n" + why);
        if (row == FOLDER_NOT_OURS) {
            EXPECT_TRUE(FolderEntries(folder).empty());
        }
        if (row == FOLDER_AWAY_SINCE_START) {
            EXPECT_FALSE(PlatformFileExists(LogFilePath()));
        }
        ResetDirectories();
    }
}
