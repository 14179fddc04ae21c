// The frame conversion's wide steps: every 16-bit value converted sixteen at a time must give
// what it gives alone, in both packings, with rows whose width is no multiple of eight.
#include "platform/sdl/sdl_present.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(SdlConvertWide, EveryValueInRowsAgreesWithThePixelAlone) {
    // 65536 values in rows of 21 pixels (a step of sixteen and five left over), padded to 24
    // in the source and 25 in the output.
    const int w = 21, rows = (65536 + w - 1) / w;
    std::vector<uint16_t> src((size_t)rows * 24, 0);
    for (int v = 0; v < 65536; v++)
        src[(size_t)(v / w) * 24 + v % w] = (uint16_t)v;
    for (int packing : {15, 16}) {
        std::vector<uint32_t> dst((size_t)rows * 25, 0x12345678u);
        Sdl_Convert_Frame(src.data(), w, rows, 48, packing, dst.data(), 100);
        int wrong = 0, padding_touched = 0;
        for (int v = 0; v < 65536; v++) {
            uint16_t p = (uint16_t)v;
            uint32_t alone = 0;
            Sdl_Convert_Frame(&p, 1, 1, 2, packing, &alone, 4);
            wrong += dst[(size_t)(v / w) * 25 + v % w] != alone;
        }
        for (int y = 0; y < rows; y++)
            for (int x = w; x < 25; x++)
                padding_touched += dst[(size_t)y * 25 + x] != 0x12345678u;
        EXPECT_EQ(wrong, 0) << "packing " << packing;
        EXPECT_EQ(padding_touched, 0) << "packing " << packing;
    }
}

} // namespace
