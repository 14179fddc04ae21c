// CRC-32 by folding 64 bytes at a time with carry-less multiplies (four 128-bit lanes, folded
// together and reduced by Barrett's method at the end); short pieces, tails and processors
// without the instructions (the browser) go a byte at a time through a 256-entry table.
#include "engine/graphics/crc32.h"

#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FW_CRC_CLMUL 1
#endif

namespace {

constexpr std::array<uint32_t, 256> make_table() {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[i] = c;
    }
    return t;
}

constexpr std::array<uint32_t, 256> table = make_table();

uint32_t table_crc(uint32_t crc, const uint8_t *p, size_t len) {
    crc = ~crc;
    for (size_t i = 0; i < len; i++)
        crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

#ifdef FW_CRC_CLMUL
#define FW_WIDE_TARGET __attribute__((target("avx512f,avx512vl,vpclmulqdq,pclmul,sse4.1")))
// a * k, both 64-bit halves of every lane, xor b: one step of folding.
FW_WIDE_TARGET inline __m512i fold(__m512i a, __m512i k, __m512i b) {
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(a, k, 0x00),
                                     _mm512_clmulepi64_epi128(a, k, 0x11), b, 0x96);
}

// The wide path: 256 bytes a round in four 512-bit registers (sixteen 128-bit lanes), folded
// 2048 bits ahead, then the lanes folded into one; returns the single lane and consumes the
// bytes it handled from *buf and *len (a multiple of 256 of them, at least 256).
FW_WIDE_TARGET __m128i wide_fold(uint32_t raw, const uint8_t **buf_io, size_t *len_io) {
    const uint8_t *buf = *buf_io;
    size_t len = *len_io;
    // x^(2048+32) and x^(2048-32) mod P, reflected, in every lane.
    const __m512i k2048 =
        _mm512_set_epi64(0x01322d1430LL, 0x011542778aLL, 0x01322d1430LL, 0x011542778aLL,
                         0x01322d1430LL, 0x011542778aLL, 0x01322d1430LL, 0x011542778aLL);
    const __m512i k512 =
        _mm512_set_epi64(0x01c6e41596LL, 0x0154442bd4LL, 0x01c6e41596LL, 0x0154442bd4LL,
                         0x01c6e41596LL, 0x0154442bd4LL, 0x01c6e41596LL, 0x0154442bd4LL);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009eLL, 0x01751997d0LL);
    __m512i z0 = _mm512_loadu_si512(buf + 0);
    __m512i z1 = _mm512_loadu_si512(buf + 64);
    __m512i z2 = _mm512_loadu_si512(buf + 128);
    __m512i z3 = _mm512_loadu_si512(buf + 192);
    z0 = _mm512_xor_si512(z0, _mm512_zextsi128_si512(_mm_cvtsi32_si128((int)raw)));
    buf += 256;
    len -= 256;
    while (len >= 256) {
        z0 = fold(z0, k2048, _mm512_loadu_si512(buf + 0));
        z1 = fold(z1, k2048, _mm512_loadu_si512(buf + 64));
        z2 = fold(z2, k2048, _mm512_loadu_si512(buf + 128));
        z3 = fold(z3, k2048, _mm512_loadu_si512(buf + 192));
        buf += 256;
        len -= 256;
    }
    // Each register lies 512 bits before the next, lane for lane.
    z1 = fold(z0, k512, z1);
    z2 = fold(z1, k512, z2);
    z3 = fold(z2, k512, z3);
    __m128i lane[4];
    _mm512_storeu_si512(lane, z3);
    __m128i x = lane[0];
    const __m128i lanes[3] = {lane[1], lane[2], lane[3]};
    for (const __m128i &next : lanes) {
        const __m128i a = _mm_clmulepi64_si128(x, k3k4, 0x00);
        x = _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k3k4, 0x11), a), next);
    }
    *buf_io = buf;
    *len_io = len;
    return x;
}

bool have_wide() {
    static const bool yes =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("vpclmulqdq") && __builtin_cpu_supports("pclmul");
    return yes;
}

