// The browser's physical key codes as DirectInput scan codes, the frame pace of the page and the
// display's refresh read from its animation callbacks.
#include "platform/web/web_keys.h"
#include "platform/dik.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct Code_Pair {
    const char *code;
    unsigned char dik;
};

constexpr Code_Pair pairs[] = {
    {"Escape", DIK_ESCAPE},
    {"Digit1", DIK_1},
    {"Digit2", DIK_2},
    {"Digit3", DIK_3},
    {"Digit4", DIK_4},
    {"Digit5", DIK_5},
    {"Digit6", DIK_6},
    {"Digit7", DIK_7},
    {"Digit8", DIK_8},
    {"Digit9", DIK_9},
    {"Digit0", DIK_0},
    {"Minus", DIK_MINUS},
    {"Equal", DIK_EQUALS},
    {"Backspace", DIK_BACK},
    {"Tab", DIK_TAB},
    {"KeyQ", DIK_Q},
    {"KeyW", DIK_W},
    {"KeyE", DIK_E},
    {"KeyR", DIK_R},
    {"KeyT", DIK_T},
    {"KeyY", DIK_Y},
    {"KeyU", DIK_U},
    {"KeyI", DIK_I},
    {"KeyO", DIK_O},
    {"KeyP", DIK_P},
    {"BracketLeft", DIK_LBRACKET},
    {"BracketRight", DIK_RBRACKET},
    {"Enter", DIK_RETURN},
    {"ControlLeft", DIK_LCONTROL},
    {"KeyA", DIK_A},
    {"KeyS", DIK_S},
    {"KeyD", DIK_D},
    {"KeyF", DIK_F},
    {"KeyG", DIK_G},
    {"KeyH", DIK_H},
    {"KeyJ", DIK_J},
    {"KeyK", DIK_K},
    {"KeyL", DIK_L},
    {"Semicolon", DIK_SEMICOLON},
    {"Quote", DIK_APOSTROPHE},
    {"Backquote", DIK_GRAVE},
    {"ShiftLeft", DIK_LSHIFT},
    {"Backslash", DIK_BACKSLASH},
    {"KeyZ", DIK_Z},
    {"KeyX", DIK_X},
    {"KeyC", DIK_C},
    {"KeyV", DIK_V},
    {"KeyB", DIK_B},
    {"KeyN", DIK_N},
    {"KeyM", DIK_M},
    {"Comma", DIK_COMMA},
    {"Period", DIK_PERIOD},
    {"Slash", DIK_SLASH},
    {"ShiftRight", DIK_RSHIFT},
    {"NumpadMultiply", DIK_MULTIPLY},
    {"AltLeft", DIK_LMENU},
    {"Space", DIK_SPACE},
    {"CapsLock", DIK_CAPITAL},
    {"F1", DIK_F1},
    {"F2", DIK_F2},
    {"F3", DIK_F3},
    {"F4", DIK_F4},
    {"F5", DIK_F5},
    {"F6", DIK_F6},
    {"F7", DIK_F7},
    {"F8", DIK_F8},
    {"F9", DIK_F9},
    {"F10", DIK_F10},
    {"NumLock", DIK_NUMLOCK},
    {"ScrollLock", DIK_SCROLL},
    {"Numpad7", DIK_NUMPAD7},
    {"Numpad8", DIK_NUMPAD8},
    {"Numpad9", DIK_NUMPAD9},
    {"NumpadSubtract", DIK_SUBTRACT},
    {"Numpad4", DIK_NUMPAD4},
    {"Numpad5", DIK_NUMPAD5},
    {"Numpad6", DIK_NUMPAD6},
    {"NumpadAdd", DIK_ADD},
    {"Numpad1", DIK_NUMPAD1},
    {"Numpad2", DIK_NUMPAD2},
    {"Numpad3", DIK_NUMPAD3},
    {"Numpad0", DIK_NUMPAD0},
    {"NumpadDecimal", DIK_DECIMAL},
    {"IntlBackslash", DIK_OEM_102},
    {"F11", DIK_F11},
    {"F12", DIK_F12},
    {"F13", DIK_F13},
    {"F14", DIK_F14},
    {"F15", DIK_F15},
    {"KanaMode", DIK_KANA},
    {"IntlRo", DIK_ABNT_C1},
    {"Convert", DIK_CONVERT},
    {"NonConvert", DIK_NOCONVERT},
    {"IntlYen", DIK_YEN},
    {"NumpadEqual", DIK_NUMPADEQUALS},
    {"MediaTrackPrevious", DIK_PREVTRACK},
    {"MediaTrackNext", DIK_NEXTTRACK},
    {"NumpadEnter", DIK_NUMPADENTER},
    {"ControlRight", DIK_RCONTROL},
    {"AudioVolumeMute", DIK_MUTE},
    {"LaunchApp2", DIK_CALCULATOR},
    {"MediaPlayPause", DIK_PLAYPAUSE},
    {"MediaStop", DIK_MEDIASTOP},
    {"AudioVolumeDown", DIK_VOLUMEDOWN},
    {"AudioVolumeUp", DIK_VOLUMEUP},
    {"BrowserHome", DIK_WEBHOME},
    {"NumpadComma", DIK_NUMPADCOMMA},
    {"NumpadDivide", DIK_DIVIDE},
    {"PrintScreen", DIK_SYSRQ},
    {"AltRight", DIK_RMENU},
    {"Pause", DIK_PAUSE},
    {"Home", DIK_HOME},
    {"ArrowUp", DIK_UP},
    {"PageUp", DIK_PRIOR},
    {"ArrowLeft", DIK_LEFT},
    {"ArrowRight", DIK_RIGHT},
    {"End", DIK_END},
    {"ArrowDown", DIK_DOWN},
    {"PageDown", DIK_NEXT},
    {"Insert", DIK_INSERT},
    {"Delete", DIK_DELETE},
    {"MetaLeft", DIK_LWIN},
    {"MetaRight", DIK_RWIN},
    {"ContextMenu", DIK_APPS},
    {"Power", DIK_POWER},
    {"Sleep", DIK_SLEEP},
    {"WakeUp", DIK_WAKE},
    {"BrowserSearch", DIK_WEBSEARCH},
    {"BrowserFavorites", DIK_WEBFAVORITES},
    {"BrowserRefresh", DIK_WEBREFRESH},
    {"BrowserStop", DIK_WEBSTOP},
    {"BrowserForward", DIK_WEBFORWARD},
    {"BrowserBack", DIK_WEBBACK},
    {"LaunchApp1", DIK_MYCOMPUTER},
    {"LaunchMail", DIK_MAIL},
    {"MediaSelect", DIK_MEDIASELECT},
};

} // namespace

