// Where the picture goes when it fills a window or screen, the whole factor it is first
// enlarged by, and the size a window starts at.
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include "platform/sdl/sdl_present.h"
#include <gtest/gtest.h>

namespace {

struct Box {
    int x, y, w, h;
};

Box fill(int out_w, int out_h) {
    Box b{};
    Sdl_Fill_Rect(out_w, out_h, 800, 600, &b.x, &b.y, &b.w, &b.h);
    return b;
}

TEST(Fill, LargestFourByThreeCentred) {
    // 1920x1080: height limits; 1080 * 4 / 3 = 1440 wide, bars of (1920 - 1440) / 2 = 240.
    Box a = fill(1920, 1080);
    EXPECT_EQ(a.x, 240);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.w, 1440);
    EXPECT_EQ(a.h, 1080);
    // 1280x800: 800 * 4 / 3 = 1066.67, truncated to 1066; bars of 107.
    Box b = fill(1280, 800);
    EXPECT_EQ(b.x, 107);
    EXPECT_EQ(b.w, 1066);
    EXPECT_EQ(b.h, 800);
    // 2560x1440: 1920 x 1440, bars of 320.
    Box c = fill(2560, 1440);
    EXPECT_EQ(c.x, 320);
    EXPECT_EQ(c.w, 1920);
    EXPECT_EQ(c.h, 1440);
    // A tall window: width limits; 1000 * 3 / 4 = 750 high, bars of (1200 - 750) / 2 = 225.
    Box d = fill(1000, 1200);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 225);
    EXPECT_EQ(d.w, 1000);
    EXPECT_EQ(d.h, 750);
    // Exactly 4:3 fills it all, larger or smaller than the picture.
    Box e = fill(1024, 768);
    EXPECT_EQ(e.x + e.y, 0);
    EXPECT_EQ(e.w, 1024);
    EXPECT_EQ(e.h, 768);
    Box f = fill(400, 300);
    EXPECT_EQ(f.w, 400);
    EXPECT_EQ(f.h, 300);
}

TEST(Fill, EnlargedByTheNextWholeFactor) {
    EXPECT_EQ(Sdl_Upscale_Factor(1440, 1080, 800, 600), 2); // 1.8 -> 2
    EXPECT_EQ(Sdl_Upscale_Factor(1066, 800, 800, 600), 2);  // 1.33 -> 2
    EXPECT_EQ(Sdl_Upscale_Factor(1920, 1440, 800, 600), 3); // 2.4 -> 3
    EXPECT_EQ(Sdl_Upscale_Factor(1600, 1200, 800, 600), 2); // whole: itself
    EXPECT_EQ(Sdl_Upscale_Factor(1601, 1200, 800, 600), 3); // one column over: the next
    EXPECT_EQ(Sdl_Upscale_Factor(800, 600, 800, 600), 1);
    EXPECT_EQ(Sdl_Upscale_Factor(400, 300, 800, 600), 1); // shrinking enlarges nothing
    EXPECT_EQ(Sdl_Upscale_Factor(0, 0, 800, 600), 1);
    EXPECT_EQ(Sdl_Upscale_Factor(1440, 1080, 0, 600), 1);
}

TEST(Sharp, WholeMultiplesCopyEveryPixel) {
    Sdl_Sharp_Axis a;
    Sdl_Sharp_Taps(800, 1600, 2, &a);
    ASSERT_EQ(a.index.size(), 1600u);
    for (int i = 0; i < 1600; i++) {
        EXPECT_EQ(a.index[(size_t)i], i / 2) << i;
        EXPECT_EQ(a.weight[(size_t)i], 0) << i;
    }
}

