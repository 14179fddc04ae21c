// The SDL backend's start and stop, window and presentation, screen saver, time and base path.
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/sdl_present.h"
#include <cstdint>
#include <cstring>
#include <ctime>
#include <unistd.h>

SDL_Window *sdl_window = nullptr;
std::string sdl_error;

static SDL_Renderer *renderer = nullptr;
static SDL_Texture *texture = nullptr;
static int texture_w = 0, texture_h = 0;
static int fullscreen = 0;

void Sdl_Set_Error(const char *what) {
    sdl_error = what;
    const char *reason = SDL_GetError();
    if (reason && *reason) {
        sdl_error += ": ";
        sdl_error += reason;
    }
}

static const char *const NO_DISPLAY =
    "no display to open (neither DISPLAY nor WAYLAND_DISPLAY is usable)";

int Plat_Init() {
    // The screen saver stays allowed until the game asks to keep it away, and the picture is
    // scaled by whole pixels.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    // Without WAYLAND_DISPLAY and XDG_RUNTIME_DIR no Wayland display can be reached, and its
    // probe would only print a line about XDG_RUNTIME_DIR beside the one the player needs: try
    // every other driver instead.
    if (!SDL_getenv("SDL_VIDEODRIVER") && !SDL_getenv("WAYLAND_DISPLAY") &&
        !SDL_getenv("XDG_RUNTIME_DIR")) {
        std::string drivers;
        for (int i = 0; i < SDL_GetNumVideoDrivers(); i++) {
            const char *name = SDL_GetVideoDriver(i);
            if (!name || std::strcmp(name, "wayland") == 0) continue;
            drivers += (drivers.empty() ? "" : ",") + std::string(name);
        }
        if (!drivers.empty()) SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        Sdl_Set_Error("cannot start the video system");
        return 0;
    }
    // Without a display SDL falls back to drawing nowhere; a game nobody can see has failed to
    // start, unless such a driver was asked for by name.
    const char *driver = SDL_GetCurrentVideoDriver();
    if (!SDL_getenv("SDL_VIDEODRIVER") && driver &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        SDL_Quit();
        sdl_error = NO_DISPLAY;
        return 0;
    }
    // Joysticks and controllers are optional: the game plays from the keyboard.
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0) Sdl_Open_Controller();
    return 1;
}

void Plat_Quit() {
    Plat_Audio_Close();
    Plat_Joystick_Close();
    Sdl_Close_Controller();
    Plat_Close_Window();
    SDL_Quit();
}

const char *Plat_Error() {
    return sdl_error.c_str();
}

const char *Plat_Base_Path() {
    static std::string base;
    static int looked = 0;
    if (!looked) {
        looked = 1;
        char *p = SDL_GetBasePath();
        if (p) {
            base = p;
            SDL_free(p);
        }
    }
    return base.c_str();
}

int Plat_Open_Window(const char *title, int width, int height) {
    if (sdl_window) return 1;
    if (width <= 0 || height <= 0) {
        sdl_error = "window size must be positive";
        return 0;
    }
    // Desktop-size full screen: the picture is letterboxed, the display mode never changes.
    // It is also made desktop-sized, so it covers the screen where no window manager answers
    // the full-screen request.
    SDL_Rect desk{0, 0, width, height};
    SDL_GetDisplayBounds(0, &desk);
    sdl_window = SDL_CreateWindow(title ? title : "", desk.x, desk.y, desk.w, desk.h,
                                  SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN);
    if (!sdl_window) {
        Sdl_Set_Error("cannot open the window");
        return 0;
    }
    // Without a GPU device OpenGL runs on a software rasteriser that costs several times the
    // CPU and memory of SDL's own software renderer for this one scaled texture.
    bool no_gpu = access("/dev/dri", F_OK) != 0 && !SDL_getenv("SDL_RENDER_DRIVER");
    if (no_gpu) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    renderer = no_gpu ? nullptr : SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        Sdl_Set_Error("cannot draw into the window");
        SDL_DestroyWindow(sdl_window);
        sdl_window = nullptr;
        return 0;
    }
    fullscreen = 1;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    return 1;
}

void Plat_Close_Window() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (sdl_window) SDL_DestroyWindow(sdl_window);
    texture = nullptr;
    renderer = nullptr;
    sdl_window = nullptr;
    texture_w = texture_h = 0;
}

