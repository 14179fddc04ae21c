// The mixer's two signal stages: oversampling a buffer's 8-bit samples once, when it is made,
// and the limiter that brings the summed mix into 16 bits without clipping.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// Oversampled samples are 2^WIDE_SHIFT to a source sample: the mixer's linear interpolation
// between them then leaves its images far above anything a source holds.
constexpr int WIDE_SHIFT = 3;
// Gain of the mix before the limiter: a single sound at full scale (22938) stays below its
// threshold, so only sounds piling up are ever limited.
constexpr float MIX_HEADROOM = 0.7f;
// The limiter never lets a sample past this: 3.07 dB below full scale, the headroom players'
// systems and other games leave, so the game's loudest moment is no louder than theirs.
constexpr float LIMIT_CEILING = 23000.0f;

// Oversampled samples at half the 16-bit scale (a sample u reads (u - 128) * 128), the source's
// values exactly at every 2^WIDE_SHIFT-th one: a windowed-sinc low-pass at the source's Nyquist.
using Wide_Samples = std::shared_ptr<const std::vector<int16_t>>;

// The oversampled form of 8-bit unsigned samples (size << WIDE_SHIFT of them); null when
// there is no memory for it or the sound is longer than 2^24 samples.
Wide_Samples Oversample(const std::vector<uint8_t> &samples);

// The limiter's state: a peak envelope that rises at once and falls back in about 100 ms.
struct Limiter {
    float envelope = 0.0f;
};

// Scales frames stereo frames of acc by gain into out; when a frame would pass LIMIT_CEILING
// the gain rides down to meet it, then recovers. rate sets the recovery's pace.
void Limit(Limiter &l, const int32_t *acc, int16_t *out, int frames, float gain, int rate);
