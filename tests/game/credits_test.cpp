// The credits screen on the headless backend: when captions appear and change, its last frame
// with and without Escape, its pacing, and the caption texts that are ours.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/dik.h"
#include "game/screens.h"
#include "tests/support/game_run.h"
#include "world/world.h"

namespace {

// Reads 0..2 are the title's frames; credits frame n is read 2 + n and presented frame 2 + n.
constexpr int CREDITS_BASE = 2;

class Credits : public ::testing::Test {
  protected:
    Game_Run run;
    void SetUp() override {
        run.Start();
        run.keys[2] = {DIK_ESCAPE};
        Game_Init(nullptr);
        ASSERT_EQ(run.presented, 3);
    }
    void TearDown() override {
        Game_Shutdown(nullptr);
        run.Stop();
    }
    void Keep_Credits_Frames(std::initializer_list<int> frames) {
        for (int n : frames)
            run.keep.insert(CREDITS_BASE + n);
    }
    const Shot &Credits_Frame(int n) { return run.shots.at(CREDITS_BASE + n); }
    // Red caption pixels of both lines: line 1 from (320, 200), line 2 from (360, 250).
    static std::vector<bool> Caption_Mask(const Shot &s) {
        std::vector<bool> m;
        for (int y = 196; y < 280; y++)
            for (int x = 316; x < 800; x++)
                m.push_back(Is_Red(s.red(x, y), s.green(x, y), s.blue(x, y)));
        return m;
    }
    static int Differences(const std::vector<bool> &a, const std::vector<bool> &b) {
        int n = 0;
        for (size_t i = 0; i < a.size(); i++)
            n += a[i] != b[i];
        return n;
    }
};

TEST_F(Credits, CaptionsAppearAtFrameTenAndChangeAtTheTableFrames) {
    Keep_Credits_Frames({1, 9, 10, 11, 149, 150, 299, 300});
    run.keys[CREDITS_BASE + 300] = {DIK_ESCAPE};
    Run_Credits_Screen();
    EXPECT_EQ(run.presented, CREDITS_BASE + 1 + 300);
    auto m1 = Caption_Mask(Credits_Frame(1)), m9 = Caption_Mask(Credits_Frame(9));
    auto m10 = Caption_Mask(Credits_Frame(10)), m11 = Caption_Mask(Credits_Frame(11));
    auto m149 = Caption_Mask(Credits_Frame(149)), m150 = Caption_Mask(Credits_Frame(150));
    auto m299 = Caption_Mask(Credits_Frame(299)), m300 = Caption_Mask(Credits_Frame(300));
    // Before frame 10 nothing is written: frames 1 and 9 differ only where stars moved.
    EXPECT_LT(Differences(m1, m9), 20);
    EXPECT_GT(Differences(m9, m10), 100);
    // A caption stays up unchanged until the next row of the table replaces it.
    EXPECT_LT(Differences(m10, m11), 20);
    EXPECT_LT(Differences(m11, m149), 20);
    EXPECT_GT(Differences(m149, m150), 100);
    EXPECT_LT(Differences(m150, m299), 20);
    EXPECT_GT(Differences(m299, m300), 100);
    // Both lines are written: red on line 1 and on line 2 of frame 10 that frame 9 lacks.
    const Shot &f9 = Credits_Frame(9), &f10 = Credits_Frame(10);
    EXPECT_GT(f10.count(318, 196, 800, 225, Is_Red), f9.count(318, 196, 800, 225, Is_Red) + 30);
    EXPECT_GT(f10.count(358, 246, 800, 275, Is_Red), f9.count(358, 246, 800, 275, Is_Red) + 20);
    EXPECT_EQ(player_yv, 0.0f);
}

TEST_F(Credits, WithoutEscapeFrame1201IsTheLastAndShowsTheLastCaption) {
    Keep_Credits_Frames({749, 750, 1201});
    Run_Credits_Screen();
    EXPECT_EQ(run.presented, CREDITS_BASE + 1 + 1201);
    auto m749 = Caption_Mask(Credits_Frame(749)), m750 = Caption_Mask(Credits_Frame(750));
    auto m1201 = Caption_Mask(Credits_Frame(1201));
    EXPECT_GT(Differences(m749, m750), 100);
    EXPECT_LT(Differences(m750, m1201), 20);
    // Paced like a game frame: 1201 frames of at least 30 ms each.
    ASSERT_EQ(run.read_ticks.size(), (size_t)(CREDITS_BASE + 1 + 1201));
    EXPECT_GE(run.read_ticks.back() - run.read_ticks[CREDITS_BASE + 1], 1200u * 30u);
    EXPECT_EQ(player_yv, 0.0f);
}

TEST_F(Credits, EscapeStillHeldEndsThemAfterTheFirstFrame) {
    run.keys[CREDITS_BASE + 1] = {DIK_ESCAPE};
    player_xv = 7.0f; // the credits keep the ship's sideways drift
    Run_Credits_Screen();
    EXPECT_EQ(run.presented, CREDITS_BASE + 2);
    EXPECT_EQ(player_xv, 7.0f);
    EXPECT_EQ(player_yv, 0.0f);
    player_xv = 0.0f;
}

TEST_F(Credits, TheCaptionTableWithOurNoticeAndAddress) {
    EXPECT_STREQ(Credits_Caption(10, 1), "Designed and programmed by");
    EXPECT_STREQ(Credits_Caption(600, 2), "Copyright (c) 2026 The Farwake Project");
    EXPECT_STREQ(Credits_Caption(750, 1), "Thanks for playing!");
    EXPECT_STREQ(Credits_Caption(750, 2), "Visit farwake.example.org");
    for (int frame : {0, 1, 9, 11, 149, 151, 751, 1201})
        EXPECT_EQ(Credits_Caption(frame, 1), nullptr) << frame;
    EXPECT_EQ(Credits_Caption(10, 3), nullptr);
}

} // namespace
