// Nothing lost when things go wrong, through farwake-headless: recordings cut anywhere replay up
// to their last check, stop signals leave a stop line, a failed write ends the run at once with
// its reason, and missing data files show in the exit status.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

class Lost : public TempFolderTest {
  protected:
    void TearDown() override {
        // The full-disk case mounts a small file system inside the folder.
        EXPECT_EQ(system(("umount '" + dir + "/small' 2>/dev/null; true").c_str()), 0);
        TempFolderTest::TearDown();
    }
    static std::vector<std::string> Lines(const std::string &text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);)
            out.push_back(l);
        return out;
    }
    // A game of a few hundred frames: turning, thrust, guns and missiles.
    std::string Record(const std::string &name, const std::string &more = "") {
        Write("keys.txt", "0 ESCAPE\n5-150 UP\n20-90 RIGHT LCONTROL\n100-240 LEFT LMENU\n"
                          "160-400 TAB LCONTROL\n");
        EXPECT_EQ(Run("--seed 4321 --keys '" + dir + "/keys.txt' --frames 520 --record '" + dir +
                      "/" + name + "' " + more),
                  0)
            << Read("err.txt");
        return Read(name);
    }
};

// The read a "# check READ ..." line names.
int Check_Read(const std::string &line) {
    return atoi(line.c_str() + 8);
}

TEST_F(Lost, ACutRecordingReplaysToItsLastCompleteCheck) {
    const std::string rec = Record("game.rec");
    std::vector<size_t> check_at; // offset of each check line
    for (size_t at = rec.find("\n# check "); at != std::string::npos;
         at = rec.find("\n# check ", at + 1))
        check_at.push_back(at + 1);
    ASSERT_GE(check_at.size(), 4u);
    const std::string second = rec.substr(check_at[1], rec.find('\n', check_at[1]) - check_at[1]);
    const std::string third = rec.substr(check_at[2], rec.find('\n', check_at[2]) - check_at[2]);
    const size_t span_after_second = rec.find('\n', check_at[1]) + 1;
    ASSERT_NE(rec[span_after_second], '#') << "a span follows the second check";
    struct Case {
        const char *where;
        size_t length;
        int read, checks; // where the replay stops, and the checks it passes
        const char *reason;
    } cases[] = {
        {"right after the third check", check_at[3], Check_Read(third), 3, "no '# end' line"},
        {"inside the span after the second check", span_after_second + 2, Check_Read(second), 2,
         "no '# end' line, and its last line is half written"},
        {"inside the third check's state line", check_at[2] + 60, Check_Read(second), 2,
         "no '# end' line, and its last line is half written"},
        {"before the first check", check_at[0], 0, 0, "no '# end' line"},
        {"inside the end line", rec.rfind("# end") + 6, Check_Read(rec.substr(check_at.back())),
         (int)check_at.size(), "no '# end' line, and its last line is half written"},
    };
    for (const Case &c : cases) {
        Write("cut.rec", rec.substr(0, c.length));
        EXPECT_EQ(Run("--replay '" + dir + "/cut.rec'"), 0) << c.where << ": " << Read("err.txt");
        EXPECT_EQ(Read("out.txt"), "replay matches up to read " + std::to_string(c.read) + " (" +
                                       std::to_string(c.checks) +
                                       " checks); the recording stops there (" + c.reason + ")\n")
            << c.where;
    }
    // A check that does not match is still a failure: other keys before the cut.
    std::string edited = rec.substr(0, check_at[3]);
    size_t right = edited.find(" RIGHT");
    ASSERT_NE(right, std::string::npos);
    edited.replace(right, 6, " LEFT");
    Write("edited.rec", edited);
    EXPECT_EQ(Run("--replay '" + dir + "/edited.rec'"), 1);
    EXPECT_NE(Read("err.txt").find("replay differs at read "), std::string::npos);
    // The whole recording keeps its own verdict.
    EXPECT_EQ(Run("--replay '" + dir + "/game.rec'"), 0);
    EXPECT_EQ(Read("out.txt"), "replay matches (" + std::to_string(check_at.size()) + " checks)\n");
}

TEST_F(Lost, StopSignalsLeaveAStopLineAndEndTheGame) {
    Write("long.txt", "0 ESCAPE\n5-900000 UP LCONTROL\n150-900000 RIGHT\n");
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        std::string rec = dir + "/sig.rec", state = dir + "/sig.jsonl";
        unlink(rec.c_str());
        int rc =
            Run_Then_Signal("--seed 77 --keys '" + dir + "/long.txt' --frames 900000 --record '" +
                                rec + "' --state '" + state + "'",
                            "'" + rec + "'", sig);
        ASSERT_TRUE(WIFEXITED(rc));
        // The game ended its own way, then said which signal stopped it.
        EXPECT_EQ(WEXITSTATUS(rc), 128 + sig);
        std::vector<std::string> lines = Lines(Read("sig.rec"));
        ASSERT_GE(lines.size(), 5u);
        const std::string &last = lines.back();
        std::string stop = "# stopped by signal " + std::to_string(sig) + " after read ";
        ASSERT_EQ(last.rfind(stop, 0), 0u) << last;
        int read = atoi(last.c_str() + stop.size());
        // The game frame of that read is checked just before it.
        EXPECT_EQ(lines[lines.size() - 2].rfind("# check " + std::to_string(read) + " ", 0), 0u)
            << lines[lines.size() - 2].substr(0, 40);
        ASSERT_EQ(Run("--replay '" + rec + "' --state '" + dir + "/again.jsonl'"), 0)
            << Read("err.txt");
        EXPECT_NE(Read("out.txt").find("the recorded run was stopped by signal " +
                                       std::to_string(sig) + " after read " + std::to_string(read)),
                  std::string::npos)
            << Read("out.txt");
        // The replay's game is the recorded one up to the stop, state line for state line.
        std::vector<std::string> recorded = Lines(Read("sig.jsonl")),
                                 again = Lines(Read("again.jsonl"));
        size_t upto = 0;
        while (upto < recorded.size() && atoi(recorded[upto].c_str() + 8) <= read) // {"read":N
            upto++;
        ASSERT_GE(again.size(), upto);
        for (size_t i = 0; i < upto; i++)
            ASSERT_EQ(again[i], recorded[i]) << "line " << i;
    }
}

