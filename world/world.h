// The world model shared by every world module: coordinates and screen mapping, the 36-step
// direction tables, the approximate length, the entity pools, the enemy count and the one-pixel
// plot.
#pragma once
#include "engine/graphics/bob.h"

// ---- pool sizes -------------------------------------------------------------------------------

constexpr int MAX_CRAFT = 20;
constexpr int MAX_STATIONS = 4;
constexpr int MAX_MISSILES = 12;
constexpr int MAX_BULLETS = 50;
constexpr int MAX_POWERUPS = 12;
constexpr int MAX_PARTICLES = 50;
constexpr int MAX_STARS = 400;
// Craft slots 0..NUM_START_CRAFT-1 hold the fleet a game starts with.
constexpr int NUM_START_CRAFT = 13;
// Number of headings: heading k points at k * 10 degrees, clockwise on screen.
constexpr int NUM_HEADINGS = 36;

// The engagement area: beyond +-ENGAGEMENT_LIMIT on either axis the player is warned.
constexpr float ENGAGEMENT_LIMIT = 10300.0f;

// ---- role names of the general-purpose BOB variables -----------------------------------------

constexpr int INDEX_WORLD_X = 0;    // int_vars: world x of the centre
constexpr int INDEX_WORLD_Y = 1;    // int_vars: world y of the centre
constexpr int INDEX_HEADING = 2;    // int_vars: direction 0..35
constexpr int INDEX_FIRE_DELAY = 3; // int_vars: craft only, frames until it may fire
constexpr int INDEX_SHIELD = 4;     // int_vars: player only, shield level 0..3
constexpr int INDEX_VEL_X = 0;      // float_vars: velocity x, world units per frame
constexpr int INDEX_VEL_Y = 1;      // float_vars: velocity y

// World x of an entity's centre.
inline int &world_x(BOB_TYP &b) {
    return b.int_vars[INDEX_WORLD_X];
}
// World y of an entity's centre.
inline int &world_y(BOB_TYP &b) {
    return b.int_vars[INDEX_WORLD_Y];
}
// Heading index 0..35 of a craft, missile or the player.
inline int &heading(BOB_TYP &b) {
    return b.int_vars[INDEX_HEADING];
}
// Frames until a craft may fire again.
inline int &fire_delay(BOB_TYP &b) {
    return b.int_vars[INDEX_FIRE_DELAY];
}
// Velocity x of a craft or missile.
inline float &vel_x(BOB_TYP &b) {
    return b.float_vars[INDEX_VEL_X];
}
// Velocity y of a craft or missile.
inline float &vel_y(BOB_TYP &b) {
    return b.float_vars[INDEX_VEL_Y];
}

// ---- plain records ----------------------------------------------------------------------------

// A star: a position in the star field (not world units).
struct STAR_TYP {
    int x, y;
};

// An exhaust particle: world position, drift per frame, and frames left (0 = free slot).
struct PARTICLE_TYP {
    int x, y;
    int xv, yv;
    int life;
};

// ---- the pools (defined in world/world.cpp; the player's in world/ship.cpp) ------------------

extern BOB_TYP craft[MAX_CRAFT];
extern BOB_TYP stations[MAX_STATIONS];
extern BOB_TYP missiles[MAX_MISSILES];
extern BOB_TYP bullets[MAX_BULLETS];
extern BOB_TYP powerups[MAX_POWERUPS];
extern BOB_TYP explosion;
extern PARTICLE_TYP particles[MAX_PARTICLES];
extern STAR_TYP stars[MAX_STARS];

// ---- game-wide counters and tables (world/world.cpp) ------------------------------------------

extern int enemy_ships; // live enemy craft plus live stations
extern int score;
extern float sin_table[NUM_HEADINGS];
extern float cos_table[NUM_HEADINGS];

// Start positions of the craft a game begins with, slot by slot.
struct CRAFT_START_TYP {
    int x, y;
};
extern const CRAFT_START_TYP craft_start[NUM_START_CRAFT];

// ---- the player's flight state (defined in world/ship.cpp) -----------------------------------

extern BOB_TYP player; // state 1 alive, 0 destroyed; int_vars[2] heading, int_vars[4] shield
extern float player_x, player_y;   // world position of the ship's centre
extern float player_xv, player_yv; // velocity, world units per frame
extern float player_v;             // speed measured in the latest frame of flight
extern float max_player_v;         // limit under engine thrust, and above which coasting slows
extern float max_player_av;        // limit under afterburner
extern float burn_power;           // afterburner thrust per frame
extern float fuel;                 // afterburner fuel, 300.0 full
extern int engines_on;             // the engine loop is playing
extern int afterburners_on;        // the afterburner sound was started for this burn
extern int missile_load;           // missiles carried
extern int missile_delay;          // frames until the next missile may leave

// ---- operations -------------------------------------------------------------------------------

// Fills sin_table and cos_table for the 36 headings.
void Init_Trig_Tables();
// Wraps a heading into 0..35.
int Wrap_Heading(int h);
// Approximate length of (a, b): p + q - m/2 - m/4 + m/8 in float, m the smaller of |a| and |b|.
float Approx_Distance(float a, float b);
// Places the 13 starting craft (each raises enemy_ships by 1) and frees slots 13..19.
void Reset_Craft();
// Writes one pixel packed by dd_pixel_format; pitch is in pixels. No clipping.
void Plot_Pixel16(int x, int y, int r, int g, int b, unsigned short *buffer, int pitch);
// Sets a BOB's screen position (x, y) from its world centre relative to the player.
void Map_BOB_To_Screen(BOB_TYP *bob);
// Screen position of a world point; 1 when it lies on the 800x600 screen, else 0.
int Map_Point_To_Screen(int x, int y, int *sx, int *sy);
// First slot of a pool whose state is 0, or -1 when every slot is live.
int Find_Free_Slot(BOB_TYP *pool, int count);
// Whether the player's position lies outside the engagement area.
int Outside_Engagement_Area();
