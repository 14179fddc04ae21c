// Copies between surfaces: the source colour key, clipping at every edge and by clip lists,
// nearest-neighbour scaling, and the rectangles a copy refuses.
#include "tests/engine/graphics/display_fixture.h"
#include <initializer_list>

namespace {

// A surface of w x h made from rows of pixel values, colour key 0.
LPDIRECTDRAWSURFACE4 Make(int w, int h, std::initializer_list<USHORT> px) {
    LPDIRECTDRAWSURFACE4 s = DDraw_Create_Surface(w, h, DDSCAPS_SYSTEMMEMORY, 0);
    EXPECT_NE(s, nullptr);
    if (!s) return s;
    int i = 0;
    for (USHORT v : px) {
        Pixel_At(s, i % w, i / w) = v;
        i++;
    }
    return s;
}

// An 8 x 8 sprite whose pixel (x, y) is 100 + 8y + x: never the key, and tells where it came from.
LPDIRECTDRAWSURFACE4 Make_Sprite() {
    LPDIRECTDRAWSURFACE4 s = DDraw_Create_Surface(8, 8, DDSCAPS_SYSTEMMEMORY, 0);
    EXPECT_NE(s, nullptr);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            Pixel_At(s, x, y) = (USHORT)(100 + 8 * y + x);
    return s;
}

int Draw_At(LPDIRECTDRAWSURFACE4 sprite, int x, int y) {
    RECT src = {0, 0, 8, 8};
    RECT dst = {x, y, x + 8, y + 8};
    return DDraw_Blt(lpddsback, &dst, sprite, &src, DDBLT_KEYSRC | DDBLT_WAIT);
}

} // namespace

TEST_F(Display, KeyedCopySkipsKeyPixels) {
    LPDIRECTDRAWSURFACE4 s = Make(3, 2, {5, 0, 7, 0, 9, 0});
    Paint(lpddsback, 0x1111);
    RECT src = {0, 0, 3, 2}, dst = {10, 20, 13, 22};
    ASSERT_EQ(DDraw_Blt(lpddsback, &dst, s, &src, DDBLT_KEYSRC | DDBLT_WAIT), 1);
    EXPECT_EQ(Pixel_At(lpddsback, 10, 20), 5);
    EXPECT_EQ(Pixel_At(lpddsback, 11, 20), 0x1111);
    EXPECT_EQ(Pixel_At(lpddsback, 12, 20), 7);
    EXPECT_EQ(Pixel_At(lpddsback, 10, 21), 0x1111);
    EXPECT_EQ(Pixel_At(lpddsback, 11, 21), 9);
    EXPECT_EQ(Pixel_At(lpddsback, 12, 21), 0x1111);
    EXPECT_EQ(Count_Not(lpddsback, 0x1111), 3);

    // Without the key flag every pixel is copied, key or not.
    ASSERT_EQ(DDraw_Blt(lpddsback, &dst, s, &src, DDBLT_WAIT), 1);
    EXPECT_EQ(Pixel_At(lpddsback, 11, 20), 0);
    EXPECT_EQ(Count_Not(lpddsback, 0x1111), 6);
}

TEST_F(Display, KeyedCopyOfLongRowsWithANonZeroKey) {
    // Long rows and odd offsets, so that every position in a run of pixels meets the key.
    LPDIRECTDRAWSURFACE4 s = DDraw_Create_Surface(67, 3, DDSCAPS_SYSTEMMEMORY, 0xBEEF);
    ASSERT_NE(s, nullptr);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 67; x++)
            Pixel_At(s, x, y) = (x + y) % 3 == 0 ? 0xBEEF : (USHORT)(x + 1000 * y);
    Paint(lpddsback, 0x2222);
    RECT dst = {5, 7, 72, 10};
    ASSERT_EQ(DDraw_Blt(lpddsback, &dst, s, nullptr, DDBLT_KEYSRC), 1);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 67; x++) {
            USHORT want = (x + y) % 3 == 0 ? 0x2222 : (USHORT)(x + 1000 * y);
            ASSERT_EQ(Pixel_At(lpddsback, 5 + x, 7 + y), want) << x << "," << y;
        }
    // 201 pixels, a third of them keyed.
    EXPECT_EQ(Count_Not(lpddsback, 0x2222), 201 - 67);
}

