// Music slots over FluidSynth: one synthesiser without an audio driver, rendered inside the
// sound mixer's callback, and one file player per started segment, timed by rendered samples.
#include "engine/sound/dmusic.h"
#include "engine/graphics/datafile.h"
#include "engine/sound/dsound.h"
#include "engine/sound/midifile.h"
#include "engine/sound/mixer.h"
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fluidsynth.h>
#include "platform/os/os_file.h"
#include <vector>

struct MIDI_SEGMENT_STATE {
    fluid_player_t *player;
};

struct MIDI_SEGMENT {
    std::vector<uint8_t> bytes; // the checked file, handed to each new player
    MIDI_SEGMENT_STATE playback;
};

struct MIDI_PERFORMANCE {
    fluid_settings_t *settings;
    fluid_synth_t *synth;
};

struct MIDI_LOADER {
    char soundfont[256];
};

MIDI_SLOT_TYP midi_slots[MAX_MIDI_SLOTS];
MIDI_PERFORMANCE *music_performance = nullptr;
MIDI_LOADER *music_loader = nullptr;
int active_midi_id = -1;

namespace {

MIDI_PERFORMANCE performance;
MIDI_LOADER loader;
// The synthesiser the audio callback renders; set before the hook goes in, cleared after it.
std::atomic<fluid_synth_t *> render_synth{nullptr};

constexpr uint64_t kMaxMidiFile = 16 * 1024 * 1024;
constexpr int kRenderChunk = 1024;

// Audio thread: renders the synthesiser (which also advances every player) into the mix.
void render_music(int32_t *acc, int frames) {
    static float left[kRenderChunk], right[kRenderChunk];
    fluid_synth_t *synth = render_synth.load();
    if (!synth) return;
    while (frames > 0) {
        int n = frames < kRenderChunk ? frames : kRenderChunk;
        if (fluid_synth_write_float(synth, n, left, 0, 1, right, 0, 1) != FLUID_OK) return;
        for (int i = 0; i < n; ++i) {
            float l = left[i] * 32768.0f, r = right[i] * 32768.0f;
            // The synthesiser's float range is about -1..1; keep the sum in the accumulator's
            // range.
            l = l < -1048576.0f ? -1048576.0f : (l > 1048576.0f ? 1048576.0f : l);
            r = r < -1048576.0f ? -1048576.0f : (r > 1048576.0f ? 1048576.0f : r);
            acc[2 * i] += (int32_t)l;
            acc[2 * i + 1] += (int32_t)r;
        }
        acc += 2 * n;
        frames -= n;
    }
}

bool is_file(const char *path) {
    return Os_Is_File(path);
}

} // namespace

const char *DMusic_Find_SoundFont() {
    static const char *const places[] = {"/usr/share/sounds/sf2/default-GM.sf2",
                                         "/usr/share/sounds/sf2/TimGM6mb.sf2"};
    for (const char *p : places)
        if (is_file(p)) return p;
    return "";
}

namespace {

void quiet_logging() {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
}

void close_performance() {
    Mixer_Set_Render_Hook(nullptr); // waits for a mix in progress
    render_synth.store(nullptr);
    if (performance.synth) delete_fluid_synth(performance.synth);
    if (performance.settings) delete_fluid_settings(performance.settings);
    performance.synth = nullptr;
    performance.settings = nullptr;
    music_performance = nullptr;
    music_loader = nullptr;
}

} // namespace

int DMusic_Init() {
    if (music_performance) DMusic_Shutdown();
    int rate = DSound_Output_Rate();
    if (rate <= 0) return 0; // music plays through the sound output
    const char *sf = DMusic_Find_SoundFont();
    if (!*sf) {
        std::fprintf(stderr, "farwake: no SoundFont (looked for /usr/share/sounds/sf2/"
                             "default-GM.sf2 and TimGM6mb.sf2); music off\n");
        return 0;
    }
    quiet_logging();
    performance.settings = new_fluid_settings();
    if (!performance.settings) return 0;
    fluid_settings_setnum(performance.settings, "synth.sample-rate", (double)rate);
    fluid_settings_setint(performance.settings, "synth.threadsafe-api", 1);
    fluid_settings_setstr(performance.settings, "player.timing-source", "sample");
    fluid_settings_setint(performance.settings, "synth.cpu-cores", 1);
    // A dry synthesiser: stopping then silences the music at once instead of leaving an echo.
    fluid_settings_setint(performance.settings, "synth.reverb.active", 0);
    fluid_settings_setint(performance.settings, "synth.chorus.active", 0);
    performance.synth = new_fluid_synth(performance.settings);
    if (!performance.synth || fluid_synth_sfload(performance.synth, sf, 1) == FLUID_FAILED) {
        close_performance();
        return 0;
    }
    std::snprintf(loader.soundfont, sizeof(loader.soundfont), "%s", sf);
    music_performance = &performance;
    music_loader = &loader;
    render_synth.store(performance.synth);
    Mixer_Set_Render_Hook(render_music);
    for (int i = 0; i < MAX_MIDI_SLOTS; ++i) {
        midi_slots[i].segment = nullptr;
        midi_slots[i].segment_state = nullptr;
        midi_slots[i].state = MIDI_SLOT_FREE;
        midi_slots[i].id = i;
    }
    active_midi_id = -1;
    return 1;
}

