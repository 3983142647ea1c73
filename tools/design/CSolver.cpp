#include "tools/design/CSolver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unordered_map>

#include "tools/design/CRestRunner.h"
#include "tools/design/CUndoRing.h"
#include "tools/design/CWorldKey.h"
#include "tools/design/CWorldRest.h"
#include "world/CElement.h"
#include "world/CElementAIProfessor.h"
#include "world/CWorldRun.h"
#include "world/SolutionKeys.h"

namespace {

// A position of the search: the world at rest after a list of commands.
struct Position {
    int parent = -1;         // the position it was reached from in the fewest commands known; -1 for the start
    int code = 0;            // the command that leads here from the parent
    int depth = 0;           // commands from the start (the fewest known)
    int frames = 0;          // frames of that command, from the parent's rest to this one (the start: from the build)
    int expandedDepth = -1;  // the depth at which its commands were tried, -1 for not yet
    CWorldKey key;
};

// Commands below a position reached the costly way are tried at once, a few
// commands deep, while the undo ring still holds the way back: positions
// deeper than the current layer get a depth that may still come down, and
// are searched again if it does.
constexpr int kLookahead = 5;

class BreadthSearch {
public:
    BreadthSearch(CLevel* level, const SolverOptions& options, bool undo, SolverResult* r)
        : options_(options), undo_(undo), r_(r), runner_(level, options.restFrames) {}

    // False when the search must start over without undo.
    bool Run() {
        const bool ok = Explore();
        r_->found = std::max<long>(1, static_cast<long>(positions_.size()));
        r_->states = r_->found;
        if (r_->outcome == SolverResult::SOLVED)
            r_->states = std::count_if(positions_.begin(), positions_.end(),
                                       [this](const Position& p) { return p.depth < best_; });
        r_->frames = runner_.FramesStepped();
        return ok;
    }

private:
    using Clock = std::chrono::steady_clock;
    // How the search of one position ended.
    enum Step { STEP_ON, STEP_STOP, STEP_DIVERGED };

    Position& At(int p) { return positions_[static_cast<size_t>(p)]; }
    CWorldKey Key() const { return runner_.Key(); }
    bool Rebuild();
    // Runs one command from the position the world is at and waits for rest
    // (or, with knownFrames, runs exactly that many frames).
    CRestRunner::Outcome RunCommand(int code, int from, int* frames, int knownFrames = 0);
    bool GoTo(int target);
    bool IsAncestorOrSelf(int a, int b) const {
        for (; b >= 0; b = positions_[static_cast<size_t>(b)].parent)
            if (a == b) return true;
        return false;
    }
    bool Explore();
    // Tries every command at the position the world is at, and lookahead
    // commands deep below the new positions it finds.
    Step Expand(int at, int lookahead);
    std::vector<int> CommandsHere() const;
    // The command list from the start to a position, then one command more.
    void Found(int parent, int code, int frames);
    bool Diverged(int position, const char* how);
    bool OutOfTime() const { return options_.maxSeconds > 0 && Elapsed() > options_.maxSeconds; }
    double Elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

