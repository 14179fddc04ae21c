// The SDL backend's frame arithmetic: conversion tables, letterbox, fill and window scale.
#include "platform/sdl/sdl_present.h"
#include <cstddef>
#include <vector>

// 16-bit pixel to ARGB8888, one 64K-entry table per packing: SDL's own 16-bit paths are slow.
static std::vector<uint32_t> table555, table565;

// Components widen by repeating their top bits, so 0 stays 0 and full stays 255.
static uint32_t expand5(uint32_t v) {
    return (v << 3) | (v >> 2);
}
static uint32_t expand6(uint32_t v) {
    return (v << 2) | (v >> 4);
}

static void build_tables() {
    if (!table555.empty()) return;
    table555.resize(65536);
    table565.resize(65536);
    for (uint32_t p = 0; p < 65536; p++) {
        uint32_t b = expand5(p & 31);
        table555[p] = 0xFF000000u | expand5((p >> 10) & 31) << 16 | expand5((p >> 5) & 31) << 8 | b;
        table565[p] = 0xFF000000u | expand5((p >> 11) & 31) << 16 | expand6((p >> 5) & 63) << 8 | b;
    }
}

void Sdl_Convert_Frame(const uint16_t *src, int width, int height, int src_pitch_bytes, int packing,
                       uint32_t *dst, int dst_pitch_bytes) {
    build_tables();
    const uint32_t *lut = packing == 15 ? table555.data() : table565.data();
    for (int y = 0; y < height; y++) {
        const uint16_t *in =
            (const uint16_t *)((const uint8_t *)src + (size_t)y * (size_t)src_pitch_bytes);
        uint32_t *out = (uint32_t *)((uint8_t *)dst + (size_t)y * (size_t)dst_pitch_bytes);
        for (int x = 0; x < width; x++)
            out[x] = lut[in[x]];
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
