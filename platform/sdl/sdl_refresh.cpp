// The display's refresh rate as SDL reports it for the window's display.
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"

int Plat_Refresh_Rate() {
    if (!sdl_window) return 0;
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(sdl_window, &mode) == 0 && mode.refresh_rate > 0)
        return mode.refresh_rate;
    int index = SDL_GetWindowDisplayIndex(sdl_window);
    if (index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0)
        return mode.refresh_rate;
    return -1; // a display that does not say how fast it refreshes
}
