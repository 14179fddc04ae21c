// The credits' red lines over the title picture: every picture pixel behind each line's box is
// dark enough for a 4.5:1 contrast (relative luminance as WCAG 2 defines it), and no box
// reaches the planet's ring.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>
#include "engine/graphics/text_face.h"
#include "game/screens.h"
#include "tools/genart/art.h"

namespace {

struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb; // top row first
};

uint32_t le(const std::vector<uint8_t> &b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | b[at + i];
    return v;
}

// The generated title picture, an uncompressed 24-bit BMP, read straight from its bytes.
Picture Load_Title() {
    Picture p;
    std::ifstream f("marlotitle.bmp", std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || le(b, 28, 2) != 24) return p;
    const uint32_t offset = le(b, 10, 4);
    const int w = (int)le(b, 18, 4), h = (int)le(b, 22, 4);
    const size_t stride = ((size_t)w * 3 + 3) / 4 * 4;
    if (w <= 0 || h <= 0 || offset + stride * h > b.size()) return p;
    p.w = w, p.h = h;
    p.rgb.resize((size_t)w * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) // rows bottom up, pixels blue-green-red
                p.rgb[((size_t)y * w + x) * 3 + c] =
                    b[offset + (h - 1 - y) * stride + x * 3 + 2 - c];
    return p;
}

double Linear(uint8_t v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const uint8_t *rgb) {
    return 0.2126 * Linear(rgb[0]) + 0.7152 * Linear(rgb[1]) + 0.0722 * Linear(rgb[2]);
}

// A credits line's box in picture coordinates: drawn at screen (sx, sy), the picture at
// (100, 50), as wide as the widest caption that line shows and a text line high.
struct Box {
    int x0, y0, x1, y1;
};

Box Line_Box(int line, int sx, int sy) {
    const Text_Face *face = Text_Face_Find(16);
    int widest = 0, h = 16;
    for (int frame = 0; frame <= 1201; ++frame)
        if (const char *text = Credits_Caption(frame, line)) {
            std::vector<uint8_t> mask;
            int w = 0;
            if (face && Text_Face_Mask(*face, text, mask, &w, &h)) widest = std::max(widest, w);
        }
    return {sx - 100, sy - 50, sx - 100 + widest, sy - 50 + h};
}

} // namespace

TEST(CreditsContrast, RedLinesReadAgainstEveryPixelBehindThem) {
    const Picture p = Load_Title();
    ASSERT_EQ(p.w, 600);
    ASSERT_EQ(p.h, 500);
    const double red = 0.2126; // (255, 0, 0)
    for (Box b : {Line_Box(1, 320, 200), Line_Box(2, 360, 250)}) {
        ASSERT_GT(b.x1 - b.x0, 150); // the captions were measured
        double worst = 1e9;
        for (int y = b.y0; y < b.y1; ++y)
            for (int x = b.x0; x < b.x1; ++x) {
                ASSERT_LT(x, p.w);
                const double l = Luminance(&p.rgb[((size_t)y * p.w + x) * 3]);
                worst = std::min(worst, (red + 0.05) / (l + 0.05));
            }
        EXPECT_GE(worst, 4.5) << "box at " << b.x0 << "," << b.y0;
    }
}

TEST(CreditsContrast, NoLineCrossesThePlanet) {
    // The nearest point of each box to the planet's centre lies beyond the ring's reach.
    for (Box b : {Line_Box(1, 320, 200), Line_Box(2, 360, 250)}) {
        const float nx = std::clamp(TITLE_PLANET_X, (float)b.x0, (float)b.x1);
        const float ny = std::clamp(TITLE_PLANET_Y, (float)b.y0, (float)b.y1);
        const float d = std::hypot(nx - TITLE_PLANET_X, ny - TITLE_PLANET_Y);
        EXPECT_GT(d, TITLE_PLANET_REACH + 4.0f) << "box at " << b.x0 << "," << b.y0;
    }
}
