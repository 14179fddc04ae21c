// The recorder (keys as ranges of reads, flushed as they go, with state checks), the state and
// entity logs, and the replay's checks, hooked into the keyboard reads and the game frames.
#include "shell/record.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <memory>

#include "engine/graphics/clock.h"
#include "engine/graphics/output_file.h"
#include "engine/graphics/random.h"
#include "engine/input/dik_names.h"
#include "engine/input/dinput.h"
#include "engine/input/replay_file.h"
#include "engine/window/window.h"
#include "game/game.h"
#include "platform/dik.h"
#include "platform/os/os_file.h"
#include "shell/game_tally.h"
#include "shell/notice.h"
#include "shell/pause.h"
#include "shell/present.h"
#include "shell/state_log.h"
#include "shell/winmain.h"

#ifndef FW_VERSION
#define FW_VERSION "0"
#endif

namespace {

// The recording being written. The open span (keys held since `first`, not yet written) is also
// kept as text so that a crash handler can still write it.
struct RECORDER_TYP {
    OUTPUT_FILE_TYP out;
    uint8_t keys[256] = {};
    int first = 0;            // first read of the open span
    int last = -1;            // the latest read seen
    char key_text[4096] = {}; // " NAME NAME..." of the open span
    int stopped = 0;          // a stop line ends the file: nothing more goes into it
};

struct LOGS_TYP {
    const char *program = "farwake";
    GAME_LOG_OPTIONS_TYP options;
    RECORDER_TYP rec;
    OUTPUT_FILE_TYP state, entities;
    int frames = 0;           // game frames so far
    int last_frame_read = -1; // read of the latest game frame
    int last_checked_read = -1;
    int ending = 0; // a stop signal came: the game is being ended, Escape held on every read
    int ending_signal = 0;
    // replaying
    std::unique_ptr<REPLAY_TYP> replay;
    int take_keys = 0;
    size_t next_check = 0;
    int checks_passed = 0;
    int differs = 0;        // a check failed
    int stop_from = -1;     // Escape held from this read on (-1: the recording's end)
    int escape_pressed = 0; // the player stopped the replay
    int opened = 0;         // Game_Logs_Open succeeded
    // the session's games, as played and (replaying) as the recording has them
    GAME_TALLY_TYP tally;
    int tally_until = 2000000000; // replaying: the last read whose game frame counts
    int differ_read = -1;         // the read of the first difference (-1: none)
    // watching one game: its first and last reads (checks after it are not the game's)
    int watch_start = 0, watch_end = 2000000000;
    std::string differ_expected, differ_actual;
};
LOGS_TYP logs;
// The games of the last replay closed, each verified or not.
std::vector<GAME_VERDICT_TYP> verdicts;
// What the program does when an output is lost (null: say it on stderr and on the screen).
void (*lost_hook)(const char *message) = nullptr;

// The signals a crash raises, and what handled them before the recorder took them over.
// (Windows has no SIGBUS and no SIGHUP.)
constexpr int CRASH_SIGNALS[] = {SIGSEGV,
#ifdef SIGBUS
                                 SIGBUS,
#endif
                                 SIGFPE, SIGILL, SIGABRT};
OS_SAVED_SIGNAL saved_actions[std::size(CRASH_SIGNALS)];
// The signals that ask a program to end (kill, Ctrl+C, a closed terminal): the recording gets
// its stop line at the next keyboard read or game frame, and the game ends the normal way.
constexpr int STOP_SIGNALS[] = {SIGTERM, SIGINT,
#ifdef SIGHUP
                                SIGHUP
#endif
};
OS_SAVED_SIGNAL saved_stop_actions[std::size(STOP_SIGNALS)];
volatile sig_atomic_t stop_signal = 0;
int stop_handlers_set = 0, crash_handlers_set = 0;

// Gives the crash signals back to what handled them before (a failed recording keeps no file to
// write its stop line into, but its handlers stay until here).
void Restore_Crash_Handlers() {
    if (!crash_handlers_set) return;
    for (size_t i = 0; i < std::size(CRASH_SIGNALS); i++)
        Os_Restore_Signal(CRASH_SIGNALS[i], saved_actions[i]);
    crash_handlers_set = 0;
}

void Stop_Handler(int sig) {
    if (!stop_signal) stop_signal = sig;
}

void Restore_Stop_Handlers() {
    if (!stop_handlers_set) return;
    for (size_t i = 0; i < std::size(STOP_SIGNALS); i++)
        Os_Restore_Signal(STOP_SIGNALS[i], saved_stop_actions[i]);
    stop_handlers_set = 0;
}

// Says once that an output was lost: the program's own way, or on stderr and on the screen.
void Lose(OUTPUT_FILE_TYP &o) {
    if (o.told || !o.error) return;
    o.told = 1;
    std::string message = Output_Failure(o);
    if (lost_hook) {
        lost_hook(message.c_str());
        return;
    }
    fprintf(stderr, "%s: %s\n", logs.program, message.c_str());
    Shell_Notice(message.c_str());
}

// One line into an output still open; a failure closes it and is said at once.
void Put(OUTPUT_FILE_TYP &o, const std::string &line) {
    if (o.file && !Output_Line(&o, line)) Lose(o);
}

int Keys_Empty(const uint8_t keys[256]) {
    for (int k = 0; k < 256; k++)
        if (keys[k]) return 0;
    return 1;
}

void Set_Key_Text(RECORDER_TYP &r) {
    size_t n = 0;
    r.key_text[0] = 0;
    for (int k = 0; k < 256; k++) {
        if (!r.keys[k]) continue;
        char hex[8];
        const char *name = Dik_Name(k);
        if (!name) {
            snprintf(hex, sizeof hex, "0x%02X", k);
            name = hex;
        }
        int w = snprintf(r.key_text + n, sizeof r.key_text - n, " %s", name);
        if (w > 0) n += (size_t)w;
        if (n >= sizeof r.key_text) break; // cannot happen: 256 names of at most 15 characters
    }
}

// Writes the open span up to read `to` and starts the next one after it.
void Close_Span(RECORDER_TYP &r, int to) {
    if (!r.out.file || r.stopped) return;
    if (to >= r.first && !Keys_Empty(r.keys)) {
        char range[32];
        if (to > r.first)
            snprintf(range, sizeof range, "%d-%d", r.first, to);
        else
            snprintf(range, sizeof range, "%d", r.first);
        Put(r.out, range + std::string(r.key_text));
    }
    r.first = to + 1;
}

// Writes text of a number into out; its length. Safe inside a signal handler.
int Itoa(long v, char *out) {
    char tmp[24];
    int n = 0;
    int negative = v < 0;
    unsigned long u = negative ? 0UL - (unsigned long)v : (unsigned long)v;
    do {
        tmp[n++] = (char)('0' + u % 10);
        u /= 10;
    } while (u && n < 22);
    int len = 0;
    if (negative) out[len++] = '-';
    while (n)
        out[len++] = tmp[--n];
    return len;
}

// A crash still leaves the reads up to it in the file: the open span and a stop line are
// written with plain write() before the signal takes its usual course.
void Crash_Handler(int sig) {
    // Only the first crash writes: an abort on the way out (a sanitizer's report) must not add
    // a second stop line.
    for (size_t i = 0; i < std::size(CRASH_SIGNALS); i++)
        Os_Restore_Signal(CRASH_SIGNALS[i], saved_actions[i]);
    RECORDER_TYP &r = logs.rec;
    if (r.out.file && !r.stopped && r.last >= 0) {
        int fd = fileno(r.out.file);
        char line[sizeof r.key_text + 128];
        int n = 0;
        if (r.last >= r.first && !Keys_Empty(r.keys)) {
            n += Itoa(r.first, line + n);
            line[n++] = '-';
            n += Itoa(r.last, line + n);
            size_t k = strlen(r.key_text);
            memcpy(line + n, r.key_text, k);
            n += (int)k;
            line[n++] = '\n';
        }
        const char stop[] = "# stopped by signal ";
        memcpy(line + n, stop, sizeof stop - 1);
        n += (int)sizeof stop - 1;
        n += Itoa(sig, line + n);
        const char after[] = " after read ";
        memcpy(line + n, after, sizeof after - 1);
        n += (int)sizeof after - 1;
        n += Itoa(r.last, line + n);
        line[n++] = '\n';
        ssize_t ignored = write(fd, line, (size_t)n);
        (void)ignored;
    }
    raise(sig);
}

void Record_Read(RECORDER_TYP &r, int read, const uint8_t state[256]) {
    uint8_t keys[256];
    for (int k = 0; k < 256; k++)
        keys[k] = state[k] ? 1 : 0;
    if (read == 0) Put(r.out, "# seed " + std::to_string(Rand_Last_Seed()));
    // A span never runs past a hundred reads unwritten, on the title and credits too.
    if (memcmp(keys, r.keys, sizeof keys) != 0 || read - r.first >= RECORD_CHECK_EVERY) {
        Close_Span(r, read - 1);
        memcpy(r.keys, keys, sizeof keys);
        Set_Key_Text(r);
        r.first = read;
    }
    r.last = read;
}

void Write_Check(int read, const std::string &state_line) {
    RECORDER_TYP &r = logs.rec;
    Close_Span(r, read);
    if (!r.stopped) Put(r.out, "# " + Format_Check_Line(read, state_line));
    logs.last_checked_read = read;
}

// The check of the last game frame, when none was written for it: nothing has moved or been
// drawn since that frame ended (the pump's end, a pause before it dims the picture, or the keyboard
// read opening the next frame).
void Check_Last_Frame() {
    if (!logs.rec.out.file || logs.rec.stopped || logs.last_frame_read < 0 ||
        logs.last_checked_read == logs.last_frame_read)
        return;
    Write_Check(logs.last_frame_read,
                Format_State_Line(logs.last_frame_read, logs.frames - 1, Presented_Frame_Crc()));
}

// Dates by the engine's clock instead of the wall's (farwake-headless: the same run, the same
// bytes).
int clock_dates = 0;

// Now in UTC, as the game lines write it: the wall clock's, or 2000-01-01 plus the engine's.
std::string Now_Date() {
    std::time_t now =
        clock_dates ? (std::time_t)946684800 + start_clock_count / 1000 : std::time(nullptr);
    const std::tm *t = std::gmtime(&now);
    char text[32] = "1970-01-01T00:00:00Z";
    if (t) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", t);
    return text;
}

// A game of the replay ended: it must be the recording's game of that number, to the bit.
void Compare_Game(const RUN_GAME_TYP &g) {
    const std::vector<RUN_GAME_TYP> &file = logs.replay->games;
    // A recording made before games were written down replays as it always did (--verify still
    // finds nothing to verify in it).
    if (file.empty()) return;
    std::string expected = (size_t)g.number <= file.size()
                               ? Game_Compared_Text(file[(size_t)g.number - 1])
                               : "(the recording has no game " + std::to_string(g.number) + ")";
    if ((size_t)g.number <= file.size() && Same_Game(file[(size_t)g.number - 1], g)) return;
    // A game the recording ends after its cut is not a difference, only not verified.
    if ((size_t)g.number <= file.size() && file[(size_t)g.number - 1].last_read > logs.tally_until)
        return;
    std::string actual = Game_Compared_Text(g);
    if (logs.differ_read < 0) {
        logs.differ_read = g.last_read;
        logs.differ_expected = expected;
        logs.differ_actual = actual;
    }
    logs.differs = 1;
    fprintf(stderr, "%s: game %d differs at read %d\n  expected: %s\n  actual:   %s\n",
            logs.program, g.number, g.last_read, expected.c_str(), actual.c_str());
}

// A game ended: its result goes into the recording, and a replay compares it.
void Game_Ended(const RUN_GAME_TYP &g) {
    if (logs.rec.out.file && !logs.rec.stopped) Put(logs.rec.out, "# " + Format_Game_Result(g));
    if (logs.replay) Compare_Game(g);
}

// The session ends with its open game (quit, or cut by a signal).
// A replay the viewer stopped with Escape did not end its open game as the recording did, so
// that game is not compared.
void End_Session_Game(int outcome) {
    if (!Tally_End(&logs.tally, outcome, Now_Date())) return;
    if (logs.replay && logs.escape_pressed) return;
    Game_Ended(logs.tally.games.back());
}

// Counts the game frame just run into the session's games.
void Tally_Game_Frame(int read, int frame) {
    if (read > logs.tally_until) return; // past what the recording holds
    TALLY_FRAME_TYP f;
    f.read = read;
    f.frame = frame;
    f.score = score;
    f.lost = player.state == 0;
    f.won = enemy_ships <= 0;
    f.rule_keys = keyboard_state[DIK_F5] || keyboard_state[DIK_R];
    f.clock = start_clock_count;
    int done = Tally_Frame(&logs.tally, f, Now_Date());
    const std::vector<RUN_GAME_TYP> &games = logs.tally.games;
    if (done & TALLY_ENDED) Game_Ended(games[games.size() - 2]);
    if ((done & TALLY_STARTED) && logs.rec.out.file && !logs.rec.stopped)
        Put(logs.rec.out, "# " + Format_Game_Start(games.back()));
}

// The run ends from outside the game: the recording ends with the reads made so far, a check of
// the last game frame when it was the last read, and the line saying how ("stopped by signal S",
// "closed"), so the replay knows the game was cut short there rather than ended by its keys.
void End_Recording_Early(const std::string &how, int outcome) {
    RECORDER_TYP &r = logs.rec;
    if (!r.out.file || r.stopped || r.last < 0) return;
    End_Session_Game(outcome);
    if (logs.last_frame_read == r.last) Check_Last_Frame();
    Close_Span(r, r.last);
    Put(r.out, "# " + how + " after read " + std::to_string(r.last));
    r.stopped = 1;
}

// The window was closed, or the game quit from its pause or menu.
void Note_Closed() {
    End_Recording_Early("closed", RUN_QUIT);
}

// A stop signal came: the recording ends there; then the game ends as when its window is
// closed (a second signal of the kind ends the program at once).
void Take_Stop_Signal() {
    if (!stop_signal || logs.ending) return;
    int sig = stop_signal;
    Restore_Stop_Handlers();
    End_Recording_Early("stopped by signal " + std::to_string(sig), RUN_CUT);
    logs.ending = 1;
    logs.ending_signal = sig;
    if (main_window_handle) PostMessageA(main_window_handle, WM_CLOSE, 0, 0);
}

// The recorded game did not end by its own keys: a signal, a close or a cut file; the replay
// then plays on past the recording's end without calling that a difference.
bool Ended_Early(const REPLAY_TYP &rp) {
    return rp.stop_signal || rp.closed || rp.cut;
}

void Key_Hook(int read, uint8_t state[256], void *) {
    Take_Stop_Signal();
    if (logs.ending) {
        state[DIK_ESCAPE] = 0x80;
        return;
    }
    if (logs.replay && logs.take_keys) {
        // The recording plays; of the keyboard only Escape counts, to stop it.
        int escape = state[DIK_ESCAPE] != 0;
        Game_Logs_Replay_Keys(read, state);
        if (escape && !state[DIK_ESCAPE]) logs.escape_pressed = 1;
        if (escape) state[DIK_ESCAPE] = 0x80;
    }
    if (logs.rec.out.file) Record_Read(logs.rec, read, state);
}

void Report_Difference(int read, const std::string &expected, const std::string &actual) {
    logs.differs = 1;
    if (logs.differ_read < 0) {
        logs.differ_read = read;
        logs.differ_expected = expected;
        logs.differ_actual = actual;
    }
    logs.stop_from = read + 1; // nothing after a difference is worth playing
    fprintf(stderr, "%s: replay differs at read %d\n  expected: %s\n  actual:   %s\n", logs.program,
            read, expected.c_str(), actual.c_str());
}

// Checks the frame of `read` against the recording's checks up to it.
void Check_Frame(int read, const std::string &line) {
    REPLAY_TYP &rp = *logs.replay;
    while (!logs.differs && logs.next_check < rp.checks.size() &&
           rp.checks[logs.next_check].read <= read) {
        const REPLAY_CHECK_TYP &c = rp.checks[logs.next_check++];
        if (c.read < read) {
            Report_Difference(c.read, c.line.empty() ? "(a game frame)" : c.line,
                              "(no game frame at this read)");
            return;
        }
        int same = c.line.empty() ? Text_Crc(line) == c.crc : Same_State_Line(c.line, line);
        if (!same) {
            char crc[16];
            snprintf(crc, sizeof crc, "%08x", c.crc);
            Report_Difference(read, c.line.empty() ? std::string("CRC ") + crc : c.line, line);
            return;
        }
        logs.checks_passed++;
    }
}

// Each game of the recording, and any more the replay played: verified when the replay matched
// every check up to its end and its own result.
void Keep_Verdicts(const REPLAY_TYP &rp) {
    verdicts.clear();
    const std::vector<RUN_GAME_TYP> &played = logs.tally.games;
    size_t count = std::max(rp.games.size(), played.size());
    for (size_t i = 0; i < count; i++) {
        GAME_VERDICT_TYP v;
        const RUN_GAME_TYP *file = i < rp.games.size() ? &rp.games[i] : nullptr;
        const RUN_GAME_TYP *mine = i < played.size() && played[i].ended ? &played[i] : nullptr;
        v.game = mine ? *mine : *file;
        v.expected = file ? Game_Compared_Text(*file) : "(no such game in the recording)";
        v.actual = mine ? Game_Compared_Text(*mine) : "(the replay did not reach its end)";
        int parted_before = logs.differ_read >= 0 && logs.differ_read <= v.game.last_read;
        v.verified = file && mine && Same_Game(*file, *mine) && !parted_before;
        v.read = v.game.last_read;
        if (parted_before) {
            v.read = logs.differ_read;
            v.expected = logs.differ_expected;
            v.actual = logs.differ_actual;
        }
        verdicts.push_back(v);
    }
}

// Watching game k of the recording: the replay runs to that game's last read and stops there
// (Escape, as at a recording's end); what comes after it is neither counted nor checked.
// 1, or 0 with the reason in *error.
int Watch_Game(int k, std::string *error) {
    const std::vector<RUN_GAME_TYP> &games = logs.replay->games;
    if (k < 1 || (size_t)k > games.size()) {
        *error = "it holds " + std::to_string(games.size()) + " game" +
                 (games.size() == 1 ? "" : "s") + ", not game " + std::to_string(k);
        return 0;
    }
    const RUN_GAME_TYP &g = games[(size_t)k - 1];
    logs.watch_start = g.start_read;
    logs.watch_end = std::min(g.last_read, logs.tally_until);
    logs.tally_until = logs.watch_end;
    logs.stop_from = logs.watch_end + 1;
    return 1;
}

// The verdict on a watched game, once the replay has closed: 0 and said when it was not the
// recording's game to the bit.
int Watched_Game_Verdict(int k) {
    const GAME_VERDICT_TYP &v = verdicts[(size_t)k - 1];
    if (!v.verified) {
        fprintf(stderr, "%s: game %d differs at read %d\n  expected: %s\n  actual:   %s\n",
                logs.program, k, v.read, v.expected.c_str(), v.actual.c_str());
        return 0;
    }
    if (!logs.options.quiet)
        printf("game %d matches (%d checks): %s, score %lld\n", k, logs.checks_passed,
               Run_Outcome_Name(v.game.outcome), (long long)v.game.score);
    return 1;
}

} // namespace

