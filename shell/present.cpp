// The present schedule over the platform: waits to each refresh of the current game frame,
// shows the game's own picture or one drawn in between, then waits for the frame's due tick.
#include "shell/present.h"
#include "platform/os/os_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/graphics/clock.h"
#include "engine/graphics/ddraw.h"
#include "engine/graphics/frame_source.h"
#include "engine/sound/mixer.h"
#include "game/game.h"
#include "platform/platform.h"
#include "shell/present_clock.h"

int shell_smooth = 1;
int shell_vsync = 1;
void (*shell_present_hook)(const SHELL_PRESENTED_TYP &p) = nullptr;
int (*shell_unseen_hook)() = nullptr;

namespace {

// The refresh taken for a display that does not say how fast it refreshes.
constexpr int ASSUMED_REFRESH_HZ = 60;

struct PRESENTER_TYP {
    int running = 0;
    FILE *trace = nullptr; // FARWAKE_PRESENT_TRACE: when each frame began and each picture left
    int refreshes = 0;     // the schedule has refreshes to show pictures at
    PRESENT_CLOCK_TYP clock;
    LPDIRECTDRAWSURFACE4 between = nullptr; // the in-between picture, the back surface's size
    int unseen = 0;                         // the frame running now is unseen
    int saved_master = 0; // the master volume before the unseen frames silenced it
};
PRESENTER_TYP presenter;

// Returns once the clock has reached tick.
void Wait_Until(uint32_t tick) {
    while ((int32_t)(tick - Plat_Ticks()) > 0)
        Plat_Wait_Until(tick);
}

// The surface in-between pictures are drawn into, made (again) to match the back surface.
LPDIRECTDRAWSURFACE4 Between_Surface() {
    LPDIRECTDRAWSURFACE4 back = lpddsback;
    if (!back) return nullptr;
    LPDIRECTDRAWSURFACE4 &s = presenter.between;
    if (s && (s->width != back->width || s->height != back->height || s->bpp != back->bpp)) {
        DDraw_Release_Surface(s);
        s = nullptr;
    }
    if (!s) {
        s = DDraw_Create_Surface(back->width, back->height, DDSCAPS_SYSTEMMEMORY, 0);
        // Clipped to its edges as the back surface is, so objects half off the screen are
        // drawn as the game frame draws them.
        RECT whole = {0, 0, back->width, back->height};
        if (s) DDraw_Attach_Clipper(s, 1, &whole);
    }
    return s;
}

// Shows the picture of refresh at (ms after the frame's start).
void Show(uint32_t start, const PRESENT_AT_TYP &at) {
    LPDIRECTDRAWSURFACE4 shown = lpddsprimary;
    float view_x = 0, view_y = 0;
    const double alpha = shell_smooth ? at.alpha : 1.0;
    if (frame_between_picture) {
        LPDIRECTDRAWSURFACE4 s = alpha < 1 ? Between_Surface() : nullptr;
        if (frame_between_picture(alpha, s, &view_x, &view_y) && s) shown = s;
    }
    // With smoothing off the game's own flips showed the picture; the refresh only finds it.
    if (shell_smooth && shown) {
        DDraw_Present_Surface(shown);
        if (presenter.trace)
            std::fprintf(presenter.trace, "frame %d shown %u\n", presenter.clock.frame,
                         (unsigned)Plat_Ticks());
    }
    if (!shell_present_hook || !shown || shown->bpp != 16) return;
    SHELL_PRESENTED_TYP p{};
    p.tick = start + (uint32_t)at.t;
    p.t = (double)start + at.t;
    p.frame = presenter.clock.frame;
    p.alpha = shown == lpddsprimary ? 1.0 : alpha;
    p.view_x = view_x;
    p.view_y = view_y;
    p.pixels = (const uint16_t *)shown->memory.data();
    p.width = shown->width;
    p.height = shown->height;
    p.pitch_bytes = shown->pitch;
    shell_present_hook(p);
}

// Goes into or out of unseen frames: silent while in, and the schedule starts afresh on the way
// out, as the frames run at once have left it behind the clock. The sounds those frames started
// end there too: they belong to the unseen part (a loop, such as the engine's, is the game's now).
void Set_Unseen(int unseen) {
    if (unseen == presenter.unseen) return;
    presenter.unseen = unseen;
    if (unseen) {
        presenter.saved_master = Mixer_Master();
        Mixer_Set_Master(0);
        return;
    }
    Mixer_Stop_Unlooped();
    Mixer_Set_Master(presenter.saved_master);
    Present_Clock_Reset(&presenter.clock);
    presenter.clock.frame = -1;
}

} // namespace

