// farwake-headless: the real game (title, frames, credits, shut-down) on the headless platform,
// as fast as the CPU allows, driven by a key script, writing per-frame state, pictures and sound.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <filesystem>
#include <string>

#include "engine/graphics/datafile.h"
#include "platform/os/os_file.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "shell/keymap.h"
#include "shell/options.h"
#include "shell/present.h"
#include "shell/record.h"
#include "shell/runs.h"
#include "shell/state_log.h"
#include "shell/winmain.h"
#include "engine/input/replay_file.h"
#include "tools/headless/runner.h"
#include "tools/headless/wav_stream.h"

namespace {

constexpr long long kDefaultFrames = 100000;
// Exit status of a run that could not load every data file (unless --allow-missing-data).
constexpr int EXIT_MISSING_DATA = 3;

struct RUN_TYP {
    KEY_SCRIPT_TYP script;
    std::map<int, std::string> shots; // keyboard read -> PNG path
    int replaying = 0;
    WAV_STREAM_TYP audio;
    std::string audio_path;
    int failed = 0;
    FILE *presents = nullptr; // one JSON line per picture the simulated display shows
};
RUN_TYP run;

void Present_Hook(const SHELL_PRESENTED_TYP &p) {
    if (!run.presents) return;
    fprintf(run.presents,
            "{\"t\": %.3f, \"frame\": %d, \"alpha\": %.6f, \"camera\": [%.3f, %.3f], "
            "\"crc\": %u}\n",
            p.t, p.frame, p.alpha, (double)p.view_x, (double)p.view_y,
            (unsigned)Frame_Crc(p.pixels, p.width, p.height, p.pitch_bytes));
}

// Reads "on" or "off" into *out; 1 on success.
int Parse_Switch(const char *v, int *out) {
    if (strcmp(v, "on") != 0 && strcmp(v, "off") != 0) return 0;
    *out = strcmp(v, "on") == 0;
    return 1;
}

void Key_Source(int read_index, uint8_t state[256], void *) {
    if (run.replaying)
        Game_Logs_Replay_Keys(read_index, state);
    else
        Keys_At_Read(run.script, read_index, state);
}

uint32_t Audio_Rate() {
    return Headless_Audio_Rate() > 0 ? (uint32_t)Headless_Audio_Rate() : 44100;
}

// The first output that cannot be written ends the run at once: nothing more is worth computing
// for a file that is lost. What was written before stays as it is (a cut recording replays up
// to its last check, the WAV file's header counts the samples written).
[[noreturn]] void Stop_Now(const char *message) {
    fprintf(stderr, "farwake-headless: %s\n", message);
    Game_Logs_Abandon();
    if (run.audio.file) Wav_Stream_Close(&run.audio, Audio_Rate());
    fflush(stdout);
    exit(1);
}

void Frame_Hook(const uint16_t *px, int w, int h, int pitch_bytes, int packing, void *) {
    auto shot = run.shots.find(Headless_Keyboard_Reads() - 1);
    if (shot != run.shots.end()) {
        std::string error;
        if (!Write_Png(shot->second.c_str(), Frame_To_Rgb(px, w, h, pitch_bytes, packing), w, h,
                       &error))
            Stop_Now(error.c_str());
        run.shots.erase(shot);
    }
}

void Audio_Sink(const int16_t *samples, int frames, void *) {
    if (!Wav_Stream_Write(&run.audio, samples, (size_t)frames * 2))
        Stop_Now((std::string("cannot write ") + run.audio_path + ": " + strerror(run.audio.error))
                     .c_str());
}

int Usage() {
    fprintf(
        stderr,
        "usage: farwake-headless [--data DIR] [--seed N] [--keys FILE] [--frames N]\n"
        "                        [--state FILE] [--shot N:FILE.png]... [--audio FILE.wav]\n"
        "                        [--record FILE] [--replay FILE] [--entities FILE]\n"
        "                        [--refresh HZ [--presents FILE]] [--smooth on|off]\n"
        "                        [--allow-missing-data] [--runs DIR]\n"
        "       farwake-headless --scores --runs DIR\n"
        "       farwake-headless --verify FILE [--game K] [--data DIR]\n"
        "  --data DIR      run in DIR (where the pictures and sounds are)\n"
        "  --seed N        start the virtual clock, and so the random generator, at N (1000)\n"
        "  --keys FILE     lines 'FIRST[-LAST] KEY...' hold keys for keyboard reads FIRST..LAST\n"
        "                  (reads count from 0 over title, game and credits; '#' comments)\n"
        "  --frames N      press Escape on reads N, N+2, N+4, ... so the run ends (default "
        "100000)\n"
        "  --shot N:FILE   the picture shown by the frame of read N, as PNG\n"
        "  --audio FILE    the whole sound mix as a WAV file\n"
        "  --refresh HZ    simulate a display refreshing HZ times a second (1-1000)\n"
        "  --presents FILE one JSON line per picture that display shows\n"
        "  --smooth on|off pictures drawn in between game frames at each refresh (on)\n"
        "%s"
        "  --allow-missing-data  exit 0, not 3, when a data file could not be read\n"
        "  --runs DIR      keep the run in DIR as the game keeps its runs (bounded)\n"
        "  --scores        print the best ten games kept in the --runs folder and exit\n"
        "  --verify FILE   replay FILE and print one JSON line per game (--game K: that one)\n"
        "  (--replay takes the seed and the keys from the recording, as fast as it can;\n"
        "   --replay FILE --game K plays up to game K's end, the games before it unseen)\n"
        "exit status: 0 done, 1 a file could not be read or written or the replay differs,\n"
        "2 bad options (--verify: 1 also when a game does not verify), 3 a data file could not be "
        "read, 128+S stopped by signal S\n",
        Game_Log_Usage());
    return 2;
}

// Files written after the run are named relative to where the runner was started, not to the
// data folder it moves into.
std::string Outside_Path(const char *path) {
    std::error_code ec;
    // UTF-8 in and out: a plain std::string would be taken in the ANSI code page on Windows.
    std::filesystem::path p =
        std::filesystem::absolute(std::filesystem::path(reinterpret_cast<const char8_t *>(path)), ec);
    if (ec) return path;
    std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

// The --verify lines of the replay just closed (game 0: every game); 1 when all verified.
int Print_Verdicts(int game) {
    const std::vector<GAME_VERDICT_TYP> &verdicts = Game_Logs_Verdicts();
    if (verdicts.empty()) {
        fprintf(stderr, "farwake-headless: the recording holds no game\n");
        return 0;
    }
    if (game > (int)verdicts.size()) {
        fprintf(stderr, "farwake-headless: the recording holds %d games, not %d\n",
                (int)verdicts.size(), game);
        return 0;
    }
    int all = 1;
    for (const GAME_VERDICT_TYP &v : verdicts) {
        if (game && v.game.number != game) continue;
        printf("%s\n", Format_Verdict_Line(v).c_str());
        all &= v.verified;
    }
    fflush(stdout);
    return all;
}

} // namespace

int main(int argc, char **argv) {
    argv = Os_Utf8_Arguments(argc, argv);
    Os_Binary_Stdio();
    const char *data_dir = nullptr, *keys = nullptr, *audio = nullptr;
    GAME_LOG_OPTIONS_TYP logs;
    long long seed = 1000, frames = -1, refresh = 0;
    std::string presents_path;
    int seed_given = 0, allow_missing_data = 0, scores = 0;
    const char *runs = nullptr, *verify = nullptr;
    long long verify_game = 0;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        int taken = Game_Log_Option(argc, argv, &i, &logs);
        if (taken == 1) continue;
        if (a == "--allow-missing-data") {
            allow_missing_data = 1;
            continue;
        }
        if (a == "--scores") {
            scores = 1;
            continue;
        }
        if (taken < 0 || i + 1 >= argc) return Usage();
        const char *v = argv[++i];
        if (a == "--data")
            data_dir = v;
        else if (a == "--runs")
            runs = v;
        else if (a == "--verify")
            verify = v;
        else if (a == "--game") {
            if (!Parse_Count(v, 1000000, &verify_game) || verify_game < 1) {
                fprintf(stderr, "farwake-headless: --game wants a game number from 1, not '%s'\n",
                        v);
                return 2;
            }
        } else if (a == "--seed") {
            if (!Parse_Count(v, 0xFFFFFFFFLL, &seed)) return Usage();
            seed_given = 1;
        } else if (a == "--keys")
            keys = v;
        else if (a == "--frames") {
            if (!Parse_Count(v, 2000000000LL, &frames)) return Usage();
        } else if (a == "--shot") {
            const char *colon = strchr(v, ':');
            long long n;
            if (!colon || colon[1] == '\0' ||
                !Parse_Count(std::string(v, colon).c_str(), 2000000000LL, &n))
                return Usage();
            run.shots[(int)n] = Outside_Path(colon + 1);
        } else if (a == "--refresh") {
            if (!Parse_Count(v, 1000, &refresh) || refresh < 1) return Usage();
        } else if (a == "--presents") {
            presents_path = Outside_Path(v);
        } else if (a == "--smooth") {
            if (!Parse_Switch(v, &shell_smooth)) return Usage();
        } else if (a == "--audio") {
            run.audio_path = Outside_Path(v);
            audio = run.audio_path.c_str();
        } else
            return Usage();
    }

