// The input module: keyboard_state, mouse_state and joy_state, the input object and its three
// devices, read through the platform layer once per frame.
#include "engine/input/dinput.h"
#include "platform/platform.h"
#include <cstring>

uint8_t keyboard_state[256];
DIMOUSESTATE mouse_state;
DIJOYSTATE joy_state;
char joyname[80];
GUID joystick_guid;
int joystick_found = 0;
LPDIRECTINPUT lpdi = nullptr;
LPDIRECTINPUTDEVICE lpdikey = nullptr;
LPDIRECTINPUTDEVICE lpdimouse = nullptr;
LPDIRECTINPUTDEVICE2 lpdijoy = nullptr;

namespace {

// Fixed storage for the object and the devices: a released handle never dangles.
DIOBJECT input_object;
DIDEVICE keyboard_device, mouse_device, joystick_device;

DInput_Key_Hook key_hook = nullptr;
void *key_hook_user = nullptr;
int keyboard_reads = 0;

constexpr int DIRECTINPUT_VERSION = 0x0500;
// Identifier handed to the joystick the platform found (it reports at most one).
constexpr GUID FIRST_JOYSTICK_GUID = {0x6A6F7901, 0x0001, 0x0001, {0, 0, 0, 0, 0, 0, 0, 1}};

int guid_is_null(const GUID &g) {
    static constexpr GUID zero{};
    return std::memcmp(&g, &zero, sizeof g) == 0;
}

// ---- the device operations of the input object ----

int create_device(int kind, DIDEVICE **out) {
    if (!lpdi || !lpdi->created) return DIERR_INVALIDPARAM;
    DIDEVICE *d = kind == DIDEV_KEYBOARD ? &keyboard_device
                  : kind == DIDEV_MOUSE  ? &mouse_device
                                         : &joystick_device;
    if (kind == DIDEV_JOYSTICK && guid_is_null(joystick_guid)) return DIERR_DEVICENOTREG;
    *d = DIDEVICE{};
    d->kind = kind;
    d->created = 1;
    d->range_min[0] = d->range_min[1] = 0;
    d->range_max[0] = d->range_max[1] = 65535;
    *out = d;
    return DI_OK;
}

int set_cooperative_level(DIDEVICE *d, int flags) {
    if (!d->created) return DIERR_INVALIDPARAM;
    d->coop_flags = flags;
    return DI_OK;
}

int set_data_format(DIDEVICE *d) {
    if (!d->created || d->acquired) return DIERR_INVALIDPARAM;
    d->format_set = 1;
    return DI_OK;
}

int acquire(DIDEVICE *d) {
    if (!d->created || !d->format_set) return DIERR_INVALIDPARAM;
    d->acquired = 1;
    return DI_OK;
}

void unacquire_and_release(DIDEVICE *d) {
    d->acquired = 0;
    d->created = 0;
}

// Axis 0 is x, 1 is y.
int set_range(DIDEVICE *d, int axis, int min, int max) {
    if (!d->created || min > max) return DIERR_INVALIDPARAM;
    d->range_min[axis] = min;
    d->range_max[axis] = max;
    return DI_OK;
}

int set_dead_zone(DIDEVICE *d, int axis, int ten_thousandths) {
    if (!d->created || ten_thousandths < 0 || ten_thousandths > 10000) return DIERR_INVALIDPARAM;
    d->dead_zone[axis] = ten_thousandths;
    return DI_OK;
}

} // namespace

// ---- the module ----

int DInput_Init() {
    input_object = DIOBJECT{1, DIRECTINPUT_VERSION};
    lpdi = &input_object;
    return 1;
}

void DInput_Shutdown() {
    if (lpdi) lpdi->created = 0;
}

namespace {

int init_device(int kind, LPDIRECTINPUTDEVICE *handle) {
    DIDEVICE *d = nullptr;
    if (create_device(kind, &d) != DI_OK) return 0;
    *handle = d;
    if (set_cooperative_level(d, DISCL_BACKGROUND | DISCL_NONEXCLUSIVE) != DI_OK) return 0;
    if (set_data_format(d) != DI_OK) return 0;
    if (acquire(d) != DI_OK) return 0;
    return 1;
}

} // namespace

int DInput_Init_Keyboard() {
    return init_device(DIDEV_KEYBOARD, &lpdikey);
}

int DInput_Init_Mouse() {
    return init_device(DIDEV_MOUSE, &lpdimouse);
}

namespace {

int readable(const DIDEVICE *d) {
    return d->created && d->acquired;
}

} // namespace

int DInput_Read_Keyboard() {
    if (!lpdikey) {
        std::memset(keyboard_state, 0, sizeof keyboard_state);
        return 0;
    }
    if (!readable(lpdikey)) return 0;
    uint8_t state[256];
    if (!Plat_Read_Keyboard(state)) return 0;
    int index = keyboard_reads++;
    if (key_hook) key_hook(index, state, key_hook_user);
    // A key's byte is 0x80 while it is down and 0 while it is up, whatever the source wrote.
    for (int i = 0; i < 256; i++)
        keyboard_state[i] = state[i] ? 0x80 : 0;
    return 1;
}

