// Clipped lines: region-code clipping with integer crossings, Bresenham stepping with both
// endpoints, nothing written outside the clip rectangle, 8- and 16-bit memory with a pitch.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>
#include "engine/graphics/clock.h"
#include "engine/graphics/clipline.h"

// A 20 x 20 16-bit canvas with a 4-pixel pad on each row, clipped to 5..14 on both axes.
class Lines : public ::testing::Test {
  protected:
    static constexpr int W = 20, H = 20, STRIDE = 24;
    std::vector<USHORT> px = std::vector<USHORT>(STRIDE * H, 0);
    int saved[4];
    void SetUp() override {
        saved[0] = min_clip_x, saved[1] = max_clip_x, saved[2] = min_clip_y, saved[3] = max_clip_y;
        min_clip_x = 5, max_clip_x = 14, min_clip_y = 5, max_clip_y = 14;
    }
    void TearDown() override {
        min_clip_x = saved[0], max_clip_x = saved[1], min_clip_y = saved[2], max_clip_y = saved[3];
    }
    void Line(int x0, int y0, int x1, int y1) {
        EXPECT_EQ(Draw_Clipped_Line16(x0, y0, x1, y1, 0x7FFF, (UCHAR *)px.data(), STRIDE * 2), 1);
    }
    // The set pixels, everywhere including the pad.
    std::set<std::pair<int, int>> Lit() const {
        std::set<std::pair<int, int>> lit;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < STRIDE; x++)
                if (px[y * STRIDE + x]) lit.insert({x, y});
        return lit;
    }
};

using Points = std::set<std::pair<int, int>>;

TEST_F(Lines, InsideIsDrawnWholeWithBothEndpoints) {
    Line(6, 7, 12, 7);
    EXPECT_EQ(Lit(), (Points{{6, 7}, {7, 7}, {8, 7}, {9, 7}, {10, 7}, {11, 7}, {12, 7}}));
    px.assign(px.size(), 0);
    Line(7, 7, 7, 7);
    EXPECT_EQ(Lit(), (Points{{7, 7}}));
}

TEST_F(Lines, BresenhamSteps) {
    // Shallow: y = 7 + 0.6 (x - 5).
    Line(5, 7, 10, 10);
    EXPECT_EQ(Lit(), (Points{{5, 7}, {6, 8}, {7, 8}, {8, 9}, {9, 9}, {10, 10}}));
    // Steep: x = 6 + (y - 5) / 3.
    px.assign(px.size(), 0);
    Line(6, 5, 8, 11);
    const Points steep = {{6, 5}, {6, 6}, {7, 7}, {7, 8}, {7, 9}, {8, 10}, {8, 11}};
    EXPECT_EQ(Lit(), steep);
}

TEST_F(Lines, CrossingLinesAreCutAtTheEdges) {
    Line(0, 7, 19, 7);
    Points row;
    for (int x = 5; x <= 14; x++)
        row.insert({x, 7});
    EXPECT_EQ(Lit(), row);
    px.assign(px.size(), 0);
    Line(8, 19, 8, 0);
    Points column;
    for (int y = 5; y <= 14; y++)
        column.insert({8, y});
    EXPECT_EQ(Lit(), column);
    // Corner to corner: (0,0) moves to the top edge at x = 19 * 5 / 19 = 5, (19,19) to the
    // bottom edge at 19 + (-19)(-5) / (-19) = 14.
    px.assign(px.size(), 0);
    Line(0, 0, 19, 19);
    Points diagonal;
    for (int i = 5; i <= 14; i++)
        diagonal.insert({i, i});
    EXPECT_EQ(Lit(), diagonal);
}

TEST_F(Lines, CornerCodeFallsBackToTheSideEdge) {
    // (0, 4) is left of and above the rectangle. The top edge is crossed at x = 10 * 1 / 6 = 1,
    // outside the columns, so it moves to the left edge: y = 4 + 6 * 5 / 10 = 7.
    Line(0, 4, 10, 10);
    EXPECT_EQ(Lit(), (Points{{5, 7}, {6, 8}, {7, 8}, {8, 9}, {9, 9}, {10, 10}}));
}

