// Reading recorded games: the header, seed, check and end comments of a key script, each checked
// against the others so that a truncated or edited file is refused with the line at fault.
#include "engine/input/replay_file.h"

#include "engine/graphics/crc32.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Splits off the first word of s (after leading blanks); "" when none is left.
std::string Word(std::string &s) {
    size_t start = s.find_first_not_of(" \t");
    if (start == std::string::npos) {
        s.clear();
        return "";
    }
    size_t end = s.find_first_of(" \t", start);
    std::string w = s.substr(start, end == std::string::npos ? std::string::npos : end - start);
    s = end == std::string::npos ? "" : s.substr(end);
    return w;
}

// Exactly eight hex digits; 1 on success.
int Hex32(const std::string &w, uint32_t *out) {
    if (w.size() != 8 || w.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return 0;
    *out = (uint32_t)std::strtoul(w.c_str(), nullptr, 16);
    return 1;
}

std::string Trimmed(const std::string &s) {
    size_t start = s.find_first_not_of(" \t\r");
    if (start == std::string::npos) return "";
    size_t end = s.find_last_not_of(" \t\r");
    return s.substr(start, end - start + 1);
}

// The end of a stop or closed line, "after read R", and nothing more.
bool After_Read(std::string &rest, long long *read) {
    std::string after = Word(rest), read_word = Word(rest);
    return after == "after" && read_word == "read" &&
           Recording_Number(Word(rest), RECORDING_MAX_READ, read) && Word(rest).empty();
}

// A game without its result line: a recorder that was killed or crashed never wrote it, and the
// game is cut at the last check inside it (what a replay can still verify). A recorder that
// ended the file itself always wrote it.
int End_Open_Game(REPLAY_TYP *replay, std::string *error) {
    if (replay->games.empty() || replay->games.back().ended) return 1;
    RUN_GAME_TYP &g = replay->games.back();
    if (!replay->cut && !replay->stop_signal) {
        *error = "game " + std::to_string(g.number) + " has no result line";
        return 0;
    }
    g.ended = 1;
    g.from_check = 1;
    g.outcome = RUN_CUT;
    g.last_read = g.start_read;
    for (const REPLAY_CHECK_TYP &c : replay->checks) {
        long long score = State_Line_Score(c.line), frame = State_Line_Frame(c.line);
        if (c.read < g.start_read || c.read >= replay->end_reads || score < 0 ||
            frame < g.start_frame)
            continue;
        g.score = score;
        g.frames = (int)(frame - g.start_frame + 1);
        g.last_read = c.read;
    }
    return 1;
}

} // namespace

uint32_t Text_Crc(const std::string &text) {
    return Crc32_Update(0, text.data(), text.size());
}

std::string Format_Check_Line(int read, const std::string &state_line) {
    char head[64];
    std::snprintf(head, sizeof head, "check %d %08x ", read, Text_Crc(state_line));
    return head + state_line;
}

