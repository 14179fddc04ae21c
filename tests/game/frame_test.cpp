// The game frame run whole and headless: starting values, the toggle keys and their shared
// delay, refill, reset and restart in each state, the texts and readout, Escape and game_state.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/graphics/random.h"
#include "platform/dik.h"
#include "game/game.h"
#include "tests/support/game_run.h"

namespace {

constexpr unsigned RED = 0x000000FF, CYAN = 0x00FFFF00, DARK_CYAN = 0x00C8C800, GREEN = 0x0000FF00;

// Holds keys for reads first..last of the table.
void Hold(KEY_TABLE &t, int first, int last, std::initializer_list<int> keys) {
    for (int r = first; r <= last; r++)
        for (int k : keys)
            t[r].insert(k);
}

// The snapshot of the frame that made keyboard read r.
const SNAPSHOT_TYP &At(const std::vector<SNAPSHOT_TYP> &run, int r) {
    for (const SNAPSHOT_TYP &s : run)
        if (s.read == r) return s;
    static SNAPSHOT_TYP none{};
    ADD_FAILURE() << "no frame made read " << r;
    return none;
}

TEST(GameFrame, StartingValuesAfterSetUp) {
    auto run = Run_Game({}, 3, nullptr, 1);
    const SNAPSHOT_TYP &s = At(run, 1); // the first frame, no keys
    EXPECT_EQ(s.score, 0);
    EXPECT_EQ(s.fuel, 300.0f);
    EXPECT_EQ(s.missile_load, 2);
    EXPECT_EQ(s.missile_delay, 0);
    EXPECT_EQ(s.enemy_ships, 15);
    EXPECT_EQ(s.live_craft, 13);
    EXPECT_EQ(s.debug_mode, 0);
    EXPECT_EQ(s.dd_pixel_format, 15);
    EXPECT_EQ(s.packing, 15);
    EXPECT_EQ(s.game_state, 1);
    EXPECT_EQ(s.player_state, 1);
    EXPECT_EQ(s.heading, 0);
    EXPECT_EQ(s.shield, 3);
    EXPECT_EQ(s.x, 0.0f);
    EXPECT_EQ(s.v, 0.0f);
    EXPECT_EQ(s.key_toggle_delay, 0);
    char score[64];
    snprintf(score, sizeof score, "Score:%20d", 0);
    EXPECT_TRUE(Text_Shown(s, score, 350, 10, CYAN));
    EXPECT_FALSE(Text_Shown(s, "Game Over", 355, 320, RED));
    EXPECT_FALSE(Text_Shown(s, "You Win!", 365, 320, RED));
    EXPECT_EQ(s.buffer, score); // nothing else printed after the score while flying
}

TEST(GameFrame, RandomGeneratorSeededFromTheClockBeforeTheStars) {
    // The headless clock starts at 1000, so set-up seeds with 1000, and the star field is the
    // first user of the generator: x then y for each star. No ship velocity across the screen
    // means the title's frame moved the stars only up and down.
    static int xs[MAX_STARS];
    Run_Game({}, 2, [](int frame) {
        if (frame == 0)
            for (int i = 0; i < MAX_STARS; i++)
                xs[i] = stars[i].x;
    });
    Seed_Rand(1000);
    for (int i = 0; i < MAX_STARS; i++) {
        int x = Rand() % 1600;
        Rand();
        ASSERT_EQ(xs[i], x) << "star " << i;
    }
}

TEST(GameFrame, HeldDTogglesTheReadoutEveryTenFrames) {
    KEY_TABLE keys;
    Hold(keys, 1, 30, {DIK_D});
    auto run = Run_Game(keys, 32);
    for (int r = 1; r <= 30; r++) {
        // Taken at reads 1, 11 and 21: on, off, on.
        int want = r < 11 ? 1 : r < 21 ? 0 : 1;
        EXPECT_EQ(At(run, r).debug_mode, want) << "read " << r;
    }
    EXPECT_EQ(At(run, 1).key_toggle_delay, 9);
    EXPECT_EQ(At(run, 10).key_toggle_delay, 0);
    EXPECT_EQ(At(run, 11).key_toggle_delay, 9);
    EXPECT_EQ(At(run, 31).key_toggle_delay, 0);
}

TEST(GameFrame, ToggleKeysTakeOnlyTheFirstInOrder) {
    KEY_TABLE keys;
    Hold(keys, 1, 11, {DIK_D, DIK_F10});   // D wins at reads 1 and 11
    Hold(keys, 12, 21, {DIK_F10, DIK_F5}); // F10 wins at read 21 (delay over at 20)
    auto run = Run_Game(keys, 40, [](int frame) {
        if (frame == 0) missile_load = 1; // lets a refill show
    });
    EXPECT_EQ(At(run, 1).debug_mode, 1);
    EXPECT_EQ(At(run, 11).debug_mode, 0);
    for (int r = 1; r <= 20; r++)
        EXPECT_EQ(At(run, r).dd_pixel_format, 15) << "read " << r;
    EXPECT_EQ(At(run, 21).dd_pixel_format, 16);
    EXPECT_EQ(At(run, 21).missile_load, 1); // F5 not taken
    EXPECT_EQ(At(run, 30).dd_pixel_format, 16);
}

TEST(GameFrame, F10SwitchesThePackingOfComposedPixels) {
    KEY_TABLE keys;
    Hold(keys, 2, 2, {DIK_F10});
    Hold(keys, 13, 13, {DIK_F10});
    auto run = Run_Game(keys, 15);
    EXPECT_EQ(At(run, 1).dd_pixel_format, 15);
    EXPECT_EQ(At(run, 2).dd_pixel_format, 16);
    EXPECT_EQ(At(run, 12).dd_pixel_format, 16);
    EXPECT_EQ(At(run, 13).dd_pixel_format, 15);
    EXPECT_EQ(At(run, 2).packing, 15); // the picture is still shown as set up
}

TEST(GameFrame, RefillWhileDestroyedDoesNotReviveEnterDoes) {
    KEY_TABLE keys;
    Hold(keys, 3, 3, {DIK_F5});
    Hold(keys, 6, 6, {DIK_RETURN});
    Hold(keys, 1, 1, {DIK_UP});
    auto run = Run_Game(keys, 9, [](int frame) {
        if (frame == 1) { // after one frame of thrust, at read 2
            player.state = 0;
            player.int_vars[INDEX_SHIELD] = 0;
            player_xv = player_yv = 0.0f;
            missile_load = 0;
            fuel = 12.0f;
            heading(player) = 7;
        }
    });
    const SNAPSHOT_TYP &refilled = At(run, 3);
    EXPECT_EQ(refilled.player_state, 0);
    EXPECT_EQ(refilled.shield, 3);
    EXPECT_EQ(refilled.missile_load, 6);
    EXPECT_EQ(refilled.fuel, 300.0f);
    EXPECT_EQ(At(run, 5).player_state, 0);
    const SNAPSHOT_TYP &restarted = At(run, 6);
    EXPECT_EQ(restarted.player_state, 1);
    EXPECT_EQ(restarted.x, 0.0f);
    EXPECT_EQ(restarted.y, 0.0f);
    EXPECT_EQ(restarted.xv, 0.0f);
    EXPECT_EQ(restarted.heading, 0);
    EXPECT_EQ(restarted.shield, 3);
    EXPECT_EQ(restarted.missile_load, 2); // Reset_Game after the refill
    EXPECT_EQ(restarted.enemy_ships, 15);
    EXPECT_EQ(restarted.v, 1.0f); // the measured speed is not reset by the restart
}

TEST(GameFrame, EnterWhileFlyingWithEnemiesLeftDoesNothing) {
    KEY_TABLE keys;
    Hold(keys, 1, 4, {DIK_UP});
    Hold(keys, 5, 6, {DIK_RETURN});
    auto run = Run_Game(keys, 8);
    EXPECT_EQ(At(run, 4).x, 10.0f); // 1 + 2 + 3 + 4
    EXPECT_EQ(At(run, 6).x, 18.0f); // coasting at 4 per frame
    EXPECT_EQ(At(run, 6).xv, 4.0f);
}

TEST(GameFrame, ResetWhileDestroyedKeepsGameOver) {
    KEY_TABLE keys;
    Hold(keys, 3, 5, {DIK_R});
    auto run = Run_Game(
        keys, 7,
        [](int frame) {
            if (frame == 0) {
                player.state = 0;
                score = 700;
                missile_load = 5;
                enemy_ships = 3;
            }
        },
        1);
    EXPECT_EQ(At(run, 2).score, 700);
    const SNAPSHOT_TYP &s = At(run, 5);
    EXPECT_EQ(s.score, 0);
    EXPECT_EQ(s.enemy_ships, 15);
    EXPECT_EQ(s.missile_load, 2);
    EXPECT_EQ(s.player_state, 0);
    EXPECT_TRUE(Text_Shown(s, "Game Over", 355, 320, RED));
    EXPECT_TRUE(Text_Shown(s, "(Hit Enter To Restart)", 320, 360, DARK_CYAN));
    EXPECT_EQ(s.buffer, "(Hit Enter To Restart)");
}

TEST(GameFrame, GameOverHasPriorityOverYouWin) {
    auto run = Run_Game(
        {}, 4,
        [](int frame) {
            if (frame == 0) {
                player.state = 0;
                enemy_ships = 0;
            }
        },
        1);
    const SNAPSHOT_TYP &s = At(run, 2);
    EXPECT_TRUE(Text_Shown(s, "Game Over", 355, 320, RED));
    EXPECT_FALSE(Text_Shown(s, "You Win!", 365, 320, RED));
}

TEST(GameFrame, WonShowsYouWinAndEnterRestarts) {
    KEY_TABLE keys;
    Hold(keys, 1, 2, {DIK_UP});
    Hold(keys, 4, 4, {DIK_RETURN});
    auto run = Run_Game(
        keys, 6,
        [](int frame) {
            if (frame <= 2) enemy_ships = 0;
        },
        1);
    const SNAPSHOT_TYP &won = At(run, 3);
    EXPECT_EQ(won.player_state, 1);
    EXPECT_TRUE(Text_Shown(won, "You Win!", 365, 320, RED));
    EXPECT_TRUE(Text_Shown(won, "(Hit Enter To Restart)", 320, 360, DARK_CYAN));
    EXPECT_FALSE(Text_Shown(won, "Game Over", 355, 320, RED));
    const SNAPSHOT_TYP &again = At(run, 4);
    EXPECT_EQ(again.enemy_ships, 15);
    EXPECT_EQ(again.x, 0.0f);
    EXPECT_EQ(again.xv, 0.0f);
    EXPECT_FALSE(Text_Shown(again, "You Win!", 365, 320, RED));
}

TEST(GameFrame, EnterRestartsBelowZeroEnemiesToo) {
    // "You Win!" with its restart hint shows for any count of 0 or less, so Enter is taken there.
    KEY_TABLE keys;
    Hold(keys, 3, 3, {DIK_RETURN});
    auto run = Run_Game(
        keys, 5,
        [](int frame) {
            if (frame <= 1) enemy_ships = -1;
        },
        1);
    EXPECT_TRUE(Text_Shown(At(run, 2), "You Win!", 365, 320, RED));
    EXPECT_EQ(At(run, 3).enemy_ships, 15);
}

TEST(GameFrame, RefillAndResetWhileFlyingAndWon) {
    KEY_TABLE keys;
    Hold(keys, 2, 2, {DIK_F5});   // flying
    Hold(keys, 13, 13, {DIK_F5}); // won
    Hold(keys, 15, 15, {DIK_R});  // won: the reset brings the enemies back
    auto run = Run_Game(
        keys, 17,
        [](int frame) {
            if (frame == 0) {
                missile_load = 0;
                fuel = 40.0f;
                player.int_vars[INDEX_SHIELD] = 1;
            }
            if (frame == 11) {
                enemy_ships = 0;
                missile_load = 1;
                player.int_vars[INDEX_SHIELD] = 0;
            }
        },
        1);
    EXPECT_EQ(At(run, 1).missile_load, 0);
    EXPECT_EQ(At(run, 2).missile_load, 6);
    EXPECT_EQ(At(run, 2).fuel, 300.0f);
    EXPECT_EQ(At(run, 2).shield, 3);
    EXPECT_EQ(At(run, 12).missile_load, 1);
    EXPECT_EQ(At(run, 13).missile_load, 6);
    EXPECT_EQ(At(run, 13).shield, 3);
    EXPECT_TRUE(Text_Shown(At(run, 14), "You Win!", 365, 320, RED));
    EXPECT_EQ(At(run, 15).enemy_ships, 15);
    EXPECT_EQ(At(run, 15).missile_load, 2);
    EXPECT_FALSE(Text_Shown(At(run, 15), "You Win!", 365, 320, RED));
}

TEST(GameFrame, DebugReadoutLinesPlacesAndColours) {
    KEY_TABLE keys;
    Hold(keys, 1, 1, {DIK_D});
    Hold(keys, 1, 3, {DIK_RIGHT, DIK_UP});
    auto run = Run_Game(keys, 5, nullptr, 1);
    const SNAPSHOT_TYP &s = At(run, 3);
    ASSERT_EQ(s.debug_mode, 1);
    // Three frames of thrust turning right: headings 1, 2, 3.
    EXPECT_TRUE(Text_Shown(s, "Farwake is running", 10, 10, CYAN));
    EXPECT_TRUE(Text_Shown(s, "Frame:3", 10, 30, CYAN));
    char line[128];
    snprintf(line, sizeof line, "xv:%.2f yv:%.2f", s.xv, s.yv);
    EXPECT_TRUE(Text_Shown(s, line, 10, 50, RED));
    snprintf(line, sizeof line, "Speed:%.2f", s.v);
    EXPECT_TRUE(Text_Shown(s, line, 10, 70, CYAN));
    snprintf(line, sizeof line, "x:%.2f y:%.2f", s.x, s.y);
    EXPECT_TRUE(Text_Shown(s, line, 10, 90, RED));
    EXPECT_TRUE(Text_Shown(s, "missile delay:0", 10, 110, RED));
    EXPECT_TRUE(Text_Shown(s, "station timer:997", 10, 130, GREEN)); // 1000 less 3 frames
    EXPECT_TRUE(Text_Shown(s, "enemy_ships:15", 10, 150, GREEN));
    EXPECT_EQ(s.buffer, "enemy_ships:15");
    EXPECT_FALSE(Text_Shown(At(run, 1), "Frame:3", 10, 30, CYAN));
}

TEST(GameFrame, EscapePostsOneCloseRequestPerFrame) {
    auto run = Run_Game({}, 4);
    // Reads 1..3 fly; read 4 posts WM_DESTROY; the pump takes it and runs one more frame.
    ASSERT_EQ(run.size(), 5u);
    EXPECT_EQ(At(run, 3).queue, 0);
    EXPECT_EQ(At(run, 4).queue, 1);
    // The next pass took WM_DESTROY (queuing WM_QUIT), then the frame posted one more.
    EXPECT_EQ(At(run, 5).queue, 2);
}

TEST(GameFrame, OtherGameStatesGiveBlackFramesAndEscapeStillWorks) {
    KEY_TABLE keys;
    Hold(keys, 1, 8, {DIK_UP, DIK_D});
    auto run = Run_Game(
        keys, 8,
        [](int frame) {
            if (frame == 3) game_state = 2;
        },
        1);
    ASSERT_EQ(run.size(), 9u);
    EXPECT_NE(Count_Pixels(At(run, 3).picture, 0, 0, 800, 600, 0), 800 * 600);
    for (int r = 4; r <= 9; r++) {
        const SNAPSHOT_TYP &s = At(run, r);
        EXPECT_EQ(Count_Pixels(s.picture, 0, 0, 800, 600, 0), 800 * 600) << "read " << r;
        EXPECT_EQ(s.xv, 3.0f); // no more thrust
        EXPECT_EQ(s.debug_mode, 1);
    }
}

} // namespace
