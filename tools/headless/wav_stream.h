// A 16-bit stereo WAV file written as the sound is made: buffered writes, a header whose sizes
// are filled in when the file is closed, and memory that does not grow with the length.
#pragma once
#include <cstdint>
#include <cstdio>

// An open stream; plain record, all fields owned by the functions below.
struct WAV_STREAM_TYP {
    FILE *file = nullptr;
    uint64_t data_bytes = 0; // sample bytes written so far
    int failed = 0;          // a write failed or the data outgrew a RIFF size field
    int error = 0;           // errno of the first failure (EFBIG when the data outgrew the file)
};

// Creates path and writes a header to be completed by Wav_Stream_Close; 1 on success.
int Wav_Stream_Open(WAV_STREAM_TYP *w, const char *path);
// Appends count interleaved samples, little-endian whatever the machine; 0 once the stream
// has failed (now or before).
int Wav_Stream_Write(WAV_STREAM_TYP *w, const int16_t *samples, size_t count);
// Fills in the header with the sizes and rate (frames per second) and closes; 1 on success.
int Wav_Stream_Close(WAV_STREAM_TYP *w, uint32_t rate);
