// The sharp scaling: the frame enlarged by a whole factor with nearest neighbour and brought to
// its final size with linear filtering, one pass across each source row and one down.
#include "platform/sdl/sdl_present.h"
#include <cstddef>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__EMSCRIPTEN__)
#include <immintrin.h>
#define FW_SHARP_AVX2 1
#else
#define FW_SHARP_AVX2 0
#endif

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

// The x taps eight at a time. A group can use the vector units when its pixels, and the next
// one each blends with, lie within eight source pixels of the first.
void make_groups(const Sdl_Sharp_Axis &x, std::vector<Sdl_Sharp_Group> *groups) {
    groups->assign((size_t)(x.to / 8), Sdl_Sharp_Group{});
    for (size_t n = 0; n < groups->size(); n++) {
        Sdl_Sharp_Group &g = (*groups)[n];
        const int *xi = &x.index[8 * n];
        const uint16_t *xw = &x.weight[8 * n];
        g.base = xi[7] + 1 - xi[0] <= 7 ? xi[0] : -1;
        for (int j = 0; j < 8; j++) {
            g.rel[j] = xi[j] - xi[0];
            // The blend's lanes hold pixels 0, 1 | 4, 5 (low) and 2, 3 | 6, 7 (high).
            uint16_t *lane = (j & 2) ? g.high : g.low;
            int at = (j & 4 ? 8 : 0) + (j & 1) * 4;
            for (int c = 0; c < 4; c++)
                lane[at + c] = xw[j];
        }
    }
}

// a and b mixed, w/256 of b; the four 8-bit components of ARGB8888 at once, two at a time.
inline uint32_t mix(uint32_t a, uint32_t b, uint32_t w) {
    uint32_t v = 256 - w;
    uint32_t rb = (((a & 0x00FF00FFu) * v + (b & 0x00FF00FFu) * w) >> 8) & 0x00FF00FFu;
    uint32_t ag = (((a >> 8) & 0x00FF00FFu) * v + ((b >> 8) & 0x00FF00FFu) * w) & 0xFF00FF00u;
    return rb | ag;
}

// Output pixels from..to of a row from its converted source row.
void across_plain(const uint32_t *line, const int *xi, const uint16_t *xw, uint32_t *out, int from,
                  int to) {
    for (int i = from; i < to; i++)
        out[i] = xw[i] ? mix(line[xi[i]], line[xi[i] + 1], xw[i]) : line[xi[i]];
}

// An output row between two scaled rows, w/256 of b.
void down_plain(const uint32_t *a, const uint32_t *b, uint32_t w, uint32_t *out, int from, int to) {
    // Byte by byte, the same sums as mix(): a form the compiler turns into vector code.
    const uint8_t *pa = (const uint8_t *)a, *pb = (const uint8_t *)b;
    uint8_t *po = (uint8_t *)out;
    uint16_t wb = (uint16_t)w, wa = (uint16_t)(256 - w);
    for (int n = 4 * from; n < 4 * to; n++)
        po[n] = (uint8_t)((uint16_t)(pa[n] * wa + pb[n] * wb) >> 8);
}

#if FW_SHARP_AVX2
// Eight pixels a and b mixed component by component, (a * (256 - w) + b * w) >> 8 as mix()
// does; the weights come in the unpacked lanes' order. No sum passes 255 * 256.
__attribute__((target("avx2"))) inline __m256i mix8(__m256i a, __m256i b, __m256i wlo,
                                                    __m256i whi) {
    const __m256i zero = _mm256_setzero_si256(), full = _mm256_set1_epi16(256);
    __m256i lo = _mm256_add_epi16(
        _mm256_mullo_epi16(_mm256_unpacklo_epi8(a, zero), _mm256_sub_epi16(full, wlo)),
        _mm256_mullo_epi16(_mm256_unpacklo_epi8(b, zero), wlo));
    __m256i hi = _mm256_add_epi16(
        _mm256_mullo_epi16(_mm256_unpackhi_epi8(a, zero), _mm256_sub_epi16(full, whi)),
        _mm256_mullo_epi16(_mm256_unpackhi_epi8(b, zero), whi));
    return _mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8));
}

