// Shared between the display's own files: the back surface left holding an older frame by a
// flip that swapped memories, and brought up to date on its first use.
#pragma once
#include "engine/graphics/ddraw.h"

// Before s is read or partly written: if a flip left it behind, copies the shown frame back in.
void DDraw_Settle_Surface(LPDIRECTDRAWSURFACE4 s);
// Before every pixel of s is overwritten: forgets that it was behind, without the copy.
void DDraw_Overwrite_Surface(LPDIRECTDRAWSURFACE4 s);
