// The web backend: the picture in a 2-D canvas, the page's keyboard by physical key, the game's
// clock paced by animation callbacks (waits suspend through Asyncify) and sound by Web Audio.
#include "platform/web/web.h"
#include "platform/web/web_internal.h"
#include "platform/web/web_keys.h"
#include "platform/web/web_picture.h"
#include "platform/dik.h"
#include "platform/input_map.h"
#include <emscripten.h>
#include <emscripten/html5.h>
#include <cstring>
#include <string>
#include <vector>

// ---- the page side -----------------------------------------------------------------------

// The bodies of these are JavaScript, which clang-format would take for C++.
// clang-format off
// Suspends until the next animation callback, keeping the callback's time.
EM_JS(void, web_next_frame, (), {
    Asyncify.handleSleep(function(wakeUp) {
        requestAnimationFrame(function(t) { Module.fwCallbackMs = t; wakeUp(); });
    });
});

// The time (ms) the last animation callback was given.
EM_JS(double, web_callback_ms, (), { return Module.fwCallbackMs || 0; });

// Suspends for one turn of the page's event loop.
EM_JS(void, web_yield, (), { Asyncify.handleSleep(function(wakeUp) { setTimeout(wakeUp, 0); }); });

EM_JS(double, web_date_ms, (), { return Date.now(); });

// Shows the picture's bytes (w x h at rgba) where the rectangle (x, y, rw, rh) changed; with no
// change the canvas is left alone, and the page is told of a picture all the same.
EM_JS(void, web_put_frame, (const uint8_t *rgba, int w, int h, int x, int y, int rw, int rh), {
    var c = Module["canvas"];
    if (!c) return;
    if (rw > 0) {
        if (c.width != w || c.height != h) {
            c.width = w;
            c.height = h;
        }
        if (!Module.fwContext) {
            Module.fwContext = c.getContext("2d", {alpha : false});
            // A canvas whose context the browser lost comes back blank: it takes the whole picture
            // again, which the bytes always hold.
            c.addEventListener("contextrestored", function() {
                if (Module.fwImage) Module.fwContext.putImageData(Module.fwImage, 0, 0);
            });
        }
        // One view of the bytes while the memory stays where it is: no garbage per picture.
        var img = Module.fwImage;
        if (!img || Module.fwImageAt != rgba || img.data.buffer != HEAPU8.buffer || img.width != w ||
            img.height != h) {
            img = Module.fwImage = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, w * h * 4), w, h);
            Module.fwImageAt = rgba;
        }
        Module.fwContext.putImageData(img, 0, 0, x, y, rw, rh);
        Module.fwCanvasUpdates = (Module.fwCanvasUpdates || 0) + 1;
    }
    if (Module["onFrame"]) Module["onFrame"]();
});

EM_JS(void, web_message, (const char *text), {
    if (Module["showMessage"]) Module["showMessage"](text ? UTF8ToString(text) : "");
});

EM_JS(void, web_cursor, (int show), {
    if (Module["canvas"]) Module["canvas"].style.cursor = show ? "default" : "none";
});

// The page owns fullscreen (F11 and its control reach it first, while the browser still
// counts the press as the player's); this asks it too.
EM_JS(void, web_fullscreen, (), {
    if (Module["toggleFullscreen"]) Module["toggleFullscreen"]();
});

// The standard-mapping gamepads' buttons (bit i: button i) ORed together, and the left stick
// of the first one that has it, in [-32768, 32767], through out[0] and out[1].
EM_JS(int, web_gamepads, (int *stick), {
    var pads = navigator.getGamepads ? navigator.getGamepads() : [];
    var bits = 0, x = 0, y = 0, stickTaken = false;
    for (var i = 0; i < pads.length; i++) {
        var p = pads[i];
        if (!p || !p.connected) continue;
        for (var b = 0; b < p.buttons.length && b < 31; b++)
            if (p.buttons[b].pressed) bits |= 1 << b;
        if (!stickTaken && p.axes.length >= 2) {
            x = Math.round(p.axes[0] * 32767);
            y = Math.round(p.axes[1] * 32767);
            stickTaken = true;
        }
    }
    HEAP32[stick >> 2] = x;
    HEAP32[(stick >> 2) + 1] = y;
    return bits;
});

