// How long combat's world updates take with every pool full: the worst case a frame can meet.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "engine/graphics/random.h"
#include "engine/graphics/ddraw.h"
#include "world/craft.h"
#include "world/effects.h"
#include "world/station.h"
#include "world/weapons.h"
#include "world/world.h"

namespace {

// Twenty craft hunting within range of the ship, far enough apart that nothing is hit.
void Fill_Craft() {
    for (int i = 0; i < MAX_CRAFT; i++) {
        BOB_TYP &c = craft[i];
        c.width = c.height = 49;
        c.state = CRAFT_STATE_HUNT;
        world_x(c) = 500 + 100 * i;
        world_y(c) = -1000;
        heading(c) = (i * 7) % 36;
        fire_delay(c) = 25;
        vel_x(c) = vel_y(c) = 0.0f;
    }
}

// Fifty player shots and twelve missiles flying where no craft or station is.
void Fill_Projectiles() {
    for (int i = 0; i < MAX_BULLETS; i++) {
        BOB_TYP &b = bullets[i];
        b.width = b.height = 13;
        b.state = 1;
        b.anim_state = BULLET_COLOR_PLAYER;
        world_x(b) = -5000 - 20 * i;
        world_y(b) = 5000;
        b.xv = b.yv = 0;
        b.counter_1 = 0;
    }
    for (int i = 0; i < MAX_MISSILES; i++) {
        BOB_TYP &m = missiles[i];
        m.width = m.height = 39;
        m.state = 1;
        world_x(m) = 8000 + 50 * i;
        world_y(m) = 8000;
        heading(m) = i;
        vel_x(m) = vel_y(m) = 0.0f;
        m.counter_1 = 100;
    }
    for (int i = 0; i < MAX_STATIONS; i++) {
        BOB_TYP &s = stations[i];
        s.width = s.height = 120;
        s.state = i < 2;
        world_x(s) = 1000 * i;
        world_y(s) = 3000;
        s.counter_1 = 50;
        s.counter_2 = 1000;
    }
}

void BM_Move_Craft(benchmark::State &state) {
    Init_Trig_Tables();
    Seed_Rand(1);
    player.state = 1;
    for (auto _ : state) {
        Fill_Craft();
        Move_Craft();
        benchmark::DoNotOptimize(craft[19].int_vars[0]);
    }
}
BENCHMARK(BM_Move_Craft);

void BM_Move_Bullets_And_Missiles(benchmark::State &state) {
    Init_Trig_Tables();
    player.width = player.height = 60;
    Fill_Craft();
    for (auto _ : state) {
        Fill_Projectiles();
        Move_Missiles();
        Move_Bullets();
        benchmark::DoNotOptimize(bullets[49].int_vars[0]);
    }
}
BENCHMARK(BM_Move_Bullets_And_Missiles);

void BM_Particles_And_Powerups(benchmark::State &state) {
    DDraw_Init(800, 600, 16, 0);
    for (int i = 0; i < MAX_POWERUPS; i++) {
        powerups[i].width = powerups[i].height = 25;
        powerups[i].state = 1;
        world_x(powerups[i]) = 3000 + 40 * i;
    }
    for (auto _ : state) {
        for (int i = 0; i < MAX_PARTICLES; i++)
            Start_Particles(i - 25, 2 * i - 50, 1, -1);
        Move_Particles();
        DDraw_Lock_Back_Surface();
        Draw_Particles();
        DDraw_Unlock_Back_Surface();
        Move_Powerups();
        Init_Particles();
    }
    DDraw_Shutdown();
}
BENCHMARK(BM_Particles_And_Powerups);

} // namespace

BENCHMARK_MAIN();
