// The page's picture kept as canvas bytes: finds what changed between two presents (most of a
// picture is black space and still stars) and converts only that, so a present costs the page
// what moved rather than the whole 800x600 picture.
#include "platform/web/web_picture.h"
#include <cstring>

namespace {

// 16-bit pixel to canvas bytes, one table per packing (built on first use).
struct Tables {
    std::vector<uint32_t> p555, p565;
    Tables() : p555(65536), p565(65536) {
        auto expand5 = [](uint32_t v) { return (v << 3) | (v >> 2); };
        auto expand6 = [](uint32_t v) { return (v << 2) | (v >> 4); };
        for (uint32_t p = 0; p < 65536; p++) {
            uint32_t b = expand5(p & 31) << 16;
            p555[p] = 0xFF000000u | b | expand5((p >> 5) & 31) << 8 | expand5((p >> 10) & 31);
            p565[p] = 0xFF000000u | b | expand6((p >> 5) & 63) << 8 | expand5((p >> 11) & 31);
        }
    }
};

const uint32_t *table(int packing) {
    static const Tables tables;
    return packing == 15 ? tables.p555.data() : tables.p565.data();
}

// Four pixels at a time, loaded without regard to alignment.
uint64_t load4(const uint16_t *p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The first pixel of [0, n) where a and b differ, or n.
int first_difference(const uint16_t *a, const uint16_t *b, int n) {
    int i = 0;
    while (i + 4 <= n && load4(a + i) == load4(b + i))
        i += 4;
    while (i < n && a[i] == b[i])
        i++;
    return i;
}

// One past the last pixel of [from, n) where a and b differ (a difference at from is known).
int end_of_difference(const uint16_t *a, const uint16_t *b, int from, int n) {
    int i = n;
    while (i - 4 > from && load4(a + i - 4) == load4(b + i - 4))
        i -= 4;
    while (i > from && a[i - 1] == b[i - 1])
        i--;
    return i;
}

} // namespace

uint32_t Web_Pixel_Rgba(uint16_t pixel, int packing) {
    return table(packing)[pixel];
}

Web_Rect Web_Picture_Update(Web_Picture *picture, const uint16_t *pixels, int width, int height,
                            int pitch_bytes, int packing) {
    Web_Rect none{0, 0, 0, 0};
    if (!picture || !pixels || width <= 0 || height <= 0 || pitch_bytes < width * 2) return none;
    if (packing != 15 && packing != 16) return none;
    const uint32_t *lut = table(packing);
    bool whole =
        picture->width != width || picture->height != height || picture->packing != packing;
    if (whole) {
        picture->width = width;
        picture->height = height;
        picture->packing = packing;
        picture->shown.assign((size_t)width * height, 0);
        picture->rgba.assign((size_t)width * height, 0);
    }
    int x0 = width, x1 = 0, y0 = height, y1 = 0;
    for (int y = 0; y < height; y++) {
        const uint16_t *in = (const uint16_t *)((const uint8_t *)pixels + (size_t)y * pitch_bytes);
        uint16_t *old = picture->shown.data() + (size_t)y * width;
        int from = whole ? 0 : first_difference(in, old, width);
        if (from == width) continue;
        int to = whole ? width : end_of_difference(in, old, from, width);
        uint32_t *out = picture->rgba.data() + (size_t)y * width;
        for (int x = from; x < to; x++)
            out[x] = lut[in[x]];
        std::memcpy(old + from, in + from, sizeof(uint16_t) * (size_t)(to - from));
        if (from < x0) x0 = from;
        if (to > x1) x1 = to;
        if (y < y0) y0 = y;
        y1 = y + 1;
    }
    if (x1 <= x0) return none;
    return Web_Rect{x0, y0, x1 - x0, y1 - y0};
}