// Tells the page that the game paused or resumed (its pause control shows which).
EM_JS(void, web_paused, (int on), {
    if (Module["onPause"]) Module["onPause"](on);
});
// clang-format on

// ---- state ---------------------------------------------------------------------------------

namespace {

// Room for the events of a few frames; a full queue drops, the keyboard state stays right.
constexpr int EVENT_QUEUE_SIZE = 256;

struct Web_State {
    int started = 0, listening = 0;
    std::string error;
    uint32_t clock = 0;
    int clock_set = 0;
    int unpaced = 0;
    double last_yield = 0;
    Web_Pace pace{};
    Web_Refresh refresh{};
    int callbacks_in_row = 0; // the last suspension was an animation callback
    int paused = 0;

    Plat_Event events[EVENT_QUEUE_SIZE] = {};
    int event_head = 0, event_count = 0;

    uint8_t held[256] = {};
    uint8_t pressed[256] = {}; // went down since the last read, however briefly
    uint8_t latest[256] = {};
    int reads = 0;
    Plat_Input_Map map{};
    int map_set = 0;
    Web_Key_Source key_source = nullptr;
    void *key_user = nullptr;

    Web_Frame_Hook frame_hook = nullptr;
    void *frame_user = nullptr;
    Web_Picture picture;
    int window_open = 0;
};

Web_State ws;

// Suspends until the next animation callback, timing the callbacks to learn the refresh.
void next_frame() {
    web_next_frame();
    Web_Refresh_Note(&ws.refresh, web_callback_ms(), ws.callbacks_in_row);
    ws.callbacks_in_row = 1;
}

void yield() {
    web_yield();
    ws.callbacks_in_row = 0;
}

void push(int type, int dik) {
    if (ws.event_count >= EVENT_QUEUE_SIZE) return;
    ws.events[(ws.event_head + ws.event_count) % EVENT_QUEUE_SIZE] = Plat_Event{type, dik};
    ws.event_count++;
}

// Presses made before now no longer reach the game (a pause, or the wait between runs, lets
// the keyboard go as the desktop's pause does).
void forget_taps() {
    std::memset(ws.pressed, 0, sizeof ws.pressed);
}

// The controllers' buttons held now, as the platform's pad buttons.
uint32_t pad_buttons() {
    int stick[2] = {0, 0};
    unsigned buttons = (unsigned)web_gamepads(stick);
    return Web_Pad_Buttons(buttons, stick[0], stick[1]);
}

// The keys and buttons held now (pad: the controllers', 0: none) as the game's keys, through the
// mapping the shell set (the built-in one until then).
void map_input(const uint8_t device[256], uint32_t pad, uint8_t game[256]) {
    if (!ws.map_set) Plat_Set_Input_Map(nullptr, nullptr);
    Plat_Map_Input(ws.map, device, pad, game);
}

EM_BOOL on_key(int type, const EmscriptenKeyboardEvent *e, void *) {
    int dik = Web_Dik_From_Code(e->code);
    if (!dik) return EM_FALSE; // keys the game does not know stay the browser's
    int down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    ws.held[dik] = down ? 0x80 : 0;
    if (down) ws.pressed[dik] = 0x80;
    // The shell sees key presses as the desktop's window does (P and Pause pause).
    if (!e->repeat) push(down ? PLAT_EV_KEY_DOWN : PLAT_EV_KEY_UP, dik);
    return EM_TRUE; // no scrolling, no tab focus change, no browser shortcut
}

void let_keys_go() {
    // Keys released while the page had no focus never report it.
    std::memset(ws.held, 0, sizeof ws.held);
    forget_taps();
    push(PLAT_EV_AWAY, 0);
}

EM_BOOL on_blur(int, const EmscriptenFocusEvent *, void *) {
    let_keys_go();
    return EM_FALSE;
}

EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent *e, void *) {
    if (e->hidden) let_keys_go();
    return EM_FALSE;
}

} // namespace

