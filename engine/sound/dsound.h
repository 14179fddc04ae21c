// Sound effects: the table of 256 sound slots, their buffers and the software mixer that plays
// them on the platform's one audio output.
#pragma once
#include <cstdint>

// ---- constants --------------------------------------------------------------------------------

constexpr int MAX_SOUND_SLOTS = 256;

constexpr int SOUND_SLOT_FREE = 0;
constexpr int SOUND_SLOT_LOADED = 1;

// Buffer capability flags (the control bits callers pass to DSound_Load_WAV).
constexpr int DSBCAPS_STATIC = 0x2;
constexpr int DSBCAPS_LOCSOFTWARE = 0x8;
constexpr int DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr int DSBCAPS_CTRLPAN = 0x40;
constexpr int DSBCAPS_CTRLVOLUME = 0x80;
constexpr int DSBCAPS_CTRLDEFAULT = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;

// Play flags.
constexpr int DSBPLAY_LOOPING = 1;

// Status bits; 0 means the buffer exists and is not playing.
constexpr int DSBSTATUS_PLAYING = 1;
constexpr int DSBSTATUS_BUFFERLOST = 2;
constexpr int DSBSTATUS_LOOPING = 4;

// Ranges a buffer accepts; a frequency of 0 restores the buffer's original rate.
constexpr int DSBFREQUENCY_ORIGINAL = 0;
constexpr int DSBFREQUENCY_MIN = 100;
constexpr int DSBFREQUENCY_MAX = 100000;
constexpr int DSBVOLUME_MIN = -10000; // silence
constexpr int DSBVOLUME_MAX = 0;      // full volume
constexpr int DSBPAN_LEFT = -10000;
constexpr int DSBPAN_CENTER = 0;
constexpr int DSBPAN_RIGHT = 10000;
constexpr int DSBSIZE_MIN = 4;
constexpr int DSBSIZE_MAX = 0x0FFFFFFF;

// The one wave format every buffer is created with: 8-bit mono PCM at 11025 samples a second.
constexpr int DSOUND_BUFFER_RATE = 11025;

// Output rate and block size asked of the platform.
constexpr int DSOUND_OUTPUT_RATE = 44100;
constexpr int DSOUND_OUTPUT_FRAMES = 1024;

// 0..100 volume to attenuation in hundredths of a decibel.
#define DSVOLUME_TO_DB(volume) (-30 * (100 - (volume)))

// ---- records ----------------------------------------------------------------------------------

// A playing or stopped sound buffer: shared sample memory, its own position, rate, volume, pan.
struct DSBUFFER;
typedef DSBUFFER *LPDIRECTSOUNDBUFFER;

// The sound device: the open audio output and its rate.
struct DSOUND_DEVICE;
typedef DSOUND_DEVICE *LPDIRECTSOUND;

// One sound slot; its index is the sound id.
struct SOUND_SLOT_TYP {
    LPDIRECTSOUNDBUFFER dsbuffer; // null when the slot holds no buffer
    int state;                    // SOUND_SLOT_FREE or SOUND_SLOT_LOADED
    int rate;                     // rate named in the file's format chunk (recorded only)
    int size;                     // bytes of 8-bit mono sample data
    int id;                       // the slot's own index
};

// ---- module state -----------------------------------------------------------------------------

extern SOUND_SLOT_TYP sound_slots[MAX_SOUND_SLOTS];
extern LPDIRECTSOUND lpdsound;
extern int dsound_first_time;

// ---- operations -------------------------------------------------------------------------------

// Opens the sound device (first call) and empties the slot table; 1, or 0 when there is no device.
int DSound_Init();
// Stops every sound, releases every buffer and closes the device; 1.
int DSound_Shutdown();
// Loads a PCM WAV data file into the lowest free slot; the new id, or -1.
int DSound_Load_WAV(const char *filename, int control_flags = DSBCAPS_CTRLDEFAULT);
// Copies a loaded sound into the lowest free slot, sharing its samples; the new id, or -1.
int DSound_Replicate_Sound(int source_id);
// Rewinds and plays a sound, looping when flags has DSBPLAY_LOOPING; 1 (also for an empty slot).
int DSound_Play(int id, int flags = 0, int volume = 0, int rate = 0, int pan = 0);
// Stops a sound and rewinds it to its first sample; 1.
int DSound_Stop_Sound(int id);
// Stops every sound; 1.
int DSound_Stop_All_Sounds();
// Status bits of a sound (DSBSTATUS_*), or -1 when the slot holds no buffer.
int DSound_Status_Sound(int id);
// Sets the playback rate in samples a second (100..100000, 0 = original); 1 if accepted, else 0.
int DSound_Set_Freq(int id, int freq);
// Sets the volume on a 0..100 scale (attenuation -30 x (100 - volume)); 1 if accepted, else 0.
int DSound_Set_Volume(int id, int volume);
// Sets the pan (-10000 full left .. 10000 full right); 1 if accepted, else 0.
int DSound_Set_Pan(int id, int pan);
// Stops a sound and releases its buffer (the slot's state is kept); 1.
int DSound_Delete_Sound(int id);
// Deletes every sound; 1.
int DSound_Delete_All_Sounds();

// ---- mixer ------------------------------------------------------------------------------------

// Mixes frames stereo frames of every playing buffer (and the music) into out; the audio
// callback calls this, and tests call it directly (one caller at a time). Writes silence when
// there is no device.
void DSound_Mix(int16_t *out, int frames);
// Rate of the open output in frames a second, or 0 when there is no device.
int DSound_Output_Rate();
// Current playback rate of a sound's buffer, or 0 when the slot holds none.
int DSound_Get_Freq(int id);
// Current attenuation of a sound's buffer in hundredths of a decibel (0 when it holds none).
int DSound_Get_Volume(int id);
// Current pan of a sound's buffer (0 when the slot holds none).
int DSound_Get_Pan(int id);
// Read position of a sound's buffer in samples, or -1 when the slot holds none.
int DSound_Get_Position(int id);
// Gain (0..1) of an attenuation in hundredths of a decibel: 10^(db/2000), 0 at -10000 or below.
float DSound_Attenuation_Gain(int db);
