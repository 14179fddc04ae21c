// The settings file: every key read, bad lines named with the rest still applied, refused files
// never written over, the atomic write and its failure message, saves merged into the file on
// disk (two games sharing it), and the command line kept out of the file.
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/dik.h"
#include "platform/headless/headless.h"
#include "shell/prefs.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Parse(const std::string &text, SETTINGS_TYP *s) {
    std::vector<std::string> problems;
    Settings_Parse(text, "f.ini", s, &problems);
    return problems;
}

std::string Read(const fs::path &p) {
    std::ifstream in(p);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct Dir {
    fs::path path;
    Dir() {
        path = fs::temp_directory_path() / ("fw_settings_" + std::to_string(::getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Dir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, ec);
        fs::remove_all(path, ec);
    }
};

TEST(Settings, EveryKeyIsRead) {
    SETTINGS_TYP s;
    auto problems = Parse("# comment\n[display]\nfullscreen = off\nwindow_width = 1600\n"
                          "window_height=700\nscale = integer\nsmooth = off\nvsync = no\n"
                          "[sound]\nvolume = 35\nmute = on\n[keys]\nthrust = W UP\n"
                          "turn_right = d\ndebug = F3\nfire = none\n[controller]\nfire = x\n"
                          "missile = none\n",
                          &s);
    EXPECT_TRUE(problems.empty()) << problems[0];
    EXPECT_EQ(s.fullscreen, 0);
    EXPECT_EQ(s.window_width, 1600);
    EXPECT_EQ(s.window_height, 700);
    EXPECT_EQ(s.integer_scale, 1);
    EXPECT_EQ(s.smooth, 0);
    EXPECT_EQ(s.vsync, 0);
    EXPECT_EQ(s.volume, 35);
    EXPECT_EQ(s.mute, 1);
    EXPECT_EQ(s.keys.keys[KEY_THRUST][0], DIK_W);
    EXPECT_EQ(s.keys.keys[KEY_THRUST][1], DIK_UP);
    // D left the readout (a default) for turning; the readout then took F3.
    EXPECT_EQ(s.keys.keys[KEY_TURN_RIGHT][0], DIK_D);
    EXPECT_EQ(s.keys.keys[KEY_DEBUG][0], DIK_F3);
    EXPECT_EQ(s.keys.keys[KEY_FIRE][0], 0);
    EXPECT_EQ(s.keys.pad[KEY_FIRE], PLAT_PAD_X);
    EXPECT_EQ(s.keys.pad[KEY_MISSILE], -1);
}

TEST(Settings, EachBadLineIsNamedAndTheRestApplies) {
    struct {
        std::string line;
        const char *problem;
    } cases[] = {
        {"volume = 101", "'volume' wants 0-100, not '101'"},
        {"volume = -1", "'volume' wants 0-100, not '-1'"},
        {"volume = 99999999999", "'volume' wants 0-100"},
        {"mute = maybe", "'mute' wants on or off"},
        {"loudness = 3", "unknown key 'loudness' in [sound]"},
        {"volume", "wants 'key = value'"},
        {"= 3", "wants 'key = value'"},
        {std::string(SETTINGS_MAX_LINE + 1, 'x'), "line longer than 1024 bytes"},
        {std::string("volume = 3\0", 12), "not text"},
    };
    for (const auto &c : cases) {
        SETTINGS_TYP s;
        auto problems = Parse("[sound]\nmute = on\n" + c.line + "\nvolume = 20\n", &s);
        ASSERT_EQ(problems.size(), 1u) << c.line;
        EXPECT_EQ(problems[0].rfind("f.ini line 3: ", 0), 0u) << problems[0];
        EXPECT_NE(problems[0].find(c.problem), std::string::npos) << problems[0];
        EXPECT_EQ(s.mute, 1);
        EXPECT_EQ(s.volume, 20);
    }
    SETTINGS_TYP s;
    auto problems = Parse("[keys]\nthrust = W\nfire = W\nmissile = ESCAPE\nreset = NOKEY\n"
                          "jump = J\nrefill = A B C\n[colours]\nsky = blue\nfullscreen = off\n",
                          &s);
    ASSERT_EQ(problems.size(), 6u);
    EXPECT_EQ(problems[0], "f.ini line 3: 'W' is already thrust's");
    EXPECT_NE(problems[1].find("'ESCAPE' cannot be bound"), std::string::npos);
    EXPECT_NE(problems[2].find("unknown key name 'NOKEY'"), std::string::npos);
    EXPECT_NE(problems[3].find("unknown action 'jump'"), std::string::npos);
    EXPECT_NE(problems[4].find("at most two keys"), std::string::npos);
    // One line for the unknown section, none for its lines.
    EXPECT_EQ(problems[5], "f.ini line 8: unknown section [colours]");
    EXPECT_EQ(s.fullscreen, 1);
    // A broken section line: its lines go nowhere.
    problems = Parse("[sound\nvolume = 20\n", &s);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "f.ini line 1: a section line wants a closing ]");
    EXPECT_EQ(s.volume, 100);
    EXPECT_EQ(s.keys.keys[KEY_THRUST][0], DIK_W);
    EXPECT_EQ(s.keys.keys[KEY_FIRE][0], DIK_LCONTROL);
}

// The question before quitting: on by default, read from [game], a bad value named and ignored,
// and kept through a write and a read.
TEST(Settings, ConfirmQuitIsReadAndKept) {
    const struct {
        const char *text;
        int want;
        const char *problem; // null: none
    } cases[] = {
        {"", 1, nullptr},
        {"[game]\nconfirm_quit = off\n", 0, nullptr},
        {"[game]\nconfirm_quit = no\nconfirm_quit = on\n", 1, nullptr},
        {"[game]\nconfirm_quit = sometimes\n", 1,
         "'confirm_quit' wants on or off, not 'sometimes'"},
        {"[game]\nask = off\n", 1, "unknown key 'ask' in [game]"},
        {"[sound]\nconfirm_quit = off\n", 1, "unknown key 'confirm_quit' in [sound]"},
    };
    for (const auto &c : cases) {
        SETTINGS_TYP s;
        auto problems = Parse(c.text, &s);
        EXPECT_EQ(s.confirm_quit, c.want) << c.text;
        ASSERT_EQ(problems.size(), c.problem ? 1u : 0u) << c.text;
        if (c.problem) {
            EXPECT_NE(problems[0].find(c.problem), std::string::npos) << problems[0];
        }
    }
    SETTINGS_TYP off, back;
    off.confirm_quit = 0;
    EXPECT_FALSE(Settings_Equal(off, SETTINGS_TYP{}));
    EXPECT_TRUE(Parse(Settings_Text(off), &back).empty());
    EXPECT_EQ(back.confirm_quit, 0);
}

TEST(Settings, WrittenTextReadsBackTheSame) {
    SETTINGS_TYP s;
    s.fullscreen = 0;
    s.window_width = 1024;
    s.window_height = 700;
    s.volume = 0;
    s.keys = Keymap_Wasd();
    s.keys.keys[KEY_RESET][0] = 0x78; // a key with no name is written by its code
    s.keys.pad[KEY_FIRE] = PLAT_PAD_Y;
    SETTINGS_TYP back;
    EXPECT_TRUE(Parse(Settings_Text(s), &back).empty());
    EXPECT_TRUE(Settings_Equal(s, back));
    // Every key has its comment line just above it.
    std::string text = Settings_Text(s);
    EXPECT_NE(text.find("# master volume in percent, 0-100\nvolume = 0\n"), std::string::npos);
    EXPECT_NE(text.find("thrust = W UP\n"), std::string::npos);
}

TEST(Settings, MissingTooLargeAndUnreadableFiles) {
    Dir d;
    SETTINGS_TYP s;
    std::vector<std::string> problems;
    EXPECT_EQ(Settings_Load((d.path / "none.ini").string(), &s, &problems), 0);
    EXPECT_TRUE(problems.empty());
    fs::path big = d.path / "big.ini";
    {
        std::ofstream out(big);
        out << "[sound]\nvolume = 5\n" << std::string(SETTINGS_MAX_BYTES, '#');
    }
    EXPECT_EQ(Settings_Load(big.string(), &s, &problems), -1);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], big.string() + ": cannot read: larger than 65536 bytes");
    EXPECT_EQ(s.volume, 100);
    problems.clear();
    EXPECT_EQ(Settings_Load(d.path.string(), &s, &problems), -1);
    EXPECT_EQ(problems[0], d.path.string() + ": cannot read: not a regular file");
    // A truncated file: the last line has no newline and is still read.
    fs::path cut = d.path / "cut.ini";
    std::ofstream(cut) << "[sound]\nvolume = 4";
    problems.clear();
    EXPECT_EQ(Settings_Load(cut.string(), &s, &problems), 1);
    EXPECT_EQ(s.volume, 4);
}

