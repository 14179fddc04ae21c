// The recorder (keys as ranges of reads, flushed as they go, with state checks), the state and
// entity logs, and the replay's checks, hooked into the keyboard reads and the game frames.
#include "shell/record.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>

#include "engine/graphics/output_file.h"
#include "engine/graphics/random.h"
#include "engine/input/dik_names.h"
#include "engine/input/dinput.h"
#include "engine/input/replay_file.h"
#include "engine/window/window.h"
#include "game/game.h"
#include "platform/dik.h"
#include "platform/os/os_file.h"
#include "shell/notice.h"
#include "shell/pause.h"
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
};
LOGS_TYP logs;
// What the program does when an output is lost (null: say it on stderr and on the screen).
void (*lost_hook)(const char *message) = nullptr;

// The signals a crash raises, and what handled them before the recorder took them over.
// (Windows has no SIGBUS and no SIGHUP.)
constexpr int CRASH_SIGNALS[] = {SIGSEGV,
#ifdef SIGBUS
                                 SIGBUS,
#endif
                                 SIGFPE,  SIGILL, SIGABRT};
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

// The run ends from outside the game: the recording ends with the reads made so far, a check of
// the last game frame when it was the last read, and the line saying how ("stopped by signal S",
// "closed"), so the replay knows the game was cut short there rather than ended by its keys.
void End_Recording_Early(const std::string &how) {
    RECORDER_TYP &r = logs.rec;
    if (!r.out.file || r.stopped || r.last < 0) return;
    if (logs.last_frame_read == r.last) Check_Last_Frame();
    Close_Span(r, r.last);
    Put(r.out, "# " + how + " after read " + std::to_string(r.last));
    r.stopped = 1;
}

// The window was closed, or the game quit from its pause or menu.
void Note_Closed() {
    End_Recording_Early("closed");
}

// A stop signal came: the recording ends there; then the game ends as when its window is
// closed (a second signal of the kind ends the program at once).
void Take_Stop_Signal() {
    if (!stop_signal || logs.ending) return;
    int sig = stop_signal;
    Restore_Stop_Handlers();
    End_Recording_Early("stopped by signal " + std::to_string(sig));
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

void Game_Logs_Frame() {
    int read = DInput_Keyboard_Reads() - 1;
    int frame = logs.frames++;
    logs.last_frame_read = read;
    int check_due = logs.rec.out.file && !logs.rec.stopped && frame % RECORD_CHECK_EVERY == 0;
    int replay_due = logs.replay && logs.next_check < logs.replay->checks.size() &&
                     logs.replay->checks[logs.next_check].read <= read;
    // The recorder checks the last game frame, so a game frame after it means the replay went
    // another way (or the file lies about its end): stop rather than play on.
    int past_end = logs.replay && !logs.differs && !logs.replay->checks.empty() &&
                   logs.next_check == logs.replay->checks.size() && !Ended_Early(*logs.replay) &&
                   read > logs.replay->checks.back().read;
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
    Take_Stop_Signal();
}

void Game_Logs_Game_Over() {
    Check_Last_Frame();
}

void Game_Logs_Poll() {
    Take_Stop_Signal();
}

int Game_Logs_Stop_Signal() {
    return logs.ending ? logs.ending_signal : 0;
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
        if (logs.differs) {
            failed = 1;
        } else if (logs.escape_pressed) {
            printf("replay stopped with Escape (%d checks matched)\n", logs.checks_passed);
        } else if (logs.next_check < rp.checks.size()) {
            fprintf(stderr, "%s: the replay ended after %d reads, before the check at read %d\n",
                    logs.program, reads, rp.checks[logs.next_check].read);
            failed = 1;
        } else if (!Ended_Early(rp) && reads != rp.end_reads) {
            fprintf(stderr, "%s: the recorded run made %d keyboard reads, the replay %d\n",
                    logs.program, rp.end_reads, reads);
            failed = 1;
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
    }
    logs = LOGS_TYP{};
    return failed;
}
