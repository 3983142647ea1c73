// Linked into every test program: a test that does not leave the process as
// it found it (the working folder, the home and XDG variables, the game's
// folders worked out from them) fails, so that each passes in any order,
// alone or in its whole program. A program-wide start-up made during a test
// (NoteProgramWideSetUp) becomes what the next tests find.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/Utilities.h"
#include "tests/support/TestSupport.h"

namespace {

std::string ProcessState() {
    std::string state = "working folder '" + CurrentDir() + "', profile folder '" + GetProfileDir() +
                        "', levels folder '" + GetLevelsDir() + "'";
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR", "XDG_CONFIG_HOME", "XDG_PICTURES_DIR"})
        state += std::string(", ") + name + (getenv(name) ? " '" + std::string(getenv(name)) + "'" : " unset");
    return state;
}

class ProcessStateGuard : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { before_ = ProcessState(); }
    void OnTestEnd(const ::testing::TestInfo&) override {
        if (TakeProgramWideSetUp()) return;
        EXPECT_EQ(ProcessState(), before_) << "the test left the process changed";
    }
    std::string before_;
};

const bool g_installed = (::testing::UnitTest::GetInstance()->listeners().Append(new ProcessStateGuard), true);

}  // namespace
