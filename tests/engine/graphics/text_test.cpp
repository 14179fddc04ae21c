// Text drawn into surfaces: glyph pixels only, in the colour converted to the presented
// packing, repeatability, and the paths without a face or with a locked surface.
#include "tests/engine/graphics/display_fixture.h"
#include <algorithm>
#include <string>

TEST_F(Display, RedTextShowsPureRedGlyphsOverWhatWasThere) {
    Paint(lpddsback, 0x1234);
    dd_pixel_format = 16; // the game's packing does not decide the text colour
    dd_present_format = 15;
    ASSERT_EQ(Draw_Text_GDI((char *)"Score 100", 320, 200, 0x000000FF, lpddsback), 1);
    int glyph = 0, other = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            const USHORT v = Pixel_At(lpddsback, x, y);
            if (v == 0x7C00)
                glyph++;
            else if (v != 0x1234)
                other++;
        }
    EXPECT_GT(glyph, 20);
    EXPECT_EQ(other, 0);
    // Nothing lands above or left of the text's corner.
    for (int x = 0; x < 800; x++)
        EXPECT_EQ(Pixel_At(lpddsback, x, 199), 0x1234);
    for (int y = 0; y < 600; y++)
        EXPECT_EQ(Pixel_At(lpddsback, 319, y), 0x1234);

    // The 5.6.5 display shows the same red as 0xF800.
    Paint(lpddsback, 0x1234);
    dd_present_format = 16;
    ASSERT_EQ(Draw_Text_GDI((char *)"Score 100", 320, 200, 0x000000FF, lpddsback), 1);
    EXPECT_EQ(Count_Not(lpddsback, 0x1234), glyph);
    int red565 = 0;
    for (int y = 200; y < 260; y++)
        for (int x = 320; x < 500; x++)
            red565 += Pixel_At(lpddsback, x, y) == 0xF800;
    EXPECT_EQ(red565, glyph);
}

TEST_F(Display, TextDrawsTheSamePixelsEveryTime) {
    Paint(lpddsback, 0);
    ASSERT_EQ(Draw_Text_GDI((char *)"Missiles 3", 10, 10, 0x00FFFFFF, lpddsback), 1);
    std::vector<uint8_t> first = lpddsback->memory;
    // Other strings in between leave nothing behind in the shared layout buffer.
    for (int i = 0; i < 600; i++) {
        const std::string t = "line " + std::to_string(i);
        Draw_Text_GDI((char *)t.c_str(), 0, 400, 0x00FFFFFF, lpddsback);
    }
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    ASSERT_EQ(Draw_Text_GDI((char *)"Missiles 3", 10, 10, 0x00FFFFFF, lpddsback), 1);
    EXPECT_TRUE(first == lpddsback->memory);
}

TEST_F(Display, TextAtTheEdgesIsCut) {
    Paint(lpddsback, 0);
    EXPECT_EQ(Draw_Text_GDI((char *)"WWWWWWWWWW", 790, 590, 0x00FFFFFF, lpddsback), 1);
    EXPECT_EQ(Draw_Text_GDI((char *)"WWWWWWWWWW", -40, -8, 0x00FFFFFF, lpddsback), 1);
    EXPECT_EQ(Draw_Text_GDI((char *)"WWWWWWWWWW", -5000, 100000, 0x00FFFFFF, lpddsback), 1);
    EXPECT_GT(Count_Not(lpddsback, 0), 0);
    // Empty text draws nothing and succeeds.
    Paint(lpddsback, 0);
    EXPECT_EQ(Draw_Text_GDI((char *)"", 10, 10, 0x00FFFFFF, lpddsback), 1);
    EXPECT_EQ(Count_Not(lpddsback, 0), 0);
}

TEST_F(Display, NoTextOnALockedOrMissingSurface) {
    Paint(lpddsback, 0);
    DDraw_Lock_Back_Surface();
    EXPECT_EQ(Draw_Text_GDI((char *)"Hi", 10, 10, 0x00FFFFFF, lpddsback), 0);
    DDraw_Unlock_Back_Surface();
    EXPECT_EQ(Draw_Text_GDI((char *)"Hi", 10, 10, 0x00FFFFFF, nullptr), 0);
    EXPECT_EQ(Draw_Text_GDI(nullptr, 10, 10, 0x00FFFFFF, lpddsback), 0);
    EXPECT_EQ(Count_Not(lpddsback, 0), 0);
}

