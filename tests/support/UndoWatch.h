// Watches undo while a test plays the world: the world digest of every undo
// step is taken as the step is saved, and after every undo the world is
// compared with the digest of the step it went back to. The first difference
// is kept, naming the element and the field.
#pragma once

#include <string>

#include "world/CElement.h"
#include "world/CWorldDigest.h"

class CUndoWatch {
public:
    CUndoWatch() {
        current_ = this;
        CElement::SetUndoWatcher(&Seen);
    }
    ~CUndoWatch() {
        CElement::SetUndoWatcher(nullptr);
        current_ = nullptr;
    }
    CUndoWatch(const CUndoWatch&) = delete;
    CUndoWatch& operator=(const CUndoWatch&) = delete;

    int GetSaves() const { return saves_; }
    // Undos compared with the digest of their step.
    int GetCompared() const { return compared_; }
    // The first difference; empty while every undo brought its step back.
    const std::string& GetDifference() const { return difference_; }

private:
    static void Seen(int slot, bool restored) {
        CUndoWatch* w = current_;
        if (!w || slot < 0 || slot >= CElement::kUndoSlots) return;
        if (!restored) {
            w->steps_[slot] = CWorldDigest::Take();
            ++w->saves_;
            return;
        }
        if (w->steps_[slot].GetPartCount() == 0) return;
        ++w->compared_;
        const std::string difference = CWorldDigest::Take().FindDifference(w->steps_[slot]);
        if (!difference.empty() && w->difference_.empty()) w->difference_ = difference;
    }

    static inline CUndoWatch* current_ = nullptr;
    CWorldDigest steps_[CElement::kUndoSlots];
    int saves_ = 0;
    int compared_ = 0;
    std::string difference_;
};
