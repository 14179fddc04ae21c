// Filled triangles per second on the 800x600 16-bit surface: float edges against 16.16 fixed
// point, with the pixels written per second beside them.
#include "engine/graphics/draw2d.h"
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

struct Tri {
    int v[6];
};

std::vector<Tri> triangles(int size) {
    std::mt19937 rng(42);
    std::vector<Tri> t(1024);
    for (auto &tri : t) {
        int cx = (int)(rng() % 800), cy = (int)(rng() % 600);
        for (int k = 0; k < 3; k++) {
            tri.v[2 * k] = cx + (int)(rng() % (2 * size + 1)) - size;
            tri.v[2 * k + 1] = cy + (int)(rng() % (2 * size + 1)) - size;
        }
    }
    return t;
}

template <void (*Fn)(int, int, int, int, int, int, int, UCHAR *, int)>
void BM_Triangles(benchmark::State &state) {
    std::vector<USHORT> px(800 * 600);
    min_clip_x = 0;
    max_clip_x = 799;
    min_clip_y = 0;
    max_clip_y = 599;
    auto tris = triangles((int)state.range(0));
    size_t i = 0;
    for (auto _ : state) {
        const Tri &t = tris[i++ & 1023];
        Fn(t.v[0], t.v[1], t.v[2], t.v[3], t.v[4], t.v[5], (int)i, (UCHAR *)px.data(), 1600);
    }
    benchmark::DoNotOptimize(px.data());
    // Count what one pass over the set writes, to report pixels per second.
    std::fill(px.begin(), px.end(), 0);
    long long pixels = 0;
    for (auto &t : tris) {
        std::fill(px.begin(), px.end(), 0);
        Fn(t.v[0], t.v[1], t.v[2], t.v[3], t.v[4], t.v[5], 1, (UCHAR *)px.data(), 1600);
        for (USHORT p : px)
            pixels += p != 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["pixels/s"] = benchmark::Counter(
        (double)pixels / 1024.0 * (double)state.iterations(), benchmark::Counter::kIsRate);
}

BENCHMARK_TEMPLATE(BM_Triangles, Draw_Triangle16)->Arg(8)->Arg(32)->Arg(128);
BENCHMARK_TEMPLATE(BM_Triangles, Draw_Triangle_Fixed16)->Arg(8)->Arg(32)->Arg(128);

} // namespace

BENCHMARK_MAIN();
