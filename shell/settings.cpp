// The settings file: a forgiving line-by-line INI reader that names each bad line, and a writer
// that puts this game's changes into the file as it is on disk, replaced in one rename so a crash
// never leaves half a file.
#include "shell/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "engine/graphics/output_file.h"
#include "engine/input/dik_names.h"
#include "platform/os/os_file.h"

namespace {

enum { SEC_NONE, SEC_DISPLAY, SEC_SOUND, SEC_KEYS, SEC_CONTROLLER, SEC_GAME, SECTIONS };
constexpr const char *section_names[SECTIONS] = {"",     "display",    "sound",
                                                 "keys", "controller", "game"};
constexpr int WINDOW_MIN_W = 160, WINDOW_MIN_H = 120, WINDOW_MAX = 16384;

std::string trim(const std::string &s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

std::string lower(std::string s) {
    for (char &c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    return s;
}

// A whole number in [lo, hi]; 0 when the text is anything else.
int parse_int(const std::string &v, int lo, int hi, int *out) {
    if (v.empty() || v.size() > 9) return 0;
    for (char c : v)
        if (c < '0' || c > '9') return 0;
    long n = std::strtol(v.c_str(), nullptr, 10);
    if (n < lo || n > hi) return 0;
    *out = (int)n;
    return 1;
}

int parse_switch(const std::string &v, int *out) {
    std::string l = lower(v);
    if (l == "on" || l == "yes" || l == "true" || l == "1") return *out = 1, 1;
    if (l == "off" || l == "no" || l == "false" || l == "0") return *out = 0, 1;
    return 0;
}

// What one line of a section sets; an empty result means it applied, else the problem.
std::string apply_display(SETTINGS_TYP *s, const std::string &key, const std::string &v) {
    int n = 0;
    if (key == "fullscreen" || key == "smooth" || key == "vsync") {
        if (!parse_switch(v, &n)) return "'" + key + "' wants on or off, not '" + v + "'";
        (key == "fullscreen" ? s->fullscreen : key == "smooth" ? s->smooth : s->vsync) = n;
        return "";
    }
    if (key == "window_width" || key == "window_height") {
        int lo = key == "window_width" ? WINDOW_MIN_W : WINDOW_MIN_H;
        if (!(v == "0" || parse_int(v, lo, WINDOW_MAX, &n)))
            return "'" + key + "' wants 0 or " + std::to_string(lo) + "-" +
                   std::to_string(WINDOW_MAX) + ", not '" + v + "'";
        (key == "window_width" ? s->window_width : s->window_height) = n;
        return "";
    }
    if (key == "scale") {
        if (v != "fill" && v != "integer") return "'scale' wants fill or integer, not '" + v + "'";
        s->integer_scale = v == "integer";
        return "";
    }
    return "unknown key '" + key + "' in [display]";
}

std::string apply_sound(SETTINGS_TYP *s, const std::string &key, const std::string &v) {
    if (key == "volume") {
        if (!parse_int(v, 0, 100, &s->volume)) return "'volume' wants 0-100, not '" + v + "'";
        return "";
    }
    if (key == "mute") {
        if (!parse_switch(v, &s->mute)) return "'mute' wants on or off, not '" + v + "'";
        return "";
    }
    return "unknown key '" + key + "' in [sound]";
}

// A [keys] line: one or two key names, or "none". A key that an earlier line of the file gave
// another action is refused; one the defaults gave another action moves.
std::string apply_keys(SETTINGS_TYP *s, const std::string &key, const std::string &v,
                       bool from_file[KEY_ACTIONS]) {
    int action = Keymap_Action_From_Name(key.c_str());
    if (action < 0) return "unknown action '" + key + "' in [keys]";
    int codes[KEY_SLOTS] = {0, 0};
    int count = 0;
    size_t at = 0;
    while (at < v.size()) {
        size_t end = v.find_first_of(" \t", at);
        std::string name = v.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? v.size() : v.find_first_not_of(" \t", end);
        if (at == std::string::npos) at = v.size();
        if (lower(name) == "none" && v == name) break;
        if (count == KEY_SLOTS) return "'" + key + "' takes at most two keys";
        int dik = Dik_From_Name(name.c_str());
        if (dik <= 0) return "unknown key name '" + name + "'";
        if (!Keymap_Key_Bindable(dik)) return "'" + name + "' cannot be bound (it has its own job)";
        int holder = Keymap_Action_Of_Key(s->keys, dik);
        if (holder >= 0 && holder != action && from_file[holder])
            return "'" + name + "' is already " + Keymap_Action_Name(holder) + "'s";
        if (count == 1 && codes[0] == dik) return "'" + name + "' is given twice";
        codes[count++] = dik;
    }
    if (count == 0 && v.empty()) return "'" + key + "' wants key names or none";
    s->keys.keys[action][0] = s->keys.keys[action][1] = 0;
    for (int i = 0; i < count; i++)
        Keymap_Bind_Key(&s->keys, action, i, codes[i]);
    from_file[action] = true;
    return "";
}

std::string apply_controller(SETTINGS_TYP *s, const std::string &key, const std::string &v) {
    int action = Keymap_Action_From_Name(key.c_str());
    if (action < 0) return "unknown action '" + key + "' in [controller]";
    int button = lower(v) == "none" ? -1 : Keymap_Pad_From_Name(lower(v).c_str());
    if (button < 0 && lower(v) != "none")
        return "unknown controller button '" + v + "' (a b x y back guide start leftstick " +
               "rightstick leftshoulder rightshoulder dpup dpdown dpleft dpright, or none)";
    Keymap_Bind_Pad(&s->keys, action, button);
    return "";
}

std::string apply_game(SETTINGS_TYP *s, const std::string &key, const std::string &v) {
    if (key == "confirm_quit") {
        if (!parse_switch(v, &s->confirm_quit))
            return "'confirm_quit' wants on or off, not '" + v + "'";
        return "";
    }
    return "unknown key '" + key + "' in [game]";
}

int read_file(const std::string &path, std::string *text, std::string *why) {
    FILE *f = Os_Fopen(path.c_str(), "rb");
    // No file there, not even a folder for one: a first start.
    if (!f) return errno == ENOENT || errno == ENOTDIR ? 0 : (*why = std::strerror(errno), -1);
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && !S_ISREG(st.st_mode)) {
        std::fclose(f);
        *why = "not a regular file";
        return -1;
    }
    // Reading one byte past the limit tells a file too large from one that fits exactly.
    text->resize(SETTINGS_MAX_BYTES + 1);
    size_t got = std::fread(&(*text)[0], 1, text->size(), f);
    int failed = std::ferror(f);
    std::fclose(f);
    if (failed) return *why = "read error", -1;
    text->resize(got); // up to one byte over the limit, which refusal() then refuses
    return 1;
}

// Why a file's text is refused whole ("" when it is not): too large, or not text at all.
std::string refusal(const std::string &text) {
    if (text.size() > SETTINGS_MAX_BYTES)
        return "larger than " + std::to_string(SETTINGS_MAX_BYTES) + " bytes";
    if (text.find('\0') != std::string::npos) return "not a text file (it holds a NUL byte)";
    return "";
}

// Makes each missing folder on the way to the file's folder.
void make_parents(const std::string &path) {
    for (size_t at = path.find_first_of(OS_PATH_SEPARATORS, 1); at != std::string::npos;
         at = path.find_first_of(OS_PATH_SEPARATORS, at + 1))
        Os_Make_Folder(path.substr(0, at).c_str());
}

} // namespace

bool Settings_Equal(const SETTINGS_TYP &a, const SETTINGS_TYP &b) {
    return a.fullscreen == b.fullscreen && a.window_width == b.window_width &&
           a.window_height == b.window_height && a.integer_scale == b.integer_scale &&
           a.smooth == b.smooth && a.vsync == b.vsync && a.volume == b.volume && a.mute == b.mute &&
           a.confirm_quit == b.confirm_quit && std::memcmp(&a.keys, &b.keys, sizeof a.keys) == 0;
}

int Settings_Line(const std::string &raw, std::string *name, std::string *value) {
    name->clear();
    value->clear();
    std::string line = trim(raw);
    if (raw.size() > SETTINGS_MAX_LINE || line.find('\0') != std::string::npos)
        return SETTINGS_LINE_BAD;
    if (line.empty() || line[0] == '#' || line[0] == ';') return SETTINGS_LINE_SKIP;
    if (line[0] == '[') {
        if (line.back() == ']') *name = trim(line.substr(1, line.size() - 2));
        return SETTINGS_LINE_SECTION;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos || trim(line.substr(0, eq)).empty()) return SETTINGS_LINE_BAD;
    *name = trim(line.substr(0, eq));
    *value = trim(line.substr(eq + 1));
    return SETTINGS_LINE_ENTRY;
}

void Settings_Parse(const std::string &text, const std::string &file, SETTINGS_TYP *s,
                    std::vector<std::string> *problems) {
    int section = SEC_NONE;
    bool from_file[KEY_ACTIONS] = {};
    size_t at = 0;
    for (int number = 1; at < text.size(); number++) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string raw = text.substr(at, end - at);
        at = end + 1;
        std::string problem, key, value;
        int kind = Settings_Line(raw, &key, &value);
        if (kind == SETTINGS_LINE_SKIP) continue;
        if (kind == SETTINGS_LINE_BAD) {
            problem = raw.size() > SETTINGS_MAX_LINE
                          ? "line longer than " + std::to_string(SETTINGS_MAX_LINE) + " bytes"
                      : raw.find('\0') != std::string::npos ? "not text (a NUL byte)"
                                                            : "wants 'key = value'";
        } else if (kind == SETTINGS_LINE_SECTION) {
            section = -1;
            for (int i = 1; i < SECTIONS; i++)
                if (key == section_names[i]) section = i;
            if (section < 0)
                problem = trim(raw).back() != ']' ? "a section line wants a closing ]"
                                                  : "unknown section [" + key + "]";
        } else if (section == SEC_DISPLAY) {
            problem = apply_display(s, key, value);
        } else if (section == SEC_SOUND) {
            problem = apply_sound(s, key, value);
        } else if (section == SEC_KEYS) {
            problem = apply_keys(s, key, value, from_file);
        } else if (section == SEC_CONTROLLER) {
            problem = apply_controller(s, key, value);
        } else if (section == SEC_GAME) {
            problem = apply_game(s, key, value);
        } else if (section == SEC_NONE) {
            problem = "'" + key + "' is outside a section";
        }
        // Lines of an unknown section were reported with its name.
        if (!problem.empty() && problems)
            problems->push_back(file + " line " + std::to_string(number) + ": " + problem);
    }
}

