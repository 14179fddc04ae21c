// The nine generated sounds: present, in the form the loader plays, at their playing rates,
// below full scale, centred on silence, and the engine loop without a click.
#include "engine/sound/wavfile.h"
#include "tests/support/sound_files.h"
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

Bytes read_all(const std::string &path) {
    Bytes b;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return b;
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        b.insert(b.end(), buf, buf + n);
    std::fclose(f);
    return b;
}

struct Expect {
    const char *name;
    int rate;
    double min_seconds, max_seconds;
};

// The five the game sets to 22050 are made at 22050; the rest at the fixed 11025.
const Expect kSounds[] = {
    {"gameover.wav", 11025, 1.0, 4.0}, {"victory.wav", 22050, 0.8, 3.0},
    {"engine.wav", 11025, 0.3, 2.0},   {"blaze.wav", 22050, 0.4, 2.5},
    {"beep00.wav", 11025, 0.1, 1.0},   {"missile00.wav", 11025, 0.3, 1.5},
    {"boom67.wav", 22050, 0.8, 3.0},   {"boom45.wav", 22050, 0.15, 1.0},
    {"pdlaser.wav", 22050, 0.1, 0.6},
};

TEST(GeneratedSounds, FormRateLevelAndCentre) {
    for (const Expect &e : kSounds) {
        Bytes file = read_all(std::string(FW_DATA_DIR) + "/" + e.name);
        ASSERT_FALSE(file.empty()) << e.name;
        WAV_SOUND w;
        ASSERT_EQ(Parse_WAV(file.data(), file.size(), &w), 1) << e.name;
        EXPECT_EQ(w.channels, 1) << e.name;
        EXPECT_EQ(w.bits, 8) << e.name;
        EXPECT_EQ(w.rate, e.rate) << e.name;
        double seconds = (double)w.samples.size() / e.rate;
        EXPECT_GE(seconds, e.min_seconds) << e.name;
        EXPECT_LE(seconds, e.max_seconds) << e.name;
        double sum = 0, sq = 0;
        int peak = 0;
        for (uint8_t s : w.samples) {
            int v = s - 128;
            sum += v;
            sq += (double)v * v;
            peak = std::max(peak, std::abs(v));
        }
        double n = (double)w.samples.size();
        EXPECT_LT(peak, 127) << e.name << ": touches full scale";
        // The busiest sounds (the hum, the gun) are made quieter to leave the mix room: 40 of 127.
        EXPECT_GT(peak, 35) << e.name << ": too quiet";
        EXPECT_LT(std::fabs(sum / n), 0.5) << e.name << ": off centre";
        EXPECT_GT(std::sqrt(sq / n), 8.0) << e.name << ": hardly any body";
    }
}

TEST(GeneratedSounds, OneShotsStartAndEndAtSilence) {
    for (const Expect &e : kSounds) {
        if (std::string(e.name) == "engine.wav") continue;
        Bytes file = read_all(std::string(FW_DATA_DIR) + "/" + e.name);
        WAV_SOUND w;
        ASSERT_EQ(Parse_WAV(file.data(), file.size(), &w), 1) << e.name;
        EXPECT_LE(std::abs(w.samples.front() - 128), 1) << e.name;
        EXPECT_LE(std::abs(w.samples.back() - 128), 1) << e.name;
    }
}

TEST(GeneratedSounds, EngineLoopsWithoutAClick) {
    Bytes file = read_all(std::string(FW_DATA_DIR) + "/engine.wav");
    WAV_SOUND w;
    ASSERT_EQ(Parse_WAV(file.data(), file.size(), &w), 1);
    ASSERT_GT(w.samples.size(), 100u);
    // The step from the last sample back to the first is no larger than steps inside the loop.
    int largest = 0;
    for (size_t i = 1; i < w.samples.size(); ++i)
        largest = std::max(largest, std::abs(w.samples[i] - w.samples[i - 1]));
    int seam = std::abs(w.samples.front() - w.samples.back());
    EXPECT_LE(seam, largest);
    // And the slope carries on: the seam step is close to its neighbours' steps.
    size_t n = w.samples.size();
    int before = w.samples[n - 1] - w.samples[n - 2];
    int across = w.samples[0] - w.samples[n - 1];
    EXPECT_LE(std::abs(across - before), largest / 2);
}

TEST(GeneratedSounds, GeneratorIsDeterministic) {
    std::string dir = temp_dir() + "/gen";
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    ASSERT_EQ(std::system((std::string(FW_GENSOUND) + " " + dir).c_str()), 0);
    for (const Expect &e : kSounds) {
        Bytes built = read_all(std::string(FW_DATA_DIR) + "/" + e.name);
        Bytes again = read_all(dir + "/" + e.name);
        EXPECT_FALSE(again.empty()) << e.name;
        EXPECT_EQ(built, again) << e.name;
    }
}

} // namespace
