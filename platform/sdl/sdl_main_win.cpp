// The Windows entry of the SDL programs. The shell has a function of its own named WinMain, so
// the C runtime's main must not fall through to it: this main is the program's entry (in the
// GUI subsystem too), tells SDL that its main is handled, takes the command line as UTF-8 from
// the wide one, and runs the program's own main (compiled as Fw_Program_Main on Windows).
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <windows.h>

#include <cstdio>

#include "platform/os/os_file.h"

int Fw_Program_Main(int argc, char **argv);

int main(int argc, char **argv) {
    // A GUI program has no console; started from one, --help and --version still print there.
    // Output already sent to a file or a pipe keeps its handle.
    if (!GetStdHandle(STD_OUTPUT_HANDLE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
    Os_Binary_Stdio();
    SDL_SetMainReady();
    return Fw_Program_Main(argc, Os_Utf8_Arguments(argc, argv));
}
