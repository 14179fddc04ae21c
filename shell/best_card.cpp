// The best score on the title's key card band, for the programs that keep runs (apart from the
// key card itself, so a program without runs links none of it).
#include <string>

#include "game/screens.h"
#include "shell/keymap.h"

void Keymap_Show_Best(long long score) {
    std::string text = score < 0 ? "" : "Best " + std::to_string(score);
    Title_Set_Best(text.c_str());
}
