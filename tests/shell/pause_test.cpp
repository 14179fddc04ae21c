// The pause through the real pump over doubles of the game's entry points: what pauses and
// resumes, that no frame runs and no keyboard is read meanwhile, the dimmed picture with its
// text, the sound held, and Escape ending a paused game.
#include "engine/graphics/ddraw.h"
#include "platform/dik.h"
#include "engine/input/dinput.h"
#include "engine/sound/dsound.h"
#include "game/game.h"
#include "game/screens.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/menu.h"
#include "shell/menu_runs.h"
#include "shell/pause.h"
#include "shell/prefs.h"
#include "engine/window/window.h"
#include "shell/winmain.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

namespace {

// 5.5.5 white, and the same at half brightness: each component 31 >> 1 = 15.
constexpr uint16_t WHITE = 0x7FFF;
constexpr uint16_t HALF_WHITE = 0x3DEF;

struct PAUSE_RUN {
    int main_calls = 0;
    int reads_at_pause = -1;
    int credits_paused = -1;
    std::vector<std::vector<uint16_t>> shown; // every presented picture
    std::function<void(int call)> on_main;
    std::function<void(int present)> on_present; // after the picture is kept
};
PAUSE_RUN R;

void Keep_Frame(const uint16_t *px, int w, int h, int pitch_bytes, int, void *) {
    std::vector<uint16_t> pic((size_t)w * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            pic[(size_t)y * w + x] =
                *(const uint16_t *)((const uint8_t *)px + (size_t)y * pitch_bytes + 2 * x);
    R.shown.push_back(pic);
    if (R.on_present) R.on_present((int)R.shown.size() - 1);
}

void Push_Key(int dik) {
    Headless_Push_Event(Plat_Event{PLAT_EV_KEY_DOWN, dik});
    Headless_Push_Event(Plat_Event{PLAT_EV_KEY_UP, dik});
}

class Pause : public ::testing::Test {
  protected:
    void SetUp() override {
        R = PAUSE_RUN{};
        Shell_Reset();
        Headless_Reset(0);
        Headless_Set_Available(1, 1);
        Headless_Set_Frame_Hook(Keep_Frame, nullptr);
    }
    void TearDown() override { Headless_Set_Frame_Hook(nullptr, nullptr); }
    int run() {
        HINSTANCE__ instance{1};
        return WinMain(&instance, nullptr, nullptr, 0);
    }
};

} // namespace

// Doubles: a white frame every call, Escape from the keyboard read ending the game.
int Game_Init(void *) {
    DDraw_Init(800, 600, 16, 0);
    dd_pixel_format = 15;
    DInput_Init();
    DInput_Init_Keyboard();
    DSound_Init();
    return 1;
}

int Game_Main(void *) {
    R.main_calls++;
    DInput_Read_Keyboard();
    DDraw_Fill_Surface(lpddsback, WHITE, nullptr);
    DDraw_Flip();
    Plat_Wait_Until(Plat_Ticks() + 30);
    if (R.on_main) R.on_main(R.main_calls);
    if (keyboard_state[DIK_ESCAPE]) PostMessageA(main_window_handle, WM_DESTROY, 0, 0);
    return 1;
}

// The title's key card belongs to the game, which these tests leave out.
void Title_Set_Card(const char *const *, int) {}
// The title runs inside Game_Init, which these doubles leave out: nothing calls the hook.
int (*title_frame_hook)() = nullptr;

int Run_Credits_Screen() {
    R.credits_paused = Headless_Paused();
    return 1;
}

int Game_Shutdown(void *) {
    DSound_Shutdown();
    DInput_Shutdown();
    DDraw_Shutdown();
    return 1;
}

namespace {

TEST_F(Pause, PKeyPausesWithADimmedPictureAndResumes) {
    int paused_at = -1;
    R.on_main = [&](int call) {
        if (call == 3) Push_Key(DIK_P);
        if (call == 5) Headless_Set_Key(DIK_ESCAPE, 1);
    };
    R.on_present = [&](int present) {
        if (present != 3) return; // frames 0..2 are white, then the pause picture
        paused_at = R.main_calls;
        R.reads_at_pause = Headless_Keyboard_Reads();
        EXPECT_EQ(Headless_Paused(), 1);
        // Uncovered while paused: the same picture again; other keys and focus loss change
        // nothing; then P resumes.
        Headless_Push_Event(Plat_Event{PLAT_EV_EXPOSE, 0});
        Push_Key(DIK_A);
        Headless_Push_Event(Plat_Event{PLAT_EV_AWAY, 0});
        Push_Key(DIK_P);
    };
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(paused_at, 3);
    ASSERT_GE(R.shown.size(), 6u);
    const std::vector<uint16_t> &pic = R.shown[3];
    // Half white everywhere but the text, which sits centred across a third of the way down
    // (y 192 to 208) in full white, off the ship in the middle of the screen.
    int text = 0, outside = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            uint16_t p = pic[(size_t)y * 800 + x];
            bool band = x >= 360 && x < 440 && y >= 188 && y < 212;
            if (p == WHITE && band) text++;
            if (!band && p != HALF_WHITE) outside++;
        }
    EXPECT_GT(text, 30);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(R.shown[4], pic);      // the repaint
    EXPECT_EQ(R.shown[5][0], WHITE); // the game again
    EXPECT_EQ(Headless_Paused(), 0);
    EXPECT_EQ(R.credits_paused, 0);
}

TEST_F(Pause, NoFrameAndNoKeyboardReadWhilePausedByFocusLoss) {
    int reads_after = -1, calls_after = -1;
    R.on_main = [&](int call) {
        if (call == 2) Headless_Push_Event(Plat_Event{PLAT_EV_AWAY, 0});
        if (call == 4) Headless_Set_Key(DIK_ESCAPE, 1);
    };
    R.on_present = [&](int present) {
        if (present == 2) {
            R.reads_at_pause = Headless_Keyboard_Reads();
            // Five messages taken one per pass, none of which resumes.
            for (int i = 0; i < 5; i++)
                Headless_Push_Event(Plat_Event{PLAT_EV_EXPOSE, 0});
            Push_Key(DIK_PAUSE);
        }
        if (present == 3) {
            reads_after = Headless_Keyboard_Reads();
            calls_after = R.main_calls;
        }
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(R.reads_at_pause, 2);
    // The repaints came while paused: no frame and no read between the pause and them.
    EXPECT_EQ(reads_after, 2);
    EXPECT_EQ(calls_after, 2);
    EXPECT_GE(R.main_calls, 4);
}

TEST_F(Pause, EscapeEndsAPausedGameWithoutAnotherFrame) {
    R.on_main = [&](int call) {
        if (call == 2) Push_Key(DIK_P);
    };
    R.on_present = [&](int present) {
        if (present == 2) Push_Key(DIK_ESCAPE);
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(R.main_calls, 2);
    // The credits run unpaused, with their sound.
    EXPECT_EQ(R.credits_paused, 0);
}

TEST_F(Pause, TheSoundHoldsStillWhilePaused) {
    Headless_Capture_Audio(1);
    size_t before = 0, during = 0;
    R.on_main = [&](int call) {
        if (call == 2) Push_Key(DIK_P);
        if (call == 4) Headless_Set_Key(DIK_ESCAPE, 1);
    };
    R.on_present = [&](int present) {
        if (present != 2) return;
        before = Headless_Audio().size();
        // Sleeping the length of many frames pulls no sound.
        for (int i = 0; i < 50; i++)
            Shell_Pause_Idle(nullptr);
        during = Headless_Audio().size();
        Push_Key(DIK_P);
    };
    EXPECT_EQ(run(), 0);
    EXPECT_GT(before, 0u);
    EXPECT_EQ(during, before);
    EXPECT_GT(Headless_Audio().size(), during); // the frames after the pause play on
    Headless_Capture_Audio(0);
}

// F1 in a paused game opens the menu; the volume and two keys are changed from it (one taken
// from another action), each change is saved at once, and Quit ends the game. Meanwhile no
// frame runs and the keyboard is not read.
TEST_F(Pause, MenuChangesVolumeAndKeysAndSavesEachChange) {
    namespace fs = std::filesystem;
    fs::path file = fs::temp_directory_path() / ("fw_menu_" + std::to_string(::getpid()) + ".ini");
    fs::remove(file);
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, file.string());
    std::vector<std::string> texts;
    int reads = -1, calls = -1;
    R.on_main = [&](int call) {
        if (call == 2) Push_Key(DIK_P);
    };
    R.on_present = [&](int present) {
        if (Menu_Is_Open()) texts.push_back(Menu_Text());
        if (present != 2) return;
        reads = Headless_Keyboard_Reads();
        calls = R.main_calls;
        const int keys[] = {// Sound: the volume one step down, then back to the first page.
                            DIK_F1, DIK_DOWN, DIK_DOWN, DIK_DOWN, DIK_DOWN, DIK_RETURN, DIK_LEFT,
                            DIK_ESCAPE,
                            // Keys: W for thrust, then D (the readout's) for fire.
                            DIK_UP, DIK_UP, DIK_UP, DIK_RETURN, DIK_DOWN, DIK_DOWN, DIK_RETURN,
                            DIK_W, DIK_DOWN, DIK_DOWN, DIK_RETURN, DIK_D, DIK_ESCAPE,
                            // Quit, the last row of the first page.
                            DIK_UP, DIK_UP, DIK_RETURN};
        for (int k : keys)
            Push_Key(k);
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(Headless_Keyboard_Reads(), reads);
    EXPECT_EQ(R.main_calls, calls);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "Paused\n> Resume\n  Keys\n  Controller\n  Display\n  Sound\n"
                        "  Best runs\n  Ask before quit  on\n  Quit\nArrows move, Enter takes, Esc goes back\n");
    auto shown = [&](const std::string &what) {
        for (const std::string &t : texts)
            if (t.find(what) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(shown("> Volume           90\n"));
    EXPECT_TRUE(shown("W is thrust\n"));
    EXPECT_TRUE(shown("D is fire, taken from debug readout\n"));
    EXPECT_EQ(Prefs_Run().volume, 90);
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    for (const char *line :
         {"\nvolume = 90\n", "\nthrust = W UP\n", "\nfire = D LCONTROL\n", "\ndebug = none\n"})
        EXPECT_NE(text.str().find(line), std::string::npos) << line;
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    fs::remove(file);
}

// Escape in a running game asks once, over the dimmed picture, with no frame run and no keyboard
// read; the game's reads never see that Escape, even held. The answer decides: Escape quits at
// once, another key plays on (and the next Escape asks again), and with confirm_quit off or in a
// program that does not ask, Escape reaches the game as it always did.
TEST_F(Pause, EscapeInAGameAsksOnce) {
    const struct {
        const char *what;
        int asks, confirm, answer;
        int want_calls; // game frames run in all
    } cases[] = {
        // Escape goes down after frame 3 and its press is taken after frame 4: frame 4 read it
        // held (the game's Escape, which ends the game after one frame more) or not at all.
        {"Escape answers: quit", 1, 1, DIK_ESCAPE, 4},
        {"another key answers: play on", 1, 1, DIK_A, 7},
        {"confirm_quit off: the game's Escape", 1, 0, 0, 5},
        {"a program that never asks", 0, 1, 0, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        SETTINGS_TYP settings;
        settings.confirm_quit = c.confirm;
        Prefs_Start(settings, settings, "");
        shell_asks_to_quit = c.asks;
        int seen_escape = 0, asked_reads = -1, asked_calls = -1, text = 0, shown_asking = -1;
        R.on_main = [&](int call) {
            seen_escape |= keyboard_state[DIK_ESCAPE] != 0;
            // Held down as a real key is, the next read seeing it before its press is taken.
            if (call == 3) Headless_Set_Key(DIK_ESCAPE, 1);
            if (call == 4) Headless_Push_Event(Plat_Event{PLAT_EV_KEY_DOWN, DIK_ESCAPE});
            // Played on: a later Escape asks again and a second one quits.
            if (call == 7) Push_Key(DIK_ESCAPE), Push_Key(DIK_ESCAPE);
        };
        R.on_present = [&](int present) {
            if (!Shell_Asking_To_Quit() || shown_asking >= 0) return;
            shown_asking = present;
            asked_reads = Headless_Keyboard_Reads();
            asked_calls = R.main_calls;
            // The question in full white a third of the way down, the rest dimmed.
            for (int y = 188; y < 212; y++)
                for (int x = 200; x < 600; x++)
                    text += R.shown[present][(size_t)y * 800 + x] == WHITE;
            EXPECT_EQ(R.shown[present][300 * 800 + 400], HALF_WHITE); // the ship's place
            for (int i = 0; i < 10; i++)
                Shell_Pause_Idle(nullptr);
            EXPECT_EQ(Headless_Keyboard_Reads(), asked_reads);
            Headless_Set_Key(DIK_ESCAPE, 0);
            Push_Key(c.answer);
        };
        EXPECT_EQ(run(), 0);
        EXPECT_EQ(R.main_calls, c.want_calls);
        if (c.asks && c.confirm) {
            EXPECT_EQ(seen_escape, 0);
            EXPECT_EQ(asked_calls, 4);
            EXPECT_GT(text, 100);
        } else {
            EXPECT_EQ(seen_escape, 1);
            EXPECT_EQ(shown_asking, -1);
        }
        EXPECT_EQ(Shell_Asking_To_Quit(), 0);
        EXPECT_EQ(R.credits_paused, 0);
        shell_asks_to_quit = 0;
        Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    }
}

// The menu's Quit asks too; another key goes back to the menu, and Escape then quits.
TEST_F(Pause, MenuQuitAsksAndGoesBackToTheMenu) {
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    shell_asks_to_quit = 1;
    std::vector<std::string> steps;
    R.on_main = [&](int call) {
        if (call == 2) Push_Key(DIK_F1);
    };
    R.on_present = [&](int) {
        std::string now = Shell_Asking_To_Quit() ? "asking" : Menu_Is_Open() ? "menu" : "";
        if (now.empty() || (!steps.empty() && steps.back() == now)) return;
        steps.push_back(now);
        if (steps.size() == 1) Push_Key(DIK_UP), Push_Key(DIK_RETURN); // Quit, the last row
        if (steps.size() == 2) Push_Key(DIK_SPACE);                    // play on: the menu
        if (steps.size() == 3) Push_Key(DIK_RETURN);                   // Quit again
        if (steps.size() == 4) Push_Key(DIK_ESCAPE);                   // quit
    };
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(R.main_calls, 2);
    EXPECT_EQ(steps, (std::vector<std::string>{"menu", "asking", "menu", "asking"}));
    shell_asks_to_quit = 0;
}

// The controller works the menu: Start opens it, the pad moves, A takes, B goes back, and a
// button pressed for an action binds it. A button held on is one press, not one per pass.
TEST(PauseMenu, ControllerOpensAndWorksTheMenu) {
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    auto press = [](int button) {
        Menu_Pad(1u << button);
        Menu_Pad(1u << button); // still held: nothing more
        Menu_Pad(0);
    };
    Menu_Pad(0);
    press(PLAT_PAD_START);
    ASSERT_EQ(Menu_Is_Open(), 1);
    press(PLAT_PAD_DPDOWN);
    press(PLAT_PAD_DPDOWN);
    EXPECT_NE(Menu_Text().find("> Controller\n"), std::string::npos) << Menu_Text();
    press(PLAT_PAD_A);
    EXPECT_EQ(Menu_Text().rfind("Controller\n> turn left        dpleft\n", 0), 0u) << Menu_Text();
    press(PLAT_PAD_A);
    press(PLAT_PAD_X);
    EXPECT_EQ(Prefs_Run().keys.pad[KEY_TURN_LEFT], PLAT_PAD_X);
    EXPECT_NE(Menu_Text().find("> turn left        x\n"), std::string::npos) << Menu_Text();
    press(PLAT_PAD_B);
    press(PLAT_PAD_B);
    EXPECT_EQ(Menu_Is_Open(), 0);
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
}

// The "Best runs" page shows what the program hands it, or says that nothing is kept.
TEST(PauseMenu, BestRunsPageListsTheHall) {
#define HINT "Arrows move, Enter takes, Esc goes back\n"
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    struct Case {
        std::vector<MENU_RUN_ROW_TYP> (*source)();
        std::string page;
    } cases[] = {
        {nullptr, "Best runs\n  Runs are not kept\n> Back\n" HINT},
        {[] { return std::vector<MENU_RUN_ROW_TYP>{}; }, "Best runs\n  No game kept yet\n> Back\n" HINT},
        {[] {
             return std::vector<MENU_RUN_ROW_TYP>{{" 1   12400 won", "4:12  12-08 23:10", "", 0}};
         },
         "Best runs\n   1   12400 won   4:12  12-08 23:10\n> Back\n" HINT},
    };
    for (const Case &c : cases) {
        menu_runs_source = c.source;
        Menu_Open();
        for (int i = 0; i < 5; i++)
            Menu_Key(DIK_DOWN);
        ASSERT_NE(Menu_Text().find("> Best runs\n"), std::string::npos) << Menu_Text();
        Menu_Key(DIK_RETURN);
        Menu_Key(DIK_DOWN); // Back, after the lines
        EXPECT_EQ(Menu_Text(), c.page);
        Menu_Key(DIK_RETURN);
        EXPECT_NE(Menu_Text().find("> Best runs\n"), std::string::npos) << Menu_Text();
        Menu_Close();
    }
    menu_runs_source = nullptr;
#undef HINT
}

// Enter on a game of the page hands that game to the program and quits the game being played;
// Enter on a line without a game does nothing.
TEST(PauseMenu, EnterOnABestRunWatchesItsGame) {
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    static MENU_RUN_ROW_TYP asked;
    static int quits;
    struct Case {
        std::vector<MENU_RUN_ROW_TYP> (*source)();
        int downs; // from the page's first row
        std::string file;
        int game;
    } cases[] = {
        {[] {
             return std::vector<MENU_RUN_ROW_TYP>{{" 1     900 lost", "0:09", "a.rec", 3},
                                                  {" 2     500 won", "0:01", "b.rec", 1}};
         },
         1, "b.rec", 1},
        {[] {
             return std::vector<MENU_RUN_ROW_TYP>{{" 1     900 lost", "0:09", "a.rec", 3}};
         },
         0, "a.rec", 3},
        {[] { return std::vector<MENU_RUN_ROW_TYP>{}; }, 0, "", 0}, // "No game kept yet"
    };
    menu_runs_watch = [](const MENU_RUN_ROW_TYP &row) { asked = row; };
    shell_quit_hook = [] { quits++; };
    for (const Case &c : cases) {
        asked = MENU_RUN_ROW_TYP{};
        quits = 0;
        menu_runs_source = c.source;
        Menu_Open();
        for (int i = 0; i < 5; i++)
            Menu_Key(DIK_DOWN);
        Menu_Key(DIK_RETURN);
        for (int i = 0; i < c.downs; i++)
            Menu_Key(DIK_DOWN);
        int outcome = Menu_Key(DIK_RETURN);
        EXPECT_EQ(asked.file, c.file) << c.downs;
        EXPECT_EQ(asked.game, c.game) << c.downs;
        // A game to watch ends the run (the pause quits on it); no game, nothing happens.
        EXPECT_EQ(outcome == MENU_WATCH, c.game != 0) << c.downs;
        EXPECT_EQ(quits, 0) << c.downs;
        Menu_Close();
    }
    // The quit posted for a null window goes nowhere: gone before the next test's pump.
    MSG leftover;
    while (PeekMessageA(&leftover, nullptr, 0, 0, PM_REMOVE)) {
    }
    shell_quit_hook = nullptr;
    menu_runs_watch = nullptr;
    menu_runs_source = nullptr;
}

} // namespace
