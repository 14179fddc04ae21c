// Pieces of the headless runner that tests use too: the key script, the per-frame state line,
// the CRC of a presented picture and its conversion to true colours.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One script line: keys held down for keyboard reads first..last.
struct KEY_SPAN_TYP {
    int first, last;
    std::vector<int> keys;
};

// A parsed key script; lines that overlap add up.
struct KEY_SCRIPT_TYP {
    std::vector<KEY_SPAN_TYP> spans;
    int escape_from = -1; // from this read on Escape is held as well (-1: never)
};

// Parses script text; 1 on success, 0 with a message naming the line in *error.
int Parse_Key_Script(const std::string &text, KEY_SCRIPT_TYP *script, std::string *error);
// Reads and parses a script file; 1 on success, 0 with a message in *error.
int Load_Key_Script(const char *path, KEY_SCRIPT_TYP *script, std::string *error);
// Fills the 256 scan-code bytes held down at keyboard read index (0x80 down, 0 up).
void Keys_At_Read(const KEY_SCRIPT_TYP &script, int read_index, uint8_t state[256]);

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
