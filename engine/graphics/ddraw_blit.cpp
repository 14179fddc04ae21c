// Copies between surfaces (source colour key, nearest-neighbour scaling, clipping by the
// destination's clipper and bounds) and clipped colour fills.
#include <cstring>
#include <cwchar>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include "engine/graphics/ddraw.h"
#include "engine/graphics/ddraw_internal.h"

// Eight 16-bit pixels handled as one value; the compiler maps it to a vector register.
typedef uint16_t pixel8x16 __attribute__((vector_size(16)));

namespace {

bool rect_empty(const RECT &r) {
    return r.left >= r.right || r.top >= r.bottom;
}

RECT intersect(const RECT &a, const RECT &b) {
    RECT r;
    r.left = a.left > b.left ? a.left : b.left;
    r.top = a.top > b.top ? a.top : b.top;
    r.right = a.right < b.right ? a.right : b.right;
    r.bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
    return r;
}

// Calls draw(r) for each part of area that the destination may be written in: each clip
// rectangle cut to the surface, or the surface itself when no clipper is attached.
template <typename Draw>
void for_each_clip(LPDIRECTDRAWSURFACE4 dest, const RECT &area, Draw draw) {
    const RECT bounds = {0, 0, dest->width, dest->height};
    const RECT visible = intersect(area, bounds);
    if (rect_empty(visible)) return;
    if (!dest->clipper) {
        draw(visible);
        return;
    }
    for (const RECT &c : dest->clipper->rects) {
        const RECT part = intersect(c, visible);
        if (!rect_empty(part)) draw(part);
    }
}

// A keyed copy of rows x n 16-bit pixels (pitches in bytes): pixels equal to the key leave the
// destination as it was. Every destination pixel is read and written back, which lets the
// loop run eight pixels at a time.
void keyed_rect16_sse(uint8_t *d, size_t dpitch, const uint8_t *s, size_t spitch, int n, int rows,
                      uint16_t key) {
    const pixel8x16 keys = {key, key, key, key, key, key, key, key};
    for (int y = 0; y < rows; y++, d += dpitch, s += spitch) {
        uint16_t *__restrict dr = (uint16_t *)d;
        const uint16_t *__restrict sr = (const uint16_t *)s;
        int x = 0;
        for (; x + 8 <= n; x += 8) {
            pixel8x16 sv, dv;
            memcpy(&sv, sr + x, sizeof sv);
            memcpy(&dv, dr + x, sizeof dv);
            const pixel8x16 transparent = (pixel8x16)(sv == keys);
            dv = (dv & transparent) | (sv & ~transparent);
            memcpy(dr + x, &dv, sizeof dv);
        }
        for (; x < n; x++)
            if (sr[x] != key) dr[x] = sr[x];
    }
}

} // namespace

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__EMSCRIPTEN__)
#define FW_BLIT_AVX512 1

namespace {

// With AVX-512 a step is 32 pixels and only the opaque ones are stored: the destination is
// never read, and a row's end is a shorter mask rather than a loop of single pixels.
__attribute__((target("avx512f,avx512bw"))) void keyed_rect16_avx512(uint8_t *d, size_t dpitch,
                                                                     const uint8_t *s,
                                                                     size_t spitch, int n, int rows,
                                                                     uint16_t key) {
    const __m512i keys = _mm512_set1_epi16((short)key);
    const int whole = n & ~31;
    const __mmask32 tail = (__mmask32)((1ull << (n - whole)) - 1);
    for (int y = 0; y < rows; y++, d += dpitch, s += spitch) {
        uint16_t *dr = (uint16_t *)d;
        const uint16_t *sr = (const uint16_t *)s;
        for (int x = 0; x < whole; x += 32) {
            const __m512i sv = _mm512_loadu_si512(sr + x);
            _mm512_mask_storeu_epi16(dr + x, _mm512_cmpneq_epi16_mask(sv, keys), sv);
        }
        if (tail) {
            const __m512i sv = _mm512_maskz_loadu_epi16(tail, sr + whole);
            _mm512_mask_storeu_epi16(dr + whole, _mm512_mask_cmpneq_epi16_mask(tail, sv, keys), sv);
        }
    }
}

} // namespace
#endif

using Keyed_Rect16 = void (*)(uint8_t *, size_t, const uint8_t *, size_t, int, int, uint16_t);

