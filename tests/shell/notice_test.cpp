// The on-screen notice of a lost output: drawn over the presented picture only (the surfaces the
// game and its logs read stay as the game drew them), for SHELL_NOTICE_MS of the clock, then gone.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/graphics/ddraw.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/notice.h"

namespace {

constexpr uint16_t GREY = 0x4210; // 5.5.5: 16 in each component
std::vector<uint16_t> shown;      // the last picture presented

void Keep(const uint16_t *px, int w, int h, int pitch_bytes, int, void *) {
    shown.assign((size_t)w * h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            shown[(size_t)y * w + x] =
                *(const uint16_t *)((const uint8_t *)px + (size_t)y * pitch_bytes + 2 * x);
}

// Pixels of the shown picture that are not grey in rows y0..y1-1.
int Changed(int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = 0; x < 800; x++)
            n += shown[(size_t)y * 800 + x] != GREY;
    return n;
}

// Flips a grey frame; whether the front surface (what the frame CRC reads) is all grey after it.
int Flip_Grey() {
    DDraw_Fill_Surface(lpddsback, GREY, nullptr);
    EXPECT_EQ(DDraw_Flip(), 1);
    const DDSURFACE &front = *lpddsprimary;
    for (int y = 0; y < front.height; y++)
        for (int x = 0; x < front.width; x++)
            if (((const uint16_t *)(front.memory.data() + (size_t)y * front.pitch))[x] != GREY)
                return 0;
    return 1;
}

TEST(Notice, OverThePictureOnlyAndForItsTimeOnly) {
    Headless_Reset(1000);
    Headless_Set_Available(1, 1);
    ASSERT_EQ(Plat_Open_Window("farwake", 800, 600), 1);
    dd_present_format = 15;
    ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
    Headless_Set_Frame_Hook(Keep, nullptr);

    ASSERT_TRUE(Flip_Grey());
    EXPECT_EQ(Changed(0, 600), 0);
    Shell_Notice("cannot write /dev/full: No space left on device");
    EXPECT_STREQ(Shell_Notice_Text(), "cannot write /dev/full: No space left on device");
    // Shown: a band over the top of the picture, the rest untouched; the front surface is grey.
    ASSERT_TRUE(Flip_Grey());
    EXPECT_GT(Changed(0, 24), 800 * 20);
    EXPECT_EQ(Changed(24, 600), 0);
    // Still there a moment before its time is up, gone at it.
    Headless_Set_Clock(1000 + SHELL_NOTICE_MS - 1);
    ASSERT_TRUE(Flip_Grey());
    EXPECT_GT(Changed(0, 24), 0);
    Headless_Set_Clock(1000 + SHELL_NOTICE_MS);
    ASSERT_TRUE(Flip_Grey());
    EXPECT_EQ(Changed(0, 600), 0);
    EXPECT_STREQ(Shell_Notice_Text(), "");
    EXPECT_EQ(dd_present_overlay, nullptr);

    Headless_Set_Frame_Hook(nullptr, nullptr);
    DDraw_Shutdown();
    Plat_Close_Window();
}

} // namespace
