// The float arithmetic of craft and missiles, each case chosen where another reasonable reading
// of the expression gives a different result: float differences for the bearing and distance,
// float squares for the craft's lengths, double squares for the missile's, and the cap factor
// taken first. Expected values were worked out with every float step rounded to single
// precision (a double result rounded to float is exact for +, -, *, / and sqrt of floats).
#include "engine/graphics/random.h"
#include "tests/support/world_fixture.h"

namespace {

using ArithmeticTest = CombatTest;

TEST_F(ArithmeticTest, BearingUsesFloatDifferences) {
    // Player (0.3f, 0.7f), craft (-23279, -4182). In float, 0.7f + 4182 = 4182.7001953125 and
    // 0.3f + 23279 = 23279.30078125; atan2 of those, times 180, is 32.0000004, truncated 32,
    // and 32 / 31.4159 = 1.02 gives bearing 1. The exact differences (4182.69999998808,
    // 23279.30000001192) give 31.99999996, truncated 31, bearing 0.
    player_x = 0.3f;
    player_y = 0.7f;
    EXPECT_EQ(Craft_Bearing(-23279, -4182), 1);
}

TEST_F(ArithmeticTest, WakeDistanceUsesFloatDifferences) {
    // 3000 - 0.0001f rounds to 3000.0f (half an ulp at 3000 is 0.000122), so the craft is
    // 3000 away and waits; in double it would be 2999.9999 away and hunt.
    player_x = 0.0001f;
    BOB_TYP &c = Place_Craft(0, 3000, 0, 0);
    vel_x(c) = 4.0f;
    Seed_Rand(12);
    Move_Craft();
    EXPECT_EQ(vel_x(c), 0.0f);
    EXPECT_TRUE(Next_Rand_Is(12, 0));
}

TEST_F(ArithmeticTest, FireDistanceSquaresInFloat) {
    // Player (0.747f, 0.1f), craft (372, 149): differences 371.25299072265625 and
    // 148.89999389648438; their squares and sum in float give 159999.984375, whose root is
    // 399.99997 < 400: in range. Squared and summed in double the root rounds to 400.0f: out.
    // Bearing: atan2(-148.9, -371.25) * 180 = -496.8, -496 / 31.4159 = -15.8, so 36 - 15 = 21;
    // at heading 21 there is no turn draw, then the thrust draw, then the fire draw.
    player_x = 0.747f;
    player_y = 0.1f;
    ASSERT_EQ(Craft_Bearing(372, 149), 21);
    int fired = 0;
    for (unsigned seed = 1; seed <= 20; seed++) {
        Clear_World();
        player_x = 0.747f;
        player_y = 0.1f;
        Place_Craft(0, 372, 149, 21);
        std::vector<int> r = Draws(seed, 2);
        Seed_Rand(seed);
        Move_Craft();
        EXPECT_EQ(bullets[0].state == 1, r[1] > 2) << "seed " << seed;
        fired += bullets[0].state == 1;
    }
    EXPECT_GT(fired, 0);
}

// One launch-run update along heading 0 (thrust (1, 0), no draws) from velocity (vx, vy).
BOB_TYP &Launch_Step(float vx, float vy) {
    BOB_TYP &c = Place_Craft(0, 0, 0, 0, CRAFT_STATE_LAUNCH);
    c.counter_2 = 60;
    vel_x(c) = vx;
    vel_y(c) = vy;
    Move_Craft();
    return c;
}

TEST_F(ArithmeticTest, CraftCapTakesTheFactorFirst) {
    // (7, 7.5): s = sqrt(105.25) = 10.259142f, factor 8 / s = 0.77979231f; times each part:
    // 5.458546f and 5.848442f. Computing 8 * 7.5 / s instead gives 5.8484426f.
    BOB_TYP &c = Launch_Step(6.0f, 7.5f);
    EXPECT_EQ(vel_x(c), 0x1.5d58d2p+2f);
    EXPECT_EQ(vel_y(c), 0x1.764ce0p+2f);
    EXPECT_NE(vel_y(c), 0x1.764ce2p+2f);
}

TEST_F(ArithmeticTest, CraftLengthSquaresInFloat) {
    // (7, 7.28f): 7.28f squared in float is 52.9984016f, plus 49 is 101.9983978f, whose root
    // is 10.0994253f; the factor 0.79212427f gives 5.5448699f and 5.7666650f. With the squares
    // and sum in double the length is 10.0994263f and x becomes 5.5448694f.
    BOB_TYP &c = Launch_Step(6.0f, 7.28f);
    EXPECT_EQ(vel_x(c), 0x1.62df26p+2f);
    EXPECT_EQ(vel_y(c), 0x1.71110ap+2f);
    EXPECT_NE(vel_x(c), 0x1.62df24p+2f);
}

TEST_F(ArithmeticTest, MissileLengthSquaresInDouble) {
    // Heading 0 from (21.5, 19.95f): thrust gives (22.5, 19.95f); the length in double,
    // rounded to float, is 30.070791f, factor 28 / s = 0.93113613f: (20.950563f, 18.576166f).
    // With float squares the length is 30.070793f and x becomes 20.950562f.
    Start_Missile(0, 0, 21.5f, 19.95f, 0);
    Move_Missiles();
    EXPECT_EQ(vel_x(missiles[0]), 0x1.4f3582p+4f);
    EXPECT_EQ(vel_y(missiles[0]), 0x1.2937fap+4f);
    EXPECT_NE(vel_x(missiles[0]), 0x1.4f3580p+4f);
}

TEST_F(ArithmeticTest, MissileCapTakesTheFactorFirst) {
    // Heading 0 from (20, 22.25): thrust gives (21, 22.25), length 30.595139f, factor
    // 28 / s = 0.91517806f; times each part: 19.218739f and 20.362711f. Computing
    // 28 * 21 / s instead gives 19.218740f.
    Start_Missile(0, 0, 20.0f, 22.25f, 0);
    Move_Missiles();
    EXPECT_EQ(vel_x(missiles[0]), 0x1.337ff4p+4f);
    EXPECT_EQ(vel_y(missiles[0]), 0x1.45cdaap+4f);
    EXPECT_NE(vel_x(missiles[0]), 0x1.337ff6p+4f);
}

TEST_F(ArithmeticTest, ShotVelocityIsTruncatedTowardZero) {
    // Craft at (290, 78): atan2(-78, -290) * 180 = -518.2, -518 / 31.4159 = -16.5, so bearing
    // 36 - 16 = 20, and the craft already points there (no turn draw), 300.3 from the player.
    // Heading 20 is 200 degrees: 20 * cos = -18.79 and 20 * sin = -6.84 truncate to -18 and
    // -6 (not -19 and -7). After a thrust of (-0.94, -0.34): -19.73 and -7.18 give -19 and -7.
    ASSERT_EQ(Craft_Bearing(290, 78), 20);
    int checked = 0;
    for (unsigned seed = 1; seed <= 40; seed++) {
        Clear_World();
        std::vector<int> r = Draws(seed, 2); // thrust draw, fire draw
        Place_Craft(0, 290, 78, 20);
        Seed_Rand(seed);
        Move_Craft();
        if (r[1] <= 2) {
            EXPECT_EQ(bullets[0].state, 0);
            continue;
        }
        ASSERT_EQ(bullets[0].state, 1);
        EXPECT_EQ(bullets[0].xv, r[0] > 2 ? -19 : -18);
        EXPECT_EQ(bullets[0].yv, r[0] > 2 ? -7 : -6);
        checked += r[0] > 2 ? 1 : 100;
    }
    EXPECT_GT(checked % 100, 0) << "a case with thrust";
    EXPECT_GE(checked, 100) << "a case without thrust";
}

} // namespace
