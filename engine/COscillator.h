// A bobbing offset that swings between two bounds and eases towards them.
#pragma once

#include <cstdint>

class COscillator {
public:
    void Init(int base, int amplitude, float exponent, float scale, int phase);
    void Step();
    int GetValue() const;

    int GetPosition() const { return position_; }
    int GetDirection() const { return direction_; }
    float GetOffset() const { return offset_; }

private:
    float base_ = 0.0f;
    int32_t position_ = 0;
    int32_t amplitude_ = 1;
    float exponent_ = 1.0f;
    float scale_ = 0.0f;
    int32_t direction_ = 1;
    float offset_ = 0.0f;
};
