// The display device: opening and closing, pixel packing, clipped fills, clippers, locks and
// flips.
#include "tests/engine/graphics/display_fixture.h"
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include "engine/graphics/clock.h"

TEST_F(Display, OpenSetsGeometryClipAndBackSurface) {
    EXPECT_EQ(screen_width, 800);
    EXPECT_EQ(screen_height, 600);
    EXPECT_EQ(screen_bpp, 16);
    EXPECT_EQ(screen_windowed, 0);
    // The primary's bit count, which does not tell 5.5.5 from 5.6.5.
    EXPECT_EQ(dd_pixel_format, 16);
    EXPECT_EQ(min_clip_x, 0);
    EXPECT_EQ(max_clip_x, 799);
    EXPECT_EQ(min_clip_y, 0);
    EXPECT_EQ(max_clip_y, 599);
    ASSERT_NE(lpddsback, nullptr);
    ASSERT_NE(lpddsprimary, nullptr);
    EXPECT_EQ(lpddsback->width, 800);
    EXPECT_EQ(lpddsback->height, 600);
    EXPECT_GE(lpddsback->pitch, 1600);
    EXPECT_EQ(Count_Not(lpddsback, 0), 0);
    ASSERT_NE(lpddclipper, nullptr);
    EXPECT_EQ(lpddsback->clipper, lpddclipper);
    ASSERT_EQ(lpddclipper->rects.size(), 1u);
    EXPECT_EQ(back_buffer, nullptr);
    EXPECT_EQ(back_lpitch, 0);
}

TEST(Packing, ComponentsOnBothPackings) {
    const int saved = dd_pixel_format;
    dd_pixel_format = 15;
    EXPECT_EQ(RGB16Bit(31, 0, 0), 0x7C00);
    EXPECT_EQ(RGB16Bit(0, 31, 0), 0x03E0);
    EXPECT_EQ(RGB16Bit(0, 0, 31), 0x001F);
    EXPECT_EQ(RGB16Bit(31, 31, 31), 0x7FFF);
    EXPECT_EQ(RGB16Bit(33, 0, 0), 0x0400); // only the low 5 bits of red count
    dd_pixel_format = 16;
    EXPECT_EQ(RGB16Bit(31, 0, 0), 0xF800);
    EXPECT_EQ(RGB16Bit(0, 31, 0), 0x07C0);
    EXPECT_EQ(RGB16Bit(0, 0, 31), 0x001F);
    EXPECT_EQ(RGB16Bit(31, 31, 31), 0xFFDF);
    dd_pixel_format = saved;
}

TEST(Packing, ColourReferencesToTheRealPacking) {
    EXPECT_EQ(DDraw_Color_To_Pixel(0x000000FF, 15), 0x7C00);
    EXPECT_EQ(DDraw_Color_To_Pixel(0x000000FF, 16), 0xF800);
    EXPECT_EQ(DDraw_Color_To_Pixel(0x0000FF00, 15), 0x03E0);
    EXPECT_EQ(DDraw_Color_To_Pixel(0x0000FF00, 16), 0x07E0);
    EXPECT_EQ(DDraw_Color_To_Pixel(0x00FF0000, 15), 0x001F);
    EXPECT_EQ(DDraw_Color_To_Pixel(0x00FFFFFF, 15), 0x7FFF);
    EXPECT_EQ(DDraw_Color_To_Pixel(0x00FFFFFF, 16), 0xFFFF);
    // (8, 4, 16) keeps 1, 0, 2 of five bits, and green 4 keeps 1 of six.
    EXPECT_EQ(DDraw_Color_To_Pixel(0x00100408, 15), (1 << 10) | 2);
    EXPECT_EQ(DDraw_Color_To_Pixel(0x00100408, 16), (1 << 11) | (1 << 5) | 2);
}

