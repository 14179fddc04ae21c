// libFuzzer target for music: every input goes through the MIDI file check; each accepted file is
// made playable and handed to a FluidSynth player on a synthesiser with the SoundFont, which
// renders a few blocks as the mixer does. The player must have read the whole of it.
#include "engine/sound/dmusic.h"
#include "engine/sound/midifile.h"
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fluidsynth.h>
#include <vector>

namespace {

constexpr int kBlock = 1024; // the mixer renders music in blocks of this many frames
constexpr int kBlocks = 4;

fluid_synth_t *Synth() {
    static fluid_synth_t *synth = [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
        const char *sf = DMusic_Find_SoundFont();
        if (!*sf) {
            std::fprintf(stderr, "fuzz_midi: no SoundFont installed; only the check runs\n");
            return (fluid_synth_t *)nullptr;
        }
        // As the music module sets its synthesiser up.
        fluid_settings_t *settings = new_fluid_settings();
        fluid_settings_setnum(settings, "synth.sample-rate", 44100.0);
        fluid_settings_setint(settings, "synth.threadsafe-api", 1);
        fluid_settings_setstr(settings, "player.timing-source", "sample");
        fluid_settings_setint(settings, "synth.cpu-cores", 1);
        fluid_settings_setint(settings, "synth.reverb.active", 0);
        fluid_settings_setint(settings, "synth.chorus.active", 0);
        fluid_synth_t *s = new_fluid_synth(settings);
        if (s && fluid_synth_sfload(s, sf, 1) == FLUID_FAILED) __builtin_trap();
        return s;
    }();
    return synth;
}

uint32_t Be32(const uint8_t *p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// Bounds on the song's length in ticks, walked independently of the engine. *most: the longest
// track counted to its end-of-track event (or its last event). *least: counted to the last event
// the player surely keeps (a channel message or the end of track; the delta before a dropped meta
// event at a track's end is lost to it). The file has passed the check.
void Song_Ticks(const std::vector<uint8_t> &f, uint64_t *least, uint64_t *most) {
    *least = *most = 0;
    uint64_t off = 8 + Be32(f.data() + 4);
    int tracks = f[10] << 8 | f[11];
    for (int t = 0; t < tracks; ++t) {
        uint64_t len = Be32(f.data() + off + 4);
        const uint8_t *p = f.data() + off + 8, *end = p + len;
        uint64_t tick = 0, kept = 0;
        int running = 0;
        auto varlen = [&p]() {
            uint32_t v = 0;
            for (int i = 0; i < 4; ++i) {
                uint8_t b = *p++;
                v = v << 7 | (b & 0x7F);
                if (!(b & 0x80)) break;
            }
            return v;
        };
        while (p < end) {
            tick += varlen();
            int status = *p & 0x80 ? *p++ : running;
            if (status < 0xF0) {
                running = status;
                p += ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) ? 1 : 2;
                kept = tick;
            } else {
                running = 0;
                int type = status == 0xFF ? *p++ : 0;
                p += varlen();
                if (status == 0xFF && type == 0x2F) {
                    kept = tick;
                    break;
                }
            }
        }
        if (tick > *most) *most = tick;
        if (kept > *least) *least = kept;
        off += 8 + len;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!Validate_MIDI(data, size)) return 0;
    std::vector<uint8_t> file(data, data + size);
    Make_MIDI_Playable(file);
    // What is made playable is still a file the check accepts.
    if (!Validate_MIDI(file.data(), file.size())) __builtin_trap();
    int tracks = file[10] << 8 | file[11];
    if (tracks > MIDI_MAX_TRACKS || Be32(file.data() + 4) != 6) __builtin_trap();
    // Formats 0 and 1 only: FluidSynth 2.4 refuses format 2 (2.3 plays it as format 1).
    if (file[8] != 0 || file[9] > 1) __builtin_trap();
    uint64_t least, most;
    Song_Ticks(file, &least, &most);

    fluid_synth_t *synth = Synth();
    if (!synth) return 0;
    fluid_player_t *player = new_fluid_player(synth);
    if (!player) return 0;
    if (fluid_player_add_mem(player, file.data(), file.size()) != FLUID_OK ||
        fluid_player_play(player) != FLUID_OK)
        __builtin_trap();
    static float left[kBlock], right[kBlock];
    for (int b = 0; b < kBlocks; ++b) {
        if (fluid_synth_write_float(synth, kBlock, left, 0, 1, right, 0, 1) != FLUID_OK)
            __builtin_trap();
        if (b == 0) {
            // A file the player could not read ends at once, or plays with no length: the
            // silence that must never follow an accepted file.
            if (fluid_player_get_status(player) == FLUID_PLAYER_DONE) __builtin_trap();
            uint64_t total = (uint64_t)fluid_player_get_total_ticks(player);
            if (most < (1u << 30) && (total < least || total > most)) __builtin_trap();
        }
    }
    fluid_player_stop(player);
    delete_fluid_player(player);
    fluid_synth_all_sounds_off(synth, -1);
    fluid_synth_system_reset(synth);
    return 0;
}
