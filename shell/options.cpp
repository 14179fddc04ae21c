// The table of the game's command-line options and the GNU-style parser over it.
#include "shell/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// One option: its name, the shape of its value (null when it takes none), its help line and
// what it sets. apply returns 0 when the value is not one it accepts.
struct OPTION_TYP {
    const char *name;
    const char *value;
    const char *help;
    int (*apply)(SHELL_OPTIONS_TYP *o, const char *v);
};

// A whole number from lo to hi into *out.
int Parse_Whole(const char *v, long lo, long hi, int *out) {
    long long n = 0;
    if (!Parse_Count(v, hi, &n) || n < lo) return 0;
    *out = (int)n;
    return 1;
}

int Parse_Percent(const char *v, int *out) {
    return Parse_Whole(v, 0, 100, out);
}

// A place in the hall or a game of a session, counted from 1.
int Parse_Number(const char *v, int *out) {
    return Parse_Whole(v, 1, 1000000, out);
}

// "on" or "off" into *out.
int Parse_Switch(const char *v, int *out) {
    if (std::strcmp(v, "on") != 0 && std::strcmp(v, "off") != 0) return 0;
    *out = std::strcmp(v, "on") == 0;
    return 1;
}

// A file name for one of the logs; the text stays in argv, which lives as long as the program.
int Take_File(const char *v, const char **slot) {
    if (!v || !*v) return 0;
    *slot = v;
    return 1;
}

constexpr OPTION_TYP options[] = {
    {"help", nullptr, "show this help and exit",
     [](SHELL_OPTIONS_TYP *o, const char *) {
         o->help = 1;
         return 1;
     }},
    {"version", nullptr, "show the version and exit",
     [](SHELL_OPTIONS_TYP *o, const char *) {
         o->version = 1;
         return 1;
     }},
    {"window", nullptr, "start in a window",
     [](SHELL_OPTIONS_TYP *o, const char *) {
         o->fullscreen = 0;
         o->given |= SHELL_GIVEN_FULLSCREEN;
         return 1;
     }},
    {"fullscreen", nullptr, "start fullscreen (the default)",
     [](SHELL_OPTIONS_TYP *o, const char *) {
         o->fullscreen = 1;
         o->given |= SHELL_GIVEN_FULLSCREEN;
         return 1;
     }},
    {"scale", "fill|integer",
     "fill: the largest 4:3 picture that fits (default); integer: whole multiples only",
     [](SHELL_OPTIONS_TYP *o, const char *v) {
         if (std::strcmp(v, "fill") != 0 && std::strcmp(v, "integer") != 0) return 0;
         o->integer_scale = std::strcmp(v, "integer") == 0;
         o->given |= SHELL_GIVEN_SCALE;
         return 1;
     }},
    {"volume", "0-100", "master volume in percent (100 by default)",
     [](SHELL_OPTIONS_TYP *o, const char *v) {
         o->given |= SHELL_GIVEN_VOLUME;
         return Parse_Percent(v, &o->volume);
     }},
    {"mute", nullptr, "start without sound",
     [](SHELL_OPTIONS_TYP *o, const char *) {
         o->mute = 1;
         o->given |= SHELL_GIVEN_MUTE;
         return 1;
     }},
    {"smooth", "on|off",
     "on: a picture at every display refresh, moving between game frames (default)",
     [](SHELL_OPTIONS_TYP *o, const char *v) {
         o->given |= SHELL_GIVEN_SMOOTH;
         return Parse_Switch(v, &o->smooth);
     }},
    {"vsync", "on|off", "on: pictures wait for the display's refresh, no tearing (default)",
     [](SHELL_OPTIONS_TYP *o, const char *v) {
         o->given |= SHELL_GIVEN_VSYNC;
         return Parse_Switch(v, &o->vsync);
     }},
    {"settings", "FILE", "read and save the settings in FILE instead of the usual one",
     [](SHELL_OPTIONS_TYP *o, const char *v) { return Take_File(v, &o->settings); }},
    {"no-settings", nullptr, "use the default settings and save nothing",
     [](SHELL_OPTIONS_TYP *o, const char *) {
         o->no_settings = 1;
         return 1;
     }},
    {"runs", "DIR", "keep the runs in DIR instead of the usual folder",
     [](SHELL_OPTIONS_TYP *o, const char *v) { return Take_File(v, &o->runs); }},
    {"no-runs", nullptr, "keep no run of this session",
     [](SHELL_OPTIONS_TYP *o, const char *) {
         o->no_runs = 1;
         return 1;
     }},
    {"scores", nullptr, "print the best ten games kept and exit",
     [](SHELL_OPTIONS_TYP *o, const char *) {
         o->scores = 1;
         return 1;
     }},
    {"export", "N FILE", "write the run holding game N of --scores to FILE and exit",
     [](SHELL_OPTIONS_TYP *o, const char *v) { return Parse_Number(v, &o->export_rank); }},
    {"record", "FILE", "write the seed and every keyboard read, with state checks",
     [](SHELL_OPTIONS_TYP *o, const char *v) { return Take_File(v, &o->logs.record); }},
    {"replay", "FILE", "play a recording in the window (keyboard: Escape, F11 and pause only)",
     [](SHELL_OPTIONS_TYP *o, const char *v) { return Take_File(v, &o->logs.replay); }},
    {"game", "K", "with --replay: watch game K of the session only (the ones before it unseen)",
     [](SHELL_OPTIONS_TYP *o, const char *v) { return Parse_Number(v, &o->logs.game); }},
    {"state", "FILE", "one JSON line of game state after every game frame",
     [](SHELL_OPTIONS_TYP *o, const char *v) { return Take_File(v, &o->logs.state); }},
    {"entities", "FILE", "one JSON line with every live record of every pool per frame",
     [](SHELL_OPTIONS_TYP *o, const char *v) { return Take_File(v, &o->logs.entities); }},
};

