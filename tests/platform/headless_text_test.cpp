// The headless backend's built-in text face.
#include "platform/headless/headless.h"
#include <gtest/gtest.h>

namespace {

int at(const std::vector<uint8_t> &m, int w, int x, int y) {
    return m[(size_t)y * w + x];
}

TEST(HeadlessText, GlyphCellsAre8By16WithBoldStrokes) {
    Headless_Reset(0);
    ASSERT_EQ(Plat_Font_Open(16), 1);
    std::vector<uint8_t> m;
    int w = -1, h = -1;
    ASSERT_EQ(Plat_Text_Mask("Hi", m, &w, &h), 1);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
    ASSERT_EQ(m.size(), 256u);
    // H's top row is #...# ; thickened one pixel right it covers columns 1, 2, 5 and 6 of its
    // cell, on cell rows 1 and 2 (every design row is doubled below a blank row 0).
    for (int y : {1, 2}) {
        EXPECT_EQ(at(m, w, 0, y), 0);
        EXPECT_EQ(at(m, w, 1, y), 1);
        EXPECT_EQ(at(m, w, 2, y), 1);
        EXPECT_EQ(at(m, w, 3, y), 0);
        EXPECT_EQ(at(m, w, 4, y), 0);
        EXPECT_EQ(at(m, w, 5, y), 1);
        EXPECT_EQ(at(m, w, 6, y), 1);
        EXPECT_EQ(at(m, w, 7, y), 0);
    }
    // H's crossbar (design row 3) is full: columns 1 to 6 on rows 7 and 8.
    for (int x = 1; x <= 6; x++)
        EXPECT_EQ(at(m, w, x, 7), 1);
    // i: the dot at design column 2 lands on cell columns 3 and 4 of the second cell; the row
    // below the dot is empty.
    EXPECT_EQ(at(m, w, 8 + 3, 1), 1);
    EXPECT_EQ(at(m, w, 8 + 4, 2), 1);
    EXPECT_EQ(at(m, w, 8 + 2, 1), 0);
    for (int x = 8; x < 16; x++)
        EXPECT_EQ(at(m, w, x, 3), 0);
    // Rows 0 and 15 are blank margins.
    for (int x = 0; x < 16; x++) {
        EXPECT_EQ(at(m, w, x, 0), 0);
        EXPECT_EQ(at(m, w, x, 15), 0);
    }
}

TEST(HeadlessText, SpaceIsEmptyAndUnknownCharactersAreBoxes) {
    Headless_Reset(0);
    ASSERT_EQ(Plat_Font_Open(16), 1);
    std::vector<uint8_t> m;
    int w, h;
    ASSERT_EQ(Plat_Text_Mask(" ", m, &w, &h), 1);
    int set = 0;
    for (uint8_t v : m)
        set += v;
    EXPECT_EQ(set, 0);
    ASSERT_EQ(Plat_Text_Mask("\x01", m, &w, &h), 1);
    // The box outline: columns 1 and 6 on rows 1 to 14, rows 1 and 14 across.
    EXPECT_EQ(at(m, w, 1, 5), 1);
    EXPECT_EQ(at(m, w, 6, 5), 1);
    EXPECT_EQ(at(m, w, 3, 1), 1);
    EXPECT_EQ(at(m, w, 3, 14), 1);
    EXPECT_EQ(at(m, w, 3, 5), 0);
    EXPECT_EQ(at(m, w, 0, 5), 0);
}

TEST(HeadlessText, ScalesWithTheAskedHeight) {
    Headless_Reset(0);
    ASSERT_EQ(Plat_Font_Open(32), 1);
    std::vector<uint8_t> m;
    int w, h;
    ASSERT_EQ(Plat_Text_Mask("ab", m, &w, &h), 1);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(m.size(), 32u * 32u);
}

TEST(HeadlessText, EmptyClosedAndRefused) {
    Headless_Reset(0);
    std::vector<uint8_t> m{1, 2, 3};
    int w = -1, h = -1;
    EXPECT_EQ(Plat_Text_Mask("x", m, &w, &h), 0); // no face open yet
    ASSERT_EQ(Plat_Font_Open(16), 1);
    ASSERT_EQ(Plat_Text_Mask("", m, &w, &h), 1);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 16);
    EXPECT_TRUE(m.empty());
    EXPECT_EQ(Plat_Text_Mask(nullptr, m, &w, &h), 0);
    Plat_Font_Close();
    EXPECT_EQ(Plat_Text_Mask("x", m, &w, &h), 0);
    EXPECT_EQ(Plat_Font_Open(0), 0);
    Headless_Set_Available(1, 1, 0);
    EXPECT_EQ(Plat_Font_Open(16), 0);
}

} // namespace
