// The SDL backend's frame arithmetic, without SDL's headers (usable from tests and benchmarks):
// 16-bit to 32-bit conversion by shifts, the letterbox and the window's scale.
#pragma once
#include <cstdint>

// Converts a 16-bit frame (packing 15: 5.5.5, 16: 5.6.5) to opaque ARGB8888 rows.
void Sdl_Convert_Frame(const uint16_t *src, int width, int height, int src_pitch_bytes, int packing,
                       uint32_t *dst, int dst_pitch_bytes);
// Where a width x height picture goes in an out_w x out_h output: the largest whole multiple
// that fits, centred, or a shape-keeping shrink when not even one copy fits.
void Sdl_Letterbox(int out_w, int out_h, int width, int height, int *x, int *y, int *w, int *h);
// The largest whole factor (at least 1) by which a picture fits an area.
int Sdl_Window_Scale(int area_w, int area_h, int width, int height);
