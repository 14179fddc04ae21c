// The settings that stay between runs: what they hold, the settings file's reader and writer
// (plain INI, written whole through a temporary file and a rename) and where the file lives.
#pragma once
#include <string>
#include <vector>
#include "shell/keymap.h"

// Every setting the player can keep; the defaults are a plain first start.
struct SETTINGS_TYP {
    int fullscreen = 1;
    int window_width = 0; // the window's size when not fullscreen; 0 x 0: fitted to the desktop
    int window_height = 0;
    int integer_scale = 0; // 1: whole multiples of the picture only
    int smooth = 1;        // smooth motion between game frames
    int vsync = 1;         // frames shown in step with the screen's refresh
    int volume = 100;      // master volume, 0..100
    int mute = 0;
    KEYMAP_TYP keys = Keymap_Defaults();
};

// Largest settings file read, in bytes; a larger one is refused whole.
constexpr size_t SETTINGS_MAX_BYTES = 65536;
// Longest line taken, in bytes.
constexpr size_t SETTINGS_MAX_LINE = 1024;

// Whether two sets of settings are the same.
bool Settings_Equal(const SETTINGS_TYP &a, const SETTINGS_TYP &b);
// Reads settings text over *s: every good line applies; each bad one adds "FILE line N: what is
// wrong" to problems and changes nothing.
void Settings_Parse(const std::string &text, const std::string &file, SETTINGS_TYP *s,
                    std::vector<std::string> *problems);
// The settings file's text for s, with a comment on each key.
std::string Settings_Text(const SETTINGS_TYP &s);
// Reads the file over *s; 0 when it is missing (not a problem), 1 when read (with or without
// problems), -1 when it could not be read or is refused whole (the reason in problems).
int Settings_Load(const std::string &path, SETTINGS_TYP *s, std::vector<std::string> *problems);
// Writes the file whole through a temporary file and a rename, making its folder if needed;
// 0 with "cannot write FILE: reason" in *why on failure (the old file then stays as it was).
int Settings_Save(const std::string &path, const SETTINGS_TYP &s, std::string *why);
// $XDG_CONFIG_HOME/farwake/settings.ini, else ~/.config/farwake/settings.ini ("" without either);
// on Windows %APPDATA%\farwake\settings.ini.
std::string Settings_Default_Path();
