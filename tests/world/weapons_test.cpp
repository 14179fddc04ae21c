// Shots and missiles: starts and full pools, ages, hit tests in their order, damage to craft,
// stations and the ship, scores and the count of enemies, missile flight and its speed cap.
#include "tests/support/world_fixture.h"

#include <cstring>

#include "platform/dik.h"
#include "engine/input/dinput.h"
#include "world/ship.h"

namespace {

using ShotTest = CombatTest;
using MissileTest = CombatTest;

TEST_F(ShotTest, StartSetsTheSlotFromTheCorner) {
    ASSERT_EQ(Start_Bullet(100, -50, 7, -3, BULLET_COLOR_PLAYER), 1);
    BOB_TYP &b = bullets[0];
    EXPECT_EQ(b.state, 1);
    EXPECT_EQ(world_x(b), 94); // moved back by 13 >> 1 = 6 on both axes
    EXPECT_EQ(world_y(b), -56);
    EXPECT_EQ(b.xv, 7);
    EXPECT_EQ(b.yv, -3);
    EXPECT_EQ(b.anim_state, BULLET_COLOR_PLAYER);
    EXPECT_EQ(b.curr_anim, BULLET_COLOR_PLAYER);
    EXPECT_EQ(b.counter_1, 0);
    EXPECT_EQ(b.curr_frame, 0);
    ASSERT_EQ(Start_Bullet(0, 0, 0, 0, BULLET_COLOR_ENEMY), 1);
    EXPECT_EQ(bullets[1].state, 1) << "the next free slot";
}

TEST_F(ShotTest, FullPoolDropsTheShot) {
    for (int i = 0; i < MAX_BULLETS; i++)
        ASSERT_EQ(Start_Bullet(1000 + i, 0, 1, 1, BULLET_COLOR_PLAYER), 1);
    EXPECT_EQ(Start_Bullet(5, 5, 2, 2, BULLET_COLOR_ENEMY), 0);
    for (int i = 0; i < MAX_BULLETS; i++) {
        EXPECT_EQ(world_x(bullets[i]), 994 + i);
        EXPECT_EQ(bullets[i].anim_state, BULLET_COLOR_PLAYER);
    }
    // A freed slot is taken again at once.
    bullets[17].state = 0;
    EXPECT_EQ(Start_Bullet(5, 5, 2, 2, BULLET_COLOR_ENEMY), 1);
    EXPECT_EQ(bullets[17].anim_state, BULLET_COLOR_ENEMY);
}

TEST_F(ShotTest, ColourOutsideTheFourIsRefused) {
    EXPECT_EQ(Start_Bullet(0, 0, 1, 1, 4), 0);
    EXPECT_EQ(Start_Bullet(0, 0, 1, 1, -1), 0);
    EXPECT_EQ(Live(bullets, MAX_BULLETS), 0);
}

TEST_F(ShotTest, LivesExactlyOneHundredUpdates) {
    Start_Bullet(5000, 5000, 3, -2, BULLET_COLOR_PLAYER);
    for (int i = 1; i <= 99; i++)
        Move_Bullets();
    EXPECT_EQ(bullets[0].state, 1);
    EXPECT_EQ(bullets[0].counter_1, 99);
    EXPECT_EQ(world_x(bullets[0]), 4994 + 99 * 3);
    EXPECT_EQ(world_y(bullets[0]), 4994 - 99 * 2);
    Move_Bullets();
    EXPECT_EQ(bullets[0].state, 0);
    EXPECT_EQ(bullets[0].counter_1, 0);
    EXPECT_EQ(world_x(bullets[0]), 4994 + 100 * 3) << "the last update still moves it";
}

TEST_F(ShotTest, OneShotDestroysTwoOverlappingCraft) {
    enemy_ships = 5;
    Place_Craft(3, 500, 500, 0);
    Place_Craft(7, 505, 500, 0);
    Place_Craft(9, 600, 500, 0); // 100 away: untouched
    Start_Bullet(500, 500, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(craft[3].state, 0);
    EXPECT_EQ(craft[7].state, 0);
    EXPECT_EQ(craft[9].state, CRAFT_STATE_HUNT);
    EXPECT_EQ(score, 200);
    EXPECT_EQ(enemy_ships, 3);
    EXPECT_EQ(bullets[0].state, 0);
    // The one explosion record shows the second craft; a power-up dropped at each.
    EXPECT_EQ(explosion.state, 1);
    EXPECT_EQ(world_x(explosion), 505);
    EXPECT_EQ(world_y(explosion), 500);
    EXPECT_EQ(powerups[0].state, 1);
    EXPECT_EQ(world_x(powerups[0]), 488);
    EXPECT_EQ(powerups[1].state, 1);
    EXPECT_EQ(world_x(powerups[1]), 493);
    // The destroyed craft keep their other fields.
    EXPECT_EQ(world_x(craft[3]), 500);
}

TEST_F(ShotTest, HitInTheHundredthUpdateStillCounts) {
    enemy_ships = 2;
    Place_Craft(0, 1000, 0, 0);
    // After this update's move the shot's centre is 7 from the craft's.
    Start_Bullet(990, 0, 4, 0, BULLET_COLOR_PLAYER);
    bullets[0].counter_1 = 99;
    Move_Bullets();
    EXPECT_EQ(bullets[0].state, 0);
    EXPECT_EQ(bullets[0].counter_1, 0);
    EXPECT_EQ(craft[0].state, 0);
    EXPECT_EQ(score, 100);
    EXPECT_EQ(enemy_ships, 1);
}

TEST_F(ShotTest, ShotThatHitACraftStillTestsStations) {
    enemy_ships = 2;
    Place_Craft(0, 2000, 2000, 0);
    Place_Station(0, 2000, 2000);
    Start_Bullet(2000, 2000, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(craft[0].state, 0);
    EXPECT_EQ(stations[0].counter_1, 49);
    EXPECT_EQ(score, 100);
    EXPECT_EQ(enemy_ships, 1);
}

TEST_F(ShotTest, HitBoxEdgeAgainstACraft) {
    // A shot started at x has its corner at x - 6, its box at x - 12 and, with half
    // 6 - 1 = 5, its centre at x - 7. The craft at 1000 has its box at 976 and, with half
    // 24 - 6 = 18, its centre at 994. They meet while the gap is below 5 + 18 = 23:
    // a shot started at 1023 hits (gap 22), one at 1024 misses (gap 23).
    for (int start : {1023, 1024}) {
        Clear_World();
        enemy_ships = 1;
        Place_Craft(0, 1000, 0, 0);
        Start_Bullet(start, 0, 0, 0, BULLET_COLOR_PLAYER);
        Move_Bullets();
        EXPECT_EQ(craft[0].state == 0, start == 1023) << "start " << start;
    }
}

TEST_F(ShotTest, OnlyPlayerShotsHitEnemies) {
    enemy_ships = 2;
    Place_Craft(0, 300, 300, 0);
    Place_Station(0, -900, -900);
    for (int colour : {BULLET_COLOR_RED, BULLET_COLOR_ENEMY, BULLET_COLOR_YELLOW}) {
        Start_Bullet(300, 300, 0, 0, colour);
        Start_Bullet(-900, -900, 0, 0, colour);
    }
    Move_Bullets();
    EXPECT_EQ(craft[0].state, CRAFT_STATE_HUNT);
    EXPECT_EQ(stations[0].counter_1, 50);
    EXPECT_EQ(Live(bullets, MAX_BULLETS), 6);
    EXPECT_EQ(score, 0);
}

TEST_F(ShotTest, StationTakesFiftyShots) {
    enemy_ships = 3;
    Place_Station(0, 2000, 2000);
    for (int i = 1; i <= 49; i++) {
        Start_Bullet(2000, 2000, 0, 0, BULLET_COLOR_PLAYER);
        Move_Bullets();
        ASSERT_EQ(bullets[0].state, 0) << "the shot is spent on the station";
    }
    EXPECT_EQ(stations[0].state, 1);
    EXPECT_EQ(stations[0].counter_1, 1);
    EXPECT_EQ(score, 0);
    Start_Bullet(2000, 2000, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(stations[0].state, 0);
    EXPECT_EQ(score, 2500);
    EXPECT_EQ(enemy_ships, 2);
    // Three explosions started; the last, at (x - 80, y + 10), is the one shown.
    EXPECT_EQ(explosion.state, 1);
    EXPECT_EQ(world_x(explosion), 1920);
    EXPECT_EQ(world_y(explosion), 2010);
    // A destroyed station is not hit again.
    Start_Bullet(2000, 2000, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(score, 2500);
    EXPECT_EQ(enemy_ships, 2);
}

TEST_F(ShotTest, EnemyShotCostsAShieldLevel) {
    player_x = 10.7f;
    player_y = -20.7f;
    player_xv = 3.0f;
    Start_Bullet(10, -20, 0, 0, BULLET_COLOR_ENEMY);
    Move_Bullets();
    EXPECT_EQ(bullets[0].state, 0);
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 2);
    EXPECT_EQ(player.state, 1);
    EXPECT_EQ(player_xv, 3.0f);
    EXPECT_EQ(explosion.state, 0);
}

TEST_F(ShotTest, FourthHitDestroysTheShip) {
    player_x = 10.7f;
    player_y = -20.7f;
    player_xv = 3.0f;
    player_yv = -4.0f;
    for (int hit = 1; hit <= 3; hit++) {
        Start_Bullet(10, -20, 0, 0, BULLET_COLOR_ENEMY);
        Move_Bullets();
    }
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 0);
    EXPECT_EQ(player.state, 1);
    Start_Bullet(10, -20, 0, 0, BULLET_COLOR_ENEMY);
    Move_Bullets();
    EXPECT_EQ(player.state, 0);
    EXPECT_EQ(player_xv, 0.0f);
    EXPECT_EQ(player_yv, 0.0f);
    EXPECT_EQ(explosion.state, 1);
    EXPECT_EQ(world_x(explosion), 10) << "trunc(10.7)";
    EXPECT_EQ(world_y(explosion), -20) << "trunc(-20.7), toward zero";
    // The wreck is still in the way of shots, but nothing more happens to it.
    explosion.state = 0;
    Start_Bullet(10, -20, 0, 0, BULLET_COLOR_ENEMY);
    Move_Bullets();
    EXPECT_EQ(bullets[0].state, 0);
    EXPECT_EQ(explosion.state, 0);
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 0);
}

TEST_F(ShotTest, WreckWithShieldsRefilledStillLosesThem) {
    player.state = 0;
    player.int_vars[INDEX_SHIELD] = 3;
    Start_Bullet(0, 0, 0, 0, BULLET_COLOR_ENEMY);
    Move_Bullets();
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 2);
    EXPECT_EQ(player.state, 0);
}

TEST_F(ShotTest, RedAndYellowShotsPassThroughTheShip) {
    // Only the enemy colour is tested against the ship: shields and shots stay.
    Start_Bullet(0, 0, 0, 0, BULLET_COLOR_RED);
    Start_Bullet(0, 0, 0, 0, BULLET_COLOR_YELLOW);
    Move_Bullets();
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 3);
    EXPECT_EQ(bullets[0].state, 1);
    EXPECT_EQ(bullets[1].state, 1);
}

