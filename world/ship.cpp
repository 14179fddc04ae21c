// The player's ship: its object and flight state, and the flight step with its thrust cases,
// speed limits, engine sounds, gun and missile triggers.
#include "world/ship.h"

#include "engine/graphics/clock.h"
#include "engine/input/dinput.h"
#include "engine/sound/dsound.h"
#include "world/effects.h"
#include "world/sheet.h"
#include "world/sounds.h"
#include "world/weapons.h"

BOB_TYP player;
float player_x = 0.0f, player_y = 0.0f;
float player_xv = 0.0f, player_yv = 0.0f;
float player_v = 0.0f;
float max_player_v = START_MAX_V;
float max_player_av = START_MAX_AV;
float burn_power = START_BURN_POWER;
float fuel = FUEL_FULL;
int engines_on = 0;
int afterburners_on = 0;
int missile_load = START_MISSILES;
int missile_delay = 0;

int Init_Player() {
    Create_BOB(&player, 370, 270, 60, 60, NUM_HEADINGS, BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_FRAME,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    // One heading a cell along the sheet's top row; a short or missing file leaves frames blank.
    Load_Sheet_BOB16(&player, "ship.bmp", NUM_HEADINGS, NUM_HEADINGS);
    Reset_Player();
    return 1;
}

void Reset_Player() {
    player.int_vars[INDEX_SHIELD] = SHIELD_FULL;
    player.state = 1;
    player_x = 0.0f;
    player_y = 0.0f;
    player_xv = 0.0f;
    player_yv = 0.0f;
    heading(player) = 0;
}

int Touches_Player(BOB_TYP &mover) {
    return Collision_Test(world_x(mover) - (mover.width >> 1), world_y(mover) - (mover.height >> 1),
                          mover.width, mover.height, (int)(player_x - (player.width >> 1)),
                          (int)(player_y - (player.height >> 1)), player.width, player.height);
}

namespace {

// Exhaust drifts backwards at an eighth of the ship's velocity; the shift rounds toward minus
// infinity, so any forward speed of 1 to 7 still leaves the exhaust drifting back by 1.
void Start_Exhaust() {
    Start_Particles((int)player_x, (int)player_y, (-(int)player_xv) >> 3, (-(int)player_yv) >> 3);
}

void Afterburner(int h) {
    fuel -= 1.0f;
    if (afterburners_on == 0) {
        DSound_Play(afterburner_id, 0, 0, 0, 0);
        afterburners_on = 1;
    }
    player_xv += burn_power * cos_table[h];
    player_yv += burn_power * sin_table[h];
    Start_Exhaust();
    player_v = Approx_Distance(player_xv, player_yv);
    if (player_v >= max_player_av) {
        // The factor is rounded to float before it scales either component.
        float f = (max_player_av - 1) / player_v;
        player_xv *= f;
        player_yv *= f;
    }
}

void Engine(int h) {
    afterburners_on = 0;
    if (engines_on == 0) {
        DSound_Play(engine_id, 1, 0, 0, 0);
        engines_on = 1;
    }
    player_xv += cos_table[h];
    player_yv += sin_table[h];
    Start_Exhaust();
    float k = (float)(player_v - 1.4); // the speed measured one frame earlier
    player_v = Approx_Distance(player_xv, player_yv);
    if (player_v > max_player_v) {
        // s stays in double; each component is scaled in double and rounded when stored.
        double s = k - 0.01 * player_v;
        player_xv = (float)(s * player_xv / player_v);
        player_yv = (float)(s * player_yv / player_v);
    }
}

void Coast() {
    if (engines_on == 1) {
        DSound_Stop_Sound(engine_id);
        engines_on = 0;
    }
    afterburners_on = 0;
    player_v = Approx_Distance(player_xv, player_yv);
    if (player_v > max_player_v) {
        player_xv = (float)(player_xv - 0.01 * player_xv);
        player_yv = (float)(player_yv - 0.01 * player_yv);
    }
}

} // namespace

void Move_Player() {
    if (player.state == 0) return;

    // Kept inside the tables whatever was stored: the index reads 36-entry arrays.
    int h = Wrap_Heading(heading(player));
    if (keyboard_state[DIK_RIGHT]) {
        if (++h >= NUM_HEADINGS) h = 0;
    } else if (keyboard_state[DIK_LEFT]) {
        if (--h < 0) h = NUM_HEADINGS - 1;
    }
    heading(player) = h;
    player.curr_frame = h;

    if (keyboard_state[DIK_TAB] && fuel > 0.0f)
        Afterburner(h);
    else if (keyboard_state[DIK_UP] || keyboard_state[DIK_TAB])
        Engine(h);
    else
        Coast();

    player_x += player_xv;
    player_y += player_yv;

    if (keyboard_state[DIK_LCONTROL] && player.counter_1 == 0) {
        float vx = cos_table[h] * PLAYER_SHOT_SPEED + player_xv;
        float vy = sin_table[h] * PLAYER_SHOT_SPEED + player_yv;
        Start_Bullet((int)player_x, (int)player_y, (int)vx, (int)vy, BULLET_COLOR_PLAYER);
        player.counter_1 = PLAYER_GUN_DELAY;
    }
    if (player.counter_1 > 0) player.counter_1--;

    if (keyboard_state[DIK_LMENU] && missile_delay == 0 && missile_load > 0) {
        Start_Missile((int)player_x, (int)player_y, player_xv, player_yv, h);
        missile_delay = PLAYER_MISSILE_DELAY;
        missile_load--;
    }
    if (missile_delay > 0) missile_delay--;
}
