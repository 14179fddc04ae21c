// The sound slots: 256 ids over the mixer's buffers, loaded from WAV data files, replicated,
// played, stopped and tuned.
#include "engine/sound/dsound.h"
#include "engine/graphics/datafile.h"
#include "engine/sound/mixer.h"
#include "engine/sound/wavfile.h"
#include "platform/platform.h"
#include <cstdio>
#include <cstring>

// The sound device record: the platform output is the whole device.
struct DSOUND_DEVICE {
    int rate;
};

SOUND_SLOT_TYP sound_slots[MAX_SOUND_SLOTS];
LPDIRECTSOUND lpdsound = nullptr;
int dsound_first_time = 1;

namespace {

DSOUND_DEVICE dsound_device;

// Largest WAV file read: no buffer holds more than DSBSIZE_MAX samples, so nothing larger is
// worth reading into memory.
constexpr long kMaxWavFile = DSBSIZE_MAX;

int open_device() {
    if (!Mixer_Open_Output()) {
        std::fprintf(stderr, "farwake: no sound device (%s); playing without sound\n",
                     Plat_Error()[0] ? Plat_Error() : "none found");
        return 0;
    }
    dsound_device.rate = DSound_Output_Rate();
    lpdsound = &dsound_device;
    return 1;
}

} // namespace

int DSound_Init() {
    if (dsound_first_time) {
        std::memset(sound_slots, 0, sizeof(sound_slots));
        dsound_first_time = 0;
        if (!open_device()) return 0;
    } else if (!lpdsound) {
        // A device that was missing before may have come back; without one this is a failure.
        if (!open_device()) return 0;
    }
    for (int i = 0; i < MAX_SOUND_SLOTS; ++i) {
        SOUND_SLOT_TYP &s = sound_slots[i];
        if (s.dsbuffer) {
            Mixer_Stop(s.dsbuffer);
            Mixer_Release_Buffer(s.dsbuffer);
        }
        std::memset(&s, 0, sizeof(s));
        s.state = SOUND_SLOT_FREE;
        s.id = i;
    }
    return 1;
}

int DSound_Shutdown() {
    DSound_Stop_All_Sounds();
    // Close the output first so no callback mixes while the buffers go.
    if (lpdsound) Mixer_Close_Output();
    for (SOUND_SLOT_TYP &s : sound_slots) {
        if (s.dsbuffer) {
            Mixer_Release_Buffer(s.dsbuffer);
            s.dsbuffer = nullptr;
        }
    }
    lpdsound = nullptr;
    return 1;
}

namespace {

int free_slot() {
    for (int i = 0; i < MAX_SOUND_SLOTS; ++i)
        if (sound_slots[i].state == SOUND_SLOT_FREE) return i;
    return -1;
}

} // namespace

int DSound_Load_WAV(const char *filename, int control_flags) {
    if (!lpdsound || !filename) return -1;
    int id = free_slot();
    if (id < 0) return -1;
    std::vector<uint8_t> file;
    std::string why;
    if (!Read_Data_File(filename, kMaxWavFile, file, &why)) {
        Report_Data_File(filename, why.c_str());
        return -1;
    }
    WAV_SOUND wav;
    if (!Parse_WAV(file.data(), file.size(), &wav)) {
        Report_Data_File(filename, "not a sound the game can play");
        return -1;
    }
    int size = (int)wav.samples.size();
    if (wav.samples.size() < (size_t)DSBSIZE_MIN || wav.samples.size() > (size_t)DSBSIZE_MAX) {
        Report_Data_File(filename, "too short or too long a sound");
        return -1;
    }
    auto samples = std::make_shared<const std::vector<uint8_t>>(std::move(wav.samples));
    DSBUFFER *buf = Mixer_Create_Buffer(std::move(samples),
                                        control_flags | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE);
    if (!buf) return -1;
    SOUND_SLOT_TYP &s = sound_slots[id];
    s.dsbuffer = buf;
    s.rate = wav.rate;
    s.size = size;
    s.state = SOUND_SLOT_LOADED;
    return id;
}

