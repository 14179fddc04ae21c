// The page's entry: takes the page's query (seed, key script, frame limit, state lines, a read
// whose picture to keep, a recording to make or to replay), runs the game through WinMain, and
// after the credits starts anew on Enter.
#include <emscripten.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/dik.h"
#include "game/game.h"
#include "platform/web/web.h"
#include "shell/keymap.h"
#include "shell/winmain.h"
#include "engine/input/key_script.h"
#include "engine/input/replay_file.h"
#include "shell/record.h"
#include "shell/state_log.h"

// The bodies of these are JavaScript, which clang-format would take for C++.
// clang-format off
// Hands one state line to the page, which keeps them for whoever asked for them.
EM_JS(void, web_state_line, (const char *line), { Module["stateLines"].push(UTF8ToString(line)); });
// Keeps the canvas's picture as it is now, for a test to compare with another backend's frame.
EM_JS(void, web_keep_picture, (), {
    var c = Module["canvas"];
    Module["picture"] = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
});
// Tells the page that a run has ended, with its exit code; replayed: whether it played a
// recording (its verdict is in what the run printed), record: the recording it wrote or null.
EM_JS(void, web_run_ended, (int code, int replayed, const char *record), {
    if (Module["onRunEnded"]) Module["onRunEnded"](code, replayed, record ? UTF8ToString(record) : null);
});
// Tells the page that a session's first game frame has run: a game is in play until it ends.
EM_JS(void, web_game_played, (), {
    if (Module["onGamePlayed"]) Module["onGamePlayed"]();
});
// Hands the page the title's key card, one line per row, for its start overlay.
EM_JS(void, web_key_card, (const char *text), {
    if (Module["showKeyCard"]) Module["showKeyCard"](UTF8ToString(text));
});
// clang-format on

namespace {

struct RUN_TYP {
    KEY_SCRIPT_TYP script;
    int scripted = 0;
    int state = 0;
    int frames = 0;      // Game_Main calls so far
    long long shot = -1; // keyboard read whose picture is kept
    GAME_LOG_OPTIONS_TYP logs;
    int logs_open = 0;
    int played = 0;             // a game frame has run in this session
    const char *runs = nullptr; // the runs folder, where every session is kept
    int game = 0;               // the game of a replayed session to watch (0: all of it)
};
RUN_TYP run;

void Key_Source(int read_index, uint8_t state[256], void *) {
    Keys_At_Read(run.script, read_index, state);
}

// The first picture shown after the read: in a game with smooth motion, one drawn in between.
void Frame_Hook(const uint16_t *, int, int, int, int, void *) {
    if (Web_Keyboard_Reads() - 1 == run.shot) web_keep_picture();
}

void State_Hook() {
    if (run.logs_open) Game_Logs_Frame();
    if (!run.played) {
        run.played = 1;
        web_game_played();
    }
    // The frame's own picture, not the last one shown: with smooth motion that is one drawn
    // in between.
    if (run.state)
        web_state_line(
            Format_State_Line(Web_Keyboard_Reads() - 1, run.frames, Presented_Frame_Crc()).c_str());
    run.frames++;
}

// Parses a non-negative decimal number no larger than max; 1 on success.
int Parse_Count(const char *s, long long max, long long *out) {
    char *end = nullptr;
    errno = 0;
    long long v = strtoll(s, &end, 10);
    if (end == s || *end != '\0' || errno || v < 0 || v > max) return 0;
    *out = v;
    return 1;
}

// The title and the page's start overlay show one card: the default bindings' (the page keeps
// no settings).
void Show_Key_Card() {
    KEYMAP_TYP keys = Keymap_Defaults();
    Keymap_Show_Card(keys);
    std::string lines[KEY_CARD_LINES], text;
    Keymap_Card_Lines(keys, lines);
    for (int i = 0; i < KEY_CARD_LINES; i++)
        text += (i ? "\n" : "") + lines[i];
    web_key_card(text.c_str());
}

// A failed start is shown on the page and left there: there is nothing more to run.
int Fail(const std::string &why) {
    fprintf(stderr, "farwake: %s\n", why.c_str());
    Web_Show_Message(why.c_str());
    return 1;
}

// A file of its own for a session in the runs folder: the date and time it started, and a
// random tag so that two tabs starting in the same second keep two files.
std::string New_Session_Path(const char *dir) {
    time_t now = time(nullptr);
    struct tm t;
    localtime_r(&now, &t);
    char name[64];
    snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d-%04x.rec", t.tm_year + 1900,
             t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
             (unsigned)(emscripten_random() * 65536) & 0xffff);
    return std::string(dir) + "/" + name;
}

} // namespace

