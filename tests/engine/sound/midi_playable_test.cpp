// MIDI files the synthesiser's own reader would take and then play as silence: a header longer
// than 6 bytes, format 2 (FluidSynth 2.4), and more tracks than it reads. All are rewritten on
// loading and must sound.
#include "engine/sound/dmusic.h"
#include "engine/sound/midifile.h"
#include "tests/engine/sound/sound_fixture.h"
#include <sys/stat.h>
#include <unistd.h>

namespace {

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};
// Programme 0, then middle C held for 960 ticks: ten beats of 96 ticks at the default half a
// second a beat, 5 s, longer than any pull below.
const Bytes kNote = {0x00, 0xC0, 0x00, 0x00, 0x90, 60,   100,  0x87,
                     0x40, 0x80, 60,   0,    0x00, 0xFF, 0x2F, 0x00};

// A format 1 file of n tracks, where track `loud` holds the note and the others only end.
Bytes many_tracks(int n, int loud) {
    Bytes b = midi_header(1, n, 96);
    for (int t = 0; t < n; ++t) {
        Bytes tr = midi_track(t == loud ? kNote : kEnd);
        b.insert(b.end(), tr.begin(), tr.end());
    }
    return b;
}

// The same file with its header chunk lengthened by extra bytes.
Bytes long_header(const Bytes &plain, const Bytes &extra) {
    Bytes b = plain;
    uint32_t len = 6 + (uint32_t)extra.size();
    b[4] = (uint8_t)(len >> 24), b[5] = (uint8_t)(len >> 16), b[6] = (uint8_t)(len >> 8);
    b[7] = (uint8_t)len;
    b.insert(b.begin() + 14, extra.begin(), extra.end());
    return b;
}

TEST(MidiPlayable, ALongerHeaderLosesItsExtraBytes) {
    Bytes plain = midi_song({60, 64}, 96);
    for (const Bytes &extra : {Bytes{1, 2}, Bytes(256, 0x7F)}) {
        Bytes b = long_header(plain, extra);
        ASSERT_EQ(Validate_MIDI(b.data(), b.size()), 1);
        Make_MIDI_Playable(b);
        EXPECT_EQ(b, plain) << extra.size();
    }
    // Files that need nothing, and files the check refuses, are left alone.
    Bytes same = plain;
    Make_MIDI_Playable(same);
    EXPECT_EQ(same, plain);
    Bytes cut(plain.begin(), plain.end() - 3);
    Bytes cut_copy = cut;
    Make_MIDI_Playable(cut);
    EXPECT_EQ(cut, cut_copy);
    Bytes empty;
    Make_MIDI_Playable(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(MidiPlayable, MoreTracksThanTheReaderTakesBecomeOneTrackInTimeOrder) {
    // 128 tracks: the tempo at tick 0 and a note-on at 10 in track 0; note-ons at 5 and 15 in
    // track 1 (the second by running status); tracks 2 to 127 only end, the last at tick 100.
    Bytes b = midi_header(1, 128, 96);
    Bytes t0 = midi_track(
        {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x0A, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00});
    Bytes t1 = midi_track({0x05, 0x91, 0x40, 0x64, 0x0A, 0x41, 0x64, 0x00, 0xFF, 0x2F, 0x00});
    Bytes quiet = midi_track(kEnd);
    Bytes last = midi_track({0x64, 0xFF, 0x2F, 0x00});
    for (const Bytes *t : {&t0, &t1})
        b.insert(b.end(), t->begin(), t->end());
    for (int i = 2; i < 127; ++i)
        b.insert(b.end(), quiet.begin(), quiet.end());
    b.insert(b.end(), last.begin(), last.end());
    ASSERT_EQ(Validate_MIDI(b.data(), b.size()), 1);
    Make_MIDI_Playable(b);
    // Ticks 0, 5, 10, 15, then the end at 100: deltas 0, 5, 5, 5, 85, every status written.
    Bytes want = midi_header(0, 1, 96);
    Bytes merged =
        midi_track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x05, 0x91, 0x40, 0x64, 0x05,
                    0x90, 0x3C, 0x64, 0x05, 0x91, 0x41, 0x64, 0x55, 0xFF, 0x2F, 0x00});
    want.insert(want.end(), merged.begin(), merged.end());
    EXPECT_EQ(b, want);
    EXPECT_EQ(Validate_MIDI(b.data(), b.size()), 1);
    // 127 tracks are what the reader takes: left as they are.
    Bytes edge = many_tracks(MIDI_MAX_TRACKS, 0);
    Bytes edge_copy = edge;
    Make_MIDI_Playable(edge);
    EXPECT_EQ(edge, edge_copy);
}

