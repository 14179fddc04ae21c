// The software mixer: a fixed pool of buffers and the audio callback that resamples every
// playing one into a wide accumulator, then scales it by the master and ends in a limiter, so
// the sum never clips. The callback holds mixer_lock only to copy a few fields in and write
// positions back; it never allocates or touches a file.
#include "engine/sound/mixer.h"
#include "engine/graphics/fmath.h"
#include "engine/sound/mixspan.h"
#include "engine/sound/mixstage.h"
#include "platform/platform.h"
#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace {

std::mutex mixer_lock;
std::condition_variable mix_done;
bool mixing = false; // a callback is between its snapshot and its write-back
DSBUFFER pool[MAX_SOUND_SLOTS];
std::atomic<int> output_rate{0}; // 0 while no output is open
DSound_Render_Hook render_hook = nullptr;
std::atomic<int> master_percent{100};
Limiter limiter; // audio thread only, reset when an output opens

// What one mixing pass needs of a playing buffer, copied under the lock.
struct Voice {
    DSBUFFER *buf;
    const int16_t *wide; // the samples oversampled, size << WIDE_SHIFT of them
    uint64_t size;       // samples
    uint64_t pos;        // 32.32
    uint64_t step;       // 32.32 samples per output frame
    int64_t gain_l;      // 16.16
    int64_t gain_r;
    bool looping;
    bool ended;
    uint32_t generation;
};

constexpr int kChunk = 1024; // frames mixed per pass

Voice voices[MAX_SOUND_SLOTS];
int32_t acc[2 * kChunk];

int64_t gain_q16(int db) {
    return std::lround(65536.0 * DSound_Attenuation_Gain(db));
}

// Channel gains of an attenuation and a pan: the pan attenuates the side it leans away from.
void channel_gains(int volume, int pan, int64_t *left, int64_t *right) {
    int64_t g = gain_q16(volume);
    *left = pan > 0 ? (g * gain_q16(-pan)) >> 16 : g;
    *right = pan < 0 ? (g * gain_q16(pan)) >> 16 : g;
}

// Frames (at most `most`) before pos reaches limit; 0 when it is there already.
inline int frames_until(uint64_t pos, uint64_t limit, uint64_t step, int most) {
    if (pos >= limit) return 0;
    const uint64_t n = (limit - pos + step - 1) / step;
    return n < (uint64_t)most ? (int)n : most;
}

// One frame of a voice read at pos (32.32 in samples) from the oversampled samples, whose index
// is pos / 2^(32 - WIDE_SHIFT), leading into next. All in 32 bits: the oversampled samples are
// at half the 16-bit scale, the step between them is split in 2^15 and the gains are Q15.
inline void add_frame(const int16_t *wide, uint64_t pos, int32_t next, int32_t gain_l,
                      int32_t gain_r, int32_t *out) {
    const int32_t a = wide[pos >> (32 - WIDE_SHIFT)];
    const int32_t frac = (int32_t)(pos >> (17 - WIDE_SHIFT)) & 0x7FFF;
    const int32_t s = 2 * a + (((next - a) * frac) >> 14); // the 16-bit scale
    out[0] += (s * gain_l) >> 15;
    out[1] += (s * gain_r) >> 15;
}

// One buffer's contribution to acc: linear interpolation over the oversampled samples. The
// inner loop runs over whole spans that stay clear of the buffer's last step, so it tests
// nothing; that last step reads the first sample again when looping. A loop wraps as soon as
// it passes its end, so its position always lies inside the buffer.
void mix_voice(Voice &v, int frames) {
    const uint64_t end = v.size << 32;
    const uint64_t last = end - (1ull << (32 - WIDE_SHIFT)); // start of the final wide step
    const uint64_t wide_size = v.size << WIDE_SHIFT;
    const int16_t *const wide = v.wide;
    const uint64_t step = v.step;
    // Q15 gains: a full 65536 becomes 32768, the product stays inside 32 bits.
    const int32_t gain_l = (int32_t)((v.gain_l + 1) >> 1), gain_r = (int32_t)((v.gain_r + 1) >> 1);
    int32_t *out = acc;
    int k = 0;
    while (k < frames) {
        if (v.pos >= end) {
            if (!v.looping) {
                v.ended = true;
                return;
            }
            v.pos %= end;
        }
        const int n = frames_until(v.pos, last, step, frames - k);
        Add_Span(wide, v.pos, step, n, gain_l, gain_r, out);
        out += 2 * n;
        k += n;
        v.pos += step * (uint64_t)n;
        if (k < frames && v.pos < end && v.pos >= last) {
            // The final step leads into the first sample of a loop, or holds the last one.
            add_frame(wide, v.pos, v.looping ? wide[0] : wide[wide_size - 1], gain_l, gain_r, out);
            out += 2;
            ++k;
            v.pos += step;
        }
    }
    // A sound that ends on the chunk's last frame has ended now, as it would within it.
    if (v.pos >= end) {
        if (!v.looping)
            v.ended = true;
        else
            v.pos %= end;
    }
}

