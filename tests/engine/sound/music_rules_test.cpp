// Music slot rules beyond the basic cycle: the status of a segment never started, replaying the
// active segment, deleting the active segment, and a failed load leaving its slot free.
#include "engine/sound/dmusic.h"
#include "tests/engine/sound/sound_fixture.h"

namespace {

class MusicRules : public SoundTest {
  protected:
    void SetUp() override {
        if (!*DMusic_Find_SoundFont()) GTEST_SKIP() << "no General MIDI SoundFont installed";
        SoundTest::SetUp();
        ASSERT_EQ(DMusic_Init(), 1);
    }
    void TearDown() override {
        DMusic_Shutdown();
        SoundTest::TearDown();
    }
    std::string song(const std::string &name) {
        std::string path = temp_dir() + "/" + name;
        EXPECT_TRUE(write_file(path, midi_song({60, 64}, 1920)));
        return path;
    }
};

} // namespace

TEST_F(MusicRules, ALoadedSegmentNeverStartedReadsStopped) {
    int id = DMusic_Load_MIDI(song("never.mid").c_str());
    ASSERT_EQ(id, 0);
    EXPECT_EQ(midi_slots[0].state, MIDI_SLOT_LOADED);
    // The performance is not playing it: anything but "playing" is stored as stopped.
    EXPECT_EQ(DMusic_Status_MIDI(id), MIDI_SLOT_STOPPED);
    EXPECT_EQ(midi_slots[0].state, MIDI_SLOT_STOPPED);
    EXPECT_EQ(active_midi_id, -1);
}

TEST_F(MusicRules, ReplayingTheActiveSegmentKeepsItActive) {
    int id = DMusic_Load_MIDI(song("again.mid").c_str());
    ASSERT_EQ(DMusic_Play(id), 1);
    pull(4410);
    // The active one is stopped first, then started again.
    ASSERT_EQ(DMusic_Play(id), 1);
    EXPECT_EQ(active_midi_id, id);
    EXPECT_EQ(midi_slots[id].state, MIDI_SLOT_PLAYING);
    EXPECT_EQ(DMusic_Status_MIDI(id), MIDI_SLOT_PLAYING);
}

TEST_F(MusicRules, DeletingTheActiveSegmentFreesTheSlotAndLaterPlaysStillWork) {
    int a = DMusic_Load_MIDI(song("a.mid").c_str());
    int b = DMusic_Load_MIDI(song("b.mid").c_str());
    ASSERT_EQ(a, 0);
    ASSERT_EQ(b, 1);
    ASSERT_EQ(DMusic_Play(a), 1);
    EXPECT_EQ(DMusic_Delete_MIDI(a), 1);
    EXPECT_EQ(midi_slots[a].segment, nullptr);
    EXPECT_EQ(midi_slots[a].segment_state, nullptr);
    EXPECT_EQ(midi_slots[a].state, MIDI_SLOT_FREE);
    EXPECT_EQ(midi_slots[a].id, a); // the index stays
    EXPECT_EQ(DMusic_Status_MIDI(a), 0);
    // The freed slot is the lowest free one again.
    EXPECT_EQ(DMusic_Load_MIDI(song("c.mid").c_str()), a);
    ASSERT_EQ(DMusic_Play(b), 1);
    EXPECT_EQ(active_midi_id, b);
    EXPECT_EQ(DMusic_Status_MIDI(b), MIDI_SLOT_PLAYING);
}

TEST_F(MusicRules, AFailedLoadTakesNoSlotAndOutOfRangeIdsAnswerZero) {
    EXPECT_EQ(DMusic_Load_MIDI((temp_dir() + "/missing.mid").c_str()), -1);
    EXPECT_EQ(midi_slots[0].state, MIDI_SLOT_FREE);
    EXPECT_EQ(DMusic_Load_MIDI(song("first.mid").c_str()), 0);
    for (int id : {-1, MAX_MIDI_SLOTS, 1000}) {
        EXPECT_EQ(DMusic_Play(id), 0);
        EXPECT_EQ(DMusic_Stop(id), 0);
        EXPECT_EQ(DMusic_Status_MIDI(id), 0);
        EXPECT_EQ(DMusic_Delete_MIDI(id), 1);
    }
    EXPECT_EQ(active_midi_id, -1);
}
