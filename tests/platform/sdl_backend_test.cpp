// The SDL backend itself, run on SDL's off-screen video driver (asked for by name, so it is
// accepted): window, presentation, keyboard, the wait, audio, and what it prints on failure.
#include "platform/platform.h"
#include "platform/dik.h"
#include "platform/sdl/sdl_audio.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class SdlBackend : public testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(Plat_Init(), 1) << Plat_Error();
    }
    void TearDown() override { Plat_Quit(); }
};

TEST_F(SdlBackend, WindowPresentAndToggle) {
    ASSERT_EQ(Plat_Open_Window("farwake test", 800, 600), 1) << Plat_Error();
    std::vector<uint16_t> frame(800 * 600, 0x7C00);
    EXPECT_EQ(Plat_Present(frame.data(), 800, 600, 1600, 15), 1) << Plat_Error();
    EXPECT_EQ(Plat_Present(frame.data(), 800, 600, 1600, 16), 1) << Plat_Error();
    Plat_Toggle_Fullscreen();
    EXPECT_EQ(Plat_Present(frame.data(), 800, 600, 1600, 15), 1) << Plat_Error();
    Plat_Toggle_Fullscreen();
    EXPECT_EQ(Plat_Present(frame.data(), 800, 600, 1600, 15), 1) << Plat_Error();
    // Refused without touching the frame: no pixels, short pitch, unknown packing.
    EXPECT_EQ(Plat_Present(nullptr, 800, 600, 1600, 15), 0);
    EXPECT_EQ(Plat_Present(frame.data(), 800, 600, 1598, 15), 0);
    EXPECT_EQ(Plat_Present(frame.data(), 800, 600, 1600, 24), 0);
    Plat_Show_Cursor(0);
    Plat_Inhibit_Screensaver(1);
    Plat_Inhibit_Screensaver(0);
    Plat_Close_Window();
    EXPECT_EQ(Plat_Present(frame.data(), 800, 600, 1600, 15), 0); // no window to show it in
}

TEST_F(SdlBackend, KeyboardWithNoKeysDown) {
    ASSERT_EQ(Plat_Open_Window("farwake test", 800, 600), 1) << Plat_Error();
    uint8_t state[256];
    std::fill(state, state + 256, 0xEE);
    ASSERT_EQ(Plat_Read_Keyboard(state), 1);
    for (int k = 0; k < 256; k++)
        ASSERT_EQ(state[k], 0) << "code " << k;
    EXPECT_EQ(Plat_Key_Down(DIK_ESCAPE), 0);
    EXPECT_EQ(Plat_Key_Down(-1), 0);
    EXPECT_EQ(Plat_Key_Down(256), 0);
    int dx = 1, dy = 1, dz = 1;
    uint8_t b[4];
    ASSERT_EQ(Plat_Read_Mouse(&dx, &dy, &dz, b), 1);
    EXPECT_EQ(dz, 0);
}

TEST_F(SdlBackend, WaitNeverEndsEarly) {
    uint32_t now = Plat_Ticks();
    for (uint32_t ahead : {1u, 4u, 17u}) {
        uint32_t target = Plat_Ticks() + ahead;
        Plat_Wait_Until(target);
        EXPECT_GE((int32_t)(Plat_Ticks() - target), 0);
    }
    uint32_t before = Plat_Ticks();
    Plat_Wait_Until(now); // already past: returns at once
    EXPECT_GE((int32_t)(Plat_Ticks() - before), 0);
}

// Writes a rising ramp; the device pulls from its own thread.
void ramp(int16_t *out, int frames, void *) {
    for (int i = 0; i < 2 * frames; i++)
        out[i] = (int16_t)i;
}

TEST_F(SdlBackend, AudioOutputOpensAndCloses) {
    int rate = 0;
    if (!Plat_Audio_Open(22050, 1024, ramp, nullptr, &rate))
        GTEST_SKIP() << "no audio output: " << Plat_Error();
    EXPECT_GT(rate, 0);
    Plat_Audio_Close();
    Plat_Audio_Close(); // a second close is harmless
    EXPECT_EQ(Plat_Audio_Open(22050, 1024, nullptr, nullptr, &rate), 0);
}

// The stream a sound server is asked for holds three device buffers, rounded up: 256 frames at
// 44.1 kHz are 5.805 ms, three 17.4, so 18; 512 at 48 kHz exactly 32; one frame still 1.
TEST(SdlStream, DepthIsThreeBuffersRoundedUp) {
    EXPECT_EQ(Sdl_Stream_Depth_Ms(256, 44100), 18);
    EXPECT_EQ(Sdl_Stream_Depth_Ms(512, 48000), 32);
    EXPECT_EQ(Sdl_Stream_Depth_Ms(1, 44100), 1);
    EXPECT_EQ(Sdl_Stream_Depth_Ms(0, 44100), 1);
    EXPECT_EQ(Sdl_Stream_Depth_Ms(256, 0), 1);
}

