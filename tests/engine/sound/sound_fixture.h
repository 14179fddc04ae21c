// A fresh sound device on the headless backend for every test, and helpers to load and pull.
#pragma once
#include "engine/sound/dsound.h"
#include "platform/headless/headless.h"
#include "tests/support/sound_files.h"
#include <gtest/gtest.h>

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(0);
        Headless_Set_Available(1, 1);
        ASSERT_EQ(DSound_Init(), 1);
        ASSERT_EQ(DSound_Output_Rate(), 44100);
    }
    void TearDown() override { DSound_Shutdown(); }

    // Writes the bytes to a file of their own and loads it.
    int load_bytes(const Bytes &file, int flags = DSBCAPS_CTRLDEFAULT) {
        static int serial = 0;
        std::string path = temp_dir() + "/s" + std::to_string(serial++) + ".wav";
        if (!write_file(path, file)) return -2;
        return DSound_Load_WAV(path.c_str(), flags);
    }
    int load(const Bytes &samples, int flags = DSBCAPS_CTRLDEFAULT) {
        return load_bytes(wav8(samples), flags);
    }
    // Pulls frames stereo frames straight from the mixer.
    std::vector<int16_t> pull(int frames) {
        std::vector<int16_t> out(2 * (size_t)frames, 12345);
        DSound_Mix(out.data(), frames);
        return out;
    }
};
