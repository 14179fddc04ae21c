// The exact game clock and the refresh schedule: pure arithmetic on ticks, so that the window,
// the page and the headless display share one timing and tests can walk it without waiting.
#include "shell/present_clock.h"

void Present_Clock_Reset(PRESENT_CLOCK_TYP *c) {
    c->started = 0;
}

void Present_Clock_Set_Refresh(PRESENT_CLOCK_TYP *c, int hz) {
    c->hz = hz > 0 ? (hz > 1000 ? 1000 : hz) : 0;
    c->next_refresh = 1000;
}

uint32_t Present_Clock_Frame_Due(PRESENT_CLOCK_TYP *c, uint32_t start, uint32_t now) {
    c->frame++;
    // Differences of ticks are taken in 32 bits, so the schedule holds across the wrap.
    if (c->started &&
        (int32_t)(now - (c->due + GAME_FRAME_MS)) <= (int32_t)(CATCH_UP_FRAMES * GAME_FRAME_MS)) {
        c->due += GAME_FRAME_MS;
        c->next_refresh -= (int64_t)GAME_FRAME_MS * c->hz;
        return c->due;
    }
    // The first frame, or a stall too long to make up (a pause, a suspended machine): the clock
    // starts afresh from this frame, and the refreshes with it.
    c->started = 1;
    c->due = start + GAME_FRAME_MS;
    c->next_refresh = 1000;
    return c->due;
}

int Present_Clock_Next(PRESENT_CLOCK_TYP *c, double late_ms, PRESENT_AT_TYP *at) {
    if (c->hz <= 0) return 0;
    const int64_t frame_units = (int64_t)GAME_FRAME_MS * c->hz;
    // A refresh the previous frame showed at its end is not shown again at this one's start,
    // and one the display has already passed is not drawn late.
    while (c->next_refresh <= 0 || (double)(c->next_refresh + 1000) <= late_ms * c->hz)
        c->next_refresh += 1000;
    if (c->next_refresh > frame_units) return 0;
    at->t = (double)c->next_refresh / c->hz;
    at->alpha = (double)c->next_refresh / (double)frame_units;
    c->next_refresh += 1000;
    return 1;
}
