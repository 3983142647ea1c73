#include <gtest/gtest.h>

#include <sys/stat.h>

#include "engine/Log.h"
#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "tests/support/TestSupport.h"

TEST(Utilities, TokenizeSkipsRunsOfDelimiters) {
    std::vector<std::string> out{"kept"};
    Tokenize("  A  B ", out, " ");
    EXPECT_EQ(out, (std::vector<std::string>{"kept", "A", "B"}));
    std::vector<std::string> none;
    Tokenize("", none, " ");
    Tokenize(" ,, ", none, " ,");
    EXPECT_TRUE(none.empty());
}

TEST(Utilities, RectanglesOverlapStrictlyAndUnite) {
    EXPECT_FALSE(RectsOverlap({0, 0, 10, 10}, {10, 0, 5, 5}));
    EXPECT_TRUE(RectsOverlap({0, 0, 10, 10}, {9, 0, 5, 5}));
    EXPECT_FALSE(RectsOverlap({0, 0, 10, 10}, {0, 10, 5, 5}));
    Rect u;
    UnionRect(&u, {0, 0, 10, 10}, {5, 20, 10, 10});
    EXPECT_EQ(u, (Rect{0, 0, 15, 30}));
}

TEST(Utilities, GroupThousands) {
    EXPECT_EQ(GroupThousands(1234567), "1,234,567");
    EXPECT_EQ(GroupThousands(999), "999");
    EXPECT_EQ(GroupThousands(1001), "1,001");
    EXPECT_EQ(GroupThousands(1000000), "1,000,000");
    EXPECT_EQ(GroupThousands(0), "0");
    EXPECT_EQ(GroupThousands(-5), "0");
    char small[4];
    GroupThousands(123456, small, sizeof small);
    EXPECT_STREQ(small, "123");
}

TEST(Utilities, CaseCopiesHandleLongText) {
    const std::string longText(600, 'a');
    EXPECT_EQ(ToUpper(longText), std::string(600, 'A'));
    EXPECT_EQ(ToLower("MiXeD.LVL"), "mixed.lvl");
}

TEST(Utilities, RandomNumbersStayInRange) {
    srand(7);
    for (int i = 0; i < 2000; ++i) {
        const float f = RandomFloat(-2.0f, 3.0f);
        EXPECT_GE(f, -2.0f);
        EXPECT_LE(f, 3.0f);
        const int n = RandomInt(0.0f, 5.0f);
        EXPECT_GE(n, 0);
        EXPECT_LE(n, 5);
    }
}

TEST(Utilities, GetFilesMatchesTheExtensionAtTheEndOnly) {
    CTempDir dir;
    // "a.lvl.lvl" is the file of a level named "a.lvl"; a save broken off
    // leaves "a.lvl.tmp", which is none.
    for (const char* name : {"b.lvl", "a.lvl", "C.lvl", "a.LVL", "a.lvl.bak", "a.lvl.tmp", "a.lvl.lvl", "noext"})
        WriteFileText(dir.File(name), "x");
    ASSERT_TRUE(PlatformMakeDir(dir.File("sub.lvl")));
    const std::string before = CurrentDir();

    std::vector<std::string> sorted;
    GetFiles(sorted, dir.Path().c_str(), ".lvl", true);
    EXPECT_EQ(sorted, (std::vector<std::string>{"a", "a.lvl", "b", "C"}));

    std::vector<std::string> unsorted{"stale"};
    GetFiles(unsorted, dir.Path().c_str(), ".lvl", false);
    EXPECT_EQ(unsorted.size(), 4u);
    EXPECT_EQ(CurrentDir(), before);
}

TEST(Utilities, GetFilesOnAMissingFolderGivesNothing) {
    InitDebugLog(false);
    EnableDebugCategory(DBG_DEBUG);
    std::vector<std::string> out{"stale"};
    testing::internal::CaptureStdout();
    GetFiles(out, "/nonexistent/zorv", ".lvl", false);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(out.empty());
    EXPECT_NE(log.find("GetFiles()   Unable to open directory '/nonexistent/zorv'"), std::string::npos);
}

TEST(Utilities, FoldersFollowXdgAndAreCreated) {
    CScopedHome home;
    InitDirectories();
    EXPECT_EQ(std::string(GetProfileDir()), home.DataHome() + "/Vormak Games/ZORV Data/");
    EXPECT_EQ(std::string(GetLevelsDir()), home.Documents() + "/ZORV Levels/");
    EXPECT_TRUE(PlatformIsDirectory(GetProfileDir()));
    EXPECT_TRUE(PlatformIsDirectory(GetLevelsDir()));
}

TEST(Utilities, FoldersFallBackToHome) {
    CScopedHome home;
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
    InitDirectories();
    EXPECT_EQ(std::string(GetProfileDir()), home.Path() + "/.local/share/Vormak Games/ZORV Data/");
    EXPECT_EQ(std::string(GetLevelsDir()), home.Path() + "/Documents/ZORV Levels/");
}

TEST(Utilities, WithoutAnyHomeTheProfileFolderIsTheResourceFolder) {
    CScopedHome home;
    CTempDir work;
    CScopedCwd cwd(work.Path());
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
    unsetenv("HOME");
    InitDirectories();
    EXPECT_STREQ(GetProfileDir(), "resource/");
    EXPECT_STREQ(GetLevelsDir(), "ZORV Levels/");
    EXPECT_TRUE(PlatformIsDirectory(work.File("resource")));
    EXPECT_TRUE(PlatformIsDirectory(work.File("ZORV Levels")));
}

TEST(Utilities, TheSystemCountsAsModern) {
    EXPECT_TRUE(IsVistaOrLater());
    EXPECT_TRUE(IsWinNT());
    EXPECT_FALSE(IsWin9x());
}