TEST_F(ShotTest, ShipBoxCornerIsTruncatedTowardZero) {
    // Ship at x = -0.5: its box starts at trunc(-30.5) = -30, so its shrunk centre is
    // -30 + 30 - 7 = -7. A shot started at x = 27 sits at 21, box 15, centre 15 + 6 - 1 = 20:
    // 27 apart, under 23 + 5, a hit (with the corner floored to -31 it would be 28: a miss).
    // One started at 28 is 28 apart and misses.
    player_x = -0.5f;
    Start_Bullet(27, 0, 0, 0, BULLET_COLOR_ENEMY);
    Move_Bullets();
    EXPECT_EQ(bullets[0].state, 0);
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 2);
    Start_Bullet(28, 0, 0, 0, BULLET_COLOR_ENEMY);
    Move_Bullets();
    EXPECT_EQ(bullets[0].state, 1);
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 2);
}

TEST_F(ShotTest, PlayerShotsDoNotHitTheShip) {
    Start_Bullet(0, 0, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 3);
    EXPECT_EQ(bullets[0].state, 1);
}

TEST_F(MissileTest, StartSetsTheSlot) {
    ASSERT_EQ(Start_Missile(100, 200, 1.5f, -2.25f, 27), 1);
    BOB_TYP &m = missiles[0];
    EXPECT_EQ(m.state, 1);
    EXPECT_EQ(world_x(m), 81); // moved back by 39 >> 1 = 19
    EXPECT_EQ(world_y(m), 181);
    EXPECT_EQ(vel_x(m), 1.5f);
    EXPECT_EQ(vel_y(m), -2.25f);
    EXPECT_EQ(heading(m), 27);
    EXPECT_EQ(m.counter_1, 100);
}

