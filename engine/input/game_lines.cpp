// The start and result lines of a recording's games: their one text form, written by the
// recorder and read back with every field checked, since a file in the runs folder is outside
// input (hand-put, damaged or edited).
#include "engine/input/game_lines.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr long long MAX_SCORE = 2147483647LL;
constexpr const char *OUTCOMES[] = {"won", "lost", "quit", "cut"};

// The words of a line, split at blanks; at most 32 are kept (more is never a good line).
std::vector<std::string> Words(const std::string &text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size() && words.size() <= 32) {
        size_t start = text.find_first_not_of(" \t\r", i);
        if (start == std::string::npos) break;
        size_t end = text.find_first_of(" \t\r", start);
        if (end == std::string::npos) end = text.size();
        words.push_back(text.substr(start, end - start));
        i = end;
    }
    return words;
}

// The number after "\"key\":" in a state line, or -1.
long long Field(const std::string &line, const char *key) {
    std::string head = std::string("\"") + key + "\":";
    size_t at = line.find(head);
    if (at == std::string::npos) return -1;
    size_t start = at + head.size(), end = line.find_first_not_of("0123456789", start);
    long long v = -1;
    if (!Recording_Number(
            line.substr(start, end == std::string::npos ? std::string::npos : end - start),
            MAX_SCORE, &v))
        return -1;
    return v;
}

} // namespace

int Recording_Number(const std::string &w, long long max, long long *out) {
    if (w.empty() || w.size() > 12 || w.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    long long v = std::strtoll(w.c_str(), nullptr, 10);
    if (v > max) return 0;
    *out = v;
    return 1;
}

const char *Run_Outcome_Name(int outcome) {
    return outcome >= 0 && outcome <= RUN_CUT ? OUTCOMES[outcome] : "?";
}

int Is_Run_Date(const std::string &t) {
    static const char shape[] = "dddd-dd-ddTdd:dd:ddZ";
    if (t.size() != sizeof shape - 1) return 0;
    for (size_t i = 0; i < t.size(); i++)
        if (shape[i] == 'd' ? (t[i] < '0' || t[i] > '9') : t[i] != shape[i]) return 0;
    return 1;
}

std::string Format_Game_Start(const RUN_GAME_TYP &g) {
    char line[160];
    std::snprintf(line, sizeof line, "game %d start read %d frame %d date %s", g.number,
                  g.start_read, g.start_frame, g.start_date.c_str());
    return line;
}

std::string Format_Game_Result(const RUN_GAME_TYP &g) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "game %d %s score %lld frames %d read %d time %lld date %s practice %s", g.number,
                  Run_Outcome_Name(g.outcome), g.score, g.frames, g.last_read, g.ms, g.date.c_str(),
                  g.practice ? "yes" : "no");
    return line;
}

long long State_Line_Score(const std::string &line) {
    return Field(line, "score");
}

long long State_Line_Frame(const std::string &line) {
    return Field(line, "frame");
}

int Parse_Game_Line(const std::string &text, std::vector<RUN_GAME_TYP> *games, std::string *error) {
    std::vector<std::string> w = Words(text);
    long long number = 0;
    auto fail = [&](const std::string &what) {
        *error = what;
        return 0;
    };
    if (w.size() < 2 || w[0] != "game" || !Recording_Number(w[1], 1000000, &number) || number < 1)
        return fail("bad game line (want '# game N start ...' or '# game N OUTCOME ...')");
    RUN_GAME_TYP *open = games->empty() || games->back().ended ? nullptr : &games->back();
    if (w.size() > 2 && w[2] == "start") {
        long long read, frame;
        if (w.size() != 9 || w[3] != "read" || !Recording_Number(w[4], RECORDING_MAX_READ, &read) ||
            w[5] != "frame" || !Recording_Number(w[6], RECORDING_MAX_READ, &frame) ||
            w[7] != "date" || !Is_Run_Date(w[8]))
            return fail("bad game start (want '# game N start read R frame F date D')");
        if (open) return fail("game " + std::to_string(open->number) + " has no result");
        if (number != (long long)games->size() + 1)
            return fail("game " + std::to_string(number) + " out of order");
        if (!games->empty()) {
            const RUN_GAME_TYP &before = games->back();
            if (read <= before.last_read || frame < before.start_frame + before.frames)
                return fail("game " + std::to_string(number) + " starts inside the game before");
        }
        RUN_GAME_TYP g;
        g.number = (int)number;
        g.start_read = (int)read;
        g.start_frame = (int)frame;
        g.start_date = w[8];
        games->push_back(g);
        return 1;
    }
    int outcome = -1;
    for (int o = RUN_WON; o <= RUN_CUT; o++)
        if (w.size() > 2 && w[2] == OUTCOMES[o]) outcome = o;
    long long score, frames, read, ms;
    if (outcome < 0 || w.size() != 15 || w[3] != "score" ||
        !Recording_Number(w[4], MAX_SCORE, &score) || w[5] != "frames" ||
        !Recording_Number(w[6], RECORDING_MAX_READ, &frames) || w[7] != "read" ||
        !Recording_Number(w[8], RECORDING_MAX_READ, &read) || w[9] != "time" ||
        !Recording_Number(w[10], RECORDING_MAX_READ * 1000, &ms) || w[11] != "date" ||
        !Is_Run_Date(w[12]) || w[13] != "practice" || (w[14] != "yes" && w[14] != "no"))
        return fail("bad game result (want '# game N won|lost|quit|cut score S frames F read R "
                    "time MS date D practice yes|no')");
    if (!open || open->number != number)
        return fail("a result for game " + std::to_string(number) + ", which has not started");
    // Each game frame is one keyboard read: a game cannot outlast its reads.
    if (read < open->start_read || frames > read - open->start_read + 1)
        return fail("game " + std::to_string(number) + " lasts more frames than its reads");
    open->ended = 1;
    open->outcome = outcome;
    open->score = score;
    open->frames = (int)frames;
    open->last_read = (int)read;
    open->ms = ms;
    open->date = w[12];
    open->practice = w[14] == "yes";
    return 1;
}
