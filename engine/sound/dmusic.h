// Music: 64 MIDI slots, one segment playing at a time, rendered by a General MIDI synthesiser
// into the sound mixer's output.
#pragma once

constexpr int MAX_MIDI_SLOTS = 64;

constexpr int MIDI_SLOT_FREE = 0;
constexpr int MIDI_SLOT_LOADED = 1;
constexpr int MIDI_SLOT_PLAYING = 2;
constexpr int MIDI_SLOT_STOPPED = 3;

// A loaded standard MIDI file.
struct MIDI_SEGMENT;
// A segment's playback (its player), made when the segment is started.
struct MIDI_SEGMENT_STATE;
// The synthesiser that renders every segment.
struct MIDI_PERFORMANCE;
// Where segments and the SoundFont are found.
struct MIDI_LOADER;

// One MIDI slot; its index is the MIDI id.
struct MIDI_SLOT_TYP {
    MIDI_SEGMENT *segment;             // null when the slot holds no segment
    MIDI_SEGMENT_STATE *segment_state; // null until the segment is started
    int id;                            // the slot's own index
    int state;                         // MIDI_SLOT_FREE, _LOADED, _PLAYING or _STOPPED
};

extern MIDI_SLOT_TYP midi_slots[MAX_MIDI_SLOTS];
extern MIDI_PERFORMANCE *music_performance;
extern MIDI_LOADER *music_loader;
extern int active_midi_id;

// Starts the synthesiser on the open sound output with a General MIDI SoundFont; 1, or 0 when
// there is no sound output or no SoundFont.
int DMusic_Init();
// Stops the music, deletes every segment and closes the synthesiser; 1.
int DMusic_Shutdown();
// Loads a standard MIDI file (a plain file of at most 16 MiB) from the working directory into the
// lowest free slot, in the form the synthesiser plays (see Make_MIDI_Playable); id or -1.
int DMusic_Load_MIDI(const char *filename);
// Starts a segment from its beginning, stopping the active one first; 1, or 0 for an empty slot.
int DMusic_Play(int id);
// Stops a segment and silences its notes at once; 1, or 0 for an empty slot.
int DMusic_Stop(int id);
// MIDI_SLOT_PLAYING or MIDI_SLOT_STOPPED (also stored in the slot); 0 for an empty slot.
int DMusic_Status_MIDI(int id);
// Releases a slot's segment and frees the slot; 1.
int DMusic_Delete_MIDI(int id);
// Deletes every segment; 1.
int DMusic_Delete_All_MIDI();
// Path of the General MIDI SoundFont the synthesiser would load, or "" when none is installed.
const char *DMusic_Find_SoundFont();
