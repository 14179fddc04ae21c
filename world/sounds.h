// The world's sound effects: the ids of the nine loaded sounds (eight copies of the three that
// overlap themselves), loading them, and playing the first idle copy.
#pragma once

// Copies kept of each sound that can overlap itself.
constexpr int NUM_SOUND_COPIES = 8;

// Sound ids (defined in world/sounds.cpp); -1 while not loaded.
extern int gameover_id;
extern int victory_id;
extern int engine_id;
extern int afterburner_id;
extern int powerup_id;
extern int missile_id;
extern int explosion_ids[NUM_SOUND_COPIES];
extern int hit_ids[NUM_SOUND_COPIES];
extern int bullet_ids[NUM_SOUND_COPIES];

// Loads the nine sound effects in order; 1 when all loaded, 0 at the first that failed.
int Init_Sounds();
// Sets every sound id to -1 (the state before Init_Sounds).
void Clear_Sound_Ids();
// Plays the first of eight copies of a sound that is not playing; its index, or -1 if none.
int Play_First_Idle_Sound(const int ids[NUM_SOUND_COPIES]);
