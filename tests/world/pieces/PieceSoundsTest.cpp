// Which sounds the pieces play, how often and in what order, heard through
// the audio layer's record while small levels run with the real hero.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/HeardSounds.h"
#include "tests/world/pieces/DeviceWorld.h"
#include "world/CElementAIProfessor.h"
#include "world/SolutionKeys.h"
#include "world/pieces/CElementObjectBarrel.h"
#include "world/pieces/CElementObjectCrate.h"
#include "world/pieces/CElementObjectMagnet.h"
#include "world/pieces/CElementTerrainBridge.h"

namespace {

using Hero = CElementAIProfessor;
constexpr int kLeft = SOLUTION_KEY_LEFT, kRight = SOLUTION_KEY_RIGHT;

class PieceSoundTest : public worldtest::HeardRunTest<devicetest::DeviceRunTest> {
protected:
    // Puts down the power-up in his first place where he stands and waits
    // until he is done.
    void UseFirstPowerup() {
        Frames(5);
        hero_->UsePowerup(0);
        RunUntil([&] { return !hero_->usingPowerup; }, 200);
    }
};

// The number in a collapse sound's name: "..._short.ogg" is 1, "..._short4.ogg" 4.
int CollapseNumber(const std::string& name) {
    const size_t at = name.find("_short") + 6;
    return name[at] == '.' ? 1 : name[at] - '0';
}

TEST_F(PieceSoundTest, EachPieceSoundsAsOftenAndInTheOrderItsRulesSay) {
    struct Scenario {
        const char* what;
        std::vector<std::string> rows;
        std::string extra;
        std::function<void()> act;
        // Every start of the sounds this test listens for (those the rows
        // name), in the order heard, without ".ogg"; "+" after a name stands
        // for one start or more in a row (a burn sound starts again while
        // the fire still burns). Order tells apart sounds heard equally often.
        const char* heard;
        std::function<void()> check;  // further rules, or null
    };
    // Heat from the hot metal crate at column 6 reaches what stands at 7.
    const std::string hotCrate = worldtest::PictureSection("states", {"......h", ""});
    const std::vector<std::string> heatRows = {"S.....C", "########"};
    const char* const bursts = "element_bursting+";
    const Scenario scenarios[] = {
        {"an inflated crate bursts", heatRows, hotCrate,
         [&] {
             new CElementObjectCrate(7, 22, CElementObjectCrate::INFLATED, 0, false);
             Frames(80);
         },
         bursts, nullptr},
        {"an inflated barrel bursts", heatRows, hotCrate,
         [&] { new CElementObjectBarrel(7, 22, CElementObjectBarrel::INFLATED, 0, false); Frames(80); }, bursts, nullptr},
        {"an inflated magnet bursts", heatRows, hotCrate,
         [&] { new CElementObjectMagnet(7, 22, 1, 0, false); Frames(80); }, bursts, nullptr},
        {"an inflatable bridge bursts", heatRows, hotCrate,
         [&] { new CElementTerrainBridge(7, 22, true, 0, false); Frames(80); }, bursts, nullptr},
        {"a wooden crate burns", {"S.....Cc", "########"}, hotCrate, [&] { Frames(80); }, "element_burning+",
         nullptr},
        {"a crate left on a button clicks it once", {"S.cb...E", "########"}, "",
         [&] { WalkTo(kRight, 2); Frames(60); }, "button_click", nullptr},
        {"three gates open and shut with one sound each", {"S.b.BBB...E", "###########"}, "",
         [&] { WalkTo(kRight, 2); Frames(10); WalkTo(kRight, 3); Frames(30); },
         "button_click gate_open gate_close", nullptr},
        {"a magnet-held gate shudders once per press", {"S.b.>B..E", "#########"}, "",
         [&] {
             WalkTo(kRight, 2);
             Frames(40);
             WalkTo(kRight, 3);
             WalkTo(kLeft, 2);
             Frames(40);
         },
         "button_click gate_fail button_click gate_fail", nullptr},
        {"a button whose bridge collapses breaks with one sound", {"S.b...E", "##_#####"}, "",
         [&] { WalkTo(kRight, 3); Frames(60); }, "button_click device_breaking", nullptr},
        {"a power-up collected", {"S.H...E", "########"}, "", [&] { WalkTo(kRight, 3); }, "powerup_collect",
         nullptr},
        {"portals switch on as a pair, lead through and switch off for a third",
         {"S...............E", "##################"}, "",
         [&] {
             hero_->addPowerup(Hero::POWERUP_KIND_TELEPORT_BLUE);
             hero_->addPowerup(Hero::POWERUP_KIND_TELEPORT_BLUE);
             WalkTo(kRight, 4);
             UseFirstPowerup();
             WalkTo(kRight, 12);
             UseFirstPowerup();
             Frames(40);
             // From the second portal's left column out of the first's right one.
             WalkTo(kRight, 5);
             Frames(40);
             WalkTo(kRight, 9);
             UseFirstPowerup();
             Frames(40);
         },
         "teleport_powerup teleport_powerup teleport_activated teleport_powerdown teleport_powerdown", nullptr},
        {"each bridge collapses unlike the three built before it", {"S............E", "##___________####"}, "",
         [&] { WalkTo(kRight, 13); },
         "",
         [&] {
             const std::vector<CAudioRecord::Event> starts = heard_->Starts("bridge_collapse_wooden_short");
             ASSERT_EQ(starts.size(), 11u);
             for (size_t i = 0; i < starts.size(); ++i)
                 for (size_t back = 1; back <= 3 && back <= i; ++back)
                     EXPECT_NE(CollapseNumber(starts[i].sound), CollapseNumber(starts[i - back].sound)) << i;
         }},
        {"a magnet grabs silently in the first pass and with a sound later", {"S.C.<..>C.E", "############"}, "",
         [&] { WalkTo(kRight, 2); Frames(20); }, "magnet_attract", nullptr},
        {"a magnet pushed twice within its repel sound plays it once", {"S.......<..E", "############"}, "",
         [&] {
             // A magnet facing it, and one more on top that drops into the
             // gap the first push leaves, where the first grabs it.
             new CElementObjectMagnet(7, 22, 0, 0, false);
             new CElementObjectMagnet(8, 21, 0, 0, false);
             Frames(30);
         },
         "magnet_repel magnet_attract",
         [&] { EXPECT_EQ(Find<CElementObjectMagnet>(10, 22)->IsFaceLeft(), true) << "pushed twice"; }},
    };
    const auto words = [](const std::string& text) {
        std::vector<std::string> names;
        std::istringstream in(text);
        for (std::string name; in >> name;) names.push_back(name);
        return names;
    };
    std::set<std::string> listened;
    for (const Scenario& s : scenarios)
        for (std::string name : words(s.heard)) {
            if (name.back() == '+') name.pop_back();
            listened.insert(name + ".ogg");
        }
    // The bridges' draws are random: the same each run.
    srand(7);
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.what);
        heard_->Forget();
        ASSERT_NO_FATAL_FAILURE(Load(s.rows, s.extra));
        s.act();
        const std::vector<std::string> expected = words(s.heard);
        std::vector<std::string> heard;
        for (const CAudioRecord::Event& e : heard_->Starts("")) {
            if (!listened.count(e.sound)) continue;
            std::string name = e.sound.substr(0, e.sound.size() - 4);
            // A sound the row lets repeat counts once for each run of starts.
            if (std::count(expected.begin(), expected.end(), name + "+")) name += "+";
            if (heard.empty() || heard.back() != name || name.back() != '+') heard.push_back(name);
        }
        EXPECT_EQ(heard, expected) << heard_->Text();
        if (s.check) s.check();
    }
}

}  // namespace
