// Undo judged by what the player sees, not by the undo lists: every stored
// solution of the shipped pack is played once as it stands, and each frame's
// picture of the world is kept (the drawn world sprites with their frame
// and place, the grid's kinds, the step count and the inventory). Then it
// is played again with undos put in at many steps: after each undo the
// same keys are handed over again from where the step was saved, and every
// frame from there on must be the frame the first play showed at that
// time, to the level's end. A field that undo forgets shows up here as
// soon as it changes what is drawn, whichever list it is missing from. The
// same is done over generated levels played with random keys.
//
// The levels are dealt out to a few tests of their own, so that CTest runs
// them side by side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/CSprite.h"
#include "tests/support/RandomLevels.h"
#include "tests/support/WorldTestSupport.h"
#include "world/CElement.h"
#include "world/CElementAIProfessor.h"
#include "world/CLevel.h"
#include "world/CLevelSet.h"
#include "world/CWorldRun.h"
#include "world/pieces/CElementDevicePowerup.h"
#include "world/pieces/CElementTerrainIce.h"
#include "world/pieces/CElementTutorial.h"

namespace {

const char* const kSetNames[CLevelSet::kSetCount] = {"reg", "adv", "kid"};
constexpr int kShares = 8;
// The generated levels, dealt out to the shares as the pack's are, and how
// long each is played.
constexpr int kGeneratedLevels = 400;
constexpr int kGeneratedFrames = 600;
// How much of a sprite the picture holds. Undo brings back the sprites
// that show where things are and what they do, frame and all. What only
// decorates goes on as it was going, by design, and counts for where it
// stands: the power-ups' and signs' bobbing (their oscillators), the gates'
// animations (which undo shows ended), a trampoline's canvas (which undo
// shows at rest), a barrel's roll (the phase its pictures were left at).
// What undo switches off or starts afresh, by design, is not in the
// picture: the tube's arrow, the teleports' portals and glows, the heat,
// explosion, steam and EMP overlays.
enum class Look { kWhole, kNoFrame, kPlace, kNone };
Look LookOf(const CSprite* s) {
    const int layer = s->GetType();
    auto in = [layer](int first, int last) { return layer >= first && layer <= last; };
    if (layer == LAYER_TUBE_ARROW || in(LAYER_TELEPORT_FRONT, LAYER_TELEPORT_GLOW_RIGHT) ||
        in(LAYER_OVERLAY, LAYER_EXPLOSION_COLD))
        return Look::kNone;
    if (in(LAYER_GATE_BACK, LAYER_GATE_BACK_CLOSING) || in(LAYER_POWERUP_ICON, LAYER_TUTORIAL_SIGN))
        return Look::kPlace;
    if (in(LAYER_TRAMPOLINE_BACK, LAYER_TRAMPOLINE_CANVAS) || std::string(s->GetName()).compare(0, 6, "Barrel") == 0)
        return Look::kNoFrame;
    return Look::kWhole;
}

// What a frame shows, one line per drawn world sprite and per grid cell
// that holds something, sorted (the order sprites were made in is not
// seen). The undo flash and the screens' own sprites are not the world's.
std::vector<std::string> Picture() {
    std::vector<std::string> lines;
    char buf[160];
    for (const CSprite* s : GetSpriteList()) {
        if (s->IsHidden() || s->GetFrameCount() == 0 || s->GetType() > kSpriteWorldLayerMax) continue;
        const Look look = LookOf(s);
        if (look == Look::kNone) continue;
        const Rect r = s->GetRect();
        if (look == Look::kPlace)
            snprintf(buf, sizeof(buf), "sprite %s layer %d at %d", s->GetName(), s->GetType(), r.x);
        else if (look == Look::kNoFrame)
            snprintf(buf, sizeof(buf), "sprite %s layer %d at %d,%d", s->GetName(), s->GetType(), r.x, r.y);
        else
            snprintf(buf, sizeof(buf), "sprite %s layer %d frame %d of %d at %d,%d size %dx%d clip %d,%d",
                     s->GetName(), s->GetType(), s->GetFrame(), s->GetFrameCount(), r.x, r.y, r.w, r.h,
                     s->GetClipX(), s->GetClipY());
        lines.push_back(buf);
    }
    for (int y = 0; y < CElement::kGridHeight; ++y)
        for (int x = 0; x < CElement::kGridWidth; ++x) {
            const CElement* e = CElement::GetStoredAt(x, y);
            if (!e || e == CElement::GetNullElement()) continue;
            snprintf(buf, sizeof(buf), "cell %d,%d %s", x, y, e->GetTypeName());
            lines.push_back(buf);
        }
    std::sort(lines.begin(), lines.end());
    std::string hud = "steps " + std::to_string(CElement::GetStepCount()) + " inventory";
    if (const auto* hero = dynamic_cast<const CElementAIProfessor*>(CElement::GetHero()))
        for (int32_t kind : hero->inventory) hud += " " + std::to_string(kind);
    lines.push_back(hud);
    return lines;
}

uint64_t PictureKey() {
    uint64_t h = 1469598103934665603ull;
    for (const std::string& line : Picture()) {
        for (unsigned char c : line) h = (h ^ c) * 1099511628211ull;
        h = (h ^ '\n') * 1099511628211ull;
    }
    return h;
}

// The fades of the world's sprites run on the solution's clock, so that a
// frame played again fades as it did the first time.
int g_time = 0;
uint32_t SolutionClock() { return static_cast<uint32_t>(g_time) * 40u; }

// Where a saved step can be played again from: the next record to hand over
// and the solution's frame. Invalid for a step saved inside a world step
// (a key held through a power-up), which no key hands over again.
struct Resume {
    bool valid = false;
    size_t record = 0;
    int time = 0;
};

// A solution played by the test's own hand, by the solution's frame clock,
// so that play can go back to where a step was saved. The undo ring is
// followed through the world's undo watcher, which tells only which slot
// was saved or restored: it reads nothing of the steps.
class CHandPlay {
public:
    CHandPlay(CWorldRun* run, const std::vector<ReplayKey>& keys) : run_(run), keys_(keys) {
        current_ = this;
        CElement::SetUndoWatcher(&Seen);
    }
    ~CHandPlay() {
        CElement::SetUndoWatcher(nullptr);
        current_ = nullptr;
    }
    CHandPlay(const CHandPlay&) = delete;
    CHandPlay& operator=(const CHandPlay&) = delete;