void Web_Set_Error(const char *why) {
    ws.error = why ? why : "";
}

// ---- controls ------------------------------------------------------------------------------

void Web_Set_Clock(uint32_t ms) {
    ws.clock = ms;
    ws.clock_set = 1;
    Web_Pace_Start(&ws.pace, emscripten_get_now(), ws.clock);
}

void Web_Set_Unpaced(int on) {
    ws.unpaced = on != 0;
}

void Web_Set_Key_Source(Web_Key_Source src, void *user) {
    ws.key_source = src;
    ws.key_user = user;
}

int Web_Keyboard_Reads() {
    return ws.reads;
}

void Web_Set_Frame_Hook(Web_Frame_Hook hook, void *user) {
    ws.frame_hook = hook;
    ws.frame_user = user;
}

void Web_Show_Message(const char *text) {
    web_message(text);
}

void Web_Wait_For_Key(int dik) {
    if (dik < 0 || dik > 255) return;
    // Only a press made from now on counts, not a key still held from before.
    ws.pressed[dik] = 0;
    uint8_t pad_was = 0x80; // nor a controller's button held since the game
    const uint8_t no_keys[256] = {};
    for (;;) {
        uint8_t pad[256];
        map_input(no_keys, pad_buttons(), pad);
        if (ws.pressed[dik] || (pad[dik] && !pad_was)) break;
        pad_was = pad[dik];
        next_frame();
    }
    // Nothing pressed while waiting reaches the next run (an Escape would skip its title).
    forget_taps();
    ws.event_count = 0;
    Web_Pace_Start(&ws.pace, emscripten_get_now(), ws.clock);
}

// ---- the platform interface ----------------------------------------------------------------

int Plat_Init() {
    if (!ws.listening) {
        const char *win = EMSCRIPTEN_EVENT_TARGET_WINDOW;
        emscripten_set_keydown_callback(win, nullptr, EM_TRUE, on_key);
        emscripten_set_keyup_callback(win, nullptr, EM_TRUE, on_key);
        emscripten_set_blur_callback(win, nullptr, EM_TRUE, on_blur);
        emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, on_visibility);
        ws.listening = 1;
        Web_Refresh_Start(&ws.refresh);
    }
    if (!ws.clock_set) Web_Set_Clock((uint32_t)(uint64_t)web_date_ms());
    ws.started = 1;
    return 1;
}

void Plat_Quit() {
    Plat_Close_Window();
    Plat_Audio_Close();
    ws.started = 0;
}

const char *Plat_Error() {
    return ws.error.c_str();
}

const char *Plat_Base_Path() {
    return "/"; // the data files are packed at the root of the page's file system
}

int Plat_Open_Window(const char *, int width, int height) {
    if (width <= 0 || height <= 0) {
        ws.error = "window size must be positive";
        return 0;
    }
    ws.window_open = 1;
    return 1;
}

void Plat_Close_Window() {
    ws.window_open = 0;
}

int Plat_Present(const uint16_t *pixels, int width, int height, int pitch_bytes, int packing) {
    if (!pixels || width <= 0 || height <= 0 || pitch_bytes < width * 2) return 0;
    if (packing != 15 && packing != 16) return 0;
    Web_Rect r = Web_Picture_Update(&ws.picture, pixels, width, height, pitch_bytes, packing);
    web_put_frame((const uint8_t *)ws.picture.rgba.data(), width, height, r.x, r.y, r.w, r.h);
    if (ws.frame_hook) ws.frame_hook(pixels, width, height, pitch_bytes, packing, ws.frame_user);
    return 1;
}

