// Stations: the launch timer, launches into the first free craft slot with a drawn heading, a
// full craft pool, both stations launching together, and what a reused slot keeps.
#include "engine/graphics/random.h"
#include "tests/support/world_fixture.h"

namespace {

using StationTest = CombatTest;

TEST_F(StationTest, FirstLaunchOnTheThousandAndFirstUpdate) {
    enemy_ships = 1;
    Place_Station(0, 1000, 1000);
    Seed_Rand(21);
    for (int i = 1; i <= 1000; i++)
        Move_Stations();
    EXPECT_EQ(stations[0].counter_2, 0);
    EXPECT_EQ(Live(craft, MAX_CRAFT), 0);
    EXPECT_TRUE(Next_Rand_Is(21, 0)) << "no draws before the launch";
    int h = Draws(21, 1, 36)[0];
    Seed_Rand(21);
    Move_Stations();
    BOB_TYP &c = craft[0];
    EXPECT_EQ(c.state, CRAFT_STATE_LAUNCH);
    EXPECT_EQ(world_x(c), 1000);
    EXPECT_EQ(world_y(c), 1000);
    EXPECT_EQ(c.counter_2, 60);
    EXPECT_EQ(heading(c), h);
    EXPECT_EQ(enemy_ships, 2);
    EXPECT_EQ(stations[0].counter_2, 999);
    // The next launch is 1000 updates later.
    for (int i = 1; i <= 999; i++)
        Move_Stations();
    EXPECT_EQ(craft[1].state, 0);
    Move_Stations();
    EXPECT_EQ(craft[1].state, CRAFT_STATE_LAUNCH);
    EXPECT_EQ(enemy_ships, 3);
}

TEST_F(StationTest, FullCraftPoolSkipsTheLaunch) {
    for (int i = 0; i < MAX_CRAFT; i++)
        Place_Craft(i, i * 100, 0, 3);
    enemy_ships = 21;
    Place_Station(0, 1000, 1000).counter_2 = 0;
    Seed_Rand(4);
    Move_Stations();
    EXPECT_EQ(enemy_ships, 21);
    EXPECT_EQ(stations[0].counter_2, 999);
    EXPECT_TRUE(Next_Rand_Is(4, 0)) << "no heading drawn";
    for (int i = 0; i < MAX_CRAFT; i++) {
        EXPECT_EQ(world_x(craft[i]), i * 100);
        EXPECT_EQ(craft[i].state, CRAFT_STATE_HUNT);
    }
}

TEST_F(StationTest, BothStationsLaunchTogetherLowerSlotFirst) {
    for (int i = 0; i < 5; i++)
        Place_Craft(i, 0, 0, 0);
    Place_Craft(6, 0, 0, 0);
    enemy_ships = 8;
    Place_Station(0, 1000, 1000).counter_2 = 0;
    Place_Station(1, 5000, -2000).counter_2 = 0;
    std::vector<int> h = Draws(8, 2, 36);
    Seed_Rand(8);
    Move_Stations();
    EXPECT_EQ(craft[5].state, CRAFT_STATE_LAUNCH);
    EXPECT_EQ(world_x(craft[5]), 1000);
    EXPECT_EQ(heading(craft[5]), h[0]);
    EXPECT_EQ(craft[7].state, CRAFT_STATE_LAUNCH);
    EXPECT_EQ(world_x(craft[7]), 5000);
    EXPECT_EQ(world_y(craft[7]), -2000);
    EXPECT_EQ(heading(craft[7]), h[1]);
    EXPECT_EQ(enemy_ships, 10);
}

TEST_F(StationTest, ReusedSlotKeepsItsVelocityAndDelay) {
    enemy_ships = 1;
    BOB_TYP &old = craft[0];
    vel_x(old) = 3.5f;
    vel_y(old) = -2.0f;
    fire_delay(old) = 7;
    Place_Station(0, 0, 0).counter_2 = 0;
    Seed_Rand(2);
    Move_Stations();
    ASSERT_EQ(old.state, CRAFT_STATE_LAUNCH);
    EXPECT_EQ(vel_x(old), 3.5f);
    EXPECT_EQ(vel_y(old), -2.0f);
    EXPECT_EQ(fire_delay(old), 7);
    // Its first thrust adds to the old velocity.
    int h = heading(old);
    Move_Craft();
    EXPECT_EQ(vel_x(old), 3.5f + cos_table[h]);
    EXPECT_EQ(vel_y(old), -2.0f + sin_table[h]);
}

TEST_F(StationTest, EverySlotIsScannedAndDeadStationsWait) {
    Place_Station(3, -700, 300).counter_2 = 0;
    Place_Station(1, 0, 0).counter_2 = 0;
    stations[1].state = 0;
    Seed_Rand(1);
    Move_Stations();
    EXPECT_EQ(craft[0].state, CRAFT_STATE_LAUNCH);
    EXPECT_EQ(world_x(craft[0]), -700);
    EXPECT_EQ(craft[1].state, 0);
    EXPECT_EQ(stations[1].counter_2, 0) << "a destroyed station's timer stands";
}

TEST_F(StationTest, ShipFliesThroughUnharmed) {
    enemy_ships = 1;
    Place_Station(0, 0, 0);
    for (int i = 0; i < 10; i++) {
        player_x = -50.0f + 10 * i;
        Move_Craft();
        Move_Missiles();
        Move_Bullets();
        Move_Powerups();
        Move_Stations();
    }
    EXPECT_EQ(player.state, 1);
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 3);
    EXPECT_EQ(stations[0].counter_1, 50);
    EXPECT_EQ(stations[0].state, 1);
}

} // namespace
