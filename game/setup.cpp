// Bringing the game up and down: Game_Init, Reset_Game and Game_Shutdown.
#include <cstdlib>

#include "engine/graphics/random.h"
#include "engine/graphics/clock.h"
#include "engine/graphics/ddraw.h"
#include "engine/graphics/frame_source.h"
#include "engine/input/dinput.h"
#include "engine/sound/dsound.h"
#include "game/between.h"
#include "game/game.h"
#include "game/panel.h"
#include "game/screens.h"
#include "engine/window/window.h"
#include "world/craft.h"
#include "world/effects.h"
#include "world/radar.h"
#include "world/ship.h"
#include "world/stars.h"
#include "world/station.h"
#include "world/weapons.h"

int Reset_Game() {
    enemy_ships = 0;
    Reset_Craft();
    for (int i = 0; i < MAX_POWERUPS; i++)
        powerups[i].state = 0;
    score = 0;
    fuel = FUEL_FULL;
    missile_load = START_MISSILES;
    missile_delay = 0;

    // Two stations are placed; slots 2 and 3 stay as they are.
    static const int station_start[2][2] = {{1000, 1000}, {5000, -2000}};
    for (int i = 0; i < 2; i++) {
        world_x(stations[i]) = station_start[i][0];
        world_y(stations[i]) = station_start[i][1];
        stations[i].counter_1 = 50;   // hit points
        stations[i].counter_2 = 1000; // frames until the first launch
        stations[i].state = 1;
        enemy_ships++;
    }
    return enemy_ships;
}

int Game_Init(void *parms) {
    (void)parms;
    DDraw_Init(800, 600, 16, 0);
#if !FARWAKE_KEEP_PIXEL_FORMAT
    // Everything the game composes or loads is packed 5.5.5, whatever the display reported, and
    // the picture is shown the way it is packed.
    dd_pixel_format = 15;
    dd_present_format = 15;
#else
    dd_present_format = 16;
#endif
    DSound_Init();
    DInput_Init();
    DInput_Init_Keyboard();
    ShowCursor(FALSE);
    Seed_Rand((unsigned)Start_Clock());

    Init_Trig_Tables();
    Init_Radar();
    Init_Shield_Gauge();
    Init_Missile_Meter();
    Init_Player();
    Init_Craft();
    Reset_Craft();
    Init_Stars();
    Init_Particles();
    Init_Bullets();
    Init_Missiles();
    Init_Expl();
    Init_Powerups();
    Init_Sounds();
    Init_Stations();

    score = 0;
    Reset_Player();
    player_v = 0.0f;
    fuel = FUEL_FULL;
    missile_load = START_MISSILES;
    missile_delay = 0;
    burn_power = START_BURN_POWER;
    max_player_v = START_MAX_V;
    max_player_av = START_MAX_AV;

    Reset_Game();
    debug_mode = 0;
    game_state = 1;

    RECT screen = {0, 0, screen_width, screen_height};
    lpddclipper = DDraw_Attach_Clipper(lpddsback, 1, &screen);
    frame_between_picture = Game_Draw_Between;
    Run_Title_Screen();
    return 1;
}

int Game_Shutdown(void *parms) {
    (void)parms;
    frame_between_picture = nullptr;
    Destroy_BOB(&player);
    Destroy_Radar();
    Destroy_BOB(&shields);
    Destroy_BOB(&missile_meter);

    Destroy_Craft();
    Destroy_Missiles();
    Destroy_Bullets();
    Destroy_Expl();
    Destroy_Powerups();
    Destroy_Stations();

    DSound_Stop_All_Sounds();
    DSound_Shutdown();
    DInput_Shutdown();
    DDraw_Shutdown();
    return 1;
}
