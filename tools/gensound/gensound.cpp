// fw-gensound: synthesises the game's nine sound effects as 8-bit mono PCM WAV files.
// usage: fw-gensound OUTPUT_DIR
// Everything is computed from fixed seeds, so every build writes the same bytes.
#include "tools/genmath/exact_math.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

using Wave = std::vector<double>;

// xorshift32: a tiny generator whose sequence does not depend on the standard library.
struct Noise {
    uint32_t s;
    explicit Noise(uint32_t seed) : s(seed ? seed : 1u) {}
    double next() { // -1 .. 1
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return (double)s / 2147483648.0 - 1.0;
    }
};

// Two-pole state-variable filter; cutoff may change every sample.
struct Svf {
    double low = 0, band = 0;
    // Returns {low, band, high} for one input sample.
    void step(double in, double cutoff_hz, double q, int rate, double &lo, double &bp, double &hi) {
        double f = 2.0 * exact::Sin(kPi * std::min(cutoff_hz, rate / 6.0) / rate);
        low += f * band;
        double high = in - low - q * band;
        band += f * high;
        lo = low;
        bp = band;
        hi = high;
    }
};

// Attack-then-exponential-decay envelope at time t (seconds).
double env_ad(double t, double attack, double decay) {
    if (t < attack) return t / attack;
    return exact::Exp(-(t - attack) / decay);
}

// Short linear fades at both ends so a one-shot sound starts and stops without a click.
void fade_ends(Wave &w, int rate, double in_s, double out_s) {
    int n = (int)w.size();
    int fi = std::max(1, (int)(in_s * rate)), fo = std::max(1, (int)(out_s * rate));
    for (int i = 0; i < n && i < fi; ++i)
        w[i] *= (double)i / fi;
    for (int i = 0; i < n && i < fo; ++i)
        w[n - 1 - i] *= (double)i / fo;
}

// Removes the mean and scales the peak to the given fraction of full scale.
void normalise(Wave &w, double peak) {
    if (w.empty()) return;
    double mean = 0;
    for (double v : w)
        mean += v;
    mean /= (double)w.size();
    double top = 0;
    for (double &v : w) {
        v -= mean;
        top = std::max(top, std::fabs(v));
    }
    if (top > 0)
        for (double &v : w)
            v *= peak / top;
}

// Soft saturation: lifts the body of a noisy sound towards its peaks, as a loud recording would.
void saturate(Wave &w, double drive) {
    double top = 0;
    for (double v : w)
        top = std::max(top, std::fabs(v));
    if (top <= 0) return;
    for (double &v : w)
        v = exact::Tanh(drive * v / top);
}

// 8-bit unsigned samples: silence is 128.
std::vector<uint8_t> quantise(const Wave &w) {
    std::vector<uint8_t> out(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        long q = std::lround(w[i] * 127.0) + 128;
        out[i] = (uint8_t)std::clamp(q, 1L, 255L);
    }
    return out;
}

void put32(std::vector<uint8_t> &b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((uint8_t)(v >> (8 * i)));
}
void put16(std::vector<uint8_t> &b, uint16_t v) {
    b.push_back((uint8_t)v);
    b.push_back((uint8_t)(v >> 8));
}

bool write_wav(const std::string &path, const std::vector<uint8_t> &pcm, int rate) {
    std::vector<uint8_t> b;
    uint32_t data = (uint32_t)pcm.size(), pad = data & 1u;
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(b, 4 + 8 + 16 + 8 + data + pad);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, 1); // PCM
    put16(b, 1); // mono
    put32(b, (uint32_t)rate);
    put32(b, (uint32_t)rate); // bytes a second
    put16(b, 1);              // block alignment
    put16(b, 8);              // bits
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, data);
    b.insert(b.end(), pcm.begin(), pcm.end());
    if (pad) b.push_back(128); // RIFF chunks are padded to an even size
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

double note_hz(int midi) {
    return 440.0 * exact::Pow(2.0, (midi - 69) / 12.0);
}

// ---- the sounds --------------------------------------------------------------------------------

