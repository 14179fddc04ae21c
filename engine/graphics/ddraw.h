// The display device: a software 16-bit back surface presented through the platform layer,
// off-screen surfaces with colour keys and clippers, keyed clipped blits, fills, locks and text.
#pragma once
#include <cstdint>
#include <vector>

typedef unsigned char UCHAR;
typedef unsigned short USHORT;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef unsigned char *UCHARPTR;

// Rectangle: left and top included, right and bottom excluded.
struct RECT {
    int left, top, right, bottom;
};

// One palette entry of the 8-bit display: red, green, blue, flags.
struct PALETTEENTRY {
    UCHAR peRed, peGreen, peBlue, peFlags;
};
typedef PALETTEENTRY *LPPALETTEENTRY;

// A list of rectangles outside of which blits into the surface write nothing.
struct DDCLIPPER {
    std::vector<RECT> rects;
    RECT bound; // bounding rectangle of rects
};
typedef DDCLIPPER *LPDIRECTDRAWCLIPPER;

// A surface: pixel memory with a pitch, a source colour key and an optional clipper.
struct DDSURFACE {
    int width = 0, height = 0;
    int bpp = 16;                // 16, or 8 for an 8-bit display surface
    int pitch = 0;               // bytes per row
    std::vector<uint8_t> memory; // height * pitch bytes
    USHORT color_key = 0;        // source colour key (low and high end alike)
    LPDIRECTDRAWCLIPPER clipper = nullptr;
    int locked = 0;
};
typedef DDSURFACE *LPDIRECTDRAWSURFACE4;

// A 256-entry palette object of the 8-bit display.
struct DDPALETTE {
    PALETTEENTRY entries[256];
};
typedef DDPALETTE *LPDIRECTDRAWPALETTE;

// The display object: owns every surface, clipper and palette until it is released.
struct DDOBJECT;
typedef DDOBJECT *LPDIRECTDRAW4;

// Memory flags of DDraw_Create_Surface (accepted; every surface lives in system memory).
constexpr int DDSCAPS_SYSTEMMEMORY = 0x00000800;
constexpr int DDSCAPS_VIDEOMEMORY = 0x00004000;

// Blit flags of DDraw_Blt.
constexpr int DDBLT_COLORFILL = 0x00000400;
constexpr int DDBLT_KEYSRC = 0x00008000;
constexpr int DDBLT_WAIT = 0x01000000;

// Palette flag of entries reserved for the system in a windowed 8-bit display.
constexpr int PC_EXPLICIT = 2;

// ---- globals of the device ----
extern LPDIRECTDRAW4 lpdd;
extern LPDIRECTDRAWSURFACE4 lpddsprimary;
extern LPDIRECTDRAWSURFACE4 lpddsback;
extern LPDIRECTDRAWCLIPPER lpddclipper;
extern LPDIRECTDRAWCLIPPER lpddclipperwin;
extern LPDIRECTDRAWPALETTE lpddpal;
extern PALETTEENTRY display_palette[256];
extern int screen_width, screen_height, screen_bpp, screen_windowed;
extern int dd_pixel_format;
// Packing the finished frame is presented in (15: 5.5.5, 16: 5.6.5); text is converted to it too.
extern int dd_present_format;
// Draws over a copy of each 16-bit picture about to be shown (null: nothing): what it draws
// reaches the screen only, never a surface the game or its logs read.
extern void (*dd_present_overlay)(LPDIRECTDRAWSURFACE4 shown);
extern int min_clip_x, max_clip_x, min_clip_y, max_clip_y;
extern UCHAR *back_buffer;
extern USHORT *sback_buffer;
extern int back_lpitch;
extern UCHAR *primary_buffer;
extern int primary_lpitch;
extern int window_client_x0, window_client_y0;

// Packs 0..31 red, green and blue by the current dd_pixel_format (15: 5.5.5, 16: 5.6.5).
inline USHORT RGB16Bit(int r, int g, int b) {
    return dd_pixel_format == 15 ? (USHORT)((b & 31) + ((g & 31) << 5) + ((r & 31) << 10))
                                 : (USHORT)((b & 31) + ((g & 63) << 6) + ((r & 31) << 11));
}

