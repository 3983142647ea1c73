// The scenes of the instructions pages as the builder composes them from
// world pictures: each shows one moment of play.
#include <gtest/gtest.h>

#include <string>

#include "images/InterfaceFamilies.h"

namespace {

bool Starts(const char* name, const char* prefix) { return std::string(name).rfind(prefix, 0) == 0; }

}  // namespace

// What a gun's shot does to a thing shows only once the shot has reached
// it: on the thing's cell the shot bursts in the same moment. A thing that
// reacted while the shot still flew toward it would teach the wrong rule.
TEST(InstructionScenes, AShotsWorkShowsOnlyWhereTheShotBursts) {
    const struct {
        const char* work;   // the thing reacting
        const char* burst;  // the shot bursting on it
    } shots[] = {
        {"icemeltingsteam", "heatgunimpact"},  // heat melts ice
        {"botfrozen", "frostexplode"},         // frost freezes a bot
    };
    for (const auto& shot : shots) {
        int shown = 0;
        for (const InterfaceFamilies::InstructionScene& scene : InterfaceFamilies::InstructionScenes())
            for (const InterfaceFamilies::ScenePiece& work : scene.pieces) {
                if (!Starts(work.name, shot.work)) continue;
                ++shown;
                bool burst = false;
                for (const InterfaceFamilies::ScenePiece& p : scene.pieces)
                    burst |= Starts(p.name, shot.burst) && p.left == work.left && p.top == work.top;
                EXPECT_TRUE(burst) << scene.picture << ": " << work.name << " at (" << work.left << ", "
                                   << work.top << ") shows before a shot bursts there";
            }
        EXPECT_GT(shown, 0) << "no scene shows " << shot.work;
    }
}
