// How long the game's own work takes: one whole frame headless (world update, drawing, texts,
// presentation), the ship's flight step, and the approximate length.
#include <benchmark/benchmark.h>

#include <cstring>

#include "engine/input/dinput.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "world/ship.h"

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

void BM_Game_Frame(benchmark::State &state) {
    Headless_Reset(1000);
    Headless_Set_Key_Source(Keys, nullptr);
    Plat_Init();
    Game_Init(nullptr);
    for (auto _ : state)
        Game_Main(nullptr);
    Game_Shutdown(nullptr);
    Plat_Quit();
    Headless_Set_Key_Source(nullptr, nullptr);
}
BENCHMARK(BM_Game_Frame)->Unit(benchmark::kMicrosecond);

void BM_Move_Player(benchmark::State &state) {
    Init_Trig_Tables();
    memset(&player, 0, sizeof player);
    player.state = 1;
    player_x = player_y = player_xv = player_yv = player_v = 0.0f;
    fuel = 300.0f;
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
