// Checking standard MIDI files before the synthesiser's own reader sees them.
#pragma once
#include <cstddef>
#include <cstdint>

// 1 when data holds a well-formed standard MIDI file (header, then its tracks with every event
// inside the file, metrical timing; what follows the last track is ignored), else 0.
int Validate_MIDI(const uint8_t *data, size_t size);
