// The settings that stay between runs: what they hold, the settings file's reader and writer
// (plain INI; a save puts the changed keys into the file on disk, replaced through a temporary
// file and a rename) and where the file lives.
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
    int confirm_quit = 1; // Escape in a running game (and the menu's Quit) asks before it quits
    KEYMAP_TYP keys = Keymap_Defaults();
};

// Largest settings file read, in bytes; a larger one is refused whole.
constexpr size_t SETTINGS_MAX_BYTES = 65536;
// Longest line taken, in bytes.
constexpr size_t SETTINGS_MAX_LINE = 1024;

// The UTF-8 byte-order mark some editors put at a text file's start; the reader skips it.
constexpr const char *SETTINGS_BOM = "\xEF\xBB\xBF";

// One key of the file: its section and its name, as the file writes them.
struct SETTINGS_KEY_TYP {
    std::string section, key;
};

// What a line of a settings file is, for Settings_Line.
enum { SETTINGS_LINE_SKIP, SETTINGS_LINE_SECTION, SETTINGS_LINE_ENTRY, SETTINGS_LINE_BAD };

// Whether two sets of settings are the same.
bool Settings_Equal(const SETTINGS_TYP &a, const SETTINGS_TYP &b);
// Reads settings text over *s: every good line applies; each bad one adds "FILE line N: what is
// wrong" to problems and changes nothing.
void Settings_Parse(const std::string &text, const std::string &file, SETTINGS_TYP *s,
                    std::vector<std::string> *problems);
// Sorts one line (no newline): blank or a comment, a section (*name its name, "" when the line
// wants its closing ]), 'key = value' (*name and *value trimmed), or bad (too long, NUL, no key).
int Settings_Line(const std::string &raw, std::string *name, std::string *value);
// text without the byte-order mark it may start with.
std::string Settings_Without_Bom(const std::string &text);
// Reads a whole file's text over *s: -1 when refused whole (over SETTINGS_MAX_BYTES, or binary:
// "FILE: cannot read: why" in problems, *s untouched), else 1 as Settings_Parse after the BOM.
int Settings_Read(const std::string &text, const std::string &file, SETTINGS_TYP *s,
                  std::vector<std::string> *problems);
// The settings file's text for s, with a comment on each key.
std::string Settings_Text(const SETTINGS_TYP &s);
// Reads the file over *s; 0 when it is missing (not a problem), 1 when read (with or without
// problems), -1 when it could not be read or is refused whole (the reason in problems).
int Settings_Load(const std::string &path, SETTINGS_TYP *s, std::vector<std::string> *problems);
// Every key the file holds, in the order the file is written.
std::vector<SETTINGS_KEY_TYP> Settings_Keys();
// The keys whose lines differ between the files written for a and for b, in the file's order.
std::vector<SETTINGS_KEY_TYP> Settings_Changed(const SETTINGS_TYP &a, const SETTINGS_TYP &b);
// text (a settings file, BOM and all) with keys' lines set as s has them: every line of those keys
// is replaced, a missing one goes at the end of its section (with its comment; the section is made
// at the end when missing); every other line stays as it was. When the result would read with a
// new problem (a key that two actions now hold), each section of keys is written whole from s.
std::string Settings_Merge(const std::string &text, const SETTINGS_TYP &s,
                           const std::vector<SETTINGS_KEY_TYP> &keys);
// Puts keys as s has them into the file as it is on disk now (the defaults when it is missing),
// making its folder if needed and replacing it in one rename (a link's target, in its folder).
// 0 with "cannot write FILE: reason" in *why on failure, the file then as it was; a file that
// cannot be read now (see Settings_Read) is never written over.
int Settings_Save(const std::string &path, const SETTINGS_TYP &s,
                  const std::vector<SETTINGS_KEY_TYP> &keys, std::string *why);
// $XDG_CONFIG_HOME/farwake/settings.ini, else ~/.config/farwake/settings.ini ("" without either);
// on Windows %APPDATA%\farwake\settings.ini.
std::string Settings_Default_Path();
