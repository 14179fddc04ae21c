// Feeds arbitrary bytes to the replay key-script reader, as text and as a file (Load_Key_Script,
// which must agree), and asks it for the keys of a few reads.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/input/key_script.h"
#include "fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    KEY_SCRIPT_TYP script, from_file;
    std::string error, file_error;
    int parsed = Parse_Key_Script(std::string((const char *)data, size), &script, &error);
    std::string path = Fuzz_File(data, size);
    if (!path.empty() && (Load_Key_Script(path.c_str(), &from_file, &file_error) != parsed ||
                          from_file.spans.size() != script.spans.size() || file_error != error))
        __builtin_trap();
    if (parsed) {
        uint8_t state[256];
        for (int read : {0, 1, 7, 1000, 2000000000})
            Keys_At_Read(script, read, state);
    }
    return 0;
}
