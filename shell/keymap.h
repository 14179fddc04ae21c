// The player's bindings: each action of the game with up to two keys and one controller button,
// the tables that turn them into the game's scan codes, the presets and the title's key card.
#pragma once
#include <string>
#include "platform/platform.h"

// The actions a player can bind, in the order the settings file and the menu list them.
enum {
    KEY_TURN_LEFT,
    KEY_TURN_RIGHT,
    KEY_THRUST,
    KEY_AFTERBURNER,
    KEY_FIRE,
    KEY_MISSILE,
    KEY_RESTART,
    KEY_PAUSE,
    KEY_RESET,
    KEY_REFILL,
    KEY_DEBUG,
    KEY_PACKING,
    KEY_ACTIONS
};
// Keys an action may hold; controller buttons it may hold.
constexpr int KEY_SLOTS = 2;
// Lines of the title's key card.
constexpr int KEY_CARD_LINES = 8;

// What is bound: keys[a][s] is a scan code (0: none), pad[a] a PLAT_PAD_* button (-1: none).
struct KEYMAP_TYP {
    int keys[KEY_ACTIONS][KEY_SLOTS];
    int pad[KEY_ACTIONS];
};

// The action's name in the settings file ("turn_left"); null when out of range.
const char *Keymap_Action_Name(int action);
// The action's words in the menu and on the card ("turn left").
const char *Keymap_Action_Label(int action);
// The action named so in the settings file, or -1.
int Keymap_Action_From_Name(const char *name);
// The scan code the game reads for the action.
int Keymap_Game_Code(int action);
// A controller button's name in the settings file ("dpleft"), or null.
const char *Keymap_Pad_Name(int button);
// The controller button of that name, or -1.
int Keymap_Pad_From_Name(const char *name);
// A key's short name for the card and the menu ("Left", "Ctrl", "W").
std::string Keymap_Key_Label(int dik);

// Today's keys and controller layout.
KEYMAP_TYP Keymap_Defaults();
// The defaults with turning and thrust on A, D and W, afterburner on S, the readout on F3.
KEYMAP_TYP Keymap_Wasd();
// Whether a key may be bound at all: Escape, F1, F11 and the menu key keep their own jobs.
int Keymap_Key_Bindable(int dik);
// The action holding a key, or -1.
int Keymap_Action_Of_Key(const KEYMAP_TYP &map, int dik);
// Binds a key to slot 0 or 1 of an action, taking it from any action that held it: returns that
// action (-1 when none lost it). A key that cannot be bound changes nothing and gives -2.
int Keymap_Bind_Key(KEYMAP_TYP *map, int action, int slot, int dik);
// Binds a controller button to an action the same way (-1 unbinds); returns the action that lost
// it.
int Keymap_Bind_Pad(KEYMAP_TYP *map, int action, int button);
// The device-to-game tables of Plat_Set_Input_Map for these bindings.
void Keymap_Tables(const KEYMAP_TYP &map, uint8_t keys[256], uint8_t pad[PLAT_PAD_BUTTONS]);
// The title's key card for these bindings: "Esc  start", "Left/Right  turn", ... "F1  settings".
void Keymap_Card_Lines(const KEYMAP_TYP &map, std::string lines[KEY_CARD_LINES]);
// Puts the card for these bindings on the title (every program's title shows the same card).
void Keymap_Show_Card(const KEYMAP_TYP &map);
// Puts "Best SCORE" on the title's key card band; a score below 0 (no hall) puts nothing there.
void Keymap_Show_Best(long long score);
