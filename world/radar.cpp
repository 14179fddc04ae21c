// The radar: the square's dots for every live craft, power-up and active station and for the ship,
// and the corner-piece object that frames the square.
#include "world/radar.h"

#include <cmath>

#include "engine/graphics/bitmap.h"
#include "engine/graphics/ddraw.h"
#include "world/sheet.h"
#include "world/world.h"

BOB_TYP radar;

namespace {

// The square's top-left screen pixel and its side; one radar pixel covers 256 x 256 world units
// (shift 8) and the square spans world -12800 (included) to +12800 (excluded) on both axes.
constexpr int RADAR_X0 = 700;
constexpr int RADAR_Y0 = 500;
constexpr int RADAR_SIZE = 100;
constexpr int RADAR_HALF_SPAN = 12800;
constexpr int RADAR_SHIFT = 8;
constexpr int CORNER_SIZE = 10;
constexpr int NUM_CORNERS = 4;

} // namespace

int Init_Radar() {
    Create_BOB(&radar, 0, 0, CORNER_SIZE, CORNER_SIZE, 36, BOB_ATTR_VISIBLE | BOB_ATTR_MULTI_FRAME,
               DDSCAPS_SYSTEMMEMORY, 0, 16);
    // Corners a short, missing or differently packed file lacks stay blank.
    return Load_Sheet_BOB16(&radar, "radar.bmp", NUM_CORNERS, NUM_CORNERS) == NUM_CORNERS;
}

namespace {

// Plots one dot when the world point falls inside the square; the shifts floor toward -infinity.
void Plot_Radar_Dot(int wx, int wy, int r, int g, int b, int pitch) {
    // Widened so that a position near the int limits cannot overflow; the dot is the same.
    long long rx = (((long long)wx + RADAR_HALF_SPAN) >> RADAR_SHIFT) + RADAR_X0;
    long long ry = (((long long)wy + RADAR_HALF_SPAN) >> RADAR_SHIFT) + RADAR_Y0;
    if (rx >= RADAR_X0 && rx < RADAR_X0 + RADAR_SIZE && ry >= RADAR_Y0 &&
        ry < RADAR_Y0 + RADAR_SIZE)
        Plot_Pixel16((int)rx, (int)ry, r, g, b, sback_buffer, pitch);
}

// The ship's position truncated toward zero. A ship flown beyond the int range would make the
// conversion undefined; it is far off the square either way, so it is held just outside the range.
int Truncate_Position(float p) {
    if (std::isnan(p) || p >= 2.0e9f) return 2000000000;
    if (p <= -2.0e9f) return -2000000000;
    return (int)p;
}

} // namespace

int Draw_Radar() {
    if (!sback_buffer) return 1;
    int pitch = back_lpitch >> 1;
    for (int i = 0; i < MAX_CRAFT; i++)
        if (craft[i].state != 0)
            Plot_Radar_Dot(world_x(craft[i]), world_y(craft[i]), 31, 0, 0, pitch);
    for (int i = 0; i < MAX_POWERUPS; i++)
        if (powerups[i].state != 0)
            Plot_Radar_Dot(world_x(powerups[i]), world_y(powerups[i]), 0, 20, 31, pitch);
    for (int i = 0; i < MAX_STATIONS; i++)
        if (stations[i].state == 1)
            Plot_Radar_Dot(world_x(stations[i]), world_y(stations[i]), 31, 31, 0, pitch);
    // Last, so that it lies on top; shown also while the ship is destroyed.
    Plot_Radar_Dot(Truncate_Position(player_x), Truncate_Position(player_y), 0, 30, 0, pitch);
    return 1;
}

int Draw_Radar_Frame() {
    static constexpr int corner_x[NUM_CORNERS] = {700, 790, 700, 790};
    static constexpr int corner_y[NUM_CORNERS] = {500, 500, 590, 590};
    for (int i = 0; i < NUM_CORNERS; i++) {
        radar.x = corner_x[i];
        radar.y = corner_y[i];
        radar.curr_frame = i;
        Draw_BOB16(&radar, lpddsback);
    }
    return 1;
}

int Destroy_Radar() {
    Destroy_BOB(&radar);
    return 1;
}
