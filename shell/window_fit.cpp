// The first window's size: arithmetic only, so every backend opens the same window for the same
// desktop and the rule is tested without a display.
#include "shell/window_fit.h"

#include <cstdint>
#include <numeric>

void Shell_First_Window_Size(int desk_w, int desk_h, int pic_w, int pic_h, int integer, int *w,
                             int *h) {
    *w = pic_w;
    *h = pic_h;
    if (desk_w <= 0 || desk_h <= 0 || pic_w <= 0 || pic_h <= 0) return;
    const int64_t room_w = (int64_t)desk_w * SHELL_WINDOW_SHARE / 100;
    const int64_t room_h = (int64_t)desk_h * SHELL_WINDOW_SHARE / 100;
    // The picture's shape in its smallest whole steps (4 x 3 for 800 x 600): a window made of
    // whole steps keeps the shape exactly, so the picture fills it with no bar.
    const int g = integer ? 1 : std::gcd(pic_w, pic_h);
    const int64_t step_w = integer ? pic_w : pic_w / g, step_h = integer ? pic_h : pic_h / g;
    int64_t n = room_w / step_w < room_h / step_h ? room_w / step_w : room_h / step_h;
    if (integer && n < 1) n = 1;
    if (n < 1) return;
    *w = (int)(step_w * n);
    *h = (int)(step_h * n);
}
