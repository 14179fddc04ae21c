// Whatever the coordinates, the clipped drawers write only inside the clip rectangle: random
// triangles, polygons and outlines, near and absurdly far, against guard bands around it.
#include "engine/graphics/draw2d.h"
#include <gtest/gtest.h>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int W = 100, H = 80;

struct Guarded {
    std::vector<USHORT> px = std::vector<USHORT>(W * H, 0);
    Guarded() {
        min_clip_x = 10;
        max_clip_x = 89;
        min_clip_y = 10;
        max_clip_y = 69;
    }
    UCHAR *buf() { return (UCHAR *)px.data(); }
    // Pixels (or, for the 8-bit canvas, bytes) outside the clip rectangle that are not 0.
    int outside16() const {
        int n = 0;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                if ((x < 10 || x > 89 || y < 10 || y > 69) && px[y * W + x]) n++;
        return n;
    }
    int outside8() const {
        const UCHAR *b = (const UCHAR *)px.data();
        int n = 0;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                if ((x < 10 || x > 89 || y < 10 || y > 69) && b[y * W + x]) n++;
        return n;
    }
    int inside16() const {
        int n = 0;
        for (USHORT p : px)
            n += p != 0;
        return n;
    }
};

int coord(std::mt19937 &rng) {
    switch (rng() % 5) {
    case 0:
        return (int)(rng() % 140) - 20; // around the clip rectangle
    case 1:
        return (int)(rng() % 2000) - 1000; // well off it
    case 2:
        return (int)rng(); // anywhere in int
    case 3:
        return (rng() & 1) ? INT_MAX : INT_MIN; // the extremes
    default:
        return (int)(rng() % 80) + 10; // inside
    }
}

TEST(Draw2DClipping, RandomTrianglesStayInsideTheClipRectangle) {
    std::mt19937 rng(12345);
    int drew = 0;
    for (int i = 0; i < 4000; i++) {
        Guarded g;
        int v[6];
        for (int &c : v)
            c = coord(rng);
        switch (i % 4) {
        case 0:
            Draw_Triangle16(v[0], v[1], v[2], v[3], v[4], v[5], 0xFFFF, g.buf(), W * 2);
            break;
        case 1:
            Draw_Triangle_Fixed16(v[0], v[1], v[2], v[3], v[4], v[5], 0xFFFF, g.buf(), W * 2);
            break;
        case 2:
            Draw_Triangle(v[0], v[1], v[2], v[3], v[4], v[5], 0xFF, g.buf(), W);
            break;
        default:
            Draw_Triangle_Fixed(v[0], v[1], v[2], v[3], v[4], v[5], 0xFF, g.buf(), W);
            break;
        }
        // 8-bit draws use the first W * H bytes as a W-wide byte canvas.
        ASSERT_EQ(i % 4 < 2 ? g.outside16() : g.outside8(), 0)
            << "triangle " << i << ": " << v[0] << "," << v[1] << " " << v[2] << "," << v[3] << " "
            << v[4] << "," << v[5];
        drew += g.inside16() > 0;
    }
    EXPECT_GT(drew, 400); // the test really draws, it is not passing on empty buffers
}

TEST(Draw2DClipping, RandomPolygonsAndOutlinesStayInside) {
    std::mt19937 rng(777);
    int drew = 0;
    for (int i = 0; i < 3000; i++) {
        Guarded g;
        VERTEX_TYP v[6];
        int n = 3 + (int)(rng() % 4);
        for (int k = 0; k < n; k++)
            v[k] = {(float)coord(rng) * 0.5f, (float)coord(rng) * 0.5f};
        POLYGON_TYP poly = {1, n, coord(rng) / 2, coord(rng) / 2, 0, 0, 0xFFFF, v};
        if (rng() & 1) {
            poly.x0 = 50;
            poly.y0 = 40;
        }
        if (i % 2)
            Draw_Filled_Polygon16(&poly, g.buf(), W * 2);
        else
            Draw_Polygon16(&poly, g.buf(), W * 2);
        ASSERT_EQ(g.outside16(), 0) << "polygon " << i;
        drew += g.inside16() > 0;
    }
    EXPECT_GT(drew, 300);
}

TEST(Draw2DClipping, EightBitFilledPolygonStaysInside) {
    Guarded g;
    // 8-bit drawing into the same memory with a byte pitch of W.
    VERTEX_TYP v[4] = {{-500, -500}, {500, -500}, {500, 500}, {-500, 500}};
    POLYGON_TYP poly = {1, 4, 50, 40, 0, 0, 0xAB, v};
    Draw_Filled_Polygon(&poly, g.buf(), W);
    const UCHAR *b = (const UCHAR *)g.px.data();
    int inside = 0, outside = 0;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            bool in = x >= 10 && x <= 89 && y >= 10 && y <= 69;
            (in ? inside : outside) += b[y * W + x] == 0xAB;
        }
    EXPECT_EQ(inside, 80 * 60); // covers the whole clip rectangle...
    EXPECT_EQ(outside, 0);      // ...and nothing else
}

} // namespace
