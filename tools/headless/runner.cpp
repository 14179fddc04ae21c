// The headless runner's key scripts, state lines, frame checksums and PNG pictures.
#include "tools/headless/runner.h"

#include <png.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "engine/graphics/ddraw.h"
#include "game/game.h"
#include "tools/headless/crc32.h"

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

std::vector<uint8_t> Frame_To_Rgb(const uint16_t *px, int width, int height, int pitch_bytes,
                                  int packing) {
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    const uint8_t *base = (const uint8_t *)px;
    for (int y = 0; y < height; y++) {
        const uint16_t *src = (const uint16_t *)(base + (size_t)y * pitch_bytes);
        for (int x = 0; x < width; x++) {
            unsigned p = src[x], r, g, b;
            b = p & 31;
            if (packing == 16) {
                r = (p >> 11) & 31;
                g = (p >> 5) & 63;
                g = (g << 2) | (g >> 4);
            } else {
                r = (p >> 10) & 31;
                g = (p >> 5) & 31;
                g = (g << 3) | (g >> 2);
            }
            uint8_t *out = &rgb[((size_t)y * width + x) * 3];
            out[0] = (uint8_t)((r << 3) | (r >> 2));
            out[1] = (uint8_t)g;
            out[2] = (uint8_t)((b << 3) | (b >> 2));
        }
    }
    return rgb;
}

int Write_Png(const char *path, const std::vector<uint8_t> &rgb, int width, int height) {
    if (width <= 0 || height <= 0 || rgb.size() < (size_t)width * height * 3) return 0;
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = PNG_FORMAT_RGB;
    int ok = png_image_write_to_file(&image, path, 0, rgb.data(), width * 3, nullptr);
    png_image_free(&image);
    return ok ? 1 : 0;
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
