// Gun shots and missiles: their pools, flight, lifetime, drawing and every hit they make.
#pragma once

// Shot colours; the colour is also the owner tag of a shot.
constexpr int BULLET_COLOR_RED = 0;
constexpr int BULLET_COLOR_PLAYER = 1;
constexpr int BULLET_COLOR_ENEMY = 2;
constexpr int BULLET_COLOR_YELLOW = 3;

// Creates the 50 shot records from "bullets.bmp"; 1 on success.
int Init_Bullets();
// Starts one shot at world (x, y) with int velocity and colour; 0 when the pool is full.
int Start_Bullet(int x, int y, int xv, int yv, int color);
// One update of every live shot: move, age, hits on craft, stations and the ship; 1.
int Move_Bullets();
// Draws every live shot onto the back surface (unlocked), changing nothing; 1.
int Show_Bullets();
// Advances every live shot's animation one picture; 1.
int Step_Bullets();
// Show_Bullets, then Step_Bullets; 1.
int Draw_Bullets();
// Destroy_BOB on each of the 50 shot records; 1.
int Destroy_Bullets();

// Creates the 12 missile records from "missiles.bmp"; 1 on success.
int Init_Missiles();
// Launches one missile from world (x, y) with velocity (xv, yv) along heading; 0 if the pool is
// full.
int Start_Missile(int x, int y, float xv, float yv, int heading);
// One update of every live missile: life, move, hits on craft and stations, thrust; 1.
int Move_Missiles();
// Draws every live missile onto the back surface (unlocked); 1.
int Draw_Missiles();
// Destroy_BOB on each of the 12 missile records; 1.
int Destroy_Missiles();
