// The window's first size when the player has kept none: the largest picture of the game's shape
// that sits comfortably on the usable desktop.
#pragma once

// Share of the usable desktop's height (and width) the first window may take, in percent.
constexpr int SHELL_WINDOW_SHARE = 85;

// The first window for a pic_w x pic_h picture on a desk_w x desk_h usable desktop: the largest
// size of the picture's exact shape within SHELL_WINDOW_SHARE % of both sides (with integer, the
// largest whole multiple, at least one copy); the picture's own size when either is unknown (<= 0).
void Shell_First_Window_Size(int desk_w, int desk_h, int pic_w, int pic_h, int integer, int *w,
                             int *h);
