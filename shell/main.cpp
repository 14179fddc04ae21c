// The executable's entry: answers --version, runs the game through WinMain and reports a failed
// start on stderr.
#include "shell/winmain.h"
#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    // Packagers and players ask which build this is without opening a window.
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("farwake %s\n", FW_VERSION);
        return 0;
    }
    static HINSTANCE__ instance = {1};
    static char command_line[1] = "";
    int code = WinMain(&instance, nullptr, command_line, 1);
    if (code != 0 && Shell_Error()[0]) std::fprintf(stderr, "%s\n", Shell_Error());
    return code;
}
