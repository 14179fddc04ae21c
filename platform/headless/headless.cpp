// The headless backend: a virtual millisecond clock that moves only when waited on, scripted
// keys, mouse and joystick, queued window events, captured frames and captured audio.
#include "platform/headless/headless.h"
#include "platform/dik.h"
#include "platform/input_map.h"
#include "platform/os/os_file.h"
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int EVENT_QUEUE_SIZE = 256;
// Longest stretch of audio a single wait pulls: beyond it nothing observable changes any more,
// and a wait across hours of virtual time must not take hours of real time.
constexpr uint32_t MAX_AUDIO_PULL_MS = 60000;

} // namespace

struct Headless_State {
    int started = 0;
    std::string init_failure; // non-empty: Plat_Init fails with it
    std::string error;
    uint32_t clock = 0;

    int window_available = 1, audio_available = 1;
    int window_open = 0;
    int cursor_shown = 1;
    int screensaver_inhibited = 0;
    int paused = 0;
    int fullscreen = 1;
    std::string desktop_title;
    int window_w = 0, window_h = 0;
    int refresh_hz = 0;
    int desktop_w = 0, desktop_h = 0; // the simulated usable desktop (0: unknown)

    Headless_Key_Source key_source = nullptr;
    void *key_user = nullptr;
    uint8_t held[256] = {};
    uint8_t latest[256] = {};
    int reads = 0;
    int fail_reads = 0;
    int escape_latched = 0;
    uint32_t pad = 0;
    int mapped = 0; // 1 once an input map was set: key scripts stay the game's own codes until then
    Plat_Input_Map map = {};

    Plat_Event events[EVENT_QUEUE_SIZE] = {};
    int event_head = 0, event_count = 0;

    Headless_Frame_Hook frame_hook = nullptr;
    void *frame_user = nullptr;
    int frames = 0;

    Plat_Audio_Callback audio_cb = nullptr;
    void *audio_user = nullptr;
    int audio_rate = 0;
    uint32_t audio_remainder = 0; // rate * ms not yet pulled, in thousandths of a frame
    int capture = 0;
    std::vector<int16_t> captured;
    Headless_Audio_Sink audio_sink = nullptr;
    void *sink_user = nullptr;

    int mouse_dx = 0, mouse_dy = 0, mouse_dz = 0;
    uint8_t mouse_buttons[4] = {};

    int joystick_attached = 0, joystick_open = 0;
    char joystick_name[80] = {};
    Plat_Joystick joystick = {{0, 0, 0, 0, 0, 0}, -1, {}};
};

namespace {

Headless_State hs;

} // namespace

// ---- controls ----

void Headless_Reset(uint32_t start_ms) {
    hs = Headless_State{};
    hs.clock = start_ms;
}

void Headless_Set_Clock(uint32_t ms) {
    hs.clock = ms;
}

int Headless_Keyboard_Reads() {
    return hs.reads;
}

void Headless_Set_Key_Source(Headless_Key_Source src, void *user) {
    hs.key_source = src;
    hs.key_user = user;
}

void Headless_Set_Key(int dik, int down) {
    if (dik < 0 || dik > 255) return;
    hs.held[dik] = down ? 0x80 : 0;
}

void Headless_Push_Event(Plat_Event ev) {
    // Closing the window ends the program the way Escape does, wherever the game is.
    if (ev.type == PLAT_EV_QUIT) hs.escape_latched = 1;
    if (hs.event_count >= EVENT_QUEUE_SIZE) return;
    hs.events[(hs.event_head + hs.event_count) % EVENT_QUEUE_SIZE] = ev;
    hs.event_count++;
}

void Headless_Set_Frame_Hook(Headless_Frame_Hook hook, void *user) {
    hs.frame_hook = hook;
    hs.frame_user = user;
}

int Headless_Frames_Presented() {
    return hs.frames;
}

int Headless_Window_Open() {
    return hs.window_open;
}

