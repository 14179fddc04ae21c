// The sharp scaling: the frame enlarged by a whole factor with nearest neighbour and brought to
// its final size with linear filtering, one pass across each source row and one down; and the
// same drawn again only where the frame changed since the last one.
#include "platform/sdl/sdl_present.h"
#include <algorithm>
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

// Output pixels from..to of a row, eight per step (from a multiple of eight): one load of eight
// source pixels, two permutes.
__attribute__((target("avx2"))) void across_avx2(const uint32_t *line, const Sdl_Sharp_Scaler &sc,
                                                 uint32_t *out, int from, int to) {
    const int *xi = sc.x.index.data();
    const uint16_t *xw = sc.x.weight.data();
    const __m256i one = _mm256_set1_epi32(1);
    int n = from;
    for (; n + 8 <= to; n += 8) {
        const Sdl_Sharp_Group &g = sc.groups[(size_t)n / 8];
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
    }
    across_plain(line, xi, xw, out, n, to);
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

namespace {

// Rows are compared and redrawn in chunks of this many source pixels (one 64-byte line of
// 16-bit pixels); the chunks of a row are the bits of one word.
constexpr int CHUNK = 32;
constexpr int MAX_CHUNKS = 64;

int chunks_of(int width) {
    return (width + CHUNK - 1) / CHUNK;
}

// The output columns that read each source chunk (the blend reaches one pixel into the next
// chunk), widened to whole groups of eight.
void chunk_reach(Sdl_Sharp_Scaler *sc) {
    const Sdl_Sharp_Axis &x = sc->x;
    size_t chunks = (size_t)chunks_of(x.from);
    sc->chunk_lo.assign(chunks, x.to);
    sc->chunk_hi.assign(chunks, 0);
    for (int i = 0; i < x.to; i++) {
        int first = x.index[(size_t)i], last = first + (x.weight[(size_t)i] ? 1 : 0);
        for (int t = first / CHUNK; t <= last / CHUNK; t++) {
            sc->chunk_lo[(size_t)t] = std::min(sc->chunk_lo[(size_t)t], i);
            sc->chunk_hi[(size_t)t] = std::max(sc->chunk_hi[(size_t)t], i + 1);
        }
    }
    for (size_t t = 0; t < chunks; t++) {
        if (sc->chunk_lo[t] >= sc->chunk_hi[t]) {
            sc->chunk_lo[t] = sc->chunk_hi[t] = 0;
            continue;
        }
        sc->chunk_lo[t] = sc->chunk_lo[t] / 8 * 8;
        sc->chunk_hi[t] = std::min(x.to, (sc->chunk_hi[t] + 7) / 8 * 8);
    }
}

// Calls span(from, to) with the output columns of each run of chunks in mask.
template <typename F> void each_span(const Sdl_Sharp_Scaler &sc, uint64_t mask, F span) {
    while (mask) {
        int t = __builtin_ctzll(mask);
        int lo = sc.x.to, hi = 0;
        for (; t < MAX_CHUNKS && (mask >> t & 1); t++) {
            mask &= ~(1ull << t);
            if (sc.chunk_lo[(size_t)t] >= sc.chunk_hi[(size_t)t]) continue;
            lo = std::min(lo, sc.chunk_lo[(size_t)t]);
            hi = std::max(hi, sc.chunk_hi[(size_t)t]);
        }
        if (lo < hi) span(lo, hi);
    }
}

// The taps of both axes for these sizes, and the row buffers.
void prepare(Sdl_Sharp_Scaler *sc, int sw, int sh, int dw, int dh) {
    // One factor for both axes: the one that reaches both sides.
    int k = Sdl_Upscale_Factor(dw, dh, sw, sh);
    if (sc->x.from != sw || sc->x.to != dw || sc->x.k != k) {
        Sdl_Sharp_Taps(sw, dw, k, &sc->x);
        make_groups(sc->x, &sc->groups);
        if (chunks_of(sw) <= MAX_CHUNKS) chunk_reach(sc);
    }
    if (sc->y.from != sh || sc->y.to != dh || sc->y.k != k) Sdl_Sharp_Taps(sh, dh, k, &sc->y);
    // Eight pixels of slack: a group loads eight source pixels from its first.
    sc->line.resize((size_t)sw + 8);
    sc->rows.resize(2 * (size_t)dw);
}

// Scales what changed says: per source row, the chunks whose output is drawn again (nullptr:
// everything). Sets [*first, *end) to the output rows written.
void scale(const uint16_t *src, int src_pitch_bytes, int packing, uint32_t *dst,
           int dst_pitch_bytes, Sdl_Sharp_Scaler *sc, const uint64_t *changed, int *first,
           int *end) {
    const int sw = sc->x.from, sh = sc->y.from, dw = sc->x.to, dh = sc->y.to;
    const int *yi = sc->y.index.data();
    const uint16_t *yw = sc->y.weight.data();
    const bool wide = !sc->portable && have_avx2();
    (void)wide; // where there are no vector loops
    // An output row redraws the chunks that changed in either source row it reads.
    auto out_mask = [&](int j) -> uint64_t {
        int r = yi[j];
        return changed[r] | (yw[j] ? changed[r + 1] : 0);
    };
    // What each source row is scaled across for: the chunks of every output row reading it.
    if (changed) {
        sc->need.assign((size_t)sh, 0);
        for (int j = 0; j < dh; j++) {
            uint64_t m = out_mask(j);
            sc->need[(size_t)yi[j]] |= m;
            if (yw[j]) sc->need[(size_t)yi[j] + 1] |= m;
        }
    }
    // Whole rows in one span, when everything is drawn.
    auto spans = [&](uint64_t mask, auto span) {
        if (changed)
            each_span(*sc, mask, span);
        else
            span(0, dw);
    };
    // Output rows read source rows in order, at most two at a time: each is converted and
    // scaled across once, into one of two row slots that stay in the cache.
    int held[2] = {-1, -1};
    auto across = [&](int r) -> const uint32_t * {
        uint32_t *slot = &sc->rows[(size_t)(r & 1) * (size_t)dw];
        if (held[r & 1] == r) return slot;
        held[r & 1] = r;
        const uint16_t *in =
            (const uint16_t *)((const uint8_t *)src + (size_t)r * (size_t)src_pitch_bytes);
        uint32_t *line = sc->line.data();
        spans(changed ? sc->need[(size_t)r] : 0, [&](int lo, int hi) {
            // The source pixels these outputs read: the first one's to the last one's next.
            int from = sc->x.index[(size_t)lo];
            int to = std::min(sw, sc->x.index[(size_t)hi - 1] + 2);
            Sdl_Convert_Frame(in + from, to - from, 1, src_pitch_bytes, packing, line + from,
                              (to - from) * 4);
#if FW_SHARP_AVX2
            if (wide) {
                across_avx2(line, *sc, slot, lo, hi);
                return;
            }
#endif
            across_plain(line, sc->x.index.data(), sc->x.weight.data(), slot, lo, hi);
        });
        return slot;
    };
    *first = *end = 0;
    for (int j = 0; j < dh; j++) {
        uint64_t m = changed ? out_mask(j) : 0;
        if (changed && !m) continue;
        if (*end == 0) *first = j;
        *end = j + 1;
        int r = yi[j];
        uint32_t w = yw[j];
        const uint32_t *a = across(r);
        const uint32_t *b = w ? across(r + 1) : a;
        uint32_t *out = (uint32_t *)((uint8_t *)dst + (size_t)j * (size_t)dst_pitch_bytes);
        spans(m, [&](int lo, int hi) {
#if FW_SHARP_AVX2
            if (wide) {
                down_avx2(a + lo, b + lo, w, out + lo, hi - lo);
                return;
            }
#endif
            if (!w)
                std::memcpy(out + lo, a + lo, (size_t)(hi - lo) * 4);
            else
                down_plain(a, b, w, out, lo, hi);
        });
    }
#if FW_SHARP_AVX2
    if (wide) streamed();
#endif
}

} // namespace

void Sdl_Sharp_Scale(const uint16_t *src, int sw, int sh, int src_pitch_bytes, int packing,
                     uint32_t *dst, int dw, int dh, int dst_pitch_bytes, Sdl_Sharp_Scaler *scaler) {
    if (!src || !dst || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    prepare(scaler, sw, sh, dw, dh);
    scaler->last.dst = nullptr; // the destination no longer holds what was compared
    int first, end;
    scale(src, src_pitch_bytes, packing, dst, dst_pitch_bytes, scaler, nullptr, &first, &end);
}

void Sdl_Sharp_Scale_Changes(const uint16_t *src, int sw, int sh, int src_pitch_bytes, int packing,
                             uint32_t *dst, int dw, int dh, int dst_pitch_bytes, bool keep,
                             Sdl_Sharp_Scaler *scaler, int *first_row, int *end_row) {
    *first_row = *end_row = 0;
    if (!src || !dst || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    prepare(scaler, sw, sh, dw, dh);
    Sdl_Sharp_Last &last = scaler->last;
    const int chunks = chunks_of(sw);
    if (chunks > MAX_CHUNKS) {
        last.dst = nullptr;
        scale(src, src_pitch_bytes, packing, dst, dst_pitch_bytes, scaler, nullptr, first_row,
              end_row);
        return;
    }
    // Only a destination that still holds the last call's output, for the same sizes and
    // packing, can be drawn into in part.
    const bool same = keep && last.dst == dst && last.pitch == dst_pitch_bytes &&
                      last.packing == packing && last.sw == sw && last.sh == sh && last.dw == dw &&
                      last.dh == dh;
    const uint64_t all = chunks == MAX_CHUNKS ? ~0ull : (1ull << chunks) - 1;
    last.pixels.resize((size_t)sw * (size_t)sh);
    scaler->changed.assign((size_t)sh, all);
    for (int r = 0; r < sh; r++) {
        const uint16_t *in =
            (const uint16_t *)((const uint8_t *)src + (size_t)r * (size_t)src_pitch_bytes);
        uint16_t *old = &last.pixels[(size_t)r * (size_t)sw];
        if (same) {
            uint64_t m = 0;
            if (std::memcmp(in, old, (size_t)sw * 2) != 0)
                for (int t = 0; t < chunks; t++) {
                    int n = std::min(CHUNK, sw - t * CHUNK);
                    if (std::memcmp(in + t * CHUNK, old + t * CHUNK, (size_t)n * 2) != 0)
                        m |= 1ull << t;
                }
            scaler->changed[(size_t)r] = m;
            if (!m) continue;
        }
        std::memcpy(old, in, (size_t)sw * 2);
    }
    last.dst = dst;
    last.pitch = dst_pitch_bytes;
    last.packing = packing;
    last.sw = sw;
    last.sh = sh;
    last.dw = dw;
    last.dh = dh;
    scale(src, src_pitch_bytes, packing, dst, dst_pitch_bytes, scaler, scaler->changed.data(),
          first_row, end_row);
}
