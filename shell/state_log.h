// The game's logs, shared by farwake and farwake-headless: the per-frame state line, the
// per-frame entity line with every pool's live records, and the CRCs both of them use.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Whether replays compare the frame_crc field of state lines: 0 while the two backends draw text
// differently, 1 when built with the CMake option FW_REPLAY_CHECKS_FRAME_CRC.
int Replay_Checks_Frame_Crc();

// CRC-32 (zlib's) of the width x height 16-bit pixels, row by row (pitch in bytes), little-endian.
uint32_t Frame_Crc(const uint16_t *px, int width, int height, int pitch_bytes);
// Frame_Crc of the picture the last flip showed (the display's front surface); 0 without one.
uint32_t Presented_Frame_Crc();
// The game's state after a frame as one JSON object (no newline): read and frame numbers, the
// ship, the counters, the pools and the CRC of the frame's picture.
std::string Format_State_Line(int read, int frame, uint32_t crc);
// Every live record of every pool after a frame as one JSON object (no newline).
std::string Format_Entity_Line(int read);
// Whether two state lines agree, frame_crc included only when replays check it.
int Same_State_Line(const std::string &expected, const std::string &actual);
// The line without its frame_crc field (unchanged when it has none).
std::string Without_Frame_Crc(const std::string &line);
// text as a JSON string, quotes included: " and \ escaped, control characters as \u00XX.
std::string Json_Quote(const std::string &text);
