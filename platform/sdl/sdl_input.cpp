// The SDL backend's events and input: the event queue, the keyboard snapshot by scan code (with
// the game controller's buttons ORed in), relative mouse motion and the joystick.
#include "platform/platform.h"
#include "platform/os/os_file.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/dik.h"
#include "platform/input_map.h"
#include <cstdio>
#include <cstring>

namespace {

constexpr int EVENT_QUEUE_SIZE = 256;
// Left-stick travel past which the stick counts as an arrow key (about a quarter).
constexpr int STICK_THRESHOLD = 8000;

Plat_Event events[EVENT_QUEUE_SIZE];
int event_head = 0, event_count = 0;
uint8_t latest[256];
int escape_latched = 0;
// Keys pressed since the last read: a tap that starts and ends between two reads still counts.
uint8_t tapped[256];
int mouse_dx = 0, mouse_dy = 0, mouse_dz = 0;
SDL_GameController *controller = nullptr;
SDL_JoystickID controller_id = -1;
SDL_Joystick *joystick = nullptr;
Plat_Input_Map input_map;
int input_map_set = 0;

void push(int type, int dik) {
    if (event_count >= EVENT_QUEUE_SIZE) return; // a full queue drops; the state stays right
    events[(event_head + event_count) % EVENT_QUEUE_SIZE] = Plat_Event{type, dik};
    event_count++;
}

// Whether the window is still without the focus, hidden or minimised when the event is read.
// SDL 2.30 and later on Wayland hide and show the window while making it (the renderer re-creates
// it), so a hide already undone must not pause a game that nobody has left.
bool still_away(const SDL_WindowEvent &ev) {
    SDL_Window *window = SDL_GetWindowFromID(ev.windowID);
    if (!window) return true;
    Uint32 flags = SDL_GetWindowFlags(window);
    if (ev.event == SDL_WINDOWEVENT_FOCUS_LOST) return (flags & SDL_WINDOW_INPUT_FOCUS) == 0;
    if (ev.event == SDL_WINDOWEVENT_MINIMIZED) return (flags & SDL_WINDOW_MINIMIZED) != 0;
    return (flags & SDL_WINDOW_SHOWN) == 0 || (flags & SDL_WINDOW_HIDDEN) != 0;
}

} // namespace

void Sdl_Open_Controller() {
    if (controller) return;
    for (int i = 0; i < SDL_NumJoysticks(); i++) {
        if (!SDL_IsGameController(i)) continue;
        controller = SDL_GameControllerOpen(i);
        if (controller) {
            controller_id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
            return;
        }
    }
}

void Sdl_Close_Controller() {
    if (controller) SDL_GameControllerClose(controller);
    controller = nullptr;
    controller_id = -1;
}

void Sdl_Pump_Events() {
    Sdl_Tend_Audio(); // the main thread's regular pass: a stream that ran dry is deepened here
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT:
            // Closing the window ends the program the way Escape does, wherever the game is.
            escape_latched = 1;
            push(PLAT_EV_QUIT, 0);
            break;
        case SDL_KEYDOWN:
            if (e.key.repeat) break;
            {
                if (e.key.keysym.scancode == SDL_SCANCODE_F11) Plat_Toggle_Fullscreen();
                int dik = Sdl_Dik_From_Scancode(e.key.keysym.scancode);
                if (dik) tapped[dik] = 0x80;
                push(PLAT_EV_KEY_DOWN, dik);
                break;
            }
        case SDL_KEYUP:
            push(PLAT_EV_KEY_UP, Sdl_Dik_From_Scancode(e.key.keysym.scancode));
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                Sdl_Window_Exposed();
                push(PLAT_EV_EXPOSE, 0);
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
            case SDL_WINDOWEVENT_MINIMIZED:
            case SDL_WINDOWEVENT_HIDDEN:
                if (still_away(e.window)) push(PLAT_EV_AWAY, 0);
                break;
            default:
                break;
            }
            break;
        case SDL_RENDER_TARGETS_RESET:
        case SDL_RENDER_DEVICE_RESET:
            Sdl_Forget_Texture();
            break;
        case SDL_MOUSEMOTION:
            mouse_dx += e.motion.xrel;
            mouse_dy += e.motion.yrel;
            break;
        case SDL_MOUSEWHEEL:
            mouse_dz += e.wheel.y * 120; // one notch is 120 units of wheel travel
            break;
        case SDL_CONTROLLERDEVICEADDED:
            Sdl_Open_Controller();
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (e.cdevice.which == controller_id) {
                Sdl_Close_Controller();
                Sdl_Open_Controller();
            }
            break;
        default:
            break;
        }
    }
}

void Sdl_Forget_Taps() {
    std::memset(tapped, 0, sizeof tapped);
}

int Plat_Poll_Event(Plat_Event *ev) {
    if (!ev) return 0;
    Sdl_Pump_Events();
    if (event_count == 0) return 0;
    *ev = events[event_head];
    event_head = (event_head + 1) % EVENT_QUEUE_SIZE;
    event_count--;
    return 1;
}

uint32_t Plat_Read_Pad() {
    if (!controller) return 0;
    uint32_t held = 0;
    for (int b = 0; b < PLAT_PAD_BUTTONS; b++)
        if (SDL_GameControllerGetButton(controller, (SDL_GameControllerButton)b)) held |= 1u << b;
    int lx = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
    int ly = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY);
    if (lx < -STICK_THRESHOLD) held |= 1u << PLAT_PAD_DPLEFT;
    if (lx > STICK_THRESHOLD) held |= 1u << PLAT_PAD_DPRIGHT;
    if (ly < -STICK_THRESHOLD) held |= 1u << PLAT_PAD_DPUP;
    if (ly > STICK_THRESHOLD) held |= 1u << PLAT_PAD_DPDOWN;
    return held;
}

