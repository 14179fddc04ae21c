// The star field: the scatter's use of Rand(), each layer's share of the drift, the truncation and
// flooring of the drift, the wrap of the star plane, and which stars are plotted in what colour.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/graphics/random.h"
#include "engine/graphics/ddraw.h"
#include "tests/support/surface.h"
#include "world/stars.h"
#include "world/world.h"

namespace {

// One star of each layer at its first and last index.
constexpr int FAR_FIRST = 0, FAR_LAST = 160, MID_FIRST = 161, MID_LAST = 320, NEAR_FIRST = 321,
              NEAR_LAST = 399;

class Stars : public ::testing::Test {
  protected:
    void SetUp() override {
        player_xv = player_yv = 0.0f;
        dd_pixel_format = 15;
        for (int i = 0; i < MAX_STARS; i++)
            stars[i] = {700, 500};
    }
    void TearDown() override { player_xv = player_yv = 0.0f; }
};

TEST_F(Stars, ScatterTakesXThenYFromRandAndStaysOnThePlane) {
    Seed_Rand(77);
    int expect_x0 = Rand() % 1600, expect_y0 = Rand() % 1200;
    int expect_x1 = Rand() % 1600;
    for (int i = 3; i < 2 * MAX_STARS; i++)
        Rand();
    int next_after = Rand();

    Seed_Rand(77);
    Init_Stars();
    EXPECT_EQ(stars[0].x, expect_x0);
    EXPECT_EQ(stars[0].y, expect_y0);
    EXPECT_EQ(stars[1].x, expect_x1);
    // Exactly two draws per star: the generator continues where 800 draws leave it.
    EXPECT_EQ(Rand(), next_after);
    for (int i = 0; i < MAX_STARS; i++) {
        ASSERT_GE(stars[i].x, 0);
        ASSERT_LT(stars[i].x, 1600);
        ASSERT_GE(stars[i].y, 0);
        ASSERT_LT(stars[i].y, 1200);
    }
}

TEST_F(Stars, AtRestOrBelowOneUnitNothingMoves) {
    for (float v : {0.0f, 0.9f, -0.9f, 0.999f}) {
        player_xv = v;
        player_yv = -v;
        Move_Stars();
        for (int i : {FAR_FIRST, FAR_LAST, MID_FIRST, MID_LAST, NEAR_FIRST, NEAR_LAST}) {
            EXPECT_EQ(stars[i].x, 700) << "v " << v << " star " << i;
            EXPECT_EQ(stars[i].y, 500) << "v " << v << " star " << i;
        }
    }
}

TEST_F(Stars, LayersMoveFullHalfAndQuarterWithFlooringShifts) {
    // Drift -5: near 5, middle -5 >> 1 = -3, far -5 >> 2 = -2.
    player_xv = 5.0f;
    Move_Stars();
    EXPECT_EQ(stars[NEAR_FIRST].x, 695);
    EXPECT_EQ(stars[NEAR_LAST].x, 695);
    EXPECT_EQ(stars[MID_FIRST].x, 697);
    EXPECT_EQ(stars[MID_LAST].x, 697);
    EXPECT_EQ(stars[FAR_FIRST].x, 698);
    EXPECT_EQ(stars[FAR_LAST].x, 698);
    EXPECT_EQ(stars[NEAR_LAST].y, 500);

    // The screens' downward speed 20: 20, 10 and 5 pixels up the screen.
    SetUp();
    player_yv = 20.0f;
    Move_Stars();
    EXPECT_EQ(stars[NEAR_FIRST].y, 480);
    EXPECT_EQ(stars[MID_FIRST].y, 490);
    EXPECT_EQ(stars[FAR_LAST].y, 495);
    EXPECT_EQ(stars[FAR_LAST].x, 700);
}

TEST_F(Stars, DriftOfOneUnitEachWay) {
    // Drift -1 floors to -1 in every layer.
    player_xv = 1.0f;
    Move_Stars();
    EXPECT_EQ(stars[NEAR_FIRST].x, 699);
    EXPECT_EQ(stars[MID_FIRST].x, 699);
    EXPECT_EQ(stars[FAR_FIRST].x, 699);
    // Drift +1 halves and quarters to 0: only the near layer moves.
    SetUp();
    player_xv = -1.0f;
    Move_Stars();
    EXPECT_EQ(stars[NEAR_FIRST].x, 701);
    EXPECT_EQ(stars[MID_FIRST].x, 700);
    EXPECT_EQ(stars[FAR_FIRST].x, 700);
}

TEST_F(Stars, VelocityIsTruncatedTowardZeroBeforeNegation) {
    // -4.7 truncates to -4 (not -5): drift +4, +2, +1.
    player_xv = -4.7f;
    player_yv = 7.9f; // 7: drift -7, -4, -2
    Move_Stars();
    EXPECT_EQ(stars[NEAR_FIRST].x, 704);
    EXPECT_EQ(stars[MID_FIRST].x, 702);
    EXPECT_EQ(stars[FAR_FIRST].x, 701);
    EXPECT_EQ(stars[NEAR_FIRST].y, 493);
    EXPECT_EQ(stars[MID_FIRST].y, 496);
    EXPECT_EQ(stars[FAR_FIRST].y, 498);
}

TEST_F(Stars, PlaneWrapsOnBothAxesAndBothEdges) {
    stars[NEAR_FIRST] = {1598, 1199};
    stars[NEAR_LAST] = {0, 0};
    stars[FAR_FIRST] = {2, 3};
    player_xv = -4.0f; // drift +4 near, +1 far
    player_yv = -1.0f; // drift +1 near, 0 far
    Move_Stars();
    EXPECT_EQ(stars[NEAR_FIRST].x, 2);
    EXPECT_EQ(stars[NEAR_FIRST].y, 0);
    EXPECT_EQ(stars[NEAR_LAST].x, 4);
    EXPECT_EQ(stars[FAR_FIRST].x, 3);
    EXPECT_EQ(stars[FAR_FIRST].y, 3);

    player_xv = 1.0f;  // drift -1 everywhere
    player_yv = 20.0f; // drift -20 near, -5 far
    stars[NEAR_LAST] = {0, 10};
    stars[FAR_FIRST] = {1, 3};
    Move_Stars();
    EXPECT_EQ(stars[NEAR_LAST].x, 1599);
    EXPECT_EQ(stars[NEAR_LAST].y, 1190);
    EXPECT_EQ(stars[FAR_FIRST].x, 0);
    EXPECT_EQ(stars[FAR_FIRST].y, 1198);
}

TEST_F(Stars, LongFastFlightKeepsEveryStarOnThePlane) {
    Seed_Rand(5);
    Init_Stars();
    player_xv = -29.9f;
    player_yv = 30.0f;
    for (int f = 0; f < 5000; f++) {
        if (f == 2500) player_xv = 29.0f;
        Move_Stars();
    }
    for (int i = 0; i < MAX_STARS; i++) {
        ASSERT_GE(stars[i].x, 0) << i;
        ASSERT_LT(stars[i].x, 1600) << i;
        ASSERT_GE(stars[i].y, 0) << i;
        ASSERT_LT(stars[i].y, 1200) << i;
    }
}

TEST_F(Stars, OnlyStarsOnTheScreenArePlottedInTheirLayersGrey) {
    Test_Surface s;
    for (int i = 0; i < MAX_STARS; i++)
        stars[i] = {1000, 1000}; // off the screen
    stars[FAR_LAST] = {0, 0};
    stars[MID_FIRST] = {799, 599};
    stars[NEAR_FIRST] = {400, 300};
    stars[NEAR_LAST] = {800, 10}; // one column too far right
    stars[MID_LAST] = {10, 600};  // one row too far down
    Draw_Stars();
    // 5.5.5: grey c is c << 10 | c << 5 | c.
    EXPECT_EQ(s.at(0, 0), 12 * 1024 + 12 * 32 + 12);
    EXPECT_EQ(s.at(799, 599), 22 * 1024 + 22 * 32 + 22);
    EXPECT_EQ(s.at(400, 300), 0x7FFF);
    EXPECT_EQ(s.lit(), 3);
}

TEST_F(Stars, FiveSixFivePackingDoublesTheGreen) {
    Test_Surface s;
    for (int i = 0; i < MAX_STARS; i++)
        stars[i] = {1000, 1000};
    stars[NEAR_FIRST] = {5, 6};
    stars[FAR_FIRST] = {7, 8};
    dd_pixel_format = 16;
    Draw_Stars();
    dd_pixel_format = 15;
    // 31 << 11 | 62 << 5 | 31 and 12 << 11 | 24 << 5 | 12.
    EXPECT_EQ(s.at(5, 6), 63488 + 1984 + 31);
    EXPECT_EQ(s.at(7, 8), 24576 + 768 + 12);
}

} // namespace
