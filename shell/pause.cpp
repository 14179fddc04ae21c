// The pause state of the shell and its picture: the last frame shown, dimmed to half its
// brightness, with "Paused" in the middle, drawn with the engine's own text.
#include "shell/pause.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "engine/graphics/ddraw.h"
#include "platform/dik.h"
#include "platform/platform.h"
#include "shell/menu.h"
#include "shell/prefs.h"

namespace {

int paused = 0;
// The dimmed picture, kept so the menu can be drawn over it again and again.
std::vector<USHORT> backdrop;
int backdrop_w = 0, backdrop_h = 0;
// A paused pump looks at its messages this often.
constexpr uint32_t PAUSE_NAP_MS = 20;
constexpr const char *PAUSE_TEXT = "Paused";
// The text's rough size at the engine's 16-pixel face, to centre it.
constexpr int PAUSE_TEXT_W = 56;
constexpr int PAUSE_TEXT_H = 16;
constexpr DWORD PAUSE_TEXT_COLOR = 0x00FFFFFF;

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

} // namespace

int Shell_Paused() {
    return paused;
}

void Shell_Set_Paused(int on) {
    on = on != 0;
    if (on == paused) return;
    paused = on;
    if (!on) Menu_Close();
    Plat_Pause(on);
    if (on && shell_pausing_hook) shell_pausing_hook();
    if (on) show_paused_picture();
}

int Shell_Pause_Backdrop() {
    return paused && drawable() && copy_backdrop(0);
}

void Shell_Pause_Show() {
    if (!Shell_Pause_Backdrop()) return;
    Draw_Text_GDI(PAUSE_TEXT, (lpddsback->width - PAUSE_TEXT_W) / 2,
                  (lpddsback->height - PAUSE_TEXT_H) / 2, PAUSE_TEXT_COLOR, lpddsback);
    DDraw_Flip();
}

void Shell_Pause_Key(HWND hwnd, int dik) {
    if (Menu_Is_Open()) {
        Menu_Key(hwnd, dik);
    } else if (dik == DIK_F1 || dik == DIK_APPS) {
        Shell_Set_Paused(1);
        Menu_Open();
    } else if (pause_key(dik)) {
        Shell_Set_Paused(!paused);
    } else if (dik == DIK_ESCAPE && paused) {
        Shell_Quit(hwnd);
    }
}

void Shell_Quit(HWND hwnd) {
    if (shell_quit_hook) shell_quit_hook();
    // The game stays paused until the pump ends: no frame runs on the way out.
    PostMessageA(hwnd, WM_DESTROY, 0, 0);
}

void Shell_Pause_Repaint() {
    // The back surface still holds the paused picture: no frame has run since.
    if (!paused) return;
    if (Menu_Is_Open())
        Menu_Draw();
    else
        DDraw_Flip();
}

void (*shell_pause_idle_hook)() = nullptr;
void (*shell_quit_hook)() = nullptr;
void (*shell_pausing_hook)() = nullptr;

void Shell_Pause_Idle(HWND hwnd) {
    if (shell_pause_idle_hook) shell_pause_idle_hook();
    Menu_Pad(hwnd, Plat_Read_Pad());
    Plat_Wait_Until(Plat_Ticks() + PAUSE_NAP_MS);
}
