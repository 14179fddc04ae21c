// A small show of the engine's drawing family: a field of filled triangles, rotating filled and
// outlined polygons, then a wipe. Headless, it writes its frames as 24-bit .bmp files.
//   farwake-drawdemo [--frames N]              (a window; Escape ends it)
//   farwake-drawdemo-headless --out DIR [--frames N]
#include "engine/graphics/random.h"
#include "engine/graphics/clock.h"
#include "engine/graphics/ddraw.h"
#include "engine/graphics/draw2d.h"
#include "platform/platform.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#ifdef DRAWDEMO_HEADLESS
#include "platform/headless/headless.h"
#endif

namespace {

std::string out_dir;

#ifdef DRAWDEMO_HEADLESS
int shot_index = 0;

void put_le(std::vector<uint8_t> &b, uint32_t v, int n) {
    for (int i = 0; i < n; i++)
        b.push_back((uint8_t)(v >> (8 * i)));
}

// Writes each presented frame as a bottom-up 24-bit .bmp.
void save_frame(const uint16_t *px, int w, int h, int pitch, int packing, void *) {
    if (out_dir.empty()) return;
    int row = (w * 3 + 3) & ~3;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put_le(b, 54 + row * h, 4);
    put_le(b, 0, 4);
    put_le(b, 54, 4);
    put_le(b, 40, 4);
    put_le(b, w, 4);
    put_le(b, h, 4);
    put_le(b, 1, 2);
    put_le(b, 24, 2);
    put_le(b, 0, 4);
    put_le(b, row * h, 4);
    put_le(b, 2835, 4);
    put_le(b, 2835, 4);
    put_le(b, 0, 4);
    put_le(b, 0, 4);
    for (int y = h - 1; y >= 0; y--) {
        const uint16_t *r = (const uint16_t *)((const uint8_t *)px + (size_t)y * pitch);
        for (int x = 0; x < w; x++) {
            uint16_t p = r[x];
            int red = packing == 15 ? (p >> 10) & 31 : p >> 11;
            int green = packing == 15 ? (p >> 5) & 31 : ((p >> 5) & 63) >> 1;
            int blue = p & 31;
            b.push_back((uint8_t)(blue << 3));
            b.push_back((uint8_t)(green << 3));
            b.push_back((uint8_t)(red << 3));
        }
        for (int k = w * 3; k < row; k++)
            b.push_back(0);
    }
    char name[64];
    std::snprintf(name, sizeof name, "/drawdemo%04d.bmp", shot_index++);
    if (FILE *f = std::fopen((out_dir + name).c_str(), "wb")) {
        std::fwrite(b.data(), 1, b.size(), f);
        std::fclose(f);
    }
}
#endif

bool escape_pressed() {
    uint8_t keys[256];
    Plat_Read_Keyboard(keys);
    Plat_Event ev;
    bool quit = false;
    while (Plat_Poll_Event(&ev))
        quit |= ev.type == PLAT_EV_QUIT;
    return quit || keys[0x01];
}

} // namespace

int main(int argc, char **argv) {
    int frames = 300;
    for (int i = 1; i < argc; i++) {
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--out") && i + 1 < argc)
            out_dir = argv[++i];
    }
#ifdef DRAWDEMO_HEADLESS
    Headless_Reset(1000);
    Headless_Set_Frame_Hook(save_frame, nullptr);
#endif
    if (!Plat_Init() || !Plat_Open_Window("farwake drawing demo", 800, 600)) {
        std::fprintf(stderr, "farwake-drawdemo: %s\n", Plat_Error());
        return 1;
    }
    DDraw_Init(800, 600, 16, 0);
    Build_Polygon_Trig_Tables();
    VERTEX_TYP star[10], hex[6], box[4] = {{-60, -60}, {60, -60}, {60, 60}, {-60, 60}};
    for (int k = 0; k < 6; k++) {
        float a = (float)k * 60.0f * 3.14159265f / 180.0f;
        hex[k] = {70.0f * std::cos(a), 70.0f * std::sin(a)};
    }
    for (int k = 0; k < 10; k++) {
        float r = (k & 1) ? 40.0f : 100.0f, a = (float)k * 36.0f * 3.14159265f / 180.0f;
        star[k] = {r * std::cos(a), r * std::sin(a)};
    }
    POLYGON_TYP star_poly = {1, 10, 200, 300, 0, 0, RGB16Bit(31, 25, 4), star};
    POLYGON_TYP box_poly = {1, 4, 600, 300, 0, 0, RGB16Bit(4, 20, 31), box};
    POLYGON_TYP hex_poly = {1, 6, 200, 300, 0, 0, RGB16Bit(31, 8, 6), hex};
    Seed_Rand(7);
    for (int f = 0; f < frames && !escape_pressed(); f++) {
        Start_Clock();
        DDraw_Fill_Surface(lpddsback, 0, nullptr);
        UCHAR *buf = DDraw_Lock_Back_Surface();
        if (buf) {
            for (int t = 0; t < 40; t++) {
                int x = Rand() % 900 - 50, y = Rand() % 700 - 50;
                Draw_Triangle16(x, y, x + Rand() % 80 - 40, y + Rand() % 80, x + Rand() % 80 - 40,
                                y + Rand() % 80,
                                RGB16Bit(Rand() % 12, Rand() % 12, 8 + Rand() % 12), buf,
                                back_lpitch);
            }
            Rotate_Polygon(&star_poly, 2);
            Rotate_Polygon(&hex_poly, -1);
            Rotate_Polygon_Mat(&box_poly, -3);
            // The filler takes convex shapes; the star is drawn as an outline around a hexagon.
            Draw_Filled_Polygon16(&box_poly, buf, back_lpitch);
            Draw_Filled_Polygon16(&hex_poly, buf, back_lpitch);
            Draw_Polygon16(&star_poly, buf, back_lpitch);
            box_poly.color = RGB16Bit(31, 31, 31);
            Draw_Polygon16(&box_poly, buf, back_lpitch);
            box_poly.color = RGB16Bit(4, 20, 31);
            DDraw_Unlock_Back_Surface();
        }
        DDraw_Flip();
        Wait_Clock(30);
    }
    // End on the wipe, shown on the front as it is drawn into the back surface.
    if (UCHAR *buf = DDraw_Lock_Back_Surface()) {
        Screen_Transition(SCREEN_SWIPE_X, buf, back_lpitch);
        DDraw_Unlock_Back_Surface();
        DDraw_Flip();
    }
    DDraw_Shutdown();
    Plat_Close_Window();
    Plat_Quit();
    return 0;
}
