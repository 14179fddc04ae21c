// The star field: 400 single-pixel stars in three depth layers on a 1600 x 1200 wrapping plane,
// scrolled against the ship's velocity so that the centred ship is seen to move.
#pragma once

// Scatters the stars over the star plane: each star x = Rand() % 1600, then y = Rand() % 1200; 1.
int Init_Stars();
// Moves every star by its layer's share of the negated, truncated ship velocity, then wraps; 1.
int Move_Stars();
// Plots the stars that lie on the screen; the back surface must be locked; 1.
int Draw_Stars();
