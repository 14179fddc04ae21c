// The SDL backend's start and stop, window and presentation, screen saver, time and base path.
#include "platform/platform.h"
#include "platform/os/os_file.h"
#include "platform/sdl/sdl_icon.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/sdl_present.h"
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>
#include <unistd.h>

SDL_Window *sdl_window = nullptr;
std::string sdl_error;

namespace {

SDL_Renderer *renderer = nullptr;
SDL_Texture *texture = nullptr;
int texture_w = 0, texture_h = 0;
// The sharp scaling's taps and rows for the window's size, and the picture's last size.
Sdl_Sharp_Scaler sharp;
int frame_w = 0, frame_h = 0;
int fullscreen = 0;
int start_fullscreen = 1;
int integer_scale = 0;
int paused = 0;
// The name the desktop shows (empty: the window system's title) and the size the window has as
// a window, kept while fullscreen so F11 gives it back (0: fitted to the desktop).
std::string desktop_title;
int windowed_w = 0, windowed_h = 0;
// Without a GPU the picture goes straight into the window's surface (no renderer); the bars
// are cleared whenever that surface takes a new size.
int use_surface = 0;
// Presents wait for the display's refresh (where the renderer offers it).
int vsync = 1;
int surface_w = 0, surface_h = 0;

// Whether a window surface holds pixels laid out as the frame's 32-bit ones (0x00RRGGBB words).
bool surface_fits(const SDL_Surface *ws) {
    return ws->format->BytesPerPixel == 4 && (ws->format->format == SDL_PIXELFORMAT_ARGB8888 ||
                                              ws->format->format == SDL_PIXELFORMAT_RGB888);
}

// Where the picture goes in an out_w x out_h output, by the scaling asked for.
SDL_Rect picture_rect(int out_w, int out_h, int width, int height) {
    SDL_Rect r;
    if (integer_scale)
        Sdl_Letterbox(out_w, out_h, width, height, &r.x, &r.y, &r.w, &r.h);
    else
        Sdl_Fill_Rect(out_w, out_h, width, height, &r.x, &r.y, &r.w, &r.h);
    return r;
}

// Converts and scales the frame into 32-bit pixels of the picture's final size.
void draw_picture(const uint16_t *pixels, int width, int height, int pitch_bytes, int packing,
                  uint32_t *dst, int dw, int dh, int dst_pitch) {
    if (dw == width && dh == height) {
        Sdl_Convert_Frame(pixels, width, height, pitch_bytes, packing, dst, dst_pitch);
        return;
    }
    Sdl_Sharp_Scale(pixels, width, height, pitch_bytes, packing, dst, dw, dh, dst_pitch, &sharp);
}

} // namespace

void Sdl_Window_Exposed() {
    // What the screen showed of the bars may be gone: they are drawn and sent again.
    surface_w = surface_h = 0;
}

namespace {

// Shows the frame in the window's own surface; 1 on success.
int present_to_surface(const uint16_t *pixels, int width, int height, int pitch_bytes,
                       int packing) {
    SDL_Surface *ws = SDL_GetWindowSurface(sdl_window);
    if (!ws || !surface_fits(ws) || ws->w <= 0 || ws->h <= 0) {
        Sdl_Set_Error("cannot draw into the window");
        surface_w = surface_h = 0; // whatever surface comes next is drawn whole
        return 0;
    }
    SDL_Rect dest = picture_rect(ws->w, ws->h, width, height);
    if (dest.w <= 0 || dest.h <= 0) return 0;
    bool resized = ws->w != surface_w || ws->h != surface_h;
    if (resized) {
        SDL_FillRect(ws, nullptr, 0);
        surface_w = ws->w;
        surface_h = ws->h;
    }
    if (SDL_MUSTLOCK(ws) && SDL_LockSurface(ws) != 0) return 0;
    uint32_t *at = (uint32_t *)((uint8_t *)ws->pixels + (size_t)dest.y * (size_t)ws->pitch +
                                (size_t)dest.x * 4);
    SDL_Rect sent = dest;
    if (dest.w == width && dest.h == height) {
        Sdl_Convert_Frame(pixels, width, height, pitch_bytes, packing, at, ws->pitch);
    } else {
        // The surface keeps what was last drawn into it, so a scaled picture is drawn again only
        // where the frame changed (mostly black space: a small share of it per refresh).
        int first = 0, end = 0;
        Sdl_Sharp_Scale_Changes(pixels, width, height, pitch_bytes, packing, at, dest.w, dest.h,
                                ws->pitch, !resized, &sharp, &first, &end);
        sent.y = dest.y + first;
        sent.h = end - first;
    }
    if (SDL_MUSTLOCK(ws)) SDL_UnlockSurface(ws);
    if (sent.h <= 0) return 1; // the screen already shows this picture
    // The bars stay as they were: only the picture goes to the screen, unless the size changed.
    if ((resized ? SDL_UpdateWindowSurface(sdl_window)
                 : SDL_UpdateWindowSurfaceRects(sdl_window, &sent, 1)) != 0) {
        sharp.last.dst = nullptr;
        Sdl_Set_Error("cannot show the frame");
        return 0;
    }
    return 1;
}

// The window class the desktop entry names, so docks match the window to its entry and icon.
constexpr const char *WM_CLASS_NAME = "farwake";
constexpr int ICON_SIZE = 64;

} // namespace

