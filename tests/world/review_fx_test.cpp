// Effects seen from a ship that is not on whole units: the explosion's hearing distance and
// drawing position, the pick-up box's truncated ship corner, a station's last explosion over the
// following frames, and where a dropped power-up shows on the radar.
#include "engine/graphics/random.h"
#include "tests/support/world_fixture.h"

#include "world/radar.h"

namespace {

using FractionalShipTest = CombatTest;
using FractionalShipSoundTest = CombatSoundTest;

TEST_F(FractionalShipSoundTest, ExplosionDistanceUsesTheShipsFloatPosition) {
    player_x = 0.5f;
    // 2000 - 0.5 = 1999.5 away: heard (a ship truncated to 0 would make it 2000, silent).
    Start_Expl(2000, 0);
    EXPECT_EQ(Copies_Playing(explosion_ids), 1);
    // -2000 - 0.5: 2000.5 away, silent.
    Start_Expl(-2000, 0);
    EXPECT_EQ(Copies_Playing(explosion_ids), 1);
    // -1999 - 0.5: 1999.5 away, heard.
    Start_Expl(-1999, 0);
    EXPECT_EQ(Copies_Playing(explosion_ids), 2);
    // The half unit counts on y too: 1200 across and 1600.5 down is beyond 2000.
    player_x = 0.0f;
    player_y = -0.5f;
    Start_Expl(1200, 1600);
    EXPECT_EQ(Copies_Playing(explosion_ids), 2);
    Start_Expl(1200, 1599); // 1599.5 down: sqrt(1440000 + 2558400.25) = 1999.6
    EXPECT_EQ(Copies_Playing(explosion_ids), 3);
}

TEST_F(FractionalShipTest, ExplosionScreenPositionTruncatesTowardZero) {
    Init_Expl();
    player_x = 500.5f;
    player_y = -0.75f;
    Start_Expl(0, 0);
    Draw_Expl();
    // (0 - 40) - 500.5 + 400 = -140.5, truncated to -140 (flooring would give -141);
    // (0 - 40) + 0.75 + 300 = 260.75, truncated to 260.
    EXPECT_EQ(explosion.x, -140);
    EXPECT_EQ(explosion.y, 260);
}

TEST_F(FractionalShipTest, DestroyedStationShowsItsLastExplosionForThreeFrames) {
    Init_Expl();
    enemy_ships = 2;
    Place_Station(1, 300, -200).counter_1 = 1;
    Start_Bullet(300, -200, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    ASSERT_EQ(stations[1].state, 0);
    EXPECT_EQ(enemy_ships, 1);
    EXPECT_EQ(score, 2500);
    // (x - 80, y + 10) = (220, -190), centred: corner (180, -230) on a ship at the origin.
    for (int picture = 0; picture < 3; picture++) {
        ASSERT_EQ(explosion.state, 1) << "picture " << picture;
        EXPECT_EQ(explosion.curr_frame, picture);
        EXPECT_EQ(world_x(explosion), 220);
        EXPECT_EQ(world_y(explosion), -190);
        Draw_Expl();
        EXPECT_EQ(explosion.x, 180 + 400);
        EXPECT_EQ(explosion.y, -230 + 300);
    }
    EXPECT_EQ(explosion.state, 0) << "ends before picture 3 is drawn";
    // The destroyed station neither launches nor is drawn or animated again.
    stations[1].counter_2 = 0;
    Move_Stations();
    EXPECT_EQ(Live(craft, MAX_CRAFT), 0);
    EXPECT_EQ(enemy_ships, 1);
}

// A power-up of kind 1 (score) whose stored position is (wx, 0).
void Lay_Score_Powerup(int wx) {
    for (BOB_TYP &p : powerups)
        p.state = 0;
    powerups[0].state = 1;
    world_x(powerups[0]) = wx;
    world_y(powerups[0]) = 0;
    powerups[0].curr_frame = 1;
}

TEST_F(FractionalShipTest, PickUpBoxTakesTheShipsCornerTruncatedTowardZero) {
    // Power-up: corner wx - 12, half 12 - 3 = 9, centre wx - 3. Ship half 30 - 7 = 23; the two
    // must be nearer than 9 + 23 = 32 on each axis (y: -3 against -7, near).
    struct Case {
        float ship_x;
        int wx;
        bool collected;
    };
    const Case cases[] = {
        // trunc(-0.5 - 30) = -30, centre -7: |wx + 4| < 32. Flooring to -31 would miss 27.
        {-0.5f, 27, true},
        {-0.5f, 28, false},
        {-0.5f, -35, true},
        {-0.5f, -36, false},
        // trunc(0.9 - 30) = -29, centre -6: |wx + 3| < 32. Truncating the ship first
        // (0 - 30 = -30) would miss 28.
        {0.9f, 28, true},
        {0.9f, 29, false},
        {0.9f, -34, true},
        {0.9f, -35, false},
    };
    for (const Case &c : cases) {
        score = 0;
        player_x = c.ship_x;
        Lay_Score_Powerup(c.wx);
        Move_Powerups();
        EXPECT_EQ(powerups[0].state == 0, c.collected) << "ship " << c.ship_x << " at " << c.wx;
        EXPECT_EQ(score, c.collected ? 200 : 0) << "ship " << c.ship_x << " at " << c.wx;
    }
}

TEST_F(FractionalShipTest, DroppedPowerupShowsOnTheRadarAtItsStoredPosition) {
    // Dropped at (11, 11), it is kept at (-1, -1): (12799 >> 8) = 49, so (749, 549), where its
    // drop point itself would give (750, 550).
    player_x = 5000.0f; // the ship's dot out of the way at (769, 569)
    player_y = 5000.0f;
    Seed_Rand(3);
    ASSERT_EQ(Start_Powerups(11, 11), 1);
    ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
    int pitch = back_lpitch >> 1;
    for (int i = 0; i < 600 * pitch; i++)
        sback_buffer[i] = 0;
    Draw_Radar();
    const unsigned short sky = (20 << 5) | 31;
    EXPECT_EQ(sback_buffer[749 + 549 * pitch], sky);
    EXPECT_EQ(sback_buffer[750 + 550 * pitch], 0);
    EXPECT_EQ(sback_buffer[769 + 569 * pitch], 30 << 5);
    // Picked up, it leaves the radar.
    player_x = 0.0f;
    player_y = 0.0f;
    Move_Powerups();
    for (int i = 0; i < 600 * pitch; i++)
        sback_buffer[i] = 0;
    Draw_Radar();
    EXPECT_EQ(sback_buffer[749 + 549 * pitch], 0);
    EXPECT_EQ(sback_buffer[750 + 550 * pitch], 30 << 5);
    DDraw_Unlock_Back_Surface();
}

TEST_F(FractionalShipTest, FreshGameLaunchesIntoSlotsThirteenAndFourteen) {
    Reset_Game();
    ASSERT_EQ(enemy_ships, 15);
    for (int i = 1; i <= 1000; i++)
        Move_Stations();
    EXPECT_EQ(Live(craft, MAX_CRAFT), 13);
    EXPECT_EQ(stations[0].counter_2, 0);
    EXPECT_EQ(stations[1].counter_2, 0);
    std::vector<int> h = Draws(44, 2, 36);
    Seed_Rand(44);
    Move_Stations();
    // Slots 0..12 hold the starting fleet: station 0 takes 13, station 1 then takes 14.
    EXPECT_EQ(craft[13].state, CRAFT_STATE_LAUNCH);
    EXPECT_EQ(world_x(craft[13]), 1000);
    EXPECT_EQ(world_y(craft[13]), 1000);
    EXPECT_EQ(heading(craft[13]), h[0]);
    EXPECT_EQ(craft[14].state, CRAFT_STATE_LAUNCH);
    EXPECT_EQ(world_x(craft[14]), 5000);
    EXPECT_EQ(world_y(craft[14]), -2000);
    EXPECT_EQ(heading(craft[14]), h[1]);
    EXPECT_EQ(craft[15].state, 0);
    EXPECT_EQ(enemy_ships, 17);
    EXPECT_EQ(stations[0].counter_2, 999);
    EXPECT_EQ(stations[1].counter_2, 999);
    EXPECT_TRUE(Next_Rand_Is(44, 2)) << "one heading drawn per launch";
}

} // namespace
