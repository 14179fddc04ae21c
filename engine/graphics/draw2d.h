// Software drawing beyond what the game uses: pixels, straight lines, filled triangles, 2-D
// polygons with a small transform kit and 3x2 matrices, distance approximations, colour scans,
// an 8-bit cell loader and full-screen transitions. 8-bit variants write palette indices with a
// byte stride; 16-bit variants write packed pixels with a stride of lpitch / 2.
#pragma once
#include "engine/graphics/bitmap.h"
#include "engine/graphics/ddraw.h"

// A polygon vertex, relative to the polygon's position.
struct VERTEX_TYP {
    float x, y;
};
typedef VERTEX_TYP *VERTEX_PTR;

// A 2-D polygon: on/off state, vertices relative to (x0, y0), and an outline or fill colour.
struct POLYGON_TYP {
    int state;     // 0: off, the outline drawers refuse it
    int num_verts; // vertices in vlist
    int x0, y0;    // position added to every vertex
    int xv, yv;    // free for the caller; nothing here reads them
    DWORD color;   // low byte for 8-bit variants, low 16 bits for 16-bit ones
    VERTEX_TYP *vlist;
};
typedef POLYGON_TYP *POLYGON_PTR;

// Row-major float matrices; MAT3X2's third row is the translation.
struct MAT3X3_TYP {
    float M[3][3];
};
struct MAT1X3_TYP {
    float M[3];
};
struct MAT3X2_TYP {
    float M[3][2];
};
struct MAT1X2_TYP {
    float M[2];
};
typedef MAT3X3_TYP *MATRIX3X3_PTR;
typedef MAT1X3_TYP *MATRIX1X3_PTR;
typedef MAT3X2_TYP *MATRIX3X2_PTR;
typedef MAT1X2_TYP *MATRIX1X2_PTR;

// Sine and cosine of each whole degree 0..359, for polygon rotation.
extern float poly_sin_table[360];
extern float poly_cos_table[360];

// Fills the polygon sine and cosine tables; call once before any rotation.
void Build_Polygon_Trig_Tables();

// Writes one 8-bit pixel without clipping; 1.
int Draw_Pixel(int x, int y, int color, UCHAR *dest_buffer, int lpitch);
// Writes one 16-bit pixel without clipping; 1.
int Draw_Pixel16(int x, int y, int color, UCHAR *dest_buffer, int lpitch);
// Horizontal 8-bit line from x1 to x2 (either order) on row y, clipped to the clip rectangle.
void Draw_HLine(int x1, int x2, int y, int color, UCHAR *dest_buffer, int lpitch);
// Vertical 8-bit line from y1 to y2 (either order) in column x, clipped to the clip rectangle.
void Draw_VLine(int y1, int y2, int x, int color, UCHAR *dest_buffer, int lpitch);
// 16-bit twin of Draw_HLine.
void Draw_HLine16(int x1, int x2, int y, int color, UCHAR *dest_buffer, int lpitch);
// 16-bit twin of Draw_VLine.
void Draw_VLine16(int y1, int y2, int x, int color, UCHAR *dest_buffer, int lpitch);
// Stores count copies of the 16-bit value at dest.
void Fill_Words(USHORT *dest, USHORT value, int count);

// Filled 8-bit triangle with float edges, clipped to the clip rectangle.
void Draw_Triangle(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *dest_buffer,
                   int lpitch);
// Filled 16-bit triangle with float edges, clipped to the clip rectangle.
void Draw_Triangle16(int x1, int y1, int x2, int y2, int x3, int y3, int color, UCHAR *dest_buffer,
                     int lpitch);
// Filled 8-bit triangle with 16.16 fixed-point edges, clipped to the clip rectangle.
void Draw_Triangle_Fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                         UCHAR *dest_buffer, int lpitch);
// 16-bit twin of Draw_Triangle_Fixed.
void Draw_Triangle_Fixed16(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                           UCHAR *dest_buffer, int lpitch);
// Flat-top piece: (x1, y1) and (x2, y1) on top, (x3, y3) below; 8-bit, float edges.
void Draw_Flat_Top_Triangle(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                            UCHAR *dest_buffer, int lpitch);
// Flat-bottom piece: (x1, y1) on top, (x2, y2) and (x3, y3) below; 8-bit, float edges.
void Draw_Flat_Bottom_Triangle(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                               UCHAR *dest_buffer, int lpitch);
// 16-bit twin of Draw_Flat_Top_Triangle.
void Draw_Flat_Top_Triangle16(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                              UCHAR *dest_buffer, int lpitch);
// 16-bit twin of Draw_Flat_Bottom_Triangle.
void Draw_Flat_Bottom_Triangle16(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                 UCHAR *dest_buffer, int lpitch);
// Fixed-point twin of Draw_Flat_Top_Triangle.
void Draw_Flat_Top_TriangleFP(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                              UCHAR *dest_buffer, int lpitch);
// Fixed-point twin of Draw_Flat_Bottom_Triangle.
void Draw_Flat_Bottom_TriangleFP(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                 UCHAR *dest_buffer, int lpitch);
// 16-bit fixed-point twin of Draw_Flat_Top_Triangle.
void Draw_Flat_Top_TriangleFP16(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                UCHAR *dest_buffer, int lpitch);
// 16-bit fixed-point twin of Draw_Flat_Bottom_Triangle.
void Draw_Flat_Bottom_TriangleFP16(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                   UCHAR *dest_buffer, int lpitch);