TEST(Settings, SaveMakesTheFolderReplacesWholeAndReportsFailure) {
    Dir d;
    fs::path file = d.path / "farwake" / "settings.ini";
    SETTINGS_TYP s;
    s.volume = 70;
    std::string why;
    ASSERT_EQ(Settings_Save(file.string(), s, Settings_Keys(), &why), 1) << why;
    SETTINGS_TYP back;
    std::vector<std::string> problems;
    EXPECT_EQ(Settings_Load(file.string(), &back, &problems), 1);
    EXPECT_EQ(back.volume, 70);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              1);
    // A folder that cannot be written: the old file stays and the reason is given.
    if (::geteuid() != 0) {
        fs::permissions(file.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
        s.volume = 10;
        EXPECT_EQ(Settings_Save(file.string(), s, Settings_Keys(), &why), 0);
        EXPECT_EQ(why, "cannot write " + file.string() + ": Permission denied");
        EXPECT_NE(Read(file).find("volume = 70\n"), std::string::npos);
        fs::permissions(file.parent_path(), fs::perms::owner_all);
    }
    // Under a file rather than a folder.
    fs::path under = file / "sub.ini";
    EXPECT_EQ(Settings_Save(under.string(), s, Settings_Keys(), &why), 0);
    EXPECT_EQ(why, "cannot write " + under.string() + ": Not a directory");
    // A file the save would grow past the limit, which the next start would refuse whole.
    std::ofstream(file, std::ios::trunc) << "#" << std::string(SETTINGS_MAX_BYTES - 2, ' ') << "\n";
    EXPECT_EQ(Settings_Save(file.string(), s, Settings_Keys(), &why), 0);
    EXPECT_EQ(why, "cannot write " + file.string() + ": it would grow over 65536 bytes");
    // A link to a device: it cannot be read as a file, so it is not written either.
    fs::path full = d.path / "full.ini";
    fs::create_symlink("/dev/full", full);
    EXPECT_EQ(Settings_Save(full.string(), s, Settings_Keys(), &why), 0);
    EXPECT_EQ(why, "cannot write " + full.string() +
                       ": it cannot be read (not a regular file), so it is left as it is");
}