    // The records due at this time, then one world step; the time moves on.
    // Returns the time the step belonged to.
    int PlayFrame() {
        for (; next_ < keys_.size() && keys_[next_].frame <= time_; ++next_) {
            context_ = {true, next_, time_};
            run_->ApplyKey(keys_[next_].key, keys_[next_].released);
        }
        // A step saved inside a world step cannot be played again from: no
        // key hands it over again, and the one saved at the start of the
        // very first step stands before a step that moves nobody.
        context_ = {};
        g_time = time_;
        run_->StepFrame();
        context_ = {};
        return time_++;
    }
    // Undoes once (unforced, as the undo key does, or forced, as the score
    // page does after the level ended); true when a step came back and can
    // be played again from, and play was moved back there.
    bool Undo(bool force) {
        const int restored = restored_;
        CElement::LoadUndoStep(force);
        if (restored_ == restored) return false;
        const Resume& at = slots_[lastSlot_];
        if (!at.valid) return false;
        next_ = at.record;
        time_ = at.time;
        return true;
    }
    // Where undoing `depth` times would go back to, as far as the ring
    // holds steps (the oldest stays).
    Resume UndoTarget(int depth) const {
        if (ring_.empty() || depth < 1) return {};
        const size_t back = std::min(static_cast<size_t>(depth), ring_.size() - 1);
        return back == 0 ? Resume() : ring_[ring_.size() - back];
    }
    size_t RingSize() const { return ring_.size(); }
    int GetTime() const { return time_; }
    int GetSaves() const { return saves_; }
    const Resume& GetLastSaved() const { return lastSaved_; }

private:
    static void Seen(int slot, bool restored) {
        CHandPlay* p = current_;
        if (!p || slot < 0 || slot >= CElement::kUndoSlots) return;
        p->lastSlot_ = slot;
        if (restored) {
            ++p->restored_;
            if (p->ring_.size() > 1) p->ring_.pop_back();
            return;
        }
        ++p->saves_;
        // Undo ends the hero's arrival from the tube, and lets go of the keys
        // he holds (pressed again, they count from there) and forgets his
        // heat warnings with them, by design: a step saved while he arrives,
        // with the turn key held or a warning still to show, cannot be
        // played again as it went.
        const auto* hero = dynamic_cast<const CElementAIProfessor*>(CElement::GetHero());
        if (hero && (hero->arriving || hero->IsKeyHeld(CElementAI::KEY_TURN) || hero->heatWarningStep ||
                     hero->heatWarningPush))
            p->context_.valid = false;
        p->slots_[slot] = p->context_;
        p->lastSaved_ = p->context_;
        if (p->ring_.size() == static_cast<size_t>(CElement::kUndoSlots)) p->ring_.pop_front();
        p->ring_.push_back(p->context_);
    }

