// The command line: every option, both value forms, prefixes, and what is refused.
#include "shell/options.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

struct Parsed {
    int result;
    SHELL_OPTIONS_TYP opts;
    std::string why;
};

Parsed parse(std::vector<const char *> args) {
    args.insert(args.begin(), "farwake");
    Parsed p{};
    p.result = Parse_Shell_Options((int)args.size(), args.data(), &p.opts, &p.why);
    return p;
}

TEST(Options, NoneGiveAFullscreenFilledLoudGame) {
    Parsed p = parse({});
    EXPECT_EQ(p.result, SHELL_OPTIONS_RUN);
    EXPECT_EQ(p.opts.fullscreen, 1);
    EXPECT_EQ(p.opts.integer_scale, 0);
    EXPECT_EQ(Shell_Master_Volume(p.opts), 100);
}

TEST(Options, EachOptionSetsItsField) {
    EXPECT_EQ(parse({"--window"}).opts.fullscreen, 0);
    EXPECT_EQ(parse({"--window", "--fullscreen"}).opts.fullscreen, 1);
    EXPECT_EQ(parse({"--fullscreen", "--window"}).opts.fullscreen, 0);
    EXPECT_EQ(parse({"--scale", "integer"}).opts.integer_scale, 1);
    EXPECT_EQ(parse({"--scale=integer", "--scale=fill"}).opts.integer_scale, 0);
    EXPECT_EQ(Shell_Master_Volume(parse({"--volume", "0"}).opts), 0);
    EXPECT_EQ(Shell_Master_Volume(parse({"--volume=37"}).opts), 37);
    EXPECT_EQ(Shell_Master_Volume(parse({"--volume", "100"}).opts), 100);
    // Mute wins over any volume, given before or after it.
    EXPECT_EQ(Shell_Master_Volume(parse({"--mute", "--volume", "80"}).opts), 0);
    EXPECT_EQ(Shell_Master_Volume(parse({"--volume=80", "--mute"}).opts), 0);
    Parsed help = parse({"--window", "--help"});
    EXPECT_EQ(help.result, SHELL_OPTIONS_DONE);
    EXPECT_EQ(help.opts.help, 1);
    Parsed version = parse({"--version"});
    EXPECT_EQ(version.result, SHELL_OPTIONS_DONE);
    EXPECT_EQ(version.opts.version, 1);
}

TEST(Options, SmoothingAndVsyncAreOnUnlessTurnedOff) {
    struct {
        std::vector<const char *> args;
        int smooth, vsync;
    } cases[] = {
        {{}, 1, 1},
        {{"--smooth", "off"}, 0, 1},
        {{"--vsync=off"}, 1, 0},
        {{"--smooth=off", "--vsync", "off", "--smooth", "on"}, 1, 0},
        {{"--sm", "off", "--vs", "off"}, 0, 0}, // unique prefixes
    };
    for (const auto &c : cases) {
        Parsed p = parse(c.args);
        EXPECT_EQ(p.result, SHELL_OPTIONS_RUN);
        EXPECT_EQ(p.opts.smooth, c.smooth);
        EXPECT_EQ(p.opts.vsync, c.vsync);
    }
    // --s could be --scale or --smooth.
    EXPECT_EQ(parse({"--s", "off"}).result, SHELL_OPTIONS_BAD);
}

TEST(Options, UniquePrefixesStandForTheirOption) {
    EXPECT_EQ(parse({"--win"}).opts.fullscreen, 0);
    EXPECT_EQ(parse({"--sc", "integer"}).opts.integer_scale, 1);
    EXPECT_EQ(Shell_Master_Volume(parse({"--vol=5"}).opts), 5);
    EXPECT_EQ(parse({"--h"}).opts.help, 1);
    // --v could be --version or --volume.
    EXPECT_EQ(parse({"--v"}).result, SHELL_OPTIONS_BAD);
}

