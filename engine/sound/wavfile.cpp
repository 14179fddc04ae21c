// The WAV reader: walks the RIFF chunks of a file in memory without ever reading past its end,
// and converts PCM of any width and channel count to 8-bit mono.
#include "engine/sound/wavfile.h"
#include <cstring>

namespace {

uint32_t rd32(const uint8_t *p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
uint16_t rd16(const uint8_t *p) {
    return (uint16_t)(p[0] | p[1] << 8);
}
bool is_id(const uint8_t *p, const char *id) {
    return std::memcmp(p, id, 4) == 0;
}

// Offset just past a chunk that starts at off: header, body and the pad byte of an odd body.
// Sizes are 32-bit, so the sum cannot overflow 64 bits.
uint64_t past_chunk(uint64_t off, uint32_t body) {
    return off + 8 + body + (body & 1u);
}

// Mixes one frame of any PCM width down to a signed 16-bit value: the top two bytes of each
// sample (8-bit samples are unsigned and moved up), averaged over the channels.
int frame_to_s16(const uint8_t *p, int channels, int bytes) {
    int64_t sum = 0;
    for (int c = 0; c < channels; ++c, p += bytes) {
        if (bytes == 1)
            sum += (p[0] - 128) * 256;
        else
            sum += (int16_t)(uint16_t)(p[bytes - 2] | p[bytes - 1] << 8);
    }
    return (int)(sum / channels);
}

} // namespace

int Parse_WAV(const uint8_t *data, size_t size, WAV_SOUND *out) {
    if (!data || !out) return 0;
    // The RIFF chunk of form "WAVE", searched among the file's top-level chunks.
    uint64_t off = 0;
    bool found = false;
    while (off + 12 <= size) {
        if (is_id(data + off, "RIFF") && is_id(data + off + 8, "WAVE")) {
            found = true;
            break;
        }
        off = past_chunk(off, rd32(data + off + 4));
    }
    if (!found) return 0;
    uint64_t riff_end = off + 8 + rd32(data + off + 4);
    if (riff_end > size) riff_end = size; // a RIFF size past the end of the file is clipped

    // The first sub-chunk is the format, whatever its identifier says.
    uint64_t fmt = off + 12;
    if (fmt + 8 > riff_end) return 0;
    uint32_t fmt_size = rd32(data + fmt + 4);
    // 18 bytes are read from the start of its body, even from a 16-byte chunk.
    if (fmt + 8 + 18 > size) return 0;
    const uint8_t *f = data + fmt + 8;
    int tag = rd16(f);
    if (tag != WAVE_FORMAT_PCM) return 0;
    int channels = rd16(f + 2);
    uint32_t rate = rd32(f + 4);
    // A format chunk too short to hold the sample width is taken as the plain 8-bit form.
    int bits = fmt_size >= 16 ? rd16(f + 14) : 8;
    if (fmt_size < 16) channels = 1;
    if (channels < 1 || bits < 1 || bits > 32) return 0;

    // "data", searched forward from just past the format chunk, inside the RIFF chunk.
    uint64_t q = past_chunk(fmt, fmt_size);
    found = false;
    while (q + 8 <= riff_end) {
        if (is_id(data + q, "data")) {
            found = true;
            break;
        }
        q = past_chunk(q, rd32(data + q + 4));
    }
    if (!found) return 0;
    uint64_t body = q + 8, want = rd32(data + q + 4);
    uint64_t avail = size - body;
    uint64_t n = want < avail ? want : avail; // a lying or streaming (0xFFFFFFFF) size is clipped

    out->format_tag = tag;
    out->channels = channels;
    out->rate = (int)(rate > 0x7FFFFFFFu ? 0x7FFFFFFFu : rate);
    out->bits = bits;
    int bytes = (bits + 7) / 8;
    if (bytes == 1 && channels == 1) {
        out->samples.assign(data + body, data + body + n);
        return 1;
    }
    // Wider or multi-channel PCM would sound as noise if its bytes were played as 8-bit mono.
    uint64_t frame = (uint64_t)bytes * (uint64_t)channels;
    uint64_t frames = n / frame;
    out->samples.resize(frames);
    const uint8_t *p = data + body;
    for (uint64_t i = 0; i < frames; ++i, p += frame)
        out->samples[i] = (uint8_t)((frame_to_s16(p, channels, bytes) >> 8) + 128);
    return 1;
}
