// The game's command line: long options in the GNU style, one table of what each one sets.
// Parsing only fills a record; the entry point applies it to the platform and the mixer.
#pragma once
#include "shell/record.h"
#include <string>

// What the command line asked for; the defaults are a plain start.
struct SHELL_OPTIONS_TYP {
    int fullscreen = 1;             // 0: start in a window
    int integer_scale = 0;          // 1: whole multiples of the picture only
    int volume = 100;               // master volume, 0..100
    int mute = 0;                   // 1: silent, whatever the volume
    int smooth = 1;                 // 0: motion drawn only at the game's own frames
    int vsync = 1;                  // 0: frames shown without waiting for the screen's refresh
    int help = 0;                   // --help given: print the options and end
    int version = 0;                // --version given: print the version and end
    GAME_LOG_OPTIONS_TYP logs;      // recording, replaying and the state and entity logs
    const char *settings = nullptr; // --settings FILE: another settings file
    int no_settings = 0;            // 1: the defaults, and nothing saved
    const char *runs = nullptr;     // --runs DIR: another runs folder
    int no_runs = 0;                // 1: this session is not kept
    int scores = 0;                 // --scores: print the hall and end
    int export_rank = 0;            // --export N FILE: write the hall's game N to FILE and end
    const char *export_file = nullptr;
    int given = 0; // SHELL_GIVEN_* bits: what the command line set for this run
};

// Settings the command line set, which then override the settings file for the run.
enum {
    SHELL_GIVEN_FULLSCREEN = 1,
    SHELL_GIVEN_SCALE = 2,
    SHELL_GIVEN_VOLUME = 4,
    SHELL_GIVEN_MUTE = 8,
    SHELL_GIVEN_SMOOTH = 16,
    SHELL_GIVEN_VSYNC = 32
};

// Outcomes of Parse_Shell_Options.
enum { SHELL_OPTIONS_RUN = 0, SHELL_OPTIONS_DONE = 1, SHELL_OPTIONS_BAD = 2 };

// Reads argv[1..] into *opts: RUN to start the game, DONE after --help or --version, BAD with
// the reason in *why. "--name value", "--name=value" and unique prefixes are taken.
int Parse_Shell_Options(int argc, const char *const *argv, SHELL_OPTIONS_TYP *opts,
                        std::string *why);
// The one usage line (no newline) for a program name.
std::string Shell_Usage_Line(const char *program);
// The --help text: the usage line, one line per option, then every key the game reads.
std::string Shell_Help_Text(const char *program);
// The master volume the options give, 0..100 (0 when muted).
int Shell_Master_Volume(const SHELL_OPTIONS_TYP &opts);
