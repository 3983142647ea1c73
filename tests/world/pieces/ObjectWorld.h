// A world built from a small level written in our level source format,
// through the one level builder, for the scenario tests of the pieces.
//
// Tests that lay out a world by hand get plain stand-ins for the floor and
// the hero: a floor of a chosen surface value, and a hero who only walks
// with his held keys.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/StandInFloor.h"
#include "tests/support/StandInHero.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/levels/CLevelSource.h"
#include "world/CLevel.h"
#include "world/CLevelBuilder.h"

namespace objecttest {

using worldtest::StandInFloor;
using worldtest::StandInHero;

// The level source of a picture: rows from the top, each padded with empty
// cells to 32; missing rows are empty. states (optional) likewise, '.'
// normal, 'f' frozen, 'h' heated. extra: further source lines (signs,
// teleports), each ending with a line break.
inline std::string LevelSource(const std::vector<std::string>& rows, const std::vector<std::string>& states = {},
                               const std::string& extra = "") {
    std::string text = "heading: objects\nbackground: 0\n" + worldtest::PictureSection("tiles", rows, true);
    if (!states.empty()) text += worldtest::PictureSection("states", states, true);
    return text + extra;
}

class ObjectWorldTest : public worldtest::WorldTest {
protected:
    // Builds the level; the picture needs an entrance tube 'S' for the hero.
    void Build(const std::vector<std::string>& rows, const std::vector<std::string>& states = {},
               const std::string& extra = "") {
        std::string error;
        ASSERT_TRUE(CLevelSource::Parse(LevelSource(rows, states, extra), &level_, &error)) << error;
        ASSERT_NE(CLevelBuilder::Build(&level_), nullptr) << "the level has no entrance tube";
    }

    static std::string SpriteName(const CElement* e) {
        return e && e->GetSprite() ? e->GetSprite()->GetName() : "";
    }

    // Steps and collects the names of the sprites the element shows, each
    // change once.
    static std::vector<std::string> ShownSprites(const CElement* e, int frames) {
        std::vector<std::string> names{SpriteName(e)};
        for (int i = 0; i < frames; ++i) {
            worldtest::Step();
            const std::string name = e->GetSprite() && !e->GetSprite()->IsHidden() ? SpriteName(e) : "(hidden)";
            if (name != names.back()) names.push_back(name);
        }
        return names;
    }

    CLevel level_;
};

}  // namespace objecttest
