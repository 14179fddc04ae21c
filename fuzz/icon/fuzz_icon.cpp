// Feeds arbitrary bytes to the window icon reader; what it accepts must be a whole picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/sdl/sdl_icon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<uint32_t> rgba;
    int w = 0, h = 0;
    if (Sdl_Decode_Icon(data, size, &rgba, &w, &h)) {
        if (w <= 0 || h <= 0 || w > 1024 || h > 1024 || rgba.size() != (size_t)w * (size_t)h)
            std::abort();
        volatile uint32_t sum = 0;
        for (uint32_t p : rgba)
            sum = sum + p;
    }
    return 0;
}
