// The world's undo ring used by the solver as a short stack of positions to
// branch from. The ring keeps the world's last five undo steps; this class
// keeps, beside it, which position of the search each step holds, so that
// the solver can go back to a position the ring still has (one forced load
// per step on top of it) instead of building the world again.
//
// Steps are saved by the solver and by the hero himself (a command from rest
// saves the world before it acts); the ring may skip a save or drop its
// oldest step. Note() compares the ring's position with the last one seen and
// files every save it finds under the position the world had then.
#pragma once

#include <deque>

class CUndoRing {
public:
    static constexpr int kUnknown = -1;

    // After the world was built: the ring holds the built world's step,
    // which is no position of the search.
    void Reset();
    // Files the saves made since the last call under this position.
    void Note(int position);
    // Makes the newest step hold the position the world is at now.
    void Save(int position);
    // The position of the newest step; kUnknown when the ring is empty.
    int Top() const { return steps_.empty() ? kUnknown : steps_.back(); }
    // The place from the top (0 = newest) of a position's newest step, -1
    // when the ring does not hold it.
    int Depth(int position) const;
    // Loads the newest step (forced) and returns its position; the step
    // leaves the ring unless it is the last one.
    int Load();
    int Size() const { return static_cast<int>(steps_.size()); }

private:
    void Seen();

    std::deque<int> steps_;
    int count_ = 0;
    int start_ = 0;
};
