// Streaming WAV output of the headless runner: the same bytes as writing the whole mix at the
// end, with the data going out through stdio's buffer as it is pulled.
#include "tools/headless/wav_stream.h"

#include <bit>

namespace {
constexpr uint64_t MAX_DATA_BYTES = 0xFFFFFFFFull - 36; // what a RIFF size field can still say

void put_le(uint8_t *p, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++)
        p[i] = (uint8_t)((v >> (8 * i)) & 0xFF);
}

// The 44-byte header of a 16-bit stereo PCM file.
void header(uint8_t h[44], uint32_t rate, uint32_t data_bytes) {
    const char *tags = "RIFF....WAVEfmt ";
    for (int i = 0; i < 16; i++)
        h[i] = (uint8_t)tags[i];
    put_le(h + 4, 36 + data_bytes, 4);
    put_le(h + 16, 16, 4);       // format chunk size
    put_le(h + 20, 1, 2);        // PCM
    put_le(h + 22, 2, 2);        // channels
    put_le(h + 24, rate, 4);     // frames per second
    put_le(h + 28, rate * 4, 4); // bytes per second
    put_le(h + 32, 4, 2);        // bytes per frame
    put_le(h + 34, 16, 2);       // bits per sample
    h[36] = 'd', h[37] = 'a', h[38] = 't', h[39] = 'a';
    put_le(h + 40, data_bytes, 4);
}
} // namespace

int Wav_Stream_Open(WAV_STREAM_TYP *w, const char *path) {
    *w = WAV_STREAM_TYP{};
    if (!path || !(w->file = fopen(path, "wb"))) return 0;
    // Large stdio buffer: the mix arrives in pieces of a few kilobytes.
    setvbuf(w->file, nullptr, _IOFBF, 1 << 16);
    uint8_t h[44];
    header(h, 44100, 0);
    if (fwrite(h, 1, sizeof h, w->file) != sizeof h) w->failed = 1;
    return 1;
}

void Wav_Stream_Write(WAV_STREAM_TYP *w, const int16_t *samples, size_t count) {
    if (!w->file || w->failed || count == 0) return;
    if (w->data_bytes + (uint64_t)count * 2 > MAX_DATA_BYTES) {
        w->failed = 1;
        return;
    }
    w->data_bytes += (uint64_t)count * 2;
    if constexpr (std::endian::native == std::endian::little) {
        if (fwrite(samples, 2, count, w->file) != count) w->failed = 1;
        return;
    }
    uint8_t chunk[4096];
    while (count > 0) {
        const size_t n = count < sizeof chunk / 2 ? count : sizeof chunk / 2;
        for (size_t i = 0; i < n; i++)
            put_le(chunk + 2 * i, (uint16_t)samples[i], 2);
        if (fwrite(chunk, 2, n, w->file) != n) w->failed = 1;
        samples += n;
        count -= n;
    }
}

int Wav_Stream_Close(WAV_STREAM_TYP *w, uint32_t rate) {
    if (!w->file) return 0;
    int ok = !w->failed;
    uint8_t h[44];
    header(h, rate, (uint32_t)w->data_bytes);
    if (ok && (fseek(w->file, 0, SEEK_SET) != 0 || fwrite(h, 1, sizeof h, w->file) != sizeof h))
        ok = 0;
    if (ferror(w->file)) ok = 0;
    if (fclose(w->file) != 0) ok = 0;
    w->file = nullptr;
    return ok;
}
