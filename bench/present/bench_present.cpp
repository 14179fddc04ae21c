// The present path at 1920x1080 on SDL's software renderer: the 800x600 frame converted to 32
// bits, scaled to 1440x1080 and copied onto the screen. The backend's sharp scaling (its own
// pass, then a plain copy) beside SDL's stretches to the same size (nearest; linear; and the
// same sharp result through a 1600x1200 target texture) and the whole-multiple 800x600.
#include "platform/sdl/sdl_present.h"
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int SCREEN_W = 1920, SCREEN_H = 1080, FRAME_W = 800, FRAME_H = 600;

enum { OURS_SHARP, WHOLE_MULTIPLE, SDL_NEAREST, SDL_LINEAR, SDL_TWO_PASS };

std::vector<uint16_t> Test_Frame() {
    std::vector<uint16_t> px(FRAME_W * FRAME_H);
    uint32_t seed = 12345;
    for (uint16_t &p : px) {
        seed = seed * 1103515245u + 12345u;
        p = (uint16_t)(seed >> 16);
    }
    return px;
}

void BM_Present1080(benchmark::State &state, int mode) {
    SDL_Surface *screen =
        SDL_CreateRGBSurfaceWithFormat(0, SCREEN_W, SCREEN_H, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer *renderer = screen ? SDL_CreateSoftwareRenderer(screen) : nullptr;
    if (!renderer) {
        state.SkipWithError("no software renderer");
        return;
    }
    SDL_Rect dest;
    if (mode == WHOLE_MULTIPLE)
        Sdl_Letterbox(SCREEN_W, SCREEN_H, FRAME_W, FRAME_H, &dest.x, &dest.y, &dest.w, &dest.h);
    else
        Sdl_Fill_Rect(SCREEN_W, SCREEN_H, FRAME_W, FRAME_H, &dest.x, &dest.y, &dest.w, &dest.h);
    // Ours converts into a buffer and scales into a texture of the final size; SDL's stretch
    // from a frame-sized texture.
    bool ours = mode == OURS_SHARP || mode == WHOLE_MULTIPLE;
    SDL_Texture *tex =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                          ours ? dest.w : FRAME_W, ours ? dest.h : FRAME_H);
    SDL_Texture *big = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                         SDL_TEXTUREACCESS_TARGET, 2 * FRAME_W, 2 * FRAME_H);
    SDL_SetTextureScaleMode(tex, mode == SDL_LINEAR ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_SetTextureScaleMode(big, SDL_ScaleModeLinear);
    std::vector<uint16_t> src = Test_Frame();
    Sdl_Sharp_Scaler sharp;
    for (auto _ : state) {
        void *dst = nullptr;
        int pitch = 0;
        SDL_LockTexture(tex, nullptr, &dst, &pitch);
        if (mode == OURS_SHARP) {
            Sdl_Sharp_Scale(src.data(), FRAME_W, FRAME_H, FRAME_W * 2, 15, (uint32_t *)dst, dest.w,
                            dest.h, pitch, &sharp);
        } else {
            Sdl_Convert_Frame(src.data(), FRAME_W, FRAME_H, FRAME_W * 2, 15, (uint32_t *)dst,
                              pitch);
        }
        SDL_UnlockTexture(tex);
        SDL_Texture *shown = tex;
        if (mode == SDL_TWO_PASS) {
            SDL_SetRenderTarget(renderer, big);
            SDL_RenderCopy(renderer, tex, nullptr, nullptr);
            SDL_SetRenderTarget(renderer, nullptr);
            shown = big;
        }
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, shown, nullptr, &dest);
        SDL_RenderPresent(renderer);
        benchmark::DoNotOptimize(screen->pixels);
    }
    state.SetItemsProcessed(state.iterations());
    SDL_DestroyTexture(big);
    SDL_DestroyTexture(tex);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(screen);
}
// The backend's own pass alone: conversion and sharp scaling to 1440x1080 (the window surface
// path, where nothing else touches the pixels), with the vector loops and with the plain ones
// every processor has, against conversion alone at 800x600.
void BM_SharpScaleOnly(benchmark::State &state, int scaled) {
    std::vector<uint16_t> src = Test_Frame();
    // In the game the window's pixels are out of the cache when the next frame is drawn (the
    // display server has read them since): eight outputs in turn, 50 MB, more than a cache holds.
    std::vector<std::vector<uint32_t>> outs(8, std::vector<uint32_t>(1440 * 1080));
    Sdl_Sharp_Scaler sharp;
    sharp.portable = scaled == 2;
    size_t turn = 0;
    for (auto _ : state) {
        uint32_t *out = outs[turn++ % outs.size()].data();
        if (scaled)
            Sdl_Sharp_Scale(src.data(), FRAME_W, FRAME_H, FRAME_W * 2, 15, out, 1440, 1080,
                            1440 * 4, &sharp);
        else
            Sdl_Convert_Frame(src.data(), FRAME_W, FRAME_H, FRAME_W * 2, 15, out, FRAME_W * 4);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_SharpScaleOnly, convert_800x600, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SharpScaleOnly, sharp_1440x1080, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SharpScaleOnly, sharp_1440x1080_plain_loops, 2)->Unit(benchmark::kMillisecond);

// The window surface path as the game uses it: a black sky of 400 dots (stars, shots) that all
// move a pixel each picture, scaled whole every time beside drawn again only where it changed
// into the one kept window surface.
void BM_SharpScaleMoving(benchmark::State &state, bool changes_only) {
    std::vector<uint16_t> src(FRAME_W * FRAME_H, 0);
    std::vector<uint32_t> out(1440 * 1080);
    Sdl_Sharp_Scaler sharp;
    uint32_t seed = 777;
    std::vector<int> dots(400);
    for (int &d : dots) {
        seed = seed * 1103515245u + 12345u;
        d = (int)(seed >> 8) % (FRAME_W * FRAME_H - FRAME_W);
    }
    int step = 0;
    for (auto _ : state) {
        for (int d : dots)
            src[(size_t)(d + step % FRAME_W)] = 0;
        step++;
        for (int d : dots)
            src[(size_t)(d + step % FRAME_W)] = 0xFFFF;
        int first, end;
        if (changes_only)
            Sdl_Sharp_Scale_Changes(src.data(), FRAME_W, FRAME_H, FRAME_W * 2, 16, out.data(), 1440,
                                    1080, 1440 * 4, true, &sharp, &first, &end);
        else
            Sdl_Sharp_Scale(src.data(), FRAME_W, FRAME_H, FRAME_W * 2, 16, out.data(), 1440, 1080,
                            1440 * 4, &sharp);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK_CAPTURE(BM_SharpScaleMoving, whole, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SharpScaleMoving, changes_only, true)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_Present1080, ours_sharp, OURS_SHARP)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Present1080, whole_multiple, WHOLE_MULTIPLE)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Present1080, sdl_nearest, SDL_NEAREST)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Present1080, sdl_linear, SDL_LINEAR)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Present1080, sdl_two_pass, SDL_TWO_PASS)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
