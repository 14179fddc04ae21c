// The SDL backend's audio output: a stereo 16-bit device that pulls samples from a callback.
#include "platform/platform.h"
#include "platform/sdl/sdl_internal.h"
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

static SDL_AudioDeviceID device = 0;

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
static Plat_Audio_Callback callback = nullptr;
static void *callback_user = nullptr;

static void SDLCALL pull(void *, Uint8 *stream, int len) {
    // Runs on SDL's audio thread; the frame count follows from the bytes asked for.
    callback((int16_t *)stream, len / 4, callback_user);
}

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
    while (samples < buffer_frames && samples < 32768)
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
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

void Sdl_Pause_Audio(int on) {
    if (device) SDL_PauseAudioDevice(device, on ? 1 : 0);
}

void Plat_Audio_Close() {
    if (!device) return;
    SDL_CloseAudioDevice(device);
    device = 0;
    callback = nullptr;
    callback_user = nullptr;
}
