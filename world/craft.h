// Enemy craft: the pool's pictures, hunting, steering, thrust, firing and drawing.
#pragma once

// Craft life words (the `state` of a craft record).
constexpr int CRAFT_STATE_OFF = 0;
constexpr int CRAFT_STATE_HUNT = 4;
constexpr int CRAFT_STATE_LAUNCH = 5;

// Creates the 20 craft records from "craft01.bmp"; 1 on success.
int Init_Craft();
// One update of every live craft: bearing, turn, thrust, speed cap, fire, move; 1.
int Move_Craft();
// Heading index 0..35 of the player as seen from world (x, y), truncated toward heading 0.
int Craft_Bearing(int x, int y);
// Draws every live craft onto the back surface (unlocked); 1.
int Draw_Craft();
// Destroy_BOB on each of the 20 craft records; 1.
int Destroy_Craft();
