// The headless backend: its virtual clock, scripted keys and events, frames, audio and wav file.
#include "platform/headless/headless.h"
#include "platform/dik.h"
#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

TEST(HeadlessClock, MovesOnlyWhenWaitedOnAndNeverBack) {
    Headless_Reset(1000);
    EXPECT_EQ(Plat_Ticks(), 1000u);
    EXPECT_EQ(Plat_Ticks(), 1000u); // reading does not advance it
    Plat_Wait_Until(1030);
    EXPECT_EQ(Plat_Ticks(), 1030u);
    Plat_Wait_Until(1000); // a target in the past leaves the clock alone
    EXPECT_EQ(Plat_Ticks(), 1030u);
    Plat_Wait_Until(1030);
    EXPECT_EQ(Plat_Ticks(), 1030u);
    Headless_Set_Clock(5);
    EXPECT_EQ(Plat_Ticks(), 5u);
}

TEST(HeadlessClock, WaitAcrossTheWrap) {
    Headless_Reset(0xFFFFFFF0u);
    Plat_Wait_Until(0x10); // 32 ms ahead, past the wrap
    EXPECT_EQ(Plat_Ticks(), 0x10u);
    Plat_Wait_Until(0xFFFFFFF0u); // now 32 ms behind
    EXPECT_EQ(Plat_Ticks(), 0x10u);
}

struct Key_Log {
    int indices[8];
    int count;
};

void key_on_second_read(int index, uint8_t state[256], void *user) {
    Key_Log *log = static_cast<Key_Log *>(user);
    if (log->count < 8) log->indices[log->count++] = index;
    if (index == 1) state[DIK_LCONTROL] = 0x80;
}

TEST(HeadlessKeys, SourceSeesReadsNumberedFromZero) {
    Headless_Reset(0);
    Key_Log log{};
    Headless_Set_Key_Source(key_on_second_read, &log);
    uint8_t state[256];
    EXPECT_EQ(Headless_Keyboard_Reads(), 0);
    ASSERT_EQ(Plat_Read_Keyboard(state), 1);
    EXPECT_EQ(state[DIK_LCONTROL], 0);
    ASSERT_EQ(Plat_Read_Keyboard(state), 1);
    EXPECT_EQ(state[DIK_LCONTROL], 0x80);
    EXPECT_EQ(Plat_Key_Down(DIK_LCONTROL), 1);
    ASSERT_EQ(Plat_Read_Keyboard(state), 1);
    EXPECT_EQ(state[DIK_LCONTROL], 0);
    EXPECT_EQ(Plat_Key_Down(DIK_LCONTROL), 0);
    ASSERT_EQ(log.count, 3);
    EXPECT_EQ(log.indices[0], 0);
    EXPECT_EQ(log.indices[1], 1);
    EXPECT_EQ(log.indices[2], 2);
    EXPECT_EQ(Headless_Keyboard_Reads(), 3);
}

TEST(HeadlessKeys, HeldKeysAndTheLatestRead) {
    Headless_Reset(0);
    uint8_t state[256];
    Headless_Set_Key(DIK_UP, 1);
    EXPECT_EQ(Plat_Key_Down(DIK_UP), 0); // not read yet
    Plat_Read_Keyboard(state);
    EXPECT_EQ(state[DIK_UP], 0x80);
    Headless_Set_Key(DIK_UP, 0);
    EXPECT_EQ(Plat_Key_Down(DIK_UP), 1); // still the latest read's state
    Plat_Read_Keyboard(state);
    EXPECT_EQ(Plat_Key_Down(DIK_UP), 0);
    // Codes outside the table are never down and never written.
    Headless_Set_Key(256, 1);
    Headless_Set_Key(-1, 1);
    EXPECT_EQ(Plat_Key_Down(256), 0);
    EXPECT_EQ(Plat_Key_Down(-1), 0);
}

TEST(HeadlessKeys, FailedReadsAreNotCountedAndKeepTheLatestState) {
    Headless_Reset(0);
    uint8_t state[256];
    Headless_Set_Key(DIK_TAB, 1);
    Plat_Read_Keyboard(state);
    Headless_Fail_Reads(1);
    Headless_Set_Key(DIK_TAB, 0);
    EXPECT_EQ(Plat_Read_Keyboard(state), 0);
    EXPECT_EQ(Headless_Keyboard_Reads(), 1);
    EXPECT_EQ(Plat_Key_Down(DIK_TAB), 1);
}

