// The page's key table and controller: the browser's physical key codes land on the scan codes the
// game reads (extended keys carry the 0x80 bit, unknown codes have none), and a standard-mapping
// gamepad on the platform's pad buttons, through the shell's mapping.
#include "platform/web/web_keys.h"
#include "platform/dik.h"
#include "platform/input_map.h"
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

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

// The game's keys for a controller state and the keys held, through a mapping.
std::vector<int> mapped_keys(const Plat_Input_Map &m, unsigned buttons, int x, int y,
                             int held_key = 0) {
    uint8_t device[256] = {}, state[256];
    if (held_key) device[held_key] = 0x80;
    Plat_Map_Input(m, device, Web_Pad_Buttons(buttons, x, y), state);
    std::vector<int> down;
    for (int k = 0; k < 256; k++)
        if (state[k]) down.push_back(k);
    return down;
}

// Each standard-mapping button or stick push lands, through the built-in mapping, on the key the
// desktop gives it, alone.
TEST(WebKeys, GamepadFollowsTheDesktopMapping) {
    struct Case {
        unsigned buttons;
        int x, y;
        int dik; // the one key down, 0: none
    } cases[] = {
        {1u << 14, 0, 0, DIK_LEFT},
        {1u << 15, 0, 0, DIK_RIGHT},
        {1u << 12, 0, 0, DIK_UP},
        {1u << 0, 0, 0, DIK_LCONTROL},
        {1u << 1, 0, 0, DIK_LMENU},
        {1u << 5, 0, 0, DIK_TAB},
        {1u << 9, 0, 0, DIK_RETURN},
        {1u << 8, 0, 0, DIK_ESCAPE},
        {0, -8001, 0, DIK_LEFT},
        {0, 8001, 0, DIK_RIGHT},
        {0, 0, -8001, DIK_UP},
        {0, -8000, 0, 0},    // at the threshold: not yet pushed
        {0, 0, 32767, 0},    // down on the stick is no key
        {1u << 13, 0, 0, 0}, // D-pad down neither
        {1u << 4, 0, 0, 0},  // nor the left shoulder
        {1u << 6, 0, 0, 0},  // nor a trigger
        {1u << 16, 0, 0, 0}, // nor Guide
    };
    Plat_Input_Map built_in;
    Plat_Default_Input_Map(&built_in);
    for (const Case &c : cases) {
        std::vector<int> want;
        if (c.dik) want.push_back(c.dik);
        EXPECT_EQ(mapped_keys(built_in, c.buttons, c.x, c.y), want)
            << c.buttons << " " << c.x << " " << c.y;
    }
}

// The platform's pad buttons carry what the shell reads (the menu, Back asking before a quit),
// the stick as the D-pad in all four ways, and a button past the standard ones is none.
TEST(WebKeys, GamepadGivesThePlatformsButtons) {
    EXPECT_EQ(Web_Pad_Buttons(1u << 8, 0, 0), 1u << PLAT_PAD_BACK);
    EXPECT_EQ(Web_Pad_Buttons(1u << 9, 0, 0), 1u << PLAT_PAD_START);
    EXPECT_EQ(Web_Pad_Buttons(1u << 2 | 1u << 3, 0, 0), 1u << PLAT_PAD_X | 1u << PLAT_PAD_Y);
    EXPECT_EQ(Web_Pad_Buttons(0, 0, 8001), 1u << PLAT_PAD_DPDOWN);
    EXPECT_EQ(Web_Pad_Buttons(1u << 13, -9000, 0), 1u << PLAT_PAD_DPDOWN | 1u << PLAT_PAD_DPLEFT);
    EXPECT_EQ(Web_Pad_Buttons(1u << 20, 0, 0), 0u);
}

// A controller adds to the keyboard's keys; a mapping given by halves is the built-in one.
TEST(WebKeys, TheControllerAddsToTheKeyboard) {
    Plat_Input_Map m;
    const uint8_t no_keys[256] = {};
    Plat_Input_Map_Of(&m, no_keys, nullptr);
    EXPECT_EQ(mapped_keys(m, (1u << 0) | (1u << 15), 0, -20000, DIK_P),
              (std::vector<int>{DIK_P, DIK_LCONTROL, DIK_UP, DIK_RIGHT}));
}

} // namespace