    static inline CHandPlay* current_ = nullptr;
    CWorldRun* run_;
    const std::vector<ReplayKey>& keys_;
    size_t next_ = 0;
    int time_ = 1;
    Resume context_;
    Resume slots_[CElement::kUndoSlots];
    Resume lastSaved_;
    std::deque<Resume> ring_;
    int lastSlot_ = 0;
    int restored_ = 0;
    int saves_ = 0;
};

// The looks that new power-ups, signs and ice blocks start from run on
// from level to level (each new one steps them on), so each play is built
// from the same ones: a little level of one such piece is built as often
// as it takes to bring each back to 0 first.
bool StartFromTheFirstLooks(CWorldRun* run, std::string* error) {
    struct Pad {
        CLevel level;
        int (*look)();
        int cycle;
    };
    static Pad pads[3] = {{worldtest::WalkLevel(20), &CElementTerrainIce::GetImageCounter, 10},
                          {worldtest::WalkLevel(20), &CElementDevicePowerup::GetBobbingPhase, 7},
                          {worldtest::WalkLevel(20), &CElementTutorial::GetPhaseCounter, 7}};
    static bool made = false;
    if (!made) {
        made = true;
        pads[0].level.SetTile(TERRAIN_ICE, 10, 23);
        pads[1].level.SetTile(POWERUP_WHISTLE, 10, 22);
        pads[2].level.SetTile(TUTORIAL, 10, 22);
        pads[2].level.SetTutorialText(10, 22, "Pad");
    }
    for (Pad& pad : pads) {
        for (int i = 0; i < pad.cycle && pad.look() != 0; ++i) {
            CWorldRun padRun(&pad.level);
            if (!padRun.Start(error)) return false;
        }
        if (pad.look() != 0) {
            *error = "a look did not come round to 0";
            return false;
        }
    }
    return run->Start(error);
}

struct LevelRef {
    int set;
    int index;
};

std::string NameOf(const LevelRef& l) { return std::string(kSetNames[l.set]) + ":" + std::to_string(l.index); }

// Every level of the pack that carries a solution.
std::vector<LevelRef> SolvedLevels() {
    std::vector<LevelRef> out;
    for (int s = 0; s < CLevelSet::kSetCount; ++s) {
        CLevelSet* set = CLevelSet::GetSet(s);
        for (int i = 0; set && i < set->GetLevelCount(); ++i)
            if (!set->GetLevel(i)->GetSolution().empty()) out.push_back({s, i});
    }
    return out;
}

struct FirstPlay {
    std::vector<uint64_t> frames;  // by the solution's time, from 1
    std::vector<Resume> moves;     // the steps saved, in order, that keys hand over again
    int endTime = 0;
    bool ended = false;  // else it was played to its last time
    std::string result;
};

const int kMaxFrames = 20000;

// The first play: every frame's picture until the level ends, or to the
// last time.
FirstPlay PlayOnce(CLevel* level, int lastTime = kMaxFrames) {
    FirstPlay first;
    CWorldRun run(level);
    run.SetKeys({});
    std::string error;
    EXPECT_TRUE(StartFromTheFirstLooks(&run, &error)) << error;
    CHandPlay play(&run, level->GetSolution());
    first.frames.push_back(0);
    while (!run.IsEnded() && play.GetTime() <= lastTime) {
        const int saves = play.GetSaves();
        play.PlayFrame();
        first.frames.push_back(PictureKey());
        if (play.GetSaves() > saves && play.GetLastSaved().valid) first.moves.push_back(play.GetLastSaved());
    }
    first.endTime = play.GetTime() - 1;
    first.ended = run.IsEnded();
    first.result = run.GetResult();
    return first;
}

// The picture of the first play at a time, played again for the message.
std::vector<std::string> FirstPictureAt(CLevel* level, int time) {
    CWorldRun run(level);
    run.SetKeys({});
    std::string error;
    if (!StartFromTheFirstLooks(&run, &error)) return {error};
    CHandPlay play(&run, level->GetSolution());
    while (play.GetTime() <= time) play.PlayFrame();
    return Picture();
}

// The lines of one picture missing from the other, a few of each.
std::string Difference(const std::vector<std::string>& first, const std::vector<std::string>& again) {
    std::vector<std::string> gone, come;
    std::set_difference(first.begin(), first.end(), again.begin(), again.end(), std::back_inserter(gone));
    std::set_difference(again.begin(), again.end(), first.begin(), first.end(), std::back_inserter(come));
    std::ostringstream out;
    for (size_t i = 0; i < gone.size() && i < 4; ++i) out << "\n  first time: " << gone[i];
    for (size_t i = 0; i < come.size() && i < 4; ++i) out << "\n  after undo: " << come[i];
    return out.str();
}

struct Totals {
    int levels = 0;
    int undos = 0;
    int deepUndos = 0;
    int endsTakenBack = 0;
    long framesCompared = 0;
};

// The second play, with undos. Each step the first play saved is undone
// once, some frames into its move (from the first frame to the start of
// the next move), now and then two or three steps deep; and the end is
// taken back once, as the score page does. Play then goes on from the
// step undone to, with the same keys. False at the first frame that differs
// from the first play, with what differed in *failure.
bool PlayWithUndos(CLevel* level, int seed, const FirstPlay& first, Totals* totals, std::string* failure,
                   int* failedAt, std::vector<std::string>* failedPicture) {
    CWorldRun run(level);
    run.SetKeys({});
    std::string error;
    if (!StartFromTheFirstLooks(&run, &error)) {
        *failure = error;
        return false;
    }
    CHandPlay play(&run, level->GetSolution());
    // When each move of the first play is undone, and how deep.
    struct Plan {
        int at;
        int depth;
    };
    std::vector<Plan> plans;
    for (size_t j = 0; j < first.moves.size(); ++j) {
        const int from = first.moves[j].time;
        const int to = j + 1 < first.moves.size() ? first.moves[j + 1].time : first.endTime;
        const int length = std::max(1, to - from);
        const int k = seed + static_cast<int>(j) * 7;
        plans.push_back({from + 1 + k % length, j % 7 == 6 ? 3 : j % 3 == 2 ? 2 : 1});
    }
    size_t planned = 0;  // moves whose undo is done
    bool endTakenBack = false;
    const int limit = 6 * first.endTime + 4000;
    for (int frames = 0; frames < limit; ++frames) {
        if (planned < plans.size() && play.GetTime() >= plans[planned].at) {
            const Plan plan = plans[planned++];
            int depth = plan.depth;
            while (depth > 0 && !play.UndoTarget(depth).valid) --depth;
            bool undone = false;
            for (int d = 0; d < depth; ++d) undone = play.Undo(false);
            if (undone) {
                ++totals->undos;
                if (depth > 1) ++totals->deepUndos;
            }
            continue;
        }
        const int time = play.PlayFrame();
        const uint64_t key = PictureKey();
        ++totals->framesCompared;
        if (time >= static_cast<int>(first.frames.size()) || key != first.frames[static_cast<size_t>(time)]) {
            std::ostringstream out;
            out << "frame " << time << " (after " << totals->undos << " undos in all)";
            if (time >= static_cast<int>(first.frames.size())) {
                out << ": the first play had ended at frame " << first.endTime;
            } else {
                *failedAt = time;
                *failedPicture = Picture();
                out << " differs from the first play:";
            }
            *failure = out.str();
            return false;
        }
        if (!run.IsEnded() && !first.ended && time == first.endTime) return true;
        if (!run.IsEnded()) continue;
        if (time != first.endTime || run.GetResult() != first.result) {
            *failure = "ended " + run.GetResult() + " at frame " + std::to_string(time) + ", the first play " +
                       first.result + " at frame " + std::to_string(first.endTime);
            return false;
        }
        if (endTakenBack) return true;
        endTakenBack = true;
        CElement::ClearLevelExited();
        if (!play.Undo(true)) return true;
        ++totals->endsTakenBack;
    }
    *failure = "still playing after " + std::to_string(limit) + " frames";
    return false;
}

// The second play of a level, failing the test at the first frame that
// differs from its first play.
void CheckUndos(CLevel* level, const std::string& name, int seed, const FirstPlay& first, Totals* totals) {
    std::string failure;
    int failedAt = 0;
    std::vector<std::string> failedPicture;
    if (!PlayWithUndos(level, seed, first, totals, &failure, &failedAt, &failedPicture)) {
        if (failedAt > 0) failure += Difference(FirstPictureAt(level, failedAt), failedPicture);
        ADD_FAILURE() << name << ": " << failure;
    }
    ++totals->levels;
}

class UndoReplay : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        worldtest::EnsureHeadlessWorld();
        CSprite::SetClock(SolutionClock);
    }
    void TearDown() override { CSprite::SetClock(nullptr); }
};

}  // namespace

