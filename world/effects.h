// Short-lived feedback objects: the one explosion, exhaust particles and power-ups.
#pragma once

// Creates the explosion record from "expl.bmp"; 1 on success.
int Init_Expl();
// Shows the explosion centred on world (x, y), with a sound when within 2000 units; 1.
int Start_Expl(int x, int y);
// Draws the explosion as it is, changing nothing (pictures between game frames draw it too); 1.
int Show_Expl();
// Advances the explosion one picture, ending it before picture 3; 1.
int Step_Expl();
// Show_Expl, then Step_Expl; 1.
int Draw_Expl();
// Destroy_BOB on the explosion record; 1.
int Destroy_Expl();

// Clears all 50 particles; 1.
int Init_Particles();
// Starts one particle of life 32 at world (x, y) drifting (xv, yv); 0 when all are live.
int Start_Particles(int x, int y, int xv, int yv);
// Moves every live particle and shortens its life by one; 1.
int Move_Particles();
// Plots every live on-screen particle in red of its life (back surface locked); 1.
int Draw_Particles();

// Creates the 12 power-up records from "powerups.bmp"; 1 on success.
int Init_Powerups();
// Drops one power-up of a random kind centred near world (x, y); 0 when all are taken.
int Start_Powerups(int x, int y);
// Picks up every power-up the ship's box overlaps and applies its effect; 1.
int Move_Powerups();
// Draws every power-up lying in space onto the back surface (unlocked); 1.
int Draw_Powerups();
// Destroy_BOB on each of the 12 power-up records; 1.
int Destroy_Powerups();
