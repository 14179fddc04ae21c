// The whole program as a player meets it, run headless through the shell's entry point: the title
// until Escape, a few frames of flight, Escape, the credits until Escape, and exit status 0.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/dik.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/winmain.h"

namespace {

// Keys by keyboard read, and for every presented frame the red caption pixels and cyan score
// pixels it shows.
struct Flow {
    std::vector<std::vector<int>> keys;
    std::vector<int> caption_red, score_cyan;
    int game_frames = 0;
};
Flow *flow = nullptr;

void Key_Source(int read, uint8_t state[256], void *) {
    std::memset(state, 0, 256);
    if (read < (int)flow->keys.size())
        for (int k : flow->keys[read])
            state[k] = 0x80;
}

void Frame_Hook(const uint16_t *px, int w, int h, int pitch, int packing, void *) {
    ASSERT_EQ(packing, 15);
    if (w != 800 || h != 600) return;
    auto rgb = [&](int x, int y, int *r, int *g, int *b) {
        uint16_t p = *(const uint16_t *)((const uint8_t *)px + (size_t)y * pitch + 2 * x);
        *r = (p >> 10) & 31;
        *g = (p >> 5) & 31;
        *b = p & 31;
    };
    int red = 0, cyan = 0, r, g, b;
    for (int y = 196; y < 280; y++)
        for (int x = 316; x < 800; x++) {
            rgb(x, y, &r, &g, &b);
            red += r >= 24 && g <= 6 && b <= 6;
        }
    for (int y = 8; y < 30; y++)
        for (int x = 350; x < 700; x++) {
            rgb(x, y, &r, &g, &b);
            cyan += r <= 6 && g >= 24 && b >= 24;
        }
    flow->caption_red.push_back(red);
    flow->score_cyan.push_back(cyan);
}

void Count_Game_Frame() {
    flow->game_frames++;
}

TEST(Flow, TitleGameAndCreditsEachEndOnEscapeAndTheProgramExitsWithZero) {
    Flow f;
    flow = &f;
    // Reads 0..4: title, Escape at 4. Then flight with thrust and fire, Escape at read 40 only;
    // after it the game runs at most a few more frames before the credits begin, and Escape is
    // held again from read 100, well inside the credits.
    f.keys.resize(101);
    f.keys[4] = {DIK_ESCAPE};
    for (int r = 10; r < 30; r++)
        f.keys[r] = {DIK_UP, DIK_LCONTROL};
    f.keys[40] = {DIK_ESCAPE};
    f.keys[100] = {DIK_ESCAPE};
    Headless_Reset(1000);
    Headless_Set_Key_Source(Key_Source, nullptr);
    Headless_Set_Frame_Hook(Frame_Hook, nullptr);
    game_frame_hook = Count_Game_Frame;
    HINSTANCE__ instance{1};
    int code = WinMain(&instance, nullptr, nullptr, 0);
    game_frame_hook = nullptr;
    Headless_Set_Key_Source(nullptr, nullptr);
    Headless_Set_Frame_Hook(nullptr, nullptr);

    EXPECT_EQ(code, 0);
    // The game's frames: from read 5 up to the Escape at read 40 and at most a few after it.
    EXPECT_GE(f.game_frames, 36);
    EXPECT_LE(f.game_frames, 40);
    int title = 5, credits_start = title + f.game_frames;
    int total = (int)f.caption_red.size();
    // The credits ran from the first read after the game until the Escape at read 100.
    EXPECT_EQ(total, 101);
    for (int i = title; i < credits_start; i++)
        EXPECT_GT(f.score_cyan[i], 20) << "game frame " << i;
    int n = total - credits_start;
    ASSERT_GE(n, 20);
    // Credits frame k (from 1) is presented frame credits_start + k - 1: nothing before 10.
    // (Moving stars may cover a few red pixels of the picture.)
    for (int k = 1; k <= 9; k++)
        EXPECT_NEAR(f.caption_red[credits_start + k - 1], f.caption_red[credits_start], 20) << k;
    EXPECT_GT(f.caption_red[credits_start + 9], f.caption_red[credits_start] + 100);
    EXPECT_EQ(f.score_cyan[credits_start + 9], 0);
    flow = nullptr;
}

} // namespace
