// The game frame's wait and the in-between drawer, as hooks a present schedule fills in.
#include "engine/graphics/frame_source.h"
#include "engine/graphics/clock.h"

unsigned long (*wait_frame_hook)(unsigned long count) = nullptr;
int (*frame_between_picture)(double alpha, LPDIRECTDRAWSURFACE4 target, float *view_x,
                             float *view_y) = nullptr;

unsigned long Wait_Frame(unsigned long count) {
    return wait_frame_hook ? wait_frame_hook(count) : Wait_Clock(count);
}
