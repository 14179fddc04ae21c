// The player's bindings and what follows from them: the device-to-game tables, the presets, the
// key names of the settings file and the menu, and the title's key card.
#include "shell/keymap.h"

#include <cstring>

#include "engine/input/dik_names.h"
#include "platform/dik.h"
#include "platform/input_map.h"

namespace {

// One action: its settings name, its words, the scan code the game reads and today's keys.
struct ACTION_TYP {
    const char *name;
    const char *label;
    int game_code;
    int keys[KEY_SLOTS];
};

constexpr ACTION_TYP actions[KEY_ACTIONS] = {
    {"turn_left", "turn left", DIK_LEFT, {DIK_LEFT, 0}},
    {"turn_right", "turn right", DIK_RIGHT, {DIK_RIGHT, 0}},
    {"thrust", "thrust", DIK_UP, {DIK_UP, 0}},
    {"afterburner", "afterburner", DIK_TAB, {DIK_TAB, 0}},
    {"fire", "fire", DIK_LCONTROL, {DIK_LCONTROL, 0}},
    {"missile", "missile", DIK_LMENU, {DIK_LMENU, 0}},
    {"restart", "restart", DIK_RETURN, {DIK_RETURN, 0}},
    // The game never reads the pause keys: the shell takes them from the key events.
    {"pause", "pause", 0, {DIK_P, DIK_PAUSE}},
    {"reset", "reset (debug)", DIK_R, {DIK_R, 0}},
    {"refill", "refill (debug)", DIK_F5, {DIK_F5, 0}},
    {"debug", "debug readout", DIK_D, {DIK_D, 0}},
    {"packing", "other packing", DIK_F10, {DIK_F10, 0}},
};

constexpr const char *pad_names[PLAT_PAD_BUTTONS] = {"a",
                                                     "b",
                                                     "x",
                                                     "y",
                                                     "back",
                                                     "guide",
                                                     "start",
                                                     "leftstick",
                                                     "rightstick",
                                                     "leftshoulder",
                                                     "rightshoulder",
                                                     "dpup",
                                                     "dpdown",
                                                     "dpleft",
                                                     "dpright"};

// Short names where the key scripts' own would read oddly on the card.
struct LABEL_TYP {
    int dik;
    const char *label;
};
constexpr LABEL_TYP labels[] = {
    {DIK_LEFT, "Left"},     {DIK_RIGHT, "Right"},   {DIK_UP, "Up"},          {DIK_DOWN, "Down"},
    {DIK_TAB, "Tab"},       {DIK_LCONTROL, "Ctrl"}, {DIK_RCONTROL, "RCtrl"}, {DIK_LMENU, "Alt"},
    {DIK_RMENU, "AltGr"},   {DIK_RETURN, "Enter"},  {DIK_SPACE, "Space"},    {DIK_LSHIFT, "Shift"},
    {DIK_RSHIFT, "RShift"}, {DIK_PAUSE, "Pause"},   {DIK_BACK, "Backspace"}, {DIK_ESCAPE, "Esc"},
};

int valid_action(int a) {
    return a >= 0 && a < KEY_ACTIONS;
}

} // namespace

const char *Keymap_Action_Name(int action) {
    return valid_action(action) ? actions[action].name : nullptr;
}

const char *Keymap_Action_Label(int action) {
    return valid_action(action) ? actions[action].label : "";
}

int Keymap_Action_From_Name(const char *name) {
    for (int a = 0; name && a < KEY_ACTIONS; a++)
        if (std::strcmp(actions[a].name, name) == 0) return a;
    return -1;
}

const char *Keymap_Pad_Name(int button) {
    return button >= 0 && button < PLAT_PAD_BUTTONS ? pad_names[button] : nullptr;
}

int Keymap_Pad_From_Name(const char *name) {
    for (int b = 0; name && b < PLAT_PAD_BUTTONS; b++)
        if (std::strcmp(pad_names[b], name) == 0) return b;
    return -1;
}

std::string Keymap_Key_Label(int dik) {
    for (const LABEL_TYP &l : labels)
        if (l.dik == dik) return l.label;
    const char *name = dik > 0 ? Dik_Name(dik) : nullptr;
    return name ? name : "-";
}

KEYMAP_TYP Keymap_Defaults() {
    KEYMAP_TYP map{};
    Plat_Input_Map built_in;
    Plat_Default_Input_Map(&built_in);
    for (int a = 0; a < KEY_ACTIONS; a++) {
        for (int s = 0; s < KEY_SLOTS; s++)
            map.keys[a][s] = actions[a].keys[s];
        // The controller's layout has one home, the platform's built-in mapping.
        map.pad[a] = -1;
        for (int b = 0; b < PLAT_PAD_BUTTONS && actions[a].game_code; b++)
            if (built_in.pad[b] == actions[a].game_code) map.pad[a] = b;
    }
    return map;
}

