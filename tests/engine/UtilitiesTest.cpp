#include <gtest/gtest.h>

#include <sys/stat.h>

#include "engine/DataFolder.h"
#include "engine/Log.h"
#include "engine/ReadNumber.h"
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

// One reader for every number typed or sent (options, level fields, the
// score protocol): the whole text, decimal, within its bounds, or nothing.
TEST(Utilities, ANumberIsTheWholeTextInDecimalWithinItsBounds) {
    const struct {
        const char* text;
        bool read;
        long value;
    } whole[] = {
        {"42", true, 42},   {"-5", true, -5},    {"007", true, 7},    {"100", true, 100}, {"101", false, 0},
        {"-6", false, 0},   {"", false, 0},      {"-", false, 0},     {" 5", false, 0},   {"5 ", false, 0},
        {"+5", false, 0},   {"0x10", false, 0},  {"1e2", false, 0},   {"5a", false, 0},   {"-0", false, 0},
        {"0", true, 0},
        {"99999999999999999999", false, 0},
    };
    for (const auto& row : whole) {
        long value = -99;
        EXPECT_EQ(ReadNumber(row.text, -5L, 100L, &value), row.read) << row.text;
        EXPECT_EQ(value, row.read ? row.value : -99) << row.text;
    }
    const struct {
        const char* text;
        bool read;
        double value;
    } real[] = {
        {"0.5", true, 0.5}, {"1e1", true, 10}, {"-1", true, -1}, {"10.5", false, 0}, {"nan", false, 0},
        {"inf", false, 0},  {".", false, 0},   {"+1", false, 0}, {"1,5", false, 0},  {"-0", false, 0},
        {"-0.0", false, 0}, {"0", true, 0},
    };
    for (const auto& row : real) {
        double value = -99;
        EXPECT_EQ(ReadNumber(row.text, -1.0, 10.0, &value), row.read) << row.text;
        EXPECT_EQ(value, row.read ? row.value : -99) << row.text;
    }
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

// The player's folders are made where the desktop says: only absolute values
// of HOME and the XDG variables count (a relative one is as if not set), the
// documents and pictures folders come from the environment, else from
// user-dirs.dirs as xdg-user-dir reads it, else the English names; with no
// home at all, in the working folder. In a row "~" is the home folder, "-"
// unsets a variable, "" is no folder (the working folder's).
// Only a game in its run folder may take the working folder: an installed
// one refuses to start, naming what is not set.
TEST(Utilities, TheFoldersAreTheDesktopsAndOnlyAbsoluteOnesCount) {
    const char* const kDirs = "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> environment;
        const char* userDirs;  // ~/.config/user-dirs.dirs, unless null
        const char* profile;
        const char* levels;
        const char* pictures;
        const char* unset = nullptr;  // what HasPlayerFolders names as not set, when it answers false
    } rows[] = {
        {"the XDG folders", {}, nullptr, "~/data", "~/documents", "~/Pictures"},
        {"no XDG folders", {{"XDG_DATA_HOME", "-"}, {"XDG_DOCUMENTS_DIR", "-"}}, nullptr, "~/.local/share",
         "~/Documents", "~/Pictures"},
        {"relative XDG folders", {{"XDG_DATA_HOME", "data"}, {"XDG_DOCUMENTS_DIR", "docs"}}, nullptr,
         "~/.local/share", "~/Documents", "~/Pictures"},
        {"no home", {{"HOME", "-"}, {"XDG_DATA_HOME", "-"}, {"XDG_DOCUMENTS_DIR", "-"}}, nullptr, "", "", "",
         "XDG_DATA_HOME and XDG_DOCUMENTS_DIR"},
        {"a relative home", {{"HOME", "h"}, {"XDG_DATA_HOME", "-"}, {"XDG_DOCUMENTS_DIR", "-"}}, kDirs, "", "", "",
         "XDG_DATA_HOME and XDG_DOCUMENTS_DIR"},
        {"no home, both XDG folders", {{"HOME", "-"}}, nullptr, "~/data", "~/documents", ""},
        {"no home, no levels folder", {{"HOME", "-"}, {"XDG_DOCUMENTS_DIR", "-"}}, nullptr, "~/data", "", "",
         "XDG_DOCUMENTS_DIR"},
        {"no home, no data folder", {{"HOME", "-"}, {"XDG_DATA_HOME", "-"}}, nullptr, "", "~/documents", "",
         "XDG_DATA_HOME"},
        {"user-dirs.dirs", {{"XDG_DOCUMENTS_DIR", "-"}},
         "# xdg-user-dirs-update\n XDG_DOCUMENTS_DIR = \"$HOME/Dokumente/\"\nXDG_PICTURES_DIR=\"~/B \\\"x\\\"\"\n",
         "~/data", "~/Dokumente", "~/B \"x\""},
        {"the environment first", {{"XDG_PICTURES_DIR", "~/pics"}}, kDirs, "~/data", "~/documents", "~/pics"},
        {"XDG_CONFIG_HOME", {{"XDG_CONFIG_HOME", "~/elsewhere"}, {"XDG_DOCUMENTS_DIR", "-"}}, kDirs, "~/data",
         "~/Documents", "~/Pictures"},
        {"a relative XDG_CONFIG_HOME", {{"XDG_CONFIG_HOME", "elsewhere"}, {"XDG_DOCUMENTS_DIR", "-"}}, kDirs,
         "~/data", "~/Dokumente", "~/Bilder"},
        {"the last line that sets an absolute folder", {{"XDG_DOCUMENTS_DIR", "-"}},
         "XDG_DOCUMENTS_DIR=\"$HOME/1\"\nXDG_DOCUMENTS_DIR=\"$HOME/2\"\nXDG_DOCUMENTS_DIR=\"rel\"\n"
         "XDG_DOCUMENTS_DIR=$HOME/unquoted\nXDG_DOCUMENTS_DIR=\"$HOMEWORK\"\nXDG_DOCUMENTS_DIRS=\"$HOME/3\"\n"
         "XDG_PICTURES_DIR=\"$HOME/open\n",
         "~/data", "~/2", "~/Pictures"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CScopedHome home;
        CTempDir work;
        CScopedCwd cwd(work.Path());
        const auto inHome = [&](std::string text) {
            for (size_t at; (at = text.find('~')) != std::string::npos;) text.replace(at, 1, home.Path());
            return text;
        };
        for (const auto& [name, value] : row.environment) {
            if (std::string(value) == "-")
                unsetenv(name);
            else
                setenv(name, inHome(value).c_str(), 1);
        }
        if (row.userDirs) {
            ASSERT_TRUE(PlatformMakeDirs(home.Path() + "/.config"));
            ASSERT_TRUE(WriteFileText(home.Path() + "/.config/user-dirs.dirs", inHome(row.userDirs)));
        }
        InitDirectories();
        EXPECT_EQ(GetProfileDir(), *row.profile ? inHome(row.profile) + "/Vormak Games/ZORV Data/" : "resource/");
        EXPECT_EQ(GetLevelsDir(), (*row.levels ? inHome(row.levels) + "/" : "") + "ZORV Levels/");
        EXPECT_TRUE(PlatformIsDirectory(GetProfileDir()) && PlatformIsDirectory(GetLevelsDir()));
        std::string pictures;
        EXPECT_EQ(PlatformPicturesDir(&pictures) ? pictures : "", inHome(row.pictures));
        EXPECT_EQ(FolderEntries(work.Path()).size(), (*row.profile ? 0u : 1u) + (*row.levels ? 0u : 1u));
        std::string problem;
        EXPECT_EQ(HasPlayerFolders(&problem), !row.unset);
        if (row.unset) {
            EXPECT_NE(problem.find(std::string(", nor ") + row.unset + " ("), std::string::npos) << problem;
        }
        ResetDirectories();
    }
}