TEST(Settings, DefaultPathFollowsXdg) {
    std::string home = getenv("HOME") ? getenv("HOME") : "";
    std::string xdg = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(Settings_Default_Path(), "/cfg/farwake/settings.ini");
    // A relative XDG_CONFIG_HOME is ignored, as the base directory rules say.
    setenv("XDG_CONFIG_HOME", "rel", 1);
    setenv("HOME", "/h", 1);
    EXPECT_EQ(Settings_Default_Path(), "/h/.config/farwake/settings.ini");
    setenv("HOME", home.c_str(), 1);
    if (xdg.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
}

// At the end of a run only what the player changed reaches the file: nothing changed writes
// nothing; F11 and a resized window are kept; the command line's own choice is not.
TEST(Settings, EndOfRunKeepsOnlyThePlayersChanges) {
    Dir d;
    std::string file = (d.path / "settings.ini").string();
    struct {
        const char *what;
        int run_fullscreen, file_fullscreen; // the run's differs when the command line chose
        bool f11;
        int resize_w, resize_h;
        bool written;
        int fullscreen, width, height; // what the file then holds
    } cases[] = {
        {"nothing, under --window", 0, 1, false, 0, 0, false, 0, 0, 0},
        {"F11 to what the file holds", 0, 1, true, 0, 0, false, 0, 0, 0},
        {"F11", 0, 0, true, 0, 0, true, 1, 0, 0},
        {"a resize under --window", 0, 1, false, 1000, 700, true, 1, 1000, 700},
    };
    for (const auto &c : cases) {
        fs::remove(file);
        Headless_Reset(0);
        SETTINGS_TYP saved, run;
        saved.fullscreen = c.file_fullscreen;
        run.fullscreen = c.run_fullscreen;
        Prefs_Start(run, saved, file);
        EXPECT_STREQ(Headless_Desktop_Title(), "farwake");
        Prefs_Window_Opened();
        if (c.f11) Plat_Toggle_Fullscreen();
        if (c.resize_w) Plat_Set_Window("farwake", c.resize_w, c.resize_h);
        Prefs_Finish();
        ASSERT_EQ(fs::exists(file), c.written) << c.what;
        if (!c.written) continue;
        SETTINGS_TYP back;
        std::vector<std::string> problems;
        Settings_Load(file, &back, &problems);
        EXPECT_EQ(back.fullscreen, c.fullscreen) << c.what;
        EXPECT_EQ(back.window_width, c.width) << c.what;
        EXPECT_EQ(back.window_height, c.height) << c.what;
    }
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
}

// Whole files refused (the settings left as the defaults) or read: the size limit to the byte,
// a binary file, and a byte-order mark skipped rather than spoiling the first section.
TEST(Settings, RefusedWholeOrReadPastTheMark) {
    std::string fits = "[sound]\nvolume = 5\n";
    while (fits.size() + 100 < SETTINGS_MAX_BYTES)
        fits += std::string(99, '#') + "\n";
    fits += std::string(SETTINGS_MAX_BYTES - fits.size(), '#');
    struct {
        std::string text;
        int result, volume;
        const char *problem; // the one problem, "" for none
    } cases[] = {
        {fits, 1, 5, ""},
        {fits + "#", -1, 100, "f.ini: cannot read: larger than 65536 bytes"},
        {std::string("[sound]\nvolume = 5\n\x7f\0\x01\x02", 23), -1, 100,
         "f.ini: cannot read: not a text file (it holds a NUL byte)"},
        {std::string(SETTINGS_BOM) + "[sound]\nvolume = 5\n", 1, 5, ""},
        {std::string(SETTINGS_BOM) + SETTINGS_BOM + "[sound]\nvolume = 5\n", 1, 100,
         "f.ini line 1: wants 'key = value'"},
    };
    for (const auto &c : cases) {
        SETTINGS_TYP s;
        std::vector<std::string> problems;
        EXPECT_EQ(Settings_Read(c.text, "f.ini", &s, &problems), c.result) << c.problem;
        EXPECT_EQ(s.volume, c.volume) << c.problem;
        EXPECT_EQ(problems.empty() ? "" : problems[0], c.problem);
    }
}

std::string failure_seen;
int failures_seen = 0;
void See_Failure(const char *message) {
    failure_seen = message;
    failures_seen++;
}

// A file the game could not read is never written over: the changes of the run go nowhere, the
// first says so once (stderr and the hook), and the run ends with changes unsaved.
TEST(Settings, AFileThatCouldNotBeReadIsNeverWrittenOver) {
    Dir d;
    struct {
        const char *what;
        std::string bytes;
        bool unreadable;
    } cases[] = {
        {"oversized", "[sound]\nvolume = 5\n" + std::string(SETTINGS_MAX_BYTES, ';'), false},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), false},
        {"unreadable", "[sound]\nvolume = 5\n", true},
    };
    Prefs_Set_Failure_Hook(See_Failure);
    for (const auto &c : cases) {
        if (c.unreadable && ::geteuid() == 0) continue; // root reads whatever the mode says
        fs::path file = d.path / (std::string(c.what) + ".ini");
        std::ofstream(file, std::ios::binary) << c.bytes;
        if (c.unreadable) fs::permissions(file, fs::perms::owner_write);
        SETTINGS_TYP s;
        std::vector<std::string> problems;
        ASSERT_EQ(Settings_Load(file.string(), &s, &problems), -1) << c.what;
        Headless_Reset(0);
        Prefs_Start(s, s, file.string());
        Prefs_Read_Only(problems.back());
        failures_seen = 0;
        s.volume = 50;
        EXPECT_EQ(Prefs_Change(s, PREF_VOLUME), 0) << c.what;
        s.mute = 1;
        EXPECT_EQ(Prefs_Change(s, PREF_MUTE), 0) << c.what;
        EXPECT_EQ(failures_seen, 1) << c.what;
        EXPECT_EQ(failure_seen, "settings changes are not saved: " + problems.back());
        EXPECT_EQ(Prefs_Unsaved(), 1);
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(Read(file), c.bytes) << c.what;
    }
    Prefs_Set_Failure_Hook(nullptr);
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
}

