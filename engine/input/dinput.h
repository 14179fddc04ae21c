// The input module: the keyboard as a 256-byte table by scan code, refreshed once per frame, and
// mouse and joystick readers, over the platform layer's input.
#pragma once
#include <cstdint>
#include "platform/dik.h"

// Relative mouse motion since the last read and 4 button bytes (0x80 pressed); 16 bytes.
struct DIMOUSESTATE {
    int32_t lX, lY, lZ;
    uint8_t rgbButtons[4];
};
static_assert(sizeof(DIMOUSESTATE) == 16, "mouse state layout");

// Joystick axes, sliders, point-of-view hats and buttons; 80 bytes.
struct DIJOYSTATE {
    int32_t lX, lY, lZ;
    int32_t lRx, lRy, lRz;
    int32_t rglSlider[2];
    uint32_t rgdwPOV[4]; // hundredths of a degree clockwise from north; 0xFFFFFFFF centred
    uint8_t rgbButtons[32];
};
static_assert(sizeof(DIJOYSTATE) == 80, "joystick state layout");

// Instance identifier of a device; all zero names no device.
struct GUID {
    uint32_t Data1;
    uint16_t Data2, Data3;
    uint8_t Data4[8];
};

// Result codes of the device operations.
constexpr int DI_OK = 0;
constexpr int DIERR_NOTACQUIRED = -2147024891;  // 0x80070005 read as a signed value
constexpr int DIERR_INVALIDPARAM = -2147024809; // 0x80070057
constexpr int DIERR_DEVICENOTREG = -2147221164; // 0x80040154

// Device kinds.
enum { DIDEV_KEYBOARD = 1, DIDEV_MOUSE = 2, DIDEV_JOYSTICK = 3 };

// The input object. Records live in fixed storage: a released handle still points at valid
// memory and every operation on it fails cleanly.
struct DIOBJECT {
    int created; // 1 from creation to release
    int version; // interface level asked for (0x0500)
};
typedef DIOBJECT *LPDIRECTINPUT;

// One input device: keyboard, mouse or joystick, with the joystick's axis properties.
struct DIDEVICE {
    int kind;         // DIDEV_*
    int created;      // 1 from creation to release
    int acquired;     // 1 between Acquire and Unacquire
    int coop_flags;   // cooperative level flags
    int format_set;   // 1 once the data format matches the kind
    int range_min[2]; // x and y axis range (0..65535 until set)
    int range_max[2];
    int dead_zone[2]; // x and y dead zone in ten-thousandths of the range (0 until set)
};
typedef DIDEVICE *LPDIRECTINPUTDEVICE;
typedef DIDEVICE *LPDIRECTINPUTDEVICE2;

// Cooperative level asked for by every device: background, non-exclusive.
constexpr int DISCL_NONEXCLUSIVE = 0x02;
constexpr int DISCL_BACKGROUND = 0x08;

// ---- globals of the module ----
extern uint8_t keyboard_state[256];
extern DIMOUSESTATE mouse_state;
extern DIJOYSTATE joy_state;
extern char joyname[80];
extern GUID joystick_guid;
extern int joystick_found;
extern LPDIRECTINPUT lpdi;
extern LPDIRECTINPUTDEVICE lpdikey;
extern LPDIRECTINPUTDEVICE lpdimouse;
extern LPDIRECTINPUTDEVICE2 lpdijoy;

// Creates the input object; 1 on success, else 0.
int DInput_Init();
// Releases the input object if there is one.
void DInput_Shutdown();
// Creates, sets up and acquires the keyboard; 1 when it is ready to read, else 0.
int DInput_Init_Keyboard();
// Reads the keyboard into keyboard_state; 1 when refreshed, 0 (table zeroed when no device).
int DInput_Read_Keyboard();
// Unacquires and releases the keyboard; the handle keeps its value.
void DInput_Release_Keyboard();
// Sees, and may rewrite, each keyboard read's 256 device bytes before keyboard_state takes them
// (recording and replaying a game); read_index counts the reads from 0.
using DInput_Key_Hook = void (*)(int read_index, uint8_t state[256], void *user);
// Installs the keyboard read hook (null: none) and starts counting reads from 0 again.
void DInput_Set_Key_Hook(DInput_Key_Hook hook, void *user);
// Number of keyboard reads made since the hook was last set (the index the next read gets).
int DInput_Keyboard_Reads();
// Creates, sets up and acquires the mouse; 1 when it is ready to read, else 0.
int DInput_Init_Mouse();
// Reads the mouse into mouse_state; 1 when refreshed, 0 (state zeroed when no device).
int DInput_Read_Mouse();
// Unacquires and releases the mouse; the handle keeps its value.
void DInput_Release_Mouse();
// Finds the first joystick and sets its x/y ranges and its dead zone (percent); 1 when ready.
int DInput_Init_Joystick(int min_x, int max_x, int min_y, int max_y, int dead_zone);
// Polls and reads the joystick into joy_state; 1 when refreshed, else 0.
int DInput_Read_Joystick();
// Unacquires and releases the joystick; the handle keeps its value.
void DInput_Release_Joystick();

// Maps one raw platform axis value (-32768..32767) into min..max with a dead zone given in
// ten-thousandths of each half of the travel, as the joystick reader reports it.
int DInput_Scale_Axis(int raw, int min, int max, int dead_zone);