    if (scores) {
        if (!runs) return Usage();
        return Runs_Print_Scores("farwake-headless", runs);
    }
    // --game picks the game --verify prints, or the one game a replay plays to.
    if ((verify_game && !verify && !logs.replay) ||
        (verify && (logs.replay || logs.record || runs)))
        return Usage();
    if (logs.replay) logs.game = (int)verify_game;
    if (verify) {
        logs.replay = verify;
        logs.quiet = 1;
    }
    std::string session; // the run kept in the runs folder
    if (runs && (logs.replay || logs.record)) {
        fprintf(stderr, "farwake-headless: --runs keeps a run as it is played; --record and "
                        "--replay do not go with it\n");
        return 2;
    }
    if (runs) {
        HALL_TYP hall;
        session = Runs_Start_Session("farwake-headless", runs, &hall);
        if (session.empty()) return 1;
        Keymap_Show_Best(Runs_Best_Score(hall));
    }
    if (!session.empty()) logs.record = session.c_str();
    if (logs.replay && (keys || seed_given || frames >= 0)) {
        fprintf(stderr, "farwake-headless: --replay takes its seed and keys from the recording; "
                        "--keys, --seed and --frames do not go with it\n");
        return 2;
    }
    // A run always ends: without --frames it stops as --frames 100000 would; a replay ends where
    // its recording does.
    if (frames < 0 && !logs.replay) frames = kDefaultFrames;
    if (keys) {
        std::string error;
        if (!Load_Key_Script(keys, &run.script, &error)) {
            fprintf(stderr, "farwake-headless: %s: %s\n", keys, error.c_str());
            return 1;
        }
    }
    run.script.escape_from = (int)frames;
    // The logs open here, so their paths are taken from where the runner started.
    std::string error;
    Game_Logs_Set_Lost_Hook(Stop_Now);
    Game_Logs_Date_By_Clock(1);
    if (!Game_Logs_Open(logs, "farwake-headless", "farwake", 0, &error)) {
        fprintf(stderr, "farwake-headless: %s\n", error.c_str());
        return 1;
    }
    if (const REPLAY_TYP *replay = Game_Logs_Replay()) {
        run.replaying = 1;
        seed = replay->seed;
    }
    if (!presents_path.empty() && !refresh) {
        fprintf(stderr, "farwake-headless: --presents needs --refresh\n");
        Game_Logs_Close();
        return 2;
    }
    if (!presents_path.empty() && !(run.presents = Os_Fopen(presents_path.c_str(), "w"))) {
        fprintf(stderr, "farwake-headless: cannot write %s\n", presents_path.c_str());
        Game_Logs_Close();
        return 1;
    }
    if (audio && !Wav_Stream_Open(&run.audio, audio)) {
        fprintf(stderr, "farwake-headless: cannot write %s: %s\n", audio,
                strerror(run.audio.error));
        Game_Logs_Close();
        return 1;
    }
    if (data_dir && chdir(data_dir) != 0) {
        fprintf(stderr, "farwake-headless: cannot enter %s\n", data_dir);
        Game_Logs_Close();
        return 1;
    }

