// The executable's entry: runs the game through WinMain and reports a failed start on stderr.
#include "shell/winmain.h"
#include <cstdio>

int main() {
    static HINSTANCE__ instance = {1};
    static char command_line[1] = "";
    int code = WinMain(&instance, nullptr, command_line, 1);
    if (code != 0 && Shell_Error()[0]) std::fprintf(stderr, "%s\n", Shell_Error());
    return code;
}
