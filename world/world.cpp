// The world model: the entity pools, the enemy count and score, the direction tables, the
// approximate length, the starting fleet, the screen mapping and the one-pixel plot.
#include "world/world.h"

#include <cmath>

#include "engine/graphics/ddraw.h"
#include "engine/graphics/fmath.h"
#include "world/craft.h"

BOB_TYP craft[MAX_CRAFT];
BOB_TYP stations[MAX_STATIONS];
BOB_TYP missiles[MAX_MISSILES];
BOB_TYP bullets[MAX_BULLETS];
BOB_TYP powerups[MAX_POWERUPS];
BOB_TYP explosion;
PARTICLE_TYP particles[MAX_PARTICLES];
STAR_TYP stars[MAX_STARS];

int enemy_ships = 0;
int score = 0;
float sin_table[NUM_HEADINGS];
float cos_table[NUM_HEADINGS];

const CRAFT_START_TYP craft_start[NUM_START_CRAFT] = {
    {-1000, -400}, {5000, -400},  {4000, 500},   {600, 4500},    {1000, -600},
    {-4000, 400},  {-5000, 1000}, {-3000, 2200}, {-3000, -2800}, {4050, 400},
    {3900, 100},   {400, -2400},  {-400, 4000},
};

void Init_Trig_Tables() {
    // The angle is worked out in double and only the result is narrowed, so every entry is the
    // float nearest the true value.
    for (int k = 0; k < NUM_HEADINGS; k++) {
        double angle = k * 10 * 3.1415926535 / 180;
        sin_table[k] = (float)Fm_Sin(angle);
        cos_table[k] = (float)Fm_Cos(angle);
    }
}

int Wrap_Heading(int h) {
    while (h >= NUM_HEADINGS)
        h -= NUM_HEADINGS;
    while (h < 0)
        h += NUM_HEADINGS;
    return h;
}

float Approx_Distance(float a, float b) {
    float p = fabsf(a);
    float q = fabsf(b);
    float m = p < q ? p : q;
    // One float operation at a time, left to right: the rounding of each step is part of the
    // speed the ship is measured at.
    float d = p + q;
    d = d - m / 2;
    d = d - m / 4;
    d = d + m / 8;
    return d;
}

void Reset_Craft() {
    for (int i = 0; i < NUM_START_CRAFT; i++) {
        enemy_ships++;
        vel_x(craft[i]) = 0.0f;
        vel_y(craft[i]) = 0.0f;
        craft[i].state = CRAFT_STATE_HUNT;
    }
    for (int i = 0; i < NUM_START_CRAFT; i++) {
        world_x(craft[i]) = craft_start[i].x;
        world_y(craft[i]) = craft_start[i].y;
    }
    for (int i = NUM_START_CRAFT; i < MAX_CRAFT; i++)
        craft[i].state = CRAFT_STATE_OFF;
}

void Plot_Pixel16(int x, int y, int r, int g, int b, unsigned short *buffer, int pitch) {
    unsigned short px;
    if (dd_pixel_format == 16)
        px = (unsigned short)(((r & 31) << 11) | ((g & 63) << 6) | (b & 31));
    else
        px = (unsigned short)(((r & 31) << 10) | ((g & 31) << 5) | (b & 31));
    buffer[x + y * pitch] = px;
}

void Map_BOB_To_Screen(BOB_TYP *bob) {
    // The corner is an int; the offset from the ship is taken in float and truncated.
    int left = world_x(*bob) - (bob->width >> 1);
    int top = world_y(*bob) - (bob->height >> 1);
    bob->x = (int)(left - player_x + 400);
    bob->y = (int)(top - player_y + 300);
}

int Map_Point_To_Screen(int x, int y, int *sx, int *sy) {
    *sx = (int)(x - player_x + 400);
    *sy = (int)(y - player_y + 300);
    return *sx >= 0 && *sx < 800 && *sy >= 0 && *sy < 600;
}

int Find_Free_Slot(BOB_TYP *pool, int count) {
    for (int i = 0; i < count; i++)
        if (pool[i].state == 0) return i;
    return -1;
}

int Outside_Engagement_Area() {
    return player_x < -ENGAGEMENT_LIMIT || player_x > ENGAGEMENT_LIMIT ||
           player_y < -ENGAGEMENT_LIMIT || player_y > ENGAGEMENT_LIMIT;
}
