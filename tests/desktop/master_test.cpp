// The master volume: a plain gain on the whole mix, 100 leaving it exactly as mixed.
#include "engine/sound/mixer.h"
#include "sound_fixture.h"

namespace {

using Master = SoundTest;

// 8-bit sample 192 sounds as (192 - 128) * 256 = 16384 at full volume.
const Bytes kFlat(64, 192);

TEST_F(Master, ScalesTheWholeMixAndClampsItsArgument) {
    int id = load(kFlat);
    ASSERT_EQ(DSound_Play(id, DSBPLAY_LOOPING, 0, 0, 0), 1);
    struct Case {
        int percent;
        int16_t expect;
    };
    // 16384 * p / 100, truncated toward zero: 50 -> 8192, 33 -> 5406, 1 -> 163.
    for (Case c : {Case{100, 16384}, Case{50, 8192}, Case{33, 5406}, Case{1, 163}, Case{0, 0},
                   Case{-20, 0}, Case{250, 16384}}) {
        Mixer_Set_Master(c.percent);
        std::vector<int16_t> out = pull(3);
        for (int16_t s : out)
            EXPECT_EQ(s, c.expect) << c.percent;
    }
    Mixer_Set_Master(100);
}

TEST_F(Master, NegativeSamplesScaleTowardZeroAndTheSumIsClampedAfter) {
    // Sample 0 sounds as -32768; two of them sum to -65536, which the gain halves before the
    // clamp: -32768 exactly, where a clamp first would give -16384.
    int a = load(Bytes(32, 0));
    int b = load(Bytes(32, 0));
    ASSERT_EQ(DSound_Play(a, DSBPLAY_LOOPING, 0, 0, 0), 1);
    ASSERT_EQ(DSound_Play(b, DSBPLAY_LOOPING, 0, 0, 0), 1);
    Mixer_Set_Master(50);
    for (int16_t s : pull(2))
        EXPECT_EQ(s, -32768);
    Mixer_Set_Master(25);
    for (int16_t s : pull(2))
        EXPECT_EQ(s, -16384);
    Mixer_Set_Master(100);
    for (int16_t s : pull(2))
        EXPECT_EQ(s, -32768);
}

} // namespace
