// The generated pictures as files: sizes, cell border lines, non-empty frames that stay inside
// their cells, and the colour key (pure black, never a near-black shape pixel).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/tools/genart/sheet.h"

namespace {

struct Layout {
    const char *name;
    int w, h;        // picture size
    int cols, rows;  // cell grid (0 for pictures read as one block)
    int cw, ch;      // cell size
    int min_opaque;  // fewest non-key pixels any frame may have
    bool clear_ring; // the frame's outermost pixels are key: nothing is cut off by the cell
};

// Widths are the smallest multiple of 4 that holds the grid (cols * (cw + 1) + 1), so that
// 24-bit rows carry no padding.
const Layout kLayouts[] = {
    {"ship.bmp", 2200, 62, 36, 1, 60, 60, 500, true},
    {"craft01.bmp", 1804, 51, 36, 1, 49, 49, 350, true},
    {"bullets.bmp", 60, 57, 4, 4, 13, 13, 12, true},
    {"missiles.bmp", 1444, 41, 36, 1, 39, 39, 60, true},
    {"station00.bmp", 972, 122, 8, 1, 120, 120, 5000, true},
    {"expl.bmp", 328, 82, 4, 1, 80, 80, 300, true},
    {"powerups.bmp", 108, 27, 4, 1, 25, 25, 150, false},
    {"radar.bmp", 48, 12, 4, 1, 10, 10, 15, false},
    {"shields.bmp", 368, 92, 4, 1, 90, 90, 1500, false},
    {"rmissile.bmp", 24, 80, 0, 0, 24, 80, 400, false},
    {"marlotitle.bmp", 600, 500, 0, 0, 600, 500, 20000, false},
};

// The border colour (72, 80, 104) kept to 5 bits a channel: (9, 10, 13) packed 5.5.5.
constexpr uint16_t kBorder = (9 << 10) | (10 << 5) | 13;

std::vector<uint8_t> Read_File(const std::string &path) {
    std::vector<uint8_t> bytes;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return bytes;
}

uint32_t Le32(const std::vector<uint8_t> &b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

} // namespace

TEST(ArtFiles, EveryPictureLoadsWithItsSize) {
    for (const Layout &l : kLayouts) {
        SCOPED_TRACE(l.name);
        Sheet s = Load_Sheet(l.name);
        ASSERT_TRUE(s.ok);
        EXPECT_EQ(s.w, l.w);
        EXPECT_EQ(s.h, l.h);
        if (l.cols) {
            EXPECT_GE(s.w, l.cols * (l.cw + 1) + 1);
            EXPECT_GE(s.h, l.rows * (l.ch + 1) + 1);
        }
    }
}

TEST(ArtFiles, StoredAsPlainBottomUp24BitFiles) {
    for (const Layout &l : kLayouts) {
        SCOPED_TRACE(l.name);
        std::vector<uint8_t> b = Read_File(std::string(FW_DATA_DIR) + "/" + l.name);
        ASSERT_GE(b.size(), 54u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(Le32(b, 10), 54u);                       // pixels right after the headers
        EXPECT_EQ(Le32(b, 14), 40u);                       // the plain info header
        EXPECT_EQ(static_cast<int32_t>(Le32(b, 22)), l.h); // positive: bottom row first
        EXPECT_EQ(b[28], 24);
        EXPECT_EQ(Le32(b, 30), 0u); // uncompressed
        // No row padding: the image size is exactly width * 3 * height, and it ends the file.
        EXPECT_EQ(Le32(b, 34), static_cast<uint32_t>(l.w * 3 * l.h));
        EXPECT_EQ(b.size(), 54u + l.w * 3 * l.h);
    }
}

TEST(ArtFiles, KeyIsPureBlackAndShapesNeverNearBlack) {
    // Straight from the file: a pixel is either (0, 0, 0) or bright enough in some channel to
    // keep a non-zero top 5 bits; anything between would turn into the key when loaded.
    for (const Layout &l : kLayouts) {
        if (std::string(l.name) == "marlotitle.bmp") continue; // drawn opaque: black is black
        SCOPED_TRACE(l.name);
        std::vector<uint8_t> b = Read_File(std::string(FW_DATA_DIR) + "/" + l.name);
        ASSERT_EQ(b.size(), 54u + l.w * 3 * l.h);
        int bad = 0;
        for (size_t i = 54; i + 2 < b.size(); i += 3) {
            int m = std::max({b[i], b[i + 1], b[i + 2]});
            if (m > 0 && m < 8) ++bad;
        }
        EXPECT_EQ(bad, 0);
    }
}

TEST(ArtFiles, CellsAreFramedByBorderLines) {
    for (const Layout &l : kLayouts) {
        if (!l.cols) continue;
        SCOPED_TRACE(l.name);
        Sheet s = Load_Sheet(l.name);
        ASSERT_TRUE(s.ok);
        const int gw = l.cols * (l.cw + 1) + 1, gh = l.rows * (l.ch + 1) + 1;
        int wrong = 0;
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x)
                if ((x % (l.cw + 1) == 0 || y % (l.ch + 1) == 0) && s.At(x, y) != kBorder) ++wrong;
        EXPECT_EQ(wrong, 0);
        // The columns right of the grid (width rounded up to 4) stay key.
        for (int y = 0; y < s.h; ++y)
            for (int x = gw; x < s.w; ++x)
                EXPECT_EQ(s.At(x, y), 0) << x << "," << y;
    }
}

TEST(ArtFiles, EveryFrameHasAPictureInsideItsCell) {
    for (const Layout &l : kLayouts) {
        if (!l.cols) continue;
        Sheet s = Load_Sheet(l.name);
        ASSERT_TRUE(s.ok) << l.name;
        for (int cy = 0; cy < l.rows; ++cy)
            for (int cx = 0; cx < l.cols; ++cx) {
                SCOPED_TRACE(std::string(l.name) + " cell " + std::to_string(cx) + "," +
                             std::to_string(cy));
                Cell c = Cut(s, cx, cy, l.cw, l.ch);
                EXPECT_GE(Opaque_Count(c), l.min_opaque);
                if (!l.clear_ring) continue;
                int edge = 0;
                for (int i = 0; i < l.cw; ++i)
                    edge += (c.At(i, 0) != 0) + (c.At(i, l.ch - 1) != 0);
                for (int i = 0; i < l.ch; ++i)
                    edge += (c.At(0, i) != 0) + (c.At(l.cw - 1, i) != 0);
                EXPECT_EQ(edge, 0);
            }
    }
}
