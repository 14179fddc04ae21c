// The frame clock over the platform's millisecond tick, the shrunk-box collision test and the
// error log file.
#include "engine/graphics/clock.h"
#include "platform/os/os_file.h"
#include <cstdarg>
#include "platform/platform.h"

uint32_t start_clock_count = 0;
FILE *error_file = nullptr;

unsigned long Get_Clock() {
    return Plat_Ticks();
}

unsigned long Start_Clock() {
    start_clock_count = Plat_Ticks();
    return start_clock_count;
}

unsigned long Wait_Clock(unsigned long count) {
    // The tick count is 32 bits wide and so is the interval: differences wrap together.
    const uint32_t wait = (uint32_t)count;
    uint32_t now = Plat_Ticks();
    uint32_t elapsed;
    // The platform sleeps most of the way and spins the rest; re-checking here keeps a frame
    // from ending early even if a wake-up comes a little soon. A target is never set more than
    // 2^30 ms ahead, so that it always reads as ahead of the clock and not behind it.
    while ((elapsed = now - start_clock_count) < wait) {
        uint32_t step = wait - elapsed;
        if (step > 0x40000000u) step = 0x40000000u;
        Plat_Wait_Until(now + step);
        now = Plat_Ticks();
    }
    return now;
}

int Collision_Test(int x1, int y1, int width1, int height1, int x2, int y2, int width2,
                   int height2) {
    const int half1 = (width1 >> 1) - (width1 >> 3);
    const int halfh1 = (height1 >> 1) - (height1 >> 3);
    const int half2 = (width2 >> 1) - (width2 >> 3);
    const int halfh2 = (height2 >> 1) - (height2 >> 3);
    // 64-bit sums so that far-apart coordinates cannot overflow into a false hit.
    const long long cx1 = (long long)x1 + half1, cy1 = (long long)y1 + halfh1;
    const long long cx2 = (long long)x2 + half2, cy2 = (long long)y2 + halfh2;
    const long long dx = cx2 > cx1 ? cx2 - cx1 : cx1 - cx2;
    const long long dy = cy2 > cy1 ? cy2 - cy1 : cy1 - cy2;
    return (dx < (long long)half1 + half2 && dy < (long long)halfh1 + halfh2) ? 1 : 0;
}

int Open_Error_File(const char *filename) {
    if (!filename) return 0;
    FILE *fp = Os_Fopen(filename, "w");
    if (!fp) return 0;
    if (error_file) Close_Error_File();
    error_file = fp;
    fprintf(error_file, "\nOpening Error Output File (%s):\n", filename);
    return 1;
}

int Close_Error_File() {
    if (!error_file) return 0;
    fputs("\nClosing Error Output File.", error_file);
    fclose(error_file);
    error_file = nullptr;
    return 1;
}

int Write_Error(const char *format, ...) {
    if (!format || !error_file) return 0;
    // Longer messages are cut at 79 characters rather than running past the buffer.
    char text[80];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    fputs(text, error_file);
    return 1;
}
