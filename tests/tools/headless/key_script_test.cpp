// The replay key scripts: ranges, overlapping lines, comments, key names and bad input.
#include <gtest/gtest.h>

#include "platform/dik.h"
#include "engine/input/dik_names.h"
#include "tools/headless/runner.h"

namespace {

TEST(KeyNames, DirectInputNamesWithoutThePrefix) {
    EXPECT_EQ(Dik_From_Name("UP"), DIK_UP);
    EXPECT_EQ(Dik_From_Name("LEFT"), DIK_LEFT);
    EXPECT_EQ(Dik_From_Name("RIGHT"), DIK_RIGHT);
    EXPECT_EQ(Dik_From_Name("TAB"), DIK_TAB);
    EXPECT_EQ(Dik_From_Name("LCONTROL"), DIK_LCONTROL);
    EXPECT_EQ(Dik_From_Name("LMENU"), DIK_LMENU);
    EXPECT_EQ(Dik_From_Name("RETURN"), DIK_RETURN);
    EXPECT_EQ(Dik_From_Name("ESCAPE"), DIK_ESCAPE);
    EXPECT_EQ(Dik_From_Name("D"), DIK_D);
    EXPECT_EQ(Dik_From_Name("R"), DIK_R);
    EXPECT_EQ(Dik_From_Name("F5"), DIK_F5);
    EXPECT_EQ(Dik_From_Name("F10"), DIK_F10);
    EXPECT_EQ(Dik_From_Name("DIK_F10"), DIK_F10); // the prefix is accepted too
    EXPECT_EQ(Dik_From_Name("space"), 0x39);
    EXPECT_EQ(Dik_From_Name("F13"), -1);
    EXPECT_EQ(Dik_From_Name(""), -1);
}

TEST(KeyScript, RangesAndOverlappingLinesAddUp) {
    KEY_SCRIPT_TYP s;
    std::string err;
    ASSERT_TRUE(
        Parse_Key_Script("# warm-up\n0 ESCAPE\n1-3 UP LCONTROL\n  3-4 RIGHT # turn\n\n", &s, &err))
        << err;
    uint8_t k[256];
    Keys_At_Read(s, 0, k);
    EXPECT_EQ(k[DIK_ESCAPE], 0x80);
    EXPECT_EQ(k[DIK_UP], 0);
    Keys_At_Read(s, 1, k);
    EXPECT_EQ(k[DIK_ESCAPE], 0);
    EXPECT_EQ(k[DIK_UP], 0x80);
    EXPECT_EQ(k[DIK_LCONTROL], 0x80);
    EXPECT_EQ(k[DIK_RIGHT], 0);
    Keys_At_Read(s, 3, k);
    EXPECT_EQ(k[DIK_UP], 0x80);
    EXPECT_EQ(k[DIK_RIGHT], 0x80);
    Keys_At_Read(s, 4, k);
    EXPECT_EQ(k[DIK_UP], 0);
    EXPECT_EQ(k[DIK_RIGHT], 0x80);
    Keys_At_Read(s, 5, k);
    int down = 0;
    for (int i = 0; i < 256; i++)
        down += k[i] != 0;
    EXPECT_EQ(down, 0);
}

TEST(KeyScript, EscapePressedOnEveryOtherReadFromTheLastFrame) {
    KEY_SCRIPT_TYP s;
    std::string err;
    ASSERT_TRUE(Parse_Key_Script("2 UP\n4 ESCAPE\n", &s, &err));
    s.escape_from = 3;
    uint8_t k[256];
    Keys_At_Read(s, 2, k);
    EXPECT_EQ(k[DIK_ESCAPE], 0);
    Keys_At_Read(s, 3, k);
    EXPECT_EQ(k[DIK_ESCAPE], 0x80);
    // Read 4: the script's own Escape still counts on an "up" read.
    Keys_At_Read(s, 4, k);
    EXPECT_EQ(k[DIK_ESCAPE], 0x80);
    Keys_At_Read(s, 6, k);
    EXPECT_EQ(k[DIK_ESCAPE], 0);
    Keys_At_Read(s, 5, k);
    EXPECT_EQ(k[DIK_ESCAPE], 0x80);
    Keys_At_Read(s, 1001, k);
    EXPECT_EQ(k[DIK_ESCAPE], 0x80);
    Keys_At_Read(s, 1000, k);
    EXPECT_EQ(k[DIK_ESCAPE], 0);
}

TEST(KeyScript, BadLinesAreRefusedWithTheirNumber) {
    const char *bad[] = {"5-2 UP\n", "-1 UP\n",    "x UP\n",  "3 UPP\n",          "3\n",
                         "1-  UP\n", "1-2-3 UP\n", "2a UP\n", "99999999999 UP\n", "1 UP\n2 NOPE\n"};
    for (const char *text : bad) {
        KEY_SCRIPT_TYP s;
        std::string err;
        EXPECT_FALSE(Parse_Key_Script(text, &s, &err)) << text;
        EXPECT_NE(err.find("line "), std::string::npos) << text;
    }
    KEY_SCRIPT_TYP s;
    std::string err;
    EXPECT_FALSE(Parse_Key_Script("1 UP\n2 NOPE\n", &s, &err));
    EXPECT_EQ(err.rfind("line 2", 0), 0u) << err;
}

TEST(KeyScript, MissingFile) {
    KEY_SCRIPT_TYP s;
    std::string err;
    EXPECT_FALSE(Load_Key_Script("/nonexistent/keys.txt", &s, &err));
    EXPECT_FALSE(err.empty());
}

TEST(FramePictures, ChecksumOfKnownBytes) {
    // Pixels are taken little-endian, row by row: 0x3231, 0x3433, ... are the bytes "12345678",
    // whose CRC-32 is 0x9AE0DAAF.
    const uint16_t px[4] = {0x3231, 0x3433, 0x3635, 0x3837};
    EXPECT_EQ(Frame_Crc(px, 2, 2, 4), 0x9AE0DAAFu);
    // A pitch wider than the row skips the padding.
    const uint16_t padded[6] = {0x3231, 0x3433, 0xFFFF, 0x3635, 0x3837, 0xFFFF};
    EXPECT_EQ(Frame_Crc(padded, 2, 2, 6), 0x9AE0DAAFu);
}

TEST(FramePictures, TrueColoursFromEitherPacking) {
    const uint16_t px555[2] = {0x7C00, (uint16_t)((16 << 5) | 1)};
    auto rgb = Frame_To_Rgb(px555, 2, 1, 4, 15);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
    EXPECT_EQ(rgb[2], 0);
    EXPECT_EQ(rgb[3], 0);
    EXPECT_EQ(rgb[4], 132); // 16 of 31: 10000 -> 10000100
    EXPECT_EQ(rgb[5], 8);   // 1 of 31: 00001 -> 00001000
    const uint16_t px565[1] = {(uint16_t)(63 << 5)};
    rgb = Frame_To_Rgb(px565, 1, 1, 2, 16);
    EXPECT_EQ(rgb[0], 0);
    EXPECT_EQ(rgb[1], 255);
    EXPECT_EQ(rgb[2], 0);
}

} // namespace
