// The one door from the portable engine and game to the machine: window, frames, events,
// keyboard/mouse/joystick, time and audio output. Two backends implement it
// (platform/sdl for the real game, platform/headless for tests and tools), chosen at link time.
#pragma once
#include <cstdint>
#include <vector>

// ---- start and stop -------------------------------------------------------------------------

// Starts the backend (video, events, timer); 1 on success, 0 with the reason in Plat_Error().
int Plat_Init();
// Stops the backend and releases everything it opened.
void Plat_Quit();
// Text of the last failure, for a one-line message to the user.
const char *Plat_Error();
// Folder of the running executable, ending in '/', or "" when unknown.
const char *Plat_Base_Path();

// ---- window and presentation ----------------------------------------------------------------

// Opens the one game window showing a width x height picture; 1 on success, 0 on failure.
int Plat_Open_Window(const char *title, int width, int height);
// Closes the game window if it is open.
void Plat_Close_Window();
// Shows a finished 16-bit frame; packing 15 reads the pixels as 5.5.5, 16 as 5.6.5. 1 on success.
int Plat_Present(const uint16_t *pixels, int width, int height, int pitch_bytes, int packing);
// Shows (1) or hides (0) the mouse pointer over the window.
void Plat_Show_Cursor(int show);
// Keeps the screen saver from starting while on is non-zero.
void Plat_Inhibit_Screensaver(int on);
// Switches between desktop-size fullscreen and a window.
void Plat_Toggle_Fullscreen();
// How the next window opens: fullscreen or a window, and whether the picture is scaled to fill
// it (0) or by whole multiples only (1).
void Plat_Set_Display(int fullscreen, int integer_scale);
// The display's refresh rate in Hz for the open window; 0 when unknown (no refresh schedule).
int Plat_Refresh_Rate();
// Asks presents to wait for the display's refresh (1) or not (0), where the system offers it.
void Plat_Set_Vsync(int on);
// Pauses (1) or resumes (0): the sound output stops pulling and the keyboard is let go.
void Plat_Pause(int on);
// How the next window opens beyond Plat_Set_Display: the name the desktop shows for it (null:
// the title the window system gives) and its size as a window (0 x 0: chosen to fit the desktop;
// a larger size is clamped to the desktop). F11 back to a window restores the size it last had.
void Plat_Set_Window(const char *desktop_title, int width, int height);
// Whether the window is fullscreen now, and the size it has (or last had) as a window.
void Plat_Window_State(int *fullscreen, int *width, int *height);
// The usable desktop's size (the first display without its docks and panels); 0 when unknown.
int Plat_Desktop_Size(int *width, int *height);

// ---- events and input -----------------------------------------------------------------------

// PLAT_EV_AWAY: the window lost the keyboard focus, or was minimised or hidden.
enum {
    PLAT_EV_NONE = 0,
    PLAT_EV_QUIT = 1,
    PLAT_EV_KEY_DOWN = 2,
    PLAT_EV_KEY_UP = 3,
    PLAT_EV_EXPOSE = 4,
    PLAT_EV_AWAY = 5
};

// One window event; dik is the DirectInput scan code of a key event.
struct Plat_Event {
    int type;
    int dik;
};

// Takes at most one pending window event; 1 if one was taken.
int Plat_Poll_Event(Plat_Event *ev);
// Refreshes and copies the keyboard by DirectInput scan code (0x80 down, 0 up); 1 on success.
// Each call is one keyboard read: it also pumps the platform's event queue.
int Plat_Read_Keyboard(uint8_t state[256]);
// Whether a key (DirectInput scan code) is down in the latest keyboard state, without a new read.
int Plat_Key_Down(int dik);
// Game-controller buttons, in the order their bits take in Plat_Read_Pad; the left stick pushed
// past a quarter of its travel counts as the matching direction button.
enum {
    PLAT_PAD_A,
    PLAT_PAD_B,
    PLAT_PAD_X,
    PLAT_PAD_Y,
    PLAT_PAD_BACK,
    PLAT_PAD_GUIDE,
    PLAT_PAD_START,
    PLAT_PAD_LEFTSTICK,
    PLAT_PAD_RIGHTSTICK,
    PLAT_PAD_LEFTSHOULDER,
    PLAT_PAD_RIGHTSHOULDER,
    PLAT_PAD_DPUP,
    PLAT_PAD_DPDOWN,
    PLAT_PAD_DPLEFT,
    PLAT_PAD_DPRIGHT,
    PLAT_PAD_BUTTONS
};
// The buttons held on the game controller now (bit n for button n); 0 when none is plugged in.
uint32_t Plat_Read_Pad();
// How keyboard reads turn the devices into the game's scan codes: a device key k becomes
// keys[k] (0: dropped) and pad button b becomes pad[b] (0: none). Null restores the built-in
// mapping (every key as itself, the controller's fixed layout).
void Plat_Set_Input_Map(const uint8_t keys[256], const uint8_t pad[PLAT_PAD_BUTTONS]);
// Relative mouse motion since the last call and 4 button bytes (0x80 pressed); 1 on success.
int Plat_Read_Mouse(int *dx, int *dy, int *dz, uint8_t buttons[4]);

// Joystick state in the shape the engine reports it.
struct Plat_Joystick {
    int axis[6];         // x, y, z, rx, ry, rz: -32768..32767
    int pov;             // hat in hundredths of a degree, -1 when centred
    uint8_t buttons[32]; // 0x80 pressed
};
// Opens the first attached joystick; 1 with its product name copied (<= 79 chars), else 0.
int Plat_Joystick_Open(char name[80]);
// Reads the open joystick; 1 on success.
int Plat_Joystick_Read(Plat_Joystick *js);
// Closes the joystick if one is open.
void Plat_Joystick_Close();

// ---- time -----------------------------------------------------------------------------------

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t Plat_Ticks();
// Returns once Plat_Ticks() has reached tick (sleeping most of the way, never ending early).
void Plat_Wait_Until(uint32_t tick);

// ---- audio ----------------------------------------------------------------------------------

// Fills frames stereo frames of interleaved 16-bit samples; runs on the audio thread.
using Plat_Audio_Callback = void (*)(int16_t *out, int frames, void *user);
// Opens the stereo output and starts pulling; 1 with the real rate in *rate, 0 if no device.
int Plat_Audio_Open(int want_rate, int buffer_frames, Plat_Audio_Callback cb, void *user,
                    int *rate);
// Stops pulling and closes the output.
void Plat_Audio_Close();