TEST_F(Display, SpritesCutAtEveryScreenEdge) {
    LPDIRECTDRAWSURFACE4 s = Make_Sprite();
    // Left: columns 3..7 of the sprite land on 0..4.
    Paint(lpddsback, 0);
    ASSERT_EQ(Draw_At(s, -3, 10), 1);
    EXPECT_EQ(Count_Not(lpddsback, 0), 5 * 8);
    EXPECT_EQ(Pixel_At(lpddsback, 0, 10), 100 + 3);
    EXPECT_EQ(Pixel_At(lpddsback, 4, 17), 100 + 56 + 7);
    // Right: columns 0..3 land on 796..799.
    Paint(lpddsback, 0);
    Draw_At(s, 796, 10);
    EXPECT_EQ(Count_Not(lpddsback, 0), 4 * 8);
    EXPECT_EQ(Pixel_At(lpddsback, 799, 10), 100 + 3);
    // Top: rows 5..7 land on 0..2.
    Paint(lpddsback, 0);
    Draw_At(s, 10, -5);
    EXPECT_EQ(Count_Not(lpddsback, 0), 8 * 3);
    EXPECT_EQ(Pixel_At(lpddsback, 10, 0), 100 + 40);
    EXPECT_EQ(Pixel_At(lpddsback, 17, 2), 100 + 56 + 7);
    // Bottom: rows 0..2 land on 597..599.
    Paint(lpddsback, 0);
    Draw_At(s, 10, 597);
    EXPECT_EQ(Count_Not(lpddsback, 0), 8 * 3);
    EXPECT_EQ(Pixel_At(lpddsback, 10, 599), 100 + 16);
    // A corner: only the sprite's bottom-right 2 x 2.
    Paint(lpddsback, 0);
    Draw_At(s, -6, -6);
    EXPECT_EQ(Count_Not(lpddsback, 0), 4);
    EXPECT_EQ(Pixel_At(lpddsback, 0, 0), 100 + 48 + 6);
    EXPECT_EQ(Pixel_At(lpddsback, 1, 1), 100 + 56 + 7);
    // Wholly off-screen: accepted, nothing written.
    Paint(lpddsback, 0);
    EXPECT_EQ(Draw_At(s, 900, 10), 1);
    EXPECT_EQ(Draw_At(s, -8, 10), 1);
    EXPECT_EQ(Draw_At(s, 10, 600), 1);
    EXPECT_EQ(Count_Not(lpddsback, 0), 0);
}

TEST_F(Display, ClipListLimitsTheCopy) {
    LPDIRECTDRAWSURFACE4 d = DDraw_Create_Surface(20, 20, DDSCAPS_SYSTEMMEMORY, 0);
    LPDIRECTDRAWSURFACE4 s = DDraw_Create_Surface(20, 20, DDSCAPS_SYSTEMMEMORY, 0);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(s, nullptr);
    Paint(s, 0x0F0F);
    // The second rectangle reaches past the surface and is cut to it.
    RECT clips[2] = {{0, 0, 5, 5}, {10, 10, 40, 40}};
    ASSERT_NE(DDraw_Attach_Clipper(d, 2, clips), nullptr);
    ASSERT_EQ(DDraw_Blt(d, nullptr, s, nullptr, DDBLT_KEYSRC), 1);
    EXPECT_EQ(Count_Not(d, 0), 25 + 100);
    EXPECT_EQ(Pixel_At(d, 4, 4), 0x0F0F);
    EXPECT_EQ(Pixel_At(d, 5, 4), 0);
    EXPECT_EQ(Pixel_At(d, 9, 10), 0);
    EXPECT_EQ(Pixel_At(d, 19, 19), 0x0F0F);
}

