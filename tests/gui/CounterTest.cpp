// The rolling digit counter: the strip windows of each digit, frame by frame.
#include <gtest/gtest.h>

#include "engine/CSprite.h"
#include "gui/CGuiCounter.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

class CounterTest : public WidgetTest {
protected:
    static void SetUpTestSuite() {
        OpenDisplay();
        RegisterBlank("counterdigitsA_faded.png", 13, 240);
        RegisterBlank("counter_frame_test.png", 80, 30);
    }
    static void RollToEnd(CGuiCounter& c) {
        for (int i = 0; i < 10000 && c.GetValue(true) != c.GetValue(false) * 20; ++i) c.Update();
    }
};

TEST_F(CounterTest, StartsAtZeroWithOnlyTheUnitsShowing) {
    CGuiCounter c(10, 20, 3, "counter_frame_test.png", -2, -3);
    EXPECT_EQ(c.GetWindowTop(0), 0);
    EXPECT_EQ(c.GetWindowTop(1), 0);
    EXPECT_EQ(c.GetWindowTop(2), 200);
    EXPECT_EQ(c.GetValue(true), 0);
    EXPECT_EQ(c.GetValue(false), 0);
}

TEST_F(CounterTest, ValueCappedAt99999) {
    CGuiCounter c(0, 0, 5, nullptr, 0, 0);
    c.SetValue(123456);
    EXPECT_EQ(c.GetValue(false), 99999);
    RollToEnd(c);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(c.GetWindowTop(i), 180) << i;  // all nines
}

TEST_F(CounterTest, ZeroToOneScrollsTheUnitsOnePixelAFrame) {
    CGuiCounter c(0, 0, 3, nullptr, 0, 0);
    c.SetValue(1);
    for (int f = 1; f <= 19; ++f) {
        c.Update();
        EXPECT_EQ(c.GetValue(true), f);
        EXPECT_EQ(c.GetWindowTop(2), 200 + f) << f;
        EXPECT_EQ(c.GetWindowTop(1), 0);
    }
    c.Update();
    EXPECT_EQ(c.GetWindowTop(2), 20);  // reads 1
    c.Update();
    EXPECT_EQ(c.GetValue(true), 20);
}

TEST_F(CounterTest, ZeroToHundredJumpsFirstThenSlows) {
    CGuiCounter c(0, 0, 3, nullptr, 0, 0);
    c.SetValue(100);
    c.Update();
    EXPECT_EQ(c.GetValue(true), 100);
    c.Update();
    EXPECT_EQ(c.GetValue(true), 100 + 95);
    RollToEnd(c);
    EXPECT_EQ(c.GetWindowTop(0), 20);
    EXPECT_EQ(c.GetWindowTop(1), 200);
    EXPECT_EQ(c.GetWindowTop(2), 200);
}

TEST_F(CounterTest, SevenOnThreeDigitsShowsTwoBlanks) {
    CGuiCounter c(0, 0, 3, nullptr, 0, 0);
    c.SetValue(7);
    RollToEnd(c);
    EXPECT_EQ(c.GetWindowTop(0), 0);
    EXPECT_EQ(c.GetWindowTop(1), 0);
    EXPECT_EQ(c.GetWindowTop(2), 140);
}

TEST_F(CounterTest, TensTurnOnlyWhileUnitsPassNineToZero) {
    CGuiCounter c(0, 0, 2, nullptr, 0, 0);
    c.SetValue(9);
    RollToEnd(c);
    EXPECT_EQ(c.GetWindowTop(0), 0);
    c.SetValue(10);
    std::vector<int> tens;
    for (int i = 0; i < 20; ++i) {
        c.Update();
        tens.push_back(c.GetWindowTop(0));
    }
    // The units scroll from 180 to 200 and the tens from blank to 1 with them.
    EXPECT_EQ(c.GetWindowTop(1), 200);
    EXPECT_EQ(c.GetWindowTop(0), 20);
    EXPECT_GT(tens[5], 0);
    EXPECT_LT(tens[5], 20);
    // From 11 to 12 the tens stand still.
    c.SetValue(12);
    RollToEnd(c);
    c.SetValue(13);
    for (int i = 0; i < 25; ++i) {
        c.Update();
        EXPECT_EQ(c.GetWindowTop(0), 20);
    }
}

TEST_F(CounterTest, CountsDownTheSameWay) {
    CGuiCounter c(0, 0, 3, nullptr, 0, 0);
    c.SetValue(10);
    RollToEnd(c);
    c.SetValue(9);
    RollToEnd(c);
    EXPECT_EQ(c.GetWindowTop(0), 0);
    EXPECT_EQ(c.GetWindowTop(1), 0);
    EXPECT_EQ(c.GetWindowTop(2), 180);
    c.SetValue(0);
    RollToEnd(c);
    EXPECT_EQ(c.GetValue(true), 0);
}

// One sprite per digit place asked for, within 1 and kMaxDigits (at the cap
// and one past it), and the frame: each hidden and shown with the counter,
// and gone with it.
TEST_F(CounterTest, MakesASpritePerDigitUpToTheCapAndHidesEveryPart) {
    const struct {
        int asked;
        int made;
    } rows[] = {{4, 4}, {CGuiCounter::kMaxDigits, CGuiCounter::kMaxDigits},
                {CGuiCounter::kMaxDigits + 1, CGuiCounter::kMaxDigits}, {0, 1}};
    for (const auto& r : rows) {
        const size_t before = GetSpriteList().size();
        {
            CGuiCounter c(0, 0, r.asked, "counter_frame_test.png", 0, 0);
            EXPECT_EQ(c.GetDigits(), r.made) << r.asked;
            EXPECT_EQ(GetSpriteList().size(), before + 1 + static_cast<size_t>(r.made)) << r.asked;
            c.Hide();
            for (size_t i = before; i < GetSpriteList().size(); ++i) EXPECT_TRUE(GetSpriteList()[i]->IsHidden());
            c.Show();
            for (size_t i = before; i < GetSpriteList().size(); ++i) EXPECT_FALSE(GetSpriteList()[i]->IsHidden());
        }
        EXPECT_EQ(GetSpriteList().size(), before) << r.asked;
    }
}

}  // namespace
