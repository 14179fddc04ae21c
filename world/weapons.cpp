// Gun shots and missiles: their pools, flight, lifetime and drawing, and every hit they make on
// craft, stations and the ship (damage, score, the count of enemies, explosions and sounds).
#include "world/weapons.h"

#include <cmath>

#include "engine/graphics/clock.h"
#include "engine/sound/dsound.h"
#include "world/craft.h"
#include "world/effects.h"
#include "world/ship.h"
#include "world/sheet.h"
#include "world/sounds.h"
#include "world/world.h"

namespace {

constexpr int BULLET_LIFE = 100;  // updates before a shot vanishes
constexpr int MISSILE_LIFE = 100; // updates before a missile bursts
constexpr int CRAFT_POINTS = 100;
constexpr int STATION_POINTS = 2500;
constexpr int MISSILE_DAMAGE = 10;

int bullet_anim_red[4] = {0, 1, 2, 3};
int bullet_anim_green[4] = {4, 5, 6, 7};
int bullet_anim_blue[4] = {8, 9, 10, 11};
int bullet_anim_yellow[4] = {12, 13, 14, 15};

// Whether an object's hit box meets another's; the moving object comes first.
int Boxes_Touch(BOB_TYP &mover, BOB_TYP &target) {
    return Collision_Test(world_x(mover) - (mover.width >> 1), world_y(mover) - (mover.height >> 1),
                          mover.width, mover.height, world_x(target) - (target.width >> 1),
                          world_y(target) - (target.height >> 1), target.width, target.height);
}

// Tests one projectile against every live craft; each craft it touches is destroyed.
void Hit_Craft(BOB_TYP &shot) {
    for (int c = 0; c < MAX_CRAFT; c++) {
        BOB_TYP &target = craft[c];
        if (target.state == CRAFT_STATE_OFF || !Boxes_Touch(shot, target)) continue;
        target.state = CRAFT_STATE_OFF;
        enemy_ships -= 1;
        score += CRAFT_POINTS;
        Start_Powerups(world_x(target), world_y(target));
        Start_Expl(world_x(target), world_y(target));
        shot.state = 0;
        if (enemy_ships <= 0) DSound_Play(victory_id, 0, 0, 0, 0);
    }
}

// Takes damage points off a station and destroys it when none are left. A station's end never
// plays the victory sound, even when it was the last enemy.
void Damage_Station(BOB_TYP &s, int damage) {
    s.counter_1 -= damage;
    if (s.counter_1 > 0) return;
    enemy_ships -= 1;
    score += STATION_POINTS;
    s.state = 0;
    int sx = world_x(s), sy = world_y(s);
    Start_Expl(sx + 60, sy - 30);
    Start_Expl(sx, sy + 50);
    Start_Expl(sx - 80, sy + 10);
}

} // namespace

// ---- gun shots --------------------------------------------------------------------------------

