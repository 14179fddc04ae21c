// Palette text files, the 8-bit palette helpers over display_palette and the palette object,
// and the palette blinker table.
#include <cctype>
#include <cstring>
#include <vector>
#include "engine/graphics/clock.h"
#include "engine/graphics/palette.h"
#include "engine/graphics/datafile.h"
#include "platform/os/os_file.h"

namespace {

// 256 lines of four numbers fill a few kilobytes; a file far larger is not a palette.
constexpr uint64_t kMaxPaletteFile = 1u << 20;

// Characters from a FILE or from bytes in memory, so that a file read whole is parsed where it
// lies (no system's memory-stream call needed).
struct FILE_SOURCE {
    FILE *fp;
    int get() { return fgetc(fp); }
    void unget(int c) { ungetc(c, fp); }
};
struct BYTES_SOURCE {
    const uint8_t *at, *end;
    int get() { return at < end ? *at++ : EOF; }
    void unget(int) { at--; }
};

// Reads the next decimal integer the way a %d conversion finds it: white space skipped, an
// optional sign, then digits. Numbers too long for an int keep their low 32 bits, which is all
// the caller looks at. 0 at end of input or at anything that is not a number.
template <class SOURCE> int read_number(SOURCE &in, uint32_t *value) {
    int c;
    do {
        c = in.get();
    } while (c != EOF && isspace(c));
    if (c == EOF) return 0;
    int negative = 0;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = in.get();
    }
    if (c == EOF || !isdigit(c)) return 0;
    uint32_t v = 0;
    while (c != EOF && isdigit(c)) {
        v = v * 10u + (uint32_t)(c - '0');
        c = in.get();
    }
    if (c != EOF) in.unget(c);
    *value = negative ? 0u - v : v;
    return 1;
}

// Fills palette from in, entry by entry, as far as its numbers go.
template <class SOURCE> void read_palette(SOURCE &in, LPPALETTEENTRY palette) {
    for (int index = 0; index < 256; index++) {
        UCHAR *fields[4] = {&palette[index].peRed, &palette[index].peGreen, &palette[index].peBlue,
                            &palette[index].peFlags};
        for (UCHAR *field : fields) {
            uint32_t v;
            // A malformed file is taken as far as its numbers go; the rest stays as it was.
            if (!read_number(in, &v)) return;
            *field = (UCHAR)(v & 0xFF);
        }
    }
}

} // namespace

int Read_Palette_Stream(FILE *fp, LPPALETTEENTRY palette) {
    if (!fp || !palette) return 0;
    FILE_SOURCE in{fp};
    read_palette(in, palette);
    return 1;
}

int Read_Palette_File(const char *filename, LPPALETTEENTRY palette) {
    if (!filename || !palette) return 0;
    std::vector<uint8_t> bytes;
    if (!Read_Bounded_File(filename, kMaxPaletteFile, bytes, nullptr)) return 0;
    if (bytes.empty()) return 1; // no numbers: the palette stays as it was
    BYTES_SOURCE in{bytes.data(), bytes.data() + bytes.size()};
    read_palette(in, palette);
    return 1;
}

int Write_Palette_File(const char *filename, LPPALETTEENTRY palette) {
    if (!filename || !palette) return 0;
    FILE *fp = Os_Fopen(filename, "w");
    if (!fp) return 0;
    for (int index = 0; index < 256; index++)
        fprintf(fp, "\n%d %d %d %d", palette[index].peRed, palette[index].peGreen,
                palette[index].peBlue, palette[index].peFlags);
    fclose(fp);
    return 1;
}

int Set_Palette_Entry(int color_index, LPPALETTEENTRY color) {
    if (color_index < 0 || color_index > 255 || !color) return 0;
    if (lpddpal) lpddpal->entries[color_index] = *color;
    display_palette[color_index] = *color;
    return 1;
}

int Get_Palette_Entry(int color_index, LPPALETTEENTRY color) {
    if (color_index < 0 || color_index > 255 || !color) return 0;
    *color = display_palette[color_index];
    return 1;
}

int Get_Palette(LPPALETTEENTRY get_palette) {
    if (!get_palette) return 0;
    memcpy(get_palette, display_palette, sizeof display_palette);
    return 1;
}

int Set_Palette(LPPALETTEENTRY set_palette) {
    if (!set_palette) return 0;
    memmove(display_palette, set_palette, sizeof display_palette);
    if (lpddpal) memcpy(lpddpal->entries, display_palette, sizeof display_palette);
    return 1;
}

int Rotate_Palette_Colors(int start_index, int end_index) {
    if (start_index < 0 || end_index > 255 || start_index > end_index) return 0;
    // Without a palette object (16-bit display) the engine's copy is the palette.
    PALETTEENTRY *entries = lpddpal ? lpddpal->entries : display_palette;
    const PALETTEENTRY last = entries[end_index];
    memmove(&entries[start_index + 1], &entries[start_index],
            (size_t)(end_index - start_index) * sizeof(PALETTEENTRY));
    entries[start_index] = last;
    if (lpddpal) memcpy(display_palette, lpddpal->entries, sizeof display_palette);
    return 1;
}

namespace {

BLINKER blinkers[MAX_BLINKERS];
int blinkers_cleared = 0;

} // namespace

int Blink_Palette_Colors(int command, BLINKER_PTR new_light, int id) {
    if (!blinkers_cleared) {
        memset(blinkers, 0, sizeof blinkers);
        blinkers_cleared = 1;
    }
    switch (command) {
    case BLINKER_ADD: {
        if (!new_light) return -1;
        for (int i = 0; i < MAX_BLINKERS; i++) {
            if (blinkers[i].state != 0) continue;
            blinkers[i] = *new_light;
            blinkers[i].counter = 0;
            blinkers[i].state = -1;
            Set_Palette_Entry(blinkers[i].color_index, &blinkers[i].inactive_color);
            return i;
        }
        return -1; // the table is full
    }
    case BLINKER_DELETE:
        if (id < 0 || id >= MAX_BLINKERS || blinkers[id].state == 0) return -1;
        memset(&blinkers[id], 0, sizeof blinkers[id]);
        return id;
    case BLINKER_UPDATE: {
        if (id < 0 || id >= MAX_BLINKERS || blinkers[id].state == 0 || !new_light) return -1;
        BLINKER &b = blinkers[id];
        b.active_color = new_light->active_color;
        b.inactive_color = new_light->inactive_color;
        b.on_time = new_light->on_time;
        b.off_time = new_light->off_time;
        Set_Palette_Entry(b.color_index, b.state == -1 ? &b.inactive_color : &b.active_color);
        return id;
    }
    case BLINKER_RUN:
        for (BLINKER &b : blinkers) {
            if (b.state == 0) continue;
            b.counter++;
            if (b.state == -1 && b.counter >= b.off_time) {
                b.counter = 0;
                b.state = 1;
                Set_Palette_Entry(b.color_index, &b.active_color);
            } else if (b.state == 1 && b.counter >= b.on_time) {
                b.counter = 0;
                b.state = -1;
                Set_Palette_Entry(b.color_index, &b.inactive_color);
            }
        }
        return 1;
    default:
        return 1;
    }
}
