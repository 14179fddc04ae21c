// The explosion record and its three pictures, exhaust particles with their life and red, and
// power-ups: the drop, the four effects with their caps, the pick-up box and full pools.
#include "engine/graphics/random.h"
#include "tests/support/world_fixture.h"

#include "world/ship.h"

namespace {

using ExplosionTest = CombatTest;
using ParticleTest = CombatTest;
using PowerupTest = CombatTest;

TEST_F(ExplosionTest, EachStartRestartsTheOneRecord) {
    Init_Expl();
    Start_Expl(100, 100);
    Draw_Expl();
    EXPECT_EQ(explosion.curr_frame, 1);
    Start_Expl(60, -30);
    Start_Expl(0, 50);
    Start_Expl(-80, 10);
    EXPECT_EQ(explosion.state, 1);
    EXPECT_EQ(world_x(explosion), -80);
    EXPECT_EQ(world_y(explosion), 10);
    EXPECT_EQ(explosion.curr_frame, 0);
    EXPECT_EQ(explosion.anim_pos, 0);
    EXPECT_EQ(explosion.anim_state, 0);
}

TEST_F(ExplosionTest, ShowsThreePicturesThenEnds) {
    Init_Expl();
    Start_Expl(30, 40);
    for (int picture = 0; picture < 3; picture++) {
        ASSERT_EQ(explosion.state, 1);
        EXPECT_EQ(explosion.curr_frame, picture);
        Draw_Expl();
        EXPECT_EQ(explosion.x, 30 - 40 + 400) << "centred on its world point";
        EXPECT_EQ(explosion.y, 40 - 40 + 300);
    }
    EXPECT_EQ(explosion.state, 0);
    EXPECT_EQ(explosion.curr_frame, 3);
    // Ended: further draws change nothing.
    Draw_Expl();
    EXPECT_EQ(explosion.curr_frame, 3);
    // A new start shows picture 0 again.
    Start_Expl(0, 0);
    EXPECT_EQ(explosion.curr_frame, 0);
    Draw_Expl();
    EXPECT_EQ(explosion.curr_frame, 1);
}

TEST_F(ParticleTest, LiveThirtyTwoUpdates) {
    ASSERT_EQ(Start_Particles(10, 20, -2, 3), 1);
    const PARTICLE_TYP &p = particles[0];
    EXPECT_EQ(p.life, 32);
    for (int i = 1; i <= 31; i++)
        Move_Particles();
    EXPECT_EQ(p.life, 1);
    EXPECT_EQ(p.x, 10 - 62);
    EXPECT_EQ(p.y, 20 + 93);
    Move_Particles();
    EXPECT_EQ(p.life, 0);
    Move_Particles();
    EXPECT_EQ(p.x, 10 - 64) << "a free particle stays put";
}

TEST_F(ParticleTest, FullPoolDropsUntilOneFades) {
    for (int i = 0; i < MAX_PARTICLES; i++)
        ASSERT_EQ(Start_Particles(i, 0, 0, 0), 1);
    EXPECT_EQ(Start_Particles(999, 0, 0, 0), 0);
    for (int i = 1; i <= 31; i++)
        Move_Particles();
    EXPECT_EQ(Start_Particles(999, 0, 0, 0), 0) << "all still live with life 1";
    for (int i = 0; i < MAX_PARTICLES; i++)
        EXPECT_EQ(particles[i].x, i);
    Move_Particles();
    ASSERT_EQ(Start_Particles(999, 0, 0, 0), 1);
    EXPECT_EQ(particles[0].x, 999);
    EXPECT_EQ(particles[1].life, 0);
}

TEST_F(ParticleTest, PlotsRedOfItsLifeOnScreenOnly) {
    player_x = 0.5f;
    player_y = -0.5f;
    Start_Particles(5, 7, 0, 0);    // screen (404.5, 307.5): (404, 307)
    Start_Particles(400, 0, 0, 0);  // screen x 799.5: 799, still on screen
    Start_Particles(401, 0, 0, 0);  // screen x 800.5: off
    Start_Particles(-400, 0, 0, 0); // screen x -0.5: truncated to 0, on screen
    Start_Particles(-401, 0, 0, 0); // screen x -1.5: truncated to -1, off
    Start_Particles(0, 300, 0, 0);  // screen y 600.5: off
    Move_Particles();
    ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
    int pitch = back_lpitch >> 1;
    for (int i = 0; i < 600 * pitch; i++)
        sback_buffer[i] = 0;
    Draw_Particles();
    int lit = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            lit += sback_buffer[x + y * pitch] != 0;
    EXPECT_EQ(sback_buffer[404 + 307 * pitch], 31 << 10) << "life 31 after one update";
    EXPECT_EQ(sback_buffer[799 + 300 * pitch], 31 << 10);
    EXPECT_EQ(sback_buffer[0 + 300 * pitch], 31 << 10);
    EXPECT_EQ(lit, 3);
    // In 5.6.5 packing the red sits five bits higher.
    dd_pixel_format = 16;
    Move_Particles();
    Draw_Particles();
    EXPECT_EQ(sback_buffer[404 + 307 * pitch], 30 << 11);
    DDraw_Unlock_Back_Surface();
}

TEST_F(PowerupTest, DropIsCentredWithADrawnKind) {
    std::vector<int> kinds = Draws(31, 3, 4);
    Seed_Rand(31);
    for (int i = 0; i < 3; i++)
        ASSERT_EQ(Start_Powerups(100 * i, -50), 1);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(powerups[i].state, 1);
        EXPECT_EQ(world_x(powerups[i]), 100 * i - 12);
        EXPECT_EQ(world_y(powerups[i]), -62);
        EXPECT_EQ(powerups[i].curr_frame, kinds[i]);
    }
}

