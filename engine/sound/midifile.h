// Checking standard MIDI files before the synthesiser's own reader sees them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Most tracks the synthesiser's reader plays: given more it loads the file and sounds nothing.
constexpr int MIDI_MAX_TRACKS = 127;

// 1 when data holds a well-formed standard MIDI file the synthesiser's reader takes (header, then
// its tracks with every event inside the file and of its fixed size, no escaped packets,
// metrical timing; what follows the last track is ignored), else 0.
int Validate_MIDI(const uint8_t *data, size_t size);
// Rewrites a file Validate_MIDI accepts into the form the synthesiser's reader plays: a header
// chunk longer than 6 bytes loses its extra bytes, format 2 becomes format 1 (its tracks play
// together), and a file of more than MIDI_MAX_TRACKS tracks becomes one track holding all their
// events; other files (and refused ones) stay as they are.
void Make_MIDI_Playable(std::vector<uint8_t> &file);
