// The SDL backend's keyboard table, without SDL's headers (usable from tests).
#pragma once

// Scan code of the input module for an SDL scancode (the USB usage number); 0 when none.
int Sdl_Dik_From_Scancode(int scancode);