TEST_F(Lost, AFailedWriteEndsTheRunAtOnceWithItsReason) {
    Write("keys.txt", "0 ESCAPE\n5-2000 UP LCONTROL\n");
    const std::string run = "--seed 5 --keys '" + dir + "/keys.txt' --frames 2000 ";
    // Each output in turn goes to a full device under a name of its own; another log beside it
    // is written fine and stops with the run.
    struct Case {
        const char *option, *name, *beside;
    } cases[] = {
        {"--record", "game.rec", "--state"},     {"--state", "state.jsonl", "--entities"},
        {"--entities", "ents.jsonl", "--state"}, {"--audio", "sound.wav", "--state"},
        {"--shot 40:", "shot.png", "--state"},
    };
    for (const Case &c : cases) {
        std::string full = dir + "/" + c.name;
        ASSERT_EQ(symlink("/dev/full", full.c_str()), 0);
        std::string option = c.option;
        std::string arg = option.back() == ':' ? option + full : option + " '" + full + "'";
        EXPECT_EQ(Run(run + arg + " " + c.beside + " '" + dir + "/beside.jsonl'"), 1) << c.name;
        // Said once, with its reason, and no other file blamed.
        EXPECT_EQ(Read("err.txt"),
                  "farwake-headless: cannot write " + full + ": No space left on device\n")
            << c.name;
        // A whole run writes some two thousand lines; this one stopped within the first frames,
        // and what it wrote is whole lines.
        std::string beside = Read("beside.jsonl");
        EXPECT_LT(Lines(beside).size(), 100u) << c.name;
        EXPECT_TRUE(beside.empty() || beside.back() == '\n') << c.name;
        unlink(full.c_str());
    }
    // A folder that is not there is named with its reason before the run starts.
    EXPECT_EQ(Run(run + "--state '" + dir + "/none/state.jsonl'"), 1);
    EXPECT_EQ(Read("err.txt"), "farwake-headless: cannot write " + dir +
                                   "/none/state.jsonl: No such file or directory\n");
}

TEST_F(Lost, ARecordingCutByAFullDiskReplaysUpToItsLastCheck) {
    std::string small = dir + "/small";
    ASSERT_EQ(mkdir(small.c_str(), 0700), 0);
    std::string mount = "mount -t tmpfs -o size=16k tmpfs '" + small + "' 2>/dev/null";
    if (system(mount.c_str()) != 0)
        GTEST_SKIP() << "cannot mount a 16 KiB tmpfs here (needs root); /dev/full stands in";
    Write("keys.txt", "0 ESCAPE\n5-900000 UP LCONTROL\n150-900000 RIGHT\n");
    EXPECT_EQ(Run("--seed 12 --keys '" + dir + "/keys.txt' --frames 20000 --record '" + small +
                  "/game.rec'"),
              1);
    EXPECT_EQ(Read("err.txt"),
              "farwake-headless: cannot write " + small + "/game.rec: No space left on device\n");
    std::string rec = Read("small/game.rec");
    EXPECT_GE(rec.size(), 12000u);
    EXPECT_EQ(rec.find("# end"), std::string::npos);
    ASSERT_EQ(Run("--replay '" + small + "/game.rec'"), 0) << Read("err.txt");
    EXPECT_EQ(Read("out.txt").rfind("replay matches up to read ", 0), 0u) << Read("out.txt");
}

TEST_F(Lost, MissingDataShowsInTheExitStatus) {
    // A picture that cannot be read sits first in the search path.
    std::string broken = dir + "/broken";
    ASSERT_EQ(mkdir(broken.c_str(), 0700), 0);
    Write("broken/ship.bmp", "not a picture");
    struct Case {
        std::string args;
        int status;
    } cases[] = {
        {"--data '" + broken + "'", 3},
        {"--data '" + broken + "' --allow-missing-data", 0},
        {"", 0},
        // A lost output says more than missing data does.
        {"--data '" + broken + "' --state /dev/full", 1},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Run("--frames 150 " + c.args), c.status) << c.args << ": " << Read("err.txt");
        EXPECT_EQ(Read("err.txt").find("ship.bmp") != std::string::npos, !c.args.empty()) << c.args;
    }
}

} // namespace
