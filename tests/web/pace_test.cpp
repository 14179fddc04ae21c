// The page's frame pace, simulated with made-up animation callbacks: the game keeps its 30 ms a
// frame on 60, 120 and 144 Hz displays and on slow ones, never runs more than two frames in one
// callback, and after a stall (a hidden tab) resumes without rushing to catch up.
#include "platform/web/web_keys.h"
#include <gtest/gtest.h>

namespace {

constexpr uint32_t FRAME_MS = 30;

// Drives the game's 30 ms waits through callbacks every period ms for duration ms; returns the
// frames run and the most run in one callback.
struct Sim {
    Web_Pace pace;
    uint32_t clock = 5000;
    int frames = 0, most = 0;

    explicit Sim(double wall) { Web_Pace_Start(&pace, wall, clock); }

    void Callback(double wall) {
        Web_Pace_New_Callback(&pace);
        int here = 0;
        while (Web_Pace_Try_Run(&pace, clock + FRAME_MS, wall)) {
            clock += FRAME_MS;
            frames++;
            here++;
        }
        if (here > most) most = here;
    }
};

int Frames_Over(double period, double duration) {
    Sim s(0.0);
    for (int i = 1; i * period <= duration; i++)
        s.Callback(i * period);
    EXPECT_LE(s.most, WEB_PACE_MAX_RUNS);
    return s.frames;
}

TEST(WebPace, DisplayRateDoesNotChangeTheGameRate) {
    // 3 s at 30 ms a frame is 100 frames; a frame is late by less than one callback, so the
    // last one may fall just after the last callback.
    for (double hz : {60.0, 120.0, 144.0, 75.0, 240.0}) {
        int n = Frames_Over(1000.0 / hz, 3000.0);
        EXPECT_GE(n, 99) << hz;
        EXPECT_LE(n, 100) << hz;
    }
}

TEST(WebPace, ASlowDisplayGetsTwoFramesAPicture) {
    // At 30 Hz (33.3 ms) one frame per callback falls behind; the second frame catches up.
    // The last callback is at 3000 ms: 100 frames.
    EXPECT_EQ(Frames_Over(1000.0 / 30, 3000.0), 100);
    // At 20 Hz (50 ms) two a callback are needed and allowed: 100 frames in 3 s still.
    EXPECT_EQ(Frames_Over(50.0, 3000.0), 100);
    // At 10 Hz two a callback is the limit: 60 frames in 3 s, the game slows instead of jumping.
    EXPECT_EQ(Frames_Over(100.0, 3000.0), 60);
}

TEST(WebPace, AWaitNeverEndsBeforeItsTime) {
    Sim s(1000.0);
    Web_Pace_New_Callback(&s.pace);
    EXPECT_FALSE(Web_Pace_Try_Run(&s.pace, s.clock + 30, 1029.9));
    EXPECT_TRUE(Web_Pace_Try_Run(&s.pace, s.clock + 30, 1030.0));
    // A wait for the present moment or the past is due at once.
    Web_Pace_New_Callback(&s.pace);
    EXPECT_TRUE(Web_Pace_Try_Run(&s.pace, s.clock + 30, 1030.0));
}

TEST(WebPace, AHiddenTabResumesWithoutCatchingUp) {
    Sim s(0.0);
    for (double t = 16; t <= 1000; t += 16)
        s.Callback(t);
    int before = s.frames;
    // No callbacks for ten seconds, then 60 Hz again: of the 333 frames missed only the last
    // 100 ms (three frames) are made up, two a callback at most.
    s.Callback(11000.0);
    EXPECT_EQ(s.frames, before + 2);
    for (int i = 1; i <= 62; i++)
        s.Callback(11000.0 + 16 * i);
    // The first frame after the stall counts as due at 10900 ms (the catch-up limit); from
    // there to the last callback at 11992 ms, 30 ms apart, fit 37 frames.
    EXPECT_EQ(s.frames - before, 37);
    EXPECT_LE(s.most, WEB_PACE_MAX_RUNS);
}

TEST(WebPace, TheClockWrapsWithoutAStall) {
    Web_Pace pace;
    uint32_t clock = 0xFFFFFFF0u;
    Web_Pace_Start(&pace, 0.0, clock);
    int frames = 0;
    for (double t = 16; t <= 300; t += 16) {
        Web_Pace_New_Callback(&pace);
        while (Web_Pace_Try_Run(&pace, clock + FRAME_MS, t)) {
            clock += FRAME_MS;
            frames++;
        }
    }
    EXPECT_EQ(frames, 9); // 288 ms of callbacks hold nine 30 ms frames
}

} // namespace
