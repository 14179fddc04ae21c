// The hall of fame: the games lines of a recording (read, refused, cut), the count of a session's
// games frame by frame, the runs folder's ranking and bound, and whole sessions kept, listed and
// verified through farwake-headless.
#include <gtest/gtest.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/input/replay_file.h"
#include "shell/game_tally.h"
#include "shell/runs.h"
#include "shell/state_log.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string HEAD = "# farwake 1.0.0 recording, build farwake\n# seed 7\n0 ESCAPE\n";
const std::string DATE = "2026-12-08T20:00:00Z";

std::string Start(int k, int read, int frame) {
    return "# game " + std::to_string(k) + " start read " + std::to_string(read) + " frame " +
           std::to_string(frame) + " date " + DATE + "\n";
}

std::string Result(int k, const std::string &outcome, int score, int frames, int read,
                   const std::string &practice = "no") {
    return "# game " + std::to_string(k) + " " + outcome + " score " + std::to_string(score) +
           " frames " + std::to_string(frames) + " read " + std::to_string(read) +
           " time 900 date " + DATE + " practice " + practice + "\n";
}

TEST(GameLines, ReadBackOrRefusedWithTheLine) {
    struct Case {
        std::string body;
        std::string error; // "" when it reads
        int games, outcome, score, frames;
    } cases[] = {
        {Start(1, 1, 0) + Result(1, "lost", 300, 40, 50) + Start(2, 51, 50) +
             Result(2, "quit", 0, 10, 60, "yes") + "# end 70\n",
         "", 2, RUN_QUIT, 0, 10},
        // Every frame is a read: 41 frames cannot fit reads 10..50.
        {Start(1, 10, 0) + Result(1, "won", 5, 42, 50) + "# end 70\n", "lasts more frames", 0, 0, 0,
         0},
        {Result(1, "lost", 5, 1, 5) + "# end 70\n", "has not started", 0, 0, 0, 0},
        {Start(2, 1, 0) + "# end 70\n", "out of order", 0, 0, 0, 0},
        {Start(1, 1, 0) + Start(2, 5, 4) + "# end 70\n", "has no result", 0, 0, 0, 0},
        {Start(1, 1, 0) + "# end 70\n", "game 1 has no result line", 0, 0, 0, 0},
        {Start(1, 1, 0) + Result(1, "drawn", 5, 1, 5) + "# end 70\n", "bad game result", 0, 0, 0,
         0},
        {Start(1, 1, 0) + "# game 1 lost score 5 frames 1 read 5 time 9 date 2026-13 practice no\n",
         "bad game result", 0, 0, 0, 0},
        {Start(1, 1, 0) + Result(1, "lost", 5, 1, 5) + Start(2, 5, 1) + "# end 70\n",
         "starts inside the game before", 0, 0, 0, 0},
        {Start(1, 1, 0) + Result(1, "lost", 5, 1, 99) + "# end 70\n", "lies after the recorded end",
         0, 0, 0, 0},
        {"# game 1 start read 99999999999999 frame 0 date " + DATE + "\n# end 70\n",
         "bad game start", 0, 0, 0, 0},
        // Cut without its result: ended at the last check inside it, with that check's score.
        {Start(1, 1, 0) + "1-30 UP\n# " +
             Format_Check_Line(20, "{\"read\":20,\"frame\":19,\"score\":700,\"frame_crc\":1}") +
             "\n",
         "", 1, RUN_CUT, 700, 20},
        // A crash's stop line leaves it cut too.
        {Start(1, 1, 0) + "# stopped by signal 11 after read 9\n", "", 1, RUN_CUT, 0, 0},
    };
    for (const Case &c : cases) {
        REPLAY_TYP r;
        std::string error;
        int ok = Parse_Replay_Text(HEAD + c.body, &r, &error);
        if (!c.error.empty()) {
            EXPECT_FALSE(ok) << c.body;
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
            continue;
        }
        ASSERT_TRUE(ok) << error << "\n" << c.body;
        ASSERT_EQ((int)r.games.size(), c.games) << c.body;
        const RUN_GAME_TYP &g = r.games.back();
        EXPECT_EQ(g.outcome, c.outcome) << c.body;
        EXPECT_EQ(g.score, c.score) << c.body;
        EXPECT_EQ(g.frames, c.frames) << c.body;
    }
    // What the recorder writes reads back as it was.
    RUN_GAME_TYP g;
    g.number = 1;
    g.start_read = 3;
    g.start_date = g.date = DATE;
    g.ended = 1;
    g.outcome = RUN_WON;
    g.score = 12400;
    g.frames = 20;
    g.last_read = 40;
    g.practice = 1;
    REPLAY_TYP r;
    std::string error;
    ASSERT_TRUE(Parse_Replay_Text(HEAD + "# " + Format_Game_Start(g) + "\n# " +
                                      Format_Game_Result(g) + "\n# end 41\n",
                                  &r, &error))
        << error;
    ASSERT_EQ(r.games.size(), 1u);
    EXPECT_TRUE(Same_Game(r.games[0], g)) << Game_Compared_Text(r.games[0]);
}

