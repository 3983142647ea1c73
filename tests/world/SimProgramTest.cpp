// The level runner program as its users call it: JSON on standard output,
// exit code 2 with one line on standard error for what it cannot run.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/TestSupport.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CLevel.h"

namespace {

ProgramRun Sim(const std::string& args, const std::string& errFile) {
    return RunProgram(std::string(ZORV_RUN_DIR) + "/zorv_sim " + args, errFile);
}

}  // namespace

TEST(SimProgram, RunsALevelFileAndRefusesWhatItCannotRun) {
    CTempDir dir;
    const std::string err = dir.File("err.txt");
    CLevel level = worldtest::WalkLevel(6);
    ASSERT_TRUE(level.SaveToPath(dir.File("walk.lvl")));

    ProgramRun o = Sim("--check --keys \"60:275:0\" " + dir.File("walk.lvl"), err);
    EXPECT_EQ(o.code, 0) << ReadFileText(err);
    EXPECT_EQ(o.out.rfind("{\"result\": \"exited\", \"frames\": ", 0), 0u) << o.out;
    EXPECT_NE(o.out.find("\"steps\": 4, \"hero\": [6, 22]"), std::string::npos) << o.out;

    o = Sim("--no-keys --frames 10 " + dir.File("walk.lvl"), err);
    EXPECT_EQ(o.code, 0);
    EXPECT_NE(o.out.find("\"result\": \"running\", \"frames\": 10,"), std::string::npos) << o.out;

    // No entrance tube, a file that is no level, bad keys, an unknown option.
    level.SetTile(NONE, 2, 22);
    ASSERT_TRUE(level.SaveToPath(dir.File("tubeless.lvl")));
    ASSERT_TRUE(WriteFileText(dir.File("junk.lvl"), "not a level"));
    for (const std::string& args :
         {dir.File("tubeless.lvl"), dir.File("junk.lvl"), "--keys 1:275 " + dir.File("walk.lvl"),
          "--keys 5:275:0,2:275:1 " + dir.File("walk.lvl"), "--fast " + dir.File("walk.lvl"), std::string("reg:999")}) {
        o = Sim(args, err);
        EXPECT_EQ(o.code, 2) << args;
        EXPECT_TRUE(o.out.empty()) << args;
        const std::string message = ReadFileText(err);
        EXPECT_EQ(message.rfind("zorv_sim: ", 0), 0u) << message;
        EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
    }
}
