// The emulated window system on its own: classes, the window, the queue and the user services.
#include "engine/window/window.h"
#include "platform/dik.h"
#include "platform/headless/headless.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

HINSTANCE__ inst = {7};
int creates_seen = 0;

LRESULT refuse_creation(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_CREATE) {
        creates_seen++;
        return -1;
    }
    return DefWindowProcA(hwnd, msg, w, l);
}

// A window procedure like the game's: a destroyed window asks the pump to quit.
LRESULT test_proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, w, l);
}

WNDCLASSEX make_class(const char *name, WNDPROC proc) {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof(WNDCLASSEX);
    wc.lpfnWndProc = proc;
    wc.hInstance = &inst;
    wc.lpszClassName = name;
    return wc;
}

class Window : public testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(0);
        Shell_Reset();
        creates_seen = 0;
    }
    HWND open_game_window() {
        WNDCLASSEX wc = make_class("WIN3DCLASS", test_proc);
        EXPECT_NE(RegisterClassEx(&wc), 0);
        return CreateWindowEx(0, "WIN3DCLASS", "t", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                              nullptr, &inst, nullptr);
    }
    static MSG take() {
        MSG m{};
        EXPECT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
        return m;
    }
};

TEST_F(Window, ClassRegistration) {
    WNDCLASSEX wc = make_class("A", test_proc);
    EXPECT_NE(RegisterClassEx(&wc), 0);
    EXPECT_EQ(RegisterClassEx(&wc), 0); // the name is taken
    WNDCLASSEX bad = make_class("B", nullptr);
    EXPECT_EQ(RegisterClassEx(&bad), 0);
    bad = make_class("", test_proc);
    EXPECT_EQ(RegisterClassEx(&bad), 0);
    bad = make_class("C", test_proc);
    bad.cbSize = 3;
    EXPECT_EQ(RegisterClassEx(&bad), 0);
    EXPECT_EQ(RegisterClassEx(nullptr), 0);
    // The record is copied: the caller's name buffer may go away.
    char name[8];
    std::strcpy(name, "D");
    WNDCLASSEX d = make_class(name, test_proc);
    ASSERT_NE(RegisterClassEx(&d), 0);
    std::strcpy(name, "X");
    WNDCLASSEX out{};
    EXPECT_TRUE(GetClassInfoEx(&inst, "D", &out));
    EXPECT_STREQ(out.lpszClassName, "D");
    EXPECT_TRUE(UnregisterClassA("D", &inst));
    EXPECT_FALSE(GetClassInfoEx(&inst, "D", &out));
}

TEST_F(Window, CreationNeedsAClassAndRefusesASecondWindow) {
    EXPECT_EQ(CreateWindowEx(0, "NOPE", "t", 0, 0, 0, 800, 600, nullptr, nullptr, &inst, nullptr),
              nullptr);
    HWND w = open_game_window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Headless_Window_Open(), 1);
    EXPECT_EQ(
        CreateWindowEx(0, "WIN3DCLASS", "t", 0, 0, 0, 800, 600, nullptr, nullptr, &inst, nullptr),
        nullptr);
    EXPECT_FALSE(UnregisterClassA("WIN3DCLASS", &inst)); // in use by the open window
}

TEST_F(Window, AWindowProcedureCanRefuseCreation) {
    WNDCLASSEX wc = make_class("R", refuse_creation);
    ASSERT_NE(RegisterClassEx(&wc), 0);
    EXPECT_EQ(CreateWindowEx(0, "R", "t", 0, 0, 0, 800, 600, nullptr, nullptr, &inst, nullptr),
              nullptr);
    EXPECT_EQ(creates_seen, 1);
    EXPECT_EQ(Headless_Window_Open(), 0);
}

TEST_F(Window, QueueIsFifoBoundedAndAlwaysTakesTheQuit) {
    HWND w = open_game_window();
    int posted = 0;
    for (int i = 0; i < 300; i++)
        posted += PostMessageA(w, 0x400, (WPARAM)i, 0);
    EXPECT_EQ(posted, SHELL_QUEUE_SIZE - 1);
    EXPECT_FALSE(PostMessageA(w, WM_QUIT, 0, 0)); // only PostQuitMessage ends the pump
    PostQuitMessage(3);
    PostQuitMessage(4); // one quit; the later code wins
    EXPECT_EQ(Shell_Queue_Length(), SHELL_QUEUE_SIZE);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.wParam, 0u);
    EXPECT_EQ(Shell_Queue_Length(), SHELL_QUEUE_SIZE); // looked at, not taken
    for (int i = 0; i < SHELL_QUEUE_SIZE - 1; i++) {
        m = take();
        ASSERT_EQ(m.wParam, (WPARAM)i);
    }
    m = take();
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 4u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Window, PostedMessagesGoBeforeInput) {
    HWND w = open_game_window();
    for (int i = 0; i < 100; i++)
        Headless_Push_Event({PLAT_EV_KEY_DOWN, DIK_LCONTROL});
    MSG m = take();
    EXPECT_EQ(m.message, WM_KEYDOWN);
    PostMessageA(w, WM_DESTROY, 0, 0);
    m = take(); // 99 key messages wait, the posted one goes first
    EXPECT_EQ(m.message, WM_DESTROY);
    EXPECT_EQ(Shell_Queue_Length(), 99);
    DispatchMessageA(&m);
    m = take();
    EXPECT_EQ(m.message, WM_QUIT);
}

