// The SDL backend's audio output: a stereo 16-bit device that pulls samples from a callback,
// with small buffers so that a sound starts within a few milliseconds of the frame that made it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"

// Largest device buffer granted whatever the caller asks: 512 frames is 11.6 ms at 44.1 kHz, so
// the mix is made just before the device plays it rather than a whole 23 ms buffer ahead.
// Under PulseAudio 256 frames ran short far more often on a busy machine.
static constexpr int MAX_DEVICE_FRAMES = 512;

static SDL_AudioDeviceID device = 0;
static Plat_Audio_Callback callback = nullptr;
static void *callback_user = nullptr;
static int device_rate = 0, device_frames = 0;

// With FARWAKE_AUDIO_STATS set to a file name, the gaps between pulls are kept (on the audio
// thread, in a buffer sized at the open) and summed up in that file at the close.
static std::vector<uint32_t> gaps_us;
static size_t gap_count = 0;
static uint64_t last_pull_us = 0;

static uint64_t now_us() {
    return SDL_GetPerformanceCounter() * 1000000ull / SDL_GetPerformanceFrequency();
}

static void SDLCALL pull(void *, Uint8 *stream, int len) {
    // Runs on SDL's audio thread; the frame count follows from the bytes asked for.
    if (!gaps_us.empty()) {
        const uint64_t t = now_us();
        if (last_pull_us && gap_count < gaps_us.size())
            gaps_us[gap_count++] = (uint32_t)std::min<uint64_t>(t - last_pull_us, 0xFFFFFFFFu);
        last_pull_us = t;
    }
    callback((int16_t *)stream, len / 4, callback_user);
}

// Writes the pull statistics: how far apart the pulls came, and so how long a sound made by a
// frame waits at most and typically before its first sample leaves the program.
static void write_stats() {
    const char *path = getenv("FARWAKE_AUDIO_STATS");
    if (!path || gap_count == 0) return;
    std::vector<uint32_t> g(gaps_us.begin(), gaps_us.begin() + (long)gap_count);
    std::sort(g.begin(), g.end());
    const double buffer_ms = 1000.0 * device_frames / (device_rate > 0 ? device_rate : 1);
    size_t late = 0; // pulls later than one and a half buffers: the device ran short
    for (uint32_t v : g)
        late += v > 1500.0 * buffer_ms;
    if (FILE *f = fopen(path, "w")) {
        fprintf(f,
                "rate %d buffer %d frames (%.1f ms) pulls %zu\n"
                "gap between pulls ms: median %.2f p99 %.2f max %.2f\n"
                "late pulls (over 1.5 buffers) %zu\n",
                device_rate, device_frames, buffer_ms, g.size() + 1, g[g.size() / 2] / 1000.0,
                g[g.size() * 99 / 100] / 1000.0, g.back() / 1000.0, late);
        fclose(f);
    }
}

void Sdl_Audio_Pause(int paused) {
    if (device) SDL_PauseAudioDevice(device, paused ? 1 : 0);
}

int Plat_Audio_Open(int want_rate, int buffer_frames, Plat_Audio_Callback cb, void *user,
                    int *rate) {
    if (device) Plat_Audio_Close();
    if (!cb || want_rate <= 0 || buffer_frames <= 0) {
        sdl_error = "bad audio request";
        return 0;
    }
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        Sdl_Set_Error("cannot start the audio system");
        return 0;
    }
    int samples = 1;
    while (samples < std::min(buffer_frames, MAX_DEVICE_FRAMES))
        samples <<= 1;
    callback = cb;
    callback_user = user;
    SDL_AudioSpec want{}, have{};
    want.freq = want_rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = (Uint16)samples;
    want.callback = pull;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (!device) {
        Sdl_Set_Error("cannot open the audio output");
        callback = nullptr;
        return 0;
    }
    if (rate) *rate = have.freq;
    device_rate = have.freq;
    device_frames = have.samples;
    gap_count = 0;
    last_pull_us = 0;
    gaps_us.assign(getenv("FARWAKE_AUDIO_STATS") ? 1u << 20 : 0u, 0);
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

void Plat_Audio_Close() {
    if (!device) return;
    SDL_CloseAudioDevice(device); // the audio thread has stopped: its figures can be read
    write_stats();
    gaps_us.clear();
    device = 0;
    callback = nullptr;
    callback_user = nullptr;
}
