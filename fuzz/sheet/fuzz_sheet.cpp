// Fuzz target: a bitmap of any shape cut into frames of the game's object sizes. The first byte
// picks the object; the rest is the .bmp file.
#include <cstddef>
#include <cstdint>

#include "engine/graphics/bob.h"
#include "engine/graphics/ddraw.h"
#include "world/sheet.h"

namespace {

struct Shape {
    int width, height, frames, columns;
};
// Shots (4 by 4 grid), power-ups, missiles, craft, the explosion and stations.
constexpr Shape shapes[] = {{13, 13, 16, 4},  {25, 25, 4, 4}, {39, 39, 36, 36},
                            {49, 49, 36, 36}, {80, 80, 4, 4}, {120, 120, 8, 8}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static int opened = DDraw_Init(800, 600, 16, 0);
    if (!opened || size < 1) return 0;
    const Shape &s = shapes[data[0] % (sizeof shapes / sizeof shapes[0])];
    BITMAP_FILE_TAG bitmap{};
    if (!Load_Bitmap_File_Mem(&bitmap, data + 1, size - 1)) return 0;
    BOB_TYP bob{};
    if (Create_BOB(&bob, 0, 0, s.width, s.height, s.frames, BOB_ATTR_VISIBLE, DDSCAPS_SYSTEMMEMORY,
                   0, 16))
        Cut_Sheet_BOB16(&bob, &bitmap, s.frames, s.columns);
    // With no attribute bits the record releases its own frame surfaces.
    bob.attr = 0;
    Destroy_BOB(&bob);
    Unload_Bitmap_File(&bitmap);
    return 0;
}
