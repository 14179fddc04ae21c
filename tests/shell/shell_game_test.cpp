// The whole program over the headless backend: Escape and closing the window both end it with
// status 0, every frame paced to 30 ms of the virtual clock.
#include "shell/winmain.h"
#include "platform/dik.h"
#include "platform/headless/headless.h"
#include <gtest/gtest.h>

namespace {

HINSTANCE__ instance = {1};
char no_args[1] = "";

struct Run_State {
    int escape_reads[2]; // reads at which Escape is down (-1: none)
    int close_at_frame;  // frame after which the window is closed (0: never)
    int frames;
};
Run_State R;

void keys(int read, uint8_t state[256], void *) {
    if (read == R.escape_reads[0] || read == R.escape_reads[1]) state[DIK_ESCAPE] = 0x80;
}

void count_frames(const uint16_t *, int, int, int, int, void *) {
    R.frames++;
    if (R.frames == R.close_at_frame) Headless_Push_Event({PLAT_EV_QUIT, 0});
}

class WholeProgram : public testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(1000);
        Shell_Reset();
        R = Run_State{{-1, -1}, 0, 0};
        Headless_Set_Key_Source(keys, nullptr);
        Headless_Set_Frame_Hook(count_frames, nullptr);
    }
};

// Title, game and credits frames last 30 ms each; after the title's last frame the screen holds
// until 200 ms past that frame's start (170 ms more), after the credits' until 100 ms (70 more).
TEST_F(WholeProgram, EscapeLeavesTitleThenGameThenCredits) {
    // Reads 0-2 are title frames, read 3 ends the title; reads 4-9 are game frames, read 10
    // holds Escape, so that frame posts the close request; the next frame (read 11) runs while
    // the quit is posted; the credits' first frame (read 12) sees no Escape and the credits
    // play to frame 1201.
    R.escape_reads[0] = 3;
    R.escape_reads[1] = 10;
    EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
    EXPECT_EQ(Headless_Keyboard_Reads(), 4 + 8 + 1201);
    EXPECT_EQ(R.frames, 4 + 8 + 1201);
    EXPECT_EQ(Plat_Ticks() - 1000u, 30u * (4 + 8 + 1201) + 170u + 70u);
    EXPECT_EQ(Headless_Window_Open(), 0);
    EXPECT_EQ(Headless_Screensaver_Inhibited(), 0);
}

TEST_F(WholeProgram, ClosingTheWindowEndsItLikeEscape) {
    // Closed while the fifth title frame is shown: the title's next read (read 5) sees Escape
    // and ends it. The pump's first pass takes the close (WM_CLOSE, then WM_DESTROY, which
    // posts the quit) and runs one game frame; the second pass quits. The credits see Escape
    // held and end after their first frame.
    R.close_at_frame = 5;
    EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
    EXPECT_EQ(R.frames, 6 + 1 + 1);
    EXPECT_EQ(Plat_Ticks() - 1000u, 30u * (6 + 1 + 1) + 170u + 70u);
}

} // namespace
