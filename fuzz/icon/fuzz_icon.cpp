// Feeds the window icon reader two ways. Raw bytes test libpng's own door; but mutated PNG files
// almost never get past its checksums, so most inputs are fields (size, colour type, bit depth,
// interlacing, pixel rows) built into a well-formed PNG whose size and data then meet the
// reader's own checks. Half of them go through a file (Sdl_Load_Icon). What is accepted must be a
// whole picture within the limits.
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_file.h"
#include "platform/sdl/sdl_icon.h"

namespace {

// PNG colour type and bit depth pairs, the valid ones first and two that no reader takes.
constexpr uint8_t FORMATS[][2] = {{0, 1}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1}, {3, 4},
                                  {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}, {2, 4}, {5, 8}};
constexpr size_t MAX_ROW_BYTES = 256 << 10; // pixel data made up by repeating the input

void Put32(std::string &out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += (char)((v >> shift) & 0xFF);
}

void Chunk(std::string &png, const char *type, const std::string &body) {
    Put32(png, (uint32_t)body.size());
    std::string typed = std::string(type, 4) + body;
    png += typed;
    Put32(png, (uint32_t)crc32(0, (const Bytef *)typed.data(), (uInt)typed.size()));
}

// A PNG of the fields in data[1..6] and rows from the rest (repeated to fill the picture when
// it is small enough, cut off when not).
std::string Build_Png(const uint8_t *data, size_t size) {
    const uint32_t w = ((uint32_t)data[1] << 8 | data[2]) & 0x7FF;
    const uint32_t h = ((uint32_t)data[3] << 8 | data[4]) & 0x7FF;
    const uint8_t *format = FORMATS[data[5] % (sizeof FORMATS / sizeof FORMATS[0])];
    const uint8_t interlace = data[6] & 1;
    const uint8_t *rows = data + 7;
    const size_t have = size - 7;
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    Put32(ihdr, w);
    Put32(ihdr, h);
    ihdr += (char)format[1];
    ihdr += (char)format[0];
    ihdr += std::string("\0\0", 2);
    ihdr += (char)interlace;
    Chunk(png, "IHDR", ihdr);
    if (format[0] == 3) {
        std::string plte;
        for (int i = 0; i < 256 * 3; i++)
            plte += (char)(i * 7);
        Chunk(png, "PLTE", plte);
    }
    const int channels = format[0] == 2 ? 3 : format[0] == 4 ? 2 : format[0] == 6 ? 4 : 1;
    const uint64_t want = (uint64_t)h * (1 + ((uint64_t)w * channels * format[1] + 7) / 8);
    std::string raw((const char *)rows, have);
    if (have && want <= MAX_ROW_BYTES && !interlace)
        while (raw.size() < want)
            raw.append((const char *)rows, std::min<size_t>(have, want - raw.size()));
    uLongf packed_size = compressBound((uLong)raw.size());
    std::string packed(packed_size, '\0');
    if (compress2((Bytef *)packed.data(), &packed_size, (const Bytef *)raw.data(),
                  (uLong)raw.size(), 1) == Z_OK) {
        packed.resize(packed_size);
        Chunk(png, "IDAT", packed);
    }
    Chunk(png, "IEND", "");
    return png;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    // An even first byte builds a PNG; an odd one (a PNG file's 0x89) takes the bytes as they are.
    const int built = !(data[0] & 1) && size >= 7;
    std::string png = built ? Build_Png(data, size) : std::string((const char *)data, size);
    std::vector<uint32_t> rgba;
    int w = 0, h = 0, ok;
    if (data[0] & 2) {
        std::string path = Fuzz_File(png.data(), png.size());
        if (path.empty()) return 0;
        ok = Sdl_Load_Icon(path.c_str(), &rgba, &w, &h);
    } else {
        ok = Sdl_Decode_Icon(png.data(), png.size(), &rgba, &w, &h);
    }
    if (ok) {
        if (w <= 0 || h <= 0 || w > 1024 || h > 1024 || rgba.size() != (size_t)w * (size_t)h)
            std::abort();
        volatile uint32_t sum = 0;
        for (uint32_t p : rgba)
            sum = sum + p;
    }
    return 0;
}
