#include <gtest/gtest.h>

#include "engine/CLinearMover.h"
#include "engine/COscillator.h"

TEST(Oscillator, SwingsAndEases) {
    COscillator o;
    o.Init(100, 10, 1.0f, 8.0f, 0);
    EXPECT_EQ(o.GetOffset(), 0.0f);
    EXPECT_EQ(o.GetValue(), 100);
    o.Step();
    EXPECT_EQ(o.GetPosition(), 1);
    EXPECT_NEAR(o.GetOffset(), 7.2f, 1e-5);
    EXPECT_EQ(o.GetValue(), 107);
    for (int i = 0; i < 9; ++i) o.Step();
    EXPECT_EQ(o.GetPosition(), 10);
    EXPECT_EQ(o.GetDirection(), -1);
    EXPECT_NEAR(o.GetOffset(), 0.0f, 1e-6);
    o.Step();
    EXPECT_LT(o.GetOffset(), 0.0f);  // the sign follows the direction of travel
}

TEST(Oscillator, PhasePlacesTheSwing) {
    COscillator o;
    o.Init(0, 10, 1.0f, 1.0f, 25);
    EXPECT_EQ(o.GetPosition(), -5);
    EXPECT_EQ(o.GetDirection(), -1);
    o.Init(0, 10, 1.0f, 1.0f, 10);
    EXPECT_EQ(o.GetPosition(), 10);
    EXPECT_EQ(o.GetDirection(), -1);
    o.Init(0, 10, 1.0f, 1.0f, 30);
    EXPECT_EQ(o.GetPosition(), -10);
    EXPECT_EQ(o.GetDirection(), 1);
}

TEST(Oscillator, ZeroAmplitudeDoesNotDivideByZero) {
    COscillator o;
    o.Init(5, 0, 2.0f, 3.0f, 7);
    for (int i = 0; i < 5; ++i) o.Step();
    EXPECT_GE(o.GetValue(), 2);
    EXPECT_LE(o.GetValue(), 8);
}

TEST(LinearMover, MovesOnTheFirstFrameOfEachPeriod) {
    CLinearMover every(0, 0, 1, 2, 1);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(every.Step(), 1);
        EXPECT_EQ(every.GetX(), static_cast<float>(i));
        EXPECT_EQ(every.GetY(), static_cast<float>(2 * i));
    }
    CLinearMover slow(0, 0, 1, 0, 3);
    std::vector<int> moves, completions;
    for (int frame = 1; frame <= 9; ++frame) {
        const float before = slow.GetX();
        if (slow.Step()) completions.push_back(frame);
        if (slow.GetX() != before) moves.push_back(frame);
    }
    EXPECT_EQ(moves, (std::vector<int>{1, 4, 7}));
    EXPECT_EQ(completions, (std::vector<int>{3, 6, 9}));
    slow.Init(5, 5, 0, 0, 0);
    EXPECT_EQ(slow.Step(), 1);
}
