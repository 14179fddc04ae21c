// Shared between the headless backend's files: the text face's availability.
#pragma once

// Allows (1) or refuses (0) Plat_Font_Open and closes any open face.
void Headless_Text_Set_Available(int available);
