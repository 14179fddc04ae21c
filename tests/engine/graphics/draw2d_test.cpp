// Rules of the drawing family: lines, triangles, polygons, transforms, matrices, distances,
// scans, the cell loader and the transitions, on small buffers with hand-worked expectations.
#include "engine/graphics/clock.h"
#include "engine/graphics/draw2d.h"
#include "platform/headless/headless.h"
#include "engine/graphics/palette.h"
#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Canvas8 {
    int w, h;
    std::vector<UCHAR> px;
    Canvas8(int w_, int h_) : w(w_), h(h_), px((size_t)w_ * h_, 0) {
        min_clip_x = 0;
        max_clip_x = w - 1;
        min_clip_y = 0;
        max_clip_y = h - 1;
    }
    UCHAR at(int x, int y) const { return px[(size_t)y * w + x]; }
    int count(UCHAR c) const {
        int n = 0;
        for (UCHAR p : px)
            n += p == c;
        return n;
    }
    int row_count(int y, UCHAR c) const {
        int n = 0;
        for (int x = 0; x < w; x++)
            n += at(x, y) == c;
        return n;
    }
};

TEST(Draw2DLines, HLineOrdersEndsAndClips) {
    Canvas8 c(20, 10);
    Draw_HLine(10, 5, 3, 7, c.px.data(), c.w);
    for (int x = 0; x < 20; x++)
        EXPECT_EQ(c.at(x, 3), (x >= 5 && x <= 10) ? 7 : 0) << x;
    Draw_HLine(0, 19, 10, 9, c.px.data(), c.w); // row below the clip rectangle
    Draw_HLine(0, 19, -1, 9, c.px.data(), c.w);
    Draw_HLine(-50, 50, 0, 4, c.px.data(), c.w); // clamped to 0..19
    EXPECT_EQ(c.count(9), 0);
    EXPECT_EQ(c.row_count(0, 4), 20);
    Draw_HLine(25, 30, 1, 5, c.px.data(), c.w); // wholly right of the clip rectangle
    EXPECT_EQ(c.count(5), 0);
}

TEST(Draw2DLines, VLineOrdersEndsAndClips) {
    Canvas8 c(10, 20);
    Draw_VLine(12, 4, 2, 3, c.px.data(), c.w);
    for (int y = 0; y < 20; y++)
        EXPECT_EQ(c.at(2, y), (y >= 4 && y <= 12) ? 3 : 0) << y;
    Draw_VLine(0, 19, 10, 8, c.px.data(), c.w);
    EXPECT_EQ(c.count(8), 0);
}

TEST(Draw2DTriangles, DegenerateTrianglesDrawNothing) {
    Canvas8 c(40, 40);
    Draw_Triangle(5, 5, 20, 5, 30, 5, 1, c.px.data(), c.w);
    Draw_Triangle(5, 5, 5, 20, 5, 30, 1, c.px.data(), c.w);
    Draw_Triangle_Fixed(5, 5, 20, 5, 30, 5, 1, c.px.data(), c.w);
    Draw_Triangle_Fixed(5, 5, 5, 20, 5, 30, 1, c.px.data(), c.w);
    EXPECT_EQ(c.count(1), 0);
}

TEST(Draw2DTriangles, FlatBottomRowsWidenByOnePixelEachSide) {
    // Apex (10, 0), base (0, 10)-(20, 10): row y spans 10 - y .. 10 + y.
    Canvas8 c(40, 40);
    Draw_Triangle(0, 10, 10, 0, 20, 10, 1, c.px.data(), c.w);
    for (int y = 0; y <= 10; y++) {
        EXPECT_EQ(c.row_count(y, 1), 2 * y + 1) << y;
        EXPECT_EQ(c.at(10 - y, y), 1);
        EXPECT_EQ(c.at(10 + y, y), 1);
    }
    EXPECT_EQ(c.row_count(11, 1), 0);
}

TEST(Draw2DTriangles, FlatTopRightEdgeStartsHalfAPixelRight) {
    // Top (0, 0)-(20, 0), apex (10, 10): left edge x = y, right edge 20.5 - y truncated.
    Canvas8 c(40, 40);
    Draw_Triangle(20, 0, 0, 0, 10, 10, 1, c.px.data(), c.w);
    for (int y = 0; y <= 10; y++)
        EXPECT_EQ(c.row_count(y, 1), 21 - 2 * y) << y;
}

