// Finding the game's data files (the working directory first, then beside the executable, then
// the installed data folders <prefix>/share/farwake and <prefix>/share/games/farwake), and reading
// any outside file with a bound.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Path of a data file that exists (working directory first), or "" when there is none.
std::string Find_Data_File(const char *name);

// Reads the first min(want, file size) bytes of the file at path into bytes and its whole size
// into *file_size (may be null); 1, or 0 with one line of reason in *error (may be null): missing,
// a folder, a device or pipe, larger than max_bytes (then nothing is read), or unreadable.
int Read_File_Head(const char *path, uint64_t max_bytes, uint64_t want, std::vector<uint8_t> &bytes,
                   uint64_t *file_size, std::string *error);
// Reads the whole file at path, refused as Read_File_Head refuses; 1, or 0 with *error.
int Read_Bounded_File(const char *path, uint64_t max_bytes, std::vector<uint8_t> &bytes,
                      std::string *error);
// Finds a data file as Find_Data_File does and reads it whole as Read_Bounded_File; 1, or 0.
int Read_Data_File(const char *name, uint64_t max_bytes, std::vector<uint8_t> &bytes,
                   std::string *error);
// The folders a data file's name is looked up in, in order, joined for a message.
std::string Data_File_Folders(const char *name);
// Writes the one stderr line saying a data file cannot be read: its name, the folders searched
// and the reason.
void Report_Data_File(const char *name, const char *reason);
// How many times Report_Data_File has spoken since the program started: tools that must not
// quietly run with another game's pictures or sounds look at it.
int Data_Files_Missing();
