// The application shell's window system: handles, the window class and window over the platform
// layer, the message queue with its one-message-per-call pump, and the small user services.
#pragma once
#include <cstdint>

typedef int BOOL;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef uint16_t ATOM;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

struct WNDCLASSEX;

// The one window. A handle stays valid memory for the life of the program.
struct HWND__ {
    int open; // 1 while the platform window is up
    DWORD style, ex_style;
    int x, y, width, height;
    const WNDCLASSEX *wclass; // the class it was created from
    char title[128];
};
typedef HWND__ *HWND;

// A module instance; the shell gets one from its caller and hands it on.
struct HINSTANCE__ {
    int id;
};
typedef HINSTANCE__ *HINSTANCE;

// Stock handles of the class record: plain identifiers, never dereferenced.
typedef uintptr_t HICON;
typedef uintptr_t HCURSOR;
typedef uintptr_t HBRUSH;
typedef uintptr_t HGDIOBJ;

typedef LRESULT (*WNDPROC)(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

struct POINT {
    int x, y;
};

// One queued message.
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

// The window class record.
struct WNDCLASSEX {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char *lpszMenuName;
    const char *lpszClassName;
    HICON hIconSm;
};

// What BeginPaint hands out.
struct PAINTSTRUCT {
    void *hdc;
    BOOL fErase;
    int rcPaint[4];
};

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;

// Window styles.
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_VISIBLE = 0x10000000u;

// Stock resources.
constexpr uintptr_t IDI_APPLICATION = 32512;
constexpr uintptr_t IDC_ARROW = 32512;
constexpr int BLACK_BRUSH = 4;

// PeekMessageA removal flag.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// SystemParametersInfoA action: tell the system a screen saver is running.
constexpr UINT SPI_SETSCREENSAVERRUNNING = 97;

// Virtual key codes GetAsyncKeyState understands.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F1 = 0x70; // VK_F1 + n for F1..F12

// Messages each queue (posted, and platform input) holds at most; a post beyond it fails.
constexpr int SHELL_QUEUE_SIZE = 256;

// ---- globals ----
extern HWND main_window_handle; // the one window, written once by WinMain
extern HINSTANCE main_instance; // the instance given to WinMain

// Called once the pump has ended, before the credits (null: nothing); the game's logs close
// their last game frame here.
extern void (*shell_pump_end_hook)();

// The entry point behind main: window, Game_Init, the pump, credits and shut-down; exit code.
int WinMain(HINSTANCE hinstance, HINSTANCE hprevinstance, char *lpcmdline, int ncmdshow);
// The window procedure of the game's window.
LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// One line saying why WinMain could not start (empty when it did).
const char *Shell_Error();
// Records the reason WinMain could not start, for Shell_Error.
void Shell_Set_Error(const char *what, const char *reason);

// Registers a window class (copied); its atom, or 0 when the record is bad or the name is taken.
ATOM RegisterClassEx(const WNDCLASSEX *wc);
// Forgets a registered class so it can be registered again; TRUE when it was registered.
BOOL UnregisterClassA(const char *class_name, HINSTANCE hinstance);
// Copies out a registered class; TRUE when found.
BOOL GetClassInfoEx(HINSTANCE hinstance, const char *class_name, WNDCLASSEX *wc);
// Forgets every registered class and closes the window (for a fresh start).
void Shell_Reset();
// Opens the window through the platform and sends it WM_CREATE; the handle, or null.
HWND CreateWindowEx(DWORD ex_style, const char *class_name, const char *title, DWORD style, int x,
                    int y, int width, int height, HWND parent, void *menu, HINSTANCE hinstance,
                    void *param);
// Sends WM_DESTROY and closes the platform window; TRUE when the window was open.
BOOL DestroyWindow(HWND hwnd);

// Takes at most one message, posted ones before platform input (whose waiting events are
// queued first); TRUE when one was taken.
BOOL PeekMessageA(MSG *msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove);
// Key messages carry no characters here; always FALSE.
BOOL TranslateMessage(const MSG *msg);
// Calls the window procedure of the message's window; its result.
LRESULT DispatchMessageA(const MSG *msg);
// Calls the window procedure at once; its result (0 for a null window).
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// Queues a message for the pump; FALSE when the queue is full.
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// Queues WM_QUIT with the exit code (once; a second call only updates the code).
void PostQuitMessage(int exit_code);
// Default handling: WM_CLOSE sends WM_DESTROY, WM_PAINT validates; 0.
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// Number of messages waiting in the queue.
int Shell_Queue_Length();
// Starts painting: marks the window valid; returns the paint record's context (none here).
void *BeginPaint(HWND hwnd, PAINTSTRUCT *ps);
// Ends painting; TRUE.
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT *ps);

// A system icon by identifier (the instance must be null); 0 when unknown.
HICON LoadIcon(HINSTANCE hinstance, uintptr_t name);
// A system cursor by identifier (the instance must be null); 0 when unknown.
HCURSOR LoadCursor(HINSTANCE hinstance, uintptr_t name);
// A stock brush by number (BLACK_BRUSH and its neighbours); 0 when unknown.
HGDIOBJ GetStockObject(int object);

// SPI_SETSCREENSAVERRUNNING (param 1 on, 0 off) keeps the screen saver away; TRUE when handled.
BOOL SystemParametersInfoA(UINT action, UINT param, void *pvparam, UINT winini);
// Raises (TRUE) or lowers the pointer's show count; the pointer shows while it is >= 0.
int ShowCursor(BOOL show);
// 0x8000 while the key is down in the latest keyboard state, else 0.
short GetAsyncKeyState(int vkey);
