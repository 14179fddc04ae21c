// The ship's flight step: turning, engine thrust with its cut, afterburner and fuel, coasting,
// movement, the gun and missile triggers, the sound flags, and the float arithmetic of each.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/input/dinput.h"
#include "world/effects.h"
#include "world/ship.h"
#include "world/weapons.h"

namespace {

class FlightTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Init_Trig_Tables();
        memset(keyboard_state, 0, 256);
        memset(&player, 0, sizeof player);
        memset(bullets, 0, sizeof bullets);
        memset(missiles, 0, sizeof missiles);
        memset(particles, 0, sizeof particles);
        player.state = 1;
        player.int_vars[INDEX_SHIELD] = 3;
        player_x = player_y = player_xv = player_yv = player_v = 0.0f;
        max_player_v = 15.0f;
        max_player_av = 30.0f;
        burn_power = 1.5f;
        fuel = 300.0f;
        engines_on = afterburners_on = 0;
        missile_load = 2;
        missile_delay = 0;
    }
    void TearDown() override { memset(keyboard_state, 0, 256); }
    static void Hold(int dik, int down = 1) { keyboard_state[dik] = down ? 0x80 : 0; }
    static int Live(BOB_TYP *pool, int n) {
        int c = 0;
        for (int i = 0; i < n; i++)
            c += pool[i].state != 0;
        return c;
    }
};

TEST_F(FlightTest, TurningWrapsAndRightWins) {
    Hold(DIK_RIGHT);
    heading(player) = 35;
    Move_Player();
    EXPECT_EQ(heading(player), 0);
    EXPECT_EQ(player.curr_frame, 0);
    Hold(DIK_LEFT); // both held: right
    Move_Player();
    EXPECT_EQ(heading(player), 1);
    Hold(DIK_RIGHT, 0);
    Move_Player();
    Move_Player();
    EXPECT_EQ(heading(player), 35);
    EXPECT_EQ(player.curr_frame, 35);
}

TEST_F(FlightTest, StoredHeadingOutsideTheTableIsWrappedFirst) {
    heading(player) = 40; // 4 turns past a full circle
    Hold(DIK_UP);
    Move_Player();
    EXPECT_EQ(heading(player), 4);
    EXPECT_EQ(player.curr_frame, 4);
    EXPECT_EQ(player_xv, cos_table[4]);
    heading(player) = -1;
    Hold(DIK_RIGHT);
    Move_Player();
    EXPECT_EQ(heading(player), 0);
}

TEST_F(FlightTest, EngineThrustRunsToTheLimitThenCuts) {
    Hold(DIK_UP);
    for (int f = 1; f <= 15; f++) {
        Move_Player();
        ASSERT_EQ(player_xv, (float)f) << "frame " << f;
        ASSERT_EQ(player_v, (float)f);
        ASSERT_EQ(player_yv, 0.0f);
    }
    // Frame 16: measured 16.0, cut to 15.0 - 1.4 - 0.16.
    Move_Player();
    EXPECT_EQ(player_v, 16.0f);
    EXPECT_NEAR(player_xv, 13.44f, 2e-6);
    // Frame 17: 14.44, not above the limit.
    Move_Player();
    EXPECT_NEAR(player_v, 14.44f, 4e-6);
    EXPECT_NEAR(player_xv, 14.44f, 4e-6);
    // Frame 18: measured 15.44, cut to 14.44 - 1.4 - 0.1544.
    Move_Player();
    EXPECT_NEAR(player_v, 15.44f, 4e-6);
    EXPECT_NEAR(player_xv, 12.8856f, 4e-6);
    // Steady thrust keeps the speed left after a frame between 12.4 and 15.0.
    for (int f = 0; f < 200; f++) {
        Move_Player();
        ASSERT_GT(player_xv, 12.4f);
        ASSERT_LE(player_xv, 15.0f);
        ASSERT_GT(player_v, 13.4f);
        ASSERT_LE(player_v, 16.0f);
    }
    EXPECT_EQ(engines_on, 1);
}

TEST_F(FlightTest, EngineCutKeepsTheFactorInDouble) {
    // Heading 0 with (10.75, 9.75) and 14 measured last frame: thrust gives (11.75, 9.75),
    // measured 21.5 - 4.875 - 2.4375 + 1.21875 = 15.40625; k = 12.6 rounded to float.
    player_xv = 10.75f;
    player_yv = 9.75f;
    player_v = 14.0f;
    Hold(DIK_UP);
    Move_Player();
    EXPECT_EQ(player_v, 15.40625f);
    const double s = (double)12.6f - 0.01 * 15.40625;
    const float want_x = (float)(s * 11.75 / 15.40625);
    const float want_y = (float)(s * 9.75 / 15.40625);
    EXPECT_EQ(player_xv, want_x);
    EXPECT_EQ(player_yv, want_y);
    // The other readings land elsewhere: s rounded to float, or all in float, or k in double.
    const float fs = (float)s;
    EXPECT_NE(want_x, (float)((double)fs * 11.75 / 15.40625));
    EXPECT_NE(want_y, fs * 9.75f / 15.40625f);
    EXPECT_NE(want_y, (float)((14.0 - 1.4 - 0.01 * 15.40625) * 9.75 / 15.40625));
}

