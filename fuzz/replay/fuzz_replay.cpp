// Feeds arbitrary bytes to the recording reader (as a file through Load_Replay, which leaves out
// a cut file's half-written last line) and, when it takes them, asks the recording for the keys
// of its first, checked and last reads; what it takes has its checks in order and ends after them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/input/replay_file.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    REPLAY_TYP replay;
    std::string error;
    std::string path = Fuzz_File(data, size);
    if (path.empty()) return 0;
    if (Load_Replay(path.c_str(), &replay, &error)) {
        for (size_t i = 1; i < replay.checks.size(); i++)
            if (replay.checks[i].read <= replay.checks[i - 1].read) __builtin_trap();
        if (!replay.checks.empty() && replay.checks.back().read >= replay.end_reads)
            __builtin_trap();
        uint8_t state[256];
        Keys_At_Read(replay.script, 0, state);
        for (const REPLAY_CHECK_TYP &c : replay.checks)
            Keys_At_Read(replay.script, c.read, state);
        Keys_At_Read(replay.script, replay.end_reads, state);
    }
    return 0;
}
