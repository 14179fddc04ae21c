// The one explosion record, exhaust particles and power-ups: starting, moving, picking up and
// drawing them.
#include "engine/graphics/random.h"
#include "world/effects.h"

#include <cmath>
#include <cstdlib>

#include "engine/graphics/clock.h"
#include "engine/sound/dsound.h"
#include "world/sheet.h"
#include "world/sounds.h"
#include "world/ship.h"
#include "world/weapons.h"
#include "world/world.h"

namespace {

constexpr float EXPLOSION_HEARING_DISTANCE = 2000.0f;
constexpr int PARTICLE_LIFE = 32;
constexpr int POWERUP_SCORE = 200;

int expl_anim[4] = {0, 1, 2, 3};

} // namespace

// ---- explosion --------------------------------------------------------------------------------

int Init_Expl() {
    Create_BOB(&explosion, 0, 0, 80, 80, 4,
               BOB_ATTR_VISIBLE | BOB_ATTR_ANIM_ONE_SHOT | BOB_ATTR_MULTI_ANIM,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    int loaded = Load_Sheet_BOB16(&explosion, "expl.bmp", 4, 4);
    explosion.state = 0;
    Load_Animation_BOB(&explosion, 0, 4, expl_anim);
    return loaded == 4;
}

int Start_Expl(int x, int y) {
    world_x(explosion) = x;
    world_y(explosion) = y;
    explosion.curr_frame = 0;
    explosion.anim_pos = 0;
    explosion.anim_state = 0;
    explosion.state = 1;
    float dx = x - player_x, dy = y - player_y;
    float dist = (float)sqrt((double)(dx * dx + dy * dy));
    if (dist < EXPLOSION_HEARING_DISTANCE) Play_First_Idle_Sound(explosion_ids);
    return 1;
}

int Show_Expl() {
    if (explosion.state != 1) return 1;
    Map_BOB_To_Screen(&explosion);
    Draw_BOB16(&explosion, lpddsback);
    return 1;
}

int Step_Expl() {
    if (explosion.state != 1) return 1;
    Animate_BOB(&explosion);
    if (explosion.curr_frame == 3) explosion.state = 0;
    return 1;
}

int Draw_Expl() {
    Show_Expl();
    return Step_Expl();
}

int Destroy_Expl() {
    Destroy_BOB(&explosion);
    return 1;
}

// ---- particles --------------------------------------------------------------------------------

int Init_Particles() {
    for (int i = 0; i < MAX_PARTICLES; i++)
        particles[i] = PARTICLE_TYP{0, 0, 0, 0, 0};
    return 1;
}

int Start_Particles(int x, int y, int xv, int yv) {
    for (int i = 0; i < MAX_PARTICLES; i++) {
        PARTICLE_TYP &p = particles[i];
        if (p.life != 0) continue;
        p.x = x;
        p.y = y;
        p.xv = xv;
        p.yv = yv;
        p.life = PARTICLE_LIFE;
        return 1;
    }
    return 0;
}

int Move_Particles() {
    for (int i = 0; i < MAX_PARTICLES; i++) {
        PARTICLE_TYP &p = particles[i];
        if (p.life <= 0) continue;
        p.x += p.xv;
        p.y += p.yv;
        p.life -= 1;
    }
    return 1;
}

int Draw_Particles() {
    if (!sback_buffer) return 0;
    int pitch = back_lpitch >> 1;
    for (int i = 0; i < MAX_PARTICLES; i++) {
        PARTICLE_TYP &p = particles[i];
        if (p.life <= 0) continue;
        int sx, sy;
        if (Map_Point_To_Screen(p.x, p.y, &sx, &sy))
            Plot_Pixel16(sx, sy, p.life, 0, 0, sback_buffer, pitch);
    }
    return 1;
}

// ---- power-ups --------------------------------------------------------------------------------

int Init_Powerups() {
    Create_BOB(&powerups[0], 0, 0, 25, 25, 4, BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_FRAME,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    int loaded = Load_Sheet_BOB16(&powerups[0], "powerups.bmp", 4, 4);
    powerups[0].state = 0;
    for (int i = 1; i < MAX_POWERUPS; i++)
        powerups[i] = powerups[0];
    return loaded == 4;
}

int Start_Powerups(int x, int y) {
    int slot = Find_Free_Slot(powerups, MAX_POWERUPS);
    if (slot < 0) return 0;
    BOB_TYP &p = powerups[slot];
    int w = powerups[0].width;
    p.state = 1;
    world_x(p) = x - (w >> 1);
    world_y(p) = y - (w >> 1);
    p.curr_frame = Rand() % 4;
    return 1;
}

namespace {

// The effect of picking up a power-up of the given kind.
void Apply_Powerup(int kind) {
    switch (kind) {
    case 0:
        fuel = FUEL_FULL;
        break;
    case 1:
        score += POWERUP_SCORE;
        break;
    case 2:
        if (player.int_vars[INDEX_SHIELD] < SHIELD_FULL) player.int_vars[INDEX_SHIELD] += 1;
        break;
    case 3:
        if (missile_load < MISSILES_FULL) {
            missile_load += 2;
            if (missile_load > MISSILES_FULL) missile_load = MISSILES_FULL;
        }
        break;
    }
}

} // namespace

int Move_Powerups() {
    for (int i = 0; i < MAX_POWERUPS; i++) {
        BOB_TYP &p = powerups[i];
        if (p.state != 1) continue;
        // The ship's box is tested whether or not it is alive: a wreck still collects.
        if (!Touches_Player(p)) continue;
        p.state = 0;
        if (DSound_Status_Sound(powerup_id) == 0) DSound_Play(powerup_id, 0, 0, 0, 0);
        Apply_Powerup(p.curr_frame);
    }
    return 1;
}

int Draw_Powerups() {
    for (int i = 0; i < MAX_POWERUPS; i++) {
        if (powerups[i].state != 1) continue;
        Map_BOB_To_Screen(&powerups[i]);
        Draw_BOB16(&powerups[i], lpddsback);
    }
    return 1;
}

int Destroy_Powerups() {
    for (int i = 0; i < MAX_POWERUPS; i++)
        Destroy_BOB(&powerups[i]);
    return 1;
}