TEST_F(FlightTest, AfterburnerTo30IsSetTo29) {
    Hold(DIK_TAB);
    for (int f = 1; f < 20; f++) {
        Move_Player();
        ASSERT_EQ(player_xv, 1.5f * f) << "frame " << f;
    }
    Move_Player(); // 30.0 reached: factor 29 / 30
    EXPECT_EQ(player_v, 30.0f);
    EXPECT_NEAR(player_xv, 29.0f, 4e-6);
    for (int f = 0; f < 5; f++) {
        Move_Player(); // 30.5 back to 29
        EXPECT_NEAR(player_v, 30.5f, 8e-6);
        EXPECT_NEAR(player_xv, 29.0f, 8e-6);
    }
    EXPECT_EQ(fuel, 300.0f - 25);
    EXPECT_EQ(afterburners_on, 1);
    EXPECT_EQ(engines_on, 0); // the engine loop is not started by the afterburner
}

TEST_F(FlightTest, AfterburnerFactorIsRoundedFirst) {
    // 28.52 + 1.5 = 30.02 along x with 2 along y: measured 30.77.
    player_xv = 30.02f - 1.5f;
    player_yv = 2.0f;
    Hold(DIK_TAB);
    Move_Player();
    EXPECT_NEAR(player_v, 30.77f, 4e-6);
    const float f = 29.0f / player_v;
    EXPECT_EQ(player_xv, 30.02f * f);
    EXPECT_EQ(player_yv, 2.0f * f);
    EXPECT_NE(player_xv, 30.02f * 29.0f / player_v); // scaling before dividing differs
}

TEST_F(FlightTest, FullTankGives300FramesThenTabActsAsUp) {
    Hold(DIK_TAB);
    for (int f = 0; f < 300; f++) {
        Move_Player();
        ASSERT_EQ(afterburners_on, 1);
        ASSERT_EQ(engines_on, 0);
    }
    EXPECT_EQ(fuel, 0.0f);
    Move_Player();
    EXPECT_EQ(fuel, 0.0f); // no more fuel used
    EXPECT_EQ(engines_on, 1);
    EXPECT_EQ(afterburners_on, 0);
}

TEST_F(FlightTest, TabOverridesUpWhileFuelLasts) {
    Hold(DIK_TAB);
    Hold(DIK_UP);
    Move_Player();
    EXPECT_EQ(player_xv, 1.5f);
    EXPECT_EQ(fuel, 299.0f);
    EXPECT_EQ(engines_on, 0);
}

TEST_F(FlightTest, AfterburnerSoundOncePerBurn) {
    Hold(DIK_TAB);
    Move_Player();
    EXPECT_EQ(afterburners_on, 1);
    Hold(DIK_TAB, 0);
    Move_Player(); // coasting ends the burn
    EXPECT_EQ(afterburners_on, 0);
    Hold(DIK_UP);
    Move_Player();
    EXPECT_EQ(engines_on, 1);
    Hold(DIK_UP, 0);
    Move_Player(); // first frame without thrust stops the loop
    EXPECT_EQ(engines_on, 0);
}

TEST_F(FlightTest, CoastingLosesOnePercentDownToTheLimit) {
    player_xv = 29.0f;
    int frames = 0;
    float before = player_xv;
    while (player_xv > 15.0f && frames < 200) {
        Move_Player();
        ASSERT_LT(player_xv, before);
        ASSERT_NEAR(player_xv, before * 0.99f, 1e-5);
        before = player_xv;
        frames++;
    }
    // 29 * 0.99^n <= 15 first at n = 66 (0.99^65 = 0.5203, 0.99^66 = 0.5151).
    EXPECT_EQ(frames, 66);
    const float kept = player_xv;
    for (int f = 0; f < 50; f++)
        Move_Player();
    EXPECT_EQ(player_xv, kept);
    EXPECT_EQ(player_yv, 0.0f);
}

TEST_F(FlightTest, CoastingSlowsInDoubleAndRoundsOnStore) {
    player_xv = 28.58f;
    Move_Player();
    const float want = (float)(28.58f - 0.01 * 28.58f);
    EXPECT_EQ(player_xv, want);
    EXPECT_NE(want, 28.58f - 0.01f * 28.58f); // the all-float reading
}

