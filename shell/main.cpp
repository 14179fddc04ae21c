// The executable's entry: takes the command line, runs the game through WinMain and reports a
// failed start on stderr.
#include "shell/record.h"
#include "shell/shell.h"
#include <cstdio>
#include <string>

#ifndef FW_BUILD_NAME
#define FW_BUILD_NAME "farwake"
#endif

int main(int argc, char **argv) {
    GAME_LOG_OPTIONS_TYP logs;
    for (int i = 1; i < argc; i++) {
        if (Game_Log_Option(argc, argv, &i, &logs) == 1) continue;
        std::fprintf(stderr, "usage: %s [OPTION]...\n%s", FW_BUILD_NAME, Game_Log_Usage());
        return 2;
    }
    std::string error;
    if (!Game_Logs_Open(logs, FW_BUILD_NAME, FW_BUILD_NAME, 1, &error)) {
        std::fprintf(stderr, "%s: %s\n", FW_BUILD_NAME, error.c_str());
        return 1;
    }
    static HINSTANCE__ instance = {1};
    static char command_line[1] = "";
    int code = WinMain(&instance, nullptr, command_line, 1);
    if (code != 0 && Shell_Error()[0]) std::fprintf(stderr, "%s\n", Shell_Error());
    if (Game_Logs_Close() && code == 0) code = 1;
    return code;
}
