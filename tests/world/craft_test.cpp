// Enemy craft: the bearing and its truncations, waking distance, turning with its draws, the
// launch run, the speed cap, movement and the fire test with its order and delay.
#include "engine/graphics/fmath.h"
#include "engine/graphics/random.h"
#include "tests/support/world_fixture.h"

namespace {

using CraftTest = CombatTest;

TEST_F(CraftTest, BearingTruncatesTowardHeadingZero) {
    // Straight below, left, above and right of the craft, then 45 degrees below and right.
    EXPECT_EQ(Craft_Bearing(0, -500), 8);
    EXPECT_EQ(Craft_Bearing(500, 0), 17);
    EXPECT_EQ(Craft_Bearing(0, 500), 28);
    EXPECT_EQ(Craft_Bearing(-500, 0), 0);
    EXPECT_EQ(Craft_Bearing(-100, -100), 4);
    // Slightly above and to the right: atan2 gives -0.1974, times 180 is -35.5, -35 / 31.4 is
    // -1.1, truncated -1, so heading 35.
    EXPECT_EQ(Craft_Bearing(-1000, 200), 35);
    // On top of the player atan2(0, 0) is 0.
    EXPECT_EQ(Craft_Bearing(0, 0), 0);
}

TEST_F(CraftTest, BearingMatchesTheExactArctangentEverywhere) {
    // The quick arctangent must never change a heading: over a grid of spots on every side,
    // and along the axes and diagonals, the bearing is the exact one truncated as the rule says.
    const auto exact = [](int x, int y) {
        const double a = Fm_Atan2((double)(player_y - (float)y), (double)(player_x - (float)x));
        int b = (int)((int)(a * 180) / (10 * 3.1415926535));
        return b < 0 ? b + 36 : b;
    };
    for (int y = -3000; y <= 3000; y += 37)
        for (int x = -3000; x <= 3000; x += 41)
            ASSERT_EQ(Craft_Bearing(x, y), exact(x, y)) << x << "," << y;
    for (int d = -3000; d <= 3000; d++) {
        ASSERT_EQ(Craft_Bearing(d, d), exact(d, d)) << d;
        ASSERT_EQ(Craft_Bearing(d, -d), exact(d, -d)) << d;
        ASSERT_EQ(Craft_Bearing(d, 0), exact(d, 0)) << d;
        ASSERT_EQ(Craft_Bearing(0, d), exact(0, d)) << d;
    }
}

TEST_F(CraftTest, FarCraftStopsAndDrawsNothing) {
    // 3000 away along an axis and along a 3-4-5 diagonal (1800^2 + 2400^2 = 3000^2).
    const int spots[][2] = {{3000, 0}, {0, -3000}, {1800, 2400}};
    for (auto &p : spots) {
        Clear_World();
        BOB_TYP &c = Place_Craft(0, p[0], p[1], 7);
        vel_x(c) = 5.0f;
        vel_y(c) = -3.0f;
        Seed_Rand(77);
        Move_Craft();
        EXPECT_TRUE(Next_Rand_Is(77, 0)) << "no number may be drawn";
        EXPECT_EQ(heading(c), 7);
        EXPECT_EQ(vel_x(c), 0.0f);
        EXPECT_EQ(vel_y(c), 0.0f);
        EXPECT_EQ(world_x(c), p[0]);
        EXPECT_EQ(world_y(c), p[1]);
    }
}

TEST_F(CraftTest, JustInsideRangeTurnsAndThrustsByTheDraws) {
    // Player 2999.9 to the left: bearing 17, heading 0, so a turn draw, then a thrust draw, and
    // the fire test fails on the facing (d = 17) before its draw.
    int turned = 0, stayed = 0;
    for (unsigned seed = 1; seed <= 40; seed++) {
        Clear_World();
        player_x = 0.1f;
        BOB_TYP &c = Place_Craft(0, 3000, 0, 0);
        std::vector<int> r = Draws(seed, 2);
        Seed_Rand(seed);
        Move_Craft();
        EXPECT_TRUE(Next_Rand_Is(seed, 2)) << "exactly two draws";
        int h = r[0] > 4 ? 1 : 0; // 17 - 0 < 0 + 36 - 17: the short way is clockwise
        EXPECT_EQ(heading(c), h);
        float vx = r[1] > 2 ? cos_table[h] : 0.0f;
        float vy = r[1] > 2 ? sin_table[h] : 0.0f;
        EXPECT_EQ(vel_x(c), vx);
        EXPECT_EQ(vel_y(c), vy);
        EXPECT_EQ(bullets[0].state, 0);
        (h ? turned : stayed)++;
    }
    EXPECT_GT(turned, 0);
    EXPECT_GT(stayed, 0);
}

TEST_F(CraftTest, HalfTurnAwayDrawsButStays) {
    // Player to the left (bearing 17) of a craft at heading 35: both ways round are 18 steps.
    for (unsigned seed = 1; seed <= 20; seed++) {
        Clear_World();
        BOB_TYP &c = Place_Craft(0, 1000, 0, 35);
        Seed_Rand(seed);
        Move_Craft();
        EXPECT_EQ(heading(c), 35);
        // Turn draw and thrust draw; d = -18 passes the facing test but 1000 is out of range.
        EXPECT_TRUE(Next_Rand_Is(seed, 2));
    }
}

TEST_F(CraftTest, HeadingOnBearingSkipsTheTurnDraw) {
    // Player straight below: bearing 8, heading 8; only the thrust draw, then the fire test
    // fails on the distance (1000).
    for (unsigned seed = 1; seed <= 20; seed++) {
        Clear_World();
        BOB_TYP &c = Place_Craft(0, 0, -1000, 8);
        Seed_Rand(seed);
        Move_Craft();
        EXPECT_EQ(heading(c), 8);
        EXPECT_TRUE(Next_Rand_Is(seed, 1));
    }
}

TEST_F(CraftTest, TurnPastHeading35WrapsToZero) {
    // Player at bearing 1 (atan2(300, 1000) * 180 = 52.5, 52 / 31.4 = 1.66) from heading 35:
    // 35 - 1 = 34 is longer than 1 + 36 - 35 = 2, so the craft turns up to 36, which wraps to 0.
    int wrapped = 0;
    for (unsigned seed = 1; seed <= 30; seed++) {
        Clear_World();
        BOB_TYP &c = Place_Craft(0, -1000, -300, 35);
        ASSERT_EQ(Craft_Bearing(-1000, -300), 1);
        std::vector<int> r = Draws(seed, 1);
        Seed_Rand(seed);
        Move_Craft();
        EXPECT_EQ(heading(c), r[0] > 4 ? 0 : 35);
        wrapped += heading(c) == 0;
    }
    EXPECT_GT(wrapped, 0);
}

TEST_F(CraftTest, TurnBelowZeroWrapsTo35) {
    // Heading 0 and the player at bearing 35: b > heading, 35 - 0 = 35 is longer than
    // 0 + 36 - 35 = 1, so the craft turns to -1, which wraps to 35.
    int wrapped = 0;
    for (unsigned seed = 1; seed <= 30; seed++) {
        Clear_World();
        BOB_TYP &c = Place_Craft(0, -1000, 200, 0);
        std::vector<int> r = Draws(seed, 1);
        Seed_Rand(seed);
        Move_Craft();
        EXPECT_EQ(heading(c), r[0] > 4 ? 35 : 0);
        wrapped += heading(c) == 35;
    }
    EXPECT_GT(wrapped, 0);
}

TEST_F(CraftTest, LaunchRunThrustsWithoutDrawsForSixtyUpdates) {
    BOB_TYP &c = Place_Craft(0, 0, 0, 9, CRAFT_STATE_LAUNCH);
    c.counter_2 = 60;
    fire_delay(c) = 5;
    player_x = 100.0f; // well within fire range: a launching craft still never fires
    Seed_Rand(5);
    Move_Craft();
    EXPECT_EQ(c.counter_2, 59);
    EXPECT_EQ(vel_y(c), 1.0f);
    EXPECT_EQ(world_y(c), 1);
    EXPECT_EQ(fire_delay(c), 4) << "the delay counts down in every live state";
    for (int i = 2; i <= 59; i++)
        Move_Craft();
    EXPECT_EQ(c.state, CRAFT_STATE_LAUNCH);
    EXPECT_EQ(c.counter_2, 1);
    Move_Craft();
    EXPECT_EQ(c.state, CRAFT_STATE_HUNT);
    EXPECT_EQ(c.counter_2, 0);
    EXPECT_TRUE(Next_Rand_Is(5, 0)) << "a launch run draws nothing";
    EXPECT_EQ(Live(bullets, MAX_BULLETS), 0);
}

TEST_F(CraftTest, SpeedOfTenIsCutToEight) {
    // Launch run along heading 0 from (9, 0): thrust gives length 10, scaled by 8/10 to 8.
    BOB_TYP &c = Place_Craft(0, 0, 0, 0, CRAFT_STATE_LAUNCH);
    c.counter_2 = 60;
    vel_x(c) = 9.0f;
    Move_Craft();
    EXPECT_EQ(vel_x(c), 8.0f);
    EXPECT_EQ(world_x(c), 8);
    // From (8.5, 0) the length 9.5 stays.
    Clear_World();
    BOB_TYP &d = Place_Craft(0, 0, 0, 0, CRAFT_STATE_LAUNCH);
    d.counter_2 = 60;
    vel_x(d) = 7.5f;
    Move_Craft();
    EXPECT_EQ(vel_x(d), 8.5f);
}

TEST_F(CraftTest, SpeedStaysBelowTenWhileHunting) {
    for (unsigned seed = 1; seed <= 5; seed++) {
        Clear_World();
        Seed_Rand(seed);
        BOB_TYP &c = Place_Craft(0, 1500, -700, 20);
        for (int t = 0; t < 600; t++) {
            Move_Craft();
            float s = std::sqrt(vel_x(c) * vel_x(c) + vel_y(c) * vel_y(c));
            ASSERT_LT(s, 10.0f) << "update " << t;
            ASSERT_GE(heading(c), 0);
            ASSERT_LE(heading(c), 35);
        }
    }
}

TEST_F(CraftTest, MovementTruncatesTowardZero) {
    // Launch run along heading 0 from (-2.5, -1.5): thrust gives (-1.5, -1.5), a move of -1.
    BOB_TYP &c = Place_Craft(0, 10, 10, 0, CRAFT_STATE_LAUNCH);
    c.counter_2 = 60;
    vel_x(c) = -2.5f;
    vel_y(c) = -1.5f;
    Move_Craft();
    EXPECT_EQ(world_x(c), 9);
    EXPECT_EQ(world_y(c), 9);
}

// One update of a craft 300 above the player (bearing 8) at the given heading; whether it fired.
bool Fires_At_Heading(int h, unsigned seed, bool *expected) {
    Clear_World();
    Place_Craft(0, 0, -300, h);
    int d = 8 - h;
    bool facing = d < 4 || d > 32;
    int draws = (h != 8) + 1;
    std::vector<int> r = Draws(seed, draws + 1);
    *expected = facing && r[draws] > 2;
    Seed_Rand(seed);
    Move_Craft();
    return bullets[0].state == 1;
}

TEST_F(CraftTest, FireTestFollowsFacingAndDraw) {
    // d = 8 - h: 4..32 never fires; every negative d and d from 0 to 3 may fire.
    for (int h : {0, 4, 5, 8, 12, 28, 30, 35}) {
        int fired = 0;
        for (unsigned seed = 1; seed <= 30; seed++) {
            bool expected = false;
            bool got = Fires_At_Heading(h, seed, &expected);
            EXPECT_EQ(got, expected) << "heading " << h << " seed " << seed;
            fired += got;
        }
        if (h == 0 || h == 4)
            EXPECT_EQ(fired, 0) << "d = " << 8 - h;
        else
            EXPECT_GT(fired, 0) << "d = " << 8 - h;
    }
    // A player 35 steps round from heading 0 (d = 35) passes too.
    Clear_World();
    bool any = false;
    for (unsigned seed = 1; seed <= 10 && !any; seed++) {
        Clear_World();
        Place_Craft(0, -300, 60, 0); // bearing 35, 306 away
        Seed_Rand(seed);
        Move_Craft();
        any = bullets[0].state == 1;
    }
    EXPECT_TRUE(any);
}

TEST_F(CraftTest, FacingBoundaryUsesTheHeadingBeforeTheTurn) {
    // Player at bearing 35 (atan2(-60, 300) * 180 = -35.5, -35 / 31.4 = -1.1, 36 - 1), 306
    // away. From heading 2, d = 33 may fire; from heading 3, d = 32 never does, even when this
    // update's turn (35 - 3 = 32 is longer than 3 + 36 - 35 = 4: down to 2) would make it 33.
    int fired = 0, turned = 0;
    for (unsigned seed = 1; seed <= 30; seed++) {
        Clear_World();
        Place_Craft(0, -300, 60, 2);
        std::vector<int> r = Draws(seed, 3); // turn, thrust, fire
        Seed_Rand(seed);
        Move_Craft();
        EXPECT_EQ(bullets[0].state == 1, r[2] > 2) << "seed " << seed;
        fired += bullets[0].state == 1;

        Clear_World();
        BOB_TYP &c = Place_Craft(0, -300, 60, 3);
        Seed_Rand(seed);
        Move_Craft();
        EXPECT_EQ(bullets[0].state, 0) << "seed " << seed;
        EXPECT_EQ(heading(c), r[0] > 4 ? 2 : 3);
        EXPECT_TRUE(Next_Rand_Is(seed, 2)) << "no fire draw";
        turned += heading(c) == 2;
    }
    EXPECT_GT(fired, 0);
    EXPECT_GT(turned, 0);
}

TEST_F(CraftTest, ShotLeavesAlongTheNewHeading) {
    // Heading 8 on bearing 8: thrust adds (0.17, 0.98) when its draw allows; the shot's
    // velocity is trunc(vel + 20 * (cos 80, sin 80)) = (3, 20) after thrust, (3, 19) without.
    int seen = 0;
    for (unsigned seed = 1; seed <= 40; seed++) {
        Clear_World();
        BOB_TYP &c = Place_Craft(0, 0, -300, 8);
        std::vector<int> r = Draws(seed, 2);
        Seed_Rand(seed);
        Move_Craft();
        if (r[1] <= 2) {
            EXPECT_EQ(bullets[0].state, 0);
            continue;
        }
        seen++;
        ASSERT_EQ(bullets[0].state, 1);
        EXPECT_EQ(bullets[0].anim_state, BULLET_COLOR_ENEMY);
        EXPECT_EQ(world_x(bullets[0]), -6);
        EXPECT_EQ(world_y(bullets[0]), -306);
        EXPECT_EQ(bullets[0].xv, 3);
        EXPECT_EQ(bullets[0].yv, r[0] > 2 ? 20 : 19);
        EXPECT_EQ(fire_delay(c), 24) << "25, less this update's count-down";
    }
    EXPECT_GT(seen, 0);
}

TEST_F(CraftTest, FiresAtMostOnceInTwentyFiveUpdates) {
    Seed_Rand(3);
    BOB_TYP &c = Place_Craft(0, 0, -300, 8);
    int last = -100, shots = 0;
    for (int t = 0; t < 400; t++) {
        // Hold the craft in place on its bearing.
        world_x(c) = 0;
        world_y(c) = -300;
        vel_x(c) = vel_y(c) = 0.0f;
        heading(c) = 8;
        Move_Craft();
        if (bullets[0].state == 1) {
            EXPECT_GE(t - last, 25) << "update " << t;
            last = t;
            shots++;
            bullets[0].state = 0;
        }
    }
    EXPECT_GE(shots, 10);
}

TEST_F(CraftTest, NoFireAtAWreckButTheHuntGoesOn) {
    player.state = 0;
    Seed_Rand(9);
    BOB_TYP &c = Place_Craft(0, 0, -300, 8);
    int thrusted = 0;
    for (int t = 0; t < 200; t++) {
        world_x(c) = 0;
        world_y(c) = -300;
        vel_x(c) = vel_y(c) = 0.0f;
        Move_Craft();
        ASSERT_EQ(bullets[0].state, 0);
        thrusted += vel_y(c) > 0.0f;
    }
    EXPECT_GT(thrusted, 100) << "it still thrusts toward the wreck";
}

TEST_F(CraftTest, FreeSlotsAreLeftAlone) {
    BOB_TYP &c = craft[4];
    world_x(c) = 50;
    vel_x(c) = 3.0f;
    fire_delay(c) = 6;
    Seed_Rand(1);
    Move_Craft();
    EXPECT_EQ(world_x(c), 50);
    EXPECT_EQ(fire_delay(c), 6);
    EXPECT_TRUE(Next_Rand_Is(1, 0));
}

} // namespace
