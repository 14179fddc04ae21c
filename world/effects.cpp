// The explosion, exhaust particles and power-ups.
#include "world/effects.h"

int Init_Expl() {
    return 1;
}

int Start_Expl(int x, int y) {
    (void)x;
    (void)y;
    return 1;
}

int Draw_Expl() {
    return 1;
}

int Destroy_Expl() {
    return 1;
}

int Init_Particles() {
    return 1;
}

int Start_Particles(int x, int y, int xv, int yv) {
    (void)x;
    (void)y;
    (void)xv;
    (void)yv;
    return 1;
}

int Move_Particles() {
    return 1;
}

int Draw_Particles() {
    return 1;
}

int Init_Powerups() {
    return 1;
}

int Start_Powerups(int x, int y) {
    (void)x;
    (void)y;
    return 1;
}

int Move_Powerups() {
    return 1;
}

int Draw_Powerups() {
    return 1;
}

int Destroy_Powerups() {
    return 1;
}