    SolverOptions options_;
    bool undo_;
    SolverResult* r_;
    CRestRunner runner_;
    CUndoRing ring_;
    std::vector<Position> positions_;
    std::unordered_map<CWorldKey, int, CWorldKeyHash> index_;
    std::vector<std::vector<int>> layers_;  // positions to search, by depth
    int current_ = -1;  // the position the world is at now, -1 for none
    int best_ = -1;     // commands of the shortest solution found, -1 for none
    SolverResult bestFound_;
    Clock::time_point start_ = Clock::now();
};

bool BreadthSearch::Rebuild() {
    ++r_->rebuilds;
    current_ = -1;
    CRestRunner::Outcome how;
    int frames = 0;
    if (!runner_.Build(&how, &frames, &r_->error)) return false;
    if (how != CRestRunner::REST) {
        std::string why;
        CWorldRest::IsBusy(&why);
        r_->error = how == CRestRunner::RESTLESS ? "the world does not come to rest after the start (" + why + ")"
                    : how == CRestRunner::EXITED ? "the hero exits without a command"
                                                 : "the level is lost without a command";
        return false;
    }
    ring_.Reset();
    if (positions_.empty()) {
        Position start;
        start.frames = frames;
        start.key = Key();
        positions_.push_back(start);
        index_.emplace(start.key, 0);
        layers_.push_back({0});
    } else if (Key() != positions_[0].key || frames != positions_[0].frames) {
        return Diverged(0, "when the world was built again");
    }
    current_ = 0;
    return true;
}

CRestRunner::Outcome BreadthSearch::RunCommand(int code, int from, int* frames, int knownFrames) {
    // The ring must hold the position the command starts from. A direction
    // key saves it by itself as the hero sets off (the held key is no part of
    // an undo step), so a save after the press still holds the position. The
    // turn key saves nothing and turns him at once, and a power-up acts at
    // the press (the inventory shifts, the piece is on its way); when the
    // hero's own save is skipped, right after an undo, a save after the
    // press would file that world under the position: both save first.
    const bool turns = code == SOLUTION_KEY_TURN;
    const bool powerup = code >= SOLUTION_KEY_POWERUP_FIRST && code <= SOLUTION_KEY_POWERUP_LAST;
    if (undo_ && (turns || powerup)) ring_.Save(from);
    runner_.Press(code);
    if (undo_ && !turns) {
        ring_.Note(from);
        ring_.Save(from);
    }
    current_ = -1;
    ++r_->runs;
    const CRestRunner::Outcome how = runner_.Finish(code, frames, knownFrames);
    if (undo_) ring_.Note(CUndoRing::kUnknown);
    return how;
}

bool BreadthSearch::Diverged(int position, const char* how) {
    char buf[160];
    snprintf(buf, sizeof buf, "position %d (%d commands deep) came out different %s", position, At(position).depth,
             how);
    r_->note = buf;
    if (!undo_) {
        // Without undo every position is played from a new build: a world
        // that comes out different cannot be searched.
        r_->outcome = SolverResult::NOT_PLAYABLE;
        r_->error = std::string("the world does not repeat itself: ") + buf;
    }
    return false;
}

// Brings the world to a position: back through the ring to the nearest
// position it holds on the way there (or a new build), then forward by the
// position's commands, each checked against its key.
bool BreadthSearch::GoTo(int target) {
    if (current_ == target) return true;
    if (undo_ && !(current_ >= 0 && IsAncestorOrSelf(current_, target))) {
        current_ = -1;
        for (int a = target; a >= 0; a = At(a).parent) {
            const int depth = ring_.Depth(a);
            if (depth < 0) continue;
            for (int i = 0; i < depth; ++i) ring_.Load();
            ring_.Load();
            r_->loads += depth + 1;
            current_ = a;
            if (Key() != At(a).key) return Diverged(a, "when loaded from the undo ring");
            break;
        }
    }
    if (current_ < 0 || !IsAncestorOrSelf(current_, target)) {
        if (!Rebuild()) return false;
    }
    std::vector<int> path;
    for (int p = target; p != current_; p = At(p).parent) path.push_back(p);
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        const Position& p = At(*it);
        int frames = 0;
        const CRestRunner::Outcome how = RunCommand(p.code, p.parent, &frames, p.frames);
        if (how != CRestRunner::REST || frames != p.frames || Key() != p.key)
            return Diverged(*it, "when its commands were played again");
        current_ = *it;
    }
    return true;
}

std::vector<int> BreadthSearch::CommandsHere() const {
    std::vector<int> codes = {SOLUTION_KEY_LEFT, SOLUTION_KEY_RIGHT, SOLUTION_KEY_UP, SOLUTION_KEY_DOWN};
    const CElementAIProfessor* hero = dynamic_cast<const CElementAIProfessor*>(CElement::GetHero());
    if (!hero || hero->inventory[0] == CElementAIProfessor::POWERUP_KIND_NONE) return codes;
    codes.push_back(SOLUTION_KEY_TURN);
    // One use per kind: two positions of one kind leave the same world.
    for (int p = 0; p < CElementAIProfessor::kInventorySize; ++p) {
        const int kind = hero->inventory[p];
        bool earlier = false;
        for (int q = 0; q < p; ++q) earlier = earlier || hero->inventory[q] == kind;
        if (kind != CElementAIProfessor::POWERUP_KIND_NONE && !earlier)
            codes.push_back(SOLUTION_KEY_POWERUP_FIRST + p);
    }
    return codes;
}

