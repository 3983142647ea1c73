// A small level in our level source format, run frame by frame by the level
// run with the real hero, the way the play screen runs it; the world's
// invariants are checked after every frame, and the sound system (when a test
// started it) steps once after the world, as in the frame loop.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sound/CSound.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElement.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevel.h"
#include "world/CWorldRun.h"

namespace worldtest {

// One frame of a run; a world that breaks an invariant fails the test.
inline void StepChecked(CWorldRun* run) {
    run->StepFrame();
    std::string what;
    if (!CWorldRun::CheckWorld(&what)) ADD_FAILURE() << "frame " << run->GetFrame() << ": " << what;
}

class LevelRunTest : public WorldTest {
protected:
    // Builds the level and starts its run; a second call unloads the first.
    void Load(const std::string& source) {
        run_.reset();
        std::string error;
        ASSERT_TRUE(CLevelSource::Parse(source, &level_, &error)) << error;
        run_ = std::make_unique<CWorldRun>(&level_);
        ASSERT_TRUE(run_->Start(&error)) << error;
        hero_ = dynamic_cast<CElementAIProfessor*>(CElement::GetHero());
        ASSERT_NE(hero_, nullptr);
    }
    void TearDown() override {
        run_.reset();
        WorldTest::TearDown();
    }
    void Frame() {
        if (checkWorld_)
            StepChecked(run_.get());
        else
            run_->StepFrame();
        CSound::Update();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) Frame();
    }
    // Runs frames until done() holds; false when it did not within maxFrames.
    template <typename Done>
    bool RunUntil(Done done, int maxFrames = 400) {
        for (int i = 0; i < maxFrames; ++i) {
            if (done()) return true;
            Frame();
        }
        return done();
    }
    void Press(int code) { run_->ApplyKey(code, false); }
    void Release(int code) { run_->ApplyKey(code, true); }
    int Now() const { return run_->GetFrame(); }

    CLevel level_;
    std::unique_ptr<CWorldRun> run_;
    CElementAIProfessor* hero_ = nullptr;
    // Off where a test knows the world check does not hold.
    bool checkWorld_ = true;
};

}  // namespace worldtest
