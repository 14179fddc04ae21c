// The game's own layer: set-up, reset and shut-down, the per-frame function with its key map and
// states, and the game's globals.
#pragma once
#include "world/sounds.h"
#include "world/world.h"

// ---- globals (defined in game/korvconsole2.cpp) ------------------------------------------------

extern int game_state;       // 1 while the game runs
extern int debug_mode;       // 1 shows the debug readout
extern int key_toggle_delay; // frames before D, F10 or F5 is taken again
extern char buffer[256];     // every formatted text line is printed here before it is drawn
// Called at the end of every Game_Main when not null; lets tools watch frames (null in the game).
extern void (*game_frame_hook)();

// Text colours, 0x00BBGGRR.
constexpr unsigned int TEXT_CYAN = 0x00FFFF00;
constexpr unsigned int TEXT_RED = 0x000000FF;
constexpr unsigned int TEXT_DARK_CYAN = 0x00C8C800;
constexpr unsigned int TEXT_GREEN = 0x0000FF00;

// Frames a toggle key waits before it is taken again.
constexpr int KEY_TOGGLE_DELAY = 10;

// ---- operations --------------------------------------------------------------------------------

// Brings up display, sound and keyboard, builds every object, resets the world, runs the title; 1.
int Game_Init(void *parms);
// One frame: keys, flight, world update, drawing, texts, flip, pacing, Escape; always 1.
int Game_Main(void *parms);
// Releases the game objects, then sound, input and the display, in that order; 1.
int Game_Shutdown(void *parms);
// Draws the running game's picture (world, panel, texts, debug readout) into the back surface;
// reads the game state and changes none of it.
void Draw_Game_Picture();
// Puts the enemy side, score, fuel and missiles back to the start of a game; returns enemy_ships.
int Reset_Game();
