// The mixer: exact samples, resampling by frequency, looping, restart, the volume and pan laws.
// The mix plays at MIX_HEADROOM (0.7) of full level: sample u sounds as (u - 128) * 256 * 0.7.
#include "tests/engine/sound/sound_fixture.h"
#include "engine/sound/mixer.h"
#include <cmath>

namespace {

using Mixer = SoundTest;

const Bytes kShort = {138, 108, 158, 168}; // +10, -20, +30, +40: 1792, -3584, 5376, 7168

TEST_F(Mixer, OneSampleAFrameAtTheOutputRate) {
    int id = load(kShort);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    std::vector<int16_t> a = pull(2);
    EXPECT_EQ(a, (std::vector<int16_t>{1792, 1792, -3584, -3584}));
    EXPECT_EQ(DSound_Status_Sound(id), DSBSTATUS_PLAYING);
    EXPECT_EQ(DSound_Get_Position(id), 2);
    std::vector<int16_t> b = pull(4);
    EXPECT_EQ(b, (std::vector<int16_t>{5376, 5376, 7168, 7168, 0, 0, 0, 0}));
    // Played once, it reads 0 after its end.
    EXPECT_EQ(DSound_Status_Sound(id), 0);
}

TEST_F(Mixer, HalfRateKeepsEverySampleAndFollowsTheCurveBetween) {
    // A slow sine, 40 samples a cycle, at half a sample a frame: even frames are the samples
    // themselves, odd ones the curve between them to within one 8-bit step (180 at 0.7).
    Bytes sine(400);
    for (int n = 0; n < 400; ++n)
        sine[n] = (uint8_t)(128 + std::lround(100 * std::sin(2 * M_PI * n / 40)));
    int id = load(sine);
    ASSERT_EQ(DSound_Set_Freq(id, 22050), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    std::vector<int16_t> out = pull(800);
    for (int n = 20; n < 380; ++n) {
        ASSERT_EQ(out[4 * n], std::lrint((sine[n] - 128) * 256 * 0.7f)) << n;
        const double between = 0.7 * 256 * 100 * std::sin(2 * M_PI * (n + 0.5) / 40);
        ASSERT_NEAR(out[4 * n + 2], between, 180.0) << n;
    }
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
            ASSERT_EQ(out[i], 8960) << i;
            ++sounding;
        }
    EXPECT_EQ(sounding, 400);
    // At 22050 the same sound lasts 200 frames; the status turns 0 exactly at its end.
    ASSERT_EQ(DSound_Set_Freq(id, 22050), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    pull(199);
    EXPECT_EQ(DSound_Status_Sound(id), DSBSTATUS_PLAYING);
    out = pull(2);
    EXPECT_EQ(out, (std::vector<int16_t>{8960, 8960, 0, 0}));
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
    EXPECT_EQ(left, (std::vector<int16_t>{1792, -3584, 5376, 7168, 1792, -3584, 5376, 7168, 1792,
                                          -3584}));
    // At half a sample a frame the loop repeats every eight frames, starting on its first
    // sample each time.
    ASSERT_EQ(DSound_Set_Freq(id, 22050), 1);
    ASSERT_EQ(DSound_Play(id, DSBPLAY_LOOPING, 0, 0, 0), 1);
    out = pull(40);
    for (int k = 0; k < 32; ++k)
        EXPECT_EQ(out[2 * k], out[2 * (k + 8)]) << k;
    EXPECT_EQ(out[2 * 8], 1792);
    EXPECT_EQ(DSound_Status_Sound(id), 5);
}

TEST_F(Mixer, PlayRestartsAndStopRewinds) {
    int id = load(kShort);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    pull(3);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1); // restarts from the first sample
    EXPECT_EQ(pull(1)[0], 1792);
    ASSERT_EQ(DSound_Stop_Sound(id), 1);
    EXPECT_EQ(pull(1)[0], 0);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    EXPECT_EQ(pull(1)[0], 1792);
}

TEST_F(Mixer, PlayIgnoresItsVolumeRateAndPanArguments) {
    int id = load(kShort);
    ASSERT_EQ(DSound_Play(id, 0, 50, 44100, -10000), 1);
    EXPECT_EQ(DSound_Get_Freq(id), 11025);
    EXPECT_EQ(DSound_Get_Volume(id), 0);
    EXPECT_EQ(DSound_Get_Pan(id), 0);
    // Full volume on both sides at 11025: four frames a sample, so frames 0 and 4 are the
    // first two samples, the same on both sides.
    const std::vector<int16_t> out = pull(5);
    EXPECT_EQ(out[0], 1792);
    EXPECT_EQ(out[1], 1792);
    EXPECT_EQ(out[8], -3584);
    EXPECT_EQ(out[9], -3584);
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(out[2 * k], out[2 * k + 1]) << k;
}

TEST_F(Mixer, VolumeFollowsTheDecibelLaw) {
    Bytes flat(400, 178); // +50: 8960 at full volume
    int id = load(flat);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    // -30 x (100 - v) hundredths of a decibel: gain 10^(-30 (100 - v) / 2000).
    struct Case {
        int volume;
        double expect;
    } cases[] = {{100, 8960.0},
                 {50, 8960.0 * std::pow(10.0, -1500.0 / 2000.0)},
                 {0, 8960.0 * std::pow(10.0, -3000.0 / 2000.0)}};
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
    EXPECT_EQ(out[0], 8960);
    EXPECT_EQ(out[1], 0);
    ASSERT_EQ(DSound_Set_Pan(id, 2000), 1); // right: left down 20 dB, a tenth
    out = pull(1);
    EXPECT_NEAR(out[0], 896, 1);
    EXPECT_EQ(out[1], 8960);
    // Volume and pan multiply: -6 dB and pan -600 leave the right at 10^-0.6 of full.
    ASSERT_EQ(DSound_Set_Volume(id, 80), 1);
    ASSERT_EQ(DSound_Set_Pan(id, -600), 1);
    out = pull(1);
    EXPECT_NEAR(out[0], 8960 * std::pow(10.0, -0.3), 1.0);
    EXPECT_NEAR(out[1], 8960 * std::pow(10.0, -0.6), 1.0);
}

TEST_F(Mixer, LoudSumsAreTurnedDownNotClipped) {
    int loud = load(Bytes(44100, 255)); // +127: 32512, 22758 at 0.7
    int neg = load(Bytes(44100, 0));    // -128: -32768, -22938 at 0.7
    int loud2 = DSound_Replicate_Sound(loud);
    for (int id : {loud, neg, loud2})
        ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    // Two loud and one negative: (32512 + 32512 - 32768) x 0.7 = 22579.2, under the ceiling.
    for (int id : {loud, neg, loud2})
        ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    EXPECT_EQ(pull(1)[0], 22579);
    // Two loud alone: 45516.8 would be past full scale; the limiter holds it at 23000.
    ASSERT_EQ(DSound_Stop_Sound(neg), 1);
    std::vector<int16_t> out = pull(100);
    for (int16_t v : out)
        ASSERT_EQ(v, 23000);
    // Once they stop, the gain climbs back within a second: a lone sound plays at 0.7 again.
    ASSERT_EQ(DSound_Stop_All_Sounds(), 1);
    pull(44100);
    ASSERT_EQ(DSound_Play(neg, 0, 0, 0, 0), 1);
    EXPECT_EQ(pull(1)[1], -22938);
    // Two negative: -45875.2, held at -23000, never at -32768.
    int neg2 = DSound_Replicate_Sound(neg);
    ASSERT_EQ(DSound_Play(neg2, 0, 0, 0, 0), 1);
    out = pull(10);
    EXPECT_EQ(out[1], -23000);
}

TEST_F(Mixer, ALoneLoudSoundIsNeverLimited) {
    // A full-scale square: every sample comes out at 0.7 of its level, the same gain throughout
    // (a limiter that pumped would move it).
    Bytes square(4000);
    for (int i = 0; i < 4000; ++i)
        square[i] = (i / 50) % 2 ? 0 : 255;
    int id = load(square);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    std::vector<int16_t> out = pull(4000);
    double in_power = 0, out_power = 0;
    for (int i = 0; i < 4000; ++i) {
        const int v = (square[i] - 128) * 256;
        ASSERT_EQ(out[2 * i], std::lrint(v * 0.7f)) << i;
        in_power += (double)v * v;
        out_power += (double)out[2 * i] * out[2 * i];
    }
    // 20 log10(0.7) = -3.10 dB below the unscaled level, and no further.
    const double db = 10 * std::log10(out_power / in_power);
    EXPECT_LT(db, 0.0);
    EXPECT_GT(db, -3.2);
}

TEST_F(Mixer, MasterLevelScalesTheWholeMix) {
    int id = load(Bytes(400, 178)); // 8960 at full
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    ASSERT_EQ(DSound_Play(id, DSBPLAY_LOOPING, 0, 0, 0), 1);
    Mixer_Set_Master(50);
    EXPECT_EQ(Mixer_Master(), 50);
    EXPECT_EQ(pull(1)[0], 4480);
    Mixer_Set_Master(0);
    std::vector<int16_t> out = pull(100);
    for (int16_t v : out)
        ASSERT_EQ(v, 0);
    Mixer_Set_Master(-5); // held at silence
    EXPECT_EQ(Mixer_Master(), 0);
    Mixer_Set_Master(150); // held at full
    EXPECT_EQ(Mixer_Master(), 100);
    EXPECT_EQ(pull(1)[0], 8960);
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
        EXPECT_EQ(out[2 * (size_t)k], ((k % 441) % 3 - 1) * 5734) << k; // 32 x 256 x 0.7 = 5734.4
    EXPECT_EQ(DSound_Get_Position(src), 0);
}

// Stopping the sounds played once leaves a loop and a stopped sound as they were, and the
// stopped one is silent from the next frame.
TEST_F(Mixer, StoppingTheUnloopedKeepsTheLoops) {
    int once = load(Bytes(100, 178)), loop = load(kShort), idle = load(kShort);
    ASSERT_EQ(DSound_Play(once, 0, 0, 0, 0), 1);
    ASSERT_EQ(DSound_Play(loop, DSBPLAY_LOOPING, 0, 0, 0), 1);
    pull(4);
    EXPECT_EQ(Mixer_Stop_Unlooped(), 1);
    EXPECT_EQ(DSound_Status_Sound(once), 0);
    EXPECT_EQ(DSound_Status_Sound(loop), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(DSound_Status_Sound(idle), 0);
    ASSERT_EQ(DSound_Stop_Sound(loop), 1);
    EXPECT_EQ(pull(2), (std::vector<int16_t>{0, 0, 0, 0}));
    EXPECT_EQ(Mixer_Stop_Unlooped(), 0);
}

TEST_F(Mixer, HeadlessTimePullsTheCallback) {
    int id = load(Bytes(441, 178));
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    Headless_Capture_Audio(1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    std::vector<int16_t> out(2 * 600);
    Headless_Pull_Audio(600, out.data());
    EXPECT_EQ(out[0], 8960);
    EXPECT_EQ(out[2 * 440], 8960);
    EXPECT_EQ(out[2 * 441], 0);
    EXPECT_EQ(DSound_Status_Sound(id), 0);
    const std::vector<int16_t> &cap = Headless_Audio();
    ASSERT_GE(cap.size(), 2u * 600);
    EXPECT_EQ(cap[2 * 440 + 1], 8960);
    std::string path = temp_dir() + "/mix.wav";
    EXPECT_EQ(Headless_Write_Audio_Wav(path.c_str()), 1);
    Headless_Capture_Audio(0);
}

} // namespace