    Headless_Reset((uint32_t)seed);
    Headless_Set_Key_Source(Key_Source, nullptr);
    Headless_Set_Frame_Hook(Frame_Hook, nullptr);
    Headless_Set_Refresh((int)refresh);
    if (run.presents) shell_present_hook = Present_Hook;
    Headless_Capture_Audio(audio != nullptr);
    if (audio) Headless_Set_Audio_Sink(Audio_Sink, nullptr);
    // The title shows the default bindings' card, as the desktop's does before any settings file.
    Keymap_Show_Card(Keymap_Defaults());

    HINSTANCE__ instance{1};
    int code = WinMain(&instance, nullptr, nullptr, 0);

    shell_present_hook = nullptr;
    if (run.presents && fclose(run.presents) != 0) {
        fprintf(stderr, "farwake-headless: cannot write %s\n", presents_path.c_str());
        run.failed = 1;
    }
    int stop_signal = Game_Logs_Stop_Signal();
    int games = (int)Game_Logs_Games().size();
    if (Game_Logs_Close()) run.failed = 1;
    Runs_End_Session(session, games);
    if (audio && !Wav_Stream_Close(&run.audio, Audio_Rate())) {
        fprintf(stderr, "farwake-headless: cannot write %s: %s\n", audio,
                strerror(run.audio.error));
        run.failed = 1;
    }
    for (auto &s : run.shots)
        fprintf(stderr, "farwake-headless: read %d never came; %s not written\n", s.first,
                s.second.c_str());
    if (!run.shots.empty()) run.failed = 1;
    if (verify && !Print_Verdicts((int)verify_game)) run.failed = 1;
    if (run.failed) return 1;
    if (stop_signal) return 128 + stop_signal;
    if (Data_Files_Missing() && !allow_missing_data) {
        // The game ran as the real one would without them, but its pictures or sounds are not
        // the game's: a test or a bug report must not take them for it.
        fprintf(stderr,
                "farwake-headless: the run lacked data files (said above); exit status %d "
                "(--allow-missing-data: 0)\n",
                EXIT_MISSING_DATA);
        return EXIT_MISSING_DATA;
    }
    return code;
}
