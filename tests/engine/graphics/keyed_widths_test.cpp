// Keyed copies of every width the sprites come in: the wide steps, their shorter last step and
// single pixels must all leave key pixels alone and copy the rest, whatever the alignment.
#include "tests/engine/graphics/display_fixture.h"

namespace {

// Source pixel (x, y) of the test sprite: key 0x0007 on a diagonal pattern and at both ends of
// odd rows, otherwise a colour that names its place.
USHORT Source_Pixel(int x, int y, int w) {
    if ((x + y) % 5 == 0 || (y % 2 == 1 && (x == 0 || x == w - 1))) return 0x0007;
    return (USHORT)(0x4000 + x * 64 + y);
}

TEST_F(Display, KeyedCopiesOfEveryWidthTouchOnlyOpaquePixels) {
    for (int w = 1; w <= 70; w++) {
        const int h = 6;
        LPDIRECTDRAWSURFACE4 sprite = DDraw_Create_Surface(w, h, DDSCAPS_SYSTEMMEMORY, 0x0007);
        ASSERT_NE(sprite, nullptr);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                Pixel_At(sprite, x, y) = Source_Pixel(x, y, w);
        for (int left : {0, 1, 3, 37}) {
            DDraw_Fill_Surface(lpddsback, 0x1111, nullptr);
            RECT dst = {left, 10, left + w, 10 + h};
            ASSERT_EQ(DDraw_Blt(lpddsback, &dst, sprite, nullptr, DDBLT_KEYSRC | DDBLT_WAIT), 1);
            ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
            int wrong = 0;
            for (int y = 8; y < 18; y++)
                for (int x = 0; x < 120; x++) {
                    USHORT want = 0x1111;
                    if (x >= left && x < left + w && y >= 10 && y < 10 + h) {
                        const USHORT s = Source_Pixel(x - left, y - 10, w);
                        if (s != 0x0007) want = s;
                    }
                    wrong += Pixel_At(lpddsback, x, y) != want;
                }
            DDraw_Unlock_Back_Surface();
            EXPECT_EQ(wrong, 0) << "width " << w << " at x " << left;
        }
        DDraw_Release_Surface(sprite);
    }
}

TEST_F(Display, AKeyedCopyCutByTheRightEdgeStopsThere) {
    LPDIRECTDRAWSURFACE4 sprite = DDraw_Create_Surface(40, 3, DDSCAPS_SYSTEMMEMORY, 0);
    ASSERT_NE(sprite, nullptr);
    Paint(sprite, 0x2222);
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    RECT dst = {790, 0, 830, 3}; // 10 columns on the surface, 30 beyond it
    ASSERT_EQ(DDraw_Blt(lpddsback, &dst, sprite, nullptr, DDBLT_KEYSRC | DDBLT_WAIT), 1);
    ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
    EXPECT_EQ(Pixel_At(lpddsback, 789, 0), 0);
    EXPECT_EQ(Pixel_At(lpddsback, 790, 0), 0x2222);
    EXPECT_EQ(Pixel_At(lpddsback, 799, 2), 0x2222);
    EXPECT_EQ(Pixel_At(lpddsback, 0, 1), 0); // nothing wrapped onto the next row
    EXPECT_EQ(Pixel_At(lpddsback, 0, 3), 0);
    DDraw_Unlock_Back_Surface();
    EXPECT_EQ(Count_Not(lpddsback, 0), 30);
}

} // namespace

namespace {

// Text cut at the left and right edges shows exactly the part of the whole text that lies on
// the surface: the same pixels as the text drawn whole further in, shifted.
TEST_F(Display, TextCutAtTheEdgesIsTheVisiblePartOfTheWhole) {
    const char *text = "Score 12345 Ships 7";
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    ASSERT_EQ(Draw_Text_GDI(text, 300, 100, 0x00FFFFFF, lpddsback), 1);
    ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
    std::vector<USHORT> whole;
    for (int y = 100; y < 140; y++)
        for (int x = 300; x < 600; x++)
            whole.push_back(Pixel_At(lpddsback, x, y));
    DDraw_Unlock_Back_Surface();
    int lit = 0;
    for (USHORT v : whole)
        lit += v != 0;
    ASSERT_GT(lit, 20);
    for (int at : {-37, -3, 700, 781}) {
        DDraw_Fill_Surface(lpddsback, 0, nullptr);
        ASSERT_EQ(Draw_Text_GDI(text, at, 100, 0x00FFFFFF, lpddsback), 1);
        ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
        int wrong = 0;
        for (int y = 100; y < 140; y++)
            for (int x = 0; x < 800; x++) {
                const int wx = x - at;
                const USHORT want = wx >= 0 && wx < 300 ? whole[(size_t)(y - 100) * 300 + wx] : 0;
                wrong += Pixel_At(lpddsback, x, y) != want;
            }
        DDraw_Unlock_Back_Surface();
        EXPECT_EQ(wrong, 0) << "text at x " << at;
    }
}

} // namespace
