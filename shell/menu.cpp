// The pause menu's pages, rows and keys, and its picture: a dark panel with the rows in the
// engine's text, painted over the dimmed frame the pause keeps. Every change applies and saves at
// once.
#include "shell/menu.h"

#include <algorithm>
#include <vector>

#include "platform/dik.h"
#include "platform/platform.h"
#include "shell/menu_runs.h"
#include "shell/prefs.h"

namespace {

enum { PAGE_MAIN, PAGE_KEYS, PAGE_PAD, PAGE_DISPLAY, PAGE_SOUND, PAGE_RUNS };
enum {
    ROW_RESUME,
    ROW_PAGE,
    ROW_QUIT,
    ROW_BACK,
    ROW_KEY,
    ROW_PAD,
    ROW_WASD,
    ROW_DEFAULT_KEYS,
    ROW_DEFAULT_PAD,
    ROW_FULLSCREEN,
    ROW_SCALE,
    ROW_SMOOTH,
    ROW_VSYNC,
    ROW_VOLUME,
    ROW_MUTE,
    ROW_CONFIRM_QUIT,
    ROW_LINE, // a line to read, nothing to do
    ROW_WATCH // a game of the hall: Enter watches it
};

// The value's column, in characters of the menu's text and in pixels on the screen.
constexpr size_t VALUE_COLUMN = 17;
constexpr int VALUE_X = 190;

struct ROW_TYP {
    std::string label;
    int kind;
    int arg;           // the page a ROW_PAGE opens, the action of ROW_KEY and ROW_PAD
    std::string value; // shown in a column of its own
    // The row as one line of text: the label, then the value at column VALUE_COLUMN.
    std::string text() const {
        std::string t = label;
        if (!value.empty()) t.resize(std::max(t.size() + 1, VALUE_COLUMN), ' ');
        return t + value;
    }
};

constexpr const char *page_titles[] = {"Paused",  "Keys",  "Controller",
                                       "Display", "Sound", "Best runs"};
constexpr int VOLUME_STEP = 10;
// The panel and its rows, in the 800 x 600 picture.
constexpr RECT PANEL = {170, 70, 630, 530};
constexpr int TEXT_X = 196;
constexpr int TITLE_Y = 84;
constexpr int ROWS_Y = 120;
constexpr int ROW_H = 22;
constexpr DWORD TITLE_COLOR = 0x0070D0F0;
constexpr DWORD ROW_COLOR = 0x00E0E0E0;
constexpr DWORD CHOSEN_COLOR = 0x0040FFFF;
constexpr DWORD NOTE_COLOR = 0x0090C0FF;
constexpr DWORD HINT_COLOR = 0x00A0A0A0;
// The keys that work the menu, on every page.
constexpr const char *HINT = "Arrows move, Enter takes, Esc goes back";
constexpr int HINT_Y = PANEL.bottom - 28;
constexpr int NOTE_Y = PANEL.bottom - 52;
constexpr DWORD PANEL_COLOR = 0x00301808;

int open_now = 0;
int page = PAGE_MAIN;
int chosen = 0;
// Waiting for a key (ROW_KEY) or a button (ROW_PAD) for this action; -1 when not.
int capture_action = -1, capture_kind = 0;
std::string note;
uint32_t pad_before = 0;

std::string on_off(int on) {
    return on ? "on" : "off";
}

std::vector<ROW_TYP> rows_of(int p) {
    const SETTINGS_TYP &s = Prefs_Run();
    std::vector<ROW_TYP> rows;
    switch (p) {
    case PAGE_MAIN:
        // The pages first, in their own order after Resume (going back chooses the page left).
        rows.push_back({"Resume", ROW_RESUME, 0, ""});
        rows.push_back({"Keys", ROW_PAGE, PAGE_KEYS, ""});
        rows.push_back({"Controller", ROW_PAGE, PAGE_PAD, ""});
        rows.push_back({"Display", ROW_PAGE, PAGE_DISPLAY, ""});
        rows.push_back({"Sound", ROW_PAGE, PAGE_SOUND, ""});
        rows.push_back({"Best runs", ROW_PAGE, PAGE_RUNS, ""});
        rows.push_back({"Ask before quit", ROW_CONFIRM_QUIT, 0, on_off(s.confirm_quit)});
        rows.push_back({"Quit", ROW_QUIT, 0, ""});
        break;
    case PAGE_KEYS:
        for (int a = 0; a < KEY_ACTIONS; a++) {
            std::string keys = Keymap_Key_Label(s.keys.keys[a][0]);
            if (s.keys.keys[a][1]) keys += " " + Keymap_Key_Label(s.keys.keys[a][1]);
            rows.push_back({Keymap_Action_Label(a), ROW_KEY, a, keys});
        }
        rows.push_back({"WASD preset", ROW_WASD, 0, ""});
        rows.push_back({"Default keys", ROW_DEFAULT_KEYS, 0, ""});
        rows.push_back({"Back", ROW_BACK, 0, ""});
        break;
    case PAGE_PAD:
        for (int a = 0; a < KEY_ACTIONS; a++) {
            const char *b = Keymap_Pad_Name(s.keys.pad[a]);
            rows.push_back({Keymap_Action_Label(a), ROW_PAD, a, b ? b : "-"});
        }
        rows.push_back({"Default buttons", ROW_DEFAULT_PAD, 0, ""});
        rows.push_back({"Back", ROW_BACK, 0, ""});
        break;
    case PAGE_DISPLAY: {
        int fullscreen = 0;
        Plat_Window_State(&fullscreen, nullptr, nullptr);
        rows = {{"Fullscreen", ROW_FULLSCREEN, 0, on_off(fullscreen)},
                {"Scale", ROW_SCALE, 0, s.integer_scale ? "integer" : "fill"},
                {"Smooth motion", ROW_SMOOTH, 0, on_off(s.smooth)},
                {"Vsync", ROW_VSYNC, 0, on_off(s.vsync)},
                {"Back", ROW_BACK, 0, ""}};
        break;
    }
    case PAGE_RUNS:
        for (const MENU_RUN_ROW_TYP &r : Menu_Runs_Rows())
            rows.push_back({r.label, r.game ? ROW_WATCH : ROW_LINE, (int)rows.size(), r.value});
        rows.push_back({"Back", ROW_BACK, 0, ""});
        break;
    default:
        rows = {{"Volume", ROW_VOLUME, 0, std::to_string(s.volume)},
                {"Mute", ROW_MUTE, 0, on_off(s.mute)},
                {"Back", ROW_BACK, 0, ""}};
        break;
    }
    return rows;
}

void go_to(int p) {
    page = p;
    chosen = 0;
    // The folder is read once as the page is entered, not at every key and repaint.
    if (p == PAGE_RUNS) Menu_Runs_Refresh();
}

int back() {
    if (page == PAGE_MAIN) {
        Menu_Close();
        return MENU_LEFT;
    }
    int from = page;
    go_to(PAGE_MAIN);
    chosen = from; // the main page lists the pages in their own order, after Resume
    return MENU_STAY;
}

void set_keys(const KEYMAP_TYP &keys) {
    SETTINGS_TYP c = Prefs_Run();
    c.keys = keys;
    Prefs_Change(c, PREF_KEYS);
}

// Left (-1), right (+1) or Enter (0) on a row.
int act(const ROW_TYP &row, int step) {
    SETTINGS_TYP c = Prefs_Run();
    note.clear();
    switch (row.kind) {
    case ROW_RESUME:
        if (step != 0) return MENU_NOTHING;
        Menu_Close();
        return MENU_RESUME;
    case ROW_PAGE:
        if (step == 0) go_to(row.arg);
        break;
    case ROW_QUIT:
        // The pause asks, or ends the run as Escape in a paused game does.
        return step == 0 ? MENU_QUIT : MENU_NOTHING;
    case ROW_BACK:
        if (step == 0) return back();
        break;
    case ROW_WATCH:
        // The game being played ends as Quit ends it (kept in the hall), then the game watched
        // plays in its place.
        return step == 0 && Menu_Runs_Watch(row.arg) ? MENU_WATCH : MENU_NOTHING;
    case ROW_KEY:
    case ROW_PAD:
        if (step == 0) {
            capture_action = row.arg;
            capture_kind = row.kind;
            note = row.kind == ROW_KEY ? "Press a key for " : "Press a button for ";
            note += std::string(Keymap_Action_Label(row.arg)) + " (Esc: cancel)";
        }
        break;
    case ROW_WASD:
        if (step == 0) set_keys(Keymap_Wasd()), note = "WASD keys set";
        break;
    case ROW_DEFAULT_KEYS:
    case ROW_DEFAULT_PAD:
        if (step == 0) {
            KEYMAP_TYP keys = c.keys, d = Keymap_Defaults();
            if (row.kind == ROW_DEFAULT_KEYS)
                std::copy(&d.keys[0][0], &d.keys[0][0] + KEY_ACTIONS * KEY_SLOTS, &keys.keys[0][0]);
            else
                std::copy(d.pad, d.pad + KEY_ACTIONS, keys.pad);
            set_keys(keys);
            note = "Defaults set";
        }
        break;
    case ROW_FULLSCREEN: {
        Plat_Window_State(&c.fullscreen, nullptr, nullptr);
        c.fullscreen = !c.fullscreen;
        Prefs_Change(c, PREF_FULLSCREEN);
        break;
    }
    case ROW_SCALE:
        c.integer_scale = !c.integer_scale;
        Prefs_Change(c, PREF_SCALE);
        break;
    case ROW_SMOOTH:
        c.smooth = !c.smooth;
        Prefs_Change(c, PREF_SMOOTH);
        break;
    case ROW_VSYNC:
        c.vsync = !c.vsync;
        Prefs_Change(c, PREF_VSYNC);
        break;
    case ROW_VOLUME:
        c.volume += (step == 0 ? 1 : step) * VOLUME_STEP;
        if (step == 0 && c.volume > 100) c.volume = 0;
        c.volume = c.volume < 0 ? 0 : c.volume > 100 ? 100 : c.volume;
        Prefs_Change(c, PREF_VOLUME);
        break;
    case ROW_MUTE:
        c.mute = !c.mute;
        Prefs_Change(c, PREF_MUTE);
        break;
    case ROW_CONFIRM_QUIT:
        c.confirm_quit = !c.confirm_quit;
        Prefs_Change(c, PREF_CONFIRM_QUIT);
        break;
    default:
        break;
    }
    return MENU_STAY;
}

// The key or button the player pressed for the action waiting for one.
void capture(int code) {
    SETTINGS_TYP c = Prefs_Run();
    int a = capture_action;
    capture_action = -1;
    int lost = -1;
    if (capture_kind == ROW_KEY) {
        if (!Keymap_Key_Bindable(code)) {
            note = Keymap_Key_Label(code) + " keeps its own job";
            return;
        }
        // The newest key comes first; the action's first key becomes its second.
        if (c.keys.keys[a][0] != code) c.keys.keys[a][1] = c.keys.keys[a][0];
        lost = Keymap_Bind_Key(&c.keys, a, 0, code);
        note = Keymap_Key_Label(code) + " is " + Keymap_Action_Label(a);
    } else {
        lost = Keymap_Bind_Pad(&c.keys, a, code);
        note = std::string(Keymap_Pad_Name(code)) + " is " + Keymap_Action_Label(a);
    }
    if (lost >= 0) note += std::string(", taken from ") + Keymap_Action_Label(lost);
    set_keys(c.keys);
}

} // namespace

