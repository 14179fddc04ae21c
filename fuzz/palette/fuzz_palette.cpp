// Feeds arbitrary bytes to the palette text reader through an in-memory stream and through a
// file (Read_Palette_File): it must read what numbers it finds, never past the 256 entries, the
// two ways alike, and never trip the sanitizers.
#include <cstdio>
#include <cstring>
#include <string>
#include "engine/graphics/clock.h"
#include "engine/graphics/palette.h"
#include "fuzz/fuzz_file.h"

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
    // The file reader takes the same bytes to the same palette (an empty file leaves it alone).
    PALETTEENTRY from_file[257];
    memset(from_file, 0x5A, sizeof from_file);
    std::string path = Fuzz_File(data, size);
    if (path.empty()) return 0;
    if (!Read_Palette_File(path.c_str(), from_file)) __builtin_trap();
    if (size && memcmp(from_file, palette, sizeof palette) != 0) __builtin_trap();
    if (Read_Palette_File((path + "/not-there").c_str(), from_file)) __builtin_trap();
    return 0;
}
