// The pause menu's "Best runs" page: the hall's rows, handed over by the program that keeps runs
// (the menu itself reads no folder).
#pragma once
#include <string>
#include <vector>

// One line of the page: rank, score and outcome, then length and date in the value column.
struct MENU_RUN_ROW_TYP {
    std::string label, value;
    std::string file; // the session file holding the game, and its number there (0: no game)
    int game = 0;
};

// Gives the page's rows each time it is shown (null, the default: no runs are kept).
extern std::vector<MENU_RUN_ROW_TYP> (*menu_runs_source)();
// Takes Enter on a row of the page to watch its game (null, the default: rows are only read).
extern void (*menu_runs_watch)(const MENU_RUN_ROW_TYP &row);
// Takes the page's rows from the source (or one line saying there are none) as the page is
// entered; no game frame runs while it shows, so they hold until it is entered again.
void Menu_Runs_Refresh();
// The page's rows as last taken.
const std::vector<MENU_RUN_ROW_TYP> &Menu_Runs_Rows();
// Enter on row index of the rows shown: 1 when it holds a game and was handed to
// menu_runs_watch (the game being played then ends as a quit), 0 when there is nothing to watch.
int Menu_Runs_Watch(int index);
