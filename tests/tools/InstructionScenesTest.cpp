// The scenes of the instructions pages as the builder composes them from
// world pictures: each shows one moment of play.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "images/InterfaceFamilies.h"

namespace {

bool Starts(const char* name, const char* prefix) { return std::string(name).rfind(prefix, 0) == 0; }

// The cells a run of ground covers ("grass5.png" five, "sand3b.png" three);
// 0 for a piece that is no ground.
int GroundCells(const char* name) {
    for (const char* kind : {"grass", "sand", "ice"})
        if (Starts(name, kind)) return std::atoi(name + std::string(kind).size());
    return 0;
}

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

// A ladder meets the ground as levels build it: where a ledge ends beside
// its column, a platform on the ladder joins the two at the ledge's top, and
// its foot stands on the floor.
TEST(InstructionScenes, LaddersMeetTheirLedgesAndStandOnTheFloor) {
    constexpr int kCell = 24;
    int ladders = 0;
    for (const InterfaceFamilies::InstructionScene& scene : InterfaceFamilies::InstructionScenes()) {
        const InterfaceFamilies::ScenePiece* foot = nullptr;
        for (const InterfaceFamilies::ScenePiece& p : scene.pieces)
            if (Starts(p.name, "ladder") && !Starts(p.name, "ladderplatform") && (!foot || p.top > foot->top)) foot = &p;
        if (!foot) continue;
        ++ladders;
        const int column = foot->left;
        auto has = [&](const char* prefix, int left, int top) {
            for (const InterfaceFamilies::ScenePiece& p : scene.pieces)
                if (Starts(p.name, prefix) && p.left == left && p.top == top) return true;
            return false;
        };
        bool standing = false;
        for (const InterfaceFamilies::ScenePiece& g : scene.pieces) {
            const int cells = GroundCells(g.name);
            if (!cells) continue;
            const int right = g.left + cells * kCell;
            standing |= g.top == foot->top + kCell && g.left <= column && column < right;
            bool alongside = false;
            for (const InterfaceFamilies::ScenePiece& p : scene.pieces)
                alongside |= Starts(p.name, "ladder") && !Starts(p.name, "ladderplatform") && p.left == column &&
                             p.top <= g.top && g.top < p.top + kCell;
            if (alongside && (right == column || g.left == column + kCell)) {
                EXPECT_TRUE(has("ladderplatform", column, g.top))
                    << scene.picture << ": the ledge at (" << g.left << ", " << g.top << ") stops short of the ladder";
            }
        }
        EXPECT_TRUE(standing) << scene.picture << ": the ladder's foot at (" << column << ", " << foot->top
                              << ") stands on nothing";
    }
    EXPECT_GT(ladders, 0);
}
