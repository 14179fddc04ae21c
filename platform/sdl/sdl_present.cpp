// The SDL backend's frame arithmetic: conversion to 32-bit pixels, letterbox, fill and window
// scale (the sharp scaling has a file of its own).
#include "platform/sdl/sdl_present.h"
#include <cstddef>
#include <cstring>

// Sixteen pixels at a time in vector registers; the compiler picks the instructions. The helpers
// are internal and inlined, so how a 64-byte vector would be passed between files is moot.
#if defined(__GNUC__) // GCC and clang
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
typedef uint16_t Pixels16x16 __attribute__((vector_size(32)));
typedef uint32_t Pixels32x16 __attribute__((vector_size(64)));

// Inlined into each build below, so the loops are compiled for its instructions.
#define FW_INLINE inline __attribute__((always_inline))

namespace {

// Components widen by repeating their top bits, so 0 stays 0 and full stays 255.
template <typename V> FW_INLINE V expand5(V v) {
    return (v << 3) | (v >> 2);
}
template <typename V> FW_INLINE V expand6(V v) {
    return (v << 2) | (v >> 4);
}

// One 16-bit pixel (or eight) to opaque ARGB8888.
template <int Packing, typename V> FW_INLINE V argb(V p) {
    if constexpr (Packing == 15)
        return 0xFF000000u | expand5((p >> 10) & 31) << 16 | expand5((p >> 5) & 31) << 8 |
               expand5(p & 31);
    else
        return 0xFF000000u | expand5((p >> 11) & 31) << 16 | expand6((p >> 5) & 63) << 8 |
               expand5(p & 31);
}

template <int Packing> FW_INLINE void convert_row(const uint16_t *in, uint32_t *out, int width) {
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

// Every row of a frame; inlined into each of the builds below.
FW_INLINE void convert_frame(const uint16_t *src, int width, int height, int src_pitch_bytes,
                             int packing, uint32_t *dst, int dst_pitch_bytes) {
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

using Convert = void (*)(const uint16_t *, int, int, int, int, uint32_t *, int);

// The same arithmetic built for the baseline and, on x86-64, for AVX2 and AVX-512; integer
// operations only, so every build writes the same bytes.
void convert_plain(const uint16_t *src, int width, int height, int src_pitch_bytes, int packing,
                   uint32_t *dst, int dst_pitch_bytes) {
    convert_frame(src, width, height, src_pitch_bytes, packing, dst, dst_pitch_bytes);
}

// Chosen once, when first called, from what the processor reports (a plain function pointer:
// GCC and clang both build it, where clang cannot link target_clones).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__EMSCRIPTEN__)
__attribute__((target("avx2"))) void convert_avx2(const uint16_t *src, int width, int height,
                                                  int src_pitch_bytes, int packing, uint32_t *dst,
                                                  int dst_pitch_bytes) {
    convert_frame(src, width, height, src_pitch_bytes, packing, dst, dst_pitch_bytes);
}

__attribute__((target("avx512f,avx512bw,avx512vl,avx512dq"))) void
convert_avx512(const uint16_t *src, int width, int height, int src_pitch_bytes, int packing,
               uint32_t *dst, int dst_pitch_bytes) {
    convert_frame(src, width, height, src_pitch_bytes, packing, dst, dst_pitch_bytes);
}

Convert pick_convert() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq"))
        return convert_avx512;
    if (__builtin_cpu_supports("avx2")) return convert_avx2;
    return convert_plain;
}
#else
Convert pick_convert() {
    return convert_plain;
}
#endif
#undef FW_INLINE

} // namespace

void Sdl_Convert_Frame(const uint16_t *src, int width, int height, int src_pitch_bytes, int packing,
                       uint32_t *dst, int dst_pitch_bytes) {
    static const Convert chosen = pick_convert();
    chosen(src, width, height, src_pitch_bytes, packing, dst, dst_pitch_bytes);
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
