// How long the game's own work takes: one whole frame headless (world update, drawing, texts,
// presentation) under a busy screen, the ship's flight step, and the approximate length.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include <time.h>

#include "engine/input/dinput.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "world/craft.h"
#include "world/effects.h"
#include "world/ship.h"
#include "world/weapons.h"

namespace {

// Escape at the first read leaves the title screen; after that the ship thrusts, turns and fires.
void Keys(int read, uint8_t state[256], void *) {
    memset(state, 0, 256);
    if (read == 0) {
        state[DIK_ESCAPE] = 0x80;
        return;
    }
    state[DIK_UP] = 0x80;
    state[DIK_LCONTROL] = 0x80;
    if (read % 100 < 30) state[DIK_RIGHT] = 0x80;
}

// Everything a frame changes, so a busy moment can be played again and again.
struct WORLD_SNAPSHOT {
    BOB_TYP craft[MAX_CRAFT], stations[MAX_STATIONS], missiles[MAX_MISSILES];
    BOB_TYP bullets[MAX_BULLETS], powerups[MAX_POWERUPS], explosion, player;
    PARTICLE_TYP particles[MAX_PARTICLES];
    float player_x, player_y, player_xv, player_yv, fuel;
    int missile_load, missile_delay, enemy_ships, score, game_state, debug_mode;
};

void Take(WORLD_SNAPSHOT &s) {
    memcpy(s.craft, craft, sizeof craft);
    memcpy(s.stations, stations, sizeof stations);
    memcpy(s.missiles, missiles, sizeof missiles);
    memcpy(s.bullets, bullets, sizeof bullets);
    memcpy(s.powerups, powerups, sizeof powerups);
    memcpy(s.particles, particles, sizeof particles);
    s.explosion = explosion;
    s.player = player;
    s.player_x = player_x, s.player_y = player_y;
    s.player_xv = player_xv, s.player_yv = player_yv, s.fuel = fuel;
    s.missile_load = missile_load, s.missile_delay = missile_delay;
    s.enemy_ships = enemy_ships, s.score = score;
    s.game_state = game_state, s.debug_mode = debug_mode;
}

void Put(const WORLD_SNAPSHOT &s) {
    memcpy(craft, s.craft, sizeof craft);
    memcpy(stations, s.stations, sizeof stations);
    memcpy(missiles, s.missiles, sizeof missiles);
    memcpy(bullets, s.bullets, sizeof bullets);
    memcpy(powerups, s.powerups, sizeof powerups);
    memcpy(particles, s.particles, sizeof particles);
    explosion = s.explosion;
    player = s.player;
    player_x = s.player_x, player_y = s.player_y;
    player_xv = s.player_xv, player_yv = s.player_yv, fuel = s.fuel;
    missile_load = s.missile_load, missile_delay = s.missile_delay;
    enemy_ships = s.enemy_ships, score = s.score;
    game_state = s.game_state, debug_mode = s.debug_mode;
}

// Processor time of this thread in microseconds: on a shared machine the wall clock also counts
// the time other programs held the core.
double Thread_Cpu_Us() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

// The median, the 99th percentile and the worst of a set of samples, as counters.
void Report(benchmark::State &state, const char *name, std::vector<double> v) {
    if (v.empty()) return;
    std::sort(v.begin(), v.end());
    std::string n = name;
    state.counters[n + "_median_us"] = v[v.size() / 2];
    state.counters[n + "_p99_us"] = v[v.size() * 99 / 100];
    state.counters[n + "_worst_us"] = v.back();
}

int Live(const BOB_TYP *pool, int n) {
    int count = 0;
    for (int i = 0; i < n; i++)
        count += pool[i].state != 0;
    return count;
}

// Gathers the fleet on screen around the ship: 13 craft in a ring, both stations in view, a
// spray of shots and missiles in the gaps, the exhaust already flowing and the debug readout on.
void Arrange_Busy_Screen() {
    int px = (int)player_x, py = (int)player_y;
    for (int i = 0; i < NUM_START_CRAFT; i++) {
        craft[i].state = CRAFT_STATE_HUNT;
        world_x(craft[i]) = px + (int)(330.0f * cos_table[(i * 36 / NUM_START_CRAFT) % 36]);
        world_y(craft[i]) = py + (int)(230.0f * sin_table[(i * 36 / NUM_START_CRAFT) % 36]);
    }
    for (int i = 0; i < 2; i++) {
        stations[i].state = 1;
        world_x(stations[i]) = px - 200 + 400 * i;
        world_y(stations[i]) = py - 150 + 300 * i;
    }
    for (int i = 0; i < 24; i++)
        Start_Bullet(px + 60 * (i % 6) - 150, py + 90 * (i / 6) - 140, 3 - i % 7, 2 - i % 5,
                     i % 2 ? BULLET_COLOR_ENEMY : BULLET_COLOR_PLAYER);
    for (int i = 0; i < 6; i++)
        Start_Missile(px, py, 2.0f * cos_table[i * 6], 2.0f * sin_table[i * 6], i * 6);
    for (int i = 0; i < MAX_PARTICLES; i++)
        Start_Particles(px - 5 * i, py + (i % 7) - 3, -(i % 4) - 1, (i % 3) - 1);
    Start_Expl(px + 100, py + 60);
    enemy_ships = NUM_START_CRAFT + 2;
    debug_mode = 1;
}

// Replays a busy stretch of play: each run of 10 frames starts again from the same arranged
// moment, so shots and craft lost in fights are back for the next run. Reports the median,
// the 99th percentile and the worst frame, by the wall clock and by this thread's processor time.
void BM_Game_Frame_Busy(benchmark::State &state) {
    Headless_Reset(1000);
    Headless_Set_Key_Source(Keys, nullptr);
    Plat_Init();
    Plat_Open_Window("farwake", 800, 600);
    Game_Init(nullptr);
    for (int i = 0; i < 40; i++)
        Game_Main(nullptr); // engines running, exhaust flowing
    Arrange_Busy_Screen();
    static WORLD_SNAPSHOT busy;
    Take(busy);

    std::vector<double> wall, cpu;
    wall.reserve(state.max_iterations);
    cpu.reserve(state.max_iterations);
    long live_craft = 0, live_shots = 0, live_missiles = 0, live_particles = 0, frames = 0;
    for (auto _ : state) {
        if (frames % 10 == 0) Put(busy);
        live_craft += Live(craft, MAX_CRAFT);
        live_shots += Live(bullets, MAX_BULLETS);
        live_missiles += Live(missiles, MAX_MISSILES);
        for (auto &p : particles)
            live_particles += p.life > 0;
        double c0 = Thread_Cpu_Us();
        auto t0 = std::chrono::steady_clock::now();
        Game_Main(nullptr);
        auto t1 = std::chrono::steady_clock::now();
        double c1 = Thread_Cpu_Us();
        double s = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(s);
        wall.push_back(s * 1e6);
        cpu.push_back(c1 - c0);
        frames++;
    }
    Game_Shutdown(nullptr);
    Plat_Close_Window();
    Plat_Quit();
    Headless_Set_Key_Source(nullptr, nullptr);

    if (frames == 0) return;
    Report(state, "wall", std::move(wall));
    Report(state, "cpu", std::move(cpu));
    double n = (double)frames;
    state.counters["craft"] = live_craft / n;
    state.counters["shots"] = live_shots / n;
    state.counters["missiles"] = live_missiles / n;
    state.counters["particles"] = live_particles / n;
}
BENCHMARK(BM_Game_Frame_Busy)
    ->UseManualTime()
    ->Iterations(6000)
    ->Repetitions(3)
    ->Unit(benchmark::kMicrosecond);

// Ordinary play from the start of a game, without arranging anything.
void BM_Game_Frame(benchmark::State &state) {
    Headless_Reset(1000);
    Headless_Set_Key_Source(Keys, nullptr);
    Plat_Init();
    Plat_Open_Window("farwake", 800, 600);
    Game_Init(nullptr);
    for (auto _ : state)
        Game_Main(nullptr);
    Game_Shutdown(nullptr);
    Plat_Close_Window();
    Plat_Quit();
    Headless_Set_Key_Source(nullptr, nullptr);
}
BENCHMARK(BM_Game_Frame)->Unit(benchmark::kMicrosecond);

void BM_Move_Player(benchmark::State &state) {
    Init_Trig_Tables();
    memset(&player, 0, sizeof player);
    player.state = 1;
    player_x = player_y = player_xv = player_yv = player_v = 0.0f;
    fuel = FUEL_FULL;
    memset(keyboard_state, 0, 256);
    keyboard_state[DIK_UP] = 0x80;
    keyboard_state[DIK_RIGHT] = 0x80;
    for (auto _ : state) {
        Move_Player();
        benchmark::DoNotOptimize(player_xv);
    }
    memset(keyboard_state, 0, 256);
}
BENCHMARK(BM_Move_Player);

void BM_Approx_Distance(benchmark::State &state) {
    float a = 3.0f, b = -4.0f, sum = 0.0f;
    for (auto _ : state) {
        sum += Approx_Distance(a, b);
        a += 0.25f;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Approx_Distance);

} // namespace

BENCHMARK_MAIN();
