// Feeds arbitrary bytes to the settings reader; whatever it takes must stay in range, the text
// written back from it must read again to the same settings without a problem, and a save merged
// into the bytes as a file on disk must read back with the keys it set (and the others as before).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/dik.h"
#include "shell/settings.h"

namespace {

// Settings unlike the defaults in every section, as a game that changed them all would save.
SETTINGS_TYP Changed() {
    SETTINGS_TYP s;
    s.fullscreen = 0;
    s.window_width = 1000;
    s.window_height = 700;
    s.volume = 35;
    s.mute = 1;
    s.keys = Keymap_Wasd();
    s.keys.pad[KEY_FIRE] = PLAT_PAD_Y;
    return s;
}

// A merged text as the reader takes it, whatever its size (the save refuses one grown too large).
void Read_Merged(const std::string &text, SETTINGS_TYP *s) {
    Settings_Parse(Settings_Without_Bom(text), "fuzz.ini", s, nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text((const char *)data, size);
    SETTINGS_TYP s;
    std::vector<std::string> problems;
    int read = Settings_Read(text, "fuzz.ini", &s, &problems);
    if (read < 0 && (problems.size() != 1 || !Settings_Equal(s, SETTINGS_TYP{}))) std::abort();
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
    if (read < 0) return 0;
    // Every key merged in: the file then reads as those settings, whatever else it holds.
    const SETTINGS_TYP want = Changed();
    SETTINGS_TYP merged;
    Read_Merged(Settings_Merge(text, want, Settings_Keys()), &merged);
    if (!Settings_Equal(merged, want)) std::abort();
    // One key merged in: it reads as set, and the file's other display and sound keys as before.
    SETTINGS_TYP one = s;
    one.volume = s.volume == 35 ? 36 : 35;
    merged = SETTINGS_TYP{};
    Read_Merged(Settings_Merge(text, one, {{"sound", "volume"}}), &merged);
    if (merged.volume != one.volume ||
        !(merged.fullscreen == s.fullscreen && merged.window_width == s.window_width &&
          merged.window_height == s.window_height && merged.integer_scale == s.integer_scale &&
          merged.smooth == s.smooth && merged.vsync == s.vsync && merged.mute == s.mute))
        std::abort();
    // One action's key moved: it reads as moved even where another line of the file held that
    // key (the keys are then written whole).
    one = s;
    Keymap_Bind_Key(&one.keys, KEY_MISSILE, 0, DIK_W);
    merged = SETTINGS_TYP{};
    Read_Merged(Settings_Merge(text, one, Settings_Changed(s, one)), &merged);
    if (Keymap_Action_Of_Key(merged.keys, DIK_W) != KEY_MISSILE) std::abort();
    return 0;
}
