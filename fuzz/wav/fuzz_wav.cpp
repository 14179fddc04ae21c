// libFuzzer target for the sound file readers: every input goes through the WAV reader and the
// MIDI file check, which must answer without reading outside the input.
#include "engine/sound/midifile.h"
#include "engine/sound/wavfile.h"
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    WAV_SOUND w;
    if (Parse_WAV(data, size, &w)) {
        // Whatever was accepted is 8-bit mono that fits in the file it came from.
        if (w.samples.size() > size || w.channels < 1 || w.format_tag != WAVE_FORMAT_PCM)
            __builtin_trap();
    }
    Validate_MIDI(data, size);
    return 0;
}