TEST_F(Display, ScalingPicksTheNearestSourcePixel) {
    LPDIRECTDRAWSURFACE4 s = Make(2, 2, {1, 2, 3, 4});
    LPDIRECTDRAWSURFACE4 d = DDraw_Create_Surface(4, 4, 0, 0);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(DDraw_Blt(d, nullptr, s, nullptr, 0), 1);
    const USHORT up[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            EXPECT_EQ(Pixel_At(d, x, y), up[y][x]) << x << "," << y;

    // Halving reads every other pixel starting with the first: value 10y + x + 1.
    LPDIRECTDRAWSURFACE4 big = DDraw_Create_Surface(4, 4, 0, 0);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            Pixel_At(big, x, y) = (USHORT)(10 * y + x + 1);
    RECT half = {0, 0, 2, 2};
    ASSERT_EQ(DDraw_Blt(d, &half, big, nullptr, 0), 1);
    EXPECT_EQ(Pixel_At(d, 0, 0), 1);
    EXPECT_EQ(Pixel_At(d, 1, 0), 3);
    EXPECT_EQ(Pixel_At(d, 0, 1), 21);
    EXPECT_EQ(Pixel_At(d, 1, 1), 23);

    // 3 columns stretched to 5: columns 5i/... read 0, 0, 1, 1, 2 (i * 3 / 5).
    LPDIRECTDRAWSURFACE4 row = Make(3, 1, {7, 8, 9});
    LPDIRECTDRAWSURFACE4 wide = DDraw_Create_Surface(5, 1, 0, 0);
    ASSERT_EQ(DDraw_Blt(wide, nullptr, row, nullptr, 0), 1);
    const USHORT stretched[5] = {7, 7, 8, 8, 9};
    for (int x = 0; x < 5; x++)
        EXPECT_EQ(Pixel_At(wide, x, 0), stretched[x]);
}

TEST_F(Display, ScaledThenClippedShowsTheRightPartOfTheSource) {
    // 2 x 2 doubled into (-2, -2)-(2, 2): only the quarter from source pixel (1, 1) is seen.
    LPDIRECTDRAWSURFACE4 s = Make(2, 2, {1, 2, 3, 4});
    LPDIRECTDRAWSURFACE4 d = DDraw_Create_Surface(4, 4, 0, 0);
    RECT dst = {-2, -2, 2, 2};
    ASSERT_EQ(DDraw_Blt(d, &dst, s, nullptr, DDBLT_KEYSRC), 1);
    EXPECT_EQ(Count_Not(d, 0), 4);
    EXPECT_EQ(Pixel_At(d, 0, 0), 4);
    EXPECT_EQ(Pixel_At(d, 1, 1), 4);
    // The same on the back surface, through its clipper at the right edge.
    Paint(lpddsback, 0);
    RECT edge = {798, 0, 802, 4};
    ASSERT_EQ(DDraw_Blt(lpddsback, &edge, s, nullptr, DDBLT_KEYSRC), 1);
    EXPECT_EQ(Count_Not(lpddsback, 0), 8);
    EXPECT_EQ(Pixel_At(lpddsback, 798, 0), 1);
    EXPECT_EQ(Pixel_At(lpddsback, 799, 3), 3);
}

TEST_F(Display, BadRectanglesAreRefusedAndWriteNothing) {
    LPDIRECTDRAWSURFACE4 s = Make_Sprite();
    Paint(lpddsback, 0);
    RECT dst = {0, 0, 8, 8};
    RECT empty = {2, 2, 2, 6}, inverted = {4, 4, 2, 6}, past = {0, 0, 9, 8}, before = {-1, 0, 8, 8};
    EXPECT_EQ(DDraw_Blt(lpddsback, &dst, s, &empty, DDBLT_KEYSRC), 0);
    EXPECT_EQ(DDraw_Blt(lpddsback, &dst, s, &inverted, DDBLT_KEYSRC), 0);
    EXPECT_EQ(DDraw_Blt(lpddsback, &dst, s, &past, DDBLT_KEYSRC), 0);
    EXPECT_EQ(DDraw_Blt(lpddsback, &dst, s, &before, DDBLT_KEYSRC), 0);
    EXPECT_EQ(DDraw_Blt(lpddsback, &empty, s, nullptr, DDBLT_KEYSRC), 0);
    EXPECT_EQ(DDraw_Blt(nullptr, &dst, s, nullptr, DDBLT_KEYSRC), 0);
    EXPECT_EQ(DDraw_Blt(lpddsback, &dst, nullptr, nullptr, DDBLT_KEYSRC), 0);
    // Copies into or out of a locked surface wait for nobody: they fail.
    DDraw_Lock_Back_Surface();
    EXPECT_EQ(DDraw_Blt(lpddsback, &dst, s, nullptr, DDBLT_KEYSRC), 0);
    DDraw_Unlock_Back_Surface();
    EXPECT_EQ(Count_Not(lpddsback, 0), 0);
    // Far-out rectangles neither overflow nor write.
    RECT far = {2147483000, 2147483000, 2147483640, 2147483640};
    EXPECT_EQ(DDraw_Blt(lpddsback, &far, s, nullptr, DDBLT_KEYSRC), 1);
    RECT huge = {-2147483000, -2147483000, 2147483000, 2147483000};
    EXPECT_EQ(DDraw_Blt(lpddsback, &huge, s, nullptr, DDBLT_KEYSRC), 1);
    // The middle of that rectangle reads the middle of the sprite.
    EXPECT_EQ(Count_Not(lpddsback, 0), 800 * 600);
    EXPECT_EQ(Pixel_At(lpddsback, 0, 0), 100 + 8 * 4 + 4);
}

TEST_F(Display, OverlappingCopyWithinOneSurface) {
    LPDIRECTDRAWSURFACE4 s = Make(6, 1, {1, 2, 3, 4, 5, 6});
    RECT src = {0, 0, 5, 1}, dst = {1, 0, 6, 1};
    ASSERT_EQ(DDraw_Blt(s, &dst, s, &src, 0), 1);
    const USHORT want[6] = {1, 1, 2, 3, 4, 5};
    for (int x = 0; x < 6; x++)
        EXPECT_EQ(Pixel_At(s, x, 0), want[x]);
}

TEST(EightBitSurfaces, KeyedCopyFillAndTextUseBytes) {
    Headless_Reset(0);
    ASSERT_EQ(DDraw_Init(640, 480, 8, 0), 1);
    for (int i = 0; i < 256; i++)
        display_palette[i] = {0, 0, 0, 0};
    display_palette[2] = {255, 0, 0, 0};
    display_palette[3] = {0, 0, 250, 0};
    // The key's low byte is the 8-bit key.
    LPDIRECTDRAWSURFACE4 s = DDraw_Create_Surface(4, 1, DDSCAPS_SYSTEMMEMORY, 0x0109);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->bpp, 8);
    EXPECT_EQ(s->pitch, 4);
    const UCHAR row[4] = {7, 9, 1, 9};
    for (int x = 0; x < 4; x++)
        s->memory[x] = row[x];
    DDraw_Fill_Surface(lpddsback, 0x0155, nullptr);
    EXPECT_EQ(lpddsback->memory[0], 0x55);
    RECT dst = {638, 479, 642, 480}; // half of it past the right edge
    ASSERT_EQ(DDraw_Blt(lpddsback, &dst, s, nullptr, DDBLT_KEYSRC), 1);
    const UCHAR *last = lpddsback->memory.data() + 479 * lpddsback->pitch;
    EXPECT_EQ(last[637], 0x55);
    EXPECT_EQ(last[638], 7);
    EXPECT_EQ(last[639], 0x55);
    // A 16-bit source cannot be copied to an 8-bit surface.
    DDSURFACE wide;
    wide.width = wide.height = 1;
    wide.bpp = 16;
    wide.pitch = 2;
    wide.memory.assign(2, 0);
    EXPECT_EQ(DDraw_Blt(lpddsback, nullptr, &wide, nullptr, 0), 0);
    // Text in a colour reference takes the nearest palette entry: pure red is entry 2.
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    ASSERT_EQ(Draw_Text_GDI("Red", 10, 10, 0x000000FF, lpddsback), 1);
    int red = 0, other = 0;
    for (UCHAR v : lpddsback->memory) {
        red += v == 2;
        other += v != 2 && v != 0;
    }
    EXPECT_GT(red, 0);
    EXPECT_EQ(other, 0);
    // The 8-bit variant writes the index itself.
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    ASSERT_EQ(Draw_Text_GDI8("Blue", 10, 10, 3, lpddsback), 1);
    int blue = 0;
    for (UCHAR v : lpddsback->memory)
        blue += v == 3;
    EXPECT_GT(blue, 0);
    DDraw_Shutdown();
}