void DInput_Set_Key_Hook(DInput_Key_Hook hook, void *user) {
    key_hook = hook;
    key_hook_user = user;
    keyboard_reads = 0;
}

int DInput_Keyboard_Reads() {
    return keyboard_reads;
}

int DInput_Read_Mouse() {
    if (!lpdimouse) {
        std::memset(&mouse_state, 0, sizeof mouse_state);
        return 0;
    }
    if (!readable(lpdimouse)) return 0;
    int dx = 0, dy = 0, dz = 0;
    uint8_t buttons[4] = {0, 0, 0, 0};
    if (!Plat_Read_Mouse(&dx, &dy, &dz, buttons)) return 0;
    mouse_state.lX = dx;
    mouse_state.lY = dy;
    mouse_state.lZ = dz;
    std::memcpy(mouse_state.rgbButtons, buttons, 4);
    return 1;
}

void DInput_Release_Keyboard() {
    if (lpdikey) unacquire_and_release(lpdikey);
}

void DInput_Release_Mouse() {
    if (lpdimouse) unacquire_and_release(lpdimouse);
}

int DInput_Init_Joystick(int min_x, int max_x, int min_y, int max_y, int dead_zone) {
    // Enumeration: the first attached joystick, if any, names itself.
    char name[80] = {0};
    if (Plat_Joystick_Open(name)) {
        joystick_guid = FIRST_JOYSTICK_GUID;
        name[79] = 0;
        std::memcpy(joyname, name, sizeof joyname);
    }
    DIDEVICE *d = nullptr;
    if (create_device(DIDEV_JOYSTICK, &d) != DI_OK) return 0;
    lpdijoy = d;
    if (set_cooperative_level(d, DISCL_BACKGROUND | DISCL_NONEXCLUSIVE) != DI_OK) return 0;
    if (set_data_format(d) != DI_OK) return 0;
    // Bad ranges or dead zones are refused by the device and leave its defaults in place.
    set_range(d, 0, min_x, max_x);
    set_range(d, 1, min_y, max_y);
    set_dead_zone(d, 0, dead_zone * 100);
    set_dead_zone(d, 1, dead_zone * 100);
    if (acquire(d) != DI_OK) return 0;
    joystick_found = 1;
    return 1;
}

int DInput_Scale_Axis(int raw, int min, int max, int dead_zone) {
    if (raw < -32768) raw = -32768;
    if (raw > 32767) raw = 32767;
    if (dead_zone < 0) dead_zone = 0;
    if (dead_zone > 10000) dead_zone = 10000;
    int64_t center = (int64_t)min + ((int64_t)max - min) / 2;
    // Each half of the travel is scaled on its own, so both ends reach min and max exactly.
    int64_t travel = raw >= 0 ? 32767 : 32768;
    int64_t mag = raw >= 0 ? raw : -(int64_t)raw;
    int64_t dead = travel * dead_zone / 10000;
    if (mag <= dead) return (int)center;
    int64_t span = raw >= 0 ? (int64_t)max - center : center - min;
    int64_t den = travel - dead;
    // Rounded to the nearest step, halves away from the centre.
    int64_t offset = ((mag - dead) * span * 2 + den) / (den * 2);
    return (int)(raw >= 0 ? center + offset : center - offset);
}

int DInput_Read_Joystick() {
    if (!joystick_found) return 0;
    if (!lpdijoy) {
        std::memset(&joy_state, 0, sizeof joy_state);
        return 0;
    }
    // Poll, then the state.
    if (!readable(lpdijoy)) return 0;
    Plat_Joystick js;
    if (!Plat_Joystick_Read(&js)) return 0;
    const DIDEVICE *d = lpdijoy;
    joy_state.lX = DInput_Scale_Axis(js.axis[0], d->range_min[0], d->range_max[0], d->dead_zone[0]);
    joy_state.lY = DInput_Scale_Axis(js.axis[1], d->range_min[1], d->range_max[1], d->dead_zone[1]);
    joy_state.lZ = DInput_Scale_Axis(js.axis[2], 0, 65535, 0);
    joy_state.lRx = DInput_Scale_Axis(js.axis[3], 0, 65535, 0);
    joy_state.lRy = DInput_Scale_Axis(js.axis[4], 0, 65535, 0);
    joy_state.lRz = DInput_Scale_Axis(js.axis[5], 0, 65535, 0);
    joy_state.rglSlider[0] = joy_state.rglSlider[1] = 0;
    joy_state.rgdwPOV[0] = js.pov < 0 ? 0xFFFFFFFFu : (uint32_t)js.pov;
    joy_state.rgdwPOV[1] = joy_state.rgdwPOV[2] = joy_state.rgdwPOV[3] = 0xFFFFFFFFu;
    std::memcpy(joy_state.rgbButtons, js.buttons, sizeof joy_state.rgbButtons);
    return 1;
}

void DInput_Release_Joystick() {
    if (!lpdijoy) return;
    if (lpdijoy->created) Plat_Joystick_Close();
    unacquire_and_release(lpdijoy);
}
