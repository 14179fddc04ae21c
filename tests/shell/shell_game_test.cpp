// The whole program over the headless backend: Escape and closing the window both end it with
// status 0, every frame paced to 30 ms of the virtual clock.
#include "shell/winmain.h"
#include "game/screens.h"
#include "shell/menu.h"
#include "shell/pause.h"
#include "shell/prefs.h"
#include "shell/record.h"
#include "tests/support/temp_folder.h"
#include "tests/support/game_run.h"
#include "platform/dik.h"
#include "platform/headless/headless.h"
#include <gtest/gtest.h>
#include <cstring>
#include <vector>

namespace {

HINSTANCE__ instance = {1};
char no_args[1] = "";

struct Run_State {
    int escape_reads[2]; // reads at which Escape is down (-1: none)
    int close_at_frame;  // frame after which the window is closed (0: never)
    const std::vector<Plat_Event> *close_events; // what closes it (null: the window's close)
    int frames;
    SNAPSHOT_TYP first; // the first frame's picture
};
Run_State R;

void keys(int read, uint8_t state[256], void *) {
    if (read == R.escape_reads[0] || read == R.escape_reads[1]) state[DIK_ESCAPE] = 0x80;
}

// Copies an 800 x 600 presented picture into a snapshot.
void keep_picture(SNAPSHOT_TYP *s, const uint16_t *px, int pitch, int packing) {
    s->packing = packing;
    s->picture.resize(800 * 600);
    for (int y = 0; y < 600; y++)
        std::memcpy(&s->picture[(size_t)y * 800], (const uint8_t *)px + (size_t)y * pitch, 1600);
}

void count_frames(const uint16_t *px, int w, int h, int pitch, int packing, void *) {
    if (R.frames == 0 && w == 800 && h == 600) keep_picture(&R.first, px, pitch, packing);
    R.frames++;
    if (R.frames != R.close_at_frame) return;
    if (!R.close_events) {
        Headless_Push_Event({PLAT_EV_QUIT, 0});
        return;
    }
    for (const Plat_Event &ev : *R.close_events)
        Headless_Push_Event(ev);
}

// The shown frames when a paused pump first idled (0: never), and whether it was asking then; that
// first idle pass closes the window, so a test that should not pause ends all the same.
int paused_at, paused_asking;
void close_at_first_pause() {
    if (paused_at) return;
    paused_at = R.frames;
    paused_asking = Shell_Asking_To_Quit();
    Headless_Push_Event({PLAT_EV_QUIT, 0});
}

// How many times what appears in text.
size_t Count(const std::string &text, const std::string &what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

class WholeProgram : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        Reset();
    }
    // A fresh program: clock, shell and this test's run state.
    void Reset() {
        Headless_Reset(1000);
        Shell_Reset();
        R = Run_State{{-1, -1}, 0, nullptr, 0, {}};
        paused_at = paused_asking = 0;
        Headless_Set_Key_Source(keys, nullptr);
        Headless_Set_Frame_Hook(count_frames, nullptr);
    }
    // Records the whole program's run into dir/name; the recording's text.
    std::string Record(const std::string &name) {
        GAME_LOG_OPTIONS_TYP record;
        const std::string path = dir + "/" + name;
        record.record = path.c_str();
        std::string error;
        EXPECT_EQ(Game_Logs_Open(record, "test", "farwake", 1, &error), 1) << error;
        EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
        EXPECT_EQ(Game_Logs_Close(), 0);
        return Read(name);
    }
    // Replays the recording at path in a fresh program; what the replay printed at its close.
    std::string Replay(const std::string &path) {
        Reset();
        GAME_LOG_OPTIONS_TYP replay;
        replay.replay = path.c_str();
        std::string error;
        EXPECT_EQ(Game_Logs_Open(replay, "test", "farwake", 1, &error), 1) << error;
        EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
        testing::internal::CaptureStdout();
        EXPECT_EQ(Game_Logs_Close(), 0);
        return testing::internal::GetCapturedStdout();
    }
};

// Title, game and credits frames last 30 ms each; after the title's last frame the screen holds
// until 200 ms past that frame's start (170 ms more), after the credits' until 100 ms (70 more).
TEST_F(WholeProgram, EscapeLeavesTitleThenGameThenCredits) {
    // Reads 0-2 are title frames, read 3 ends the title; reads 4-9 are game frames, read 10
    // holds Escape, so that frame posts the close request; the next frame (read 11) runs while
    // the quit is posted; the credits' first frame (read 12) sees no Escape and the credits
    // play to frame 1201.
    R.escape_reads[0] = 3;
    R.escape_reads[1] = 10;
    EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
    EXPECT_EQ(Headless_Keyboard_Reads(), 4 + 8 + 1201);
    EXPECT_EQ(R.frames, 4 + 8 + 1201);
    EXPECT_EQ(Plat_Ticks() - 1000u, 30u * (4 + 8 + 1201) + 170u + 70u);
    EXPECT_EQ(Headless_Window_Open(), 0);
    EXPECT_EQ(Headless_Screensaver_Inhibited(), 0);
}

