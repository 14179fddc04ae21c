// The run's settings and the file's: applying them where they act, and saving only what the
// player changed (a command-line option acts for the run and never reaches the file), key by key
// into the file as it is on disk, so two games sharing it keep each other's changes.
#include "shell/prefs.h"

#include <cstdio>
#include <vector>

#include "engine/sound/mixer.h"
#include "platform/dik.h"
#include "platform/platform.h"
#include "shell/present.h"
#include "shell/window_fit.h"

namespace {

SETTINGS_TYP run_settings, file_settings;
std::string save_path;
// The keys changed since the last save that went through; the file takes only these.
std::vector<SETTINGS_KEY_TYP> unsaved;
// Why the file is never written this run ("" when it may be), and whether that was said.
std::string read_only;
int read_only_told = 0;
void (*show_failure)(const char *message) = nullptr;
int window_seen = 0, opened_fullscreen = 0, opened_w = 0, opened_h = 0;
int hold_escape = 0;
// The name the desktop shows for the window, whatever the window system calls it inside.
constexpr const char *DESKTOP_TITLE = "farwake";

void apply_keys(const SETTINGS_TYP &s) {
    uint8_t keys[256], pad[PLAT_PAD_BUTTONS];
    Keymap_Tables(s.keys, keys, pad);
    if (hold_escape && s.confirm_quit) {
        keys[DIK_ESCAPE] = 0;
        for (uint8_t &code : pad)
            if (code == DIK_ESCAPE) code = 0;
    }
    Plat_Set_Input_Map(keys, pad);
    Keymap_Show_Card(s.keys);
}

// Smooth motion is read at every game frame; vsync is the backend's to ask for again.
void apply_presentation(const SETTINGS_TYP &s) {
    shell_smooth = s.smooth;
    shell_vsync = s.vsync;
}

void apply_sound(const SETTINGS_TYP &s) {
    Mixer_Set_Master(s.mute ? 0 : s.volume);
}

// Says a failed save on stderr and, through the hook, on the screen.
void tell(const std::string &message) {
    std::fprintf(stderr, "farwake: %s\n", message.c_str());
    if (show_failure) show_failure(message.c_str());
}

// Notes the keys that differ between before and the file's settings now.
void note_changes(const SETTINGS_TYP &before) {
    for (const SETTINGS_KEY_TYP &k : Settings_Changed(before, file_settings)) {
        bool known = false;
        for (const SETTINGS_KEY_TYP &u : unsaved)
            known = known || (u.section == k.section && u.key == k.key);
        if (!known) unsaved.push_back(k);
    }
}

// Puts the unsaved keys into the file; a failure is told and they wait for the next save.
int save() {
    if (save_path.empty()) unsaved.clear(); // --no-settings: nothing is kept, by choice
    if (unsaved.empty()) return 1;
    if (!read_only.empty()) {
        if (!read_only_told) tell(read_only);
        read_only_told = 1;
        return 0;
    }
    std::string why;
    if (!Settings_Save(save_path, file_settings, unsaved, &why)) {
        tell(why);
        return 0;
    }
    unsaved.clear();
    return 1;
}

} // namespace

void Prefs_Start(const SETTINGS_TYP &run, const SETTINGS_TYP &file, const std::string &path) {
    run_settings = run;
    file_settings = file;
    save_path = path;
    unsaved.clear();
    read_only.clear();
    read_only_told = 0;
    window_seen = 0;
    Plat_Set_Display(run.fullscreen, run.integer_scale);
    Plat_Set_Window(DESKTOP_TITLE, run.window_width, run.window_height);
    apply_sound(run);
    apply_keys(run);
    apply_presentation(run);
}

const SETTINGS_TYP &Prefs_Run() {
    return run_settings;
}

const SETTINGS_TYP &Prefs_File() {
    return file_settings;
}

void Prefs_Read_Only(const std::string &problem) {
    read_only = "settings changes are not saved: " + problem;
}

void Prefs_Set_Failure_Hook(void (*hook)(const char *message)) {
    show_failure = hook;
}

int Prefs_Unsaved() {
    return !unsaved.empty();
}

int Prefs_Change(const SETTINGS_TYP &c, int group) {
    SETTINGS_TYP &r = run_settings, &f = file_settings;
    const SETTINGS_TYP before = f;
    switch (group) {
    case PREF_FULLSCREEN: {
        int now = 0;
        Plat_Window_State(&now, nullptr, nullptr);
        if (now != c.fullscreen) Plat_Toggle_Fullscreen();
        Plat_Window_State(&now, nullptr, nullptr);
        r.fullscreen = f.fullscreen = now;
        break;
    }
    case PREF_SCALE:
        r.integer_scale = f.integer_scale = c.integer_scale;
        Plat_Set_Display(r.fullscreen, r.integer_scale);
        break;
    case PREF_SMOOTH:
        r.smooth = f.smooth = c.smooth;
        apply_presentation(r);
        break;
    case PREF_VSYNC:
        r.vsync = f.vsync = c.vsync;
        apply_presentation(r);
        Plat_Set_Vsync(r.vsync);
        break;
    case PREF_VOLUME:
        r.volume = f.volume = c.volume;
        apply_sound(r);
        break;
    case PREF_MUTE:
        r.mute = f.mute = c.mute;
        apply_sound(r);
        break;
    case PREF_KEYS:
        r.keys = f.keys = c.keys;
        apply_keys(r);
        break;
    case PREF_CONFIRM_QUIT:
        r.confirm_quit = f.confirm_quit = c.confirm_quit;
        apply_keys(r);
        break;
    case PREF_WINDOW:
        r.window_width = f.window_width = c.window_width;
        r.window_height = f.window_height = c.window_height;
        break;
    default:
        return 0;
    }
    note_changes(before);
    return save();
}

void Prefs_Window_Opening(int pic_w, int pic_h) {
    const SETTINGS_TYP &r = run_settings;
    int desk_w = 0, desk_h = 0;
    if ((r.window_width > 0 && r.window_height > 0) || !Plat_Desktop_Size(&desk_w, &desk_h)) return;
    int w = 0, h = 0;
    Shell_First_Window_Size(desk_w, desk_h, pic_w, pic_h, r.integer_scale, &w, &h);
    Plat_Set_Window(DESKTOP_TITLE, w, h);
}

void Prefs_Hold_Escape(int on) {
    const int before = Prefs_Escape_Held();
    hold_escape = on != 0;
    // Only a change reaches the platform: a program that never asks keeps its input map as it is.
    if (Prefs_Escape_Held() != before) apply_keys(run_settings);
}

int Prefs_Escape_Held() {
    return hold_escape && run_settings.confirm_quit;
}

void Prefs_Window_Opened() {
    Plat_Window_State(&opened_fullscreen, &opened_w, &opened_h);
    window_seen = 1;
}

void Prefs_Finish() {
    if (!window_seen) return;
    int fullscreen = 0, w = 0, h = 0;
    Plat_Window_State(&fullscreen, &w, &h);
    SETTINGS_TYP before = file_settings;
    // What differs from how the window opened is the player's doing (F11, a resize); what the
    // command line chose is not.
    if (fullscreen != opened_fullscreen) file_settings.fullscreen = fullscreen;
    if (w > 0 && h > 0 && (w != opened_w || h != opened_h)) {
        file_settings.window_width = w;
        file_settings.window_height = h;
    }
    window_seen = 0;
    note_changes(before);
    // Changes a failed save left are tried once more.
    save();
}
