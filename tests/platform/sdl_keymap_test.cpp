// The SDL backend's key table: SDL scancodes are USB usage numbers, looked up by hand in the USB
// keyboard usage table.
#include "platform/sdl/sdl_keys.h"
#include "platform/dik.h"
#include <gtest/gtest.h>
#include <map>

namespace {

TEST(SdlKeyTable, TheGamesKeys) {
    EXPECT_EQ(Sdl_Dik_From_Scancode(41), DIK_ESCAPE);
    EXPECT_EQ(Sdl_Dik_From_Scancode(79), DIK_RIGHT);
    EXPECT_EQ(Sdl_Dik_From_Scancode(80), DIK_LEFT);
    EXPECT_EQ(Sdl_Dik_From_Scancode(82), DIK_UP);
    EXPECT_EQ(Sdl_Dik_From_Scancode(43), DIK_TAB);
    EXPECT_EQ(Sdl_Dik_From_Scancode(224), DIK_LCONTROL);
    EXPECT_EQ(Sdl_Dik_From_Scancode(226), DIK_LMENU);
    EXPECT_EQ(Sdl_Dik_From_Scancode(7), DIK_D);
    EXPECT_EQ(Sdl_Dik_From_Scancode(67), DIK_F10);
    EXPECT_EQ(Sdl_Dik_From_Scancode(62), DIK_F5);
    EXPECT_EQ(Sdl_Dik_From_Scancode(21), DIK_R);
    EXPECT_EQ(Sdl_Dik_From_Scancode(40), DIK_RETURN);
}

TEST(SdlKeyTable, ExtendedKeysAndTheRest) {
    EXPECT_EQ(Sdl_Dik_From_Scancode(4), DIK_A);
    EXPECT_EQ(Sdl_Dik_From_Scancode(29), DIK_Z);
    EXPECT_EQ(Sdl_Dik_From_Scancode(30), DIK_1);
    EXPECT_EQ(Sdl_Dik_From_Scancode(39), DIK_0);
    EXPECT_EQ(Sdl_Dik_From_Scancode(68), DIK_F11);
    EXPECT_EQ(Sdl_Dik_From_Scancode(69), DIK_F12);
    EXPECT_EQ(Sdl_Dik_From_Scancode(81), DIK_DOWN);
    EXPECT_EQ(Sdl_Dik_From_Scancode(88), DIK_NUMPADENTER);
    EXPECT_EQ(Sdl_Dik_From_Scancode(84), DIK_DIVIDE);
    EXPECT_EQ(Sdl_Dik_From_Scancode(228), DIK_RCONTROL);
    EXPECT_EQ(Sdl_Dik_From_Scancode(230), DIK_RMENU);
    EXPECT_EQ(Sdl_Dik_From_Scancode(227), DIK_LWIN);
    EXPECT_EQ(Sdl_Dik_From_Scancode(74), DIK_HOME);
    EXPECT_EQ(Sdl_Dik_From_Scancode(78), DIK_NEXT);
    EXPECT_EQ(Sdl_Dik_From_Scancode(72), DIK_PAUSE);
    EXPECT_EQ(Sdl_Dik_From_Scancode(100), DIK_OEM_102);
}

TEST(SdlKeyTable, UnknownAndOutOfRangeCodesHaveNoKey) {
    EXPECT_EQ(Sdl_Dik_From_Scancode(0), 0);
    EXPECT_EQ(Sdl_Dik_From_Scancode(-1), 0);
    EXPECT_EQ(Sdl_Dik_From_Scancode(512), 0);
    EXPECT_EQ(Sdl_Dik_From_Scancode(1 << 20), 0);
}

// Two SDL keys on one code would mean a slip in the table, except where one physical key has
// two USB names: backslash and the ISO hash key, Print Screen and SysReq.
TEST(SdlKeyTable, NoCodeIsGivenTwiceByMistake) {
    std::map<int, int> uses;
    int mapped = 0;
    for (int sc = 0; sc < 512; sc++) {
        int dik = Sdl_Dik_From_Scancode(sc);
        if (!dik) continue;
        mapped++;
        uses[dik]++;
    }
    for (auto [dik, n] : uses) {
        if (dik == DIK_BACKSLASH || dik == DIK_SYSRQ)
            EXPECT_EQ(n, 2) << "code " << dik;
        else
            EXPECT_EQ(n, 1) << "code " << dik;
    }
    // 144 codes, less eight with no USB key of their own (the Brazilian keypad comma, the NEC
    // at, colon, underline, kanji, AX and unlabelled keys, and Wake), plus the two second names.
    EXPECT_EQ(uses.size(), 136u);
    EXPECT_EQ(mapped, 138);
    for (int dik : {DIK_ABNT_C2, DIK_AT, DIK_COLON, DIK_UNDERLINE, DIK_KANJI, DIK_AX, DIK_UNLABELED,
                    DIK_WAKE})
        EXPECT_EQ(uses.count(dik), 0u) << "code " << dik;
}

} // namespace