// Engine hum, one second that loops seamlessly: every partial, the rumble and the throb repeat a
// whole number of times in the loop, so the last sample leads straight into the first.
Wave make_engine(int rate) {
    const int n = rate; // one second: whole-hertz partials fit exactly
    Wave w(n, 0.0);
    Noise rng(0xE1A6u);
    struct Partial {
        double hz, amp, phase;
    };
    std::vector<Partial> parts = {{55, 1.0, 0},     {110, 0.55, 0.3}, {165, 0.35, 1.1},
                                  {220, 0.25, 2.0}, {275, 0.12, 0.7}, {330, 0.08, 2.5}};
    // Rumble: a band of whole-hertz partials with random phases is periodic noise.
    for (int hz = 70; hz <= 420; hz += 1) {
        double amp = 0.05 * (0.5 + 0.5 * rng.next()) * exact::Exp(-(hz - 70) / 160.0);
        parts.push_back({(double)hz, amp, kPi * (rng.next() + 1.0)});
    }
    // A thinner band of whine above it, so small speakers that cannot reach the hum still carry
    // the engine.
    for (int hz = 421; hz <= 1100; hz += 3) {
        double amp = 0.012 * (0.5 + 0.5 * rng.next()) * exact::Exp(-(hz - 421) / 350.0);
        parts.push_back({(double)hz, amp, kPi * (rng.next() + 1.0)});
    }
    for (int i = 0; i < n; ++i) {
        double t = (double)i / rate, v = 0;
        for (const Partial &p : parts)
            v += p.amp * exact::Sin(kTwoPi * p.hz * t + p.phase);
        double throb = 0.82 + 0.18 * exact::Sin(kTwoPi * 6.0 * t); // 6 whole cycles a loop
        w[i] = v * throb;
    }
    normalise(w, 0.34);
    return w;
}

// Afterburner: a swelling roar of low-passed noise with a crackle, opening then closing.
Wave make_blaze(int rate) {
    const double len = 1.3;
    int n = (int)(len * rate);
    Wave w(n);
    Noise rng(0xB1A2Eu);
    Svf f1, f2;
    double crackle = 0;
    for (int i = 0; i < n; ++i) {
        double t = (double)i / rate;
        double e = (t < 0.12 ? t / 0.12 : 1.0) * (t > 0.7 ? exact::Exp(-(t - 0.7) / 0.22) : 1.0);
        double cutoff = 500 + 2600 * exact::Exp(-t / 0.35) + 300 * exact::Sin(kTwoPi * 3.0 * t);
        double lo, bp, hi, lo2, bp2, hi2;
        f1.step(rng.next(), cutoff, 0.6, rate, lo, bp, hi);
        f2.step(lo, cutoff * 0.5, 0.9, rate, lo2, bp2, hi2);
        if (rng.next() > 0.985) crackle = rng.next();
        crackle *= 0.9;
        w[i] = e * (0.8 * lo + 0.6 * lo2 + 0.35 * crackle);
    }
    saturate(w, 1.8);
    fade_ends(w, rate, 0.01, 0.05);
    normalise(w, 0.5);
    return w;
}

// Laser zap: a bright tone falling fast from high to low, with a frequency-modulated edge.
Wave make_laser(int rate) {
    const double len = 0.28;
    int n = (int)(len * rate);
    Wave w(n);
    double ph = 0, mph = 0;
    for (int i = 0; i < n; ++i) {
        double t = (double)i / rate;
        double hz = 260.0 + 2600.0 * exact::Exp(-t / 0.055);
        mph += kTwoPi * hz * 1.5 / rate;
        ph +=
            kTwoPi * hz / rate + 2.2 * exact::Exp(-t / 0.08) * exact::Sin(mph) * kTwoPi / rate * hz;
        double tone = exact::Sin(ph) + 0.3 * exact::Sin(2 * ph);
        w[i] = tone * env_ad(t, 0.004, 0.09);
    }
    fade_ends(w, rate, 0.002, 0.02);
    normalise(w, 0.32);
    return w;
}

