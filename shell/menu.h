// The pause menu: Resume, Keys, Controller, Display, Sound and Quit, drawn over the dimmed
// picture of a paused game and worked from the keyboard's key events or the controller.
#pragma once
#include <cstdint>
#include <string>
#include "engine/window/window.h"

// Whether the menu is up.
int Menu_Is_Open();
// Opens the menu at its first page (the game must be paused) and draws it.
void Menu_Open();
// Closes the menu without drawing anything.
void Menu_Close();
// A key event while the menu is up (device scan code); hwnd receives the quit request.
void Menu_Key(HWND hwnd, int dik);
// The controller's held buttons (PLAT_PAD_* bits) seen while paused: presses open the menu (Start)
// or work it.
void Menu_Pad(HWND hwnd, uint32_t held);
// Draws the menu again over the paused picture (after an expose or a change).
void Menu_Draw();
// The menu's lines as drawn, the chosen one marked with '>' (for tests and the screen alike).
std::string Menu_Text();
