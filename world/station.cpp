// Space stations: the pool's pictures and animation, launch timers and the craft they launch.
// Their damage and destruction are taken by the shots and missiles that hit them.
#include "engine/graphics/random.h"
#include "world/station.h"

#include <cstdlib>

#include "world/craft.h"
#include "world/sheet.h"
#include "world/world.h"

namespace {

constexpr int STATION_LAUNCH_INTERVAL = 1000;
constexpr int LAUNCH_RUN_FRAMES = 60;

int station_anim[8] = {0, 1, 2, 3, 4, 5, 6, 7};

} // namespace

int Init_Stations() {
    Create_BOB(&stations[0], 0, 0, 120, 120, 8, BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_ANIM,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    int loaded = Load_Sheet_BOB16(&stations[0], "station00.bmp", 8, 8);
    Load_Animation_BOB(&stations[0], 0, 8, station_anim);
    Set_Anim_Speed_BOB(&stations[0], 5);
    Set_Animation_BOB(&stations[0], 0);
    stations[0].state = 0;
    for (int i = 1; i < MAX_STATIONS; i++)
        stations[i] = stations[0];
    return loaded == 8;
}

namespace {

// Sends a new craft out of station s into the first free craft slot, if there is one. The
// craft keeps the velocity and fire delay its slot last had.
void Launch_Craft(BOB_TYP &s) {
    for (int i = 0; i < MAX_CRAFT; i++) {
        BOB_TYP &c = craft[i];
        if (c.state != CRAFT_STATE_OFF) continue;
        world_x(c) = world_x(s);
        world_y(c) = world_y(s);
        c.state = CRAFT_STATE_LAUNCH;
        c.counter_2 = LAUNCH_RUN_FRAMES;
        heading(c) = Rand() % 36;
        enemy_ships += 1;
        return;
    }
}

} // namespace

int Move_Stations() {
    for (int i = 0; i < MAX_STATIONS; i++) {
        BOB_TYP &s = stations[i];
        if (s.state != 1) continue;
        if (s.counter_2 <= 0) {
            Launch_Craft(s);
            s.counter_2 = STATION_LAUNCH_INTERVAL;
        }
        s.counter_2 -= 1;
    }
    return 1;
}

int Show_Stations() {
    for (int i = 0; i < MAX_STATIONS; i++) {
        if (stations[i].state != 1) continue;
        Map_BOB_To_Screen(&stations[i]);
        Draw_BOB16(&stations[i], lpddsback);
    }
    return 1;
}

int Step_Stations() {
    for (int i = 0; i < MAX_STATIONS; i++)
        if (stations[i].state == 1) Animate_BOB(&stations[i]);
    return 1;
}

int Draw_Stations() {
    Show_Stations();
    return Step_Stations();
}

int Destroy_Stations() {
    for (int i = 0; i < MAX_STATIONS; i++)
        Destroy_BOB(&stations[i]);
    return 1;
}
