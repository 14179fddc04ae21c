// The span loop: its interpolation and channel gains worked by hand, and the vector loop chosen
// at start against the plain one over spans of every length, speed and gain.
#include "engine/sound/mixspan.h"
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

constexpr uint64_t WIDE_STEP = 1ull << 29; // one wide sample in a 32.32 position

TEST(MixSpan, InterpolatesAndScalesEachChannel) {
    // Wide samples 0, 1000, 3000, ...; frames at 0.5 and 1.25 of them. Halfway between the first
    // two reads 2 * 0 + ((1000 * 16384 - 0 * 16384) >> 14) = 1000 in the 16-bit scale; a quarter
    // past the second reads 2 * 1000 + ((3000 - 1000) * 8192 >> 14) = 3000. Left at full gain
    // (32768) keeps them, right at half (16384) halves them; both add to what out holds.
    std::vector<int16_t> wide = {0, 1000, 3000, 3000, 0, 0, 0, 0, 0, 0, 0, 0};
    int32_t out[4] = {5, 5, 5, 5};
    Add_Span(wide.data(), WIDE_STEP / 2, WIDE_STEP * 3 / 4, 2, 32768, 16384, out);
    EXPECT_EQ(out[0], 5 + 1000);
    EXPECT_EQ(out[1], 5 + 500);
    EXPECT_EQ(out[2], 5 + 3000);
    EXPECT_EQ(out[3], 5 + 1500);
    // Falling: from 3000 to 0 at three quarters gives 6000 + (-3000 * 24576 >> 14) = 1500.
    int32_t down[2] = {0, 0};
    Add_Span(wide.data(), 3 * WIDE_STEP + WIDE_STEP * 3 / 4, WIDE_STEP, 1, 32768, 0, down);
    EXPECT_EQ(down[0], 1500);
    EXPECT_EQ(down[1], 0);
}

TEST(MixSpan, VectorLoopGivesThePlainLoopsSums) {
    std::mt19937 rng(2024);
    std::vector<int16_t> wide(1 << 16);
    for (int16_t &s : wide)
        s = (int16_t)(rng() & 0xFFFF); // the whole 16-bit range, not only half scale
    // Steps slower and faster than the output, one that moves a whole wide sample per frame,
    // and fractions near their wrap; spans shorter than a vector step and of odd lengths.
    const uint64_t steps[] = {1,         0x3FFFFFFFull,  0x40000000ull, 0x10000000ull * 7 + 12345,
                              WIDE_STEP, 0x11F0A3D71ull, 0x2AB851EB8ull};
    const int lengths[] = {1, 7, 8, 9, 63, 500, 1024};
    const int32_t gains[][2] = {{32768, 32768}, {0, 32768}, {12345, 7}, {32767, 1}};
    for (uint64_t step : steps)
        for (int n : lengths)
            for (const auto &g : gains) {
                // Start anywhere that keeps the span inside the samples.
                uint64_t room = (uint64_t)(wide.size() - 2) << 29;
                uint64_t span = step * (uint64_t)n;
                if (span >= room) continue;
                uint64_t pos = ((uint64_t)rng() << 20 | rng()) % (room - span);
                std::vector<int32_t> plain(2 * (size_t)n), vec(2 * (size_t)n);
                for (size_t i = 0; i < plain.size(); i++)
                    plain[i] = vec[i] = (int32_t)(rng() % 2001) - 1000;
                Add_Span_Plain(wide.data(), pos, step, n, g[0], g[1], plain.data());
                Add_Span(wide.data(), pos, step, n, g[0], g[1], vec.data());
                ASSERT_EQ(plain, vec) << "step " << step << " n " << n << " gain " << g[0];
            }
}

} // namespace
