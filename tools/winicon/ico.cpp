// Packs PNG pictures into an .ico: a 6-byte header, a 16-byte entry per picture (its side, 0
// meaning 256; 32 bits a pixel; its length and where it starts), then the pictures themselves.
#include "tools/winicon/ico.h"

namespace {

void put16(std::vector<uint8_t> &out, uint32_t v) {
    out.push_back((uint8_t)(v & 0xFF));
    out.push_back((uint8_t)(v >> 8));
}

void put32(std::vector<uint8_t> &out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::vector<uint8_t> Pack_Ico(const std::vector<ICO_IMAGE> &images, std::string *error) {
    std::vector<uint8_t> out;
    if (images.empty() || images.size() > 0xFFFF) return *error = "no pictures", out;
    for (const ICO_IMAGE &im : images) {
        if (im.size < 1 || im.size > 256)
            return *error = "a side of " + std::to_string(im.size) + " is not 1-256", out;
        if (im.png.empty()) return *error = "an empty picture", out;
    }
    put16(out, 0); // reserved
    put16(out, 1); // an icon, not a cursor
    put16(out, (uint32_t)images.size());
    uint64_t offset = 6 + 16 * images.size();
    for (const ICO_IMAGE &im : images) {
        out.push_back((uint8_t)(im.size & 0xFF)); // 256 is written as 0
        out.push_back((uint8_t)(im.size & 0xFF));
        out.push_back(0); // no palette
        out.push_back(0);
        put16(out, 1);  // planes
        put16(out, 32); // bits a pixel
        put32(out, (uint32_t)im.png.size());
        if (offset > 0xFFFFFFFFu) return *error = "the pictures pass 4 GiB", std::vector<uint8_t>();
        put32(out, (uint32_t)offset);
        offset += im.png.size();
    }
    for (const ICO_IMAGE &im : images) out.insert(out.end(), im.png.begin(), im.png.end());
    return out;
}