// Opens the display; 1, or 0 at the first failing step.
int DDraw_Init(int width, int height, int bpp, int windowed);
// Releases clippers, palette, surfaces and the display object; always 1.
int DDraw_Shutdown();
// Creates an off-screen surface with a source colour key; null on failure.
LPDIRECTDRAWSURFACE4 DDraw_Create_Surface(int width, int height, int mem_flags, USHORT color_key);
// Creates a clipper from num_rects rectangles and attaches it to the surface; null on failure.
LPDIRECTDRAWCLIPPER DDraw_Attach_Clipper(LPDIRECTDRAWSURFACE4 lpdds, int num_rects,
                                         RECT *clip_list);
// Fills rect (null: the whole surface) with a raw 16-bit pixel value; always 1.
int DDraw_Fill_Surface(LPDIRECTDRAWSURFACE4 lpdds, USHORT color, RECT *client);
// Fills x1 <= x < x2, y1 <= y < y2 with a raw pixel value, clipped by the surface's clipper; 1.
int Draw_Rectangle(int x1, int y1, int x2, int y2, int color, LPDIRECTDRAWSURFACE4 lpdds);
// Copies src_rect of src (null: all) into dest_rect of dest (null: all), scaling when sizes differ,
// skipping the source key with DDBLT_KEYSRC, clipped by dest's clipper and bounds; 1, 0 on bad
// args.
int DDraw_Blt(LPDIRECTDRAWSURFACE4 dest, RECT *dest_rect, LPDIRECTDRAWSURFACE4 src, RECT *src_rect,
              int flags);
// Locks the back surface; sets back_buffer, sback_buffer and back_lpitch. Null on failure.
UCHAR *DDraw_Lock_Back_Surface();
// Unlocks the back surface; 0 if it was not locked.
int DDraw_Unlock_Back_Surface();
// Locks the primary surface; sets primary_buffer and primary_lpitch.
UCHAR *DDraw_Lock_Primary_Surface();
// Unlocks the primary surface; 0 if it was not locked.
int DDraw_Unlock_Primary_Surface();
// Locks any surface, storing its pitch through lpitch when not null; null for a null surface.
UCHAR *DDraw_Lock_Surface(LPDIRECTDRAWSURFACE4 lpdds, int *lpitch);
// Unlocks any surface; 0 for a null surface.
int DDraw_Unlock_Surface(LPDIRECTDRAWSURFACE4 lpdds);
// Shows the back surface; 0 while a surface is locked.
int DDraw_Flip();
// Whether flips hand their picture to the platform (1, the default) or only swap the surfaces
// (0: a present schedule shows the pictures itself).
void DDraw_Set_Flip_Shows(int on);
// Hands any surface's picture to the platform as a flip would, leaving the surfaces as they are;
// 1 on success.
int DDraw_Present_Surface(LPDIRECTDRAWSURFACE4 lpdds);
// Draws text with its top-left at (x, y) in colour 0x00BBGGRR, glyph pixels only; 0 without a font.
int Draw_Text_GDI(const char *text, int x, int y, DWORD color, LPDIRECTDRAWSURFACE4 lpdds);
// As Draw_Text_GDI with the colour of display_palette[color].
int Draw_Text_GDI8(const char *text, int x, int y, int color, LPDIRECTDRAWSURFACE4 lpdds);
// Releases one surface created by DDraw_Create_Surface (the display's shut-down releases the rest).
void DDraw_Release_Surface(LPDIRECTDRAWSURFACE4 lpdds);
// Number of surfaces the display object currently owns (0 while it is closed).
int DDraw_Surface_Count();
// Converts a colour reference 0x00BBGGRR to a pixel of the given packing (15 or 16).
USHORT DDraw_Color_To_Pixel(DWORD color, int packing);
// Picks the baked text face for the display's line height; 0 when none was baked.
int DDraw_Text_Open();
// Drops the text face: text then draws nothing until the next open.
void DDraw_Text_Close();