TEST(Sharp, BlendsOnlyWhereTwoSourcePixelsMeet) {
    // Two pixels enlarged to four, then three: centres at 1/6, 1/2 and 5/6 of the row, i.e.
    // enlarged positions 0.17, 1.5 and 2.83. The middle one falls between enlarged pixels 1
    // (source 0) and 2 (source 1), half and half; the others inside one source pixel.
    Sdl_Sharp_Axis a;
    Sdl_Sharp_Taps(2, 3, 2, &a);
    EXPECT_EQ(a.index, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(a.weight, (std::vector<uint16_t>{0, 128, 0}));
    // Shrinking 4 to 2 (factor 1): plain linear filtering, halfway each time.
    Sdl_Sharp_Taps(4, 2, 1, &a);
    EXPECT_EQ(a.index, (std::vector<int>{0, 2}));
    EXPECT_EQ(a.weight, (std::vector<uint16_t>{128, 128}));
}

TEST(Sharp, TapsStayInsideTheRowAtEverySize) {
    for (int out : {1, 599, 600, 601, 750, 1066, 1080, 1200, 1440, 1441, 2400}) {
        Sdl_Sharp_Axis a;
        int k = Sdl_Upscale_Factor(out, out, 600, 600);
        Sdl_Sharp_Taps(600, out, k, &a);
        ASSERT_EQ((int)a.index.size(), out);
        int blended = 0;
        for (int i = 0; i < out; i++) {
            int s = a.index[(size_t)i];
            ASSERT_GE(s, 0) << out;
            ASSERT_LE(s + (a.weight[(size_t)i] ? 1 : 0), 599) << out << " at " << i;
            ASSERT_LT(a.weight[(size_t)i], 256);
            if (i) {
                ASSERT_GE(s, a.index[(size_t)i - 1]) << out;
            }
            blended += a.weight[(size_t)i] != 0;
        }
        // Enlarging, at most one output pixel per boundary between source pixels is blended;
        // a whole multiple blends none.
        if (out >= 600) {
            EXPECT_LE(blended, 599) << out;
        }
        if (out % 600 == 0) {
            EXPECT_EQ(blended, 0) << out;
        }
    }
}

TEST(Sharp, ScalesConvertedPixels) {
    // 5.5.5 red, blue / green, white, in rows of 3 pixels (one unused).
    const uint16_t src[6] = {0x7C00, 0x001F, 0x1234, 0x03E0, 0x7FFF, 0x1234};
    const uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu, green = 0xFF00FF00u, white = 0xFFFFFFFFu;
    Sdl_Sharp_Scaler sc;
    // Doubled: every pixel a 2x2 block; the output's pitch of 5 pixels leaves its fifth alone.
    std::vector<uint32_t> out(5 * 4, 7);
    Sdl_Sharp_Scale(src, 2, 2, 6, 15, out.data(), 4, 4, 20, &sc);
    const uint32_t want[4][4] = {{red, red, blue, blue},
                                 {red, red, blue, blue},
                                 {green, green, white, white},
                                 {green, green, white, white}};
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 4; x++)
            EXPECT_EQ(out[(size_t)y * 5 + x], want[y][x]) << x << "," << y;
        EXPECT_EQ(out[(size_t)y * 5 + 4], 7u);
    }
    // To 3x3: the middle row and column are halfway blends, each component (a + b) / 2
    // rounded down: red and blue give 0x7F, 0, 0x7F; red and green 0x7F, 0x7F, 0; blue and
    // white 0x7F, 0x7F, 0xFF; green and white 0x7F, 0xFF, 0x7F; the centre 0x7F each.
    std::vector<uint32_t> mid(9, 0);
    Sdl_Sharp_Scale(src, 2, 2, 6, 15, mid.data(), 3, 3, 12, &sc);
    EXPECT_EQ(mid, (std::vector<uint32_t>{red, 0xFF7F007Fu, blue, 0xFF7F7F00u, 0xFF7F7F7Fu,
                                          0xFF7F7FFFu, green, 0xFF7FFF7Fu, white}));
}

