// The game on the display: each game frame's wait on the exact clock, and in it one picture per
// display refresh, drawn in between game frames when smoothing is on.
#pragma once
#include <cstdint>

// Presentation settings, read when the game starts; 1 (on) by default.
extern int shell_smooth; // pictures in between game frames at every refresh
extern int shell_vsync;  // presents wait for the display's refresh where the system offers it

// One picture the schedule showed (or, with smoothing off, the game's picture a refresh found).
struct SHELL_PRESENTED_TYP {
    uint32_t tick; // the clock's whole ms at or before the refresh
    double t;      // the refresh, in ms after the clock read 0 (fractions kept, wrap ignored)
    int frame;     // game frames before the one shown, counting from the game's first
    double alpha;  // share of the way from the frame before to that one, (0, 1]
    float view_x;  // the ship's position the view is centred on
    float view_y;
    const uint16_t *pixels; // the picture, 16-bit, with its size and pitch in bytes
    int width, height, pitch_bytes;
};
// Called with every picture the schedule shows, when not null (tools and tests).
extern void (*shell_present_hook)(const SHELL_PRESENTED_TYP &p);

// When not null and giving 1, the next game frame runs unseen: no picture, no sound, no wait
// (the part of a recording before the game being watched).
extern int (*shell_unseen_hook)();

// The title begins (on) or ends: while the watched game is still ahead (shell_unseen_hook), the
// title runs unseen too, its waits and pictures skipped.
void Shell_Present_Title(int on);
// Starts the schedule for a game: reads the display's refresh and asks for vsync.
void Shell_Present_Start();
// Runs one game frame under the schedule: its own flip shows nothing when the refreshes do.
void Shell_Run_Game_Frame();
// Ends the schedule: flips show their pictures again, frames wait as before.
void Shell_Present_Stop();
// The wait that ends each game frame while the schedule runs (Game_Main's wait hook).
unsigned long Shell_Present_Wait(unsigned long count);
