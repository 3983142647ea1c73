#include <gtest/gtest.h>

#include "engine/Utilities.h"

TEST(Smoke, GroupThousands) { EXPECT_EQ(GroupThousands(1234567), "1,234,567"); }
