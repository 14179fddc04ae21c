// What the web backend's files share among themselves: the failure text and the sound's hold.
#pragma once

// Keeps why the last request failed, for Plat_Error().
void Web_Set_Error(const char *why);
// Holds (1) or lets go (0) the sound output, as a pause does.
void Web_Audio_Hold(int on);
