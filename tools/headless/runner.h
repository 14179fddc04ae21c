// Pieces of the headless runner that tests use too: the per-frame state line, the CRC of a
// presented picture and its conversion to true colours.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/headless/key_script.h"

// CRC-32 of the width x height 16-bit pixels, row by row (pitch in bytes), little-endian.
uint32_t Frame_Crc(const uint16_t *px, int width, int height, int pitch_bytes);
// Converts 16-bit pixels in packing 15 (5.5.5) or 16 (5.6.5) to 8-bit RGB triples.
std::vector<uint8_t> Frame_To_Rgb(const uint16_t *px, int width, int height, int pitch_bytes,
                                  int packing);
// Writes 8-bit RGB triples as a PNG file; 1 on success.
int Write_Png(const char *path, const std::vector<uint8_t> &rgb, int width, int height);

// The game's state after a frame as one JSON object (no newline): read and frame numbers, the
// ship, the counters, the pools and the CRC of the frame's picture.
std::string Format_State_Line(int read, int frame, uint32_t crc);
