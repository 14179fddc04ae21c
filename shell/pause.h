// The pause: P or Pause, or the window losing focus or being minimised, stops the game between
// frames; the last picture stays up, dimmed, with "Paused" over it, and the process sleeps.
#pragma once
#include "engine/window/window.h"

// Whether the game is paused: the pump then runs no game frame and reads no keyboard.
int Shell_Paused();
// Pauses (1) or resumes (0) the game, the sound and the keyboard grab with it.
void Shell_Set_Paused(int on);
// A key message of the window: the pause keys pause and resume, F1 or the menu key pauses and
// opens the menu (which then takes the keys), Escape ends a paused game.
void Shell_Pause_Key(HWND hwnd, int dik);
// Puts the paused game's dimmed picture back in the back surface, unshown; 0 when there is none.
int Shell_Pause_Backdrop();
// Shows the paused picture: the dimmed frame with "Paused" over it.
void Shell_Pause_Show();
// Shows the paused picture again (after the window was uncovered or resized).
void Shell_Pause_Repaint();
// One idle pass of a paused pump: the stop-signal hook, the controller's presses for the menu,
// then a short sleep, so a pause costs next to no processor time.
void Shell_Pause_Idle(HWND hwnd);
// Called on each nap of a paused pump (null: nothing); the recorder takes a stop signal there.
extern void (*shell_pause_idle_hook)();
// Called as the game pauses, before its picture is dimmed (null: nothing): the recorder checks
// the last game frame there, while the picture is still the one the frame drew.
extern void (*shell_pausing_hook)();
// Called when the player ends the run other than by the game's own keys: the window closed,
// Escape in the pause, the menu's Quit (null: nothing); the recorder ends the recording there.
extern void (*shell_quit_hook)();
// Ends the run at the player's asking from the pause or its menu: the pump ends, no frame runs.
void Shell_Quit(HWND hwnd);
