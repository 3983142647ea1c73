// Shared set-up of the sound tests: a private HOME and profile folder, the
// generated sound pack of the run folder, and the sound system started on
// SDL's dummy audio driver.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

// The 94 names the game asks for, from the builder's list.
std::vector<std::string> SoundNames();
// Counts the lines of the profile folder's LOG.TXT that contain text.
int CountLogLines(const std::string& text);

class SoundSystemTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs n frames of the sound system.
    static void Frames(int n);

    std::unique_ptr<CScopedHome> home_;
    std::unique_ptr<CScopedCwd> cwd_;
};
