// Escape after the title: the press that left the title is ignored until it is let go, then
// Escape ends the game as before; the credits still end on a held Escape.
#include "tests/support/game_run.h"
#include "platform/dik.h"
#include <gtest/gtest.h>

namespace {

KEY_TABLE Held(int first, int last, int key) {
    KEY_TABLE t;
    for (int r = first; r <= last; r++)
        t[r].insert(key);
    return t;
}

TEST(EscapeMend, HeldFromTheTitleForASecondIsIgnoredUntilLetGo) {
    // Read 0 leaves the title; Escape stays down for reads 1..33 (a second of frames), up at
    // 34, and the run's own Escape comes at read 60.
    std::vector<SNAPSHOT_TYP> s = Run_Game(Held(1, 33, DIK_ESCAPE), 60);
    ASSERT_GE(s.size(), 60u);
    // Every read up to 60 was a game frame: the held key ended nothing.
    for (int i = 0; i < 60; i++)
        EXPECT_EQ(s[i].read, i + 1);
    // Read 60 posts the close request; the frame of read 61 still runs, then the pump ends.
    EXPECT_EQ(s.back().read, 61);
}

TEST(EscapeMend, APressAfterTheKeyWasSeenUpEndsTheGameAtOnce) {
    // Up at read 1, down at read 5: the game ends as it always did.
    std::vector<SNAPSHOT_TYP> s = Run_Game(Held(5, 5, DIK_ESCAPE), 1000);
    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(s.back().read, 6);
}

TEST(EscapeMend, HeldThroughTheFirstFramesThenPressedAgain) {
    // Held 1..10, up 11..14, pressed 15..16: the game ends on read 15.
    KEY_TABLE t = Held(1, 10, DIK_ESCAPE);
    for (int r : {15, 16})
        t[r].insert(DIK_ESCAPE);
    std::vector<SNAPSHOT_TYP> s = Run_Game(t, 1000);
    ASSERT_EQ(s.size(), 16u);
    EXPECT_EQ(s.back().read, 16);
}

TEST(EscapeMend, OtherKeysDoNotArmIt) {
    // Escape and Up together for reads 1..20, Up alone after: only Escape let go counts, at
    // read 21; the run's Escape at read 30 ends the game.
    KEY_TABLE t = Held(1, 20, DIK_ESCAPE);
    for (int r = 1; r <= 40; r++)
        t[r].insert(DIK_UP);
    std::vector<SNAPSHOT_TYP> s = Run_Game(t, 30);
    ASSERT_EQ(s.size(), 31u);
    EXPECT_EQ(s[19].read, 20);
    EXPECT_GT(s[19].v, 0.0f); // the ship flew on while Escape was held
}

} // namespace
