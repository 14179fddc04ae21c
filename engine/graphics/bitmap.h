// Bitmap files (.bmp read into memory, converted to the 16-bit packing) and bitmap images
// (positioned pixel blocks cut from a bitmap and copied into locked surface memory).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/graphics/ddraw.h"

// File header of a .bmp, 14 bytes as stored (little-endian fields, no padding).
#pragma pack(push, 1)
struct BITMAPFILEHEADER {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14, "file header is 14 bytes");

// Info header of a .bmp, the 40 bytes every variant begins with.
struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "info header is 40 bytes");

constexpr int BITMAP_ATTR_LOADED = 0x80; // image pixels were copied in from a bitmap

// Extraction modes of the image and frame loaders.
constexpr int EXTRACT_CELL = 0;     // (cx, cy) is a cell of a grid with 1-pixel borders
constexpr int EXTRACT_ABSOLUTE = 1; // (cx, cy) is a pixel position

// Largest width and height the loader accepts.
constexpr int BITMAP_MAX_DIM = 16384;

// A .bmp file in memory: headers as read, palette (8-bit files), pixels top row first.
// After a load the info header describes the buffer: biHeight is the positive row count and a
// 24-bit file's biBitCount reads 16.
struct BITMAP_FILE_TAG {
    BITMAPFILEHEADER file_header;
    BITMAPINFOHEADER info_header;
    PALETTEENTRY palette[256];
    UCHAR *buffer; // width * height pixels, 1 byte (8-bit) or 2 bytes (16-bit) each; owned
};
typedef BITMAP_FILE_TAG *BITMAP_FILE_PTR;

// A pixel block with a position on the destination surface.
struct BITMAP_IMAGE_TYP {
    int state;
    int attr;
    int x, y;
    int width, height;
    int num_bytes;
    int bpp;
    UCHAR *buffer; // num_bytes bytes, rows top first; owned
};
typedef BITMAP_IMAGE_TYP *BITMAP_IMAGE_PTR;

// Loads a .bmp data file into bitmap; 1, or 0 on any failure (file missing, refused, truncated).
int Load_Bitmap_File(BITMAP_FILE_TAG *bitmap, const char *filename);
// Loads a .bmp held in memory (size bytes at data) into bitmap; 1, or 0 when refused.
int Load_Bitmap_File_Mem(BITMAP_FILE_TAG *bitmap, const uint8_t *data, size_t size);
// Releases the pixels of bitmap (headers and palette stay); always 1.
int Unload_Bitmap_File(BITMAP_FILE_TAG *bitmap);
// Turns height rows of bytes_per_line bytes upside down; 1, 0 when scratch memory is lacking.
int Flip_Bitmap_Rows(UCHAR *image, int bytes_per_line, int height);
// Gives image a zeroed width x height block at (x, y) of bpp 8 or 16; 1, 0 on failure.
int Create_Bitmap_Image(BITMAP_IMAGE_TYP *image, int x, int y, int width, int height, int bpp);
// Releases the block of image and zeroes the record; 0 when image or its block is null.
int Destroy_Bitmap_Image(BITMAP_IMAGE_TYP *image);
// Fills an 8-bit image from cell or pixel (cx, cy) of an 8-bit bitmap; 0 when refused.
int Load_Bitmap_Image(BITMAP_IMAGE_TYP *image, BITMAP_FILE_TAG *bitmap, int cx, int cy, int mode);
// Fills a 16-bit image from cell or pixel (cx, cy) of a 16-bit bitmap; 0 when refused.
int Load_Bitmap_Image16(BITMAP_IMAGE_TYP *image, BITMAP_FILE_TAG *bitmap, int cx, int cy, int mode);
// Copies an 8-bit image into locked memory (lpitch bytes a row), clipped to the clip bounds.
int Draw_Bitmap_Image(BITMAP_IMAGE_TYP *image, UCHAR *dest_buffer, int lpitch, int transparent);
// Copies a 16-bit image into locked memory (lpitch bytes a row), clipped to the clip bounds.
int Draw_Bitmap_Image16(BITMAP_IMAGE_TYP *image, USHORT *dest_buffer, int lpitch, int transparent);
