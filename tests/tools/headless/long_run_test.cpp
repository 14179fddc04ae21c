// A long seeded game under a busy pseudo-random key script: every frame keeps the ranges the
// rules allow, and the same seed gives the same log line for line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Value of "key": (or "outer":{... "key":) in a state line; NAN when absent.
double Field(const std::string &line, const char *outer, const char *key) {
    size_t from = 0;
    if (outer) {
        from = line.find(std::string("\"") + outer + "\":");
        if (from == std::string::npos) return NAN;
    }
    std::string k = std::string("\"") + key + "\":";
    size_t at = line.find(k, from);
    return at == std::string::npos ? NAN : strtod(line.c_str() + at + k.size(), nullptr);
}

// A script of 1500 reads: thrust, afterburner, turns and both guns in bursts, with toggles,
// refills, resets and restarts now and then. Made by a fixed generator, so it never changes.
std::string Busy_Script() {
    static const char *const keys[] = {"UP", "TAB", "LEFT", "RIGHT", "LCONTROL", "LMENU",
                                       "D",  "F10", "F5",   "R",     "RETURN"};
    static const int weight[] = {30, 12, 14, 14, 30, 6, 1, 1, 2, 1, 3};
    std::string s = "0 ESCAPE\n";
    unsigned seed = 12345;
    for (int read = 1; read < 1500;) {
        seed = seed * 1103515245u + 12345u;
        int len = 1 + (seed >> 16) % 40;
        seed = seed * 1103515245u + 12345u;
        int pick = (seed >> 16) % 114, k = 0;
        while (pick >= weight[k])
            pick -= weight[k++];
        s += std::to_string(read) + "-" + std::to_string(read + len - 1) + " " + keys[k] + "\n";
        seed = seed * 1103515245u + 12345u;
        read += 1 + (seed >> 16) % 20;
    }
    return s;
}

std::vector<std::string> Run_Busy(const std::string &dir, const std::string &seed) {
    std::string keys = dir + "/keys.txt", state = dir + "/state.jsonl";
    FILE *f = fopen(keys.c_str(), "w");
    if (!f) return {};
    fputs(Busy_Script().c_str(), f);
    fclose(f);
    std::string cmd = std::string("'") + FW_HEADLESS + "' --seed " + seed + " --keys '" + keys +
                      "' --frames 1500 --state '" + state + "'";
    if (system(cmd.c_str()) != 0) return {};
    std::vector<std::string> lines;
    FILE *in = fopen(state.c_str(), "r");
    char buf[8192];
    while (in && fgets(buf, sizeof buf, in))
        lines.push_back(buf);
    if (in) fclose(in);
    return lines;
}

TEST(LongRun, EveryFrameWithinTheRulesAndReproducible) {
    char tmpl[] = "/tmp/fw_longrun_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    std::vector<std::string> a = Run_Busy(dir, "31337");
    ASSERT_EQ(a.size(), 1501u); // reads 1..1499, 1500 with Escape, and one more frame
    int debug_frames = 0, burn_frames = 0;
    double last_fuel = 300;
    for (size_t i = 0; i < a.size(); i++) {
        const std::string &l = a[i];
        SCOPED_TRACE("line " + std::to_string(i));
        ASSERT_EQ(Field(l, nullptr, "read"), (double)i + 1);
        ASSERT_EQ(Field(l, nullptr, "frame"), (double)i);
        double h = Field(l, "player", "heading");
        ASSERT_TRUE(h >= 0 && h <= 35);
        double shield = Field(l, "player", "shield");
        ASSERT_TRUE(shield >= 0 && shield <= 3);
        double gun = Field(l, "player", "gun_delay");
        ASSERT_TRUE(gun >= 0 && gun <= 7);
        double v = Field(l, "player", "v");
        // A burn that leaves the speed below 30 can add 1.5 along a heading whose measured length
        // is at most sqrt(1 + (3/8)^2) = 1.0681: 30 + 1.5 * 1.0681 bounds every measurement.
        ASSERT_TRUE(v >= 0 && v < 31.61) << v;
        double fuel = Field(l, nullptr, "fuel");
        ASSERT_TRUE(fuel >= 0 && fuel <= 300 && fuel == (int)fuel);
        burn_frames += fuel == last_fuel - 1;
        last_fuel = fuel;
        double ml = Field(l, nullptr, "missile_load");
        ASSERT_TRUE(ml >= 0 && ml <= 6);
        double md = Field(l, nullptr, "missile_delay");
        ASSERT_TRUE(md >= 0 && md <= 49);
        double ktd = Field(l, nullptr, "key_toggle_delay");
        ASSERT_TRUE(ktd >= 0 && ktd <= 9);
        double pf = Field(l, nullptr, "dd_pixel_format");
        ASSERT_TRUE(pf == 15 || pf == 16);
        double dm = Field(l, nullptr, "debug_mode");
        ASSERT_TRUE(dm == 0 || dm == 1);
        debug_frames += dm == 1;
        ASSERT_EQ(Field(l, nullptr, "game_state"), 1);
        ASSERT_LE(Field(l, nullptr, "craft"), 20);
        ASSERT_LE(Field(l, nullptr, "bullets"), 50);
        ASSERT_LE(Field(l, nullptr, "missiles"), 12);
        ASSERT_LE(Field(l, nullptr, "powerups"), 12);
        ASSERT_LE(Field(l, nullptr, "particles"), 50);
        if (Field(l, "player", "state") == 0) {
            ASSERT_EQ(Field(l, "player", "xv"), 0); // a destroyed ship stands still
            ASSERT_EQ(Field(l, "player", "yv"), 0);
        }
    }
    EXPECT_GT(debug_frames, 0);
    EXPECT_GT(burn_frames, 30);
    std::vector<std::string> b = Run_Busy(dir, "31337");
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); i++)
        ASSERT_EQ(a[i], b[i]) << "line " << i;
    std::string rm = "rm -rf '" + dir + "'";
    EXPECT_EQ(system(rm.c_str()), 0);
}

} // namespace