int Game_Log_Option(int argc, char **argv, int *i, GAME_LOG_OPTIONS_TYP *o) {
    std::string a = argv[*i];
    const char **slot = a == "--record"     ? &o->record
                        : a == "--replay"   ? &o->replay
                        : a == "--state"    ? &o->state
                        : a == "--entities" ? &o->entities
                                            : nullptr;
    if (!slot) return 0;
    if (*i + 1 >= argc) return -1;
    *slot = argv[++*i];
    return 1;
}

const char *Game_Log_Usage() {
    return "  --record FILE   write the seed and every keyboard read, with state checks\n"
           "  --replay FILE   play a recording and check it frame by frame\n"
           "  --state FILE    one JSON line of game state after every game frame\n"
           "  --entities FILE one JSON line with every live record of every pool per frame\n";
}

int Game_Logs_Open(const GAME_LOG_OPTIONS_TYP &o, const char *program, const char *build,
                   int take_keys, std::string *error) {
    Game_Logs_Close();
    logs.program = program;
    logs.options = o;
    logs.take_keys = take_keys;
    if (o.replay) {
        logs.replay = std::make_unique<REPLAY_TYP>();
        if (!Load_Replay(o.replay, logs.replay.get(), error)) {
            *error = std::string(o.replay) + ": " + *error;
            Game_Logs_Close();
            return 0;
        }
        if (!logs.replay->build.empty() && logs.replay->build != build) {
            *error = std::string(o.replay) + ": recorded by " + logs.replay->build + ", which " +
                     build + " cannot replay";
            Game_Logs_Close();
            return 0;
        }
        Rand_Force_Seed(1, logs.replay->seed);
        // Only what the recording holds is compared: up to its end, or to the last check of a
        // game cut without its result line.
        const REPLAY_TYP &rp = *logs.replay;
        logs.tally_until = rp.end_reads - 1;
        if (!rp.games.empty() && rp.games.back().from_check)
            logs.tally_until =
                rp.games.back().frames ? rp.games.back().last_read : rp.games.back().start_read - 1;
        if (o.game && !Watch_Game(o.game, error)) {
            *error = std::string(o.replay) + ": " + *error;
            Game_Logs_Close();
            return 0;
        }
    }
    auto open = [&](const char *path, OUTPUT_FILE_TYP *f) {
        if (!path || Output_Open(f, path)) return 1;
        *error = Output_Failure(*f);
        f->told = 1; // the caller says it
        return 0;
    };
    if (!open(o.record, &logs.rec.out) || !open(o.state, &logs.state) ||
        !open(o.entities, &logs.entities)) {
        Game_Logs_Close();
        return 0;
    }
    if (logs.rec.out.file) {
        Put(logs.rec.out, std::string("# farwake ") + FW_VERSION + " recording, build " + build);
        for (size_t i = 0; i < std::size(CRASH_SIGNALS); i++)
            Os_Catch_Signal(CRASH_SIGNALS[i], Crash_Handler, &saved_actions[i]);
        crash_handlers_set = 1;
        stop_signal = 0;
        for (size_t i = 0; i < std::size(STOP_SIGNALS); i++)
            Os_Catch_Signal(STOP_SIGNALS[i], Stop_Handler, &saved_stop_actions[i]);
        stop_handlers_set = 1;
    }
    DInput_Set_Key_Hook(Key_Hook, nullptr);
    shell_pump_end_hook = Game_Logs_Game_Over;
    shell_pause_idle_hook = Game_Logs_Poll;
    shell_quit_hook = Note_Closed;
    shell_pausing_hook = Check_Last_Frame;
    game_frame_hook = Game_Logs_Frame;
    if (o.game) shell_unseen_hook = Game_Logs_Unseen;
    logs.opened = 1;
    return 1;
}

