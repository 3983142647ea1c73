// Small worlds for the device scenarios: a level written as the bottom rows
// of a level source picture, built by the game's level builder into a fresh
// headless world, with a stand-in hero (the world steps only with one) and
// plain movable boxes the tests push around by hand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/WorldTestSupport.h"
#include "tools/levels/CLevelSource.h"
#include "world/CElement.h"
#include "world/CElementAI.h"
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

// Stands in for the hero: an AI element that walks while a key is held.
class Walker : public CElementAI {
public:
    Walker(int x, int y) : CElementAI(x, y) {
        typeAI = AI_PROFESSOR;
        SetHero(this);
        SetElementAt(x, y, this);
    }
    void Update() override {
        if (MOVING || FALLING) return;
        TryHeldMoves();
    }
};

class DeviceWorldTest : public worldtest::WorldTest {
protected:
    // rows: the bottom rows of the tiles picture (shorter rows are padded
    // with '.'); extra: further source lines (teleports). The walker starts
    // at (walkerX, walkerY); without a cell it waits in the top left corner,
    // out of the way and without weight.
    void Build(const std::vector<std::string>& rows, const std::string& extra = "", int walkerX = -1,
               int walkerY = -1) {
        std::string text = "heading: Devices\nbackground: 0\ntiles:\n";
        const size_t blank = CLevel::kHeight - rows.size();
        for (size_t r = 0; r < CLevel::kHeight; ++r) {
            std::string row = r < blank ? "" : rows[r - blank];
            row.resize(CLevel::kWidth, '.');
            text += row + "\n";
        }
        text += extra;
        level_ = std::make_unique<CLevel>();
        std::string error;
        ASSERT_TRUE(CLevelSource::Parse(text, level_.get(), &error)) << error;
        CLevelBuilder::Build(level_.get());
        if (walkerX < 0) {
            walker_ = new Walker(0, 0);
            walker_->gravity = 0;
        } else {
            walker_ = new Walker(walkerX, walkerY);
        }
    }

    // The first element of a class in the element list whose cell is (x, y).
    template <class T>
    static T* Find(int x, int y) {
        for (CElement* e : CElement::GetAllElements()) {
            T* t = dynamic_cast<T*>(e);
            if (t && t->GetCurrentX() == x && t->GetCurrentY() == y) return t;
        }
        return nullptr;
    }
    // Steps until the condition holds; false after maxFrames.
    template <class F>
    static bool StepUntil(F done, int maxFrames) {
        for (int i = 0; i < maxFrames; ++i) {
            if (done()) return true;
            worldtest::Step();
        }
        return done();
    }

    std::unique_ptr<CLevel> level_;
    Walker* walker_ = nullptr;
};

}  // namespace devicetest
