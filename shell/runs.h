// The runs folder and its hall of fame: every session the game plays is kept there as a
// recording; the games in them are read back from the files alone, ranked, bounded and listed.
// Portable C++ over std::filesystem (paths are UTF-8 text), for every program that keeps runs.
#pragma once
#include <string>
#include <vector>

#include "engine/input/game_lines.h"
#include "shell/menu_runs.h"

// The folder's bounds: the sessions holding the best games, and the newest sessions, are kept.
constexpr int RUNS_KEEP_BEST = 100;
constexpr int RUNS_KEEP_LAST = 50;
// At most this many files of the folder are read; a hall is never that large.
constexpr int RUNS_MAX_FILES = 2000;
// Rows of the hall's table.
constexpr int RUNS_HALL_ROWS = 10;

// One game of the hall, with the session file it is in.
struct HALL_ENTRY_TYP {
    RUN_GAME_TYP game;
    std::string file; // the session file's path
};

// What a runs folder holds.
struct HALL_TYP {
    std::vector<HALL_ENTRY_TYP> games;
    std::vector<std::string> sessions; // the program's own session files, oldest first
    std::vector<std::string> skipped;  // one line per file that is not a readable recording
};

// $XDG_DATA_HOME/farwake/runs, else ~/.local/share/farwake/runs (%LOCALAPPDATA%\farwake\runs on
// Windows); "" when neither variable is set.
std::string Runs_Default_Folder();
// Reads every file of folder (a missing folder is an empty hall).
void Runs_Read(const std::string &folder, HALL_TYP *hall);
// The games best first (higher score, then the shorter game, then the earlier); practice 1 gives
// the practice games only, 0 the others.
std::vector<HALL_ENTRY_TYP> Runs_Ranked(const HALL_TYP &hall, int practice);
// Removes the program's own session files that hold none of the keep_best best games and are
// not among the keep_last newest; other files are never touched. The paths removed; a removal
// that fails goes into *problems.
std::vector<std::string> Runs_Prune(const HALL_TYP &hall, int keep_best, int keep_last,
                                    std::vector<std::string> *problems);
// Creates the folder when needed and a new, empty session file of a name no other program
// running at once takes; its path, or "" with "cannot write PATH: REASON" in *error.
std::string Runs_New_Session(const std::string &folder, std::string *error);
// The session's end: a session file that holds no game (the program never reached one) is
// removed, so it takes no place among the newest.
void Runs_End_Session(const std::string &path, int games);
// Whether a file name is one Runs_New_Session gives.
int Runs_Own_Name(const std::string &name);
// A length of game frames (30 ms each) as "M:SS".
std::string Runs_Length(int frames);
// When a game ended (when it started, for a game cut without a result) as "YYYY-MM-DD HH:MM"
// (UTC), or "?".
std::string Runs_Date(const RUN_GAME_TYP &g);
// The table of up to rows ranked games: a header line, then rank, score, outcome, length and
// date (UTC) on each line.
std::string Runs_Table(const std::vector<HALL_ENTRY_TYP> &ranked, int rows);
// Prints the hall's table (and the practice games' apart) on stdout, each file skipped on
// stderr as "PROGRAM: LINE"; 0.
int Runs_Print_Scores(const char *program, const std::string &folder);
// Reads and bounds the folder (each problem on stderr), then makes this session's file there:
// its path, with the hall as it was read in *hall; "" when it cannot be made (said on stderr).
std::string Runs_Start_Session(const char *program, const std::string &folder, HALL_TYP *hall);
// Writes the session that holds the hall's game of rank (as the table numbers them) to file,
// byte for byte, and says which game of it that is; 0, or 1 with the reason on stderr.
int Runs_Export(const char *program, const std::string &folder, int rank, const char *file);
// The rows of the menu's "Best runs" page for the best ten ranked games.
std::vector<MENU_RUN_ROW_TYP> Runs_Menu_Rows(const std::vector<HALL_ENTRY_TYP> &ranked);
// The score of the best game that is not practice, or -1 when there is none.
long long Runs_Best_Score(const HALL_TYP &hall);