TEST_F(Display, RectangleFillsRightAndBottomExcluded) {
    Paint(lpddsback, 0x1234);
    EXPECT_EQ(Draw_Rectangle(770, 108, 790, 212, 0x7C00, lpddsback), 1);
    EXPECT_EQ(Count_Not(lpddsback, 0x1234), 20 * 104);
    EXPECT_EQ(Pixel_At(lpddsback, 770, 108), 0x7C00);
    EXPECT_EQ(Pixel_At(lpddsback, 789, 211), 0x7C00);
    EXPECT_EQ(Pixel_At(lpddsback, 790, 108), 0x1234);
    EXPECT_EQ(Pixel_At(lpddsback, 769, 108), 0x1234);
    EXPECT_EQ(Pixel_At(lpddsback, 770, 107), 0x1234);
    EXPECT_EQ(Pixel_At(lpddsback, 770, 212), 0x1234);
}

TEST_F(Display, FillsPastTheEdgeAreCut) {
    Paint(lpddsback, 0);
    Draw_Rectangle(790, 590, 900, 700, 0x001F, lpddsback);
    EXPECT_EQ(Count_Not(lpddsback, 0), 10 * 10);
    EXPECT_EQ(Pixel_At(lpddsback, 799, 599), 0x001F);
    Paint(lpddsback, 0);
    Draw_Rectangle(-10, -20, 5, 3, 0x001F, lpddsback);
    EXPECT_EQ(Count_Not(lpddsback, 0), 5 * 3);
    EXPECT_EQ(Pixel_At(lpddsback, 0, 0), 0x001F);
    EXPECT_EQ(Pixel_At(lpddsback, 4, 2), 0x001F);
    // The full int colour is given; the surface keeps its low 16 bits.
    Paint(lpddsback, 0);
    Draw_Rectangle(0, 0, 1, 1, 0x12345, lpddsback);
    EXPECT_EQ(Pixel_At(lpddsback, 0, 0), 0x2345);
    // Empty and inverted rectangles fill nothing.
    Paint(lpddsback, 0);
    Draw_Rectangle(10, 10, 10, 20, 0x001F, lpddsback);
    Draw_Rectangle(30, 30, 20, 40, 0x001F, lpddsback);
    EXPECT_EQ(Count_Not(lpddsback, 0), 0);
}

TEST_F(Display, FillSurfaceWholeOrRectWithinTheClipper) {
    EXPECT_EQ(DDraw_Fill_Surface(lpddsback, 0x4321, nullptr), 1);
    EXPECT_EQ(Count_Not(lpddsback, 0x4321), 0);
    RECT r = {100, 200, 103, 204};
    DDraw_Fill_Surface(lpddsback, 0, &r);
    EXPECT_EQ(Count_Not(lpddsback, 0x4321), 12);
    EXPECT_EQ(DDraw_Fill_Surface(nullptr, 0, nullptr), 1);

    // An off-screen surface with two clip rectangles is filled only inside them.
    LPDIRECTDRAWSURFACE4 s = DDraw_Create_Surface(20, 20, DDSCAPS_SYSTEMMEMORY, 0);
    ASSERT_NE(s, nullptr);
    RECT clips[2] = {{0, 0, 5, 5}, {10, 10, 30, 12}};
    ASSERT_NE(DDraw_Attach_Clipper(s, 2, clips), nullptr);
    DDraw_Fill_Surface(s, 0x7777, nullptr);
    EXPECT_EQ(Count_Not(s, 0), 25 + 10 * 2);
    EXPECT_EQ(Pixel_At(s, 19, 11), 0x7777);
    EXPECT_EQ(Pixel_At(s, 5, 5), 0);
}

