// What a present schedule needs from the game without knowing it: the hook that takes over each
// game frame's wait, and the drawer of pictures between the last two game frames.
#pragma once
#include "engine/graphics/ddraw.h"

// When not null, Wait_Frame hands each game frame's wait to it; count is the frame's length.
extern unsigned long (*wait_frame_hook)(unsigned long count);
// Draws the running game at share alpha (0..1) of the way between its last two frames into
// target, or, with a null target, only gives the view; *view_x, *view_y the ship's position the
// view is centred on. 1 on success. Set by the game; null: no in-between pictures.
extern int (*frame_between_picture)(double alpha, LPDIRECTDRAWSURFACE4 target, float *view_x,
                                    float *view_y);

// Ends a game frame: through wait_frame_hook when set, else Wait_Clock(count); the tick then.
unsigned long Wait_Frame(unsigned long count);