int Menu_Is_Open() {
    return open_now;
}

void Menu_Open() {
    open_now = 1;
    capture_action = -1;
    note.clear();
    go_to(PAGE_MAIN);
    pad_before = Plat_Read_Pad();
}

void Menu_Close() {
    open_now = 0;
    capture_action = -1;
}

int Menu_Key(int dik) {
    if (!open_now) return MENU_NOTHING;
    if (capture_action >= 0) {
        if (dik == DIK_ESCAPE) {
            capture_action = -1;
            note = "Cancelled";
        } else if (capture_kind == ROW_KEY && dik > 0) {
            capture(dik);
        } else {
            return MENU_NOTHING;
        }
        return MENU_STAY;
    }
    std::vector<ROW_TYP> rows = rows_of(page);
    int n = (int)rows.size();
    switch (dik) {
    case DIK_UP:
        chosen = (chosen + n - 1) % n;
        break;
    case DIK_DOWN:
        chosen = (chosen + 1) % n;
        break;
    case DIK_LEFT:
    case DIK_RIGHT:
        if (rows[chosen].kind < ROW_FULLSCREEN) return MENU_NOTHING;
        return act(rows[chosen], dik == DIK_LEFT ? -1 : 1);
    case DIK_RETURN:
    case DIK_NUMPADENTER:
    case DIK_SPACE:
        return act(rows[chosen], 0);
    case DIK_DELETE:
        if (rows[chosen].kind == ROW_KEY || rows[chosen].kind == ROW_PAD) {
            SETTINGS_TYP c = Prefs_Run();
            int a = rows[chosen].arg;
            if (rows[chosen].kind == ROW_KEY)
                c.keys.keys[a][0] = c.keys.keys[a][1] = 0;
            else
                c.keys.pad[a] = -1;
            set_keys(c.keys);
            note = std::string(Keymap_Action_Label(a)) + " unbound";
        }
        break;
    case DIK_ESCAPE:
    case DIK_BACK:
    case DIK_F1:
        return back();
    default:
        return MENU_NOTHING;
    }
    return MENU_STAY;
}

