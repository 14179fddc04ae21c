// 24-bit pictures and sheets, the colour-key rule for sprite pixels, and the BMP and PNG
// writers (no compression library: PNG uses stored deflate blocks).
#include "tools/genart/image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

Image24 Make_Image(int w, int h) {
    Image24 img;
    img.w = w;
    img.h = h;
    img.rgb.assign(static_cast<size_t>(w) * h * 3, 0);
    return img;
}

namespace {

void Set_Px(Image24 &img, int x, int y, int r, int g, int b) {
    uint8_t *o = &img.rgb[(static_cast<size_t>(y) * img.w + x) * 3];
    o[0] = static_cast<uint8_t>(r);
    o[1] = static_cast<uint8_t>(g);
    o[2] = static_cast<uint8_t>(b);
}

} // namespace

Image24 Make_Sheet(int cols, int rows, int cw, int ch) {
    int w = cols * (cw + 1) + 1, h = rows * (ch + 1) + 1;
    Image24 img = Make_Image((w + 3) / 4 * 4, h);
    // Grid lines in a muted blue-grey: never part of a frame, easy to see when editing.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x % (cw + 1) == 0 || y % (ch + 1) == 0) Set_Px(img, x, y, 72, 80, 104);
    return img;
}

namespace {

int To_Byte(float v) {
    return static_cast<int>(std::lround(Clamp01(v) * 255.0f));
}

} // namespace

void Put_Canvas(Image24 &img, int x0, int y0, const Canvas &cv) {
    for (int y = 0; y < cv.h; ++y)
        for (int x = 0; x < cv.w; ++x) {
            const float *p = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
            int r = To_Byte(p[0]), g = To_Byte(p[1]), b = To_Byte(p[2]);
            int m = std::max({r, g, b});
            if (p[3] > 0.0f && m < kMinVisible) {
                // A covered pixel too dim to survive 5-bit packing: lift it, keeping its hue.
                if (m == 0) {
                    r = g = b = kMinVisible;
                } else {
                    r = (r * kMinVisible + m - 1) / m;
                    g = (g * kMinVisible + m - 1) / m;
                    b = (b * kMinVisible + m - 1) / m;
                }
            } else if (m < kMinVisible) {
                r = g = b = 0; // faint glow: the key, not a near-black smudge
            }
            Set_Px(img, x0 + x, y0 + y, r, g, b);
        }
}

void Put_Opaque(Image24 &img, const Canvas &cv) {
    // The game keeps the top 5 bits of each channel, which bands smooth gradients such as a
    // nebula. An ordered (4 x 4 Bayer) offset of up to one 5-bit step before that truncation
    // trades the bands for a fine, even pattern; black stays black (offsets stay below 8).
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < cv.h && y < img.h; ++y)
        for (int x = 0; x < cv.w && x < img.w; ++x) {
            const float *p = &cv.px[(static_cast<size_t>(y) * cv.w + x) * 4];
            const float offset = (bayer[y & 3][x & 3] + 0.5f) * 0.5f;
            int v[3];
            for (int k = 0; k < 3; ++k)
                v[k] = std::min(255, static_cast<int>(std::floor(Clamp01(p[k]) * 255.0f + offset)));
            Set_Px(img, x, y, v[0], v[1], v[2]);
        }
}

namespace {
struct File_Closer {
    void operator()(FILE *f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, File_Closer>;

void Put16(std::vector<uint8_t> &v, uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t> &v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}
void Put32Be(std::vector<uint8_t> &v, uint32_t x) {
    v.push_back(x >> 24);
    v.push_back((x >> 16) & 0xFF);
    v.push_back((x >> 8) & 0xFF);
    v.push_back(x & 0xFF);
}

bool Save(const std::string &path, const std::vector<uint8_t> &bytes) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
    return std::fflush(f.get()) == 0;
}

uint32_t Crc32(const uint8_t *p, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
    return ~crc;
}

void Chunk(std::vector<uint8_t> &out, const char *type, const std::vector<uint8_t> &data) {
    Put32Be(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32Be(out, Crc32(out.data() + start, out.size() - start));
}
} // namespace

bool Write_Bmp(const std::string &path, const Image24 &img) {
    const uint32_t row = (static_cast<uint32_t>(img.w) * 3 + 3) & ~3U;
    const uint32_t image_size = row * static_cast<uint32_t>(img.h);
    std::vector<uint8_t> out;
    out.reserve(54 + image_size);
    Put16(out, 0x4D42);
    Put32(out, 54 + image_size);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(img.w));
    Put32(out, static_cast<uint32_t>(img.h));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, image_size);
    Put32(out, 2835); // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = img.h - 1; y >= 0; --y) {
        const uint8_t *s = &img.rgb[static_cast<size_t>(y) * img.w * 3];
        for (int x = 0; x < img.w; ++x) {
            out.push_back(s[x * 3 + 2]);
            out.push_back(s[x * 3 + 1]);
            out.push_back(s[x * 3 + 0]);
        }
        for (uint32_t pad = static_cast<uint32_t>(img.w) * 3; pad < row; ++pad)
            out.push_back(0);
    }
    return Save(path, out);
}

bool Write_Png(const std::string &path, int w, int h, const std::vector<uint8_t> &rgba) {
    // Raw scanlines, each led by filter byte 0.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(h) * (w * 4 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        const uint8_t *s = &rgba[static_cast<size_t>(y) * w * 4];
        raw.insert(raw.end(), s, s + static_cast<size_t>(w) * 4);
    }
    // zlib stream of stored blocks (at most 65535 bytes each) and the Adler-32 of the data.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        z.push_back(pos + n == raw.size() ? 1 : 0);
        Put16(z, static_cast<uint32_t>(n));
        Put16(z, static_cast<uint32_t>(~n & 0xFFFF));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32Be(z, (b << 16) | a);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    Put32Be(ihdr, static_cast<uint32_t>(w));
    Put32Be(ihdr, static_cast<uint32_t>(h));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    Chunk(out, "IHDR", ihdr);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    return Save(path, out);
}

std::vector<uint8_t> Canvas_Rgba(const Canvas &cv) {
    std::vector<uint8_t> out(static_cast<size_t>(cv.w) * cv.h * 4);
    for (size_t i = 0; i < static_cast<size_t>(cv.w) * cv.h; ++i) {
        const float *p = &cv.px[i * 4];
        float a = Clamp01(p[3]);
        for (int k = 0; k < 3; ++k)
            out[i * 4 + k] = static_cast<uint8_t>(To_Byte(a > 0.0f ? p[k] / a : 0.0f));
        out[i * 4 + 3] = static_cast<uint8_t>(To_Byte(a));
    }
    return out;
}
