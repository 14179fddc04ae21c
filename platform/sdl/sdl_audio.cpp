// The SDL backend's audio output: a stereo 16-bit device that pulls samples from a callback,
// with small buffers so that a sound starts within a few milliseconds of the frame that made it,
// and a stream a few buffers deep so that a late pull is not a gap.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_internal.h"
#include <fcntl.h>
#include <unistd.h>

namespace {

// Largest device buffer granted whatever the caller asks: 256 frames is 5.8 ms at 44.1 kHz, so
// the mix is made just before the device plays it rather than a whole 23 ms buffer ahead.
constexpr int MAX_DEVICE_FRAMES = 256;

SDL_AudioDeviceID device = 0;

} // namespace

int Sdl_Stream_Depth_Ms(int frames, int rate) {
    if (frames <= 0 || rate <= 0) return 1;
    return (int)((3 * (int64_t)frames * 1000 + rate - 1) / rate);
}

// Sends stderr to /dev/null while it lives: the sound libraries (ALSA's above all) print their
// probing failures there, which SDL cannot switch off. Our own message comes after.
struct Quiet_Stderr {
    int saved = -1;
    Quiet_Stderr() {
        std::fflush(stderr);
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null < 0) return;
        saved = dup(2);
        if (saved >= 0) dup2(null, 2);
        close(null);
    }
    ~Quiet_Stderr() {
        if (saved < 0) return;
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
    }
    Quiet_Stderr(const Quiet_Stderr &) = delete;
    Quiet_Stderr &operator=(const Quiet_Stderr &) = delete;
};

namespace {

Plat_Audio_Callback callback = nullptr;
void *callback_user = nullptr;
int device_rate = 0, device_frames = 0;

// With FARWAKE_AUDIO_STATS set to a file name, the pulls' times are kept (on the audio thread,
// in a buffer sized at the open) and summed up in that file at the close.
std::vector<uint64_t> pulls_us;
std::vector<uint32_t> mix_us; // how long each pull's mixing took
size_t pull_count = 0;

uint64_t now_us() {
    return SDL_GetPerformanceCounter() * 1000000ull / SDL_GetPerformanceFrequency();
}

void SDLCALL pull(void *, Uint8 *stream, int len) {
    // Runs on SDL's audio thread; the frame count follows from the bytes asked for.
    const bool keep = pull_count < pulls_us.size();
    const uint64_t start = keep ? now_us() : 0;
    callback((int16_t *)stream, len / 4, callback_user);
    if (keep) {
        pulls_us[pull_count] = start;
        mix_us[pull_count++] = (uint32_t)(now_us() - start);
    }
}

// One line of gap figures over the pulls from..to: how far apart they came, and so how long a
// sound made by a frame waits at most and typically before its first sample leaves the program.
void write_gaps(FILE *f, const char *what, size_t from, size_t to) {
    std::vector<uint64_t> g;
    for (size_t i = from + 1; i < to; i++)
        g.push_back(pulls_us[i] - pulls_us[i - 1]);
    if (g.empty()) return;
    std::sort(g.begin(), g.end());
    size_t late = 0; // gaps longer than the stream holds: the device ran short
    const int depth_ms = Sdl_Stream_Depth_Ms(device_frames, device_rate);
    for (uint64_t v : g)
        late += v > 1000u * (uint64_t)depth_ms;
    fprintf(f, "%s: gap between pulls ms: median %.2f p99 %.2f max %.2f; late pulls %zu\n", what,
            g[g.size() / 2] / 1000.0, g[g.size() * 99 / 100] / 1000.0, g.back() / 1000.0, late);
}

void write_stats() {
    const char *path = getenv("FARWAKE_AUDIO_STATS");
    if (!path || pull_count < 2) return;
    FILE *f = fopen(path, "w");
    if (!f) return;
    const double buffer_ms = 1000.0 * device_frames / (device_rate > 0 ? device_rate : 1);
    fprintf(f, "rate %d buffer %d frames (%.1f ms) stream %d ms pulls %zu\n", device_rate,
            device_frames, buffer_ms, Sdl_Stream_Depth_Ms(device_frames, device_rate), pull_count);
    write_gaps(f, "all", 0, pull_count);
    // Without the first and last three seconds: loading and shutting down stall the mixer.
    size_t from = 0, to = pull_count;
    while (from < to && pulls_us[from] < pulls_us[0] + 3000000)
        from++;
    while (to > from && pulls_us[to - 1] + 3000000 > pulls_us[pull_count - 1])
        to--;
    write_gaps(f, "play", from, to);
    // The pulls' own work: a long one would delay the next, whatever the scheduler does.
    std::vector<uint32_t> m(mix_us.begin(), mix_us.begin() + (std::ptrdiff_t)pull_count);
    std::sort(m.begin(), m.end());
    fprintf(f, "mixing per pull ms: median %.2f p99 %.2f max %.2f\n", m[m.size() / 2] / 1000.0,
            m[m.size() * 99 / 100] / 1000.0, m.back() / 1000.0);
    fclose(f);
}

} // namespace

int Plat_Audio_Open(int want_rate, int buffer_frames, Plat_Audio_Callback cb, void *user,
                    int *rate) {
    if (device) Plat_Audio_Close();
    if (!cb || want_rate <= 0 || buffer_frames <= 0) {
        sdl_error = "bad audio request";
        return 0;
    }
    Quiet_Stderr quiet; // the sound libraries' own complaints; the game says it in one line
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
    // SDL asks a PulseAudio (or PipeWire) server for a stream just one buffer deep, so each
    // pull lands as the stream runs dry and any delay is a gap. Three buffers of depth, asked
    // for through the client library's own setting (a player's own value is kept), leave two in
    // hand: 18 ms for 256 frames, and the pulls still come every buffer.
    static char ours[16]; // what an earlier open set, which is not the player's to keep
    const char *set = getenv("PULSE_LATENCY_MSEC");
    if (!set || std::strcmp(set, ours) == 0) {
        std::snprintf(ours, sizeof ours, "%d", Sdl_Stream_Depth_Ms(samples, want_rate));
        setenv("PULSE_LATENCY_MSEC", ours, 1);
    }
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (!device) {
        Sdl_Set_Error("cannot open the audio output");
        callback = nullptr;
        return 0;
    }
    if (rate) *rate = have.freq;
    device_rate = have.freq;
    device_frames = have.samples;
    pull_count = 0;
    pulls_us.assign(getenv("FARWAKE_AUDIO_STATS") ? 1u << 20 : 0u, 0);
    mix_us.assign(pulls_us.size(), 0);
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

void Sdl_Pause_Audio(int on) {
    if (device) SDL_PauseAudioDevice(device, on ? 1 : 0);
}

void Plat_Audio_Close() {
    if (!device) return;
    SDL_CloseAudioDevice(device); // the audio thread has stopped: its figures can be read
    write_stats();
    pulls_us.clear();
    mix_us.clear();
    device = 0;
    callback = nullptr;
    callback_user = nullptr;
}
