// The state and entity lines of the game's logs and the CRCs of pictures and stars they carry.
#include "shell/state_log.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

#include "engine/graphics/crc32.h"
#include "engine/graphics/ddraw.h"
#include "game/game.h"

int Replay_Checks_Frame_Crc() {
#if defined(FW_REPLAY_CHECKS_FRAME_CRC) && FW_REPLAY_CHECKS_FRAME_CRC
    return 1;
#else
    return 0;
#endif
}

uint32_t Frame_Crc(const uint16_t *px, int width, int height, int pitch_bytes) {
    if (width <= 0 || height <= 0) return 0;
    const uint8_t *base = (const uint8_t *)px;
    const size_t row_bytes = (size_t)width * 2;
    if constexpr (std::endian::native == std::endian::little) {
        // The pixels already sit in memory as the little-endian bytes the sum is defined over.
        if ((size_t)pitch_bytes == row_bytes) return Crc32_Update(0, base, row_bytes * height);
        uint32_t crc = 0;
        for (int y = 0; y < height; y++)
            crc = Crc32_Update(crc, base + (size_t)y * pitch_bytes, row_bytes);
        return crc;
    }
    uint32_t crc = 0;
    std::vector<uint8_t> row(row_bytes);
    for (int y = 0; y < height; y++) {
        const uint16_t *src = (const uint16_t *)(base + (size_t)y * pitch_bytes);
        for (int x = 0; x < width; x++) {
            row[2 * x] = (uint8_t)(src[x] & 0xFF);
            row[2 * x + 1] = (uint8_t)(src[x] >> 8);
        }
        crc = Crc32_Update(crc, row.data(), row.size());
    }
    return crc;
}

uint32_t Presented_Frame_Crc() {
    const DDSURFACE *s = lpddsprimary;
    if (!s || s->bpp != 16 || s->memory.size() < (size_t)s->pitch * s->height) return 0;
    return Frame_Crc((const uint16_t *)s->memory.data(), s->width, s->height, s->pitch);
}

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

// [slot, state, world_x, world_y, heading, fire_delay, vel_x, vel_y, xv, yv, counter_1,
// counter_2, curr_frame]
void Bob_Record(std::ostringstream &o, int slot, const BOB_TYP &b) {
    o << '[' << slot << ',' << b.state << ',' << b.int_vars[INDEX_WORLD_X] << ','
      << b.int_vars[INDEX_WORLD_Y] << ',' << b.int_vars[INDEX_HEADING] << ','
      << b.int_vars[INDEX_FIRE_DELAY] << ',' << F(b.float_vars[INDEX_VEL_X]) << ','
      << F(b.float_vars[INDEX_VEL_Y]) << ',' << b.xv << ',' << b.yv << ',' << b.counter_1 << ','
      << b.counter_2 << ',' << b.curr_frame << ']';
}

void Pool(std::ostringstream &o, const char *name, const BOB_TYP *pool, int count) {
    o << ",\"" << name << "\":[";
    int first = 1;
    for (int i = 0; i < count; i++) {
        if (!pool[i].state) continue;
        if (!first) o << ',';
        first = 0;
        Bob_Record(o, i, pool[i]);
    }
    o << ']';
}

uint32_t Stars_Crc() {
    uint8_t bytes[MAX_STARS * 8];
    for (int i = 0; i < MAX_STARS; i++) {
        const uint32_t v[2] = {(uint32_t)stars[i].x, (uint32_t)stars[i].y};
        for (int k = 0; k < 2; k++)
            for (int b = 0; b < 4; b++)
                bytes[i * 8 + k * 4 + b] = (uint8_t)(v[k] >> (8 * b));
    }
    return Crc32_Update(0, bytes, sizeof bytes);
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

std::string Format_Entity_Line(int read) {
    std::ostringstream o;
    o << "{\"read\":" << read;
    Pool(o, "craft", craft, MAX_CRAFT);
    Pool(o, "stations", stations, MAX_STATIONS);
    Pool(o, "missiles", missiles, MAX_MISSILES);
    Pool(o, "bullets", bullets, MAX_BULLETS);
    Pool(o, "powerups", powerups, MAX_POWERUPS);
    o << ",\"explosion\":[";
    Bob_Record(o, 0, explosion); // the one explosion, live or not
    o << "],\"particles\":[";
    int first = 1;
    for (int i = 0; i < MAX_PARTICLES; i++) {
        const PARTICLE_TYP &p = particles[i];
        if (p.life <= 0) continue;
        o << (first ? "" : ",") << '[' << i << ',' << p.x << ',' << p.y << ',' << p.xv << ','
          << p.yv << ',' << p.life << ']';
        first = 0;
    }
    o << "],\"stars_crc\":" << Stars_Crc() << '}';
    return o.str();
}

std::string Without_Frame_Crc(const std::string &line) {
    static const char key[] = ",\"frame_crc\":";
    size_t at = line.rfind(key);
    if (at == std::string::npos) return line;
    size_t end = at + sizeof key - 1;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9')
        end++;
    return line.substr(0, at) + line.substr(end);
}

int Same_State_Line(const std::string &expected, const std::string &actual) {
    if (Replay_Checks_Frame_Crc()) return expected == actual;
    return Without_Frame_Crc(expected) == Without_Frame_Crc(actual);
}

std::string Json_Quote(const std::string &text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\u%04x", c);
            out += hex;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}