TEST(Sharp, VectorLoopsGiveThePlainLoopsPixels) {
    // A noisy frame, so every component of every blend shows; pitch with slack past the row.
    const int sw = 800, sh = 600, pitch = 808;
    std::vector<uint16_t> src((size_t)pitch * sh);
    uint32_t seed = 99;
    for (uint16_t &p : src) {
        seed = seed * 1103515245u + 12345u;
        p = (uint16_t)(seed >> 16);
    }
    // The screens of the window tests, sizes just past a whole multiple (groups whose pixels
    // lie too far apart), odd widths (a row's last few pixels), and shrinking.
    const int sizes[][2] = {{1440, 1080}, {1066, 800}, {1920, 1440}, {801, 601},  {1067, 803},
                            {2399, 1799}, {400, 300},  {173, 130},   {1609, 1207}};
    for (const auto &size : sizes) {
        int dw = size[0], dh = size[1];
        for (int packing : {15, 16}) {
            std::vector<uint32_t> plain((size_t)dw * dh), wide((size_t)dw * dh, 1);
            Sdl_Sharp_Scaler a, b;
            a.portable = true;
            Sdl_Sharp_Scale(src.data(), sw, sh, pitch * 2, packing, plain.data(), dw, dh, dw * 4,
                            &a);
            Sdl_Sharp_Scale(src.data(), sw, sh, pitch * 2, packing, wide.data(), dw, dh, dw * 4,
                            &b);
            size_t differ = 0;
            for (size_t i = 0; i < plain.size(); i++)
                differ += plain[i] != wide[i];
            EXPECT_EQ(differ, 0u) << dw << "x" << dh << " packing " << packing;
        }
    }
}

TEST(Sharp, RedrawingOnlyChangesGivesTheWholeScaling) {
    // A frame of sparse dots that change a few at a time, at the edges of chunks, rows and the
    // frame, scaled in part into a kept destination: every output must equal a whole scaling.
    const int sw = 800, sh = 600, pitch = 804;
    std::vector<uint16_t> src((size_t)pitch * sh, 0);
    const int changes[][2] = {{0, 0},   {799, 599}, {31, 10},   {32, 10},   {63, 300}, {64, 301},
                              {767, 0}, {768, 599}, {400, 298}, {401, 299}, {5, 598},  {799, 1}};
    const int sizes[][2] = {{1440, 1080}, {1600, 1200}, {1066, 800}, {801, 601}, {400, 300}};
    for (const auto &size : sizes) {
        const int dw = size[0], dh = size[1], dpitch = dw + 3;
        for (bool portable : {true, false}) {
            Sdl_Sharp_Scaler part, whole;
            part.portable = whole.portable = portable;
            std::fill(src.begin(), src.end(), 0);
            std::vector<uint32_t> kept((size_t)dpitch * dh, 0), want((size_t)dpitch * dh, 0);
            int first = -1, end = -1;
            Sdl_Sharp_Scale_Changes(src.data(), sw, sh, pitch * 2, 16, kept.data(), dw, dh,
                                    dpitch * 4, false, &part, &first, &end);
            EXPECT_EQ(first, 0);
            EXPECT_EQ(end, dh); // not kept: all of it
            Sdl_Sharp_Scale_Changes(src.data(), sw, sh, pitch * 2, 16, kept.data(), dw, dh,
                                    dpitch * 4, true, &part, &first, &end);
            EXPECT_EQ(end - first, 0) << "nothing changed";
            for (size_t n = 0; n < std::size(changes); n++) {
                // One dot lit, and the one before put out, each step.
                src[(size_t)changes[n][1] * pitch + changes[n][0]] = (uint16_t)(0xF81F ^ n * 977);
                if (n) src[(size_t)changes[n - 1][1] * pitch + changes[n - 1][0]] = 0;
                Sdl_Sharp_Scale_Changes(src.data(), sw, sh, pitch * 2, 16, kept.data(), dw, dh,
                                        dpitch * 4, true, &part, &first, &end);
                Sdl_Sharp_Scale(src.data(), sw, sh, pitch * 2, 16, want.data(), dw, dh, dpitch * 4,
                                &whole);
                EXPECT_EQ(kept, want) << dw << "x" << dh << " step " << n;
                // Only the rows around the two dots are written: those between them and one
                // source row on either side, scaled.
                const int dy = n ? std::abs(changes[n][1] - changes[n - 1][1]) : 0;
                EXPECT_GT(end - first, 0);
                EXPECT_LE(end - first, (dy + 3) * dh / sh) << dw << "x" << dh << " step " << n;
            }
            // Another destination (or the same one refused) is drawn whole.
            std::vector<uint32_t> other((size_t)dpitch * dh, 0);
            Sdl_Sharp_Scale_Changes(src.data(), sw, sh, pitch * 2, 16, other.data(), dw, dh,
                                    dpitch * 4, true, &part, &first, &end);
            EXPECT_EQ(other, want);
            EXPECT_EQ(end - first, dh);
        }
    }
}

} // namespace
