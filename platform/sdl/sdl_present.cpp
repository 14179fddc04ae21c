// The SDL backend's frame arithmetic: conversion to 32-bit pixels, letterbox, fill and window
// scale.
#include "platform/sdl/sdl_present.h"
#include <cstddef>
#include <cstring>
#include <vector>

// Sixteen pixels at a time in vector registers; the compiler picks the instructions. The helpers
// are internal and inlined, so how a 64-byte vector would be passed between files is moot.
#if defined(__GNUC__) // GCC and clang
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
typedef uint16_t Pixels16x16 __attribute__((vector_size(32)));
typedef uint32_t Pixels32x16 __attribute__((vector_size(64)));

namespace {

// Components widen by repeating their top bits, so 0 stays 0 and full stays 255.
template <typename V> inline V expand5(V v) {
    return (v << 3) | (v >> 2);
}
template <typename V> inline V expand6(V v) {
    return (v << 2) | (v >> 4);
}

// One 16-bit pixel (or eight) to opaque ARGB8888.
template <int Packing, typename V> inline V argb(V p) {
    if constexpr (Packing == 15)
        return 0xFF000000u | expand5((p >> 10) & 31) << 16 | expand5((p >> 5) & 31) << 8 |
               expand5(p & 31);
    else
        return 0xFF000000u | expand5((p >> 11) & 31) << 16 | expand6((p >> 5) & 63) << 8 |
               expand5(p & 31);
}

template <int Packing> inline void convert_row(const uint16_t *in, uint32_t *out, int width) {
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        Pixels16x16 v;
        memcpy(&v, in + x, sizeof v);
        const Pixels32x16 o = argb<Packing>(__builtin_convertvector(v, Pixels32x16));
        memcpy(out + x, &o, sizeof o);
    }
    for (; x < width; x++)
        out[x] = argb<Packing>((uint32_t)in[x]);
}

} // namespace

// Built twice on x86-64, for AVX2 and for the baseline, and chosen when the program loads.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__EMSCRIPTEN__) && defined(__ELF__)
#define FW_CONVERT_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define FW_CONVERT_CLONES
#endif

FW_CONVERT_CLONES
void Sdl_Convert_Frame(const uint16_t *src, int width, int height, int src_pitch_bytes, int packing,
                       uint32_t *dst, int dst_pitch_bytes) {
    for (int y = 0; y < height; y++) {
        const uint16_t *in =
            (const uint16_t *)((const uint8_t *)src + (size_t)y * (size_t)src_pitch_bytes);
        uint32_t *out = (uint32_t *)((uint8_t *)dst + (size_t)y * (size_t)dst_pitch_bytes);
        if (packing == 15)
            convert_row<15>(in, out, width);
        else
            convert_row<16>(in, out, width);
    }
}

void Sdl_Letterbox(int out_w, int out_h, int width, int height, int *x, int *y, int *w, int *h) {
    int k = Sdl_Window_Scale(out_w, out_h, width, height);
    int rw, rh;
    if (out_w >= width && out_h >= height) {
        rw = width * k;
        rh = height * k;
    } else if ((int64_t)out_w * height <= (int64_t)out_h * width) {
        rw = out_w;
        rh = (int)((int64_t)out_w * height / width);
    } else {
        rh = out_h;
        rw = (int)((int64_t)out_h * width / height);
    }
    *x = (out_w - rw) / 2;
    *y = (out_h - rh) / 2;
    *w = rw;
    *h = rh;
}

int Sdl_Window_Scale(int area_w, int area_h, int width, int height) {
    if (width <= 0 || height <= 0) return 1;
    int kw = area_w / width, kh = area_h / height;
    int k = kw < kh ? kw : kh;
    return k < 1 ? 1 : k;
}

void Sdl_Fill_Rect(int out_w, int out_h, int width, int height, int *x, int *y, int *w, int *h) {
    int rw = out_w, rh = out_h;
    if (width > 0 && height > 0) {
        if ((int64_t)out_w * height <= (int64_t)out_h * width)
            rh = (int)((int64_t)out_w * height / width);
        else
            rw = (int)((int64_t)out_h * width / height);
    }
    *x = (out_w - rw) / 2;
    *y = (out_h - rh) / 2;
    *w = rw;
    *h = rh;
}

int Sdl_Upscale_Factor(int dest_w, int dest_h, int width, int height) {
    if (width <= 0 || height <= 0) return 1;
    int kw = (dest_w + width - 1) / width, kh = (dest_h + height - 1) / height;
    int k = kw > kh ? kw : kh;
    return k < 1 ? 1 : k;
}