TEST(Draw2DTriangles, GeneralTriangleIsSplitAtTheMiddleVertex) {
    // (0,0), (20,10), (0,20): split point on the long edge x = 0 at row 10; the widest row is 10.
    Canvas8 c(40, 40);
    Draw_Triangle(0, 0, 20, 10, 0, 20, 1, c.px.data(), c.w);
    EXPECT_EQ(c.row_count(0, 1), 1);
    EXPECT_EQ(c.row_count(10, 1), 21);
    EXPECT_EQ(c.at(0, 20), 1);
    EXPECT_EQ(c.row_count(21, 1), 0);
    // The fixed-point triangle covers the same rows with at most a pixel of difference per row.
    Canvas8 f(40, 40);
    Draw_Triangle_Fixed(0, 0, 20, 10, 0, 20, 1, f.px.data(), f.w);
    for (int y = 0; y <= 20; y++)
        EXPECT_NEAR(f.row_count(y, 1), c.row_count(y, 1), 1) << y;
}

TEST(Draw2DTriangles, SixteenBitVariantsWriteWholeWords) {
    std::vector<USHORT> px(40 * 40, 0);
    min_clip_x = 0;
    max_clip_x = 39;
    min_clip_y = 0;
    max_clip_y = 39;
    Draw_Triangle16(0, 10, 10, 0, 20, 10, 0xBEEF, (UCHAR *)px.data(), 80);
    Draw_Triangle_Fixed16(0, 30, 10, 20, 20, 30, 0x1234, (UCHAR *)px.data(), 80);
    int beef = 0, other = 0;
    for (USHORT p : px) {
        beef += p == 0xBEEF;
        other += p == 0x1234;
    }
    EXPECT_EQ(beef, 121); // rows of 1, 3, ..., 21 pixels
    EXPECT_EQ(other, 121);
    std::vector<USHORT> run(5, 0);
    Fill_Words(run.data(), 0xABCD, 4);
    EXPECT_EQ(run[3], 0xABCD);
    EXPECT_EQ(run[4], 0);
}

