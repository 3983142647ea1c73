#include "engine/COscillator.h"

#include <cmath>
#include <cstdlib>

void COscillator::Init(int base, int amplitude, float exponent, float scale, int phase) {
    base_ = static_cast<float>(base);
    // An amplitude of 0 would divide by zero at every step.
    amplitude_ = amplitude < 1 ? 1 : amplitude;
    exponent_ = exponent;
    scale_ = scale;
    offset_ = 0.0f;
    const int q = phase / amplitude_;
    const int r = phase % amplitude_;
    switch (q % 4) {
        case 0:
            position_ = r;
            direction_ = 1;
            break;
        case 1:
            position_ = amplitude_ - r;
            direction_ = -1;
            break;
        case 2:
            position_ = -r;
            direction_ = -1;
            break;
        default:
            position_ = r - amplitude_;
            direction_ = 1;
            break;
    }
}

void COscillator::Step() {
    position_ += direction_;
    if (position_ >= amplitude_) direction_ = -1;
    if (position_ <= -amplitude_) direction_ = 1;
    const double ratio = std::abs(static_cast<double>(position_)) / amplitude_;
    double offset = (1.0 - std::pow(ratio, static_cast<double>(exponent_))) * scale_;
    if (direction_ < 0) offset = -offset;
    offset_ = static_cast<float>(offset);
}

int COscillator::GetValue() const { return static_cast<int>(base_ + offset_); }
