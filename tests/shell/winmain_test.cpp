// WinMain over doubles of the game's entry points: start-up, the pump, the close request, the end
// sequence and the failures to start.
#include "shell/winmain.h"
#include "game/game.h"
#include "game/screens.h"
#include "platform/dik.h"
#include "platform/headless/headless.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace {

// What the doubles saw, and what a test makes them do.
struct Script {
    std::vector<std::string> log;
    std::vector<int> queue_at_main; // messages waiting when each Game_Main began
    std::vector<int> escape_at_main;
    int main_calls = 0;
    std::function<void()> on_init;
    std::function<void(int call)> on_main;
};
Script S;

std::string state() {
    return std::string(Headless_Screensaver_Inhibited() ? " ss" : "") +
           (Headless_Window_Open() ? " win" : "");
}

} // namespace

int Game_Init(void *) {
    S.log.push_back("init" + state());
    if (S.on_init) S.on_init();
    return 1;
}

int Game_Main(void *) {
    S.main_calls++;
    S.queue_at_main.push_back(Shell_Queue_Length());
    uint8_t keys[256];
    Plat_Read_Keyboard(keys);
    S.escape_at_main.push_back(keys[DIK_ESCAPE]);
    if (S.main_calls <= 2) S.log.push_back("main" + state());
    if (S.on_main) S.on_main(S.main_calls);
    if (S.main_calls >= 1000) PostQuitMessage(99); // a broken pump must not hang the test
    return 1;
}

// The title's key card belongs to the game, which these tests leave out.
void Title_Set_Card(const char *const *, int) {}
// The title runs inside Game_Init, which these doubles leave out: nothing calls the hook.
int (*title_frame_hook)() = nullptr;

int Run_Credits_Screen() {
    S.log.push_back("credits" + state());
    return 1;
}

int Game_Shutdown(void *) {
    S.log.push_back("shutdown" + state());
    return 1;
}

namespace {

HINSTANCE__ instance = {42};
char no_args[1] = "";

int run() {
    return WinMain(&instance, nullptr, no_args, 1);
}

class Shell : public testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(0);
        Shell_Reset();
        S = Script{};
    }
};

TEST_F(Shell, StartPumpAndEndInOrder) {
    S.on_main = [](int call) {
        if (call == 1) PostMessageA(main_window_handle, WM_DESTROY, 0, 0);
    };
    EXPECT_EQ(run(), 0);
    // Pass 1: no message, frame 1 posts the close request. Pass 2: WM_DESTROY is dispatched
    // (the quit is posted) and frame 2 still runs. Pass 3: WM_QUIT leaves the pump.
    EXPECT_EQ(S.main_calls, 2);
    // The screen saver is kept away only from after Game_Init to after Game_Shutdown.
    std::vector<std::string> want = {"init win", "main ss win", "main ss win", "credits ss win",
                                     "shutdown ss win"};
    EXPECT_EQ(S.log, want);
    EXPECT_EQ(Headless_Screensaver_Inhibited(), 0);
    EXPECT_STREQ(Shell_Error(), "");
}

TEST_F(Shell, EscapeHeldEveryFrameStillEnds) {
    S.on_main = [](int) { PostMessageA(main_window_handle, WM_DESTROY, 0, 0); };
    EXPECT_EQ(run(), 0);
    // Pass 2 takes the first WM_DESTROY; frame 2 posts another behind the quit; pass 3 quits.
    EXPECT_EQ(S.main_calls, 2);
    EXPECT_EQ(Shell_Queue_Length(), 0); // the late request went with the program
}

TEST_F(Shell, ABurstIsWorkedOffOnePerFrame) {
    S.on_init = [] {
        for (UINT m = 0x400; m < 0x403; m++)
            PostMessageA(main_window_handle, m, 0, 0);
    };
    S.on_main = [](int call) {
        if (call == 3) PostMessageA(main_window_handle, WM_DESTROY, 0, 0);
    };
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(S.main_calls, 4);
    EXPECT_EQ(S.queue_at_main[0], 2);
    EXPECT_EQ(S.queue_at_main[1], 1);
    EXPECT_EQ(S.queue_at_main[2], 0); // a frame with nothing waiting runs all the same
    EXPECT_EQ(S.queue_at_main[3], 1); // the quit posted by WM_DESTROY waits for the next pass
}