TEST_P(UndoReplay, TheSameKeysAfterAnUndoShowTheSameFrames) {
    Totals totals;
    const std::vector<LevelRef> levels = SolvedLevels();
    ASSERT_GT(levels.size(), 200u);
    for (size_t n = static_cast<size_t>(GetParam()); n < levels.size(); n += kShares) {
        const LevelRef& ref = levels[n];
        CLevel* level = CLevelSet::GetSet(ref.set)->GetLevel(ref.index);
        const FirstPlay first = PlayOnce(level);
        ASSERT_EQ(first.result, "exited") << NameOf(ref);
        CheckUndos(level, NameOf(ref), static_cast<int>(n), first, &totals);
    }
    printf("%d levels: %d undos (%d of them deeper than one step), %d ends taken back, %ld frames compared\n",
           totals.levels, totals.undos, totals.deepUndos, totals.endsTakenBack, totals.framesCompared);
    EXPECT_GT(totals.undos, 3 * totals.levels);
    EXPECT_GT(totals.deepUndos, totals.levels / 2);
    EXPECT_GT(totals.endsTakenBack, totals.levels / 2);
}

// The same over what no stored solution reaches: generated levels with
// every piece scattered over them (bots, magnets, gates, trampolines,
// portals, hot and frozen cells, every power-up, the EMP among them), each
// played with random keys for a while, then again with undos.
TEST_P(UndoReplay, TheSameKeysAfterAnUndoShowTheSameFramesInGeneratedLevels) {
    Totals totals;
    for (int seed = GetParam(); seed < kGeneratedLevels; seed += kShares) {
        std::mt19937 rng(static_cast<unsigned>(seed));
        CLevel level = worldtest::MakeRandomLevel(&rng);
        for (const ReplayKey& k : worldtest::MakeRandomKeys(&rng, kGeneratedFrames))
            level.AddReplayKey(k.frame, k.key, k.released);
        const FirstPlay first = PlayOnce(&level, kGeneratedFrames);
        CheckUndos(&level, "generated level " + std::to_string(seed), seed, first, &totals);
    }
    printf("%d generated levels: %d undos (%d of them deeper than one step), %d ends taken back, %ld frames "
           "compared\n",
           totals.levels, totals.undos, totals.deepUndos, totals.endsTakenBack, totals.framesCompared);
    EXPECT_GT(totals.undos, 3 * totals.levels);
}

INSTANTIATE_TEST_SUITE_P(Share, UndoReplay, ::testing::Range(0, kShares));
