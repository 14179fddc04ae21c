// The games of a recorded session: one start line and one result line per game, written by the
// recorder and read back (each checked against the others) to list and verify the games.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The largest keyboard read (and frame count) a recording may name.
constexpr long long RECORDING_MAX_READ = 2000000000LL;
// A number of a recording's line: decimal digits only (at most 12), 0..max; 1 with it in *out.
int Recording_Number(const std::string &word, long long max, long long *out);

// How a game ended.
enum {
    RUN_WON = 0,  // no enemy ship or station left
    RUN_LOST = 1, // the ship was destroyed
    RUN_QUIT = 2, // the session ended (Escape, the window closed) while it ran
    RUN_CUT = 3   // the program was stopped or killed while it ran
};

// One game of a session.
struct RUN_GAME_TYP {
    int number = 0;         // 1 for the session's first game
    int start_read = 0;     // keyboard read of its first game frame
    int start_frame = 0;    // the session's game frame count at its first game frame
    std::string start_date; // "YYYY-MM-DDTHH:MM:SSZ" (UTC), when it started
    int ended = 0;          // a result is known (read from a result line, or worked out for a cut)
    int outcome = RUN_QUIT;
    long long score = 0;
    int frames = 0;     // game frames it was played (to the frame it was won or lost)
    int last_read = 0;  // keyboard read of its last game frame
    long long ms = 0;   // the clock's milliseconds from its first to its last game frame
    std::string date;   // when it ended ("" when it was cut without a result line)
    int practice = 0;   // F5 or R was used: the rules were bent
    int from_check = 0; // no result line: cut at the last check inside it (by the reader)
};

// "won", "lost", "quit" or "cut".
const char *Run_Outcome_Name(int outcome);
// The start line of a game (no '#', no newline).
std::string Format_Game_Start(const RUN_GAME_TYP &g);
// The result line of a game (no '#', no newline).
std::string Format_Game_Result(const RUN_GAME_TYP &g);
// Takes one comment that begins with the word "game" into games: a start line must open the
// next game after a finished one, a result line must close the open game, each with every field
// in range; 1, or 0 with the fault in *error.
int Parse_Game_Line(const std::string &text, std::vector<RUN_GAME_TYP> *games, std::string *error);
// The "score" of a state line, or -1 when it has none.
long long State_Line_Score(const std::string &line);
// The "frame" of a state line, or -1 when it has none.
long long State_Line_Frame(const std::string &line);
// Whether text is a date as the recorder writes it, "YYYY-MM-DDTHH:MM:SSZ".
int Is_Run_Date(const std::string &text);