int Settings_Read(const std::string &text, const std::string &file, SETTINGS_TYP *s,
                  std::vector<std::string> *problems) {
    std::string why = refusal(text);
    if (!why.empty()) {
        if (problems) problems->push_back(file + ": cannot read: " + why);
        return -1;
    }
    Settings_Parse(Settings_Without_Bom(text), file, s, problems);
    return 1;
}

std::string Settings_Without_Bom(const std::string &text) {
    return text.compare(0, 3, SETTINGS_BOM) == 0 ? text.substr(3) : text;
}

std::string Settings_Text(const SETTINGS_TYP &s) {
    auto sw = [](int on) { return on ? "on" : "off"; };
    std::string t = "# farwake's settings, written by the game whenever one changes in its menu.\n"
                    "# A line the game cannot read is reported on start and otherwise ignored.\n";
    t += "\n[display]\n# on: fullscreen; off: a window\nfullscreen = ";
    t += sw(s.fullscreen);
    t += "\n# the window's size in pixels when not fullscreen (0: fitted to the desktop)\n";
    t += "window_width = " + std::to_string(s.window_width) + "\n";
    t += "window_height = " + std::to_string(s.window_height) + "\n";
    t += "# fill: the largest 4:3 picture that fits; integer: whole multiples only\nscale = ";
    t += s.integer_scale ? "integer" : "fill";
    t += "\n# on: motion drawn smoothly between the game's frames\nsmooth = ";
    t += sw(s.smooth);
    t += "\n# on: frames shown in step with the screen's refresh\nvsync = ";
    t += sw(s.vsync);
    t += "\n\n[sound]\n# master volume in percent, 0-100\nvolume = " + std::to_string(s.volume);
    t += "\n# on: no sound, whatever the volume\nmute = ";
    t += sw(s.mute);
    t +=
        "\n\n[keys]\n# up to two keys per action, named as key scripts name them (none: unbound)\n";
    for (int a = 0; a < KEY_ACTIONS; a++) {
        t += "# " + std::string(Keymap_Action_Label(a)) + "\n" + Keymap_Action_Name(a) + " =";
        int any = 0;
        for (int k : s.keys.keys[a]) {
            if (!k) continue;
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", k & 0xFF);
            t += std::string(" ") + (Dik_Name(k) ? Dik_Name(k) : hex);
            any = 1;
        }
        t += any ? "\n" : " none\n";
    }
    t += "\n[controller]\n# one button per action: a b x y back guide start leftstick rightstick\n"
         "# leftshoulder rightshoulder dpup dpdown dpleft dpright, or none\n";
    for (int a = 0; a < KEY_ACTIONS; a++) {
        const char *b = Keymap_Pad_Name(s.keys.pad[a]);
        t += "# " + std::string(Keymap_Action_Label(a)) + "\n" + Keymap_Action_Name(a) + " = " +
             (b ? b : "none") + "\n";
    }
    t += "\n[game]\n# on: Escape in a running game asks before it ends the game\nconfirm_quit = ";
    t += sw(s.confirm_quit);
    t += "\n";
    return t;
}