int Menu_Pad(uint32_t held) {
    uint32_t pressed = held & ~pad_before;
    pad_before = held;
    int outcome = MENU_NOTHING;
    for (int b = 0; b < PLAT_PAD_BUTTONS; b++) {
        if (!(pressed >> b & 1u)) continue;
        if (!open_now) {
            if (b == PLAT_PAD_START) Menu_Open(), outcome = MENU_OPENED;
            continue;
        }
        if (capture_action >= 0) {
            if (capture_kind == ROW_PAD) capture(b), outcome = MENU_STAY;
            continue;
        }
        const int keys[PLAT_PAD_BUTTONS] = {DIK_RETURN, DIK_ESCAPE, 0,        0,        DIK_ESCAPE,
                                            0,          0,          0,        0,        0,
                                            0,          DIK_UP,     DIK_DOWN, DIK_LEFT, DIK_RIGHT};
        int got = keys[b] ? Menu_Key(keys[b]) : MENU_NOTHING;
        if (got != MENU_NOTHING) outcome = got;
        // A close or a quit is the pause's to act on before any other button.
        if (!open_now || got == MENU_QUIT) return outcome;
    }
    return outcome;
}

std::string Menu_Text() {
    std::string text = std::string(page_titles[page]) + "\n";
    std::vector<ROW_TYP> rows = rows_of(page);
    for (int i = 0; i < (int)rows.size(); i++)
        text += (i == chosen ? "> " : "  ") + rows[i].text() + "\n";
    if (!note.empty()) text += note + "\n";
    return text + HINT + "\n";
}

void Menu_Paint(LPDIRECTDRAWSURFACE4 surface) {
    if (!open_now || !surface || surface->bpp != 16) return;
    RECT panel = PANEL;
    DDraw_Fill_Surface(surface, DDraw_Color_To_Pixel(PANEL_COLOR, dd_present_format), &panel);
    Draw_Text_GDI(page_titles[page], TEXT_X, TITLE_Y, TITLE_COLOR, surface);
    std::vector<ROW_TYP> rows = rows_of(page);
    for (int i = 0; i < (int)rows.size(); i++) {
        DWORD colour = i == chosen ? CHOSEN_COLOR : ROW_COLOR;
        int y = ROWS_Y + i * ROW_H;
        Draw_Text_GDI(((i == chosen ? "> " : "  ") + rows[i].label).c_str(), TEXT_X, y, colour,
                      surface);
        if (!rows[i].value.empty())
            Draw_Text_GDI(rows[i].value.c_str(), TEXT_X + VALUE_X, y, colour, surface);
    }
    if (!note.empty()) Draw_Text_GDI(note.c_str(), TEXT_X, NOTE_Y, NOTE_COLOR, surface);
    Draw_Text_GDI(HINT, TEXT_X, HINT_Y, HINT_COLOR, surface);
}
