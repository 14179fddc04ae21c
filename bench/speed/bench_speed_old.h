// The hot paths as they were before the speed work, kept verbatim in behaviour so that the
// benchmarks can time them beside today's code in the same process.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/graphics/ddraw.h"

// The frame sum as it was: each row copied byte by byte, then zlib's crc32.
uint32_t Old_Frame_Crc(const uint16_t *px, int width, int height, int pitch_bytes);
// The fill as it was: eight pixels per 16-byte store.
void Old_Fill16(uint16_t *d, size_t n, uint16_t color);
// DDraw_Blt as it was: clipping, a division per row, eight pixels compared per step.
int Old_DDraw_Blt(LPDIRECTDRAWSURFACE4 dest, RECT *dest_rect, LPDIRECTDRAWSURFACE4 src,
                  RECT *src_rect, int flags);
// The conversion to 32-bit pixels as it was: one lookup per pixel in a 64K-entry table.
void Old_Convert_Frame(const uint16_t *src, int width, int height, int src_pitch_bytes, int packing,
                       uint32_t *dst, int dst_pitch_bytes);
// The WAV writer as it was: the whole mix in memory, written one byte at a time at the end.
int Old_Write_Wav(const char *path, const std::vector<int16_t> &samples, uint32_t rate);
