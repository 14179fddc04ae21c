// The page's key table: the browser's physical key codes the game is played with land on the
// scan codes the game reads, extended keys carry the 0x80 bit, and unknown codes have none.
#include "platform/web/web_keys.h"
#include "platform/dik.h"
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

TEST(WebKeys, GameKeysMapToTheirScanCodes) {
    EXPECT_EQ(Web_Dik_From_Code("ArrowLeft"), 0xCB);
    EXPECT_EQ(Web_Dik_From_Code("ArrowRight"), 0xCD);
    EXPECT_EQ(Web_Dik_From_Code("ArrowUp"), 0xC8);
    EXPECT_EQ(Web_Dik_From_Code("ArrowDown"), 0xD0);
    EXPECT_EQ(Web_Dik_From_Code("Tab"), 0x0F);
    EXPECT_EQ(Web_Dik_From_Code("ControlLeft"), 0x1D);
    EXPECT_EQ(Web_Dik_From_Code("ControlRight"), 0x9D);
    EXPECT_EQ(Web_Dik_From_Code("AltLeft"), 0x38);
    EXPECT_EQ(Web_Dik_From_Code("AltRight"), 0xB8);
    EXPECT_EQ(Web_Dik_From_Code("Enter"), 0x1C);
    EXPECT_EQ(Web_Dik_From_Code("NumpadEnter"), 0x9C);
    EXPECT_EQ(Web_Dik_From_Code("Escape"), 0x01);
    EXPECT_EQ(Web_Dik_From_Code("F5"), 0x3F);
    EXPECT_EQ(Web_Dik_From_Code("F10"), 0x44);
    EXPECT_EQ(Web_Dik_From_Code("F11"), 0x57);
    EXPECT_EQ(Web_Dik_From_Code("KeyD"), 0x20);
    EXPECT_EQ(Web_Dik_From_Code("KeyR"), 0x13);
    EXPECT_EQ(Web_Dik_From_Code("Space"), 0x39);
    EXPECT_EQ(Web_Dik_From_Code("Digit1"), 0x02);
    EXPECT_EQ(Web_Dik_From_Code("Digit0"), 0x0B);
}

TEST(WebKeys, LettersFollowTheKeyboardRows) {
    // Set-1 codes run along the rows: Q..P from 0x10, A..L from 0x1E, Z..M from 0x2C.
    const char *rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const int first[] = {0x10, 0x1E, 0x2C};
    for (int r = 0; r < 3; r++)
        for (int i = 0; rows[r][i]; i++) {
            std::string code = std::string("Key") + rows[r][i];
            EXPECT_EQ(Web_Dik_From_Code(code.c_str()), first[r] + i) << code;
        }
    for (int n = 1; n <= 10; n++) {
        std::string code = "F" + std::to_string(n);
        EXPECT_EQ(Web_Dik_From_Code(code.c_str()), 0x3B + n - 1) << code;
    }
}

TEST(WebKeys, UnknownAndMalformedCodesHaveNoScanCode) {
    EXPECT_EQ(Web_Dik_From_Code(nullptr), 0);
    EXPECT_EQ(Web_Dik_From_Code(""), 0);
    EXPECT_EQ(Web_Dik_From_Code("Fn"), 0);
    EXPECT_EQ(Web_Dik_From_Code("arrowleft"), 0); // codes are case-sensitive
    EXPECT_EQ(Web_Dik_From_Code("ArrowLeft "), 0);
    EXPECT_EQ(Web_Dik_From_Code("Key"), 0);
}

TEST(WebKeys, NoTwoPhysicalKeysShareAScanCode) {
    const char *codes[] = {
        "ShiftLeft", "ShiftRight",    "ControlLeft", "ControlRight",  "AltLeft",  "AltRight",
        "Enter",     "NumpadEnter",   "Slash",       "NumpadDivide",  "Home",     "Numpad7",
        "Delete",    "NumpadDecimal", "Backslash",   "IntlBackslash", "MetaLeft", "MetaRight"};
    std::set<int> seen;
    for (const char *c : codes) {
        int dik = Web_Dik_From_Code(c);
        EXPECT_NE(dik, 0) << c;
        EXPECT_TRUE(seen.insert(dik).second) << c;
    }
}

} // namespace