int Init_Bullets() {
    Create_BOB(&bullets[0], 0, 0, 13, 13, 16, BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_ANIM,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    int loaded = Load_Sheet_BOB16(&bullets[0], "bullets.bmp", 16, 4);
    Set_Anim_Speed_BOB(&bullets[0], 1);
    Load_Animation_BOB(&bullets[0], 0, 4, bullet_anim_red);
    Load_Animation_BOB(&bullets[0], 1, 4, bullet_anim_green);
    Load_Animation_BOB(&bullets[0], 2, 4, bullet_anim_blue);
    Load_Animation_BOB(&bullets[0], 3, 4, bullet_anim_yellow);
    bullets[0].state = 0;
    for (int i = 1; i < MAX_BULLETS; i++)
        bullets[i] = bullets[0];
    return loaded == 16;
}

int Start_Bullet(int x, int y, int xv, int yv, int color) {
    // The four colours are the only sequences the pool has; any other would animate nothing.
    if (color < BULLET_COLOR_RED || color > BULLET_COLOR_YELLOW) return 0;
    int slot = Find_Free_Slot(bullets, MAX_BULLETS);
    if (slot < 0) return 0;
    BOB_TYP &b = bullets[slot];
    int w = bullets[0].width;
    b.state = 1;
    world_x(b) = x - (w >> 1);
    world_y(b) = y - (w >> 1);
    b.xv = xv;
    b.yv = yv;
    b.curr_frame = 0;
    b.anim_state = color;
    Set_Animation_BOB(&b, color);
    b.counter_1 = 0;
    Play_First_Idle_Sound(bullet_ids);
    return 1;
}

namespace {

// An enemy shot on the ship: a shield level is lost, or with none left the ship is destroyed.
void Hit_Player(BOB_TYP &b) {
    b.state = 0;
    int &shield = player.int_vars[INDEX_SHIELD];
    if (shield <= 0 && player.state != 0) {
        Start_Expl((int)player_x, (int)player_y);
        player.state = 0;
        player_yv = 0.0f;
        player_xv = 0.0f;
    } else if (shield > 0) {
        shield -= 1;
        Play_First_Idle_Sound(hit_ids);
    }
}

} // namespace

int Move_Bullets() {
    for (int i = 0; i < MAX_BULLETS; i++) {
        BOB_TYP &b = bullets[i];
        if (b.state != 1) continue;
        world_x(b) += b.xv;
        world_y(b) += b.yv;
        // A shot that ages out still takes part in this update's hit tests.
        if (++b.counter_1 >= BULLET_LIFE) {
            b.counter_1 = 0;
            b.state = 0;
        }
        if (b.anim_state == BULLET_COLOR_PLAYER) {
            Hit_Craft(b);
            for (int s = 0; s < MAX_STATIONS; s++) {
                if (stations[s].state != 1 || !Boxes_Touch(b, stations[s])) continue;
                b.state = 0;
                Play_First_Idle_Sound(hit_ids);
                Damage_Station(stations[s], 1);
            }
        } else if (b.anim_state == BULLET_COLOR_ENEMY) {
            if (Touches_Player(b)) Hit_Player(b);
        }
    }
    return 1;
}

int Show_Bullets() {
    for (int i = 0; i < MAX_BULLETS; i++) {
        if (bullets[i].state != 1) continue;
        Map_BOB_To_Screen(&bullets[i]);
        Draw_BOB16(&bullets[i], lpddsback);
    }
    return 1;
}

int Step_Bullets() {
    for (int i = 0; i < MAX_BULLETS; i++)
        if (bullets[i].state == 1) Animate_BOB(&bullets[i]);
    return 1;
}

int Draw_Bullets() {
    Show_Bullets();
    return Step_Bullets();
}

int Destroy_Bullets() {
    for (int i = 0; i < MAX_BULLETS; i++)
        Destroy_BOB(&bullets[i]);
    return 1;
}

// ---- missiles ---------------------------------------------------------------------------------

int Init_Missiles() {
    Create_BOB(&missiles[0], 0, 0, 39, 39, 36, BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_FRAME,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    int loaded = Load_Sheet_BOB16(&missiles[0], "missiles.bmp", 36, 36);
    missiles[0].state = 0;
    world_x(missiles[0]) = 0;
    world_y(missiles[0]) = 0;
    for (int i = 1; i < MAX_MISSILES; i++)
        missiles[i] = missiles[0];
    return loaded == 36;
}

int Start_Missile(int x, int y, float xv, float yv, int heading_index) {
    int slot = Find_Free_Slot(missiles, MAX_MISSILES);
    if (slot < 0) return 0;
    BOB_TYP &m = missiles[slot];
    int w = missiles[0].width;
    m.state = 1;
    world_x(m) = x - (w >> 1);
    world_y(m) = y - (w >> 1);
    vel_x(m) = xv;
    vel_y(m) = yv;
    // The heading indexes the direction tables on every update.
    heading(m) = Wrap_Heading(heading_index);
    m.counter_1 = MISSILE_LIFE;
    DSound_Play(missile_id, 0, 0, 0, 0);
    return 1;
}

int Move_Missiles() {
    for (int i = 0; i < MAX_MISSILES; i++) {
        BOB_TYP &m = missiles[i];
        if (m.state == 0) continue;
        // Life runs out before the move, so the burst shows where the missile was.
        if (m.counter_1 > 0) {
            m.counter_1 -= 1;
        } else {
            m.state = 0;
            Start_Expl(world_x(m), world_y(m));
        }
        world_x(m) += (int)vel_x(m);
        world_y(m) += (int)vel_y(m);
        Hit_Craft(m);
        for (int s = 0; s < MAX_STATIONS; s++) {
            if (stations[s].state != 1 || !Boxes_Touch(m, stations[s])) continue;
            Start_Expl(world_x(m), world_y(m));
            m.state = 0;
            Damage_Station(stations[s], MISSILE_DAMAGE);
        }
        int h = heading(m);
        vel_x(m) += cos_table[h];
        vel_y(m) += sin_table[h];
        double vx = vel_x(m), vy = vel_y(m);
        float s = (float)sqrt(vx * vx + vy * vy);
        if (s >= 30.0f) {
            float factor = 28.0f / s;
            vel_x(m) *= factor;
            vel_y(m) *= factor;
        }
    }
    return 1;
}

int Draw_Missiles() {
    for (int i = 0; i < MAX_MISSILES; i++) {
        if (missiles[i].state == 0) continue;
        missiles[i].curr_frame = heading(missiles[i]);
        Map_BOB_To_Screen(&missiles[i]);
        Draw_BOB16(&missiles[i], lpddsback);
    }
    return 1;
}

int Destroy_Missiles() {
    for (int i = 0; i < MAX_MISSILES; i++)
        Destroy_BOB(&missiles[i]);
    return 1;
}
