// The simulated display of farwake-headless (--refresh, --presents): even motion at every
// refresh, no smear across a reset, the game's own pictures with smoothing off, and game frames
// that stay the same to the byte whatever the display.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

struct Present {
    double t, alpha, x, y;
    int frame;
    unsigned long crc;
};

// A number after "key": in a JSON line; NAN when absent.
double Number(const std::string &line, const char *key, size_t from = 0) {
    std::string k = std::string("\"") + key + "\":";
    size_t at = line.find(k, from);
    return at == std::string::npos ? NAN : strtod(line.c_str() + at + k.size(), nullptr);
}

std::vector<std::string> Lines(const std::string &path) {
    std::vector<std::string> lines;
    FILE *in = fopen(path.c_str(), "r");
    char buf[16384];
    while (in && fgets(buf, sizeof buf, in))
        lines.push_back(buf);
    if (in) fclose(in);
    return lines;
}

std::string Slurp(const std::string &path) {
    std::string all;
    for (const std::string &l : Lines(path))
        all += l;
    return all;
}

class Presents : public TempFolderTest {
  protected:
    // Runs the game with the keys and options; 0 on success.
    int Run(const std::string &keys, int frames, const std::string &name,
            const std::string &extra) {
        std::string k = dir + "/keys.txt";
        FILE *f = fopen(k.c_str(), "w");
        if (!f) return -1;
        fputs(keys.c_str(), f);
        fclose(f);
        std::string cmd = std::string("'") + FW_HEADLESS + "' --seed 77 --keys '" + k +
                          "' --frames " + std::to_string(frames) + " --state '" + dir + "/" + name +
                          ".state' --entities '" + dir + "/" + name + ".ent' " + extra;
        return system(cmd.c_str());
    }
    std::vector<Present> Read_Presents(const std::string &name) {
        std::vector<Present> out;
        for (const std::string &l : Lines(dir + "/" + name)) {
            Present p{};
            p.t = Number(l, "t");
            p.frame = (int)Number(l, "frame");
            p.alpha = Number(l, "alpha");
            size_t cam = l.find("\"camera\": [");
            if (cam != std::string::npos) sscanf(l.c_str() + cam + 11, "%lf, %lf", &p.x, &p.y);
            p.crc = (unsigned long)Number(l, "crc");
            out.push_back(p);
        }
        return out;
    }
    // frame -> frame_crc, from the state lines
    std::map<int, unsigned long> Frame_Crcs(const std::string &name) {
        std::map<int, unsigned long> crcs;
        for (const std::string &l : Lines(dir + "/" + name + ".state"))
            crcs[(int)Number(l, "frame")] = (unsigned long)Number(l, "frame_crc");
        return crcs;
    }
};

// Thrust straight ahead for two seconds, then coast: under the speed limit nothing slows the
// ship, so it keeps one speed to the end.
const char *const kCruise = "0 ESCAPE\n1-60 UP\n";

TEST_F(Presents, ShipAtConstantSpeedMovesTheSameDistanceAtEveryRefresh) {
    ASSERT_EQ(Run(kCruise, 400, "plain", ""), 0);
    // The game's own step per frame, where it has stopped changing.
    std::vector<std::string> state = Lines(dir + "/plain.state");
    ASSERT_GT(state.size(), 300u);
    std::vector<double> x, y;
    for (const std::string &l : state) {
        size_t p = l.find("\"player\":");
        x.push_back(Number(l, "x", p));
        y.push_back(Number(l, "y", p));
    }
    const int first = 100, last = 380; // frames well into the coast
    const double step = std::hypot(x[first] - x[first - 1], y[first] - y[first - 1]);
    ASSERT_GT(step, 5.0);
    for (int f = first; f <= last; f++)
        ASSERT_NEAR(std::hypot(x[f] - x[f - 1], y[f] - y[f - 1]), step, step * 0.001) << f;

    for (int hz : {60, 120, 144}) {
        std::string name = "p" + std::to_string(hz);
        ASSERT_EQ(
            Run(kCruise, 400, name,
                "--refresh " + std::to_string(hz) + " --presents '" + dir + "/" + name + ".jsonl'"),
            0);
        std::vector<Present> ps = Read_Presents(name + ".jsonl");
        const double per_refresh = step * (1000.0 / hz) / 30.0;
        int checked = 0;
        for (size_t i = 1; i < ps.size(); i++) {
            if (ps[i - 1].frame < first || ps[i].frame > last) continue;
            EXPECT_NEAR(ps[i].t - ps[i - 1].t, 1000.0 / hz, 0.01) << hz;
            double d = std::hypot(ps[i].x - ps[i - 1].x, ps[i].y - ps[i - 1].y);
            EXPECT_NEAR(d, per_refresh, per_refresh * 0.02) << hz << " Hz, present " << i;
            checked++;
        }
        // Every refresh of the stretch: 281 frames of 30 ms.
        EXPECT_NEAR(checked, (last - first + 1) * 30 * hz / 1000, 3) << hz;
    }

    // Smoothing off shows each game frame for one refresh or two: the view stands still at
    // some refreshes and jumps a whole frame's step at others.
    ASSERT_EQ(
        Run(kCruise, 400, "off", "--refresh 60 --smooth off --presents '" + dir + "/off.jsonl'"),
        0);
    std::vector<Present> off = Read_Presents("off.jsonl");
    int still = 0, jumps = 0;
    for (size_t i = 1; i < off.size(); i++) {
        if (off[i - 1].frame < first || off[i].frame > last) continue;
        double d = std::hypot(off[i].x - off[i - 1].x, off[i].y - off[i - 1].y);
        if (d < step * 0.01) still++;
        if (std::fabs(d - step) < step * 0.01) jumps++;
    }
    EXPECT_GT(still, 80);
    EXPECT_GT(jumps, 200);
}

