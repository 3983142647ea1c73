#include <gtest/gtest.h>

#include "engine/Log.h"
#include "engine/Parameters.h"
#include "engine/Utilities.h"
#include "tests/support/TestSupport.h"

namespace {

class ParametersTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitDebugLog(false);
        ResetParameters();
        ResetDirectories();  // no profile folder: no log file is written
    }
    // Loads text as a parameter file in a private working folder and returns
    // what was told on standard error.
    std::string Load(const std::string& text) {
        WriteFileText(dir_.File("resource8.dat"), text);
        CScopedCwd cwd(dir_.Path());
        testing::internal::CaptureStderr();
        LoadParameters();
        return testing::internal::GetCapturedStderr();
    }
    CTempDir dir_;
};

}  // namespace

TEST_F(ParametersTest, OnlyTheAddressGivesAllFlagsOnAndNoVendor) {
    EXPECT_EQ(Load("MOREGAMES_URL http://a.example/x\n"), "");
    EXPECT_STREQ(GetMoreGamesURL(), "http://a.example/x");
    EXPECT_EQ(GetVendorID(), nullptr);
    EXPECT_EQ(GetScoreboardURL(), nullptr);
    EXPECT_TRUE(UseZJBlink());
    EXPECT_TRUE(UseMoreGames());
    EXPECT_TRUE(UseMoreLevels());
}

TEST_F(ParametersTest, CrLfLinesBlanksAndFlags) {
    Load("  MOREGAMES_URL   http://b.example  \r\nVENDOR_ID v42\r\nUSE_MOREGAMES 0\r\nUSE_ZJ_BLINK yes\r\n"
         "USE_MORELEVELS 1\r\nMOREGAMES_URL http://later.example\r\nSCOREBOARD_URL http://club.example/zorv/\r\n");
    EXPECT_STREQ(GetMoreGamesURL(), "http://later.example");
    EXPECT_STREQ(GetScoreboardURL(), "http://club.example/zorv/");
    EXPECT_STREQ(GetVendorID(), "v42");
    EXPECT_FALSE(UseMoreGames());
    EXPECT_FALSE(UseZJBlink());
    EXPECT_TRUE(UseMoreLevels());
}

// Each bad line is told with the file's whole path and the line's number,
// down to a last line cut short.
TEST_F(ParametersTest, BadLinesAreReportedAndSkipped) {
    const std::string out =
        Load("MOREGAMES_URL http://c.example\n\nmoregames_url http://x\nVENDOR_ID a b\nCOLOUR blue\nSC");
    const std::string told = "The resource file '" + dir_.File("resource8.dat") + "' is damaged: its line ";
    for (const char* line : {"2 '", "3 'moregames_url http://x", "4 'VENDOR_ID a b", "5 'COLOUR blue", "6 'SC"})
        EXPECT_NE(out.find(told + line + "' is no setting of the game, and is left out\n"), std::string::npos) << out;
    EXPECT_EQ(GetVendorID(), nullptr);
    EXPECT_STREQ(GetMoreGamesURL(), "http://c.example");
}

TEST_F(ParametersTest, MissingAddressEndsTheProgram) {
    WriteFileText(dir_.File("resource8.dat"), "MOREGAMES_URL http://a http://b\nUSE_MOREGAMES 1\n");
    CScopedCwd cwd(dir_.Path());
    EXPECT_EXIT(LoadParameters(), ::testing::ExitedWithCode(1),
                "The resource file '.*/resource8.dat' is damaged\nzorv: 'MoreGames' URL has not been defined.\n");
}

TEST_F(ParametersTest, MissingFileEndsTheProgram) {
    CScopedCwd cwd(dir_.Path());
    EXPECT_EXIT(LoadParameters(), ::testing::ExitedWithCode(1),
                "The resource file '.*/resource8.dat' is missing\nzorv: 'MoreGames' URL has not been defined.\n");
}