// The largest key script or recording the page hands to the game, so that its downloads stop
// there rather than after the whole file.
extern "C" EMSCRIPTEN_KEEPALIVE double web_script_limit() {
    return (double)KEY_SCRIPT_MAX_BYTES;
}

int main(int argc, char **argv) {
    Show_Key_Card();
    long long seed = -1, frames = -1;
    const char *keys = nullptr;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--state") {
            run.state = 1;
            continue;
        }
        if (a == "--unpaced") {
            Web_Set_Unpaced(1);
            continue;
        }
        int taken = Game_Log_Option(argc, argv, &i, &run.logs);
        if (taken < 0) return Fail("option " + a + " needs a value");
        if (taken) continue;
        if (i + 1 >= argc) return Fail("option " + a + " needs a value");
        const char *v = argv[++i];
        if (a == "--seed") {
            if (!Parse_Count(v, 0xFFFFFFFFLL, &seed)) return Fail("bad seed: " + std::string(v));
        } else if (a == "--keys") {
            keys = v;
        } else if (a == "--shot") {
            if (!Parse_Count(v, 2000000000LL, &run.shot))
                return Fail("bad read: " + std::string(v));
        } else if (a == "--runs") {
            run.runs = v;
        } else if (a == "--game") {
            long long k = 0;
            if (!Parse_Count(v, 100000, &k)) return Fail("bad game number: " + std::string(v));
            run.game = (int)k;
        } else if (a == "--frames") {
            if (!Parse_Count(v, 2000000000LL, &frames))
                return Fail("bad frame count: " + std::string(v));
        } else {
            return Fail("unknown option " + a);
        }
    }
    if (keys) {
        std::string error;
        if (!Load_Key_Script(keys, &run.script, &error)) return Fail("key script: " + error);
    }
    run.script.escape_from = (int)frames;
    run.scripted = keys != nullptr || frames >= 0;
    if (seed >= 0) Web_Set_Clock((uint32_t)seed);
    if (run.scripted) Web_Set_Key_Source(Key_Source, nullptr);
    Web_Set_Frame_Hook(Frame_Hook, nullptr);
    game_frame_hook = State_Hook;

    for (;;) {
        // A recording is made of every run; a replay plays in the first run only.
        int replayed = run.logs.replay != nullptr;
        std::string session;
        if (run.runs && !replayed) {
            session = New_Session_Path(run.runs);
            run.logs.record = session.c_str();
        }
        run.played = 0;
        if (run.logs.record || replayed) {
            std::string error;
            // The recording's keys are taken at each read, so a live Escape still stops it.
            if (!Game_Logs_Open(run.logs, "farwake", "farwake", 1, &error))
                return Fail("recording: " + error);
            run.logs_open = 1;
            if (const REPLAY_TYP *replay = Game_Logs_Replay()) Web_Set_Clock(replay->seed);
            game_frame_hook = State_Hook;
        }
        HINSTANCE__ instance{1};
        int code = WinMain(&instance, nullptr, nullptr, 0);
        if (code != 0 && Shell_Error()[0]) fprintf(stderr, "farwake: %s\n", Shell_Error());
        if (run.logs_open && Game_Logs_Close() && code == 0) code = 1;
        run.logs_open = 0;
        game_frame_hook = State_Hook;
        web_run_ended(code, replayed, run.runs ? nullptr : run.logs.record);
        run.logs.replay = nullptr;
        // A page cannot exit: the next run waits for Enter on the page's own keyboard.
        Web_Set_Key_Source(nullptr, nullptr);
        Web_Set_Unpaced(0);
        Web_Show_Message("The game has ended. Press Enter to play again.");
        Web_Wait_For_Key(DIK_RETURN);
        Web_Show_Message(nullptr);
    }
}
