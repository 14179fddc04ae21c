// Speed of the display device's hot paths against SDL's software routines on identical 16-bit
// surfaces: a keyed 64 x 64 sprite blit, a full 800 x 600 fill, and the 64K-table conversion of
// a finished frame to 32-bit that presentation does before the upload.
#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>
#include "engine/graphics/ddraw.h"
#include "platform/headless/headless.h"
#if FW_BENCH_SDL
#include <SDL.h>
#endif

namespace {

// Half of the sprite is transparent, in 8 x 8 blocks, as a sprite's runs of key pixels are.
USHORT sprite_pixel(int x, int y) {
    return ((x >> 3) + (y >> 3)) & 1 ? 0 : (USHORT)(0x1000 + x * 64 + y);
}

void open_display() {
    if (lpddsback) return;
    Headless_Reset(0);
    DDraw_Init(800, 600, 16, 0);
}

void BM_KeyedBlit_Ours(benchmark::State &state) {
    open_display();
    LPDIRECTDRAWSURFACE4 sprite = DDraw_Create_Surface(64, 64, DDSCAPS_SYSTEMMEMORY, 0);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            ((USHORT *)(sprite->memory.data() + y * sprite->pitch))[x] = sprite_pixel(x, y);
    RECT src = {0, 0, 64, 64};
    RECT dst = {368, 268, 432, 332};
    for (auto _ : state) {
        DDraw_Blt(lpddsback, &dst, sprite, &src, DDBLT_KEYSRC | DDBLT_WAIT);
        benchmark::ClobberMemory();
    }
    DDraw_Release_Surface(sprite);
}

} // namespace

BENCHMARK(BM_KeyedBlit_Ours);

namespace {

void BM_Fill_Ours(benchmark::State &state) {
    open_display();
    USHORT color = 0x1234;
    for (auto _ : state) {
        DDraw_Fill_Surface(lpddsback, color, nullptr);
        color ^= 0x0101;
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_Fill_Ours);

namespace {

// One frame's texts, laid out from the baked face each time: the game draws about a dozen.
void BM_Text_Frame(benchmark::State &state) {
    open_display();
    const char *lines[12] = {"Score 12300", "Ships 14", "Stations 2",  "Missiles 5",
                             "Fuel",        "Shields",  "You Win!",    "Game Over",
                             "x 12345",     "y -2345",  "Press Enter", "Radar"};
    for (auto _ : state) {
        for (int i = 0; i < 12; i++)
            Draw_Text_GDI(lines[i], 10, 10 + 20 * i, 0x0000FF00, lpddsback);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_Text_Frame);

namespace {

// The frame conversion of presentation: one lookup per pixel in a 64K table of 32-bit colours.
void BM_Convert_Table(benchmark::State &state) {
    std::vector<uint32_t> table(65536);
    for (uint32_t p = 0; p < 65536; p++) {
        auto expand = [](uint32_t v) { return (v << 3) | (v >> 2); };
        table[p] = 0xFF000000u | expand((p >> 10) & 31) << 16 | expand((p >> 5) & 31) << 8 |
                   expand(p & 31);
    }
    std::vector<uint16_t> frame(800 * 600);
    for (size_t i = 0; i < frame.size(); i++)
        frame[i] = (uint16_t)(i * 2654435761u >> 17);
    std::vector<uint32_t> out(800 * 600);
    for (auto _ : state) {
        for (int y = 0; y < 600; y++) {
            const uint16_t *src = frame.data() + y * 800;
            uint32_t *row = out.data() + y * 800;
            for (int x = 0; x < 800; x++)
                row[x] = table[src[x]];
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_Convert_Table);

#if FW_BENCH_SDL

namespace {

SDL_Surface *sdl_sprite() {
    SDL_Surface *s = SDL_CreateRGBSurfaceWithFormat(0, 64, 64, 16, SDL_PIXELFORMAT_RGB555);
    SDL_LockSurface(s);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 64; x++)
            ((uint16_t *)((uint8_t *)s->pixels + y * s->pitch))[x] = sprite_pixel(x, y);
    SDL_UnlockSurface(s);
    SDL_SetColorKey(s, SDL_TRUE, 0);
    return s;
}

void sdl_keyed_blit(benchmark::State &state, bool rle) {
    SDL_Surface *back = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 16, SDL_PIXELFORMAT_RGB555);
    SDL_Surface *sprite = sdl_sprite();
    SDL_SetSurfaceRLE(sprite, rle ? 1 : 0);
    SDL_Rect dst = {368, 268, 64, 64};
    for (auto _ : state) {
        SDL_Rect d = dst; // the blit writes back the clipped rectangle
        SDL_BlitSurface(sprite, nullptr, back, &d);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(back);
}
void BM_KeyedBlit_SDL(benchmark::State &state) {
    sdl_keyed_blit(state, false);
}
void BM_KeyedBlit_SDL_RLE(benchmark::State &state) {
    sdl_keyed_blit(state, true);
}

} // namespace

BENCHMARK(BM_KeyedBlit_SDL);
BENCHMARK(BM_KeyedBlit_SDL_RLE);

namespace {

void BM_Fill_SDL(benchmark::State &state) {
    SDL_Surface *back = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 16, SDL_PIXELFORMAT_RGB555);
    Uint32 color = 0x1234;
    for (auto _ : state) {
        SDL_FillRect(back, nullptr, color);
        color ^= 0x0101;
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(back);
}

} // namespace

BENCHMARK(BM_Fill_SDL);

namespace {

void BM_Convert_SDL(benchmark::State &state) {
    std::vector<uint16_t> frame(800 * 600);
    for (size_t i = 0; i < frame.size(); i++)
        frame[i] = (uint16_t)(i * 2654435761u >> 17);
    std::vector<uint32_t> out(800 * 600);
    for (auto _ : state) {
        SDL_ConvertPixels(800, 600, SDL_PIXELFORMAT_RGB555, frame.data(), 1600,
                          SDL_PIXELFORMAT_ARGB8888, out.data(), 3200);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_Convert_SDL);
#endif

BENCHMARK_MAIN();
