// The ship's shared rules: the start it is put back to, and the touch test that shots, missiles
// and power-ups all use against it.
#include "tests/support/world_fixture.h"

#include "world/ship.h"

namespace {

using ShipRulesTest = CombatTest;

TEST_F(ShipRulesTest, ResetPlayerPutsTheShipBackAndLeavesTheRestAlone) {
    player.state = 0;
    player.int_vars[INDEX_SHIELD] = -1;
    heading(player) = 17;
    player_x = 512.5f, player_y = -77.25f, player_xv = 3.5f, player_yv = -9.0f;
    player_v = 12.0f; // the speed measured a frame ago is kept: the engine step reads it
    fuel = 10.0f, missile_load = 5;
    Reset_Player();
    EXPECT_EQ(player.state, 1);
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], SHIELD_FULL);
    EXPECT_EQ(heading(player), 0);
    EXPECT_EQ(player_x, 0.0f);
    EXPECT_EQ(player_y, 0.0f);
    EXPECT_EQ(player_xv, 0.0f);
    EXPECT_EQ(player_yv, 0.0f);
    EXPECT_EQ(player_v, 12.0f);
    EXPECT_EQ(fuel, 10.0f);
    EXPECT_EQ(missile_load, 5);
}

// A 25-wide object against the 60-wide ship at the origin: each box is shrunk to a half-width
// of w/2 - w/8 about its corner's offset, 9 and 23, so the centres are wx - 3 and -7 and they
// touch while |wx + 4| < 32, that is for -36 < wx < 28.
TEST_F(ShipRulesTest, TouchTestEdgesWorkedByHand) {
    BOB_TYP p = powerups[0];
    world_y(p) = 0;
    for (int wx : {27, -35, 0}) {
        world_x(p) = wx;
        EXPECT_EQ(Touches_Player(p), 1) << wx;
    }
    for (int wx : {28, -36, 1000}) {
        world_x(p) = wx;
        EXPECT_EQ(Touches_Player(p), 0) << wx;
    }
    // Vertically the same: the boxes are square.
    world_x(p) = 0;
    world_y(p) = 27;
    EXPECT_EQ(Touches_Player(p), 1);
    world_y(p) = 28;
    EXPECT_EQ(Touches_Player(p), 0);
}

TEST_F(ShipRulesTest, PowerUpsArePickedUpByTheSameTouchTest) {
    for (int wx : {27, 28}) {
        score = 0;
        BOB_TYP &p = powerups[0];
        p.state = 1;
        p.curr_frame = 1; // points
        world_x(p) = wx;
        world_y(p) = 0;
        Move_Powerups();
        EXPECT_EQ(p.state, wx == 27 ? 0 : 1) << wx;
        EXPECT_EQ(score, wx == 27 ? 200 : 0) << wx;
    }
}

} // namespace