TEST(Draw2DPolygons, FilledSquareAndOutline) {
    Canvas8 c(40, 40);
    VERTEX_TYP v[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    POLYGON_TYP poly = {1, 4, 5, 5, 0, 0, 3, v};
    Draw_Filled_Polygon(&poly, c.px.data(), c.w);
    EXPECT_EQ(c.count(3), 121);
    EXPECT_EQ(c.at(5, 5), 3);
    EXPECT_EQ(c.at(15, 15), 3);
    EXPECT_EQ(c.at(16, 15), 0);

    Canvas8 o(40, 40);
    poly.color = 6;
    EXPECT_EQ(Draw_Polygon(&poly, o.px.data(), o.w), 1);
    EXPECT_EQ(o.count(6), 40); // the square's border: 4 sides of 11 with shared corners
    EXPECT_EQ(o.at(10, 10), 0);
    poly.state = 0;
    EXPECT_EQ(Draw_Polygon(&poly, o.px.data(), o.w), 0);
    EXPECT_EQ(Draw_Polygon(nullptr, o.px.data(), o.w), 0);
}

TEST(Draw2DPolygons, TransformsAndBounds) {
    Build_Polygon_Trig_Tables();
    VERTEX_TYP v[3] = {{1, 0}, {0, 0}, {0, 0}};
    POLYGON_TYP poly = {1, 1, 0, 0, 0, 0, 1, v};
    EXPECT_EQ(Rotate_Polygon(&poly, 90), 1);
    EXPECT_NEAR(v[0].x, 0.0f, 1e-6);
    EXPECT_NEAR(v[0].y, 1.0f, 1e-6);
    v[0] = {1, 0};
    Rotate_Polygon(&poly, -90); // acts as 270
    EXPECT_NEAR(v[0].x, 0.0f, 1e-6);
    EXPECT_NEAR(v[0].y, -1.0f, 1e-6);
    v[0] = {1, 0};
    Rotate_Polygon(&poly, 450); // whole turns are dropped instead of reading past the table
    EXPECT_NEAR(v[0].y, 1.0f, 1e-6);

    // The matrix form gives the same vertices as the direct one.
    VERTEX_TYP a[2] = {{3, 4}, {-2, 7}}, b[2] = {{3, 4}, {-2, 7}};
    POLYGON_TYP pa = {1, 2, 0, 0, 0, 0, 1, a}, pb = {1, 2, 0, 0, 0, 0, 1, b};
    Rotate_Polygon(&pa, 37);
    Rotate_Polygon_Mat(&pb, 37);
    for (int i = 0; i < 2; i++) {
        EXPECT_FLOAT_EQ(a[i].x, b[i].x);
        EXPECT_FLOAT_EQ(a[i].y, b[i].y);
    }
    Scale_Polygon(&pa, 2, 3);
    Scale_Polygon_Mat(&pb, 2, 3);
    EXPECT_FLOAT_EQ(a[1].y, b[1].y);
    Translate_Polygon(&pa, 5, -6);
    Translate_Polygon_Mat(&pb, 5, -6);
    EXPECT_EQ(pa.x0, 5);
    EXPECT_EQ(pb.y0, -6);
    EXPECT_EQ(Translate_Polygon(nullptr, 1, 1), 0);
    EXPECT_EQ(Rotate_Polygon(nullptr, 1), 0);
    EXPECT_EQ(Scale_Polygon_Mat(nullptr, 1, 1), 0);

    VERTEX_TYP t[3] = {{5, 5}, {10, 5}, {5, 10}};
    POLYGON_TYP tri = {1, 3, 0, 0, 0, 0, 1, t};
    float x0, x1, y0, y1;
    ASSERT_EQ(Find_Polygon_Bounds(&tri, x0, x1, y0, y1), 1);
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(x1, 10);
    EXPECT_EQ(y0, 0);
    EXPECT_EQ(y1, 10);
    tri.num_verts = 0;
    EXPECT_EQ(Find_Polygon_Bounds(&tri, x0, x1, y0, y1), 0);
}

TEST(Draw2DMatrices, Products) {
    MAT3X3_TYP a = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}};
    MAT3X3_TYP id = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}, p;
    Matrix_Mul_3x3(&a, &id, &p);
    EXPECT_EQ(p.M[2][1], 8);
    Matrix_Mul_3x3(&a, &a, &p);
    EXPECT_EQ(p.M[0][0], 30); // 1*1 + 2*4 + 3*7
    EXPECT_EQ(p.M[1][2], 96); // 4*3 + 5*6 + 6*9
    MAT1X3_TYP r = {{1, 1, 1}}, rp;
    Matrix_Mul_1x3_3x3(&r, &a, &rp);
    EXPECT_EQ(rp.M[0], 12);
    EXPECT_EQ(rp.M[2], 18);
    MAT3X2_TYP m;
    Matrix_Init_3x2(&m, 1, 2, 3, 4, 5, 6);
    EXPECT_EQ(m.M[1][0], 3);
    MAT1X2_TYP pt = {{2, 3}}, out;
    Matrix_Mul_1x2_3x2(&pt, &m, &out);
    EXPECT_EQ(out.M[0], 2 * 1 + 3 * 3 + 5);
    EXPECT_EQ(out.M[1], 2 * 2 + 3 * 4 + 6);
}

TEST(Draw2DDistances, Approximations) {
    EXPECT_EQ(Approx_Distance_2D(3, 4), 6);
    EXPECT_EQ(Approx_Distance_2D(0, 10), 10);
    EXPECT_EQ(Approx_Distance_2D(-3, -4), 6);
    EXPECT_EQ(Approx_Distance_2D(100, 100), 200 - 50 - 25 + 6);
    EXPECT_GT(Approx_Distance_2D(INT_MIN, 0), 0);
    EXPECT_EQ(Approx_Distance_3D(0, 0, 1), 1.0f);
    EXPECT_EQ(Approx_Distance_3D(3, 4, 0), 5.0f);  // (4096 + 11 * 96 + 0) >> 10
    EXPECT_EQ(Approx_Distance_3D(-4, 0, 3), 5.0f); // order of the arguments does not matter
}

TEST(Draw2DScans, ColorScanClampsToTheScreen) {
    screen_width = 20;
    screen_height = 10;
    std::vector<UCHAR> px(200, 0);
    px[0] = 50;
    EXPECT_EQ(Color_Scan(-20, 0, 5, 0, 40, 60, px.data(), 20), 1); // starts at column 0
    EXPECT_EQ(Color_Scan(1, 0, 19, 9, 40, 60, px.data(), 20), 0);
    EXPECT_EQ(Color_Scan(5, 0, 0, 0, 40, 60, px.data(), 20), 0); // x2 < x1 scans nothing
    EXPECT_EQ(Color_Scan(0, 0, 0, 0, 51, 60, px.data(), 20), 0);
    std::vector<USHORT> px16(200, 0);
    px16[9 * 20 + 19] = 0x7C00;
    EXPECT_EQ(Color_Scan16(0, 0, 100, 100, 0x7000, 0x7FFF, (UCHAR *)px16.data(), 40), 1);
    EXPECT_EQ(Color_Scan16(0, 0, 18, 9, 0x7000, 0x7FFF, (UCHAR *)px16.data(), 40), 0);
    screen_width = 640;
    screen_height = 480;
}

