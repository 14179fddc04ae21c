// fw-bmpref: decodes a .bmp with SDL and writes its pixels as a raw dump, so that tests can
// compare the engine's loader with an independent decoder without including SDL themselves.
// Usage: fw-bmpref in.bmp out.raw. The dump is width and height (32-bit little-endian) followed
// by width * height red, green, blue bytes, top row first. Exits 1 when SDL refuses the file.
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void Put32(std::vector<uint8_t> &out, uint32_t v) {
    for (int i = 0; i < 4; i++)
        out.push_back((uint8_t)(v >> (8 * i)));
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fw-bmpref in.bmp out.raw\n");
        return 2;
    }
    SDL_Surface *loaded = SDL_LoadBMP(argv[1]);
    if (!loaded) return 1;
    SDL_Surface *rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    if (!rgb) return 1;
    std::vector<uint8_t> out;
    Put32(out, (uint32_t)rgb->w);
    Put32(out, (uint32_t)rgb->h);
    SDL_LockSurface(rgb);
    for (int y = 0; y < rgb->h; y++) {
        const uint32_t *row = (const uint32_t *)((const uint8_t *)rgb->pixels + y * rgb->pitch);
        for (int x = 0; x < rgb->w; x++) {
            out.push_back((uint8_t)(row[x] >> 16));
            out.push_back((uint8_t)(row[x] >> 8));
            out.push_back((uint8_t)row[x]);
        }
    }
    SDL_UnlockSurface(rgb);
    SDL_FreeSurface(rgb);
    FILE *fp = std::fopen(argv[2], "wb");
    if (!fp) return 3;
    size_t wrote = std::fwrite(out.data(), 1, out.size(), fp);
    int closed = std::fclose(fp);
    return (wrote == out.size() && closed == 0) ? 0 : 3;
}
