#include "tools/design/CSolver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unordered_set>

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
    int parent = -1;   // -1 for the start
    int code = 0;      // the command that led here from the parent
    int depth = 0;     // commands from the start
    int restFrame = 0; // frames from the level's start until this rest
    CWorldKey key;
};

class BreadthSearch {
public:
    BreadthSearch(CLevel* level, const SolverOptions& options, bool undo, SolverResult* r)
        : options_(options), undo_(undo), r_(r), runner_(level, options.restFrames) {}

    // False when the search must start over without undo.
    bool Run() {
        const bool ok = Explore();
        r_->states = std::max<long>(1, static_cast<long>(positions_.size()));
        r_->frames = runner_.FramesStepped();
        return ok;
    }

private:
    using Clock = std::chrono::steady_clock;

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
    std::vector<int> CommandsHere() const;
    void Solved(int parent, int code, int frames);
    bool Diverged(int position, const char* how);
    double Elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

    SolverOptions options_;
    bool undo_;
    SolverResult* r_;
    CRestRunner runner_;
    CUndoRing ring_;
    std::vector<Position> positions_;
    std::unordered_set<CWorldKey, CWorldKeyHash> seen_;
    int current_ = -1;  // the position the world is at now, -1 for none
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
        start.restFrame = frames;
        start.key = Key();
        positions_.push_back(start);
        seen_.insert(start.key);
    } else if (Key() != positions_[0].key || frames != positions_[0].restFrame) {
        return Diverged(0, "when the world was built again");
    }
    current_ = 0;
    return true;
}

CRestRunner::Outcome BreadthSearch::RunCommand(int code, int from, int* frames, int knownFrames) {
    // The ring must hold the position the command starts from. A direction
    // key or a power-up saves it by itself as the hero sets off (the held key
    // is no part of an undo step, and a refused power-up changes nothing);
    // the turn key saves nothing and turns him at once.
    const bool turns = code == SOLUTION_KEY_TURN;
    if (undo_ && turns) ring_.Save(from);
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
    snprintf(buf, sizeof buf, "position %d (%d commands deep) came out different %s", position,
             positions_[static_cast<size_t>(position)].depth, how);
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
    if (undo_) {
        for (int a = target; a >= 0; a = positions_[static_cast<size_t>(a)].parent) {
            const int depth = ring_.Depth(a);
            if (depth < 0) continue;
            for (int i = 0; i < depth; ++i) ring_.Load();
            ring_.Load();
            r_->loads += depth + 1;
            current_ = a;
            if (Key() != positions_[static_cast<size_t>(a)].key) return Diverged(a, "when loaded from the undo ring");
            break;
        }
    }
    if (current_ < 0 || !IsAncestorOrSelf(current_, target)) {
        if (!Rebuild()) return false;
    }
    std::vector<int> path;
    for (int p = target; p != current_; p = positions_[static_cast<size_t>(p)].parent) path.push_back(p);
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        const Position& p = positions_[static_cast<size_t>(*it)];
        const int known = p.restFrame - positions_[static_cast<size_t>(p.parent)].restFrame;
        int frames = 0;
        const CRestRunner::Outcome how = RunCommand(p.code, p.parent, &frames, known);
        if (how != CRestRunner::REST || Key() != p.key ||
            positions_[static_cast<size_t>(p.parent)].restFrame + frames != p.restFrame)
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

void BreadthSearch::Solved(int parent, int code, int frames) {
    std::vector<int> chain;
    for (int p = parent; p > 0; p = positions_[static_cast<size_t>(p)].parent) chain.push_back(p);
    r_->outcome = SolverResult::SOLVED;
    r_->commands.clear();
    r_->records.clear();
    auto add = [&](int from, int c) {
        const int rest = positions_[static_cast<size_t>(from)].restFrame;
        r_->commands.push_back(c);
        r_->records.push_back({rest + 1, c, false});
        r_->records.push_back({rest + 2, c, true});
    };
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Position& p = positions_[static_cast<size_t>(*it)];
        add(p.parent, p.code);
    }
    add(parent, code);
    r_->exitFrame = positions_[static_cast<size_t>(parent)].restFrame + frames;
}

bool BreadthSearch::Explore() {
    if (!Rebuild()) {
        r_->outcome = SolverResult::NOT_PLAYABLE;
        return true;
    }
    int layer = -1;
    for (size_t i = 0; i < positions_.size(); ++i) {
        const int at = static_cast<int>(i);
        const Position here = positions_[i];
        if (here.depth >= options_.maxCommands) {
            r_->outcome = SolverResult::COMMAND_BOUND;
            return true;
        }
        if (options_.maxSeconds > 0 && Elapsed() > options_.maxSeconds) {
            r_->outcome = SolverResult::TIME_BOUND;
            return true;
        }
        if (options_.progress && here.depth != layer) {
            layer = here.depth;
            fprintf(stderr, "zorv_solve: %d commands deep: %zu positions to search, %zu found, %.0f positions/s\n",
                    layer, positions_.size() - i, positions_.size(), positions_.size() / std::max(Elapsed(), 1e-9));
        }
        if (!GoTo(at)) return false;
        for (int code : CommandsHere()) {
            if (!GoTo(at)) return false;
            int frames = 0;
            const CRestRunner::Outcome how = RunCommand(code, at, &frames);
            if (how == CRestRunner::EXITED) {
                Solved(at, code, frames);
                r_->depth = here.depth + 1;
                return true;
            }
            if (how == CRestRunner::LOST) {
                ++r_->lost;
            } else if (how == CRestRunner::RESTLESS) {
                ++r_->unsettled;
            } else {
                Position child;
                child.parent = at;
                child.code = code;
                child.depth = here.depth + 1;
                child.restFrame = here.restFrame + frames;
                child.key = Key();
                if (seen_.insert(child.key).second) {
                    positions_.push_back(child);
                    r_->depth = child.depth;
                    if (static_cast<long>(positions_.size()) >= options_.maxStates) {
                        r_->outcome = SolverResult::STATE_BOUND;
                        return true;
                    }
                }
            }
            if (undo_) {
                ring_.Load();
                ++r_->loads;
                current_ = at;
                if (Key() != here.key) return Diverged(at, "after an undo");
            }
        }
        ++r_->expanded;
    }
    r_->outcome = SolverResult::UNSOLVABLE;
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

std::string CSolver::CommandName(int code) {
    switch (code) {
        case SOLUTION_KEY_LEFT: return "left";
        case SOLUTION_KEY_RIGHT: return "right";
        case SOLUTION_KEY_UP: return "up";
        case SOLUTION_KEY_DOWN: return "down";
        case SOLUTION_KEY_TURN: return "turn";
        default: break;
    }
    if (code >= SOLUTION_KEY_POWERUP_FIRST && code <= SOLUTION_KEY_POWERUP_LAST)
        return "slot" + std::to_string(code - SOLUTION_KEY_POWERUP_FIRST + 1);
    return std::to_string(code);
}

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
        r.verifyResult = Replay(level_, r.records, r.exitFrame + 2000, &frames);
        r.verified = r.verifyResult == "exited";
    }
    return r;
}

std::string CSolver::Replay(CLevel* level, const std::vector<ReplayKey>& records, int maxFrames, int* frames) {
    CWorldRun run(level);
    run.SetKeys(records);
    std::string error;
    if (!run.Start(&error)) return error;
    run.Run(maxFrames, true);
    if (frames) *frames = run.GetFrame();
    if (!run.GetFailure().empty()) return "broken world: " + run.GetFailure();
    return run.GetResult();
}
