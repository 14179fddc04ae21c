// One 800 x 600 frame converted to ARGB8888 by the backend's tables and by SDL_ConvertPixels.
#include "platform/sdl/sdl_present.h"
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

std::vector<uint16_t> test_frame() {
    std::vector<uint16_t> px(800 * 600);
    uint32_t seed = 12345;
    for (uint16_t &p : px) {
        seed = seed * 1103515245u + 12345u;
        p = (uint16_t)(seed >> 16);
    }
    return px;
}

void BM_TableConvert(benchmark::State &state) {
    std::vector<uint16_t> src = test_frame();
    std::vector<uint32_t> dst(800 * 600);
    int packing = (int)state.range(0);
    for (auto _ : state) {
        Sdl_Convert_Frame(src.data(), 800, 600, 1600, packing, dst.data(), 3200);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * 800 * 600);
}

} // namespace

BENCHMARK(BM_TableConvert)->Arg(15)->Arg(16);

namespace {

void BM_SdlConvertPixels(benchmark::State &state) {
    std::vector<uint16_t> src = test_frame();
    std::vector<uint32_t> dst(800 * 600);
    Uint32 format = state.range(0) == 15 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
    for (auto _ : state) {
        SDL_ConvertPixels(800, 600, format, src.data(), 1600, SDL_PIXELFORMAT_ARGB8888, dst.data(),
                          3200);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * 800 * 600);
}

} // namespace

BENCHMARK(BM_SdlConvertPixels)->Arg(15)->Arg(16);

BENCHMARK_MAIN();
