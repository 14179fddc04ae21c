// The game's exact clock and the display's present schedule: when each game frame's wait ends,
// and at which display refreshes inside it a picture is shown, at what share of the frame.
#pragma once
#include <cstdint>

// Length of a game frame in milliseconds.
constexpr uint32_t GAME_FRAME_MS = 30;
// Frames a late game may run back to back to catch up before its clock starts afresh.
constexpr int CATCH_UP_FRAMES = 2;

struct PRESENT_CLOCK_TYP {
    int started = 0;  // a frame has been scheduled since the last reset
    uint32_t due = 0; // tick at which the latest game frame's wait ends
    int frame = -1;   // game frames scheduled since the start, less one
    int hz = 0;       // display refreshes a second; 0: no refresh schedule
    // The next refresh after the latest frame's start, in thousandths of a refresh (ms * hz):
    // whole numbers, so a refresh that meets a frame's end gives a share of exactly 1.
    int64_t next_refresh = 0;
};

// One refresh inside a game frame's wait.
struct PRESENT_AT_TYP {
    double t;     // ms after the frame's start (due - GAME_FRAME_MS)
    double alpha; // share of the way from the previous game frame to this one, in (0, 1]
};

// Forgets the schedule: the next frame is timed from its own start.
void Present_Clock_Reset(PRESENT_CLOCK_TYP *c);
// Sets the display's refresh rate in Hz (0 or less: no refresh schedule; at most 1000); the
// first refresh is one refresh after the frame's start.
void Present_Clock_Set_Refresh(PRESENT_CLOCK_TYP *c, int hz);
// Schedules the game frame that began at tick start (the clock reads now) and returns the tick
// its wait ends at: one frame after the previous one's, so a late frame does not push the later
// ones back; more than CATCH_UP_FRAMES behind, one frame after its own start.
uint32_t Present_Clock_Frame_Due(PRESENT_CLOCK_TYP *c, uint32_t start, uint32_t now);
// Takes the next refresh that falls inside the current frame (at or before its due tick) into
// *at; 0 when the next one lies beyond it. Refreshes more than one refresh before late_ms (ms
// after the frame's start the clock now reads) are skipped: the display has passed them.
int Present_Clock_Next(PRESENT_CLOCK_TYP *c, double late_ms, PRESENT_AT_TYP *at);
