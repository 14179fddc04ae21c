// The radar dots: the world-to-square mapping with its flooring shift and open edge, which pool
// records are shown, the colours, the drawing order that keeps the ship on top, and the ship's
// truncated position.
#include <gtest/gtest.h>

#include "engine/graphics/ddraw.h"
#include "tests/support/surface.h"
#include "world/radar.h"
#include "world/world.h"

namespace {

// 5.5.5 colours of the dots.
constexpr uint16_t RED = 31 << 10;                  // craft
constexpr uint16_t SKY = (20 << 5) | 31;            // power-up
constexpr uint16_t YELLOW = (31 << 10) | (31 << 5); // station
constexpr uint16_t GREEN = 30 << 5;                 // ship

class Radar : public ::testing::Test {
  protected:
    void SetUp() override {
        dd_pixel_format = 15;
        for (BOB_TYP &b : craft)
            b.state = 0;
        for (BOB_TYP &b : powerups)
            b.state = 0;
        for (BOB_TYP &b : stations)
            b.state = 0;
        player.state = 1;
        // Out of the way: (5000 + 12800) >> 8 = 69, so the ship's dot is at (769, 569).
        player_x = player_y = 5000.0f;
    }
    void TearDown() override { player_x = player_y = 0.0f; }
    static void Place(BOB_TYP &b, int state, int wx, int wy) {
        b.state = state;
        world_x(b) = wx;
        world_y(b) = wy;
    }
};

TEST_F(Radar, ShipAtTheOriginIsAtTheSquaresCentreEvenWhenDestroyed) {
    player_x = player_y = 0.0f;
    {
        Test_Surface s;
        Draw_Radar();
        EXPECT_EQ(s.at(750, 550), GREEN);
        EXPECT_EQ(s.lit(), 1);
    }
    player.state = 0;
    Test_Surface s;
    Draw_Radar();
    EXPECT_EQ(s.at(750, 550), GREEN);
}

TEST_F(Radar, SquareCoversMinus12800IncludedTo12800Excluded) {
    Test_Surface s;
    Place(craft[0], 4, 12799, 0);       // (25599 >> 8) = 99: column 799
    Place(craft[1], 4, 12800, 0);       // column 800: not shown
    Place(craft[2], 4, -12800, -12800); // (700, 500)
    Place(craft[3], 4, -12801, 0);      // -1 >> 8 = -1: column 699, not shown
    Place(craft[4], 4, 0, 12800);       // row 600: not shown
    Place(craft[5], 4, 0, -12801);      // row 499: not shown
    Place(craft[6], 4, -1, -257);       // floors: 12799 >> 8 = 49, 12543 >> 8 = 48
    Draw_Radar();
    EXPECT_EQ(s.at(799, 550), RED);
    EXPECT_EQ(s.at(700, 500), RED);
    EXPECT_EQ(s.at(749, 548), RED);
    EXPECT_EQ(s.at(769, 569), GREEN);
    EXPECT_EQ(s.lit(), 4);
}

TEST_F(Radar, ShowsLiveCraftAndPowerupsButOnlyActiveStations) {
    Test_Surface s;
    Place(craft[19], 5, 256, 0);    // launching craft are shown: (751, 550)
    Place(craft[18], 0, 512, 0);    // free slot: not shown
    Place(powerups[11], 1, 0, 256); // (750, 551)
    Place(powerups[10], 0, 0, 512); // not shown
    Place(stations[3], 1, -256, 0); // (749, 550)
    Place(stations[2], 2, -512, 0); // any state but 1 hides a station
    Place(stations[1], 0, -768, 0);
    Draw_Radar();
    EXPECT_EQ(s.at(751, 550), RED);
    EXPECT_EQ(s.at(750, 551), SKY);
    EXPECT_EQ(s.at(749, 550), YELLOW);
    EXPECT_EQ(s.at(769, 569), GREEN);
    EXPECT_EQ(s.lit(), 4);
}

TEST_F(Radar, LaterDotsCoverEarlierOnesAndTheShipIsOnTop) {
    Test_Surface s;
    // Same pixel (760, 560): craft, then power-up, then station.
    Place(craft[0], 4, 2560, 2560);
    Place(powerups[0], 1, 2600, 2600);
    Place(stations[0], 1, 2700, 2700);
    // Same pixel as the ship: (769, 569).
    Place(stations[1], 1, 5000, 5000);
    Place(craft[1], 4, 5100, 5100);
    Draw_Radar();
    EXPECT_EQ(s.at(760, 560), YELLOW);
    EXPECT_EQ(s.at(769, 569), GREEN);
    EXPECT_EQ(s.lit(), 2);
}

TEST_F(Radar, ShipPositionIsTruncatedTowardZeroNotFloored) {
    struct Case {
        float x;
        int column;
    };
    // -0.5 truncates to 0 (column 750; flooring would give 749); -255.9 to -255 (12545 >> 8 = 49).
    for (Case c : {Case{-0.5f, 750}, Case{-255.9f, 749}, Case{-256.0f, 749}, Case{-257.0f, 748},
                   Case{12799.9f, 799}, Case{-12800.9f, 700}}) {
        Test_Surface s;
        player_x = c.x;
        player_y = 0.0f;
        Draw_Radar();
        EXPECT_EQ(s.at(c.column, 550), GREEN) << "x " << c.x;
        EXPECT_EQ(s.lit(), 1) << "x " << c.x;
    }
    for (float far : {12800.0f, -12801.0f, 3.0e9f, -3.0e9f}) {
        Test_Surface s;
        player_x = far;
        Draw_Radar();
        EXPECT_EQ(s.lit(), 0) << "x " << far;
    }
}

TEST_F(Radar, EntitiesFarOutsideTheIntRangeOfTheSquareAreSkippedSafely) {
    Test_Surface s;
    Place(craft[0], 4, 2147483647, -2147483647 - 1);
    Place(craft[1], 4, -2147483647 - 1, 2147483647);
    Draw_Radar();
    EXPECT_EQ(s.lit(), 1); // the ship only
}

TEST_F(Radar, FiveSixFiveShipDotHoldsGreenSixty) {
    Test_Surface s;
    player_x = player_y = 0.0f;
    dd_pixel_format = 16;
    Draw_Radar();
    dd_pixel_format = 15;
    EXPECT_EQ(s.at(750, 550), 60 << 5);
}

} // namespace
