// The instrument panel on the real display device run headless: the fuel gauge's frame and the
// exact rows and columns of its bar, the missile count, and the engagement-area warning's limits.
#include <gtest/gtest.h>

#include "engine/graphics/ddraw.h"
#include "game/panel.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "world/world.h"

namespace {

constexpr uint16_t FRAME = 10;
constexpr uint16_t BAR = 670;

class Panel : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(0);
        Headless_Set_Available(1, 0);
        Plat_Init();
        ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
        dd_pixel_format = 15;
        player_x = player_y = 0.0f;
        fuel = 300.0f;
        missile_load = 2;
    }
    void TearDown() override {
        player_x = player_y = 0.0f;
        fuel = 300.0f;
        DDraw_Shutdown();
        Plat_Quit();
    }
    static uint16_t At(int x, int y) {
        const uint8_t *row = lpddsback->memory.data() + (size_t)y * lpddsback->pitch;
        return (uint16_t)(row[2 * x] | row[2 * x + 1] << 8);
    }
    // Rows of column x between y0 and y1 (inclusive) that hold the bar colour.
    static int Bar_Rows(int x, int y0, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; y++)
            n += At(x, y) == BAR;
        return n;
    }
    // Pixels in the box whose 5.5.5 colour is strongly red with little green and blue.
    static int Red_Pixels(int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++) {
                uint16_t p = At(x, y);
                n += ((p >> 10) & 31) >= 24 && ((p >> 5) & 31) < 16 && (p & 31) < 16;
            }
        return n;
    }
};

TEST_F(Panel, FullTankFillsOneHundredRowsInsideATwoPixelBorder) {
    Draw_Panel();
    // The frame spans columns 770..789 and rows 108..211.
    EXPECT_EQ(At(770, 108), FRAME);
    EXPECT_EQ(At(789, 211), FRAME);
    EXPECT_EQ(At(769, 150), 0);
    EXPECT_EQ(At(790, 150), 0);
    EXPECT_EQ(At(780, 107), 0);
    EXPECT_EQ(At(780, 212), 0);
    // The bar: columns 772..787, rows 110..209; the border rows and columns keep the frame.
    EXPECT_EQ(Bar_Rows(780, 100, 220), 100);
    EXPECT_EQ(At(772, 110), BAR);
    EXPECT_EQ(At(787, 209), BAR);
    EXPECT_EQ(At(780, 109), FRAME);
    EXPECT_EQ(At(780, 210), FRAME);
    EXPECT_EQ(At(771, 150), FRAME);
    EXPECT_EQ(At(788, 150), FRAME);
}

TEST_F(Panel, BarHeightIsTheTruncatedPercentage) {
    struct Case {
        float fuel;
        int rows;
    };
    // 299 -> 99.66 -> 99; 150 -> 50; 2 -> 0.66 -> 0: the frame alone; an empty or negative tank
    // draws no bar.
    for (Case c : {Case{299.0f, 99}, Case{150.0f, 50}, Case{151.5f, 50}, Case{2.0f, 0},
                   Case{0.0f, 0}, Case{-6.0f, 0}}) {
        DDraw_Fill_Surface(lpddsback, 0, nullptr);
        fuel = c.fuel;
        Draw_Panel();
        EXPECT_EQ(Bar_Rows(780, 100, 220), c.rows) << "fuel " << c.fuel;
        EXPECT_EQ(At(780, 209), c.rows ? BAR : FRAME) << "fuel " << c.fuel;
        EXPECT_EQ(At(780, 209 - c.rows), FRAME) << "fuel " << c.fuel;
    }
}

TEST_F(Panel, MissileCountIsShownInLightRedAlsoWhenSpent) {
    missile_load = 0;
    Draw_Panel();
    EXPECT_GT(Red_Pixels(726, 188, 760, 215), 4);
    // Nothing of the count spills above the line it starts on.
    EXPECT_EQ(Red_Pixels(726, 180, 760, 189), 0);
}

TEST_F(Panel, WarningOnlyStrictlyBeyondTheEngagementArea) {
    struct Case {
        float x, y;
        bool shown;
    };
    for (Case c :
         {Case{10300.0f, 0.0f, false}, Case{-10300.0f, -10300.0f, false},
          Case{10300.5f, 0.0f, true}, Case{-10300.5f, 0.0f, true}, Case{0.0f, 10301.0f, true},
          Case{0.0f, -10300.5f, true}, Case{-50000.0f, 50000.0f, true}, Case{0.0f, 0.0f, false}}) {
        DDraw_Fill_Surface(lpddsback, 0, nullptr);
        player_x = c.x;
        player_y = c.y;
        Draw_Area_Warning();
        int red = Red_Pixels(240, 495, 700, 530);
        if (c.shown)
            EXPECT_GT(red, 40) << c.x << ", " << c.y;
        else
            EXPECT_EQ(red, 0) << c.x << ", " << c.y;
    }
}

} // namespace
