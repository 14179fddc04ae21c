// The executable's entry: reads the command line, opens the game's logs, then runs the game
// through WinMain and reports a failed start on stderr.
#include "shell/notice.h"
#include "shell/options.h"
#include "shell/prefs.h"
#include "shell/present.h"
#include "shell/keymap.h"
#include "shell/menu_runs.h"
#include "shell/record.h"
#include "shell/runs.h"
#include "shell/winmain.h"
#include "platform/os/os_file.h"
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef FW_BUILD_NAME
#define FW_BUILD_NAME "farwake"
#endif

namespace {

// The settings file's (each bad line reported on stderr), with what the command line set over
// them for this run; the file's own stay as read, for saving.
void Start_Settings(const char *program, const SHELL_OPTIONS_TYP &opts) {
    SETTINGS_TYP file;
    std::string path, refused;
    if (!opts.no_settings) {
        path = opts.settings ? opts.settings : Settings_Default_Path();
        std::vector<std::string> problems;
        // A file that cannot be read is the player's still: it is never written over.
        if (!path.empty() && Settings_Load(path, &file, &problems) < 0) refused = problems.back();
        for (const std::string &p : problems)
            std::fprintf(stderr, "%s: %s\n", program, p.c_str());
    }
    SETTINGS_TYP run = file;
    if (opts.given & SHELL_GIVEN_FULLSCREEN) run.fullscreen = opts.fullscreen;
    if (opts.given & SHELL_GIVEN_SCALE) run.integer_scale = opts.integer_scale;
    if (opts.given & SHELL_GIVEN_VOLUME) run.volume = opts.volume;
    if (opts.given & SHELL_GIVEN_MUTE) run.mute = opts.mute;
    if (opts.given & SHELL_GIVEN_SMOOTH) run.smooth = opts.smooth;
    if (opts.given & SHELL_GIVEN_VSYNC) run.vsync = opts.vsync;
    Prefs_Start(run, file, path);
    if (!refused.empty()) Prefs_Read_Only(refused);
    Prefs_Set_Failure_Hook(Shell_Notice);
}

// Runs the game's window with the logs opened, then closes them; its exit code, 1 as well when a
// log failed or a replay differed. *games (when given): the games the logs counted.
int Run_Window(int *games = nullptr) {
    static HINSTANCE__ instance = {1};
    static char command_line[1] = "";
    int code = WinMain(&instance, nullptr, command_line, 1);
    if (code != 0 && Shell_Error()[0]) std::fprintf(stderr, "%s\n", Shell_Error());
    if (games) *games = (int)Game_Logs_Games().size();
    if (Game_Logs_Close() && code == 0) code = 1;
    return code;
}

// The runs folder the options name.
std::string Runs_Folder(const SHELL_OPTIONS_TYP &opts) {
    return opts.runs ? opts.runs : Runs_Default_Folder();
}

// The game the menu's "Best runs" page asked to watch once this session has ended (no file:
// none).
MENU_RUN_ROW_TYP watch_asked;

void Ask_To_Watch(const MENU_RUN_ROW_TYP &row) {
    watch_asked = row;
}

// Watches the game the menu asked for, as --replay FILE --game K does: a replay of its own that
// writes nothing, not even into the runs folder. 0, or 1 when it could not start or differed.
int Watch_Asked(const char *program) {
    GAME_LOG_OPTIONS_TYP watch;
    watch.replay = watch_asked.file.c_str();
    watch.game = watch_asked.game;
    menu_runs_source = nullptr;
    menu_runs_watch = nullptr;
    std::string why;
    if (!Game_Logs_Open(watch, FW_BUILD_NAME, FW_BUILD_NAME, 1, &why)) {
        std::fprintf(stderr, "%s: %s\n", program, why.c_str());
        return 1;
    }
    return Run_Window();
}

// The runs folder and file of this session, for the menu's page.
std::string runs_folder, runs_session;

// The hall as the folder has it now, less the game being played (its file has no result for it
// yet, so it would read as cut).
std::vector<MENU_RUN_ROW_TYP> Menu_Runs_From_Folder() {
    HALL_TYP hall;
    Runs_Read(runs_folder, &hall);
    std::vector<HALL_ENTRY_TYP> kept;
    for (const HALL_ENTRY_TYP &e : hall.games)
        if (e.file != runs_session || !e.game.from_check) kept.push_back(e);
    hall.games = kept;
    return Runs_Menu_Rows(Runs_Ranked(hall, 0));
}

// Keeps this session in the runs folder, unless the command line says otherwise or names its
// own recording; a folder that cannot be written is said as a lost output is, and the game
// plays on without it.
std::string Start_Runs(const char *program, SHELL_OPTIONS_TYP *opts) {
    if (opts->no_runs || opts->logs.record || opts->logs.replay) return "";
    std::string folder = Runs_Folder(*opts);
    if (folder.empty()) return "";
    HALL_TYP hall;
    std::string session = Runs_Start_Session(program, folder, &hall);
    if (session.empty()) {
        Shell_Notice(("runs are not kept: cannot write " + folder).c_str());
        return "";
    }
    Keymap_Show_Best(Runs_Best_Score(hall));
    runs_folder = folder;
    runs_session = session;
    menu_runs_source = Menu_Runs_From_Folder;
    menu_runs_watch = Ask_To_Watch;
    return session;
}

} // namespace

int main(int argc, char **argv) {
    const std::string name = Os_Program_Name(argc > 0 ? argv[0] : nullptr, FW_BUILD_NAME);
    const char *program = name.c_str();
    SHELL_OPTIONS_TYP opts;
    std::string why;
    int parsed = Parse_Shell_Options(argc, argv, &opts, &why);
    if (parsed == SHELL_OPTIONS_BAD) {
        std::fprintf(stderr, "%s: %s; %s\n", program, why.c_str(),
                     Shell_Usage_Line(program).c_str());
        return 2;
    }
    if (opts.help) {
        std::fputs(Shell_Help_Text(program).c_str(), stdout);
        return 0;
    }
    if (opts.version) {
        std::printf("%s %s\n", program, FW_VERSION);
        return 0;
    }
    if (opts.scores) return Runs_Print_Scores(program, Runs_Folder(opts));
    if (opts.export_rank)
        return Runs_Export(program, Runs_Folder(opts), opts.export_rank, opts.export_file);
    std::string session = Start_Runs(program, &opts);
    if (!session.empty()) opts.logs.record = session.c_str();
    int opened = Game_Logs_Open(opts.logs, FW_BUILD_NAME, FW_BUILD_NAME, 1, &why);
    if (!opened && !session.empty()) {
        // The runs folder failed after all: said as a lost output, and the game plays without it.
        std::fprintf(stderr, "%s: %s\n", program, why.c_str());
        Shell_Notice(why.c_str());
        Runs_End_Session(session, 0);
        session.clear();
        opts.logs.record = nullptr;
        opened = Game_Logs_Open(opts.logs, FW_BUILD_NAME, FW_BUILD_NAME, 1, &why);
    }
    if (!opened) {
        std::fprintf(stderr, "%s: %s\n", program, why.c_str());
        return 1;
    }
    Start_Settings(program, opts);
    // A slip of Escape must not end a game the player is playing; a replay has none to lose.
    shell_asks_to_quit = !opts.logs.replay;

    int games = 0;
    int code = Run_Window(&games);
    // A settings change that never reached the file is a file that could not be written.
    if (Prefs_Unsaved() && code == 0) code = 1;
    Runs_End_Session(session, games);
    if (!watch_asked.file.empty() && code == 0) code = Watch_Asked(program);
    return code;
}
