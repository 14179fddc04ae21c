// The game thread and the audio thread share the mixer: state the game thread sets is never
// undone by a mix that was running at the time, and nothing is freed under a running mix.
#include "engine/sound/dmusic.h"
#include "tests/engine/sound/sound_fixture.h"
#include <atomic>
#include <thread>

namespace {

using MixerThreads = SoundTest;

// Pulls the mixer on a thread of its own until stopped, as the platform's audio thread does.
struct AudioThread {
    std::atomic<bool> stop{false};
    std::atomic<long> mixes{0};
    std::thread t;
    AudioThread() {
        t = std::thread([this] {
            std::vector<int16_t> out(2 * 256);
            while (!stop) {
                DSound_Mix(out.data(), 256);
                ++mixes;
            }
        });
    }
    ~AudioThread() {
        stop = true;
        t.join();
    }
    void wait_for_mixes(long n) {
        long until = mixes + n;
        while (mixes < until)
            std::this_thread::yield();
    }
};

TEST_F(MixerThreads, StopAndPlayAreNeverUndoneByAMix) {
    int src = load(Bytes(4000, 200));
    ASSERT_EQ(src, 0);
    AudioThread audio;
    for (int round = 0; round < 600; ++round) {
        ASSERT_EQ(DSound_Play(src, DSBPLAY_LOOPING, 0, 0, 0), 1);
        // A loop never ends by itself, whatever the mixer is doing.
        ASSERT_EQ(DSound_Status_Sound(src), 5) << round;
        if (round % 7 == 0) audio.wait_for_mixes(1);
        ASSERT_EQ(DSound_Stop_Sound(src), 1);
        // A mix that started before the stop must not write its position or status back.
        ASSERT_EQ(DSound_Status_Sound(src), 0) << round;
        ASSERT_EQ(DSound_Get_Position(src), 0) << round;
        if (round % 5 == 0) audio.wait_for_mixes(1);
        ASSERT_EQ(DSound_Get_Position(src), 0) << round;
    }
}

TEST_F(MixerThreads, ReplicasComeAndGoWhileMixing) {
    int src = load(Bytes(3000, 60));
    ASSERT_EQ(src, 0);
    ASSERT_EQ(DSound_Set_Freq(src, 44100), 1);
    {
        AudioThread audio;
        for (int round = 0; round < 40; ++round) {
            // Fill the table with playing replicas, then empty it while the mixer reads them.
            for (int i = 1; i < MAX_SOUND_SLOTS; ++i) {
                int rep = DSound_Replicate_Sound(src);
                ASSERT_EQ(rep, i);
                ASSERT_EQ(DSound_Play(rep, i & 1, 0, 0, 0), 1);
            }
            audio.wait_for_mixes(1);
            if (round % 2) {
                ASSERT_EQ(DSound_Delete_All_Sounds(), 1);
            }
            ASSERT_EQ(DSound_Init(), 1); // releases every buffer, source included
            src = load(Bytes(3000, 60));
            ASSERT_EQ(src, 0);
            ASSERT_EQ(DSound_Set_Freq(src, 44100), 1);
        }
    }
    // Afterwards the mixer is intact: once the limiter has let go of the crowd (a second of
    // silence), one sample a frame of (60 - 128) x 256 x 0.7.
    pull(44100);
    ASSERT_EQ(DSound_Play(src, 0, 0, 0, 0), 1);
    std::vector<int16_t> out = pull(2);
    EXPECT_EQ(out, (std::vector<int16_t>{-12186, -12186, -12186, -12186}));
}

TEST_F(MixerThreads, MusicCallsWhileTheSynthesiserRenders) {
    if (!*DMusic_Find_SoundFont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
    ASSERT_EQ(DMusic_Init(), 1);
    Bytes song = midi_song({60, 64, 67, 72}, 120);
    std::string path = temp_dir() + "/threads.mid";
    ASSERT_TRUE(write_file(path, song));
    int a = DMusic_Load_MIDI(path.c_str()), b = DMusic_Load_MIDI(path.c_str());
    ASSERT_EQ(a, 0);
    ASSERT_EQ(b, 1);
    {
        AudioThread audio;
        for (int round = 0; round < 200; ++round) {
            ASSERT_EQ(DMusic_Play(round & 1 ? a : b), 1);
            if (round % 3 == 0) audio.wait_for_mixes(2);
            ASSERT_EQ(DMusic_Status_MIDI(round & 1 ? b : a), MIDI_SLOT_STOPPED);
            if (round % 10 == 9) {
                ASSERT_EQ(DMusic_Delete_MIDI(a), 1);
                ASSERT_EQ(DMusic_Load_MIDI(path.c_str()), a);
            }
        }
        ASSERT_EQ(DMusic_Stop(a), 1);
        ASSERT_EQ(DMusic_Stop(b), 1);
    }
    EXPECT_EQ(active_midi_id, -1);
    EXPECT_EQ(DMusic_Shutdown(), 1);
}

} // namespace
