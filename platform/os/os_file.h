// The operating system's file, folder, signal and clock calls that differ between POSIX and
// Windows, in one place: paths are UTF-8 everywhere (wide-character calls on Windows).
#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>

// The characters that end a folder's name in a path.
#ifdef _WIN32
constexpr const char *OS_PATH_SEPARATORS = "/\\";
#else
constexpr const char *OS_PATH_SEPARATORS = "/";
#endif

// Opens a file like fopen, always in binary (no line-end translation on any system).
std::FILE *Os_Fopen(const char *path, const char *mode);
// Opens path for reading without blocking on a pipe or device; a descriptor, or -1 with errno.
int Os_Open_Read(const char *path);
// Makes a new file from pattern (ending in XXXXXX, replaced in place); a descriptor or -1.
int Os_Make_Temp(std::string &pattern);
// Makes a new, empty file, failing with EEXIST when the name is taken (by another program too).
int Os_Create_New(const char *path);
// Puts the descriptor's data on the disk and gives the file mode 0644 where modes exist.
int Os_Commit(int fd);
// Moves from over to (replacing it); 0, or -1 with errno.
int Os_Rename(const char *from, const char *to);
// Deletes a file; 0, or -1 with errno.
int Os_Remove(const char *path);
// Makes one folder (mode 0755 where modes exist); 0, or -1 with errno (EEXIST when it was there).
int Os_Make_Folder(const char *path);
// True when path names a plain file.
bool Os_Is_File(const char *path);
// The file that path's chain of symbolic links ends at (path itself when it is no link, and on
// Windows); the last one need not exist. "" with *error set (ELOOP, say) when it cannot be
// followed.
std::string Os_Link_Target(const std::string &path, int *error);
// The running program's own path, "" when the system will not say.
std::string Os_Program_Path();
// Sets an environment variable for this process and the libraries it loads; 0 on success.
int Os_Set_Env(const char *name, const char *value);
// Opens the system's empty device ("/dev/null", "NUL") for writing, not inherited; a descriptor.
int Os_Open_Null();
// The command line's arguments as UTF-8: on Windows rebuilt from the wide command line (argv
// holds them in the ANSI code page, which cannot say every name); elsewhere argv itself.
char **Os_Utf8_Arguments(int argc, char **argv);
// The program's name from argv[0]: no folder, and no ".exe" on Windows.
std::string Os_Program_Name(const char *argv0, const char *fallback);
// Puts stdin, stdout and stderr in binary mode, so lines end in LF on every system.
void Os_Binary_Stdio();
// The folders a user's programs keep their files in.
enum OS_FOLDER { OS_FOLDER_ROAMING, OS_FOLDER_LOCAL };
// On Windows %APPDATA% (roaming: settings) or %LOCALAPPDATA% (local: data) as UTF-8; elsewhere
// $XDG_CONFIG_HOME or ~/.config, $XDG_DATA_HOME or ~/.local/share (a relative XDG folder is
// ignored, as the base directory rules say); "" when unknown.
std::string Os_User_Folder(OS_FOLDER which);
// Sleeps about us microseconds, with a high-resolution timer where the system has one.
void Os_Nap(uint32_t us);

// What handled a signal before Os_Catch_Signal took it over.
struct OS_SAVED_SIGNAL {
#ifdef _WIN32
    void (*handler)(int) = nullptr;
#else
    struct sigaction action {};
#endif
};
// Sends sig to handler, keeping what handled it before in saved.
void Os_Catch_Signal(int sig, void (*handler)(int), OS_SAVED_SIGNAL *saved);
// Gives sig back to what handled it before Os_Catch_Signal.
void Os_Restore_Signal(int sig, const OS_SAVED_SIGNAL &saved);

#ifdef _WIN32
// UTF-8 to UTF-16 and back, for the wide-character calls ("" for text that is not valid).
std::wstring Os_Wide(const char *utf8);
// UTF-16 to UTF-8.
std::string Os_Utf8(const wchar_t *wide);
#endif