TEST_F(Display, ClipperBoundingRectangle) {
    RECT full = {0, 0, 800, 600};
    LPDIRECTDRAWCLIPPER c = DDraw_Attach_Clipper(lpddsback, 1, &full);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->bound.left, 0);
    EXPECT_EQ(c->bound.top, 0);
    EXPECT_EQ(c->bound.right, 800);
    EXPECT_EQ(c->bound.bottom, 600);
    EXPECT_EQ(lpddsback->clipper, c);

    RECT two[2] = {{10, 20, 30, 40}, {-5, 50, 15, 60}};
    c = DDraw_Attach_Clipper(lpddsback, 2, two);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->bound.left, -5);
    EXPECT_EQ(c->bound.top, 20);
    EXPECT_EQ(c->bound.right, 30);
    EXPECT_EQ(c->bound.bottom, 60);

    // No rectangles: the starting values stay, and nothing can be drawn.
    c = DDraw_Attach_Clipper(lpddsback, 0, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->bound.left, 64000);
    EXPECT_EQ(c->bound.top, 64000);
    EXPECT_EQ(c->bound.right, -64000);
    EXPECT_EQ(c->bound.bottom, -64000);
    Paint(lpddsback, 0);
    Draw_Rectangle(0, 0, 800, 600, 0x1111, lpddsback);
    EXPECT_EQ(Count_Not(lpddsback, 0), 0);

    EXPECT_EQ(DDraw_Attach_Clipper(nullptr, 1, &full), nullptr);
    EXPECT_EQ(DDraw_Attach_Clipper(lpddsback, -1, &full), nullptr);
    EXPECT_EQ(DDraw_Attach_Clipper(lpddsback, 3, nullptr), nullptr);
}

TEST_F(Display, LockTwiceUnlockOnce) {
    UCHAR *p = DDraw_Lock_Back_Surface();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(back_buffer, p);
    EXPECT_EQ((UCHAR *)sback_buffer, p);
    EXPECT_EQ(back_lpitch, lpddsback->pitch);
    EXPECT_EQ(DDraw_Lock_Back_Surface(), p);
    EXPECT_EQ(DDraw_Unlock_Back_Surface(), 1);
    EXPECT_EQ(back_buffer, nullptr);
    EXPECT_EQ(back_lpitch, 0);
    EXPECT_EQ((UCHAR *)sback_buffer, p); // the unlock leaves it
    EXPECT_EQ(DDraw_Unlock_Back_Surface(), 0);

    UCHAR *q = DDraw_Lock_Primary_Surface();
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(primary_buffer, q);
    EXPECT_EQ(DDraw_Lock_Primary_Surface(), q);
    EXPECT_EQ(DDraw_Unlock_Primary_Surface(), 1);
    EXPECT_EQ(primary_buffer, nullptr);
    EXPECT_EQ(DDraw_Unlock_Primary_Surface(), 0);

    int pitch = -1;
    EXPECT_EQ(DDraw_Lock_Surface(nullptr, &pitch), nullptr);
    EXPECT_EQ(DDraw_Unlock_Surface(nullptr), 0);
}

// Keeps what the platform was last shown.
struct Shown {
    int frames = 0;
    int packing = 0;
    int w = 0, h = 0;
    USHORT first = 0;
};

namespace {

void remember(const uint16_t *px, int w, int h, int, int packing, void *user) {
    Shown *s = (Shown *)user;
    s->frames++;
    s->packing = packing;
    s->w = w;
    s->h = h;
    s->first = px[0];
}

} // namespace

TEST_F(Display, FlipShowsTheBackSurfaceOnlyWhenUnlocked) {
    Shown shown;
    Headless_Set_Frame_Hook(remember, &shown);
    UCHAR *p = DDraw_Lock_Back_Surface();
    ASSERT_NE(p, nullptr);
    sback_buffer[0] = 0x7C00;
    EXPECT_EQ(DDraw_Flip(), 0);
    EXPECT_EQ(shown.frames, 0);
    DDraw_Unlock_Back_Surface();
    EXPECT_EQ(DDraw_Flip(), 1);
    EXPECT_EQ(shown.frames, 1);
    EXPECT_EQ(shown.w, 800);
    EXPECT_EQ(shown.h, 600);
    EXPECT_EQ(shown.first, 0x7C00);
    // The primary now shows the frame.
    EXPECT_EQ(Pixel_At(lpddsprimary, 0, 0), 0x7C00);

    // A locked primary stops the flip as well.
    DDraw_Lock_Primary_Surface();
    EXPECT_EQ(DDraw_Flip(), 0);
    EXPECT_EQ(shown.frames, 1);
    DDraw_Unlock_Primary_Surface();
}