void BreadthSearch::Found(int parent, int code, int frames) {
    std::vector<int> chain;
    for (int p = parent; p > 0; p = At(p).parent) chain.push_back(p);
    SolverResult& b = bestFound_;
    b.commands.clear();
    b.records.clear();
    int rest = At(0).frames;
    auto add = [&](int c, int commandFrames) {
        b.commands.push_back(c);
        b.records.push_back({rest + 1, c, false});
        b.records.push_back({rest + 2, c, true});
        rest += commandFrames;
    };
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) add(At(*it).code, At(*it).frames);
    add(code, frames);
    b.exitFrame = rest;
    best_ = static_cast<int>(b.commands.size());
}

BreadthSearch::Step BreadthSearch::Expand(int at, int lookahead) {
    const int depth = At(at).depth;
    const CWorldKey here = At(at).key;
    At(at).expandedDepth = depth;
    ++r_->expanded;
    std::vector<int> fresh;
    for (int code : CommandsHere()) {
        if (!GoTo(at)) return STEP_DIVERGED;
        int frames = 0;
        const CRestRunner::Outcome how = RunCommand(code, at, &frames);
        if (how == CRestRunner::EXITED) {
            if (best_ < 0 || depth + 1 < best_) Found(at, code, frames);
        } else if (how == CRestRunner::LOST) {
            ++r_->lost;
        } else if (how == CRestRunner::RESTLESS) {
            ++r_->unsettled;
        } else {
            const CWorldKey key = Key();
            const auto found = index_.find(key);
            const bool known = found != index_.end();
            const int child = known ? found->second : static_cast<int>(positions_.size());
            if (!known) {
                positions_.emplace_back();
                At(child).key = key;
                index_.emplace(key, child);
            }
            Position& c = At(child);
            if (!known || c.depth > depth + 1) {
                // New, or reached in fewer commands than before.
                c.parent = at;
                c.code = code;
                c.depth = depth + 1;
                c.frames = frames;
                if (static_cast<int>(layers_.size()) <= c.depth) layers_.resize(static_cast<size_t>(c.depth) + 1);
                layers_[static_cast<size_t>(c.depth)].push_back(child);
                r_->depth = std::max(r_->depth, c.depth);
                if (c.depth < options_.maxCommands) fresh.push_back(child);
            }
            if (static_cast<long>(positions_.size()) >= options_.maxStates) return STEP_STOP;
        }
        if (undo_) {
            ring_.Load();
            ++r_->loads;
            current_ = at;
            if (Key() != here) {
                Diverged(at, "after an undo");
                return STEP_DIVERGED;
            }
        }
    }
    if (!undo_ || lookahead <= 0 || fresh.empty()) return STEP_ON;
    // The way back from each new position below is this one.
    ring_.Save(at);
    for (int child : fresh) {
        if (At(child).expandedDepth == At(child).depth || OutOfTime()) continue;
        if (!GoTo(child)) return STEP_DIVERGED;
        const Step step = Expand(child, lookahead - 1);
        if (step != STEP_ON) return step;
    }
    return STEP_ON;
}