// A save puts the changed keys into the file as it is on disk: another game's keys and lines
// this version does not know stay where they were, with the player's comments and order.
TEST(Settings, SavesMergeTheChangedKeysIntoTheFileOnDisk) {
    const std::string bom = SETTINGS_BOM;
    struct {
        const char *what;
        std::string disk;
        void (*change)(SETTINGS_TYP *);
        std::string merged;
    } cases[] = {
        {"unknown keys and sections kept",
         "# mine\n[sound]\n# loud\nvolume = 50\nreverb = hall\n[future]\nshiny = yes\n",
         [](SETTINGS_TYP *s) { s->volume = 70; },
         "# mine\n[sound]\n# loud\nvolume = 70\nreverb = hall\n[future]\nshiny = yes\n"},
        {"a missing key joins its section", "[sound]\nvolume = 50\n[future]\nx = 1\n",
         [](SETTINGS_TYP *s) { s->mute = 1; },
         "[sound]\nvolume = 50\n# on: no sound, whatever the volume\nmute = on\n[future]\nx = 1\n"},
        {"a missing section is made", "[sound]\nvolume = 50",
         [](SETTINGS_TYP *s) { s->fullscreen = 0; },
         "[sound]\nvolume = 50\n\n[display]\n# on: fullscreen; off: a window\nfullscreen = off\n"},
        {"BOM and CR LF kept", bom + "[sound]\r\nvolume = 50\r\n",
         [](SETTINGS_TYP *s) { s->volume = 20; }, bom + "[sound]\r\nvolume = 20\r\n"},
        {"every copy set, a bad one too", "[sound]\nvolume = 400\n[sound]\nvolume = 60\n",
         [](SETTINGS_TYP *s) { s->volume = 20; }, "[sound]\nvolume = 20\n[sound]\nvolume = 20\n"},
        {"a broken section is not the key's", "[sound\nvolume = 50\n",
         [](SETTINGS_TYP *s) { s->volume = 20; },
         "[sound\nvolume = 50\n\n[sound]\n# master volume in percent, 0-100\nvolume = 20\n"},
    };
    for (const auto &c : cases) {
        SETTINGS_TYP before, after;
        c.change(&after);
        EXPECT_EQ(Settings_Merge(c.disk, after, Settings_Changed(before, after)), c.merged)
            << c.what;
    }
    // Another game gave W to fire, this one to missile: merged line by line both break, so this
    // game's keys are written whole and read without a problem.
    SETTINGS_TYP before, after;
    Keymap_Bind_Key(&after.keys, KEY_MISSILE, 0, DIK_W);
    std::string merged =
        Settings_Merge("[keys]\nfire = W\n", after, Settings_Changed(before, after));
    SETTINGS_TYP back;
    EXPECT_TRUE(Parse(merged, &back).empty()) << merged;
    EXPECT_TRUE(Settings_Equal(back, after)) << merged;
}

