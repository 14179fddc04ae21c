// The mixer's span loop, plain and, on x86-64 processors with AVX2, eight frames at a time.
#include "engine/sound/mixspan.h"
#include "engine/sound/mixstage.h"
#include <bit>
#include <cstring>

#if !defined(FW_MIX_PLAIN) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define FW_MIX_AVX2 1
#else
#define FW_MIX_AVX2 0
#endif

namespace {

// A position's low FRAC_BITS bits place it between two wide samples; the interpolation uses
// their top 15.
constexpr int FRAC_BITS = 32 - WIDE_SHIFT;
constexpr int FRAC_SHIFT = FRAC_BITS - 15;
static_assert(FRAC_SHIFT >= 0);
constexpr int kSpanMost = 1024; // frames per call at most (the mixer's chunk)

} // namespace

// Split in two passes so the arithmetic vectorises: the first only gathers each frame's pair of
// samples in one load, the second does the sums; the fraction needs only pos's low 32 bits, which
// wrap like the whole. The sample difference times the fraction is taken as two 16-bit
// products, which is the same sum in 32 bits and vectorises more cheaply.
void Add_Span_Plain(const int16_t *wide, uint64_t pos, uint64_t step, int n, int32_t gain_l,
                    int32_t gain_r, int32_t *out) {
    uint32_t pairs[kSpanMost];
    while (n > kSpanMost) {
        Add_Span_Plain(wide, pos, step, kSpanMost, gain_l, gain_r, out);
        pos += step * kSpanMost;
        out += 2 * kSpanMost;
        n -= kSpanMost;
    }
    uint64_t p = pos;
    for (int j = 0; j < n; ++j, p += step)
        std::memcpy(&pairs[j], wide + (p >> FRAC_BITS), sizeof pairs[j]);
    const uint32_t lo = (uint32_t)pos, step_lo = (uint32_t)step;
    // The first sample of a pair sits in the low half on a little-endian machine.
    constexpr int here_shift = std::endian::native == std::endian::little ? 0 : 16;
    for (int j = 0; j < n; ++j) {
        const int16_t here = (int16_t)(pairs[j] >> here_shift);
        const int16_t next = (int16_t)(pairs[j] >> (16 - here_shift));
        const int16_t frac = (int16_t)(((lo + (uint32_t)j * step_lo) >> FRAC_SHIFT) & 0x7FFF);
        const int32_t a = here;
        const int32_t s = 2 * a + (((int32_t)next * frac - a * frac) >> 14);
        out[2 * j] += (s * gain_l) >> 15;
        out[2 * j + 1] += (s * gain_r) >> 15;
    }
}

#if FW_MIX_AVX2
namespace {

// Eight frames per step, in one pass: each lane keeps its frame's wide index and the position's
// low FRAC_BITS bits, and moves on by eight steps with the carry between them, so no lane needs
// 64 bits. One gather loads the eight pairs of samples; one 16-bit multiply-add gives
// next * frac - here * frac, as the plain loop's two products do.
__attribute__((target("avx2"))) void add_span_avx2(const int16_t *wide, uint64_t pos, uint64_t step,
                                                   int n, int32_t gain_l, int32_t gain_r,
                                                   int32_t *out) {
    constexpr uint64_t frac_mask = (1ull << FRAC_BITS) - 1;
    alignas(32) int32_t index0[8], frac0[8];
    uint64_t p = pos;
    for (int j = 0; j < 8; ++j, p += step) {
        index0[j] = (int32_t)(p >> FRAC_BITS);
        frac0[j] = (int32_t)(p & frac_mask);
    }
    const uint64_t eight = 8 * step;
    const __m256i index_step = _mm256_set1_epi32((int32_t)(eight >> FRAC_BITS));
    const __m256i frac_step = _mm256_set1_epi32((int32_t)(eight & frac_mask));
    const __m256i mask = _mm256_set1_epi32((int32_t)frac_mask);
    const __m256i low15 = _mm256_set1_epi32(0x7FFF);
    const __m256i gl = _mm256_set1_epi32(gain_l), gr = _mm256_set1_epi32(gain_r);
    __m256i index = _mm256_load_si256((const __m256i *)index0);
    __m256i frac = _mm256_load_si256((const __m256i *)frac0);
    int j = 0;
    for (; j + 8 <= n; j += 8) {
        // Each lane: the wide sample it starts at in its low half, the next in its high half.
        const __m256i pair = _mm256_i32gather_epi32((const int *)wide, index, 2);
        const __m256i f = _mm256_and_si256(_mm256_srli_epi32(frac, FRAC_SHIFT), low15);
        const __m256i weights = _mm256_or_si256(
            _mm256_slli_epi32(f, 16), _mm256_and_si256(_mm256_sub_epi32(_mm256_setzero_si256(), f),
                                                       _mm256_set1_epi32(0xFFFF)));
        const __m256i d = _mm256_madd_epi16(pair, weights);
        const __m256i a = _mm256_srai_epi32(_mm256_slli_epi32(pair, 16), 16);
        const __m256i s = _mm256_add_epi32(_mm256_slli_epi32(a, 1), _mm256_srai_epi32(d, 14));
        const __m256i l = _mm256_srai_epi32(_mm256_mullo_epi32(s, gl), 15);
        const __m256i r = _mm256_srai_epi32(_mm256_mullo_epi32(s, gr), 15);
        // l0 r0 l1 r1 | l4 r4 l5 r5 and l2 r2 l3 r3 | l6 r6 l7 r7, then in frame order.
        const __m256i lo = _mm256_unpacklo_epi32(l, r), hi = _mm256_unpackhi_epi32(l, r);
        __m256i *o = (__m256i *)(out + 2 * j);
        _mm256_storeu_si256(
            o, _mm256_add_epi32(_mm256_loadu_si256(o), _mm256_permute2x128_si256(lo, hi, 0x20)));
        _mm256_storeu_si256(o + 1, _mm256_add_epi32(_mm256_loadu_si256(o + 1),
                                                    _mm256_permute2x128_si256(lo, hi, 0x31)));
        frac = _mm256_add_epi32(frac, frac_step);
        index = _mm256_add_epi32(_mm256_add_epi32(index, index_step),
                                 _mm256_srli_epi32(frac, FRAC_BITS));
        frac = _mm256_and_si256(frac, mask);
    }
    if (j < n)
        Add_Span_Plain(wide, pos + step * (uint64_t)j, step, n - j, gain_l, gain_r, out + 2 * j);
}

bool have_avx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}

} // namespace
#endif

void Add_Span(const int16_t *wide, uint64_t pos, uint64_t step, int n, int32_t gain_l,
              int32_t gain_r, int32_t *out) {
#if FW_MIX_AVX2
    if (have_avx2()) {
        add_span_avx2(wide, pos, step, n, gain_l, gain_r, out);
        return;
    }
#endif
    Add_Span_Plain(wide, pos, step, n, gain_l, gain_r, out);
}
