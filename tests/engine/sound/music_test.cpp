// Music: the MIDI file check, and the MIDI slots rendered into the mixer (skipped when no
// General MIDI SoundFont is installed).
#include "engine/sound/dmusic.h"
#include "engine/sound/midifile.h"
#include "tests/engine/sound/sound_fixture.h"
#include <cstdio>
#include <unistd.h>

namespace {

bool valid(const Bytes &b) {
    return Validate_MIDI(b.data(), b.size()) == 1;
}

Bytes song_of(const Bytes &events, int format = 0, int tracks = 1) {
    Bytes b = midi_header(format, tracks, 96);
    Bytes t = midi_track(events);
    b.insert(b.end(), t.begin(), t.end());
    return b;
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

TEST(MidiCheck, WellFormedFiles) {
    EXPECT_TRUE(valid(midi_song({60, 64, 67}, 240)));
    // Running status: the second note-on leaves out its status byte.
    EXPECT_TRUE(valid(
        song_of({0x00, 0x90, 60, 100, 0x10, 62, 100, 0x10, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00})));
    // Tempo, a text meta and a system-exclusive message.
    EXPECT_TRUE(
        valid(song_of({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x01, 0x02, 'h',
                       'i',  0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7, 0x00, 0xFF, 0x2F, 0x00})));
    // A format 1 file with two tracks, and anything after its last track.
    Bytes f1 = midi_header(1, 2, 96);
    Bytes t = midi_track(kEnd);
    f1.insert(f1.end(), t.begin(), t.end());
    f1.insert(f1.end(), t.begin(), t.end());
    EXPECT_TRUE(valid(f1));
    f1.insert(f1.end(), {'X', 'F', 'I', 'H', 0xFF, 0xFF, 0xFF, 0xFF, 1});
    EXPECT_TRUE(valid(f1));
}

TEST(MidiCheck, EveryTruncationIsRefused) {
    Bytes full = midi_song({60, 62}, 96);
    ASSERT_TRUE(valid(full));
    for (size_t len = 0; len < full.size(); ++len)
        EXPECT_FALSE(valid(Bytes(full.begin(), full.begin() + (long)len))) << len;
}

TEST(MidiCheck, LyingAndMalformedFiles) {
    EXPECT_FALSE(valid(Bytes{'M', 'T', 'h', 'x', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}));
    // Header length below 6, or past the end.
    Bytes h = song_of(kEnd);
    h[7] = 5;
    EXPECT_FALSE(valid(h));
    h[7] = 200;
    EXPECT_FALSE(valid(h));
    // A track length past the end of the file.
    Bytes lie = midi_header(0, 1, 96);
    Bytes t = midi_track(kEnd, 0xFFFFFFF0);
    lie.insert(lie.end(), t.begin(), t.end());
    EXPECT_FALSE(valid(lie));
    // More tracks promised than present; format 0 with two; format 3; no tracks.
    EXPECT_FALSE(valid(song_of(kEnd, 1, 2)));
    EXPECT_FALSE(valid(song_of(kEnd, 0, 2)));
    EXPECT_FALSE(valid(song_of(kEnd, 3, 1)));
    EXPECT_FALSE(valid(song_of(kEnd, 1, 0)));
    // Time codes instead of ticks a beat, and a zero division.
    Bytes smpte = song_of(kEnd);
    smpte[12] = 0xE7;
    EXPECT_FALSE(valid(smpte));
    Bytes zero = song_of(kEnd);
    zero[12] = zero[13] = 0;
    EXPECT_FALSE(valid(zero));
    // A data byte with no status before it.
    EXPECT_FALSE(valid(song_of({0x00, 60, 100, 0x00, 0xFF, 0x2F, 0x00})));
    // A channel message whose data byte has the top bit set.
    EXPECT_FALSE(valid(song_of({0x00, 0x90, 0xBC, 100, 0x00, 0xFF, 0x2F, 0x00})));
    // A meta event longer than its track.
    EXPECT_FALSE(valid(song_of({0x00, 0xFF, 0x01, 0x40, 'a', 0x00, 0xFF, 0x2F, 0x00})));
    // A tempo of the wrong length, and a tempo of zero.
    EXPECT_FALSE(valid(song_of({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1, 0x00, 0xFF, 0x2F, 0x00})));
    EXPECT_FALSE(valid(song_of({0x00, 0xFF, 0x51, 0x03, 0, 0, 0, 0x00, 0xFF, 0x2F, 0x00})));
    // A delta time of five bytes.
    EXPECT_FALSE(valid(song_of({0x81, 0x81, 0x81, 0x81, 0x01, 0xFF, 0x2F, 0x00})));
    // A system real-time byte in the file.
    EXPECT_FALSE(valid(song_of({0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00})));
    // A chunk of another kind where a track should be: the synthesiser could not play it.
    Bytes alien = midi_header(1, 2, 96);
    Bytes t2 = midi_track(kEnd);
    Bytes x = {'X', 'F', 'I', 'H', 0, 0, 0, 2, 1, 2};
    for (const Bytes *part : {&t2, &x, &t2})
        alien.insert(alien.end(), part->begin(), part->end());
    EXPECT_FALSE(valid(alien));
    EXPECT_EQ(Validate_MIDI(nullptr, 20), 0);
}

// ---- music slots -------------------------------------------------------------------------------

class Music : public SoundTest {
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
    std::string write_midi(const std::string &name, const Bytes &b) {
        std::string path = temp_dir() + "/" + name;
        EXPECT_TRUE(write_file(path, b));
        return path;
    }
    // Largest absolute sample over frames pulled frames.
    int peak(int frames) {
        std::vector<int16_t> out = pull(frames);
        int p = 0;
        for (int16_t s : out)
            p = std::max(p, std::abs((int)s));
        return p;
    }
};

TEST_F(Music, InitNumbersTheSlots) {
    EXPECT_NE(music_performance, nullptr);
    EXPECT_EQ(active_midi_id, -1);
    for (int i = 0; i < MAX_MIDI_SLOTS; ++i) {
        EXPECT_EQ(midi_slots[i].id, i);
        EXPECT_EQ(midi_slots[i].state, MIDI_SLOT_FREE);
        EXPECT_EQ(midi_slots[i].segment, nullptr);
    }
}

TEST_F(Music, LoadsTakeSlotsInOrderUntilFull) {
    std::string path = write_midi("tune.mid", midi_song({60}, 96));
    for (int i = 0; i < MAX_MIDI_SLOTS; ++i)
        ASSERT_EQ(DMusic_Load_MIDI(path.c_str()), i);
    EXPECT_EQ(midi_slots[3].state, MIDI_SLOT_LOADED);
    EXPECT_EQ(DMusic_Load_MIDI(path.c_str()), -1);
    EXPECT_EQ(DMusic_Delete_MIDI(5), 1);
    EXPECT_EQ(midi_slots[5].state, MIDI_SLOT_FREE);
    EXPECT_EQ(DMusic_Load_MIDI(path.c_str()), 5);
}

TEST_F(Music, MalformedOrMissingFilesTakeNoSlot) {
    Bytes bad = midi_song({60}, 96);
    bad.resize(bad.size() - 3);
    EXPECT_EQ(DMusic_Load_MIDI(write_midi("bad.mid", bad).c_str()), -1);
    EXPECT_EQ(DMusic_Load_MIDI(write_midi("text.mid", Bytes{'h', 'e', 'l', 'l', 'o'}).c_str()), -1);
    EXPECT_EQ(DMusic_Load_MIDI((temp_dir() + "/none.mid").c_str()), -1);
    // A well-formed start on a file far larger than any song is refused without reading it.
    std::string huge = write_midi("huge.mid", midi_song({60}, 96));
    ASSERT_EQ(truncate(huge.c_str(), 64L << 20), 0);
    EXPECT_EQ(DMusic_Load_MIDI(huge.c_str()), -1);
    std::remove(huge.c_str());
    EXPECT_EQ(midi_slots[0].state, MIDI_SLOT_FREE);
    EXPECT_EQ(DMusic_Load_MIDI(write_midi("good.mid", midi_song({60}, 96)).c_str()), 0);
}

TEST_F(Music, EmptySlotsAnswerZero) {
    EXPECT_EQ(DMusic_Play(0), 0);
    EXPECT_EQ(DMusic_Stop(0), 0);
    EXPECT_EQ(DMusic_Status_MIDI(0), 0);
    EXPECT_EQ(DMusic_Delete_MIDI(0), 1);
    EXPECT_EQ(DMusic_Delete_MIDI(-1), 1);
    EXPECT_EQ(DMusic_Play(-1), 0);
}

TEST_F(Music, OneSegmentAtATime) {
    std::string path = write_midi("long.mid", midi_song({60, 64}, 1920)); // 4 s
    int a = DMusic_Load_MIDI(path.c_str()), b = DMusic_Load_MIDI(path.c_str());
    ASSERT_EQ(a, 0);
    ASSERT_EQ(b, 1);
    ASSERT_EQ(DMusic_Play(a), 1);
    EXPECT_EQ(active_midi_id, a);
    EXPECT_EQ(DMusic_Status_MIDI(a), MIDI_SLOT_PLAYING);
    pull(4410);
    ASSERT_EQ(DMusic_Play(b), 1);
    EXPECT_EQ(active_midi_id, b);
    EXPECT_EQ(midi_slots[a].state, MIDI_SLOT_STOPPED);
    EXPECT_EQ(DMusic_Status_MIDI(a), MIDI_SLOT_STOPPED);
    EXPECT_EQ(DMusic_Status_MIDI(b), MIDI_SLOT_PLAYING);
    // Stopping an id that is not the active one still clears the active id.
    EXPECT_EQ(DMusic_Stop(a), 1);
    EXPECT_EQ(active_midi_id, -1);
    EXPECT_EQ(DMusic_Status_MIDI(b), MIDI_SLOT_PLAYING);
    EXPECT_EQ(DMusic_Stop(b), 1);
    EXPECT_EQ(DMusic_Status_MIDI(b), MIDI_SLOT_STOPPED);
}

TEST_F(Music, PlayingSoundsAndStoppingSilencesAtOnce) {
    int id = DMusic_Load_MIDI(write_midi("held.mid", midi_song({60}, 1920)).c_str());
    ASSERT_EQ(id, 0);
    EXPECT_EQ(peak(4410), 0); // loaded, not started
    ASSERT_EQ(DMusic_Play(id), 1);
    EXPECT_GT(peak(8820), 500); // a note sounds within a fifth of a second
    ASSERT_EQ(DMusic_Stop(id), 1);
    pull(256); // the synthesiser renders in blocks of 64 frames
    EXPECT_EQ(peak(8820), 0);
    // Played again, it starts over from its first note.
    ASSERT_EQ(DMusic_Play(id), 1);
    EXPECT_GT(peak(8820), 500);
}

TEST_F(Music, SegmentThatEndsByItselfReadsStopped) {
    // One note of 96 ticks at 480 a beat and 120 beats a minute: a tenth of a second.
    int id = DMusic_Load_MIDI(write_midi("short.mid", midi_song({72}, 96)).c_str());
    ASSERT_EQ(DMusic_Play(id), 1);
    EXPECT_EQ(DMusic_Status_MIDI(id), MIDI_SLOT_PLAYING);
    pull(2205); // a twentieth of a second: still on the note
    EXPECT_EQ(DMusic_Status_MIDI(id), MIDI_SLOT_PLAYING);
    // Half a second of samples takes the player past the end: it is timed by what is rendered,
    // which here takes far less real time.
    pull(22050);
    EXPECT_EQ(DMusic_Status_MIDI(id), MIDI_SLOT_STOPPED);
    pull(6 * 44100); // and it stays stopped once the player itself is done
    EXPECT_EQ(DMusic_Status_MIDI(id), MIDI_SLOT_STOPPED);
    EXPECT_EQ(midi_slots[id].state, MIDI_SLOT_STOPPED);
    EXPECT_EQ(active_midi_id, id); // only a stop clears it
}

TEST_F(Music, UnusualButValidFilesPlayThrough) {
    // Format 1 with running status, a tempo change, a text meta and a system-exclusive
    // message: accepted, played and ended like any other.
    Bytes f1 = midi_header(1, 2, 96);
    Bytes conductor = midi_track({0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90, 0x00, 0xFF, 0x01, 0x02,
                                  'h', 'i', 0x00, 0xFF, 0x2F, 0x00}); // 250000 us a beat
    Bytes notes = midi_track({0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7, 0x00, 0x91, 60,   100,  0x30, 64,
                              100,  0x30, 60,   0,    0x00, 64,   0,    0x00, 0xFF, 0x2F, 0x00});
    for (const Bytes *part : {&conductor, &notes})
        f1.insert(f1.end(), part->begin(), part->end());
    ASSERT_TRUE(Validate_MIDI(f1.data(), f1.size()));
    int id = DMusic_Load_MIDI(write_midi("unusual.mid", f1).c_str());
    ASSERT_EQ(id, 0);
    ASSERT_EQ(DMusic_Play(id), 1);
    EXPECT_GT(peak(22050), 500);
    pull(8 * 44100);
    EXPECT_EQ(DMusic_Status_MIDI(id), MIDI_SLOT_STOPPED);
}

TEST_F(Music, MusicAndEffectsShareTheMix) {
    int snd = load(Bytes(44100, 178));
    ASSERT_EQ(DSound_Set_Freq(snd, 44100), 1);
    int mid = DMusic_Load_MIDI(write_midi("mix.mid", midi_song({48}, 1920)).c_str());
    ASSERT_EQ(DSound_Play(snd, 0, 0, 0, 0), 1);
    std::vector<int16_t> effect_only = pull(4410);
    EXPECT_EQ(effect_only[1000], 8960); // +50 x 256 at the mix's 0.7
    ASSERT_EQ(DMusic_Play(mid), 1);
    std::vector<int16_t> both = pull(8820);
    int differ = 0;
    for (int16_t s : both)
        differ += s != 8960;
    EXPECT_GT(differ, 1000); // the music moves the mix away from the flat effect
}

TEST_F(Music, ShutdownReleasesEverything) {
    std::string path = write_midi("end.mid", midi_song({60}, 480));
    ASSERT_EQ(DMusic_Load_MIDI(path.c_str()), 0);
    ASSERT_EQ(DMusic_Play(0), 1);
    pull(1000);
    EXPECT_EQ(DMusic_Shutdown(), 1);
    EXPECT_EQ(music_performance, nullptr);
    EXPECT_EQ(midi_slots[0].segment, nullptr);
    EXPECT_EQ(DMusic_Load_MIDI(path.c_str()), -1); // no synthesiser any more
    EXPECT_EQ(peak(1000), 0);
    ASSERT_EQ(DMusic_Init(), 1); // and it comes back
}

TEST(MusicNoDevice, InitNeedsTheSoundOutput) {
    DSound_Shutdown();
    Headless_Reset(0);
    Headless_Set_Available(1, 0);
    EXPECT_EQ(DSound_Init(), 0);
    EXPECT_EQ(DMusic_Init(), 0);
    EXPECT_EQ(DMusic_Load_MIDI("anything.mid"), -1);
    EXPECT_EQ(DMusic_Play(0), 0);
    EXPECT_EQ(DMusic_Shutdown(), 1);
}

} // namespace
