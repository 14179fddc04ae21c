// The keyboard and mouse readers: the null-device paths, failed reads and released devices.
#include "engine/input/dinput.h"
#include "platform/headless/headless.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

int count_nonzero(const uint8_t *p, size_t n) {
    int c = 0;
    for (size_t i = 0; i < n; i++)
        c += p[i] != 0;
    return c;
}

// Each test starts from a fresh backend and a module whose devices are gone.
class Keyboard : public testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(0);
        lpdi = nullptr;
        lpdikey = nullptr;
        lpdimouse = nullptr;
        std::memset(keyboard_state, 0, sizeof keyboard_state);
    }
};

TEST_F(Keyboard, TableIsZeroBeforeTheFirstRead) {
    ASSERT_EQ(DInput_Init(), 1);
    ASSERT_EQ(DInput_Init_Keyboard(), 1);
    EXPECT_EQ(count_nonzero(keyboard_state, 256), 0);
}

TEST_F(Keyboard, NoDeviceClearsTheTableAndFails) {
    std::memset(keyboard_state, 0x80, sizeof keyboard_state);
    EXPECT_EQ(DInput_Read_Keyboard(), 0);
    EXPECT_EQ(count_nonzero(keyboard_state, 256), 0);
}

TEST_F(Keyboard, EscapeHeldThenReleased) {
    ASSERT_EQ(DInput_Init(), 1);
    ASSERT_EQ(DInput_Init_Keyboard(), 1);
    Headless_Set_Key(DIK_ESCAPE, 1);
    ASSERT_EQ(DInput_Read_Keyboard(), 1);
    EXPECT_EQ(keyboard_state[0x01], 0x80);
    EXPECT_EQ(count_nonzero(keyboard_state, 256), 1);
    Headless_Set_Key(DIK_ESCAPE, 0);
    ASSERT_EQ(DInput_Read_Keyboard(), 1);
    EXPECT_EQ(keyboard_state[0x01], 0);
}

TEST_F(Keyboard, OneReadPerCallAndExtendedCodes) {
    DInput_Init();
    DInput_Init_Keyboard();
    Headless_Set_Key(DIK_RIGHT, 1); // 0xCD: the right arrow is an extended key
    Headless_Set_Key(DIK_LMENU, 1);
    DInput_Read_Keyboard();
    DInput_Read_Keyboard();
    EXPECT_EQ(Headless_Keyboard_Reads(), 2);
    EXPECT_EQ(keyboard_state[0xCD], 0x80);
    EXPECT_EQ(keyboard_state[0x38], 0x80);
    EXPECT_EQ(keyboard_state[0x4D], 0); // the keypad 6 shares the low bits, not the key
}

TEST_F(Keyboard, AFailedReadLeavesTheTableAndTheDeviceAlone) {
    DInput_Init();
    DInput_Init_Keyboard();
    Headless_Set_Key(DIK_UP, 1);
    ASSERT_EQ(DInput_Read_Keyboard(), 1);
    Headless_Fail_Reads(1);
    Headless_Set_Key(DIK_UP, 0);
    EXPECT_EQ(DInput_Read_Keyboard(), 0);
    EXPECT_EQ(keyboard_state[DIK_UP], 0x80); // as the last good read left it
    Headless_Fail_Reads(0);
    EXPECT_EQ(DInput_Read_Keyboard(), 1); // the next frame simply reads again
    EXPECT_EQ(keyboard_state[DIK_UP], 0);
}

TEST_F(Keyboard, NoInputObjectMeansNoKeyboard) {
    EXPECT_EQ(DInput_Init_Keyboard(), 0);
    EXPECT_EQ(lpdikey, nullptr);
    ASSERT_EQ(DInput_Init(), 1);
    DInput_Shutdown();
    EXPECT_NE(lpdi, nullptr); // released, the handle keeps its value
    EXPECT_EQ(DInput_Init_Keyboard(), 0);
    DInput_Shutdown(); // a second release is harmless
}

