// The .ico packer: the header and entries byte by byte, the 256-pixel side written as 0, the
// pictures after the entries in order, and the refusals.
#include "tools/winicon/ico.h"

#include <gtest/gtest.h>

namespace {

uint32_t At32(const std::vector<uint8_t> &b, size_t i) {
    return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | (uint32_t)b[i + 3] << 24;
}

TEST(Ico, TwoPicturesByHand) {
    std::string why;
    std::vector<uint8_t> ico = Pack_Ico({{256, {1, 2, 3}}, {48, {9, 8}}}, &why);
    // 6 + 2 x 16 = 38 bytes before the pictures, then 3 + 2 of them.
    ASSERT_EQ(ico.size(), 43u) << why;
    const std::vector<uint8_t> head = {0, 0, 1, 0, 2, 0};
    EXPECT_EQ(std::vector<uint8_t>(ico.begin(), ico.begin() + 6), head);
    struct {
        size_t at;
        uint8_t side;
        uint32_t length, offset;
    } entries[] = {{6, 0, 3, 38}, {22, 48, 2, 41}};
    for (const auto &e : entries) {
        EXPECT_EQ(ico[e.at], e.side);
        EXPECT_EQ(ico[e.at + 1], e.side);
        EXPECT_EQ(ico[e.at + 2], 0);
        EXPECT_EQ(ico[e.at + 4] | ico[e.at + 5] << 8, 1);  // planes
        EXPECT_EQ(ico[e.at + 6] | ico[e.at + 7] << 8, 32); // bits a pixel
        EXPECT_EQ(At32(ico, e.at + 8), e.length);
        EXPECT_EQ(At32(ico, e.at + 12), e.offset);
    }
    const std::vector<uint8_t> tail = {1, 2, 3, 9, 8};
    EXPECT_EQ(std::vector<uint8_t>(ico.begin() + 38, ico.end()), tail);
}

TEST(Ico, RefusesWhatIsNoIcon) {
    struct {
        std::vector<ICO_IMAGE> images;
        const char *why;
    } cases[] = {
        {{}, "no pictures"},
        {{{0, {1}}}, "a side of 0 is not 1-256"},
        {{{257, {1}}}, "a side of 257 is not 1-256"},
        {{{48, {1}}, {64, {}}}, "an empty picture"},
    };
    for (const auto &c : cases) {
        std::string why;
        EXPECT_TRUE(Pack_Ico(c.images, &why).empty()) << c.why;
        EXPECT_EQ(why, c.why);
    }
}

} // namespace
