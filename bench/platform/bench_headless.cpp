// The headless backend's virtual clock: a minute of 30 ms frames with an audio callback pulled
// at 44100 Hz and captured, as a headless game run does it.
#include "platform/headless/headless.h"
#include <benchmark/benchmark.h>

namespace {

void fill(int16_t *out, int frames, void *) {
    for (int i = 0; i < 2 * frames; i++)
        out[i] = (int16_t)i;
}

void BM_MinuteOfFrames(benchmark::State &state) {
    for (auto _ : state) {
        Headless_Reset(0);
        int rate = 0;
        Plat_Audio_Open(44100, 1024, fill, nullptr, &rate);
        Headless_Capture_Audio((int)state.range(0));
        for (uint32_t t = 30; t <= 60000; t += 30)
            Plat_Wait_Until(t);
        benchmark::DoNotOptimize(Headless_Audio().data());
    }
}

} // namespace

BENCHMARK(BM_MinuteOfFrames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