// An explosion: noise through a closing low-pass filter over a sinking thump.
Wave make_boom(int rate, uint32_t seed, double len, double thump_hz, double bright, double decay,
               double peak) {
    int n = (int)(len * rate);
    Wave w(n);
    Noise rng(seed);
    Svf f1, f2;
    double ph = 0;
    for (int i = 0; i < n; ++i) {
        double t = (double)i / rate;
        double cutoff = 120 + bright * exact::Exp(-t / (decay * 0.5));
        double lo, bp, hi, lo2, bp2, hi2;
        f1.step(rng.next(), cutoff, 0.5, rate, lo, bp, hi);
        f2.step(lo, cutoff, 0.7, rate, lo2, bp2, hi2);
        double hz = thump_hz * (0.4 + 0.6 * exact::Exp(-t / 0.12));
        ph += kTwoPi * hz / rate;
        double thump = exact::Sin(ph) * env_ad(t, 0.003, decay * 0.45);
        w[i] = env_ad(t, 0.002, decay) * (0.9 * lo2 + 0.3 * bp) + 0.9 * thump;
    }
    saturate(w, 2.5);
    fade_ends(w, rate, 0.001, 0.08);
    normalise(w, peak);
    return w;
}

// A bell-like note: a sine with a decaying FM overtone.
void add_bell(Wave &w, int rate, double at, double hz, double dur, double amp) {
    int start = (int)(at * rate), n = (int)(dur * rate);
    for (int i = 0; i < n && start + i < (int)w.size(); ++i) {
        double t = (double)i / rate;
        double mod = 1.8 * exact::Exp(-t / 0.05) * exact::Sin(kTwoPi * hz * 3.5 * t);
        double v = exact::Sin(kTwoPi * hz * t + mod) + 0.25 * exact::Sin(kTwoPi * hz * 2 * t);
        w[start + i] += amp * v * env_ad(t, 0.003, dur * 0.35);
    }
}

// Pick-up chime: two quick bright bell notes, a fourth apart.
Wave make_beep(int rate) {
    Wave w((int)(0.42 * rate), 0.0);
    add_bell(w, rate, 0.0, note_hz(83), 0.22, 0.8);  // B5
    add_bell(w, rate, 0.07, note_hz(88), 0.35, 1.0); // E6
    fade_ends(w, rate, 0.001, 0.03);
    normalise(w, 0.8);
    return w;
}

// Missile launch: a whoosh of band-passed noise sweeping up, with a low ignition rumble.
Wave make_missile(int rate) {
    const double len = 0.85;
    int n = (int)(len * rate);
    Wave w(n);
    Noise rng(0x5150u);
    Svf f, g;
    for (int i = 0; i < n; ++i) {
        double t = (double)i / rate;
        double centre = 300 + 1500 * (t / len) * (t / len) + 400 * t;
        double lo, bp, hi, lo2, bp2, hi2;
        double x = rng.next();
        f.step(x, centre, 0.35, rate, lo, bp, hi);
        g.step(x, 140, 0.8, rate, lo2, bp2, hi2);
        double e = (t < 0.08 ? t / 0.08 : 1.0) * exact::Exp(-std::max(0.0, t - 0.25) / 0.22);
        w[i] = e * (bp + 0.8 * lo2 * exact::Exp(-t / 0.15));
    }
    fade_ends(w, rate, 0.005, 0.05);
    normalise(w, 0.65);
    return w;
}

// A brassy note: a few harmonics with a little vibrato and a soft attack.
void add_brass(Wave &w, int rate, double at, double hz, double dur, double amp) {
    int start = (int)(at * rate), n = (int)(dur * rate);
    double ph = 0;
    for (int i = 0; i < n && start + i < (int)w.size(); ++i) {
        double t = (double)i / rate;
        double vib = 1.0 + 0.004 * exact::Sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.15);
        ph += kTwoPi * hz * vib / rate;
        double bright = 0.5 + 0.5 * exact::Exp(-t / 0.12);
        double v = exact::Sin(ph) + 0.5 * bright * exact::Sin(2 * ph) +
                   0.3 * bright * exact::Sin(3 * ph) + 0.15 * bright * exact::Sin(4 * ph);
        double e =
            std::min(1.0, t / 0.02) * (t > dur - 0.06 ? std::max(0.0, (dur - t) / 0.06) : 1.0);
        w[start + i] += amp * v * e * (0.75 + 0.25 * exact::Exp(-t / 0.2));
    }
}

