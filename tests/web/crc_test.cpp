// The page's frame CRC: the standard CRC-32 check value, and the same checksum as the headless
// runner's (zlib's) for pictures of any pitch, so state lines compare field by field.
#include "tools/web/frame_crc.h"
#include <zlib.h>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

// The headless runner's frame CRC as zlib computes it: the pixels' bytes row by row.
uint32_t Frame_Crc(const uint16_t *px, int w, int h, int pitch_bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    for (int y = 0; y < h; y++) {
        const uint8_t *row = (const uint8_t *)px + (size_t)y * pitch_bytes;
        crc = crc32(crc, row, (uInt)(w * 2));
    }
    return (uint32_t)crc;
}

TEST(WebCrc, StandardCheckValues) {
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Web_Crc32(0, digits, 9), 0xCBF43926u);
    EXPECT_EQ(Web_Crc32(0, nullptr, 0), 0u);
    // Continuing a CRC over two pieces gives the CRC of the whole.
    EXPECT_EQ(Web_Crc32(Web_Crc32(0, digits, 4), digits + 4, 5), 0xCBF43926u);
    const uint8_t zero = 0;
    EXPECT_EQ(Web_Crc32(0, &zero, 1), 0xD202EF8Du);
}

TEST(WebCrc, FramesMatchTheHeadlessRunner) {
    std::mt19937 gen(3);
    for (int pad : {0, 1, 7}) {
        int w = 37, h = 11, pitch_px = w + pad;
        std::vector<uint16_t> px((size_t)pitch_px * h);
        for (uint16_t &p : px)
            p = (uint16_t)gen();
        EXPECT_EQ(Web_Frame_Crc(px.data(), w, h, pitch_px * 2),
                  Frame_Crc(px.data(), w, h, pitch_px * 2))
            << pad;
    }
    std::vector<uint16_t> frame(800 * 600, 0);
    uint32_t black = Web_Frame_Crc(frame.data(), 800, 600, 1600);
    EXPECT_EQ(black, Frame_Crc(frame.data(), 800, 600, 1600));
    frame[800 * 600 - 1] = 0x0100; // the high byte of the last pixel alone changes the checksum
    EXPECT_NE(Web_Frame_Crc(frame.data(), 800, 600, 1600), black);
    EXPECT_EQ(Web_Frame_Crc(frame.data(), 800, 600, 1600), Frame_Crc(frame.data(), 800, 600, 1600));
}

} // namespace
