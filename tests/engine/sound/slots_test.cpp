// Sound slots: ids, states, replicas, play/stop/status and the tuning calls, with and without
// a sound device.
#include "tests/engine/sound/sound_fixture.h"
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const Bytes kShort = {138, 108, 158, 168};

using SoundSlots = SoundTest;

TEST_F(SoundSlots, InitEmptiesTheTableAndNumbersTheSlots) {
    ASSERT_EQ(load(kShort), 0);
    ASSERT_EQ(DSound_Init(), 1); // a second call keeps the device and empties the table
    for (int i = 0; i < MAX_SOUND_SLOTS; ++i) {
        EXPECT_EQ(sound_slots[i].id, i);
        EXPECT_EQ(sound_slots[i].state, SOUND_SLOT_FREE);
        EXPECT_EQ(sound_slots[i].dsbuffer, nullptr);
    }
    EXPECT_NE(lpdsound, nullptr);
}

TEST_F(SoundSlots, LoadsAndReplicasTakeIdsInOrder) {
    EXPECT_EQ(load(kShort), 0);
    EXPECT_EQ(load_bytes(wav8(kShort, 22050)), 1);
    EXPECT_EQ(DSound_Replicate_Sound(1), 2);
    EXPECT_EQ(load(kShort), 3);
    const SOUND_SLOT_TYP &r = sound_slots[2];
    EXPECT_EQ(r.state, SOUND_SLOT_LOADED);
    EXPECT_EQ(r.rate, 22050); // recorded from the file...
    EXPECT_EQ(r.size, 4);
    EXPECT_EQ(r.id, 2);
    EXPECT_NE(r.dsbuffer, sound_slots[1].dsbuffer);
    // ...but every buffer plays at the fixed 11025 until told otherwise.
    EXPECT_EQ(DSound_Get_Freq(1), 11025);
    EXPECT_EQ(DSound_Get_Freq(2), 11025);
}

TEST_F(SoundSlots, FullTableRefusesMore) {
    ASSERT_EQ(load(kShort), 0);
    for (int i = 1; i < MAX_SOUND_SLOTS; ++i)
        ASSERT_EQ(DSound_Replicate_Sound(0), i);
    EXPECT_EQ(DSound_Replicate_Sound(0), -1);
    EXPECT_EQ(load(kShort), -1);
}

TEST_F(SoundSlots, FailedLoadsTakeNoSlot) {
    Bytes adpcm;
    put_chunk(adpcm, "fmt ", fmt_body(2, 1, 11025, 4));
    put_chunk(adpcm, "data", kShort);
    EXPECT_EQ(load_bytes(riff_wave(adpcm)), -1);
    EXPECT_EQ(DSound_Load_WAV((temp_dir() + "/missing.wav").c_str(), DSBCAPS_CTRLDEFAULT), -1);
    EXPECT_EQ(load(Bytes{128, 128, 128}), -1); // shorter than the smallest buffer
    EXPECT_EQ(DSound_Replicate_Sound(-1), -1);
    EXPECT_EQ(DSound_Replicate_Sound(7), -1); // a slot without a buffer
    for (int i = 0; i < MAX_SOUND_SLOTS; ++i)
        EXPECT_EQ(sound_slots[i].state, SOUND_SLOT_FREE);
    EXPECT_EQ(load(kShort), 0);
}

TEST_F(SoundSlots, OversizedFileIsRefusedUnread) {
    // A valid header at the front of a (sparse) file larger than any buffer can be.
    std::string path = temp_dir() + "/huge.wav";
    ASSERT_TRUE(write_file(path, wav8(kShort)));
    ASSERT_EQ(truncate(path.c_str(), (off_t)DSBSIZE_MAX + 1), 0);
    EXPECT_EQ(DSound_Load_WAV(path.c_str(), DSBCAPS_CTRLDEFAULT), -1);
    EXPECT_EQ(sound_slots[0].state, SOUND_SLOT_FREE);
    std::remove(path.c_str());
}