TEST_F(Shell, AKeyBacklogDoesNotDelayTheEnd) {
    S.on_main = [](int call) {
        if (call != 1) return;
        for (int i = 0; i < 200; i++)
            Headless_Push_Event({PLAT_EV_KEY_DOWN, DIK_LCONTROL});
        PostMessageA(main_window_handle, WM_DESTROY, 0, 0);
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(S.main_calls, 2);
}

TEST_F(Shell, QuitLeavesWithoutAFrameAndGivesTheExitCode) {
    S.on_main = [](int call) {
        if (call == 1) PostQuitMessage(7);
    };
    EXPECT_EQ(run(), 7);
    EXPECT_EQ(S.main_calls, 1);
}

TEST_F(Shell, ClosingTheWindowEndsLikeEscape) {
    S.on_main = [](int call) {
        if (call == 2) Headless_Push_Event({PLAT_EV_QUIT, 0});
    };
    EXPECT_EQ(run(), 0);
    // Pass 3 turns the platform's close into WM_CLOSE, whose default handling is WM_DESTROY;
    // frame 3 runs, and pass 4 sees WM_QUIT.
    ASSERT_EQ(S.main_calls, 3);
    EXPECT_EQ(S.escape_at_main[1], 0);
    EXPECT_EQ(S.escape_at_main[2], 0x80); // Escape reads as held from then on
    EXPECT_EQ(S.log.back(), "shutdown ss win");
}

TEST_F(Shell, ClassAndWindowAsTheGameWantsThem) {
    WNDCLASSEX wc{};
    BOOL found = FALSE;
    HWND hwnd = nullptr;
    HINSTANCE inst = nullptr;
    S.on_init = [&] {
        found = GetClassInfoEx(&instance, "WIN3DCLASS", &wc);
        hwnd = main_window_handle;
        inst = main_instance;
        PostMessageA(main_window_handle, WM_DESTROY, 0, 0);
    };
    EXPECT_EQ(run(), 0);
    ASSERT_TRUE(found);
    EXPECT_EQ(wc.style, 0x2Bu);
    EXPECT_EQ(wc.lpfnWndProc, &WindowProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hInstance, &instance);
    EXPECT_EQ(wc.hIcon, LoadIcon(nullptr, IDI_APPLICATION));
    EXPECT_NE(wc.hIcon, 0u);
    EXPECT_EQ(wc.hCursor, LoadCursor(nullptr, IDC_ARROW));
    EXPECT_NE(wc.hCursor, 0u);
    EXPECT_EQ(wc.hbrBackground, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(wc.lpszMenuName, nullptr);
    EXPECT_STREQ(wc.lpszClassName, "WIN3DCLASS");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(inst, &instance);
    EXPECT_EQ(hwnd->style, 0x90000000u);
    EXPECT_EQ(hwnd->ex_style, 0u);
    EXPECT_EQ(hwnd->x, 0);
    EXPECT_EQ(hwnd->y, 0);
    EXPECT_EQ(hwnd->width, 800);
    EXPECT_EQ(hwnd->height, 600);
    EXPECT_STREQ(hwnd->title, "Korv Graphics Console Ver 2.0");
    // The class goes with the program.
    EXPECT_FALSE(GetClassInfoEx(&instance, "WIN3DCLASS", &wc));
    EXPECT_EQ(Headless_Window_Open(), 0);
}

TEST_F(Shell, NoWindowIsAFailureWithAReason) {
    Headless_Set_Available(0, 1);
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(S.log.empty()); // nothing of the game was started
    std::string err = Shell_Error();
    EXPECT_EQ(err.rfind("farwake: cannot open the window: ", 0), 0u) << err;
    EXPECT_NE(err.find("refuse"), std::string::npos) << err; // the platform's own reason
    // The class was given back, so a later start can register it again.
    Headless_Set_Available(1, 1);
    S.on_main = [](int) { PostMessageA(main_window_handle, WM_DESTROY, 0, 0); };
    EXPECT_EQ(run(), 0);
    EXPECT_STREQ(Shell_Error(), "");
}

TEST_F(Shell, NoDisplayIsAFailureWithAReason) {
    Headless_Fail_Init("DISPLAY is not set");
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(S.log.empty());
    EXPECT_STREQ(Shell_Error(), "farwake: cannot open the display: DISPLAY is not set");
}

TEST_F(Shell, RunsTwiceInOneProcess) {
    S.on_main = [](int call) {
        if (call == 1) Headless_Push_Event({PLAT_EV_QUIT, 0});
    };
    EXPECT_EQ(run(), 0);
    int first = S.main_calls;
    EXPECT_EQ(first, 2);
    Headless_Reset(0); // lets go of the held Escape
    S = Script{};
    S.on_main = [](int call) {
        if (call == 3) PostMessageA(main_window_handle, WM_DESTROY, 0, 0);
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(S.main_calls, 4);
    EXPECT_EQ(S.log.front(), "init win");
}

// The game's window procedure on a window of its class: paint and create are handled, a destroy
// (or a close, through the default handling) posts the quit, anything else is passed on.
TEST_F(Shell, WindowProcedureTable) {
    WNDCLASSEX wc{};
    wc.cbSize = sizeof(WNDCLASSEX);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = &instance;
    wc.lpszClassName = "WIN3DCLASS";
    ASSERT_NE(RegisterClassEx(&wc), 0);
    HWND w = CreateWindowEx(0, "WIN3DCLASS", "t", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                            nullptr, &instance, nullptr);
    ASSERT_NE(w, nullptr);
    auto take = [] {
        MSG m{};
        EXPECT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
        return m;
    };
    EXPECT_EQ(WindowProc(w, WM_CREATE, 0, 0), 0);
    EXPECT_EQ(WindowProc(w, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(WindowProc(w, 0x0400, 5, 6), 0); // passed to the default handling: nothing
    EXPECT_EQ(Shell_Queue_Length(), 0);
    EXPECT_EQ(WindowProc(w, WM_DESTROY, 0, 0), 0);
    ASSERT_EQ(Shell_Queue_Length(), 1);
    MSG m = take();
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 0u);
    // A close request goes through the default handling to WM_DESTROY, and so to the quit.
    EXPECT_EQ(WindowProc(w, WM_CLOSE, 0, 0), 0);
    m = take();
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(Headless_Window_Open(), 1); // the window stays for the credits
}

} // namespace