TEST(MidiPlayable, FormatTwoBecomesFormatOneAndOtherFormatsStay) {
    // Format 2 with one track and with two (header rewritten to 1, tracks untouched); formats 0
    // and 1 as they were; format 2 past the track limit merges into format 0 as 1 does.
    for (int tracks : {1, 2}) {
        Bytes b = many_tracks(tracks, 0);
        b[9] = 2;
        Make_MIDI_Playable(b);
        EXPECT_EQ(b, many_tracks(tracks, 0)) << tracks;
    }
    for (int format : {0, 1}) {
        Bytes b = midi_header(format, 1, 96);
        Bytes t = midi_track(kNote);
        b.insert(b.end(), t.begin(), t.end());
        Bytes copy = b;
        Make_MIDI_Playable(b);
        EXPECT_EQ(b, copy) << format;
    }
    Bytes big = many_tracks(130, 5);
    big[9] = 2;
    Make_MIDI_Playable(big);
    Bytes want = many_tracks(130, 5);
    Make_MIDI_Playable(want);
    EXPECT_EQ(big, want);
    EXPECT_EQ(big[9], 0);
}

TEST(MidiPlayable, LongGapsBetweenTracksStillFitADelta) {
    // Track 0 waits the longest delta there is (0x0FFFFFFF) before its note; track 1's note
    // comes at tick 1. Merged, the gap is 0x0FFFFFFE: four delta bytes FF FF FF 7E.
    Bytes b = midi_header(1, 128, 96);
    Bytes t0 = midi_track({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00});
    Bytes t1 = midi_track({0x01, 0x90, 0x3E, 0x64, 0x00, 0xFF, 0x2F, 0x00});
    Bytes quiet = midi_track(kEnd);
    b.insert(b.end(), t0.begin(), t0.end());
    b.insert(b.end(), t1.begin(), t1.end());
    for (int i = 2; i < 128; ++i)
        b.insert(b.end(), quiet.begin(), quiet.end());
    Make_MIDI_Playable(b);
    Bytes want = midi_header(0, 1, 96);
    Bytes merged = midi_track(
        {0x01, 0x90, 0x3E, 0x64, 0xFF, 0xFF, 0xFF, 0x7E, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00});
    want.insert(want.end(), merged.begin(), merged.end());
    EXPECT_EQ(b, want);
}

// A one-track file: the given events at tick 0, then a note, then the end.
Bytes with_events(const Bytes &events) {
    Bytes ev = events;
    ev.insert(ev.end(), kNote.begin(), kNote.end());
    Bytes b = midi_header(0, 1, 96);
    Bytes t = midi_track(ev);
    b.insert(b.end(), t.begin(), t.end());
    return b;
}

bool accepted(const Bytes &events) {
    Bytes b = with_events(events);
    return Validate_MIDI(b.data(), b.size()) == 1;
}

TEST(MidiPlayable, EventsOfFixedSizeMustHaveItAndEscapesAreRefused) {
    // The synthesiser's reader drops the whole file over any of these, so the check does.
    EXPECT_TRUE(accepted({0x00, 0xFF, 0x58, 0x04, 4, 2, 24, 8})); // time signature: 4 bytes
    EXPECT_FALSE(accepted({0x00, 0xFF, 0x58, 0x02, 4, 2}));
    EXPECT_FALSE(accepted({0x00, 0xFF, 0x58, 0x05, 4, 2, 24, 8, 0}));
    EXPECT_TRUE(accepted({0x00, 0xFF, 0x54, 0x05, 0, 0, 0, 0, 0})); // time code offset: 5
    EXPECT_FALSE(accepted({0x00, 0xFF, 0x54, 0x04, 0, 0, 0, 0}));
    EXPECT_FALSE(accepted({0x00, 0xFF, 0x59, 0x03, 0, 0, 0})); // key signature: 2
    EXPECT_FALSE(accepted({0x00, 0xFF, 0x2F, 0x01, 0x00}));    // end of track: empty
    // An escaped packet, empty or not; a system-exclusive message stays fine.
    EXPECT_FALSE(accepted({0x00, 0xF7, 0x00}));
    EXPECT_FALSE(accepted({0x00, 0xF7, 0x01, 0x7F}));
    EXPECT_TRUE(accepted({0x00, 0xF0, 0x02, 0x7E, 0xF7}));
    EXPECT_TRUE(accepted({0x00, 0xF0, 0x00}));
}

