// The web backend's pure parts, built on every target so their rules are tested natively: the
// browser's key codes to DirectInput scan codes, the pace of game frames in the page and the
// display's refresh as its animation callbacks show it.
#pragma once
#include <cstdint>
#include "platform/platform.h"

// DirectInput scan code of a KeyboardEvent.code ("KeyA", "ArrowLeft"...); 0 when it has none.
int Web_Dik_From_Code(const char *code);

// Left-stick travel past which the stick counts as the D-pad (about a quarter), as on the
// desktop.
constexpr int WEB_STICK_THRESHOLD = 8000;
// A standard-mapping gamepad's buttons (bit i: button i) and left stick (each in [-32768, 32767])
// as the platform's pad buttons (bit PLAT_PAD_*), the stick past the threshold as the D-pad.
uint32_t Web_Pad_Buttons(unsigned buttons, int stick_x, int stick_y);

// Frame pacing: the game's clock runs behind the wall clock and a wait ends once the wall clock
// has caught up with it. Waits between game frames (for pictures drawn in between) end as they
// fall due; once two game frames have begun in one animation callback, none ends until the next.
struct Web_Pace {
    double wall0;    // wall time (ms) at which the game's clock read clock0
    uint32_t clock0; // the game's clock at wall0
    int callback;    // number of the animation callback now running
    int runs;        // game frames begun in that callback
};
// Most game frames one animation callback may run: a slow display gets two frames per picture.
constexpr int WEB_PACE_MAX_RUNS = 2;
// How far (ms) behind the wall clock the game may be made to catch up: a tab that comes back
// after being hidden resumes where it paused, and a slow display slows the game down.
constexpr double WEB_PACE_MAX_LAG = 100.0;

// Starts the pace: the game's clock reads clock at wall time wall.
void Web_Pace_Start(Web_Pace *p, double wall, uint32_t clock);
// Records that a new animation callback has begun.
void Web_Pace_New_Callback(Web_Pace *p);
// Whether a wait for the game's clock to reach tick may end at wall time wall in the current
// callback; after a long stall it moves the origin so no frames are rushed.
int Web_Pace_Try_Run(Web_Pace *p, uint32_t tick, double wall);
// Records that a game frame began (read the keyboard) in the current callback.
void Web_Pace_Frame_Begun(Web_Pace *p);

// The display's refresh as the animation callbacks show it: the median of the last intervals
// between callbacks in a row, so a late callback or a pause of the game moves it little.
constexpr int WEB_REFRESH_SAMPLES = 15;
// The rate taken until enough callbacks were seen (most displays).
constexpr int WEB_REFRESH_DEFAULT_HZ = 60;
struct Web_Refresh {
    double last;                           // the last callback's time (ms); < 0: none yet
    double intervals[WEB_REFRESH_SAMPLES]; // the latest intervals, oldest overwritten
    int count;                             // intervals kept (at most WEB_REFRESH_SAMPLES)
    int next;                              // where the next one goes
};
// Starts with no callback seen.
void Web_Refresh_Start(Web_Refresh *r);
// Notes an animation callback at time ms; consecutive says the one before was the last noted.
void Web_Refresh_Note(Web_Refresh *r, double ms, int consecutive);
// The refresh in Hz (20 to 500), or WEB_REFRESH_DEFAULT_HZ before WEB_REFRESH_SAMPLES intervals.
int Web_Refresh_Hz(const Web_Refresh &r);