int Plat_Refresh_Rate() {
    // The animation callbacks' rate: the present schedule then has about one picture for each.
    return Web_Refresh_Hz(ws.refresh);
}

void Plat_Set_Vsync(int) {}

void Plat_Show_Cursor(int show) {
    web_cursor(show);
}

void Plat_Inhibit_Screensaver(int) {}

void Plat_Toggle_Fullscreen() {
    web_fullscreen();
}

int Plat_Poll_Event(Plat_Event *ev) {
    // A page is never closed from inside, and it repaints by itself: keys and focus only.
    if (!ev || ws.event_count == 0) return 0;
    *ev = ws.events[ws.event_head];
    ws.event_head = (ws.event_head + 1) % EVENT_QUEUE_SIZE;
    ws.event_count--;
    return 1;
}

int Plat_Read_Keyboard(uint8_t state[256]) {
    if (!state) return 0;
    int index = ws.reads++;
    Web_Pace_Frame_Begun(&ws.pace);
    if (ws.key_source) {
        std::memset(state, 0, 256);
        ws.key_source(index, state, ws.key_user);
    } else {
        // A press shorter than a frame still reaches the game, in the read after it.
        uint8_t device[256];
        for (int i = 0; i < 256; i++)
            device[i] = ws.held[i] | ws.pressed[i];
        forget_taps();
        map_input(device, pad_buttons(), state);
    }
    std::memcpy(ws.latest, state, 256);
    return 1;
}

int Plat_Key_Down(int dik) {
    if (dik < 0 || dik > 255) return 0;
    return ws.latest[dik] != 0;
}

int Plat_Read_Mouse(int *dx, int *dy, int *dz, uint8_t buttons[4]) {
    if (dx) *dx = 0;
    if (dy) *dy = 0;
    if (dz) *dz = 0;
    if (buttons) std::memset(buttons, 0, 4);
    return 1;
}

int Plat_Joystick_Open(char *) {
    return 0;
}

int Plat_Joystick_Read(Plat_Joystick *) {
    return 0;
}

void Plat_Joystick_Close() {}

uint32_t Plat_Ticks() {
    return ws.clock;
}

void Plat_Wait_Until(uint32_t tick) {
    int32_t ahead = (int32_t)(tick - ws.clock);
    if (ahead <= 0) return;
    if (ws.unpaced) {
        // Runs as fast as it can, but lets the page draw and take events a few times a second.
        double now = emscripten_get_now();
        if (now - ws.last_yield > 50) {
            yield();
            ws.last_yield = emscripten_get_now();
        }
    } else {
        while (!Web_Pace_Try_Run(&ws.pace, tick, emscripten_get_now())) {
            next_frame();
            Web_Pace_New_Callback(&ws.pace);
        }
    }
    ws.clock = tick;
}

// The page always shows the largest 4:3 picture that fits; the window's options do not apply.
void Plat_Set_Display(int, int) {}

void Plat_Pause(int on) {
    ws.paused = on != 0;
    Web_Audio_Hold(ws.paused);
    forget_taps();
    web_paused(ws.paused);
}

// The page names itself and sizes its canvas.
void Plat_Set_Window(const char *, int, int) {}

void Plat_Window_State(int *fullscreen, int *width, int *height) {
    if (fullscreen) *fullscreen = 0;
    if (width) *width = 800;
    if (height) *height = 600;
}

// The page sizes its canvas itself; there is no window to fit to a desktop.
int Plat_Desktop_Size(int *, int *) {
    return 0;
}

uint32_t Plat_Read_Pad() {
    return pad_buttons();
}

void Plat_Set_Input_Map(const uint8_t keys[256], const uint8_t pad[PLAT_PAD_BUTTONS]) {
    Plat_Input_Map_Of(&ws.map, keys, pad);
    ws.map_set = 1;
}