TEST_F(SoundSlots, ConvertedFilesLoadAsEightBitMono) {
    // 16-bit stereo at 22050: each frame becomes one byte, the rate is only recorded.
    Bytes data;
    for (int v : {1000, 3000, -1000, -3000, 0, 0, 32767, 32767})
        put_le16(data, (uint16_t)(int16_t)v);
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(1, 2, 22050, 16));
    put_chunk(c, "data", data);
    int id = load_bytes(riff_wave(c));
    ASSERT_EQ(id, 0);
    EXPECT_EQ(sound_slots[id].size, 4);
    EXPECT_EQ(sound_slots[id].rate, 22050);
    EXPECT_EQ(DSound_Get_Freq(id), 11025);
    ASSERT_EQ(DSound_Set_Freq(id, 44100), 1);
    ASSERT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    // Bytes 135, 120, 128, 255 play as 7, -8, 0, 127 times 256, at the mix's 0.7: 1254.4,
    // -1433.6, 0, 22758.4 rounded.
    std::vector<int16_t> out = pull(4);
    EXPECT_EQ(out, (std::vector<int16_t>{1254, 1254, -1434, -1434, 0, 0, 22758, 22758}));
}

TEST_F(SoundSlots, PlayLoopStopAndStatus) {
    int id = load(kShort);
    EXPECT_EQ(DSound_Status_Sound(id), 0);
    EXPECT_EQ(DSound_Play(id, 1, 0, 0, 0), 1);
    EXPECT_EQ(DSound_Status_Sound(id), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    pull(100);
    EXPECT_EQ(DSound_Status_Sound(id), 5); // a loop never ends by itself
    EXPECT_EQ(DSound_Stop_Sound(id), 1);
    EXPECT_EQ(DSound_Status_Sound(id), 0);
    EXPECT_EQ(DSound_Get_Position(id), 0);
    EXPECT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    EXPECT_EQ(DSound_Status_Sound(id), DSBSTATUS_PLAYING);
    EXPECT_EQ(DSound_Stop_All_Sounds(), 1);
    EXPECT_EQ(DSound_Status_Sound(id), 0);
}

TEST_F(SoundSlots, DeletedAndEmptySlotsAreSilent) {
    int id = load(kShort);
    ASSERT_EQ(DSound_Play(id, 1, 0, 0, 0), 1);
    EXPECT_EQ(DSound_Delete_Sound(id), 1);
    EXPECT_EQ(sound_slots[id].dsbuffer, nullptr);
    EXPECT_EQ(sound_slots[id].state, SOUND_SLOT_LOADED); // only DSound_Init frees it
    EXPECT_EQ(DSound_Play(id, 0, 0, 0, 0), 1);
    EXPECT_EQ(DSound_Stop_Sound(id), 1);
    EXPECT_EQ(DSound_Status_Sound(id), -1);
    EXPECT_EQ(DSound_Status_Sound(200), -1);
    EXPECT_EQ(DSound_Set_Freq(id, 22050), 0);
    // The deleted slot is not free, so the next load goes past it.
    EXPECT_EQ(load(kShort), 1);
    std::vector<int16_t> out = pull(8);
    for (int16_t s : out)
        EXPECT_EQ(s, 0);
    EXPECT_EQ(DSound_Delete_All_Sounds(), 1);
    EXPECT_EQ(DSound_Status_Sound(1), -1);
}

TEST_F(SoundSlots, MinusOneLeavesEverySlotAlone) {
    ASSERT_EQ(load(kShort), 0);
    ASSERT_EQ(DSound_Play(0, 1, 0, 0, 0), 1);
    SOUND_SLOT_TYP before[MAX_SOUND_SLOTS];
    std::memcpy(before, sound_slots, sizeof(before));
    EXPECT_EQ(DSound_Play(-1, 0, 0, 0, 0), 1);
    EXPECT_EQ(DSound_Stop_Sound(-1), 1);
    EXPECT_EQ(DSound_Status_Sound(-1), -1);
    EXPECT_EQ(DSound_Set_Freq(-1, 22050), 0);
    EXPECT_EQ(DSound_Set_Volume(-1, 50), 0);
    EXPECT_EQ(DSound_Set_Pan(-1, 100), 0);
    EXPECT_EQ(DSound_Delete_Sound(-1), 1);
    EXPECT_EQ(DSound_Replicate_Sound(-1), -1);
    EXPECT_EQ(std::memcmp(before, sound_slots, sizeof(before)), 0);
    EXPECT_EQ(DSound_Status_Sound(0), 5);
}

TEST_F(SoundSlots, FrequencyVolumeAndPanRules) {
    int id = load(kShort);
    EXPECT_EQ(DSound_Set_Volume(id, 100), 1);
    EXPECT_EQ(DSound_Get_Volume(id), 0);
    EXPECT_EQ(DSound_Set_Volume(id, 50), 1);
    EXPECT_EQ(DSound_Get_Volume(id), -1500);
    EXPECT_EQ(DSound_Set_Volume(id, 0), 1);
    EXPECT_EQ(DSound_Get_Volume(id), -3000);
    EXPECT_EQ(DSound_Set_Volume(id, 101), 0); // +30: louder than full is refused
    EXPECT_EQ(DSound_Get_Volume(id), -3000);
    EXPECT_EQ(DSound_Set_Volume(id, -234), 0); // -10020 is below the floor
    EXPECT_EQ(DSound_Set_Volume(id, -233), 1); // -9990
    EXPECT_EQ(DSound_Get_Volume(id), -9990);

    EXPECT_EQ(DSound_Set_Pan(id, -10000), 1);
    EXPECT_EQ(DSound_Set_Pan(id, 10000), 1);
    EXPECT_EQ(DSound_Get_Pan(id), 10000);
    EXPECT_EQ(DSound_Set_Pan(id, 10001), 0);
    EXPECT_EQ(DSound_Get_Pan(id), 10000);

    EXPECT_EQ(DSound_Set_Freq(id, 22050), 1);
    EXPECT_EQ(DSound_Get_Freq(id), 22050);
    EXPECT_EQ(DSound_Set_Freq(id, 99), 0);
    EXPECT_EQ(DSound_Set_Freq(id, 100001), 0);
    EXPECT_EQ(DSound_Set_Freq(id, 100), 1);
    EXPECT_EQ(DSound_Set_Freq(id, 100000), 1);
    EXPECT_EQ(DSound_Set_Freq(id, 0), 1); // back to the buffer's own rate
    EXPECT_EQ(DSound_Get_Freq(id), 11025);
}

TEST_F(SoundSlots, ControlsNeedTheirCapabilityBits) {
    int none = load(kShort, 0);
    EXPECT_EQ(DSound_Set_Freq(none, 22050), 0);
    EXPECT_EQ(DSound_Set_Volume(none, 50), 0);
    EXPECT_EQ(DSound_Set_Pan(none, 50), 0);
    int freq_only = load(kShort, DSBCAPS_CTRLFREQUENCY);
    EXPECT_EQ(DSound_Set_Freq(freq_only, 22050), 1);
    EXPECT_EQ(DSound_Set_Volume(freq_only, 50), 0);
    // Playing does not need any of them.
    EXPECT_EQ(DSound_Play(none, 0, 0, 0, 0), 1);
    EXPECT_EQ(DSound_Status_Sound(none), DSBSTATUS_PLAYING);
}

TEST_F(SoundSlots, ReplicasInheritTuningAndChangeIndependently) {
    int src = load(kShort);
    ASSERT_EQ(DSound_Set_Freq(src, 22050), 1);
    ASSERT_EQ(DSound_Set_Volume(src, 50), 1);
    ASSERT_EQ(DSound_Set_Pan(src, -400), 1);
    ASSERT_EQ(DSound_Play(src, 1, 0, 0, 0), 1);
    int rep = DSound_Replicate_Sound(src);
    ASSERT_EQ(rep, 1);
    EXPECT_EQ(DSound_Get_Freq(rep), 22050);
    EXPECT_EQ(DSound_Get_Volume(rep), -1500);
    EXPECT_EQ(DSound_Get_Pan(rep), -400);
    EXPECT_EQ(DSound_Status_Sound(rep), 0); // its own status: not playing
    ASSERT_EQ(DSound_Set_Freq(rep, 44100), 1);
    ASSERT_EQ(DSound_Set_Volume(rep, 100), 1);
    ASSERT_EQ(DSound_Set_Pan(rep, 0), 1);
    EXPECT_EQ(DSound_Get_Freq(src), 22050);
    EXPECT_EQ(DSound_Get_Volume(src), -1500);
    EXPECT_EQ(DSound_Get_Pan(src), -400);
    // Stopping the source leaves a playing replica alone, and deleting it keeps the shared samples.
    ASSERT_EQ(DSound_Play(rep, 0, 0, 0, 0), 1);
    ASSERT_EQ(DSound_Delete_Sound(src), 1);
    EXPECT_EQ(DSound_Status_Sound(rep), DSBSTATUS_PLAYING);
    std::vector<int16_t> out = pull(5);
    // One sample a frame at full volume: (138-128)*256*0.7, (108-128)*256*0.7, ... then silence.
    EXPECT_EQ(out,
              (std::vector<int16_t>{1792, 1792, -3584, -3584, 5376, 5376, 7168, 7168, 0, 0}));
    EXPECT_EQ(DSound_Status_Sound(rep), 0);
}

TEST(SoundNoDevice, InitFailsAndNothingIsTouched) {
    DSound_Shutdown();
    Headless_Reset(0);
    Headless_Set_Available(1, 0);
    dsound_first_time = 1;
    EXPECT_EQ(DSound_Init(), 0);
    EXPECT_EQ(lpdsound, nullptr);
    EXPECT_EQ(DSound_Output_Rate(), 0);
    SOUND_SLOT_TYP before[MAX_SOUND_SLOTS];
    std::memcpy(before, sound_slots, sizeof(before));
    std::string path = temp_dir() + "/nodevice.wav";
    ASSERT_TRUE(write_file(path, wav8(kShort)));
    EXPECT_EQ(DSound_Load_WAV(path.c_str(), DSBCAPS_CTRLDEFAULT), -1);
    EXPECT_EQ(DSound_Replicate_Sound(0), -1);
    EXPECT_EQ(DSound_Replicate_Sound(-1), -1);
    EXPECT_EQ(DSound_Play(0, 0, 0, 0, 0), 1);
    EXPECT_EQ(DSound_Stop_Sound(0), 1);
    EXPECT_EQ(DSound_Status_Sound(0), -1);
    EXPECT_EQ(DSound_Set_Freq(0, 22050), 0);
    EXPECT_EQ(std::memcmp(before, sound_slots, sizeof(before)), 0);
    // The mixer gives silence.
    std::vector<int16_t> out(16, 99);
    DSound_Mix(out.data(), 8);
    for (int16_t s : out)
        EXPECT_EQ(s, 0);
    // A later call without a device is still a failure, not a silent success.
    EXPECT_EQ(DSound_Init(), 0);
    // Once a device is there, the next call opens it.
    Headless_Set_Available(1, 1);
    EXPECT_EQ(DSound_Init(), 1);
    EXPECT_EQ(sound_slots[5].id, 5);
    DSound_Shutdown();
}

TEST(SoundNoDevice, ShutdownClosesTheOutput) {
    Headless_Reset(0);
    Headless_Set_Available(1, 1);
    ASSERT_EQ(DSound_Init(), 1);
    std::string path = temp_dir() + "/shutdown.wav";
    ASSERT_TRUE(write_file(path, wav8(kShort)));
    int id = DSound_Load_WAV(path.c_str(), DSBCAPS_CTRLDEFAULT);
    ASSERT_EQ(id, 0);
    EXPECT_EQ(DSound_Shutdown(), 1);
    EXPECT_EQ(lpdsound, nullptr);
    EXPECT_EQ(sound_slots[id].dsbuffer, nullptr);
    EXPECT_EQ(DSound_Output_Rate(), 0);
}

} // namespace
