// The pause state of the shell and its picture: the last frame shown, dimmed to half its
// brightness, with "Paused" in the middle, drawn with the engine's own text.
#include "shell/pause.h"

#include <cstddef>

#include "engine/graphics/ddraw.h"
#include "platform/dik.h"
#include "platform/platform.h"

namespace {

int paused = 0;
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

// Dims the last picture shown in the back surface, writes the text and shows it. Locking brings
// the back surface up to the frame last shown (a flip may have swapped the two); the game's next
// frame clears it first, so nothing of this reaches the game.
void show_paused_picture() {
    if (!lpddsprimary || !lpddsback || lpddsback->bpp != 16 || lpddsprimary->bpp != 16 ||
        lpddsback->locked || lpddsprimary->locked)
        return;
    int pitch = 0;
    UCHAR *pixels = DDraw_Lock_Surface(lpddsback, &pitch);
    if (!pixels) return;
    for (int y = 0; y < lpddsback->height; y++) {
        USHORT *row = (USHORT *)(pixels + (size_t)y * pitch);
        for (int x = 0; x < lpddsback->width; x++)
            row[x] = dim_pixel(row[x], dd_present_format);
    }
    DDraw_Unlock_Surface(lpddsback);
    Draw_Text_GDI(PAUSE_TEXT, (lpddsback->width - PAUSE_TEXT_W) / 2,
                  (lpddsback->height - PAUSE_TEXT_H) / 2, PAUSE_TEXT_COLOR, lpddsback);
    DDraw_Flip();
}

} // namespace

int Shell_Paused() {
    return paused;
}

void Shell_Set_Paused(int on) {
    on = on != 0;
    if (on == paused) return;
    paused = on;
    Plat_Pause(on);
    if (on) show_paused_picture();
}

void Shell_Pause_Key(HWND hwnd, int dik) {
    if (dik == DIK_P || dik == DIK_PAUSE) {
        Shell_Set_Paused(!paused);
    } else if (dik == DIK_ESCAPE && paused) {
        // The game stays paused until the pump ends: no frame runs on the way out.
        PostMessageA(hwnd, WM_DESTROY, 0, 0);
    }
}

void Shell_Pause_Repaint() {
    // The back surface still holds the paused picture: no frame has run since.
    if (paused) DDraw_Flip();
}

void (*shell_pause_idle_hook)() = nullptr;

void Shell_Pause_Idle() {
    if (shell_pause_idle_hook) shell_pause_idle_hook();
    Plat_Wait_Until(Plat_Ticks() + PAUSE_NAP_MS);
}
