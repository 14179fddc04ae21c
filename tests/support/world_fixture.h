// A clean world for combat tests: empty pools with the sizes their pictures give, the ship alive
// at the origin with full shields, the display open headless, and helpers for the random draws.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/graphics/random.h"
#include "engine/graphics/ddraw.h"
#include "engine/sound/dsound.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "world/craft.h"
#include "world/effects.h"
#include "world/ship.h"
#include "world/station.h"
#include "world/weapons.h"
#include "world/world.h"

// Empties every pool and gives each record the size of its pool's pictures.
inline void Clear_World() {
    for (BOB_TYP &c : craft) {
        c = BOB_TYP{};
        c.width = c.height = 49;
    }
    for (BOB_TYP &s : stations) {
        s = BOB_TYP{};
        s.width = s.height = 120;
    }
    for (BOB_TYP &m : missiles) {
        m = BOB_TYP{};
        m.width = m.height = 39;
    }
    for (BOB_TYP &b : bullets) {
        b = BOB_TYP{};
        b.width = b.height = 13;
    }
    for (BOB_TYP &p : powerups) {
        p = BOB_TYP{};
        p.width = p.height = 25;
    }
    for (PARTICLE_TYP &p : particles)
        p = PARTICLE_TYP{};
    explosion = BOB_TYP{};
    explosion.width = explosion.height = 80;
    player = BOB_TYP{};
    player.width = player.height = 60;
    player.state = 1;
    player.int_vars[INDEX_SHIELD] = SHIELD_FULL;
    player_x = player_y = player_xv = player_yv = 0.0f;
    enemy_ships = 0;
    score = 0;
    fuel = FUEL_FULL;
    missile_load = 2;
    missile_delay = 0;
    Clear_Sound_Ids();
}

// Puts a live craft in slot i.
inline BOB_TYP &Place_Craft(int i, int x, int y, int h, int state = CRAFT_STATE_HUNT) {
    BOB_TYP &c = craft[i];
    c.state = state;
    world_x(c) = x;
    world_y(c) = y;
    heading(c) = h;
    fire_delay(c) = 0;
    vel_x(c) = vel_y(c) = 0.0f;
    return c;
}

// Puts a live station with full hit points and timer in slot i.
inline BOB_TYP &Place_Station(int i, int x, int y) {
    BOB_TYP &s = stations[i];
    s.state = 1;
    world_x(s) = x;
    world_y(s) = y;
    s.counter_1 = 50;
    s.counter_2 = 1000;
    return s;
}

// The first n values of Rand() after Seed_Rand(seed), each taken modulo m.
inline std::vector<int> Draws(unsigned seed, int n, int m = 10) {
    Seed_Rand(seed);
    std::vector<int> v;
    for (int i = 0; i < n; i++)
        v.push_back(Rand() % m);
    return v;
}

// The raw Rand() value number k (0-based) after Seed_Rand(seed): tells how many draws were used.
inline int Raw_Draw(unsigned seed, int k) {
    Seed_Rand(seed);
    int r = 0;
    for (int i = 0; i <= k; i++)
        r = Rand();
    return r;
}

// Whether the next Rand() is value number k after Seed_Rand(seed): k numbers were drawn since.
inline bool Next_Rand_Is(unsigned seed, int k) {
    int next = Rand();
    return next == Raw_Draw(seed, k);
}

// Number of live records of a pool.
inline int Live(const BOB_TYP *pool, int n) {
    int live = 0;
    for (int i = 0; i < n; i++)
        live += pool[i].state != 0;
    return live;
}

// A headless display and a clean world for every test.
class CombatTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(0);
        Headless_Set_Available(1, 0);
        Plat_Init();
        ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
        dd_pixel_format = 15;
        Init_Trig_Tables();
        Clear_World();
    }
    void TearDown() override {
        Clear_World();
        DDraw_Shutdown();
        Plat_Quit();
    }
};

// As CombatTest, with sound open and the game's nine sounds loaded. No virtual time passes, so
// a sound once started stays playing for the whole test.
class CombatSoundTest : public CombatTest {
  protected:
    void SetUp() override {
        CombatTest::SetUp();
        Headless_Set_Available(1, 1);
        ASSERT_EQ(DSound_Init(), 1);
        ASSERT_EQ(Init_Sounds(), 1) << "the generated .wav files must be in the working folder";
    }
    void TearDown() override {
        DSound_Stop_All_Sounds();
        DSound_Shutdown();
        CombatTest::TearDown();
    }
    static int Playing(int id) { return DSound_Status_Sound(id) & DSBSTATUS_PLAYING; }
    static int Copies_Playing(const int ids[8]) {
        int n = 0;
        for (int k = 0; k < 8; k++)
            n += Playing(ids[k]) ? 1 : 0;
        return n;
    }
};
