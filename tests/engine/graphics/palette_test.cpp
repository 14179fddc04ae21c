// Palette files, the 8-bit palette helpers and the 8-bit display that reads "PALDATA2.PAL",
// and the palette blinker.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include "engine/graphics/clock.h"
#include "tests/engine/graphics/display_fixture.h"
#include "engine/graphics/palette.h"

namespace {

std::string Temp_File(const char *text) {
    char path[] = "/tmp/fw_palXXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return "";
    if (text) {
        ssize_t n = write(fd, text, strlen(text));
        (void)n;
    }
    close(fd);
    return path;
}

std::string Slurp(const std::string &path) {
    std::string text;
    FILE *fp = fopen(path.c_str(), "r");
    if (!fp) return text;
    for (int c; (c = fgetc(fp)) != EOF;)
        text += (char)c;
    fclose(fp);
    return text;
}

} // namespace

// A palette with every byte set to 0xAA, to see which bytes a read touched.
struct Marked {
    PALETTEENTRY e[256];
    Marked() { memset(e, 0xAA, sizeof e); }
};

namespace {

bool Same(const PALETTEENTRY &e, int r, int g, int b, int f) {
    return e.peRed == r && e.peGreen == g && e.peBlue == b && e.peFlags == f;
}

} // namespace

TEST(PaletteFile, WriteThenReadRestoresAllEntries) {
    PALETTEENTRY out[256], in[256];
    for (int i = 0; i < 256; i++)
        out[i] = {(UCHAR)i, (UCHAR)(255 - i), (UCHAR)((i * 7) & 255), (UCHAR)(i & 3)};
    memset(in, 0, sizeof in);
    const std::string path = Temp_File(nullptr);
    ASSERT_EQ(Write_Palette_File(path.c_str(), out), 1);
    const std::string text = Slurp(path);
    // A newline before each line: the file starts with an empty line and ends without one.
    EXPECT_EQ(text.substr(0, 21), "\n0 255 0 0\n1 254 7 1\n");
    EXPECT_EQ(text.substr(text.size() - 12), "\n255 0 249 3");
    ASSERT_EQ(Read_Palette_File(path.c_str(), in), 1);
    EXPECT_EQ(memcmp(in, out, sizeof in), 0);
    remove(path.c_str());
}

TEST(PaletteFile, NumbersKeepTheirLowEightBits) {
    Marked p;
    const std::string path = Temp_File("300 20 10 4\n");
    ASSERT_EQ(Read_Palette_File(path.c_str(), p.e), 1);
    EXPECT_TRUE(Same(p.e[0], 44, 20, 10, 4));
    EXPECT_TRUE(Same(p.e[1], 0xAA, 0xAA, 0xAA, 0xAA)); // missing numbers leave the rest
    remove(path.c_str());

    // 10^11 - 1 is -1 modulo 256; numbers past the int range are read, not undefined.
    Marked q;
    const std::string wide = Temp_File("99999999999 -1 +7 -256 4294967297");
    ASSERT_EQ(Read_Palette_File(wide.c_str(), q.e), 1);
    EXPECT_TRUE(Same(q.e[0], 255, 255, 7, 0));
    EXPECT_TRUE(Same(q.e[1], 1, 0xAA, 0xAA, 0xAA));
    remove(wide.c_str());
}

TEST(PaletteFile, AnyWhiteSpaceAndGarbageStopsTheRead) {
    Marked p;
    const std::string path = Temp_File("\t 1\r\n2\n\n 3    4 5 x 7 8");
    ASSERT_EQ(Read_Palette_File(path.c_str(), p.e), 1);
    EXPECT_TRUE(Same(p.e[0], 1, 2, 3, 4));
    EXPECT_TRUE(Same(p.e[1], 5, 0xAA, 0xAA, 0xAA));
    remove(path.c_str());

    Marked q;
    const std::string signs = Temp_File("1 - 2 3 4");
    ASSERT_EQ(Read_Palette_File(signs.c_str(), q.e), 1);
    EXPECT_TRUE(Same(q.e[0], 1, 0xAA, 0xAA, 0xAA));
    remove(signs.c_str());

    // More than 256 lines: the rest is ignored.
    std::string many;
    for (int i = 0; i < 300; i++)
        many += "1 2 3 4\n";
    Marked r;
    const std::string big = Temp_File(many.c_str());
    ASSERT_EQ(Read_Palette_File(big.c_str(), r.e), 1);
    EXPECT_TRUE(Same(r.e[255], 1, 2, 3, 4));
    remove(big.c_str());
}

