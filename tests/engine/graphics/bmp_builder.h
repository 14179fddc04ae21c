// Builds .bmp files byte by byte for the tests, so that every header field (honest or not)
// is spelled out by the test that needs it.
#pragma once
#include <cstdint>
#include <vector>

struct Bmp_Parts {
    uint16_t type = 0x4D42;
    uint32_t header_size = 40; // 12: the old OS/2 header
    int32_t width = 1, height = 1;
    uint16_t planes = 1, bits = 24;
    uint32_t compression = 0;
    uint32_t size_image = 0;
    uint32_t clr_used = 0;
    int64_t off_bits = -1;            // -1: right after everything before the pixels
    std::vector<uint8_t> header_tail; // bytes 40.. of a longer info header (V4/V5 masks)
    std::vector<uint8_t> between;     // masks and palette, after the info header
    std::vector<uint8_t> pixels;      // the stored rows, padding included
};

inline void Put16(std::vector<uint8_t> &v, uint32_t x) {
    v.push_back((uint8_t)x);
    v.push_back((uint8_t)(x >> 8));
}
inline void Put32(std::vector<uint8_t> &v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

inline std::vector<uint8_t> Build_Bmp(const Bmp_Parts &p) {
    std::vector<uint8_t> info;
    Put32(info, p.header_size);
    if (p.header_size == 12) {
        Put16(info, (uint32_t)p.width);
        Put16(info, (uint32_t)p.height);
        Put16(info, p.planes);
        Put16(info, p.bits);
    } else {
        Put32(info, (uint32_t)p.width);
        Put32(info, (uint32_t)p.height);
        Put16(info, p.planes);
        Put16(info, p.bits);
        Put32(info, p.compression);
        Put32(info, p.size_image);
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, p.clr_used);
        Put32(info, 0);
        info.insert(info.end(), p.header_tail.begin(), p.header_tail.end());
        while (info.size() < p.header_size)
            info.push_back(0);
    }
    uint32_t off = 14 + (uint32_t)info.size() + (uint32_t)p.between.size();
    std::vector<uint8_t> out;
    Put16(out, p.type);
    Put32(out, off + (uint32_t)p.pixels.size());
    Put32(out, 0);
    Put32(out, p.off_bits < 0 ? off : (uint32_t)p.off_bits);
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), p.between.begin(), p.between.end());
    out.insert(out.end(), p.pixels.begin(), p.pixels.end());
    return out;
}

// Masks of a BI_BITFIELDS file as they follow a 40-byte header.
inline std::vector<uint8_t> Masks(uint32_t r, uint32_t g, uint32_t b) {
    std::vector<uint8_t> v;
    Put32(v, r);
    Put32(v, g);
    Put32(v, b);
    return v;
}
