// Runs the whole game on the headless backend for picture tests: a scripted keyboard by read
// index, every presented frame decoded, and the chosen frames kept for checking.
#pragma once
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

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
