// The second build of the game: the packing the display reported is kept and F10 toggles from it.
#include <gtest/gtest.h>

#include "platform/dik.h"
#include "tests/support/game_run.h"

namespace {

TEST(KeptPacking, StartsIn565AndF10TogglesFromThere) {
    KEY_TABLE keys;
    keys[3] = {DIK_F10};
    auto run = Run_Game(keys, 6, nullptr, 1);
    ASSERT_GE(run.size(), 3u);
    EXPECT_EQ(run[0].dd_pixel_format, 16);
    EXPECT_EQ(run[0].packing, 16);
    EXPECT_EQ(run[1].dd_pixel_format, 16);
    EXPECT_EQ(run[2].dd_pixel_format, 15); // read 3
    EXPECT_EQ(run[2].packing, 16);         // shown as the display packs it
    EXPECT_TRUE(Text_Shown(run[0], "Score:                   0", 350, 10, 0x00FFFF00));
}

} // namespace
