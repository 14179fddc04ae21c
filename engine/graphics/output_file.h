// Files the programs write (recordings, logs, sound, pictures, settings): every output keeps its
// own failure state and the reason of its first failure, said as "cannot write FILE: REASON".
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

// One output file; plain record, the fields owned by the functions below.
struct OUTPUT_FILE_TYP {
    FILE *file = nullptr;
    std::string path;
    int error = 0; // errno of the first failure; 0 while every write has gone through
    int told = 0;  // the failure has been reported (set by whoever reports it)
};

// Creates or empties path for writing (fopen mode "w" or "wb"); 1, or 0 with o->error set.
int Output_Open(OUTPUT_FILE_TYP *o, const char *path, const char *mode = "w");
// Writes size bytes, then pushes them to the file when flush is set; 1, or 0 once the output has
// failed (now or before: a failed output is closed and takes nothing more).
int Output_Write(OUTPUT_FILE_TYP *o, const void *data, size_t size, int flush);
// Writes text and a newline and flushes; as Output_Write.
int Output_Line(OUTPUT_FILE_TYP *o, const std::string &text);
// Notes a failure with its errno (EIO when the library left none) and closes the file.
void Output_Fail(OUTPUT_FILE_TYP *o, int error);
// Closes the file; 1 when everything written reached it, 0 when the output failed at any point.
int Output_Close(OUTPUT_FILE_TYP *o);
// "cannot write PATH: REASON" for a failed output.
std::string Output_Failure(const OUTPUT_FILE_TYP &o);
// Writes a whole regular file (settings, say) through a synced temporary file renamed over it, so a
// failure leaves the old file as it was; 1, or 0 with "cannot write PATH: REASON" in *error. A
// symbolic link is followed to its target, which is replaced in its own folder with its mode kept;
// a target that is there but not a regular file (a folder, a device) is refused.
int Write_Whole_File(const char *path, const void *data, size_t size, std::string *error);
