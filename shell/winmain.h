// The program's door: the entry sequence behind main, the game window's procedure and the reason a
// start failed.
#pragma once
#include "engine/window/window.h"

// The entry point behind main: window, Game_Init, the pump, credits and shut-down; exit code.
int WinMain(HINSTANCE hinstance, HINSTANCE hprevinstance, char *lpcmdline, int ncmdshow);
// The window procedure of the game's window.
LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// One line saying why WinMain could not start (empty when it did).
const char *Shell_Error();
// Records the reason WinMain could not start, for Shell_Error.
void Shell_Set_Error(const char *what, const char *reason);
// 1 in a program that asks before Escape ends a running game (the desktop game, not a replay):
// the pump then holds Escape back from the game's reads (Prefs_Hold_Escape). 0 by default.
extern int shell_asks_to_quit;
// Called once the pump has ended, before the credits (null: nothing); the game's logs close
// their last game frame here.
extern void (*shell_pump_end_hook)();
