// The joystick reader: finding the device, axis ranges and dead zones, and the state it reports.
#include "engine/input/dinput.h"
#include "platform/headless/headless.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

class Joystick : public testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(0);
        lpdi = nullptr;
        lpdijoy = nullptr;
        joystick_found = 0;
        joystick_guid = GUID{};
        std::memset(joyname, 0, sizeof joyname);
        DInput_Init();
    }
    static Plat_Joystick centred() {
        Plat_Joystick js{};
        js.pov = -1;
        return js;
    }
};

TEST_F(Joystick, ReadBeforeInitLeavesTheStateAlone) {
    std::memset(&joy_state, 0x5A, sizeof joy_state);
    EXPECT_EQ(DInput_Read_Joystick(), 0);
    EXPECT_EQ(joy_state.lX, 0x5A5A5A5A);
    EXPECT_EQ(joy_state.rgbButtons[31], 0x5A);
}

TEST_F(Joystick, FoundWithoutADeviceZeroesTheState) {
    joystick_found = 1;
    std::memset(&joy_state, 0x5A, sizeof joy_state);
    EXPECT_EQ(DInput_Read_Joystick(), 0);
    EXPECT_EQ(joy_state.lX, 0);
    EXPECT_EQ(joy_state.rgdwPOV[3], 0u);
}

TEST_F(Joystick, NoneAttached) {
    EXPECT_EQ(DInput_Init_Joystick(-24, 24, -24, 24, 10), 0);
    EXPECT_EQ(joystick_found, 0);
    EXPECT_EQ(joyname[0], 0);
    EXPECT_EQ(DInput_Read_Joystick(), 0);
}

TEST_F(Joystick, RangesAndDeadZonesAsAsked) {
    Headless_Set_Joystick("Test Stick");
    ASSERT_EQ(DInput_Init_Joystick(-24, 24, -24, 24, 10), 1);
    EXPECT_EQ(joystick_found, 1);
    EXPECT_STREQ(joyname, "Test Stick");
    EXPECT_NE(joystick_guid.Data1, 0u);
    ASSERT_NE(lpdijoy, nullptr);
    EXPECT_EQ(lpdijoy->range_min[0], -24);
    EXPECT_EQ(lpdijoy->range_max[0], 24);
    EXPECT_EQ(lpdijoy->range_min[1], -24);
    EXPECT_EQ(lpdijoy->range_max[1], 24);
    EXPECT_EQ(lpdijoy->dead_zone[0], 1000);
    EXPECT_EQ(lpdijoy->dead_zone[1], 1000);
    EXPECT_EQ(lpdijoy->coop_flags, 0x0A);
}

TEST_F(Joystick, RefusedPropertiesKeepTheDefaults) {
    Headless_Set_Joystick("Test Stick");
    // A range that runs backwards and a dead zone above 100 % are refused by the device; their
    // results are not looked at, so the joystick still comes up.
    ASSERT_EQ(DInput_Init_Joystick(10, -10, 0, 100, 150), 1);
    EXPECT_EQ(lpdijoy->range_min[0], 0);
    EXPECT_EQ(lpdijoy->range_max[0], 65535);
    EXPECT_EQ(lpdijoy->range_min[1], 0);
    EXPECT_EQ(lpdijoy->range_max[1], 100);
    EXPECT_EQ(lpdijoy->dead_zone[0], 0);
}

TEST_F(Joystick, StateIsScaledIntoTheRanges) {
    Headless_Set_Joystick("Test Stick");
    ASSERT_EQ(DInput_Init_Joystick(-24, 24, -24, 24, 10), 1);
    Plat_Joystick js = centred();
    js.axis[0] = 32767;  // full right
    js.axis[1] = -32768; // full up
    js.axis[2] = 0;      // z: default range 0..65535, centre 32767
    js.pov = 9000;
    js.buttons[0] = 0x80;
    js.buttons[31] = 0x80;
    Headless_Set_Joystick_State(js);
    ASSERT_EQ(DInput_Read_Joystick(), 1);
    EXPECT_EQ(joy_state.lX, 24);
    EXPECT_EQ(joy_state.lY, -24);
    EXPECT_EQ(joy_state.lZ, 32767);
    EXPECT_EQ(joy_state.rgdwPOV[0], 9000u);
    EXPECT_EQ(joy_state.rgdwPOV[1], 0xFFFFFFFFu); // hats it does not have read centred
    EXPECT_EQ(joy_state.rgbButtons[0], 0x80);
    EXPECT_EQ(joy_state.rgbButtons[1], 0);
    EXPECT_EQ(joy_state.rgbButtons[31], 0x80);
    // Inside the 10 % dead zone (3276 of 32767 to the right) the stick reads centred.
    js.axis[0] = 3276;
    js.axis[1] = 0;
    js.pov = -1;
    Headless_Set_Joystick_State(js);
    ASSERT_EQ(DInput_Read_Joystick(), 1);
    EXPECT_EQ(joy_state.lX, 0);
    EXPECT_EQ(joy_state.lY, 0);
    EXPECT_EQ(joy_state.rgdwPOV[0], 0xFFFFFFFFu);
}

