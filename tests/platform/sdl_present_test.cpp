// The SDL backend's frame arithmetic: the conversion tables, the letterbox and the window scale.
#include "platform/sdl/sdl_present.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

uint32_t convert_one(uint16_t p, int packing) {
    uint32_t out = 0;
    Sdl_Convert_Frame(&p, 1, 1, 2, packing, &out, 4);
    return out;
}

TEST(SdlConvert, Packing555) {
    EXPECT_EQ(convert_one(0x0000, 15), 0xFF000000u);
    EXPECT_EQ(convert_one(0x7FFF, 15), 0xFFFFFFFFu);
    EXPECT_EQ(convert_one(0x7C00, 15), 0xFFFF0000u);
    EXPECT_EQ(convert_one(0x03E0, 15), 0xFF00FF00u);
    EXPECT_EQ(convert_one(0x001F, 15), 0xFF0000FFu);
    // Green 16 of 31: 16 << 3 | 16 >> 2 = 132. Bit 15 plays no part.
    EXPECT_EQ(convert_one(0x0200, 15), 0xFF008400u);
    EXPECT_EQ(convert_one(0x8200, 15), 0xFF008400u);
    // Red 1: 8 | 0 = 8.
    EXPECT_EQ(convert_one(0x0400, 15), 0xFF080000u);
}

TEST(SdlConvert, Packing565) {
    EXPECT_EQ(convert_one(0xFFFF, 16), 0xFFFFFFFFu);
    EXPECT_EQ(convert_one(0xF800, 16), 0xFFFF0000u);
    EXPECT_EQ(convert_one(0x07E0, 16), 0xFF00FF00u);
    // The game's green 31 lands as 62 in the six-bit field: 62 << 2 | 62 >> 4 = 251.
    EXPECT_EQ(convert_one(0x07C0, 16), 0xFF00FB00u);
    EXPECT_EQ(convert_one(0x001F, 16), 0xFF0000FFu);
    // The same value read the other way: 0x7C00 in 5.6.5 is red 15, green 32.
    // Red 15: 120 | 3 = 123; green 32: 128 | 2 = 130.
    EXPECT_EQ(convert_one(0x7C00, 16), 0xFF7B8200u);
}

TEST(SdlConvert, RowsFollowBothPitches) {
    // 2 x 2 pixels in rows of 3 (6 bytes); output rows of 4 pixels (16 bytes).
    std::vector<uint16_t> src = {0x7C00, 0x001F, 0xBEEF, 0x03E0, 0x7FFF, 0xBEEF};
    std::vector<uint32_t> dst(8, 0x12345678u);
    Sdl_Convert_Frame(src.data(), 2, 2, 6, 15, dst.data(), 16);
    EXPECT_EQ(dst[0], 0xFFFF0000u);
    EXPECT_EQ(dst[1], 0xFF0000FFu);
    EXPECT_EQ(dst[2], 0x12345678u); // padding is not written
    EXPECT_EQ(dst[4], 0xFF00FF00u);
    EXPECT_EQ(dst[5], 0xFFFFFFFFu);
    EXPECT_EQ(dst[6], 0x12345678u);
}

struct Box {
    int x, y, w, h;
};

Box letterbox(int out_w, int out_h) {
    Box b{};
    Sdl_Letterbox(out_w, out_h, 800, 600, &b.x, &b.y, &b.w, &b.h);
    return b;
}

TEST(SdlLetterbox, WholeFactorsCentred) {
    Box b = letterbox(1920, 1080); // 2 x 800 is too tall at 1200: factor 1
    EXPECT_EQ(b.w, 800);
    EXPECT_EQ(b.h, 600);
    EXPECT_EQ(b.x, 560);
    EXPECT_EQ(b.y, 240);
    b = letterbox(2560, 1440); // factor 2 (3 would need 1800 rows)
    EXPECT_EQ(b.w, 1600);
    EXPECT_EQ(b.h, 1200);
    EXPECT_EQ(b.x, 480);
    EXPECT_EQ(b.y, 120);
    b = letterbox(800, 600);
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.y, 0);
    EXPECT_EQ(b.w, 800);
    b = letterbox(3840, 2160); // factor 3: 2400 x 1800
    EXPECT_EQ(b.w, 2400);
    EXPECT_EQ(b.x, 720);
    EXPECT_EQ(b.y, 180);
}

TEST(SdlLetterbox, SmallerOutputsShrinkKeepingTheShape) {
    Box b = letterbox(640, 480);
    EXPECT_EQ(b.w, 640);
    EXPECT_EQ(b.h, 480);
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.y, 0);
    b = letterbox(700, 600); // width limits: 700 x 525, 37 rows above
    EXPECT_EQ(b.w, 700);
    EXPECT_EQ(b.h, 525);
    EXPECT_EQ(b.y, 37);
    b = letterbox(1000, 300); // height limits: 400 x 300, 300 columns left
    EXPECT_EQ(b.w, 400);
    EXPECT_EQ(b.h, 300);
    EXPECT_EQ(b.x, 300);
}

TEST(SdlWindowScale, LargestWholeFactorThatFits) {
    EXPECT_EQ(Sdl_Window_Scale(1920, 1050, 800, 600), 1);
    EXPECT_EQ(Sdl_Window_Scale(3840, 2100, 800, 600), 3);
    EXPECT_EQ(Sdl_Window_Scale(1600, 1200, 800, 600), 2);
    EXPECT_EQ(Sdl_Window_Scale(1599, 1200, 800, 600), 1);
    EXPECT_EQ(Sdl_Window_Scale(640, 480, 800, 600), 1); // never below 1
    EXPECT_EQ(Sdl_Window_Scale(640, 480, 0, 600), 1);
}

} // namespace
