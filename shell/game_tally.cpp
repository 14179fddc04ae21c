// Counting a session's games frame by frame, and comparing two counts of the same game.
#include "shell/game_tally.h"

namespace {

void Close_Open_Game(GAME_TALLY_TYP *t, int outcome, int frames, uint32_t clock,
                     const std::string &date) {
    RUN_GAME_TYP &g = t->games.back();
    g.ended = 1;
    g.outcome = outcome;
    g.frames = frames;
    g.score = t->last_score;
    g.last_read = t->last_read;
    g.ms = (long long)(uint32_t)(clock - t->first_clock);
    g.date = date;
    t->open = 0;
}

} // namespace

int Tally_Frame(GAME_TALLY_TYP *t, const TALLY_FRAME_TYP &f, const std::string &date) {
    if (t->over) return 0;
    int ended = f.lost || f.won, done = 0;
    if (t->open && t->end_seen && !ended) {
        Close_Open_Game(t, t->end_outcome, t->end_frames, t->end_clock, date);
        done |= TALLY_ENDED;
    }
    if (!t->open) {
        RUN_GAME_TYP g;
        g.number = (int)t->games.size() + 1;
        g.start_read = f.read;
        g.start_frame = f.frame;
        g.start_date = date;
        t->games.push_back(g);
        t->open = 1;
        t->end_seen = 0;
        t->first_clock = f.clock;
        done |= TALLY_STARTED;
    }
    RUN_GAME_TYP &g = t->games.back();
    // The key that started this game (R after a win) does not make it practice; one held on does.
    if (!t->end_seen && !ended && f.rule_keys && f.read > g.start_read) g.practice = 1;
    if (!t->end_seen && ended) {
        t->end_seen = 1;
        t->end_outcome = f.lost ? RUN_LOST : RUN_WON;
        t->end_frames = f.frame - g.start_frame + 1;
        t->end_clock = f.clock;
    }
    t->last_score = f.score;
    t->last_read = f.read;
    t->last_frame = f.frame;
    t->last_clock = f.clock;
    return done;
}

int Tally_End(GAME_TALLY_TYP *t, int outcome, const std::string &date) {
    if (t->over) return 0;
    t->over = 1;
    if (!t->open) return 0;
    int frames = t->last_frame - t->games.back().start_frame + 1;
    if (t->end_seen && outcome != RUN_CUT)
        Close_Open_Game(t, t->end_outcome, t->end_frames, t->end_clock, date);
    else
        Close_Open_Game(t, outcome, frames, t->last_clock, date);
    return 1;
}

int Same_Game(const RUN_GAME_TYP &a, const RUN_GAME_TYP &b) {
    return a.number == b.number && a.start_read == b.start_read && a.start_frame == b.start_frame &&
           a.ended == b.ended && a.outcome == b.outcome && a.score == b.score &&
           a.frames == b.frames && a.last_read == b.last_read && a.practice == b.practice;
}

std::string Game_Compared_Text(const RUN_GAME_TYP &g) {
    return "game " + std::to_string(g.number) + " " +
           (g.ended ? Run_Outcome_Name(g.outcome) : "unfinished") + " score " +
           std::to_string(g.score) + " frames " + std::to_string(g.frames) + " read " +
           std::to_string(g.last_read) + " practice " + (g.practice ? "yes" : "no") +
           " (from read " + std::to_string(g.start_read) + ", frame " +
           std::to_string(g.start_frame) + ")";
}
