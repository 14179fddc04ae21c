// Enemy craft: the pool's pictures, hunting (bearing, turn, thrust, speed cap, fire), the launch
// run out of a station, movement and drawing.
#include "engine/graphics/fmath.h"
#include "engine/graphics/random.h"
#include "world/craft.h"

#include <cmath>
#include <cstdlib>

#include "world/sheet.h"
#include "world/weapons.h"
#include "world/world.h"

namespace {

// Beyond this distance a craft waits in place; within the fire range it may shoot.
constexpr float CRAFT_WAKE_DISTANCE = 3000.0f;
constexpr float CRAFT_FIRE_DISTANCE = 400.0f;
constexpr int CRAFT_FIRE_DELAY = 25;
constexpr float CRAFT_SHOT_SPEED = 20.0f;

} // namespace

int Init_Craft() {
    Create_BOB(&craft[0], 0, 0, 49, 49, 36, BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_FRAME,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    int loaded = Load_Sheet_BOB16(&craft[0], "craft01.bmp", 36, 36);
    world_x(craft[0]) = 400;
    world_y(craft[0]) = 100;
    heading(craft[0]) = 0;
    fire_delay(craft[0]) = 0;
    vel_x(craft[0]) = 0.0f;
    vel_y(craft[0]) = 0.0f;
    craft[0].counter_2 = 0;
    craft[0].state = CRAFT_STATE_OFF;
    for (int i = 1; i < MAX_CRAFT; i++) {
        craft[i] = craft[0];
        world_x(craft[i]) = 100 * i;
        world_y(craft[i]) = 200 * i;
    }
    return loaded == 36;
}

// Heading index 0..35 of the player seen from (x, y). Both truncations toward zero pull the
// result toward heading 0, so straight down reads 8, not 9.
int Craft_Bearing(int x, int y) {
    float dy = player_y - (float)y;
    float dx = player_x - (float)x;
    // Only the truncated a * 180 matters. The library's atan2 is off by an ulp or two at most,
    // so away from an integer it truncates alike and spares the slow exact one; near an
    // integer, or on odd input, the exact one decides, so no maths library can change a game.
    double t = std::atan2((double)dy, (double)dx) * 180;
    if (!(std::fabs(t - std::nearbyint(t)) > 1e-6)) t = Fm_Atan2((double)dy, (double)dx) * 180;
    int b = (int)((int)t / (10 * 3.1415926535));
    if (b < 0) b += 36;
    return b;
}

namespace {

// Length of (a, b) with squares and sum in float and the root rounded back to float.
float Float_Length(float a, float b) {
    float sum = a * a + b * b;
    return (float)sqrt((double)sum);
}

// Caps a craft's speed: a velocity of length 10 or more is scaled to length 8.
void Cap_Craft_Speed(BOB_TYP &c) {
    float s = Float_Length(vel_x(c), vel_y(c));
    if (s >= 10.0f) {
        float factor = 8.0f / s;
        vel_x(c) *= factor;
        vel_y(c) *= factor;
    }
}

// One step toward bearing b along the shorter way round, when the draw allows it.
void Turn_Craft(BOB_TYP &c, int b) {
    int h = heading(c);
    if (b > h) {
        int r = Rand() % 10;
        if (r > 4) {
            if (b - h < h + 36 - b)
                h += 1;
            else if (b - h > h + 36 - b)
                h -= 1;
        }
    } else if (b < h) {
        int r = Rand() % 10;
        if (r > 4) {
            if (h - b > b + 36 - h)
                h += 1;
            else if (h - b < b + 36 - h)
                h -= 1;
        }
    }
    heading(c) = Wrap_Heading(h);
}

void Hunt(BOB_TYP &c) {
    int b = Craft_Bearing(world_x(c), world_y(c));
    int d = b - heading(c);
    float dist = Float_Length((float)world_x(c) - player_x, (float)world_y(c) - player_y);
    if (dist >= CRAFT_WAKE_DISTANCE) {
        vel_x(c) = 0.0f;
        vel_y(c) = 0.0f;
    } else {
        Turn_Craft(c, b);
        if (Rand() % 10 > 2) {
            vel_x(c) += cos_table[heading(c)];
            vel_y(c) += sin_table[heading(c)];
        }
        Cap_Craft_Speed(c);
    }
    // Every negative d passes the facing test: the craft shoots at players on one whole side.
    if (fire_delay(c) <= 0 && (d < 4 || d > 32) && player.state == 1 &&
        dist < CRAFT_FIRE_DISTANCE && Rand() % 10 > 2) {
        int h = heading(c);
        Start_Bullet(world_x(c), world_y(c), (int)(vel_x(c) + CRAFT_SHOT_SPEED * cos_table[h]),
                     (int)(vel_y(c) + CRAFT_SHOT_SPEED * sin_table[h]), BULLET_COLOR_ENEMY);
        fire_delay(c) = CRAFT_FIRE_DELAY;
    }
}

void Launch_Run(BOB_TYP &c) {
    c.counter_2 -= 1;
    vel_x(c) += cos_table[heading(c)];
    vel_y(c) += sin_table[heading(c)];
    Cap_Craft_Speed(c);
    if (c.counter_2 <= 0) c.state = CRAFT_STATE_HUNT;
}

} // namespace

int Move_Craft() {
    for (int i = 0; i < MAX_CRAFT; i++) {
        BOB_TYP &c = craft[i];
        if (c.state == CRAFT_STATE_HUNT)
            Hunt(c);
        else if (c.state == CRAFT_STATE_LAUNCH)
            Launch_Run(c);
        if (c.state == CRAFT_STATE_OFF) continue;
        if (fire_delay(c) > 0) fire_delay(c) -= 1;
        world_x(c) += (int)vel_x(c);
        world_y(c) += (int)vel_y(c);
    }
    return 1;
}

int Draw_Craft() {
    for (int i = 0; i < MAX_CRAFT; i++) {
        if (craft[i].state == CRAFT_STATE_OFF) continue;
        craft[i].curr_frame = heading(craft[i]);
        Map_BOB_To_Screen(&craft[i]);
        Draw_BOB16(&craft[i], lpddsback);
    }
    return 1;
}

int Destroy_Craft() {
    for (int i = 0; i < MAX_CRAFT; i++)
        Destroy_BOB(&craft[i]);
    return 1;
}
