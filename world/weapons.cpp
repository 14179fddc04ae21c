// Gun shots and missiles: flight, lifetime, drawing and hits.
#include "world/weapons.h"

int Init_Bullets() {
    return 1;
}

int Start_Bullet(int x, int y, int xv, int yv, int color) {
    (void)x;
    (void)y;
    (void)xv;
    (void)yv;
    (void)color;
    return 1;
}

int Move_Bullets() {
    return 1;
}

int Draw_Bullets() {
    return 1;
}

int Destroy_Bullets() {
    return 1;
}

int Init_Missiles() {
    return 1;
}

int Start_Missile(int x, int y, float xv, float yv, int heading) {
    (void)x;
    (void)y;
    (void)xv;
    (void)yv;
    (void)heading;
    return 1;
}

int Move_Missiles() {
    return 1;
}

int Draw_Missiles() {
    return 1;
}

int Destroy_Missiles() {
    return 1;
}

int Play_First_Idle_Sound(const int ids[8]) {
    (void)ids;
    return -1;
}