bool BreadthSearch::Explore() {
    if (!Rebuild()) {
        r_->outcome = SolverResult::NOT_PLAYABLE;
        return true;
    }
    for (int depth = 0; depth < static_cast<int>(layers_.size()); ++depth) {
        // A solution of best_ commands is the shortest once every position
        // up to best_ - 2 commands deep has been searched.
        if (best_ >= 0 && best_ <= depth + 1) break;
        if (depth >= options_.maxCommands) {
            r_->outcome = SolverResult::COMMAND_BOUND;
            return true;
        }
        if (options_.progress)
            fprintf(stderr, "zorv_solve: %d commands deep: %zu positions found, %.0f positions/s\n", depth,
                    positions_.size(), positions_.size() / std::max(Elapsed(), 1e-9));
        for (size_t i = 0; i < layers_[static_cast<size_t>(depth)].size(); ++i) {
            const int at = layers_[static_cast<size_t>(depth)][i];
            // Stale entries: reached in fewer commands since, or searched.
            if (At(at).depth != depth || At(at).expandedDepth == depth) continue;
            if (OutOfTime()) {
                r_->outcome = SolverResult::TIME_BOUND;
                return true;
            }
            if (!GoTo(at)) return false;
            const Step step = Expand(at, undo_ ? kLookahead : 0);
            if (step == STEP_DIVERGED) return false;
            if (step == STEP_STOP) {
                r_->outcome = SolverResult::STATE_BOUND;
                return true;
            }
        }
    }
    if (best_ < 0) {
        r_->outcome = SolverResult::UNSOLVABLE;
        return true;
    }
    r_->outcome = SolverResult::SOLVED;
    r_->commands = bestFound_.commands;
    r_->records = bestFound_.records;
    r_->exitFrame = bestFound_.exitFrame;
    return true;
}

}  // namespace

const char* SolverResult::OutcomeName(Outcome outcome) {
    switch (outcome) {
        case SOLVED: return "solved";
        case UNSOLVABLE: return "unsolvable";
        case COMMAND_BOUND: return "no solution within the command bound";
        case STATE_BOUND: return "stopped at the position bound";
        case TIME_BOUND: return "stopped at the time bound";
        case NOT_PLAYABLE: return "not playable";
    }
    return "?";
}

CSolver::CSolver(CLevel* level, const SolverOptions& options) : level_(level), options_(options) {}

bool CSolver::SearchOnce(bool undo, SolverResult* r) {
    const auto start = std::chrono::steady_clock::now();
    const SolverResult fresh;
    *r = fresh;
    r->usedUndo = undo;
    bool ok;
    {
        BreadthSearch search(level_, options_, undo, r);
        ok = search.Run();
    }
    r->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return ok;
}

SolverResult CSolver::Solve() {
    SolverResult r;
    if (!SearchOnce(options_.undo, &r) && options_.undo) {
        const std::string why = r.note;
        SearchOnce(false, &r);
        r.note = "undo gave back another world (" + why + "); searched again building the world for every position";
    }
    if (r.outcome == SolverResult::SOLVED) {
        int frames = 0;
        r.verifyResult = Replay(level_, r.records, r.exitFrame + kReplayFramesAfter, &frames, &r.steps);
        r.verified = r.verifyResult == "exited";
    }
    return r;
}

std::string CSolver::Replay(CLevel* level, const std::vector<ReplayKey>& records, int maxFrames, int* frames,
                            int* steps) {
    CWorldRun run(level);
    run.SetKeys(records);
    std::string error;
    if (!run.Start(&error)) return error;
    run.Run(maxFrames, true);
    if (frames) *frames = run.GetFrame();
    if (steps) *steps = CElement::GetStepCount();
    if (!run.GetFailure().empty()) return "broken world: " + run.GetFailure();
    return run.GetResult();
}

std::string CSolver::ReplayStored(CLevel* level, int* frames, int* steps) {
    const std::vector<ReplayKey>& records = level->GetSolution();
    if (records.empty()) return "";
    return Replay(level, records, records.back().frame + kReplayFramesAfter, frames, steps);
}

std::string CSolver::DescribeStoredSolution(CLevel* level, bool* exits) {
    int steps = 0;
    const std::string ends = ReplayStored(level, nullptr, &steps);
    *exits = ends == "exited";
    if (ends.empty()) return "no solution";
    return *exits ? "solution " + std::to_string(steps) + " steps" : "a solution that does not exit (" + ends + ")";
}