// Underruns deepen the stream in steps of about 23 ms up to 81 ms, never past; a pull is late
// when the gap before it is longer than the stream lasts.
TEST(SdlStream, UnderrunsDeepenItInStepsUpToAbout80Ms) {
    const int steps[][2] = {{18, 35}, {32, 35}, {35, 58}, {40, 58}, {58, 81}, {81, 81}, {100, 100}};
    for (const auto &s : steps)
        EXPECT_EQ(Sdl_Deeper_Stream_Ms(s[0]), s[1]) << s[0];
    EXPECT_FALSE(Sdl_Pull_Was_Late(18000, 18));
    EXPECT_TRUE(Sdl_Pull_Was_Late(18001, 18));
    EXPECT_FALSE(Sdl_Pull_Was_Late(5805, 18));
    EXPECT_TRUE(Sdl_Pull_Was_Late(81001, 81));
}

// Opening the output asks for that depth through the sound server's client setting, and keeps
// a value the player set.
TEST_F(SdlBackend, AudioOutputAsksForADeeperStreamUnlessTold) {
    unsetenv("PULSE_LATENCY_MSEC");
    int rate = 0;
    if (!Plat_Audio_Open(44100, 1024, ramp, nullptr, &rate))
        GTEST_SKIP() << "no audio output: " << Plat_Error();
    Plat_Audio_Close();
    const char *asked = getenv("PULSE_LATENCY_MSEC");
    ASSERT_NE(asked, nullptr);
    EXPECT_STREQ(asked, "18"); // 256-frame buffers at 44.1 kHz
    // Its own value from an earlier open is not taken for the player's: a new rate sets anew.
    if (Plat_Audio_Open(22050, 1024, ramp, nullptr, &rate) == 1) {
        Plat_Audio_Close();
        EXPECT_STREQ(getenv("PULSE_LATENCY_MSEC"), "35"); // 3 * 256 / 22050 s = 34.8 ms
    }
    setenv("PULSE_LATENCY_MSEC", "40", 1);
    ASSERT_EQ(Plat_Audio_Open(44100, 1024, ramp, nullptr, &rate), 1) << Plat_Error();
    Plat_Audio_Close();
    EXPECT_STREQ(getenv("PULSE_LATENCY_MSEC"), "40");
    unsetenv("PULSE_LATENCY_MSEC");
}

// A machine without sound hardware: opening the output through ALSA fails with a reason and
// leaves the terminal alone (ALSA's own complaints are kept off it).
TEST_F(SdlBackend, NoSoundDeviceLeavesTheTerminalAlone) {
    Plat_Quit();
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    ASSERT_EQ(Plat_Init(), 1) << Plat_Error();
    int rate = 0;
    testing::internal::CaptureStderr();
    const int opened = Plat_Audio_Open(22050, 1024, ramp, nullptr, &rate);
    const std::string printed = testing::internal::GetCapturedStderr();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (opened) {
        Plat_Audio_Close();
        GTEST_SKIP() << "this machine has a sound device";
    }
    EXPECT_EQ(printed, "");
    EXPECT_STRNE(Plat_Error(), "");
}

// Without a display the backend refuses to start, with a reason, rather than drawing nowhere.
TEST(SdlNoDisplay, NamedDriverThatCannotConnect) {
    unsetenv("DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_EQ(Plat_Init(), 0);
    EXPECT_EQ(std::string(Plat_Error()).rfind("cannot start the video system", 0), 0u)
        << Plat_Error();
}

TEST(SdlNoDisplay, NoFallbackToDrawingNowhere) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    if (Plat_Init()) {
        Plat_Quit();
        GTEST_SKIP() << "this machine has a console display SDL can use";
    }
    std::string err = Plat_Error();
    EXPECT_TRUE(err.rfind("no display to open", 0) == 0 ||
                err.rfind("cannot start the video system", 0) == 0)
        << err;
}

// With no display at all the backend itself prints nothing (no driver's probe reaches the
// terminal), so the game's one line about the display stands alone.
TEST(SdlNoDisplay, NothingPrintedBesideTheReason) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("SDL_VIDEODRIVER");
    testing::internal::CaptureStderr();
    const int started = Plat_Init();
    const std::string printed = testing::internal::GetCapturedStderr();
    if (started) {
        Plat_Quit();
        GTEST_SKIP() << "this machine has a console display SDL can use";
    }
    EXPECT_EQ(printed, "");
    EXPECT_EQ(std::string(Plat_Error()).rfind("no display to open", 0), 0u) << Plat_Error();
}

} // namespace
