// The star field's state and motion: the three depth layers, their scroll shares and the wrap of
// the 1600 x 1200 star plane, and the plotting of the part of it the screen shows.
#include "engine/graphics/random.h"
#include "world/stars.h"

#include <cstdlib>

#include "engine/graphics/ddraw.h"
#include "world/world.h"

namespace {

// The star plane is twice the screen each way so that a star leaving one edge comes back later.
constexpr int STAR_FIELD_W = 1600;
constexpr int STAR_FIELD_H = 1200;
// Last index of the far and middle layers; the rest are near stars.
constexpr int LAST_FAR_STAR = 160;
constexpr int LAST_MIDDLE_STAR = 320;

} // namespace

int Init_Stars() {
    for (int i = 0; i < MAX_STARS; i++) {
        // Two separate statements keep the Rand() order fixed: x first, then y.
        stars[i].x = Rand() % STAR_FIELD_W;
        stars[i].y = Rand() % STAR_FIELD_H;
    }
    return 1;
}

int Move_Stars() {
    // Stars drift against the ship; (int) truncates toward zero before the sign changes.
    int dx = -(int)player_xv;
    int dy = -(int)player_yv;
    for (int i = 0; i < MAX_STARS; i++) {
        STAR_TYP &s = stars[i];
        if (i > LAST_MIDDLE_STAR) {
            s.x += dx;
            s.y += dy;
        } else if (i > LAST_FAR_STAR) {
            s.x += dx >> 1;
            s.y += dy >> 1;
        } else {
            s.x += dx >> 2;
            s.y += dy >> 2;
        }
        if (s.x < 0)
            s.x += STAR_FIELD_W;
        else if (s.x >= STAR_FIELD_W)
            s.x -= STAR_FIELD_W;
        if (s.y < 0)
            s.y += STAR_FIELD_H;
        else if (s.y >= STAR_FIELD_H)
            s.y -= STAR_FIELD_H;
    }
    return 1;
}

int Draw_Stars() {
    if (!sback_buffer) return 1;
    int pitch = back_lpitch >> 1;
    for (int i = 0; i < MAX_STARS; i++) {
        const STAR_TYP &s = stars[i];
        if (s.x < 0 || s.x >= 800 || s.y < 0 || s.y >= 600) continue;
        int c = i > LAST_MIDDLE_STAR ? 31 : (i > LAST_FAR_STAR ? 22 : 12);
        Plot_Pixel16(s.x, s.y, c, c, c, sback_buffer, pitch);
    }
    return 1;
}