class MidiSounds : public SoundTest {
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
    // Loads the bytes, plays them, and gives the loudest sample of the first half second.
    int play_peak(const Bytes &b, const char *name) {
        std::string path = temp_dir() + "/" + name;
        EXPECT_TRUE(write_file(path, b));
        int id = DMusic_Load_MIDI(path.c_str());
        EXPECT_GE(id, 0) << name;
        if (id < 0) return -1;
        EXPECT_EQ(DMusic_Play(id), 1);
        std::vector<int16_t> out = pull(22050);
        int p = 0;
        for (int16_t s : out)
            p = std::max(p, std::abs((int)s));
        DMusic_Delete_MIDI(id);
        return p;
    }
};

TEST_F(MidiSounds, ALongerHeaderPlays) {
    Bytes plain = midi_song({60}, 1920);
    EXPECT_GT(play_peak(long_header(plain, {0, 0}), "long8.mid"), 500);
    EXPECT_GT(play_peak(long_header(plain, Bytes(256, 1)), "long262.mid"), 500);
}

TEST_F(MidiSounds, FixedSizeEventsOfTheRightSizePlay) {
    EXPECT_GT(play_peak(with_events({0x00, 0xFF, 0x58, 0x04, 4, 2,    24,   8,   0x00,
                                     0xFF, 0x54, 0x05, 0,    0, 0,    0,    0,   0x00,
                                     0xFF, 0x59, 0x02, 0,    0, 0x00, 0xF0, 0x00}),
                        "fixed.mid"),
              500);
}

TEST_F(MidiSounds, EveryTrackCountTheFormatAllowsPlays) {
    // The note in the first or the last track, at the edge of what the reader takes and past it.
    EXPECT_GT(play_peak(many_tracks(127, 126), "t127.mid"), 500);
    EXPECT_GT(play_peak(many_tracks(128, 0), "t128a.mid"), 500);
    EXPECT_GT(play_peak(many_tracks(128, 127), "t128b.mid"), 500);
    EXPECT_GT(play_peak(many_tracks(300, 150), "t300.mid"), 500);
    EXPECT_GT(play_peak(many_tracks(65535, 65534), "t65535.mid"), 500);
}

TEST_F(MidiSounds, FormatTwoPlaysWhicheverFluidSynthIsLinked) {
    // FluidSynth 2.4 refuses format 2 and would play silence; the note is in the second track.
    Bytes b = many_tracks(2, 1);
    b[9] = 2;
    EXPECT_GT(play_peak(b, "format2.mid"), 500);
}

TEST_F(MidiSounds, FoldersDevicesAndHugeFilesAreRefused) {
    EXPECT_EQ(DMusic_Load_MIDI(temp_dir().c_str()), -1);
    EXPECT_EQ(DMusic_Load_MIDI("/dev/zero"), -1);
    std::string fifo = temp_dir() + "/pipe.mid";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(DMusic_Load_MIDI(fifo.c_str()), -1); // refused, not waited on
    std::string huge = temp_dir() + "/huge1.mid";
    ASSERT_TRUE(write_file(huge, midi_song({60}, 96)));
    ASSERT_EQ(truncate(huge.c_str(), (16L << 20) + 1), 0);
    EXPECT_EQ(DMusic_Load_MIDI(huge.c_str()), -1);
    ASSERT_EQ(truncate(huge.c_str(), 16L << 20), 0); // at the limit it is read (and checked)
    EXPECT_EQ(DMusic_Load_MIDI(huge.c_str()), 0);
    EXPECT_EQ(midi_slots[0].state, MIDI_SLOT_LOADED);
}

TEST_F(SoundTest, WavFoldersDevicesAndHugeFilesAreRefused) {
    EXPECT_EQ(DSound_Load_WAV(temp_dir().c_str(), DSBCAPS_CTRLDEFAULT), -1);
    EXPECT_EQ(DSound_Load_WAV("/dev/zero", DSBCAPS_CTRLDEFAULT), -1);
    std::string huge = temp_dir() + "/huge.wav";
    ASSERT_TRUE(write_file(huge, wav8(Bytes(100, 200))));
    ASSERT_EQ(truncate(huge.c_str(), (off_t)DSBSIZE_MAX + 1), 0);
    EXPECT_EQ(DSound_Load_WAV(huge.c_str(), DSBCAPS_CTRLDEFAULT), -1);
    EXPECT_EQ(sound_slots[0].state, SOUND_SLOT_FREE);
}

} // namespace
