// Mixing cost per second of output: 32 sound effects at once (beside the mixer's former
// linear-interpolation loop and its previous one-pass span loop, kept here as yardsticks), and a
// busy General MIDI song.
#include "engine/sound/dmusic.h"
#include "engine/sound/dsound.h"
#include "engine/sound/mixstage.h"
#include "platform/headless/headless.h"
#include <benchmark/benchmark.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put32le(Bytes &b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((uint8_t)(v >> (8 * i)));
}
void put32be(Bytes &b, uint32_t v) {
    for (int i = 3; i >= 0; --i)
        b.push_back((uint8_t)(v >> (8 * i)));
}

bool write_file(const std::string &path, const Bytes &b) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

// One second of an 8-bit mono buzz as a WAV file.
Bytes buzz_wav() {
    Bytes data(11025);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = (uint8_t)(128 + (int)(i * 7 % 61) - 30);
    Bytes b = {'R', 'I', 'F', 'F'};
    put32le(b, (uint32_t)(36 + data.size() + (data.size() & 1)));
    for (char c : std::string("WAVEfmt "))
        b.push_back((uint8_t)c);
    put32le(b, 16);
    Bytes fmt = {1, 0, 1, 0};
    b.insert(b.end(), fmt.begin(), fmt.end());
    put32le(b, 11025);
    put32le(b, 11025);
    b.insert(b.end(), {1, 0, 8, 0, 'd', 'a', 't', 'a'});
    put32le(b, (uint32_t)data.size());
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) b.push_back(128);
    return b;
}

void start_device() {
    Headless_Reset(0);
    Headless_Set_Available(1, 1);
    DSound_Init();
}

void BM_Mix32Voices(benchmark::State &state) {
    start_device();
    std::string path = "/tmp/fw-bench-buzz.wav";
    write_file(path, buzz_wav());
    int src = DSound_Load_WAV(path.c_str(), DSBCAPS_CTRLDEFAULT);
    std::vector<int> ids = {src};
    for (int i = 1; i < 32; ++i)
        ids.push_back(DSound_Replicate_Sound(src));
    for (int i = 0; i < 32; ++i) {
        DSound_Set_Freq(ids[i], 11025 + 400 * i); // every voice resamples at its own step
        DSound_Set_Volume(ids[i], 60 + i);
        DSound_Set_Pan(ids[i], -3000 + 200 * i);
        DSound_Play(ids[i], DSBPLAY_LOOPING, 0, 0, 0);
    }
    int rate = DSound_Output_Rate();
    std::vector<int16_t> out(2 * (size_t)rate);
    for (auto _ : state) {
        DSound_Mix(out.data(), rate); // one second of output
        benchmark::DoNotOptimize(out.data());
    }
    DSound_Shutdown();
}
BENCHMARK(BM_Mix32Voices)->Unit(benchmark::kMillisecond);