int Settings_Load(const std::string &path, SETTINGS_TYP *s, std::vector<std::string> *problems) {
    std::string text, why;
    int got = read_file(path, &text, &why);
    if (got < 0 && problems) problems->push_back(path + ": cannot read: " + why);
    if (got <= 0) return got;
    return Settings_Read(text, path, s, problems);
}

int Settings_Save(const std::string &path, const SETTINGS_TYP &s,
                  const std::vector<SETTINGS_KEY_TYP> &keys, std::string *why) {
    if (!path.empty()) make_parents(path);
    // The file as it is now, another game's changes and all; a missing one starts as the defaults.
    std::string text, reason;
    int got = path.empty() ? 0 : read_file(path, &text, &reason);
    if (got > 0) reason = refusal(text);
    if (got < 0 || !reason.empty())
        return *why = "cannot write " + path + ": it cannot be read (" + reason +
                      "), so it is left as it is",
               0;
    if (got == 0) text = Settings_Text(SETTINGS_TYP{});
    text = Settings_Merge(text, s, keys);
    // Grown past the limit, the file would be refused whole at the next start.
    if (text.size() > SETTINGS_MAX_BYTES)
        return *why = "cannot write " + path + ": it would grow over " +
                      std::to_string(SETTINGS_MAX_BYTES) + " bytes",
               0;
    return Write_Whole_File(path.c_str(), text.data(), text.size(), why);
}

std::string Settings_Default_Path() {
    std::string folder = Os_User_Folder(OS_FOLDER_ROAMING);
#ifdef _WIN32
    return folder.empty() ? "" : folder + "\\farwake\\settings.ini";
#else
    return folder.empty() ? "" : folder + "/farwake/settings.ini";
#endif
}
