// The player's ship: its object, and the flight step (turning, thrust, afterburner, coasting,
// movement, gun and missile) that runs once a frame while it is alive.
#pragma once
#include "world/world.h"

// Frames between two gun shots and between two missiles.
constexpr int PLAYER_GUN_DELAY = 8;
constexpr int PLAYER_MISSILE_DELAY = 50;
// Speed of a gun shot along the heading, added to the ship's velocity.
constexpr float PLAYER_SHOT_SPEED = 20.0f;
// Full afterburner tank.
constexpr float FUEL_FULL = 300.0f;

// Creates the ship from "ship.bmp" (36 headings) at the screen centre: alive, heading 0, shield 3.
int Init_Player();
// One frame of flight from keyboard_state; does nothing while the ship is destroyed.
void Move_Player();