namespace {

// The widest keyed copy this processor runs, chosen once.
Keyed_Rect16 pick_keyed_rect16() {
#ifdef FW_BLIT_AVX512
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
        return keyed_rect16_avx512;
#endif
    return keyed_rect16_sse;
}

void keyed_row8(uint8_t *d, const uint8_t *s, int n, uint8_t key) {
    for (int x = 0; x < n; x++)
        if (s[x] != key) d[x] = s[x];
}

} // namespace

// The source side of a copy: memory, pitch and the rectangle the copy reads.
struct Source {
    const uint8_t *memory;
    int pitch;
    RECT rect;
};

namespace {

template <typename Pixel>
void copy_part(LPDIRECTDRAWSURFACE4 dest, const RECT &drect, const Source &src, const RECT &part,
               bool keyed, Pixel key) {
    const long long sw = src.rect.right - src.rect.left, sh = src.rect.bottom - src.rect.top;
    const long long dw = (long long)drect.right - drect.left;
    const long long dh = (long long)drect.bottom - drect.top;
    const int n = part.right - part.left;
    // Nearest neighbour: destination column i of the rectangle reads source column i*sw/dw.
    static std::vector<int> column_map;
    const bool scaled_x = sw != dw;
    if (scaled_x) {
        column_map.resize((size_t)n);
        for (int i = 0; i < n; i++)
            column_map[(size_t)i] =
                (int)(src.rect.left + ((long long)part.left - drect.left + i) * sw / dw);
    }
    const int rows = part.bottom - part.top;
    if (!scaled_x && sh == dh) {
        // Unscaled: whole rows of a rectangle, without a division per row.
        const uint8_t *sp = src.memory +
                            (size_t)(src.rect.top + (part.top - drect.top)) * src.pitch +
                            (size_t)(src.rect.left + (part.left - drect.left)) * sizeof(Pixel);
        uint8_t *dp = dest->memory.data() + (size_t)part.top * dest->pitch +
                      (size_t)part.left * sizeof(Pixel);
        if (!keyed) {
            for (int y = 0; y < rows; y++)
                memcpy(dp + (size_t)y * dest->pitch, sp + (size_t)y * src.pitch,
                       (size_t)n * sizeof(Pixel));
        } else if constexpr (sizeof(Pixel) == 2) {
            static const Keyed_Rect16 keyed_rect = pick_keyed_rect16();
            keyed_rect(dp, (size_t)dest->pitch, sp, (size_t)src.pitch, n, rows, key);
        } else {
            for (int y = 0; y < rows; y++)
                keyed_row8(dp + (size_t)y * dest->pitch, sp + (size_t)y * src.pitch, n, key);
        }
        return;
    }
    for (int y = part.top; y < part.bottom; y++) {
        const long long sy = src.rect.top + ((long long)y - drect.top) * sh / dh;
        const Pixel *srow = (const Pixel *)(src.memory + sy * src.pitch);
        Pixel *drow = (Pixel *)(dest->memory.data() + (size_t)y * dest->pitch) + part.left;
        if (!scaled_x) {
            const Pixel *s = srow + src.rect.left + ((long long)part.left - drect.left);
            if (!keyed)
                memcpy(drow, s, (size_t)n * sizeof(Pixel));
            else if constexpr (sizeof(Pixel) == 2)
                keyed_rect16_sse((uint8_t *)drow, 0, (const uint8_t *)s, 0, n, 1, key);
            else
                keyed_row8(drow, s, n, key);
            continue;
        }
        for (int i = 0; i < n; i++) {
            const Pixel v = srow[column_map[(size_t)i]];
            if (!keyed || v != key) drow[i] = v;
        }
    }
}

} // namespace

int DDraw_Blt(LPDIRECTDRAWSURFACE4 dest, RECT *dest_rect, LPDIRECTDRAWSURFACE4 src, RECT *src_rect,
              int flags) {
    if (!dest || !src || dest->locked || src->locked || dest->bpp != src->bpp) return 0;
    // A colour fill has no colour here: fills go through DDraw_Fill_Surface.
    if (flags & DDBLT_COLORFILL) return 0;
    const RECT srect = src_rect ? *src_rect : RECT{0, 0, src->width, src->height};
    const RECT drect = dest_rect ? *dest_rect : RECT{0, 0, dest->width, dest->height};
    if (rect_empty(srect) || rect_empty(drect)) return 0;
    if (srect.left < 0 || srect.top < 0 || srect.right > src->width || srect.bottom > src->height)
        return 0;

    DDraw_Settle_Surface(src);
    DDraw_Settle_Surface(dest);
    Source from = {src->memory.data(), src->pitch, srect};
    // A copy within one surface reads a snapshot so overlapping parts are not read after
    // they were written.
    std::vector<uint8_t> snapshot;
    if (src == dest) {
        snapshot = src->memory;
        from.memory = snapshot.data();
    }
    const bool keyed = (flags & DDBLT_KEYSRC) != 0;
    for_each_clip(dest, drect, [&](const RECT &part) {
        if (dest->bpp == 16)
            copy_part<uint16_t>(dest, drect, from, part, keyed, src->color_key);
        else
            copy_part<uint8_t>(dest, drect, from, part, keyed, (uint8_t)src->color_key);
    });
    return 1;
}

