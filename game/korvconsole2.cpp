// The game frame: the key map with its toggles, reset and restart, the fixed order of world
// updates and drawing, the score, end-of-game texts and debug readout, pacing and Escape.
#include <cstdio>

#include "engine/graphics/clock.h"
#include "engine/graphics/ddraw.h"
#include "engine/graphics/frame_source.h"
#include "engine/input/dinput.h"
#include "game/between.h"
#include "game/game.h"
#include "game/panel.h"
#include "engine/window/window.h"
#include "game/screens.h"
#include "world/craft.h"
#include "world/effects.h"
#include "world/radar.h"
#include "world/ship.h"
#include "world/stars.h"
#include "world/station.h"
#include "world/weapons.h"

int game_state = 0;
int debug_mode = 0;
int key_toggle_delay = 0;
char buffer[256];
void (*game_frame_hook)() = nullptr;
int escape_armed = 1;

namespace {

// D, F10 and F5 share one delay: each sees what the one before it left, so only the first held
// key in that order is taken in a frame.
void Toggle_Keys() {
    if (keyboard_state[DIK_D] && key_toggle_delay == 0) {
        debug_mode = debug_mode == 1 ? 0 : 1;
        key_toggle_delay = KEY_TOGGLE_DELAY;
    }
    if (keyboard_state[DIK_F10] && key_toggle_delay == 0) {
        dd_pixel_format = dd_pixel_format == 16 ? 15 : 16;
        key_toggle_delay = KEY_TOGGLE_DELAY;
    }
    if (keyboard_state[DIK_F5] && key_toggle_delay == 0) {
        player.int_vars[INDEX_SHIELD] = SHIELD_FULL;
        missile_load = MISSILES_FULL;
        fuel = FUEL_FULL;
        key_toggle_delay = KEY_TOGGLE_DELAY;
    }
    if (key_toggle_delay > 0) key_toggle_delay--;
}

// Enter restarts a lost or won game. A count below zero still shows "You Win!" with the restart
// hint, so the restart is taken there too.
void Restart_Key() {
    if (!keyboard_state[DIK_RETURN] || (player.state != 0 && enemy_ships > 0)) return;
    Reset_Player();
    Reset_Game();
    Between_Mark_Jump();
}

void Update_World() {
    Move_Stars();
    Move_Particles();
    Move_Craft();
    Move_Missiles();
    Move_Bullets();
    Move_Powerups();
    Move_Stations();
}

void Draw_World() {
    DDraw_Lock_Back_Surface();
    Draw_Stars();
    Draw_Particles();
    Draw_Radar();
    DDraw_Unlock_Back_Surface();

    Draw_Missiles();
    Show_Bullets();
    Draw_Craft();
    if (player.state != 0) Draw_BOB16(&player, lpddsback);
    Show_Stations();
    Draw_Powerups();
    Show_Expl();
    shields.curr_frame = player.int_vars[INDEX_SHIELD];
    Draw_BOB16(&shields, lpddsback);
    Draw_Panel();
    Draw_Radar_Frame();
    Draw_Area_Warning();
}

// The animations the frame's drawing showed move on one picture: shots, stations, explosion.
void Step_Animations() {
    Step_Bullets();
    Step_Stations();
    Step_Expl();
}

void Text(int x, int y, DWORD colour) {
    Draw_Text_GDI(buffer, x, y, colour, lpddsback);
}

void Draw_Texts() {
    snprintf(buffer, sizeof buffer, "Score:%20d", score);
    Text(350, 10, TEXT_CYAN);
    if (player.state == 0 || enemy_ships <= 0) {
        snprintf(buffer, sizeof buffer, "%s", player.state == 0 ? "Game Over" : "You Win!");
        Text(player.state == 0 ? 355 : 365, 320, TEXT_RED);
        snprintf(buffer, sizeof buffer, "(Hit Enter To Restart)");
        Text(320, 360, TEXT_DARK_CYAN);
    }
}

void Draw_Debug_Readout() {
    snprintf(buffer, sizeof buffer, "Farwake is running");
    Text(10, 10, TEXT_CYAN);
    snprintf(buffer, sizeof buffer, "Frame:%d", heading(player));
    Text(10, 30, TEXT_CYAN);
    snprintf(buffer, sizeof buffer, "xv:%.2f yv:%.2f", player_xv, player_yv);
    Text(10, 50, TEXT_RED);
    snprintf(buffer, sizeof buffer, "Speed:%.2f", player_v);
    Text(10, 70, TEXT_CYAN);
    snprintf(buffer, sizeof buffer, "x:%.2f y:%.2f", player_x, player_y);
    Text(10, 90, TEXT_RED);
    snprintf(buffer, sizeof buffer, "missile delay:%d", missile_delay);
    Text(10, 110, TEXT_RED);
    snprintf(buffer, sizeof buffer, "station timer:%d", stations[0].counter_2);
    Text(10, 130, TEXT_GREEN);
    snprintf(buffer, sizeof buffer, "enemy_ships:%d", enemy_ships);
    Text(10, 150, TEXT_GREEN);
}

} // namespace

void Draw_Game_Picture() {
    Draw_World();
    Draw_Texts();
    if (debug_mode == 1) Draw_Debug_Readout();
}

int Game_Main(void *parms) {
    (void)parms;
    Start_Clock();
    Between_Keep_Previous();
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    DInput_Read_Keyboard();
    int escape_down = (GetAsyncKeyState(VK_ESCAPE) & 0x8000) || keyboard_state[DIK_ESCAPE];
    // The Escape that left the title may still be held: it must be let go before Escape ends
    // the game, or a normal press on the title would end the program as well.
    if (!escape_down) escape_armed = 1;

    if (game_state == 1) {
        if (player.state != 0) Move_Player();
        Toggle_Keys();
        if (keyboard_state[DIK_R]) {
            Reset_Game();
            Between_Mark_Jump();
        }
        Restart_Key();
        Update_World();
        Draw_Game_Picture();
    }

    DDraw_Flip();
    // The wait may show pictures drawn between this frame and the next; they show the
    // animations as this frame drew them, so those step on only once the wait is over.
    Wait_Frame(30);
    if (game_state == 1) Step_Animations();
    if (escape_armed && ((GetAsyncKeyState(VK_ESCAPE) & 0x8000) || keyboard_state[DIK_ESCAPE]))
        PostMessageA(main_window_handle, WM_DESTROY, 0, 0);
    if (game_frame_hook) game_frame_hook();
    return 1;
}
