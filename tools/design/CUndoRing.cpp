#include "tools/design/CUndoRing.h"

#include "world/CElement.h"

namespace {

// The ring's oldest step is the element base's own business; the solver only
// reads it, to tell a save that dropped the oldest step from one skipped.
class RingView : public CElement {
public:
    static int Start() { return undoStart; }
    static int Count() { return undoCount; }
};

}  // namespace

void CUndoRing::Seen() {
    count_ = RingView::Count();
    start_ = RingView::Start();
}

void CUndoRing::Reset() {
    steps_.assign(static_cast<size_t>(RingView::Count()), kUnknown);
    Seen();
}

void CUndoRing::Note(int position) {
    const int count = RingView::Count();
    const int start = RingView::Start();
    int saves = 0;
    if (count > count_) {
        saves = count - count_;
    } else if (count == CElement::kUndoSlots && start != start_) {
        saves = (start - start_ + CElement::kUndoSlots) % CElement::kUndoSlots;
    }
    for (int i = 0; i < saves; ++i) {
        if (static_cast<int>(steps_.size()) == CElement::kUndoSlots) steps_.pop_front();
        steps_.push_back(position);
    }
    // A ring that shrank without our loads is not what we think it is.
    while (static_cast<int>(steps_.size()) > count) steps_.pop_front();
    Seen();
}

void CUndoRing::Save(int position) {
    // A save right after the newest step was loaded is skipped by the ring
    // (the world equals it); the second one takes.
    for (int attempt = 0; attempt < 2 && Top() != position; ++attempt) {
        CElement::SaveUndoStep();
        Note(position);
    }
}

int CUndoRing::Depth(int position) const {
    for (int i = static_cast<int>(steps_.size()) - 1; i >= 0; --i)
        if (steps_[static_cast<size_t>(i)] == position) return static_cast<int>(steps_.size()) - 1 - i;
    return -1;
}

int CUndoRing::Load() {
    if (steps_.empty()) return kUnknown;
    const int position = steps_.back();
    // A lost or finished level refuses undo until its end is taken back.
    CElement::ClearLevelExited();
    CElement::LoadUndoStep(true);
    if (steps_.size() > 1) steps_.pop_back();
    Seen();
    return position;
}
