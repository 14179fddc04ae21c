// The emulated window system: registered classes, the one window over the platform layer, the
// message queue and the user services (cursor, screen saver, asynchronous key state).
#include "engine/window/window.h"
#include "platform/dik.h"
#include "platform/platform.h"
#include <cstdio>
#include <cstring>

HWND main_window_handle = nullptr;
HINSTANCE main_instance = nullptr;

namespace {

constexpr int MAX_CLASSES = 8;

} // namespace

struct Class_Slot {
    int used;
    WNDCLASSEX wc;
    char name[64];
};

namespace {

Class_Slot classes[MAX_CLASSES];
HWND__ the_window;

} // namespace

// Posted messages are taken before input, as the system's own queue does: a close request
// posted by the game is never stuck behind a backlog of key messages.
struct Msg_Queue {
    MSG m[SHELL_QUEUE_SIZE];
    int count;
};

namespace {

Msg_Queue posted, input;
int quit_queued = 0;
int cursor_count = 0;

Class_Slot *find_class(const char *name) {
    if (!name) return nullptr;
    for (auto &c : classes)
        if (c.used && std::strcmp(c.name, name) == 0) return &c;
    return nullptr;
}

} // namespace

ATOM RegisterClassEx(const WNDCLASSEX *wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEX) || !wc->lpfnWndProc || !wc->lpszClassName) return 0;
    size_t len = std::strlen(wc->lpszClassName);
    if (len == 0 || len >= sizeof classes[0].name || find_class(wc->lpszClassName)) return 0;
    for (int i = 0; i < MAX_CLASSES; i++) {
        Class_Slot &c = classes[i];
        if (c.used) continue;
        c.used = 1;
        c.wc = *wc;
        std::memcpy(c.name, wc->lpszClassName, len + 1);
        c.wc.lpszClassName = c.name;
        // The menu name is not kept: the record must not point into the caller's memory.
        c.wc.lpszMenuName = nullptr;
        return (ATOM)(0xC000 + i);
    }
    return 0;
}

BOOL UnregisterClassA(const char *class_name, HINSTANCE) {
    Class_Slot *c = find_class(class_name);
    if (!c) return FALSE;
    if (the_window.open && the_window.wclass == &c->wc) return FALSE;
    *c = Class_Slot{};
    return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE, const char *class_name, WNDCLASSEX *wc) {
    Class_Slot *c = find_class(class_name);
    if (!c || !wc) return FALSE;
    *wc = c->wc;
    // The name handed back is the caller's own, which outlives the class if it is unregistered.
    wc->lpszClassName = class_name;
    return TRUE;
}

void Shell_Reset() {
    if (the_window.open) Plat_Close_Window();
    the_window = HWND__{};
    for (auto &c : classes)
        c = Class_Slot{};
    posted.count = 0;
    input.count = 0;
    quit_queued = 0;
    cursor_count = 0;
    main_window_handle = nullptr;
    main_instance = nullptr;
}

HWND CreateWindowEx(DWORD ex_style, const char *class_name, const char *title, DWORD style, int x,
                    int y, int width, int height, HWND, void *, HINSTANCE, void *) {
    Class_Slot *c = find_class(class_name);
    // One window per process: the display and the input belong to it.
    if (!c || the_window.open || width <= 0 || height <= 0) return nullptr;
    const char *t = title ? title : "";
    if (!Plat_Open_Window(t, width, height)) return nullptr;
    HWND w = &the_window;
    *w = HWND__{};
    w->open = 1;
    w->style = style;
    w->ex_style = ex_style;
    w->x = x;
    w->y = y;
    w->width = width;
    w->height = height;
    w->wclass = &c->wc;
    std::snprintf(w->title, sizeof w->title, "%s", t);
    if (SendMessageA(w, WM_CREATE, 0, 0) == -1) {
        Plat_Close_Window();
        w->open = 0;
        return nullptr;
    }
    return w;
}