int Web_Dik_From_Code(const char *code) {
    if (!code) return 0;
    for (const Code_Pair &p : pairs)
        if (std::strcmp(p.code, code) == 0) return p.dik;
    return 0;
}

uint32_t Web_Pad_Buttons(unsigned buttons, int stick_x, int stick_y) {
    // The standard mapping's buttons in order (w3c.github.io/gamepad/#remapping): A B X Y, the
    // shoulders, the triggers (no desktop button), Back, Start, the sticks, the D-pad, Guide.
    static const int platform_button[] = {PLAT_PAD_A,
                                          PLAT_PAD_B,
                                          PLAT_PAD_X,
                                          PLAT_PAD_Y,
                                          PLAT_PAD_LEFTSHOULDER,
                                          PLAT_PAD_RIGHTSHOULDER,
                                          -1,
                                          -1,
                                          PLAT_PAD_BACK,
                                          PLAT_PAD_START,
                                          PLAT_PAD_LEFTSTICK,
                                          PLAT_PAD_RIGHTSTICK,
                                          PLAT_PAD_DPUP,
                                          PLAT_PAD_DPDOWN,
                                          PLAT_PAD_DPLEFT,
                                          PLAT_PAD_DPRIGHT,
                                          PLAT_PAD_GUIDE};
    uint32_t held = 0;
    for (int b = 0; b < (int)(sizeof platform_button / sizeof platform_button[0]); b++)
        if ((buttons >> b & 1u) && platform_button[b] >= 0) held |= 1u << platform_button[b];
    if (stick_x < -WEB_STICK_THRESHOLD) held |= 1u << PLAT_PAD_DPLEFT;
    if (stick_x > WEB_STICK_THRESHOLD) held |= 1u << PLAT_PAD_DPRIGHT;
    if (stick_y < -WEB_STICK_THRESHOLD) held |= 1u << PLAT_PAD_DPUP;
    if (stick_y > WEB_STICK_THRESHOLD) held |= 1u << PLAT_PAD_DPDOWN;
    return held;
}

void Web_Pace_Start(Web_Pace *p, double wall, uint32_t clock) {
    *p = Web_Pace{wall, clock, 0, 0};
}

void Web_Pace_New_Callback(Web_Pace *p) {
    p->callback++;
    p->runs = 0;
}

int Web_Pace_Try_Run(Web_Pace *p, uint32_t tick, double wall) {
    if (p->runs >= WEB_PACE_MAX_RUNS) return 0;
    // The clock wraps at 2^32 ms; a difference taken in 32 bits stays right across the wrap.
    double due = p->wall0 + (double)(int32_t)(tick - p->clock0);
    if (wall < due) return 0;
    // The origin follows each frame, so differences stay small however long the page runs; a
    // game further behind than the limit gives up the rest and keeps only that much to make up.
    p->wall0 = wall - due > WEB_PACE_MAX_LAG ? wall - WEB_PACE_MAX_LAG : due;
    p->clock0 = tick;
    return 1;
}

void Web_Pace_Frame_Begun(Web_Pace *p) {
    p->runs++;
}

void Web_Refresh_Start(Web_Refresh *r) {
    *r = Web_Refresh{};
    r->last = -1;
}

void Web_Refresh_Note(Web_Refresh *r, double ms, int consecutive) {
    const double interval = ms - r->last;
    const int usable = consecutive && r->last >= 0 && interval > 0;
    r->last = ms;
    if (!usable) return;
    r->intervals[r->next] = interval;
    r->next = (r->next + 1) % WEB_REFRESH_SAMPLES;
    if (r->count < WEB_REFRESH_SAMPLES) r->count++;
}

int Web_Refresh_Hz(const Web_Refresh &r) {
    if (r.count < WEB_REFRESH_SAMPLES) return WEB_REFRESH_DEFAULT_HZ;
    double sorted[WEB_REFRESH_SAMPLES];
    std::copy(r.intervals, r.intervals + WEB_REFRESH_SAMPLES, sorted);
    std::nth_element(sorted, sorted + WEB_REFRESH_SAMPLES / 2, sorted + WEB_REFRESH_SAMPLES);
    const long hz = std::lround(1000.0 / sorted[WEB_REFRESH_SAMPLES / 2]);
    return (int)std::clamp(hz, 20L, 500L);
}