TEST_F(Presents, GameFramesAreTheSameWhateverTheDisplay) {
    // A busy game: turns, guns, missiles, the afterburner, a reset and the debug readout.
    const char *keys = "0 ESCAPE\n1-900 UP LCONTROL\n40-90 RIGHT\n200-260 TAB LMENU\n"
                       "300-303 D\n500-520 LEFT\n600-602 R\n";
    ASSERT_EQ(Run(keys, 900, "plain", ""), 0);
    const std::string state = Slurp(dir + "/plain.state"), ent = Slurp(dir + "/plain.ent");
    ASSERT_FALSE(state.empty());
    ASSERT_FALSE(ent.empty());
    std::map<int, unsigned long> crcs = Frame_Crcs("plain");
    for (const char *smooth : {"on", "off"}) {
        for (int hz : {60, 144}) {
            std::string name = std::string(smooth) + std::to_string(hz);
            ASSERT_EQ(Run(keys, 900, name,
                          "--refresh " + std::to_string(hz) + " --smooth " + smooth +
                              " --presents '" + dir + "/" + name + ".jsonl'"),
                      0);
            EXPECT_EQ(Slurp(dir + "/" + name + ".state"), state) << name;
            EXPECT_EQ(Slurp(dir + "/" + name + ".ent"), ent) << name;
            std::vector<Present> ps = Read_Presents(name + ".jsonl");
            ASSERT_GT(ps.size(), 800u * 30 * hz / 1000) << name;
            int own = 0, between = 0;
            for (const Present &p : ps) {
                ASSERT_TRUE(crcs.count(p.frame)) << name << " frame " << p.frame;
                // The game's own picture wherever a refresh meets a game frame, and everywhere
                // with smoothing off.
                if (p.alpha == 1.0) {
                    EXPECT_EQ(p.crc, crcs[p.frame]) << name << " frame " << p.frame;
                    own++;
                } else {
                    EXPECT_STREQ(smooth, "on");
                    between++;
                }
            }
            EXPECT_GT(own, 0) << name;
            if (std::string(smooth) == "on") {
                EXPECT_GT(between, own) << name;
            }
        }
    }
}

TEST_F(Presents, AResetIsShownAsItIsNotSmeared) {
    // R at read 300 puts the enemy fleet back at its start: a jump for every craft.
    const char *keys = "0 ESCAPE\n1-400 UP\n300 R\n";
    ASSERT_EQ(Run(keys, 400, "r", "--refresh 144 --presents '" + dir + "/r.jsonl'"), 0);
    std::map<int, unsigned long> crcs = Frame_Crcs("r");
    int reset_frame = -1;
    for (const std::string &l : Lines(dir + "/r.state"))
        if ((int)Number(l, "read") == 300) reset_frame = (int)Number(l, "frame");
    ASSERT_GE(reset_frame, 0);
    int shown = 0;
    for (const Present &p : Read_Presents("r.jsonl")) {
        if (p.frame != reset_frame) continue;
        // Every picture of the reset frame is the frame's own, whatever its share.
        EXPECT_EQ(p.crc, crcs[reset_frame]) << p.alpha;
        shown++;
    }
    EXPECT_GE(shown, 4); // 144 Hz: four or five refreshes in a 30 ms frame
}

TEST_F(Presents, BadDisplayOptionsAreRefused) {
    EXPECT_NE(Run("", 5, "bad", "--refresh 0"), 0);
    EXPECT_NE(Run("", 5, "bad", "--refresh 1001"), 0);
    EXPECT_NE(Run("", 5, "bad", "--smooth maybe"), 0);
    EXPECT_NE(Run("", 5, "bad", "--presents '" + dir + "/x.jsonl'"), 0);
    EXPECT_NE(Run("", 5, "bad", "--refresh 60 --presents /nonexistent/dir/x.jsonl"), 0);
}

} // namespace
