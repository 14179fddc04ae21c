// Cutting a blitter object's frames out of a sprite sheet file, refusing cells the file lacks.
#pragma once
#include "engine/graphics/bob.h"

// Loads file and copies frames 0..num_frames-1 from cells (i % columns, i / columns) into bob;
// cells that lie outside the picture, or a picture that is not 16-bit, are skipped. Returns the
// number of frames filled (0 when the file cannot be loaded).
int Load_Sheet_BOB16(BOB_TYP *bob, const char *file, int num_frames, int columns);
// As Load_Sheet_BOB16 on a bitmap already loaded; the bitmap stays loaded.
int Cut_Sheet_BOB16(BOB_TYP *bob, BITMAP_FILE_TAG *bitmap, int num_frames, int columns);
// Whether cell (cx, cy) of a cell-grid sheet lies wholly inside a loaded 16-bit bitmap.
int Sheet_Cell_Fits(const BITMAP_FILE_TAG *bitmap, int width, int height, int cx, int cy);
