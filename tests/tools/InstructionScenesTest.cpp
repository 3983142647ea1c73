// The scenes of the instructions pages as the builder composes them from
// world pictures: each shows one moment of play.
#include <gtest/gtest.h>

#include <string>

#include "images/InterfaceFamilies.h"

namespace {

bool Starts(const char* name, const char* prefix) { return std::string(name).rfind(prefix, 0) == 0; }

}  // namespace

// An effect shows only on the cell of what it belongs to. What a gun's shot
// does to a thing shows only once the shot has reached it: on the thing's
// cell the shot bursts in the same moment (a thing that reacted while the
// shot still flew toward it would teach the wrong rule). The EMP's sparks
// play over a magnet, which they switch off: sparks on their own show
// nothing that the page's text names.
TEST(InstructionScenes, EachEffectShowsOnTheCellOfWhatItBelongsTo) {
    const struct {
        const char* effect;
        const char* on;  // what stands on its cell
    } effects[] = {
        {"icemeltingsteam", "heatgunimpact"},  // heat melts ice
        {"botfrozen", "frostexplode"},         // frost freezes a bot
        {"magnetemp", "magnetrightstill"},     // the EMP switches a magnet off
    };
    for (const auto& effect : effects) {
        int shown = 0;
        for (const InterfaceFamilies::InstructionScene& scene : InterfaceFamilies::InstructionScenes())
            for (const InterfaceFamilies::ScenePiece& piece : scene.pieces) {
                if (!Starts(piece.name, effect.effect)) continue;
                ++shown;
                bool on = false;
                for (const InterfaceFamilies::ScenePiece& p : scene.pieces)
                    on |= Starts(p.name, effect.on) && p.left == piece.left && p.top == piece.top;
                EXPECT_TRUE(on) << scene.picture << ": " << piece.name << " at (" << piece.left << ", " << piece.top
                                << ") shows without " << effect.on << " there";
            }
        EXPECT_GT(shown, 0) << "no scene shows " << effect.effect;
    }
}