TEST(PaletteFile, UnopenableFilesChangeNothing) {
    Marked p;
    EXPECT_EQ(Read_Palette_File("/nonexistent-dir/PALDATA2.PAL", p.e), 0);
    EXPECT_TRUE(Same(p.e[0], 0xAA, 0xAA, 0xAA, 0xAA));
    EXPECT_EQ(Write_Palette_File("/nonexistent-dir/x.pal", p.e), 0);
    EXPECT_EQ(Read_Palette_File(nullptr, p.e), 0);
    EXPECT_EQ(Read_Palette_Stream(nullptr, p.e), 0);
}

TEST(PaletteHelpers, EntriesAndRotationWithoutAPaletteObject) {
    ASSERT_EQ(lpddpal, nullptr);
    for (int i = 0; i < 256; i++) {
        PALETTEENTRY e = {(UCHAR)i, 0, 0, 0};
        ASSERT_EQ(Set_Palette_Entry(i, &e), 1);
    }
    PALETTEENTRY got;
    ASSERT_EQ(Get_Palette_Entry(9, &got), 1);
    EXPECT_TRUE(Same(got, 9, 0, 0, 0));
    EXPECT_EQ(Get_Palette_Entry(256, &got), 0);
    EXPECT_EQ(Set_Palette_Entry(-1, &got), 0);
    // Entries 1..3 move one up and 3 comes round to 1.
    ASSERT_EQ(Rotate_Palette_Colors(1, 3), 1);
    const int reds[5] = {0, 3, 1, 2, 4};
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(display_palette[i].peRed, reds[i]);
    EXPECT_EQ(Rotate_Palette_Colors(3, 1), 0);
    EXPECT_EQ(Rotate_Palette_Colors(0, 256), 0);
    ASSERT_EQ(Rotate_Palette_Colors(7, 7), 1); // a one-entry range stays put
    EXPECT_EQ(display_palette[7].peRed, 7);
    PALETTEENTRY all[256];
    ASSERT_EQ(Get_Palette(all), 1);
    EXPECT_EQ(all[1].peRed, 3);
    all[200].peGreen = 77;
    ASSERT_EQ(Set_Palette(all), 1);
    EXPECT_EQ(display_palette[200].peGreen, 77);
}

TEST(EightBitDisplay, ReadsPaldata2AndPresentsThroughThePalette) {
    char dir[] = "/tmp/fw_pal8XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir), 0);
    FILE *fp = fopen("PALDATA2.PAL", "w");
    ASSERT_NE(fp, nullptr);
    fputs("0 0 0 0\n10 20 30 0\n255 0 0 0\n", fp); // the rest of the entries stay zero
    fclose(fp);

    Headless_Reset(0);
    dd_present_format = 15;
    ASSERT_EQ(DDraw_Init(640, 480, 8, 0), 1);
    EXPECT_EQ(dd_pixel_format, 8);
    ASSERT_NE(lpddpal, nullptr);
    EXPECT_TRUE(Same(display_palette[1], 10, 20, 30, 0));
    EXPECT_TRUE(Same(lpddpal->entries[2], 255, 0, 0, 0));
    EXPECT_EQ(lpddsback->pitch, 640);

    // Setting an entry sets the palette object too; rotation reads the object back.
    PALETTEENTRY blue = {0, 0, 255, 0};
    Set_Palette_Entry(3, &blue);
    EXPECT_TRUE(Same(lpddpal->entries[3], 0, 0, 255, 0));
    Rotate_Palette_Colors(2, 3);
    EXPECT_TRUE(Same(display_palette[2], 0, 0, 255, 0));
    EXPECT_TRUE(Same(display_palette[3], 255, 0, 0, 0));

    // Index 3 (now red) shows as 5.5.5 red.
    struct Seen {
        USHORT px = 0;
        int frames = 0;
    } seen;
    Headless_Set_Frame_Hook(
        [](const uint16_t *px, int, int, int, int, void *u) {
            ((Seen *)u)->px = px[0];
            ((Seen *)u)->frames++;
        },
        &seen);
    DDraw_Lock_Back_Surface();
    back_buffer[0] = 3;
    DDraw_Unlock_Back_Surface();
    EXPECT_EQ(DDraw_Flip(), 1);
    EXPECT_EQ(seen.frames, 1);
    EXPECT_EQ(seen.px, 0x7C00);
    Headless_Set_Frame_Hook(nullptr, nullptr);
    DDraw_Shutdown();

    // Windowed, the system's twenty entries are marked.
    ASSERT_EQ(DDraw_Init(640, 480, 8, 1), 1);
    EXPECT_EQ(display_palette[0].peFlags, PC_EXPLICIT);
    EXPECT_EQ(display_palette[9].peFlags, PC_EXPLICIT);
    EXPECT_EQ(display_palette[10].peFlags, 0);
    EXPECT_EQ(display_palette[245].peFlags, 0);
    EXPECT_EQ(display_palette[246].peFlags, PC_EXPLICIT);
    EXPECT_EQ(display_palette[255].peFlags, PC_EXPLICIT);
    DDraw_Shutdown();

    remove("PALDATA2.PAL");
    ASSERT_EQ(chdir(cwd), 0);
    rmdir(dir);
}

