// Oversampling by a Kaiser-windowed sinc, and the mix's peak limiter: the parts of the mixer
// that shape its sound rather than keep its books.
#include "engine/sound/mixstage.h"
#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr int PHASES = 1 << WIDE_SHIFT;
constexpr size_t WIDE_MAX_SAMPLES = size_t{1} << 24;
constexpr int HALF_SPAN = 8;            // source samples either side the filter reaches
constexpr double KAISER_BETA = 6.0;     // about 60 dB of stopband
constexpr int COEF_ONE = 1 << 14;       // filter coefficients in Q14
constexpr double RELEASE_SECONDS = 0.1; // the envelope's fall to 1/e

// The zeroth-order modified Bessel function, for the Kaiser window.
double bessel_i0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

struct Filter {
    // taps[p][j] weighs source sample n + HALF_SPAN - 1 - j for wide sample n * PHASES + p;
    // every phase sums to exactly COEF_ONE, so a constant passes unchanged.
    int32_t taps[PHASES][2 * HALF_SPAN];
};

Filter make_filter() {
    Filter f{};
    const double pi = 3.14159265358979323846, half = HALF_SPAN * PHASES;
    for (int p = 0; p < PHASES; ++p) {
        double w[2 * HALF_SPAN], sum = 0.0;
        for (int j = 0; j < 2 * HALF_SPAN; ++j) {
            // Distance from the wide sample to the source sample, in wide samples.
            const double m = (double)(j - (HALF_SPAN - 1)) * PHASES + p;
            const double x = m / PHASES;
            const double sinc = m == 0 ? 1.0 : std::sin(pi * x) / (pi * x);
            const double r = m / half;
            const double win =
                std::fabs(r) >= 1.0
                    ? 0.0
                    : bessel_i0(KAISER_BETA * std::sqrt(1.0 - r * r)) / bessel_i0(KAISER_BETA);
            w[j] = sinc * win;
            sum += w[j];
        }
        int total = 0, biggest = 0;
        for (int j = 0; j < 2 * HALF_SPAN; ++j) {
            f.taps[p][j] = (int32_t)std::lround(w[j] / sum * COEF_ONE);
            total += f.taps[p][j];
            if (std::abs(f.taps[p][j]) > std::abs(f.taps[p][biggest])) biggest = j;
        }
        f.taps[p][biggest] += COEF_ONE - total; // rounding must not tilt a constant
    }
    return f;
}

const Filter &filter() {
    static const Filter f = make_filter();
    return f;
}

// Nearest integer, halves away from zero: a plain truncation the compiler keeps inline, where
// lrint is a library call per sample. |v| never exceeds LIMIT_CEILING here.
inline int16_t round_to_sample(float v) {
    return (int16_t)(int32_t)(v + (v >= 0.0f ? 0.5f : -0.5f));
}

} // namespace

Wide_Samples Oversample(const std::vector<uint8_t> &samples) {
    const Filter &f = filter();
    const size_t n = samples.size();
    // Sixteen bytes a sample: past 25 minutes at 11025 Hz a sound would take more memory than
    // the whole game, so it is refused rather than risk the machine's memory.
    if (n > WIDE_MAX_SAMPLES) return nullptr;
    try {
        auto wide = std::make_shared<std::vector<int16_t>>(n << WIDE_SHIFT);
        // The samples centred on 0, with HALF_SPAN more either side holding the edge values:
        // before the first and after the last sample the sound holds still.
        std::vector<int32_t> padded(n + 2 * HALF_SPAN);
        for (size_t i = 0; i < padded.size(); ++i) {
            const size_t at = i < HALF_SPAN ? 0 : std::min(i - HALF_SPAN, n ? n - 1 : 0);
            padded[i] = n ? (int32_t)samples[at] - 128 : 0;
        }
        int16_t *out = wide->data();
        for (size_t i = 0; i < n; ++i) {
            const int32_t *window = &padded[i]; // window[k] is sample i - HALF_SPAN + k
            out[i << WIDE_SHIFT] = (int16_t)(window[HALF_SPAN] * 128); // its own instant
            for (int p = 1; p < PHASES; ++p) {
                int32_t sum = 0;
                for (int j = 0; j < 2 * HALF_SPAN; ++j)
                    sum += f.taps[p][j] * window[2 * HALF_SPAN - 1 - j];
                // At half the 16-bit scale: sum * 128 / COEF_ONE, rounded.
                const int32_t v = (sum + 64) >> 7;
                out[(i << WIDE_SHIFT) + p] = (int16_t)std::clamp(v, -32768, 32767);
            }
        }
        return wide;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void Limit(Limiter &l, const int32_t *acc, int16_t *out, int frames, float gain, int rate) {
    const float fall = rate > 0 ? std::exp(-1.0f / (float)(RELEASE_SECONDS * rate)) : 0.0f;
    for (int k = 0; k < frames; ++k) {
        const float left = (float)acc[2 * k] * gain, right = (float)acc[2 * k + 1] * gain;
        const float peak = std::max(std::fabs(left), std::fabs(right));
        // The envelope holds the loudest recent peak: the gain follows it down at once and
        // back up smoothly, so a burst is turned down, not cut.
        l.envelope = std::max(peak, l.envelope * fall);
        const float g = l.envelope > LIMIT_CEILING ? LIMIT_CEILING / l.envelope : 1.0f;
        out[2 * k] = round_to_sample(left * g);
        out[2 * k + 1] = round_to_sample(right * g);
    }
}
