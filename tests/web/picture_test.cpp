// The page's picture updates: the canvas bytes always equal a whole conversion of the last
// picture, the rectangle named holds every changed pixel and no more rows or columns than the
// changes span, an unchanged picture names nothing, and a new size or packing names it all.
#include "platform/web/web_picture.h"
#include <gtest/gtest.h>
#include <random>

namespace {

// The canvas word by the rule: 5-bit and 6-bit fields widened by repeating their top bits.
uint32_t Expected(uint16_t p, int packing) {
    uint32_t r, g, b = p & 31;
    if (packing == 15) {
        r = (p >> 10) & 31;
        g = (p >> 5) & 31;
        g = (g << 3) | (g >> 2);
    } else {
        r = (p >> 11) & 31;
        g = (p >> 5) & 63;
        g = (g << 2) | (g >> 4);
    }
    r = (r << 3) | (r >> 2);
    b = (b << 3) | (b >> 2);
    return 0xFF000000u | b << 16 | g << 8 | r;
}

TEST(WebPicture, PixelWidening) {
    struct Case {
        uint16_t pixel;
        int packing;
        uint32_t rgba;
    } cases[] = {
        {0x0000, 16, 0xFF000000u}, {0xFFFF, 16, 0xFFFFFFFFu}, {0xF800, 16, 0xFF0000FFu},
        {0x07E0, 16, 0xFF00FF00u}, {0x001F, 16, 0xFFFF0000u}, {0x7C00, 15, 0xFF0000FFu},
        {0x03E0, 15, 0xFF00FF00u}, {0x0001, 15, 0xFF080000u}, {0x0020, 16, 0xFF000400u},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Web_Pixel_Rgba(c.pixel, c.packing), c.rgba) << c.pixel << " " << c.packing;
}

// Random sparse changes, as stars and ships move: after each update the bytes match the picture
// and the rectangle is the bounding box of the changes.
TEST(WebPicture, UpdatesOnlyWhatChanged) {
    const int w = 37, h = 23, pitch = 41; // an odd width, and rows with padding
    std::vector<uint16_t> pixels((size_t)pitch * h, 0x1234);
    std::mt19937 rng(7);
    Web_Picture pic;
    Web_Rect r = Web_Picture_Update(&pic, pixels.data(), w, h, pitch * 2, 16);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.w, w);
    EXPECT_EQ(r.h, h);
    for (int round = 0; round < 200; round++) {
        int x0 = w, x1 = -1, y0 = h, y1 = -1;
        int changes = round % 5; // none every fifth round
        for (int k = 0; k < changes; k++) {
            int x = (int)(rng() % w), y = (int)(rng() % h);
            uint16_t &p = pixels[(size_t)y * pitch + x];
            p = (uint16_t)(p + 1 + rng() % 1000); // always a different value
            x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
        pixels[(size_t)(rng() % h) * pitch + w + 1] ^= 0x5555; // padding is not the picture
        r = Web_Picture_Update(&pic, pixels.data(), w, h, pitch * 2, 16);
        if (changes == 0) {
            EXPECT_EQ(r.w, 0) << round;
        } else {
            EXPECT_EQ(r.x, x0) << round;
            EXPECT_EQ(r.y, y0) << round;
            EXPECT_EQ(r.w, x1 - x0 + 1) << round;
            EXPECT_EQ(r.h, y1 - y0 + 1) << round;
        }
        int wrong = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                wrong += pic.rgba[(size_t)y * w + x] != Expected(pixels[(size_t)y * pitch + x], 16);
        ASSERT_EQ(wrong, 0) << round;
    }
}

// The same pixels in another packing mean other colours; another size is another canvas.
TEST(WebPicture, NewPackingOrSizeNamesAll) {
    std::vector<uint16_t> pixels(64 * 48, 0x7C1F);
    Web_Picture pic;
    Web_Picture_Update(&pic, pixels.data(), 64, 48, 128, 16);
    Web_Rect r = Web_Picture_Update(&pic, pixels.data(), 64, 48, 128, 15);
    EXPECT_TRUE(r.x == 0 && r.y == 0 && r.w == 64 && r.h == 48);
    EXPECT_EQ(pic.rgba[0], Expected(0x7C1F, 15));
    r = Web_Picture_Update(&pic, pixels.data(), 32, 48, 128, 15);
    EXPECT_TRUE(r.x == 0 && r.y == 0 && r.w == 32 && r.h == 48);
    EXPECT_EQ(pic.rgba.size(), 32u * 48u);
    // Bad requests change nothing.
    EXPECT_EQ(Web_Picture_Update(&pic, pixels.data(), 32, 48, 10, 15).w, 0);
    EXPECT_EQ(Web_Picture_Update(&pic, pixels.data(), 32, 48, 128, 12).w, 0);
    EXPECT_EQ(Web_Picture_Update(&pic, nullptr, 32, 48, 128, 15).w, 0);
    EXPECT_EQ(pic.width, 32);
}

} // namespace
