// Controls of the web backend for the page's entry: the game's clock, scripted keys, frame and
// keyboard hooks, unpaced runs for tests, and the page's message and restart key.
#pragma once
#include <cstdint>
#include "platform/platform.h"

// Starts the game's clock at ms (a seeded run) instead of at the wall clock's milliseconds.
void Web_Set_Clock(uint32_t ms);
// Ends waits at once (on) instead of at the game's pace, yielding to the page now and then.
void Web_Set_Unpaced(int on);
// Called at each keyboard read with the read's index; fills the 256-byte DIK state it returns.
using Web_Key_Source = void (*)(int read_index, uint8_t state[256], void *user);
// Installs the key source (null: the page's keyboard).
void Web_Set_Key_Source(Web_Key_Source src, void *user);
// Number of keyboard reads made so far (the index the next read gets).
int Web_Keyboard_Reads();
// Called with every presented frame (pixels, size, pitch in bytes, packing).
using Web_Frame_Hook = void (*)(const uint16_t *px, int w, int h, int pitch_bytes, int packing,
                                void *user);
// Installs the frame hook (null: none).
void Web_Set_Frame_Hook(Web_Frame_Hook hook, void *user);
// Shows text over the picture (null or "": hides it).
void Web_Show_Message(const char *text);
// Lets the page run until the key (DIK scan code) is pressed on the page's keyboard.
void Web_Wait_For_Key(int dik);