TEST_F(Display, RandomCopiesStayInsideTheClipAndMatchPixelByPixel) {
    LPDIRECTDRAWSURFACE4 d = DDraw_Create_Surface(64, 48, 0, 0);
    LPDIRECTDRAWSURFACE4 s = DDraw_Create_Surface(37, 29, 0, 0x0005);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(s, nullptr);
    for (int y = 0; y < 29; y++)
        for (int x = 0; x < 37; x++)
            Pixel_At(s, x, y) = (x * 7 + y * 3) % 11 == 5 ? 5 : x + 64 * y;
    RECT clip = {8, 8, 56, 40};
    ASSERT_NE(DDraw_Attach_Clipper(d, 1, &clip), nullptr);
    unsigned seed = 99;
    auto next = [&](int lo, int hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + (int)((seed >> 8) % (unsigned)(hi - lo + 1));
    };
    for (int i = 0; i < 2000; i++) {
        Paint(d, 0xABCD);
        const int sx = next(0, 36), sy = next(0, 28);
        RECT src = {sx, sy, next(sx + 1, 37), next(sy + 1, 29)};
        const int w = src.right - src.left, h = src.bottom - src.top;
        // Every third copy is scaled.
        const int dw = i % 3 ? w : next(1, 80), dh = i % 3 ? h : next(1, 60);
        const int dx = next(-90, 90), dy = next(-70, 70);
        RECT dst = {dx, dy, dx + dw, dy + dh};
        ASSERT_EQ(DDraw_Blt(d, &dst, s, &src, DDBLT_KEYSRC), 1);
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 64; x++) {
                USHORT want = 0xABCD;
                if (x >= 8 && x < 56 && y >= 8 && y < 40 && x >= dst.left && x < dst.right &&
                    y >= dst.top && y < dst.bottom) {
                    const USHORT v = Pixel_At(s, src.left + (x - dst.left) * w / dw,
                                              src.top + (y - dst.top) * h / dh);
                    if (v != 5) want = v;
                }
                ASSERT_EQ(Pixel_At(d, x, y), want) << "copy " << i << " at " << x << "," << y;
            }
    }
}