TEST_F(WholeProgram, ClosingTheWindowEndsItLikeEscape) {
    // Closed while the fifth title frame is shown: the title's next read (read 5) sees Escape
    // and ends it. The pump's first pass takes the close (WM_CLOSE, then WM_DESTROY, which
    // posts the quit) and runs one game frame; the second pass quits. The credits see Escape
    // held and end after their first frame.
    R.close_at_frame = 5;
    EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
    EXPECT_EQ(R.frames, 6 + 1 + 1);
    EXPECT_EQ(Plat_Ticks() - 1000u, 30u * (6 + 1 + 1) + 170u + 70u);
}

// A run the player ends mid-game other than by the game's keys (closing the window, Escape in
// the pause) leaves a recording that says so, and it replays: every check up to the close.
TEST_F(WholeProgram, ARunClosedMidGameReplays) {
    const std::vector<Plat_Event> pause_escape = {{PLAT_EV_KEY_DOWN, DIK_P},
                                                  {PLAT_EV_KEY_DOWN, DIK_ESCAPE}};
    const struct {
        const char *way;
        const std::vector<Plat_Event> *events;
    } ways[] = {{"the window closed", nullptr}, {"Escape in the pause", &pause_escape}};
    for (const auto &w : ways) {
        SCOPED_TRACE(w.way);
        Reset();
        const std::string path = dir + "/run.rec";
        // The title ends at read 3; 150 frames (reads 0 to 149) in, the game is mid-play.
        R.escape_reads[0] = 3;
        R.close_at_frame = 150;
        R.close_events = w.events;
        const std::string text = Record("run.rec");
        EXPECT_NE(text.find("\n# check 149 "), std::string::npos) << text;
        EXPECT_NE(text.find("\n# closed after read 149\n"), std::string::npos) << text;
        EXPECT_EQ(text.find("# end"), std::string::npos) << text;

        const std::string verdict = Replay(path);
        EXPECT_NE(verdict.find("replay matches (3 checks)"), std::string::npos) << verdict;
        EXPECT_NE(verdict.find("the recorded run was closed after read 149"), std::string::npos);
    }
}

// The title's card shows the keys as bound: the settings' WASD keys, each line in its place.
TEST_F(WholeProgram, TitleCardShowsTheBoundKeys) {
    SETTINGS_TYP wasd;
    wasd.keys = Keymap_Wasd();
    Prefs_Start(wasd, wasd, "");
    R.close_at_frame = 1;
    EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
    const char *want[] = {"Esc  start", "A/D  turn",    "W  thrust", "S  afterburner",
                          "Ctrl  fire", "Alt  missile", "P  pause",  "F1  settings"};
    for (int i = 0; i < 8; i++)
        EXPECT_TRUE(Text_Shown(R.first, want[i], TITLE_CARD_X + (i % 4) * TITLE_CARD_COLUMN_W,
                               TITLE_CARD_Y + (i / 4) * TITLE_CARD_ROW_H, TITLE_CARD_COLOR))
            << want[i];
    EXPECT_FALSE(Text_Shown(R.first, "Up  thrust", TITLE_CARD_X + 2 * TITLE_CARD_COLUMN_W,
                            TITLE_CARD_Y, TITLE_CARD_COLOR));
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    Title_Set_Card(nullptr, 0);
}

// Escape asked and the game played on: its reads never saw that Escape, held across a read
// before its press was taken, so the recording holds only the title's Escape and replays to
// the bit, up to the second question's quit.
TEST_F(WholeProgram, ARunAskedAndPlayedOnReplays) {
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    shell_asks_to_quit = 1;
    const std::string path = dir + "/asked.rec";
    // Escape is down at read 150; its press is taken after it: asked, A plays on (one frame,
    // read 151, runs), asked again, Escape quits.
    const std::vector<Plat_Event> events = {{PLAT_EV_KEY_DOWN, DIK_ESCAPE},
                                            {PLAT_EV_KEY_DOWN, DIK_A},
                                            {PLAT_EV_KEY_DOWN, DIK_ESCAPE},
                                            {PLAT_EV_KEY_DOWN, DIK_ESCAPE}};
    R.escape_reads[0] = 3;
    R.escape_reads[1] = 150;
    R.close_at_frame = 151;
    R.close_events = &events;
    const std::string text = Record("asked.rec");
    shell_asks_to_quit = 0;
    EXPECT_NE(text.find("\n# closed after read 151\n"), std::string::npos) << text;
    EXPECT_EQ(Count(text, "ESCAPE"), 1u) << text; // the title's, at read 3

    const std::string verdict = Replay(path);
    // Every check the recording holds matched (each question's pause checks the frame before it).
    const size_t checks = Count(text, "\n# check ");
    EXPECT_GE(checks, 3u);
    EXPECT_NE(verdict.find("replay matches (" + std::to_string(checks) + " checks)"),
              std::string::npos)
        << verdict;
    EXPECT_NE(verdict.find("the recorded run was closed after read 151"), std::string::npos);
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
}