TEST_F(MissileTest, HeadingOutsideTheTableIsWrapped) {
    Start_Missile(0, 0, 0.0f, 0.0f, 40);
    Start_Missile(0, 0, 0.0f, 0.0f, -1);
    EXPECT_EQ(heading(missiles[0]), 4);
    EXPECT_EQ(heading(missiles[1]), 35);
}

TEST_F(MissileTest, TwelveInFlightDropTheThirteenth) {
    for (int i = 0; i < MAX_MISSILES; i++)
        ASSERT_EQ(Start_Missile(i * 100, 0, 0.0f, 0.0f, i), 1);
    EXPECT_EQ(Start_Missile(7, 7, 1.0f, 1.0f, 3), 0);
    for (int i = 0; i < MAX_MISSILES; i++)
        EXPECT_EQ(heading(missiles[i]), i);
}

TEST_F(MissileTest, LaunchIntoAFullPoolStillCostsOne) {
    for (int i = 0; i < MAX_MISSILES; i++)
        Start_Missile(i * 100, 5000, 0.0f, 0.0f, 0);
    missile_load = 3;
    missile_delay = 0;
    memset(keyboard_state, 0, 256);
    keyboard_state[DIK_LMENU] = 0x80;
    Move_Player();
    keyboard_state[DIK_LMENU] = 0;
    EXPECT_EQ(missile_load, 2);
    EXPECT_EQ(missile_delay, 49) << "50, counted down once in the same frame";
    for (int i = 0; i < MAX_MISSILES; i++)
        EXPECT_EQ(world_x(missiles[i]), i * 100 - 19) << "no slot was overwritten";
}

