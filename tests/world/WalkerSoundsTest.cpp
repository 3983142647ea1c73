// The hero's and the bots' own sounds, heard through the audio layer's
// record while small levels run: the cadence of running, climbing and the
// bots' footsteps, the stuck-on-ice loop and the bots' slide-sound budget.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/HeardSounds.h"
#include "tests/support/LevelRunTest.h"
#include "tests/world/pieces/ObjectWorld.h"
#include "world/CElementAIProfessor.h"

namespace {

using worldtest::PictureSection;
constexpr int kUp = 273, kRight = 275;

class WalkerSoundTest : public worldtest::HeardRunTest<worldtest::LevelRunTest> {
protected:
    static uint32_t SoundFrame() { return CSound::System()->Record()->Frame(); }
    // The first frame of the sound's first start.
    uint32_t FirstStart(const std::string& name) const {
        const std::vector<CAudioRecord::Event> starts = heard_->Starts(name);
        return starts.empty() ? UINT32_MAX : starts.front().frame;
    }
};

TEST_F(WalkerSoundTest, StepsComeInTheirCadenceAndLoopsKeepTheirRules) {
    struct Scenario {
        const char* what;
        std::string source;
        // Drives the level; the frame its steps count from.
        std::function<uint32_t()> act;
        const char* steps;  // the step sounds' common name, or null
        int first;          // frames from the count's start to the first step
        int period;         // frames between steps
        int atLeast;        // steps heard
        std::function<void()> check;  // further rules, or null
    };
    // After his arrival from the tube, holds the key for the frames given;
    // the frame of the press.
    const auto pressFor = [&](int key, int frames) {
        Frames(60);
        const uint32_t from = SoundFrame();
        Press(key);
        Frames(frames);
        Release(key);
        Frames(10);
        return from;
    };
    const Scenario scenarios[] = {
        {"the hero runs", objecttest::LevelSource({"", "", "", "", "S...................E", "######################"}),
         [&] { return pressFor(kRight, 60); }, "professor_run", 2, 11, 5, nullptr},
        {"the hero climbs",
         objecttest::LevelSource({"", "", "", "", "", "", "", "", "", "", "", "", "....S", "##########"}) +
             PictureSection("ladders", std::vector<std::string>(13, "....H"), true),
         [&] { return pressFor(kUp, 60); }, "professor_climb", 3, 6, 8, nullptr},
        {"a bot runs to catch him",
         objecttest::LevelSource({"", "", "", "", "..S", "#####", "", "", "(.............(", "################"}),
         [&] {
             pressFor(kRight, 20);
             Frames(80);
             return FirstStart("bot_hang_detect.ogg");
         },
         "bot_footstep", 3, 6, 8, nullptr},
        {"the hero stuck at a wall on ice", objecttest::LevelSource({"", "", "", "", "S.....#", "##~~~~###"}),
         [&] { return pressFor(kRight, 60); }, nullptr, 0, 0, 0,
         [&] {
             // One looping start while he pushes, stopped when he lets go.
             const std::vector<CAudioRecord::Event> loops = heard_->Starts("stuck_ice.ogg");
             ASSERT_EQ(loops.size(), 1u) << heard_->Text();
             EXPECT_TRUE(loops[0].loop);
             int stops = 0;
             for (const CAudioRecord::Event& e : heard_->Events())
                 stops += e.sound == "stuck_ice.ogg" && e.kind == CAudioRecord::STOP ? 1 : 0;
             EXPECT_EQ(stops, 1);
         }},
        {"a bot spinning on ice", objecttest::LevelSource({"", "", "", "", "S....(..", "####~~~~~##"}),
         [&] { return SoundFrame(); }, nullptr, 0, 0, 0,
         [&] {
             // The slide loops at full volume for its budget of 300 frames
             // (its start the first), fades out from the last of them over
             // 150 frames, the last silent, and is not started again. Read
             // frame by frame: the frame just run is the one before the
             // record's count.
             uint32_t start = 0, falls = 0, silent = 0;
             float top = -1.0f;
             for (int i = 0; i < 700 && silent == 0; ++i) {
                 Frames(1);
                 const std::vector<CAudioRecord::Event> slides = heard_->Starts("bot_slide.ogg");
                 if (slides.empty()) continue;
                 float volume = 0;
                 CSound::System()->GetVolume(slides[0].channel, &volume);
                 if (top < 0) {
                     top = volume;
                     start = slides[0].frame;
                 }
                 if (falls == 0 && volume < top) falls = SoundFrame() - 1;
                 if (volume == 0.0f) silent = SoundFrame() - 1;
             }
             EXPECT_GT(top, 0.0f);
             EXPECT_EQ(falls - start + 1, 300u) << "the budget's frames";
             EXPECT_EQ(silent - falls + 1, 150u) << "the fade's frames";
             Frames(100);
             EXPECT_EQ(heard_->Starts("bot_slide.ogg").size(), 1u) << heard_->Text();
         }},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.what);
        heard_->Forget();
        ASSERT_NO_FATAL_FAILURE(Load(s.source));
        const uint32_t from = s.act();
        if (s.steps) {
            const std::vector<CAudioRecord::Event> steps = heard_->Starts(s.steps);
            ASSERT_GE(static_cast<int>(steps.size()), s.atLeast) << heard_->Text();
            EXPECT_EQ(steps[0].frame, from + static_cast<uint32_t>(s.first)) << heard_->Text();
            for (size_t i = 1; i < steps.size(); ++i) {
                EXPECT_EQ(steps[i].frame - steps[i - 1].frame, static_cast<uint32_t>(s.period)) << i;
                EXPECT_NE(steps[i].sound, steps[i - 1].sound) << "the same step twice in a row";
            }
        }
        if (s.check) s.check();
    }
}

}  // namespace