// A focus lost while the title shows (at its second read) does not pause the game the title's
// Escape starts: its frames run until the window is closed, with no pause between.
TEST_F(WholeProgram, AFocusLostOnTheTitleDoesNotPauseTheGame) {
    shell_pause_idle_hook = close_at_first_pause;
    Headless_Set_Key_Source(
        [](int read, uint8_t state[256], void *) {
            if (read == 1) Headless_Push_Event({PLAT_EV_AWAY, 0});
            if (read == 3) state[DIK_ESCAPE] = 0x80;
        },
        nullptr);
    R.close_at_frame = 40;
    EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
    shell_pause_idle_hook = nullptr;
    EXPECT_EQ(paused_at, 0);
    EXPECT_GE(R.frames, 40);
}

// The controller's Back held from the title, which it left, does not ask once the game runs;
// let go and pressed again, it asks (the first idle pass of the question's pause ends the run).
TEST_F(WholeProgram, BackHeldFromTheTitleAsksOnlyWhenPressedAgain) {
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    shell_asks_to_quit = 1;
    shell_pause_idle_hook = close_at_first_pause;
    Headless_Set_Frame_Hook(
        [](const uint16_t *, int, int, int, int, void *) {
            R.frames++;
            if (R.frames == 60) Headless_Set_Pad(0);
            if (R.frames == 70) Headless_Set_Pad(1u << PLAT_PAD_BACK);
        },
        nullptr);
    Headless_Set_Pad(1u << PLAT_PAD_BACK);
    EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
    shell_pause_idle_hook = nullptr;
    shell_asks_to_quit = 0;
    Headless_Set_Pad(0);
    EXPECT_EQ(paused_at, 71); // the question's dimmed picture follows the 70th
    EXPECT_TRUE(paused_asking);
}

// F1 on the title opens the menu drawn over the dimmed title, which waits meanwhile (no frame,
// no read); a change made there applies, and leaving the menu goes back to the title, whose own
// Escape then starts the game as ever.
TEST_F(WholeProgram, MenuOnTheTitleIsDrawnAndTheTitleWaits) {
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
    static SNAPSHOT_TYP menu_shown;
    static int reads_at_menu, reads_after, presents_in_menu;
    static std::vector<std::string> texts;
    menu_shown = SNAPSHOT_TYP{};
    reads_at_menu = reads_after = -1;
    presents_in_menu = 0;
    texts.clear();
    // The title's Escape comes at read 20, long after the menu has been left.
    R.escape_reads[0] = 20;
    Headless_Set_Frame_Hook(
        [](const uint16_t *px, int w, int h, int pitch, int packing, void *) {
            R.frames++;
            if (R.frames == 3) {
                // Sound, the volume one step down, back, and out of the menu.
                for (int k : {DIK_F1, DIK_DOWN, DIK_DOWN, DIK_DOWN, DIK_DOWN, DIK_RETURN, DIK_LEFT,
                              DIK_ESCAPE, DIK_ESCAPE}) {
                    Headless_Push_Event({PLAT_EV_KEY_DOWN, k});
                    Headless_Push_Event({PLAT_EV_KEY_UP, k});
                }
                return;
            }
            if (Menu_Is_Open()) {
                if (presents_in_menu++ == 0) {
                    reads_at_menu = Headless_Keyboard_Reads();
                    if (w == 800 && h == 600) keep_picture(&menu_shown, px, pitch, packing);
                }
                texts.push_back(Menu_Text());
            } else if (presents_in_menu && reads_after < 0) {
                reads_after = Headless_Keyboard_Reads(); // the title's next frame
            }
            if (R.frames == 40) Headless_Push_Event({PLAT_EV_QUIT, 0});
        },
        nullptr);
    EXPECT_EQ(WinMain(&instance, nullptr, no_args, 1), 0);
    // Three title frames, then the menu: drawn at each key, the title reading nothing.
    EXPECT_EQ(reads_at_menu, 3);
    EXPECT_EQ(reads_after, 4);
    EXPECT_GE(presents_in_menu, 7);
    EXPECT_TRUE(Text_Shown(menu_shown, "Paused", 196, 84, 0x0070D0F0));
    EXPECT_TRUE(
        Text_Shown(menu_shown, "Arrows move, Enter takes, Esc goes back", 196, 502, 0x00A0A0A0));
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].rfind("Paused\n> Resume\n", 0), 0u) << texts[0];
    EXPECT_EQ(Prefs_Run().volume, 90);
    EXPECT_EQ(Shell_Paused(), 0);
    // The title ran on to its own Escape at read 20: 21 title reads, then the game's.
    EXPECT_GT(Headless_Keyboard_Reads(), 21);
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
}

} // namespace
