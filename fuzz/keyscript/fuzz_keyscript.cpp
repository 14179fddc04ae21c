// Feeds arbitrary bytes to the replay key-script reader and asks it for the keys of a few reads.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/input/key_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    KEY_SCRIPT_TYP script;
    std::string error;
    if (Parse_Key_Script(std::string((const char *)data, size), &script, &error)) {
        uint8_t state[256];
        for (int read : {0, 1, 7, 1000, 2000000000})
            Keys_At_Read(script, read, state);
    }
    return 0;
}
