// The player's ship: its object, and the flight step (turning, thrust, afterburner, coasting,
// movement, gun and missile) that runs once a frame while it is alive.
#pragma once
#include "world/world.h"

// Frames between two gun shots and between two missiles.
constexpr int PLAYER_GUN_DELAY = 8;
constexpr int PLAYER_MISSILE_DELAY = 50;
// Speed of a gun shot along the heading, added to the ship's velocity.
constexpr float PLAYER_SHOT_SPEED = 20.0f;
// Full afterburner tank, and what every game starts with.
constexpr float FUEL_FULL = 300.0f;
// Shield and missile loads: full (what a refill and the power-ups reach) and at the start.
constexpr int SHIELD_FULL = 3;
constexpr int MISSILES_FULL = 6;
constexpr int START_MISSILES = 2;
// The flight limits the ship starts with.
constexpr float START_MAX_V = 15.0f;
constexpr float START_MAX_AV = 30.0f;
constexpr float START_BURN_POWER = 1.5f;

// Creates the ship from "ship.bmp" (36 headings) at the screen centre: alive, heading 0, shield 3.
int Init_Player();
// Puts the ship back at its start: alive, full shields, heading 0, at rest at the origin.
void Reset_Player();
// Whether an object's hit box (centred on its world position) meets the ship's.
int Touches_Player(BOB_TYP &mover);
// One frame of flight from keyboard_state; does nothing while the ship is destroyed.
void Move_Player();
