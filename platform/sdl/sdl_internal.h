// Shared between the SDL backend's files: the window, the key table, the event pump and the
// recorded failure text.
#pragma once
#include <SDL.h>
#include <string>
#include "platform/sdl/sdl_keys.h"

// The game window, or null.
extern SDL_Window *sdl_window;
// The last failure, for Plat_Error.
extern std::string sdl_error;

// Records SDL's own text for the last failure, after a short account of what was tried.
void Sdl_Set_Error(const char *what);
// Moves SDL's pending events into the backend's queue and state (F11, closing, mouse motion).
void Sdl_Pump_Events();
// Drops the frame texture after the renderer lost its memory; the next frame makes a new one.
void Sdl_Forget_Texture();
// Opens the first game controller, if one is plugged in and none is open yet.
void Sdl_Open_Controller();
// Closes the game controller.
void Sdl_Close_Controller();
// Notes that the window was uncovered or resized: the next frame redraws the whole window.
void Sdl_Window_Exposed();
// Forgets the keys pressed since the last keyboard read: those of a pause reach no frame.
void Sdl_Forget_Taps();
// Stops (1) or restarts (0) pulling samples from the mixer, keeping the output open.
void Sdl_Pause_Audio(int on);
// Reopens the sound stream deeper when pulls came late (underruns) since the last open; called
// from the main thread's event pump.
void Sdl_Tend_Audio();