BOOL DestroyWindow(HWND hwnd) {
    if (!hwnd || !hwnd->open) return FALSE;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    Plat_Close_Window();
    hwnd->open = 0;
    return TRUE;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (!hwnd || !hwnd->wclass || !hwnd->wclass->lpfnWndProc) return 0;
    return hwnd->wclass->lpfnWndProc(hwnd, msg, wparam, lparam);
}

LRESULT DispatchMessageA(const MSG *msg) {
    if (!msg) return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL TranslateMessage(const MSG *) {
    return FALSE;
}

namespace {

// One slot of the posted queue stays free for WM_QUIT, so a full queue can never keep the
// program from ending.
BOOL enqueue(Msg_Queue &q, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, int reserve) {
    if (q.count >= SHELL_QUEUE_SIZE - reserve) return FALSE;
    MSG &m = q.m[q.count++];
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wparam;
    m.lParam = lparam;
    m.time = Plat_Ticks();
    m.pt = POINT{0, 0};
    return TRUE;
}

} // namespace

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_QUIT) return FALSE; // only PostQuitMessage may end the pump
    return enqueue(posted, hwnd, msg, wparam, lparam, 1);
}

void PostQuitMessage(int exit_code) {
    if (quit_queued) {
        for (int i = 0; i < posted.count; i++)
            if (posted.m[i].message == WM_QUIT) posted.m[i].wParam = (WPARAM)exit_code;
        return;
    }
    if (enqueue(posted, nullptr, WM_QUIT, (WPARAM)exit_code, 0, 0)) quit_queued = 1;
}

int Shell_Queue_Length() {
    return posted.count + input.count;
}

