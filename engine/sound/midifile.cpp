// The MIDI file check: walks the header, the tracks and every event in them, so a truncated or
// lying file is refused here and never reaches the synthesiser's reader.
#include "engine/sound/midifile.h"
#include <cstring>

static uint32_t be32(const uint8_t *p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
static uint16_t be16(const uint8_t *p) {
    return (uint16_t)(p[0] << 8 | p[1]);
}

// Reads a variable-length quantity of at most four bytes ending before end; false if it runs out.
static bool read_varlen(const uint8_t *&p, const uint8_t *end, uint32_t *out) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end) return false;
        uint8_t b = *p++;
        v = v << 7 | (b & 0x7F);
        if (!(b & 0x80)) {
            *out = v;
            return true;
        }
    }
    return false;
}

static bool valid_track(const uint8_t *p, const uint8_t *end) {
    int running = 0;
    while (p < end) {
        uint32_t delta;
        if (!read_varlen(p, end, &delta)) return false;
        if (p >= end) return false;
        int status = *p;
        if (status & 0x80)
            ++p;
        else if (running)
            status = running;
        else
            return false; // a data byte with no status to run on
        if (status < 0xF0) {
            running = status;
            int need = ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) ? 1 : 2;
            if (end - p < need) return false;
            for (int i = 0; i < need; ++i)
                if (*p++ & 0x80) return false;
        } else if (status == 0xFF) {
            running = 0;
            if (p >= end) return false;
            int type = *p++;
            uint32_t len;
            if (!read_varlen(p, end, &len) || len > (uint32_t)(end - p)) return false;
            if (type == 0x51 && (len != 3 || (p[0] | p[1] | p[2]) == 0)) return false;
            if ((type == 0x58 && len < 2) || (type == 0x59 && len != 2)) return false;
            p += len;
            if (type == 0x2F) return true; // end of track: anything after it is never read
        } else if (status == 0xF0 || status == 0xF7) {
            running = 0;
            uint32_t len;
            if (!read_varlen(p, end, &len) || len > (uint32_t)(end - p)) return false;
            p += len;
        } else {
            return false; // real-time and common messages do not belong in a file
        }
    }
    return true;
}

int Validate_MIDI(const uint8_t *data, size_t size) {
    if (!data || size < 14 || std::memcmp(data, "MThd", 4) != 0) return 0;
    uint64_t hlen = be32(data + 4);
    if (hlen < 6 || 8 + hlen > size) return 0;
    int format = be16(data + 8), tracks = be16(data + 10), division = be16(data + 12);
    if (format > 2 || tracks == 0 || (format == 0 && tracks != 1)) return 0;
    if (division == 0 || (division & 0x8000)) return 0; // only ticks per quarter note
    uint64_t off = 8 + hlen;
    int seen = 0;
    while (seen < tracks) {
        if (off + 8 > size) return 0;
        uint64_t len = be32(data + off + 4);
        if (off + 8 + len > size) return 0;
        // The synthesiser's reader cannot step over chunks of other kinds between the tracks:
        // such a file would load and then play nothing, so it is refused here.
        if (std::memcmp(data + off, "MTrk", 4) != 0) return 0;
        if (!valid_track(data + off + 8, data + off + 8 + len)) return 0;
        ++seen;
        off += 8 + len;
    }
    return 1;
}
