// In-between pictures: a copy of every moving position at the start of each game frame, and the
// game's own drawing run over positions blended towards the latest frame, then put back.
#include "game/between.h"

#include <cmath>
#include <cstring>

#include "game/game.h"
#include "game/panel.h"
#include "world/world.h"

namespace {

// Further than this on either axis in one frame is no flight but a jump (a launch, a wrap of the
// star plane, a restart): the thing is drawn where it is now. The fastest flight (afterburner
// plus a shot's own speed) stays well below it, the smallest wrap (the 1200-high star plane)
// far above it.
constexpr int MAX_STEP = 160;

struct SPOT_TYP {
    int state, x, y;
};

// Positions at the start of the latest game frame.
struct PREVIOUS_TYP {
    int valid = 0; // 0 before the first frame and during a jump
    float player_x, player_y;
    SPOT_TYP craft[MAX_CRAFT], stations[MAX_STATIONS], missiles[MAX_MISSILES];
    SPOT_TYP bullets[MAX_BULLETS], powerups[MAX_POWERUPS], explosion;
    PARTICLE_TYP particles[MAX_PARTICLES];
    STAR_TYP stars[MAX_STARS];
};
PREVIOUS_TYP previous;

// Everything the drawing may write to, kept whole while an in-between picture is drawn.
struct WORLD_COPY_TYP {
    BOB_TYP craft[MAX_CRAFT], stations[MAX_STATIONS], missiles[MAX_MISSILES];
    BOB_TYP bullets[MAX_BULLETS], powerups[MAX_POWERUPS], explosion, player, shields;
    PARTICLE_TYP particles[MAX_PARTICLES];
    STAR_TYP stars[MAX_STARS];
    float player_x, player_y;
    char text[sizeof buffer];
};
WORLD_COPY_TYP saved;

void Keep_Spots(SPOT_TYP *to, BOB_TYP *from, int count) {
    for (int i = 0; i < count; i++)
        to[i] = SPOT_TYP{from[i].state, world_x(from[i]), world_y(from[i])};
}

int Steady(int from, int to) {
    return std::abs(to - from) <= MAX_STEP;
}

// from + (to - from) * alpha, to the nearest whole unit.
int Blend(int from, int to, double alpha) {
    return from + (int)std::lround((to - from) * alpha);
}

void Blend_Spots(BOB_TYP *bobs, const SPOT_TYP *from, int count, double alpha) {
    for (int i = 0; i < count; i++) {
        BOB_TYP &b = bobs[i];
        const SPOT_TYP &f = from[i];
        if (f.state != b.state || !Steady(f.x, world_x(b)) || !Steady(f.y, world_y(b))) continue;
        world_x(b) = Blend(f.x, world_x(b), alpha);
        world_y(b) = Blend(f.y, world_y(b), alpha);
    }
}

void Save_World() {
    std::memcpy(saved.craft, craft, sizeof craft);
    std::memcpy(saved.stations, stations, sizeof stations);
    std::memcpy(saved.missiles, missiles, sizeof missiles);
    std::memcpy(saved.bullets, bullets, sizeof bullets);
    std::memcpy(saved.powerups, powerups, sizeof powerups);
    saved.explosion = explosion;
    saved.player = player;
    saved.shields = shields;
    std::memcpy(saved.particles, particles, sizeof particles);
    std::memcpy(saved.stars, stars, sizeof stars);
    saved.player_x = player_x;
    saved.player_y = player_y;
    std::memcpy(saved.text, buffer, sizeof buffer);
}

void Restore_World() {
    std::memcpy(craft, saved.craft, sizeof craft);
    std::memcpy(stations, saved.stations, sizeof stations);
    std::memcpy(missiles, saved.missiles, sizeof missiles);
    std::memcpy(bullets, saved.bullets, sizeof bullets);
    std::memcpy(powerups, saved.powerups, sizeof powerups);
    explosion = saved.explosion;
    player = saved.player;
    shields = saved.shields;
    std::memcpy(particles, saved.particles, sizeof particles);
    std::memcpy(stars, saved.stars, sizeof stars);
    player_x = saved.player_x;
    player_y = saved.player_y;
    std::memcpy(buffer, saved.text, sizeof buffer);
}

void Blend_World(double alpha) {
    const PREVIOUS_TYP &p = previous;
    // The view follows the ship; a float position blended in float, as the ship flies in it.
    if (std::fabs(player_x - p.player_x) <= MAX_STEP &&
        std::fabs(player_y - p.player_y) <= MAX_STEP) {
        player_x = (float)(p.player_x + (player_x - p.player_x) * alpha);
        player_y = (float)(p.player_y + (player_y - p.player_y) * alpha);
    }
    Blend_Spots(craft, p.craft, MAX_CRAFT, alpha);
    Blend_Spots(stations, p.stations, MAX_STATIONS, alpha);
    Blend_Spots(missiles, p.missiles, MAX_MISSILES, alpha);
    Blend_Spots(bullets, p.bullets, MAX_BULLETS, alpha);
    Blend_Spots(powerups, p.powerups, MAX_POWERUPS, alpha);
    Blend_Spots(&explosion, &p.explosion, 1, alpha);
    for (int i = 0; i < MAX_PARTICLES; i++) {
        PARTICLE_TYP &q = particles[i];
        const PARTICLE_TYP &f = p.particles[i];
        // The same particle one frame older; a slot given to a new one is not blended.
        if (f.life != q.life + 1 || !Steady(f.x, q.x) || !Steady(f.y, q.y)) continue;
        q.x = Blend(f.x, q.x, alpha);
        q.y = Blend(f.y, q.y, alpha);
    }
    for (int i = 0; i < MAX_STARS; i++) {
        STAR_TYP &s = stars[i];
        const STAR_TYP &f = p.stars[i];
        if (!Steady(f.x, s.x) || !Steady(f.y, s.y)) continue;
        s.x = Blend(f.x, s.x, alpha);
        s.y = Blend(f.y, s.y, alpha);
    }
}

} // namespace

void Between_Keep_Previous() {
    previous.valid = 1;
    previous.player_x = player_x;
    previous.player_y = player_y;
    Keep_Spots(previous.craft, craft, MAX_CRAFT);
    Keep_Spots(previous.stations, stations, MAX_STATIONS);
    Keep_Spots(previous.missiles, missiles, MAX_MISSILES);
    Keep_Spots(previous.bullets, bullets, MAX_BULLETS);
    Keep_Spots(previous.powerups, powerups, MAX_POWERUPS);
    Keep_Spots(&previous.explosion, &explosion, 1);
    std::memcpy(previous.particles, particles, sizeof particles);
    std::memcpy(previous.stars, stars, sizeof stars);
}

void Between_Mark_Jump() {
    previous.valid = 0;
}

int Game_Draw_Between(double alpha, LPDIRECTDRAWSURFACE4 target, float *view_x, float *view_y) {
    Save_World();
    if (previous.valid && alpha < 1) Blend_World(alpha < 0 ? 0 : alpha);
    if (view_x) *view_x = player_x;
    if (view_y) *view_y = player_y;
    if (!target || !lpddsback) {
        Restore_World();
        return target == nullptr;
    }
    // The game's own drawing, pointed at the target for the while.
    LPDIRECTDRAWSURFACE4 back = lpddsback;
    lpddsback = target;
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    if (game_state == 1) Draw_Game_Picture();
    lpddsback = back;
    Restore_World();
    return 1;
}
