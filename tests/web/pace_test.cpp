// The page's frame pace, simulated with made-up animation callbacks: the game keeps its 30 ms a
// frame on 60, 120 and 144 Hz displays and on slow ones, never runs more than two frames in one
// callback, and after a stall (a hidden tab) resumes without rushing to catch up; waits for
// pictures between frames take nothing from that; and the display's refresh read from the
// callbacks.
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
            Web_Pace_Frame_Begun(&pace); // the frame's keyboard read
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
            Web_Pace_Frame_Begun(&pace);
            frames++;
        }
    }
    EXPECT_EQ(frames, 9); // 288 ms of callbacks hold nine 30 ms frames
}

// A game frame whose wait is split by pictures drawn in between: waits at 10 and 20 ms into the
// frame, then its due at 30 ms. Returns the frames run over duration ms of callbacks every period
// ms, and the most frames and pictures run in one callback.
struct Split_Run {
    int frames = 0, most_frames = 0, pictures = 0;
};
Split_Run Split_Frames_Over(double period, double duration) {
    Web_Pace pace;
    uint32_t clock = 7000, frame_start = clock;
    Web_Pace_Start(&pace, 0.0, clock);
    Split_Run r;
    int step = 0; // the frame's next wait: 0 and 1 a picture, 2 its due
    for (int i = 1; i * period <= duration; i++) {
        Web_Pace_New_Callback(&pace);
        int frames = 0;
        while (Web_Pace_Try_Run(&pace, frame_start + 10 * (step + 1), i * period)) {
            clock = frame_start + 10 * (step + 1);
            if (step < 2) {
                r.pictures++;
                step++;
                continue;
            }
            step = 0;
            frame_start = clock;
            Web_Pace_Frame_Begun(&pace);
            r.frames++;
            frames++;
        }
        if (frames > r.most_frames) r.most_frames = frames;
    }
    return r;
}

TEST(WebPace, PicturesBetweenFramesDoNotSlowTheGame) {
    // The waits for pictures do not count against the two frames a callback may run: a 20 Hz
    // display still gets 100 frames in 3 s, as with one wait a frame; 10 Hz is held to two.
    const struct {
        double hz;
        int low, high;
    } rows[] = {{60, 99, 100}, {144, 99, 100}, {30, 99, 100}, {20, 99, 100}, {10, 60, 60}};
    for (const auto &row : rows) {
        Split_Run r = Split_Frames_Over(1000.0 / row.hz, 3000.0);
        EXPECT_GE(r.frames, row.low) << row.hz;
        EXPECT_LE(r.frames, row.high) << row.hz;
        EXPECT_LE(r.most_frames, WEB_PACE_MAX_RUNS) << row.hz;
        EXPECT_GE(r.pictures, 2 * r.frames) << row.hz; // no picture is skipped by the pace
    }
}

// Notes n callbacks period ms apart from start, every late-th one a whole period late (0: none).
Web_Refresh Callbacks(double period, int n, int late = 0) {
    Web_Refresh r;
    Web_Refresh_Start(&r);
    double t = 1000.0;
    for (int i = 0; i < n; i++) {
        t += period * (late && i % late == late - 1 ? 2 : 1);
        Web_Refresh_Note(&r, t, 1);
    }
    return r;
}

TEST(WebRefresh, TheCallbacksRateRoundedToHz) {
    const struct {
        const char *what;
        double period;
        int late, hz;
    } rows[] = {
        {"60 Hz", 1000.0 / 60, 0, 60},
        {"59.94 Hz", 1000.0 / 59.94, 0, 60},
        {"144 Hz", 1000.0 / 144, 0, 144},
        {"30 Hz", 1000.0 / 30, 0, 30},
        {"60 Hz, every fourth callback a frame late", 1000.0 / 60, 4, 60},
        {"faster than any display: held at 500", 1.0, 0, 500},
        {"slower than any display: held at 20", 200.0, 0, 20},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Web_Refresh_Hz(Callbacks(row.period, 40, row.late)), row.hz) << row.what;
}

TEST(WebRefresh, TheDefaultUntilEnoughCallbacksInARow) {
    // The first callback gives no interval, so 15 intervals need 16 callbacks.
    EXPECT_EQ(Web_Refresh_Hz(Callbacks(1000.0 / 144, WEB_REFRESH_SAMPLES)), WEB_REFRESH_DEFAULT_HZ);
    EXPECT_EQ(Web_Refresh_Hz(Callbacks(1000.0 / 144, WEB_REFRESH_SAMPLES + 1)), 144);
    // A callback after a yield to the page is no interval, however long the gap was.
    Web_Refresh r = Callbacks(1000.0 / 144, WEB_REFRESH_SAMPLES);
    Web_Refresh_Note(&r, 5000.0, 0);
    EXPECT_EQ(Web_Refresh_Hz(r), WEB_REFRESH_DEFAULT_HZ);
    Web_Refresh_Note(&r, 5000.0 + 1000.0 / 144, 1);
    EXPECT_EQ(Web_Refresh_Hz(r), 144);
    // Times that do not move forward are no interval either.
    r = Callbacks(1000.0 / 144, WEB_REFRESH_SAMPLES);
    Web_Refresh_Note(&r, 0.0, 1);
    EXPECT_EQ(Web_Refresh_Hz(r), WEB_REFRESH_DEFAULT_HZ);
}

} // namespace