// The row across, eight pixels per step: one load of eight source pixels, two permutes.
__attribute__((target("avx2"))) void across_avx2(const uint32_t *line, const Sdl_Sharp_Scaler &sc,
                                                 uint32_t *out) {
    const int *xi = sc.x.index.data();
    const uint16_t *xw = sc.x.weight.data();
    const __m256i one = _mm256_set1_epi32(1);
    int n = 0;
    for (const Sdl_Sharp_Group &g : sc.groups) {
        if (g.base < 0) {
            across_plain(line, xi, xw, out, n, n + 8);
        } else {
            __m256i px = _mm256_loadu_si256((const __m256i *)(line + g.base));
            __m256i rel = _mm256_load_si256((const __m256i *)g.rel);
            __m256i a = _mm256_permutevar8x32_epi32(px, rel);
            __m256i b = _mm256_permutevar8x32_epi32(px, _mm256_add_epi32(rel, one));
            __m256i o = mix8(a, b, _mm256_load_si256((const __m256i *)g.low),
                             _mm256_load_si256((const __m256i *)g.high));
            _mm256_storeu_si256((__m256i *)(out + n), o);
        }
        n += 8;
    }
    across_plain(line, xi, xw, out, n, sc.x.to);
}

// Output rows go straight to memory, past the cache: the frame is megabytes that this process
// does not read again, and a plain store would first fetch every line it writes. The first
// pixels up to a 32-byte boundary are written plainly.
inline int stream_start(const uint32_t *out, int width) {
    int n = (int)((32 - ((uintptr_t)out & 31)) & 31) / 4;
    return ((uintptr_t)out & 3) || n > width ? width : n;
}

// An output row between two scaled rows (w/256 of b), or a copy of a when w is 0.
__attribute__((target("avx2"))) void down_avx2(const uint32_t *a, const uint32_t *b, uint32_t w,
                                               uint32_t *out, int width) {
    int n = stream_start(out, width);
    if (w == 0) {
        std::memcpy(out, a, (size_t)n * 4);
        for (; n + 8 <= width; n += 8)
            _mm256_stream_si256((__m256i *)(out + n), _mm256_loadu_si256((const __m256i *)(a + n)));
        std::memcpy(out + n, a + n, (size_t)(width - n) * 4);
        return;
    }
    down_plain(a, b, w, out, 0, n);
    const __m256i wv = _mm256_set1_epi16((short)w);
    for (; n + 8 <= width; n += 8) {
        __m256i o = mix8(_mm256_loadu_si256((const __m256i *)(a + n)),
                         _mm256_loadu_si256((const __m256i *)(b + n)), wv, wv);
        _mm256_stream_si256((__m256i *)(out + n), o);
    }
    down_plain(a, b, w, out, n, width);
}

// The streamed rows are in memory before anyone is told the frame is ready.
__attribute__((target("avx2"))) void streamed() {
    _mm_sfence();
}

bool have_avx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#else
bool have_avx2() {
    return false;
}
#endif

} // namespace

void Sdl_Sharp_Scale(const uint16_t *src, int sw, int sh, int src_pitch_bytes, int packing,
                     uint32_t *dst, int dw, int dh, int dst_pitch_bytes, Sdl_Sharp_Scaler *scaler) {
    if (!src || !dst || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    // One factor for both axes: the one that reaches both sides.
    int k = Sdl_Upscale_Factor(dw, dh, sw, sh);
    if (scaler->x.from != sw || scaler->x.to != dw || scaler->x.k != k) {
        Sdl_Sharp_Taps(sw, dw, k, &scaler->x);
        make_groups(scaler->x, &scaler->groups);
    }
    if (scaler->y.from != sh || scaler->y.to != dh || scaler->y.k != k)
        Sdl_Sharp_Taps(sh, dh, k, &scaler->y);
    // Eight pixels of slack: a group loads eight source pixels from its first.
    scaler->line.resize((size_t)sw + 8);
    scaler->rows.resize(2 * (size_t)dw);
    const bool wide = !scaler->portable && have_avx2();
    (void)wide; // where there are no vector loops
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
#if FW_SHARP_AVX2
        if (wide) {
            across_avx2(line, *scaler, slot);
            held[r & 1] = r;
            return slot;
        }
#endif
        across_plain(line, scaler->x.index.data(), scaler->x.weight.data(), slot, 0, dw);
        held[r & 1] = r;
        return slot;
    };
    for (int j = 0; j < dh; j++) {
        int r = scaler->y.index[(size_t)j];
        uint32_t w = scaler->y.weight[(size_t)j];
        const uint32_t *a = across(r);
        uint32_t *out = (uint32_t *)((uint8_t *)dst + (size_t)j * (size_t)dst_pitch_bytes);
        const uint32_t *b = w ? across(r + 1) : a;
#if FW_SHARP_AVX2
        if (wide) {
            down_avx2(a, b, w, out, dw);
            continue;
        }
#endif
        if (!w)
            std::memcpy(out, a, (size_t)dw * 4);
        else
            down_plain(a, b, w, out, 0, dw);
    }
#if FW_SHARP_AVX2
    if (wide) streamed();
#endif
}
