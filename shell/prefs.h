// The settings of this run: those in force (the file's, with the command line over them), those
// the file keeps, applying them to the platform, the mixer and the title card, and saving.
#pragma once
#include <string>
#include "shell/settings.h"

// Groups of settings the player changes one at a time.
enum {
    PREF_FULLSCREEN,
    PREF_SCALE,
    PREF_SMOOTH,
    PREF_VSYNC,
    PREF_VOLUME,
    PREF_MUTE,
    PREF_KEYS,
    PREF_WINDOW,
    PREF_CONFIRM_QUIT
};

// Starts the run's settings: run is in force, file is what the file keeps, path is where it is
// saved (empty: nothing is saved). Applies run at once.
void Prefs_Start(const SETTINGS_TYP &run, const SETTINGS_TYP &file, const std::string &path);
// The settings in force (the defaults before Prefs_Start).
const SETTINGS_TYP &Prefs_Run();
// The player changed one group to what changed holds: it is applied, kept in the file's settings
// and the keys it changed saved; 0 with the reason on stderr (and the failure hook) when the save
// failed, the keys then kept for the next save.
int Prefs_Change(const SETTINGS_TYP &changed, int group);
// Before the window opens: with no window size kept, the window is fitted to the desktop for a
// pic_w x pic_h picture (Shell_First_Window_Size), where the platform knows the desktop's size.
void Prefs_Window_Opening(int pic_w, int pic_h);
// Notes how the window opened, to tell the player's changes from it at the end.
void Prefs_Window_Opened();
// At the end of a run: a window size or fullscreen state the player left differently from the
// file's is kept and saved, with any change an earlier failed save left.
void Prefs_Finish();
// The file could not be read at the start (problem: "FILE: cannot read: why"): nothing is written
// over it this run, and the first change says so once. Called after Prefs_Start.
void Prefs_Read_Only(const std::string &problem);
// Shows a failed save's message besides stderr (the program's on-screen notice); null: stderr only.
void Prefs_Set_Failure_Hook(void (*hook)(const char *message));
// 1 while a change the player made has not reached the file (a failed save, a file not written).
int Prefs_Unsaved();
// While on (and the confirm_quit setting is on) keyboard reads never carry Escape: the shell
// takes it from the key messages and asks before it ends the game. The pump of a program that
// asks turns it on for the game's frames only; the title and credits keep their Escape.
void Prefs_Hold_Escape(int on);
// Whether Escape is held back from the reads now (Prefs_Hold_Escape and the setting both on).
int Prefs_Escape_Held();
// The settings the file keeps now.
const SETTINGS_TYP &Prefs_File();