// One frame of a tally script: the frame's read is its index plus 1.
struct STEP_TYP {
    int score, lost, won, rule_keys;
};

TEST(GameTally, GamesEndWhereThePlayerPlaysOn) {
    struct Case {
        std::vector<STEP_TYP> steps;
        int end_outcome; // how the session ends
        std::vector<std::string> games;
    } cases[] = {
        // Lost at the third frame, Enter at the fifth: game 2 from there, quit.
        {{{0, 0, 0, 0}, {100, 0, 0, 0}, {100, 1, 0, 0}, {200, 1, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
         RUN_QUIT,
         {"game 1 lost score 200 frames 3 read 4 practice no (from read 1, frame 0)",
          "game 2 quit score 0 frames 2 read 6 practice no (from read 5, frame 4)"}},
        // R or F5 while it runs: practice; the key that restarts after a win does not count.
        {{{0, 0, 0, 0}, {0, 0, 0, 1}, {50, 0, 1, 0}, {0, 0, 0, 1}, {0, 0, 0, 0}},
         RUN_QUIT,
         {"game 1 won score 50 frames 3 read 3 practice yes (from read 1, frame 0)",
          "game 2 quit score 0 frames 2 read 5 practice no (from read 4, frame 3)"}},
        // Won, then cut: a cut game counts every frame it ran.
        {{{0, 0, 0, 0}, {10, 0, 1, 0}, {10, 0, 1, 0}},
         RUN_CUT,
         {"game 1 cut score 10 frames 3 read 3 practice no (from read 1, frame 0)"}},
        // Lost and left lost: the session's end keeps the loss.
        {{{0, 0, 0, 0}, {0, 1, 0, 1}},
         RUN_QUIT,
         {"game 1 lost score 0 frames 2 read 2 practice no (from read 1, frame 0)"}},
    };
    for (const Case &c : cases) {
        GAME_TALLY_TYP t;
        for (size_t i = 0; i < c.steps.size(); i++) {
            TALLY_FRAME_TYP f;
            f.read = (int)i + 1;
            f.frame = (int)i;
            f.score = c.steps[i].score;
            f.lost = c.steps[i].lost;
            f.won = c.steps[i].won;
            f.rule_keys = c.steps[i].rule_keys;
            f.clock = 1000 + 30 * (uint32_t)i;
            Tally_Frame(&t, f, DATE);
        }
        EXPECT_EQ(Tally_End(&t, c.end_outcome, DATE), 1);
        EXPECT_EQ(Tally_End(&t, c.end_outcome, DATE), 0); // the session ends once
        ASSERT_EQ(t.games.size(), c.games.size());
        for (size_t i = 0; i < c.games.size(); i++)
            EXPECT_EQ(Game_Compared_Text(t.games[i]), c.games[i]);
    }
}

class Runs : public TempFolderTest {
  protected:
    // A session file of one game in the runs folder.
    void Session(const std::string &name, int score, int frames,
                 const std::string &practice = "no") {
        Write("runs/" + name, HEAD + Start(1, 1, 0) +
                                  Result(1, "lost", score, frames, frames, practice) + "# end " +
                                  std::to_string(frames + 2) + "\n");
    }
    void SetUp() override {
        TempFolderTest::SetUp();
        ASSERT_EQ(system(("mkdir '" + dir + "/runs'").c_str()), 0);
    }
};

TEST_F(Runs, RankedByScoreThenTheShorterThenTheEarlierGame) {
    Session("20261208-100000-000.rec", 500, 90);
    Session("20261208-110000-000.rec", 900, 300);
    Session("20261208-120000-000.rec", 500, 60);
    Session("20261208-090000-000.rec", 500, 60); // same date inside: the earlier file wins
    Session("20261208-130000-000.rec", 5000, 60, "yes");
    HALL_TYP hall;
    Runs_Read(dir + "/runs", &hall);
    EXPECT_TRUE(hall.skipped.empty());
    std::vector<HALL_ENTRY_TYP> ranked = Runs_Ranked(hall, 0);
    ASSERT_EQ(ranked.size(), 4u);
    const char *order[] = {"110000", "090000", "120000", "100000"};
    for (int i = 0; i < 4; i++)
        EXPECT_NE(ranked[i].file.find(order[i]), std::string::npos) << i << ranked[i].file;
    EXPECT_EQ(Runs_Best_Score(hall), 900); // practice stays apart
    ASSERT_EQ(Runs_Ranked(hall, 1).size(), 1u);
    std::string table = Runs_Table(ranked, 2);
    EXPECT_EQ(table, "rank       score  outcome  length  date (UTC)\n"
                     "   1         900  lost       0:09  2026-12-08 20:00\n"
                     "   2         500  lost       0:01  2026-12-08 20:00\n");
}

TEST_F(Runs, TheFolderStaysBoundedAndForeignFilesStay) {
    // Twelve sessions, scores rising with age reversed: the oldest are the best.
    for (int i = 0; i < 12; i++) {
        char name[64];
        snprintf(name, sizeof name, "20261208-%02d0000-000.rec", 10 + i);
        Session(name, 1000 - 10 * i, 50);
    }
    Write("runs/notes.txt", "my best run was the one on Tuesday\n");
    Write("runs/20261208-230000-000.rec", "not a recording\n"); // own name, damaged
    Write("runs/hand.rec", HEAD + Start(1, 1, 0) + Result(1, "lost", 1, 5, 5) + "# end 9\n");
    HALL_TYP hall;
    Runs_Read(dir + "/runs", &hall);
    ASSERT_EQ(hall.skipped.size(), 2u);
    EXPECT_NE(hall.skipped[0].find("20261208-230000-000.rec: skipped"), std::string::npos);
    EXPECT_NE(hall.skipped[1].find("notes.txt: skipped"), std::string::npos);
    std::vector<std::string> problems;
    std::vector<std::string> removed = Runs_Prune(hall, 3, 2, &problems);
    EXPECT_TRUE(problems.empty());
    // Kept: the three best (10, 11, 12 o'clock) and the two newest (20, 21); gone: 13 to 19.
    ASSERT_EQ(removed.size(), 7u);
    for (int h = 10; h < 22; h++) {
        std::string name = "runs/20261208-" + std::to_string(h) + "0000-000.rec";
        EXPECT_EQ(Read(name).empty(), h >= 13 && h <= 19) << name;
    }
    EXPECT_FALSE(Read("runs/notes.txt").empty());
    EXPECT_EQ(Read("runs/20261208-230000-000.rec"), "not a recording\n");
    EXPECT_FALSE(Read("runs/hand.rec").empty());
    // Two sessions made at once never take the same file.
    std::string error, a = Runs_New_Session(dir + "/runs", &error),
                       b = Runs_New_Session(dir + "/runs", &error);
    ASSERT_FALSE(a.empty()) << error;
    EXPECT_NE(a, b);
    EXPECT_TRUE(Runs_Own_Name(a.substr(a.rfind('/') + 1)));
    EXPECT_TRUE(Runs_Own_Name(b.substr(b.rfind('/') + 1)));
    EXPECT_FALSE(Runs_Own_Name("hand.rec"));
    EXPECT_FALSE(Runs_Own_Name("20261208-100000-000-x.rec"));
    // A session that reached no game leaves nothing; one that did stays.
    Runs_End_Session(a, 0);
    Runs_End_Session(b, 1);
    EXPECT_FALSE(std::ifstream(a).good());
    EXPECT_TRUE(std::ifstream(b).good());
    // A folder that cannot be made says so.
    Write("plain", "x");
    EXPECT_TRUE(Runs_New_Session(dir + "/plain/runs", &error).empty());
    EXPECT_NE(error.find("cannot write " + dir + "/plain/runs"), std::string::npos) << error;
}

// The score of the state line of a read, and the first read whose ship is destroyed after from.
struct STATES_TYP {
    std::vector<std::string> lines;
    long long Score(int read) const {
        for (const std::string &l : lines)
            if (l.rfind("{\"read\":" + std::to_string(read) + ",", 0) == 0)
                return State_Line_Score(l);
        return -1;
    }
    int Lost_From(int from) const {
        for (const std::string &l : lines) {
            int read = atoi(l.c_str() + 8);
            if (read >= from && l.find("\"player\":{\"state\":0") != std::string::npos) return read;
        }
        return -1;
    }
};

TEST_F(Runs, ASessionKeepsEachGameAndEachVerifies) {
    // Lost (around read 296 with this seed), Enter; lost again, Enter; then quit at read 900.
    Write("keys.txt", "0 ESCAPE\n2-100 LCONTROL\n101-400 LMENU\n320 RETURN\n330-420 LCONTROL\n"
                      "421-620 LMENU\n640 RETURN\n650-800 LCONTROL RIGHT\n");
    ASSERT_EQ(Run("--seed 1000 --keys '" + dir + "/keys.txt' --frames 900 --runs '" + dir +
                  "/runs' --state '" + dir + "/s.jsonl'"),
              0)
        << Read("err.txt");
    STATES_TYP st;
    std::istringstream in(Read("s.jsonl"));
    for (std::string l; std::getline(in, l);)
        st.lines.push_back(l);
    int lost1 = st.Lost_From(1), lost2 = st.Lost_From(320);
    int last = atoi(st.lines.back().c_str() + 8); // the session's last game frame
    ASSERT_GT(lost1, 1);
    ASSERT_GT(lost2, 320);
    ASSERT_LT(lost2, 640);
    HALL_TYP hall;
    Runs_Read(dir + "/runs", &hall);
    ASSERT_EQ(hall.games.size(), 3u);
    ASSERT_EQ(hall.sessions.size(), 1u);
    struct Want {
        int outcome, start, frames, last;
    } want[] = {{RUN_LOST, 1, lost1, 319},
                {RUN_LOST, 320, lost2 - 320 + 1, 639},
                {RUN_QUIT, 640, last - 640 + 1, last}};
    for (int i = 0; i < 3; i++) {
        const RUN_GAME_TYP &g = hall.games[i].game;
        EXPECT_EQ(g.outcome, want[i].outcome) << i;
        EXPECT_EQ(g.start_read, want[i].start) << i;
        EXPECT_EQ(g.frames, want[i].frames) << i;
        EXPECT_EQ(g.last_read, want[i].last) << i;
        // The score the screen showed at the game's last frame.
        EXPECT_EQ(g.score, st.Score(want[i].last)) << i;
    }
    EXPECT_GT(hall.games[0].game.score, 0);
    const std::string session = hall.sessions[0];
    for (int k = 1; k <= 3; k++) {
        ASSERT_EQ(Run("--verify '" + session + "' --game " + std::to_string(k)), 0)
            << Read("err.txt");
        const RUN_GAME_TYP &g = hall.games[(size_t)k - 1].game;
        EXPECT_EQ(Read("out.txt"),
                  "{\"verified\": true, \"game\": " + std::to_string(k) + ", \"score\": " +
                      std::to_string(g.score) + ", \"outcome\": \"" + Run_Outcome_Name(g.outcome) +
                      "\", \"frames\": " + std::to_string(g.frames) + ", \"practice\": false}\n");
    }
    // A result that the keys do not give: exit 1, with the read where they part.
    std::string text;
    {
        std::ifstream f(session);
        std::stringstream s;
        s << f.rdbuf();
        text = s.str();
    }
    std::string score = " score " + std::to_string(hall.games[1].game.score) + " ";
    size_t at = text.find("# game 2 lost" + score);
    ASSERT_NE(at, std::string::npos);
    Write("tampered.rec", text.substr(0, at) + "# game 2 lost score 99999 " +
                              text.substr(at + std::string("# game 2 lost").size() + score.size()));
    EXPECT_EQ(Run("--verify '" + dir + "/tampered.rec' --game 2"), 1);
    EXPECT_NE(Read("out.txt").find("{\"verified\": false, \"game\": 2, "), std::string::npos)
        << Read("out.txt");
    EXPECT_NE(Read("out.txt").find("\"read\": 639, "), std::string::npos) << Read("out.txt");
    EXPECT_NE(Read("err.txt").find("game 2 differs at read 639"), std::string::npos);
    // Keys that do not give the checks: the games from there on do not verify.
    size_t keys = text.find("\n650-");
    ASSERT_NE(keys, std::string::npos);
    Write("keys.rec", text.substr(0, keys + 1) + "651-" + text.substr(keys + 5));
    EXPECT_EQ(Run("--verify '" + dir + "/keys.rec'"), 1);
    EXPECT_NE(Read("out.txt").find("{\"verified\": true, \"game\": 2,"), std::string::npos);
    EXPECT_NE(Read("out.txt").find("{\"verified\": false, \"game\": 3,"), std::string::npos)
        << Read("out.txt");
    // Without its games lines the recording replays as one made before them, but proves nothing.
    std::string bare;
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);)
        if (l.rfind("# game ", 0) != 0) bare += l + "\n";
    Write("bare.rec", bare);
    EXPECT_EQ(Run("--replay '" + dir + "/bare.rec'"), 0) << Read("err.txt");
    EXPECT_EQ(Run("--verify '" + dir + "/bare.rec' --game 1"), 1);
    EXPECT_NE(Read("out.txt").find("\"expected\": \"(no such game in the recording)\""),
              std::string::npos)
        << Read("out.txt");
    // --scores lists the three from the file alone.
    ASSERT_EQ(Run("--scores --runs '" + dir + "/runs'"), 0);
    std::string table = Read("out.txt");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4) << table;
}