namespace {

// One run of a 16-bit fill at the C library's memory speed: memset when both bytes of the
// colour agree (black, the clear of every frame), else wmemset of pixel pairs where wchar_t
// is 32 bits wide.
void fill_run16(uint16_t *d, size_t n, uint16_t color) {
    if ((color & 0xFF) == (color >> 8)) {
        memset(d, color & 0xFF, n * 2);
        return;
    }
    if constexpr (sizeof(wchar_t) == 4) {
        if (n > 0 && ((uintptr_t)d & 2)) {
            *d++ = color;
            n--;
        }
        const uint32_t pair = (uint32_t)color * 0x10001u;
        wchar_t w;
        memcpy(&w, &pair, sizeof w);
        wmemset((wchar_t *)(void *)d, w, n / 2);
        if (n & 1) d[n - 1] = color;
        return;
    }
    const pixel8x16 v = {color, color, color, color, color, color, color, color};
    size_t x = 0;
    for (; x + 8 <= n; x += 8)
        memcpy(d + x, &v, sizeof v);
    for (; x < n; x++)
        d[x] = color;
}

template <typename Pixel> void fill_part(LPDIRECTDRAWSURFACE4 dest, const RECT &part, Pixel color) {
    const size_t n = (size_t)(part.right - part.left);
    uint8_t *first = dest->memory.data() + (size_t)part.top * dest->pitch;
    // Whole rows of a surface without row padding make one run.
    const bool one_run = n * sizeof(Pixel) == (size_t)dest->pitch;
    const int rows = one_run ? 1 : part.bottom - part.top;
    const size_t run = one_run ? n * (size_t)(part.bottom - part.top) : n;
    for (int y = 0; y < rows; y++) {
        Pixel *row = (Pixel *)(first + (size_t)y * dest->pitch) + part.left;
        if constexpr (sizeof(Pixel) == 1)
            memset(row, color, run);
        else
            fill_run16(row, run, color);
    }
}

// A clipped colour fill of area; the low bits of color that the surface's pixels hold.
// Whether a fill of area writes every pixel of the surface.
bool covers_surface(LPDIRECTDRAWSURFACE4 dest, const RECT &area) {
    const RECT all = {0, 0, dest->width, dest->height};
    auto covers = [&](const RECT &r) {
        return r.left <= 0 && r.top <= 0 && r.right >= all.right && r.bottom >= all.bottom;
    };
    if (!covers(area)) return false;
    if (!dest->clipper) return true;
    for (const RECT &c : dest->clipper->rects)
        if (covers(c)) return true;
    return false;
}

void fill_area(LPDIRECTDRAWSURFACE4 dest, const RECT &area, unsigned color) {
    if (!dest || dest->locked || rect_empty(area)) return;
    if (covers_surface(dest, area))
        DDraw_Overwrite_Surface(dest);
    else
        DDraw_Settle_Surface(dest);
    for_each_clip(dest, area, [&](const RECT &part) {
        if (dest->bpp == 16)
            fill_part<uint16_t>(dest, part, (uint16_t)color);
        else
            fill_part<uint8_t>(dest, part, (uint8_t)color);
    });
}

} // namespace

int DDraw_Fill_Surface(LPDIRECTDRAWSURFACE4 lpdds, USHORT color, RECT *client) {
    if (!lpdds) return 1;
    fill_area(lpdds, client ? *client : RECT{0, 0, lpdds->width, lpdds->height}, color);
    return 1;
}

int Draw_Rectangle(int x1, int y1, int x2, int y2, int color, LPDIRECTDRAWSURFACE4 lpdds) {
    fill_area(lpdds, RECT{x1, y1, x2, y2}, (unsigned)color);
    return 1;
}
