#include "engine/CLinearMover.h"

CLinearMover::CLinearMover(float x, float y, float dx, float dy, int period) { Init(x, y, dx, dy, period); }

void CLinearMover::Init(float x, float y, float dx, float dy, int period) {
    x_ = x;
    y_ = y;
    dx_ = dx;
    dy_ = dy;
    // A period of 0 would divide by zero; one frame is the shortest period.
    period_ = period < 1 ? 1 : period;
    counter_ = 0;
}

int CLinearMover::Step() {
    if (counter_ == 0) {
        x_ += dx_;
        y_ += dy_;
    }
    const int next = counter_ + 1;
    counter_ = next % period_;
    return next / period_;
}
