// The program's entry sequence: window class and window, the game's set-up, the message pump
// that runs one game frame per pass, then the credits, shut-down and the exit code.
#include "shell/winmain.h"
#include "shell/pause.h"
#include "shell/menu.h"
#include "shell/prefs.h"
#include "shell/present.h"

#include <cstdio>

#include "game/game.h"
#include "game/screens.h"
#include "platform/platform.h"

void (*shell_pump_end_hook)() = nullptr;
int shell_asks_to_quit = 0;

namespace {

constexpr const char *WINDOW_CLASS_NAME = "WIN3DCLASS";
// The window system's own name for the window; the desktop shows "farwake" (shell/prefs).
constexpr const char *WINDOW_TITLE = "Korv Graphics Console Ver 2.0";
constexpr int WINDOW_WIDTH = 800;
constexpr int WINDOW_HEIGHT = 600;

char shell_error[256];

int Title_Pass() {
    return Shell_Title_Pass(main_window_handle);
}

} // namespace

void Shell_Set_Error(const char *what, const char *reason) {
    if (!what) {
        shell_error[0] = 0;
        return;
    }
    std::snprintf(shell_error, sizeof shell_error, "farwake: %s: %s", what,
                  reason && *reason ? reason : "unknown reason");
}

const char *Shell_Error() {
    return shell_error;
}

LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    PAINTSTRUCT ps;
    switch (msg) {
    case WM_CREATE:
        return 0;
    case WM_PAINT:
        // Validates the window; the next flip draws everything anyway, but a paused game
        // has no next flip.
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        Shell_Pause_Repaint();
        return 0;
    case WM_KEYDOWN:
        Shell_Pause_Key(hwnd, (int)wparam);
        return 0;
    case WM_KILLFOCUS:
        Shell_Set_Paused(1);
        return 0;
    case WM_CLOSE:
        if (shell_quit_hook) shell_quit_hook();
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

int WinMain(HINSTANCE hinstance, HINSTANCE, char *, int) {
    Shell_Set_Error(nullptr, nullptr);
    // Failing to start is reported with a reason and a non-zero code: the user must not be left
    // with a program that ended silently as if it had run.
    if (!Plat_Init()) {
        Shell_Set_Error("cannot open the display", Plat_Error());
        return 1;
    }

    WNDCLASSEX winclass;
    winclass.cbSize = sizeof(WNDCLASSEX);
    winclass.style = CS_DBLCLKS | CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    winclass.lpfnWndProc = WindowProc;
    winclass.cbClsExtra = 0;
    winclass.cbWndExtra = 0;
    winclass.hInstance = hinstance;
    winclass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    winclass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    winclass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    winclass.lpszMenuName = nullptr;
    winclass.lpszClassName = WINDOW_CLASS_NAME;
    winclass.hIconSm = LoadIcon(nullptr, IDI_APPLICATION);
    if (!RegisterClassEx(&winclass)) {
        Shell_Set_Error("cannot register the window class", WINDOW_CLASS_NAME);
        Plat_Quit();
        return 1;
    }

    Prefs_Window_Opening(WINDOW_WIDTH, WINDOW_HEIGHT);
    HWND hwnd = CreateWindowEx(0, WINDOW_CLASS_NAME, WINDOW_TITLE, WS_POPUP | WS_VISIBLE, 0, 0,
                               WINDOW_WIDTH, WINDOW_HEIGHT, nullptr, nullptr, hinstance, nullptr);
    if (!hwnd) {
        Shell_Set_Error("cannot open the window", Plat_Error());
        UnregisterClassA(WINDOW_CLASS_NAME, hinstance);
        Plat_Quit();
        return 1;
    }
    main_window_handle = hwnd;
    main_instance = hinstance;
    Prefs_Window_Opened();

    title_frame_hook = Title_Pass;
    Shell_Present_Title(1);
    Game_Init(nullptr);
    Shell_Present_Title(0);
    title_frame_hook = nullptr;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
    Shell_Present_Start();
    // The game's frames only: the title is over, and the credits take Escape as they always did.
    Prefs_Hold_Escape(shell_asks_to_quit);
    Shell_Game_Pad_Start();

    MSG msg{};
    while (TRUE) {
        BOOL got = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        if (got) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // A paused game runs no frame and reads no keyboard: the same keys replayed give the
        // same game, however long the pause.
        if (Shell_Paused()) {
            if (!got) Shell_Pause_Idle(hwnd);
            continue;
        }
        Shell_Game_Pad(hwnd);
        if (Shell_Paused()) continue;
        Shell_Run_Game_Frame();
    }
    Prefs_Hold_Escape(0);
    Shell_Present_Stop();
    if (shell_pump_end_hook) shell_pump_end_hook();
    Menu_Close();
    Prefs_Finish();
    // The credits play with their sound, whatever paused game was left with Escape.
    Shell_Set_Paused(0);

    Run_Credits_Screen();
    Game_Shutdown(nullptr);
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0);

    // The window, its class and what is left in the queue (the quit that closing the window
    // posts among it) go with the program, so a caller that runs the game again in the same
    // process starts from a clean slate.
    DestroyWindow(hwnd);
    MSG leftover;
    while (PeekMessageA(&leftover, nullptr, 0, 0, PM_REMOVE)) {
    }
    UnregisterClassA(WINDOW_CLASS_NAME, hinstance);
    Plat_Quit();
    return (int)msg.wParam;
}