TEST_F(FlightTest, MovementUsesTheNewVelocity) {
    heading(player) = 9; // down the screen
    Hold(DIK_UP);
    Move_Player();
    EXPECT_EQ(player_y, 1.0f);
    Move_Player();
    EXPECT_EQ(player_y, 3.0f);
    EXPECT_NEAR(player_x, 3 * 4.4897e-11, 1e-14); // the table's tiny cosine at 90 degrees, twice
}

TEST_F(FlightTest, GunFiresEveryEighthFrame) {
    Hold(DIK_LCONTROL);
    int fired_at[4], n = 0, live = 0;
    for (int f = 0; f < 25; f++) {
        Move_Player();
        int now = Live(bullets, MAX_BULLETS);
        if (now > live && n < 4) fired_at[n++] = f;
        live = now;
    }
    ASSERT_EQ(n, 4);
    EXPECT_EQ(fired_at[0], 0);
    EXPECT_EQ(fired_at[1], 8);
    EXPECT_EQ(fired_at[2], 16);
    EXPECT_EQ(fired_at[3], 24);
    EXPECT_EQ(player.counter_1, 7);
}

TEST_F(FlightTest, GunShotCarriesTheShipsVelocity) {
    player_x = 10.9f;
    player_y = -5.9f;
    player_xv = 2.75f;
    player_yv = -1.5f;
    heading(player) = 0;
    Hold(DIK_LCONTROL);
    Move_Player(); // coasting: moves to (13.65, -7.4)
    ASSERT_EQ(bullets[0].state, 1);
    EXPECT_EQ(world_x(bullets[0]), 13);
    EXPECT_EQ(world_y(bullets[0]), -7);
    EXPECT_EQ(bullets[0].xv, 22); // trunc(20 + 2.75)
    EXPECT_EQ(bullets[0].yv, -1); // trunc(0 - 1.5)
}

TEST_F(FlightTest, GunShotSpeedIsTruncatedAfterTheSum) {
    // Heading 3 (30 degrees): 20 cos = 17.3205..., 20 sin = 10 exactly. Adding before
    // truncating gives 17.32 + 0.7 = 18.02 -> 18 and 10 - 0.5 = 9.5 -> 9; truncating each part
    // first would give 17 and 10.
    heading(player) = 3;
    player_xv = 0.7f;
    player_yv = -0.5f;
    Hold(DIK_LCONTROL);
    Move_Player();
    ASSERT_EQ(bullets[0].state, 1);
    EXPECT_EQ(bullets[0].xv, 18);
    EXPECT_EQ(bullets[0].yv, 9);
    EXPECT_EQ(world_x(bullets[0]), 0); // trunc(0.7)
    EXPECT_EQ(world_y(bullets[0]), 0); // trunc(-0.5) toward zero, not -1
}

TEST_F(FlightTest, MissilesEveryFiftyFramesUntilSpent) {
    missile_load = 3;
    Hold(DIK_LMENU);
    Move_Player();
    EXPECT_EQ(missile_load, 2);
    EXPECT_EQ(missile_delay, 49);
    for (int f = 1; f < 50; f++)
        Move_Player();
    EXPECT_EQ(missile_load, 2);
    EXPECT_EQ(missile_delay, 0);
    Move_Player(); // frame 50
    EXPECT_EQ(missile_load, 1);
    for (int f = 0; f < 200; f++)
        Move_Player();
    EXPECT_EQ(missile_load, 0);
    EXPECT_EQ(Live(missiles, MAX_MISSILES), 3);
}

TEST_F(FlightTest, NoMissileLoadNoLaunch) {
    missile_load = 0;
    Hold(DIK_LMENU);
    Move_Player();
    EXPECT_EQ(missile_delay, 0);
    EXPECT_EQ(missile_load, 0);
    EXPECT_EQ(Live(missiles, MAX_MISSILES), 0);
}

TEST_F(FlightTest, ExhaustDriftsBackAnEighthRoundingDown) {
    player_xv = 4.0f;  // + 1 thrust = 5: -5 >> 3 = -1
    player_yv = -9.5f; // -(-9) = 9 >> 3 = 1
    Hold(DIK_UP);
    Move_Player();
    ASSERT_GT(particles[0].life, 0);
    EXPECT_EQ(particles[0].xv, -1);
    EXPECT_EQ(particles[0].yv, 1);
}

TEST_F(FlightTest, DestroyedShipIgnoresEveryKey) {
    player.state = 0;
    player.counter_1 = 3;
    missile_delay = 5;
    Hold(DIK_UP);
    Hold(DIK_RIGHT);
    Hold(DIK_LCONTROL);
    Move_Player();
    EXPECT_EQ(player_xv, 0.0f);
    EXPECT_EQ(heading(player), 0);
    EXPECT_EQ(player.counter_1, 3); // delays do not count down
    EXPECT_EQ(missile_delay, 5);
    EXPECT_EQ(engines_on, 0);
}

} // namespace
