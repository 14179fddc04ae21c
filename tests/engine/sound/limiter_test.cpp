// The limiter's ceiling rule on made-up sums: under the ceiling a frame is only scaled by the
// mix's gain; past it both channels are turned down together to land on the ceiling, then the
// gain recovers at its release pace. Values worked out from MIX_HEADROOM 0.7 and 23000.
#include "engine/sound/mixstage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

constexpr int RATE = 44100;

struct Frame {
    int32_t left, right;
    int16_t want_left, want_right;
};

std::vector<int16_t> Limit_Frames(Limiter &l, const std::vector<Frame> &frames) {
    std::vector<int32_t> acc;
    for (const Frame &f : frames)
        acc.insert(acc.end(), {f.left, f.right});
    std::vector<int16_t> out(acc.size());
    Limit(l, acc.data(), out.data(), (int)frames.size(), MIX_HEADROOM, RATE);
    return out;
}

TEST(Limiter, HoldsTheCeilingAndLetsGoAfterwards) {
    ASSERT_EQ(MIX_HEADROOM, 0.7f);
    ASSERT_EQ(LIMIT_CEILING, 23000.0f); // 20 log10(23000 / 32768) = -3.07 dBFS
    const std::vector<Frame> frames = {
        {10000, -10000, 7000, -7000},   // 0.7 of each, far under the ceiling
        {32767, -32768, 22937, -22938}, // a lone full-scale sound: 22936.9, -22937.6, not limited
        {40000, 20000, 23000, 11500},   // 28000 past it: both sides by 23000 / 28000
        {-40000, 0, -23000, 0},         // the same peak below zero
        {INT_MAX, INT_MIN, 23000, -23000}, // the loudest sum there is still lands on the ceiling
    };
    Limiter l;
    std::vector<int16_t> out = Limit_Frames(l, frames);
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(out[2 * i], frames[i].want_left);
        EXPECT_EQ(out[2 * i + 1], frames[i].want_right);
    }
}

TEST(Limiter, RecoversAtItsReleasePace) {
    Limiter l;
    Limit_Frames(l, {{40000, 40000, 23000, 23000}}); // envelope 28000
    // The next frame: the envelope fell by e^(-1 / 4410) to 27993.65, so 10000 plays as
    // 7000 x 23000 / 27993.65 = 5751.3.
    std::vector<int16_t> next = Limit_Frames(l, {{10000, 10000, 0, 0}});
    EXPECT_EQ(next[0], 5751);
    // A second of silence: the envelope is 28000 e^-10 = 1.3, far below the ceiling again.
    std::vector<Frame> quiet(RATE, Frame{0, 0, 0, 0});
    Limit_Frames(l, quiet);
    EXPECT_EQ(Limit_Frames(l, {{10000, 10000, 0, 0}})[0], 7000);
}

} // namespace
