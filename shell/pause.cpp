// The pause state of the shell and its picture: the last frame shown, dimmed to half its
// brightness, with "Paused" (or the question before quitting) over it in the engine's own text,
// the menu drawn over it, and the menu opened on the title.
#include "shell/pause.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "engine/graphics/ddraw.h"
#include "engine/graphics/text_face.h"
#include "platform/dik.h"
#include "platform/platform.h"
#include "shell/menu.h"
#include "shell/prefs.h"

namespace {

int paused = 0;
int asking = 0;   // the question before quitting is up
int on_title = 0; // the menu was opened on the title: leaving it goes back to the title
int quitting = 0; // Shell_Quit was called: the run ends
uint32_t game_pad_before = 0;
// The dimmed picture, kept so the menu can be drawn over it again and again.
std::vector<USHORT> backdrop;
int backdrop_w = 0, backdrop_h = 0;
// A paused pump looks at its messages this often.
constexpr uint32_t PAUSE_NAP_MS = 20;
constexpr const char *PAUSE_TEXT = "Paused";
constexpr const char *QUESTION_TEXT = "Quit? Esc to quit, any other key to play on";
// The engine's text face, to centre the text across the picture.
constexpr int TEXT_LINE_HEIGHT = 16;
// A third of the way down: the ship holds the middle of the screen, and the text stays off it.
constexpr int PAUSE_TEXT_Y = 192;
constexpr DWORD PAUSE_TEXT_COLOR = 0x00FFFFFF;
// The longest the title waits for the key that closed the menu to be let go.
constexpr uint32_t KEY_RELEASE_WAIT_MS = 1000;

// How wide a line of the engine's text is, in pixels (0 without the face).
int text_width(const char *text) {
    const Text_Face *face = Text_Face_Find(TEXT_LINE_HEIGHT);
    std::vector<uint8_t> mask;
    int w = 0, h = 0;
    return face && Text_Face_Mask(*face, text, mask, &w, &h) ? w : 0;
}

// Halves every component of a 16-bit pixel: the top bit of each component's neighbour is
// masked off after the shift.
USHORT dim_pixel(USHORT p, int packing) {
    return (USHORT)((p >> 1) & (packing == 16 ? 0x7BEF : 0x3DEF));
}

int drawable() {
    return lpddsprimary && lpddsback && lpddsback->bpp == 16 && lpddsprimary->bpp == 16 &&
           !lpddsback->locked && !lpddsprimary->locked;
}

// Copies the back surface into the backdrop (keep) or the backdrop into it.
int copy_backdrop(int keep) {
    int pitch = 0;
    UCHAR *pixels = DDraw_Lock_Surface(lpddsback, &pitch);
    if (!pixels) return 0;
    int w = lpddsback->width, h = lpddsback->height;
    int ok = 1;
    if (keep) {
        backdrop.resize((size_t)w * h);
        backdrop_w = w;
        backdrop_h = h;
    } else {
        ok = backdrop_w == w && backdrop_h == h && !backdrop.empty();
    }
    for (int y = 0; ok && y < h; y++) {
        USHORT *row = (USHORT *)(pixels + (size_t)y * pitch);
        USHORT *kept = backdrop.data() + (size_t)y * w;
        if (keep)
            std::memcpy(kept, row, (size_t)w * 2);
        else
            std::memcpy(row, kept, (size_t)w * 2);
    }
    DDraw_Unlock_Surface(lpddsback);
    return ok;
}

// Dims the last picture shown in the back surface, keeps it, writes the text and shows it.
// Locking brings the back surface up to the frame last shown (a flip may have swapped the two);
// the game's next frame clears it first, so nothing of this reaches the game.
void show_paused_picture() {
    backdrop.clear();
    if (!drawable()) return;
    int pitch = 0;
    UCHAR *pixels = DDraw_Lock_Surface(lpddsback, &pitch);
    if (!pixels) return;
    for (int y = 0; y < lpddsback->height; y++) {
        USHORT *row = (USHORT *)(pixels + (size_t)y * pitch);
        for (int x = 0; x < lpddsback->width; x++)
            row[x] = dim_pixel(row[x], dd_present_format);
    }
    DDraw_Unlock_Surface(lpddsback);
    copy_backdrop(1);
    Shell_Pause_Show();
}

// Whether a key is one of the pause action's.
int pause_key(int dik) {
    return Keymap_Action_Of_Key(Prefs_Run().keys, dik) == KEY_PAUSE;
}

// Puts the paused game's dimmed picture back in the back surface, unshown; 0 when there is none.
int put_backdrop() {
    return paused && drawable() && copy_backdrop(0);
}

// The dimmed picture with the menu over it.
void show_menu() {
    if (!Menu_Is_Open() || !put_backdrop()) return;
    Menu_Paint(lpddsback);
    DDraw_Flip();
}

// Ends the run, or asks first where Escape is held back from the game.
void quit_or_ask(HWND hwnd) {
    if (!Prefs_Escape_Held()) {
        Shell_Quit(hwnd);
        return;
    }
    asking = 1;
    if (paused)
        Shell_Pause_Show();
    else
        Shell_Set_Paused(1); // shows the question over the dimmed picture
}

// The answer to the question: Escape (or the controller's Back) quits, anything else plays on,
// back to the menu when it was asked from there.
void answer(HWND hwnd, int quit) {
    asking = 0;
    if (quit)
        Shell_Quit(hwnd);
    else if (Menu_Is_Open())
        show_menu();
    else
        Shell_Set_Paused(0);
}

// What a key or button in the menu came to.
void on_menu(HWND hwnd, int outcome) {
    switch (outcome) {
    case MENU_STAY:
    case MENU_OPENED:
        show_menu();
        break;
    case MENU_RESUME:
        Shell_Set_Paused(0);
        break;
    case MENU_LEFT:
        if (on_title)
            Shell_Set_Paused(0);
        else
            Shell_Pause_Show();
        break;
    case MENU_QUIT:
        quit_or_ask(hwnd);
        break;
    case MENU_WATCH:
        // The game being played ends as a quit (kept in the hall) and the chosen one plays.
        Shell_Quit(hwnd);
        break;
    default:
        break;
    }
}

// The title's own pump while its menu is up: every message goes to the window as in a game,
// until the menu is left or the run ends. Then the keys pressed in the menu are let go before
// the title reads the keyboard again, so the Escape that closed the menu does not leave the title.
void run_title_menu(HWND hwnd) {
    uint8_t down[256] = {};
    MSG msg;
    while (paused && !quitting) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            Shell_Pause_Idle(hwnd);
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage((int)msg.wParam); // the game's pump ends on it in turn
            quitting = 1;
            break;
        }
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP)
            down[msg.wParam & 0xFF] = msg.message == WM_KEYDOWN;
        DispatchMessageA(&msg);
    }
    const uint32_t since = Plat_Ticks();
    auto any_down = [&] {
        for (uint8_t d : down)
            if (d) return true;
        return false;
    };
    while (!quitting && any_down() && Plat_Ticks() - since < KEY_RELEASE_WAIT_MS) {
        if (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE))
            down[msg.wParam & 0xFF] = msg.message == WM_KEYDOWN;
        else
            Plat_Wait_Until(Plat_Ticks() + PAUSE_NAP_MS);
    }
    Plat_Pause(0); // forgets the presses made meanwhile, which were the menu's
}

} // namespace

