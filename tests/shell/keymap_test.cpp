// The bindings: today's keys by default, the WASD preset, moving a key between actions, the
// tables the keyboard read applies (checked through the headless backend's read) and the card.
#include "shell/keymap.h"

#include <gtest/gtest.h>

#include "platform/dik.h"
#include "platform/headless/headless.h"

namespace {

// Holds the given device keys and pad buttons and returns what one keyboard read gives the game.
std::vector<int> Game_Keys(const KEYMAP_TYP &map, std::initializer_list<int> held, uint32_t pad) {
    Headless_Reset(0);
    uint8_t keys[256], buttons[PLAT_PAD_BUTTONS];
    Keymap_Tables(map, keys, buttons);
    Plat_Set_Input_Map(keys, buttons);
    for (int k : held)
        Headless_Set_Key(k, 1);
    Headless_Set_Pad(pad);
    uint8_t state[256];
    EXPECT_EQ(Plat_Read_Keyboard(state), 1);
    std::vector<int> down;
    for (int k = 0; k < 256; k++)
        if (state[k]) down.push_back(k);
    return down;
}

TEST(Keymap, DefaultsAreTodaysKeysAndEveryKeyPassesAsItself) {
    KEYMAP_TYP map = Keymap_Defaults();
    uint8_t keys[256], pad[PLAT_PAD_BUTTONS];
    Keymap_Tables(map, keys, pad);
    for (int k = 0; k < 256; k++)
        EXPECT_EQ(keys[k], k) << "key " << k;
    // The controller's layout as it always was.
    const int want[PLAT_PAD_BUTTONS] = {
        DIK_LCONTROL, DIK_LMENU, 0, 0,        DIK_ESCAPE, 0, DIK_RETURN, 0, 0, 0,
        DIK_TAB,      DIK_UP,    0, DIK_LEFT, DIK_RIGHT};
    for (int b = 0; b < PLAT_PAD_BUTTONS; b++)
        EXPECT_EQ(pad[b], want[b]) << Keymap_Pad_Name(b);
    EXPECT_EQ(map.keys[KEY_PAUSE][0], DIK_P);
    EXPECT_EQ(map.keys[KEY_PAUSE][1], DIK_PAUSE);
}

TEST(Keymap, ReadsGiveTheGameItsOwnCodes) {
    KEYMAP_TYP thrust_w = Keymap_Defaults();
    thrust_w.keys[KEY_THRUST][0] = 0;
    EXPECT_EQ(Keymap_Bind_Key(&thrust_w, KEY_THRUST, 0, DIK_W), -1);
    KEYMAP_TYP wasd = Keymap_Wasd();
    struct {
        const char *what;
        const KEYMAP_TYP &map;
        std::initializer_list<int> held;
        uint32_t pad;
        std::vector<int> want;
    } cases[] = {
        {"W thrusts", thrust_w, {DIK_W}, 0, {DIK_UP}},
        {"Up no longer does", thrust_w, {DIK_UP}, 0, {}},
        {"other keys pass", thrust_w, {DIK_Q, DIK_ESCAPE}, 0, {DIK_ESCAPE, DIK_Q}},
        {"WASD: A D W S",
         wasd,
         {DIK_A, DIK_D, DIK_W, DIK_S},
         0,
         {DIK_TAB, DIK_UP, DIK_LEFT, DIK_RIGHT}},
        {"WASD: arrows still fly", wasd, {DIK_LEFT, DIK_UP}, 0, {DIK_UP, DIK_LEFT}},
        {"WASD: F3 is the readout", wasd, {DIK_F3}, 0, {DIK_D}},
        {"pad A fires, Back quits",
         Keymap_Defaults(),
         {},
         1u << PLAT_PAD_A | 1u << PLAT_PAD_BACK,
         {DIK_ESCAPE, DIK_LCONTROL}},
        {"pause keys stay themselves", Keymap_Defaults(), {DIK_PAUSE}, 0, {DIK_PAUSE}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Game_Keys(c.map, c.held, c.pad), c.want) << c.what;
    Plat_Set_Input_Map(nullptr, nullptr);
}

TEST(Keymap, BindingMovesAKeyAndNamesTheLoser) {
    KEYMAP_TYP map = Keymap_Defaults();
    EXPECT_EQ(Keymap_Bind_Key(&map, KEY_FIRE, 1, DIK_D), KEY_DEBUG);
    EXPECT_EQ(map.keys[KEY_DEBUG][0], 0);
    EXPECT_EQ(Keymap_Action_Of_Key(map, DIK_D), KEY_FIRE);
    // The second pause key moves; the first stays and leads.
    EXPECT_EQ(Keymap_Bind_Key(&map, KEY_MISSILE, 0, DIK_P), KEY_PAUSE);
    EXPECT_EQ(map.keys[KEY_PAUSE][0], DIK_PAUSE);
    EXPECT_EQ(map.keys[KEY_PAUSE][1], 0);
    for (int reserved : {DIK_ESCAPE, DIK_F1, DIK_F11, DIK_APPS, 0x100})
        EXPECT_EQ(Keymap_Bind_Key(&map, KEY_THRUST, 0, reserved), -2) << reserved;
    EXPECT_EQ(map.keys[KEY_THRUST][0], DIK_UP);
    EXPECT_EQ(Keymap_Bind_Pad(&map, KEY_THRUST, PLAT_PAD_A), KEY_FIRE);
    EXPECT_EQ(map.pad[KEY_FIRE], -1);
}

TEST(Keymap, CardShowsTheKeysAsBound) {
    std::string card[KEY_CARD_LINES];
    Keymap_Card_Lines(Keymap_Defaults(), card);
    const char *want[KEY_CARD_LINES] = {"Esc  start",       "Left/Right  turn", "Up  thrust",
                                        "Tab  afterburner", "Ctrl  fire",       "Alt  missile",
                                        "P  pause",         "F1  settings"};
    for (int i = 0; i < KEY_CARD_LINES; i++)
        EXPECT_EQ(card[i], want[i]);
    Keymap_Card_Lines(Keymap_Wasd(), card);
    EXPECT_EQ(card[1], "A/D  turn");
    EXPECT_EQ(card[2], "W  thrust");
    EXPECT_EQ(card[3], "S  afterburner");
}

} // namespace