// Two games share one file: each save applies only what that game changed since its last save,
// so neither loses the other's change; a failed save says why and is tried again at the end.
TEST(Settings, TwoGamesKeepEachOthersChangesAndAFailedSaveIsTold) {
    Dir d;
    std::string file = (d.path / "settings.ini").string(), why;
    SETTINGS_TYP start, other;
    Headless_Reset(0);
    Prefs_Start(start, start, file);
    SETTINGS_TYP c = start;
    c.volume = 40;
    ASSERT_EQ(Prefs_Change(c, PREF_VOLUME), 1);
    other.fullscreen = 0;
    other.keys.pad[KEY_FIRE] = PLAT_PAD_Y;
    ASSERT_EQ(Settings_Save(file, other, Settings_Changed(start, other), &why), 1) << why;
    c.mute = 1;
    ASSERT_EQ(Prefs_Change(c, PREF_MUTE), 1);
    SETTINGS_TYP back;
    std::vector<std::string> problems;
    ASSERT_EQ(Settings_Load(file, &back, &problems), 1);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(back.volume, 40);
    EXPECT_EQ(back.mute, 1);
    EXPECT_EQ(back.fullscreen, 0);
    EXPECT_EQ(back.keys.pad[KEY_FIRE], PLAT_PAD_Y);
    // A file where the folder should be: the save fails, is told, and waits for the next one.
    fs::remove(file);
    std::ofstream(d.path / "blocker") << "x";
    Prefs_Start(start, start, (d.path / "blocker" / "settings.ini").string());
    Prefs_Set_Failure_Hook(See_Failure);
    Prefs_Window_Opened();
    c.volume = 30;
    EXPECT_EQ(Prefs_Change(c, PREF_VOLUME), 0);
    EXPECT_EQ(failure_seen,
              "cannot write " + (d.path / "blocker").string() + "/settings.ini: Not a directory");
    EXPECT_EQ(Prefs_Unsaved(), 1);
    fs::remove(d.path / "blocker");
    Prefs_Finish();
    EXPECT_EQ(Prefs_Unsaved(), 0);
    EXPECT_NE(Read(d.path / "blocker" / "settings.ini").find("\nvolume = 30\n"), std::string::npos);
    Prefs_Set_Failure_Hook(nullptr);
}

