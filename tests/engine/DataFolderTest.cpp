// Where a program finds its resource files: beside itself (the run folder),
// else in the install's data folder (../share/zorv by default), never in the
// folder it was started from.
#include <gtest/gtest.h>

#include "engine/BuildInfo.h"
#include "engine/DataFolder.h"
#include "engine/ResourceFiles.h"
#include "platform/Platform.h"
#include "tests/support/TestSupport.h"

TEST(DataFolder, BesideTheProgramElseInstalledElseNone) {
    struct Row {
        const char* what;
        bool dataBeside, shareFolder, shareData;
        const char* found;  // relative to the root, "" for none
        bool installed;
    } rows[] = {
        {"the run folder", true, false, false, "prefix/bin", false},
        {"installed", false, true, true, "prefix/bin/" ZORV_DATA_FROM_PROGRAM, true},
        {"data beside it wins over an install", true, true, true, "prefix/bin", false},
        {"an installed folder without the data", false, true, false, "", false},
        {"neither", false, false, false, "", false},
    };
    for (const Row& row : rows) {
        CTempDir root;
        const std::string bin = root.File("prefix/bin");
        ASSERT_TRUE(PlatformMakeDirs(bin));
        if (row.dataBeside) {
            ASSERT_TRUE(WriteFileText(bin + "/" + kImagePackFile, "pack"));
        }
        if (row.shareFolder) {
            ASSERT_TRUE(PlatformMakeDirs(root.File("prefix/bin/" ZORV_DATA_FROM_PROGRAM)));
        }
        if (row.shareData) {
            ASSERT_TRUE(WriteFileText(root.File("prefix/bin/" ZORV_DATA_FROM_PROGRAM "/") + kImagePackFile, "pack"));
        }
        // The working folder holds data too, and is never taken.
        ASSERT_TRUE(WriteFileText(root.File(kImagePackFile), "pack"));
        CScopedCwd cwd(root.Path());
        bool installed = !row.installed;
        const std::string found = FindDataFolder(bin, &installed);
        EXPECT_EQ(found, *row.found ? root.File(row.found) : "") << row.what;
        EXPECT_EQ(installed, row.installed) << row.what;
    }
}
