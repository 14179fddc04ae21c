// Line drawing clipped to the display's clipping rectangle, into 8- or 16-bit memory.
#pragma once
#include "engine/graphics/ddraw.h"

// Draws a line clipped to min/max_clip_x/y into 16-bit memory with a pitch in bytes; 1.
int Draw_Clipped_Line16(int x0, int y0, int x1, int y1, int color, UCHAR *dest_buffer, int lpitch);
// Draws a line clipped to min/max_clip_x/y into 8-bit memory with a pitch in bytes; 1.
int Draw_Clipped_Line8(int x0, int y0, int x1, int y1, int color, UCHAR *dest_buffer, int lpitch);
