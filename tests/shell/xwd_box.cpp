// Reads X window dumps (xwd) of a whole screen and prints its size and the smallest box that
// holds every lit pixel of all of them (inside an area, when given), to tell where the game's
// picture lies on the screen.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

uint32_t Be32(const std::vector<uint8_t> &d, size_t at) {
    return (uint32_t)d[at] << 24 | (uint32_t)d[at + 1] << 16 | (uint32_t)d[at + 2] << 8 | d[at + 3];
}

int Shift_Of(uint32_t mask) {
    int s = 0;
    while (mask && s < 32 && !((mask >> s) & 1))
        s++;
    return s;
}

struct Box {
    int cx0 = 0, cy0 = 0, cx1 = 1 << 30, cy1 = 1 << 30; // only pixels inside this area count
    int width = 0, height = 0;
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1; // x1, y1 exclusive; empty while x1 < 0
    long long lit = 0;
};

// Adds one dump's lit pixels to the box; 0 when the file is not a 24- or 32-bit dump of the
// same size as the ones before.
int Add_Dump(const char *path, Box *box) {
    FILE *f = std::fopen(path, "rb");
    if (!f) return 0;
    std::vector<uint8_t> d;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        d.insert(d.end(), buf, buf + n);
    std::fclose(f);
    if (d.size() < 100 || Be32(d, 4) != 7) return 0;
    uint32_t header = Be32(d, 0), width = Be32(d, 16), height = Be32(d, 20);
    uint32_t order = Be32(d, 28), bpp = Be32(d, 44), per_line = Be32(d, 48);
    uint32_t ncolors = Be32(d, 76);
    if ((bpp != 24 && bpp != 32) || width == 0 || height == 0 || width > 20000 ||
        height > 20000 || ncolors > 65536 || header > d.size())
        return 0;
    size_t step = bpp / 8, start = header + 12 * (size_t)ncolors;
    if (per_line < width * step || d.size() < start + (size_t)per_line * height) return 0;
    if (box->width && (box->width != (int)width || box->height != (int)height)) return 0;
    box->width = (int)width;
    box->height = (int)height;
    uint32_t mask[3];
    int shift[3];
    for (int i = 0; i < 3; i++) {
        mask[i] = Be32(d, 56 + 4 * i);
        shift[i] = Shift_Of(mask[i]);
    }
    for (uint32_t y = 0; y < height; y++)
        for (uint32_t x = 0; x < width; x++) {
            if ((int)x < box->cx0 || (int)x >= box->cx1 || (int)y < box->cy0 || (int)y >= box->cy1)
                continue;
            const uint8_t *p = &d[start + (size_t)y * per_line + x * step];
            uint32_t v = 0;
            for (size_t i = 0; i < step; i++)
                v |= (uint32_t)p[i] << (8 * (order == 0 ? i : step - 1 - i));
            int sum = 0;
            for (int i = 0; i < 3; i++)
                sum += (int)((v & mask[i]) >> shift[i]);
            if (sum <= 40) continue;
            box->lit++;
            if ((int)x < box->x0) box->x0 = (int)x;
            if ((int)y < box->y0) box->y0 = (int)y;
            if ((int)x + 1 > box->x1) box->x1 = (int)x + 1;
            if ((int)y + 1 > box->y1) box->y1 = (int)y + 1;
        }
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    Box box;
    int first = 1;
    // --area X Y W H: look only inside that part of the screen (a window's inside).
    if (argc >= 6 && std::strcmp(argv[1], "--area") == 0) {
        box.cx0 = std::atoi(argv[2]);
        box.cy0 = std::atoi(argv[3]);
        box.cx1 = box.cx0 + std::atoi(argv[4]);
        box.cy1 = box.cy0 + std::atoi(argv[5]);
        first = 6;
    }
    if (argc <= first) {
        std::fprintf(stderr, "usage: xwd_box [--area X Y W H] DUMP.xwd...\n");
        return 2;
    }
    for (int i = first; i < argc; i++)
        if (!Add_Dump(argv[i], &box)) {
            std::fprintf(stderr, "xwd_box: %s is not a 24- or 32-bit dump of one size\n", argv[i]);
            return 1;
        }
    if (box.x1 < 0) box.x0 = box.y0 = box.x1 = box.y1 = 0;
    std::printf("width=%d height=%d x0=%d y0=%d x1=%d y1=%d lit=%lld\n", box.width, box.height,
                box.x0, box.y0, box.x1, box.y1, box.lit);
    return 0;
}
