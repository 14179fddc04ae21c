// Space stations: launch timers, launches and drawing.
#include "world/station.h"

int Init_Stations() {
    return 1;
}

int Move_Stations() {
    return 1;
}

int Draw_Stations() {
    return 1;
}

int Destroy_Stations() {
    return 1;
}
