// Feeds arbitrary bytes to the palette text reader through an in-memory stream: it must read
// what numbers it finds, never past the 256 entries, and never trip the sanitizers.
#include <cstdio>
#include <cstring>
#include "engine/graphics/clock.h"
#include "engine/graphics/palette.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // An empty buffer is not a stream everywhere; one byte of white space reads the same.
    static const uint8_t blank = ' ';
    FILE *fp = size ? fmemopen((void *)data, size, "r") : fmemopen((void *)&blank, 1, "r");
    if (!fp) return 0;
    PALETTEENTRY palette[257];
    memset(palette, 0x5A, sizeof palette);
    Read_Palette_Stream(fp, palette);
    fclose(fp);
    // The entry after the table is never written.
    if (palette[256].peRed != 0x5A || palette[256].peFlags != 0x5A) __builtin_trap();
    return 0;
}