int DMusic_Shutdown() {
    if (music_performance) {
        for (int i = 0; i < MAX_MIDI_SLOTS; ++i)
            if (midi_slots[i].segment_state) fluid_player_stop(midi_slots[i].segment_state->player);
        fluid_synth_all_sounds_off(performance.synth, -1);
    }
    DMusic_Delete_All_MIDI();
    if (music_performance) close_performance();
    active_midi_id = -1;
    return 1;
}

int DMusic_Load_MIDI(const char *filename) {
    if (!music_performance || !filename) return -1;
    int id = -1;
    for (int i = 0; i < MAX_MIDI_SLOTS && id < 0; ++i)
        if (midi_slots[i].state == MIDI_SLOT_FREE) id = i;
    if (id < 0) return -1;
    std::vector<uint8_t> bytes;
    // Music is read from where the name points (the working directory), not searched for.
    std::string why;
    if (!Read_Bounded_File(filename, kMaxMidiFile, bytes, &why)) {
        Report_Data_File(filename, why.c_str());
        return -1;
    }
    if (!Validate_MIDI(bytes.data(), bytes.size())) {
        Report_Data_File(filename, "not a MIDI song the game can play");
        return -1;
    }
    Make_MIDI_Playable(bytes);
    MIDI_SEGMENT *seg = new MIDI_SEGMENT;
    seg->bytes = std::move(bytes);
    seg->playback.player = nullptr;
    midi_slots[id].segment = seg;
    midi_slots[id].segment_state = nullptr;
    midi_slots[id].state = MIDI_SLOT_LOADED;
    return id;
}

namespace {

bool holds_segment(int id) {
    return id >= 0 && id < MAX_MIDI_SLOTS && midi_slots[id].segment &&
           midi_slots[id].state != MIDI_SLOT_FREE;
}

// A player's timer is linked into and out of the synthesiser's list without the synthesiser's
// lock, so no render may run meanwhile: the music leaves the mix for that moment.
void pause_rendering() {
    Mixer_Set_Render_Hook(nullptr);
}
void resume_rendering() {
    if (music_performance) Mixer_Set_Render_Hook(render_music);
}

void drop_player(MIDI_SEGMENT *seg) {
    if (!seg->playback.player) return;
    fluid_player_stop(seg->playback.player);
    pause_rendering();
    delete_fluid_player(seg->playback.player);
    resume_rendering();
    seg->playback.player = nullptr;
}

} // namespace

int DMusic_Play(int id) {
    if (!holds_segment(id) || !music_performance) return 0;
    if (active_midi_id != -1) DMusic_Stop(active_midi_id);
    MIDI_SLOT_TYP &s = midi_slots[id];
    // A fresh player starts the segment from its first tick, whatever the last one reached.
    drop_player(s.segment);
    pause_rendering();
    fluid_player_t *p = new_fluid_player(performance.synth);
    if (p &&
        (fluid_player_add_mem(p, s.segment->bytes.data(), s.segment->bytes.size()) != FLUID_OK ||
         fluid_player_play(p) != FLUID_OK)) {
        delete_fluid_player(p);
        p = nullptr;
    }
    resume_rendering();
    if (!p) return 0;
    s.segment->playback.player = p;
    s.segment_state = &s.segment->playback;
    s.state = MIDI_SLOT_PLAYING;
    active_midi_id = id;
    return 1;
}

int DMusic_Stop(int id) {
    if (!holds_segment(id)) return 0;
    MIDI_SLOT_TYP &s = midi_slots[id];
    fluid_player_t *p = s.segment->playback.player;
    if (p && music_performance) {
        // The active segment may have ended by itself with its last notes still ringing.
        bool sounding = fluid_player_get_status(p) == FLUID_PLAYER_PLAYING || id == active_midi_id;
        fluid_player_stop(p);
        // Notes still ringing would go on until their release ends: cut them now.
        if (sounding) fluid_synth_all_sounds_off(performance.synth, -1);
    }
    s.state = MIDI_SLOT_STOPPED;
    active_midi_id = -1;
    return 1;
}

int DMusic_Status_MIDI(int id) {
    if (!holds_segment(id)) return 0;
    MIDI_SLOT_TYP &s = midi_slots[id];
    fluid_player_t *p = s.segment->playback.player;
    bool playing = p && fluid_player_get_status(p) == FLUID_PLAYER_PLAYING;
    // The player only reports itself done some seconds after its last event; the segment has
    // ended once the player's tick has passed it (the length is known after the first render).
    if (playing) {
        int total = fluid_player_get_total_ticks(p);
        if (total > 0 && fluid_player_get_current_tick(p) > total) playing = false;
    }
    s.state = playing ? MIDI_SLOT_PLAYING : MIDI_SLOT_STOPPED;
    return s.state;
}

int DMusic_Delete_MIDI(int id) {
    if (id < 0 || id >= MAX_MIDI_SLOTS) return 1;
    MIDI_SLOT_TYP &s = midi_slots[id];
    if (!s.segment) return 1;
    fluid_player_t *p = s.segment->playback.player;
    bool sounding = p && music_performance && fluid_player_get_status(p) == FLUID_PLAYER_PLAYING;
    drop_player(s.segment);
    if (sounding) fluid_synth_all_sounds_off(performance.synth, -1);
    delete s.segment;
    s.segment = nullptr;
    s.segment_state = nullptr;
    s.state = MIDI_SLOT_FREE;
    return 1;
}

int DMusic_Delete_All_MIDI() {
    for (int i = 0; i < MAX_MIDI_SLOTS; ++i)
        DMusic_Delete_MIDI(i);
    return 1;
}
