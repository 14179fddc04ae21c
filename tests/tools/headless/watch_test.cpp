// Watching one game of a session: the games before it run unseen, the game itself is checked as
// it plays and the replay stops at its end; a game the session does not hold is refused.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "shell/runs.h"
#include "tests/support/temp_folder.h"

namespace {

class Watch : public TempFolderTest {};

TEST_F(Watch, EachGameOfASessionPlaysAloneAndVerifies) {
    // The session of the runs tests: lost, Enter; lost, Enter; quit.
    ASSERT_EQ(system(("mkdir '" + dir + "/runs'").c_str()), 0);
    Write("keys.txt", "0 ESCAPE\n2-100 LCONTROL\n101-400 LMENU\n320 RETURN\n330-420 LCONTROL\n"
                      "421-620 LMENU\n640 RETURN\n650-800 LCONTROL RIGHT\n");
    ASSERT_EQ(
        Run("--seed 1000 --keys '" + dir + "/keys.txt' --frames 900 --runs '" + dir + "/runs'"), 0)
        << Read("err.txt");
    HALL_TYP hall;
    Runs_Read(dir + "/runs", &hall);
    ASSERT_EQ(hall.games.size(), 3u);
    const std::string session = "'" + hall.sessions[0] + "'";
    // Each row of the menu's page names the game it watches.
    std::vector<HALL_ENTRY_TYP> ranked = Runs_Ranked(hall, 0);
    std::vector<MENU_RUN_ROW_TYP> rows = Runs_Menu_Rows(ranked);
    ASSERT_EQ(rows.size(), 3u);
    for (size_t i = 0; i < rows.size(); i++) {
        EXPECT_EQ(rows[i].file, hall.sessions[0]) << i;
        EXPECT_EQ(rows[i].game, ranked[i].game.number) << i;
    }
    // The first picture of each game, as the whole session's replay shows it.
    std::string shots;
    for (const HALL_ENTRY_TYP &e : hall.games)
        shots += " --shot " + std::to_string(e.game.start_read) + ":'" + dir + "/all" +
                 std::to_string(e.game.number) + ".png'";
    ASSERT_EQ(Run("--replay " + session + shots), 0) << Read("err.txt");
    for (const HALL_ENTRY_TYP &e : hall.games) {
        const RUN_GAME_TYP &g = e.game;
        const std::string k = std::to_string(g.number), png = dir + "/watch" + k + ".png'";
        // Its first read is shown, the same picture as in the whole replay.
        ASSERT_EQ(Run("--replay " + session + " --game " + k + " --shot " +
                      std::to_string(g.start_read) + ":'" + png),
                  0)
            << k << Read("err.txt");
        std::ostringstream want;
        want << "game " << k << " matches (";
        EXPECT_EQ(Read("out.txt").rfind(want.str(), 0), 0u) << Read("out.txt");
        EXPECT_NE(Read("out.txt").find(std::string("): ") + Run_Outcome_Name(g.outcome) +
                                       ", score " + std::to_string(g.score) + "\n"),
                  std::string::npos)
            << Read("out.txt");
        EXPECT_FALSE(Read("watch" + k + ".png").empty());
        EXPECT_EQ(Read("watch" + k + ".png"), Read("all" + k + ".png")) << k;
        // The read before it belongs to the game before, or to the title: run unseen, so no
        // picture comes.
        EXPECT_EQ(Run("--replay " + session + " --game " + k + " --shot " +
                      std::to_string(g.start_read - 1) + ":'" + dir + "/before.png'"),
                  1);
        EXPECT_NE(Read("err.txt").find("never came"), std::string::npos) << Read("err.txt");
    }
    // A game the session does not hold, or none at all.
    struct {
        const char *game;
        int code;
        const char *says;
    } bad[] = {
        {"4", 1, "it holds 3 games, not game 4"},
        {"0", 2, "--game wants a game number from 1, not '0'"},
    };
    for (const auto &b : bad) {
        EXPECT_EQ(Run("--replay " + session + " --game " + b.game), b.code) << b.game;
        EXPECT_NE(Read("err.txt").find(b.says), std::string::npos) << Read("err.txt");
    }
    // A game whose result the keys do not give is not watched as verified.
    std::string text = Read(hall.sessions[0].substr(dir.size() + 1));
    std::string line = "# game 2 lost score " + std::to_string(hall.games[1].game.score) + " ";
    size_t at = text.find(line);
    ASSERT_NE(at, std::string::npos);
    Write("tampered.rec",
          text.substr(0, at) + "# game 2 lost score 99999 " + text.substr(at + line.size()));
    EXPECT_EQ(Run("--replay '" + dir + "/tampered.rec' --game 2"), 1);
    EXPECT_NE(Read("err.txt").find("game 2 differs at read"), std::string::npos) << Read("err.txt");
}

} // namespace
