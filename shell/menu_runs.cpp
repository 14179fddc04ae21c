// The "Best runs" page's rows, from the source the program set.
#include "shell/menu_runs.h"

std::vector<MENU_RUN_ROW_TYP> (*menu_runs_source)() = nullptr;
void (*menu_runs_watch)(const MENU_RUN_ROW_TYP &row) = nullptr;

namespace {

// The rows as the page shows them now, so Enter watches the game the player sees.
std::vector<MENU_RUN_ROW_TYP> shown;

} // namespace

void Menu_Runs_Refresh() {
    shown.clear();
    if (menu_runs_source) shown = menu_runs_source();
    if (shown.empty())
        shown.push_back({menu_runs_source ? "No game kept yet" : "Runs are not kept", "", "", 0});
}

const std::vector<MENU_RUN_ROW_TYP> &Menu_Runs_Rows() {
    return shown;
}

int Menu_Runs_Watch(int index) {
    if (!menu_runs_watch || index < 0 || (size_t)index >= shown.size()) return 0;
    const MENU_RUN_ROW_TYP &row = shown[(size_t)index];
    if (row.file.empty() || row.game < 1) return 0;
    menu_runs_watch(row);
    return 1;
}