TEST_F(MissileTest, FlightFromAMovingShipAlongHeadingNine) {
    // From (10, 0) along heading 9 the velocity gains (0, 1) per update: length
    // sqrt(100 + 28^2) = 29.7 after 28 updates, sqrt(100 + 29^2) = 30.7 after 29, cut to 28.
    Start_Missile(0, 0, 10.0f, 0.0f, 9);
    BOB_TYP &m = missiles[0];
    for (int i = 1; i <= 28; i++)
        Move_Missiles();
    EXPECT_FLOAT_EQ(vel_x(m), 10.0f);
    EXPECT_FLOAT_EQ(vel_y(m), 28.0f);
    // Each update moves by the velocity before its thrust: x by 10 each, y by 0 + 1 + ... + 27.
    EXPECT_EQ(world_x(m), -19 + 280);
    EXPECT_EQ(world_y(m), -19 + 378);
    Move_Missiles();
    float s = std::sqrt(vel_x(m) * vel_x(m) + vel_y(m) * vel_y(m));
    EXPECT_NEAR(s, 28.0f, 1e-4);
    EXPECT_NEAR(vel_x(m), 10.0f * 28.0f / std::sqrt(941.0f), 1e-4);
    EXPECT_EQ(world_x(m), -19 + 290);
    EXPECT_EQ(world_y(m), -19 + 406);
    EXPECT_EQ(heading(m), 9) << "missiles never steer";
}

TEST_F(MissileTest, LengthOfExactlyThirtyIsCut) {
    // Heading 0 from (29, 0): thrust gives (30, 0), length 30, scaled by 28/30 to 28.
    Start_Missile(0, 0, 29.0f, 0.0f, 0);
    Move_Missiles();
    EXPECT_EQ(vel_x(missiles[0]), 28.0f);
    // From (28, 0) the length 29 stays.
    Move_Missiles();
    EXPECT_EQ(vel_x(missiles[0]), 29.0f);
}

TEST_F(MissileTest, BurstsOnItsHundredAndFirstUpdateWhereItWas) {
    Start_Missile(5000, 5000, 0.0f, 0.0f, 0);
    BOB_TYP &m = missiles[0];
    for (int i = 1; i <= 100; i++)
        Move_Missiles();
    EXPECT_EQ(m.state, 1);
    EXPECT_EQ(m.counter_1, 0);
    EXPECT_EQ(explosion.state, 0);
    int x = world_x(m), y = world_y(m);
    Move_Missiles();
    EXPECT_EQ(m.state, 0);
    EXPECT_EQ(explosion.state, 1);
    EXPECT_EQ(world_x(explosion), x) << "life is taken before the move";
    EXPECT_EQ(world_y(explosion), y);
    EXPECT_NE(world_x(m), x) << "the last update still moves it";
}

TEST_F(MissileTest, LastUpdateStillMovesAndHitsACraft) {
    // Life is out, so the burst starts at (1000, 1000); the move of trunc(5.9) then puts the
    // missile's box (986, 981, 39, 39) on the craft's (1001, 976, 49, 49): centres 18 and 2
    // apart, under 15 + 18. The craft's explosion replaces the burst.
    enemy_ships = 1;
    Place_Craft(3, 1025, 1000, 0);
    BOB_TYP &m = missiles[0];
    m.state = 1;
    world_x(m) = 1000;
    world_y(m) = 1000;
    vel_x(m) = 5.9f;
    m.counter_1 = 0;
    Move_Missiles();
    EXPECT_EQ(m.state, 0);
    EXPECT_EQ(world_x(m), 1005);
    EXPECT_EQ(craft[3].state, 0);
    EXPECT_EQ(score, 100);
    EXPECT_EQ(enemy_ships, 0);
    EXPECT_EQ(world_x(explosion), 1025);
    EXPECT_EQ(world_y(explosion), 1000);
    EXPECT_EQ(vel_x(m), 5.9f + 1.0f) << "the thrust step still runs";
}

