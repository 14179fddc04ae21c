// Sound slots and buffers (first cut: the device is not opened yet and every slot stays empty).
#include "engine/sound/dsound.h"
#include <cstring>

SOUND_SLOT_TYP sound_slots[MAX_SOUND_SLOTS];
LPDIRECTSOUND lpdsound = nullptr;
int dsound_first_time = 1;

int DSound_Init() {
    if (dsound_first_time) {
        std::memset(sound_slots, 0, sizeof(sound_slots));
        dsound_first_time = 0;
    }
    return 0;
}
int DSound_Shutdown() {
    return 1;
}
int DSound_Load_WAV(const char *, int) {
    return -1;
}
int DSound_Replicate_Sound(int) {
    return -1;
}
int DSound_Play(int, int, int, int, int) {
    return 1;
}
int DSound_Stop_Sound(int) {
    return 1;
}
int DSound_Stop_All_Sounds() {
    return 1;
}
int DSound_Status_Sound(int) {
    return -1;
}
int DSound_Set_Freq(int, int) {
    return 0;
}
int DSound_Set_Volume(int, int) {
    return 0;
}
int DSound_Set_Pan(int, int) {
    return 0;
}
int DSound_Delete_Sound(int) {
    return 1;
}
int DSound_Delete_All_Sounds() {
    return 1;
}
void DSound_Mix(int16_t *out, int frames) {
    std::memset(out, 0, sizeof(int16_t) * 2 * frames);
}
int DSound_Output_Rate() {
    return 0;
}
int DSound_Get_Freq(int) {
    return 0;
}
int DSound_Get_Volume(int) {
    return 0;
}
int DSound_Get_Pan(int) {
    return 0;
}
int DSound_Get_Position(int) {
    return -1;
}
float DSound_Attenuation_Gain(int) {
    return 1.0f;
}
