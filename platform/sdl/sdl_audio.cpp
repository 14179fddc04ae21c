// The SDL backend's audio output: a stereo 16-bit device that pulls samples from a callback,
// with small buffers so that a sound starts within a few milliseconds of the frame that made it,
// and a stream a few buffers deep so that a late pull is not a gap; a stream that runs dry all the
// same (a busy machine) is reopened deeper, in steps, until it holds.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/os/os_file.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_internal.h"
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

int Sdl_Deeper_Stream_Ms(int depth_ms) {
    for (int step : {35, 58, 81})
        if (step > depth_ms) return step;
    return depth_ms;
}

int Sdl_Pull_Was_Late(uint64_t gap_us, int depth_ms) {
    return gap_us > 1000u * (uint64_t)(depth_ms > 0 ? depth_ms : 1);
}

// Sends stderr to /dev/null while it lives: the sound libraries (ALSA's above all) print their
// probing failures there, which SDL cannot switch off. Our own message comes after.
struct Quiet_Stderr {
    int saved = -1;
    Quiet_Stderr() {
        std::fflush(stderr);
        const int null = Os_Open_Null();
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

char ours[16]; // the PULSE_LATENCY_MSEC we set, which is not the player's to keep

Plat_Audio_Callback callback = nullptr;
void *callback_user = nullptr;
int device_rate = 0, device_frames = 0;
int device_paused = 0;

// The stream's depth and what is learnt of it on the audio thread: the pulls that came later
// than the stream lasts, past the settling time after an open (the first pulls of a stream and
// the game's loading come unevenly on any machine).
constexpr uint64_t SETTLE_US = 3000000;
int depth_ms = 0;   // what the stream was opened with
int depth_ours = 0; // the depth is ours to change (not the player's PULSE_LATENCY_MSEC)
uint64_t opened_us = 0;
uint64_t last_pull_us = 0;
std::atomic<int> late_pulls{0};
// Each deepening, for the audio stats.
struct DEEPENING_TYP {
    uint64_t at_us;
    int from_ms, to_ms, late;
};
std::vector<DEEPENING_TYP> deepenings;
int late_total = 0; // late pulls of the streams before the current one

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
    const uint64_t start = now_us();
    if (last_pull_us && start - opened_us > SETTLE_US &&
        Sdl_Pull_Was_Late(start - last_pull_us, depth_ms))
        late_pulls.fetch_add(1, std::memory_order_relaxed);
    last_pull_us = start;
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
    for (uint64_t v : g)
        late += (size_t)Sdl_Pull_Was_Late(v, depth_ms);
    fprintf(f, "%s: gap between pulls ms: median %.2f p99 %.2f max %.2f; late pulls %zu\n", what,
            g[g.size() / 2] / 1000.0, g[g.size() * 99 / 100] / 1000.0, g.back() / 1000.0, late);
}

void write_stats() {
    const char *path = getenv("FARWAKE_AUDIO_STATS");
    if (!path || pull_count < 2) return;
    FILE *f = Os_Fopen(path, "w");
    if (!f) return;
    const double buffer_ms = 1000.0 * device_frames / (device_rate > 0 ? device_rate : 1);
    fprintf(f, "rate %d buffer %d frames (%.1f ms) stream %d ms pulls %zu\n", device_rate,
            device_frames, buffer_ms, depth_ms, pull_count);
    // Each reopening deeper, and the underruns (pulls later than the stream lasts) before and
    // after the last one; the gap figures below are of the last stream.
    for (const DEEPENING_TYP &d : deepenings)
        fprintf(f, "deepened %d -> %d ms at %.1f s after %d late pulls\n", d.from_ms, d.to_ms,
                (d.at_us - pulls_us[0]) / 1e6, d.late);
    fprintf(f, "underruns while playing: %d, %d since the last deepening\n",
            late_total + late_pulls.load(), late_pulls.load());
    size_t first = 0;
    if (!deepenings.empty())
        while (first < pull_count && pulls_us[first] < deepenings.back().at_us)
            first++;
    write_gaps(f, "all", first, pull_count);
    // Without the first and last three seconds: loading and shutting down stall the mixer.
    size_t from = first, to = pull_count;
    while (from < to && pulls_us[from] < pulls_us[first] + SETTLE_US)
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

// Opens the device for want with a stream depth_ms deep (asked for through the client library's
// own setting) and resets what the audio thread learns of it.
int open_device(const SDL_AudioSpec &want, SDL_AudioSpec *have, int allowed_changes) {
    if (depth_ours) {
        std::snprintf(ours, sizeof ours, "%d", depth_ms);
        Os_Set_Env("PULSE_LATENCY_MSEC", ours);
    }
    late_pulls = 0;
    last_pull_us = 0;
    opened_us = now_us();
    device = SDL_OpenAudioDevice(nullptr, 0, &want, have, allowed_changes);
    return device != 0;
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
    const char *set = getenv("PULSE_LATENCY_MSEC");
    depth_ours = !set || std::strcmp(set, ours) == 0;
    depth_ms = depth_ours ? Sdl_Stream_Depth_Ms(samples, want_rate) : std::max(1, atoi(set));
    if (!open_device(want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE)) {
        Sdl_Set_Error("cannot open the audio output");
        callback = nullptr;
        return 0;
    }
    if (rate) *rate = have.freq;
    device_rate = have.freq;
    device_frames = have.samples;
    pull_count = 0;
    late_total = 0;
    deepenings.clear();
    pulls_us.assign(getenv("FARWAKE_AUDIO_STATS") ? 1u << 20 : 0u, 0);
    mix_us.assign(pulls_us.size(), 0);
    device_paused = 0;
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

void Sdl_Tend_Audio() {
    if (!device || !depth_ours || late_pulls.load(std::memory_order_relaxed) == 0) return;
    const int deeper = Sdl_Deeper_Stream_Ms(depth_ms);
    if (deeper == depth_ms) return;
    // The device is closed (its thread stops) and opened again at the same rate and buffer
    // size, only deeper: the mixer behind the callback goes on where it was.
    SDL_AudioSpec want{}, have{};
    want.freq = device_rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = (Uint16)device_frames;
    want.callback = pull;
    const int late = late_pulls.load();
    SDL_CloseAudioDevice(device);
    const int from = depth_ms;
    depth_ms = deeper;
    if (!open_device(want, &have, 0) || have.freq != device_rate) {
        // Back to the depth that played, rather than silence.
        if (device) SDL_CloseAudioDevice(device);
        depth_ms = from;
        depth_ours = 0; // no more tries
        if (!open_device(want, &have, 0)) {
            device = 0;
            return;
        }
    } else {
        deepenings.push_back({opened_us, from, deeper, late});
        late_total += late;
    }
    SDL_PauseAudioDevice(device, device_paused);
}

void Sdl_Pause_Audio(int on) {
    device_paused = on ? 1 : 0;
    if (device) SDL_PauseAudioDevice(device, device_paused);
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