TEST(HeadlessEvents, FifoWithABoundAndQuitHoldsEscape) {
    Headless_Reset(0);
    Plat_Event ev;
    EXPECT_EQ(Plat_Poll_Event(&ev), 0);
    Headless_Push_Event({PLAT_EV_KEY_DOWN, DIK_A});
    Headless_Push_Event({PLAT_EV_EXPOSE, 0});
    ASSERT_EQ(Plat_Poll_Event(&ev), 1);
    EXPECT_EQ(ev.type, PLAT_EV_KEY_DOWN);
    EXPECT_EQ(ev.dik, DIK_A);
    ASSERT_EQ(Plat_Poll_Event(&ev), 1);
    EXPECT_EQ(ev.type, PLAT_EV_EXPOSE);
    EXPECT_EQ(Plat_Poll_Event(&ev), 0);

    for (int i = 0; i < 300; i++)
        Headless_Push_Event({PLAT_EV_KEY_UP, i & 0xFF});
    int taken = 0;
    while (Plat_Poll_Event(&ev)) {
        EXPECT_EQ(ev.dik, taken & 0xFF);
        taken++;
    }
    EXPECT_EQ(taken, 256);

    uint8_t state[256];
    Plat_Read_Keyboard(state);
    EXPECT_EQ(state[DIK_ESCAPE], 0);
    Headless_Push_Event({PLAT_EV_QUIT, 0});
    Plat_Read_Keyboard(state);
    EXPECT_EQ(state[DIK_ESCAPE], 0x80);
    Plat_Read_Keyboard(state);
    EXPECT_EQ(state[DIK_ESCAPE], 0x80); // for every later read
    Headless_Reset(0);
    Plat_Read_Keyboard(state);
    EXPECT_EQ(state[DIK_ESCAPE], 0);
}

struct Frame_Seen {
    int calls;
    const uint16_t *px;
    int w, h, pitch, packing;
};

void remember_frame(const uint16_t *px, int w, int h, int pitch, int packing, void *user) {
    Frame_Seen *f = static_cast<Frame_Seen *>(user);
    f->calls++;
    f->px = px;
    f->w = w;
    f->h = h;
    f->pitch = pitch;
    f->packing = packing;
}

TEST(HeadlessFrames, HookSeesEveryGoodFrameOnly) {
    Headless_Reset(0);
    Frame_Seen seen{};
    Headless_Set_Frame_Hook(remember_frame, &seen);
    std::vector<uint16_t> px(12 * 3, 0x7FFF);
    EXPECT_EQ(Plat_Present(px.data(), 10, 3, 24, 15), 1);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.px, px.data());
    EXPECT_EQ(seen.w, 10);
    EXPECT_EQ(seen.h, 3);
    EXPECT_EQ(seen.pitch, 24);
    EXPECT_EQ(seen.packing, 15);
    EXPECT_EQ(Plat_Present(px.data(), 10, 3, 20, 16), 1);
    EXPECT_EQ(seen.packing, 16);
    // Refused: no pixels, a pitch shorter than a row, an unknown packing, an empty size.
    EXPECT_EQ(Plat_Present(nullptr, 10, 3, 24, 15), 0);
    EXPECT_EQ(Plat_Present(px.data(), 10, 3, 19, 15), 0);
    EXPECT_EQ(Plat_Present(px.data(), 10, 3, 24, 8), 0);
    EXPECT_EQ(Plat_Present(px.data(), 0, 3, 24, 15), 0);
    EXPECT_EQ(seen.calls, 2);
    EXPECT_EQ(Headless_Frames_Presented(), 2);
}

TEST(HeadlessAvailability, RefusedDevicesSayWhy) {
    Headless_Reset(0);
    EXPECT_EQ(Plat_Open_Window("t", 800, 600), 1);
    EXPECT_EQ(Headless_Window_Open(), 1);
    Plat_Close_Window();
    EXPECT_EQ(Headless_Window_Open(), 0);
    Headless_Set_Available(0, 0);
    EXPECT_EQ(Plat_Open_Window("t", 800, 600), 0);
    EXPECT_STRNE(Plat_Error(), "");
    int rate = -1;
    EXPECT_EQ(Plat_Audio_Open(
                  22050, 512, [](int16_t *, int, void *) {}, nullptr, &rate),
              0);
    EXPECT_EQ(rate, -1);
    Headless_Fail_Init("no display here");
    EXPECT_EQ(Plat_Init(), 0);
    EXPECT_STREQ(Plat_Error(), "no display here");
    Headless_Fail_Init(nullptr);
    EXPECT_EQ(Plat_Init(), 1);
}

