// The window icon reader: the generated icon, and truncated, oversized and lying files.
#include "platform/sdl/sdl_icon.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Read(const std::string &path) {
    std::vector<uint8_t> bytes;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        bytes.push_back((uint8_t)c);
    std::fclose(f);
    return bytes;
}

// Big-endian 32-bit word at a byte offset.
void Put32(std::vector<uint8_t> &b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++)
        b[at + (size_t)i] = (uint8_t)(v >> (24 - 8 * i));
}

TEST(Icon, TheGeneratedIconReadsWhole) {
    std::vector<uint32_t> rgba;
    int w = 0, h = 0;
    ASSERT_EQ(Sdl_Load_Icon(FW_DATA_DIR "/icons/farwake-64.png", &rgba, &w, &h), 1);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 64);
    ASSERT_EQ(rgba.size(), 64u * 64u);
    int opaque = 0;
    for (uint32_t p : rgba)
        opaque += (p >> 24) == 0xFF; // alpha is the fourth byte in memory
    EXPECT_GT(opaque, 64 * 64 / 4);
}

TEST(Icon, BadFilesAreRefused) {
    std::vector<uint8_t> good = Read(FW_DATA_DIR "/icons/farwake-48.png");
    ASSERT_GT(good.size(), 100u);
    std::vector<uint32_t> rgba{1, 2, 3};
    int w = -1, h = -1;
    for (size_t cut : {(size_t)0, (size_t)8, (size_t)33, good.size() / 2, good.size() - 13})
        EXPECT_EQ(Sdl_Decode_Icon(good.data(), cut, &rgba, &w, &h), 0) << cut;
    // A header claiming 5000 x 5000 pixels (its checksum then lies too) is not read.
    std::vector<uint8_t> big = good;
    Put32(big, 16, 5000);
    Put32(big, 20, 5000);
    EXPECT_EQ(Sdl_Decode_Icon(big.data(), big.size(), &rgba, &w, &h), 0);
    std::vector<uint8_t> noise(4096, 0x5A);
    EXPECT_EQ(Sdl_Decode_Icon(noise.data(), noise.size(), &rgba, &w, &h), 0);
    // Nothing was handed back by the failures.
    EXPECT_EQ(rgba.size(), 3u);
    EXPECT_EQ(w, -1);
    EXPECT_EQ(Sdl_Load_Icon("/nonexistent/icon.png", &rgba, &w, &h), 0);
    EXPECT_EQ(Sdl_Load_Icon(nullptr, &rgba, &w, &h), 0);
}

} // namespace
