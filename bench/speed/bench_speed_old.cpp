// Before-the-speed-work copies of the frame sum, fill, keyed copy, conversion and WAV writer.
#include "bench/speed/bench_speed_old.h"

#include <zlib.h>

#include <cstring>

#include "engine/graphics/ddraw.h"

uint32_t Old_Frame_Crc(const uint16_t *px, int width, int height, int pitch_bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    std::vector<uint8_t> row((size_t)width * 2);
    const uint8_t *base = (const uint8_t *)px;
    for (int y = 0; y < height; y++) {
        const uint16_t *src = (const uint16_t *)(base + (size_t)y * pitch_bytes);
        for (int x = 0; x < width; x++) {
            row[2 * x] = (uint8_t)(src[x] & 0xFF);
            row[2 * x + 1] = (uint8_t)(src[x] >> 8);
        }
        crc = crc32(crc, row.data(), (uInt)row.size());
    }
    return (uint32_t)crc;
}

typedef uint16_t pixel8x16 __attribute__((vector_size(16)));

void Old_Fill16(uint16_t *d, size_t n, uint16_t color) {
    const pixel8x16 v = {color, color, color, color, color, color, color, color};
    size_t x = 0;
    for (; x + 8 <= n; x += 8)
        memcpy(d + x, &v, sizeof v);
    for (; x < n; x++)
        d[x] = color;
}

// The keyed copy as it was, whole: clipping, the row map with its division, eight pixels a
// step.
namespace old_blit {
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

// One row of a keyed copy: pixels equal to the key leave the destination as it was. Every
// destination pixel is read and written back, which lets the loop run eight pixels at a time.
void keyed_row16(uint16_t *__restrict d, const uint16_t *__restrict s, int n, uint16_t key) {
    int x = 0;
    const pixel8x16 keys = {key, key, key, key, key, key, key, key};
    for (; x + 8 <= n; x += 8) {
        pixel8x16 sv, dv;
        memcpy(&sv, s + x, sizeof sv);
        memcpy(&dv, d + x, sizeof dv);
        const pixel8x16 transparent = (pixel8x16)(sv == keys);
        dv = (dv & transparent) | (sv & ~transparent);
        memcpy(d + x, &dv, sizeof dv);
    }
    for (; x < n; x++)
        if (s[x] != key) d[x] = s[x];
}

void keyed_row8(uint8_t *d, const uint8_t *s, int n, uint8_t key) {
    for (int x = 0; x < n; x++)
        if (s[x] != key) d[x] = s[x];
}

// The source side of a copy: memory, pitch and the rectangle the copy reads.
struct Source {
    const uint8_t *memory;
    int pitch;
    RECT rect;
};

template <typename Pixel>
void copy_part(LPDIRECTDRAWSURFACE4 dest, const RECT &drect, const Source &src, const RECT &part,
               bool keyed, Pixel key) {
    const long long sw = src.rect.right - src.rect.left, sh = src.rect.bottom - src.rect.top;
    const long long dw = (long long)drect.right - drect.left;
    const long long dh = (long long)drect.bottom - drect.top;
    const int n = part.right - part.left;
    // Nearest neighbour: destination column i of the rectangle reads source column i*sw/dw.
    static std::vector<int> column_map; // as it was
    const bool scaled_x = sw != dw;
    if (scaled_x) {
        column_map.resize((size_t)n);
        for (int i = 0; i < n; i++)
            column_map[(size_t)i] =
                (int)(src.rect.left + ((long long)part.left - drect.left + i) * sw / dw);
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
                keyed_row16(drow, s, n, key);
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

int Old_DDraw_Blt(LPDIRECTDRAWSURFACE4 dest, RECT *dest_rect, LPDIRECTDRAWSURFACE4 src,
                  RECT *src_rect, int flags) {
    if (!dest || !src || dest->locked || src->locked || dest->bpp != src->bpp) return 0;
    // A colour fill has no colour here: fills go through DDraw_Fill_Surface.
    if (flags & DDBLT_COLORFILL) return 0;
    const RECT srect = src_rect ? *src_rect : RECT{0, 0, src->width, src->height};
    const RECT drect = dest_rect ? *dest_rect : RECT{0, 0, dest->width, dest->height};
    if (rect_empty(srect) || rect_empty(drect)) return 0;
    if (srect.left < 0 || srect.top < 0 || srect.right > src->width || srect.bottom > src->height)
        return 0;

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

} // namespace old_blit

int Old_DDraw_Blt(LPDIRECTDRAWSURFACE4 dest, RECT *dest_rect, LPDIRECTDRAWSURFACE4 src,
                  RECT *src_rect, int flags) {
    return old_blit::Old_DDraw_Blt(dest, dest_rect, src, src_rect, flags);
}

void Old_Convert_Frame(const uint16_t *src, int width, int height, int src_pitch_bytes, int packing,
                       uint32_t *dst, int dst_pitch_bytes) {
    static std::vector<uint32_t> table555, table565;
    if (table555.empty()) {
        auto expand5 = [](uint32_t v) { return (v << 3) | (v >> 2); };
        auto expand6 = [](uint32_t v) { return (v << 2) | (v >> 4); };
        table555.resize(65536);
        table565.resize(65536);
        for (uint32_t p = 0; p < 65536; p++) {
            uint32_t b = expand5(p & 31);
            table555[p] =
                0xFF000000u | expand5((p >> 10) & 31) << 16 | expand5((p >> 5) & 31) << 8 | b;
            table565[p] =
                0xFF000000u | expand5((p >> 11) & 31) << 16 | expand6((p >> 5) & 63) << 8 | b;
        }
    }
    const uint32_t *lut = packing == 15 ? table555.data() : table565.data();
    for (int y = 0; y < height; y++) {
        const uint16_t *in =
            (const uint16_t *)((const uint8_t *)src + (size_t)y * (size_t)src_pitch_bytes);
        uint32_t *out = (uint32_t *)((uint8_t *)dst + (size_t)y * (size_t)dst_pitch_bytes);
        for (int x = 0; x < width; x++)
            out[x] = lut[in[x]];
    }
}

namespace {

void put_le(std::FILE *f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++)
        std::fputc((int)((v >> (8 * i)) & 0xFF), f);
}

} // namespace

int Old_Write_Wav(const char *path, const std::vector<int16_t> &samples, uint32_t rate) {
    uint64_t data_bytes = (uint64_t)samples.size() * 2;
    std::FILE *f = std::fopen(path, "wb");
    if (!f) return 0;
    std::fwrite("RIFF", 1, 4, f);
    put_le(f, (uint32_t)(36 + data_bytes), 4);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put_le(f, 16, 4);
    put_le(f, 1, 2);
    put_le(f, 2, 2);
    put_le(f, rate, 4);
    put_le(f, rate * 4, 4);
    put_le(f, 4, 2);
    put_le(f, 16, 2);
    std::fwrite("data", 1, 4, f);
    put_le(f, (uint32_t)data_bytes, 4);
    for (int16_t s : samples)
        put_le(f, (uint16_t)s, 2);
    int ok = !std::ferror(f);
    if (std::fclose(f) != 0) ok = 0;
    return ok;
}
