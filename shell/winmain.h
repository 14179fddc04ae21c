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
// Called once the pump has ended, before the credits (null: nothing); the game's logs close
// their last game frame here.
extern void (*shell_pump_end_hook)();
