// Bitmap files: parses a .bmp held in memory (8-, 16- and 24-bit, uncompressed or 16-bit bit
// fields, bottom-up or top-down, padded rows) into a BITMAP_FILE_TAG; also row turning.
#include "engine/graphics/bitmap.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/graphics/datafile.h"

namespace {

constexpr uint16_t kBitmapId = 0x4D42; // "BM"
constexpr uint8_t kNoCollapse = 4;     // palette entry flag: keep the entry as given
constexpr uint32_t kRgb = 0;           // uncompressed
constexpr uint32_t kBitFields = 3;     // uncompressed with colour masks
constexpr uint32_t kCoreHeader = 12;   // the old OS/2 header: 16-bit sizes, 3-byte palette
constexpr uint32_t kInfoHeader = 40;
// No real picture is this large; larger files are far more likely hostile than useful.
constexpr uint64_t kMaxFileBytes = 1ull << 30;
// Every header field lies in a file's first bytes: the file header, a 40-byte info header and the
// three colour masks after it. The layout is worked out from these and the file's size alone.
constexpr uint64_t kHeadBytes = 14 + kInfoHeader + 12;

uint16_t U16(const uint8_t *p) {
    return (uint16_t)(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t *p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// One colour component of a 16-bit pixel, located by its mask.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

Channel Make_Channel(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask == 0) return c;
    while (((mask >> c.shift) & 1) == 0)
        c.shift++;
    uint32_t m = mask >> c.shift;
    while (m) {
        c.bits++;
        m >>= 1;
    }
    return c;
}

// The component's value stretched to 8 bits (short fields repeat their bits), then cut to 5,
// which is what the 24-bit conversion keeps of each 8-bit component.
int Channel_5(const Channel &c, uint32_t pixel) {
    if (c.bits == 0) return 0;
    uint32_t v = (pixel & c.mask) >> c.shift;
    uint32_t out = 0;
    if (c.bits >= 8) {
        out = v >> (c.bits - 8);
    } else {
        int pos = 8;
        while (pos > 0) {
            pos -= c.bits;
            out |= pos >= 0 ? v << pos : v >> -pos;
        }
    }
    return (int)((out & 0xFF) >> 3);
}

USHORT Pack_5(int r5, int g5, int b5) {
    if (dd_pixel_format == 15) return (USHORT)(b5 + (g5 << 5) + (r5 << 10));
    return (USHORT)(b5 + (g5 << 6) + (r5 << 11));
}

// Everything the headers say, checked against the bytes that are really there.
struct Layout {
    BITMAPFILEHEADER file_header;
    BITMAPINFOHEADER info_header;
    int width = 0, height = 0, top_down = 0, bits = 0;
    uint64_t stride = 0;  // bytes from one stored row to the next
    uint64_t offset = 0;  // first byte of the pixel array
    uint64_t pal_pos = 0; // first palette entry
    int pal_count = 0, pal_entry = 4;
    uint64_t end = 0; // one past the last byte the palette and pixels are read from
    Channel red, green, blue;
};

// Reads no byte at or past kHeadBytes; size is the whole file's size, of which data holds at
// least min(size, kHeadBytes) bytes.
int Parse_Layout(const uint8_t *data, uint64_t size, Layout *out) {
    Layout &l = *out;
    if (size < 18 || U16(data) != kBitmapId) return 0;
    l.file_header.bfType = U16(data);
    l.file_header.bfSize = U32(data + 2);
    l.file_header.bfReserved1 = U16(data + 6);
    l.file_header.bfReserved2 = U16(data + 8);
    l.file_header.bfOffBits = U32(data + 10);
    BITMAPINFOHEADER &ih = l.info_header;
    std::memset(&ih, 0, sizeof ih);
    ih.biSize = U32(data + 14);
    int64_t width, height;
    if (ih.biSize == kCoreHeader) {
        if (size < 14 + kCoreHeader) return 0;
        width = U16(data + 18);
        height = U16(data + 20);
        ih.biWidth = (int32_t)width;
        ih.biHeight = (int32_t)height;
        ih.biPlanes = U16(data + 22);
        ih.biBitCount = U16(data + 24);
        l.pal_entry = 3;
    } else {
        if (ih.biSize < kInfoHeader || ih.biSize > size - 14) return 0;
        const uint8_t *p = data + 14;
        ih.biWidth = (int32_t)U32(p + 4);
        ih.biHeight = (int32_t)U32(p + 8);
        ih.biPlanes = U16(p + 12);
        ih.biBitCount = U16(p + 14);
        ih.biCompression = U32(p + 16);
        ih.biSizeImage = U32(p + 20);
        ih.biXPelsPerMeter = (int32_t)U32(p + 24);
        ih.biYPelsPerMeter = (int32_t)U32(p + 28);
        ih.biClrUsed = U32(p + 32);
        ih.biClrImportant = U32(p + 36);
        width = ih.biWidth;
        height = ih.biHeight;
    }
    if (ih.biPlanes != 1) return 0;
    l.bits = ih.biBitCount;
    if (l.bits != 8 && l.bits != 16 && l.bits != 24) return 0;
    if (ih.biCompression != kRgb && !(ih.biCompression == kBitFields && l.bits == 16)) return 0;
    if (height < 0) {
        l.top_down = 1;
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > BITMAP_MAX_DIM || height > BITMAP_MAX_DIM) return 0;
    l.width = (int)width;
    l.height = (int)height;

    l.stride = ((uint64_t)l.width * l.bits + 31) / 32 * 4;
    uint64_t row_bytes = (uint64_t)l.width * (l.bits / 8);
    uint64_t needed = l.stride * (uint64_t)(l.height - 1) + row_bytes;
    uint64_t header_end = 14 + (uint64_t)ih.biSize;
    l.pal_pos = header_end;

    if (l.bits == 16) {
        if (ih.biCompression == kBitFields) {
            // The masks follow a 40-byte header; longer headers hold them in the same place.
            if (ih.biSize == kInfoHeader) header_end += 12;
            if (header_end > size || 14 + kInfoHeader + 12 > size) return 0;
            uint32_t rm = U32(data + 54), gm = U32(data + 58), bm = U32(data + 62);
            if ((rm | gm | bm) > 0xFFFF) return 0;
            if ((rm | gm | bm) == 0) rm = 0x7C00, gm = 0x03E0, bm = 0x001F;
            l.red = Make_Channel(rm);
            l.green = Make_Channel(gm);
            l.blue = Make_Channel(bm);
        } else {
            l.red = Make_Channel(0x7C00);
            l.green = Make_Channel(0x03E0);
            l.blue = Make_Channel(0x001F);
        }
        l.pal_pos = header_end;
    }
    l.offset = l.file_header.bfOffBits;
    if (l.offset == 0) {
        // A pixel position never filled in: the pixel array is the file's last bytes, as many
        // as the image size says (or the rows need, when that is not given either).
        uint64_t array = ih.biSizeImage ? ih.biSizeImage : l.stride * (uint64_t)l.height;
        if (array > size) return 0;
        l.offset = size - array;
    }
    if (l.offset < header_end || l.offset > size) return 0;
    uint64_t packed = row_bytes * (uint64_t)l.height;
    if (size - l.offset < needed && ih.biSizeImage == packed && size - l.offset >= packed) {
        // Rows written without padding, as the image size states: read them that way.
        l.stride = row_bytes;
        needed = packed;
    }
    if (size - l.offset < needed) return 0;
    if (ih.biSizeImage != 0 && ih.biSizeImage < needed) return 0;

    if (l.bits == 8) {
        uint64_t count = ih.biClrUsed ? ih.biClrUsed : 256;
        if (count > 256) return 0;
        uint64_t room = (l.offset - l.pal_pos) / l.pal_entry;
        if (l.pal_entry == 3 && count > room) count = room; // the old header has no count
        if (l.pal_pos + count * l.pal_entry > l.offset) return 0;
        l.pal_count = (int)count;
    }
    l.end = l.offset + needed;
    return 1;
}

// Converts the stored rows into out (top row first, 1 or 2 bytes a pixel).
void Convert_Pixels(const uint8_t *data, const Layout &l, UCHAR *out) {
    size_t out_row = (size_t)l.width * (l.bits == 8 ? 1 : 2);
    for (int row = 0; row < l.height; row++) {
        int stored = l.top_down ? row : l.height - 1 - row;
        const uint8_t *src = data + l.offset + (uint64_t)stored * l.stride;
        UCHAR *dst = out + (size_t)row * out_row;
        if (l.bits == 8) {
            std::memcpy(dst, src, out_row);
            continue;
        }
        USHORT *dst16 = reinterpret_cast<USHORT *>(dst);
        for (int i = 0; i < l.width; i++) {
            USHORT v;
            if (l.bits == 24) {
                const uint8_t *px = src + 3 * i;
                v = Pack_5(px[2] >> 3, px[1] >> 3, px[0] >> 3);
            } else {
                uint32_t p = U16(src + 2 * i);
                v = Pack_5(Channel_5(l.red, p), Channel_5(l.green, p), Channel_5(l.blue, p));
            }
            std::memcpy(dst16 + i, &v, 2);
        }
    }
}

// Fills bitmap from the palette and pixels of data, which holds at least l.end bytes.
int Load_Layout(BITMAP_FILE_TAG *bitmap, const uint8_t *data, const Layout &l) {
    size_t out_bytes = (size_t)l.width * (size_t)l.height * (l.bits == 8 ? 1 : 2);
    UCHAR *pixels = (UCHAR *)std::malloc(out_bytes);
    if (!pixels) {
        // As when the record's buffer is replaced by one that cannot be had: it ends up empty.
        std::free(bitmap->buffer);
        bitmap->buffer = nullptr;
        return 0;
    }
    Convert_Pixels(data, l, pixels);

    bitmap->file_header = l.file_header;
    bitmap->info_header = l.info_header;
    // The header describes the pixels as they now are: 16-bit, rows top first.
    if (l.bits == 24) bitmap->info_header.biBitCount = 16;
    bitmap->info_header.biHeight = l.height;
    if (l.bits == 8) {
        for (int i = 0; i < 256; i++) {
            PALETTEENTRY &e = bitmap->palette[i];
            e = PALETTEENTRY{0, 0, 0, kNoCollapse};
            if (i < l.pal_count) {
                const uint8_t *p = data + l.pal_pos + (uint64_t)i * l.pal_entry;
                e.peRed = p[2];
                e.peGreen = p[1];
                e.peBlue = p[0];
            }
        }
    }
    std::free(bitmap->buffer);
    bitmap->buffer = pixels;
    return 1;
}

} // namespace

int Load_Bitmap_File_Mem(BITMAP_FILE_TAG *bitmap, const uint8_t *data, size_t size) {
    if (!bitmap || !data) return 0;
    Layout l;
    if (!Parse_Layout(data, size, &l)) return 0;
    return Load_Layout(bitmap, data, l);
}

int Load_Bitmap_File(BITMAP_FILE_TAG *bitmap, const char *filename) {
    if (!bitmap || !filename) return 0;
    std::string path = Find_Data_File(filename);
    if (path.empty()) {
        Report_Data_File(filename, "not found");
        return 0;
    }
    // The headers first: the pixels are read only when the sizes they state fit the file, and no
    // further than the last pixel row (whatever follows it is never needed).
    std::vector<uint8_t> bytes;
    uint64_t size = 0, again = 0;
    std::string why;
    if (!Read_File_Head(path.c_str(), kMaxFileBytes, kHeadBytes, bytes, &size, &why)) {
        Report_Data_File(filename, why.c_str());
        return 0;
    }
    Layout l;
    if (!Parse_Layout(bytes.data(), size, &l)) {
        Report_Data_File(filename, "not a picture the game can read");
        return 0;
    }
    if (!Read_File_Head(path.c_str(), kMaxFileBytes, l.end, bytes, &again, &why)) {
        Report_Data_File(filename, why.c_str());
        return 0;
    }
    // A file changed between the two reads may no longer fit the layout: refused.
    if (again != size || bytes.size() != l.end) {
        Report_Data_File(filename, "changed while it was read");
        return 0;
    }
    if (!Load_Layout(bitmap, bytes.data(), l)) {
        Report_Data_File(filename, "not a picture the game can read");
        return 0;
    }
    return 1;
}

int Unload_Bitmap_File(BITMAP_FILE_TAG *bitmap) {
    if (bitmap && bitmap->buffer) {
        std::free(bitmap->buffer);
        bitmap->buffer = nullptr;
    }
    return 1;
}

int Flip_Bitmap_Rows(UCHAR *image, int bytes_per_line, int height) {
    if (bytes_per_line < 0 || height < 0) return 0;
    size_t line = (size_t)bytes_per_line;
    size_t total = line * (size_t)height;
    if (total == 0) return 1;
    if (!image) return 0;
    UCHAR *scratch = (UCHAR *)std::malloc(total);
    if (!scratch) return 0;
    std::memcpy(scratch, image, total);
    for (int i = 0; i < height; i++)
        std::memcpy(image + (size_t)(height - 1 - i) * line, scratch + (size_t)i * line, line);
    std::free(scratch);
    return 1;
}
