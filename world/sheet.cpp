// Cutting a blitter object's frames out of a sprite sheet file, refusing cells the file lacks.
#include "world/sheet.h"

int Sheet_Cell_Fits(const BITMAP_FILE_TAG *bitmap, int width, int height, int cx, int cy) {
    if (!bitmap || !bitmap->buffer || bitmap->info_header.biBitCount != 16) return 0;
    // Cells have a one-pixel border on every side; wide arithmetic keeps a lying header harmless.
    long long bw = bitmap->info_header.biWidth;
    long long bh = bitmap->info_header.biHeight;
    long long left = (long long)cx * (width + 1) + 1;
    long long top = (long long)cy * (height + 1) + 1;
    return bw > 0 && bh > 0 && width > 0 && height > 0 && cx >= 0 && cy >= 0 &&
           left + width <= bw && top + height <= bh;
}

int Cut_Sheet_BOB16(BOB_TYP *bob, BITMAP_FILE_TAG *bitmap, int num_frames, int columns) {
    if (!bob || !bitmap || columns <= 0 || num_frames > bob->num_frames) return 0;
    int loaded = 0;
    for (int i = 0; i < num_frames; i++) {
        int cx = i % columns, cy = i / columns;
        if (bob->frames[i] && Sheet_Cell_Fits(bitmap, bob->width, bob->height, cx, cy) &&
            Load_Frame_BOB16(bob, bitmap, i, cx, cy, EXTRACT_CELL))
            loaded++;
    }
    return loaded;
}

int Load_Sheet_BOB16(BOB_TYP *bob, const char *file, int num_frames, int columns) {
    BITMAP_FILE_TAG bitmap{};
    if (!bob || !Load_Bitmap_File(&bitmap, file)) return 0;
    int loaded = Cut_Sheet_BOB16(bob, &bitmap, num_frames, columns);
    Unload_Bitmap_File(&bitmap);
    return loaded;
}