namespace {

int paint_queued() {
    for (int i = 0; i < input.count; i++)
        if (input.m[i].message == WM_PAINT) return 1;
    return 0;
}

// Moves the platform's waiting events into the input queue, as long as there is room for them;
// they are addressed to the one window (none while it is closed).
void drain_platform_events() {
    HWND target = the_window.open ? &the_window : nullptr;
    while (input.count < SHELL_QUEUE_SIZE) {
        Plat_Event ev;
        if (!Plat_Poll_Event(&ev)) return;
        int dik = ev.dik & 0xFF;
        // Key messages carry the scan code in wParam and in bits 16-24 of lParam, as the
        // keyboard reports it; nothing in the game reads them.
        LPARAM key_bits = 1 | ((LPARAM)(dik & 0x7F) << 16) | ((dik & 0x80) ? (LPARAM)1 << 24 : 0);
        switch (ev.type) {
        case PLAT_EV_QUIT:
            enqueue(input, target, WM_CLOSE, 0, 0, 0);
            break;
        case PLAT_EV_KEY_DOWN:
            enqueue(input, target, WM_KEYDOWN, (WPARAM)dik, key_bits, 0);
            break;
        case PLAT_EV_KEY_UP:
            enqueue(input, target, WM_KEYUP, (WPARAM)dik, key_bits | ((LPARAM)3 << 30), 0);
            break;
        case PLAT_EV_EXPOSE:
            if (!paint_queued()) enqueue(input, target, WM_PAINT, 0, 0, 0);
            break;
        case PLAT_EV_AWAY:
            enqueue(input, target, WM_KILLFOCUS, 0, 0, 0);
            break;
        default:
            break;
        }
    }
}

BOOL take_from(Msg_Queue &q, MSG *msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
    for (int i = 0; i < q.count; i++) {
        const MSG &m = q.m[i];
        // WM_QUIT passes every filter: the pump must always be able to end.
        if (m.message != WM_QUIT) {
            if (hwnd && m.hwnd != hwnd) continue;
            if ((filter_min || filter_max) && (m.message < filter_min || m.message > filter_max))
                continue;
        }
        *msg = m;
        if (remove & PM_REMOVE) {
            if (m.message == WM_QUIT) quit_queued = 0;
            std::memmove(&q.m[i], &q.m[i + 1], sizeof(MSG) * (size_t)(q.count - i - 1));
            q.count--;
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

BOOL PeekMessageA(MSG *msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove) {
    if (!msg) return FALSE;
    drain_platform_events();
    return take_from(posted, msg, hwnd, filter_min, filter_max, remove) ||
           take_from(input, msg, hwnd, filter_min, filter_max, remove);
}

void *BeginPaint(HWND, PAINTSTRUCT *ps) {
    if (ps) *ps = PAINTSTRUCT{};
    return nullptr;
}

BOOL EndPaint(HWND, const PAINTSTRUCT *) {
    return TRUE;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
    case WM_CLOSE:
        // The window stays open until the program ends, so the credits can still be drawn;
        // the close request then travels the same way as Escape's.
        SendMessageA(hwnd, WM_DESTROY, 0, 0);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return 0;
    }
}

HICON LoadIcon(HINSTANCE hinstance, uintptr_t name) {
    return (!hinstance && name == IDI_APPLICATION) ? (HICON)(0x10000 + name) : 0;
}

HCURSOR LoadCursor(HINSTANCE hinstance, uintptr_t name) {
    return (!hinstance && name == IDC_ARROW) ? (HCURSOR)(0x20000 + name) : 0;
}

HGDIOBJ GetStockObject(int object) {
    return (object >= 0 && object <= 5) ? (HGDIOBJ)(0x30000 + object) : 0;
}

BOOL SystemParametersInfoA(UINT action, UINT param, void *, UINT) {
    if (action != SPI_SETSCREENSAVERRUNNING) return FALSE;
    Plat_Inhibit_Screensaver(param != 0);
    return TRUE;
}

int ShowCursor(BOOL show) {
    int was_shown = cursor_count >= 0;
    cursor_count += show ? 1 : -1;
    int shown = cursor_count >= 0;
    if (shown != was_shown) Plat_Show_Cursor(shown);
    return cursor_count;
}

namespace {

// Scan codes of the virtual keys: letters and digits by their characters, then the rest.
int vk_to_dik(int vk, int *second) {
    static constexpr unsigned char letters[26] = {
        DIK_A, DIK_B, DIK_C, DIK_D, DIK_E, DIK_F, DIK_G, DIK_H, DIK_I, DIK_J, DIK_K, DIK_L, DIK_M,
        DIK_N, DIK_O, DIK_P, DIK_Q, DIK_R, DIK_S, DIK_T, DIK_U, DIK_V, DIK_W, DIK_X, DIK_Y, DIK_Z};
    static constexpr unsigned char fkeys[12] = {DIK_F1, DIK_F2, DIK_F3, DIK_F4,  DIK_F5,  DIK_F6,
                                                DIK_F7, DIK_F8, DIK_F9, DIK_F10, DIK_F11, DIK_F12};
    *second = 0;
    if (vk >= 'A' && vk <= 'Z') return letters[vk - 'A'];
    if (vk == '0') return DIK_0;
    if (vk >= '1' && vk <= '9') return DIK_1 + (vk - '1');
    if (vk >= VK_F1 && vk < VK_F1 + 12) return fkeys[vk - VK_F1];
    switch (vk) {
    case VK_BACK:
        return DIK_BACK;
    case VK_TAB:
        return DIK_TAB;
    case VK_RETURN:
        return DIK_RETURN;
    case VK_SHIFT:
        *second = DIK_RSHIFT;
        return DIK_LSHIFT;
    case VK_CONTROL:
        *second = DIK_RCONTROL;
        return DIK_LCONTROL;
    case VK_MENU:
        *second = DIK_RMENU;
        return DIK_LMENU;
    case VK_ESCAPE:
        return DIK_ESCAPE;
    case VK_SPACE:
        return DIK_SPACE;
    case VK_LEFT:
        return DIK_LEFT;
    case VK_UP:
        return DIK_UP;
    case VK_RIGHT:
        return DIK_RIGHT;
    case VK_DOWN:
        return DIK_DOWN;
    default:
        return 0;
    }
}

} // namespace

short GetAsyncKeyState(int vkey) {
    int second;
    int dik = vk_to_dik(vkey, &second);
    if (!dik) return 0;
    int down = Plat_Key_Down(dik) || (second && Plat_Key_Down(second));
    return down ? (short)0x8000 : (short)0;
}
