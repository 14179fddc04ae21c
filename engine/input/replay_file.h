// Recorded games: a key script whose comment lines carry the program that recorded it, the
// seed, a state-line check every 100 game frames and the number of reads the run made.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/input/game_lines.h"
#include "engine/input/key_script.h"

// "# check READ CRC LINE": after the game frame of keyboard read READ the state line (LINE, when
// the recorder kept it) had CRC-32 CRC.
struct REPLAY_CHECK_TYP {
    int read;
    uint32_t crc;
    std::string line; // empty when the check gives the CRC alone
};

// A parsed recording.
struct REPLAY_TYP {
    KEY_SCRIPT_TYP script;
    unsigned seed = 0;
    std::string version; // of the program that recorded it ("" when the header is missing)
    std::string build;   // "farwake" or "farwake565" ("" when the header is missing)
    std::vector<REPLAY_CHECK_TYP> checks; // in increasing read order
    int end_reads = -1;                   // reads the recorded run made
    int stop_signal = 0; // the signal that stopped the recorded run (0: it ended normally)
    int closed = 0;      // the player closed the window or quit from the pause mid-run
    int last_read = -1;  // the last read any line names
    // No end or stop line: the recorder was killed, lost its power or its disk filled up. The
    // game replays up to the last check (or the last span without checks): end_reads is the read
    // after it.
    int cut = 0;
    int half_line = 0; // the file stops inside a line, which is left out
    // The session's games from their start and result lines; a game the recorder could not end
    // (killed, crashed) is ended here as cut at the last check inside it.
    std::vector<RUN_GAME_TYP> games;
};

// Interprets the comments of a parsed key script as a recording (a seed is required; without an
// end or stop line it is a cut one); 1, or 0 with the line at fault in *error.
int Parse_Replay(const KEY_SCRIPT_TYP &script, REPLAY_TYP *replay, std::string *error);
// Parses the text of a recording file: a cut file's half-written last line is left out.
int Parse_Replay_Text(const std::string &text, REPLAY_TYP *replay, std::string *error);
// Reads a recording (at most KEY_SCRIPT_MAX_BYTES) and parses it; 1, or 0 with *error.
int Load_Replay(const char *path, REPLAY_TYP *replay, std::string *error);
// The check line a recorder writes for a state line (no '#' prefix, no newline).
std::string Format_Check_Line(int read, const std::string &state_line);
// CRC-32 (the zlib polynomial) of a text.
uint32_t Text_Crc(const std::string &text);