// Folds len bytes (a multiple of 16, at least 64) into the raw (not inverted) register value.
__attribute__((target("pclmul,sse4.1"))) uint32_t clmul_fold(uint32_t raw, const uint8_t *buf,
                                                             size_t len) {
    // x^(4*128+32) and x^(4*128-32) mod P, bit-reflected: fold across four lanes.
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596LL, 0x0154442bd4LL);
    // x^(128+32) and x^(128-32) mod P: fold one lane into the next.
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009eLL, 0x01751997d0LL);
    // x^64 mod P, for the 96-to-64-bit step.
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124LL);
    // Barrett constants: P itself and floor(x^64 / P), both reflected.
    const __m128i poly = _mm_set_epi64x(0x01f7011641LL, 0x01db710641LL);
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);

    __m128i x1;
    if (len >= 256 && have_wide()) {
        x1 = wide_fold(raw, &buf, &len);
    } else {
        __m128i x2 = _mm_loadu_si128((const __m128i *)(buf + 16));
        __m128i x3 = _mm_loadu_si128((const __m128i *)(buf + 32));
        __m128i x4 = _mm_loadu_si128((const __m128i *)(buf + 48));
        x1 = _mm_loadu_si128((const __m128i *)(buf + 0));
        x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128((int)raw));
        buf += 64;
        len -= 64;
        while (len >= 64) {
            const __m128i a1 = _mm_clmulepi64_si128(x1, k1k2, 0x00);
            const __m128i a2 = _mm_clmulepi64_si128(x2, k1k2, 0x00);
            const __m128i a3 = _mm_clmulepi64_si128(x3, k1k2, 0x00);
            const __m128i a4 = _mm_clmulepi64_si128(x4, k1k2, 0x00);
            x1 = _mm_clmulepi64_si128(x1, k1k2, 0x11);
            x2 = _mm_clmulepi64_si128(x2, k1k2, 0x11);
            x3 = _mm_clmulepi64_si128(x3, k1k2, 0x11);
            x4 = _mm_clmulepi64_si128(x4, k1k2, 0x11);
            x1 = _mm_xor_si128(_mm_xor_si128(x1, a1), _mm_loadu_si128((const __m128i *)(buf + 0)));
            x2 = _mm_xor_si128(_mm_xor_si128(x2, a2), _mm_loadu_si128((const __m128i *)(buf + 16)));
            x3 = _mm_xor_si128(_mm_xor_si128(x3, a3), _mm_loadu_si128((const __m128i *)(buf + 32)));
            x4 = _mm_xor_si128(_mm_xor_si128(x4, a4), _mm_loadu_si128((const __m128i *)(buf + 48)));
            buf += 64;
            len -= 64;
        }
        // Four lanes into one.
        const __m128i rest[3] = {x2, x3, x4};
        for (const __m128i &next : rest) {
            const __m128i a = _mm_clmulepi64_si128(x1, k3k4, 0x00);
            x1 = _mm_clmulepi64_si128(x1, k3k4, 0x11);
            x1 = _mm_xor_si128(_mm_xor_si128(x1, a), next);
        }
    }
    while (len >= 16) {
        const __m128i a = _mm_clmulepi64_si128(x1, k3k4, 0x00);
        x1 = _mm_clmulepi64_si128(x1, k3k4, 0x11);
        x1 = _mm_xor_si128(_mm_xor_si128(x1, a), _mm_loadu_si128((const __m128i *)buf));
        buf += 16;
        len -= 16;
    }
    // 128 bits to 64.
    __m128i t = _mm_clmulepi64_si128(x1, k3k4, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), t);
    t = _mm_srli_si128(x1, 4);
    x1 = _mm_and_si128(x1, low32);
    x1 = _mm_clmulepi64_si128(x1, k5, 0x00);
    x1 = _mm_xor_si128(x1, t);
    // Barrett reduction to 32 bits.
    t = _mm_and_si128(x1, low32);
    t = _mm_clmulepi64_si128(t, poly, 0x10);
    t = _mm_and_si128(t, low32);
    t = _mm_clmulepi64_si128(t, poly, 0x00);
    x1 = _mm_xor_si128(x1, t);
    return (uint32_t)_mm_extract_epi32(x1, 1);
}

bool have_clmul() {
    static const bool yes = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return yes;
}
#endif

} // namespace

uint32_t Crc32_Update(uint32_t crc, const void *data, size_t len) {
    const uint8_t *p = (const uint8_t *)data;
#ifdef FW_CRC_CLMUL
    if (len >= 64 && have_clmul()) {
        const size_t body = len & ~(size_t)15;
        crc = ~clmul_fold(~crc, p, body);
        p += body;
        len -= body;
    }
#endif
    return table_crc(crc, p, len);
}