// The window a run opens: a kept size as it is, none fitted to the desktop the platform reports
// (85 % of it, 4:3, or whole multiples with integer scale), the picture's size where it reports
// none. A fitted size is not the player's: the end of the run saves nothing.
TEST(Settings, TheFirstWindowIsFittedToTheDesktop) {
    Dir d;
    std::string file = (d.path / "settings.ini").string();
    const struct {
        const char *what;
        int kept_w, kept_h, desk_w, desk_h, integer;
        int want_w, want_h;
    } cases[] = {
        {"none kept, 1920x1080", 0, 0, 1920, 1080, 0, 1224, 918},
        {"none kept, integer scale", 0, 0, 2560, 1440, 1, 1600, 1200},
        {"a kept size", 1000, 700, 1920, 1080, 0, 1000, 700},
        {"no desktop known", 0, 0, 0, 0, 0, 800, 600},
    };
    for (const auto &c : cases) {
        fs::remove(file);
        Headless_Reset(0);
        Headless_Set_Desktop(c.desk_w, c.desk_h);
        SETTINGS_TYP s;
        s.window_width = c.kept_w;
        s.window_height = c.kept_h;
        s.integer_scale = c.integer;
        Prefs_Start(s, s, file);
        Prefs_Window_Opening(800, 600);
        int w = 0, h = 0;
        Plat_Window_State(nullptr, &w, &h);
        EXPECT_EQ(w, c.want_w) << c.what;
        EXPECT_EQ(h, c.want_h) << c.what;
        Prefs_Window_Opened();
        Prefs_Finish();
        EXPECT_FALSE(fs::exists(file)) << c.what;
    }
    Headless_Set_Desktop(0, 0);
    Prefs_Start(SETTINGS_TYP{}, SETTINGS_TYP{}, "");
}

} // namespace
