// The instrument panel at the right edge of the screen: shield gauge, fuel gauge, missile meter
// with the missile count, and the warning shown outside the engagement area.
#pragma once
#include "engine/graphics/bob.h"

// The shield gauge: 90 x 90 at (710, 10); frame i shows shield level i (0 to 3).
extern BOB_TYP shields;
// The missile picture: 24 x 80 at (720, 110); only frame 0 is loaded and shown.
extern BOB_TYP missile_meter;

// Creates the shield gauge from "shields.bmp" with frame 3 current; 1 when its frames were loaded.
int Init_Shield_Gauge();
// Creates the missile meter from "rmissile.bmp"; 1 when its picture was loaded.
int Init_Missile_Meter();
// Draws the fuel gauge, the missile picture and the missile count onto the back surface; 1.
int Draw_Panel();
// Draws "Warning! Leaving engagement area!" while the ship is beyond +-10300 on either axis; 1.
int Draw_Area_Warning();
