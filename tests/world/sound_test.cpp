// The sounds of combat with the game's own sound list loaded: first idle copies, the explosion's
// hearing distance, the victory sound only for a craft, and the power-up's busy test.
#include "tests/support/world_fixture.h"

namespace {

TEST_F(CombatSoundTest, ShotsTakeTheFirstIdleCopy) {
    for (int i = 1; i <= 8; i++) {
        Start_Bullet(0, 0, 1, 0, BULLET_COLOR_PLAYER);
        EXPECT_EQ(Copies_Playing(bullet_ids), i);
        EXPECT_TRUE(Playing(bullet_ids[i - 1]));
    }
    // All eight busy: the shot still leaves, silently.
    EXPECT_EQ(Start_Bullet(0, 0, 1, 0, BULLET_COLOR_PLAYER), 1);
    EXPECT_EQ(Live(bullets, MAX_BULLETS), 9);
    // A copy that stopped is the next one used.
    DSound_Stop_Sound(bullet_ids[3]);
    Start_Bullet(0, 0, 1, 0, BULLET_COLOR_PLAYER);
    EXPECT_TRUE(Playing(bullet_ids[3]));
}

TEST_F(CombatSoundTest, FullShotPoolIsSilent) {
    for (int i = 0; i < MAX_BULLETS; i++)
        bullets[i].state = 1;
    Start_Bullet(0, 0, 1, 0, BULLET_COLOR_ENEMY);
    EXPECT_EQ(Copies_Playing(bullet_ids), 0);
}

TEST_F(CombatSoundTest, ExplosionHeardWithin2000) {
    player_x = 100.0f;
    Start_Expl(2099, 0);
    EXPECT_EQ(Copies_Playing(explosion_ids), 1);
    Start_Expl(2100, 0); // exactly 2000 away: shown, silent
    EXPECT_EQ(Copies_Playing(explosion_ids), 1);
    EXPECT_EQ(explosion.state, 1);
    EXPECT_EQ(world_x(explosion), 2100);
    Start_Expl(100 + 1200, 1600); // 1200-1600-2000 triangle: silent
    EXPECT_EQ(Copies_Playing(explosion_ids), 1);
    Start_Expl(100 - 1199, -1600); // sqrt(1199^2 + 1600^2) = 1999.4 away
    EXPECT_EQ(Copies_Playing(explosion_ids), 2);
}

TEST_F(CombatSoundTest, StationEndSoundsThreeExplosions) {
    enemy_ships = 2;
    Place_Station(0, 500, 0).counter_1 = 1;
    Start_Bullet(500, 0, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(stations[0].state, 0);
    EXPECT_EQ(Copies_Playing(hit_ids), 1) << "the hit itself";
    EXPECT_EQ(Copies_Playing(explosion_ids), 3);
    EXPECT_FALSE(Playing(victory_id));
}

TEST_F(CombatSoundTest, LastStationWinsWithoutVictorySound) {
    enemy_ships = 1;
    Place_Station(1, -600, 0).counter_1 = 10;
    Start_Missile(-600, 0, 0.0f, 0.0f, 0);
    Move_Missiles();
    EXPECT_EQ(enemy_ships, 0);
    EXPECT_FALSE(Playing(victory_id));
    EXPECT_EQ(Copies_Playing(hit_ids), 0) << "no hit sound for a missile";
}

TEST_F(CombatSoundTest, LastCraftPlaysVictory) {
    enemy_ships = 2;
    Place_Craft(0, 700, 0, 0);
    Place_Craft(1, 900, 0, 0);
    Start_Bullet(700, 0, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(enemy_ships, 1);
    EXPECT_FALSE(Playing(victory_id));
    Start_Bullet(900, 0, 0, 0, BULLET_COLOR_PLAYER);
    Move_Bullets();
    EXPECT_EQ(enemy_ships, 0);
    EXPECT_TRUE(Playing(victory_id));
    // Below zero (a count already off) every craft still sounds it.
    DSound_Stop_Sound(victory_id);
    Place_Craft(2, 1100, 0, 0);
    Start_Missile(1100, 0, 0.0f, 0.0f, 0);
    Move_Missiles();
    EXPECT_EQ(enemy_ships, -1);
    EXPECT_TRUE(Playing(victory_id));
}

TEST_F(CombatSoundTest, ShieldHitPlaysAHitCopy) {
    Start_Bullet(0, 0, 0, 0, BULLET_COLOR_ENEMY);
    Move_Bullets();
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 2);
    EXPECT_EQ(Copies_Playing(hit_ids), 1);
    // The destroying hit plays the explosion instead.
    player.int_vars[INDEX_SHIELD] = 0;
    Start_Bullet(0, 0, 0, 0, BULLET_COLOR_ENEMY);
    Move_Bullets();
    EXPECT_EQ(player.state, 0);
    EXPECT_EQ(Copies_Playing(hit_ids), 1);
    EXPECT_EQ(Copies_Playing(explosion_ids), 1);
}

TEST_F(CombatSoundTest, MissileSoundsWithoutBusyTest) {
    Start_Missile(0, 0, 0.0f, 0.0f, 0);
    EXPECT_TRUE(Playing(missile_id));
    for (int i = 0; i < MAX_MISSILES; i++)
        missiles[i].state = 1;
    DSound_Stop_Sound(missile_id);
    Start_Missile(0, 0, 0.0f, 0.0f, 0);
    EXPECT_FALSE(Playing(missile_id)) << "a full pool launches nothing and plays nothing";
}

TEST_F(CombatSoundTest, TwoPickupsInOneFrameBothCount) {
    Start_Powerups(0, 0);
    Start_Powerups(3, 3);
    powerups[0].curr_frame = powerups[1].curr_frame = 1;
    Move_Powerups();
    EXPECT_EQ(score, 400);
    EXPECT_TRUE(Playing(powerup_id));
}

TEST_F(CombatSoundTest, UselessShieldPickUpStillSounds) {
    Start_Powerups(0, 0);
    powerups[0].curr_frame = 2;
    Move_Powerups();
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 3);
    EXPECT_EQ(powerups[0].state, 0);
    EXPECT_TRUE(Playing(powerup_id));
}

} // namespace