void Headless_Set_Available(int window, int audio) {
    hs.window_available = window != 0;
    hs.audio_available = audio != 0;
}

void Headless_Capture_Audio(int on) {
    hs.capture = on != 0;
}

const std::vector<int16_t> &Headless_Audio() {
    return hs.captured;
}

void Headless_Pull_Audio(int frames, int16_t *out) {
    if (frames <= 0) return;
    std::vector<int16_t> scratch;
    if (!out) {
        scratch.resize((size_t)frames * 2);
        out = scratch.data();
    }
    if (hs.audio_cb)
        hs.audio_cb(out, frames, hs.audio_user);
    else
        std::memset(out, 0, sizeof(int16_t) * 2 * (size_t)frames);
    if (!hs.capture) return;
    if (hs.audio_sink)
        hs.audio_sink(out, frames, hs.sink_user);
    else
        hs.captured.insert(hs.captured.end(), out, out + (size_t)frames * 2);
}

void Headless_Set_Audio_Sink(Headless_Audio_Sink sink, void *user) {
    hs.audio_sink = sink;
    hs.sink_user = user;
}

namespace {

void put_le(std::FILE *f, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++)
        std::fputc((int)((v >> (8 * i)) & 0xFF), f);
}

} // namespace

int Headless_Write_Audio_Wav(const char *path) {
    if (!path) return 0;
    uint64_t data_bytes = (uint64_t)hs.captured.size() * 2;
    if (data_bytes > 0xFFFFFFFFull - 36) return 0; // does not fit a RIFF size field
    uint32_t rate = hs.audio_rate > 0 ? (uint32_t)hs.audio_rate : 44100;
    std::FILE *f = Os_Fopen(path, "wb");
    if (!f) return 0;
    std::fwrite("RIFF", 1, 4, f);
    put_le(f, (uint32_t)(36 + data_bytes), 4);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put_le(f, 16, 4);       // format chunk size
    put_le(f, 1, 2);        // PCM
    put_le(f, 2, 2);        // channels
    put_le(f, rate, 4);     // frames per second
    put_le(f, rate * 4, 4); // bytes per second
    put_le(f, 4, 2);        // bytes per frame
    put_le(f, 16, 2);       // bits per sample
    std::fwrite("data", 1, 4, f);
    put_le(f, (uint32_t)data_bytes, 4);
    // Samples are written byte by byte so the file is little-endian on any machine.
    for (int16_t s : hs.captured)
        put_le(f, (uint16_t)s, 2);
    int ok = !std::ferror(f);
    if (std::fclose(f) != 0) ok = 0;
    return ok;
}

void Headless_Fail_Init(const char *reason) {
    hs.init_failure = reason ? reason : "";
}

void Headless_Fail_Reads(int on) {
    hs.fail_reads = on != 0;
}

void Headless_Move_Mouse(int dx, int dy, int dz) {
    hs.mouse_dx += dx;
    hs.mouse_dy += dy;
    hs.mouse_dz += dz;
}

void Headless_Set_Mouse_Button(int button, int down) {
    if (button < 0 || button > 3) return;
    hs.mouse_buttons[button] = down ? 0x80 : 0;
}

void Headless_Set_Joystick(const char *name) {
    hs.joystick_attached = name != nullptr;
    std::snprintf(hs.joystick_name, sizeof hs.joystick_name, "%s", name ? name : "");
    if (!name) hs.joystick_open = 0;
}

void Headless_Set_Joystick_State(const Plat_Joystick &js) {
    hs.joystick = js;
}

int Headless_Cursor_Shown() {
    return hs.cursor_shown;
}

int Headless_Screensaver_Inhibited() {
    return hs.screensaver_inhibited;
}

int Headless_Audio_Rate() {
    return hs.audio_rate;
}

void Headless_Set_Refresh(int hz) {
    hs.refresh_hz = hz > 0 ? hz : 0;
}

