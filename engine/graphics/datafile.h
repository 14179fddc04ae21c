// Finding the game's data files: the working directory first, then beside the executable,
// then the installed data folder (<prefix>/share/farwake).
#pragma once
#include <cstdio>
#include <string>

// Opens a data file for reading in binary mode; null when it is in neither place.
FILE *Open_Data_File(const char *name);
// Path of a data file that exists (working directory first), or "" when there is none.
std::string Find_Data_File(const char *name);
// The folders a data file's name is looked up in, in order, joined for a message.
std::string Data_File_Folders(const char *name);
// Writes the one stderr line saying a data file cannot be read: its name, the folders searched
// and the reason.
void Report_Data_File(const char *name, const char *reason);
// The reason a data file cannot be opened: "not found", or the system's word for the failure.
std::string Data_File_Open_Failure(const char *name);