TEST(Options, BadOptionsAndValuesAreRefusedWithAReason) {
    const std::vector<std::vector<const char *>> bad = {
        {"--bogus"},         {"-w"},
        {"window"},          {"--"},
        {"--scale"},         {"--scale", "2"},
        {"--scale=Fill"},    {"--scale="},
        {"--volume"},        {"--volume=-1"},
        {"--volume", "101"}, {"--volume", "5x"},
        {"--volume", ""},    {"--volume=1e2"},
        {"--mute=1"},        {"--help=yes"},
        {"--window", "x"},   {"--volume=99999999999999999999"},
        {"--smooth"},        {"--smooth", "1"},
        {"--smooth=On"},     {"--vsync", ""},
    };
    for (const auto &args : bad) {
        Parsed p = parse(args);
        std::string shown;
        for (const char *a : args)
            shown += std::string(a) + " ";
        EXPECT_EQ(p.result, SHELL_OPTIONS_BAD) << shown;
        EXPECT_FALSE(p.why.empty()) << shown;
        EXPECT_EQ(p.why.find('\n'), std::string::npos) << shown;
    }
}

TEST(Options, AGameIsWatchedOnlyFromAReplay) {
    struct {
        std::vector<const char *> args;
        int result, game;
        const char *why;
    } cases[] = {
        {{"--replay", "a.rec", "--game", "2"}, SHELL_OPTIONS_RUN, 2, ""},
        {{"--game=1", "--replay=a.rec"}, SHELL_OPTIONS_RUN, 1, ""},
        {{"--replay", "a.rec", "--game", "0"}, SHELL_OPTIONS_BAD, 0, "--game wants K, not '0'"},
        {{"--replay", "a.rec", "--game", "-3"}, SHELL_OPTIONS_BAD, 0, "not '-3'"},
        {{"--replay", "a.rec", "--game", "2x"}, SHELL_OPTIONS_BAD, 0, "not '2x'"},
        {{"--game", "2"}, SHELL_OPTIONS_BAD, 2, "--game goes with --replay"},
        // Only its whole name: --g is no prefix of it.
        {{"--replay", "a.rec", "--g", "2"}, SHELL_OPTIONS_BAD, 0, "unknown option '--g'"},
    };
    for (const auto &c : cases) {
        Parsed p = parse(c.args);
        EXPECT_EQ(p.result, c.result) << c.why;
        EXPECT_EQ(p.opts.logs.game, c.game) << c.why;
        EXPECT_NE(p.why.find(c.why), std::string::npos) << p.why;
    }
}

TEST(Options, UsageIsOneLineNamingEveryOption) {
    std::string usage = Shell_Usage_Line("farwake565");
    EXPECT_EQ(usage.find('\n'), std::string::npos);
    EXPECT_EQ(usage.rfind("usage: farwake565 ", 0), 0u);
    for (const char *name :
         {"--help", "--version", "--window", "--fullscreen", "--scale fill|integer",
          "--volume 0-100", "--mute", "--smooth on|off", "--vsync on|off"})
        EXPECT_NE(usage.find(name), std::string::npos) << name;
    std::string help = Shell_Help_Text("farwake");
    EXPECT_EQ(help.rfind(Shell_Usage_Line("farwake") + "\n", 0), 0u);
    // Every key the game and its window read has a line of its own, starting with the key.
    for (const char *key : {"Escape ", "Left, Right ", "Up ", "Tab ", "Left Ctrl ", "Left Alt ",
                            "Enter ", "P or Pause ", "F1 ", "F11 ", "R ", "F5 ", "D ", "F10 "})
        EXPECT_NE(help.find(std::string("\n  ") + key), std::string::npos) << key;
}

// The one number reader of the programs' options: the whole text, a decimal from 0 to max.
TEST(Options, CountsAreWholeDecimalsInRange) {
    const struct {
        const char *text;
        long long max;
        int ok;
        long long want;
    } cases[] = {
        {"0", 10, 1, 0},
        {"10", 10, 1, 10},
        {"11", 10, 0, 0},
        {"-1", 10, 0, 0},
        {"", 10, 0, 0},
        {"7x", 10, 0, 0},
        {"x7", 10, 0, 0},
        {"4294967295", 0xFFFFFFFFLL, 1, 4294967295LL},
        {"4294967296", 0xFFFFFFFFLL, 0, 0},
        {"99999999999999999999", 0x7FFFFFFFFFFFFFFFLL, 0, 0}, // past long long
        {nullptr, 10, 0, 0},
    };
    for (const auto &c : cases) {
        long long got = -7;
        EXPECT_EQ(Parse_Count(c.text, c.max, &got), c.ok) << (c.text ? c.text : "null");
        EXPECT_EQ(got, c.ok ? c.want : -7) << (c.text ? c.text : "null");
    }
}

} // namespace
