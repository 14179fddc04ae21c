// Writes the bitmap test cases: good/ holds one file for every header form and pixel layout the
// loader reads, bad/ one for every fault it refuses. Run at build time; the tests and the fuzz
// seeds read them, so nothing depends on a corpus beside the repository.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/genbmp/pattern.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes &v, uint32_t x) {
    v.push_back((uint8_t)x);
    v.push_back((uint8_t)(x >> 8));
}
void Put32(Bytes &v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}
void Set32(Bytes &v, size_t at, uint32_t x) {
    for (int k = 0; k < 4; k++)
        v[at + k] = (uint8_t)(x >> (8 * k));
}
void Set16(Bytes &v, size_t at, uint32_t x) {
    v[at] = (uint8_t)x;
    v[at + 1] = (uint8_t)(x >> 8);
}

// What a case file is made of; every field is written as given, honest or not.
struct Form {
    uint32_t header = 40; // 12 (OS/2), 40, 108 (V4), 124 (V5)
    int bits = 24;
    uint32_t compression = 0;
    int top_down = 0;
    int palette = 256;      // palette entries written (8-bit files)
    uint32_t clr_used = 0;  // as stored in the header
    uint32_t masks[3] = {}; // bit fields, when compression is 3
    int padded = 1;         // rows padded to 4 bytes
    int size_image = 0;     // store the pixel array's size in the header
    int offset_zero = 0;    // leave the pixel position 0
};

// One stored row of the picture in the file's layout.
Bytes Row(const Form &f, int y) {
    Bytes row;
    for (int x = 0; x < BMP_CASE_WIDTH; x++) {
        Case_Rgb c = Case_Pixel(x, y);
        if (f.bits == 8) {
            row.push_back((uint8_t)Case_Index(x, y, f.palette));
        } else if (f.bits == 24) {
            row.push_back(c.b);
            row.push_back(c.g);
            row.push_back(c.r);
        } else {
            uint32_t rm = f.masks[0], gm = f.masks[1], bm = f.masks[2];
            if (f.compression != 3 || (rm | gm | bm) == 0) rm = 0x7C00, gm = 0x03E0, bm = 0x001F;
            // Each component keeps as many of its top bits as its mask is wide.
            auto field = [](uint8_t v, uint32_t mask) {
                int shift = 0, width = 0;
                while (!((mask >> shift) & 1))
                    shift++;
                while ((mask >> (shift + width)) & 1)
                    width++;
                return (uint32_t)(v >> (8 - width)) << shift;
            };
            Put16(row, field(c.r, rm) | field(c.g, gm) | field(c.b, bm));
        }
    }
    while (f.padded && row.size() % 4)
        row.push_back(0);
    return row;
}

Bytes Build(const Form &f) {
    Bytes pixels;
    for (int i = 0; i < BMP_CASE_HEIGHT; i++) {
        Bytes row = Row(f, f.top_down ? i : BMP_CASE_HEIGHT - 1 - i);
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    Bytes info;
    Put32(info, f.header);
    int height = f.top_down ? -BMP_CASE_HEIGHT : BMP_CASE_HEIGHT;
    if (f.header == 12) {
        Put16(info, BMP_CASE_WIDTH);
        Put16(info, (uint32_t)height);
        Put16(info, 1);
        Put16(info, (uint32_t)f.bits);
    } else {
        Put32(info, BMP_CASE_WIDTH);
        Put32(info, (uint32_t)height);
        Put16(info, 1);
        Put16(info, (uint32_t)f.bits);
        Put32(info, f.compression);
        Put32(info, f.size_image ? (uint32_t)pixels.size() : 0);
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, f.clr_used);
        Put32(info, 0);
        if (f.header > 40) {
            // V4 and V5 hold the masks at the start of their extra fields.
            for (uint32_t m : f.masks)
                Put32(info, m);
        }
        while (info.size() < f.header)
            info.push_back(0);
    }
    Bytes between;
    if (f.compression == 3 && f.header == 40)
        for (uint32_t m : f.masks)
            Put32(between, m);
    if (f.bits == 8) {
        for (int i = 0; i < f.palette; i++) {
            Case_Rgb c = Case_Palette(i);
            between.push_back(c.b);
            between.push_back(c.g);
            between.push_back(c.r);
            if (f.header != 12) between.push_back(0);
        }
    }
    uint32_t off = 14 + (uint32_t)(info.size() + between.size());
    Bytes out;
    Put16(out, 0x4D42);
    Put32(out, off + (uint32_t)pixels.size());
    Put32(out, 0);
    Put32(out, f.offset_zero ? 0 : off);
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), between.begin(), between.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

Form Pal8() {
    Form f;
    f.bits = 8;
    return f;
}
Form Rgb16() {
    Form f;
    f.bits = 16;
    return f;
}
Form Bitfields(uint32_t r, uint32_t g, uint32_t b, uint32_t header = 40) {
    Form f = Rgb16();
    f.compression = 3;
    f.header = header;
    f.masks[0] = r, f.masks[1] = g, f.masks[2] = b;
    return f;
}

