// Set-up, reset and shut-down: what Reset_Game puts back and what it leaves, the sound list
// with its rates, replicas and abort rule, and the sounds that follow the ship's thrust.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/dik.h"
#include "engine/sound/dsound.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "tests/support/game_run.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(ResetGame, PutsTheEnemySideBackAndLeavesTheShip) {
    memset(stations, 0, sizeof stations);
    for (auto &p : powerups)
        p.state = 1;
    stations[2].state = 1;
    stations[2].counter_2 = 33;
    stations[0].counter_1 = 4;
    enemy_ships = 9;
    score = 1234;
    fuel = 7.0f;
    missile_load = 0;
    missile_delay = 31;
    player.state = 0;
    player_x = 55.5f;
    player_yv = -3.0f;
    heading(player) = 12;
    player.int_vars[INDEX_SHIELD] = 1;
    bullets[4].state = 1;
    missiles[2].state = 1;
    particles[7].life = 9;
    explosion.state = 1;

    EXPECT_EQ(Reset_Game(), 15);
    EXPECT_EQ(enemy_ships, 15);
    for (auto &p : powerups)
        EXPECT_EQ(p.state, 0);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(fuel, 300.0f);
    EXPECT_EQ(missile_load, 2);
    EXPECT_EQ(missile_delay, 0);
    EXPECT_EQ(stations[0].state, 1);
    EXPECT_EQ(world_x(stations[0]), 1000);
    EXPECT_EQ(world_y(stations[0]), 1000);
    EXPECT_EQ(stations[0].counter_1, 50);
    EXPECT_EQ(stations[0].counter_2, 1000);
    EXPECT_EQ(stations[1].state, 1);
    EXPECT_EQ(world_x(stations[1]), 5000);
    EXPECT_EQ(world_y(stations[1]), -2000);
    EXPECT_EQ(stations[1].counter_1, 50);
    EXPECT_EQ(stations[1].counter_2, 1000);
    // Slots 2 and 3 are not placed by a reset.
    EXPECT_EQ(stations[2].state, 1);
    EXPECT_EQ(stations[2].counter_2, 33);
    EXPECT_EQ(stations[3].state, 0);
    // The ship and what is in flight stay as they were.
    EXPECT_EQ(player.state, 0);
    EXPECT_EQ(player_x, 55.5f);
    EXPECT_EQ(player_yv, -3.0f);
    EXPECT_EQ(heading(player), 12);
    EXPECT_EQ(player.int_vars[INDEX_SHIELD], 1);
    EXPECT_EQ(bullets[4].state, 1);
    EXPECT_EQ(missiles[2].state, 1);
    EXPECT_EQ(particles[7].life, 9);
    EXPECT_EQ(explosion.state, 1);
}

// A working directory holding the named sound files copied from the data folder.
class SoundDir : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        Headless_Reset(1000);
        Clear_Sound_Ids();
    }
    void TearDown() override {
        DSound_Shutdown();
        Clear_Sound_Ids();
        EXPECT_EQ(chdir(data.c_str()), 0); // back to where the test started
        TempFolderTest::TearDown();
    }
    void Copy(std::initializer_list<const char *> names) {
        for (const char *n : names) {
            std::string from = std::string(FW_DATA_DIR) + "/" + n, to = dir + "/" + n;
            FILE *in = fopen(from.c_str(), "rb");
            ASSERT_NE(in, nullptr) << from;
            FILE *out = fopen(to.c_str(), "wb");
            ASSERT_NE(out, nullptr) << to;
            char b[8192];
            size_t k;
            while ((k = fread(b, 1, sizeof b, in)) > 0)
                fwrite(b, 1, k, out);
            fclose(in);
            fclose(out);
        }
    }
    void Enter() {
        ASSERT_EQ(chdir(dir.c_str()), 0);
        ASSERT_EQ(DSound_Init(), 1);
    }
};

const char *const all_sounds[] = {"gameover.wav", "victory.wav", "engine.wav",
                                  "blaze.wav",    "beep00.wav",  "missile00.wav",
                                  "boom67.wav",   "boom45.wav",  "pdlaser.wav"};

TEST_F(SoundDir, AllNineLoadWithTheirRatesAndReplicas) {
    for (const char *n : all_sounds)
        Copy({n});
    Enter();
    EXPECT_EQ(Init_Sounds(), 1);
    for (int id : {gameover_id, victory_id, engine_id, afterburner_id, powerup_id, missile_id})
        EXPECT_NE(id, -1);
    EXPECT_EQ(DSound_Get_Freq(victory_id), 22050);
    EXPECT_EQ(DSound_Get_Freq(afterburner_id), 22050);
    const int *sets[] = {explosion_ids, hit_ids, bullet_ids};
    for (const int *ids : sets) {
        EXPECT_EQ(DSound_Get_Freq(ids[0]), 22050);
        for (int i = 0; i < NUM_SOUND_COPIES; i++) {
            EXPECT_NE(ids[i], -1);
            for (int j = 0; j < i; j++)
                EXPECT_NE(ids[i], ids[j]); // eight separate slots
        }
    }
}