TEST_F(Display, FlipPresentsInThePresentPackingNotThePixelFormat) {
    Shown shown;
    Headless_Set_Frame_Hook(remember, &shown);
    dd_pixel_format = 16;
    dd_present_format = 15;
    DDraw_Flip();
    EXPECT_EQ(shown.packing, 15);
    dd_pixel_format = 15;
    dd_present_format = 16;
    DDraw_Flip();
    EXPECT_EQ(shown.packing, 16);
    EXPECT_EQ(shown.frames, 2);
}

TEST_F(Display, AFailingPresentSkipsTheFrame) {
    // The headless backend refuses any packing but 15 and 16: every present fails.
    Shown shown;
    Headless_Set_Frame_Hook(remember, &shown);
    dd_present_format = 12;
    for (int i = 0; i < 100; i++)
        EXPECT_EQ(DDraw_Flip(), 1);
    EXPECT_EQ(shown.frames, 0);
    dd_present_format = 15;
    EXPECT_EQ(DDraw_Flip(), 1);
    EXPECT_EQ(shown.frames, 1);
}

TEST_F(Display, SurfacesAreOwnedByTheDisplay) {
    const int base = DDraw_Surface_Count(); // primary and back
    EXPECT_EQ(base, 2);
    LPDIRECTDRAWSURFACE4 a = DDraw_Create_Surface(40, 30, DDSCAPS_SYSTEMMEMORY, 0x1F);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->width, 40);
    EXPECT_EQ(a->height, 30);
    EXPECT_EQ(a->pitch, 80);
    EXPECT_EQ(a->color_key, 0x1F);
    EXPECT_EQ(a->memory.size(), 2400u);
    LPDIRECTDRAWSURFACE4 b = DDraw_Create_Surface(8, 8, 0, 0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(DDraw_Surface_Count(), base + 2);
    DDraw_Release_Surface(a);
    EXPECT_EQ(DDraw_Surface_Count(), base + 1);
    DDraw_Release_Surface(a); // a second release of the same handle changes nothing
    EXPECT_EQ(DDraw_Surface_Count(), base + 1);
    EXPECT_EQ(DDraw_Create_Surface(0, 10, 0, 0), nullptr);
    EXPECT_EQ(DDraw_Create_Surface(10, -1, 0, 0), nullptr);
    EXPECT_EQ(DDraw_Create_Surface(1 << 20, 1 << 20, 0, 0), nullptr);
    // b is left for the shut-down to release.
}

TEST_F(Display, ShutdownReleasesEverythingAndReopens) {
    DDraw_Create_Surface(16, 16, 0, 0);
    DDraw_Lock_Back_Surface();
    EXPECT_EQ(DDraw_Shutdown(), 1);
    EXPECT_EQ(DDraw_Surface_Count(), 0);
    EXPECT_EQ(lpddsback, nullptr);
    EXPECT_EQ(back_buffer, nullptr);
    EXPECT_EQ(screen_width, 800); // the geometry keeps its values
    // Nothing reaches freed memory after the shut-down.
    EXPECT_EQ(DDraw_Create_Surface(16, 16, 0, 0), nullptr);
    EXPECT_EQ(DDraw_Lock_Back_Surface(), nullptr);
    EXPECT_EQ(DDraw_Flip(), 0);
    EXPECT_EQ(DDraw_Fill_Surface(lpddsback, 0, nullptr), 1);
    EXPECT_EQ(DDraw_Shutdown(), 1);

    ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
    EXPECT_EQ(DDraw_Surface_Count(), 2);
    ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
    sback_buffer[799 + 599 * (back_lpitch / 2)] = 0x7FFF;
    EXPECT_EQ(DDraw_Unlock_Back_Surface(), 1);
    EXPECT_EQ(DDraw_Flip(), 1);
}