TEST_F(Display, Text8UsesThePaletteColour) {
    display_palette[7] = {0, 255, 0, 0};
    Paint(lpddsback, 0);
    ASSERT_EQ(Draw_Text_GDI8((char *)"Go", 0, 0, 7, lpddsback), 1);
    int green = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 40; x++)
            green += Pixel_At(lpddsback, x, y) == 0x03E0;
    EXPECT_GT(green, 0);
    EXPECT_EQ(Count_Not(lpddsback, 0), green);
    EXPECT_EQ(Draw_Text_GDI8((char *)"Go", 0, 0, 256, lpddsback), 0);
    EXPECT_EQ(Draw_Text_GDI8((char *)"Go", 0, 0, -1, lpddsback), 0);
}

TEST_F(Display, TextWithoutAFaceReturnsZeroAndDrawsNothing) {
    Paint(lpddsback, 0);
    DDraw_Text_Close();
    EXPECT_EQ(Draw_Text_GDI((char *)"You Win!", 100, 100, 0x000000FF, lpddsback), 0);
    EXPECT_EQ(Count_Not(lpddsback, 0), 0);
    ASSERT_EQ(DDraw_Text_Open(), 1);
    EXPECT_EQ(Draw_Text_GDI((char *)"You Win!", 100, 100, 0x000000FF, lpddsback), 1);
    EXPECT_GT(Count_Not(lpddsback, 0), 0);
}

TEST_F(Display, TextSitsAtItsTopLeftCorner) {
    // A bold sans face in 16-pixel lines: "Score" is five glyphs of 7 to 10 pixels, its cap
    // height about two thirds of the line, with nothing below the baseline.
    Paint(lpddsback, 0);
    ASSERT_EQ(Draw_Text_GDI("Score", 320, 200, 0x00FFFFFF, lpddsback), 1);
    int left = 800, right = -1, top = 600, bottom = -1;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            if (Pixel_At(lpddsback, x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_GE(left, 320);
    EXPECT_LT(left, 323);
    EXPECT_GE(right, 320 + 5 * 7);
    EXPECT_LT(right, 320 + 5 * 10);
    EXPECT_GE(top, 202);
    EXPECT_LT(bottom, 216);
    EXPECT_GE(bottom - top + 1, 8);
    EXPECT_LE(bottom - top + 1, 12);
}

TEST_F(Display, KeptLayoutsNeverShowAnOldString) {
    // Strings a digit or a length apart, more of them than layouts are kept, and one too long to
    // keep: each must look exactly as it does laid out afresh after the face is reopened.
    std::vector<std::string> texts;
    for (int i = 0; i < 40; i++)
        texts.push_back("Score " + std::to_string(100 + i % 20) + (i >= 20 ? "0" : ""));
    texts.push_back("Score 1");
    texts.push_back(std::string(300, 'W') + "i");
    texts.push_back(std::string(300, 'W') + "M");
    std::vector<std::vector<uint8_t>> fresh;
    for (const std::string &t : texts) {
        DDraw_Text_Close();
        ASSERT_EQ(DDraw_Text_Open(), 1);
        Paint(lpddsback, 0);
        ASSERT_EQ(Draw_Text_GDI((char *)t.c_str(), 5, 300, 0x00FFFFFF, lpddsback), 1);
        fresh.push_back(lpddsback->memory);
    }
    for (int round = 0; round < 3; round++)
        for (size_t i = 0; i < texts.size(); i++) {
            const size_t k = round == 1 ? texts.size() - 1 - i : i; // also backwards
            Paint(lpddsback, 0);
            ASSERT_EQ(Draw_Text_GDI((char *)texts[k].c_str(), 5, 300, 0x00FFFFFF, lpddsback), 1);
            ASSERT_TRUE(fresh[k] == lpddsback->memory) << texts[k] << " in round " << round;
        }
}
