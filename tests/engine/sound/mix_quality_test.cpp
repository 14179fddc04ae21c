// What the mix sounds like: images of a resampled tone far below it, the oversampled samples
// keeping the source's own values, and a crowded mix that never reaches full scale.
#include "tests/engine/sound/sound_fixture.h"
#include "engine/sound/mixer.h"
#include "engine/sound/mixstage.h"
#include <cmath>
#include <string>

namespace {

using MixQuality = SoundTest;

// Level of frequency f in a Hann-windowed stretch of the left channel (Goertzel's recurrence).
double level_at(const std::vector<int16_t> &out, int first, int n, double f, int rate) {
    const double w = 2 * M_PI * f / rate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (int k = 0; k < n; ++k) {
        const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * k / (n - 1));
        const double s0 = hann * out[2 * (size_t)(first + k)] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - c * s1 * s2);
}

// An 8-bit sine of amplitude 100 at f Hz, sampled at rate, lasting seconds.
Bytes tone(double f, int rate, double seconds) {
    Bytes b((size_t)(rate * seconds));
    for (size_t n = 0; n < b.size(); ++n)
        b[n] = (uint8_t)(128 + std::lround(100 * std::sin(2 * M_PI * f * n / rate)));
    return b;
}

// How far below the tone (dB) its strongest image lies, for a tone at f played at rate.
double image_rejection(int rate, double f) {
    std::vector<int16_t> out(2 * 44100);
    DSound_Mix(out.data(), 44100);
    const int first = 4096, n = 32768;
    const double signal = level_at(out, first, n, f, 44100);
    double worst = 0;
    // Images sit around every multiple of the source rate, up to the output's Nyquist.
    for (int m = 1; m * rate - f < 22050; ++m)
        for (double image : {m * rate - f, m * rate + f})
            if (image < 22050) worst = std::max(worst, level_at(out, first, n, image, 44100));
    return 20 * std::log10(signal / worst);
}

TEST_F(MixQuality, ImagesOfA11025HzSourceAre40DbDown) {
    // 2 kHz from an 11025 Hz source: images at 9025, 13025 and 20050 Hz.
    for (double f : {1000.0, 2000.0, 4000.0}) {
        int id = load(tone(f, 11025, 1.2));
        ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
        const double db = image_rejection(11025, f);
        EXPECT_GE(db, 40.0) << f;
        RecordProperty("rejection_11025_" + std::to_string((int)f), std::to_string(db));
        ASSERT_EQ(DSound_Stop_All_Sounds(), 1);
        DSound_Delete_Sound(id);
    }
}

TEST_F(MixQuality, ImagesOfA22050HzSourceAre40DbDown) {
    for (double f : {3000.0, 8000.0}) {
        int id = load(tone(f, 22050, 1.2));
        ASSERT_EQ(DSound_Set_Freq(id, 22050), 1);
        ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
        const double db = image_rejection(22050, f);
        EXPECT_GE(db, 40.0) << f;
        RecordProperty("rejection_22050_" + std::to_string((int)f), std::to_string(db));
        ASSERT_EQ(DSound_Stop_All_Sounds(), 1);
        DSound_Delete_Sound(id);
    }
}

TEST(Oversample, KeepsTheSourceValuesAndConstants) {
    const std::vector<uint8_t> src = {128, 255, 0, 200, 60, 128, 128, 140};
    Wide_Samples wide = Oversample(src);
    ASSERT_NE(wide, nullptr);
    ASSERT_EQ(wide->size(), src.size() << WIDE_SHIFT);
    for (size_t i = 0; i < src.size(); ++i)
        EXPECT_EQ((*wide)[i << WIDE_SHIFT], (src[i] - 128) * 128) << i;
    // A constant stays that constant between the samples too, edges included.
    Wide_Samples flat = Oversample(std::vector<uint8_t>(50, 178));
    for (int16_t v : *flat)
        ASSERT_EQ(v, 50 * 128);
    // A single sample is held: nothing before or after it to ring against.
    Wide_Samples one = Oversample(std::vector<uint8_t>{0});
    ASSERT_EQ(one->size(), 1u << WIDE_SHIFT);
    for (int16_t v : *one)
        EXPECT_EQ(v, -128 * 128);
}

TEST(Oversample, RefusesASoundLongerThanTheGameCouldHold) {
    // 2^24 samples (25 minutes at 11025 Hz) is the longest; one more is refused outright.
    EXPECT_EQ(Oversample(std::vector<uint8_t>((1u << 24) + 1, 128)), nullptr);
    EXPECT_NE(Oversample(std::vector<uint8_t>(1u << 20, 128)), nullptr);
}

TEST_F(MixQuality, ACrowdOfLoudSoundsNeverReachesFullScale) {
    // 32 voices of full-scale noise at their own rates and pans, for two seconds.
    std::vector<int> ids;
    unsigned seed = 99;
    for (int v = 0; v < 32; ++v) {
        Bytes noise(11025);
        for (uint8_t &b : noise) {
            seed = seed * 1103515245u + 12345u;
            b = (seed >> 16) & 1 ? 255 : 0;
        }
        int id = load(noise);
        ASSERT_GE(id, 0);
        ASSERT_EQ(DSound_Set_Freq(id, 11025 + 700 * v), 1);
        ASSERT_EQ(DSound_Set_Pan(id, -3000 + 200 * v), 1);
        ASSERT_EQ(DSound_Play(id, DSBPLAY_LOOPING, 0, 0, 0), 1);
        ids.push_back(id);
    }
    std::vector<int16_t> out = pull(2 * 44100);
    int full = 0, loud = 0;
    for (int16_t s : out) {
        full += s == 32767 || s == -32768;
        loud += std::abs(s) > 16000;
    }
    EXPECT_EQ(full, 0);
    EXPECT_GT(loud, 1000); // and it is still loud
}

} // namespace
