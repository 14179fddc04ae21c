// Pictures between two game frames: the positions the world had before the latest frame, and
// the world drawn at a share of the way from those to the latest ones, changing no game state.
#pragma once
#include "engine/graphics/ddraw.h"

// Keeps the positions of everything that moves, as the frame about to run starts from them.
void Between_Keep_Previous();
// Marks the running frame as a jump (a restart or a reset): nothing in it is drawn in between.
void Between_Mark_Jump();
// Draws the latest game frame's picture into target (null: draws nothing) with everything that
// moved steadily placed at share alpha (0..1) of its way from the previous frame; *view_x,
// *view_y get the ship's position the view is centred on. Game state, sounds and the random
// generator stay untouched. 0 when there is no back surface to draw like.
int Game_Draw_Between(double alpha, LPDIRECTDRAWSURFACE4 target, float *view_x, float *view_y);