// Fills a convex polygon with its colour (8-bit), rows and spans kept inside the clip rectangle.
void Draw_Filled_Polygon(POLYGON_TYP *poly, UCHAR *dest_buffer, int lpitch);
// 16-bit twin of Draw_Filled_Polygon.
void Draw_Filled_Polygon16(POLYGON_TYP *poly, UCHAR *dest_buffer, int lpitch);
// Draws the closed outline with clipped lines (8-bit); 0 when the polygon is off or null.
int Draw_Polygon(POLYGON_TYP *poly, UCHAR *dest_buffer, int lpitch);
// 16-bit twin of Draw_Polygon.
int Draw_Polygon16(POLYGON_TYP *poly, UCHAR *dest_buffer, int lpitch);
// Moves the polygon's position; 0 for a null polygon.
int Translate_Polygon(POLYGON_TYP *poly, int dx, int dy);
// Rotates the vertices about the polygon's origin by whole degrees; 0 for a null polygon.
int Rotate_Polygon(POLYGON_TYP *poly, int theta);
// Scales the vertices; 0 for a null polygon.
int Scale_Polygon(POLYGON_TYP *poly, float sx, float sy);
// Bounding box of the vertices and the origin, in local coordinates; 0 without vertices.
int Find_Polygon_Bounds(POLYGON_TYP *poly, float &min_x, float &max_x, float &min_y, float &max_y);

// Stores six values row by row into a 3x2 matrix; 1.
int Matrix_Init_3x2(MAT3X2_TYP *ma, float m00, float m01, float m10, float m11, float m20,
                    float m21);
// product = a x b for 3x3 matrices; 1.
int Matrix_Mul_3x3(MAT3X3_TYP *ma, MAT3X3_TYP *mb, MAT3X3_TYP *mprod);
// product = a (1x3) x b (3x3); 1.
int Matrix_Mul_1x3_3x3(MAT1X3_TYP *ma, MAT3X3_TYP *mb, MAT1X3_TYP *mprod);
// product = a (1x2, implied third coordinate 1) x b (3x2); 1.
int Matrix_Mul_1x2_3x2(MAT1X2_TYP *ma, MAT3X2_TYP *mb, MAT1X2_TYP *mprod);
// Moves the polygon's position through a translation matrix; 0 for a null polygon.
int Translate_Polygon_Mat(POLYGON_TYP *poly, int dx, int dy);
// Rotates the vertices through a rotation matrix (same result as Rotate_Polygon); 0 for null.
int Rotate_Polygon_Mat(POLYGON_TYP *poly, int theta);
// Scales the vertices through a scaling matrix; 0 for a null polygon.
int Scale_Polygon_Mat(POLYGON_TYP *poly, float sx, float sy);

// Approximate length of (x, y) without a square root.
int Approx_Distance_2D(int x, int y);
// Approximate length of (x, y, z) without a square root.
float Approx_Distance_3D(float x, float y, float z);

// 1 if a pixel in scan_start..scan_end lies in the rectangle (clamped to the screen); 8-bit.
int Color_Scan(int x1, int y1, int x2, int y2, UCHAR scan_start, UCHAR scan_end, UCHAR *scan_buffer,
               int scan_lpitch);
// 16-bit twin of Color_Scan.
int Color_Scan16(int x1, int y1, int x2, int y2, USHORT scan_start, USHORT scan_end,
                 UCHAR *scan_buffer, int scan_lpitch);
// Copies cell (cx, cy) of an 8-bit bitmap into an 8-bit surface of the cell's size; 1, 0 if
// refused.
int Load_Frame_Surface(BITMAP_FILE_TAG *bitmap, LPDIRECTDRAWSURFACE4 lpdds, int cx, int cy);

// Full-screen transition: 0-1 and 6-8 palette fades, 2-3 and 5 wipes, 4 dissolve.
void Screen_Transition(int effect, UCHAR *vbuffer, int lpitch);
// Transition effect codes.
enum {
    SCREEN_DARKNESS = 0,
    SCREEN_WHITENESS = 1,
    SCREEN_SWIPE_X = 2,
    SCREEN_SWIPE_Y = 3,
    SCREEN_DISOLVE = 4,
    SCREEN_SCRUNCH = 5,
    SCREEN_BLUENESS = 6,
    SCREEN_REDNESS = 7,
    SCREEN_GREENNESS = 8
};
