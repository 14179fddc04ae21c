// The Windows entry of the SDL programs: SDL's WinMain passes the command line, as UTF-8, to
// SDL_main, which runs the program's own main (compiled as Fw_Program_Main on Windows).
#include <SDL.h>
#include <SDL_main.h>
#include <windows.h>

#include <cstdio>

#include "platform/os/os_file.h"

int Fw_Program_Main(int argc, char **argv);

extern "C" int SDL_main(int argc, char *argv[]) {
    // A GUI program has no console; started from one, --help and --version still print there.
    // Output already sent to a file or a pipe keeps its handle.
    if (!GetStdHandle(STD_OUTPUT_HANDLE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
    Os_Binary_Stdio();
    return Fw_Program_Main(argc, argv);
}
