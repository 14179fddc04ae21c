// The mixer: exact samples, resampling by frequency, looping, restart, the volume and pan laws
// and clamping of the sum.
#include "tests/engine/sound/sound_fixture.h"
#include <cmath>

namespace {

using Mixer = SoundTest;

// 8-bit sample u sounds as (u - 128) * 256 on the 16-bit output.
const Bytes kShort = {138, 108, 158, 168}; // +10, -20, +30, +40

TEST_F(Mixer, OneSampleAFrameAtTheOutputRate) {
    int id = load(kShort);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    std::vector<int16_t> a = pull(2);
    EXPECT_EQ(a, (std::vector<int16_t>{2560, 2560, -5120, -5120}));
    EXPECT_EQ(DSound_Status_Sound(id), DSBSTATUS_PLAYING);
    EXPECT_EQ(DSound_Get_Position(id), 2);
    std::vector<int16_t> b = pull(4);
    EXPECT_EQ(b, (std::vector<int16_t>{7680, 7680, 10240, 10240, 0, 0, 0, 0}));
    // Played once, it reads 0 after its end.
    EXPECT_EQ(DSound_Status_Sound(id), 0);
}

TEST_F(Mixer, HalfRateInterpolatesBetweenSamples) {
    int id = load(kShort);
    ASSERT_EQ(DSound_Set_Freq(id, 22050), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    std::vector<int16_t> out = pull(10);
    // Samples 2560, -5120, 7680, 10240 with their midpoints; the last holds (nothing follows).
    std::vector<int16_t> left;
    for (size_t i = 0; i < out.size(); i += 2)
        left.push_back(out[i]);
    EXPECT_EQ(left,
              (std::vector<int16_t>{2560, -1280, -5120, 1280, 7680, 8960, 10240, 10240, 0, 0}));
}

TEST_F(Mixer, FrameCountFollowsTheFrequency) {
    // 100 samples of +50: at 11025 each lasts 44100/11025 = 4 frames, so 400 frames sound.
    Bytes flat(100, 178);
    int id = load(flat);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    std::vector<int16_t> out = pull(1000);
    int sounding = 0;
    for (size_t i = 0; i < out.size(); i += 2)
        if (out[i] != 0) {
            ASSERT_EQ(out[i], 12800) << i;
            ++sounding;
        }
    EXPECT_EQ(sounding, 400);
    // At 22050 the same sound lasts 200 frames; the status turns 0 exactly at its end.
    ASSERT_EQ(DSound_Set_Freq(id, 22050), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    pull(199);
    EXPECT_EQ(DSound_Status_Sound(id), DSBSTATUS_PLAYING);
    out = pull(2);
    EXPECT_EQ(out, (std::vector<int16_t>{12800, 12800, 0, 0}));
    EXPECT_EQ(DSound_Status_Sound(id), 0);
}

TEST_F(Mixer, ChangingTheFrequencyWhilePlaying) {
    Bytes flat(100, 178);
    int id = load(flat);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    pull(200); // 50 samples at a quarter sample a frame
    EXPECT_EQ(DSound_Get_Position(id), 50);
    ASSERT_EQ(DSound_Set_Freq(id, 88200), 1); // two samples a frame: 25 more frames
    pull(24);
    EXPECT_EQ(DSound_Status_Sound(id), DSBSTATUS_PLAYING);
    pull(1);
    EXPECT_EQ(DSound_Status_Sound(id), 0);
}

TEST_F(Mixer, LoopWrapsToTheFirstSample) {
    int id = load(kShort);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    ASSERT_EQ(DSound_Play(id, DSBPLAY_LOOPING, 0, 0, 0), 1);
    std::vector<int16_t> out = pull(10);
    std::vector<int16_t> left;
    for (size_t i = 0; i < out.size(); i += 2)
        left.push_back(out[i]);
    EXPECT_EQ(left, (std::vector<int16_t>{2560, -5120, 7680, 10240, 2560, -5120, 7680, 10240, 2560,
                                          -5120}));
    // Interpolation across the seam runs from the last sample into the first.
    ASSERT_EQ(DSound_Set_Freq(id, 22050), 1);
    ASSERT_EQ(DSound_Play(id, DSBPLAY_LOOPING, 0, 0, 0), 1);
    out = pull(10);
    EXPECT_EQ(out[2 * 7], (10240 + 2560) / 2);
    EXPECT_EQ(out[2 * 8], 2560);
    EXPECT_EQ(DSound_Status_Sound(id), 5);
}

TEST_F(Mixer, PlayRestartsAndStopRewinds) {
    int id = load(kShort);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    pull(3);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1); // restarts from the first sample
    EXPECT_EQ(pull(1)[0], 2560);
    ASSERT_EQ(DSound_Stop_Sound(id), 1);
    EXPECT_EQ(pull(1)[0], 0);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    EXPECT_EQ(pull(1)[0], 2560);
}

TEST_F(Mixer, PlayIgnoresItsVolumeRateAndPanArguments) {
    int id = load(kShort);
    ASSERT_EQ(DSound_Play(id, 0, 50, 44100, -10000), 1);
    EXPECT_EQ(DSound_Get_Freq(id), 11025);
    EXPECT_EQ(DSound_Get_Volume(id), 0);
    EXPECT_EQ(DSound_Get_Pan(id), 0);
    // Full volume on both sides at 11025: four frames a sample, stepping a quarter of the way
    // from 2560 to -5120 each frame.
    EXPECT_EQ(pull(5), (std::vector<int16_t>{2560, 2560, 640, 640, -1280, -1280, -3200, -3200,
                                             -5120, -5120}));
}

TEST_F(Mixer, VolumeFollowsTheDecibelLaw) {
    Bytes flat(400, 178); // +50: 12800 at full volume
    int id = load(flat);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    // -30 x (100 - v) hundredths of a decibel: gain 10^(-30 (100 - v) / 2000).
    struct Case {
        int volume;
        double expect;
    } cases[] = {{100, 12800.0},
                 {50, 12800.0 * std::pow(10.0, -1500.0 / 2000.0)},
                 {0, 12800.0 * std::pow(10.0, -3000.0 / 2000.0)}};
    for (const Case &c : cases) {
        ASSERT_EQ(DSound_Set_Volume(id, c.volume), 1);
        ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
        std::vector<int16_t> out = pull(1);
        EXPECT_NEAR(out[0], c.expect, 1.0) << c.volume;
        EXPECT_NEAR(out[1], c.expect, 1.0) << c.volume;
    }
    // -10000 is silence.
    ASSERT_EQ(DSound_Set_Volume(id, -233), 1); // -9990: 12800 x 10^-4.995 = 0.13
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    EXPECT_EQ(pull(1)[0], 0);
    EXPECT_EQ(DSound_Attenuation_Gain(-10000), 0.0f);
    EXPECT_FLOAT_EQ(DSound_Attenuation_Gain(-2000), 0.1f);
    EXPECT_FLOAT_EQ(DSound_Attenuation_Gain(-600), 0.5011872f);
}

TEST_F(Mixer, PanAttenuatesTheOtherSide) {
    Bytes flat(400, 178);
    int id = load(flat);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    ASSERT_EQ(DSound_Play(id, DSBPLAY_LOOPING, 0, 0, 0), 1);
    ASSERT_EQ(DSound_Set_Pan(id, -10000), 1); // full left: right silent
    std::vector<int16_t> out = pull(1);
    EXPECT_EQ(out[0], 12800);
    EXPECT_EQ(out[1], 0);
    ASSERT_EQ(DSound_Set_Pan(id, 2000), 1); // right: left down 20 dB, a tenth
    out = pull(1);
    EXPECT_NEAR(out[0], 1280, 1);
    EXPECT_EQ(out[1], 12800);
    // Volume and pan multiply: -6 dB and pan -600 leave the right at 10^-0.6 of full.
    ASSERT_EQ(DSound_Set_Volume(id, 80), 1);
    ASSERT_EQ(DSound_Set_Pan(id, -600), 1);
    out = pull(1);
    EXPECT_NEAR(out[0], 12800 * std::pow(10.0, -0.3), 1.0);
    EXPECT_NEAR(out[1], 12800 * std::pow(10.0, -0.6), 1.0);
}

TEST_F(Mixer, SumIsClampedOnceAtTheEnd) {
    int loud = load(Bytes(8, 255)); // +127 x 256 = 32512
    int neg = load(Bytes(8, 0));    // -128 x 256 = -32768
    int loud2 = DSound_Replicate_Sound(loud);
    for (int id : {loud, neg, loud2})
        ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    // Two loud and one negative: 32512 + 32512 - 32768 = 32256, not clipped on the way.
    for (int id : {loud, neg, loud2})
        ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    EXPECT_EQ(pull(1)[0], 32256);
    // Two loud alone: 65024 clamps to 32767; two negative: -65536 clamps to -32768.
    ASSERT_EQ(DSound_Stop_Sound(neg), 1);
    EXPECT_EQ(pull(1)[0], 32767);
    int neg2 = DSound_Replicate_Sound(neg);
    ASSERT_EQ(DSound_Stop_All_Sounds(), 1);
    ASSERT_EQ(DSound_Play(neg, 0, 0, 0, 0), 1);
    ASSERT_EQ(DSound_Play(neg2, 0, 0, 0, 0), 1);
    EXPECT_EQ(pull(1)[1], -32768);
}

TEST_F(Mixer, ManyVoicesAndLongRuns) {
    // 32 copies of a looped sound over ten seconds of output: the loop never drifts.
    Bytes ramp(441);
    for (int i = 0; i < 441; ++i)
        ramp[i] = (uint8_t)(128 + (i % 3) - 1);
    int src = load(ramp);
    ASSERT_EQ(DSound_Set_Freq(src, 44100), 1);
    std::vector<int> ids = {src};
    for (int i = 1; i < 32; ++i)
        ids.push_back(DSound_Replicate_Sound(src));
    for (int id : ids)
        ASSERT_EQ(DSound_Play(id, DSBPLAY_LOOPING, 0, 0, 0), 1);
    std::vector<int16_t> out = pull(441000);
    // Frame k plays sample k mod 441: (k mod 3 - 1) x 256 from each of 32 voices.
    for (int k : {0, 1, 2, 440, 441, 100000, 440999})
        EXPECT_EQ(out[2 * (size_t)k], 32 * ((k % 441) % 3 - 1) * 256) << k;
    EXPECT_EQ(DSound_Get_Position(src), 0);
}

TEST_F(Mixer, HeadlessTimePullsTheCallback) {
    int id = load(Bytes(441, 178));
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    Headless_Capture_Audio(1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    std::vector<int16_t> out(2 * 600);
    Headless_Pull_Audio(600, out.data());
    EXPECT_EQ(out[0], 12800);
    EXPECT_EQ(out[2 * 440], 12800);
    EXPECT_EQ(out[2 * 441], 0);
    EXPECT_EQ(DSound_Status_Sound(id), 0);
    const std::vector<int16_t> &cap = Headless_Audio();
    ASSERT_GE(cap.size(), 2u * 600);
    EXPECT_EQ(cap[2 * 440 + 1], 12800);
    std::string path = temp_dir() + "/mix.wav";
    EXPECT_EQ(Headless_Write_Audio_Wav(path.c_str()), 1);
    Headless_Capture_Audio(0);
}

} // namespace
