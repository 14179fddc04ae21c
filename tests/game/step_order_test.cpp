// The order of one frame's steps: the ship's own keys, then the toggles, then R, then Enter, then
// the drawing of the shield gauge, each seeing what the step before it left.
#include <gtest/gtest.h>

#include <vector>

#include "platform/dik.h"
#include "game/game.h"
#include "game/panel.h"
#include "tests/support/game_run.h"

namespace {

const SNAPSHOT_TYP &At(const std::vector<SNAPSHOT_TYP> &run, int r) {
    for (const SNAPSHOT_TYP &s : run)
        if (s.read == r) return s;
    static SNAPSHOT_TYP none{};
    ADD_FAILURE() << "no frame made read " << r;
    return none;
}

TEST(FrameSteps, ShipKeysAreTakenBeforeTheRefill) {
    KEY_TABLE keys;
    keys[2] = {DIK_LMENU, DIK_F5}; // empty rack: no launch, then the refill to 6
    keys[3] = {DIK_LMENU};         // now a missile leaves
    auto run = Run_Game(keys, 5, [](int frame) {
        if (frame == 1) missile_load = 0;
    });
    EXPECT_EQ(At(run, 2).missile_load, 6);
    EXPECT_EQ(At(run, 2).missile_delay, 0);
    EXPECT_EQ(At(run, 3).missile_load, 5);
    EXPECT_EQ(At(run, 3).missile_delay, 49); // 50, less the count-down of the same frame
}

TEST(FrameSteps, ResetFollowsTheShipKeysAndTheRefill) {
    KEY_TABLE keys;
    keys[1] = {DIK_LMENU, DIK_R}; // launch (1 left, delay 49), then the reset puts back 2 and 0
    keys[3] = {DIK_F5, DIK_R};    // refill to 6, then the reset puts back 2; the shield stays 3
    auto run = Run_Game(keys, 5, [](int frame) {
        if (frame == 2) {
            player.int_vars[INDEX_SHIELD] = 1;
            fuel = 7.0f;
        }
    });
    EXPECT_EQ(At(run, 1).missile_load, 2);
    EXPECT_EQ(At(run, 1).missile_delay, 0);
    EXPECT_EQ(At(run, 3).missile_load, 2);
    EXPECT_EQ(At(run, 3).shield, 3);
    EXPECT_EQ(At(run, 3).fuel, 300.0f);
    EXPECT_EQ(At(run, 3).key_toggle_delay, 9);
}

TEST(FrameSteps, RestartComesAfterTheShipKeys) {
    KEY_TABLE keys;
    keys[2] = {DIK_UP, DIK_RETURN}; // destroyed: no thrust; the restart puts the ship at rest
    keys[3] = {DIK_UP};             // the first frame of flight after it
    auto run = Run_Game(keys, 5, [](int frame) {
        if (frame == 1) {
            player.state = 0;
            player_x = 50.0f;
            player_y = -20.0f;
            player_xv = player_yv = 0.0f;
        }
    });
    const SNAPSHOT_TYP &restarted = At(run, 2);
    EXPECT_EQ(restarted.player_state, 1);
    EXPECT_EQ(restarted.x, 0.0f);
    EXPECT_EQ(restarted.y, 0.0f);
    EXPECT_EQ(restarted.xv, 0.0f);
    EXPECT_EQ(restarted.engines_on, 0); // the ship keys did not run in that frame
    EXPECT_EQ(At(run, 3).xv, 1.0f);
    EXPECT_EQ(At(run, 3).x, 1.0f);
}

TEST(FrameSteps, ShieldGaugeShowsTheLevelOfTheFrame) {
    // The gauge's picture is chosen while drawing, after the refill key: record what each frame
    // left, read before the next frame draws again.
    static std::vector<int> gauge;
    gauge.clear();
    KEY_TABLE keys;
    keys[3] = {DIK_F5};
    auto run = Run_Game(keys, 7, [](int frame) {
        if (frame >= 1) gauge.push_back(shields.curr_frame); // the frame before this one
        if (frame == 1) player.int_vars[INDEX_SHIELD] = 1;
        if (frame == 4) {
            player.state = 0;
            player.int_vars[INDEX_SHIELD] = 0;
        }
    });
    ASSERT_GE(gauge.size(), 5u);
    EXPECT_EQ(gauge[0], 3); // read 1: full shield from set-up
    EXPECT_EQ(gauge[1], 1); // read 2
    EXPECT_EQ(gauge[2], 3); // read 3: the refill of that same frame
    EXPECT_EQ(gauge[3], 3); // read 4
    EXPECT_EQ(gauge[4], 0); // read 5: destroyed, the gauge still drawn at 0
}

} // namespace
