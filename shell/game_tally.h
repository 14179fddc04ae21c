// The games of a session as they are played: where each starts and ends, how it ended, its score
// and length, and whether the keys that bend the rules were used. Pure bookkeeping over what each
// game frame left, so the recorder and the replay's checks count games the same way.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/input/game_lines.h"

// What one game frame left behind.
struct TALLY_FRAME_TYP {
    int read = 0;  // its keyboard read
    int frame = 0; // the session's game frames before it
    long long score = 0;
    int lost = 0;       // the ship is destroyed
    int won = 0;        // no enemy ship or station is left
    int rule_keys = 0;  // F5 (refill) or R (reset) was down at its read
    uint32_t clock = 0; // the clock's millisecond count at its start
};

// The session's games; plain record, the fields owned by the functions below.
struct GAME_TALLY_TYP {
    std::vector<RUN_GAME_TYP> games; // the last is being played while `open`
    int open = 0;
    int over = 0;     // the session ended: later frames count for nothing
    int end_seen = 0; // the open game has been won or lost
    int end_outcome = RUN_QUIT;
    int end_frames = 0; // its frames up to the one that won or lost it
    long long last_score = 0;
    int last_read = 0, last_frame = 0;
    uint32_t first_clock = 0, last_clock = 0, end_clock = 0;
};

// What Tally_Frame did.
enum { TALLY_ENDED = 1, TALLY_STARTED = 2 };

// Counts one game frame: a won or lost game that plays on again (Enter, or R after a win) ended
// at the frame before, and a new game starts at this one. date: now, as Is_Run_Date wants it.
// TALLY_* bits: the game ended is games[size-2], the game started games.back().
int Tally_Frame(GAME_TALLY_TYP *t, const TALLY_FRAME_TYP &f, const std::string &date);
// The session ends: the open game ends as it stands (won or lost when it was, else outcome,
// RUN_QUIT or RUN_CUT; a cut game counts every frame it ran); 1 when a game was open.
int Tally_End(GAME_TALLY_TYP *t, int outcome, const std::string &date);
// The same game, to the bit, leaving out the wall-clock fields (dates, milliseconds).
int Same_Game(const RUN_GAME_TYP &a, const RUN_GAME_TYP &b);
// A game as compared, for messages: "game 2 lost score 3400 frames 2311 read 2364 practice no
// (from read 53, frame 0)".
std::string Game_Compared_Text(const RUN_GAME_TYP &g);