int Parse_Replay(const KEY_SCRIPT_TYP &script, REPLAY_TYP *replay, std::string *error) {
    *replay = REPLAY_TYP{};
    replay->script = script;
    int have_seed = 0;
    auto fail = [&](int line, const std::string &what) {
        *error = "line " + std::to_string(line) + ": " + what;
        return 0;
    };
    for (const KEY_SPAN_TYP &s : script.spans)
        if (s.last > replay->last_read) replay->last_read = s.last;
    for (const KEY_COMMENT_TYP &c : script.comments) {
        std::string rest = Trimmed(c.text);
        std::string kind = Word(rest);
        if (kind == "farwake") {
            // "farwake VERSION recording, build BUILD"
            std::string version = Word(rest), what = Word(rest), build_word = Word(rest);
            std::string build = Word(rest);
            if (what != "recording," || build_word != "build" || version.empty() ||
                (build != "farwake" && build != "farwake565") || !Word(rest).empty())
                return fail(c.line, "bad recording header");
            replay->version = version;
            replay->build = build;
        } else if (kind == "seed") {
            long long seed;
            if (have_seed) return fail(c.line, "a second seed");
            if (!Recording_Number(Word(rest), 0xFFFFFFFFLL, &seed) || !Word(rest).empty())
                return fail(c.line, "bad seed");
            replay->seed = (unsigned)seed;
            have_seed = 1;
        } else if (kind == "check") {
            long long read;
            REPLAY_CHECK_TYP check{};
            if (!Recording_Number(Word(rest), RECORDING_MAX_READ, &read) ||
                !Hex32(Word(rest), &check.crc))
                return fail(c.line, "bad check (want '# check READ CRC [STATE LINE]')");
            check.read = (int)read;
            check.line = Trimmed(rest);
            if (!replay->checks.empty() && replay->checks.back().read >= check.read)
                return fail(c.line, "checks out of order");
            if (!check.line.empty()) {
                if (Text_Crc(check.line) != check.crc)
                    return fail(c.line, "the state line does not match its CRC (the file was "
                                        "edited or damaged)");
                std::string head = "{\"read\":" + std::to_string(check.read) + ",";
                if (check.line.compare(0, head.size(), head) != 0)
                    return fail(c.line, "the state line is not the one of read " +
                                            std::to_string(check.read));
            }
            if (check.read > replay->last_read) replay->last_read = check.read;
            replay->checks.push_back(std::move(check));
        } else if (kind == "end") {
            long long reads;
            if (replay->end_reads >= 0) return fail(c.line, "a second end");
            if (!Recording_Number(Word(rest), RECORDING_MAX_READ, &reads) || !Word(rest).empty())
                return fail(c.line, "bad end");
            replay->end_reads = (int)reads;
        } else if (kind == "stopped") {
            // "stopped by signal S after read R", written by a recorder that crashed
            long long sig, read;
            std::string by = Word(rest), signal_word = Word(rest), sig_word = Word(rest);
            if (replay->end_reads >= 0) return fail(c.line, "a second end");
            if (by != "by" || signal_word != "signal" || !Recording_Number(sig_word, 255, &sig) ||
                !After_Read(rest, &read))
                return fail(c.line, "bad stop line");
            replay->stop_signal = (int)sig;
            replay->end_reads = (int)read + 1;
        } else if (kind == "closed") {
            // "closed after read R": the window was closed, or the game quit from its pause
            long long read;
            if (replay->end_reads >= 0) return fail(c.line, "a second end");
            if (!After_Read(rest, &read)) return fail(c.line, "bad closed line");
            replay->closed = 1;
            replay->end_reads = (int)read + 1;
        } else if (kind == "game") {
            std::string why;
            if (!Parse_Game_Line(c.text, &replay->games, &why)) return fail(c.line, why);
        }
        // Any other comment is a note for people.
    }
    if (!have_seed) {
        *error = "not a recording: no '# seed' line";
        return 0;
    }
    if (replay->end_reads < 0) {
        // Everything up to the cut was flushed as it was written: it replays to its last check.
        replay->cut = 1;
        replay->end_reads =
            (replay->checks.empty() ? replay->last_read : replay->checks.back().read) + 1;
        return End_Open_Game(replay, error);
    }
    if (replay->last_read >= replay->end_reads) {
        *error = "read " + std::to_string(replay->last_read) + " lies after the recorded end (" +
                 std::to_string(replay->end_reads) + " reads)";
        return 0;
    }
    for (const RUN_GAME_TYP &g : replay->games)
        if ((g.ended ? g.last_read : g.start_read) >= replay->end_reads) {
            *error = "game " + std::to_string(g.number) + " lies after the recorded end (" +
                     std::to_string(replay->end_reads) + " reads)";
            return 0;
        }
    return End_Open_Game(replay, error);
}

int Parse_Replay_Text(const std::string &text, REPLAY_TYP *replay, std::string *error) {
    KEY_SCRIPT_TYP script;
    int whole = Parse_Key_Script(text, &script, error) && Parse_Replay(script, replay, error);
    if ((whole && !replay->cut) || text.empty() || text.back() == '\n') return whole;
    // The recorder ends every line it writes: a last line without its newline was cut in the
    // middle, even when what is left happens to read well ("# check 1" of "# check 100 ...").
    std::string first_error = *error;
    size_t newline = text.find_last_of('\n');
    std::string complete = newline == std::string::npos ? "" : text.substr(0, newline + 1);
    if (!Parse_Key_Script(complete, &script, error) || !Parse_Replay(script, replay, error))
        return 0;
    if (!replay->cut) {
        // The file has its end: the broken line is an edit, reported as it always was.
        *error = first_error;
        return 0;
    }
    replay->half_line = 1;
    return 1;
}

int Load_Replay(const char *path, REPLAY_TYP *replay, std::string *error) {
    std::string text;
    if (!Read_Key_Script_Text(path, &text, error)) return 0;
    return Parse_Replay_Text(text, replay, error);
}
