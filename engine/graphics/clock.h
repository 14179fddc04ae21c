// Small engine services: the frame clock, the rectangle collision test, the error log, palette
// files and the 8-bit palette helpers with the blinker, and clipped line drawing.
#pragma once
#include <cstdint>
#include <cstdio>
#include "engine/graphics/ddraw.h"

// Commands of Blink_Palette_Colors.
constexpr int BLINKER_ADD = 0;
constexpr int BLINKER_DELETE = 1;
constexpr int BLINKER_UPDATE = 2;
constexpr int BLINKER_RUN = 3;

// Number of records in the palette blinker table.
constexpr int MAX_BLINKERS = 256;

// One blinking palette entry: active_color for on_time runs, inactive_color for off_time runs.
struct BLINKER {
    int color_index;             // palette index that blinks
    PALETTEENTRY active_color;   // on colour
    PALETTEENTRY inactive_color; // off colour
    int on_time;                 // runs spent in the on colour
    int off_time;                // runs spent in the off colour
    int counter;                 // runs spent in the current state
    int state;                   // 0 free, -1 showing the off colour, 1 showing the on colour
};
typedef BLINKER *BLINKER_PTR;
static_assert(sizeof(BLINKER) == 7 * 4, "a blinker record is seven 32-bit fields");

extern uint32_t start_clock_count;
extern FILE *error_file;

// Milliseconds since an arbitrary start, wrapping at 2^32.
unsigned long Get_Clock();
// Takes the count now into start_clock_count and returns it.
unsigned long Start_Clock();
// Returns once count ms have passed since Start_Clock (never earlier); the tick count then.
unsigned long Wait_Clock(unsigned long count);
// 1 if the two boxes, each shrunk to three quarters about its (x, y) corner, overlap.
int Collision_Test(int x1, int y1, int width1, int height1, int x2, int y2, int width2,
                   int height2);

// Creates (truncates) the log file, closing one already open; 1 if opened.
int Open_Error_File(const char *filename);
// Closes the log; 0 if none was open.
int Close_Error_File();
// Formats a message of at most 79 characters into the log; 0 if no log is open or format is null.
int Write_Error(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Reads 256 "red green blue flags" lines into palette (low 8 bits of each number); 0 if unopenable.
int Read_Palette_File(const char *filename, LPPALETTEENTRY palette);
// As Read_Palette_File from an open stream (not closed here); 0 for a null stream or palette.
int Read_Palette_Stream(FILE *fp, LPPALETTEENTRY palette);
// Writes the 256 entries, each line preceded by a newline; 0 if the file cannot be created.
int Write_Palette_File(const char *filename, LPPALETTEENTRY palette);
// Sets one entry of the palette object and of display_palette; 0 for a bad index or entry.
int Set_Palette_Entry(int color_index, LPPALETTEENTRY color);
// Copies display_palette[color_index] out; 0 for a bad index or entry.
int Get_Palette_Entry(int color_index, LPPALETTEENTRY color);
// Copies 256 entries into display_palette and the palette object; 0 for a null pointer.
int Set_Palette(LPPALETTEENTRY set_palette);
// Copies the 256 entries of display_palette out; 0 for a null pointer.
int Get_Palette(LPPALETTEENTRY get_palette);
// Moves entries start..end one index up, end going to start; 0 for a bad range.
int Rotate_Palette_Colors(int start_index, int end_index);
// Adds (0), deletes (1), updates (2) or runs (3) palette blinkers; see BLINKER_*.
int Blink_Palette_Colors(int command, BLINKER_PTR new_light, int id);

// Draws a line clipped to min/max_clip_x/y into 16-bit memory with a pitch in bytes; 1.
int Draw_Clipped_Line16(int x0, int y0, int x1, int y1, int color, UCHAR *dest_buffer, int lpitch);
// Draws a line clipped to min/max_clip_x/y into 8-bit memory with a pitch in bytes; 1.
int Draw_Clipped_Line8(int x0, int y0, int x1, int y1, int color, UCHAR *dest_buffer, int lpitch);