void mix_chunk(int16_t *out, int frames) {
    int n = 0;
    DSound_Render_Hook hook;
    int master;
    {
        std::lock_guard<std::mutex> g(mixer_lock);
        for (DSBUFFER &b : pool) {
            if (!b.in_use || !(b.status & DSBSTATUS_PLAYING) || !b.samples || !b.wide) continue;
            Voice &v = voices[n++];
            v.buf = &b;
            v.wide = b.wide->data();
            v.size = b.samples->size();
            v.pos = b.pos;
            int rate = output_rate;
            v.step = rate > 0 ? ((uint64_t)b.freq << 32) / (uint64_t)rate : 0;
            v.gain_l = b.gain_l;
            v.gain_r = b.gain_r;
            v.looping = (b.status & DSBSTATUS_LOOPING) != 0;
            v.ended = false;
            v.generation = b.generation;
        }
        hook = render_hook;
        master = master_percent;
        mixing = true;
    }
    std::fill(acc, acc + 2 * frames, 0);
    for (int i = 0; i < n; ++i)
        if (voices[i].size > 0)
            mix_voice(voices[i], frames);
        else
            voices[i].ended = true;
    if (hook) hook(acc, frames);
    Limit(limiter, acc, out, frames, MIX_HEADROOM * (float)master / 100.0f, output_rate);
    {
        std::lock_guard<std::mutex> g(mixer_lock);
        // A buffer the game thread played, stopped, moved or released meanwhile keeps its new
        // state.
        for (int i = 0; i < n; ++i) {
            Voice &v = voices[i];
            if (!v.buf->in_use || v.buf->generation != v.generation) continue;
            if (v.ended) {
                v.buf->status = 0;
                v.buf->pos = 0;
            } else {
                v.buf->pos = v.pos;
            }
        }
        mixing = false;
    }
    mix_done.notify_all();
}

void audio_callback(int16_t *out, int frames, void *) {
    DSound_Mix(out, frames);
}

// Waits, with the lock held by lk, until no mix is using sample memory or the hook.
void wait_for_mix(std::unique_lock<std::mutex> &lk) {
    mix_done.wait(lk, [] { return !mixing; });
}

} // namespace

float DSound_Attenuation_Gain(int db) {
    if (db <= DSBVOLUME_MIN) return 0.0f;
    if (db >= 0) return 1.0f;
    return (float)Fm_Pow10(db / 2000.0);
}

void DSound_Mix(int16_t *out, int frames) {
    if (!out || frames <= 0) return;
    if (output_rate == 0) {
        std::fill(out, out + 2 * frames, (int16_t)0);
        return;
    }
    while (frames > 0) {
        int f = std::min(frames, kChunk);
        mix_chunk(out, f);
        out += 2 * f;
        frames -= f;
    }
}

int DSound_Output_Rate() {
    return output_rate;
}

namespace {

// Makes a buffer over samples already oversampled (wide), sharing both.
DSBUFFER *create_buffer(DSound_Samples samples, Wide_Samples wide, int control_flags) {
    if (!samples || !wide) return nullptr;
    std::lock_guard<std::mutex> g(mixer_lock);
    for (DSBUFFER &b : pool) {
        if (b.in_use) continue;
        b.samples = std::move(samples);
        b.wide = std::move(wide);
        b.control_flags = control_flags;
        b.freq = DSOUND_BUFFER_RATE;
        b.volume = 0;
        b.pan = 0;
        b.gain_l = b.gain_r = 65536;
        b.status = 0;
        b.pos = 0;
        b.generation++;
        b.in_use = true;
        return &b;
    }
    return nullptr;
}

} // namespace

DSBUFFER *Mixer_Create_Buffer(DSound_Samples samples, int control_flags) {
    if (!samples) return nullptr;
    // Oversampled here, on the game thread, once for the buffer and all its replicas.
    Wide_Samples wide = Oversample(*samples);
    return create_buffer(std::move(samples), std::move(wide), control_flags);
}

DSBUFFER *Mixer_Duplicate_Buffer(const DSBUFFER *src) {
    if (!src) return nullptr;
    DSound_Samples samples;
    Wide_Samples wide;
    int flags, freq, volume, pan;
    {
        std::lock_guard<std::mutex> g(mixer_lock);
        if (!src->in_use) return nullptr;
        samples = src->samples;
        wide = src->wide;
        flags = src->control_flags;
        freq = src->freq;
        volume = src->volume;
        pan = src->pan;
    }
    DSBUFFER *b = create_buffer(std::move(samples), std::move(wide), flags);
    if (!b) return nullptr;
    int64_t left, right;
    channel_gains(volume, pan, &left, &right);
    std::lock_guard<std::mutex> g(mixer_lock);
    b->freq = freq;
    b->volume = volume;
    b->pan = pan;
    b->gain_l = left;
    b->gain_r = right;
    return b;
}

