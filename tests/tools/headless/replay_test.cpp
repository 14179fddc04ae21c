// Golden replays: farwake-headless runs the whole game from a key script, and its state lines are
// checked against the figures the flight, toggle and shell rules give.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

// One state line, with a lookup of "a" or "a.b" fields; NAN when the field is not there.
struct Line {
    std::string text;
    double Get(const std::string &path) const {
        size_t from = 0;
        std::string rest = path;
        for (;;) {
            size_t dot = rest.find('.');
            std::string key = "\"" + rest.substr(0, dot) + "\":";
            size_t at = text.find(key, from);
            if (at == std::string::npos) return NAN;
            from = at + key.size();
            if (dot == std::string::npos) return strtod(text.c_str() + from, nullptr);
            rest = rest.substr(dot + 1);
        }
    }
};

class Replay : public TempFolderTest {
  protected:
    // Runs the tool with a script and extra arguments; its exit code.
    int Run(const std::string &script, const std::string &args, std::vector<Line> *lines) {
        std::string keys = dir + "/keys.txt", state = dir + "/state.jsonl";
        FILE *f = fopen(keys.c_str(), "w");
        if (!f) return -1;
        fputs(script.c_str(), f);
        fclose(f);
        std::string cmd = std::string("'") + FW_HEADLESS + "' --keys '" + keys + "' --state '" +
                          state + "' " + args + " 2>'" + dir + "/err.txt'";
        int rc = system(cmd.c_str());
        if (lines) {
            lines->clear();
            FILE *in = fopen(state.c_str(), "r");
            char buf[8192];
            while (in && fgets(buf, sizeof buf, in))
                lines->push_back(Line{buf});
            if (in) fclose(in);
        }
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
};

TEST_F(Replay, ThrustFiguresFrameByFrame) {
    std::vector<Line> l;
    ASSERT_EQ(Run("0 ESCAPE\n1-18 UP\n", "--frames 25", &l), 0);
    // Reads 1..25 fly (25 holds Escape), and one more frame runs before the quit: 26 lines.
    ASSERT_EQ(l.size(), 26u);
    for (int i = 0; i < 26; i++) {
        EXPECT_EQ(l[i].Get("read"), i + 1);
        EXPECT_EQ(l[i].Get("frame"), i);
    }
    float x = 0;
    for (int r = 1; r <= 15; r++) {
        x += r;
        EXPECT_EQ(l[r - 1].Get("player.xv"), r);
        EXPECT_EQ(l[r - 1].Get("player.v"), r);
        EXPECT_EQ(l[r - 1].Get("player.x"), x);
    }
    EXPECT_EQ(l[14].Get("player.x"), 120); // 1 + 2 + ... + 15
    EXPECT_NEAR(l[15].Get("player.xv"), 13.44, 2e-6);
    EXPECT_EQ(l[15].Get("player.v"), 16);
    EXPECT_NEAR(l[15].Get("player.x"), 133.44, 2e-5);
    EXPECT_NEAR(l[16].Get("player.xv"), 14.44, 4e-6);
    EXPECT_NEAR(l[17].Get("player.v"), 15.44, 4e-6);
    EXPECT_NEAR(l[17].Get("player.xv"), 12.8856, 4e-6);
    // Coasting below the limit keeps the speed.
    EXPECT_EQ(l[18].Get("player.xv"), l[17].Get("player.xv"));
    EXPECT_EQ(l[24].Get("player.xv"), l[17].Get("player.xv"));
    EXPECT_EQ(l[0].Get("player.yv"), 0);
    EXPECT_EQ(l[17].Get("engines_on"), 1);
    EXPECT_EQ(l[18].Get("engines_on"), 0);
    EXPECT_EQ(l[0].Get("enemy_ships"), 15);
    EXPECT_EQ(l[0].Get("fuel"), 300);
    EXPECT_EQ(l[0].Get("missile_load"), 2);
}

TEST_F(Replay, AfterburnerUntilTheTankIsDry) {
    std::vector<Line> l;
    ASSERT_EQ(Run("0 ESCAPE\n1-302 TAB\n", "--frames 303", &l), 0);
    ASSERT_GE(l.size(), 302u);
    EXPECT_EQ(l[0].Get("player.xv"), 1.5);
    EXPECT_EQ(l[19].Get("player.v"), 30); // read 20
    EXPECT_NEAR(l[19].Get("player.xv"), 29, 4e-6);
    EXPECT_NEAR(l[20].Get("player.v"), 30.5, 8e-6);
    EXPECT_EQ(l[299].Get("fuel"), 0); // read 300
    EXPECT_EQ(l[299].Get("afterburners_on"), 1);
    EXPECT_EQ(l[299].Get("engines_on"), 0);
    EXPECT_EQ(l[300].Get("fuel"), 0); // read 301: Tab acts as Up
    EXPECT_EQ(l[300].Get("engines_on"), 1);
    EXPECT_EQ(l[300].Get("afterburners_on"), 0);
}

TEST_F(Replay, GunAndMissileDelays) {
    std::vector<Line> l;
    ASSERT_EQ(Run("0 ESCAPE\n1-17 LCONTROL\n1-60 LMENU\n", "--frames 70", &l), 0);
    // Fired at reads 1, 9 and 17: the delay reads 7 right after each shot.
    for (int r = 1; r <= 17; r++)
        EXPECT_EQ(l[r - 1].Get("player.gun_delay"), 7 - (r - 1) % 8) << "read " << r;
    EXPECT_EQ(l[17].Get("player.gun_delay"), 6);
    EXPECT_EQ(l[24].Get("player.gun_delay"), 0);
    // Two missiles: reads 1 and 51.
    EXPECT_EQ(l[0].Get("missile_load"), 1);
    EXPECT_EQ(l[0].Get("missile_delay"), 49);
    EXPECT_EQ(l[49].Get("missile_delay"), 0);
    EXPECT_EQ(l[49].Get("missile_load"), 1);
    EXPECT_EQ(l[50].Get("missile_load"), 0);
    EXPECT_EQ(l[50].Get("missile_delay"), 49);
    EXPECT_EQ(l[59].Get("missile_delay"), 40);
}

TEST_F(Replay, TogglesShareOneDelay) {
    std::vector<Line> l;
    ASSERT_EQ(Run("0 ESCAPE\n1-11 D F10\n12-21 F10\n21 F5\n", "--frames 30", &l), 0);
    EXPECT_EQ(l[0].Get("debug_mode"), 1);
    EXPECT_EQ(l[0].Get("key_toggle_delay"), 9);
    EXPECT_EQ(l[10].Get("debug_mode"), 0);
    EXPECT_EQ(l[19].Get("dd_pixel_format"), 15);
    EXPECT_EQ(l[20].Get("dd_pixel_format"), 16); // read 21: F10 before F5
    EXPECT_EQ(l[20].Get("missile_load"), 2);
    EXPECT_EQ(l[29].Get("key_toggle_delay"), 0);
}

TEST_F(Replay, SameSeedSameGameOtherSeedOtherStars) {
    const std::string script = "0 ESCAPE\n1-40 UP RIGHT\n20-30 LCONTROL\n";
    std::vector<Line> a, b, c;
    ASSERT_EQ(Run(script, "--frames 50 --seed 4242", &a), 0);
    ASSERT_EQ(Run(script, "--frames 50 --seed 4242", &b), 0);
    ASSERT_EQ(Run(script, "--frames 50 --seed 77", &c), 0);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_FALSE(a.empty());
    for (size_t i = 0; i < a.size(); i++)
        EXPECT_EQ(a[i].text, b[i].text) << "line " << i;
    EXPECT_NE(a[0].Get("frame_crc"), c[0].Get("frame_crc")); // the stars are scattered by rand
    EXPECT_EQ(a[10].Get("player.x"), c[10].Get("player.x")); // the flight has no randomness
}

TEST_F(Replay, ShotAndAudioFiles) {
    const std::string png = dir + "/f3.png", wav = dir + "/mix.wav";
    ASSERT_EQ(Run("0 ESCAPE\n1-5 UP\n", "--frames 6 --shot 3:" + png + " --audio " + wav, nullptr),
              0);
    FILE *f = fopen(png.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char h[24];
    ASSERT_EQ(fread(h, 1, 24, f), 24u);
    fclose(f);
    EXPECT_EQ(h[1], 'P');
    EXPECT_EQ(h[2], 'N');
    EXPECT_EQ(h[3], 'G');
    EXPECT_EQ((h[16] << 24) | (h[17] << 16) | (h[18] << 8) | h[19], 800); // IHDR width
    EXPECT_EQ((h[20] << 24) | (h[21] << 16) | (h[22] << 8) | h[23], 600); // IHDR height
    f = fopen(wav.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char riff[12];
    ASSERT_EQ(fread(riff, 1, 12, f), 12u);
    fclose(f);
    EXPECT_EQ(std::string(riff, 4), "RIFF");
    EXPECT_EQ(std::string(riff + 8, 4), "WAVE");
}

TEST_F(Replay, RelativeOutputsLandWhereTheRunnerStarted) {
    // --data moves the runner into the data folder; shots and audio named relative to the
    // starting folder must still land there, not among the data files.
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    int rc = Run("0 ESCAPE\n",
                 std::string("--frames 4 --data '") + here + "' --shot 2:rel.png --audio rel.wav",
                 nullptr);
    ASSERT_EQ(chdir(here), 0);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(access((dir + "/rel.png").c_str(), F_OK), 0);
    EXPECT_EQ(access((dir + "/rel.wav").c_str(), F_OK), 0);
    EXPECT_NE(access((std::string(here) + "/rel.png").c_str(), F_OK), 0);
}

TEST_F(Replay, BadArgumentsAndScriptsFail) {
    EXPECT_EQ(Run("0 ESCAPE\n1 NOSUCHKEY\n", "--frames 3", nullptr), 1);
    EXPECT_EQ(Run("0 ESCAPE\n", "--frames -3", nullptr), 2);
    EXPECT_EQ(Run("0 ESCAPE\n", "--frames 3 --bogus 1", nullptr), 2);
    EXPECT_EQ(Run("0 ESCAPE\n", "--frames 3 --shot nonumber.png", nullptr), 2);
    // A shot whose read never comes is reported, not passed over.
    EXPECT_EQ(Run("0 ESCAPE\n", "--frames 3 --shot 500:" + dir + "/never.png", nullptr), 1);
}

} // namespace