TEST_F(Display, BadModesFailToOpen) {
    EXPECT_EQ(DDraw_Init(800, 600, 24, 0), 0);
    EXPECT_EQ(DDraw_Init(0, 600, 16, 0), 0);
    EXPECT_EQ(DDraw_Init(800, 600, 16, 0), 1);
}

TEST_F(Display, OpenWritesThePixelFormatToTheLog) {
    char path[] = "/tmp/fw_ddraw_logXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(Open_Error_File(path), 1);
    ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
    Close_Error_File();
    FILE *fp = fopen(path, "r");
    ASSERT_NE(fp, nullptr);
    std::string text;
    for (int c; (c = fgetc(fp)) != EOF;)
        text += (char)c;
    fclose(fp);
    remove(path);
    EXPECT_NE(text.find("\npixel format = 16"), std::string::npos);
}

TEST(Windowed, FlipCopiesIntoA640By480Rectangle) {
    Headless_Reset(0);
    window_client_x0 = 3;
    window_client_y0 = 2;
    ASSERT_EQ(DDraw_Init(800, 600, 16, 1), 1);
    EXPECT_NE(lpddclipperwin, nullptr);
    EXPECT_EQ(lpddsprimary->clipper, lpddclipperwin);
    Paint(lpddsback, 0x0421);
    EXPECT_EQ(DDraw_Flip(), 1);
    // 800 x 600 squeezed into (3, 2)-(643, 482).
    EXPECT_EQ(Count_Not(lpddsprimary, 0), 640 * 480);
    EXPECT_EQ(Pixel_At(lpddsprimary, 3, 2), 0x0421);
    EXPECT_EQ(Pixel_At(lpddsprimary, 642, 481), 0x0421);
    EXPECT_EQ(Pixel_At(lpddsprimary, 643, 481), 0);
    EXPECT_EQ(Pixel_At(lpddsprimary, 2, 2), 0);
    DDraw_Shutdown();
    window_client_x0 = window_client_y0 = 0;
}

TEST_F(Display, ReleasingTheBackSurfaceClearsItsHandles) {
    ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
    DDraw_Release_Surface(lpddsback);
    EXPECT_EQ(lpddsback, nullptr);
    EXPECT_EQ(back_buffer, nullptr);
    EXPECT_EQ(sback_buffer, nullptr);
    EXPECT_EQ(back_lpitch, 0);
    EXPECT_EQ(DDraw_Flip(), 0);
    EXPECT_EQ(DDraw_Lock_Back_Surface(), nullptr);
    EXPECT_EQ(DDraw_Surface_Count(), 1);
}

TEST_F(Display, ManyFramesInARow) {
    // The game's frame: clear, lock and plot, unlock, blit, text, flip; nothing accumulates.
    Shown shown;
    Headless_Set_Frame_Hook(remember, &shown);
    LPDIRECTDRAWSURFACE4 sprite = DDraw_Create_Surface(16, 16, DDSCAPS_SYSTEMMEMORY, 0);
    ASSERT_NE(sprite, nullptr);
    Paint(sprite, 0x03E0);
    const int surfaces = DDraw_Surface_Count();
    for (int frame = 0; frame < 2000; frame++) {
        DDraw_Fill_Surface(lpddsback, 0, nullptr);
        ASSERT_NE(DDraw_Lock_Back_Surface(), nullptr);
        sback_buffer[0] = (USHORT)(frame + 1);
        DDraw_Unlock_Back_Surface();
        // The sprite wanders over every edge but the top, away from pixel (0, 0).
        RECT dst = {frame % 900 - 50, 100 + frame % 600, frame % 900 - 34, 116 + frame % 600};
        DDraw_Blt(lpddsback, &dst, sprite, nullptr, DDBLT_KEYSRC | DDBLT_WAIT);
        Draw_Text_GDI("Score 100", 10, 10, 0x00FFFFFF, lpddsback);
        ASSERT_EQ(DDraw_Flip(), 1);
        ASSERT_EQ(shown.first, (USHORT)(frame + 1));
    }
    EXPECT_EQ(shown.frames, 2000);
    EXPECT_EQ(DDraw_Surface_Count(), surfaces);
}
