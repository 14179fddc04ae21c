// One frame's worth of the game's sprites (20 craft 49x49, 50 shots 13x13, 12 missiles 39x39,
// 2 stations 120x120, some across the screen edge) drawn onto the 800 x 600 back surface with
// Draw_BOB16, and the same draws through SDL_BlitSurface with a colour key and RLE.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "engine/graphics/bob.h"
#include "platform/headless/headless.h"
#ifdef FW_BENCH_SDL
#include <SDL.h>
#endif

namespace {

struct Sprite_Kind {
    int size, count;
};
constexpr Sprite_Kind kKinds[] = {{49, 20}, {13, 50}, {39, 12}, {120, 2}};

// A round sprite: opaque disc, key 0 in the corners, as the game's pictures are.
USHORT Disc_Pixel(int size, int x, int y) {
    int c = size / 2, dx = x - c, dy = y - c;
    return dx * dx + dy * dy <= c * c ? (USHORT)(0x1000 + x * 37 + y) : 0;
}

// Positions spread over the screen and a little beyond it, the same in both halves.
struct Placement {
    int kind, x, y;
};

std::vector<Placement> Placements() {
    std::vector<Placement> out;
    unsigned seed = 12345;
    for (int k = 0; k < 4; k++) {
        for (int i = 0; i < kKinds[k].count; i++) {
            seed = seed * 1103515245u + 12345u;
            int x = (int)((seed >> 8) % 880) - 40;
            seed = seed * 1103515245u + 12345u;
            int y = (int)((seed >> 8) % 680) - 40;
            out.push_back({k, x, y});
        }
    }
    return out;
}

void BM_Draw_BOB16_Frame(benchmark::State &state) {
    Headless_Reset(0);
    DDraw_Init(800, 600, 16, 0);
    BOB_TYP templ[4];
    for (int k = 0; k < 4; k++) {
        int s = kKinds[k].size;
        std::memset(&templ[k], 0, sizeof templ[k]);
        Create_BOB(&templ[k], 0, 0, s, s, 1, BOB_ATTR_VISIBLE | BOB_ATTR_SINGLE_FRAME,
                   DDSCAPS_SYSTEMMEMORY, 0, 16);
        LPDIRECTDRAWSURFACE4 f = templ[k].frames[0];
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                USHORT v = Disc_Pixel(s, x, y);
                std::memcpy(f->memory.data() + (size_t)y * f->pitch + 2 * x, &v, 2);
            }
    }
    std::vector<Placement> places = Placements();
    std::vector<BOB_TYP> bobs(places.size());
    for (size_t i = 0; i < places.size(); i++) {
        bobs[i] = templ[places[i].kind]; // byte copies, as the game's pools are
        bobs[i].x = places[i].x;
        bobs[i].y = places[i].y;
    }
    for (auto _ : state) {
        for (auto &b : bobs)
            Draw_BOB16(&b, lpddsback);
        benchmark::DoNotOptimize(lpddsback->memory.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)bobs.size());
    for (auto &b : templ)
        Destroy_BOB(&b);
    DDraw_Shutdown();
}
BENCHMARK(BM_Draw_BOB16_Frame);

// The same blits issued straight to the display device: what Draw_BOB16 adds on top of them.
void BM_DDraw_Blt_Frame(benchmark::State &state) {
    Headless_Reset(0);
    DDraw_Init(800, 600, 16, 0);
    LPDIRECTDRAWSURFACE4 frames[4];
    for (int k = 0; k < 4; k++) {
        int s = kKinds[k].size;
        frames[k] = DDraw_Create_Surface(s, s, DDSCAPS_SYSTEMMEMORY, 0);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                USHORT v = Disc_Pixel(s, x, y);
                std::memcpy(frames[k]->memory.data() + (size_t)y * frames[k]->pitch + 2 * x, &v, 2);
            }
    }
    std::vector<Placement> places = Placements();
    for (auto _ : state) {
        for (const Placement &p : places) {
            int s = kKinds[p.kind].size;
            RECT src{0, 0, s, s};
            RECT dst{p.x, p.y, p.x + s, p.y + s};
            DDraw_Blt(lpddsback, &dst, frames[p.kind], &src, DDBLT_KEYSRC | DDBLT_WAIT);
        }
        benchmark::DoNotOptimize(lpddsback->memory.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)places.size());
    DDraw_Shutdown();
}
BENCHMARK(BM_DDraw_Blt_Frame);

#ifdef FW_BENCH_SDL
void BM_SDL_BlitSurface_RLE_Frame(benchmark::State &state) {
    SDL_Surface *screen = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 16, SDL_PIXELFORMAT_RGB555);
    SDL_Surface *sprites[4];
    for (int k = 0; k < 4; k++) {
        int s = kKinds[k].size;
        sprites[k] = SDL_CreateRGBSurfaceWithFormat(0, s, s, 16, SDL_PIXELFORMAT_RGB555);
        SDL_LockSurface(sprites[k]);
        for (int y = 0; y < s; y++)
            for (int x = 0; x < s; x++) {
                USHORT v = Disc_Pixel(s, x, y);
                std::memcpy((uint8_t *)sprites[k]->pixels + (size_t)y * sprites[k]->pitch + 2 * x,
                            &v, 2);
            }
        SDL_UnlockSurface(sprites[k]);
        SDL_SetColorKey(sprites[k], SDL_TRUE, 0);
        SDL_SetSurfaceRLE(sprites[k], 1);
    }
    std::vector<Placement> places = Placements();
    for (auto _ : state) {
        for (const Placement &p : places) {
            SDL_Rect dst{p.x, p.y, 0, 0};
            SDL_BlitSurface(sprites[p.kind], nullptr, screen, &dst);
        }
        benchmark::DoNotOptimize(screen->pixels);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)places.size());
    for (SDL_Surface *s : sprites)
        SDL_FreeSurface(s);
    SDL_FreeSurface(screen);
}
BENCHMARK(BM_SDL_BlitSurface_RLE_Frame);
#endif

} // namespace

BENCHMARK_MAIN();
