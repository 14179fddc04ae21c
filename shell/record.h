// Recording and replaying a game, and its state and entity logs, for farwake and farwake-headless:
// the options, the files written as the game goes, and the replay's frame-by-frame checks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/input/game_lines.h"

struct REPLAY_TYP;

// Game frames between two "# check" lines of a recording.
constexpr int RECORD_CHECK_EVERY = 100;

// What the command line asked for; null: not asked.
struct GAME_LOG_OPTIONS_TYP {
    const char *record = nullptr;   // write the seed and every keyboard read here
    const char *replay = nullptr;   // play this recording and check it
    const char *state = nullptr;    // one state line per game frame
    const char *entities = nullptr; // one entity line per game frame
    int quiet = 0; // the replay's verdict is left to the caller (--verify prints its own)
    int game = 0;  // replaying: watch this game only, the ones before it run unseen (0: all)
};

// Takes argv[*i] and its value when it is --record, --replay, --state or --entities: 1 taken
// (*i left on the value), 0 not one of these, -1 when the value is missing.
int Game_Log_Option(int argc, char **argv, int *i, GAME_LOG_OPTIONS_TYP *o);
// The usage lines of those options, for --help texts.
const char *Game_Log_Usage();

// Opens the files, loads the recording (forcing its seed) and hooks the keyboard reads, the game
// frames (game_frame_hook; a caller with its own hook calls Game_Logs_Frame) and the pump's end.
// take_keys: the keyboard reads take the recording's keys (live Escape still counts); 0 when the
// caller feeds them itself. 1, or 0 with the reason in *error.
int Game_Logs_Open(const GAME_LOG_OPTIONS_TYP &o, const char *program, const char *build,
                   int take_keys, std::string *error);
// The recording being replayed, or null.
const REPLAY_TYP *Game_Logs_Replay();
// The recording's keys at a keyboard read: Escape held after its end or after a difference.
void Game_Logs_Replay_Keys(int read, uint8_t state[256]);
// 1 while a watched game's earlier part runs: the next game frame is run at once, unseen.
int Game_Logs_Unseen();
// Writes the logs of the game frame just finished and checks it against the recording.
void Game_Logs_Frame();
// Writes the closing check once the game's frames are over (the pump has ended).
void Game_Logs_Game_Over();
// Takes a stop signal (TERM, INT, HUP) that came while recording: the stop line, then the game
// ends as when its window is closed. Keyboard reads and game frames call it; a paused pump too.
void Game_Logs_Poll();
// The stop signal the game was ended by (0: none).
int Game_Logs_Stop_Signal();
// 1: games are dated by the engine's clock from 2000-01-01T00:00:00Z, not by the wall clock, so
// the same run writes the same bytes (farwake-headless); 0, the default: the wall clock.
void Game_Logs_Date_By_Clock(int on);
// What to do when an output is lost, with "cannot write FILE: REASON" (null, the default: say it
// on stderr and in a notice on the screen, and play on without that output).
void Game_Logs_Set_Lost_Hook(void (*hook)(const char *message));
// The session's games so far, as the frames went (the last one open until the session ends).
const std::vector<RUN_GAME_TYP> &Game_Logs_Games();
// One game of a replayed recording: whether the replay gave its checks and its result, and if
// not the read where they part with what each side had there.
struct GAME_VERDICT_TYP {
    RUN_GAME_TYP game; // the replay's (the recording's when the replay did not finish it)
    int verified = 0;
    int read = 0;
    std::string expected, actual;
};
// The games of the replay Game_Logs_Close closed last, in order.
const std::vector<GAME_VERDICT_TYP> &Game_Logs_Verdicts();
// The one JSON line --verify prints for a game: {"verified": true, "game": 1, "score": 3400,
// "outcome": "lost", "frames": 2311, "practice": false}, and where it parted when it did not.
std::string Format_Verdict_Line(const GAME_VERDICT_TYP &v);
// Closes every log as it stands (no end line, no closing check), for a program that stops now.
void Game_Logs_Abandon();
// Ends the recording, closes the files, prints the replay's verdict and unhooks everything:
// 0, or 1 when a file could not be written or the replay differed.
int Game_Logs_Close();
