// What the game tells the player (instruction pages, editor tips, tutorial
// signs) against what the world does: each row names the texts that state a
// rule, plays a small level with the real hero as the play screen does, and
// looks where everything ends up. A text that says more or other than the
// world does, or a world that stops doing what the texts say, fails its row.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/FontRender.h"
#include "tests/world/pieces/DeviceWorld.h"
#include "world/SolutionKeys.h"

namespace {

// Longer than a thing takes to be flung out of a trampoline and come back.
constexpr int kStayFrames = 60;
// Longer than the caught picture plays before the level ends.
constexpr int kCaughtFrames = 300;
// Long enough for glowing metal to have cooled, had it cooled by itself.
constexpr int kGlowFrames = 6000;

// A text and the words in it that state the row's rule.
struct Says {
    int text;
    const char* words;
};

// Something that must stand in a cell at the end: 'x' a bot, 'c' a crate,
// 'o' a barrel, 'g' a glowing crate, '.' nothing; in capitals, frozen.
struct Standing {
    char kind;
    int x, y;
};

struct RuleRow {
    const char* name;
    std::vector<Says> says;
    std::vector<std::string> tiles;   // the bottom rows of the level
    std::vector<std::string> states;  // the bottom rows of its states ('f' frozen)
    // Commands, each from rest: "left" a tap, "left>7" the key held until the
    // hero sets off into column 7 and then let go, "left>7+" held from then
    // on (from the start when 7 is where he stands); "slot1" uses the first
    // power-up.
    const char* play;
    int settle;   // frames run after the last command, or until a bot catches him
    bool caught;  // a bot has caught him; the level then runs to its end
    int heroX;
    std::vector<Standing> standing;
};

void PrintTo(const RuleRow& row, std::ostream* os) { *os << row.name; }

class RuleTextTest : public devicetest::DeviceRunTest, public ::testing::WithParamInterface<RuleRow> {
protected:
    static int KeyCode(const std::string& name) {
        if (name == "left") return SOLUTION_KEY_LEFT;
        if (name == "right") return SOLUTION_KEY_RIGHT;
        if (name == "slot1") return SOLUTION_KEY_POWERUP_FIRST;
        ADD_FAILURE() << "no command " << name;
        return SOLUTION_KEY_LEFT;
    }
    bool AtRest() const { return !hero_->IsMoving() && !hero_->FALLING && !hero_->usingPowerup; }
    void Play(const std::string& commands) {
        std::istringstream in(commands);
        std::string command;
        while (in >> command) {
            const size_t held = command.find('>');
            const int code = KeyCode(command.substr(0, held));
            Press(code);
            if (held == std::string::npos) {
                Frame();
                Release(code);
            } else {
                const int column = std::stoi(command.substr(held + 1));
                ASSERT_TRUE(RunUntil([&] { return hero_->GetCurrentX() == column; })) << command;
                if (command.back() == '+') return;  // held to the end
                Release(code);
            }
            ASSERT_TRUE(RunUntil([&] { return AtRest(); })) << command;
        }
    }
    // What is not where the row wants it, or "".
    std::string Misplaced(const RuleRow& row) const {
        std::string out;
        if (hero_->GetCurrentX() != row.heroX) out += "the hero at " + std::to_string(hero_->GetCurrentX()) + "; ";
        for (const Standing& s : row.standing) {
            const CElement* e = CElement::GetElementAt(s.x, s.y);
            if (!Is(e, s.kind))
                out += std::string("no '") + s.kind + "' at (" + std::to_string(s.x) + ", " + std::to_string(s.y) +
                       ") but " + e->GetTypeName() + "; ";
        }
        return out;
    }
    static bool Is(const CElement* e, char kind) {
        if (kind == '.') return e->IsNull();
        const bool frozen = kind >= 'A' && kind <= 'Z';
        const char k = frozen ? static_cast<char>(kind - 'A' + 'a') : kind;
        const bool crate = k == 'c' || k == 'g';
        const bool right = (k == 'x' && e->IsBot()) || (crate && e->IsCrate()) || (k == 'o' && e->IsBarrel());
        return right && e->IsFrozen() == frozen && e->IsHeated() == (k == 'g');
    }
};

TEST_P(RuleTextTest, SaysWhatTheWorldDoes) {
    const RuleRow& row = GetParam();
    for (const Says& s : row.says) {
        ASSERT_TRUE(FontHasEntry(s.text)) << s.text;
        EXPECT_NE(FontGetEntry(s.text).text.Utf8().find(s.words), std::string::npos)
            << "text " << s.text << " does not say \"" << s.words << "\"";
    }
    std::string extra;
    if (!row.states.empty()) extra = worldtest::PictureSection("states", row.states);
    ASSERT_NO_FATAL_FAILURE(Load(row.tiles, extra));
    ASSERT_NO_FATAL_FAILURE(Play(row.play));
    RunUntil([] { return CElement::IsProfessorCaught(); }, row.settle);
    EXPECT_EQ(CElement::IsProfessorCaught(), row.caught);
    EXPECT_EQ(Misplaced(row), "");
    // What stays must stay: not go and come back, as a thing flung out of a
    // trampoline and walking back in would. Caught, he stays beside the bot
    // until the level ends, whatever key he still holds.
    for (int i = 0; row.caught ? !run_->IsEnded() && i < kCaughtFrames : i < kStayFrames; ++i) {
        Frame();
        const std::string misplaced = Misplaced(row);
        ASSERT_EQ(misplaced, "") << "in frame " << i + 1 << " of the stay";
    }
    if (row.caught) {
        EXPECT_EQ(run_->GetResult(), "caught");
        EXPECT_FALSE(CElement::IsProfessorExiting()) << "caught, he went into the exit tube";
    }
}

const std::string kGround(32, '#');

// Each rule with a row where it holds and, where the texts name a condition,
// a row where only that condition differs.
const RuleRow kRules[] = {
    // Trampolines: a bot that chases stays in; the professor stays while he
    // holds the key and is thrown back once he lets go; a rolled barrel and
    // a pushed crate come back, the crate once he steps back.
    {"AChasingBotStaysInTheTrampoline",
     {{20172, "stays pressed against the canvas as long as it chases you"},
      {1277, "A chasing bot stays pressed against it"},
      {5010, "A bot chasing you stays stuck in it"},
      {5044, "A chasing bot gets stuck in it"}},
     {"E..)..T.......S", kGround}, {}, "", 600, false, 14, {{'x', 6, 22}}},
    {"TheProfessorHoldingTheKeyStaysIn",
     {{1277, "so does the professor while he holds the key"}},
     {"....S..T.......E", kGround}, {}, "right>7+", 200, false, 7, {}},
    {"TheProfessorIsThrownBackOnceHeLetsGo",
     {{20172, "the professor once he lets go of the key"},
      {5010, "throws you back the way you came once you let go of the key"},
      {5044, "Let go of the key in a trampoline and it throws you back"}},
     {"....S..T.......E", kGround}, {}, "right>7", 200, false, 6, {}},
    {"ARolledBarrelComesBack", {{20172, "a rolling barrel"}},
     {".T.....o......S.E", kGround}, {}, "left>8 left", 300, false, 7, {{'o', 6, 22}}},
    {"APushedCrateStaysWhileHeStandsInItsWay", {{20172, "a crate you push in once you step back"}},
     {".T.....c......S.E", kGround}, {}, "left>2", 200, false, 2, {{'c', 1, 22}}},
    {"APushedCrateComesBackOnceHeStepsBack", {{20172, "a crate you push in once you step back"}},
     {".T.....c......S.E", kGround}, {}, "left>2 right", 200, false, 3, {{'c', 2, 22}}},
    // Crates.
    {"AHeldKeyPushesACrateOnAndOn", {{20132, "hold the key to push it on"}},
     {"E......c......S", kGround}, {}, "left>1", 100, false, 1, {{'c', 0, 22}}},
    {"TwoCratesSideBySideDoNotMove", {{20132, "Two crates side by side do not move"}},
     {"E.....cc......S", kGround}, {}, "left>8+", 200, false, 8, {{'c', 6, 22}, {'c', 7, 22}}},
    // Sand: a crate on it stays, a frozen one goes one cell a push.
    {"ACrateOnSandStays",
     {{20122, "a crate on sand cannot be pushed"}, {5036, "a crate on sand will not move unless it is frozen"}},
     {"E.....c.......S", "###::::::" + kGround}, {}, "left>7 left", 100, false, 7, {{'c', 6, 22}}},
    {"AFrozenCrateOnSandGoesOneCellAPush",
     {{20122, "a frozen one can, but only one cell a push"},
      {5036, "a crate on sand will not move unless it is frozen"}},
     {"E.....c.......S", "###::::::" + kGround}, {"......f", ""}, "left>7 left", 100, false, 6,
     {{'C', 5, 22}}},
    // Bots: a sleeping one beside him catches him, a frozen one does not
    // and slides when pushed; knocked out by the EMP, it still catches.
    {"ASleepingBotBesideHimCatchesHim", {{20182, "A bot right beside you, even a sleeping one, catches you"}},
     {"E.....(..F....S", kGround}, {}, "left>7", 300, true, 7, {}},
    {"AFrozenBotIsHarmlessAndSlidesWhenPushed",
     {{20252, "A frozen bot is harmless: walk right up to it and push it away"},
      {20252, "push one and it slides until something stops it"}},
     {"E.....(..F....S", kGround}, {}, "left>9 slot1 left>7 left", 300, false, 6, {{'X', 0, 22}}},
    {"AKnockedOutBotStillCatchesHim", {{20262, "Knocked out, a bot still catches you if you stop right beside it"}},
     {"E....(...Z....S", kGround}, {}, "left>7 slot1 left", 300, true, 6, {}},
    // Hanging bots let go when he walks right under them, or at the whistle.
    {"AHangingBotStaysWhileHeIsNotUnderIt", {{20182, "lets go when you walk right under it"}},
     {"......###", ".......v", "E.............S", kGround}, {}, "left>8", 300, false, 8, {{'x', 7, 21}}},
    {"AHangingBotLetsGoWhenHeWalksUnderIt", {{20182, "lets go when you walk right under it"}},
     {"......###", ".......v", "E.............S", kGround}, {}, "left>8 left left", 300, true, 6, {}},
    // Holding the key does not carry him off once a bot has caught him: he
    // stays beside it, passing under a hanging bot, struggling on ice, or
    // on the exit tube itself.
    {"AHangingBotCatchesHimAsHePassesWithTheKeyHeld",
     {{20182, "lets go when you walk right under it"}, {20182, "catches you, and the level is lost"}},
     {"......###", ".......v", "E.............S", kGround}, {}, "left>8+", 300, true, 6, {{'x', 7, 22}}},
    {"ABotThatRunsUpCatchesHimWithTheKeyHeld", {{5016, "catches you once it is beside you"}},
     {"E........S...............(", "#########~" + kGround}, {}, "left>9+", 300, true, 9, {{'x', 10, 22}}},
    {"ABotBesideTheExitCatchesHimOnTheTube", {{20182, "catches you, and the level is lost"}},
     {"(E.....S", kGround}, {}, "left>1+", 300, true, 1, {{'x', 0, 22}}},
    {"TheWhistleMakesHangingBotsLetGo",
     {{20182, "or when the whistle sounds"}, {20272, "hanging bots let go and drop"}},
     {"..###", "...v", "E.........W...S", kGround}, {}, "left>10 slot1", 400, true, 10, {}},
    // Heated metal glows until its heat goes into wood, ice or something
    // frozen next to it, or a frost shot cools it; nothing else cools it.
    {"GlowingMetalWithNothingNextToItStaysHot", {{20252, "Glowing metal stays hot until"}},
     {"E.....C...H...S", kGround}, {}, "left>10 slot1", kGlowFrames, false, 10, {{'g', 6, 22}}},
    {"GlowingMetalSetsWoodNextToItAlightAndCools",
     {{20252, "until it sets wood next to it alight"}, {20132, "set wood beside them alight"}},
     {"E....cC...H...S", kGround}, {}, "left>10 slot1", 600, false, 10, {{'.', 5, 22}, {'c', 6, 22}}},
    {"GlowingMetalWithWoodACellAwayStaysHot", {{20252, "until it sets wood next to it alight"}},
     {"E...c.C...H...S", kGround}, {}, "left>10 slot1", kGlowFrames, false, 10, {{'c', 4, 22}, {'g', 6, 22}}},
    {"GlowingMetalMeltsIceUnderItAndCools", {{20252, "melts ice"}},
     {"E.....C...H...S", "######~" + kGround.substr(7), kGround}, {}, "left>10 slot1", 600, false, 10, {{'c', 6, 22}}},
    {"GlowingMetalThawsSomethingFrozenAndCools", {{20252, "or thaws something frozen"}},
     {"E....CC...H...S", kGround}, {".....f", ""}, "left>10 slot1", 600, false, 10, {{'c', 5, 22}, {'c', 6, 22}}},
    {"AFrostShotCoolsGlowingMetal", {{20252, "or a frost shot cools it"}},
     {"E.....C...F...S", kGround}, {"......h", ""}, "left>10 slot1", 600, false, 10, {{'c', 6, 22}}},
};

INSTANTIATE_TEST_SUITE_P(Rules, RuleTextTest, ::testing::ValuesIn(kRules),
                         [](const ::testing::TestParamInfo<RuleRow>& info) { return info.param.name; });

}  // namespace