int Write(const std::filesystem::path &path, const Bytes &b) {
    FILE *fp = std::fopen(path.string().c_str(), "wb");
    if (!fp) return 0;
    size_t n = b.empty() ? 0 : std::fwrite(b.data(), 1, b.size(), fp);
    return std::fclose(fp) == 0 && n == b.size();
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fw-genbmp OUTPUT_FOLDER\n");
        return 2;
    }
    namespace fs = std::filesystem;
    fs::path root = argv[1];
    std::error_code ec;
    fs::create_directories(root / "good", ec);
    fs::create_directories(root / "bad", ec);
    int ok = 1;
    auto good = [&](const char *name, const Form &f) {
        ok &= Write(root / "good" / name, Build(f));
    };
    auto bad = [&](const char *name, const Bytes &b) { ok &= Write(root / "bad" / name, b); };

    // ---- every form the loader reads ----
    good("pal8.bmp", Pal8());
    Form f = Pal8();
    f.top_down = 1;
    good("pal8-topdown.bmp", f);
    f = Pal8();
    f.palette = 40, f.clr_used = 40;
    good("pal8-clrused40.bmp", f);
    f = Pal8();
    f.header = 12;
    good("pal8-os2.bmp", f);
    f = Pal8();
    f.header = 108;
    good("pal8-v4.bmp", f);
    f = Pal8();
    f.header = 124;
    good("pal8-v5.bmp", f);
    good("rgb16-555.bmp", Rgb16());
    f = Rgb16();
    f.top_down = 1;
    good("rgb16-555-topdown.bmp", f);
    good("rgb16-bf565.bmp", Bitfields(0xF800, 0x07E0, 0x001F));
    good("rgb16-bf555.bmp", Bitfields(0x7C00, 0x03E0, 0x001F));
    good("rgb16-bf444.bmp", Bitfields(0x0F00, 0x00F0, 0x000F));
    good("rgb16-bfdefault.bmp", Bitfields(0, 0, 0));
    good("rgb16-v5-565.bmp", Bitfields(0xF800, 0x07E0, 0x001F, 124));
    good("rgb24.bmp", Form{});
    f = Form{};
    f.top_down = 1;
    good("rgb24-topdown.bmp", f);
    f = Form{};
    f.header = 12;
    good("rgb24-os2.bmp", f);
    f = Form{};
    f.padded = 0, f.size_image = 1;
    good("rgb24-unpadded.bmp", f);
    f = Form{};
    f.offset_zero = 1, f.size_image = 1;
    good("rgb24-offset0.bmp", f);
    f = Pal8();
    f.size_image = 1;
    good("pal8-sizeimage.bmp", f);

    // ---- every fault it refuses ----
    const Bytes base = Build(Form{});
    const Bytes pal = Build(Pal8());
    Bytes b = base;
    b[0] = 'X';
    bad("magic.bmp", b);
    b = base;
    Set16(b, 26, 2);
    bad("planes2.bmp", b);
    for (int bits : {1, 4, 32, 0}) {
        b = base;
        Set16(b, 28, (uint32_t)bits);
        bad(("bits" + std::to_string(bits) + ".bmp").c_str(), b);
    }
    b = pal;
    Set32(b, 30, 1);
    bad("rle8.bmp", b);
    b = base;
    Set32(b, 30, 3);
    bad("bitfields24.bmp", b);
    b = base;
    Set32(b, 30, 4);
    bad("jpeg.bmp", b);
    b = base;
    Set32(b, 18, 0);
    bad("width0.bmp", b);
    b = base;
    Set32(b, 18, (uint32_t)-7);
    bad("width-negative.bmp", b);
    b = base;
    Set32(b, 22, 0);
    bad("height0.bmp", b);
    b = base;
    Set32(b, 18, 16385);
    bad("width-huge.bmp", b);
    b = base;
    Set32(b, 22, 0x80000000u);
    bad("height-intmin.bmp", b);
    b = base;
    Set32(b, 18, 0x7FFFFFFF);
    Set32(b, 22, 0x7FFFFFFF);
    bad("reallybig.bmp", b);
    // The last row's padding may be missing; one byte of its pixels may not.
    b = base;
    b.resize(b.size() - 4);
    bad("short-pixels.bmp", b);
    b = base;
    b.resize(20);
    bad("short-header.bmp", b);
    b = base;
    b.resize(17);
    bad("short-fileheader.bmp", b);
    bad("empty.bmp", Bytes{});
    b = base;
    Set32(b, 14, 20);
    bad("headersize20.bmp", b);
    b = base;
    Set32(b, 14, 100000);
    bad("headersize-past-end.bmp", b);
    b = pal;
    Set32(b, 46, 300);
    bad("palette300.bmp", b);
    b = pal;
    Set32(b, 10, 14 + 40 + 16);
    bad("palette-overlaps-pixels.bmp", b);
    b = base;
    Set32(b, 10, (uint32_t)b.size() + 1);
    bad("offset-past-end.bmp", b);
    b = base;
    Set32(b, 10, 20);
    bad("offset-in-header.bmp", b);
    b = base;
    Set32(b, 10, 0xFFFFFFFFu);
    bad("offset-huge.bmp", b);
    b = Build(Bitfields(0x1F0000, 0x07E0, 0x001F));
    bad("mask-too-wide.bmp", b);
    b = base;
    Set32(b, 34, 10);
    bad("sizeimage-small.bmp", b);
    b = Build(Bitfields(0xF800, 0x07E0, 0x001F));
    b.resize(14 + 40 + 6);
    bad("masks-cut.bmp", b);

    if (!ok) {
        std::fprintf(stderr, "fw-genbmp: cannot write the cases under %s\n", argv[1]);
        return 1;
    }
    return 0;
}