TEST(Draw2DLoad, FrameSurfaceTakesTheCell) {
    // An 8-bit bitmap 11 x 4 holding two 4 x 2 cells side by side with 1-pixel borders.
    std::vector<UCHAR> pixels(11 * 4);
    for (int i = 0; i < 44; i++)
        pixels[i] = (UCHAR)i;
    BITMAP_FILE_TAG bmp = {};
    bmp.info_header.biWidth = 11;
    bmp.info_header.biHeight = 4;
    bmp.info_header.biBitCount = 8;
    bmp.buffer = pixels.data();
    DDSURFACE surf;
    surf.width = 4;
    surf.height = 2;
    surf.bpp = 8;
    surf.pitch = 4;
    surf.memory.assign(8, 0);
    ASSERT_EQ(Load_Frame_Surface(&bmp, &surf, 1, 0), 1);
    // Cell (1, 0) starts at x = 1 * 5 + 1 = 6, y = 1.
    EXPECT_EQ(surf.memory[0], 1 * 11 + 6);
    EXPECT_EQ(surf.memory[7], 2 * 11 + 9);
    EXPECT_EQ(Load_Frame_Surface(&bmp, &surf, 2, 0), 0); // past the right edge
    EXPECT_EQ(Load_Frame_Surface(&bmp, &surf, 0, 1), 0); // past the bottom
    bmp.buffer = nullptr;
}

TEST(Draw2DTransitions, WipeBlackensTheScreenAndWaits) {
    Headless_Reset(1000);
    screen_width = 40;
    screen_height = 30;
    screen_bpp = 16;
    min_clip_x = 0;
    max_clip_x = 39;
    min_clip_y = 0;
    max_clip_y = 29;
    std::vector<USHORT> px(40 * 30, 0xFFFF);
    Screen_Transition(SCREEN_SWIPE_X, (UCHAR *)px.data(), 80);
    for (USHORT p : px)
        ASSERT_EQ(p, 0);
    // Ten steps (i = 0, 2, ..., 18) of 12 ms each.
    EXPECT_GE(Get_Clock() - 1000u, 120u);
    std::fill(px.begin(), px.end(), 0xFFFF);
    Screen_Transition(SCREEN_SCRUNCH, (UCHAR *)px.data(), 80);
    for (USHORT p : px)
        ASSERT_EQ(p, 0);
    std::fill(px.begin(), px.end(), 0xFFFF);
    Screen_Transition(SCREEN_DISOLVE, (UCHAR *)px.data(), 80);
    int black = 0;
    for (USHORT p : px)
        black += p == 0;
    EXPECT_GT(black, 1100); // 4801 random pixels on 1200 leave almost none untouched
    std::fill(px.begin(), px.end(), 0xFFFF);
    Screen_Transition(99, (UCHAR *)px.data(), 80);
    EXPECT_EQ(px[0], 0xFFFF);
}

TEST(Draw2DTransitions, FadeToBlackLeavesEntryZero) {
    Headless_Reset(1000);
    PALETTEENTRY pal[256];
    for (auto &e : pal)
        e = {255, 6, 100, 0};
    Set_Palette(pal);
    Screen_Transition(SCREEN_DARKNESS, nullptr, 0);
    Get_Palette(pal);
    EXPECT_EQ(pal[0].peRed, 255); // entry 0 untouched
    EXPECT_EQ(pal[1].peRed, 15);  // 255 - 80 * 3
    EXPECT_EQ(pal[1].peGreen, 0); // 6 -> 3 -> set to 0
    EXPECT_EQ(pal[255].peBlue, 0);
    for (auto &e : pal)
        e = {250, 0, 10, 0};
    Set_Palette(pal);
    Screen_Transition(SCREEN_REDNESS, nullptr, 0);
    Get_Palette(pal);
    EXPECT_EQ(pal[0].peRed, 255);
    EXPECT_EQ(pal[0].peBlue, 0);
}

} // namespace
