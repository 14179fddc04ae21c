// The one headless game harness of the tests: the whole game run through WinMain (title, frames,
// credits, shut-down) from a key table with a snapshot after every frame, and a scripted session
// for picture tests that keeps chosen presented frames and decodes their colours.
#pragma once
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

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

// ---- picture sessions: the frames a scripted keyboard produces -----------------------------

// One presented picture, 800 x 600 pixels without row padding, in the packing it was shown in.
struct Shot {
    std::vector<uint16_t> px;
    int packing = 15;
    uint16_t at(int x, int y) const { return px[(size_t)y * 800 + x]; }
    int red(int x, int y) const { return packing == 16 ? at(x, y) >> 11 : (at(x, y) >> 10) & 31; }
    int green(int x, int y) const {
        return packing == 16 ? ((at(x, y) >> 5) & 63) >> 1 : (at(x, y) >> 5) & 31;
    }
    int blue(int x, int y) const { return at(x, y) & 31; }
    // Pixels in columns x0..x1-1 and rows y0..y1-1 that pass the colour test.
    template <typename Test> int count(int x0, int y0, int x1, int y1, Test test) const {
        int n = 0;
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++)
                n += test(red(x, y), green(x, y), blue(x, y)) ? 1 : 0;
        return n;
    }
};

// Colour tests on 5-bit components for the texts of the game.
inline bool Is_Red(int r, int g, int b) {
    return r >= 24 && g <= 6 && b <= 6;
}
inline bool Is_Cyan(int r, int g, int b) {
    return r <= 6 && g >= 24 && b >= 24;
}
inline bool Is_Dark_Cyan(int r, int g, int b) {
    return r <= 6 && g >= 18 && g <= 28 && b >= 18 && b <= 28;
}
inline bool Is_Lit(int r, int g, int b) {
    return r || g || b;
}

// The scripted session: keys held at each keyboard read, the frames to keep, the clock at reads.
struct Game_Run {
    std::map<int, std::vector<int>> keys; // read index -> scan codes held at that read
    std::set<int> keep;                   // presented-frame indices to keep
    std::map<int, Shot> shots;            // kept frames by presented-frame index
    std::vector<uint32_t> read_ticks;     // virtual clock at each keyboard read
    int presented = 0;

    static void Key_Source(int read, uint8_t state[256], void *user) {
        Game_Run *run = (Game_Run *)user;
        std::memset(state, 0, 256);
        auto it = run->keys.find(read);
        if (it != run->keys.end())
            for (int k : it->second)
                state[k] = 0x80;
        run->read_ticks.push_back(Plat_Ticks());
    }
    static void Frame_Hook(const uint16_t *px, int w, int h, int pitch, int packing, void *user) {
        Game_Run *run = (Game_Run *)user;
        int index = run->presented++;
        if (!run->keep.count(index) || w != 800 || h != 600) return;
        Shot &s = run->shots[index];
        s.packing = packing;
        s.px.resize(800 * 600);
        for (int y = 0; y < 600; y++)
            std::memcpy(&s.px[(size_t)y * 800], (const uint8_t *)px + (size_t)y * pitch, 800 * 2);
    }

    // Starts the backend and the window, as the shell does before the game's set-up.
    void Start() {
        Headless_Reset(1000);
        Headless_Set_Available(1, 0);
        Headless_Set_Key_Source(Key_Source, this);
        Headless_Set_Frame_Hook(Frame_Hook, this);
        Plat_Init();
        Plat_Open_Window("farwake test", 800, 600);
    }
    void Stop() {
        Plat_Close_Window();
        Plat_Quit();
        Headless_Set_Key_Source(nullptr, nullptr);
        Headless_Set_Frame_Hook(nullptr, nullptr);
    }
};
