// Feeds arbitrary bytes to the settings reader; whatever it takes must stay in range, and the
// text written back from it must read again to the same settings without a problem.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    SETTINGS_TYP s;
    std::vector<std::string> problems;
    Settings_Parse(std::string((const char *)data, size), "fuzz.ini", &s, &problems);
    if (s.volume < 0 || s.volume > 100) std::abort();
    for (int a = 0; a < KEY_ACTIONS; a++) {
        if (s.keys.pad[a] < -1 || s.keys.pad[a] >= PLAT_PAD_BUTTONS) std::abort();
        for (int k : s.keys.keys[a])
            if (k && (!Keymap_Key_Bindable(k) || Keymap_Action_Of_Key(s.keys, k) != a))
                std::abort();
    }
    SETTINGS_TYP again;
    std::vector<std::string> more;
    Settings_Parse(Settings_Text(s), "fuzz.ini", &again, &more);
    if (!more.empty() || !Settings_Equal(s, again)) std::abort();
    return 0;
}
