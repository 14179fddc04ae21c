// CRC-32 with the reflected polynomial 0xEDB88320, a byte at a time from a 256-entry table.
#include "tools/web/frame_crc.h"
#include <array>

namespace {

constexpr std::array<uint32_t, 256> make_table() {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t c = i;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[i] = c;
    }
    return t;
}

constexpr std::array<uint32_t, 256> table = make_table();

} // namespace

uint32_t Web_Crc32(uint32_t crc, const uint8_t *bytes, size_t n) {
    crc = ~crc;
    for (size_t i = 0; i < n; i++)
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Web_Frame_Crc(const uint16_t *px, int width, int height, int pitch_bytes) {
    uint32_t crc = 0;
    const uint8_t *base = (const uint8_t *)px;
    for (int y = 0; y < height; y++) {
        const uint16_t *row = (const uint16_t *)(base + (size_t)y * pitch_bytes);
        for (int x = 0; x < width; x++) {
            uint8_t le[2] = {(uint8_t)(row[x] & 0xFF), (uint8_t)(row[x] >> 8)};
            crc = Web_Crc32(crc, le, 2);
        }
    }
    return crc;
}