KEYMAP_TYP Keymap_Wasd() {
    KEYMAP_TYP map = Keymap_Defaults();
    // The readout leaves D first, so D is free for turning; the old keys stay as second keys.
    Keymap_Bind_Key(&map, KEY_DEBUG, 0, DIK_F3);
    const int moves[][2] = {{KEY_TURN_LEFT, DIK_A},
                            {KEY_TURN_RIGHT, DIK_D},
                            {KEY_THRUST, DIK_W},
                            {KEY_AFTERBURNER, DIK_S}};
    for (const auto &m : moves) {
        map.keys[m[0]][1] = map.keys[m[0]][0];
        Keymap_Bind_Key(&map, m[0], 0, m[1]);
    }
    return map;
}

int Keymap_Key_Bindable(int dik) {
    return dik > 0 && dik < 256 && dik != DIK_ESCAPE && dik != DIK_F1 && dik != DIK_F11 &&
           dik != DIK_APPS;
}

int Keymap_Action_Of_Key(const KEYMAP_TYP &map, int dik) {
    for (int a = 0; dik > 0 && a < KEY_ACTIONS; a++)
        for (int s = 0; s < KEY_SLOTS; s++)
            if (map.keys[a][s] == dik) return a;
    return -1;
}

int Keymap_Bind_Key(KEYMAP_TYP *map, int action, int slot, int dik) {
    if (!map || !valid_action(action) || slot < 0 || slot >= KEY_SLOTS) return -2;
    if (dik != 0 && !Keymap_Key_Bindable(dik)) return -2;
    int lost = -1;
    for (int a = 0; dik && a < KEY_ACTIONS; a++)
        for (int s = 0; s < KEY_SLOTS; s++)
            if (map->keys[a][s] == dik && !(a == action && s == slot)) {
                map->keys[a][s] = 0;
                if (a != action) lost = a;
            }
    map->keys[action][slot] = dik;
    // A free first slot takes the second key, so the card always shows a key that works.
    if (!map->keys[action][0]) {
        map->keys[action][0] = map->keys[action][1];
        map->keys[action][1] = 0;
    }
    if (lost >= 0 && !map->keys[lost][0]) {
        map->keys[lost][0] = map->keys[lost][1];
        map->keys[lost][1] = 0;
    }
    return lost;
}

int Keymap_Bind_Pad(KEYMAP_TYP *map, int action, int button) {
    if (!map || !valid_action(action) || button < -1 || button >= PLAT_PAD_BUTTONS) return -2;
    int lost = -1;
    for (int a = 0; button >= 0 && a < KEY_ACTIONS; a++)
        if (a != action && map->pad[a] == button) {
            map->pad[a] = -1;
            lost = a;
        }
    map->pad[action] = button;
    return lost;
}

void Keymap_Tables(const KEYMAP_TYP &map, uint8_t keys[256], uint8_t pad[PLAT_PAD_BUTTONS]) {
    Plat_Input_Map built_in;
    Plat_Default_Input_Map(&built_in);
    std::memcpy(keys, built_in.keys, 256);
    std::memcpy(pad, built_in.pad, PLAT_PAD_BUTTONS);
    // A game code reaches the game only from the keys bound to its action...
    for (int a = 0; a < KEY_ACTIONS; a++) {
        if (!actions[a].game_code) continue;
        keys[actions[a].game_code] = 0;
        for (int b = 0; b < PLAT_PAD_BUTTONS; b++)
            if (pad[b] == actions[a].game_code) pad[b] = 0;
    }
    // ...and those keys give nothing else (the pause keys stay themselves: the game ignores them).
    for (int a = 0; a < KEY_ACTIONS; a++) {
        for (int s = 0; s < KEY_SLOTS; s++) {
            int k = map.keys[a][s];
            int code = actions[a].game_code ? actions[a].game_code : k;
            if (k > 0 && k < 256) keys[k] = (uint8_t)code;
        }
        int b = map.pad[a];
        if (b >= 0 && b < PLAT_PAD_BUTTONS) pad[b] = (uint8_t)actions[a].game_code;
    }
}

void Keymap_Card_Lines(const KEYMAP_TYP &map, std::string lines[KEY_CARD_LINES]) {
    auto key = [&](int a) { return Keymap_Key_Label(map.keys[a][0]); };
    lines[0] = "Esc  start";
    lines[1] = key(KEY_TURN_LEFT) + "/" + key(KEY_TURN_RIGHT) + "  turn";
    lines[2] = key(KEY_THRUST) + "  thrust";
    lines[3] = key(KEY_AFTERBURNER) + "  afterburner";
    lines[4] = key(KEY_FIRE) + "  fire";
    lines[5] = key(KEY_MISSILE) + "  missile";
    lines[6] = key(KEY_PAUSE) + "  pause";
    lines[7] = "F1  settings";
}