TEST_F(PowerupTest, FullPoolDropsNothingAndDrawsNothing) {
    for (int i = 0; i < MAX_POWERUPS; i++)
        Start_Powerups(5000 + i, 0);
    Seed_Rand(6);
    EXPECT_EQ(Start_Powerups(0, 0), 0);
    EXPECT_TRUE(Next_Rand_Is(6, 0));
    // A craft destroyed now drops nothing, and nothing else changes.
    enemy_ships = 1;
    Place_Craft(0, 3000, 3000, 0);
    Start_Bullet(3000, 3000, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(craft[0].state, 0);
    EXPECT_EQ(score, 100);
    for (int i = 0; i < MAX_POWERUPS; i++)
        EXPECT_EQ(world_x(powerups[i]), 5000 + i - 12);
}

// Drops a power-up of the given kind on the ship and runs the pick-up test.
void Pick_Up(int kind) {
    Start_Powerups(0, 0);
    for (BOB_TYP &p : powerups)
        if (p.state == 1) p.curr_frame = kind;
    Move_Powerups();
}

TEST_F(PowerupTest, FuelScoreAndShield) {
    fuel = 12.0f;
    Pick_Up(0);
    EXPECT_EQ(fuel, 300.0f);
    EXPECT_EQ(powerups[0].state, 0);
    Pick_Up(1);
    EXPECT_EQ(score, 200);
    player.int_vars[INDEX_SHIELD] = 1;
    Pick_Up(2);
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 2);
    Pick_Up(2);
    Pick_Up(2);
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 3) << "no level above 3";
    EXPECT_EQ(powerups[0].state, 0) << "collected even when it does nothing";
    EXPECT_EQ(score, 200);
}

TEST_F(PowerupTest, MissilesCapAtSix) {
    const int before[] = {0, 1, 4, 5, 6, 7};
    const int after[] = {2, 3, 6, 6, 6, 7};
    for (int i = 0; i < 6; i++) {
        missile_load = before[i];
        Pick_Up(3);
        EXPECT_EQ(missile_load, after[i]) << "from " << before[i];
    }
}

TEST_F(PowerupTest, PickUpBoxEdge) {
    // Power-up box (x - 12, y - 12, 25, 25), half 12 - 3 = 9; ship box (-30, -30, 60, 60),
    // half 30 - 7 = 23, centre -7. Centre gap (x - 3) - (-7) = x + 4 must stay below 32:
    // x = 27 is collected, x = 28 is not.
    for (int x : {27, 28}) {
        Clear_World();
        powerups[0].state = 1;
        world_x(powerups[0]) = x;
        world_y(powerups[0]) = 0;
        powerups[0].curr_frame = 1;
        Move_Powerups();
        EXPECT_EQ(powerups[0].state == 0, x == 27) << "x " << x;
        EXPECT_EQ(score, x == 27 ? 200 : 0);
    }
}

TEST_F(PowerupTest, WreckStillCollectsAndTwoAtOnce) {
    player.state = 0;
    Start_Powerups(5, 5);
    Start_Powerups(-5, 0);
    powerups[0].curr_frame = 1;
    powerups[1].curr_frame = 1;
    Move_Powerups();
    EXPECT_EQ(score, 400);
    EXPECT_EQ(Live(powerups, MAX_POWERUPS), 0);
}

} // namespace
