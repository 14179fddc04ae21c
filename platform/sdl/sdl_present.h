// The SDL backend's frame arithmetic, without SDL's headers (usable from tests and benchmarks):
// 16-bit to 32-bit conversion by shifts, the letterbox and the window's scale.
#pragma once
#include <cstdint>
#include <vector>

// Converts a 16-bit frame (packing 15: 5.5.5, 16: 5.6.5) to opaque ARGB8888 rows.
void Sdl_Convert_Frame(const uint16_t *src, int width, int height, int src_pitch_bytes, int packing,
                       uint32_t *dst, int dst_pitch_bytes);
// Where a width x height picture goes in an out_w x out_h output: the largest whole multiple
// that fits, centred, or a shape-keeping shrink when not even one copy fits.
void Sdl_Letterbox(int out_w, int out_h, int width, int height, int *x, int *y, int *w, int *h);
// The largest whole factor (at least 1) by which a picture fits an area.
int Sdl_Window_Scale(int area_w, int area_h, int width, int height);
// Where a width x height picture goes when it fills an out_w x out_h output: the largest
// rectangle of the picture's shape that fits, centred (black bars on the rest).
void Sdl_Fill_Rect(int out_w, int out_h, int width, int height, int *x, int *y, int *w, int *h);
// The whole factor the picture is first enlarged by (nearest neighbour) before it is shrunk to
// dest_w x dest_h with linear filtering: the smallest one that reaches both sides (at least 1).
int Sdl_Upscale_Factor(int dest_w, int dest_h, int width, int height);

// Where each output column (or row) of the sharp scaling reads: source index and the weight of
// the next source pixel, 0..256 (0: a plain copy).
struct Sdl_Sharp_Axis {
    int from = 0, to = 0, k = 0;  // source and output length and the factor the taps were made for
    std::vector<int> index;       // first source pixel of each output pixel
    std::vector<uint16_t> weight; // share of index + 1, out of 256
};
// Eight neighbouring output pixels of a row, as the vector units read them: offsets from base
// into eight source pixels loaded at once (base -1: too far apart, done one by one), and their
// weights laid out as the blend's 16-bit lanes take them.
struct alignas(32) Sdl_Sharp_Group {
    int32_t rel[8];
    uint16_t low[16], high[16]; // weights of pixels 0, 1, 4, 5 and 2, 3, 6, 7, four times each
    int32_t base;
};
// What the last partial-redraw call left in its destination: the source it scaled and the
// sizes, so the next call can tell what changed.
struct Sdl_Sharp_Last {
    std::vector<uint16_t> pixels; // the source, sw x sh without padding
    const void *dst = nullptr;    // nullptr: nothing held
    int pitch = 0, packing = 0, sw = 0, sh = 0, dw = 0, dh = 0;
};
// The taps and the row buffer of a sharp scaling, kept between frames of the same size.
struct Sdl_Sharp_Scaler {
    Sdl_Sharp_Axis x, y;
    std::vector<Sdl_Sharp_Group> groups; // the x taps eight at a time
    std::vector<uint32_t> line;          // one source row in 32 bits, and eight pixels of slack
    std::vector<uint32_t> rows;          // two source rows scaled across, one output width each
    bool portable = false;               // the plain loops even where vector units exist
    Sdl_Sharp_Last last;                 // for drawing only what changed
    std::vector<uint64_t> changed, need; // per source row: chunks changed, chunks scaled across
    std::vector<int> chunk_lo, chunk_hi; // output columns each 32-pixel source chunk reaches
};
// Works out the taps of one axis: the picture enlarged k times with nearest neighbour, then
// brought to out pixels with linear filtering (pixel centres aligned).
void Sdl_Sharp_Taps(int from, int out, int k, Sdl_Sharp_Axis *axis);
// Converts a 16-bit frame (sw x sh, packing as Sdl_Convert_Frame's, pitches in bytes) and
// scales it to dw x dh ARGB8888 the sharp way: whole multiples come out as plain copies,
// other sizes blend only where two source pixels meet.
void Sdl_Sharp_Scale(const uint16_t *src, int sw, int sh, int src_pitch_bytes, int packing,
                     uint32_t *dst, int dw, int dh, int dst_pitch_bytes, Sdl_Sharp_Scaler *scaler);
// The same into a destination that still holds this scaler's last output there (keep true): only
// the output the frame's changes since then reach is drawn again, byte for byte what a whole
// scaling gives. [*first_row, *end_row) are the output rows written (empty: nothing changed).
void Sdl_Sharp_Scale_Changes(const uint16_t *src, int sw, int sh, int src_pitch_bytes, int packing,
                             uint32_t *dst, int dw, int dh, int dst_pitch_bytes, bool keep,
                             Sdl_Sharp_Scaler *scaler, int *first_row, int *end_row);
