// The sound system started on SDL's dummy output with the game's sound pack,
// recording what plays, for tests that check which sounds the world plays and
// when. Start it before the level is built: a piece made while the sound
// system is off stays silent for good. The level run gives the sound system
// one update after every world frame, as the frame loop does, so the frames
// of the record count world frames.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/CAudioRecord.h"
#include "platform/CAudioSystem.h"
#include "sound/CSound.h"

namespace worldtest {

class HeardSounds {
public:
    // The game's frame period at its default speed: what one update mixes.
    static constexpr int kFrameMs = 33;

    HeardSounds() = default;
    HeardSounds(const HeardSounds&) = delete;
    HeardSounds& operator=(const HeardSounds&) = delete;
    ~HeardSounds() {
        if (started_) CSound::Shutdown();
    }

    // Call through ASSERT_NO_FATAL_FAILURE.
    void Start() {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        CSound::Init(true);
        ASSERT_TRUE(CSound::IsReady()) << "the dummy audio driver should open";
        started_ = true;
        CSound::SetLoadFromDirectory(false);
        CSound::loadSound();
        ASSERT_TRUE(CSound::System()->StartRecord(kFrameMs));
    }

    // The events since the last Forget.
    std::vector<CAudioRecord::Event> Events() const {
        const std::vector<CAudioRecord::Event>& all = CSound::System()->Record()->Events();
        const size_t from = std::min(forgotten_, all.size());
        return std::vector<CAudioRecord::Event>(all.begin() + static_cast<long>(from), all.end());
    }
    void Forget() { forgotten_ = CSound::System()->Record()->Events().size(); }

    // The starts whose sound names begin with prefix, in order.
    std::vector<CAudioRecord::Event> Starts(const std::string& prefix) const {
        std::vector<CAudioRecord::Event> starts;
        for (const CAudioRecord::Event& e : Events())
            if (e.kind == CAudioRecord::START && e.sound.compare(0, prefix.size(), prefix) == 0) starts.push_back(e);
        return starts;
    }
    // Every event, one line each, for failure messages.
    std::string Text() const {
        static const char* const kKinds[] = {"start", "stop", "end"};
        std::string text;
        for (const CAudioRecord::Event& e : Events())
            text += std::to_string(e.frame) + " " + kKinds[e.kind] + " " + e.sound + "\n";
        return text;
    }

private:
    bool started_ = false;
    size_t forgotten_ = 0;
};

// A level-run fixture with the sound system started before the test builds
// its level, and shut down after the run's level is gone.
template <class Run>
class HeardRunTest : public Run {
protected:
    void SetUp() override {
        Run::SetUp();
        heard_ = std::make_unique<HeardSounds>();
        ASSERT_NO_FATAL_FAILURE(heard_->Start());
    }
    void TearDown() override {
        Run::TearDown();
        heard_.reset();
    }

    std::unique_ptr<HeardSounds> heard_;
};

}  // namespace worldtest
