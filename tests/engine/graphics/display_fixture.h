// Shared set-up of the display tests: an open 800 x 600 x 16 display on the headless backend,
// and small helpers to read and count pixels of a surface.
#pragma once
#include <gtest/gtest.h>
#include <cstdint>
#include <vector>
#include "engine/graphics/ddraw.h"
#include "platform/headless/headless.h"

// Pixel (x, y) of a 16-bit surface.
inline USHORT &Pixel_At(LPDIRECTDRAWSURFACE4 s, int x, int y) {
    return ((USHORT *)(s->memory.data() + (size_t)y * s->pitch))[x];
}

// Fills every pixel of a 16-bit surface with v (without going through the device).
inline void Paint(LPDIRECTDRAWSURFACE4 s, USHORT v) {
    for (int y = 0; y < s->height; y++)
        for (int x = 0; x < s->width; x++)
            Pixel_At(s, x, y) = v;
}

// Number of pixels of a 16-bit surface that differ from v.
inline int Count_Not(LPDIRECTDRAWSURFACE4 s, USHORT v) {
    int n = 0;
    for (int y = 0; y < s->height; y++)
        for (int x = 0; x < s->width; x++)
            n += Pixel_At(s, x, y) != v;
    return n;
}

// An open game display; closed again after each test.
class Display : public ::testing::Test {
  protected:
    void SetUp() override {
        Headless_Reset(1000);
        Headless_Set_Available(1, 1);
        ASSERT_EQ(Plat_Open_Window("farwake", 800, 600), 1);
        dd_present_format = 15;
        ASSERT_EQ(DDraw_Init(800, 600, 16, 0), 1);
    }
    void TearDown() override {
        DDraw_Shutdown();
        Plat_Close_Window();
        Headless_Set_Frame_Hook(nullptr, nullptr);
    }
};
