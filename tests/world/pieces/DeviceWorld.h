// Small worlds for the device scenarios: a level written as the bottom rows
// of a level source picture, either built by the game's level builder into a
// fresh headless world with a stand-in hero (the world steps only with one)
// and plain movable boxes the tests push around by hand, or run by the level
// run with the real hero, steered by keys as the play screen steers him.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/LevelRunTest.h"
#include "tests/support/StandInHero.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElement.h"
#include "world/CLevel.h"
#include "world/CLevelBuilder.h"

namespace devicetest {

// A wooden box: falls, slides and is pushed, like a crate on plain ground.
class Box : public CElement {
public:
    Box(int x, int y) : CElement(x, y, 1) {
        type = ELEMENT_OBJECT;
        typeObject = OBJECT_KIND_CRATE;
        gravity = slidable = dynamic = 1;
        occupiesGrid = 1;
        SetElementAt(x, y, this);
    }
};

// The source of a level whose tiles picture ends with the given rows
// (shorter rows are padded with '.'), followed by further source lines
// (teleports).
inline std::string LevelText(const std::vector<std::string>& rows, const std::string& extra) {
    return "heading: Devices\nbackground: 0\n" + worldtest::PictureSection("tiles", rows) + extra;
}

// The first element of a class in the element list whose cell is (x, y).
template <class T>
T* FindPiece(int x, int y) {
    for (CElement* e : CElement::GetAllElements()) {
        T* t = dynamic_cast<T*>(e);
        if (t && t->GetCurrentX() == x && t->GetCurrentY() == y) return t;
    }
    return nullptr;
}

class DeviceWorldTest : public worldtest::WorldTest {
protected:
    // The walker starts at (walkerX, walkerY); without a cell it waits in the
    // top left corner, out of the way and without weight.
    void Build(const std::vector<std::string>& rows, const std::string& extra = "", int walkerX = -1,
               int walkerY = -1) {
        level_ = std::make_unique<CLevel>();
        std::string error;
        ASSERT_TRUE(CLevelSource::Parse(LevelText(rows, extra), level_.get(), &error)) << error;
        CLevelBuilder::Build(level_.get());
        if (walkerX < 0) {
            walker_ = new worldtest::StandInHero(0, 0);
            walker_->gravity = 0;
        } else {
            walker_ = new worldtest::StandInHero(walkerX, walkerY);
        }
    }

    template <class T>
    static T* Find(int x, int y) {
        return FindPiece<T>(x, y);
    }

    std::unique_ptr<CLevel> level_;
    worldtest::StandInHero* walker_ = nullptr;
};

// A level with an entrance tube, run frame by frame by the level run with
// the real hero; the world's invariants are checked after every frame.
class DeviceRunTest : public worldtest::LevelRunTest {
protected:
    // Builds and starts the level and waits until the hero has come out of
    // the entrance tube.
    void Load(const std::vector<std::string>& rows, const std::string& extra = "") {
        ASSERT_NO_FATAL_FAILURE(LevelRunTest::Load(LevelText(rows, extra)));
        ASSERT_TRUE(RunUntil([&] { return !hero_->arriving && !hero_->IsMoving(); }));
    }
    // Runs until the level ends, at most maxFrames more; the result.
    std::string RunToEnd(int maxFrames = 600) {
        run_->Run(run_->GetFrame() + maxFrames, true);
        EXPECT_EQ(run_->GetFailure(), "");
        return run_->GetResult();
    }
    // Holds the key until the hero has begun his move into column x, lets go
    // and waits until he stands still; false when he never got there.
    bool WalkTo(int code, int x) {
        Press(code);
        const bool reached = RunUntil([&] { return hero_->GetCurrentX() == x; });
        Release(code);
        RunUntil([&] { return !hero_->IsMoving() && !hero_->FALLING; });
        return reached;
    }
    template <class T>
    static T* Find(int x, int y) {
        return FindPiece<T>(x, y);
    }
};

}  // namespace devicetest
