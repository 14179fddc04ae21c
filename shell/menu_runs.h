// The pause menu's "Best runs" page: the hall's rows, handed over by the program that keeps runs
// (the menu itself reads no folder).
#pragma once
#include <string>
#include <vector>

// One line of the page: rank, score and outcome, then length and date in the value column.
struct MENU_RUN_ROW_TYP {
    std::string label, value;
};

// Gives the page's rows each time it is shown (null, the default: no runs are kept).
extern std::vector<MENU_RUN_ROW_TYP> (*menu_runs_source)();
// The page's rows: the source's, or one line saying there are none.
std::vector<MENU_RUN_ROW_TYP> Menu_Runs_Rows();
