// Whole-screen helpers of the drawing family: colour scans, the 8-bit cell loader and the
// transition effects (palette fades, wipes and the dissolve).
#include "engine/graphics/random.h"
#include "engine/graphics/clock.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/palette.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

template <typename Px>
int color_scan(int x1, int y1, int x2, int y2, Px lo, Px hi, UCHAR *buffer, int lpitch) {
    if (!buffer) return 0;
    x1 = std::clamp(x1, 0, screen_width - 1);
    x2 = std::clamp(x2, 0, screen_width - 1);
    y1 = std::clamp(y1, 0, screen_height - 1);
    y2 = std::clamp(y2, 0, screen_height - 1);
    int stride = (int)(lpitch / (int)sizeof(Px));
    const Px *px = (const Px *)buffer;
    for (int y = y1; y <= y2; y++)
        for (int x = x1; x <= x2; x++) {
            Px p = px[(ptrdiff_t)y * stride + x];
            if (p >= lo && p <= hi) return 1;
        }
    return 0;
}

} // namespace

int Color_Scan(int x1, int y1, int x2, int y2, UCHAR scan_start, UCHAR scan_end, UCHAR *scan_buffer,
               int scan_lpitch) {
    return color_scan<UCHAR>(x1, y1, x2, y2, scan_start, scan_end, scan_buffer, scan_lpitch);
}

int Color_Scan16(int x1, int y1, int x2, int y2, USHORT scan_start, USHORT scan_end,
                 UCHAR *scan_buffer, int scan_lpitch) {
    return color_scan<USHORT>(x1, y1, x2, y2, scan_start, scan_end, scan_buffer, scan_lpitch);
}

int Load_Frame_Surface(BITMAP_FILE_TAG *bitmap, LPDIRECTDRAWSURFACE4 lpdds, int cx, int cy) {
    if (!bitmap || !bitmap->buffer || !lpdds || bitmap->info_header.biBitCount != 8) return 0;
    int width = lpdds->width, height = lpdds->height;
    int bw = bitmap->info_header.biWidth, bh = bitmap->info_header.biHeight;
    if (bh < 0) bh = -bh;
    long long x = (long long)cx * (width + 1) + 1, y = (long long)cy * (height + 1) + 1;
    // A cell that does not lie wholly inside the bitmap, or a surface too small for its rows,
    // is refused rather than read or written out of bounds.
    if (cx < 0 || cy < 0 || x + width > bw || y + height > bh) return 0;
    int pitch = 0;
    UCHAR *dest = DDraw_Lock_Surface(lpdds, &pitch);
    if (!dest) return 0;
    // Rows go at the surface's own pitch; a surface whose rows are padded would be sheared
    // if they were packed width bytes apart.
    if ((size_t)pitch * (size_t)height <= lpdds->memory.size() && pitch >= width) {
        const UCHAR *src = bitmap->buffer + y * bw + x;
        for (int row = 0; row < height; row++)
            std::memcpy(dest + (size_t)row * pitch, src + (size_t)row * bw, (size_t)width);
    }
    DDraw_Unlock_Surface(lpdds);
    return 1;
}

namespace {

// One step of a palette effect: every channel moved by its own rule, then a 12 ms pause.
template <typename Step> void palette_steps(int steps, int first, Step step) {
    PALETTEENTRY pal[256];
    for (int s = 0; s < steps; s++) {
        Get_Palette(pal);
        for (int i = first; i < 256; i++)
            step(pal[i]);
        Set_Palette(pal);
        Start_Clock();
        Wait_Clock(12);
    }
}

UCHAR add_limited(int v, int delta) {
    return (UCHAR)std::clamp(v + delta, 0, 255);
}

void pause12() {
    Start_Clock();
    Wait_Clock(12);
}

} // namespace

