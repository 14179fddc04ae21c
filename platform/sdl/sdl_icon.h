// The SDL backend's window icon reader, without SDL's headers (so a fuzz target can drive it):
// a PNG file, the generated icon, decoded to RGBA pixels with size limits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Decodes PNG bytes to RGBA (R first in memory), at most 1024 x 1024; 1 on success.
int Sdl_Decode_Icon(const void *data, size_t size, std::vector<uint32_t> *rgba, int *w, int *h);
// Reads a PNG file of at most 4 MiB and decodes it as Sdl_Decode_Icon does; 1 on success.
int Sdl_Load_Icon(const char *path, std::vector<uint32_t> *rgba, int *w, int *h);