void Mixer_Release_Buffer(DSBUFFER *buf) {
    if (!buf) return;
    DSound_Samples dropped;
    Wide_Samples dropped_wide;
    {
        std::unique_lock<std::mutex> lk(mixer_lock);
        buf->in_use = false;
        buf->status = 0;
        buf->generation++;
        dropped = std::move(buf->samples);
        dropped_wide = std::move(buf->wide);
        // A mix in progress may still read these samples: free them only after it.
        wait_for_mix(lk);
    }
}

int Mixer_Set_Position(DSBUFFER *buf, int sample) {
    std::lock_guard<std::mutex> g(mixer_lock);
    buf->pos = (uint64_t)std::max(sample, 0) << 32;
    buf->generation++;
    return 1;
}

int Mixer_Restart(DSBUFFER *buf, int flags) {
    std::lock_guard<std::mutex> g(mixer_lock);
    buf->pos = 0;
    buf->status = DSBSTATUS_PLAYING | ((flags & DSBPLAY_LOOPING) ? DSBSTATUS_LOOPING : 0);
    buf->generation++;
    return 1;
}

int Mixer_Stop(DSBUFFER *buf) {
    std::lock_guard<std::mutex> g(mixer_lock);
    buf->status = 0;
    buf->generation++;
    return 1;
}

int Mixer_Stop_Unlooped() {
    std::lock_guard<std::mutex> g(mixer_lock);
    int stopped = 0;
    for (DSBUFFER &b : pool) {
        if (!b.in_use || !(b.status & DSBSTATUS_PLAYING) || (b.status & DSBSTATUS_LOOPING))
            continue;
        b.status = 0;
        b.generation++;
        stopped++;
    }
    return stopped;
}

int Mixer_Status(const DSBUFFER *buf) {
    std::lock_guard<std::mutex> g(mixer_lock);
    return buf->status;
}

int Mixer_Position(const DSBUFFER *buf) {
    std::lock_guard<std::mutex> g(mixer_lock);
    return (int)(buf->pos >> 32);
}

int Mixer_Set_Frequency(DSBUFFER *buf, int freq) {
    if (!(buf->control_flags & DSBCAPS_CTRLFREQUENCY)) return 0;
    if (freq == DSBFREQUENCY_ORIGINAL) freq = DSOUND_BUFFER_RATE;
    if (freq < DSBFREQUENCY_MIN || freq > DSBFREQUENCY_MAX) return 0;
    std::lock_guard<std::mutex> g(mixer_lock);
    buf->freq = freq;
    return 1;
}

int Mixer_Set_Volume(DSBUFFER *buf, int db) {
    if (!(buf->control_flags & DSBCAPS_CTRLVOLUME)) return 0;
    if (db < DSBVOLUME_MIN || db > DSBVOLUME_MAX) return 0;
    // Only the game thread writes volume and pan, so reading pan here needs no lock.
    int64_t left, right;
    channel_gains(db, buf->pan, &left, &right);
    std::lock_guard<std::mutex> g(mixer_lock);
    buf->volume = db;
    buf->gain_l = left;
    buf->gain_r = right;
    return 1;
}

int Mixer_Set_Pan(DSBUFFER *buf, int pan) {
    if (!(buf->control_flags & DSBCAPS_CTRLPAN)) return 0;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return 0;
    int64_t left, right;
    channel_gains(buf->volume, pan, &left, &right);
    std::lock_guard<std::mutex> g(mixer_lock);
    buf->pan = pan;
    buf->gain_l = left;
    buf->gain_r = right;
    return 1;
}

void Mixer_Get_Params(const DSBUFFER *buf, int *freq, int *volume, int *pan) {
    std::lock_guard<std::mutex> g(mixer_lock);
    if (freq) *freq = buf->freq;
    if (volume) *volume = buf->volume;
    if (pan) *pan = buf->pan;
}

int Mixer_Open_Output() {
    int rate = 0;
    if (!Plat_Audio_Open(DSOUND_OUTPUT_RATE, DSOUND_OUTPUT_FRAMES, audio_callback, nullptr, &rate))
        return 0;
    if (rate <= 0) {
        Plat_Audio_Close();
        return 0;
    }
    std::lock_guard<std::mutex> g(mixer_lock);
    output_rate = rate;
    limiter = Limiter{};
    return 1;
}

void Mixer_Close_Output() {
    Plat_Audio_Close();
    std::unique_lock<std::mutex> lk(mixer_lock);
    wait_for_mix(lk);
    output_rate = 0;
}

void Mixer_Set_Render_Hook(DSound_Render_Hook hook) {
    std::unique_lock<std::mutex> lk(mixer_lock);
    render_hook = hook;
    if (!hook) wait_for_mix(lk);
}

void Mixer_Set_Master(int percent) {
    master_percent = std::clamp(percent, 0, 100);
}

int Mixer_Master() {
    return master_percent;
}