const REPLAY_TYP *Game_Logs_Replay() {
    return logs.replay.get();
}

void Game_Logs_Replay_Keys(int read, uint8_t state[256]) {
    if (!logs.replay) {
        memset(state, 0, 256);
        return;
    }
    Keys_At_Read(logs.replay->script, read, state);
    // Escape on every other read from there, as a key script's end: the game takes only an
    // Escape it has seen let go.
    int stop = logs.stop_from >= 0 ? logs.stop_from : logs.replay->end_reads;
    if (read >= stop && (read - stop) % 2 == 0) state[DIK_ESCAPE] = 0x80;
}

int Game_Logs_Unseen() {
    return logs.replay && logs.options.game && DInput_Keyboard_Reads() < logs.watch_start;
}

void Game_Logs_Frame() {
    int read = DInput_Keyboard_Reads() - 1;
    int frame = logs.frames++;
    logs.last_frame_read = read;
    int check_due = logs.rec.out.file && !logs.rec.stopped && frame % RECORD_CHECK_EVERY == 0;
    int replay_due = logs.replay && read <= logs.watch_end &&
                     logs.next_check < logs.replay->checks.size() &&
                     logs.replay->checks[logs.next_check].read <= read;
    // The recorder checks the last game frame, so a game frame after it means the replay went
    // another way (or the file lies about its end): stop rather than play on.
    int past_end = logs.replay && !logs.differs && !logs.options.game &&
                   !logs.replay->checks.empty() && logs.next_check == logs.replay->checks.size() &&
                   !Ended_Early(*logs.replay) && read > logs.replay->checks.back().read;
    if (logs.state.file || check_due || replay_due) {
        std::string line = Format_State_Line(read, frame, Presented_Frame_Crc());
        Put(logs.state, line);
        if (check_due) Write_Check(read, line);
        if (replay_due) Check_Frame(read, line);
    }
    if (past_end)
        Report_Difference(read, "(the recorded game had ended)",
                          Format_State_Line(read, frame, Presented_Frame_Crc()));
    if (logs.entities.file) Put(logs.entities, Format_Entity_Line(read));
    Tally_Game_Frame(read, frame);
    Take_Stop_Signal();
}