TEST_F(Lines, CrossingsMultiplyBeforeDividingAndTruncateTowardZero) {
    // y = 7 + 5 * 5 / 7 = 7 + 3 (dividing first would give 7 + 0).
    Line(0, 7, 7, 12);
    EXPECT_EQ(Lit(), (Points{{5, 10}, {6, 11}, {7, 12}}));
    // y = 12 + (-5) * 5 / 7 = 12 - 3 (rounding down would give 12 - 4).
    px.assign(px.size(), 0);
    Line(0, 12, 7, 7);
    EXPECT_EQ(Lit(), (Points{{5, 9}, {6, 8}, {7, 7}}));
}

TEST_F(Lines, RejectedLinesWriteNothing) {
    Line(0, 0, 4, 19);   // both left
    Line(15, 3, 19, 19); // both right
    Line(0, 2, 19, 4);   // both above
    Line(0, 15, 19, 18); // both below
    // x + y = 6 passes outside the corner: both endpoints move and still lie outside.
    Line(0, 6, 6, 0);
    EXPECT_TRUE(Lit().empty());
}

TEST_F(Lines, NothingOutsideTheClipRectangle) {
    // A fan of lines from far outside in every direction.
    for (int a = -40; a <= 60; a += 7)
        for (int b = -40; b <= 60; b += 11) {
            Line(a, -30, b, 50);
            Line(-30, a, 50, b);
            Line(a, b, 60 - b, 60 - a);
        }
    for (auto [x, y] : Lit()) {
        EXPECT_GE(x, 5);
        EXPECT_LE(x, 14);
        EXPECT_GE(y, 5);
        EXPECT_LE(y, 14);
    }
    EXPECT_FALSE(Lit().empty());
}

TEST_F(Lines, EightBitMemory) {
    std::vector<UCHAR> mem(32 * 20, 0);
    ASSERT_EQ(Draw_Clipped_Line8(0, 9, 30, 9, 200, mem.data(), 32), 1);
    int lit = 0;
    for (int i = 0; i < (int)mem.size(); i++)
        if (mem[i]) {
            lit++;
            EXPECT_EQ(mem[i], 200);
            EXPECT_EQ(i / 32, 9);
        }
    EXPECT_EQ(lit, 10);
    EXPECT_EQ(Draw_Clipped_Line8(0, 0, 9, 9, 1, nullptr, 32), 0);
    EXPECT_EQ(Draw_Clipped_Line16(0, 0, 9, 9, 1, nullptr, 32), 0);
}

TEST_F(Lines, RandomSegmentsStayInsideAndInsideOnesAreWhole) {
    unsigned seed = 12345;
    auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return (int)((seed >> 8) % (unsigned)(2 * range + 1)) - range;
    };
    for (int i = 0; i < 3000; i++) {
        px.assign(px.size(), 0);
        const int range = i % 3 == 0 ? 100000 : i % 3 == 1 ? 30 : 5;
        const int x0 = 10 + next(range), y0 = 10 + next(range);
        const int x1 = 10 + next(range), y1 = 10 + next(range);
        Line(x0, y0, x1, y1);
        const Points lit = Lit();
        for (auto [x, y] : lit)
            ASSERT_TRUE(x >= 5 && x <= 14 && y >= 5 && y <= 14)
                << x0 << "," << y0 << " " << x1 << "," << y1;
        const bool inside0 = x0 >= 5 && x0 <= 14 && y0 >= 5 && y0 <= 14;
        const bool inside1 = x1 >= 5 && x1 <= 14 && y1 >= 5 && y1 <= 14;
        if (inside0 && inside1) {
            // One pixel per step along the longer axis, both ends included.
            const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
            ASSERT_EQ((int)lit.size(), steps + 1);
            ASSERT_TRUE(lit.count({x0, y0}) && lit.count({x1, y1}));
        }
    }
}
