// A plain 16-bit pixel block that stands in for the locked back surface in tests of the routines
// that plot pixels, with the lock globals pointed at it for the test's lifetime.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/graphics/ddraw.h"

// An 800 x 600 block with a pitch wider than a row, so that a pitch mix-up shows.
struct Test_Surface {
    static constexpr int W = 800, H = 600, PITCH_PIXELS = 832;
    std::vector<uint16_t> px = std::vector<uint16_t>(PITCH_PIXELS * H, 0);
    USHORT *saved_sback = nullptr;
    int saved_pitch = 0;
    Test_Surface() {
        saved_sback = sback_buffer;
        saved_pitch = back_lpitch;
        sback_buffer = px.data();
        back_lpitch = PITCH_PIXELS * 2;
    }
    ~Test_Surface() {
        sback_buffer = saved_sback;
        back_lpitch = saved_pitch;
    }
    uint16_t at(int x, int y) const { return px[y * PITCH_PIXELS + x]; }
    // Number of non-zero pixels in the block, the padding at the row ends included.
    int lit() const {
        int n = 0;
        for (uint16_t p : px)
            n += p != 0;
        return n;
    }
};
