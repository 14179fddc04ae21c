// The CRC-32 of a presented picture for the page's state lines, computed without zlib (which the
// browser build does not have) and equal to the headless runner's frame CRC.
#pragma once
#include <cstddef>
#include <cstdint>

// CRC-32 (the zip and PNG one) of n bytes, continuing from crc (0 to start).
uint32_t Web_Crc32(uint32_t crc, const uint8_t *bytes, size_t n);
// CRC-32 of the width x height 16-bit pixels, row by row (pitch in bytes), little-endian.
uint32_t Web_Frame_Crc(const uint16_t *px, int width, int height, int pitch_bytes);
