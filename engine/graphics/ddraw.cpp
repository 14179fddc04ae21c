// The display object and its globals: opening and closing the display, creating surfaces and
// clippers, locks, and presenting the back surface through the platform once per flip.
#include "engine/graphics/ddraw.h"
#include "engine/graphics/ddraw_internal.h"
#include <algorithm>
#include <cstring>
#include <memory>
#include "engine/graphics/clock.h"
#include "engine/graphics/datafile.h"
#include "platform/platform.h"
#include "engine/graphics/palette.h"

// Everything created from the display object lives here until the object is released.
struct DDOBJECT {
    std::vector<std::unique_ptr<DDSURFACE>> surfaces;
    std::vector<std::unique_ptr<DDCLIPPER>> clippers;
    std::vector<std::unique_ptr<DDPALETTE>> palettes;
};

LPDIRECTDRAW4 lpdd = nullptr;
LPDIRECTDRAWSURFACE4 lpddsprimary = nullptr;
LPDIRECTDRAWSURFACE4 lpddsback = nullptr;
LPDIRECTDRAWCLIPPER lpddclipper = nullptr;
LPDIRECTDRAWCLIPPER lpddclipperwin = nullptr;
LPDIRECTDRAWPALETTE lpddpal = nullptr;
PALETTEENTRY display_palette[256];
int screen_width = 640, screen_height = 480, screen_bpp = 8, screen_windowed = 0;
int dd_pixel_format = 16;
int dd_present_format = 15;
void (*dd_present_overlay)(LPDIRECTDRAWSURFACE4 shown) = nullptr;
int min_clip_x = 0, max_clip_x = 639, min_clip_y = 0, max_clip_y = 479;
UCHAR *back_buffer = nullptr;
USHORT *sback_buffer = nullptr;
int back_lpitch = 0;
UCHAR *primary_buffer = nullptr;
int primary_lpitch = 0;
int window_client_x0 = 0, window_client_y0 = 0;

namespace {

// A full-screen flip swaps the two surfaces' memories instead of copying the frame: the primary
// then holds the frame shown and the back surface the one before. Every frame starts with a
// clear of the whole back surface, which never needs the old contents; anything else that
// uses the back surface first gets the shown frame copied back, so it sees what a copying flip
// would have left there.
LPDIRECTDRAWSURFACE4 stale_back = nullptr;
// Flips hand their picture to the platform.
int flip_shows = 1;

} // namespace

void DDraw_Settle_Surface(LPDIRECTDRAWSURFACE4 s) {
    // The primary is settled too: the back surface must get the frame before it changes.
    if (!s || !stale_back || (s != stale_back && s != lpddsprimary)) return;
    s = stale_back;
    stale_back = nullptr;
    if (lpddsprimary && lpddsprimary->memory.size() == s->memory.size())
        memcpy(s->memory.data(), lpddsprimary->memory.data(), s->memory.size());
}

void DDraw_Overwrite_Surface(LPDIRECTDRAWSURFACE4 s) {
    if (s && s == stale_back)
        stale_back = nullptr;
    else
        DDraw_Settle_Surface(s);
}

namespace {

// Largest side of a surface; keeps width * height * 2 far from overflowing.
constexpr int MAX_SURFACE_SIDE = 16384;
// Presents tried per flip before the frame is given up.
constexpr int FLIP_TRIES = 3;
// The windowed copy always lands in a 640 x 480 rectangle.
constexpr int WINDOWED_FLIP_WIDTH = 640, WINDOWED_FLIP_HEIGHT = 480;

LPDIRECTDRAWSURFACE4 create_surface(int width, int height, int bpp) {
    if (!lpdd || width <= 0 || height <= 0 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE)
        return nullptr;
    auto s = std::make_unique<DDSURFACE>();
    s->width = width;
    s->height = height;
    s->bpp = bpp;
    s->pitch = width * (bpp / 8);
    s->memory.assign((size_t)s->pitch * (size_t)height, 0);
    lpdd->surfaces.push_back(std::move(s));
    return lpdd->surfaces.back().get();
}

LPDIRECTDRAWCLIPPER create_clipper() {
    if (!lpdd) return nullptr;
    lpdd->clippers.push_back(std::make_unique<DDCLIPPER>());
    return lpdd->clippers.back().get();
}

} // namespace

