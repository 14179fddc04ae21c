// The full-screen flip that swaps memories: whatever looks at the back surface after a flip
// (locks, blits, fills, text, a second flip) sees the frame just shown, as after a copy, and
// fills of every colour write exactly their rectangle.
#include "tests/engine/graphics/display_fixture.h"

namespace {

// Pixels of the back surface that differ from v, read through a lock as a drawing would.
int Back_Not(USHORT v) {
    if (!DDraw_Lock_Back_Surface()) return -1;
    int n = Count_Not(lpddsback, v);
    DDraw_Unlock_Back_Surface();
    return n;
}

// The frame the game would draw: the whole back surface in one colour, then shown.
void Show_Frame(USHORT v) {
    DDraw_Fill_Surface(lpddsback, v, nullptr);
    ASSERT_EQ(DDraw_Flip(), 1);
}

TEST_F(Display, AfterFlipsTheBackSurfaceHoldsTheLastFrame) {
    Show_Frame(0x0101);
    Show_Frame(0x0202); // the memory swapped in holds 0x0101; the frame shown was 0x0202
    EXPECT_EQ(Back_Not(0x0202), 0);
    EXPECT_EQ(Count_Not(lpddsprimary, 0x0202), 0);
}

TEST_F(Display, APartialFillOrTextAfterAFlipKeepsTheRestOfTheFrame) {
    Show_Frame(0x0A0A);
    Show_Frame(0x1234);
    RECT r = {10, 10, 20, 20};
    DDraw_Fill_Surface(lpddsback, 0x7FFF, &r);
    ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
    EXPECT_EQ(Pixel_At(lpddsback, 0, 0), 0x1234);
    EXPECT_EQ(Pixel_At(lpddsback, 15, 15), 0x7FFF);
    EXPECT_EQ(Pixel_At(lpddsback, 799, 599), 0x1234);
    DDraw_Unlock_Back_Surface();
    EXPECT_EQ(Count_Not(lpddsback, 0x1234), 100);

    Show_Frame(0x2222);
    Draw_Text_GDI("Score 100", 10, 10, 0x00FFFFFF, lpddsback);
    const int lit = Back_Not(0x2222);
    EXPECT_GT(lit, 0);       // the glyphs
    EXPECT_LT(lit, 16 * 90); // and nothing but them
}

TEST_F(Display, ABlitFromTheBackSurfaceAfterAFlipCopiesTheFrame) {
    LPDIRECTDRAWSURFACE4 copy = DDraw_Create_Surface(800, 600, DDSCAPS_SYSTEMMEMORY, 0);
    ASSERT_NE(copy, nullptr);
    Show_Frame(0x0303);
    Show_Frame(0x0404);
    ASSERT_EQ(DDraw_Blt(copy, nullptr, lpddsback, nullptr, DDBLT_WAIT), 1);
    EXPECT_EQ(Count_Not(copy, 0x0404), 0);
}

TEST_F(Display, TwoFlipsInARowShowTheSameFrame) {
    struct Seen {
        USHORT first = 0, last = 0;
        int frames = 0;
    } seen;
    Headless_Set_Frame_Hook(
        [](const uint16_t *px, int w, int h, int pitch, int, void *u) {
            Seen *s = (Seen *)u;
            s->first = px[0];
            s->last = px[(size_t)(h - 1) * (pitch / 2) + w - 1];
            s->frames++;
        },
        &seen);
    Show_Frame(0x0505);
    Show_Frame(0x0606);
    ASSERT_EQ(DDraw_Flip(), 1);
    EXPECT_EQ(seen.frames, 3);
    EXPECT_EQ(seen.first, 0x0606);
    EXPECT_EQ(seen.last, 0x0606);
    EXPECT_EQ(Count_Not(lpddsprimary, 0x0606), 0);
}

TEST_F(Display, DrawingOnThePrimaryAfterAFlipLeavesTheBackSurfaceAlone) {
    Show_Frame(0x0707);
    Show_Frame(0x0808);
    DDraw_Fill_Surface(lpddsprimary, 0x3333, nullptr);
    EXPECT_EQ(Count_Not(lpddsprimary, 0x3333), 0);
    EXPECT_EQ(Back_Not(0x0808), 0);

    Show_Frame(0x0909);
    ASSERT_NE(DDraw_Lock_Primary_Surface(), nullptr);
    Pixel_At(lpddsprimary, 1, 1) = 0x4444;
    DDraw_Unlock_Primary_Surface();
    EXPECT_EQ(Back_Not(0x0909), 0);
}

TEST_F(Display, ReleasingThePrimaryAfterAFlipKeepsTheFrameInTheBackSurface) {
    Show_Frame(0x0B0B);
    Show_Frame(0x0C0C);
    DDraw_Release_Surface(lpddsprimary);
    EXPECT_EQ(lpddsprimary, nullptr);
    EXPECT_EQ(Back_Not(0x0C0C), 0);
}

TEST_F(Display, AClearThroughAPartialClipperKeepsWhatLiesOutsideIt) {
    Show_Frame(0x0D0D);
    Show_Frame(0x0E0E);
    RECT left = {0, 0, 400, 600};
    ASSERT_NE(DDraw_Attach_Clipper(lpddsback, 1, &left), nullptr);
    DDraw_Fill_Surface(lpddsback, 0, nullptr); // covers the surface, but the clipper does not
    ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
    EXPECT_EQ(Pixel_At(lpddsback, 399, 300), 0);
    EXPECT_EQ(Pixel_At(lpddsback, 400, 300), 0x0E0E);
    DDraw_Unlock_Back_Surface();
    EXPECT_EQ(Count_Not(lpddsback, 0), 400 * 600);
}

TEST_F(Display, FillsOfAnyColourWriteExactlyTheirRectangle) {
    // Colours whose two bytes differ and agree, runs starting on odd and even pixels, odd and
    // even lengths, and the single pixel.
    const USHORT colours[] = {0x1234, 0x4242, 0x00FF, 0x8001};
    const RECT rects[] = {{3, 1, 8, 2}, {2, 5, 9, 7}, {1, 9, 2, 10}, {0, 20, 800, 23}};
    for (USHORT c : colours)
        for (const RECT &r : rects) {
            DDraw_Fill_Surface(lpddsback, 0, nullptr);
            RECT rr = r;
            DDraw_Fill_Surface(lpddsback, c, &rr);
            ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
            int wrong = 0;
            for (int y = 0; y < 30; y++)
                for (int x = 0; x < 800; x++) {
                    const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                    wrong += Pixel_At(lpddsback, x, y) != (inside ? c : 0);
                }
            DDraw_Unlock_Back_Surface();
            EXPECT_EQ(wrong, 0) << "colour " << c << " at " << r.left << "," << r.top;
        }
    // The whole surface in a colour of two different bytes.
    DDraw_Fill_Surface(lpddsback, 0x1357, nullptr);
    EXPECT_EQ(Back_Not(0x1357), 0);
}

} // namespace
