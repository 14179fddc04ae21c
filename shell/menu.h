// The pause menu: Resume, Keys, Controller, Display, Sound and Quit, worked from the keyboard's key
// events or the controller. The pause (shell/pause.cpp) owns it: it opens the menu, puts the
// dimmed picture back under it and acts on what the menu's keys come to.
#pragma once
#include <cstdint>
#include <string>
#include "engine/graphics/ddraw.h"

// What a key or a button in the menu comes to, for the pause to act on.
enum {
    MENU_STAY,   // the menu stays up (drawn again: its rows may have changed)
    MENU_RESUME, // Resume: the menu closed, the game goes on
    MENU_LEFT,   // Escape on the first page: the menu closed, the pause stays
    MENU_QUIT,   // Quit: the menu stays up until the pause has ended the run or gone back
    MENU_OPENED, // Start on the controller opened the menu
    MENU_WATCH,  // a game of the hall was chosen to watch: the run ends (no question) to play it
    MENU_NOTHING // nothing changed
};

// Whether the menu is up.
int Menu_Is_Open();
// Opens the menu at its first page; the pause draws it.
void Menu_Open();
// Closes the menu.
void Menu_Close();
// A key event while the menu is up (device scan code): a MENU_* outcome.
int Menu_Key(int dik);
// The controller's held buttons (PLAT_PAD_* bits) seen while paused: presses open the menu (Start)
// or work it; the last MENU_* outcome that changed something.
int Menu_Pad(uint32_t held);
// Draws the menu's panel and rows into surface (over the picture already there), unflipped.
void Menu_Paint(LPDIRECTDRAWSURFACE4 surface);
// The menu's lines as drawn, the chosen one marked with '>' (for tests and the screen alike).
std::string Menu_Text();
