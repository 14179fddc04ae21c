// The exact game clock and the refresh schedule, walked tick by tick without waiting.
#include "shell/present_clock.h"
#include <gtest/gtest.h>
#include <cmath>
#include <vector>

namespace {

struct FrameCase {
    const char *what;
    uint32_t start, now; // the frame's Start_Clock and the clock when its wait begins
    uint32_t due;        // expected end of its wait
};

// Each row is one frame of the same game, in order, on a clock that began at 1000.
TEST(PresentClock, FramesAreDueEvery30MsWithoutDrift) {
    const FrameCase frames[] = {
        {"first frame: 30 ms after its own start", 1000, 1002, 1030},
        {"on time", 1030, 1031, 1060},
        // It starts 15 ms late: the next ones stay on the 30 ms grid instead of moving back.
        {"late start keeps the grid", 1075, 1076, 1090},
        {"back on time", 1090, 1090, 1120},
        // 60 ms behind (its due tick 1150 is 60 ms gone): two catch-up frames run back to back.
        {"two frames behind: catch up", 1210, 1210, 1150},
        {"catch-up frame", 1210, 1211, 1180},
        {"caught up", 1211, 1212, 1210},
        {"on the grid again", 1212, 1213, 1240},
        // More than two frames behind: the clock starts afresh from this frame's own start.
        {"stall of 61 ms beyond the grid: reset", 1331, 1331, 1361},
        {"after the reset", 1361, 1361, 1391},
    };
    PRESENT_CLOCK_TYP c;
    int n = 0;
    for (const FrameCase &f : frames) {
        EXPECT_EQ(Present_Clock_Frame_Due(&c, f.start, f.now), f.due) << f.what;
        EXPECT_EQ(c.frame, n++) << f.what;
    }
}

TEST(PresentClock, ScheduleHoldsAcrossTheTickWrap) {
    PRESENT_CLOCK_TYP c;
    uint32_t start = 0xFFFFFFF0u;
    EXPECT_EQ(Present_Clock_Frame_Due(&c, start, start), 0x0000000Eu);
    EXPECT_EQ(Present_Clock_Frame_Due(&c, 0x0Eu, 0x10u), 0x2Cu);
    Present_Clock_Reset(&c);
    EXPECT_EQ(Present_Clock_Frame_Due(&c, 500, 500), 530u);
}

// Walks frames on time and collects every refresh as ms since the first frame's start.
std::vector<PRESENT_AT_TYP> Walk(int hz, int frames, std::vector<double> *absolute) {
    PRESENT_CLOCK_TYP c;
    Present_Clock_Set_Refresh(&c, hz);
    std::vector<PRESENT_AT_TYP> all;
    uint32_t start = 7000;
    for (int f = 0; f < frames; f++) {
        uint32_t due = Present_Clock_Frame_Due(&c, start, start);
        PRESENT_AT_TYP at;
        while (Present_Clock_Next(&c, 0, &at)) {
            all.push_back(at);
            absolute->push_back((start - 7000) + at.t);
        }
        start = due;
    }
    return all;
}

TEST(PresentClock, RefreshesAreEvenAcrossFramesWithSharesOfTheFrame) {
    struct {
        int hz, frames, refreshes, at_frame_end; // refreshes meeting a frame's end (alpha 1)
    } rates[] = {
        {60, 5, 9, 1},     // 150 ms: 9 refreshes of 16.67 ms, the 9th on the 5th frame's end
        {120, 5, 18, 1},   // 150 ms: 18 of 8.33 ms
        {144, 25, 108, 1}, // 750 ms: 108 of 6.94 ms, meeting a frame's end only at 750
        {50, 3, 4, 1},     // 90 ms: refreshes at 20, 40, 60, 80; of the ends 30, 60, 90, only 60
    };
    for (const auto &r : rates) {
        std::vector<double> t;
        std::vector<PRESENT_AT_TYP> all = Walk(r.hz, r.frames, &t);
        ASSERT_EQ((int)all.size(), r.refreshes) << r.hz;
        int ends = 0;
        for (size_t i = 0; i < all.size(); i++) {
            EXPECT_NEAR(t[i], (i + 1) * 1000.0 / r.hz, 1e-9) << r.hz << " refresh " << i;
            EXPECT_GT(all[i].alpha, 0) << r.hz;
            EXPECT_LE(all[i].alpha, 1) << r.hz;
            EXPECT_DOUBLE_EQ(all[i].alpha, all[i].t / 30.0) << r.hz;
            if (all[i].alpha == 1.0) ends++;
        }
        EXPECT_EQ(ends, r.at_frame_end) << r.hz;
    }
}

TEST(PresentClock, NoRefreshesWithoutARateAndPassedOnesAreSkipped) {
    PRESENT_CLOCK_TYP c;
    PRESENT_AT_TYP at;
    Present_Clock_Frame_Due(&c, 0, 0);
    EXPECT_EQ(Present_Clock_Next(&c, 0, &at), 0);

    // 100 Hz: refreshes at 10, 20, 30 ms into the frame. Reaching them 21 ms in, the one at 10
    // is gone (more than a refresh ago); the one at 20 is still drawn.
    PRESENT_CLOCK_TYP d;
    Present_Clock_Set_Refresh(&d, 100);
    Present_Clock_Frame_Due(&d, 0, 0);
    ASSERT_EQ(Present_Clock_Next(&d, 21, &at), 1);
    EXPECT_DOUBLE_EQ(at.t, 20);
    ASSERT_EQ(Present_Clock_Next(&d, 21, &at), 1);
    EXPECT_DOUBLE_EQ(at.t, 30);
    EXPECT_DOUBLE_EQ(at.alpha, 1);
    EXPECT_EQ(Present_Clock_Next(&d, 30, &at), 0);
    // The refresh that ended the frame is not shown again at the next one's start.
    Present_Clock_Frame_Due(&d, 30, 30);
    ASSERT_EQ(Present_Clock_Next(&d, 0, &at), 1);
    EXPECT_DOUBLE_EQ(at.t, 10);
}

} // namespace
