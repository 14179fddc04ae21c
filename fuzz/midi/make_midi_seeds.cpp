// Writes the MIDI fuzz target's seeds: small standard MIDI files of every kind the music module
// takes (formats 0 to 2, running status, tempo, meta and system-exclusive events, a longer
// header, more tracks than the synthesiser's reader takes).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Be(Bytes &b, uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i)
        b.push_back((uint8_t)(v >> (8 * i)));
}

Bytes Header(int format, int tracks, int division, int extra = 0) {
    Bytes b = {'M', 'T', 'h', 'd'};
    Be(b, 6 + (uint32_t)extra, 4);
    Be(b, (uint32_t)format, 2);
    Be(b, (uint32_t)tracks, 2);
    Be(b, (uint32_t)division, 2);
    b.insert(b.end(), (size_t)extra, 0);
    return b;
}

void Track(Bytes &b, const Bytes &events) {
    b.insert(b.end(), {'M', 'T', 'r', 'k'});
    Be(b, (uint32_t)events.size(), 4);
    b.insert(b.end(), events.begin(), events.end());
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

Bytes Tune(int programme, int first_note) {
    Bytes e = {0x00, 0xC0, (uint8_t)programme};
    for (int i = 0; i < 4; ++i)
        e.insert(e.end(), {0x00, 0x90, (uint8_t)(first_note + 2 * i), 100, 0x30, 0x80,
                           (uint8_t)(first_note + 2 * i), 0});
    e.insert(e.end(), kEnd.begin(), kEnd.end());
    return e;
}

bool Write(const std::string &dir, const char *name, const Bytes &b) {
    std::string path = dir + "/" + name;
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fw-make-midi-seeds DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    bool ok = true;

    Bytes f0 = Header(0, 1, 96);
    Track(f0, Tune(0, 60));
    ok &= Write(dir, "format0.mid", f0);

    // Tempo track with text and time signature, a note track using running status and sysex.
    Bytes f1 = Header(1, 2, 480);
    Track(f1, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x58, 0x04, 4,    2,   24,
               8,    0x00, 0xFF, 0x03, 0x04, 's',  'o',  'n',  'g',  0x00, 0xFF, 0x2F, 0x00});
    Track(f1, {0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x00, 0x91, 64,
               90,   0x60, 67,   90,   0x60, 64,   0,    0x00, 67,   0,    0x00,
               0xB1, 7,    100,  0x00, 0xE1, 0,    64,   0x00, 0xFF, 0x2F, 0x00});
    ok &= Write(dir, "format1.mid", f1);

    Bytes f2 = Header(2, 2, 96);
    Track(f2, Tune(40, 50));
    Track(f2, Tune(73, 70));
    ok &= Write(dir, "format2.mid", f2);

    Bytes longer = Header(0, 1, 96, 4);
    Track(longer, Tune(19, 55));
    ok &= Write(dir, "header10.mid", longer);

    // More tracks than the synthesiser's reader takes: merged into one on loading.
    Bytes many = Header(1, 130, 96);
    for (int t = 0; t < 130; ++t)
        Track(many, t % 43 == 0 ? Tune(t % 128, 40 + t % 40) : kEnd);
    ok &= Write(dir, "tracks130.mid", many);

    if (!ok) {
        std::fprintf(stderr, "fw-make-midi-seeds: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
