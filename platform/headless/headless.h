// Controls of the headless backend for tests and tools: a virtual clock that moves only when
// waited on, scripted keys, captured frames and captured audio.
#pragma once
#include <cstdint>
#include <vector>
#include "platform/platform.h"

// Resets the whole backend: clock at start_ms, no keys, no frames, no audio captured.
void Headless_Reset(uint32_t start_ms);
// Sets the virtual clock.
void Headless_Set_Clock(uint32_t ms);
// Number of keyboard reads made so far (the index the next read gets).
int Headless_Keyboard_Reads();
// Called at each keyboard read with the read's index; fills the 256-byte DIK state it returns.
using Headless_Key_Source = void (*)(int read_index, uint8_t state[256], void *user);
// Installs the key source (null: no keys down).
void Headless_Set_Key_Source(Headless_Key_Source src, void *user);
// Holds a key down (1) or releases it (0) for all following reads (when no key source is set).
void Headless_Set_Key(int dik, int down);
// Queues a window event for Plat_Poll_Event (at most 256 wait; more are dropped). A
// PLAT_EV_QUIT, like closing the real window, also holds Escape down in every later read.
void Headless_Push_Event(Plat_Event ev);
// Called with every presented frame (pixels, size, pitch in bytes, packing).
using Headless_Frame_Hook = void (*)(const uint16_t *px, int w, int h, int pitch_bytes, int packing,
                                     void *user);
// Installs the frame hook (null: none).
void Headless_Set_Frame_Hook(Headless_Frame_Hook hook, void *user);
// Number of frames presented since the reset.
int Headless_Frames_Presented();
// Whether a window is open.
int Headless_Window_Open();
// Makes Plat_Open_Window and Plat_Audio_Open succeed (1) or fail (0).
void Headless_Set_Available(int window, int audio);
// Turns capture of the audio that virtual time pulls from the callback on or off.
void Headless_Capture_Audio(int on);
// The captured interleaved stereo samples.
const std::vector<int16_t> &Headless_Audio();
// Receives captured audio as it is pulled: interleaved stereo samples, frames of them.
using Headless_Audio_Sink = void (*)(const int16_t *samples, int frames, void *user);
// Sends captured audio to sink instead of keeping it in memory (null: keep it, the default).
void Headless_Set_Audio_Sink(Headless_Audio_Sink sink, void *user);
// Pulls frames stereo frames from the audio callback now (also captured when capture is on).
void Headless_Pull_Audio(int frames, int16_t *out);
// Writes the captured audio as a 16-bit stereo .wav file; 1 on success.
int Headless_Write_Audio_Wav(const char *path);

// ---- additions: failure paths, mouse, joystick and the window-system state ----

// Makes Plat_Init fail with this reason (null: it succeeds).
void Headless_Fail_Init(const char *reason);
// Makes keyboard, mouse and joystick reads fail (on != 0) without changing the held state.
void Headless_Fail_Reads(int on);
// Adds relative mouse motion for the next Plat_Read_Mouse.
void Headless_Move_Mouse(int dx, int dy, int dz);
// Holds mouse button 0..3 down (1) or releases it (0).
void Headless_Set_Mouse_Button(int button, int down);
// Attaches a joystick with this product name (null: none attached).
void Headless_Set_Joystick(const char *name);
// Sets what the attached joystick reports.
void Headless_Set_Joystick_State(const Plat_Joystick &js);
// Whether the mouse pointer is shown over the window (1 after a reset).
int Headless_Cursor_Shown();
// Whether the platform was last told to pause (Plat_Pause).
int Headless_Paused();
// Whether the screen saver is being kept away.
int Headless_Screensaver_Inhibited();
// Makes the simulated display refresh hz times a second (0, the default after a reset: none).
void Headless_Set_Refresh(int hz);
// Makes the simulated usable desktop width x height (0 x 0, the default after a reset: unknown).
void Headless_Set_Desktop(int width, int height);
// Sample rate of the audio output last opened (0 if none was).
int Headless_Audio_Rate();
// The name the desktop would show for the window (Plat_Set_Window).
const char *Headless_Desktop_Title();
// Holds these controller buttons (bit n for PLAT_PAD_* n) for Plat_Read_Pad and, once an input
// map is set, for keyboard reads.
void Headless_Set_Pad(uint32_t buttons);