void Sdl_Forget_Texture() {
    if (texture) SDL_DestroyTexture(texture);
    texture = nullptr;
    texture_w = texture_h = 0;
}

int Plat_Present(const uint16_t *pixels, int width, int height, int pitch_bytes, int packing) {
    if (!renderer || !pixels || width <= 0 || height <= 0 || pitch_bytes < width * 2) return 0;
    if (packing != 15 && packing != 16) return 0;
    if (!texture || texture_w != width || texture_h != height) {
        if (texture) SDL_DestroyTexture(texture);
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                    width, height);
        if (!texture) {
            Sdl_Set_Error("cannot create the frame texture");
            texture_w = texture_h = 0;
            return 0;
        }
        texture_w = width;
        texture_h = height;
    }
    void *dst = nullptr;
    int dst_pitch = 0;
    if (SDL_LockTexture(texture, nullptr, &dst, &dst_pitch) != 0) {
        Sdl_Set_Error("cannot lock the frame texture");
        return 0;
    }
    Sdl_Convert_Frame(pixels, width, height, pitch_bytes, packing, (uint32_t *)dst, dst_pitch);
    SDL_UnlockTexture(texture);
    int out_w = 0, out_h = 0;
    if (SDL_GetRendererOutputSize(renderer, &out_w, &out_h) != 0 || out_w <= 0 || out_h <= 0) {
        out_w = width;
        out_h = height;
    }
    SDL_Rect dest;
    Sdl_Letterbox(out_w, out_h, width, height, &dest.x, &dest.y, &dest.w, &dest.h);
    // The black bars need clearing only when the picture leaves some of the output uncovered.
    if (dest.x > 0 || dest.y > 0 || dest.w < out_w || dest.h < out_h) SDL_RenderClear(renderer);
    if (SDL_RenderCopy(renderer, texture, nullptr, &dest) != 0) {
        Sdl_Set_Error("cannot show the frame");
        return 0;
    }
    SDL_RenderPresent(renderer);
    return 1;
}

void Plat_Show_Cursor(int show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void Plat_Inhibit_Screensaver(int on) {
    if (on)
        SDL_DisableScreenSaver();
    else
        SDL_EnableScreenSaver();
}

void Plat_Toggle_Fullscreen() {
    if (!sdl_window) return;
    if (fullscreen) {
        if (SDL_SetWindowFullscreen(sdl_window, 0) != 0) return;
        fullscreen = 0;
        // The window: the largest whole multiple of the picture that fits the desktop.
        int w = texture_w > 0 ? texture_w : 800, h = texture_h > 0 ? texture_h : 600;
        SDL_Rect usable;
        int k = 1;
        int display = SDL_GetWindowDisplayIndex(sdl_window);
        if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) == 0) {
            int top = 0, left = 0, bottom = 0, right = 0;
            SDL_GetWindowBordersSize(sdl_window, &top, &left, &bottom, &right);
            k = Sdl_Window_Scale(usable.w - left - right, usable.h - top - bottom, w, h);
        }
        SDL_SetWindowSize(sdl_window, w * k, h * k);
        SDL_SetWindowPosition(sdl_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
        SDL_Rect desk;
        int display = SDL_GetWindowDisplayIndex(sdl_window);
        if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &desk) == 0) {
            SDL_SetWindowPosition(sdl_window, desk.x, desk.y);
            SDL_SetWindowSize(sdl_window, desk.w, desk.h);
        }
        if (SDL_SetWindowFullscreen(sdl_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return;
        fullscreen = 1;
    }
}

uint32_t Plat_Ticks() {
    return SDL_GetTicks();
}

void Plat_Wait_Until(uint32_t tick) {
    // Sleep all but the last millisecond, then watch the count in 100 us naps: the wait never
    // ends early and ends within a fraction of a millisecond of its tick, while a busy spin
    // through that last millisecond would cost a few percent of a core every frame.
    for (;;) {
        int32_t ahead = (int32_t)(tick - SDL_GetTicks());
        if (ahead <= 0) return;
        if (ahead > 1) {
            SDL_Delay((Uint32)(ahead - 1));
        } else {
            struct timespec nap = {0, 100000};
            nanosleep(&nap, nullptr);
        }
    }
}
