// The mapping every backend applies where device keys and controller buttons become the game's
// scan codes in a keyboard read, and its built-in form (the controller's layout lives here).
#pragma once
#include <cstdint>
#include <cstring>
#include "platform/dik.h"
#include "platform/platform.h"

// A device-to-game mapping: key k becomes keys[k], pad button b becomes pad[b] (0: none).
struct Plat_Input_Map {
    uint8_t keys[256];
    uint8_t pad[PLAT_PAD_BUTTONS];
};

// The built-in mapping: every key as itself; the pad and the left stick steer, A fires, B
// launches a missile, the right shoulder burns, Start restarts and Back quits.
inline void Plat_Default_Input_Map(Plat_Input_Map *m) {
    for (int k = 0; k < 256; k++)
        m->keys[k] = (uint8_t)k;
    std::memset(m->pad, 0, sizeof m->pad);
    m->pad[PLAT_PAD_DPLEFT] = DIK_LEFT;
    m->pad[PLAT_PAD_DPRIGHT] = DIK_RIGHT;
    m->pad[PLAT_PAD_DPUP] = DIK_UP;
    m->pad[PLAT_PAD_A] = DIK_LCONTROL;
    m->pad[PLAT_PAD_B] = DIK_LMENU;
    m->pad[PLAT_PAD_RIGHTSHOULDER] = DIK_TAB;
    m->pad[PLAT_PAD_START] = DIK_RETURN;
    m->pad[PLAT_PAD_BACK] = DIK_ESCAPE;
}

// The mapping a shell asks for: keys and pad as given, or the built-in one where either is null.
inline void Plat_Input_Map_Of(Plat_Input_Map *m, const uint8_t keys[256],
                              const uint8_t pad[PLAT_PAD_BUTTONS]) {
    Plat_Default_Input_Map(m);
    if (!keys || !pad) return;
    std::memcpy(m->keys, keys, sizeof m->keys);
    std::memcpy(m->pad, pad, sizeof m->pad);
}

// Turns one read's device keys and held pad buttons into the game's keyboard state.
inline void Plat_Map_Input(const Plat_Input_Map &m, const uint8_t device[256], uint32_t pad,
                           uint8_t game[256]) {
    uint8_t out[256] = {0};
    for (int k = 0; k < 256; k++)
        if (device[k] && m.keys[k]) out[m.keys[k]] = 0x80;
    for (int b = 0; b < PLAT_PAD_BUTTONS; b++)
        if ((pad >> b & 1u) && m.pad[b]) out[m.pad[b]] = 0x80;
    std::memcpy(game, out, 256);
}