void Sdl_Set_Error(const char *what) {
    sdl_error = what;
    const char *reason = SDL_GetError();
    if (reason && *reason) {
        sdl_error += ": ";
        sdl_error += reason;
    }
}

namespace {

const char *const NO_DISPLAY = "no display to open (neither DISPLAY nor WAYLAND_DISPLAY is usable)";

} // namespace

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
    // Losing focus pauses the game; a fullscreen window left minimised would hide that.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", WM_CLASS_NAME, 0);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", WM_CLASS_NAME, 0);
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

void Plat_Set_Display(int fullscreen_start, int whole_multiples) {
    start_fullscreen = fullscreen_start != 0;
    integer_scale = whole_multiples != 0;
    Sdl_Window_Exposed();
}

void Plat_Set_Window(const char *title, int width, int height) {
    desktop_title = title ? title : "";
    windowed_w = width > 0 && height > 0 ? width : 0;
    windowed_h = width > 0 && height > 0 ? height : 0;
    if (sdl_window && !desktop_title.empty()) SDL_SetWindowTitle(sdl_window, desktop_title.c_str());
}

int Plat_Desktop_Size(int *width, int *height) {
    SDL_Rect usable{0, 0, 0, 0};
    if (!SDL_WasInit(SDL_INIT_VIDEO) || SDL_GetDisplayUsableBounds(0, &usable) != 0) return 0;
    if (width) *width = usable.w;
    if (height) *height = usable.h;
    return usable.w > 0 && usable.h > 0;
}

void Plat_Window_State(int *is_fullscreen, int *width, int *height) {
    int w = windowed_w, h = windowed_h;
    if (sdl_window && !fullscreen) SDL_GetWindowSize(sdl_window, &w, &h);
    if (is_fullscreen) *is_fullscreen = sdl_window ? fullscreen : start_fullscreen;
    if (width) *width = w;
    if (height) *height = h;
}

namespace {

// While fullscreen and playing the keyboard is grabbed, so the desktop's shortcuts that the
// game's keys make (Ctrl+Alt+arrows) reach the game; a window or a pause lets them through.
void update_keyboard_grab() {
    if (sdl_window)
        SDL_SetWindowKeyboardGrab(sdl_window, (fullscreen && !paused) ? SDL_TRUE : SDL_FALSE);
}

// The window's size when it is not fullscreen: the size it last had (or was given), clamped to
// the usable desktop, else the picture's own (the shell gives a size fitted to the desktop).
void window_size(int display, int width, int height, int *w, int *h) {
    SDL_Rect usable{0, 0, width, height};
    int known = SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) == 0;
    if (windowed_w > 0 && windowed_h > 0) {
        *w = known ? SDL_min(windowed_w, usable.w) : windowed_w;
        *h = known ? SDL_min(windowed_h, usable.h) : windowed_h;
        return;
    }
    *w = width;
    *h = height;
}

// The generated icon, as the build and the install leave it; the window keeps the system's
// default when none is found.
void set_window_icon() {
    std::string base = Plat_Base_Path();
    std::string size = std::to_string(ICON_SIZE);
    const std::string paths[] = {
        "icons/farwake-" + size + ".png",
        base + "icons/farwake-" + size + ".png",
        base + "../share/icons/hicolor/" + size + "x" + size + "/apps/org.example.farwake.png",
    };
    for (const std::string &path : paths) {
        std::vector<uint32_t> rgba;
        int w = 0, h = 0;
        if (!Sdl_Load_Icon(path.c_str(), &rgba, &w, &h)) continue;
        SDL_Surface *icon = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), w, h, 32, w * 4,
                                                               SDL_PIXELFORMAT_RGBA32);
        if (!icon) return;
        SDL_SetWindowIcon(sdl_window, icon);
        SDL_FreeSurface(icon);
        return;
    }
}

} // namespace