void Headless_Set_Desktop(int width, int height) {
    hs.desktop_w = width > 0 && height > 0 ? width : 0;
    hs.desktop_h = width > 0 && height > 0 ? height : 0;
}

// ---- the platform interface ----

int Plat_Init() {
    if (!hs.init_failure.empty()) {
        hs.error = hs.init_failure;
        return 0;
    }
    hs.started = 1;
    return 1;
}

void Plat_Quit() {
    Plat_Close_Window();
    Plat_Audio_Close();
    Plat_Joystick_Close();
    hs.started = 0;
}

const char *Plat_Error() {
    return hs.error.c_str();
}

const char *Plat_Base_Path() {
    static std::string base;
    static int looked = 0;
    if (!looked) {
        looked = 1;
        std::string p = Os_Program_Path();
        size_t slash = p.find_last_of(OS_PATH_SEPARATORS);
        if (slash != std::string::npos) base = p.substr(0, slash + 1);
    }
    return base.c_str();
}

int Plat_Open_Window(const char *, int width, int height) {
    if (!hs.window_available) {
        hs.error = "no window can be opened (headless backend told to refuse)";
        return 0;
    }
    if (width <= 0 || height <= 0) {
        hs.error = "window size must be positive";
        return 0;
    }
    hs.window_open = 1;
    return 1;
}

void Plat_Close_Window() {
    hs.window_open = 0;
}

int Plat_Present(const uint16_t *pixels, int width, int height, int pitch_bytes, int packing) {
    // A frame is captured whether or not a window is open, so the game can run without a shell.
    if (!pixels || width <= 0 || height <= 0 || pitch_bytes < width * 2) return 0;
    if (packing != 15 && packing != 16) return 0;
    hs.frames++;
    if (hs.frame_hook) hs.frame_hook(pixels, width, height, pitch_bytes, packing, hs.frame_user);
    return 1;
}

void Plat_Show_Cursor(int show) {
    hs.cursor_shown = show != 0;
}

void Plat_Inhibit_Screensaver(int on) {
    hs.screensaver_inhibited = on != 0;
}

void Plat_Toggle_Fullscreen() {
    hs.fullscreen = !hs.fullscreen;
}

void Plat_Set_Window(const char *desktop_title, int width, int height) {
    hs.desktop_title = desktop_title ? desktop_title : "";
    hs.window_w = width > 0 && height > 0 ? width : 0;
    hs.window_h = width > 0 && height > 0 ? height : 0;
}

void Plat_Window_State(int *fullscreen, int *width, int *height) {
    if (fullscreen) *fullscreen = hs.fullscreen;
    if (width) *width = hs.window_w > 0 ? hs.window_w : 800;
    if (height) *height = hs.window_h > 0 ? hs.window_h : 600;
}

const char *Headless_Desktop_Title() {
    return hs.desktop_title.c_str();
}

int Plat_Desktop_Size(int *width, int *height) {
    if (!hs.desktop_w) return 0;
    if (width) *width = hs.desktop_w;
    if (height) *height = hs.desktop_h;
    return 1;
}

void Headless_Set_Pad(uint32_t buttons) {
    hs.pad = buttons;
}

uint32_t Plat_Read_Pad() {
    return hs.pad;
}

void Plat_Set_Input_Map(const uint8_t keys[256], const uint8_t pad[PLAT_PAD_BUTTONS]) {
    hs.mapped = keys && pad;
    if (!hs.mapped) return;
    std::memcpy(hs.map.keys, keys, sizeof hs.map.keys);
    std::memcpy(hs.map.pad, pad, sizeof hs.map.pad);
}

// Scaling only changes how a real window shows the picture; nothing here shows one.
void Plat_Set_Display(int fullscreen, int) {
    hs.fullscreen = fullscreen != 0;
}

void Plat_Pause(int on) {
    hs.paused = on != 0;
}

int Plat_Refresh_Rate() {
    return hs.refresh_hz;
}

// Presents here never wait for a display: the simulated refresh is Headless_Set_Refresh's.
void Plat_Set_Vsync(int) {}

