// Runs the whole game headless (title, frames, credits, shut-down) from a key table, keeping a
// snapshot of the game after every frame, for tests of the frame and its keys.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// What one Game_Main call left behind.
struct SNAPSHOT_TYP {
    int read; // keyboard read this frame made
    int player_state, heading, shield, gun_delay;
    float x, y, xv, yv, v, fuel;
    int missile_load, missile_delay, score, enemy_ships;
    int debug_mode, dd_pixel_format, key_toggle_delay, game_state;
    int engines_on, afterburners_on, engine_status, afterburner_status;
    int live_craft;
    int queue;                     // messages waiting in the shell's queue after the frame
    std::string buffer;            // the text buffer as the frame left it
    std::vector<uint16_t> picture; // the picture the frame presented (800x600)
    int packing;                   // the packing it was presented in
};

// Keys by keyboard read: read index -> scan codes held at that read.
using KEY_TABLE = std::map<int, std::set<int>>;

// Runs WinMain with Escape at read 0 (leaving the title), keys from the table for the game's
// reads, and Escape from read end_read on. before_frame, when set, runs before each Game_Main
// with the number of game frames so far. Returns one snapshot per Game_Main call.
std::vector<SNAPSHOT_TYP> Run_Game(const KEY_TABLE &keys, int end_read,
                                   std::function<void(int)> before_frame = nullptr,
                                   int keep_pictures = 0);

// Number of pixels equal to value inside x0 <= x < x1, y0 <= y < y1 of an 800x600 picture.
int Count_Pixels(const std::vector<uint16_t> &pic, int x0, int y0, int x1, int y1, uint16_t value);

// Whether text drawn at (x, y) in colour reference colour shows whole in the picture: every glyph
// pixel the display's text drawing gives it holds that colour in the picture's packing.
int Text_Shown(const SNAPSHOT_TYP &s, const char *text, int x, int y, unsigned int colour);
// Leftmost column in x0 <= x < x1, y0 <= y < y1 holding value, or -1.
int Leftmost_Pixel(const std::vector<uint16_t> &pic, int x0, int y0, int x1, int y1,
                   uint16_t value);
