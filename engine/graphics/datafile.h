// Finding the game's data files: the working directory first, then beside the executable,
// then the installed data folder (<prefix>/share/farwake).
#pragma once
#include <cstdio>
#include <string>

// Opens a data file for reading in binary mode; null when it is in neither place.
FILE *Open_Data_File(const char *name);
// Path of a data file that exists (working directory first), or "" when there is none.
std::string Find_Data_File(const char *name);
