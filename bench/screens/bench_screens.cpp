// Costs of the per-frame pieces the screens own: the star step and plot, the radar dots with every
// pool full, and the panel's gauge, picture and count on the software display.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "engine/graphics/random.h"
#include "engine/graphics/ddraw.h"
#include "game/panel.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "world/radar.h"
#include "world/stars.h"
#include "world/world.h"

namespace {

// A locked-surface stand-in of 800 x 600 pixels for the plotting routines.
struct Plot_Target {
    std::vector<USHORT> px = std::vector<USHORT>(800 * 600);
    Plot_Target() {
        sback_buffer = px.data();
        back_lpitch = 1600;
    }
    ~Plot_Target() {
        sback_buffer = nullptr;
        back_lpitch = 0;
    }
};

void BM_Stars_Move_And_Draw(benchmark::State &state) {
    Plot_Target t;
    Seed_Rand(1);
    Init_Stars();
    player_xv = 7.5f;
    player_yv = -3.2f;
    for (auto _ : state) {
        Move_Stars();
        Draw_Stars();
        benchmark::DoNotOptimize(t.px.data());
    }
    player_xv = player_yv = 0.0f;
}
BENCHMARK(BM_Stars_Move_And_Draw);

void BM_Radar_All_Pools_Live(benchmark::State &state) {
    Plot_Target t;
    for (int i = 0; i < MAX_CRAFT; i++) {
        craft[i].state = 4;
        world_x(craft[i]) = i * 500 - 5000;
        world_y(craft[i]) = i * 300 - 3000;
    }
    for (int i = 0; i < MAX_POWERUPS; i++) {
        powerups[i].state = 1;
        world_x(powerups[i]) = i * 700 - 4000;
        world_y(powerups[i]) = 2000 - i * 400;
    }
    for (int i = 0; i < MAX_STATIONS; i++) {
        stations[i].state = 1;
        world_x(stations[i]) = i * 3000;
        world_y(stations[i]) = -i * 2000;
    }
    for (auto _ : state) {
        Draw_Radar();
        benchmark::DoNotOptimize(t.px.data());
    }
}
BENCHMARK(BM_Radar_All_Pools_Live);

void BM_Panel(benchmark::State &state) {
    Headless_Reset(0);
    Plat_Init();
    DDraw_Init(800, 600, 16, 0);
    dd_pixel_format = 15;
    Init_Missile_Meter();
    fuel = 213.0f;
    missile_load = 4;
    for (auto _ : state) {
        Draw_Panel();
        benchmark::DoNotOptimize(lpddsback->memory.data());
    }
    Destroy_BOB(&missile_meter);
    DDraw_Shutdown();
    Plat_Quit();
}
BENCHMARK(BM_Panel);

} // namespace

BENCHMARK_MAIN();