void Game_Logs_Game_Over() {
    // The replay's last game ends as its recorder ended it: cut when the recorder was stopped
    // or killed in it, else quit (or its win or loss).
    int cut = 0;
    if (logs.replay && !logs.tally.games.empty()) {
        const std::vector<RUN_GAME_TYP> &file = logs.replay->games;
        size_t i = logs.tally.games.size() - 1;
        cut = i < file.size() && (file[i].from_check || file[i].outcome == RUN_CUT);
    }
    End_Session_Game(cut ? RUN_CUT : RUN_QUIT);
    Check_Last_Frame();
}

const std::vector<RUN_GAME_TYP> &Game_Logs_Games() {
    return logs.tally.games;
}

const std::vector<GAME_VERDICT_TYP> &Game_Logs_Verdicts() {
    return verdicts;
}

void Game_Logs_Poll() {
    Take_Stop_Signal();
}

int Game_Logs_Stop_Signal() {
    return logs.ending ? logs.ending_signal : 0;
}

std::string Format_Verdict_Line(const GAME_VERDICT_TYP &v) {
    const RUN_GAME_TYP &g = v.game;
    std::string line = std::string("{\"verified\": ") + (v.verified ? "true" : "false") +
                       ", \"game\": " + std::to_string(g.number) +
                       ", \"score\": " + std::to_string(g.score) +
                       ", \"outcome\": " + Json_Quote(Run_Outcome_Name(g.outcome)) +
                       ", \"frames\": " + std::to_string(g.frames) +
                       ", \"practice\": " + (g.practice ? "true" : "false");
    if (!v.verified)
        line += ", \"read\": " + std::to_string(v.read) +
                ", \"expected\": " + Json_Quote(v.expected) +
                ", \"actual\": " + Json_Quote(v.actual);
    return line + "}";
}

