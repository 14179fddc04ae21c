// Space stations: the pool's pictures, launch timers and craft launches, drawing.
#pragma once

// Creates the 4 station records from "station00.bmp"; 1 on success.
int Init_Stations();
// Counts down every live station's launch timer and launches a craft when it runs out; 1.
int Move_Stations();
// Draws every live station onto the back surface (unlocked), changing nothing; 1.
int Show_Stations();
// Advances every live station's animation one picture; 1.
int Step_Stations();
// Show_Stations, then Step_Stations; 1.
int Draw_Stations();
// Destroy_BOB on each of the 4 station records; 1.
int Destroy_Stations();
