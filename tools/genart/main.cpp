// fw-genart: draws the game's eleven pictures and its icons into the folder named on the
// command line. Output is the same on every run: nothing depends on time or the machine.
#include "tools/genart/art.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace {

// One sheet: cols x rows cells of cw x ch, cell (i % cols, i / cols) painted by paint(i).
bool Write_Sheet(const std::string &dir, const char *name, int cols, int rows, int cw, int ch,
                 const std::function<void(Canvas &, int)> &paint) {
    Image24 img = Make_Sheet(cols, rows, cw, ch);
    for (int i = 0; i < cols * rows; ++i) {
        Canvas cv = Make_Canvas(cw, ch);
        paint(cv, i);
        Put_Canvas(img, Cell_X(i % cols, cw), Cell_Y(i / cols, ch), cv);
    }
    return Write_Bmp(dir + "/" + name, img);
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fw-genart <output folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir + "/icons", ec);
    if (ec) {
        std::fprintf(stderr, "fw-genart: cannot make %s/icons: %s\n", dir.c_str(),
                     ec.message().c_str());
        return 1;
    }
    bool ok = true;
    ok &= Write_Sheet(dir, "ship.bmp", 36, 1, 60, 60, [](Canvas &cv, int k) {
        Paint_Ship(cv, Ship_Place(30.0f, 30.0f, 1.0f, Heading_Angle(k)), 1.0f);
    });
    ok &= Write_Sheet(dir, "craft01.bmp", 36, 1, 49, 49,
                      [](Canvas &cv, int k) { Paint_Craft(cv, Heading_Angle(k)); });
    ok &= Write_Sheet(dir, "missiles.bmp", 36, 1, 39, 39,
                      [](Canvas &cv, int k) { Paint_Missile(cv, Heading_Angle(k)); });
    ok &= Write_Sheet(dir, "bullets.bmp", 4, 4, 13, 13,
                      [](Canvas &cv, int i) { Paint_Bullet(cv, i / 4, i % 4); });
    ok &= Write_Sheet(dir, "station00.bmp", 8, 1, 120, 120, Paint_Station);
    ok &= Write_Sheet(dir, "expl.bmp", 4, 1, 80, 80, Paint_Explosion);
    ok &= Write_Sheet(dir, "powerups.bmp", 4, 1, 25, 25, Paint_Powerup);
    ok &= Write_Sheet(dir, "radar.bmp", 4, 1, 10, 10, Paint_Radar_Corner);
    ok &= Write_Sheet(dir, "shields.bmp", 4, 1, 90, 90, Paint_Shield_Gauge);
    {
        // Read from pixel (0, 0) as one block: no cell border.
        Image24 img = Make_Image(24, 80);
        Canvas cv = Make_Canvas(24, 80);
        Paint_Meter_Missile(cv);
        Put_Canvas(img, 0, 0, cv);
        ok &= Write_Bmp(dir + "/rmissile.bmp", img);
    }
    {
        Image24 img = Make_Image(600, 500);
        Canvas cv = Make_Canvas(600, 500);
        Paint_Title(cv);
        Put_Opaque(img, cv);
        ok &= Write_Bmp(dir + "/marlotitle.bmp", img);
    }
    for (int size : {48, 64, 128, 192, 256, 512}) {
        Canvas cv = Make_Canvas(size, size);
        Paint_Icon(cv);
        ok &= Write_Png(dir + "/icons/farwake-" + std::to_string(size) + ".png", size, size,
                        Canvas_Rgba(cv));
    }
    if (!ok) {
        std::fprintf(stderr, "fw-genart: could not write every picture into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