void Game_Logs_Date_By_Clock(int on) {
    clock_dates = on;
}

void Game_Logs_Set_Lost_Hook(void (*hook)(const char *message)) {
    lost_hook = hook;
}

void Game_Logs_Abandon() {
    Restore_Crash_Handlers();
    Restore_Stop_Handlers();
    for (OUTPUT_FILE_TYP *o : {&logs.rec.out, &logs.state, &logs.entities})
        if (!Output_Close(o)) Lose(*o);
}

int Game_Logs_Close() {
    int failed = 0;
    int reads = DInput_Keyboard_Reads();
    RECORDER_TYP &r = logs.rec;
    Restore_Crash_Handlers();
    if (r.out.file && logs.opened) {
        Close_Span(r, r.last);
        if (!r.stopped) Put(r.out, "# end " + std::to_string(reads));
    }
    Restore_Stop_Handlers();
    // Each output answers for itself: one that failed was said when it failed.
    for (OUTPUT_FILE_TYP *o : {&r.out, &logs.state, &logs.entities}) {
        if (o->path.empty()) continue;
        if (!Output_Close(o)) {
            if (!o->told) fprintf(stderr, "%s: %s\n", logs.program, Output_Failure(*o).c_str());
            failed = 1;
        }
    }
    if (logs.replay && logs.opened) {
        const REPLAY_TYP &rp = *logs.replay;
        const int watched = logs.options.game;
        if (!watched && !logs.differs && logs.next_check < rp.checks.size() &&
            logs.differ_read < 0) {
            logs.differ_read = rp.checks[logs.next_check].read;
            logs.differ_expected = rp.checks[logs.next_check].line;
            logs.differ_actual = "(the replay ended after " + std::to_string(reads) + " reads)";
        }
        if (!watched && !Ended_Early(rp) && reads != rp.end_reads && logs.differ_read < 0) {
            logs.differ_read = std::min(reads, rp.end_reads) - 1;
            logs.differ_expected = "(a run of " + std::to_string(rp.end_reads) + " reads)";
            logs.differ_actual = "(a run of " + std::to_string(reads) + " reads)";
        }
        Keep_Verdicts(rp);
        if (logs.differs) {
            failed = 1;
        } else if (logs.escape_pressed) {
            printf("replay stopped with Escape (%d checks matched)\n", logs.checks_passed);
        } else if (watched) {
            if (!Watched_Game_Verdict(watched)) failed = 1;
        } else if (logs.next_check < rp.checks.size()) {
            fprintf(stderr, "%s: the replay ended after %d reads, before the check at read %d\n",
                    logs.program, reads, rp.checks[logs.next_check].read);
            failed = 1;
        } else if (!Ended_Early(rp) && reads != rp.end_reads) {
            fprintf(stderr, "%s: the recorded run made %d keyboard reads, the replay %d\n",
                    logs.program, rp.end_reads, reads);
            failed = 1;
        } else if (logs.options.quiet) {
            // the caller tells the verdict
        } else if (rp.cut) {
            printf("replay matches up to read %d (%d checks); the recording stops there (%s)\n",
                   rp.end_reads - 1, logs.checks_passed,
                   rp.half_line ? "no '# end' line, and its last line is half written"
                                : "no '# end' line");
        } else {
            printf("replay matches (%d checks)\n", logs.checks_passed);
            if (rp.stop_signal)
                printf("the recorded run was stopped by signal %d after read %d\n", rp.stop_signal,
                       rp.end_reads - 1);
            if (rp.closed) printf("the recorded run was closed after read %d\n", rp.end_reads - 1);
        }
        fflush(stdout);
    }
    if (logs.options.replay || logs.opened) {
        Rand_Force_Seed(0, 0);
        DInput_Set_Key_Hook(nullptr, nullptr);
        shell_pump_end_hook = nullptr;
        shell_pause_idle_hook = nullptr;
        shell_quit_hook = nullptr;
        shell_pausing_hook = nullptr;
        game_frame_hook = nullptr;
        shell_unseen_hook = nullptr;
    }
    logs = LOGS_TYP{};
    return failed;
}