int DSound_Replicate_Sound(int source_id) {
    if (source_id == -1 || !lpdsound) return -1;
    // Any other id outside the table names no slot; reading one would run off the table.
    if (source_id < 0 || source_id >= MAX_SOUND_SLOTS) return -1;
    // A source without a buffer cannot be duplicated; the new slot is then never touched.
    const SOUND_SLOT_TYP &src = sound_slots[source_id];
    if (!src.dsbuffer) return -1;
    int id = free_slot();
    if (id < 0) return -1;
    DSBUFFER *dup = Mixer_Duplicate_Buffer(src.dsbuffer);
    if (!dup) return -1;
    SOUND_SLOT_TYP &s = sound_slots[id];
    s = src;
    s.dsbuffer = dup;
    s.id = id;
    return id;
}

int DSound_Play(int id, int flags, int, int, int) {
    if (id < 0 || id >= MAX_SOUND_SLOTS) return 1; // a failed load's -1 leaves every slot alone
    SOUND_SLOT_TYP &s = sound_slots[id];
    if (!s.dsbuffer) return 1;
    // Rewind and play: one step, so a mix running meanwhile cannot move the start.
    return Mixer_Restart(s.dsbuffer, flags);
}

int DSound_Stop_Sound(int id) {
    if (id < 0 || id >= MAX_SOUND_SLOTS) return 1;
    SOUND_SLOT_TYP &s = sound_slots[id];
    if (s.dsbuffer) {
        Mixer_Stop(s.dsbuffer);
        Mixer_Set_Position(s.dsbuffer, 0);
    }
    return 1;
}

int DSound_Stop_All_Sounds() {
    for (int i = 0; i < MAX_SOUND_SLOTS; ++i)
        DSound_Stop_Sound(i);
    return 1;
}

int DSound_Status_Sound(int id) {
    if (id < 0 || id >= MAX_SOUND_SLOTS) return -1;
    const SOUND_SLOT_TYP &s = sound_slots[id];
    return s.dsbuffer ? Mixer_Status(s.dsbuffer) : -1;
}

namespace {

// The setters answer 0 for an id or slot without a buffer: there is nothing to accept the value.
DSBUFFER *buffer_of(int id) {
    if (id < 0 || id >= MAX_SOUND_SLOTS) return nullptr;
    return sound_slots[id].dsbuffer;
}

} // namespace

int DSound_Set_Freq(int id, int freq) {
    DSBUFFER *b = buffer_of(id);
    return b ? Mixer_Set_Frequency(b, freq) : 0;
}

int DSound_Set_Volume(int id, int volume) {
    DSBUFFER *b = buffer_of(id);
    return b ? Mixer_Set_Volume(b, DSVOLUME_TO_DB(volume)) : 0;
}

int DSound_Set_Pan(int id, int pan) {
    DSBUFFER *b = buffer_of(id);
    return b ? Mixer_Set_Pan(b, pan) : 0;
}

int DSound_Delete_Sound(int id) {
    DSound_Stop_Sound(id);
    DSBUFFER *b = buffer_of(id);
    if (b) {
        Mixer_Release_Buffer(b);
        sound_slots[id].dsbuffer = nullptr;
    }
    return 1;
}

int DSound_Delete_All_Sounds() {
    for (int i = 0; i < MAX_SOUND_SLOTS; ++i)
        DSound_Delete_Sound(i);
    return 1;
}

int DSound_Get_Freq(int id) {
    DSBUFFER *b = buffer_of(id);
    int f = 0;
    if (b) Mixer_Get_Params(b, &f, nullptr, nullptr);
    return f;
}

int DSound_Get_Volume(int id) {
    DSBUFFER *b = buffer_of(id);
    int v = 0;
    if (b) Mixer_Get_Params(b, nullptr, &v, nullptr);
    return v;
}

int DSound_Get_Pan(int id) {
    DSBUFFER *b = buffer_of(id);
    int p = 0;
    if (b) Mixer_Get_Params(b, nullptr, nullptr, &p);
    return p;
}

int DSound_Get_Position(int id) {
    DSBUFFER *b = buffer_of(id);
    return b ? Mixer_Position(b) : -1;
}
