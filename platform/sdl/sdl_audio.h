// The SDL backend's sound stream sizes, without SDL's headers (usable from tests).
#pragma once

// Milliseconds of stream a sound server is asked to hold for device buffers of frames at rate:
// three buffers, rounded up (at least 1).
int Sdl_Stream_Depth_Ms(int frames, int rate);