// Victory: a short rising fanfare ending on a held chord.
Wave make_victory(int rate) {
    Wave w((int)(1.75 * rate), 0.0);
    const double q = 0.13;
    add_brass(w, rate, 0 * q, note_hz(67), q * 0.95, 0.8);      // G4
    add_brass(w, rate, 1 * q, note_hz(67), q * 0.95, 0.8);      // G4
    add_brass(w, rate, 2 * q, note_hz(67), q * 0.95, 0.8);      // G4
    add_brass(w, rate, 3 * q, note_hz(72), q * 2.9, 0.9);       // C5
    add_brass(w, rate, 6 * q, note_hz(76), q * 0.95, 0.85);     // E5
    add_brass(w, rate, 7 * q, note_hz(79), 1.75 - 7 * q, 0.9);  // G5 held
    add_brass(w, rate, 7 * q, note_hz(72), 1.75 - 7 * q, 0.5);  // C5 under it
    add_brass(w, rate, 7 * q, note_hz(76), 1.75 - 7 * q, 0.45); // E5 under it
    fade_ends(w, rate, 0.002, 0.15);
    normalise(w, 0.82);
    return w;
}

// Game over: a slow falling phrase on a hollow, darkening tone.
Wave make_gameover(int rate) {
    const int notes[] = {67, 63, 60, 55}; // G4 Eb4 C4 G3
    const double starts[] = {0.0, 0.42, 0.84, 1.26}, durs[] = {0.4, 0.4, 0.4, 1.1};
    Wave w((int)(2.45 * rate), 0.0);
    for (int k = 0; k < 4; ++k) {
        int start = (int)(starts[k] * rate), n = (int)(durs[k] * rate);
        double hz = note_hz(notes[k]), ph = 0;
        for (int i = 0; i < n && start + i < (int)w.size(); ++i) {
            double t = (double)i / rate;
            double bend = k == 3 ? 1.0 - 0.06 * std::max(0.0, t - 0.3) : 1.0; // last note sags
            ph += kTwoPi * hz * bend * (1.0 + 0.005 * exact::Sin(kTwoPi * 4.5 * t)) / rate;
            double v = exact::Sin(ph) + 0.33 * exact::Sin(3 * ph) + 0.2 * exact::Sin(5 * ph);
            double e = std::min(1.0, t / 0.015) * exact::Exp(-t / (durs[k] * 0.7)) *
                       std::min(1.0, (durs[k] - t) / 0.04);
            w[start + i] += v * e;
        }
    }
    fade_ends(w, rate, 0.002, 0.1);
    normalise(w, 0.8);
    return w;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fw-gensound OUTPUT_DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    if (!dir.empty() && dir.back() != '/') dir += '/';
    struct Item {
        const char *name;
        int rate;
        Wave wave;
    };
    // Rates match what each sound is played at: the game sets five of them to 22050. Levels
    // leave headroom where sounds pile up: the hum, the gun and the hits overlap all game long
    // and the mixer adds them.
    std::vector<Item> items;
    items.push_back({"gameover.wav", 11025, make_gameover(11025)});
    items.push_back({"victory.wav", 22050, make_victory(22050)});
    items.push_back({"engine.wav", 11025, make_engine(11025)});
    items.push_back({"blaze.wav", 22050, make_blaze(22050)});
    items.push_back({"beep00.wav", 11025, make_beep(11025)});
    items.push_back({"missile00.wav", 11025, make_missile(11025)});
    items.push_back(
        {"boom67.wav", 22050, make_boom(22050, 0xB0067u, 1.6, 70.0, 2400.0, 0.55, 0.6)});
    items.push_back(
        {"boom45.wav", 22050, make_boom(22050, 0xB0045u, 0.4, 130.0, 5000.0, 0.1, 0.45)});
    items.push_back({"pdlaser.wav", 22050, make_laser(22050)});
    int status = 0;
    for (const Item &it : items) {
        if (!write_wav(dir + it.name, quantise(it.wave), it.rate)) {
            std::fprintf(stderr, "fw-gensound: cannot write %s%s\n", dir.c_str(), it.name);
            status = 1;
        }
    }
    return status;
}
