// The pause: P or Pause, or the window losing focus or being minimised, stops the game between
// frames; the last picture stays up, dimmed, with "Paused" over it, and the process sleeps.
#pragma once
#include "engine/window/window.h"

// Whether the game is paused: the pump then runs no game frame and reads no keyboard.
int Shell_Paused();
// Pauses (1) or resumes (0) the game, the sound and the keyboard grab with it.
void Shell_Set_Paused(int on);
// A key message of the window: P and Pause pause and resume, Escape ends a paused game.
void Shell_Pause_Key(HWND hwnd, int dik);
// Shows the paused picture again (after the window was uncovered or resized).
void Shell_Pause_Repaint();
// One idle pass of a paused pump: a short sleep, so a pause costs next to no processor time.
void Shell_Pause_Idle();
// Called on each nap of a paused pump (null: nothing); the recorder takes a stop signal there.
extern void (*shell_pause_idle_hook)();
