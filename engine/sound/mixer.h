// The software mixer's buffers and the audio output they play on. Shared by the sound slots
// (game thread) and the audio callback; every field the callback reads is behind mixer_lock.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>
#include "engine/sound/dsound.h"

// Sample memory shared by a buffer and its replicas.
using DSound_Samples = std::shared_ptr<const std::vector<uint8_t>>;

struct DSBUFFER {
    DSound_Samples samples;                           // 8-bit unsigned mono
    std::shared_ptr<const std::vector<int16_t>> wide; // samples oversampled for the mix
    int control_flags;                                // DSBCAPS_* the buffer was created with
    int freq;                                         // playback rate, samples a second
    int volume;                                       // attenuation, hundredths of a decibel (<= 0)
    int pan;                                          // -10000 .. 10000
    int64_t gain_l, gain_r; // volume and pan as 16.16 channel gains, worked out when set
    int status;             // DSBSTATUS_* bits
    uint64_t pos;           // read position in samples, 32.32 fixed point
    uint32_t generation;    // changes whenever the game thread moves or (re)creates the buffer
    bool in_use;
};

// Adds frames stereo frames of music into acc (interleaved, 16-bit scale); audio thread.
using DSound_Render_Hook = void (*)(int32_t *acc, int frames);

// Creates a stopped buffer over samples with the fixed format; null when none is free.
DSBUFFER *Mixer_Create_Buffer(DSound_Samples samples, int control_flags);
// Creates a buffer sharing src's samples, rate, volume and pan; null when none is free.
DSBUFFER *Mixer_Duplicate_Buffer(const DSBUFFER *src);
// Stops a buffer and gives it back; its samples are freed once no buffer and no mix uses them.
void Mixer_Release_Buffer(DSBUFFER *buf);
// Sets the read position to a sample index; 1.
int Mixer_Set_Position(DSBUFFER *buf, int sample);
// Rewinds and starts playing (looping with DSBPLAY_LOOPING) in one step, so no mix falls
// between the two; 1.
int Mixer_Restart(DSBUFFER *buf, int flags);
// Stops playing, keeping the position; 1.
int Mixer_Stop(DSBUFFER *buf);
// Stops every buffer playing once through (a loop plays on); the number stopped.
int Mixer_Stop_Unlooped();
// Status bits of a buffer.
int Mixer_Status(const DSBUFFER *buf);
// Read position in whole samples.
int Mixer_Position(const DSBUFFER *buf);
// Sets the playback rate (0 = the fixed 11025); 1 with the frequency control and a rate in range.
int Mixer_Set_Frequency(DSBUFFER *buf, int freq);
// Sets the attenuation in hundredths of a decibel; 1 with the volume control and -10000..0.
int Mixer_Set_Volume(DSBUFFER *buf, int db);
// Sets the pan; 1 with the pan control and -10000..10000.
int Mixer_Set_Pan(DSBUFFER *buf, int pan);
// Current rate, attenuation and pan of a buffer.
void Mixer_Get_Params(const DSBUFFER *buf, int *freq, int *volume, int *pan);

// Opens the platform output; 1 with the rate noted, 0 when there is no device.
int Mixer_Open_Output();
// Closes the platform output (no callback runs after this returns).
void Mixer_Close_Output();
// Installs or removes (null) the music renderer; removing waits for a mix in progress.
void Mixer_Set_Render_Hook(DSound_Render_Hook hook);
// Sets the master level of the whole mix, 0 (silent) to 100 (full); values outside are held.
void Mixer_Set_Master(int percent);
// The master level, 0 to 100.
int Mixer_Master();
