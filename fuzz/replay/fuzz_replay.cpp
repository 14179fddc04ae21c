// Feeds arbitrary bytes to the recording reader and, when it takes them, asks the recording for
// the keys of its first, checked and last reads.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/input/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    KEY_SCRIPT_TYP script;
    REPLAY_TYP replay;
    std::string error;
    if (!Parse_Key_Script(std::string((const char *)data, size), &script, &error)) return 0;
    if (Parse_Replay(script, &replay, &error)) {
        uint8_t state[256];
        Keys_At_Read(replay.script, 0, state);
        for (const REPLAY_CHECK_TYP &c : replay.checks)
            Keys_At_Read(replay.script, c.read, state);
        Keys_At_Read(replay.script, replay.end_reads, state);
    }
    return 0;
}