int Shell_Paused() {
    return paused;
}

void Shell_Set_Paused(int on) {
    on = on != 0;
    if (on == paused) return;
    paused = on;
    if (!on) {
        Menu_Close();
        asking = 0;
    }
    Plat_Pause(on);
    if (on && shell_pausing_hook) shell_pausing_hook();
    if (on) show_paused_picture();
}

int Shell_Asking_To_Quit() {
    return asking;
}

void Shell_Pause_Show() {
    if (!put_backdrop()) return;
    const char *text = asking ? QUESTION_TEXT : PAUSE_TEXT;
    Draw_Text_GDI(text, (lpddsback->width - text_width(text)) / 2, PAUSE_TEXT_Y, PAUSE_TEXT_COLOR,
                  lpddsback);
    DDraw_Flip();
}

void Shell_Pause_Key(HWND hwnd, int dik) {
    if (asking) {
        answer(hwnd, dik == DIK_ESCAPE);
    } else if (Menu_Is_Open()) {
        on_menu(hwnd, Menu_Key(dik));
    } else if (dik == DIK_F1 || dik == DIK_APPS) {
        Shell_Set_Paused(1);
        Menu_Open();
        show_menu();
    } else if (pause_key(dik)) {
        Shell_Set_Paused(!paused);
    } else if (dik == DIK_ESCAPE && paused) {
        Shell_Quit(hwnd);
    } else if (dik == DIK_ESCAPE && Prefs_Escape_Held()) {
        quit_or_ask(hwnd);
    }
}

void Shell_Game_Pad(HWND hwnd) {
    const uint32_t held = Plat_Read_Pad();
    const uint32_t pressed = held & ~game_pad_before;
    game_pad_before = held;
    if ((pressed >> PLAT_PAD_BACK & 1u) && Prefs_Escape_Held() && !paused) quit_or_ask(hwnd);
}

void Shell_Game_Pad_Start() {
    game_pad_before = Plat_Read_Pad();
}

int Shell_Title_Pass(HWND hwnd) {
    quitting = 0;
    MSG msg;
    // The title reads its keys itself: of its key messages only the menu's key counts, and the
    // rest go, so that none of them waits to act on the game once it starts.
    while (!quitting && PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE)) {
        if (msg.message != WM_KEYDOWN || (msg.wParam != DIK_F1 && msg.wParam != DIK_APPS)) continue;
        on_title = 1;
        Shell_Set_Paused(1);
        Menu_Open();
        show_menu();
        run_title_menu(hwnd);
        on_title = 0;
    }
    // A focus lost on the title pauses nothing: the title waits by itself, and the key that
    // leaves it comes once the player is back. Left queued, it would pause the game's first
    // frame, and the next Escape would end the game at once.
    while (PeekMessageA(&msg, nullptr, WM_KILLFOCUS, WM_KILLFOCUS, PM_REMOVE)) {
    }
    return quitting;
}

void Shell_Quit(HWND hwnd) {
    quitting = 1;
    if (shell_quit_hook) shell_quit_hook();
    // The game stays paused until the pump ends: no frame runs on the way out.
    PostMessageA(hwnd, WM_DESTROY, 0, 0);
}

void Shell_Pause_Repaint() {
    // The back surface still holds the paused picture: no frame has run since.
    if (!paused) return;
    if (Menu_Is_Open() && !asking)
        show_menu();
    else
        DDraw_Flip();
}

void (*shell_pause_idle_hook)() = nullptr;
void (*shell_quit_hook)() = nullptr;
void (*shell_pausing_hook)() = nullptr;

void Shell_Pause_Idle(HWND hwnd) {
    if (shell_pause_idle_hook) shell_pause_idle_hook();
    const uint32_t held = Plat_Read_Pad();
    if (asking) {
        const uint32_t pressed = held & ~game_pad_before;
        if (pressed) answer(hwnd, pressed >> PLAT_PAD_BACK & 1u);
    } else {
        on_menu(hwnd, Menu_Pad(held));
    }
    game_pad_before = held;
    Plat_Wait_Until(Plat_Ticks() + PAUSE_NAP_MS);
}
