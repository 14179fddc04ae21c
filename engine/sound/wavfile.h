// Reading RIFF WAVE files held in memory into the one sample form the mixer plays: 8-bit
// unsigned mono.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int WAVE_FORMAT_PCM = 1;

// A decoded WAV file: what its format chunk says and its samples as 8-bit unsigned mono.
struct WAV_SOUND {
    int format_tag;               // always WAVE_FORMAT_PCM after a successful parse
    int channels;                 // channels in the file (the samples are mixed down to one)
    int rate;                     // samples a second named by the file
    int bits;                     // bits a sample in the file
    std::vector<uint8_t> samples; // 8-bit unsigned mono, 128 is silence
};

// Parses a RIFF WAVE file of size bytes; 1 with *out filled, 0 when it is refused.
int Parse_WAV(const uint8_t *data, size_t size, WAV_SOUND *out);