void Plat_Set_Input_Map(const uint8_t keys[256], const uint8_t pad[PLAT_PAD_BUTTONS]) {
    Plat_Input_Map_Of(&input_map, keys, pad);
    input_map_set = 1;
}

namespace {

// With FARWAKE_KEY_TRACE naming a file, every key that a keyboard read sees go down is written
// there as "read N key K" (K the scan code): the desktop tests use it to tell which keys reached
// the game through the window manager.
void trace_presses(const uint8_t state[256]) {
    static FILE *trace = nullptr;
    static int opened = 0, reads = 0;
    if (!opened) {
        opened = 1;
        const char *path = SDL_getenv("FARWAKE_KEY_TRACE");
        if (path && *path) trace = Os_Fopen(path, "w");
    }
    if (trace) {
        for (int k = 0; k < 256; k++)
            if (state[k] && !latest[k]) std::fprintf(trace, "read %d key %d\n", reads, k);
        std::fflush(trace);
    }
    reads++;
}

} // namespace

int Plat_Read_Keyboard(uint8_t state[256]) {
    if (!state || !SDL_WasInit(SDL_INIT_VIDEO)) return 0;
    Sdl_Pump_Events();
    int n = 0;
    const Uint8 *keys = SDL_GetKeyboardState(&n);
    std::memset(state, 0, 256);
    for (int sc = 0; sc < n; sc++) {
        if (!keys[sc]) continue;
        int dik = Sdl_Dik_From_Scancode(sc);
        if (dik) state[dik] = 0x80;
    }
    for (int k = 0; k < 256; k++)
        state[k] |= tapped[k];
    std::memset(tapped, 0, sizeof tapped);
    // SDL's button numbers are the PLAT_PAD_* order.
    static_assert((int)SDL_CONTROLLER_BUTTON_DPAD_RIGHT == (int)PLAT_PAD_DPRIGHT,
                  "pad button order");
    if (!input_map_set) Plat_Set_Input_Map(nullptr, nullptr);
    Plat_Map_Input(input_map, state, Plat_Read_Pad(), state);
    if (escape_latched) state[DIK_ESCAPE] = 0x80;
    trace_presses(state);
    std::memcpy(latest, state, 256);
    return 1;
}

int Plat_Key_Down(int dik) {
    if (dik < 0 || dik > 255) return 0;
    return latest[dik] != 0;
}

int Plat_Read_Mouse(int *dx, int *dy, int *dz, uint8_t buttons[4]) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return 0;
    Sdl_Pump_Events();
    Uint32 held = SDL_GetMouseState(nullptr, nullptr);
    if (dx) *dx = mouse_dx;
    if (dy) *dy = mouse_dy;
    if (dz) *dz = mouse_dz;
    mouse_dx = mouse_dy = mouse_dz = 0;
    if (buttons) {
        buttons[0] = (held & SDL_BUTTON_LMASK) ? 0x80 : 0;
        buttons[1] = (held & SDL_BUTTON_RMASK) ? 0x80 : 0;
        buttons[2] = (held & SDL_BUTTON_MMASK) ? 0x80 : 0;
        buttons[3] = (held & SDL_BUTTON_X1MASK) ? 0x80 : 0;
    }
    return 1;
}

int Plat_Joystick_Open(char name[80]) {
    if (!SDL_WasInit(SDL_INIT_JOYSTICK)) return 0;
    if (!joystick && SDL_NumJoysticks() > 0) joystick = SDL_JoystickOpen(0);
    if (!joystick) return 0;
    const char *n = SDL_JoystickName(joystick);
    if (name) std::snprintf(name, 80, "%s", n ? n : "");
    return 1;
}

int Plat_Joystick_Read(Plat_Joystick *js) {
    if (!js || !joystick || !SDL_JoystickGetAttached(joystick)) return 0;
    SDL_JoystickUpdate();
    int axes = SDL_JoystickNumAxes(joystick);
    for (int i = 0; i < 6; i++)
        js->axis[i] = i < axes ? SDL_JoystickGetAxis(joystick, i) : 0;
    js->pov = -1;
    if (SDL_JoystickNumHats(joystick) > 0) {
        // Hundredths of a degree clockwise from up.
        switch (SDL_JoystickGetHat(joystick, 0)) {
        case SDL_HAT_UP:
            js->pov = 0;
            break;
        case SDL_HAT_RIGHTUP:
            js->pov = 4500;
            break;
        case SDL_HAT_RIGHT:
            js->pov = 9000;
            break;
        case SDL_HAT_RIGHTDOWN:
            js->pov = 13500;
            break;
        case SDL_HAT_DOWN:
            js->pov = 18000;
            break;
        case SDL_HAT_LEFTDOWN:
            js->pov = 22500;
            break;
        case SDL_HAT_LEFT:
            js->pov = 27000;
            break;
        case SDL_HAT_LEFTUP:
            js->pov = 31500;
            break;
        default:
            break;
        }
    }
    int buttons = SDL_JoystickNumButtons(joystick);
    for (int i = 0; i < 32; i++)
        js->buttons[i] = (i < buttons && SDL_JoystickGetButton(joystick, i)) ? 0x80 : 0;
    return 1;
}

void Plat_Joystick_Close() {
    if (joystick) SDL_JoystickClose(joystick);
    joystick = nullptr;
}