int Plat_Open_Window(const char *title, int width, int height) {
    if (sdl_window) return 1;
    if (width <= 0 || height <= 0) {
        sdl_error = "window size must be positive";
        return 0;
    }
    // Desktop-size full screen: the picture is scaled into it, the display mode never changes.
    // It is also made desktop-sized, so it covers the screen where no window manager answers
    // the full-screen request.
    SDL_Rect desk{0, 0, width, height};
    SDL_GetDisplayBounds(0, &desk);
    Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE;
    // The desktop shows the program's own name; the window system keeps the title it was given.
    if (!desktop_title.empty()) title = desktop_title.c_str();
    if (start_fullscreen) {
        sdl_window = SDL_CreateWindow(title ? title : "", desk.x, desk.y, desk.w, desk.h,
                                      flags | SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        int w, h;
        window_size(0, width, height, &w, &h);
        sdl_window = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_CENTERED,
                                      SDL_WINDOWPOS_CENTERED, w, h, flags);
    }
    if (!sdl_window) {
        Sdl_Set_Error("cannot open the window");
        return 0;
    }
    SDL_SetWindowMinimumSize(sdl_window, 160, 120);
    set_window_icon();
    // Without a GPU device OpenGL runs on a software rasteriser that costs several times the
    // CPU and memory of drawing into the window's own surface; the frame is scaled there
    // directly, which also saves the copy a software renderer would make.
#ifdef _WIN32
    bool no_gpu = false; // Windows always has a Direct3D device, if only its software one
#else
    bool no_gpu = access("/dev/dri", F_OK) != 0 && !SDL_getenv("SDL_RENDER_DRIVER");
#endif
    if (no_gpu) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        SDL_Surface *ws = SDL_GetWindowSurface(sdl_window);
        use_surface = ws && surface_fits(ws);
        surface_w = surface_h = 0;
    }
    if (!use_surface) {
        Uint32 sync = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
        renderer =
            no_gpu ? nullptr : SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_ACCELERATED | sync);
        if (!renderer) renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer && no_gpu) {
            // Video drivers with no surface of their own (Wayland) build the window's surface on
            // a renderer, which the hint above forbade: allow it, and take whichever opens.
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "1");
            renderer = SDL_CreateRenderer(sdl_window, -1, 0);
            if (!renderer) renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_SOFTWARE);
        }
        if (!renderer) {
            Sdl_Set_Error("cannot draw into the window");
            SDL_DestroyWindow(sdl_window);
            sdl_window = nullptr;
            return 0;
        }
    }
    fullscreen = start_fullscreen;
    update_keyboard_grab();
    if (renderer) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderPresent(renderer);
    }
    return 1;
}

void Plat_Close_Window() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (sdl_window) SDL_DestroyWindow(sdl_window);
    texture = nullptr;
    renderer = nullptr;
    sdl_window = nullptr;
    use_surface = 0;
    texture_w = texture_h = 0;
}

void Plat_Set_Vsync(int on) {
    vsync = on != 0;
    if (renderer) SDL_RenderSetVSync(renderer, vsync);
}

void Sdl_Forget_Texture() {
    if (texture) SDL_DestroyTexture(texture);
    texture = nullptr;
    texture_w = texture_h = 0;
}

int Plat_Present(const uint16_t *pixels, int width, int height, int pitch_bytes, int packing) {
    if (!pixels || width <= 0 || height <= 0 || pitch_bytes < width * 2) return 0;
    if (packing != 15 && packing != 16) return 0;
    if (!sdl_window || (!renderer && !use_surface)) return 0;
    frame_w = width;
    frame_h = height;
    if (use_surface) return present_to_surface(pixels, width, height, pitch_bytes, packing);
    int out_w = 0, out_h = 0;
    if (SDL_GetRendererOutputSize(renderer, &out_w, &out_h) != 0 || out_w <= 0 || out_h <= 0) {
        out_w = width;
        out_h = height;
    }
    SDL_Rect dest = picture_rect(out_w, out_h, width, height);
    if (dest.w <= 0 || dest.h <= 0) return 0;
    // The texture has the picture's final size, scaled here: the renderer only copies it.
    if (!texture || texture_w != dest.w || texture_h != dest.h) {
        if (texture) SDL_DestroyTexture(texture);
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                    dest.w, dest.h);
        if (!texture) {
            Sdl_Set_Error("cannot create the frame texture");
            texture_w = texture_h = 0;
            return 0;
        }
        texture_w = dest.w;
        texture_h = dest.h;
    }
    void *dst = nullptr;
    int dst_pitch = 0;
    if (SDL_LockTexture(texture, nullptr, &dst, &dst_pitch) != 0) {
        Sdl_Set_Error("cannot lock the frame texture");
        return 0;
    }
    draw_picture(pixels, width, height, pitch_bytes, packing, (uint32_t *)dst, dest.w, dest.h,
                 dst_pitch);
    SDL_UnlockTexture(texture);
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
        int w, h;
        window_size(SDL_GetWindowDisplayIndex(sdl_window), frame_w > 0 ? frame_w : 800,
                    frame_h > 0 ? frame_h : 600, &w, &h);
        SDL_SetWindowSize(sdl_window, w, h);
        SDL_SetWindowPosition(sdl_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
        SDL_GetWindowSize(sdl_window, &windowed_w, &windowed_h);
        SDL_Rect desk;
        int display = SDL_GetWindowDisplayIndex(sdl_window);
        if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &desk) == 0) {
            SDL_SetWindowPosition(sdl_window, desk.x, desk.y);
            SDL_SetWindowSize(sdl_window, desk.w, desk.h);
        }
        if (SDL_SetWindowFullscreen(sdl_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return;
        fullscreen = 1;
    }
    update_keyboard_grab();
}

void Plat_Pause(int on) {
    paused = on != 0;
    Sdl_Pause_Audio(paused);
    Sdl_Forget_Taps();
    update_keyboard_grab();
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
            Os_Nap(100);
        }
    }
}
