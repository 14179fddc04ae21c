// Fuzz target: a bitmap of any shape cut into frames of the game's object sizes, loaded from a
// file (Load_Sheet_BOB16, inputs of odd length) or from memory. The first byte picks the object;
// the rest is the .bmp file, whose rows are also turned over by Flip_Bitmap_Rows with a row length
// and count taken from it.
#include <cstddef>
#include <cstdint>

#include "engine/graphics/bob.h"
#include "engine/graphics/ddraw.h"
#include "engine/graphics/bitmap.h"
#include "fuzz/fuzz_file.h"
#include "world/sheet.h"

#include <cstring>
#include <vector>

namespace {

struct Shape {
    int width, height, frames, columns;
};
// Shots (4 by 4 grid), power-ups, missiles, craft, the explosion and stations.
constexpr Shape shapes[] = {{13, 13, 16, 4},  {25, 25, 4, 4}, {39, 39, 36, 36},
                            {49, 49, 36, 36}, {80, 80, 4, 4}, {120, 120, 8, 8}};

// Turns over the rows of the bytes, twice: the row length and count come from the first two
// bytes (negative ones too), cut to what the buffer holds; twice over is the buffer again.
void Flip_Rows(const uint8_t *data, size_t size) {
    if (size < 2) return;
    int line = (int8_t)data[0], height = (int8_t)data[1];
    std::vector<UCHAR> rows(data + 2, data + size);
    if (line > 0 && height > 0 && (size_t)line * (size_t)height > rows.size())
        height = (int)(rows.size() / (size_t)line);
    int ok = Flip_Bitmap_Rows(rows.empty() ? nullptr : rows.data(), line, height);
    if (ok != (line >= 0 && height >= 0 && (!rows.empty() || line * height == 0))) __builtin_trap();
    if (ok && Flip_Bitmap_Rows(rows.data(), line, height) != 1) __builtin_trap();
    // An empty vector may hold no storage at all, and memcmp takes no null pointer even for 0.
    if (!rows.empty() && std::memcmp(rows.data(), data + 2, rows.size()) != 0) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static int opened = DDraw_Init(800, 600, 16, 0);
    if (!opened || size < 1) return 0;
    const Shape &s = shapes[data[0] % (sizeof shapes / sizeof shapes[0])];
    const int from_file = size & 1; // half the inputs of any corpus through a file
    BOB_TYP bob{};
    if (Create_BOB(&bob, 0, 0, s.width, s.height, s.frames, BOB_ATTR_VISIBLE, DDSCAPS_SYSTEMMEMORY,
                   0, 16)) {
        if (from_file) {
            std::string path = Fuzz_File(data + 1, size - 1);
            if (!path.empty()) Load_Sheet_BOB16(&bob, path.c_str(), s.frames, s.columns);
        } else {
            BITMAP_FILE_TAG bitmap{};
            if (Load_Bitmap_File_Mem(&bitmap, data + 1, size - 1))
                Cut_Sheet_BOB16(&bob, &bitmap, s.frames, s.columns);
            Unload_Bitmap_File(&bitmap);
        }
    }
    // With no attribute bits the record releases its own frame surfaces.
    bob.attr = 0;
    Destroy_BOB(&bob);
    Flip_Rows(data + 1, size - 1);
    return 0;
}
