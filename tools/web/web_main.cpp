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
#include "shell/options.h"
#include "shell/winmain.h"
#include "engine/input/key_script.h"
#include "engine/input/replay_file.h"
#include "shell/record.h"
#include "shell/runs.h"
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
// Tells the page whether the picture is the game being watched (1) or the part of the session
// before it, run through unseen (0).
EM_JS(void, web_watching, (int shown), {
    if (Module["onWatching"]) Module["onWatching"](shown);
});
// Hands the page the title's key card, one line per row, for its start overlay.
EM_JS(void, web_key_card, (const char *text), {
    if (Module["showKeyCard"]) Module["showKeyCard"](UTF8ToString(text));
});
// Shows why the game cannot run in the start overlay's place.
EM_JS(void, web_failed, (const char *text), {
    if (Module["onFailure"]) Module["onFailure"](UTF8ToString(text));
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
    int watch_from = -1;        // the session's game frames before it, until they have run
};
RUN_TYP run;

void Key_Source(int read_index, uint8_t state[256], void *) {
    Keys_At_Read(run.script, read_index, state);
}

// Once the watched game's first frame comes, the session plays at the normal pace, seen.
void Watch_Check() {
    if (run.watch_from < 0 || run.frames < run.watch_from) return;
    run.watch_from = -1;
    Web_Set_Unpaced(0);
    web_watching(1);
}

// The first picture shown after the read: in a game with smooth motion, one drawn in between.
void Frame_Hook(const uint16_t *, int, int, int, int, void *) {
    if (Web_Keyboard_Reads() - 1 == run.shot) web_keep_picture();
    Watch_Check();
}

void State_Hook() {
    if (run.logs_open) Game_Logs_Frame();
    Watch_Check();
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
    web_failed(why.c_str());
    return 1;
}

// Watching game K of a replayed session: the part before it runs unpaced and unseen; 1, or 0
// when the session holds no such game (said on the page).
int Watch_From(const REPLAY_TYP &replay) {
    if ((size_t)run.game > replay.games.size()) {
        Fail("the recording holds " + std::to_string(replay.games.size()) + " games, not game " +
             std::to_string(run.game));
        return 0;
    }
    run.watch_from = replay.games[(size_t)run.game - 1].start_frame;
    Web_Set_Unpaced(1);
    web_watching(0);
    return 1;
}

} // namespace

// The hall of the runs folder dir as the page lists it: a JSON array of the best ten games, then
// the best ten practice games, each with the columns of the desktop's table (rank, score,
// outcome, length, date), its session file's name and its number there.
extern "C" EMSCRIPTEN_KEEPALIVE const char *web_runs_list(const char *dir) {
    static std::string json;
    HALL_TYP hall;
    Runs_Read(dir, &hall);
    json = "[";
    for (int practice = 0; practice < 2; practice++) {
        std::vector<HALL_ENTRY_TYP> ranked = Runs_Ranked(hall, practice);
        for (size_t i = 0; i < ranked.size() && i < (size_t)RUNS_HALL_ROWS; i++) {
            const RUN_GAME_TYP &g = ranked[i].game;
            std::string file = ranked[i].file.substr(ranked[i].file.find_last_of('/') + 1);
            json += json.size() > 1 ? ",{\"file\":" : "{\"file\":";
            json += Json_Quote(file);
            json += ",\"rank\":" + std::to_string(i + 1);
            json += ",\"outcome\":" + Json_Quote(Run_Outcome_Name(g.outcome));
            json += ",\"length\":" + Json_Quote(Runs_Length(g.frames));
            json += ",\"date\":" + Json_Quote(Runs_Date(g));
            json += ",\"game\":" + std::to_string(g.number) +
                    ",\"score\":" + std::to_string(g.score) +
                    ",\"frames\":" + std::to_string(g.frames) +
                    ",\"practice\":" + (g.practice ? "true" : "false") + "}";
        }
    }
    json += "]";
    return json.c_str();
}

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
            // The desktop's own code names, reads and bounds the folder; the title shows the
            // best score.
            HALL_TYP hall;
            session = Runs_Start_Session("farwake", run.runs, &hall);
            if (!session.empty()) run.logs.record = session.c_str();
            Keymap_Show_Best(Runs_Best_Score(hall));
        }
        run.played = 0;
        if (run.logs.record || replayed) {
            std::string error;
            // The recording's keys are taken at each read, so a live Escape still stops it.
            if (!Game_Logs_Open(run.logs, "farwake", "farwake", 1, &error))
                return Fail("recording: " + error);
            run.logs_open = 1;
            if (const REPLAY_TYP *replay = Game_Logs_Replay()) {
                Web_Set_Clock(replay->seed);
                if (run.game && !Watch_From(*replay)) return 1;
            }
            game_frame_hook = State_Hook;
        }
        // A live game asks before Escape ends it, as on the desktop; a replay or a key script
        // takes Escape as it always did.
        shell_asks_to_quit = !replayed && !run.scripted;
        HINSTANCE__ instance{1};
        int code = WinMain(&instance, nullptr, nullptr, 0);
        // A game that could not start (a data file it cannot read) would fail again.
        if (code != 0 && Shell_Error()[0]) {
            if (run.logs_open) Game_Logs_Close();
            return Fail(Shell_Error());
        }
        int games = (int)Game_Logs_Games().size();
        if (run.logs_open && Game_Logs_Close() && code == 0) code = 1;
        // A session that reached no game leaves no file, as on the desktop.
        if (!session.empty()) Runs_End_Session(session, games);
        run.logs_open = 0;
        game_frame_hook = State_Hook;
        web_run_ended(code, replayed, run.runs ? nullptr : run.logs.record);
        run.logs.replay = nullptr;
        // A page cannot exit: the next run waits for Enter on the page's own keyboard.
        Web_Set_Key_Source(nullptr, nullptr);
        run.scripted = 0;
        Web_Set_Unpaced(0);
        Web_Show_Message("The game has ended. Press Enter to play again.");
        Web_Wait_For_Key(DIK_RETURN);
        Web_Show_Message(nullptr);
    }
}
