// The world's sound effects: their ids, loading the nine files with the copies that let one sound
// overlap itself, and playing the first idle copy.
#include "world/sounds.h"

#include "engine/sound/dsound.h"

int gameover_id = -1;
int victory_id = -1;
int engine_id = -1;
int afterburner_id = -1;
int powerup_id = -1;
int missile_id = -1;
int explosion_ids[NUM_SOUND_COPIES] = {-1, -1, -1, -1, -1, -1, -1, -1};
int hit_ids[NUM_SOUND_COPIES] = {-1, -1, -1, -1, -1, -1, -1, -1};
int bullet_ids[NUM_SOUND_COPIES] = {-1, -1, -1, -1, -1, -1, -1, -1};

// Volume, pan and frequency control.
constexpr int SOUND_CONTROLS = 0xE0;
constexpr int SOUND_RATE = 22050;

void Clear_Sound_Ids() {
    gameover_id = victory_id = engine_id = afterburner_id = powerup_id = missile_id = -1;
    for (int i = 0; i < NUM_SOUND_COPIES; i++)
        explosion_ids[i] = hit_ids[i] = bullet_ids[i] = -1;
}

namespace {

// Loads one sound into ids[0] at the common rate and fills ids[1..7] with replicas sharing it.
int Load_Copies(const char *file, int ids[NUM_SOUND_COPIES]) {
    ids[0] = DSound_Load_WAV(file, SOUND_CONTROLS);
    if (ids[0] == -1) return 0;
    DSound_Set_Freq(ids[0], SOUND_RATE);
    for (int i = 1; i < NUM_SOUND_COPIES; i++)
        ids[i] = DSound_Replicate_Sound(ids[0]);
    return 1;
}

} // namespace

int Init_Sounds() {
    if ((gameover_id = DSound_Load_WAV("gameover.wav", SOUND_CONTROLS)) == -1) return 0;
    if ((victory_id = DSound_Load_WAV("victory.wav", SOUND_CONTROLS)) == -1) return 0;
    DSound_Set_Freq(victory_id, SOUND_RATE);
    if ((engine_id = DSound_Load_WAV("engine.wav", SOUND_CONTROLS)) == -1) return 0;
    if ((afterburner_id = DSound_Load_WAV("blaze.wav", SOUND_CONTROLS)) == -1) return 0;
    DSound_Set_Freq(afterburner_id, SOUND_RATE);
    if ((powerup_id = DSound_Load_WAV("beep00.wav", SOUND_CONTROLS)) == -1) return 0;
    if ((missile_id = DSound_Load_WAV("missile00.wav", SOUND_CONTROLS)) == -1) return 0;
    if (!Load_Copies("boom67.wav", explosion_ids)) return 0;
    if (!Load_Copies("boom45.wav", hit_ids)) return 0;
    if (!Load_Copies("pdlaser.wav", bullet_ids)) return 0;
    return 1;
}

int Play_First_Idle_Sound(const int ids[8]) {
    for (int k = 0; k < 8; k++) {
        if (DSound_Status_Sound(ids[k]) == 0) {
            DSound_Play(ids[k], 0, 0, 0, 0);
            return k;
        }
    }
    return -1;
}
