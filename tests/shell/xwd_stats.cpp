// Reads an X window dump (xwd) of the 800 x 600 game picture and prints counts of the pixels that
// tell the screens apart: lit pixels, the cyan of the score line, the red of the credits captions,
// the white of the pause's text.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

uint32_t Be32(const std::vector<uint8_t> &d, size_t at) {
    return (uint32_t)d[at] << 24 | (uint32_t)d[at + 1] << 16 | (uint32_t)d[at + 2] << 8 | d[at + 3];
}

int Shift_Of(uint32_t mask) {
    int s = 0;
    while (mask && !((mask >> s) & 1))
        s++;
    return s;
}

struct Dump {
    std::vector<uint8_t> data;
    size_t start = 0, bytes_per_line = 0;
    int x0 = 0, y0 = 0, step = 4, lsb_first = 1;
    uint32_t mask[3] = {0, 0, 0};
    int shift[3] = {0, 0, 0};

    // Red, green and blue of picture pixel (x, y), on the dump's own scale (8 bits on Xvfb).
    void rgb(int x, int y, int c[3]) const {
        const uint8_t *p =
            &data[start + (size_t)(y0 + y) * bytes_per_line + (size_t)(x0 + x) * step];
        uint32_t v = 0;
        for (int i = 0; i < step; i++)
            v |= (uint32_t)p[i] << (8 * (lsb_first ? i : step - 1 - i));
        for (int i = 0; i < 3; i++)
            c[i] = (int)((v & mask[i]) >> shift[i]);
    }
};

int Load(const char *path, Dump *d) {
    FILE *f = std::fopen(path, "rb");
    if (!f) return 0;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        d->data.insert(d->data.end(), buf, buf + n);
    std::fclose(f);
    if (d->data.size() < 100 || Be32(d->data, 4) != 7) return 0;
    uint32_t header_size = Be32(d->data, 0), width = Be32(d->data, 16), height = Be32(d->data, 20);
    uint32_t byte_order = Be32(d->data, 28), bpp = Be32(d->data, 44);
    uint32_t ncolors = Be32(d->data, 76);
    d->bytes_per_line = Be32(d->data, 48);
    for (int i = 0; i < 3; i++) {
        d->mask[i] = Be32(d->data, 56 + 4 * i);
        d->shift[i] = Shift_Of(d->mask[i]);
    }
    if ((bpp != 24 && bpp != 32) || width < 800 || height < 600 || width > 100000 ||
        height > 100000 || ncolors > 65536)
        return 0;
    d->step = (int)bpp / 8;
    d->lsb_first = byte_order == 0;
    d->start = header_size + 12 * (size_t)ncolors;
    if (d->bytes_per_line < (size_t)width * d->step ||
        d->data.size() < d->start + d->bytes_per_line * height)
        return 0;
    // The picture is centred on larger screens.
    d->x0 = (int)(width - 800) / 2;
    d->y0 = (int)(height - 600) / 2;
    return 1;
}

int Count(const Dump &d, int x0, int y0, int x1, int y1,
          const std::function<bool(int, int, int)> &test) {
    int n = 0, c[3];
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            d.rgb(x, y, c);
            n += test(c[0], c[1], c[2]);
        }
    return n;
}

} // namespace

int main(int argc, char **argv) {
    Dump d;
    if (argc != 2 || !Load(argv[1], &d)) {
        std::fprintf(stderr, "xwd_stats: need a 24- or 32-bit dump of at least 800x600\n");
        return 1;
    }
    int lit = Count(d, 0, 0, 800, 600, [](int r, int g, int b) { return r + g + b > 40; });
    int score_cyan =
        Count(d, 340, 4, 720, 34, [](int r, int g, int b) { return r < 80 && g > 160 && b > 160; });
    int caption_red = Count(d, 316, 196, 800, 280,
                            [](int r, int g, int b) { return r > 200 && g < 50 && b < 50; });
    // The pause's text: white across the middle, a third of the way down a dimmed picture.
    int pause_white = Count(d, 340, 186, 460, 214,
                             [](int r, int g, int b) { return r > 200 && g > 200 && b > 200; });
    std::printf("lit=%d score_cyan=%d caption_red=%d pause_white=%d\n", lit, score_cyan,
                caption_red, pause_white);
    return 0;
}
