// Blitter objects: creation, frame loading, animation, movement and keyed drawing.
#include "engine/graphics/bob.h"

int Create_BOB(BOB_TYP *, int, int, int, int, int, int, int, USHORT, int) {
    return 0;
}
int Destroy_BOB(BOB_TYP *) {
    return 0;
}
int Duplicate_BOB(BOB_TYP *, BOB_TYP *) {
    return 0;
}
int Draw_BOB16(BOB_TYP *, LPDIRECTDRAWSURFACE4) {
    return 0;
}
int Draw_BOB(BOB_TYP *, LPDIRECTDRAWSURFACE4) {
    return 0;
}
int Draw_Stretched_BOB16(BOB_TYP *, int, int, LPDIRECTDRAWSURFACE4) {
    return 0;
}
int Draw_Stretched_BOB(BOB_TYP *, int, int, LPDIRECTDRAWSURFACE4) {
    return 0;
}
int Load_Frame_BOB16(BOB_TYP *, BITMAP_FILE_TAG *, int, int, int, int) {
    return 0;
}
int Load_Frame_BOB8(BOB_TYP *, BITMAP_FILE_TAG *, int, int, int, int) {
    return 0;
}
int Load_Animation_BOB(BOB_TYP *, int, int, int *) {
    return 0;
}
int Set_Animation_BOB(BOB_TYP *, int) {
    return 0;
}
int Set_Anim_Speed_BOB(BOB_TYP *, int) {
    return 0;
}
int Animate_BOB(BOB_TYP *) {
    return 0;
}
int Move_BOB(BOB_TYP *) {
    return 0;
}
int Set_Position_BOB(BOB_TYP *, int, int) {
    return 0;
}
int Set_Velocity_BOB(BOB_TYP *, int, int) {
    return 0;
}
int Hide_BOB(BOB_TYP *) {
    return 0;
}
int Show_BOB(BOB_TYP *) {
    return 0;
}
int Collision_Test_BOB(BOB_TYP *, BOB_TYP *) {
    return 0;
}
