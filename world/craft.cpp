// Enemy craft: hunting, steering, thrust, firing and drawing.
#include "world/craft.h"

int Init_Craft() {
    return 1;
}

int Move_Craft() {
    return 1;
}

int Draw_Craft() {
    return 1;
}

int Destroy_Craft() {
    return 1;
}
