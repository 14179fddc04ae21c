// Reading, ranking and bounding the runs folder. Every file in it is outside input: it is read
// through the recording reader (bounded, every line checked), a file that fails is skipped with
// one line, and only the program's own, readable session files are ever removed.
#include "shell/runs.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>

#include "engine/graphics/output_file.h"
#include "engine/input/key_script.h"
#include "engine/input/replay_file.h"
#include "platform/os/os_file.h"

namespace fs = std::filesystem;

namespace {

// UTF-8 text to a path and back, the same bytes on POSIX, wide on Windows.
fs::path Utf8_Path(const std::string &text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string Path_Text(const fs::path &p) {
    std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

// Best first: higher score, shorter game, earlier date, then the file and game number so that
// the order never depends on how the folder was listed.
bool Better(const HALL_ENTRY_TYP &a, const HALL_ENTRY_TYP &b) {
    if (a.game.score != b.game.score) return a.game.score > b.game.score;
    if (a.game.frames != b.game.frames) return a.game.frames < b.game.frames;
    if (a.game.start_date != b.game.start_date) return a.game.start_date < b.game.start_date;
    if (a.file != b.file) return a.file < b.file;
    return a.game.number < b.game.number;
}

} // namespace

std::string Runs_Default_Folder() {
    std::string local = Os_User_Folder(OS_FOLDER_LOCAL);
    if (local.empty()) return "";
    return Path_Text(Utf8_Path(local) / "farwake" / "runs");
}

int Runs_Own_Name(const std::string &name) {
    // YYYYMMDD-HHMMSS-mmm.rec, or with -N before .rec
    static const char shape[] = "dddddddd-dddddd-ddd";
    size_t n = sizeof shape - 1;
    if (name.size() < n + 4 || name.compare(name.size() - 4, 4, ".rec") != 0) return 0;
    for (size_t i = 0; i < n; i++)
        if (shape[i] == 'd' ? (name[i] < '0' || name[i] > '9') : name[i] != shape[i]) return 0;
    std::string rest = name.substr(n, name.size() - 4 - n);
    if (rest.empty()) return 1;
    return rest.size() >= 2 && rest.size() <= 6 && rest[0] == '-' &&
           rest.find_first_not_of("0123456789", 1) == std::string::npos;
}

void Runs_Read(const std::string &folder, HALL_TYP *hall) {
    *hall = HALL_TYP{};
    std::error_code ec;
    std::vector<fs::path> files;
    fs::directory_iterator it(Utf8_Path(folder), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code kind;
        if (!it->is_regular_file(kind)) continue;
        if (files.size() >= (size_t)RUNS_MAX_FILES) {
            hall->skipped.push_back(folder + ": more than " + std::to_string(RUNS_MAX_FILES) +
                                    " files; the rest are not read");
            break;
        }
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path &p : files) {
        std::string path = Path_Text(p), error;
        REPLAY_TYP replay;
        if (!Load_Replay(path.c_str(), &replay, &error)) {
            hall->skipped.push_back(path + ": skipped (" + error + ")");
            continue;
        }
        if (Runs_Own_Name(Path_Text(p.filename())) && !replay.build.empty())
            hall->sessions.push_back(path);
        for (const RUN_GAME_TYP &g : replay.games)
            hall->games.push_back({g, path});
    }
}

std::vector<HALL_ENTRY_TYP> Runs_Ranked(const HALL_TYP &hall, int practice) {
    std::vector<HALL_ENTRY_TYP> ranked;
    for (const HALL_ENTRY_TYP &e : hall.games)
        if (e.game.practice == (practice ? 1 : 0)) ranked.push_back(e);
    std::sort(ranked.begin(), ranked.end(), Better);
    return ranked;
}

std::vector<std::string> Runs_Prune(const HALL_TYP &hall, int keep_best, int keep_last,
                                    std::vector<std::string> *problems) {
    std::set<std::string> keep;
    std::vector<HALL_ENTRY_TYP> all = hall.games;
    std::sort(all.begin(), all.end(), Better);
    for (size_t i = 0; i < all.size() && i < (size_t)keep_best; i++)
        keep.insert(all[i].file);
    // Session names sort by the time they were made.
    for (size_t i = 0; i < hall.sessions.size() && i < (size_t)keep_last; i++)
        keep.insert(hall.sessions[hall.sessions.size() - 1 - i]);
    std::vector<std::string> removed;
    for (const std::string &s : hall.sessions) {
        if (keep.count(s)) continue;
        std::error_code ec;
        if (fs::remove(Utf8_Path(s), ec))
            removed.push_back(s);
        else if (ec)
            problems->push_back("cannot remove " + s + ": " + ec.message());
    }
    return removed;
}

std::string Runs_New_Session(const std::string &folder, std::string *error) {
    std::error_code ec;
    fs::create_directories(Utf8_Path(folder), ec);
    if (ec) {
        *error = "cannot write " + folder + ": " + ec.message();
        return "";
    }
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    long ms = (long)(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch())
                         .count() %
                     1000);
    const std::tm *t = std::gmtime(&seconds);
    char stamp[40] = "19700101-000000";
    if (t) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", t);
    std::string path;
    for (int n = 1; n <= 1000; n++) {
        char name[64];
        std::snprintf(name, sizeof name, n == 1 ? "%s-%03ld.rec" : "%s-%03ld-%d.rec", stamp, ms, n);
        path = Path_Text(Utf8_Path(folder) / name);
        // Made here and now, never a file another program running at once has taken.
        if (Os_Create_New(path.c_str()) == 0) return path;
        if (errno != EEXIST) break;
    }
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return "";
}

void Runs_End_Session(const std::string &path, int games) {
    std::error_code ec;
    if (!path.empty() && games == 0) fs::remove(Utf8_Path(path), ec);
}

std::string Runs_Date(const RUN_GAME_TYP &g) {
    const std::string &d = g.date.empty() ? g.start_date : g.date;
    return Is_Run_Date(d) ? d.substr(0, 10) + " " + d.substr(11, 5) : "?";
}

std::string Runs_Length(int frames) {
    long long ms = (long long)frames * 30;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", ms / 60000, ms / 1000 % 60);
    return text;
}

std::string Runs_Table(const std::vector<HALL_ENTRY_TYP> &ranked, int rows) {
    std::string text = "rank       score  outcome  length  date (UTC)\n";
    for (int i = 0; i < rows && (size_t)i < ranked.size(); i++) {
        const RUN_GAME_TYP &g = ranked[(size_t)i].game;
        char line[160];
        std::snprintf(line, sizeof line, "%4d  %10lld  %-7s  %6s  %s\n", i + 1, g.score,
                      Run_Outcome_Name(g.outcome), Runs_Length(g.frames).c_str(),
                      Runs_Date(g).c_str());
        text += line;
    }
    return text;
}

std::vector<MENU_RUN_ROW_TYP> Runs_Menu_Rows(const std::vector<HALL_ENTRY_TYP> &ranked) {
    std::vector<MENU_RUN_ROW_TYP> rows;
    for (size_t i = 0; i < ranked.size() && i < (size_t)RUNS_HALL_ROWS; i++) {
        const RUN_GAME_TYP &g = ranked[i].game;
        char label[64];
        std::snprintf(label, sizeof label, "%2d %7lld %s", (int)i + 1, g.score,
                      Run_Outcome_Name(g.outcome));
        std::string date = Runs_Date(g);
        rows.push_back({label,
                        Runs_Length(g.frames) + "  " + (date.size() > 5 ? date.substr(5) : date),
                        ranked[i].file, g.number});
    }
    return rows;
}

long long Runs_Best_Score(const HALL_TYP &hall) {
    std::vector<HALL_ENTRY_TYP> ranked = Runs_Ranked(hall, 0);
    return ranked.empty() ? -1 : ranked[0].game.score;
}

int Runs_Print_Scores(const char *program, const std::string &folder) {
    HALL_TYP hall;
    Runs_Read(folder, &hall);
    for (const std::string &line : hall.skipped)
        std::fprintf(stderr, "%s: %s\n", program, line.c_str());
    std::fputs(Runs_Table(Runs_Ranked(hall, 0), RUNS_HALL_ROWS).c_str(), stdout);
    std::vector<HALL_ENTRY_TYP> practice = Runs_Ranked(hall, 1);
    if (!practice.empty())
        std::printf("practice (F5 or R used):\n%s", Runs_Table(practice, RUNS_HALL_ROWS).c_str());
    return 0;
}

std::string Runs_Start_Session(const char *program, const std::string &folder, HALL_TYP *hall) {
    std::vector<std::string> problems;
    Runs_Read(folder, hall);
    Runs_Prune(*hall, RUNS_KEEP_BEST, RUNS_KEEP_LAST, &problems);
    for (const std::string &line : hall->skipped)
        std::fprintf(stderr, "%s: %s\n", program, line.c_str());
    for (const std::string &line : problems)
        std::fprintf(stderr, "%s: %s\n", program, line.c_str());
    std::string error, path = Runs_New_Session(folder, &error);
    if (path.empty()) std::fprintf(stderr, "%s: %s\n", program, error.c_str());
    return path;
}

int Runs_Export(const char *program, const std::string &folder, int rank, const char *file) {
    HALL_TYP hall;
    Runs_Read(folder, &hall);
    std::vector<HALL_ENTRY_TYP> ranked = Runs_Ranked(hall, 0);
    if (rank < 1 || (size_t)rank > ranked.size()) {
        std::fprintf(stderr, "%s: no game of rank %d in %s (%d kept)\n", program, rank,
                     folder.c_str(), (int)ranked.size());
        return 1;
    }
    const HALL_ENTRY_TYP &e = ranked[(size_t)rank - 1];
    std::string text, error;
    if (!Read_Key_Script_Text(e.file.c_str(), &text, &error)) error = e.file + ": " + error;
    if (!error.empty() || !Write_Whole_File(file, text.data(), text.size(), &error)) {
        std::fprintf(stderr, "%s: %s\n", program, error.c_str());
        return 1;
    }
    std::printf("%s: game %d of the session (score %lld); play it with --replay %s, verify it "
                "with farwake-headless --verify %s --game %d\n",
                file, e.game.number, e.game.score, file, file, e.game.number);
    return 0;
}