int DDraw_Init(int width, int height, int bpp, int windowed) {
    // A second open without a shut-down would leak the first display object.
    if (lpdd) DDraw_Shutdown();

    // The display object, owner of everything made below.
    lpdd = new DDOBJECT;
    // The display mode: only the packings this device can show are accepted.
    if (width <= 0 || height <= 0 || width > MAX_SURFACE_SIDE || height > MAX_SURFACE_SIDE ||
        (bpp != 8 && bpp != 16))
        return 0;
    screen_width = width;
    screen_height = height;
    screen_bpp = bpp;
    screen_windowed = windowed;
    // The primary; windowed, it stands in for the desktop the copy lands on.
    lpddsprimary = create_surface(width, height, bpp);
    if (!lpddsprimary) return 0; // every later step needs it
    // The primary's bit count; it does not tell 5.5.5 from 5.6.5.
    dd_pixel_format = lpddsprimary->bpp;
    Write_Error("\npixel format = %d", dd_pixel_format);
    lpddsback = create_surface(width, height, bpp);
    if (!lpddsback) return 0;
    // The 8-bit palette; a missing file leaves it black.
    if (screen_bpp == 8) {
        memset(display_palette, 0, sizeof display_palette);
        const std::string palette_file = Find_Data_File("PALDATA2.PAL");
        if (palette_file.empty())
            Report_Data_File("PALDATA2.PAL", "not found");
        else if (!Read_Palette_File(palette_file.c_str(), display_palette))
            Report_Data_File("PALDATA2.PAL",
                             (palette_file + ": not a palette the game can read").c_str());
        if (windowed) {
            for (int i = 0; i < 10; i++)
                display_palette[i].peFlags = PC_EXPLICIT;
            for (int i = 246; i < 256; i++)
                display_palette[i].peFlags = PC_EXPLICIT;
        }
        lpdd->palettes.push_back(std::make_unique<DDPALETTE>());
        lpddpal = lpdd->palettes.back().get();
        memcpy(lpddpal->entries, display_palette, sizeof display_palette);
    }
    if (!windowed) DDraw_Fill_Surface(lpddsprimary, 0, nullptr);
    DDraw_Fill_Surface(lpddsback, 0, nullptr);
    min_clip_x = 0;
    max_clip_x = screen_width - 1;
    min_clip_y = 0;
    max_clip_y = screen_height - 1;
    RECT screen_rect = {0, 0, screen_width, screen_height};
    lpddclipper = DDraw_Attach_Clipper(lpddsback, 1, &screen_rect);
    // Windowed, the window's clipper covers the whole primary.
    if (windowed) {
        lpddclipperwin = create_clipper();
        lpddclipperwin->rects.push_back(screen_rect);
        lpddclipperwin->bound = screen_rect;
        lpddsprimary->clipper = lpddclipperwin;
    }
    // No font leaves the game running without text.
    DDraw_Text_Open();
    return 1;
}

int DDraw_Shutdown() {
    DDraw_Text_Close();
    stale_back = nullptr;
    // Releasing the display object releases every clipper, palette and surface made from it.
    // The handles are cleared so that nothing can reach the freed memory through them.
    lpddclipper = nullptr;
    lpddclipperwin = nullptr;
    lpddpal = nullptr;
    lpddsback = nullptr;
    lpddsprimary = nullptr;
    delete lpdd;
    lpdd = nullptr;
    back_buffer = nullptr;
    sback_buffer = nullptr;
    back_lpitch = 0;
    primary_buffer = nullptr;
    primary_lpitch = 0;
    return 1;
}

