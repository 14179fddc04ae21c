// The web backend's pure parts, built on every target so their rules are tested natively: the
// browser's key codes to DirectInput scan codes, and the pace of game frames in the page.
#pragma once
#include <cstdint>

// DirectInput scan code of a KeyboardEvent.code ("KeyA", "ArrowLeft"...); 0 when it has none.
int Web_Dik_From_Code(const char *code);

// Left-stick travel past which the stick counts as an arrow key (about a quarter), as on the
// desktop.
constexpr int WEB_STICK_THRESHOLD = 8000;
// ORs a standard-mapping gamepad into the keyboard state as the desktop maps a controller:
// D-pad or left stick left/right/up the arrows, A Left Control, B Left Alt, right shoulder Tab,
// Start Enter, Back Escape. buttons: bit i for button i; stick_x/y in [-32768, 32767].
void Web_Gamepad_Keys(unsigned buttons, int stick_x, int stick_y, uint8_t state[256]);

// Frame pacing: the game's clock runs behind the wall clock and a wait ends once the wall clock
// has caught up with it, at most twice in one animation callback.
struct Web_Pace {
    double wall0;    // wall time (ms) at which the game's clock read clock0
    uint32_t clock0; // the game's clock at wall0
    int callback;    // number of the animation callback now running
    int runs;        // waits ended in that callback
};
// Most waits one animation callback may end: a slow display gets two frames per picture.
constexpr int WEB_PACE_MAX_RUNS = 2;
// How far (ms) behind the wall clock the game may be made to catch up: a tab that comes back
// after being hidden resumes where it paused, and a slow display slows the game down.
constexpr double WEB_PACE_MAX_LAG = 100.0;

// Starts the pace: the game's clock reads clock at wall time wall.
void Web_Pace_Start(Web_Pace *p, double wall, uint32_t clock);
// Records that a new animation callback has begun.
void Web_Pace_New_Callback(Web_Pace *p);
// Whether a wait for the game's clock to reach tick may end at wall time wall in the current
// callback; counts the run and, after a long stall, moves the origin so no frames are rushed.
int Web_Pace_Try_Run(Web_Pace *p, uint32_t tick, double wall);
