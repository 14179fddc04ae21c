// Recorded games: the recording reader's rules on good, truncated and edited files, the entity
// line worked out by hand, and record-then-replay round trips through farwake-headless.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "tests/support/temp_folder.h"
#include "shell/state_log.h"
#include "engine/input/dik_names.h"
#include "engine/input/replay_file.h"

namespace {

// A line a recorder would write for a state line, with its CRC worked out independently.
std::string Check(int read, const std::string &line) {
    char head[64];
    uLong crc = crc32(crc32(0L, Z_NULL, 0), (const Bytef *)line.data(), (uInt)line.size());
    snprintf(head, sizeof head, "# check %d %08lx ", read, crc);
    return head + line + "\n";
}

int Parse(const std::string &text, REPLAY_TYP *replay, std::string *error) {
    KEY_SCRIPT_TYP script;
    if (!Parse_Key_Script(text, &script, error)) return 0;
    return Parse_Replay(script, replay, error);
}

const std::string HEADER = "# farwake 1.0.0 recording, build farwake\n# seed 4242\n";
const std::string LINE5 = "{\"read\":5,\"frame\":0,\"score\":0,\"frame_crc\":17}";

TEST(RecordingFile, HeaderSeedChecksAndEnd) {
    // CRC-32's published check value: the nine digits give cbf43926.
    EXPECT_EQ(Text_Crc("123456789"), 0xCBF43926u);
    REPLAY_TYP r;
    std::string error;
    ASSERT_TRUE(Parse(HEADER + "0 ESCAPE\n10-20 UP LCONTROL\n" + Check(5, LINE5) +
                          "# check 30 0000abcd\n# a note\n# end 40\n",
                      &r, &error))
        << error;
    EXPECT_EQ(r.version, "1.0.0");
    EXPECT_EQ(r.build, "farwake");
    EXPECT_EQ(r.seed, 4242u);
    ASSERT_EQ(r.checks.size(), 2u);
    EXPECT_EQ(r.checks[0].read, 5);
    EXPECT_EQ(r.checks[0].line, LINE5);
    EXPECT_EQ(r.checks[1].read, 30);
    EXPECT_EQ(r.checks[1].crc, 0xABCDu);
    EXPECT_TRUE(r.checks[1].line.empty());
    EXPECT_EQ(r.end_reads, 40);
    EXPECT_EQ(r.last_read, 30);
    EXPECT_EQ(r.stop_signal, 0);
    EXPECT_EQ(Format_Check_Line(5, LINE5) + "\n", Check(5, LINE5).substr(2));
    // A recorder that crashed left a stop line in place of the end.
    ASSERT_TRUE(Parse(HEADER + "0-9 UP\n# stopped by signal 11 after read 9\n", &r, &error))
        << error;
    EXPECT_EQ(r.stop_signal, 11);
    EXPECT_EQ(r.end_reads, 10);
    // CRLF line ends and a seed of 2^32-1 are fine.
    ASSERT_TRUE(Parse("# seed 4294967295\r\n0 ESCAPE\r\n# end 1\r\n", &r, &error)) << error;
    EXPECT_EQ(r.seed, 4294967295u);
}

TEST(RecordingFile, TruncatedAndEditedFilesAreRefused) {
    struct Case {
        std::string text, message;
    } cases[] = {
        {"", "no '# seed'"},
        {"0 ESCAPE\n10-20 UP\n", "no '# seed'"},
        {HEADER + "0 ESCAPE\n12-4", "bad read range"},
        {HEADER + "0 ESCAPE\n10 LCONT\n", "unknown key"},
        {HEADER + "# seed 1\n# end 5\n", "a second seed"},
        {HEADER + "# end 5\n# end 6\n", "a second end"},
        {"# seed 4294967296\n# end 1\n", "bad seed"},
        {"# seed -1\n# end 1\n", "bad seed"},
        {HEADER + "# check 5 12345\n# end 9\n", "bad check"},
        {HEADER + "# check x 00000000\n# end 9\n", "bad check"},
        {HEADER + "# check 9 00000000\n# check 9 00000000\n# end 20\n", "out of order"},
        // One digit of the state line changed, or its tail cut off.
        {HEADER + "# check 5 " + Check(5, LINE5).substr(10, 8) + " " +
             "{\"read\":5,\"frame\":0,\"score\":9,\"frame_crc\":17}\n# end 9\n",
         "edited"},
        {HEADER + Check(5, LINE5).substr(0, 40) + "\n# end 9\n", "edited"},
        {HEADER + Check(6, LINE5) + "# end 9\n", "not the one of read 6"},
        {HEADER + "0-50 UP\n# end 50\n", "after the recorded end"},
        {HEADER + Check(5, LINE5) + "# end 5\n", "after the recorded end"},
        {"# farwake 1.0.0 recording, build farwake999\n# seed 1\n# end 1\n", "header"},
        {HEADER + "# stopped by signal 11\n", "bad stop line"},
        {HEADER + "# closed after read\n", "bad closed line"},
        {HEADER + "# closed after read 9 now\n", "bad closed line"},
        {HEADER + "# closed after read 4\n# end 5\n", "a second end"},
        {HEADER + "0-50 UP\n# closed after read 20\n", "after the recorded end"},
    };
    for (const Case &c : cases) {
        REPLAY_TYP r;
        std::string error;
        EXPECT_FALSE(Parse(c.text, &r, &error)) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.text << " gave: " << error;
    }
    REPLAY_TYP r;
    std::string error;
    EXPECT_FALSE(Load_Replay("/nonexistent/recording", &r, &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

// A recorder stopped without its end line (killed, power cut, full disk) left every line it had
// flushed: the file replays up to its last complete check, or its last span without checks.
TEST(RecordingFile, CutRecordingsEndAtTheirLastCompleteCheck) {
    const std::string full = HEADER + "0 ESCAPE\n5-9 UP\n" + Check(5, LINE5) +
                             "# check 30 0000abcd\n31-40 LEFT\n# end 41\n";
    auto upto = [&](const std::string &marker, int extra) {
        return full.substr(0, full.find(marker) + extra);
    };
    struct Case {
        std::string text;
        int end_reads, checks, half_line;
    } cases[] = {
        // Right after the second check's line: both checks count, the game ends after read 30.
        {upto("31-40", 0), 31, 2, 0},
        // Inside the last span's line ("31-4"): the half line is left out.
        {upto("31-40", 4), 31, 2, 1},
        // A whole span after the last check is past the end point: still read 30.
        {upto("# end", 0), 31, 2, 0},
        // "# end 4" of "# end 41": a cut end line is not taken for an end.
        {upto("# end", 7), 31, 2, 1},
        // Inside the second check's CRC: that check is gone, the first one stays.
        {upto("# check 30", 15), 6, 1, 1},
        // Inside the first check's state line: no check is left, the span before it counts.
        {upto("# check 5", 30), 10, 0, 1},
        // Right after a span, before the first check: the game plays up to the span's last read.
        {upto("# check 5", 0), 10, 0, 0},
        // Cut in the first span: only read 0 is known.
        {upto("5-9", 2), 1, 0, 1},
        // Nothing after the seed.
        {upto("0 ESCAPE", 0), 0, 0, 0},
    };
    for (const Case &c : cases) {
        REPLAY_TYP r;
        std::string error;
        ASSERT_TRUE(Parse_Replay_Text(c.text, &r, &error)) << c.text << "\n" << error;
        EXPECT_EQ(r.cut, 1) << c.text;
        EXPECT_EQ(r.end_reads, c.end_reads) << c.text;
        EXPECT_EQ((int)r.checks.size(), c.checks) << c.text;
        EXPECT_EQ(r.half_line, c.half_line) << c.text;
        EXPECT_EQ(r.stop_signal, 0);
    }
    // The whole file, and the whole file without its last newline, are not cut.
    for (const std::string &text : {full, full.substr(0, full.size() - 1)}) {
        REPLAY_TYP r;
        std::string error;
        ASSERT_TRUE(Parse_Replay_Text(text, &r, &error)) << error;
        EXPECT_EQ(r.cut, 0);
        EXPECT_EQ(r.end_reads, 41);
    }
    // Still refused: a cut before the seed, a damaged line before the cut, a broken line after
    // the end (an edit, not a cut).
    struct Bad {
        std::string text, message;
    } bad[] = {
        {HEADER.substr(0, HEADER.size() - 3), "no '# seed'"},
        {HEADER + "0 ESCAPE\n5-9 UPP\n" + Check(5, LINE5).substr(0, 30), "unknown key"},
        {HEADER + Check(5, LINE5).substr(0, 40) + "\n0 ESCAPE\n7", "edited"},
        {full + "12-", "bad read range"},
    };
    for (const Bad &b : bad) {
        REPLAY_TYP r;
        std::string error;
        EXPECT_FALSE(Parse_Replay_Text(b.text, &r, &error)) << b.text;
        EXPECT_NE(error.find(b.message), std::string::npos) << b.text << " gave: " << error;
    }
}

TEST(RecordingFile, KeyNamesBothWays) {
    EXPECT_STREQ(Dik_Name(0x1D), "LCONTROL");
    EXPECT_STREQ(Dik_Name(0x38), "LMENU"); // the first of its names, not the alias LALT
    EXPECT_STREQ(Dik_Name(0x01), "ESCAPE");
    EXPECT_EQ(Dik_Name(0x00), nullptr);
    EXPECT_EQ(Dik_From_Name("0x9A"), 0x9A);
    EXPECT_EQ(Dik_From_Name("0xff"), 0xFF);
    EXPECT_EQ(Dik_From_Name("0x1"), -1);
    EXPECT_EQ(Dik_From_Name("0x1D0"), -1);
    EXPECT_EQ(Dik_From_Name("0xZZ"), -1);
    for (int code = 0; code < 256; code++)
        if (const char *name = Dik_Name(code)) {
            EXPECT_EQ(Dik_From_Name(name), code) << name;
        }
}

TEST(StateLines, FrameCrcLeftOutOnlyWhileTheSwitchIsOff) {
    std::string a = "{\"read\":3,\"frame_crc\":12345}", b = "{\"read\":3,\"frame_crc\":999}";
    EXPECT_EQ(Without_Frame_Crc(a), "{\"read\":3}");
    EXPECT_EQ(Without_Frame_Crc("{\"read\":3}"), "{\"read\":3}");
    EXPECT_EQ(Same_State_Line(a, b), Replay_Checks_Frame_Crc() ? 0 : 1);
    EXPECT_TRUE(Same_State_Line(a, a));
    EXPECT_FALSE(Same_State_Line(a, "{\"read\":4,\"frame_crc\":12345}"));
}

// ---- the entity line -------------------------------------------------------------------------

void Clear_World() {
    auto clear = [](BOB_TYP *pool, int n) {
        for (int i = 0; i < n; i++)
            pool[i] = BOB_TYP{};
    };
    clear(craft, MAX_CRAFT);
    clear(stations, MAX_STATIONS);
    clear(missiles, MAX_MISSILES);
    clear(bullets, MAX_BULLETS);
    clear(powerups, MAX_POWERUPS);
    explosion = BOB_TYP{};
    for (PARTICLE_TYP &p : particles)
        p = PARTICLE_TYP{};
    for (STAR_TYP &s : stars)
        s = STAR_TYP{};
}

TEST(EntityLines, LiveRecordsInSlotOrderWorkedOutByHand) {
    Clear_World();
    BOB_TYP &c = craft[19];
    c.state = 2;
    c.int_vars[0] = -1200;
    c.int_vars[1] = 35;
    c.int_vars[2] = 35;
    c.int_vars[3] = 24;
    c.float_vars[0] = 0.1f; // prints with the nine digits that read back as the same float
    c.float_vars[1] = -2.5f;
    c.xv = -3;
    c.yv = 4;
    c.counter_1 = 7;
    c.counter_2 = 60;
    c.curr_frame = 1;
    craft[4].state = 1;
    bullets[49].state = 1;
    bullets[49].int_vars[0] = 5;
    bullets[49].counter_1 = 30;
    explosion.curr_frame = 3; // not live, still listed
    particles[2] = PARTICLE_TYP{10, -20, 1, -1, 31};
    particles[0] = PARTICLE_TYP{1, 1, 1, 1, 0}; // life 0 is a free slot
    std::string want_stars;
    {
        // 400 stars of (0, 0) but star 1 at (1, -2): little-endian 32-bit x, y in order.
        stars[1] = STAR_TYP{1, -2};
        uint8_t bytes[MAX_STARS * 8] = {};
        bytes[8] = 1;
        bytes[12] = 0xFE;
        bytes[13] = bytes[14] = bytes[15] = 0xFF;
        want_stars = std::to_string(crc32(crc32(0L, Z_NULL, 0), bytes, sizeof bytes));
    }
    EXPECT_EQ(Format_Entity_Line(77),
              "{\"read\":77,\"craft\":[[4,1,0,0,0,0,0,0,0,0,0,0,0],"
              "[19,2,-1200,35,35,24,0.100000001,-2.5,-3,4,7,60,1]],"
              "\"stations\":[],\"missiles\":[],\"bullets\":[[49,1,5,0,0,0,0,0,0,0,30,0,0]],"
              "\"powerups\":[],\"explosion\":[[0,0,0,0,0,0,0,0,0,0,0,0,3]],"
              "\"particles\":[[2,10,-20,1,-1,31]],\"stars_crc\":" +
                  want_stars + "}");
    EXPECT_EQ(strtof("0.100000001", nullptr), 0.1f);
    Clear_World();
}

// ---- round trips through farwake-headless ----------------------------------------------------

class Recording : public TempFolderTest {
  protected:
    // Records a game of seed 9876 under a fixed key script: turning, thrust, gun and missiles.
    void Record() {
        Write("keys.txt", "0 ESCAPE\n5-150 UP\n20-90 RIGHT LCONTROL\n100-240 LEFT LMENU\n"
                          "160-200 TAB LCONTROL\n");
        ASSERT_EQ(Run("--seed 9876 --keys '" + dir + "/keys.txt' --frames 260 --record '" + dir +
                      "/game.rec' --state '" + dir + "/recorded.jsonl' --entities '" + dir +
                      "/entities.jsonl'"),
                  0)
            << Read("err.txt");
    }
    static std::vector<std::string> Lines(const std::string &text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);)
            out.push_back(l);
        return out;
    }
};

TEST_F(Recording, ReplaysToTheBitOnEveryRunAndFromAnyFolder) {
    Record();
    std::string rec = Read("game.rec");
    std::vector<std::string> state = Lines(Read("recorded.jsonl"));
    ASSERT_GT(state.size(), 200u);
    EXPECT_EQ(rec.rfind("# farwake ", 0), 0u) << rec.substr(0, 80);
    EXPECT_NE(rec.find("\n# seed 9876\n"), std::string::npos);
    // A check every 100 game frames from the first, and one for the last frame.
    size_t frames = state.size();
    size_t want_checks = (frames + 99) / 100 + ((frames - 1) % 100 != 0);
    REPLAY_TYP replay;
    std::string error;
    ASSERT_TRUE(Load_Replay((dir + "/game.rec").c_str(), &replay, &error)) << error;
    ASSERT_EQ(replay.checks.size(), want_checks);
    // Each check holds the state line --state wrote for its read, frame_crc and all.
    for (const REPLAY_CHECK_TYP &c : replay.checks) {
        bool found = false;
        for (const std::string &l : state)
            found = found || l == c.line;
        EXPECT_TRUE(found) << c.line;
    }
    EXPECT_EQ(replay.checks.back().line, state.back());
    // The keys come back as written: read 95 holds only UP (RIGHT LCONTROL ended at 90).
    uint8_t keys[256];
    Keys_At_Read(replay.script, 95, keys);
    int held = 0;
    for (int k = 0; k < 256; k++)
        held += keys[k] != 0;
    EXPECT_EQ(held, 1);
    EXPECT_NE(keys[0xC8], 0);

    // Twice, and from another folder with the data given by --data.
    std::string want = "replay matches (" + std::to_string(want_checks) + " checks)\n";
    for (int run = 0; run < 2; run++) {
        ASSERT_EQ(Run("--replay '" + dir + "/game.rec' --state '" + dir + "/again.jsonl'"), 0)
            << Read("err.txt");
        EXPECT_EQ(Read("out.txt"), want);
        EXPECT_EQ(Read("again.jsonl"), Read("recorded.jsonl"));
    }
    ASSERT_EQ(Run("--data '" + data + "' --replay game.rec --state other.jsonl", dir), 0)
        << Read("err.txt");
    EXPECT_EQ(Read("out.txt"), want);
    EXPECT_EQ(Read("other.jsonl"), Read("recorded.jsonl"));
    // A recording of the replay is the recording again.
    ASSERT_EQ(Run("--replay '" + dir + "/game.rec' --record '" + dir + "/copy.rec'"), 0);
    EXPECT_EQ(Read("copy.rec"), rec);
}

TEST_F(Recording, EntityLinesFollowTheStateLines) {
    Record();
    std::vector<std::string> state = Lines(Read("recorded.jsonl"));
    std::vector<std::string> ents = Lines(Read("entities.jsonl"));
    ASSERT_EQ(ents.size(), state.size());
    int with_missiles = 0;
    for (size_t i = 0; i < ents.size(); i++) {
        // The same read opens both lines.
        std::string head = state[i].substr(0, state[i].find(','));
        EXPECT_EQ(ents[i].rfind(head + ",\"craft\":[", 0), 0u) << ents[i].substr(0, 40);
        with_missiles += ents[i].find("\"missiles\":[]") == std::string::npos;
        EXPECT_NE(ents[i].find(",\"explosion\":[[0,"), std::string::npos);
    }
    EXPECT_GT(with_missiles, 0);
}

TEST_F(Recording, EditedAndTruncatedRecordingsFailClearly) {
    Record();
    std::string rec = Read("game.rec");
    // Other keys in one span: the game goes another way, and the first check after shows it.
    std::string edited = rec;
    size_t at = edited.find(" RIGHT");
    ASSERT_NE(at, std::string::npos);
    edited.replace(at, 6, " LEFT");
    Write("keys_edited.rec", edited);
    EXPECT_EQ(Run("--replay '" + dir + "/keys_edited.rec'"), 1);
    std::string err = Read("err.txt");
    EXPECT_NE(err.find("replay differs at read "), std::string::npos) << err;
    EXPECT_NE(err.find("  expected: {\"read\":"), std::string::npos) << err;
    EXPECT_NE(err.find("  actual:   {\"read\":"), std::string::npos) << err;
    EXPECT_EQ(Read("out.txt"), "");
    // Another seed: the very first check differs.
    std::string reseeded = rec;
    reseeded.replace(reseeded.find("# seed 9876"), 11, "# seed 9877");
    Write("seed.rec", reseeded);
    EXPECT_EQ(Run("--replay '" + dir + "/seed.rec'"), 1);
    // Without the Escape that ended it, the game would play on past its last check.
    std::string endless;
    for (const std::string &l : Lines(rec))
        if (l.find("ESCAPE") == std::string::npos || l.rfind("0 ", 0) == 0) endless += l + "\n";
    Write("endless.rec", endless);
    EXPECT_EQ(Run("--replay '" + dir + "/endless.rec'"), 1);
    EXPECT_NE(Read("err.txt").find("expected: (the recorded game had ended)"), std::string::npos)
        << Read("err.txt");
    // A state line changed by hand no longer matches its CRC.
    std::string line_edit = rec;
    at = line_edit.find("\"score\":0");
    ASSERT_NE(at, std::string::npos);
    line_edit[at + 8] = '5';
    Write("line.rec", line_edit);
    EXPECT_EQ(Run("--replay '" + dir + "/line.rec'"), 1);
    EXPECT_NE(Read("err.txt").find("edited"), std::string::npos) << Read("err.txt");
    // Cut before its seed: nothing to replay.
    for (size_t len : {rec.find("# seed"), (size_t)1, (size_t)0}) {
        Write("cut.rec", rec.substr(0, len));
        EXPECT_EQ(Run("--replay '" + dir + "/cut.rec'"), 1) << len;
        EXPECT_NE(Read("err.txt").find("no '# seed'"), std::string::npos) << len;
    }
    // A recording of the other build, and options that do not go with a replay.
    std::string other = rec;
    other.replace(other.find("build farwake"), 13, "build farwake565");
    Write("565.rec", other);
    EXPECT_EQ(Run("--replay '" + dir + "/565.rec'"), 1);
    EXPECT_NE(Read("err.txt").find("recorded by farwake565"), std::string::npos);
    EXPECT_EQ(Run("--replay '" + dir + "/game.rec' --seed 3"), 2);
    EXPECT_EQ(Run("--replay '" + dir + "/game.rec' --keys '" + dir + "/keys.txt'"), 2);
    EXPECT_EQ(Run("--replay"), 2);
    EXPECT_EQ(Run("--record /nonexistent/dir/x.rec --frames 3"), 1);
}

TEST_F(Recording, ACrashKeepsTheGameUpToIt) {
    // The runner is stopped by a segmentation fault in the middle of a long game.
    Write("keys.txt", "0 ESCAPE\n5-900000 UP LCONTROL\n150-900000 RIGHT\n");
    // It is stopped once its recording holds three checks (or after a minute on a slow machine).
    std::string rec = dir + "/crash.rec";
    std::string cmd =
        "cd '" + data + "' && { '" + FW_HEADLESS + "' --seed 31 --keys '" + dir +
        "/keys.txt' --frames 900000 --record '" + rec + "' & pid=$!; i=0; while [ $(cat '" + rec +
        "' 2>/dev/null | grep -c '^# check') -lt 3 ] && [ $i -lt 600 ]; do sleep 0.1; "
        "i=$((i+1)); done; kill -SEGV $pid; wait $pid; } 2>/dev/null";
    int rc = system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc));
    EXPECT_NE(WEXITSTATUS(rc), 0); // 139 here; AddressSanitizer reports the signal its own way
    REPLAY_TYP r;
    std::string error;
    ASSERT_TRUE(Load_Replay(rec.c_str(), &r, &error)) << error;
    EXPECT_EQ(r.stop_signal, SIGSEGV);
    ASSERT_GE(r.checks.size(), 3u);
    // The open span reaches the last read made: UP, LCONTROL and RIGHT held at it.
    uint8_t keys[256];
    Keys_At_Read(r.script, r.end_reads - 1, keys);
    EXPECT_TRUE(keys[0xC8] && keys[0x1D] && keys[0xCD]);
    // Everything up to the crash replays.
    ASSERT_EQ(Run("--replay '" + rec + "'"), 0) << Read("err.txt");
    EXPECT_EQ(Read("out.txt").rfind("replay matches (" + std::to_string(r.checks.size()) +
                                        " checks)\nthe recorded run was stopped by signal 11",
                                    0),
              0u)
        << Read("out.txt");
}

} // namespace