// The pixels of a PNG file as RGB triples (empty when it cannot be read).
std::vector<uint8_t> Png_Pixels(const std::string &path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> px(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, px.data(), 0, nullptr)) return {};
    return px;
}

TEST_F(Runs, TheTitleShowsTheBestScoreOnlyWhenThereIsOne) {
    Write("title.txt", "30 ESCAPE\n");
    auto title = [&](const std::string &more) {
        EXPECT_EQ(
            Run("--keys '" + dir + "/title.txt' --frames 40 --shot '10:" + dir + "/t.png' " + more),
            0)
            << Read("err.txt");
        return Png_Pixels(dir + "/t.png");
    };
    std::vector<uint8_t> plain = title(""), empty = title("--runs '" + dir + "/empty'");
    ASSERT_EQ(plain.size(), 800u * 600 * 3);
    EXPECT_TRUE(plain == empty); // no hall: the title as it always was
    Session("20261208-100000-000.rec", 12400, 90);
    Session("20261208-110000-000.rec", 99999, 90, "yes"); // practice is not the best
    std::vector<uint8_t> best = title("--runs '" + dir + "/runs'");
    ASSERT_EQ(best.size(), plain.size());
    // Only the band's second row, from the best line's place on, differs.
    int changed = 0, outside = 0;
    for (size_t i = 0; i < plain.size(); i += 3) {
        int x = (int)(i / 3 % 800), y = (int)(i / 3 / 800);
        if (plain[i] == best[i] && plain[i + 1] == best[i + 1] && plain[i + 2] == best[i + 2])
            continue;
        if (x >= 712 && y >= 576 && y < 600)
            changed++;
        else
            outside++;
    }
    EXPECT_GT(changed, 100);
    EXPECT_EQ(outside, 0);
    // The practice game's score would be two characters wider than "Best 12400".
    std::vector<uint8_t> alone;
    Write("runs/20261208-110000-000.rec", "");
    alone = title("--runs '" + dir + "/runs'");
    EXPECT_TRUE(alone == best);
}

