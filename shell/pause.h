// The pause: P or Pause, or the window losing focus or being minimised, stops the game between
// frames; the last picture stays up, dimmed, with "Paused" over it, and the process sleeps. The
// pause owns the menu (F1) and the question before quitting, both drawn over the same picture.
#pragma once
#include "engine/window/window.h"

// Whether the game is paused: the pump then runs no game frame and reads no keyboard.
int Shell_Paused();
// Pauses (1) or resumes (0) the game, the sound and the keyboard grab with it.
void Shell_Set_Paused(int on);
// A key message of the window: the pause keys pause and resume, F1 or the menu key pauses and
// opens the menu (which then takes the keys), Escape ends a paused game; while Escape is held
// back from the game's reads (Prefs_Escape_Held), Escape in the running game asks first.
void Shell_Pause_Key(HWND hwnd, int dik);
// Whether the question before quitting is up ("Quit? ...").
int Shell_Asking_To_Quit();
// Shows the paused picture: the dimmed frame with "Paused" (or the question) over it.
void Shell_Pause_Show();
// Shows the paused picture again (after the window was uncovered or resized).
void Shell_Pause_Repaint();
// One idle pass of a paused pump: the stop-signal hook, the controller's presses for the menu
// or the question, then a short sleep, so a pause costs next to no processor time.
void Shell_Pause_Idle(HWND hwnd);
// One pass of the running game's pump: while Escape is held back, the controller's Back asks
// before it quits as Escape does (its press is held back from the reads with Escape's).
void Shell_Game_Pad(HWND hwnd);
// The game's pump begins: a button held from before (the Back that left the title) acts only once
// pressed again, as an Escape held from the title does.
void Shell_Game_Pad_Start();
// Called by the title between its frames: the key messages the title leaves are taken here, F1
// opening the menu over the title (which waits, reading nothing, until the menu is closed and its
// key let go). 1 when the player quit from that menu, so the title ends.
int Shell_Title_Pass(HWND hwnd);
// Called on each nap of a paused pump (null: nothing); the recorder takes a stop signal there.
extern void (*shell_pause_idle_hook)();
// Called as the game pauses, before its picture is dimmed (null: nothing): the recorder checks
// the last game frame there, while the picture is still the one the frame drew.
extern void (*shell_pausing_hook)();
// Called when the player ends the run other than by the game's own keys: the window closed,
// Escape in the pause or the question, the menu's Quit (null: nothing); the recorder ends the
// recording there.
extern void (*shell_quit_hook)();
// Ends the run at the player's asking from the pause or its menu: the pump ends, no frame runs.
void Shell_Quit(HWND hwnd);