TEST_F(Joystick, FailedReadAndReleasedDevice) {
    Headless_Set_Joystick("Test Stick");
    ASSERT_EQ(DInput_Init_Joystick(-24, 24, -24, 24, 10), 1);
    Plat_Joystick js = centred();
    js.axis[0] = 32767;
    Headless_Set_Joystick_State(js);
    ASSERT_EQ(DInput_Read_Joystick(), 1);
    Headless_Fail_Reads(1);
    js.axis[0] = -32768;
    Headless_Set_Joystick_State(js);
    EXPECT_EQ(DInput_Read_Joystick(), 0);
    EXPECT_EQ(joy_state.lX, 24);
    Headless_Fail_Reads(0);
    LPDIRECTINPUTDEVICE2 before = lpdijoy;
    DInput_Release_Joystick();
    EXPECT_EQ(lpdijoy, before);
    EXPECT_EQ(DInput_Read_Joystick(), 0);
    EXPECT_EQ(joy_state.lX, 24);
    DInput_Release_Joystick();
}

// Worked by hand: each half of the travel (32767 up, 32768 down) loses its dead part
// (travel * dead / 10000, truncated) and the rest is spread over the half range, rounded.
TEST(ScaleAxis, EndsCentreAndDeadZone) {
    EXPECT_EQ(DInput_Scale_Axis(32767, -24, 24, 0), 24);
    EXPECT_EQ(DInput_Scale_Axis(-32768, -24, 24, 0), -24);
    EXPECT_EQ(DInput_Scale_Axis(0, -24, 24, 0), 0);
    // 16384 * 24 / 32767 = 12.0004 and 16384 * 24 / 32768 = 12.
    EXPECT_EQ(DInput_Scale_Axis(16384, -24, 24, 0), 12);
    EXPECT_EQ(DInput_Scale_Axis(-16384, -24, 24, 0), -12);
    // Dead zone 1000: 3276 up, 3276 down.
    EXPECT_EQ(DInput_Scale_Axis(3276, -24, 24, 1000), 0);
    EXPECT_EQ(DInput_Scale_Axis(-3276, -24, 24, 1000), 0);
    // (3277 - 3276) * 24 / 29491 rounds to 0; (18022 - 3276) * 24 / 29491 = 12.0003.
    EXPECT_EQ(DInput_Scale_Axis(3277, -24, 24, 1000), 0);
    EXPECT_EQ(DInput_Scale_Axis(18022, -24, 24, 1000), 12);
    EXPECT_EQ(DInput_Scale_Axis(32767, -24, 24, 1000), 24);
    EXPECT_EQ(DInput_Scale_Axis(-32768, -24, 24, 1000), -24);
    // A dead zone of the whole travel leaves only the centre.
    EXPECT_EQ(DInput_Scale_Axis(32767, -24, 24, 10000), 0);
    EXPECT_EQ(DInput_Scale_Axis(-32768, -24, 24, 10000), 0);
}

TEST(ScaleAxis, DefaultAndUnevenRanges) {
    // 0..65535: centre 32767, 32768 steps up and 32767 down.
    EXPECT_EQ(DInput_Scale_Axis(32767, 0, 65535, 0), 65535);
    EXPECT_EQ(DInput_Scale_Axis(-32768, 0, 65535, 0), 0);
    EXPECT_EQ(DInput_Scale_Axis(0, 0, 65535, 0), 32767);
    // -25..24: centre -1 (-25 + 49 / 2), 25 steps up, 24 down.
    EXPECT_EQ(DInput_Scale_Axis(32767, -25, 24, 0), 24);
    EXPECT_EQ(DInput_Scale_Axis(-32768, -25, 24, 0), -25);
    EXPECT_EQ(DInput_Scale_Axis(0, -25, 24, 0), -1);
    // The extremes of int do not overflow.
    EXPECT_EQ(DInput_Scale_Axis(32767, -2147483647 - 1, 2147483647, 0), 2147483647);
    EXPECT_EQ(DInput_Scale_Axis(-32768, -2147483647 - 1, 2147483647, 0), -2147483647 - 1);
    // Out-of-range inputs are held to the ends.
    EXPECT_EQ(DInput_Scale_Axis(99999, -24, 24, 0), 24);
    EXPECT_EQ(DInput_Scale_Axis(-99999, -24, 24, -5), -24);
}

} // namespace