void Sdl_Start_Window_Size(int desk_w, int desk_h, int width, int height, int *w, int *h) {
    int k = Sdl_Window_Scale((int)((int64_t)desk_w * 9 / 10), (int)((int64_t)desk_h * 9 / 10),
                             width, height);
    *w = width * k;
    *h = height * k;
}

void Sdl_Sharp_Taps(int from, int out, int k, Sdl_Sharp_Axis *axis) {
    axis->from = from;
    axis->to = out;
    axis->k = k;
    axis->index.assign(out > 0 ? (size_t)out : 0, 0);
    axis->weight.assign(out > 0 ? (size_t)out : 0, 0);
    if (from <= 0 || out <= 0 || k <= 0) return;
    int64_t big = (int64_t)from * k;
    for (int i = 0; i < out; i++) {
        // Centre of output pixel i in the enlarged picture, in 1/256 of its pixels:
        // (i + 1/2) * big / out - 1/2.
        int64_t p = ((2 * (int64_t)i + 1) * big * 256) / (2 * (int64_t)out) - 128;
        if (p < 0) p = 0;
        int64_t e = p >> 8, f = p & 255;
        if (e >= big - 1) {
            e = big - 1;
            f = 0;
        }
        int s0 = (int)(e / k), s1 = (int)((e + 1) / k);
        axis->index[(size_t)i] = s0;
        axis->weight[(size_t)i] = s1 == s0 ? 0 : (uint16_t)f;
    }
}

namespace {

// a and b mixed, w/256 of b; the four 8-bit components of ARGB8888 at once, two at a time.
inline uint32_t mix(uint32_t a, uint32_t b, uint32_t w) {
    uint32_t v = 256 - w;
    uint32_t rb = (((a & 0x00FF00FFu) * v + (b & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu;
    uint32_t ag = (((a >> 8) & 0x00FF00FFu) * v + ((b >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u;
    return rb | ag;
}

} // namespace

void Sdl_Sharp_Scale(const uint16_t *src, int sw, int sh, int src_pitch_bytes, int packing,
                     uint32_t *dst, int dw, int dh, int dst_pitch_bytes, Sdl_Sharp_Scaler *scaler) {
    if (!src || !dst || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    // One factor for both axes: the one that reaches both sides.
    int k = Sdl_Upscale_Factor(dw, dh, sw, sh);
    if (scaler->x.from != sw || scaler->x.to != dw || scaler->x.k != k)
        Sdl_Sharp_Taps(sw, dw, k, &scaler->x);
    if (scaler->y.from != sh || scaler->y.to != dh || scaler->y.k != k)
        Sdl_Sharp_Taps(sh, dh, k, &scaler->y);
    scaler->line.resize((size_t)sw);
    scaler->rows.resize(2 * (size_t)dw);
    const int *xi = scaler->x.index.data();
    const uint16_t *xw = scaler->x.weight.data();
    // Output rows read source rows in order, at most two at a time: each is converted and
    // scaled across once, into one of two row slots that stay in the cache.
    int held[2] = {-1, -1};
    auto across = [&](int r) -> const uint32_t * {
        uint32_t *slot = &scaler->rows[(size_t)(r & 1) * (size_t)dw];
        if (held[r & 1] == r) return slot;
        const uint16_t *in =
            (const uint16_t *)((const uint8_t *)src + (size_t)r * (size_t)src_pitch_bytes);
        uint32_t *line = scaler->line.data();
        Sdl_Convert_Frame(in, sw, 1, src_pitch_bytes, packing, line, sw * 4);
        for (int i = 0; i < dw; i++)
            slot[i] = xw[i] ? mix(line[xi[i]], line[xi[i] + 1], xw[i]) : line[xi[i]];
        held[r & 1] = r;
        return slot;
    };
    for (int j = 0; j < dh; j++) {
        int r = scaler->y.index[(size_t)j];
        uint32_t w = scaler->y.weight[(size_t)j];
        const uint32_t *a = across(r);
        uint32_t *out = (uint32_t *)((uint8_t *)dst + (size_t)j * (size_t)dst_pitch_bytes);
        if (!w) {
            std::memcpy(out, a, (size_t)dw * 4);
        } else {
            // Byte by byte, the same sums as mix(): a form the compiler turns into vector code.
            const uint8_t *pa = (const uint8_t *)a, *pb = (const uint8_t *)across(r + 1);
            uint8_t *po = (uint8_t *)out;
            uint16_t wb = (uint16_t)w, wa = (uint16_t)(256 - w);
            for (int n = 0; n < 4 * dw; n++)
                po[n] = (uint8_t)((uint16_t)(pa[n] * wa + pb[n] * wb) >> 8);
        }
    }
}
