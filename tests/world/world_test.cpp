// The world model: direction tables, the approximate length, the starting fleet, the one-pixel
// plot, the screen mapping, slot allocation and the engagement area.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/graphics/ddraw.h"
#include "world/craft.h"
#include "world/world.h"

namespace {

TEST(TrigTables, AxesAndTheTenDegreeSteps) {
    Init_Trig_Tables();
    EXPECT_EQ(cos_table[0], 1.0f);
    EXPECT_EQ(sin_table[0], 0.0f);
    EXPECT_EQ(sin_table[9], 1.0f);   // straight down the screen
    EXPECT_EQ(cos_table[18], -1.0f); // straight left
    EXPECT_EQ(sin_table[27], -1.0f); // straight up
    EXPECT_EQ(sin_table[3], 0.5f);   // 30 degrees
    EXPECT_EQ(cos_table[6], 0.5f);   // 60 degrees
    EXPECT_NEAR(cos_table[3], 0.8660254f, 1e-7);
    EXPECT_NEAR(sin_table[35], -0.17364818f, 1e-7);
}

TEST(TrigTables, UseTheTenDigitPi) {
    // 3.1415926535 falls short of pi by 8.979e-11, so 90 and 180 degrees miss their zeros by
    // that much (and by half of it); a table built from the exact pi gives about 1e-16 there.
    Init_Trig_Tables();
    EXPECT_NEAR(cos_table[9], 4.4897e-11, 0.0001e-11);
    EXPECT_NEAR(sin_table[18], 8.9793e-11, 0.0001e-11);
    EXPECT_NEAR(cos_table[27], -1.3469e-10, 0.0001e-10); // cos(270 - e) = -sin(e)
}

TEST(Headings, WrapIntoTheTable) {
    EXPECT_EQ(Wrap_Heading(36), 0);
    EXPECT_EQ(Wrap_Heading(-1), 35);
    EXPECT_EQ(Wrap_Heading(35), 35);
    EXPECT_EQ(Wrap_Heading(0), 0);
    EXPECT_EQ(Wrap_Heading(73), 1);
    EXPECT_EQ(Wrap_Heading(-37), 35);
}

TEST(ApproxDistance, WorkedFigures) {
    EXPECT_EQ(Approx_Distance(3, 4), 5.125f);  // 3 + 4 - 1.5 - 0.75 + 0.375
    EXPECT_EQ(Approx_Distance(4, 3), 5.125f);  // the smaller one is m either way
    EXPECT_EQ(Approx_Distance(-3, 4), 5.125f); // signs do not matter
    EXPECT_EQ(Approx_Distance(3, -4), 5.125f);
    EXPECT_EQ(Approx_Distance(-3, -4), 5.125f);
    EXPECT_EQ(Approx_Distance(0, 0), 0.0f);
    EXPECT_EQ(Approx_Distance(16, 0), 16.0f); // exact along an axis
    EXPECT_EQ(Approx_Distance(0, -7.5f), 7.5f);
    EXPECT_EQ(Approx_Distance(10, 10), 13.75f); // 20 - 5 - 2.5 + 1.25
}

TEST(ApproxDistance, SinglePrecisionOneStepAtATime) {
    // (1, 2^24): 2^24 + 1 rounds to 2^24, and 2^24 - 0.5, - 0.25, + 0.125 each round back to
    // 2^24. Reading it as p + q - 5m/8 gives 16777215 instead.
    EXPECT_EQ(Approx_Distance(1.0f, 16777216.0f), 16777216.0f);
    // (1, 2^24 + 2): 2^24 + 3 rounds up to 2^24 + 4 and stays there. Worked in double and
    // rounded at the end it would be 2^24 + 2.375, stored as 2^24 + 2.
    EXPECT_EQ(Approx_Distance(1.0f, 16777218.0f), 16777220.0f);
}

class ResetCraftTest : public ::testing::Test {
  protected:
    void SetUp() override {
        memset(craft, 0, sizeof craft);
        enemy_ships = 0;
    }
};

TEST_F(ResetCraftTest, PlacesTheStartingFleet) {
    const int want[13][2] = {{-1000, -400},  {5000, -400}, {4000, 500},   {600, 4500},
                             {1000, -600},   {-4000, 400}, {-5000, 1000}, {-3000, 2200},
                             {-3000, -2800}, {4050, 400},  {3900, 100},   {400, -2400},
                             {-400, 4000}};
    for (int i = 0; i < MAX_CRAFT; i++) {
        craft[i].state = CRAFT_STATE_LAUNCH;
        vel_x(craft[i]) = 3.5f;
        vel_y(craft[i]) = -2.0f;
        heading(craft[i]) = 7;
        fire_delay(craft[i]) = 11;
    }
    Reset_Craft();
    EXPECT_EQ(enemy_ships, 13);
    for (int i = 0; i < 13; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(craft[i].state, CRAFT_STATE_HUNT);
        EXPECT_EQ(world_x(craft[i]), want[i][0]);
        EXPECT_EQ(world_y(craft[i]), want[i][1]);
        EXPECT_EQ(vel_x(craft[i]), 0.0f);
        EXPECT_EQ(vel_y(craft[i]), 0.0f);
        // Heading and fire delay are what the craft last had.
        EXPECT_EQ(heading(craft[i]), 7);
        EXPECT_EQ(fire_delay(craft[i]), 11);
    }
    for (int i = 13; i < MAX_CRAFT; i++)
        EXPECT_EQ(craft[i].state, CRAFT_STATE_OFF) << i;
}

TEST_F(ResetCraftTest, AddsToTheCountWithoutClearingIt) {
    enemy_ships = 2;
    Reset_Craft();
    EXPECT_EQ(enemy_ships, 15);
    Reset_Craft();
    EXPECT_EQ(enemy_ships, 28);
}

class PlotTest : public ::testing::Test {
  protected:
    int saved = dd_pixel_format;
    std::vector<unsigned short> surface = std::vector<unsigned short>(10 * 4, 0xEEEE);
    void TearDown() override { dd_pixel_format = saved; }
};

TEST_F(PlotTest, Packs555) {
    dd_pixel_format = 15;
    Plot_Pixel16(3, 2, 31, 0, 0, surface.data(), 10);
    EXPECT_EQ(surface[23], 0x7C00);
    Plot_Pixel16(0, 0, 1, 2, 3, surface.data(), 10);
    EXPECT_EQ(surface[0], (1 << 10) | (2 << 5) | 3);
    // Intensities are cut to five bits each.
    Plot_Pixel16(9, 3, 33, 63, 32, surface.data(), 10);
    EXPECT_EQ(surface[39], (1 << 10) | (31 << 5) | 0);
    EXPECT_EQ(surface[1], 0xEEEE); // nothing else written
}

TEST_F(PlotTest, Packs565WithGreenDoubled) {
    dd_pixel_format = 16;
    Plot_Pixel16(1, 1, 0, 30, 0, surface.data(), 10);
    EXPECT_EQ(surface[11], 60 << 5); // the 6-bit green field holds 60
    Plot_Pixel16(2, 1, 31, 0, 31, surface.data(), 10);
    EXPECT_EQ(surface[12], 0xF81F);
}

TEST_F(PlotTest, AnyOtherPackingIs555) {
    dd_pixel_format = 8;
    Plot_Pixel16(0, 1, 0, 30, 0, surface.data(), 10);
    EXPECT_EQ(surface[10], 30 << 5);
}

class MappingTest : public ::testing::Test {
  protected:
    float sx = player_x, sy = player_y;
    void TearDown() override {
        player_x = sx;
        player_y = sy;
    }
};

TEST_F(MappingTest, ObjectCornerRelativeToTheShip) {
    BOB_TYP b{};
    b.width = 60;
    b.height = 40;
    world_x(b) = 100;
    world_y(b) = 50;
    player_x = 0.5f;
    player_y = -0.25f;
    Map_BOB_To_Screen(&b);
    EXPECT_EQ(b.x, 469); // (100 - 30) - 0.5 + 400 = 469.5
    EXPECT_EQ(b.y, 330); // (50 - 20) + 0.25 + 300 = 330.25
}

TEST_F(MappingTest, TruncatesTowardZeroAndHalvesByShift) {
    BOB_TYP b{};
    b.width = 25; // 25 >> 1 = 12
    b.height = 25;
    world_x(b) = -3;
    world_y(b) = 0;
    player_x = 500.5f; // (-3 - 12) - 500.5 + 400 = -115.5 -> -115
    player_y = 400.0f; // (0 - 12) - 400 + 300 = -112
    Map_BOB_To_Screen(&b);
    EXPECT_EQ(b.x, -115);
    EXPECT_EQ(b.y, -112);
}

TEST_F(MappingTest, PointsOnlyOnTheScreen) {
    int x, y;
    player_x = 0.0f;
    player_y = 0.0f;
    EXPECT_TRUE(Map_Point_To_Screen(-400, -300, &x, &y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_TRUE(Map_Point_To_Screen(399, 299, &x, &y));
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
    EXPECT_FALSE(Map_Point_To_Screen(400, 0, &x, &y));
    EXPECT_FALSE(Map_Point_To_Screen(0, 300, &x, &y));
    EXPECT_FALSE(Map_Point_To_Screen(-401, 0, &x, &y));
    // -400.5 truncates to 0, not -1: still on the screen.
    player_x = 0.5f;
    EXPECT_TRUE(Map_Point_To_Screen(-400, 0, &x, &y));
    EXPECT_EQ(x, 0);
}

TEST(Slots, FirstFreeFromTheStart) {
    BOB_TYP pool[4]{};
    EXPECT_EQ(Find_Free_Slot(pool, 4), 0);
    pool[0].state = 1;
    pool[2].state = 1;
    EXPECT_EQ(Find_Free_Slot(pool, 4), 1);
    pool[1].state = 5;
    EXPECT_EQ(Find_Free_Slot(pool, 4), 3);
    pool[3].state = -1; // any non-zero state is live
    EXPECT_EQ(Find_Free_Slot(pool, 4), -1);
}

TEST(Pools, SizesOfTheWorld) {
    EXPECT_EQ(sizeof craft / sizeof craft[0], 20u);
    EXPECT_EQ(sizeof stations / sizeof stations[0], 4u);
    EXPECT_EQ(sizeof missiles / sizeof missiles[0], 12u);
    EXPECT_EQ(sizeof bullets / sizeof bullets[0], 50u);
    EXPECT_EQ(sizeof powerups / sizeof powerups[0], 12u);
    EXPECT_EQ(sizeof particles / sizeof particles[0], 50u);
    EXPECT_EQ(sizeof stars / sizeof stars[0], 400u);
}

TEST_F(MappingTest, EngagementAreaEdges) {
    player_y = 0.0f;
    player_x = 10300.0f;
    EXPECT_FALSE(Outside_Engagement_Area());
    player_x = 10300.5f;
    EXPECT_TRUE(Outside_Engagement_Area());
    player_x = -10300.0f;
    EXPECT_FALSE(Outside_Engagement_Area());
    player_x = -10300.5f;
    EXPECT_TRUE(Outside_Engagement_Area());
    player_x = 0.0f;
    player_y = 10301.0f;
    EXPECT_TRUE(Outside_Engagement_Area());
    player_y = -10300.0f;
    EXPECT_FALSE(Outside_Engagement_Area());
}

} // namespace