LPDIRECTDRAWSURFACE4 DDraw_Create_Surface(int width, int height, int mem_flags, USHORT color_key) {
    (void)mem_flags; // every surface lives in system memory
    LPDIRECTDRAWSURFACE4 s = create_surface(width, height, screen_bpp == 8 ? 8 : 16);
    if (s) s->color_key = color_key;
    return s;
}

void DDraw_Release_Surface(LPDIRECTDRAWSURFACE4 lpdds) {
    if (!lpdd || !lpdds) return;
    auto &list = lpdd->surfaces;
    auto it = std::find_if(list.begin(), list.end(), [&](auto &p) { return p.get() == lpdds; });
    if (it == list.end()) return; // already released, or not ours
    // The primary holds the only copy of the shown frame while the back surface is behind.
    if (lpdds == lpddsprimary) DDraw_Settle_Surface(lpddsback);
    if (lpdds == stale_back) stale_back = nullptr;
    if (lpdds == lpddsback) {
        lpddsback = nullptr;
        back_buffer = nullptr;
        sback_buffer = nullptr;
        back_lpitch = 0;
    }
    if (lpdds == lpddsprimary) {
        lpddsprimary = nullptr;
        primary_buffer = nullptr;
        primary_lpitch = 0;
    }
    list.erase(it);
}

int DDraw_Surface_Count() {
    return lpdd ? (int)lpdd->surfaces.size() : 0;
}

LPDIRECTDRAWCLIPPER DDraw_Attach_Clipper(LPDIRECTDRAWSURFACE4 lpdds, int num_rects,
                                         RECT *clip_list) {
    if (num_rects < 0 || (num_rects > 0 && !clip_list)) return nullptr;
    LPDIRECTDRAWCLIPPER clipper = create_clipper();
    if (!clipper) return nullptr;
    RECT bound = {64000, 64000, -64000, -64000};
    clipper->rects.assign(clip_list, clip_list + num_rects);
    for (const RECT &r : clipper->rects) {
        bound.left = std::min(bound.left, r.left);
        bound.top = std::min(bound.top, r.top);
        bound.right = std::max(bound.right, r.right);
        bound.bottom = std::max(bound.bottom, r.bottom);
    }
    clipper->bound = bound;
    // Attaching to no surface fails; the clipper stays with the display object.
    if (!lpdds) return nullptr;
    lpdds->clipper = clipper;
    return clipper;
}

UCHAR *DDraw_Lock_Surface(LPDIRECTDRAWSURFACE4 lpdds, int *lpitch) {
    if (!lpdds) return nullptr;
    DDraw_Settle_Surface(lpdds);
    lpdds->locked = 1;
    if (lpitch) *lpitch = lpdds->pitch;
    return lpdds->memory.data();
}

int DDraw_Unlock_Surface(LPDIRECTDRAWSURFACE4 lpdds) {
    if (!lpdds) return 0;
    lpdds->locked = 0;
    return 1;
}

UCHAR *DDraw_Lock_Back_Surface() {
    if (back_buffer) return back_buffer;
    if (!lpddsback) return nullptr;
    back_buffer = DDraw_Lock_Surface(lpddsback, &back_lpitch);
    sback_buffer = (USHORT *)back_buffer;
    return back_buffer;
}

int DDraw_Unlock_Back_Surface() {
    if (!back_buffer) return 0;
    DDraw_Unlock_Surface(lpddsback);
    back_buffer = nullptr;
    back_lpitch = 0;
    return 1;
}

UCHAR *DDraw_Lock_Primary_Surface() {
    if (primary_buffer) return primary_buffer;
    if (!lpddsprimary) return nullptr;
    primary_buffer = DDraw_Lock_Surface(lpddsprimary, &primary_lpitch);
    return primary_buffer;
}

