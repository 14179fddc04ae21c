// The speed work side by side: each hot path as it was (bench_speed_old.cpp) and as it is,
// timed in one process on the same data, then the ratios of the medians printed at the end.
// Pairs are named BM_<what>/old and BM_<what>/new; /ref rows are the yardsticks (memset,
// memcpy, SDL).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/speed/bench_speed_old.h"
#include "engine/graphics/bob.h"
#include "engine/graphics/ddraw.h"
#include "platform/headless/headless.h"
#include "platform/sdl/sdl_present.h"
#include "engine/graphics/crc32.h"
#include "tools/headless/wav_stream.h"
#if FW_BENCH_SDL
#include <SDL.h>
#endif

namespace {

std::vector<uint16_t> Noise_Frame() {
    std::vector<uint16_t> px(800 * 600);
    uint32_t seed = 12345;
    for (uint16_t &p : px) {
        seed = seed * 1103515245u + 12345u;
        p = (uint16_t)(seed >> 16);
    }
    return px;
}

void Open_Display() {
    if (lpddsback) return;
    Headless_Reset(0);
    DDraw_Init(800, 600, 16, 0);
}

// ---- the frame checksum of the headless runner ----

void BM_Checksum_old(benchmark::State &state) {
    std::vector<uint16_t> f = Noise_Frame();
    for (auto _ : state)
        benchmark::DoNotOptimize(Old_Frame_Crc(f.data(), 800, 600, 1600));
}
void BM_Checksum_new(benchmark::State &state) {
    std::vector<uint16_t> f = Noise_Frame();
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc32_Update(0, f.data(), f.size() * 2));
}
BENCHMARK(BM_Checksum_old)->Name("BM_Checksum/old");
BENCHMARK(BM_Checksum_new)->Name("BM_Checksum/new");

// ---- the clear of 800 x 600 (black, as every frame starts, and a two-byte colour) ----