// Writes frame numbers as samples: left = n, right = -n, counting across calls.
void counting_source(int16_t *out, int frames, void *user) {
    int *next = static_cast<int *>(user);
    for (int i = 0; i < frames; i++) {
        out[2 * i] = (int16_t)*next;
        out[2 * i + 1] = (int16_t) - *next;
        ++*next;
    }
}

TEST(HeadlessAudio, VirtualTimePullsRateTimesElapsedKeepingTheFraction) {
    Headless_Reset(0);
    int next = 0, rate = 0;
    ASSERT_EQ(Plat_Audio_Open(22050, 512, counting_source, &next, &rate), 1);
    EXPECT_EQ(rate, 22050);
    Headless_Capture_Audio(1);
    Plat_Wait_Until(10); // 22050 * 10 / 1000 = 220.5: 220 frames, half a frame kept
    EXPECT_EQ(next, 220);
    Plat_Wait_Until(20); // 220.5 + 0.5 = 221 frames
    EXPECT_EQ(next, 441);
    Plat_Wait_Until(20); // no time passes, nothing is pulled
    EXPECT_EQ(next, 441);
    const std::vector<int16_t> &a = Headless_Audio();
    ASSERT_EQ(a.size(), 882u);
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a[2 * 220], 220); // the second pull continues where the first ended
    EXPECT_EQ(a[2 * 440 + 1], -440);

    Headless_Capture_Audio(0);
    Plat_Wait_Until(1020); // 22050 frames are still pulled, not captured
    EXPECT_EQ(next, 441 + 22050);
    EXPECT_EQ(Headless_Audio().size(), 882u);

    Plat_Audio_Close();
    Plat_Wait_Until(2020);
    EXPECT_EQ(next, 441 + 22050);
}

TEST(HeadlessAudio, ALongWaitPullsAtMostAMinute) {
    Headless_Reset(0);
    int next = 0, rate = 0;
    ASSERT_EQ(Plat_Audio_Open(1000, 64, counting_source, &next, &rate), 1);
    Plat_Wait_Until(3600000); // an hour of virtual time
    EXPECT_EQ(next, 60000);
    EXPECT_EQ(Plat_Ticks(), 3600000u);
}

TEST(HeadlessAudio, DirectPullsAreCapturedWithOrWithoutASource) {
    Headless_Reset(0);
    Headless_Capture_Audio(1);
    int16_t out[4] = {9, 9, 9, 9};
    Headless_Pull_Audio(2, out); // no callback: silence
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[3], 0);
    int next = 5, rate = 0;
    Plat_Audio_Open(8000, 64, counting_source, &next, &rate);
    Headless_Pull_Audio(1, nullptr);
    ASSERT_EQ(Headless_Audio().size(), 6u);
    EXPECT_EQ(Headless_Audio()[4], 5);
    EXPECT_EQ(Headless_Audio()[5], -5);
    Headless_Pull_Audio(0, nullptr);
    Headless_Pull_Audio(-3, nullptr);
    EXPECT_EQ(Headless_Audio().size(), 6u);
}

TEST(HeadlessAudio, ASinkTakesTheCaptureInsteadOfMemory) {
    Headless_Reset(0);
    struct Got {
        std::vector<int16_t> samples;
        int calls = 0;
    } got;
    Headless_Set_Audio_Sink(
        [](const int16_t *s, int frames, void *u) {
            Got *g = (Got *)u;
            g->samples.insert(g->samples.end(), s, s + 2 * frames);
            g->calls++;
        },
        &got);
    int next = 0, rate = 0;
    ASSERT_EQ(Plat_Audio_Open(1000, 64, counting_source, &next, &rate), 1);
    Plat_Wait_Until(3); // capture off: pulled, neither kept nor sent
    EXPECT_EQ(next, 3);
    EXPECT_EQ(got.calls, 0);
    Headless_Capture_Audio(1);
    Plat_Wait_Until(2503); // 2500 frames: pieces of at most 1024, in order
    EXPECT_EQ(got.calls, 3);
    ASSERT_EQ(got.samples.size(), 5000u);
    EXPECT_EQ(got.samples[0], 3);
    EXPECT_EQ(got.samples[4999], -2502);
    EXPECT_TRUE(Headless_Audio().empty());
    Headless_Reset(0); // the reset removes the sink as well
    Headless_Capture_Audio(1);
    Headless_Pull_Audio(2, nullptr);
    EXPECT_EQ(got.calls, 3);
    EXPECT_EQ(Headless_Audio().size(), 4u);
}

