// The radar: coloured dots for craft, power-ups, stations and the ship in the 100 x 100 square at
// the bottom-right of the screen, and the four corner pieces that frame it.
#pragma once
#include "engine/graphics/bob.h"

// The radar frame's corner pieces: frames 0 to 3 are the top-left, top-right, bottom-left and
// bottom-right corners.
extern BOB_TYP radar;

// Creates the radar frame object from "radar.bmp"; 1 when its corners were loaded, else 0.
int Init_Radar();
// Plots the radar dots (craft, power-ups, stations, then the ship); back surface locked; 1.
int Draw_Radar();
// Draws the four corner pieces around the radar square onto the (unlocked) back surface; 1.
int Draw_Radar_Frame();
// Forgets the radar frame object's images; 1.
int Destroy_Radar();