TEST(Blinker, AddRunUpdateDelete) {
    BLINKER b = {};
    b.color_index = 5;
    b.active_color = {255, 0, 0, 0};
    b.inactive_color = {0, 0, 255, 0};
    b.on_time = 2;
    b.off_time = 3;
    ASSERT_EQ(Blink_Palette_Colors(BLINKER_ADD, &b, 0), 0);
    EXPECT_TRUE(Same(display_palette[5], 0, 0, 255, 0)); // starts on the off colour
    // Three runs in the off colour, then two in the on colour.
    Blink_Palette_Colors(BLINKER_RUN, nullptr, 0);
    Blink_Palette_Colors(BLINKER_RUN, nullptr, 0);
    EXPECT_TRUE(Same(display_palette[5], 0, 0, 255, 0));
    EXPECT_EQ(Blink_Palette_Colors(BLINKER_RUN, nullptr, 0), 1);
    EXPECT_TRUE(Same(display_palette[5], 255, 0, 0, 0));
    Blink_Palette_Colors(BLINKER_RUN, nullptr, 0);
    EXPECT_TRUE(Same(display_palette[5], 255, 0, 0, 0));
    Blink_Palette_Colors(BLINKER_RUN, nullptr, 0);
    EXPECT_TRUE(Same(display_palette[5], 0, 0, 255, 0));

    BLINKER c = b;
    c.color_index = 6;
    ASSERT_EQ(Blink_Palette_Colors(BLINKER_ADD, &c, 0), 1);
    PALETTEENTRY mark = {9, 9, 9, 0};
    Set_Palette_Entry(99, &mark);
    c.inactive_color = {1, 2, 3, 0};
    c.color_index = 99; // an update keeps the record's own index
    EXPECT_EQ(Blink_Palette_Colors(BLINKER_UPDATE, &c, 1), 1);
    EXPECT_TRUE(Same(display_palette[6], 1, 2, 3, 0));
    EXPECT_TRUE(Same(display_palette[99], 9, 9, 9, 0));

    EXPECT_EQ(Blink_Palette_Colors(BLINKER_DELETE, nullptr, 0), 0);
    EXPECT_EQ(Blink_Palette_Colors(BLINKER_DELETE, nullptr, 0), -1);
    EXPECT_EQ(Blink_Palette_Colors(BLINKER_UPDATE, &c, 0), -1);
    EXPECT_EQ(Blink_Palette_Colors(BLINKER_DELETE, nullptr, 300), -1);
    EXPECT_EQ(Blink_Palette_Colors(7, nullptr, 0), 1);
    // The freed record is the first free one again.
    ASSERT_EQ(Blink_Palette_Colors(BLINKER_ADD, &b, 0), 0);

    // The table holds 256; the next add finds no room.
    for (int i = 2; i < MAX_BLINKERS; i++)
        ASSERT_EQ(Blink_Palette_Colors(BLINKER_ADD, &b, 0), i);
    EXPECT_EQ(Blink_Palette_Colors(BLINKER_ADD, &b, 0), -1);
    for (int i = 0; i < MAX_BLINKERS; i++)
        EXPECT_EQ(Blink_Palette_Colors(BLINKER_DELETE, nullptr, i), i);
}
