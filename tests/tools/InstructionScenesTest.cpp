// The scenes of the instructions pages as the builder composes them from
// world pictures: each shows one moment of play.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "images/InterfaceFamilies.h"
#include "screens/CControllerInstructions.h"
#include "world/pieces/CElementLadder.h"

namespace {

constexpr int kCell = 24;
using Piece = InterfaceFamilies::ScenePiece;

bool Starts(const char* name, const char* prefix) { return std::string(name).rfind(prefix, 0) == 0; }
bool Has(const char* name, const char* part) { return std::string(name).find(part) != std::string::npos; }

// The cells a run of ground covers ("grass5.png" five, "sand3b.png" three,
// an ice block one); 0 for a piece that is no ground.
int GroundCells(const char* name) {
    for (const char* kind : {"grass", "sand"})
        if (Starts(name, kind)) return std::atoi(name + std::string(kind).size());
    return Starts(name, "ice") ? 1 : 0;
}

// A page's whole scene: the pieces its first picture draws, those the game
// lays over it, and the cells on fire.
struct PageScene : InterfaceFamilies::InstructionScene {
    const Piece* At(std::initializer_list<const char*> prefixes, int left, int top) const {
        for (const Piece& p : pieces)
            for (const char* prefix : prefixes)
                if (Starts(p.name, prefix) && p.left == left && p.top == top) return &p;
        return nullptr;
    }
    std::string Ground(int left, int top) const {  // the run of ground on the cell
        for (const Piece& g : pieces)
            if (g.top == top && g.left <= left && left < g.left + GroundCells(g.name) * kCell) return g.name;
        return "";
    }
};

std::vector<PageScene> PageScenes() {
    std::vector<PageScene> scenes;
    for (int page = 1; page <= CControllerInstructions::kLastPage; ++page) {
        const CControllerInstructions::PageLayout* l = CControllerInstructions::GetLayout(page);
        scenes.push_back({{l->pictures[0].image, {}, {}}});
        for (const InterfaceFamilies::InstructionScene& d : InterfaceFamilies::InstructionScenes())
            if (d.picture == std::string(l->pictures[0].image)) scenes.back() = {d};
        for (const auto* p = l->pictures; p < l->pictures + l->pictureCount; ++p)
            if (p->onCell) scenes.back().pieces.push_back({p->image, p->left, p->top});
    }
    return scenes;
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
    int ladders = 0;
    for (const PageScene& scene : PageScenes()) {
        const InterfaceFamilies::ScenePiece* foot = nullptr;
        for (const InterfaceFamilies::ScenePiece& p : scene.pieces)
            if (Starts(p.name, "ladder") && !Starts(p.name, "ladderplatform") && (!foot || p.top > foot->top)) foot = &p;
        if (!foot) continue;
        ++ladders;
        const int column = foot->left;
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
                const Piece* platform = scene.At({"ladderplatform"}, column, g.top);
                EXPECT_STREQ(platform ? platform->name : "",
                             CElementLadder::PlatformImage(!scene.Ground(column - kCell, g.top).empty(),
                                                           !scene.Ground(column + kCell, g.top).empty()))
                    << scene.picture << ": the ledge at (" << g.left << ", " << g.top << ") stops short of the ladder";
            }
        }
        EXPECT_TRUE(standing) << scene.picture << ": the ladder's foot at (" << column << ", " << foot->top
                              << ") stands on nothing";
    }
    EXPECT_GT(ladders, 0);
}

// Every scene keeps the rules the pages teach: what the professor pushes
// moves (not "a crate on sand", one a magnet "holds", "Two crates side by
// side"); "sand stops" a barrel "dead"; a button is down, and its gates open
// unless held, exactly "while something rests on it"; "Glowing metal stays
// hot until it sets wood next to it alight"; a bridge joins ground to ground.
TEST(InstructionScenes, EachSceneKeepsTheRulesThePagesTeach) {
    int pushes = 0;
    for (const PageScene& s : PageScenes())
        for (const Piece& p : s.pieces) {
            const int x = p.left, y = p.top, d = Has(p.name, "left") ? -kCell : kCell;
            SCOPED_TRACE(std::string(s.picture) + ": " + p.name + " at " + std::to_string(x) + "," + std::to_string(y));
            const bool push = Starts(p.name, "profpush") || Starts(p.name, "profrun") || Starts(p.name, "profbarrel");
            const Piece* pushed = push ? s.At({"crate", "metalcrate", "barrel", "metalbarrel"}, x + d, y) : nullptr;
            if (pushed && ++pushes) {
                EXPECT_FALSE(Has(pushed->name, "crate") && !Has(pushed->name, "frozen") &&
                             Starts(s.Ground(x + d, y + kCell).c_str(), "sand"));
                EXPECT_FALSE(s.At({d < 0 ? "magnetrightstill" : "magnetleftstill", "crate", "metalcrate"}, x + 2 * d, y));
            }
            const bool rolled = Starts(p.name, "barrel") && s.At({"trampoline"}, x, y);  // it got in rolling
            EXPECT_FALSE(rolled && Starts(s.Ground(x, y + kCell).c_str(), "sand"));
            const bool weighed = s.At({"crate", "metalcrate", "barrel", "metalbarrel", "prof", "bot"}, x, y);
            EXPECT_TRUE(!Starts(p.name, "button") || Has(p.name, "0.tga") == weighed);
            for (const InterfaceFamilies::SceneCell& c : s.burning)
                EXPECT_FALSE(Has(p.name, "heated") && std::abs(c.left - x) + std::abs(c.top - y) == kCell);
            for (int side : {-kCell, kCell})
                EXPECT_TRUE(!Starts(p.name, "bridge") || s.At({"bridge"}, x + side, y) || !s.Ground(x + side, y).empty());
            if (!Starts(p.name, "editorgate") && !Starts(p.name, "gateback")) continue;
            std::string colour = "blue";
            for (const Piece& q : s.pieces)
                for (const char* c : {"red", "yellow"})
                    if (q.left == x && q.top == y && Has(q.name, "gate") && Has(q.name, c)) colour = c;
            bool pressed = false;
            for (const Piece& b : s.pieces) pressed |= Starts(b.name, ("button" + colour + "0").c_str());
            EXPECT_FALSE(Starts(p.name, "gatebackbreak")) << "no page teaches a gate to break";
            EXPECT_EQ(Starts(p.name, "gatebackclose0"), pressed && !Starts(p.name, "gatebackmagnet"));
        }
    EXPECT_GT(pushes, 0);
}
