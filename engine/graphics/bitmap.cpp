// Bitmap files and bitmap images (loader, row turning, block extraction and drawing).
#include "engine/graphics/bitmap.h"

int Load_Bitmap_File(BITMAP_FILE_TAG *, const char *) {
    return 0;
}
int Load_Bitmap_File_Mem(BITMAP_FILE_TAG *, const uint8_t *, size_t) {
    return 0;
}
int Unload_Bitmap_File(BITMAP_FILE_TAG *) {
    return 1;
}
int Flip_Bitmap_Rows(UCHAR *, int, int) {
    return 1;
}
int Create_Bitmap_Image(BITMAP_IMAGE_TYP *, int, int, int, int, int) {
    return 0;
}
int Destroy_Bitmap_Image(BITMAP_IMAGE_TYP *) {
    return 0;
}
int Load_Bitmap_Image(BITMAP_IMAGE_TYP *, BITMAP_FILE_TAG *, int, int, int) {
    return 0;
}
int Load_Bitmap_Image16(BITMAP_IMAGE_TYP *, BITMAP_FILE_TAG *, int, int, int) {
    return 0;
}
int Draw_Bitmap_Image(BITMAP_IMAGE_TYP *, UCHAR *, int, int) {
    return 0;
}
int Draw_Bitmap_Image16(BITMAP_IMAGE_TYP *, USHORT *, int, int) {
    return 0;
}