void Shell_Present_Title(int on) {
    const int unseen = on && shell_unseen_hook && shell_unseen_hook();
    Set_Unseen(unseen);
    DDraw_Set_Flip_Shows(!unseen);
    wait_frame_hook = unseen ? Shell_Present_Wait : nullptr;
}

void Shell_Present_Start() {
    presenter.running = 1;
    Present_Clock_Reset(&presenter.clock);
    presenter.clock.frame = -1;
    Plat_Set_Vsync(shell_vsync);
    int hz = Plat_Refresh_Rate();
    if (hz < 0) hz = ASSUMED_REFRESH_HZ;
    // A display that reports a wrong rate (some virtual and remote ones) can be told its own.
    if (const char *forced = std::getenv("FARWAKE_REFRESH")) {
        int n = std::atoi(forced);
        if (n > 0 && n <= 1000 && hz != 0) hz = n;
    }
    // Without smoothing the window shows each game frame's own flip; the refreshes are still
    // walked, so smoothing can be turned on from the menu mid-game.
    presenter.refreshes = hz > 0;
    Present_Clock_Set_Refresh(&presenter.clock, presenter.refreshes ? hz : 0);
    wait_frame_hook = Shell_Present_Wait;
    // A diagnostic for latency measurements: the tick each frame began, the tick its wait
    // began (just after its own flip, which shows the picture when smoothing is off) and the
    // tick each scheduled picture left.
    const char *trace = std::getenv("FARWAKE_PRESENT_TRACE");
    if (trace && *trace && !presenter.trace) presenter.trace = Os_Fopen(trace, "w");
}

void Shell_Run_Game_Frame() {
    Set_Unseen(shell_unseen_hook && shell_unseen_hook());
    DDraw_Set_Flip_Shows(!presenter.unseen &&
                         !(presenter.running && presenter.refreshes && shell_smooth));
    Game_Main(nullptr);
    DDraw_Set_Flip_Shows(1);
}

void Shell_Present_Stop() {
    Set_Unseen(0);
    presenter.running = 0;
    wait_frame_hook = nullptr;
    if (presenter.trace) std::fclose(presenter.trace);
    presenter.trace = nullptr;
    if (presenter.between) DDraw_Release_Surface(presenter.between);
    presenter.between = nullptr;
}

unsigned long Shell_Present_Wait(unsigned long) {
    if (presenter.unseen) return Plat_Ticks();
    PRESENT_CLOCK_TYP &c = presenter.clock;
    const uint32_t due = Present_Clock_Frame_Due(&c, start_clock_count, Plat_Ticks());
    const uint32_t start = due - GAME_FRAME_MS;
    if (presenter.trace)
        std::fprintf(presenter.trace, "frame %d start %u flipped %u%s\n", c.frame,
                     (unsigned)start_clock_count, (unsigned)Plat_Ticks(),
                     presenter.refreshes && shell_smooth ? "" : " shown");
    PRESENT_AT_TYP at;
    while (Present_Clock_Next(&c, (double)(int32_t)(Plat_Ticks() - start), &at)) {
        // The picture is drawn at the refresh's whole ms; a present that waits for the
        // display's refresh ends at the refresh itself.
        Wait_Until(start + (uint32_t)std::floor(at.t));
        Show(start, at);
    }
    Wait_Until(due);
    return Plat_Ticks();
}
