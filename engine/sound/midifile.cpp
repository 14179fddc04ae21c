// The MIDI file check: walks the header, the tracks and every event in them, so a truncated or
// lying file is refused here and never reaches the synthesiser's reader.
#include "engine/sound/midifile.h"
#include <algorithm>
#include <cstring>

namespace {

uint32_t be32(const uint8_t *p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
uint16_t be16(const uint8_t *p) {
    return (uint16_t)(p[0] << 8 | p[1]);
}

// Reads a variable-length quantity of at most four bytes ending before end; false if it runs out.
bool read_varlen(const uint8_t *&p, const uint8_t *end, uint32_t *out) {
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

bool valid_track(const uint8_t *p, const uint8_t *end) {
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
            // The events of fixed size must have it: the synthesiser's reader refuses the whole
            // file over one of the wrong length, and would play nothing.
            if (type == 0x51 && (len != 3 || (p[0] | p[1] | p[2]) == 0)) return false;
            if ((type == 0x2F && len != 0) || (type == 0x54 && len != 5)) return false;
            if ((type == 0x58 && len != 4) || (type == 0x59 && len != 2)) return false;
            p += len;
            if (type == 0x2F) return true; // end of track: anything after it is never read
        } else if (status == 0xF7) {
            return false; // an escaped packet: that reader knows no such event and reads nothing
        } else if (status == 0xF0) {
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

} // namespace

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

// One event of a track being merged: when it falls, its status, and where its bytes after the
// status lie in the file (a running status is written out in full in the merged track).
struct Merge_Event {
    uint64_t tick;
    uint8_t status;
    uint32_t off, len;
};

namespace {

// Collects the events of a checked track, end of track left out; returns the tick it ends at.
uint64_t collect_track(const uint8_t *data, const uint8_t *p, const uint8_t *end,
                       std::vector<Merge_Event> &out) {
    uint64_t tick = 0;
    int running = 0;
    while (p < end) {
        uint32_t delta = 0, len = 0;
        if (!read_varlen(p, end, &delta) || p >= end) break;
        tick += delta;
        int status = *p;
        if (status & 0x80)
            ++p;
        else
            status = running;
        const uint8_t *body = p;
        if (status < 0xF0) {
            running = status;
            p += ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) ? 1 : 2;
        } else {
            running = 0;
            if (status == 0xFF) {
                int type = *p++;
                if (!read_varlen(p, end, &len)) break;
                p += len;
                if (type == 0x2F) return tick;
            } else {
                if (!read_varlen(p, end, &len)) break;
                p += len;
            }
        }
        out.push_back({tick, (uint8_t)status, (uint32_t)(body - data), (uint32_t)(p - body)});
    }
    return tick;
}

void put_varlen(std::vector<uint8_t> &b, uint32_t v) {
    uint8_t tmp[4];
    int n = 0;
    do {
        tmp[n++] = (uint8_t)(v & 0x7F);
        v >>= 7;
    } while (v && n < 4);
    while (n > 1)
        b.push_back(tmp[--n] | 0x80);
    b.push_back(tmp[0]);
}

// The synthesiser's reader takes at most MIDI_MAX_TRACKS tracks; all of a larger file's tracks
// play at once, which is what one track holding every event in time order does too.
void merge_tracks(std::vector<uint8_t> &file) {
    const uint8_t *data = file.data();
    int tracks = be16(data + 10);
    std::vector<Merge_Event> events;
    uint64_t last = 0, off = 14;
    for (int t = 0; t < tracks; ++t) {
        uint64_t len = be32(data + off + 4);
        uint64_t ends = collect_track(data, data + off + 8, data + off + 8 + len, events);
        if (ends > last) last = ends;
        off += 8 + len;
    }
    // Stable: at one tick the events keep the order of their tracks, the tempo track first.
    std::stable_sort(events.begin(), events.end(),
                     [](const Merge_Event &a, const Merge_Event &b) { return a.tick < b.tick; });
    std::vector<uint8_t> track;
    track.reserve(file.size() + events.size());
    uint64_t now = 0;
    // Between two neighbours the gap is never more than one delta of the later one's own
    // track, so every gap fits a delta again.
    for (const Merge_Event &e : events) {
        put_varlen(track, (uint32_t)(e.tick - now));
        now = e.tick;
        track.push_back(e.status);
        track.insert(track.end(), data + e.off, data + e.off + e.len);
    }
    put_varlen(track, (uint32_t)(last > now ? last - now : 0));
    track.insert(track.end(), {0xFF, 0x2F, 0x00});
    std::vector<uint8_t> out(file.begin(), file.begin() + 14);
    out[8] = 0, out[9] = 0;   // format 0
    out[10] = 0, out[11] = 1; // one track
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    uint32_t n = (uint32_t)track.size();
    out.insert(out.end(), {(uint8_t)(n >> 24), (uint8_t)(n >> 16), (uint8_t)(n >> 8), (uint8_t)n});
    out.insert(out.end(), track.begin(), track.end());
    file.swap(out);
}

} // namespace

void Make_MIDI_Playable(std::vector<uint8_t> &file) {
    if (!Validate_MIDI(file.data(), file.size())) return;
    uint64_t hlen = be32(file.data() + 4);
    if (hlen > 6) {
        // Later header fields are additions the format allows; the 6 bytes every reader knows
        // stay.
        file.erase(file.begin() + 14, file.begin() + (long)(8 + hlen));
        file[4] = file[5] = file[6] = 0;
        file[7] = 6;
    }
    // Format 2 (tracks that are patterns of their own): FluidSynth 2.3 plays its tracks together
    // as in format 1, 2.4 refuses it and stays silent; as format 1 both play it the same way.
    if (be16(file.data() + 8) == 2) file[9] = 1;
    if (be16(file.data() + 10) > MIDI_MAX_TRACKS) merge_tracks(file);
}
