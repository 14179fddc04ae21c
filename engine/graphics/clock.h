// Small engine services: the frame clock, the rectangle collision test and the error log.
#pragma once
#include <cstdint>
#include <cstdio>

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
