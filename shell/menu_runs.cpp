// The "Best runs" page's rows, from the source the program set.
#include "shell/menu_runs.h"

std::vector<MENU_RUN_ROW_TYP> (*menu_runs_source)() = nullptr;

std::vector<MENU_RUN_ROW_TYP> Menu_Runs_Rows() {
    std::vector<MENU_RUN_ROW_TYP> rows;
    if (menu_runs_source) rows = menu_runs_source();
    if (rows.empty())
        rows.push_back({menu_runs_source ? "No game kept yet" : "Runs are not kept", ""});
    return rows;
}
