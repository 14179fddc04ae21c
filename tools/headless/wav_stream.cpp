// Streaming WAV output of the headless runner: the same bytes as writing the whole mix at the
// end, with the data going out through stdio's buffer as it is pulled.
#include "tools/headless/wav_stream.h"
#include "platform/os/os_file.h"

#include <bit>
#include <cerrno>

namespace {
constexpr uint64_t MAX_DATA_BYTES = 0xFFFFFFFFull - 36; // what a RIFF size field can still say

// Notes the first failure with its errno (EIO when the library left none).
void fail(WAV_STREAM_TYP *w, int error) {
    if (!w->failed) w->error = error ? error : EIO;
    w->failed = 1;
}

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
    errno = 0;
    if (!path || !(w->file = Os_Fopen(path, "wb"))) {
        w->error = errno ? errno : EINVAL;
        return 0;
    }
    // Large stdio buffer: the mix arrives in pieces of a few kilobytes.
    setvbuf(w->file, nullptr, _IOFBF, 1 << 16);
    uint8_t h[44];
    header(h, 44100, 0);
    if (fwrite(h, 1, sizeof h, w->file) != sizeof h) fail(w, errno);
    return 1;
}

int Wav_Stream_Write(WAV_STREAM_TYP *w, const int16_t *samples, size_t count) {
    if (!w->file || w->failed) return 0;
    if (count == 0) return 1;
    if (w->data_bytes + (uint64_t)count * 2 > MAX_DATA_BYTES) {
        fail(w, EFBIG);
        return 0;
    }
    w->data_bytes += (uint64_t)count * 2;
    errno = 0;
    if constexpr (std::endian::native == std::endian::little) {
        if (fwrite(samples, 2, count, w->file) != count) fail(w, errno);
        return !w->failed;
    }
    uint8_t chunk[4096];
    while (count > 0) {
        const size_t n = count < sizeof chunk / 2 ? count : sizeof chunk / 2;
        for (size_t i = 0; i < n; i++)
            put_le(chunk + 2 * i, (uint16_t)samples[i], 2);
        if (fwrite(chunk, 2, n, w->file) != n) {
            fail(w, errno);
            return 0;
        }
        samples += n;
        count -= n;
    }
    return 1;
}

int Wav_Stream_Close(WAV_STREAM_TYP *w, uint32_t rate) {
    if (!w->file) return 0;
    // The header says what the file holds even after a failure: the samples up to it play.
    uint8_t h[44];
    header(h, rate, (uint32_t)w->data_bytes);
    errno = 0;
    if (fseek(w->file, 0, SEEK_SET) != 0 || fwrite(h, 1, sizeof h, w->file) != sizeof h)
        fail(w, errno);
    if (ferror(w->file)) fail(w, errno);
    errno = 0;
    if (fclose(w->file) != 0) fail(w, errno);
    w->file = nullptr;
    return !w->failed;
}
