// Palettes: palette files, the 8-bit palette helpers over the display's palette, and the blinker.
#pragma once
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
