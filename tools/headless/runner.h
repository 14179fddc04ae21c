// Pieces of the headless runner that tests use too: a presented picture in true colours and as
// PNG. The state line and the picture's CRC live with the game's logs (shell/state_log.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "shell/state_log.h"
#include "engine/input/key_script.h"

// Converts 16-bit pixels in packing 15 (5.5.5) or 16 (5.6.5) to 8-bit RGB triples.
std::vector<uint8_t> Frame_To_Rgb(const uint16_t *px, int width, int height, int pitch_bytes,
                                  int packing);
// Writes 8-bit RGB triples as a PNG file 1, or 0 with
// "cannot write PATH: REASON" in *error (may be null).
int Write_Png(const char *path, const std::vector<uint8_t> &rgb, int width, int height,
              std::string *error = nullptr);
