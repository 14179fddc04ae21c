// Builders for the small WAV and MIDI files the sound tests write for themselves.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void put_id(Bytes &b, const char *id) {
    b.insert(b.end(), id, id + 4);
}
inline void put_le32(Bytes &b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((uint8_t)(v >> (8 * i)));
}
inline void put_le16(Bytes &b, uint16_t v) {
    b.push_back((uint8_t)v);
    b.push_back((uint8_t)(v >> 8));
}
inline void put_be32(Bytes &b, uint32_t v) {
    for (int i = 3; i >= 0; --i)
        b.push_back((uint8_t)(v >> (8 * i)));
}
inline void put_be16(Bytes &b, uint16_t v) {
    b.push_back((uint8_t)(v >> 8));
    b.push_back((uint8_t)v);
}

// A chunk: id, the given size field (the body's true size unless told otherwise), body, pad.
inline void put_chunk(Bytes &b, const char *id, const Bytes &body, int64_t size_field = -1) {
    put_id(b, id);
    put_le32(b, size_field < 0 ? (uint32_t)body.size() : (uint32_t)size_field);
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
}

// The body of a format chunk of fmt_size bytes (16, 18 or 40).
inline Bytes fmt_body(int tag, int channels, int rate, int bits, int fmt_size = 16) {
    Bytes f;
    put_le16(f, (uint16_t)tag);
    put_le16(f, (uint16_t)channels);
    put_le32(f, (uint32_t)rate);
    int align = channels * ((bits + 7) / 8);
    put_le32(f, (uint32_t)(rate * align));
    put_le16(f, (uint16_t)align);
    put_le16(f, (uint16_t)bits);
    while ((int)f.size() < fmt_size)
        f.push_back(0);
    return f;
}

// RIFF "WAVE" around the given sub-chunks; riff_size < 0 writes the true size.
inline Bytes riff_wave(const Bytes &chunks, int64_t riff_size = -1) {
    uint32_t size = riff_size < 0 ? (uint32_t)(4 + chunks.size()) : (uint32_t)riff_size;
    Bytes b(12 + chunks.size());
    std::memcpy(b.data(), "RIFF", 4);
    for (int i = 0; i < 4; ++i)
        b[4 + i] = (uint8_t)(size >> (8 * i));
    std::memcpy(b.data() + 8, "WAVE", 4);
    std::copy(chunks.begin(), chunks.end(), b.begin() + 12);
    return b;
}

// The plain form: 8-bit mono PCM, a 16-byte format chunk, then the data chunk.
inline Bytes wav8(const Bytes &samples, int rate = 11025) {
    Bytes c;
    put_chunk(c, "fmt ", fmt_body(1, 1, rate, 8));
    put_chunk(c, "data", samples);
    return riff_wave(c);
}

inline bool write_file(const std::string &path, const Bytes &b) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

// A folder of its own for one test program's files, removed when the program ends.
inline std::string temp_dir() {
    static std::string dir;
    if (dir.empty()) {
        char tmpl[] = "/tmp/fw-sound-test-XXXXXX";
        char *d = mkdtemp(tmpl);
        dir = d ? d : "/tmp";
        if (d)
            std::atexit([] {
                std::error_code ec;
                std::filesystem::remove_all(dir, ec);
            });
    }
    return dir;
}

// One MIDI track chunk around raw event bytes.
inline Bytes midi_track(const Bytes &events, int64_t size_field = -1) {
    uint32_t size = size_field < 0 ? (uint32_t)events.size() : (uint32_t)size_field;
    Bytes b(8 + events.size());
    std::memcpy(b.data(), "MTrk", 4);
    for (int i = 0; i < 4; ++i)
        b[4 + i] = (uint8_t)(size >> (8 * (3 - i)));
    std::copy(events.begin(), events.end(), b.begin() + 8);
    return b;
}

// A standard MIDI header.
inline Bytes midi_header(int format, int tracks, int division) {
    return Bytes{'M',
                 'T',
                 'h',
                 'd',
                 0,
                 0,
                 0,
                 6,
                 (uint8_t)(format >> 8),
                 (uint8_t)format,
                 (uint8_t)(tracks >> 8),
                 (uint8_t)tracks,
                 (uint8_t)(division >> 8),
                 (uint8_t)division};
}

// A one-track song: each note is held for ticks ticks (120 beats a minute, 480 ticks a beat,
// so 480 ticks are half a second), then the track ends.
inline Bytes midi_song(std::initializer_list<int> notes, int ticks) {
    Bytes ev = {0x00, 0xC0, 0x00}; // programme 0 on channel 0
    for (int n : notes) {
        ev.insert(ev.end(), {0x00, 0x90, (uint8_t)n, 100});
        // delta as a two-byte variable-length number (ticks < 16384)
        ev.insert(ev.end(),
                  {(uint8_t)(0x80 | (ticks >> 7)), (uint8_t)(ticks & 0x7F), 0x80, (uint8_t)n, 0});
    }
    ev.insert(ev.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes b = midi_header(0, 1, 480);
    Bytes t = midi_track(ev);
    b.insert(b.end(), t.begin(), t.end());
    return b;
}