TEST_F(Runs, AKilledRunIsListedAsCutAndVerifies) {
    Write("long.txt", "0 ESCAPE\n5-900000 UP LCONTROL\n150-900000 RIGHT\n");
    for (int sig : {SIGKILL, SIGTERM}) {
        std::string runs = dir + "/runs" + std::to_string(sig);
        int rc = Run_Then_Signal("--seed 77 --keys '" + dir +
                                     "/long.txt' --frames 900000 --runs '" + runs + "'",
                                 "'" + runs + "'/*.rec", sig);
        ASSERT_TRUE(WIFEXITED(rc));
        HALL_TYP hall;
        Runs_Read(runs, &hall);
        ASSERT_EQ(hall.games.size(), 1u) << sig;
        EXPECT_EQ(hall.games[0].game.outcome, RUN_CUT) << sig;
        EXPECT_GE(hall.games[0].game.frames, 200) << sig;
        ASSERT_EQ(Run("--verify '" + hall.games[0].file + "'"), 0) << sig << Read("err.txt");
        EXPECT_NE(Read("out.txt").find("{\"verified\": true, \"game\": 1, \"score\": " +
                                       std::to_string(hall.games[0].game.score) +
                                       ", \"outcome\": \"cut\""),
                  std::string::npos)
            << Read("out.txt");
    }
}

} // namespace