void BM_Clear_old(benchmark::State &state) {
    Open_Display();
    const uint16_t c = (uint16_t)state.range(0);
    for (auto _ : state) {
        Old_Fill16((uint16_t *)lpddsback->memory.data(), 800 * 600, c);
        benchmark::ClobberMemory();
    }
}
void BM_Clear_new(benchmark::State &state) {
    Open_Display();
    const uint16_t c = (uint16_t)state.range(0);
    for (auto _ : state) {
        DDraw_Fill_Surface(lpddsback, c, nullptr);
        benchmark::ClobberMemory();
    }
}
void BM_Clear_memset(benchmark::State &state) {
    Open_Display();
    for (auto _ : state) {
        memset(lpddsback->memory.data(), (int)(state.range(0) & 0xFF), 800 * 600 * 2);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Clear_old)->Name("BM_Clear0/old")->Arg(0);
BENCHMARK(BM_Clear_new)->Name("BM_Clear0/new")->Arg(0);
BENCHMARK(BM_Clear_memset)->Name("BM_Clear0/ref")->Arg(0);
BENCHMARK(BM_Clear_old)->Name("BM_Clear1234/old")->Arg(0x1234);
BENCHMARK(BM_Clear_new)->Name("BM_Clear1234/new")->Arg(0x1234);
BENCHMARK(BM_Clear_memset)->Name("BM_Clear1234/ref")->Arg(0x1234);

// ---- the flip: clear, then show; the old flip copied the back surface into the primary ----

void BM_ClearAndFlip_old(benchmark::State &state) {
    Open_Display();
    for (auto _ : state) {
        Old_Fill16((uint16_t *)lpddsback->memory.data(), 800 * 600, 0);
        Plat_Present((const uint16_t *)lpddsback->memory.data(), 800, 600, 1600, 15);
        memcpy(lpddsprimary->memory.data(), lpddsback->memory.data(), 800 * 600 * 2);
        benchmark::ClobberMemory();
    }
}
void BM_ClearAndFlip_new(benchmark::State &state) {
    Open_Display();
    for (auto _ : state) {
        DDraw_Fill_Surface(lpddsback, 0, nullptr);
        DDraw_Flip();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearAndFlip_old)->Name("BM_ClearAndFlip/old");
BENCHMARK(BM_ClearAndFlip_new)->Name("BM_ClearAndFlip/new");

// ---- a frame's 84 keyed sprites (as bench_bob: 20 craft, 50 shots, 12 missiles, 2 stations) ----

struct Kind {
    int size, count;
};
constexpr Kind kKinds[] = {{49, 20}, {13, 50}, {39, 12}, {120, 2}};
struct Place {
    int kind, x, y;
};

USHORT Disc_Pixel(int size, int x, int y) {
    int c = size / 2, dx = x - c, dy = y - c;
    return dx * dx + dy * dy <= c * c ? (USHORT)(0x1000 + x * 37 + y) : 0;
}

std::vector<Place> Places() {
    std::vector<Place> out;
    unsigned seed = 12345;
    for (int k = 0; k < 4; k++)
        for (int i = 0; i < kKinds[k].count; i++) {
            seed = seed * 1103515245u + 12345u;
            int x = (int)((seed >> 8) % 880) - 40;
            seed = seed * 1103515245u + 12345u;
            int y = (int)((seed >> 8) % 680) - 40;
            out.push_back({k, x, y});
        }
    return out;
}

struct Sprites {
    LPDIRECTDRAWSURFACE4 frames[4];
    Sprites() {
        Open_Display();
        for (int k = 0; k < 4; k++) {
            int s = kKinds[k].size;
            frames[k] = DDraw_Create_Surface(s, s, DDSCAPS_SYSTEMMEMORY, 0);
            for (int y = 0; y < s; y++)
                for (int x = 0; x < s; x++)
                    ((USHORT *)(frames[k]->memory.data() + (size_t)y * frames[k]->pitch))[x] =
                        Disc_Pixel(s, x, y);
        }
    }
    ~Sprites() {
        for (auto f : frames)
            DDraw_Release_Surface(f);
    }
};

void BM_Sprites_old(benchmark::State &state) {
    Sprites sp;
    std::vector<Place> places = Places();
    for (auto _ : state) {
        for (const Place &p : places) {
            int s = kKinds[p.kind].size;
            RECT src{0, 0, s, s}, dst{p.x, p.y, p.x + s, p.y + s};
            Old_DDraw_Blt(lpddsback, &dst, sp.frames[p.kind], &src, DDBLT_KEYSRC | DDBLT_WAIT);
        }
        benchmark::ClobberMemory();
    }
}
void BM_Sprites_new(benchmark::State &state) {
    Sprites sp;
    std::vector<Place> places = Places();
    for (auto _ : state) {
        for (const Place &p : places) {
            int s = kKinds[p.kind].size;
            RECT src{0, 0, s, s}, dst{p.x, p.y, p.x + s, p.y + s};
            DDraw_Blt(lpddsback, &dst, sp.frames[p.kind], &src, DDBLT_KEYSRC | DDBLT_WAIT);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Sprites_old)->Name("BM_Sprites84/old");
BENCHMARK(BM_Sprites_new)->Name("BM_Sprites84/new");
#if FW_BENCH_SDL
void BM_Sprites_SDL_RLE(benchmark::State &state) {
    SDL_Surface *screen = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 16, SDL_PIXELFORMAT_RGB555);
    SDL_Surface *sprites[4];
    for (int k = 0; k < 4; k++) {
        int s = kKinds[k].size;
        sprites[k] = SDL_CreateRGBSurfaceWithFormat(0, s, s, 16, SDL_PIXELFORMAT_RGB555);
        SDL_LockSurface(sprites[k]);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++)
                ((uint16_t *)((uint8_t *)sprites[k]->pixels + (size_t)y * sprites[k]->pitch))[x] =
                    Disc_Pixel(s, x, y);
        SDL_UnlockSurface(sprites[k]);
        SDL_SetColorKey(sprites[k], SDL_TRUE, 0);
        SDL_SetSurfaceRLE(sprites[k], 1);
    }
    std::vector<Place> places = Places();
    for (auto _ : state) {
        for (const Place &p : places) {
            SDL_Rect dst{p.x, p.y, 0, 0};
            SDL_BlitSurface(sprites[p.kind], nullptr, screen, &dst);
        }
        benchmark::ClobberMemory();
    }
    for (auto s : sprites)
        SDL_FreeSurface(s);
    SDL_FreeSurface(screen);
}
BENCHMARK(BM_Sprites_SDL_RLE)->Name("BM_Sprites84/ref");
#endif

// ---- an 800 x 600 frame to 32-bit pixels ----

void BM_Convert_old(benchmark::State &state) {
    std::vector<uint16_t> f = Noise_Frame();
    std::vector<uint32_t> out(800 * 600);
    for (auto _ : state) {
        Old_Convert_Frame(f.data(), 800, 600, 1600, 15, out.data(), 3200);
        benchmark::ClobberMemory();
    }
}
void BM_Convert_new(benchmark::State &state) {
    std::vector<uint16_t> f = Noise_Frame();
    std::vector<uint32_t> out(800 * 600);
    for (auto _ : state) {
        Sdl_Convert_Frame(f.data(), 800, 600, 1600, 15, out.data(), 3200);
        benchmark::ClobberMemory();
    }
}
// The memory traffic alone: read the frame, write twice its size.
void BM_Convert_traffic(benchmark::State &state) {
    std::vector<uint16_t> f = Noise_Frame();
    std::vector<uint32_t> out(800 * 600);
    for (auto _ : state) {
        memcpy(out.data(), f.data(), f.size() * 2);
        memcpy(out.data() + f.size() / 2, f.data(), f.size() * 2);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Convert_old)->Name("BM_Convert/old");
BENCHMARK(BM_Convert_new)->Name("BM_Convert/new");
BENCHMARK(BM_Convert_traffic)->Name("BM_Convert/ref");

// ---- a minute of the mix written as WAV ----

std::vector<int16_t> Minute_Of_Mix() {
    std::vector<int16_t> v(44100 * 60 * 2);
    for (size_t i = 0; i < v.size(); i++)
        v[i] = (int16_t)(i * 7919);
    return v;
}
void BM_Wav_old(benchmark::State &state) {
    std::vector<int16_t> mix = Minute_Of_Mix();
    for (auto _ : state)
        Old_Write_Wav("/tmp/fw_bench_speed.wav", mix, 44100);
    remove("/tmp/fw_bench_speed.wav");
}
void BM_Wav_new(benchmark::State &state) {
    std::vector<int16_t> mix = Minute_Of_Mix();
    for (auto _ : state) {
        WAV_STREAM_TYP w;
        Wav_Stream_Open(&w, "/tmp/fw_bench_speed.wav");
        // The runner's pieces: what one 30 ms frame pulls, at most 1024 frames at a time.
        for (size_t at = 0; at < mix.size(); at += 2048)
            Wav_Stream_Write(&w, mix.data() + at, std::min<size_t>(2048, mix.size() - at));
        Wav_Stream_Close(&w, 44100);
    }
    remove("/tmp/fw_bench_speed.wav");
}
BENCHMARK(BM_Wav_old)->Name("BM_WavMinute/old")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wav_new)->Name("BM_WavMinute/new")->Unit(benchmark::kMillisecond);

// Keeps the median CPU time of every run and prints old/new, new/ref and old/ref at the end.
class Ratio_Reporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> median_cpu;
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                median_cpu[r.run_name.function_name] = r.GetAdjustedCPUTime();
            else if (r.run_type == Run::RT_Iteration && !median_cpu.count(r.benchmark_name()))
                single[r.run_name.function_name] = r.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (auto &kv : single)
            median_cpu.emplace(kv.first, kv.second); // runs without repetitions
        std::map<std::string, std::map<std::string, double>> by_what;
        for (auto &kv : median_cpu) {
            const size_t slash = kv.first.rfind('/');
            if (slash == std::string::npos) continue;
            by_what[kv.first.substr(0, slash)][kv.first.substr(slash + 1)] = kv.second;
        }
        printf("\n%-18s %12s %12s %12s %9s %9s %9s\n", "CPU time (median)", "old", "new", "ref",
               "old/new", "new/ref", "old/ref");
        for (auto &w : by_what) {
            auto get = [&](const char *k) { return w.second.count(k) ? w.second[k] : 0.0; };
            const double o = get("old"), n = get("new"), r = get("ref");
            printf("%-18s %12.1f %12.1f %12.1f %9.2f %9.2f %9.2f\n", w.first.c_str(), o, n, r,
                   n > 0 ? o / n : 0.0, r > 0 ? n / r : 0.0, r > 0 ? o / r : 0.0);
        }
    }

  private:
    std::map<std::string, double> single;
};

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    Ratio_Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
