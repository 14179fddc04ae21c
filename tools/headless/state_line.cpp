// The state line: the game's state after a frame as one JSON object, shared by the headless
// runner and the page, so both print the same fields the same way.
#include "tools/headless/runner.h"

#include <cstdio>
#include <sstream>

#include "engine/graphics/ddraw.h"
#include "game/game.h"

namespace {
// Prints a float with enough digits to read it back exactly.
std::string F(float v) {
    char s[64];
    snprintf(s, sizeof s, "%.9g", (double)v);
    return s;
}

int Live(const BOB_TYP *pool, int count) {
    int n = 0;
    for (int i = 0; i < count; i++)
        n += pool[i].state != 0;
    return n;
}
} // namespace

std::string Format_State_Line(int read, int frame, uint32_t crc) {
    std::ostringstream o;
    int live_particles = 0;
    for (const PARTICLE_TYP &p : particles)
        live_particles += p.life > 0;
    o << "{\"read\":" << read << ",\"frame\":" << frame << ",\"score\":" << score
      << ",\"enemy_ships\":" << enemy_ships << ",\"player\":{\"state\":" << player.state
      << ",\"x\":" << F(player_x) << ",\"y\":" << F(player_y) << ",\"xv\":" << F(player_xv)
      << ",\"yv\":" << F(player_yv) << ",\"v\":" << F(player_v)
      << ",\"heading\":" << player.int_vars[INDEX_HEADING]
      << ",\"shield\":" << player.int_vars[INDEX_SHIELD] << ",\"gun_delay\":" << player.counter_1
      << "},\"fuel\":" << F(fuel) << ",\"missile_load\":" << missile_load
      << ",\"missile_delay\":" << missile_delay << ",\"debug_mode\":" << debug_mode
      << ",\"dd_pixel_format\":" << dd_pixel_format << ",\"game_state\":" << game_state
      << ",\"key_toggle_delay\":" << key_toggle_delay << ",\"engines_on\":" << engines_on
      << ",\"afterburners_on\":" << afterburners_on << ",\"craft\":" << Live(craft, MAX_CRAFT)
      << ",\"bullets\":" << Live(bullets, MAX_BULLETS)
      << ",\"missiles\":" << Live(missiles, MAX_MISSILES)
      << ",\"powerups\":" << Live(powerups, MAX_POWERUPS) << ",\"particles\":" << live_particles
      << ",\"stations\":[";
    for (int i = 0; i < MAX_STATIONS; i++)
        o << (i ? "," : "") << "{\"state\":" << stations[i].state
          << ",\"hp\":" << stations[i].counter_1 << ",\"timer\":" << stations[i].counter_2 << "}";
    o << "],\"explosion\":{\"state\":" << explosion.state
      << ",\"x\":" << explosion.int_vars[INDEX_WORLD_X]
      << ",\"y\":" << explosion.int_vars[INDEX_WORLD_Y] << ",\"frame\":" << explosion.curr_frame
      << "},\"frame_crc\":" << crc << "}";
    return o.str();
}