std::vector<unsigned char> read_file(const std::string &path) {
    std::vector<unsigned char> bytes;
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        bytes.push_back((unsigned char)c);
    std::fclose(f);
    return bytes;
}

uint32_t le32(const std::vector<unsigned char> &b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}
uint32_t le16(const std::vector<unsigned char> &b, size_t at) {
    return b[at] | b[at + 1] << 8;
}

TEST(HeadlessWav, WritesA16BitStereoRiffFile) {
    Headless_Reset(0);
    int next = -2, rate = 0;
    ASSERT_EQ(Plat_Audio_Open(11025, 64, counting_source, &next, &rate), 1);
    Headless_Capture_Audio(1);
    Headless_Pull_Audio(3, nullptr); // frames (-2, 2), (-1, 1), (0, 0)
    std::string path = testing::TempDir() + "fw_headless_test.wav";
    ASSERT_EQ(Headless_Write_Audio_Wav(path.c_str()), 1);
    std::vector<unsigned char> b = read_file(path);
    std::remove(path.c_str());
    ASSERT_EQ(b.size(), 44u + 12u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(le32(b, 4), 36u + 12u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(b, 16), 16u);
    EXPECT_EQ(le16(b, 20), 1u);          // PCM
    EXPECT_EQ(le16(b, 22), 2u);          // stereo
    EXPECT_EQ(le32(b, 24), 11025u);      // rate
    EXPECT_EQ(le32(b, 28), 11025u * 4u); // bytes per second
    EXPECT_EQ(le16(b, 32), 4u);          // block
    EXPECT_EQ(le16(b, 34), 16u);         // bits
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(le32(b, 40), 12u);
    // -2 is 0xFFFE, written low byte first.
    EXPECT_EQ(b[44], 0xFE);
    EXPECT_EQ(b[45], 0xFF);
    EXPECT_EQ(b[46], 0x02);
    EXPECT_EQ(b[47], 0x00);
    EXPECT_EQ(le16(b, 52), 0u);
}

TEST(HeadlessWav, UnwritablePathFails) {
    Headless_Reset(0);
    EXPECT_EQ(Headless_Write_Audio_Wav("/nonexistent-dir/x/y.wav"), 0);
    EXPECT_EQ(Headless_Write_Audio_Wav(nullptr), 0);
}

TEST(HeadlessInput, MouseMotionIsRelativeToTheLastRead) {
    Headless_Reset(0);
    Headless_Move_Mouse(5, -3, 120);
    Headless_Move_Mouse(1, 1, 0);
    Headless_Set_Mouse_Button(0, 1);
    Headless_Set_Mouse_Button(4, 1); // there is no fifth button
    int dx, dy, dz;
    uint8_t b[4];
    ASSERT_EQ(Plat_Read_Mouse(&dx, &dy, &dz, b), 1);
    EXPECT_EQ(dx, 6);
    EXPECT_EQ(dy, -2);
    EXPECT_EQ(dz, 120);
    EXPECT_EQ(b[0], 0x80);
    EXPECT_EQ(b[3], 0);
    ASSERT_EQ(Plat_Read_Mouse(&dx, &dy, &dz, b), 1);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    EXPECT_EQ(dz, 0);
}

TEST(HeadlessInput, JoystickNameIsCutTo79Characters) {
    Headless_Reset(0);
    char name[80];
    EXPECT_EQ(Plat_Joystick_Open(name), 0);
    std::string longname(120, 'j');
    Headless_Set_Joystick(longname.c_str());
    ASSERT_EQ(Plat_Joystick_Open(name), 1);
    EXPECT_EQ(std::strlen(name), 79u);
    Plat_Joystick js;
    ASSERT_EQ(Plat_Joystick_Read(&js), 1);
    EXPECT_EQ(js.pov, -1); // centred until set
    Plat_Joystick_Close();
    EXPECT_EQ(Plat_Joystick_Read(&js), 0);
}

TEST(HeadlessPaths, BasePathIsTheExecutablesFolder) {
    std::string base = Plat_Base_Path();
    ASSERT_FALSE(base.empty());
    EXPECT_EQ(base.back(), '/');
    char *want = realpath(FW_BIN_DIR, nullptr);
    char *got = realpath(base.c_str(), nullptr);
    ASSERT_NE(want, nullptr);
    ASSERT_NE(got, nullptr);
    EXPECT_STREQ(got, want);
    std::free(want);
    std::free(got);
}

} // namespace
