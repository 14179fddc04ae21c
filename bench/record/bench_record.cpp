// The cost of --record, --state and --entities in a game frame: one headless game played on
// under each, beside the plain frame (run from the folder holding the pictures and sounds).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/dik.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/record.h"

namespace {

// Escape leaves the title; then the ship thrusts, turns and fires, changing keys now and then.
void Keys(int read, uint8_t state[256], void *) {
    memset(state, 0, 256);
    if (read == 0) {
        state[DIK_ESCAPE] = 0x80;
        return;
    }
    state[DIK_UP] = 0x80;
    state[DIK_LCONTROL] = 0x80;
    if (read % 100 < 30) state[DIK_RIGHT] = 0x80;
    if (read % 250 < 5) state[DIK_LMENU] = 0x80;
}

int Start_Game() {
    Headless_Reset(1000);
    Headless_Set_Key_Source(Keys, nullptr);
    if (!Plat_Init() || !Plat_Open_Window("bench_record", 800, 600)) return 0;
    Game_Init(nullptr);
    return 1;
}

// Plays frames under the logs asked for; the files go to the temporary folder.
void Frames(benchmark::State &st, const GAME_LOG_OPTIONS_TYP &o) {
    static int started = Start_Game();
    if (!started) {
        st.SkipWithError("no game");
        return;
    }
    std::string error;
    if (!Game_Logs_Open(o, "bench_record", "farwake", 0, &error)) {
        st.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : st)
        Game_Main(nullptr);
    Game_Logs_Close();
}

void BM_Frame_Plain(benchmark::State &st) {
    Frames(st, GAME_LOG_OPTIONS_TYP{});
}
void BM_Frame_Recorded(benchmark::State &st) {
    GAME_LOG_OPTIONS_TYP o;
    o.record = "/tmp/fw_bench_record.rec";
    Frames(st, o);
    remove(o.record);
}
void BM_Frame_State_Log(benchmark::State &st) {
    GAME_LOG_OPTIONS_TYP o;
    o.state = "/tmp/fw_bench_record.jsonl";
    Frames(st, o);
    remove(o.state);
}
void BM_Frame_Entity_Log(benchmark::State &st) {
    GAME_LOG_OPTIONS_TYP o;
    o.entities = "/tmp/fw_bench_record.entities";
    Frames(st, o);
    remove(o.entities);
}

BENCHMARK(BM_Frame_Plain)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Frame_Recorded)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Frame_State_Log)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Frame_Entity_Log)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
