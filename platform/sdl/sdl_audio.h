// The SDL backend's sound stream sizes, without SDL's headers (usable from tests).
#pragma once
#include <cstdint>

// Milliseconds of stream a sound server is asked to hold for device buffers of frames at rate:
// three buffers, rounded up (at least 1).
int Sdl_Stream_Depth_Ms(int frames, int rate);
// The stream depth to ask for after underruns at depth_ms: the next of 35, 58 and 81 ms above
// it, or depth_ms itself once it is 81 ms or more (a deeper stream is heard as late sound).
int Sdl_Deeper_Stream_Ms(int depth_ms);
// Whether a pull gap_us after the one before it found the stream of depth_ms run dry.
int Sdl_Pull_Was_Late(uint64_t gap_us, int depth_ms);
