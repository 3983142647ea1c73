// Moves a point by a fixed step once every given number of frames.
#pragma once

#include <cstdint>

class CLinearMover {
public:
    CLinearMover() = default;
    CLinearMover(float x, float y, float dx, float dy, int period);
    void Init(float x, float y, float dx, float dy, int period);
    // 1 when this call completed a period, else 0.
    int Step();
    float GetX() const { return x_; }
    float GetY() const { return y_; }

private:
    float x_ = 0.0f;
    float y_ = 0.0f;
    float dx_ = 0.0f;
    float dy_ = 0.0f;
    int32_t period_ = 1;
    int32_t counter_ = 0;
};
