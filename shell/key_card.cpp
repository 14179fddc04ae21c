// The title's key card: the bindings' lines handed to the title screen. Apart from the key
// tables so that the settings reader (and its fuzz target) need no game.
#include "game/screens.h"
#include "shell/keymap.h"

void Keymap_Show_Card(const KEYMAP_TYP &map) {
    std::string lines[KEY_CARD_LINES];
    Keymap_Card_Lines(map, lines);
    const char *texts[KEY_CARD_LINES];
    for (int i = 0; i < KEY_CARD_LINES; i++)
        texts[i] = lines[i].c_str();
    Title_Set_Card(texts, KEY_CARD_LINES);
}