TEST_F(Window, FiltersPickTheFirstMatchingMessage) {
    HWND w = open_game_window();
    PostMessageA(w, 0x400, 1, 0);
    PostMessageA(w, 0x500, 2, 0);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0x500, 0x5FF, PM_REMOVE));
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0x500, 0x5FF, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&m, w, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 1u);
}

TEST_F(Window, PlatformEventsBecomeMessages) {
    HWND w = open_game_window();
    Headless_Push_Event({PLAT_EV_KEY_DOWN, DIK_RIGHT});
    Headless_Push_Event({PLAT_EV_EXPOSE, 0});
    Headless_Push_Event({PLAT_EV_EXPOSE, 0});
    Headless_Push_Event({PLAT_EV_KEY_UP, DIK_A});
    Headless_Push_Event({PLAT_EV_QUIT, 0});
    MSG m = take();
    EXPECT_EQ(m.hwnd, w);
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.wParam, (WPARAM)DIK_RIGHT);
    // Repeat count 1, scan code 0x4D in bits 16-23, extended-key bit 24 for 0xCD.
    EXPECT_EQ(m.lParam, (LPARAM)(1 | 0x4D << 16 | 1 << 24));
    m = take();
    EXPECT_EQ(m.message, WM_PAINT); // two exposures, one paint
    m = take();
    EXPECT_EQ(m.message, WM_KEYUP);
    EXPECT_EQ(m.lParam, (LPARAM)(1 | 0x1E << 16) | (LPARAM)3 << 30);
    m = take();
    EXPECT_EQ(m.message, WM_CLOSE);
    EXPECT_EQ(Shell_Queue_Length(), 0);
    EXPECT_EQ(DispatchMessageA(&m), 0);
    m = take();
    EXPECT_EQ(m.message, WM_QUIT);
}

TEST_F(Window, CursorShowsWhileItsCountIsNotNegative) {
    EXPECT_EQ(Headless_Cursor_Shown(), 1);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(Headless_Cursor_Shown(), 0);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(Headless_Cursor_Shown(), 0);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(Headless_Cursor_Shown(), 1);
}

TEST_F(Window, ScreenSaverAnnouncement) {
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, nullptr, 0));
    EXPECT_EQ(Headless_Screensaver_Inhibited(), 1);
    EXPECT_FALSE(SystemParametersInfoA(98, 0, nullptr, 0)); // other actions are not handled
    EXPECT_EQ(Headless_Screensaver_Inhibited(), 1);
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, nullptr, 0));
    EXPECT_EQ(Headless_Screensaver_Inhibited(), 0);
}

TEST_F(Window, AsyncKeyStateAnswersFromTheLatestKeyboardRead) {
    uint8_t keys[256];
    Headless_Set_Key(DIK_ESCAPE, 1);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0); // not read yet
    Plat_Read_Keyboard(keys);
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0);
    Headless_Set_Key(DIK_ESCAPE, 0);
    EXPECT_NE(GetAsyncKeyState(VK_ESCAPE) & 0x8000, 0);
    Plat_Read_Keyboard(keys);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    Headless_Set_Key(DIK_RSHIFT, 1);
    Headless_Set_Key(DIK_A, 1);
    Headless_Set_Key(DIK_F10, 1);
    Plat_Read_Keyboard(keys);
    EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0); // either shift key
    EXPECT_NE(GetAsyncKeyState('A') & 0x8000, 0);
    EXPECT_NE(GetAsyncKeyState(VK_F1 + 9) & 0x8000, 0);
    EXPECT_EQ(GetAsyncKeyState('B'), 0);
    EXPECT_EQ(GetAsyncKeyState(0xFF), 0);
    EXPECT_EQ(GetAsyncKeyState(-5), 0);
}

} // namespace