// The mixer's former inner loop: linear interpolation straight from the 8-bit samples, the
// buffer's end tested on every frame, the sum clamped. Same 32 voices, same second of output.
void BM_Mix32VoicesFormerLoop(benchmark::State &state) {
    Bytes data(11025);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = (uint8_t)(128 + (int)(i * 7 % 61) - 30);
    struct Voice {
        uint64_t pos, step;
        int64_t gain_l, gain_r;
    } voices[32];
    for (int i = 0; i < 32; ++i)
        voices[i] = {0, ((uint64_t)(11025 + 400 * i) << 32) / 44100, 40000 + 300 * i,
                     50000 - 300 * i};
    const uint64_t size = data.size(), end = size << 32;
    std::vector<int32_t> acc(2 * 1024);
    std::vector<int16_t> out(2 * 44100);
    for (auto _ : state) {
        for (int done = 0; done < 44100; done += 1024) {
            const int frames = std::min(1024, 44100 - done);
            std::fill(acc.begin(), acc.begin() + 2 * frames, 0);
            for (Voice &v : voices)
                for (int k = 0; k < frames; ++k) {
                    uint64_t i = v.pos >> 32;
                    int a = data[i] - 128;
                    int b = i + 1 < size ? data[i + 1] - 128 : data[0] - 128;
                    int64_t frac = (int64_t)((v.pos >> 16) & 0xFFFF);
                    int64_t smp = a * 256 + (((int64_t)(b - a) * 256 * frac) >> 16);
                    acc[2 * k] += (int32_t)((smp * v.gain_l) >> 16);
                    acc[2 * k + 1] += (int32_t)((smp * v.gain_r) >> 16);
                    v.pos += v.step;
                    if (v.pos >= end) v.pos %= end;
                }
            for (int i = 0; i < 2 * frames; ++i)
                out[2 * (size_t)done + i] = (int16_t)std::clamp(acc[i], -32768, 32767);
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_Mix32VoicesFormerLoop)->Unit(benchmark::kMillisecond);

// The mixer's previous inner loop over the oversampled samples: one pass a frame, each frame
// gathering its two samples and summing them at once. Same 32 voices, same second of output.
void BM_Mix32VoicesPreviousLoop(benchmark::State &state) {
    Bytes data(11025);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = (uint8_t)(128 + (int)(i * 7 % 61) - 30);
    Wide_Samples samples = Oversample(data);
    const int16_t *wide = samples->data();
    struct Voice {
        uint64_t pos, step;
        int32_t gain_l, gain_r;
    } voices[32];
    for (int i = 0; i < 32; ++i)
        voices[i] = {0, ((uint64_t)(11025 + 400 * i) << 32) / 44100, 20000 + 150 * i,
                     25000 - 150 * i};
    const uint64_t end = data.size() << 32, last = end - (1ull << (32 - WIDE_SHIFT));
    std::vector<int32_t> acc(2 * 1024);
    std::vector<int16_t> out(2 * 44100);
    Limiter limiter;
    auto add_frame = [](const int16_t *w, uint64_t pos, int32_t next, int32_t gl, int32_t gr,
                        int32_t *o) {
        const int32_t a = w[pos >> (32 - WIDE_SHIFT)];
        const int32_t frac = (int32_t)(pos >> (17 - WIDE_SHIFT)) & 0x7FFF;
        const int32_t s = 2 * a + (((next - a) * frac) >> 14);
        o[0] += (s * gl) >> 15;
        o[1] += (s * gr) >> 15;
    };
    for (auto _ : state) {
        for (int done = 0; done < 44100; done += 1024) {
            const int frames = std::min(1024, 44100 - done);
            std::fill(acc.begin(), acc.begin() + 2 * frames, 0);
            for (Voice &v : voices) {
                int32_t *o = acc.data();
                int k = 0;
                while (k < frames) {
                    if (v.pos >= end) v.pos %= end;
                    uint64_t n = v.pos >= last ? 0 : (last - v.pos + v.step - 1) / v.step;
                    n = std::min<uint64_t>(n, (uint64_t)(frames - k));
                    uint64_t pos = v.pos;
                    for (uint64_t j = 0; j < n; ++j, pos += v.step, o += 2)
                        add_frame(wide, pos, wide[(pos >> (32 - WIDE_SHIFT)) + 1], v.gain_l,
                                  v.gain_r, o);
                    k += (int)n;
                    v.pos = pos;
                    if (k < frames && v.pos < end && v.pos >= last) {
                        add_frame(wide, v.pos, wide[0], v.gain_l, v.gain_r, o);
                        o += 2;
                        ++k;
                        v.pos += v.step;
                    }
                }
            }
            Limit(limiter, acc.data(), out.data() + 2 * (size_t)done, frames, MIX_HEADROOM, 44100);
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_Mix32VoicesPreviousLoop)->Unit(benchmark::kMillisecond);

// A busy song: eight channels of sixteenth-note chords and runs for a minute.
Bytes busy_song() {
    Bytes b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 8, 0x01, 0xE0};
    const int programs[8] = {0, 33, 48, 56, 73, 24, 81, 11};
    for (int ch = 0; ch < 8; ++ch) {
        Bytes ev = {0x00, (uint8_t)(0xC0 | ch), (uint8_t)programs[ch]};
        int channel = ch == 7 ? 9 : ch; // the last track plays drums
        if (ch == 7) ev[1] = 0xC9;
        for (int step = 0; step < 960; ++step) { // 960 sixteenths at 120 beats a minute: 2 min
            int root = 48 + ch * 3 + (step / 16 % 4) * 2;
            int notes[3] = {root, root + 4, root + 7};
            if (channel == 9) notes[0] = 35 + step % 12, notes[1] = 42, notes[2] = 38;
            for (int k = 0; k < 3; ++k)
                ev.insert(ev.end(), {0x00, (uint8_t)(0x90 | channel), (uint8_t)notes[k], 90});
            ev.insert(ev.end(), {0x78, (uint8_t)(0x80 | channel), (uint8_t)notes[0], 0});
            for (int k = 1; k < 3; ++k)
                ev.insert(ev.end(), {0x00, (uint8_t)(0x80 | channel), (uint8_t)notes[k], 0});
        }
        ev.insert(ev.end(), {0x00, 0xFF, 0x2F, 0x00});
        b.insert(b.end(), {'M', 'T', 'r', 'k'});
        put32be(b, (uint32_t)ev.size());
        b.insert(b.end(), ev.begin(), ev.end());
    }
    return b;
}

void BM_MusicBusySong(benchmark::State &state) {
    start_device();
    if (!DMusic_Init()) {
        state.SkipWithError("no General MIDI SoundFont");
        DSound_Shutdown();
        return;
    }
    std::string path = "/tmp/fw-bench-busy.mid";
    write_file(path, busy_song());
    int id = DMusic_Load_MIDI(path.c_str());
    DMusic_Play(id);
    int rate = DSound_Output_Rate();
    std::vector<int16_t> out(2 * (size_t)rate);
    for (auto _ : state) {
        DSound_Mix(out.data(), rate); // one second of music
        benchmark::DoNotOptimize(out.data());
    }
    DMusic_Shutdown();
    DSound_Shutdown();
}
BENCHMARK(BM_MusicBusySong)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