TEST_F(SoundDir, AMissingFileStopsTheListThere) {
    Copy({"gameover.wav", "victory.wav", "engine.wav", "blaze.wav", "beep00.wav", "boom67.wav",
          "boom45.wav", "pdlaser.wav"});
    Enter();
    EXPECT_EQ(Init_Sounds(), 0);
    for (int id : {gameover_id, victory_id, engine_id, afterburner_id, powerup_id})
        EXPECT_NE(id, -1);
    EXPECT_EQ(missile_id, -1);
    for (int i = 0; i < NUM_SOUND_COPIES; i++) {
        EXPECT_EQ(explosion_ids[i], -1);
        EXPECT_EQ(hit_ids[i], -1);
        EXPECT_EQ(bullet_ids[i], -1);
    }
}

TEST_F(SoundDir, NothingLoadsWithoutTheFirstFile) {
    Copy({"victory.wav", "engine.wav"});
    Enter();
    EXPECT_EQ(Init_Sounds(), 0);
    EXPECT_EQ(gameover_id, -1);
    EXPECT_EQ(victory_id, -1);
    EXPECT_EQ(engine_id, -1);
}

TEST(GameSounds, EngineLoopFollowsThrust) {
    KEY_TABLE keys;
    for (int r = 1; r <= 5; r++)
        keys[r].insert(DIK_UP);
    for (int r = 8; r <= 9; r++)
        keys[r].insert(DIK_TAB);
    auto run = Run_Game(keys, 12);
    ASSERT_GE(run.size(), 11u);
    // run[i] is the frame of read i + 1.
    EXPECT_EQ(run[0].engines_on, 1);
    EXPECT_EQ(run[0].engine_status & 5, 5); // playing, looping
    EXPECT_EQ(run[4].engine_status & 5, 5);
    EXPECT_EQ(run[5].engines_on, 0); // first frame without thrust
    EXPECT_EQ(run[5].engine_status, 0);
    EXPECT_EQ(run[7].afterburners_on, 1);
    EXPECT_EQ(run[7].engines_on, 0);
    EXPECT_EQ(run[7].afterburner_status & 5, 1); // playing once, not looping
    EXPECT_EQ(run[9].afterburners_on, 0);
}

TEST(GameSounds, EngineLoopsOnAfterDestructionUntilCoastingAfterRestart) {
    KEY_TABLE keys;
    for (int r = 1; r <= 3; r++)
        keys[r].insert(DIK_UP);
    keys[6].insert(DIK_RETURN);
    keys[6].insert(DIK_UP); // the restart frame's flight step is skipped: the ship was destroyed
    auto run = Run_Game(keys, 10, [](int frame) {
        if (frame == 2) player.state = 0; // destroyed at read 3, before its flight step
    });
    ASSERT_GE(run.size(), 8u);
    EXPECT_EQ(run[1].engine_status & 5, 5);
    EXPECT_EQ(run[4].engines_on, 1); // destroyed, no thrust: still looping
    EXPECT_EQ(run[4].engine_status & 5, 5);
    EXPECT_EQ(run[5].player_state, 1);
    EXPECT_EQ(run[5].engine_status & 5, 5);
    EXPECT_EQ(run[6].engines_on, 0); // read 7: alive, no thrust
    EXPECT_EQ(run[6].engine_status, 0);
}

TEST(GameFrameLong, HeldResetKeepsTheStartingWorld) {
    KEY_TABLE keys;
    for (int r = 1; r <= 120; r++)
        keys[r] = {DIK_R, DIK_UP, DIK_LCONTROL};
    auto run = Run_Game(keys, 121);
    for (const SNAPSHOT_TYP &s : run) {
        if (s.read > 120) break;
        ASSERT_EQ(s.score, 0) << s.read;
        ASSERT_EQ(s.enemy_ships, 15) << s.read;
        ASSERT_EQ(s.live_craft, 13) << s.read;
        ASSERT_EQ(s.fuel, 300.0f) << s.read;
        ASSERT_EQ(s.missile_load, 2) << s.read;
    }
    EXPECT_GT(run[100].x, 1000.0f); // the ship flew on regardless
}

} // namespace