// The keys the game reads, as --help lists them (the man page and the README list the same).
struct KEY_HELP_TYP {
    const char *keys;
    const char *action;
};

constexpr KEY_HELP_TYP key_help[] = {
    {"Left, Right", "turn"},
    {"Up", "thrust"},
    {"Tab", "afterburner (uses fuel; with the tank empty it acts as Up)"},
    {"Left Ctrl", "fire the gun"},
    {"Left Alt", "launch a missile"},
    {"Enter", "restart after the game is won or lost"},
    {"R", "reset the game"},
    {"D", "show or hide the debug readout"},
    {"F5", "refill shield, fuel and missiles (debug)"},
    {"F10", "show the other pixel packing (debug)"},
    {"P or Pause", "pause and resume"},
    {"F1", "pause and open the menu (keys, controller, display, sound)"},
    {"F11", "switch between fullscreen and a window"},
    {"Escape",
     "leave the title, end the game (it asks first; at once from a pause), leave the credits"},
};

// Options taken only by their whole name, so that the prefixes older options had (--sc for
// --scale, --r for nothing) keep their meaning.
constexpr const char *whole_only[] = {"runs", "no-runs", "scores", "export", "game"};

int Whole_Only(const char *name) {
    for (const char *w : whole_only)
        if (std::strcmp(w, name) == 0) return 1;
    return 0;
}

// The option a name (or a prefix of exactly one name) stands for; null when none or ambiguous.
const OPTION_TYP *Find_Option(const std::string &name) {
    const OPTION_TYP *found = nullptr;
    for (const OPTION_TYP &opt : options) {
        if (name == opt.name) return &opt;
        if (!name.empty() && !Whole_Only(opt.name) &&
            std::strncmp(opt.name, name.c_str(), name.size()) == 0) {
            if (found) return nullptr;
            found = &opt;
        }
    }
    return found;
}

} // namespace

int Parse_Count(const char *s, long long max, long long *out) {
    if (!s) return 0;
    char *end = nullptr;
    errno = 0;
    long long v = std::strtoll(s, &end, 10);
    if (end == s || *end != '\0' || errno || v < 0 || v > max) return 0;
    *out = v;
    return 1;
}

int Parse_Shell_Options(int argc, const char *const *argv, SHELL_OPTIONS_TYP *opts,
                        std::string *why) {
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i] ? argv[i] : "";
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            *why = "unexpected argument '" + arg + "'";
            return SHELL_OPTIONS_BAD;
        }
        size_t eq = arg.find('=');
        std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const OPTION_TYP *opt = Find_Option(name);
        if (!opt) {
            *why = "unknown option '" + arg + "'";
            return SHELL_OPTIONS_BAD;
        }
        const char *value = "";
        if (opt->value) {
            if (eq != std::string::npos) {
                value = argv[i] + eq + 1;
            } else if (i + 1 < argc && argv[i + 1]) {
                value = argv[++i];
            } else {
                *why = std::string("--") + opt->name + " wants " + opt->value;
                return SHELL_OPTIONS_BAD;
            }
        } else if (eq != std::string::npos) {
            *why = std::string("--") + opt->name + " takes no value";
            return SHELL_OPTIONS_BAD;
        }
        if (!opt->apply(opts, value)) {
            *why = std::string("--") + opt->name + " wants " + opt->value + ", not '" + value + "'";
            return SHELL_OPTIONS_BAD;
        }
        // --export takes a second value, the file to write.
        if (opts->export_rank && !opts->export_file && std::strcmp(opt->name, "export") == 0) {
            if (i + 1 >= argc || !argv[i + 1] || !*argv[i + 1]) {
                *why = "--export wants N FILE";
                return SHELL_OPTIONS_BAD;
            }
            opts->export_file = argv[++i];
        }
    }
    if (opts->logs.game && !opts->logs.replay) {
        *why = "--game goes with --replay";
        return SHELL_OPTIONS_BAD;
    }
    if (opts->no_runs && opts->runs) {
        *why = "--runs and --no-runs do not go together";
        return SHELL_OPTIONS_BAD;
    }
    return (opts->help || opts->version) ? SHELL_OPTIONS_DONE : SHELL_OPTIONS_RUN;
}

std::string Shell_Usage_Line(const char *program) {
    std::string line = std::string("usage: ") + (program ? program : "farwake");
    for (const OPTION_TYP &opt : options) {
        line += std::string(" [--") + opt.name;
        if (opt.value) line += std::string(" ") + opt.value;
        line += "]";
    }
    return line;
}

std::string Shell_Help_Text(const char *program) {
    std::string text = Shell_Usage_Line(program) + "\n";
    for (const OPTION_TYP &opt : options) {
        std::string left =
            std::string("  --") + opt.name + (opt.value ? " " : "") + (opt.value ? opt.value : "");
        if (left.size() < 24) left.resize(24, ' ');
        text += left + opt.help + "\n";
    }
    text += "keys (change them in the menu, F1):\n";
    for (const KEY_HELP_TYP &key : key_help) {
        std::string left = std::string("  ") + key.keys;
        if (left.size() < 24) left.resize(24, ' ');
        text += left + key.action + "\n";
    }
    return text;
}

int Shell_Master_Volume(const SHELL_OPTIONS_TYP &opts) {
    return opts.mute ? 0 : opts.volume;
}