void Screen_Transition(int effect, UCHAR *vbuffer, int lpitch) {
    // On the 16-bit display the wipes and the dissolve write 16-bit black, so that they cover
    // whole pixels instead of every other byte.
    bool wide = screen_bpp == 16;
    auto hline = [&](int y) {
        if (wide)
            Draw_HLine16(0, screen_width - 1, y, 0, vbuffer, lpitch);
        else
            Draw_HLine(0, screen_width - 1, y, 0, vbuffer, lpitch);
    };
    auto vline = [&](int x) {
        if (wide)
            Draw_VLine16(0, screen_height - 1, x, 0, vbuffer, lpitch);
        else
            Draw_VLine(0, screen_height - 1, x, 0, vbuffer, lpitch);
    };
    bool draws = effect >= SCREEN_SWIPE_X && effect <= SCREEN_SCRUNCH;
    if (draws && (!vbuffer || screen_width < 2 || screen_height < 2)) return;
    switch (effect) {
    case SCREEN_DARKNESS:
        palette_steps(80, 1, [](PALETTEENTRY &e) {
            e.peRed = e.peRed > 4 ? (UCHAR)(e.peRed - 3) : 0;
            e.peGreen = e.peGreen > 4 ? (UCHAR)(e.peGreen - 3) : 0;
            e.peBlue = e.peBlue > 4 ? (UCHAR)(e.peBlue - 3) : 0;
        });
        break;
    case SCREEN_WHITENESS:
        palette_steps(64, 0, [](PALETTEENTRY &e) {
            e.peRed = add_limited(e.peRed, 4);
            e.peGreen = add_limited(e.peGreen, 4);
            e.peBlue = add_limited(e.peBlue, 4);
        });
        break;
    case SCREEN_SWIPE_X:
        for (int i = 0; i < screen_width / 2; i += 2) {
            pause12();
            vline(screen_width - 1 - i);
            vline(i);
            vline(screen_width - 2 - i);
            vline(i + 1);
        }
        break;
    case SCREEN_SWIPE_Y:
        for (int i = 0; i < screen_height / 2; i += 2) {
            pause12();
            hline(screen_height - 1 - i);
            hline(i);
            hline(screen_height - 2 - i);
            hline(i + 1);
        }
        break;
    case SCREEN_DISOLVE:
        if (!vbuffer || screen_width < 1 || screen_height < 1) break;
        for (long long n = 0; n < (long long)screen_width * screen_height * 4 + 1; n++) {
            int y = Rand() % screen_height;
            int x = Rand() % screen_width;
            if (wide)
                Draw_Pixel16(x, y, 0, vbuffer, lpitch);
            else
                Draw_Pixel(x, y, 0, vbuffer, lpitch);
        }
        break;
    case SCREEN_SCRUNCH:
        for (int i = 0; i < screen_width / 2; i += 2) {
            pause12();
            int k = i % (screen_height / 2);
            hline(screen_height - 1 - k);
            hline(k);
            hline(screen_height - 2 - k);
            hline(k + 1);
            vline(screen_width - 1 - i);
            vline(i);
            vline(screen_width - 2 - i);
            vline(i + 1);
        }
        break;
    case SCREEN_BLUENESS:
        palette_steps(64, 0, [](PALETTEENTRY &e) {
            e.peRed = add_limited(e.peRed, -4);
            e.peGreen = add_limited(e.peGreen, -4);
            e.peBlue = add_limited(e.peBlue, 6);
        });
        break;
    case SCREEN_REDNESS:
        palette_steps(64, 0, [](PALETTEENTRY &e) {
            e.peRed = add_limited(e.peRed, 6);
            e.peGreen = add_limited(e.peGreen, -4);
            e.peBlue = add_limited(e.peBlue, -4);
        });
        break;
    case SCREEN_GREENNESS:
        palette_steps(64, 0, [](PALETTEENTRY &e) {
            e.peRed = add_limited(e.peRed, -4);
            e.peGreen = add_limited(e.peGreen, 6);
            e.peBlue = add_limited(e.peBlue, -4);
        });
        break;
    default:
        break;
    }
}
