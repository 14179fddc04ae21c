// fw-genfont: bakes the game's text face (DejaVu Sans Bold, found through fontconfig) into a C++
// glyph table: FreeType's hard-edged rendering of every printable ASCII glyph at each line height.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char *FACE_PATTERN = "DejaVu Sans:style=Bold";
constexpr int FIRST_CHAR = 32, LAST_CHAR = 126;

// 26.6 fixed point to whole pixels, as the old text renderer rounded its metrics.
long Floor_Px(long v) {
    return v >= 0 ? v / 64 : -((-v + 63) / 64);
}
long Ceil_Px(long v) {
    return Floor_Px(v + 63);
}

// The file of the face fontconfig matches, or "" when only some other family would stand in.
std::string Find_Face() {
    std::string path;
    if (!FcInit()) return path;
    FcPattern *want = FcNameParse((const FcChar8 *)FACE_PATTERN);
    FcConfigSubstitute(nullptr, want, FcMatchPattern);
    FcDefaultSubstitute(want);
    FcResult result = FcResultNoMatch;
    FcPattern *got = FcFontMatch(nullptr, want, &result);
    FcChar8 *file = nullptr, *family = nullptr;
    int weight = 0;
    if (got && FcPatternGetString(got, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(got, FC_FAMILY, 0, &family) == FcResultMatch &&
        FcPatternGetInteger(got, FC_WEIGHT, 0, &weight) == FcResultMatch &&
        std::string((const char *)family) == "DejaVu Sans" && weight >= FC_WEIGHT_BOLD)
        path = (const char *)file;
    if (got) FcPatternDestroy(got);
    FcPatternDestroy(want);
    FcFini(); // fontconfig is done with: free its caches, so leak checkers stay quiet
    return path;
}

struct Glyph {
    long left, top, width, rows, min_x, max_x, advance;
    std::vector<unsigned char> bits; // width * rows, 1 on glyph pixels
};

struct Face {
    int line_height = 0, size = 0, ascent = 0, height = 0;
    std::vector<Glyph> glyphs; // printable ASCII, then the missing-glyph box
};

// Renders one glyph as the old renderer did: default hinting, then FreeType's mono rasteriser.
bool Render(FT_Face face, FT_UInt index, Glyph &g) {
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    const FT_Glyph_Metrics m = slot->metrics;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return false;
    const FT_Bitmap &bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = bm.width;
    g.rows = bm.rows;
    // The line's extent comes from the outline's metrics, not the bitmap: a glyph reaching left
    // of its origin moves the whole line right.
    g.min_x = Floor_Px(m.horiBearingX);
    g.max_x = Ceil_Px(m.horiBearingX + m.width);
    g.advance = slot->advance.x;
    g.bits.assign((size_t)g.width * g.rows, 0);
    for (long y = 0; y < g.rows; y++)
        for (long x = 0; x < g.width; x++)
            g.bits[y * g.width + x] = (bm.buffer[y * bm.pitch + (x >> 3)] >> (7 - (x & 7))) & 1;
    return true;
}

// The face at the largest size whose lines (ascender to descender) fit line_height pixels.
bool Bake(FT_Face face, int line_height, Face &out) {
    out.line_height = line_height;
    for (int size = line_height; size >= 1; size--) {
        if (FT_Set_Char_Size(face, 0, size * 64, 0, 0) != 0) return false;
        const FT_Fixed scale = face->size->metrics.y_scale;
        const long height = Ceil_Px(FT_MulFix(face->ascender - face->descender, scale));
        if (height > line_height && size > 1) continue;
        out.size = size;
        out.height = (int)height;
        out.ascent = (int)Ceil_Px(FT_MulFix(face->ascender, scale));
        break;
    }
    out.glyphs.resize(LAST_CHAR - FIRST_CHAR + 2);
    for (int c = FIRST_CHAR; c <= LAST_CHAR; c++)
        if (!Render(face, FT_Get_Char_Index(face, c), out.glyphs[c - FIRST_CHAR])) return false;
    return Render(face, 0, out.glyphs.back());
}

// The file's name without its folder: the table must read the same whoever bakes it, wherever
// the system keeps its fonts.
std::string Base_Name(const std::string &path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Write_Table(FILE *f, const std::string &font, const std::vector<Face> &faces) {
    std::fprintf(f, "// The game's text face, baked by fw-genfont from %s: do not edit.\n",
                 Base_Name(font).c_str());
    std::fprintf(f, "#include \"engine/graphics/text_face.h\"\n\n");
    for (const Face &face : faces) {
        std::fprintf(f, "static const uint8_t bits_%d[] = {", face.line_height);
        size_t n = 0;
        for (const Glyph &g : face.glyphs)
            for (unsigned char b : g.bits)
                std::fprintf(f, "%s%d,", n++ % 40 ? "" : "\n    ", b);
        if (!n) std::fprintf(f, "0");
        std::fprintf(f, "\n};\n\nstatic const Text_Glyph glyphs_%d[] = {\n", face.line_height);
        size_t offset = 0;
        for (const Glyph &g : face.glyphs) {
            std::fprintf(f, "    {%ld, %ld, %ld, %ld, %ld, %ld, %ld, %zu},\n", g.left, g.top,
                         g.width, g.rows, g.min_x, g.max_x, g.advance, offset);
            offset += g.bits.size();
        }
        std::fprintf(f, "};\n\n");
    }
    std::fprintf(f, "const Text_Face text_faces[] = {\n");
    for (const Face &face : faces)
        std::fprintf(f, "    {%d, %d, %d, %d, glyphs_%d, bits_%d, sizeof bits_%d},\n",
                     face.line_height, face.size, face.ascent, face.height, face.line_height,
                     face.line_height, face.line_height);
    std::fprintf(f, "};\nconst int text_face_count = %zu;\n", faces.size());
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fw-genfont <output.cpp> <line height>...\n");
        return 2;
    }
    const std::string font = Find_Face();
    if (font.empty()) {
        std::fprintf(stderr, "fw-genfont: fontconfig finds no %s (install fonts-dejavu-core)\n",
                     FACE_PATTERN);
        return 1;
    }
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&lib) != 0 || FT_New_Face(lib, font.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "fw-genfont: FreeType cannot open %s\n", font.c_str());
        return 1;
    }
    std::vector<Face> faces;
    for (int i = 2; i < argc; i++) {
        const int h = std::atoi(argv[i]);
        Face baked;
        if (h < 1 || h > 200 || !Bake(face, h, baked)) {
            std::fprintf(stderr, "fw-genfont: cannot bake a %s line height\n", argv[i]);
            return 1;
        }
        faces.push_back(std::move(baked));
    }
    const std::string tmp = std::string(argv[1]) + ".tmp";
    // Binary: the same bytes (line ends included) on every system.
    FILE *out = std::fopen(tmp.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "fw-genfont: cannot write %s\n", tmp.c_str());
        return 1;
    }
    Write_Table(out, font, faces);
    const bool ok = std::fclose(out) == 0 && std::rename(tmp.c_str(), argv[1]) == 0;
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    if (!ok) std::fprintf(stderr, "fw-genfont: cannot write %s\n", argv[1]);
    return ok ? 0 : 1;
}
