// Linked into every test program of the game: each test must leave the
// process as it found it (the working folder, the home and XDG variables,
// the folders the game worked out from them), so that a test passes in any
// order, run alone or in its whole program. A test that leaves any of them
// changed fails, showing what it left; a program-wide start-up made during
// the test (NoteProgramWideSetUp) becomes what the next tests find.
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

const bool g_installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ProcessStateGuard);
    return true;
}();

}  // namespace