int DDraw_Unlock_Primary_Surface() {
    if (!primary_buffer) return 0;
    DDraw_Unlock_Surface(lpddsprimary);
    primary_buffer = nullptr;
    primary_lpitch = 0;
    return 1;
}

USHORT DDraw_Color_To_Pixel(DWORD color, int packing) {
    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    if (packing == 15) return (USHORT)((b >> 3) | ((g >> 3) << 5) | ((r >> 3) << 10));
    return (USHORT)((b >> 3) | ((g >> 2) << 5) | ((r >> 3) << 11));
}

namespace {

// Hands a surface to the platform in the display's real packing; 8-bit surfaces go through
// the display palette first.
int present_surface(LPDIRECTDRAWSURFACE4 s) {
    if (s->bpp == 16 && dd_present_overlay) {
        // The overlay draws on a copy: the surfaces, and so every frame's CRC, stay the game's.
        static DDSURFACE shown;
        shown.width = s->width, shown.height = s->height, shown.bpp = 16, shown.pitch = s->pitch;
        shown.memory = s->memory;
        dd_present_overlay(&shown);
        return Plat_Present((const uint16_t *)shown.memory.data(), shown.width, shown.height,
                            shown.pitch, dd_present_format);
    }
    if (s->bpp == 16)
        return Plat_Present((const uint16_t *)s->memory.data(), s->width, s->height, s->pitch,
                            dd_present_format);
    static std::vector<uint16_t> converted;
    USHORT lut[256];
    for (int i = 0; i < 256; i++) {
        const PALETTEENTRY &e = display_palette[i];
        lut[i] =
            DDraw_Color_To_Pixel(e.peRed | (e.peGreen << 8) | (e.peBlue << 16), dd_present_format);
    }
    converted.resize((size_t)s->width * s->height);
    for (int y = 0; y < s->height; y++) {
        const UCHAR *row = s->memory.data() + (size_t)y * s->pitch;
        for (int x = 0; x < s->width; x++)
            converted[(size_t)y * s->width + x] = lut[row[x]];
    }
    return Plat_Present(converted.data(), s->width, s->height, s->width * 2, dd_present_format);
}

} // namespace

int DDraw_Flip() {
    if (primary_buffer || back_buffer) return 0;
    if (!lpddsprimary || !lpddsback || lpddsprimary->locked || lpddsback->locked) return 0;
    if (!screen_windowed) {
        DDraw_Settle_Surface(lpddsback); // two flips in a row show the same frame twice
        if (flip_shows) DDraw_Present_Surface(lpddsback);
        if (lpddsprimary->memory.size() == lpddsback->memory.size() &&
            lpddsprimary->pitch == lpddsback->pitch) {
            lpddsprimary->memory.swap(lpddsback->memory);
            stale_back = lpddsback;
        } else {
            memcpy(lpddsprimary->memory.data(), lpddsback->memory.data(),
                   std::min(lpddsprimary->memory.size(), lpddsback->memory.size()));
        }
        return 1;
    }
    // The window's outer rectangle starts at the origin of this display.
    RECT dest = {window_client_x0, window_client_y0, window_client_x0 + WINDOWED_FLIP_WIDTH,
                 window_client_y0 + WINDOWED_FLIP_HEIGHT};
    if (!DDraw_Blt(lpddsprimary, &dest, lpddsback, nullptr, DDBLT_WAIT)) return 0;
    if (flip_shows) DDraw_Present_Surface(lpddsprimary);
    return 1;
}

void DDraw_Set_Flip_Shows(int on) {
    flip_shows = on != 0;
}

int DDraw_Present_Surface(LPDIRECTDRAWSURFACE4 lpdds) {
    if (!lpdds) return 0;
    // A presentation that keeps failing (a lost display) skips the frame instead of holding
    // the game forever.
    for (int tries = 0; tries < FLIP_TRIES; tries++)
        if (present_surface(lpdds)) return 1;
    return 0;
}