TEST_F(Keyboard, DeviceIsSetUpBackgroundNonExclusiveAndAcquired) {
    DInput_Init();
    ASSERT_EQ(DInput_Init_Keyboard(), 1);
    ASSERT_NE(lpdikey, nullptr);
    EXPECT_EQ(lpdikey->kind, DIDEV_KEYBOARD);
    EXPECT_EQ(lpdikey->coop_flags, 0x0A);
    EXPECT_EQ(lpdikey->format_set, 1);
    EXPECT_EQ(lpdikey->acquired, 1);
    EXPECT_EQ(lpdi->version, 0x0500);
}

TEST_F(Keyboard, ReleaseKeepsTheHandleAndLaterReadsFailSafely) {
    DInput_Init();
    DInput_Init_Keyboard();
    Headless_Set_Key(DIK_A, 1);
    DInput_Read_Keyboard();
    LPDIRECTINPUTDEVICE before = lpdikey;
    DInput_Release_Keyboard();
    EXPECT_EQ(lpdikey, before);
    EXPECT_EQ(lpdikey->acquired, 0);
    Headless_Set_Key(DIK_A, 0);
    EXPECT_EQ(DInput_Read_Keyboard(), 0);
    EXPECT_EQ(keyboard_state[DIK_A], 0x80); // the released device did not touch it
    DInput_Release_Keyboard();              // a second release is harmless
    // The keyboard can be set up again after its release.
    EXPECT_EQ(DInput_Init_Keyboard(), 1);
    EXPECT_EQ(DInput_Read_Keyboard(), 1);
    EXPECT_EQ(keyboard_state[DIK_A], 0);
}

TEST_F(Keyboard, MouseReadsRelativeMotionAndButtons) {
    std::memset(&mouse_state, 0x55, sizeof mouse_state);
    EXPECT_EQ(DInput_Read_Mouse(), 0); // no device: zeroed
    EXPECT_EQ(mouse_state.lX, 0);
    EXPECT_EQ(mouse_state.rgbButtons[0], 0);
    DInput_Init();
    ASSERT_EQ(DInput_Init_Mouse(), 1);
    Headless_Move_Mouse(7, -4, 120);
    Headless_Set_Mouse_Button(1, 1);
    ASSERT_EQ(DInput_Read_Mouse(), 1);
    EXPECT_EQ(mouse_state.lX, 7);
    EXPECT_EQ(mouse_state.lY, -4);
    EXPECT_EQ(mouse_state.lZ, 120);
    EXPECT_EQ(mouse_state.rgbButtons[0], 0);
    EXPECT_EQ(mouse_state.rgbButtons[1], 0x80);
    ASSERT_EQ(DInput_Read_Mouse(), 1);
    EXPECT_EQ(mouse_state.lX, 0); // motion is counted from the previous read
    Headless_Move_Mouse(3, 3, 0);
    Headless_Fail_Reads(1);
    EXPECT_EQ(DInput_Read_Mouse(), 0);
    EXPECT_EQ(mouse_state.rgbButtons[1], 0x80);
    Headless_Fail_Reads(0);
    DInput_Release_Mouse();
    EXPECT_NE(lpdimouse, nullptr);
    EXPECT_EQ(DInput_Read_Mouse(), 0);
}

// A source that marks keys with values other than 0x80 still gives the table's two values.
void odd_values(int, uint8_t state[256], void *) {
    state[DIK_UP] = 1;
    state[DIK_TAB] = 0xFF;
    state[DIK_ESCAPE] = 0x40;
}

TEST_F(Keyboard, DownKeysReadAs0x80WhateverTheSourceWrote) {
    ASSERT_EQ(DInput_Init(), 1);
    ASSERT_EQ(DInput_Init_Keyboard(), 1);
    Headless_Set_Key_Source(odd_values, nullptr);
    ASSERT_EQ(DInput_Read_Keyboard(), 1);
    Headless_Set_Key_Source(nullptr, nullptr);
    EXPECT_EQ(keyboard_state[0xC8], 0x80);
    EXPECT_EQ(keyboard_state[0x0F], 0x80);
    EXPECT_EQ(keyboard_state[0x01], 0x80);
    EXPECT_EQ(count_nonzero(keyboard_state, 256), 3);
}

} // namespace
