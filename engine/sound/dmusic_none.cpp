// Music for builds without a synthesiser (the browser's): every call reports no device, which
// the game never looks at, and no slot ever holds a segment.
#include "engine/sound/dmusic.h"

MIDI_SLOT_TYP midi_slots[MAX_MIDI_SLOTS];
MIDI_PERFORMANCE *music_performance = nullptr;
MIDI_LOADER *music_loader = nullptr;
int active_midi_id = -1;

int DMusic_Init() {
    return 0;
}
int DMusic_Shutdown() {
    return 1;
}
int DMusic_Load_MIDI(const char *) {
    return -1;
}
int DMusic_Play(int) {
    return 0;
}
int DMusic_Stop(int) {
    return 0;
}
int DMusic_Status_MIDI(int) {
    return 0;
}
int DMusic_Delete_MIDI(int) {
    return 1;
}
int DMusic_Delete_All_MIDI() {
    return 1;
}
const char *DMusic_Find_SoundFont() {
    return "";
}