TEST_F(MissileTest, LastUpdateStillHitsAStation) {
    // The burst is at (1000, 1000); after the move to (1005, 1000) the station hit starts the
    // explosion again at the missile and takes 10 hit points.
    Place_Station(1, 1005, 1000);
    BOB_TYP &m = missiles[0];
    m.state = 1;
    world_x(m) = 1000;
    world_y(m) = 1000;
    vel_x(m) = 5.9f;
    m.counter_1 = 0;
    Move_Missiles();
    EXPECT_EQ(m.state, 0);
    EXPECT_EQ(stations[1].counter_1, 40);
    EXPECT_EQ(world_x(explosion), 1005);
    EXPECT_EQ(world_y(explosion), 1000);
}

TEST_F(ShotTest, ShotInItsHundredthUpdateStillHitsAStation) {
    Place_Station(0, 994, 994);
    Start_Bullet(1000, 1000, 0, 0, BULLET_COLOR_PLAYER);
    bullets[0].counter_1 = 99;
    Move_Bullets();
    EXPECT_EQ(bullets[0].state, 0);
    EXPECT_EQ(stations[0].counter_1, 49);
}

TEST_F(MissileTest, DestroysEveryCraftItTouchesAndStillHitsTheStation) {
    enemy_ships = 4;
    Place_Craft(2, 3000, 3000, 0);
    Place_Craft(5, 3010, 2990, 0);
    Place_Station(1, 3000, 3000);
    Start_Missile(3000, 3000, 0.0f, 0.0f, 0);
    Move_Missiles();
    EXPECT_EQ(craft[2].state, 0);
    EXPECT_EQ(craft[5].state, 0);
    EXPECT_EQ(stations[1].counter_1, 40);
    EXPECT_EQ(score, 200);
    EXPECT_EQ(enemy_ships, 2);
    EXPECT_EQ(missiles[0].state, 0);
    // The station hit comes last: the explosion is at the missile.
    EXPECT_EQ(world_x(explosion), 2981);
    EXPECT_EQ(world_y(explosion), 2981);
}

TEST_F(MissileTest, StationTakesFiveMissilesOrAMix) {
    enemy_ships = 2;
    Place_Station(0, -3000, 1000);
    for (int i = 1; i <= 5; i++) {
        Start_Missile(-3000, 1000, 0.0f, 0.0f, 0);
        Move_Missiles();
        EXPECT_EQ(stations[0].state, i < 5 ? 1 : 0) << "missile " << i;
    }
    EXPECT_EQ(score, 2500);
    EXPECT_EQ(enemy_ships, 1);
    EXPECT_EQ(world_x(explosion), -3080);
    EXPECT_EQ(world_y(explosion), 1010);

    // 30 shots and 2 missiles make 50.
    Clear_World();
    enemy_ships = 1;
    Place_Station(2, 700, 700);
    for (int i = 0; i < 30; i++) {
        Start_Bullet(700, 700, 0, 0, BULLET_COLOR_PLAYER);
        Move_Bullets();
    }
    Start_Missile(700, 700, 0.0f, 0.0f, 0);
    Move_Missiles();
    EXPECT_EQ(stations[2].counter_1, 10);
    EXPECT_EQ(stations[2].state, 1);
    Start_Missile(700, 700, 0.0f, 0.0f, 0);
    Move_Missiles();
    EXPECT_EQ(stations[2].state, 0);
    EXPECT_EQ(enemy_ships, 0);

    // With 11 left one missile leaves 1.
    Clear_World();
    Place_Station(0, 0, 0).counter_1 = 11;
    Start_Missile(0, 0, 0.0f, 0.0f, 0);
    Move_Missiles();
    EXPECT_EQ(stations[0].state, 1);
    EXPECT_EQ(stations[0].counter_1, 1);
    Start_Bullet(0, 0, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(stations[0].state, 0);
}

TEST_F(MissileTest, MissilesDoNotHitTheShip) {
    Start_Missile(0, 0, 0.0f, 0.0f, 0);
    Move_Missiles();
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 3);
    EXPECT_EQ(missiles[0].state, 1);
}

} // namespace