int Headless_Paused() {
    return hs.paused;
}

int Plat_Poll_Event(Plat_Event *ev) {
    if (!ev || hs.event_count == 0) return 0;
    *ev = hs.events[hs.event_head];
    hs.event_head = (hs.event_head + 1) % EVENT_QUEUE_SIZE;
    hs.event_count--;
    return 1;
}

int Plat_Read_Keyboard(uint8_t state[256]) {
    if (!state || hs.fail_reads) return 0;
    int index = hs.reads++;
    if (hs.key_source) {
        std::memset(state, 0, 256);
        hs.key_source(index, state, hs.key_user);
    } else {
        std::memcpy(state, hs.held, 256);
    }
    if (hs.mapped) Plat_Map_Input(hs.map, state, hs.pad, state);
    if (hs.escape_latched) state[DIK_ESCAPE] = 0x80;
    std::memcpy(hs.latest, state, 256);
    return 1;
}

int Plat_Key_Down(int dik) {
    if (dik < 0 || dik > 255) return 0;
    return hs.latest[dik] != 0;
}

int Plat_Read_Mouse(int *dx, int *dy, int *dz, uint8_t buttons[4]) {
    if (hs.fail_reads) return 0;
    if (dx) *dx = hs.mouse_dx;
    if (dy) *dy = hs.mouse_dy;
    if (dz) *dz = hs.mouse_dz;
    if (buttons) std::memcpy(buttons, hs.mouse_buttons, 4);
    hs.mouse_dx = hs.mouse_dy = hs.mouse_dz = 0;
    return 1;
}

int Plat_Joystick_Open(char name[80]) {
    if (!hs.joystick_attached) return 0;
    hs.joystick_open = 1;
    if (name) std::snprintf(name, 80, "%s", hs.joystick_name);
    return 1;
}

int Plat_Joystick_Read(Plat_Joystick *js) {
    if (!js || !hs.joystick_open || hs.fail_reads) return 0;
    *js = hs.joystick;
    return 1;
}

void Plat_Joystick_Close() {
    hs.joystick_open = 0;
}

uint32_t Plat_Ticks() {
    return hs.clock;
}

void Plat_Wait_Until(uint32_t tick) {
    // Differences are taken in 32-bit arithmetic, so a target past the wrap still lies ahead.
    int32_t ahead = (int32_t)(tick - hs.clock);
    if (ahead <= 0) return;
    uint32_t elapsed = (uint32_t)ahead;
    hs.clock = tick;
    // A paused output pulls nothing: the mix resumes where it stopped.
    if (!hs.audio_cb || hs.audio_rate <= 0 || hs.paused) return;
    if (elapsed > MAX_AUDIO_PULL_MS) elapsed = MAX_AUDIO_PULL_MS;
    uint64_t total = (uint64_t)hs.audio_rate * elapsed + hs.audio_remainder;
    hs.audio_remainder = (uint32_t)(total % 1000);
    int64_t frames = (int64_t)(total / 1000);
    int16_t chunk[2 * 1024];
    while (frames > 0) {
        int n = frames > 1024 ? 1024 : (int)frames;
        Headless_Pull_Audio(n, chunk);
        frames -= n;
    }
}

int Plat_Audio_Open(int want_rate, int buffer_frames, Plat_Audio_Callback cb, void *user,
                    int *rate) {
    if (!hs.audio_available) {
        hs.error = "no audio device (headless backend told to refuse)";
        return 0;
    }
    if (!cb || want_rate <= 0 || buffer_frames <= 0) {
        hs.error = "bad audio request";
        return 0;
    }
    hs.audio_cb = cb;
    hs.audio_user = user;
    hs.audio_rate = want_rate;
    hs.audio_remainder = 0;
    if (rate) *rate = want_rate;
    return 1;
}

void Plat_Audio_Close() {
    hs.audio_cb = nullptr;
    hs.audio_user = nullptr;
}
