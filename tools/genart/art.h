// The picture painters of the artwork generator: each paints one frame of a sheet onto a
// canvas of the frame's size (or, for the ship, wherever a placement puts it).
#pragma once
#include "tools/genart/image.h"
#include "tools/genart/raster.h"

#include <string>

// Heading k of a 36-frame sheet in radians: 10 degrees a step, clockwise on screen.
inline float Heading_Angle(int k) {
    return static_cast<float>(k) * kPi / 18.0f;
}

// The player's ship, nose along local +x, about 52 units long; scale 1 fits a 60x60 frame.
void Paint_Ship(Canvas &cv, const Place &pl, float flame);
// Placement of the ship turned by angle about its pivot (cx, cy), 2 units behind the middle of
// its drawing, so that the nose reaches farther from the pivot than the engine glow.
inline Place Ship_Place(float cx, float cy, float scale, float angle) {
    return Make_Place(cx + 2.0f * scale * exact::Cos(angle), cy + 2.0f * scale * exact::Sin(angle),
                      scale, angle);
}
// The enemy craft pointing along angle, centred on a 49x49 canvas.
void Paint_Craft(Canvas &cv, float angle);
// The missile pointing along angle, centred on a 39x39 canvas.
void Paint_Missile(Canvas &cv, float angle);
// Gun shot of colour 0..3 (red, green, blue, yellow), animation phase 0..3, on 13x13.
void Paint_Bullet(Canvas &cv, int colour, int phase);
// Space station picture k of 8 (a turn of 15 degrees each), on 120x120.
void Paint_Station(Canvas &cv, int k);
// Explosion picture k of 4, growing and fading, on 80x80.
void Paint_Explosion(Canvas &cv, int k);
// Power-up kind 0..3 (fuel, points, shield, missiles) on 25x25.
void Paint_Powerup(Canvas &cv, int kind);
// Shield gauge showing level 0..3 on 90x90.
void Paint_Shield_Gauge(Canvas &cv, int level);
// Radar corner piece 0..3 (top left, top right, bottom left, bottom right) on 10x10.
void Paint_Radar_Corner(Canvas &cv, int corner);
// The missile meter's upright missile on 24x80.
void Paint_Meter_Missile(Canvas &cv);
// The 600x500 title picture.
void Paint_Title(Canvas &cv);
// Where the title picture's planet sits and how far its ring reaches (1.77 radii), in the
// picture's pixels: the credits' lines must keep clear of it.
constexpr float TITLE_PLANET_X = 112.0f, TITLE_PLANET_Y = 262.0f, TITLE_PLANET_R = 26.0f;
constexpr float TITLE_PLANET_REACH = 1.77f * TITLE_PLANET_R;
// The program icon on a size x size canvas.
void Paint_Icon(Canvas &cv);

// Stroke text: draws upper-case letters, digits and spaces with their left edge at x and
// top at y, each glyph h units tall; returns the advance width of the whole text.
float Text_Width(const std::string &s, float h);
// Distance to the strokes of a text laid out at (x, y) with glyph height h and stroke width sw.
float Sd_Text(V2 p, const std::string &s, float x, float y, float h, float sw);
