// The title and credits screens (bodies follow once the clock and keyboard interfaces land).
#include "game/screens.h"

BITMAP_IMAGE_TYP background_bmp;

int Run_Title_Screen() {
    return 1;
}

int Run_Credits_Screen() {
    return 1;
}

const char *Credits_Caption(int, int) {
    return nullptr;
}
