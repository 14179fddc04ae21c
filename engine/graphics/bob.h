// Blitter objects: sprites with up to 64 frame surfaces, up to 16 animation sequences,
// position, velocity and free variables for the game's bookkeeping.
#pragma once
#include "engine/graphics/bitmap.h"
#include "engine/graphics/ddraw.h"

constexpr int MAX_BOB_FRAMES = 64;
constexpr int MAX_BOB_ANIMATIONS = 16;

constexpr int BOB_STATE_ANIM_DONE = 1;

constexpr int BOB_ATTR_SINGLE_FRAME = 0x01;
constexpr int BOB_ATTR_MULTI_FRAME = 0x02;
constexpr int BOB_ATTR_MULTI_ANIM = 0x04;
constexpr int BOB_ATTR_ANIM_ONE_SHOT = 0x08;
constexpr int BOB_ATTR_VISIBLE = 0x10;
constexpr int BOB_ATTR_BOUNCE = 0x20;
constexpr int BOB_ATTR_WRAPAROUND = 0x40;
constexpr int BOB_ATTR_LOADED = 0x80;
constexpr int BOB_ATTR_DUPLICATE = 0x100;

// The blitter object record; plain data, copied by structure assignment.
struct BOB_TYP {
    int state;
    int anim_state;
    int attr;
    int x, y;
    int xv, yv;
    int width, height;
    int width_pad;
    int bpp;
    int counter_1, counter_2, counter_3, counter_4;
    int int_vars[16];
    float float_vars[16];
    int curr_frame;
    int num_frames;
    int curr_anim;
    int anim_counter;
    int anim_pos;
    int anim_speed;
    int *anims[MAX_BOB_ANIMATIONS];
    LPDIRECTDRAWSURFACE4 frames[MAX_BOB_FRAMES];
};
typedef BOB_TYP *BOB_PTR;

// Initialises bob and creates num_frames keyed frame surfaces; 0 when a surface fails.
int Create_BOB(BOB_TYP *bob, int x, int y, int width, int height, int num_frames, int attr,
               int mem_flags, USHORT color_key, int bpp);
// Ends bob's use of its frames and sequences (forgets them when attr is non-zero); 0 for null.
int Destroy_BOB(BOB_TYP *bob);
// Copies the whole record into dest and marks it a duplicate; 0 for null or identical records.
int Duplicate_BOB(BOB_TYP *source, BOB_TYP *dest);
// Draws the current frame at (x, y) with the source key, clipped by dest; 1 when visible-drawn.
int Draw_BOB16(BOB_TYP *bob, LPDIRECTDRAWSURFACE4 dest);
// Same as Draw_BOB16.
int Draw_BOB(BOB_TYP *bob, LPDIRECTDRAWSURFACE4 dest);
// Draws the current frame scaled to swidth x sheight at (x, y).
int Draw_Stretched_BOB16(BOB_TYP *bob, int swidth, int sheight, LPDIRECTDRAWSURFACE4 dest);
// Same as Draw_Stretched_BOB16.
int Draw_Stretched_BOB(BOB_TYP *bob, int swidth, int sheight, LPDIRECTDRAWSURFACE4 dest);
// Copies one 16-bit frame out of a loaded bitmap (cell or absolute position); 0 when refused.
int Load_Frame_BOB16(BOB_TYP *bob, BITMAP_FILE_TAG *bitmap, int frame, int cx, int cy, int mode);
// Copies one 8-bit frame out of a loaded 8-bit bitmap; 0 when refused.
int Load_Frame_BOB8(BOB_TYP *bob, BITMAP_FILE_TAG *bitmap, int frame, int cx, int cy, int mode);
// Stores a copy of a frame sequence (ended by -1) in slot anim_index; 0 on failure.
int Load_Animation_BOB(BOB_TYP *bob, int anim_index, int num_frames, int *sequence);
// Selects sequence anim_index from its start.
int Set_Animation_BOB(BOB_TYP *bob, int anim_index);
// Sets the number of Animate_BOB calls per frame change.
int Set_Anim_Speed_BOB(BOB_TYP *bob, int speed);
// One animation step by the record's attributes.
int Animate_BOB(BOB_TYP *bob);
// Adds the velocity to the position, then wraps or bounces at the clip bounds.
int Move_BOB(BOB_TYP *bob);
// Stores the position.
int Set_Position_BOB(BOB_TYP *bob, int x, int y);
// Stores the velocity.
int Set_Velocity_BOB(BOB_TYP *bob, int xv, int yv);
// Clears BOB_ATTR_VISIBLE.
int Hide_BOB(BOB_TYP *bob);
// Sets BOB_ATTR_VISIBLE.
int Show_BOB(BOB_TYP *bob);
// 1 when the three-quarter boxes of a and b overlap; 0 otherwise or for a null record.
int Collision_Test_BOB(BOB_TYP *a, BOB_TYP *b);
